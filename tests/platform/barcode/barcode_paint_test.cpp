// Bar codes painted on the canvas: the bars as drawn (recording back-end), and a printed page
// read back by a scanner program (Qt back-end, pdftoppm, zbarimg).

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

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
  // 12-mil modules of 4 pixels: the start guard 101, the end guard 101 ending at 100 + 95 x 4.
  EXPECT_EQ(bars[0], "FillRect(100, 200, 104, 400)" + black);
  EXPECT_EQ(bars[1], "FillRect(108, 200, 112, 400)" + black);
  EXPECT_EQ(bars[29], "FillRect(476, 200, 480, 400)" + black);
  // The caller's clear brush is back.
  EXPECT_EQ(c.Brush.Style, TBrushStyle::bsClear);
}

TEST_F(BarCodePaintTest, NarrowRectangleNarrowsTheModules) {
  TCanvas& c = printer_->Canvas();
  ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcEAN_13, "4006381333931", 100, 200, 322, 300));  // 222 wide
  const QStringList bars = Bars();
  ASSERT_EQ(bars.size(), 30);
  EXPECT_TRUE(bars.first().startsWith("FillRect(100, 200, 102, 300)")) << bars.first().toStdString();
  EXPECT_TRUE(bars.last().startsWith("FillRect(288, 200, 290, 300)")) << bars.last().toStdString();
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

TEST(BarCodeScanTest, PrintedBarCodesScanBack) {
  testing_support::TempDir dir;
  auto backend = std::make_unique<QtPrintBackend>();
  backend->SetPrintToFile(true);
  QtPrintBackend* qt = backend.get();
  TPrinter printer(std::move(backend));
  TCanvas& c = printer.Canvas();
  {
    PrintJob job(printer, "Bar codes");
    c.Brush.Style = TBrushStyle::bsClear;
    // At 12 mils, the way invoice and PO numbers print.
    c.TextOut(300, 200, "Code 39, UPC-A and EAN-13");
    ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcCode39, "ABC-123", 300, 400, 2250, 700));
    ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcUPC_A, "03600029145", 300, 1000, 2250, 1300));
    ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcEAN_13, "4006381333931", 300, 1600, 2250, 1900));
    printer.NewPage();
    // In the width of eight "X" of a 10-point font, the way product labels print them.
    c.Font = {"Arial", 10, 0, clBlack};
    const int width = c.TextWidth("XXXXXXXX");
    ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcCode39, "W-42", 300, 400, 300 + width, 550));
    ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcUPC_A, "012345678905", 300, 1000, 300 + width, 1150));
    ASSERT_TRUE(PaintBarCode(c, TBarCodeType::bcEAN_13, "978020137962", 300, 1600, 300 + width, 1750));
    job.Finish();
  }
  const QString pdf = qt->OutputFile();
  ASSERT_FALSE(pdf.isEmpty());

  auto scan = [&](int page) {
    const QString png = print_testing::RenderPage(pdf, page, QStringLiteral("page%1").arg(page));
    EXPECT_FALSE(png.isEmpty());
    const print_testing::ToolResult result =
        print_testing::RunTool("zbarimg", {"--quiet", "-Supca.enable", png});
    EXPECT_TRUE(result.ran) << result.errors.toStdString();
    QStringList symbols = result.output.split('\n', Qt::SkipEmptyParts);
    symbols.sort();
    return symbols;
  };
  // zbar reads the Code 39 check character as data: "ABC-123" carries "W", "W-42" carries "V".
  EXPECT_EQ(scan(1), QStringList({"CODE-39:ABC-123W", "EAN-13:4006381333931", "UPC-A:036000291452"}));
  EXPECT_EQ(scan(2), QStringList({"CODE-39:W-42V", "EAN-13:9780201379624", "UPC-A:012345678905"}));
}

}  // namespace
