// The printer object, its canvas and the job guard, on the recording back-end.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QTextDocument>
#include <stdexcept>

#include "platform/print/print_document.h"
#include "platform/print/print_job.h"
#include "platform/print/print_test_support.h"
#include "platform/print/print_window.h"
#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"

using namespace platform::print;

namespace {

using print_testing::RecordingPrinterTest;

TEST_F(RecordingPrinterTest, ShortDocumentLogsEveryCallWithTheStateInForce) {
  TPrinter& p = *printer_;
  TCanvas& c = p.Canvas();
  p.SetTitle("Invoice - 1001");
  p.BeginDoc();
  c.Brush.Style = TBrushStyle::bsClear;
  c.Rectangle(20, 100, p.PageWidth() - 20, p.PageHeight() - 20);
  c.Font = {"Times New Roman", 14, fsBold | fsItalic, clWindowText};
  c.TextOut(150, 200, "INVOICE");
  c.Pen.Width = 3;
  c.MoveTo(20, 300);
  c.LineTo(2380, 300);
  p.NewPage();
  c.Pen = {1, 0x00808080, TPenStyle::psDot};
  c.Brush = {TBrushStyle::bsBDiagonal, 0x000000FF};
  c.FillRect(QRect(QPoint(20, 400), QPoint(2379, 499)));
  c.Brush = {TBrushStyle::bsSolid, clWhite};
  c.Font.Style = fsUnderline | fsStrikeOut;
  c.TextOut(150, 600, "page number 2");
  p.EndDoc();

  const QString state1 = "font(Arial, 10, -, 0x80000008) pen(1, 0x00000000, solid) brush(clear, 0x00FFFFFF)";
  const QString state2 =
      "font(Times New Roman, 14, BI, 0x80000008) pen(1, 0x00000000, solid) brush(clear, 0x00FFFFFF)";
  const QString state3 =
      "font(Times New Roman, 14, BI, 0x80000008) pen(3, 0x00000000, solid) brush(clear, 0x00FFFFFF)";
  const QString state4 =
      "font(Times New Roman, 14, BI, 0x80000008) pen(1, 0x00808080, dotted) brush(bdiagonal, 0x000000FF)";
  const QString state5 =
      "font(Times New Roman, 14, US, 0x80000008) pen(1, 0x00808080, dotted) brush(solid, 0x00FFFFFF)";
  const QStringList expected = {
      "BeginDoc(\"Invoice - 1001\", portrait, 2400x3150)",
      "Rectangle(20, 100, 2380, 3130) " + state1,
      "TextOut(150, 200, \"INVOICE\") " + state2,
      "MoveTo(20, 300) " + state3,
      "LineTo(2380, 300) " + state3,
      "NewPage(2)",
      "FillRect(20, 400, 2380, 500) " + state4,
      "TextOut(150, 600, \"page number 2\") " + state5,
      "EndDoc",
  };
  EXPECT_EQ(Log(), expected);
  EXPECT_FALSE(p.Printing());
  EXPECT_FALSE(p.Aborted());
}

TEST_F(RecordingPrinterTest, FixedMetricsAndPageSizes) {
  TCanvas& c = printer_->Canvas();
  c.Font.Size = 10;
  EXPECT_EQ(c.TextHeight("MXjpy"), 50);
  EXPECT_EQ(c.TextWidth("MXjpy"), 125);
  c.Font.Size = 9;
  EXPECT_EQ(c.TextWidth("XXX"), 68);  // 3 x 9 x 2.5 = 67.5, rounded up
  EXPECT_EQ(c.TextWidth(""), 0);

  // US Letter less a quarter inch at each edge, as the Qt back-end lays out a page.
  EXPECT_EQ(printer_->PageWidth(), 2400);
  EXPECT_EQ(printer_->PageHeight(), 3150);
  printer_->SetOrientation(TPrinterOrientation::poLandscape);
  EXPECT_EQ(printer_->PageWidth(), 3150);
  EXPECT_EQ(printer_->PageHeight(), 2400);
}

TEST_F(RecordingPrinterTest, PageNumbersFollowTheJob) {
  EXPECT_EQ(printer_->PageNumber(), 0);
  printer_->BeginDoc();
  EXPECT_TRUE(printer_->Printing());
  EXPECT_EQ(printer_->PageNumber(), 1);
  printer_->NewPage();
  printer_->NewPage();
  EXPECT_EQ(printer_->PageNumber(), 3);
  printer_->EndDoc();
  EXPECT_EQ(printer_->PageNumber(), 0);
  printer_->BeginDoc();
  EXPECT_EQ(printer_->PageNumber(), 1);
  printer_->EndDoc();
}

TEST_F(RecordingPrinterTest, CallsOutOfOrderAreRefused) {
  TCanvas& c = printer_->Canvas();
  EXPECT_THROW(c.TextOut(0, 0, "x"), EPrinter);
  EXPECT_THROW(c.LineTo(1, 1), EPrinter);
  EXPECT_THROW(printer_->NewPage(), EPrinter);
  EXPECT_THROW(printer_->EndDoc(), EPrinter);
  printer_->BeginDoc();
  EXPECT_THROW(printer_->BeginDoc(), EPrinter);
  EXPECT_THROW(printer_->SetOrientation(TPrinterOrientation::poLandscape), EPrinter);
  EXPECT_THROW(printer_->ReplaceBackend(nullptr), EPrinter);
  printer_->EndDoc();
  EXPECT_EQ(Log().size(), 2);  // BeginDoc, EndDoc: nothing of the refused calls reached the back-end
}

TEST_F(RecordingPrinterTest, JobGuardFinishesAndRestoresOrientation) {
  {
    PrintJob job(*printer_, "Sales Report", TPrinterOrientation::poLandscape);
    EXPECT_EQ(printer_->Orientation(), TPrinterOrientation::poLandscape);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    printer_->Canvas().TextOut(10, 10, "Report");
    job.Finish();
    EXPECT_TRUE(job.Finished());
  }
  EXPECT_EQ(printer_->Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(printer_->Aborted());
  ASSERT_EQ(Log().size(), 3);
  EXPECT_EQ(Log()[0], "BeginDoc(\"Sales Report\", landscape, 3150x2400)");
  EXPECT_EQ(Log()[2], "EndDoc");
}

TEST_F(RecordingPrinterTest, FailureInsideTheJobAbortsAndRestoresEverything) {
  auto print = [&] {
    PrintJob job(*printer_, "Mailing Labels", TPrinterOrientation::poLandscape);
    printer_->Canvas().TextOut(10, 10, "Acme Tools");
    throw std::runtime_error("conversion error");
  };
  EXPECT_THROW(print(), std::runtime_error);
  EXPECT_TRUE(printer_->Aborted());
  EXPECT_FALSE(printer_->Printing());
  EXPECT_EQ(printer_->Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  ASSERT_EQ(Log().size(), 3);
  EXPECT_EQ(Log().back(), "Abort");

  // The printer is ready for the next job.
  PrintJob next(*printer_, "Envelope");
  next.Finish();
  EXPECT_FALSE(printer_->Aborted());
  EXPECT_EQ(Log().back(), "EndDoc");
}

TEST_F(RecordingPrinterTest, SecondJobWhilePrintingLeavesTheFirstAlone) {
  PrintJob first(*printer_, "Statement");
  EXPECT_THROW(PrintJob(*printer_, "Envelope", TPrinterOrientation::poLandscape), EPrinter);
  EXPECT_TRUE(printer_->Printing());
  EXPECT_EQ(printer_->Orientation(), TPrinterOrientation::poPortrait);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);  // the first job's
  first.Finish();
  EXPECT_EQ(Log(), QStringList({"BeginDoc(\"Statement\", portrait, 2400x3150)", "EndDoc"}));
}

TEST_F(RecordingPrinterTest, WindowImageIsScaledToThePageKeepingItsProportions) {
  QLabel window("Customer Manager");
  window.setWindowTitle("Customer Manager");
  window.resize(400, 300);
  PrintWindowImage(window, *printer_);
  ASSERT_EQ(Log().size(), 3);
  EXPECT_EQ(Log()[0], "BeginDoc(\"Customer Manager\", portrait, 2400x3150)");
  // 400 x 300 fits the width of 2400: 2400 x 1800.
  EXPECT_TRUE(Log()[1].startsWith("StretchDraw(0, 0, 2400, 1800, image 400x300)")) << Log()[1].toStdString();
  EXPECT_EQ(Log()[2], "EndDoc");
}

TEST_F(RecordingPrinterTest, TextDocumentRunsOverAsManyPagesAsItNeeds) {
  QTextDocument document;
  QStringList lines;
  for (int i = 1; i <= 300; ++i) lines << QStringLiteral("Line %1 of the customer list").arg(i);
  document.setPlainText(lines.join('\n'));
  PrintTextDocument(document, "Customer List", *printer_);

  ASSERT_GE(Log().size(), 5);
  EXPECT_EQ(Log().first(), "BeginDoc(\"Customer List\", portrait, 2400x3150)");
  EXPECT_EQ(Log().last(), "EndDoc");
  const int pages = Log().filter("DrawTextDocumentPage(").size();
  EXPECT_GE(pages, 2);
  EXPECT_EQ(Log().filter("NewPage(").size(), pages - 1);
  EXPECT_TRUE(
      Log()[1].startsWith(QStringLiteral("DrawTextDocumentPage(1 of %1, 0, 0, 2400, 3150)").arg(pages)))
      << Log()[1].toStdString();
  EXPECT_EQ(document.pageCount(), 1);  // the caller's document is not paginated
  EXPECT_EQ(WhereLastJobWent(*printer_), "sent to printer");
}

TEST_F(RecordingPrinterTest, ApplicationPrinterTakesAScopedBackend) {
  auto backend = std::make_unique<RecordingPrintBackend>(QSize(600, 2000));
  RecordingPrintBackend* recorder = backend.get();
  {
    ScopedPrintBackend scoped(std::move(backend));
    EXPECT_EQ(Printer().PageWidth(), 600);
    Printer().BeginDoc();
    Printer().EndDoc();
    EXPECT_EQ(recorder->Log().size(), 2);
  }
  EXPECT_NE(Printer().PageWidth(), 600);
}

}  // namespace
