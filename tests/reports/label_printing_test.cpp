// Label layouts and label printing: the layout file, the places of the labels on the sheets, and
// the labels as drawn on the recording printer.

#include "reports/label_printing.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cstring>
#include <fstream>

#include "forms/run_state.h"
#include "platform/barcode/barcode.h"
#include "platform/print/print_test_support.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/vendor_file.h"
#include "reports/label_layout.h"
#include "reports/label_wizard.h"
#include "reports_fixture.h"

using namespace reports;

namespace {

TEST(LabelSpotsTest, LabelsFillRowsThenSheets) {
  const LabelSheet threeAcross{100, 50, 3, 10, 800, 300};
  // Start at label 5: one full row and one label are skipped.
  EXPECT_EQ(LabelSpots(threeAcross, 5, 1).front(), (LabelSpot{0, 50 + 800, 100 + 300}));

  const LabelSheet twoByTwo{0, 0, 2, 2, 1000, 500};
  std::vector<int> pages;
  for (const LabelSpot& spot : LabelSpots(twoByTwo, 1, 6)) pages.push_back(spot.Page);
  EXPECT_EQ(pages, (std::vector<int>{0, 0, 0, 0, 1, 1}));
  // A queue that fills the sheet exactly starts no further page.
  EXPECT_EQ(LabelSpots(twoByTwo, 1, 4).back(), (LabelSpot{0, 1000, 500}));
  EXPECT_EQ(LabelSpots(twoByTwo, 4, 2)[1], (LabelSpot{1, 0, 0}));
}

TEST(LabelSpotsTest, SettingsOffTheSheetAreRefused) {
  LabelPrintSettings s;
  s.Sheet = {0, 0, 3, 2, 800, 300};
  s.Start = 6;
  EXPECT_EQ(LabelSettingsError(s), "");
  s.Start = 7;
  EXPECT_NE(LabelSettingsError(s), "");
  s.Start = 1;
  s.Sheet.Columns = 0;
  EXPECT_NE(LabelSettingsError(s), "");
}

class LabelPrintingTest : public test_fixtures::ReportsTest {
 protected:
  LabelPrintingTest() {
    auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
    recorder_ = backend.get();
    printer_ = std::make_unique<platform::print::TPrinter>(std::move(backend));
    EXPECT_TRUE(records::CreateCustomerFile());
    EXPECT_TRUE(records::CreateVendorFile());
    records::CustomerRec c{};
    c.CustomerNo.Set("C1");
    c.CustomerName.Set("Alpha Marine");
    c.CustBillTo1.Set("12 Quay Street");
    c.ShipTo1.Set("Berth 9");
    FileCustomers({c});
    records::ProductRec p{};
    p.Code.Set("rope10");
    p.Description.Set("Rope 10 mm");
    p.Price.Set("19.95");
    p.Location.Set("Shelf 4");
    FileProducts({p});
    settings_.Sheet = {100, 50, 2, 2, 1000, 500};
    settings_.Font.Size = 10;  // lines 50 dots high on the recording printer
  }
  ~LabelPrintingTest() override {
    for (storage::IsamFileBlock* file : {&records::CustomerFile, &records::VendorFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }
  // The wizard's sheet: top margin 100, left margin 50, and the sheet given.
  static void FillSheetBoxes(Tlblwiz& wizard, const char* columns, const char* rows, const char* width,
                             const char* height) {
    for (auto [box, text] : {std::pair{wizard.TopMargin, "100"},
                             {wizard.LeftMargin, "50"},
                             {wizard.Columns, columns},
                             {wizard.Rows, rows},
                             {wizard.LabelWidth, width},
                             {wizard.LabelHeight, height}})
      box->setText(text);
  }
  // The texts drawn, as "x,y text".
  QStringList Drawn() const {
    QStringList texts;
    static const QRegularExpression text(R"re(^TextOut\((\d+), (\d+), "([^"]*)"\))re");
    for (const QString& line : recorder_->Log()) {
      const auto m = text.match(line);
      if (m.hasMatch() && !m.captured(3).isEmpty())
        texts << m.captured(1) + "," + m.captured(2) + " " + m.captured(3);
    }
    return texts;
  }
  int Count(const QString& prefix) const {
    return static_cast<int>(std::count_if(recorder_->Log().begin(), recorder_->Log().end(),
                                          [&](const QString& line) { return line.startsWith(prefix); }));
  }

  platform::print::RecordingPrintBackend* recorder_;
  std::unique_ptr<platform::print::TPrinter> printer_;
  LabelPrintSettings settings_;
};

TEST_F(LabelPrintingTest, CopiesRunOnToASecondSheet) {
  settings_.Copies = 2;
  const LabelPrintResult result = PrintLabels({{"C1", "", "", "", "C"},
                                               {"GONE", "", "", "", "C"},
                                               {"rope10", "", "", "", "P"},
                                               {"C1", "", "", "", "C"}},
                                              settings_, *printer_);
  EXPECT_EQ(result.Printed, 6);
  EXPECT_EQ(result.Missing, 1);
  EXPECT_EQ(Count("BeginDoc(\"Mailing Labels\""), 1);
  EXPECT_EQ(Count("NewPage"), 1);
  const QStringList drawn = Drawn();
  EXPECT_TRUE(drawn.contains("50,100 Alpha Marine"));
  EXPECT_TRUE(drawn.contains("1050,100 Alpha Marine"));
  EXPECT_TRUE(drawn.contains("50,150 12 Quay Street"));
  EXPECT_TRUE(drawn.contains("50,600 ROPE10"));
  EXPECT_TRUE(drawn.contains("50,650 Rope 10 mm"));
  EXPECT_TRUE(drawn.contains("50,700 19.95   Shelf 4"));
}

TEST_F(LabelPrintingTest, ReturnAddressShiftsTheLabelAndShippingLinesAreUsed) {
  records::CurrentCompany.CompanyName.Set("Harbour Supplies");
  settings_.ReturnAddress = true;
  settings_.UseShipping = true;
  settings_.PrintLine = true;
  settings_.LineWidth = 0;
  settings_.Start = 4;
  PrintLabels({{"C1", "", "", "", "C"}}, settings_, *printer_);
  const QStringList drawn = Drawn();
  // No caption: the address still moves right by the width of "X" (25 dots), six lines down.
  EXPECT_TRUE(drawn.contains("1050,600 Harbour Supplies"));
  EXPECT_TRUE(drawn.contains("1075,900 Alpha Marine"));
  EXPECT_TRUE(drawn.contains("1075,950 Berth 9"));
  EXPECT_TRUE(recorder_->Log().filter(QRegularExpression(R"(^MoveTo\(1025, 870\))")).size() == 1);
  EXPECT_TRUE(recorder_->Log().filter(QRegularExpression(R"(^LineTo\(1850, 870\).*pen\(1,)")).size() == 1);
}

// A return-address bitmap that was deleted since the layout was saved: every label still gets the
// whole return-address block, where the bitmap would have stood, and its address.
TEST_F(LabelPrintingTest, ABitmapNoLongerThereLeavesTheBlockWithoutIt) {
  records::CurrentCompany.CompanyName.Set("Harbour Supplies");
  records::CurrentCompany.CompanyAddr1.Set("1 Quay Road");
  records::CurrentCompany.CompanyAddr4.Set("Portsmouth");
  settings_.ReturnAddress = true;
  settings_.BitmapPath = "/tmp/kestrava-no-such-dir/logo.bmp";
  settings_.Copies = 2;
  const LabelPrintResult result = PrintLabels({{"C1", "", "", "", "C"}}, settings_, *printer_);
  EXPECT_EQ(result.Printed, 2);
  EXPECT_EQ(Count("Draw"), 0);
  const QStringList drawn = Drawn();
  for (const char* text :
       {"50,100 Harbour Supplies", "50,150 1 Quay Road", "50,300 Portsmouth", "75,400 Alpha Marine",
        "1050,100 Harbour Supplies", "1050,300 Portsmouth", "1075,450 12 Quay Street"})
    EXPECT_TRUE(drawn.contains(text)) << text << "\n" << drawn.join("\n").toStdString();
}

TEST_F(LabelPrintingTest, LayoutFilesKeepTheirRecordAndShortFilesGiveNone) {
  LabelLayoutRec layout{};
  layout.Description.Set("Avery 3 x 10");
  layout.Columns.Set("3");
  layout.FontSize.Set(12);
  layout.ReturnAddress = 0;
  layout.PrintLine = 1;
  layout.BitmapPath.Set("/tmp/logo.bmp");
  const LabelLayoutRec saved = LayoutAsSaved(layout);
  EXPECT_EQ(saved.BitmapPath.Get(), " ");
  EXPECT_EQ(saved.PrintLine, 0);
  const std::string path = dir_.File("sheet.LBL");
  ASSERT_TRUE(WriteLayoutFile(path, saved));
  const auto back = ReadLayoutFile(path);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(std::memcmp(&*back, &saved, sizeof saved), 0);
  EXPECT_EQ(back->Description.Get(), "Avery 3 x 10");

  std::ofstream(dir_.File("short.LBL"), std::ios::binary) << std::string(100, '\x05');
  EXPECT_FALSE(ReadLayoutFile(dir_.File("short.LBL")).has_value());
  EXPECT_FALSE(ReadLayoutFile(dir_.File("none.LBL")).has_value());

  ASSERT_TRUE(WriteLastLayoutPath(dir_.File(""), path));
  EXPECT_EQ(ReadLastLayoutPath(dir_.File("")), path);
}

}  // namespace

namespace {

TEST_F(LabelPrintingTest, WizardPrintsTheQueueWithItsBoxes) {
  auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
  platform::print::RecordingPrintBackend* recorder = backend.get();
  platform::print::ScopedPrintBackend scoped(std::move(backend));
  Tlblwiz& wizard = Createlblwiz();
  LabelPrintQueue.Clear();
  LabelPrintQueue.Append({"C1", "Alpha Marine", "", "", "C"});
  testing_support::UiScript ui;
  ui.ExpectMessage(
      "You have an empty layout definition field. All layout fields are required. Use the Label - Open menu "
      "option to open a layout file or create your own layout.",
      "Print Labels");
  wizard.PrnButnClick();
  FillSheetBoxes(wizard, "3", "2", "800", "300");
  wizard.StartLabel->setText("7");  // beyond a sheet of six
  ui.ExpectMessage("Your layout settings have changed. Do you want to save the changes before printing?",
                   "Print Labels")
      .Answer(platform::ui::mrNo);
  ui.ExpectMessage("The start label must lie on the sheet: 1 to 6.", "Print Labels");
  wizard.PrnButnClick();
  wizard.StartLabel->setText("5");
  ui.ExpectMessage("Your layout settings have changed. Do you want to save the changes before printing?",
                   "Print Labels")
      .Answer(platform::ui::mrNo);
  wizard.PrnButnClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(wizard.StatusLine->text(), "Complete. 1 label(s) sent to printer.");
  EXPECT_EQ(forms::LabelsQueued, 0);
  EXPECT_EQ(recorder->Log().filter(QRegularExpression(R"re(^TextOut\(850, 400, "Alpha Marine"\))re")).size(),
            1);
  LabelPrintQueue.Clear();
}

}  // namespace

namespace {

TEST_F(LabelPrintingTest, ProductBarCodesDecodeFromTheRealPdf) {
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  platform::print::QtPrintBackend* qt = backend.get();
  platform::print::TPrinter pdfPrinter(std::move(backend));
  records::CurrentCompany.BarCodesOnLabels.Set("Y");
  records::CurrentCompany.BarCodeType.Set("3");
  // The default label font, 10 points: the bars take what the code needs, not eight "X".
  EXPECT_TRUE(PrintLabels({{"rope10", "", "", "", "P"}}, settings_, pdfPrinter).UnfitBarCodes.empty());
  const QString pdf = qt->OutputFile();
  ASSERT_FALSE(pdf.isEmpty());
  const QString png = print_testing::RenderPage(pdf, 1, QString::fromStdString(dir_.File("labels")), 200);
  const print_testing::ToolResult decoded = print_testing::RunTool("zbarimg", {"-q", "--raw", png});
  ASSERT_TRUE(decoded.ran);
  // The code with its mod-43 check character (27 + 24 + 25 + 14 + 1 + 0 = 91, 91 mod 43 = 5).
  EXPECT_EQ(decoded.output.trimmed(), "ROPE105");
}

// The ruler on a real printer's page, read back by pdftotext: every value inside the printable
// area, a quarter inch in from each edge, and only the ticks that are on it (0 to 2000 of the
// 2400 dots across).
TEST_F(LabelPrintingTest, TheCalibrationRulerStandsOnThePrintableArea) {
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  platform::print::QtPrintBackend* qt = backend.get();
  platform::print::TPrinter pdfPrinter(std::move(backend));
  PrintCalibrationRuler(pdfPrinter);
  const std::vector<print_testing::PdfWord> words = print_testing::PdfWords(qt->OutputFile());
  ASSERT_FALSE(words.empty());
  QStringList texts;
  for (const print_testing::PdfWord& w : words) {
    EXPECT_TRUE(print_testing::WithinPrintableArea(w)) << w.text.toStdString();
    texts << w.text;
  }
  for (const char* value : {"0", "400", "800", "1200", "1600", "2000", "300"})
    EXPECT_TRUE(texts.contains(value)) << value;
  EXPECT_FALSE(texts.contains("2400"));
  EXPECT_FALSE(texts.contains("2800"));
}

}  // namespace

namespace {

TEST_F(LabelPrintingTest, BarCodesFollowTheCompanysSymbologyAndARefusedCodeOnlyLosesItsBars) {
  records::ProductRec soap{};
  soap.Code.Set("03600029145");
  soap.Description.Set("Soap");
  soap.Price.Set("2.50");
  FileProducts({soap});
  struct Case {
    const char* onLabels;
    const char* symbology;
    const char* code;
    bool bars;
  };
  const Case cases[] = {{"Y", "3", "rope10", true},
                        {"Y", "U", "rope10", false},  // letters are no UPC-A
                        {"Y", "U", "03600029145", true},
                        {"Y", "E", "rope10", false},
                        {"N", "3", "rope10", false}};
  for (const Case& c : cases) {
    records::CurrentCompany.BarCodesOnLabels.Set(c.onLabels);
    records::CurrentCompany.BarCodeType.Set(c.symbology);
    recorder_->ClearLog();
    EXPECT_EQ(PrintLabels({{c.code, "", "", "", "P"}}, settings_, *printer_).Printed, 1);
    EXPECT_EQ(Count("FillRect") > 0, c.bars) << c.symbology << " " << c.code;
    // The three text lines stand whatever becomes of the bars.
    EXPECT_EQ(Drawn().size(), 3) << c.symbology << " " << c.code;
  }
}

TEST_F(LabelPrintingTest, VendorLabelsTakeTheOrderOrTheShippingAddress) {
  records::VendorRec v{};
  v.VendorNo.Set("V1");
  v.VendorName.Set("Dockside Timber");
  v.OrderAddr1.Set("1 Mill Lane");
  v.ShipTo1.Set("Yard 3");
  FileVendors({v});
  for (bool shipping : {false, true}) {
    settings_.UseShipping = shipping;
    recorder_->ClearLog();
    PrintLabels({{"V1", "", "", "", "V"}}, settings_, *printer_);
    EXPECT_EQ(Drawn(),
              (QStringList{"50,100 Dockside Timber", shipping ? "50,150 Yard 3" : "50,150 1 Mill Lane"}));
  }
}

}  // namespace

namespace {

// The bars are as wide as the code needs at 4-dot modules, 3-dot ones on a narrower label, each
// ending ten modules before the label's right edge; a code that cannot fit gets no bars and is
// named once for the run, whatever its copies.
TEST_F(LabelPrintingTest, BarsTakeWhatTheCodeNeedsWithinTheLabelWidth) {
  records::CurrentCompany.BarCodesOnLabels.Set("Y");
  records::CurrentCompany.BarCodeType.Set("3");
  settings_.Copies = 3;
  static const QRegularExpression bar(R"(^FillRect\((\d+), \d+, (\d+), \d+\))");
  const int modules = static_cast<int>(
      platform::barcode::EncodeBarCode(platform::barcode::TBarCodeType::bcCode39, "ROPE10").modules.size());
  for (const auto& [width, module] : {std::pair{1000, 4},
                                      {(modules + 10) * 4 - 1, 3},
                                      {(modules + 10) * 3, 3},
                                      {(modules + 10) * 3 - 1, 0}}) {
    settings_.Sheet.Width = width;
    recorder_->ClearLog();
    const LabelPrintResult result = PrintLabels({{"rope10", "", "", "", "P"}}, settings_, *printer_);
    EXPECT_EQ(result.UnfitBarCodes,
              module == 0 ? std::vector<std::string>{"ROPE10"} : std::vector<std::string>{})
        << width;
    // The first label's bars, at the sheet's left margin of 50.
    int narrowest = width, right = 0;
    for (const QString& line : recorder_->Log()) {
      const QRegularExpressionMatch m = bar.match(line);
      if (!m.hasMatch() || m.captured(1).toInt() >= 50 + width) continue;
      narrowest = std::min(narrowest, m.captured(2).toInt() - m.captured(1).toInt());
      right = std::max(right, m.captured(2).toInt());
    }
    if (module == 0) {
      EXPECT_EQ(right, 0) << width;
      EXPECT_EQ(Drawn().filter("ROPE10").size(), 3) << "the code line of each label, nothing more";
    } else {
      EXPECT_EQ(narrowest, module) << width;
      EXPECT_EQ(right, 50 + modules * module) << width;
      EXPECT_LE(right + 10 * module, 50 + width) << width;
    }
  }
}

TEST_F(LabelPrintingTest, TheWizardNamesTheCodesTooWideForTheirLabelsOnce) {
  records::ProductRec chain{};
  chain.Code.Set("CHAIN-8MM-GALV");
  chain.Description.Set("Chain 8 mm");
  FileProducts({chain});
  records::CurrentCompany.BarCodesOnLabels.Set("Y");
  records::CurrentCompany.BarCodeType.Set("3");
  platform::print::ScopedPrintBackend scoped(std::make_unique<platform::print::RecordingPrintBackend>());
  Tlblwiz& wizard = Createlblwiz();
  LabelPrintQueue.Clear();
  for (const char* code : {"CHAIN-8MM-GALV", "rope10", "CHAIN-8MM-GALV"})
    LabelPrintQueue.Append({code, code, "", "", "P"});
  FillSheetBoxes(wizard, "3", "10", "300", "300");
  wizard.Copies->setText("2");
  testing_support::UiScript ui;
  ui.ExpectMessage("Your layout settings have changed. Do you want to save the changes before printing?",
                   "Print Labels")
      .Answer(platform::ui::mrNo);
  ui.ExpectMessage(
      "The bar codes of these products are too wide for the labels and were left out: CHAIN-8MM-GALV and "
      "ROPE10. Wider labels or shorter codes will take bar codes.",
      "Print Labels");
  wizard.PrnButnClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(wizard.StatusLine->text(), "Complete. 6 label(s) sent to printer.");
  LabelPrintQueue.Clear();
}

}  // namespace
