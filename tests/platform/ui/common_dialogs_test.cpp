#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPrinter>

#include "platform/ui/common_dialogs.h"
#include "platform/ui/font_dialog.h"
#include "platform/ui/qt_ui_driver.h"
#include "platform/ui/support/ui_script.h"
#include "support/temp_dir.h"

namespace platform::ui {
namespace {

using testing_support::UiEvent;
using testing_support::UiScript;

TEST(CommonDialogsTest, FiltersBecomeCaseBlindQtFilters) {
  EXPECT_EQ(QtNameFilters("Rich Text File|*.RTF"), QStringList{"Rich Text File (*.RTF *.rtf)"});
  EXPECT_EQ(QtNameFilters("Label files (*.LBL)|*.LBL"), QStringList{"Label files (*.LBL) (*.LBL *.lbl)"});
  EXPECT_EQ(QtNameFilters("Text|*.txt;*.Csv|All files|*.*"),
            (QStringList{"Text (*.txt *.TXT *.Csv *.csv *.CSV)", "All files (*)"}));
  EXPECT_EQ(QtNameFilters(""), QStringList{});
  EXPECT_EQ(QtNameFilters("Half a pair"), QStringList{});
}

TEST(CommonDialogsTest, FileDialogIsSetUpFromTheRequest) {
  testing_support::TempDir dir;
  testing_support::EnsureGuiApplication();
  FileDialogRequest save{"Save As", "Rich Text File|*.RTF|Text|*.TXT", 2, "", "RTF", "Customer.RTF", false};
  QFileDialog dialog;
  ConfigureFileDialog(dialog, save, true);
  EXPECT_EQ(dialog.windowTitle(), "Save As");
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(dialog.defaultSuffix(), "RTF");
  EXPECT_EQ(dialog.nameFilters(), (QStringList{"Rich Text File (*.RTF *.rtf)", "Text (*.TXT *.txt)"}));
  EXPECT_EQ(dialog.selectedNameFilter(), "Text (*.TXT *.txt)");
  EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir::current().canonicalPath());
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
  save.overwritePrompt = true;
  ConfigureFileDialog(dialog, save, true);
  EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));

  QFileDialog open;
  ConfigureFileDialog(open, FileDialogRequest{"", "Label files (*.LBL)|*.LBL", 1, "/tmp", "LBL", "", false},
                      false);
  EXPECT_EQ(open.windowTitle(), "Open");
  EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(QDir(open.directory()).canonicalPath(), QDir("/tmp").canonicalPath());
}

TEST(CommonDialogsTest, ScriptAnswersEachDialogAndLeavesRequestsAsProposedOnOk) {
  UiScript ui;
  ui.ExpectOpenFile()
      .Inspect([](const FileDialogRequest& r) { EXPECT_EQ(r.filter, "Label files (*.LBL)|*.LBL"); })
      .Answer("/data/Shelf.LBL");
  ui.ExpectSaveFile().Ok();
  ui.ExpectSaveFile().Cancel();
  ui.ExpectFolder().Answer("/media/backup");
  FontChoice courier{"Courier New", 10, true, false, false, false, 0xFF0000};
  ui.ExpectFont().Inspect([](const FontRequest& r) { EXPECT_TRUE(r.fixedPitchOnly); }).Answer(courier);
  ui.ExpectPrinterSetup().Answer([](QPrinter& p) { p.setPageOrientation(QPageLayout::Landscape); });
  ui.ExpectPrinterSetup().Cancel();

  FileDialogRequest open{"", "Label files (*.LBL)|*.LBL", 1, "", "LBL", "", false};
  EXPECT_TRUE(OpenFileDialog(open));
  EXPECT_EQ(open.fileName, "/data/Shelf.LBL");
  FileDialogRequest save{"Save As", "Rich Text File|*.RTF", 1, "", "RTF", "Customer.RTF", true};
  EXPECT_TRUE(SaveFileDialog(save));
  EXPECT_EQ(save.fileName, "Customer.RTF");
  EXPECT_FALSE(SaveFileDialog(save));
  FolderRequest folder{"Backup to", ""};
  EXPECT_TRUE(ChooseFolderDialog(folder));
  EXPECT_EQ(folder.folder, "/media/backup");
  FontRequest font{FontChoice{"Arial", 12, false, false, false, false, 0}, true};
  EXPECT_TRUE(FontDialog(font));
  EXPECT_EQ(font.font, courier);
  QPrinter printer(QPrinter::ScreenResolution);
  EXPECT_TRUE(PrinterSetupDialog(printer));
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
  EXPECT_FALSE(PrinterSetupDialog(printer));
  EXPECT_TRUE(ui.Done());

  ASSERT_EQ(ui.Events().size(), 7u);
  EXPECT_EQ(ui.Events()[0].kind, UiEvent::Kind::OpenFile);
  EXPECT_EQ(ui.Events()[0].answer, "/data/Shelf.LBL");
  EXPECT_EQ(ui.Events()[2].answer, "Cancel");
  EXPECT_EQ(ui.Events()[5].kind, UiEvent::Kind::PrinterSetup);
}

TEST(CommonDialogsTest, UnexpectedDialogsFailAndAreCancelled) {
  UiScript ui;
  FileDialogRequest request{"Export", "", 1, "", "", "CPCUST.TXT", false};
  bool ok = true;
  EXPECT_NONFATAL_FAILURE(ok = SaveFileDialog(request), "Unexpected save dialog \"Export\"");
  EXPECT_FALSE(ok);
  EXPECT_EQ(request.fileName, "CPCUST.TXT");
  FontRequest font;
  EXPECT_NONFATAL_FAILURE(ok = FontDialog(font), "Unexpected font dialog");
  EXPECT_FALSE(ok);
  EXPECT_FALSE(ui.Done());
}

TEST(CommonDialogsTest, WithNoScriptInstalledADialogFailsTheTestInsteadOfWaiting) {
  testing_support::EnsureGuiApplication();
  FolderRequest folder{"Restore from", "/media"};
  bool ok = true;
  EXPECT_NONFATAL_FAILURE(ok = ChooseFolderDialog(folder), "Unexpected folder dialog \"Restore from\"");
  EXPECT_FALSE(ok);
  EXPECT_EQ(folder.folder, "/media");
}

TEST(CommonDialogsTest, FontDialogKeepsNameSizeStylesAndColour) {
  testing_support::EnsureGuiApplication();
  FontColorDialog dialog(false);
  FontChoice navy{"Liberation Serif", 14, true, true, true, true, 0x800000};
  dialog.SetChoice(navy);
  EXPECT_EQ(dialog.ColorList()->currentText(), "Navy");
  EXPECT_EQ(dialog.Choice(), navy);

  // A system colour (window text) is not in the list; it is kept as it is.
  FontChoice system{"Liberation Sans", 10, false, false, false, false, static_cast<int32_t>(0x80000008)};
  dialog.SetChoice(system);
  EXPECT_EQ(dialog.ColorList()->currentText(), "Custom");
  EXPECT_EQ(dialog.Choice().color, static_cast<int32_t>(0x80000008));
  dialog.SetChoice(navy);
  EXPECT_EQ(dialog.ColorList()->findText("Custom"), 0);  // one Custom entry, not one per call
  EXPECT_EQ(dialog.ColorList()->count(), 17);

  FontColorDialog fixed(true);
  EXPECT_TRUE(fixed.FontChooser()->testOption(QFontDialog::MonospacedFonts));
  EXPECT_FALSE(dialog.FontChooser()->testOption(QFontDialog::MonospacedFonts));
}

}  // namespace
}  // namespace platform::ui
