// The label wizard's layout controls: the font and the return-address bitmap chosen in their
// dialogs, kept in the layout file as an independent reader of its bytes sees it, and used on the
// recording printer; what the layout compares before printing; help, and the actions that wait
// for the windows above the wizard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRegularExpression>
#include <cstring>
#include <fstream>

#include "forms/run_state.h"
#include "platform/print/print_test_support.h"
#include "platform/print/recording_print_backend.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "reports/label_layout.h"
#include "reports/label_wizard.h"
#include "reports_fixture.h"
#include "support/whole_window.h"

using namespace reports;
using platform::ui::FontChoice;
using platform::ui::mrYes;
using testing_support::UiEvent;
using testing_support::UiScript;

namespace {

// The bytes of a file.
std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A length-prefixed text of the layout file, read at its offset.
std::string TextAt(const std::string& bytes, size_t offset) {
  return bytes.substr(offset + 1, static_cast<unsigned char>(bytes[offset]));
}

int32_t Int32At(const std::string& bytes, size_t offset) {
  int32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value * 256 + static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

const char* const kRulerQuestion =
    "This feature will print the calibration ruler on your printer. You can use it to help you calculate "
    "margin settings. Continue?";

class LabelWizardTest : public test_fixtures::ReportsTest {
 protected:
  LabelWizardTest() {
    auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
    recorder_ = backend.get();
    printer_ = std::make_unique<platform::print::ScopedPrintBackend>(std::move(backend));
    EXPECT_TRUE(records::CreateCustomerFile());
    records::CustomerRec c{};
    c.CustomerNo.Set("C1");
    c.CustomerName.Set("Alpha Marine");
    c.CustBillTo1.Set("12 Quay Street");
    FileCustomers({c});
    LabelLayout = LabelLayoutRec{};
    LabelPrintQueue.Clear();
    LabelPrintQueue.Append({"C1", "Alpha Marine", "", "", "C"});
    wizard_ = &Createlblwiz();
    wizard_->SetLayoutControls();
    for (auto [box, text] : {std::pair{wizard_->TopMargin, "100"},
                             {wizard_->LeftMargin, "50"},
                             {wizard_->Columns, "2"},
                             {wizard_->Rows, "2"},
                             {wizard_->LabelWidth, "1000"},
                             {wizard_->LabelHeight, "500"}})
      box->setText(text);
  }
  ~LabelWizardTest() override {
    LabelPrintQueue.Clear();
    LabelLayout = LabelLayoutRec{};
  }

  // Saves the boxes as a layout file through "&Save As...".
  void SaveAs(UiScript& ui, const std::string& path) {
    ui.ExpectSaveFile()
        .Inspect([](const platform::ui::FileDialogRequest& r) {
          EXPECT_EQ(r.filter, "Label files (*.LBL)|*.LBL");
          EXPECT_EQ(r.defaultExt, "LBL");
          EXPECT_TRUE(r.overwritePrompt);
        })
        .Answer(QString::fromStdString(path));
    wizard_->SaveAs1Click();
  }
  // The recorded calls that draw, with the state they drew in.
  QStringList Drawn(const QString& pattern) const {
    return recorder_->Log().filter(QRegularExpression(pattern));
  }

  platform::print::RecordingPrintBackend* recorder_;
  std::unique_ptr<platform::print::ScopedPrintBackend> printer_;
  Tlblwiz* wizard_;
};

TEST_F(LabelWizardTest, FontChosenIsKeptInTheLayoutFileAndPrintsTheLabels) {
  UiScript ui;
  const FontChoice serif{"DejaVu Serif", 14, true, true, false, false, 0x000000C0};
  ui.ExpectFont().Answer(serif);
  wizard_->FontButnClick();
  EXPECT_EQ(wizard_->FontLabel->text(), "DejaVu Serif");
  EXPECT_TRUE(wizard_->FontLabel->font().bold());
  EXPECT_TRUE(wizard_->FontLabel->font().italic());
  // A cancelled dialog leaves the font as it was.
  ui.ExpectFont().Cancel();
  wizard_->FontButnClick();
  EXPECT_EQ(LayoutFont(LabelLayout), serif);

  const std::string path = dir_.File("sheet.LBL");
  SaveAs(ui, path);
  const std::string bytes = Bytes(path);
  ASSERT_EQ(bytes.size(), 444u);
  EXPECT_EQ(TextAt(bytes, 74), "DejaVu Serif");
  EXPECT_EQ(Int32At(bytes, 108), 14);
  EXPECT_EQ(Int32At(bytes, 112), 0xC0);
  EXPECT_EQ(bytes[116], 3);  // bold and italic
  EXPECT_EQ(TextAt(bytes, 55), "100");
  EXPECT_EQ(TextAt(bytes, 64), "1000");

  // Another font in memory; opening the file brings the saved one back and copies the file to
  // "Label.Dat".
  ui.ExpectFont().Answer(FontChoice{"DejaVu Sans", 8});
  wizard_->FontButnClick();
  ui.ExpectOpenFile().Answer(QString::fromStdString(path));
  wizard_->Open2Click();
  ui.ExpectMessage("Your layout settings have changed. Do you want to save the changes before printing?",
                   "Print Labels")
      .Answer(platform::ui::mrNo);
  EXPECT_EQ(LayoutFont(LabelLayout), serif);
  EXPECT_EQ(wizard_->FontLabel->text(), "DejaVu Serif");
  EXPECT_EQ(Bytes(LayoutCopyFileName), bytes);
  EXPECT_EQ(ReadLastLayoutPath("."), path);

  // The next start of the program restores it from "Lastlbl.DAT".
  LabelLayout = LabelLayoutRec{};
  delete wizard_;
  wizard_ = &Createlblwiz();
  EXPECT_EQ(wizard_->FontLabel->text(), "DejaVu Serif");
  EXPECT_TRUE(wizard_->PrnButn->isEnabled());
  EXPECT_EQ(wizard_->StatusLine->text(), "Ready. Add and remove records as needed or select print button.");

  wizard_->LineWidth->setText("0");
  wizard_->PrnButnClick();  // the boxes are the layout's, but for the line width: one question
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(wizard_->LineWidth->text(), "0");
  EXPECT_EQ(
      Drawn(R"re(^TextOut\(50, 100, "Alpha Marine"\) font\(DejaVu Serif, 14, BI, 0x000000C0\))re").size(), 1);
}

// A layout saved with Line Width "0" prints its rule the thinnest the printer draws, every time,
// and the box stays as the layout has it: the next print has no change to ask about.
TEST_F(LabelWizardTest, LineWidthZeroPrintsTheThinnestRuleAndLeavesTheLayoutAsItIs) {
  wizard_->UseCmpAdd->setChecked(true);
  wizard_->UseCmpAddClick();
  wizard_->PrintLine->setChecked(true);
  wizard_->LineWidth->setText("0");
  UiScript ui;
  SaveAs(ui, dir_.File("thin.LBL"));
  for (int print = 1; print <= 2; ++print) {
    wizard_->PrnButnClick();
    EXPECT_EQ(wizard_->LineWidth->text(), "0") << "print " << print;
  }
  EXPECT_TRUE(ui.Done());  // no question about settings the user never changed
  EXPECT_EQ(Drawn(R"(^LineTo\(.* pen\(1, )").size(), 2);
}

TEST_F(LabelWizardTest, BitmapChosenIsStoredAndPrintedBesideTheReturnAddress) {
  QImage logo(40, 20, QImage::Format_RGB32);
  logo.fill(Qt::black);
  const std::string bitmap = dir_.File("Café logo.BMP");  // a name the file system spells in UTF-8
  ASSERT_TRUE(logo.save(QString::fromStdString(bitmap), "BMP"));
  EXPECT_FALSE(wizard_->BitMpButn->isEnabled());
  wizard_->UseCmpAdd->setChecked(true);
  wizard_->UseCmpAddClick();
  EXPECT_TRUE(wizard_->BitMpButn->isEnabled());
  EXPECT_TRUE(wizard_->PrintLine->isEnabled());

  UiScript ui;
  ui.ExpectOpenFile()
      .Inspect([](const platform::ui::FileDialogRequest& r) {
        EXPECT_EQ(r.filter, "Bitmap Image (*.BMP)|*.BMP");
        EXPECT_EQ(r.defaultExt, "BMP");
      })
      .Answer(QString::fromStdString(bitmap));
  wizard_->BitMpButnClick();
  EXPECT_EQ(wizard_->BitmapPath->text().toStdString(), bitmap);
  // The dialog starts from the shown path; cancelling it keeps the path.
  ui.ExpectOpenFile()
      .Inspect([&](const platform::ui::FileDialogRequest& r) { EXPECT_EQ(r.fileName.toStdString(), bitmap); })
      .Cancel();
  wizard_->BitMpButnClick();
  EXPECT_EQ(wizard_->BitmapPath->text().toStdString(), bitmap);

  // The boxes differ from the layout: saved on the way to the printer.
  ui.ExpectMessage("Your layout settings have changed. Do you want to save the changes before printing?",
                   "Print Labels")
      .Answer(mrYes);
  const std::string path = dir_.File("logo.LBL");
  ui.ExpectSaveFile().Answer(QString::fromStdString(path));
  wizard_->PrnButnClick();
  const std::string bytes = Bytes(path);
  ASSERT_EQ(bytes.size(), 444u);
  EXPECT_EQ(bytes[118], 1);
  EXPECT_EQ(TextAt(bytes, 119), platform::text::ToAnsi(QString::fromStdString(bitmap)));
  EXPECT_EQ(Drawn(R"(^Draw\(50, 100, image 40x20\))").size(), 1);
  // The company lines stand right of the bitmap and its gap of 25 dots; the address six lines
  // lower, right of the caption's "X".
  EXPECT_EQ(Drawn(R"re(^TextOut\(115, 100, "Harbour Supplies"\))re").size(), 1);
  EXPECT_EQ(wizard_->StatusLine->text(), "Complete. 1 label(s) sent to printer.");

  // Without the return address the bitmap button rests, the path is not shown, and a save keeps
  // a single blank and no line.
  wizard_->PrintLine->setChecked(true);
  wizard_->UseCmpAdd->setChecked(false);
  wizard_->UseCmpAddClick();
  EXPECT_FALSE(wizard_->BitMpButn->isEnabled());
  EXPECT_EQ(wizard_->BitmapPath->text(), "");
  const std::string plain = dir_.File("plain.LBL");
  ui.ExpectSaveFile().Answer(QString::fromStdString(plain));
  wizard_->SaveAs1Click();
  EXPECT_EQ(TextAt(Bytes(plain), 119), " ");
  EXPECT_EQ(Bytes(plain)[426], 0);
  EXPECT_TRUE(ui.Done());
}

TEST_F(LabelWizardTest, OnlyWhatPrintingUsesCountsAsAChangedLayout) {
  LabelLayoutRec layout{};
  for (auto [field, text] : {std::pair{&layout.TopMargin, "100"}, {&layout.LeftMargin, "50 "}})
    field->Set(text);
  layout.Columns.Set("3");
  layout.Rows.Set("10");
  layout.Width.Set("800");
  layout.Height.Set("300");
  layout.LineWidth.Set("1");
  layout.Caption.Set("To:");
  layout.ReturnAddress = 1;
  layout.BitmapPath.Set("/srv/logo.BMP");
  layout.Description.Set("Thirty a sheet");
  EXPECT_FALSE(LayoutDiffers(layout, layout));
  using Change = void (*)(LabelLayoutRec&);
  const std::pair<Change, bool> changes[] = {
      {[](LabelLayoutRec& l) { l.TopMargin.Set("101"); }, true},
      {[](LabelLayoutRec& l) { l.LeftMargin.Set("50"); }, false},  // blanks of the digit mask
      {[](LabelLayoutRec& l) { l.Columns.Set("2"); }, true},
      {[](LabelLayoutRec& l) { l.Rows.Set("9"); }, true},
      {[](LabelLayoutRec& l) { l.Width.Set("801"); }, true},
      {[](LabelLayoutRec& l) { l.Height.Set(""); }, true},
      {[](LabelLayoutRec& l) { l.LineWidth.Set("2"); }, true},
      {[](LabelLayoutRec& l) { l.Caption.Set("From:"); }, true},
      {[](LabelLayoutRec& l) { l.BitmapPath.Set("/srv/other.BMP"); }, true},
      {[](LabelLayoutRec& l) { l.ReturnAddress = 0; }, true},
      {[](LabelLayoutRec& l) { l.Description.Set("Other"); }, false},
      {[](LabelLayoutRec& l) { l.UseShipping = 1; }, false},
      {[](LabelLayoutRec& l) { l.PrintLine = 1; }, false},
      {[](LabelLayoutRec& l) { l.FontSize.Set(20); }, false},
  };
  for (size_t i = 0; i < std::size(changes); ++i) {
    LabelLayoutRec boxes = layout;
    changes[i].first(boxes);
    EXPECT_EQ(LayoutDiffers(boxes, layout), changes[i].second) << "change " << i;
  }
}

TEST_F(LabelWizardTest, HelpTopicsAndTheActionsThatNeedTheWindowsAbove) {
  std::ofstream("KESTRAVA.HLP") << "help";
  platform::ui::Application->HelpFile = "KESTRAVA.HLP";
  UiScript ui;
  wizard_->HelpClick();
  wizard_->FilterHelpClick();
  platform::ui::Application->HelpFile.clear();
  ASSERT_EQ(ui.Count(UiEvent::Kind::Help), 2);
  EXPECT_EQ(ui.Events()[0].detail, "LabelWizard");
  EXPECT_EQ(ui.Events()[1].detail, "LabelFilter");
  EXPECT_EQ(wizard_->HelpKeyword(), "LabelWizard");

  // Without the managers (handed in at start-up) their actions rest; the printer set-up is the
  // program's own and always there.
  LabelHooks = {};
  wizard_->FormShow();
  for (QWidget* button :
       {static_cast<QWidget*>(wizard_->FindCustomer), static_cast<QWidget*>(wizard_->FindVendor),
        static_cast<QWidget*>(wizard_->FindProduct)})
    EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(wizard_->Add3->isEnabled());
  ASSERT_TRUE(wizard_->PrintSetup->isEnabled());
  ui.ExpectPrinterSetup().Cancel();
  wizard_->PrintSetup->click();
  EXPECT_EQ(wizard_->StartLabel->text(), "1");
  EXPECT_EQ(wizard_->Copies->text(), "1");
  EXPECT_TRUE(ui.Done());
}

TEST_F(LabelWizardTest, ShownWizardIsAsWideAsItsToolRow) {
  LabelPrintQueue.Append({"ROPE10", "Rope 10 mm", "19.95", "Shelf 4", "P"});
  SetLayoutFont(LabelLayout, FontChoice{"DejaVu Serif", 12, true});
  LabelLayout.ReturnAddress = 1;
  LabelLayout.BitmapPath.Set("/srv/labels/logo.BMP");
  LabelLayout.Caption.Set("To:");
  wizard_->SetLayoutControls();
  UiScript ui;
  ui.OnModal<Tlblwiz>([](Tlblwiz& w) {
    QApplication::processEvents();
    const int printSetupRight = w.PrintSetup->mapTo(&w, QPoint(w.PrintSetup->width(), 0)).x();
    EXPECT_GE(w.width(), printSetupRight + 25);
    EXPECT_LE(w.width(), printSetupRight + 25 + 20);  // the layout's right margin
    for (QWidget* control : std::initializer_list<QWidget*>{w.FindCustomer, w.FontButn, w.BitMpButn,
                                                            w.PrnButn, w.FilterEdit, w.LabelList})
      EXPECT_LE(control->mapTo(&w, QPoint(control->width(), 0)).x(), w.width());
    EXPECT_EQ(w.FontLabel->text(), "DejaVu Serif");
    EXPECT_EQ(w.BitmapPath->text(), "/srv/labels/logo.BMP");
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(shot.width(), w.width());
    testing_support::ExpectWholeWindow(w, "label_wizard");
    w.Close();
  });
  wizard_->ShowModal();
  EXPECT_TRUE(ui.Done());
}

TEST_F(LabelWizardTest, CalibrationRulerMarksEveryFiftyDotsAndNamesEveryFourHundred) {
  UiScript ui;
  ui.ExpectMessage(kRulerQuestion, "Please Confirm").Answer(platform::ui::mrNo);
  wizard_->CalibrationRuler1Click();
  EXPECT_TRUE(recorder_->Log().isEmpty());
  ui.ExpectMessage(kRulerQuestion, "Please Confirm").Answer(mrYes);
  wizard_->CalibrationRuler1Click();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(wizard_->StatusLine->text(), "Calibration ruler sent to printer.");
  // 31 ticks down; across, the 48 that stand whole on the printable width of 2400 (0 to 2350).
  // The majors (every eighth from 0) are wider and longer.
  EXPECT_EQ(Drawn(R"(^MoveTo\(50, \d+\).* pen\(4,)").size(), 4);
  EXPECT_EQ(Drawn(R"(^MoveTo\(100, (?!1800\))\d+\).* pen\(2,)").size(), 27);  // not the tick across at 100
  EXPECT_EQ(Drawn(R"(^MoveTo\(\d+, 1750\).* pen\(4,)").size(), 6);
  EXPECT_EQ(Drawn(R"(^MoveTo\(\d+, 1800\).* pen\(2,)").size(), 42);
  EXPECT_EQ(Drawn(R"(^MoveTo\(2350, 1800\))").size(), 1);
  // Values beside the majors, moved onto the page at its edges; lines 50 dots high at the default
  // size, characters 25 dots wide.
  for (const char* value :
       {"TextOut\\(325, 0, \"0\"\\)", "TextOut\\(325, 375, \"400\"\\)", "TextOut\\(325, 1175, \"1200\"\\)",
        "TextOut\\(0, 2025, \"0\"\\)", "TextOut\\(1950, 2025, \"2000\"\\)"})
    EXPECT_EQ(Drawn(QString("^") + value).size(), 1) << value;
  EXPECT_TRUE(Drawn(R"(^TextOut\(\d+, 2025, "2400")").isEmpty());
  // The printable width measured in eighths of an inch: 2400 / 8; the line, 96 characters, as wide
  // as the page, starts at its left edge.
  EXPECT_EQ(Drawn(R"re(^TextOut\(0, 2645, "It appears this printer is printing around 300 DPI)re").size(), 1);
}

TEST_F(LabelWizardTest, StartUpWithoutItsRememberedLayoutAsksForOne) {
  std::ofstream(dir_.File("damaged.LBL"), std::ios::binary) << std::string(200, '\x7f');
  for (const char* remembered : {"gone.LBL", "damaged.LBL"}) {
    ASSERT_TRUE(WriteLastLayoutPath(".", dir_.File(remembered)));
    delete wizard_;
    wizard_ = &Createlblwiz();
    EXPECT_FALSE(std::ifstream(LastLayoutFileName).good()) << remembered;
    EXPECT_FALSE(wizard_->PrnButn->isEnabled());
    EXPECT_EQ(wizard_->StatusLine->text(), "Open a label layout file (Label Menu)...");
  }
  // A new layout saved is a layout to print with.
  UiScript ui;
  SaveAs(ui, dir_.File("new.LBL"));
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(wizard_->PrnButn->isEnabled());
}

// A run that cannot print says why, keeps the queue counted as unprinted for the exit prompt, and
// leaves the printer free: the next job of the run goes out.
TEST_F(LabelWizardTest, ARunThatCannotPrintIsReportedAndTheNextJobStillPrints) {
  struct Case {
    const char* name;
    bool failingPrinter;
    const char* bitmap;
    QString message;
  };
  // A bitmap that is there but is no picture; one that is gone only leaves the block without it.
  const QString damaged = QString::fromStdString(dir_.File("Rückseite.BMP"));
  std::ofstream(damaged.toStdString(), std::ios::binary) << "not a bitmap";
  const Case cases[] = {
      {"page fails", true, "", "The printer went away"},
      {"bitmap unreadable", false, "Rückseite.BMP",
       "The return address bitmap " + damaged + " cannot be loaded."},
  };
  for (const Case& c : cases) {
    std::unique_ptr<platform::print::ScopedPrintBackend> failing;
    if (c.failingPrinter)
      failing = std::make_unique<platform::print::ScopedPrintBackend>(
          std::make_unique<print_testing::FailingPrintBackend>(0, 2));
    for (int i = 0; i < 4; ++i) LabelPrintQueue.Append({"C1", "Alpha Marine", "", "", "C"});  // two sheets
    wizard_->UseCmpAdd->setChecked(*c.bitmap != 0);
    wizard_->UseCmpAddClick();
    wizard_->BitmapPath->setText(*c.bitmap ? damaged : "");
    LabelLayout = wizard_->LayoutFromControls();
    forms::LabelsQueued = 1;
    UiScript ui;
    ui.ExpectMessage(c.message, "Print Labels");
    wizard_->PrnButnClick();
    EXPECT_EQ(forms::LabelsQueued, 1) << c.name;
    EXPECT_FALSE(wizard_->StatusLine->text().startsWith("Complete")) << c.name;
    EXPECT_FALSE(platform::print::Printer().Printing()) << c.name;
    ui.ExpectMessage(kRulerQuestion, "Please Confirm").Answer(mrYes);
    wizard_->CalibrationRuler1Click();
    EXPECT_TRUE(ui.Done()) << c.name;
    EXPECT_EQ(wizard_->StatusLine->text(), "Calibration ruler sent to printer.") << c.name;
  }
}

}  // namespace
