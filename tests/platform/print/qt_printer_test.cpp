// The Qt back-end printing to PDF files, read back by the poppler tools.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTextDocument>
#include <cerrno>
#include <cstring>

#include "platform/files/fault_seam.h"
#include "platform/print/print_document.h"
#include "platform/print/print_job.h"
#include "platform/print/print_test_support.h"
#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "support/temp_dir.h"

using namespace platform::print;
using print_testing::PdfInfo;
using print_testing::PdfText;
using print_testing::RenderPage;

namespace {

bool Near(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
         std::abs(a.blue() - b.blue()) <= 2;
}

class QtPrinterTest : public testing::Test {
 protected:
  QtPrinterTest() {
    auto backend = std::make_unique<QtPrintBackend>();
    backend->SetPrintToFile(true);
    qt_ = backend.get();
    printer_ = std::make_unique<TPrinter>(std::move(backend));
  }

  QStringList Printouts() const { return QDir("Printouts").entryList(QDir::Files); }

  testing_support::TempDir dir_;
  QtPrintBackend* qt_;
  std::unique_ptr<TPrinter> printer_;
};

TEST_F(QtPrinterTest, TwoPagePdfReadsBackInOrderWithTitleAndPageCount) {
  TCanvas& c = printer_->Canvas();
  {
    PrintJob job(*printer_, "Invoice - 1001");
    c.Font = {"Arial", 12, 0, clWindowText};
    c.TextOut(300, 300, "Kestrava Hardware");
    c.TextOut(300, 300 + c.TextHeight("MXjpy"), "Invoice 1001");
    printer_->NewPage();
    c.Font = {"Times New Roman", 12, fsBold, clBlack};
    c.TextOut(300, 300, "page number 2");
    job.Finish();
  }
  const QString pdf = qt_->OutputFile();
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_EQ(QFileInfo(pdf).absolutePath(), QDir::current().absoluteFilePath("Printouts"));
  EXPECT_TRUE(QFileInfo(pdf).fileName().startsWith("Invoice - 1001 ")) << pdf.toStdString();
  EXPECT_EQ(WhereLastJobWent(*printer_), "saved as " + pdf);  // what the status bar says

  const QString info = PdfInfo(pdf);
  EXPECT_TRUE(
      info.contains(QRegularExpression("^Title: +Invoice - 1001$", QRegularExpression::MultilineOption)))
      << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression("^Pages: +2$", QRegularExpression::MultilineOption)));
  EXPECT_TRUE(
      info.contains(QRegularExpression("^Page size: +612 x 792 pts", QRegularExpression::MultilineOption)));

  const QString text = PdfText(pdf);
  const QStringList pages = text.split('\f');
  ASSERT_GE(pages.size(), 2) << text.toStdString();
  EXPECT_EQ(pages[0].simplified(), "Kestrava Hardware Invoice 1001");
  EXPECT_EQ(pages[1].simplified(), "page number 2");
}

// The page is what an office printer reaches of a Letter sheet: a quarter inch (75 pixels) in
// from every edge.
TEST_F(QtPrinterTest, PagesAreLetterLessItsMarginsAtThreeHundredPixelsToTheInch) {
  EXPECT_EQ(printer_->PageWidth(), 2400);
  EXPECT_EQ(printer_->PageHeight(), 3150);
  printer_->SetOrientation(TPrinterOrientation::poLandscape);
  EXPECT_EQ(printer_->PageWidth(), 3150);
  EXPECT_EQ(printer_->PageHeight(), 2400);

  // A 10-point Arial (Liberation Sans) "X" is 0.667 em: 10 x 300 / 72 x 0.667 = 27.8 pixels.
  TCanvas& c = printer_->Canvas();
  c.Font = {"Arial", 10, 0, clWindowText};
  EXPECT_NEAR(c.TextWidth(QString(10, 'X')), 278, 3);
  EXPECT_NEAR(c.TextHeight("MXjpy"), 48, 3);  // ascent + descent of 10 points at 300 dpi
  c.Font.Size = 20;
  EXPECT_NEAR(c.TextWidth(QString(10, 'X')), 556, 5);
}

