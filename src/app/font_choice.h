#pragma once
// A font of the company record (FontRec) as the font dialog and the widgets take it, and back.

#include "app/records/font_rec.h"
#include "platform/ui/common_dialogs.h"

namespace app {

platform::ui::FontChoice FontChoiceOf(const FontRec& font);
// Stores the choice in the record: the name cut to the 32 characters the record holds.
void StoreFontChoice(FontRec& font, const platform::ui::FontChoice& choice);

}  // namespace app
