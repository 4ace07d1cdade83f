// Bar codes painted on the canvas: the bars as drawn (recording back-end), and a printed page
// read back by a scanner program (Qt back-end, pdftoppm, zbarimg).

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <vector>

#include "platform/barcode/barcode.h"
#include "platform/print/print_job.h"
#include "platform/print/print_test_support.h"
#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "support/temp_dir.h"

using namespace platform::barcode;
using namespace platform::print;

namespace {

class BarCodePaintTest : public print_testing::RecordingPrinterTest {
 protected:
  BarCodePaintTest() {
    printer_->BeginDoc();
    printer_->Canvas().Brush.Style = TBrushStyle::bsClear;
    recorder_->ClearLog();
  }
  ~BarCodePaintTest() override { printer_->Abort(); }

  QStringList Bars() const { return Log().filter(QRegularExpression("^FillRect")); }
};

TEST_F(BarCodePaintTest, BarsAreWholePixelsFromTheLeftEdgeAndFullHeight) {
  TCanvas& c = printer_->Canvas();
  ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcUPC_A, "036000291452", 100, 200, 1100, 400));
  const QStringList bars = Bars();
  ASSERT_EQ(bars.size(), 30);
  EXPECT_EQ(recorder_->Log().size(), 30);  // bars only: no text, nothing else
  const QString black = " font(Arial, 10, -, 0x80000008) pen(1, 0x00000000, solid) brush(solid, 0x00000000)";
  // 95 modules in 1000 pixels: 10 each. The start guard 101, the end guard 101 ending at 100 + 950.
  EXPECT_EQ(bars[0], "FillRect(100, 200, 110, 400)" + black);
  EXPECT_EQ(bars[1], "FillRect(120, 200, 130, 400)" + black);
  EXPECT_EQ(bars[29], "FillRect(1040, 200, 1050, 400)" + black);
  // The caller's clear brush is back.
  EXPECT_EQ(c.Brush.Style, TBrushStyle::bsClear);
}

TEST_F(BarCodePaintTest, ARectangleTooNarrowToReadPrintsTheCodeAsText) {
  TCanvas& c = printer_->Canvas();
  ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcEAN_13, "4006381333931", 100, 200, 385, 300));  // 3 x 95
  EXPECT_EQ(Bars().size(), 30);
  EXPECT_TRUE(Bars().last().startsWith("FillRect(382, 200, 385, 300)")) << Bars().last().toStdString();
  recorder_->ClearLog();
  ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcEAN_13, "4006381333931", 100, 200, 384, 300));
  ASSERT_EQ(Log().size(), 1);
  EXPECT_TRUE(Log().first().startsWith(R"(TextOut(100, 200, "4006381333931"))"))
      << Log().first().toStdString();
}

TEST_F(BarCodePaintTest, RejectedCodePaintsNothing) {
  TCanvas& c = printer_->Canvas();
  EXPECT_FALSE(PaintBarCode(c, TBarCodeType::bcUPC_A, "036000291453", 100, 200, 1100, 400));
  EXPECT_FALSE(PaintBarCode(c, TBarCodeType::bcCode39, "abc", 100, 200, 1100, 400));
  EXPECT_TRUE(recorder_->Log().isEmpty()) << recorder_->Log().join('\n').toStdString();
  EXPECT_EQ(c.Brush.Style, TBrushStyle::bsClear);
}

TEST_F(BarCodePaintTest, ComponentRaisesOnRejectedCodesAndThenPaintsNothing) {
  TBarCode bar_code;
  bar_code.BarCodeType = TBarCodeType::bcUPC_A;
  try {
    bar_code.SetCode("ABC-123");
    FAIL() << "a UPC-A code of letters was accepted";
  } catch (const EBarCodeError& e) {
    EXPECT_STREQ(e.what(), "UPC-A codes hold digits only.");
  }
  bar_code.Paint(printer_->Canvas(), 0, 0, 1000, 100);
  EXPECT_TRUE(recorder_->Log().isEmpty());

  bar_code.BarCodeType = TBarCodeType::bcCode39;
  bar_code.SetCode("ABC-123");
  bar_code.Paint(printer_->Canvas(), 0, 0, 1000, 100);
  EXPECT_EQ(Bars().size(), 50);
}

// A sweep of rectangle widths, from a product label's eight "X" up, for each symbology: printed,
// rendered at 200 dpi and scanned, every code that got bars reads back, and every other one is on
// the page as text.
TEST(BarCodeScanTest, EveryPrintedBarCodeScansBackAt200DpiOrPrintsAsText) {
  testing_support::TempDir dir;
  auto backend = std::make_unique<QtPrintBackend>();
  backend->SetPrintToFile(true);
  QtPrintBackend* qt = backend.get();
  TPrinter printer(std::move(backend));
  TCanvas& c = printer.Canvas();
  struct Symbol {
    TBarCodeType type;
    const char* code;
    const char* scanned;  // zbar reads the Code 39 check character as data
  };
  const Symbol symbols[] = {{TBarCodeType::bcCode39, "W-42", "CODE-39:W-42V"},
                            {TBarCodeType::bcUPC_A, "03600029145", "UPC-A:036000291452"},
                            {TBarCodeType::bcEAN_13, "4006381333931", "EAN-13:4006381333931"}};
  const int widths[] = {222, 260, 285, 300, 400, 1000};
  std::vector<QStringList> barred, asText;  // by page: one page per width, as zbar reports a
                                            // symbol once per image
  {
    PrintJob job(printer, "Bar codes");
    c.Brush.Style = TBrushStyle::bsClear;
    c.Font = {"Arial", 10, 0, clBlack};
    for (int width : widths) {
      if (!barred.empty()) printer.NewPage();
      barred.emplace_back();
      asText.emplace_back();
      int y = 100;
      for (const Symbol& s : symbols) {
        ASSERT_TRUE(PaintBarCode(c, s.type, s.code, 300, y, 300 + width, y + 150));
        const int modules = static_cast<int>(EncodeBarCode(s.type, s.code).modules.size());
        if (ModuleWidth(width, modules) > 0)
          barred.back() << s.scanned;
        else
          asText.back() << s.code;
        y += 400;
      }
      barred.back().sort();
    }
    job.Finish();
  }
  const QString pdf = qt->OutputFile();
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_TRUE(barred.front().isEmpty()) << "eight X of a 10-point font hold no readable symbol";
  EXPECT_EQ(barred.back().size(), 3);

  const QStringList texts = print_testing::PdfText(pdf).split('\f');
  for (int page = 1; page <= static_cast<int>(barred.size()); ++page) {
    SCOPED_TRACE(testing::Message() << widths[page - 1] << " pixels wide");
    const QString png = print_testing::RenderPage(pdf, page, QStringLiteral("page%1").arg(page), 200);
    ASSERT_FALSE(png.isEmpty());
    const print_testing::ToolResult result =
        print_testing::RunTool("zbarimg", {"--quiet", "-Supca.enable", png});
    ASSERT_TRUE(result.ran) << result.errors.toStdString();
    QStringList scanned = result.output.split('\n', Qt::SkipEmptyParts);
    scanned.sort();
    EXPECT_EQ(scanned, barred[page - 1]);
    for (const QString& code : asText[page - 1]) {
      EXPECT_TRUE(texts.value(page - 1).contains(code)) << code.toStdString();
    }
  }
}

}  // namespace