TEST_F(QtPrinterTest, DrawingLandsOnThePixelsItNames) {
  {
    PrintJob job(*printer_, "Layout");
    TCanvas& c = printer_->Canvas();
    c.Brush.Style = TBrushStyle::bsClear;
    c.Font = {"Arial", 24, 0, clBlack};
    c.TextOut(600, 600, "HHHH");
    c.Brush = {TBrushStyle::bsSolid, 0x000000FF};  // red
    c.FillRect(QRect(QPoint(1000, 1000), QPoint(1099, 1099)));
    c.Pen = {5, 0x00FF0000, TPenStyle::psSolid};  // blue
    c.MoveTo(200, 2000);
    c.LineTo(2200, 2000);
    c.Pen = {1, clBlack, TPenStyle::psSolid};
    c.Brush.Style = TBrushStyle::bsClear;
    c.Rectangle(1500, 1000, 1600, 1100);
    QImage image(100, 60, QImage::Format_RGB32);
    image.fill(QColor(0, 255, 0));
    c.Draw(1800, 1000, image);
    c.Brush = {TBrushStyle::bsSolid, 0x0000FFFF};  // yellow behind the text
    c.TextOut(600, 1400, "HHHH");
    c.Brush = {TBrushStyle::bsSolid, clBlack};
    c.FillRect(QRect(0, 0, 10, 10));  // the page's corner
    job.Finish();
  }
  const QString png = RenderPage(qt_->OutputFile(), 1, "page");
  ASSERT_FALSE(png.isEmpty());
  const QImage page(png);
  ASSERT_EQ(page.size(), QSize(2550, 3300));  // the sheet
  const int m = 75;                           // where the page starts on it

  // The page's corner lies a quarter inch in from the sheet's; nothing is drawn outside it.
  EXPECT_EQ(page.pixelColor(m, m), QColor(Qt::black));
  EXPECT_EQ(page.pixelColor(m - 2, m + 5), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(m + 5, m - 2), QColor(Qt::white));

  // The red square covers 1000..1099 both ways.
  EXPECT_EQ(page.pixelColor(m + 1050, m + 1050), QColor(255, 0, 0));
  EXPECT_EQ(page.pixelColor(m + 1000, m + 1000), QColor(255, 0, 0));
  EXPECT_EQ(page.pixelColor(m + 1099, m + 1099), QColor(255, 0, 0));
  EXPECT_EQ(page.pixelColor(m + 995, m + 1050), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(m + 1104, m + 1050), QColor(Qt::white));
  // The blue line runs along y = 2000.
  EXPECT_EQ(page.pixelColor(m + 1200, m + 2000), QColor(0, 0, 255));
  EXPECT_EQ(page.pixelColor(m + 2300, m + 2000), QColor(Qt::white));

  // The rectangle's outline runs on its outermost pixels; a clear brush leaves the inside.
  EXPECT_LT(qGray(page.pixel(m + 1500, m + 1050)), 128);
  EXPECT_LT(qGray(page.pixel(m + 1599, m + 1050)), 128);
  EXPECT_LT(qGray(page.pixel(m + 1550, m + 1099)), 128);
  EXPECT_EQ(page.pixelColor(m + 1600, m + 1050), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(m + 1550, m + 1050), QColor(Qt::white));
  // The image at its own size, 100 x 60 printer pixels (the renderer may take one pixel more
  // at the far edges, and the PDF keeps the image compressed, so colours are near).
  EXPECT_TRUE(Near(page.pixelColor(m + 1800, m + 1000), QColor(0, 255, 0)));
  EXPECT_TRUE(Near(page.pixelColor(m + 1899, m + 1059), QColor(0, 255, 0)));
  EXPECT_EQ(page.pixelColor(m + 1799, m + 1030), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(m + 1901, m + 1030), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(m + 1850, m + 999), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(m + 1850, m + 1061), QColor(Qt::white));
  // A solid brush fills the text cell from its top-left corner.
  EXPECT_EQ(page.pixelColor(m + 601, m + 1401), QColor(255, 255, 0));

  // The letters H start at the cell's left edge (Liberation Sans has a small side bearing)
  // and their tops lie below the cell's top by the font's internal leading.
  int left = page.width(), top = page.height();
  for (int y = 550; y < 800; ++y)
    for (int x = 550; x < 1000; ++x)
      if (qGray(page.pixel(m + x, m + y)) < 128) {
        left = std::min(left, x);
        top = std::min(top, y);
      }
  EXPECT_GE(left, 600);
  EXPECT_LE(left, 615);
  EXPECT_GE(top, 600);
  EXPECT_LE(top, 640);
}

TEST_F(QtPrinterTest, LandscapeJobPrintsLandscapePagesAndPortraitComesBack) {
  {
    PrintJob job(*printer_, "Profit Report", TPrinterOrientation::poLandscape);
    EXPECT_EQ(printer_->PageWidth(), 3150);
    printer_->Canvas().TextOut(2900, 2300, "Page 1");
    job.Finish();
  }
  EXPECT_EQ(printer_->Orientation(), TPrinterOrientation::poPortrait);
  const QString pdf = qt_->OutputFile();
  EXPECT_TRUE(PdfInfo(pdf).contains(
      QRegularExpression("^Page size: +792 x 612 pts", QRegularExpression::MultilineOption)));
  // Text near the far corner of the wide page is on it.
  EXPECT_EQ(PdfText(pdf).simplified(), "Page 1");
}

