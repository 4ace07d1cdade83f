#pragma once
// The list window's "Save": its text as a Rich Text File that word processors open with the
// window's font.
//
// What is written, and nothing more:
//   {\rtf1\ansi\ansicpg1252\deff0
//   {\fonttbl{\f0\fmodern\fcharset0 <font name>;}}
//   {\colortbl;\red<r>\green<g>\blue<b>;}
//   \pard\plain\f0\fs<2 x points>[\b][\i][\ul][\strike]\cf1
//   <line 1>\par
//   <line 2>\par ...}
// The text is Windows-1252 (the program's text); "\", "{" and "}" are escaped, bytes of 0x80
// and above are written as \'hh, tabs as \tab, other control characters are dropped.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/common_dialogs.h"

namespace forms {

std::string RichTextDocument(const std::vector<std::string>& lines, const platform::ui::FontChoice& font);

}  // namespace forms
