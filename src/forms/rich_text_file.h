#pragma once
// Rich Text Files: the list window's "Save" and the form letters are written, and letters are
// read back, here. The writer covers what a letter in the editor can hold; the reader takes
// that, and what other word processors commonly write, and passes over what it does not know.
//
// What the writer puts out:
//   {\rtf1\ansi\ansicpg1252\deff0\uc1
//   {\fonttbl{\f0\fnil\fcharset0 <name>;}...}            every face used, the default first
//   {\colortbl;\red<r>\green<g>\blue<b>;...}             every colour used; index 0 is "auto"
//   \pard[\qc|\qr|\qj][\li<tw>][\ri<tw>][\fi<tw>][\sb<tw>][\sa<tw>]        one per paragraph
//     [{\pntext\bullet\tab}{\*\pn\pnlvlblt\pnindent0{\pntxtb\bullet}}]      a bulleted paragraph
//     \plain\f<n>\fs<half points>[\b][\i][\ul][\strike][\super|\sub][\cf<n>][\highlight<n>]
//     <text>...                                         before every run of one format
//   \par ...}                                            between paragraphs
// Indents and spacing are in twips (1/20 point); the document's margins are in pixels of 1/96
// inch, so a twip is 1/15 pixel. Text is Windows-1252: "\", "{" and "}" are escaped, bytes of
// 0x80 and above are \'hh, characters Windows-1252 lacks are \uN? (N the signed UTF-16 unit,
// "?" the fallback for readers without Unicode), tabs \tab, line breaks \line, a page break
// \page in place of \par.
//
// The reader honours the same control words and also \ansi text in \'hh (Windows-1252), \uN
// with the \ucN count of fallback characters skipped after it, \line, \emdash, \endash, the
// quotes, \bullet, \~, \-, \_, \lin/\rin, Word's list paragraphs (\ls) as bullets, \ulnone,
// \nosupersub, \chcbpat and \cb as highlight, table cells as tabs and rows as paragraphs, and
// \bin data. Font and colour tables are read; stylesheets, information, headers and footers,
// pictures, objects, shapes, bullet fallback texts and every \* destination it does not know are
// skipped whole, and so are groups nested deeper than 256.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/common_dialogs.h"

class QTextDocument;

namespace forms {

// True when the bytes begin as a Rich Text File does ("{\rtf", blanks before it allowed).
bool LooksLikeRichText(std::string_view bytes);

// The document as a Rich Text File.
std::string RichTextFromDocument(const QTextDocument& document);
// Replaces the document's content by the file's; false (document cleared) when the bytes are
// not a Rich Text File.
bool ReadRichText(std::string_view rtf, QTextDocument& document);

// A letter or list as the user keeps it: rich text when it is one, else plain text (UTF-8 when
// the bytes are UTF-8 with a character beyond ASCII, otherwise Windows-1252; CR LF ends lines).
void ReadLetterText(std::string_view bytes, QTextDocument& document);

// The list window's text in its font, one paragraph per line (Windows-1252 lines).
std::string RichTextDocument(const std::vector<std::string>& lines, const platform::ui::FontChoice& font);

}  // namespace forms