TEST_F(QtPrinterTest, AbortedJobLeavesNoFile) {
  {
    PrintJob job(*printer_, "Statement");
    printer_->Canvas().TextOut(100, 100, "Balance Due");
  }
  EXPECT_TRUE(printer_->Aborted());
  EXPECT_TRUE(qt_->OutputFile().isEmpty());
  EXPECT_TRUE(Printouts().isEmpty()) << Printouts().join(", ").toStdString();
}

// A job whose file cannot be written, at any write or sync of it (a full disk, a failing disk),
// fails with the system's reason, names no file and leaves none, not even a temporary one; on a
// sound disk the same job is a whole PDF.
TEST_F(QtPrinterTest, AFileThatCannotBeWrittenFailsTheJobWithItsReasonAndLeavesNothing) {
  using platform::files::FaultAction;
  using platform::files::FaultPlan;
  const auto print = [&] {
    PrintJob job(*printer_, "Invoice - 10001");
    printer_->Canvas().TextOut(300, 300, "Balance Due 12.50");
    job.Finish();
  };
  platform::files::InstallFaultPlan({});
  print();
  const int writes = platform::files::FaultWritesSoFar();
  const int syncs = platform::files::FaultSyncsSoFar();
  platform::files::RemoveFaultPlan();
  const QString whole = qt_->OutputFile();
  EXPECT_EQ(PdfText(whole).simplified(), "Balance Due 12.50");
  ASSERT_GT(writes, 0);
  ASSERT_GT(syncs, 0);
  ASSERT_TRUE(QFile::remove(whole));

  std::vector<FaultPlan> faults;
  for (int n = 1; n <= writes; ++n)
    faults.push_back({.OnWrite = FaultAction::Fail, .WriteNumber = n, .Errno = ENOSPC});
  for (int n = 1; n <= syncs; ++n)
    faults.push_back({.OnSync = FaultAction::Fail, .SyncNumber = n, .Errno = EIO});
  for (const FaultPlan& fault : faults) {
    SCOPED_TRACE(fault.WriteNumber ? "failing write " + std::to_string(fault.WriteNumber)
                                   : "failing sync " + std::to_string(fault.SyncNumber));
    const qsizetype finished = printer_->FinishedJobFiles().size();
    platform::files::InstallFaultPlan(fault);
    std::string failure;
    try {
      print();
    } catch (const EPrinter& error) {
      failure = error.what();
    }
    platform::files::RemoveFaultPlan();
    EXPECT_NE(failure.find("could not be written"), std::string::npos) << failure;
    EXPECT_NE(failure.find(std::strerror(fault.Errno)), std::string::npos) << failure;
    EXPECT_TRUE(printer_->Aborted());
    EXPECT_EQ(LastJobFile(*printer_), "");
    EXPECT_EQ(printer_->FinishedJobFiles().size(), finished);
    EXPECT_EQ(QDir("Printouts").entryList(QDir::Files | QDir::Hidden), QStringList());
  }
}

TEST_F(QtPrinterTest, TitlesBecomeSafeDistinctFileNames) {
  for (int i = 0; i < 2; ++i) {
    PrintJob job(*printer_, "PO - 12/34: \"A\"");
    job.Finish();
  }
  const QStringList files = Printouts();
  ASSERT_EQ(files.size(), 2);
  for (const QString& file : files) EXPECT_TRUE(file.startsWith("PO - 12_34_ _A_ ")) << file.toStdString();
}

TEST_F(QtPrinterTest, RichTextDocumentPrintsWithItsTitle) {
  QTextDocument document;
  QString html = "<h1>Dear Customer</h1>";
  for (int i = 1; i <= 120; ++i) html += QStringLiteral("<p>Paragraph %1 of the letter.</p>").arg(i);
  document.setHtml(html);
  PrintTextDocument(document, "Form Letter", *printer_);

  const QString pdf = qt_->OutputFile();
  const QString info = PdfInfo(pdf);
  EXPECT_TRUE(
      info.contains(QRegularExpression("^Title: +Form Letter$", QRegularExpression::MultilineOption)));
  const QRegularExpressionMatch pages =
      QRegularExpression("^Pages: +(\\d+)$", QRegularExpression::MultilineOption).match(info);
  ASSERT_TRUE(pages.hasMatch()) << info.toStdString();
  EXPECT_GE(pages.captured(1).toInt(), 2);

  // Every paragraph once, in order, none lost at a page break.
  const QString text = PdfText(pdf);
  EXPECT_TRUE(text.startsWith("Dear Customer")) << text.left(200).toStdString();
  int from = 0;
  for (int i = 1; i <= 120; ++i) {
    const QString paragraph = QStringLiteral("Paragraph %1 of the letter.").arg(i);
    const int at = text.indexOf(paragraph, from);
    ASSERT_GE(at, 0) << paragraph.toStdString();
    EXPECT_EQ(text.indexOf(paragraph, at + 1), -1);
    from = at + paragraph.size();
  }
}

}  // namespace
