#include "forms/browser_font.h"

#include "platform/text/codepage.h"

namespace forms {

using namespace records;

platform::ui::FontChoice CompanyBrowserFont(const CompanyRec& company) {
  platform::ui::FontChoice font;
  // A company that names no font (set up before it had one) keeps the lists readable.
  const std::string name = company.BrowserFontName.Get();
  font.name = name.empty() ? QStringLiteral("Courier New") : platform::text::ToQString(name);
  const int32_t size = company.BrowserFontSize.Get();
  font.size = size > 0 ? size : 10;
  font.color = company.BrowserFontColor.Get();
  const uint8_t style = company.BrowserFontStyle;
  font.bold = style & FontStyleBold;
  font.italic = style & FontStyleItalic;
  font.underline = style & FontStyleUnderline;
  font.strikeOut = style & FontStyleStrikeOut;
  return font;
}

}  // namespace forms
