#include "platform/ui/common_dialogs.h"

#include <QFont>

#include "platform/ui/ui_driver.h"

namespace platform::ui {

bool OpenFileDialog(FileDialogRequest& request) {
  return CurrentUiDriver().RunOpenFile(request);
}
bool SaveFileDialog(FileDialogRequest& request) {
  return CurrentUiDriver().RunSaveFile(request);
}
bool ChooseFolderDialog(FolderRequest& request) {
  return CurrentUiDriver().RunChooseFolder(request);
}
bool FontDialog(FontRequest& request) {
  return CurrentUiDriver().RunFont(request);
}
bool PrinterSetupDialog(QPrinter& printer) {
  return CurrentUiDriver().RunPrinterSetup(printer);
}

QFont ToQFont(const FontChoice& font) {
  QFont result(font.name);
  if (font.size > 0) result.setPointSize(font.size);
  result.setBold(font.bold);
  result.setItalic(font.italic);
  result.setUnderline(font.underline);
  result.setStrikeOut(font.strikeOut);
  return result;
}

FontChoice FromQFont(const QFont& font, int32_t color) {
  FontChoice result;
  result.name = font.family();
  result.size = font.pointSize();
  result.bold = font.bold();
  result.italic = font.italic();
  result.underline = font.underline();
  result.strikeOut = font.strikeOut();
  result.color = color;
  return result;
}

namespace {

// One pattern of a filter in the forms Qt matches on a case-sensitive file system.
QStringList PatternVariants(const QString& pattern) {
  if (pattern == "*.*") return {"*"};
  QStringList variants{pattern};
  for (const QString& other : {pattern.toLower(), pattern.toUpper()}) {
    if (!variants.contains(other)) variants << other;
  }
  return variants;
}

}  // namespace

QStringList QtNameFilters(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      for (const QString& variant : PatternVariants(pattern.trimmed())) {
        if (!patterns.contains(variant)) patterns << variant;
      }
    }
    result << parts[i].trimmed() + " (" + patterns.join(' ') + ")";
  }
  return result;
}

}  // namespace platform::ui
