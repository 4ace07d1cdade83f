#include "forms/report_font.h"

#include <cstring>
#include <string>

#include "platform/files/file.h"
#include "platform/print/colors.h"
#include "platform/text/codepage.h"
#include "platform/ui/common_dialogs.h"

namespace forms {

using namespace records;

FontRec LoadReportFont() {
  FontRec font;
  std::string bytes;
  if (platform::files::ReadWholeFile(ReportFontFileName, &bytes) && bytes.size() >= sizeof font) {
    std::memcpy(&font, bytes.data(), sizeof font);
    if (platform::ui::IsDialogFontSize(font.Size.Get()) && !font.Name.Get().empty()) return font;
  }
  font.Set("Arial", 10, platform::print::clWindowText, FontStyleBold);
  return font;
}

platform::print::TFont PrinterFontOf(const FontRec& font) {
  platform::print::TFont printerFont;
  printerFont.Name = platform::text::ToQString(font.Name.Get());
  printerFont.Size = platform::ui::IsDialogFontSize(font.Size.Get()) ? font.Size.Get() : 10;
  printerFont.Style = font.Style & 0x0F;
  printerFont.Color = font.Color.Get();
  return printerFont;
}

}  // namespace forms
