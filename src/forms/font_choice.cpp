#include "forms/font_choice.h"

#include "platform/print/colors.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"

namespace forms {

using namespace records;

platform::ui::FontChoice FontChoiceOf(const FontRec& font) {
  platform::ui::FontChoice choice;
  choice.name = platform::text::ToQString(font.Name.Get());
  // A label layout or company record of a size no dialog gives shows the dialog's usual size.
  if (platform::ui::IsDialogFontSize(font.Size.Get())) choice.size = font.Size.Get();
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

QFont CompanyEditorFont(const CompanyRec& company, const QFont& fallback) {
  QFont font = fallback;
  QString name = platform::text::ToQString(platform::text::TrimBlanks(company.EditorFontName.Get()));
  if (!name.isEmpty()) font.setFamily(name);
  int size = company.EditorFontSize.Get();
  if (size > 0 && size < 200) font.setPointSize(size);
  uint8_t style = company.EditorFontStyle;
  font.setBold(style & FontStyleBold);
  font.setItalic(style & FontStyleItalic);
  font.setUnderline(style & FontStyleUnderline);
  font.setStrikeOut(style & FontStyleStrikeOut);
  return font;
}

QColor CompanyEditorColor(const CompanyRec& company) {
  return platform::print::ColorToQColor(company.EditorFontColor.Get());
}

void ApplyCompanyEditorFont(QLabel& caption, const CompanyRec& company, const QFont& fallback) {
  caption.setFont(CompanyEditorFont(company, fallback));
  QPalette palette = caption.palette();
  palette.setColor(QPalette::WindowText, CompanyEditorColor(company));
  caption.setPalette(palette);
}

}  // namespace forms
