#include "app/font_choice.h"

#include "platform/text/codepage.h"

namespace app {

platform::ui::FontChoice FontChoiceOf(const FontRec& font) {
  platform::ui::FontChoice choice;
  choice.name = platform::text::ToQString(font.Name.Get());
  choice.size = font.Size.Get();
  choice.color = font.Color.Get();
  choice.bold = font.Style & FontStyleBold;
  choice.italic = font.Style & FontStyleItalic;
  choice.underline = font.Style & FontStyleUnderline;
  choice.strikeOut = font.Style & FontStyleStrikeOut;
  return choice;
}

void StoreFontChoice(FontRec& font, const platform::ui::FontChoice& choice) {
  uint8_t style = 0;
  if (choice.bold) style |= FontStyleBold;
  if (choice.italic) style |= FontStyleItalic;
  if (choice.underline) style |= FontStyleUnderline;
  if (choice.strikeOut) style |= FontStyleStrikeOut;
  font.Set(platform::text::ToAnsi(choice.name), choice.size, choice.color, style);
}

}  // namespace app
