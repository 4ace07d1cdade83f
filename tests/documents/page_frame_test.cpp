// The page frame against its arithmetic, on the recording printer: every font 50 x 100 pixels
// a character and a line, the page 4800 pixels wide, so a 73-character table template is 3650
// wide and starts at (4800 - 3650) / 2 = 575.

#include "documents/page_frame.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>
#include <cstdio>
#include <cstring>

#include "documents/document_buffer.h"
#include "documents/invoice_printing.h"
#include "documents/printing_fixture.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"
#include "records/detail_file.h"

namespace documents {
namespace {

using namespace testing_printing;
using records::CurrentCompany;

std::string MemoLine(const std::string& text) {
  return platform::text::PadRightWith(text, ' ', DocMemoLineWidth);
}

// Page height 5600: the break line is 5600 - 12 x 100 = 4400, so a page holds 20 item lines
// from the first row at 2450 (top margin 50).
class PageFrameTest : public PrinterTest {
 protected:
  PageFrameTest() : PrinterTest(QSize(4800, 5600)) {}
  void Print(int lines) {
    FillInvoiceBuffer(lines);
    PrintInvoice(*printer_);
  }
};

TEST_F(PageFrameTest, HeaderBlocksStandWhereTheLineHeightsPutThem) {
  Print(3);
  const std::vector<Placed> t = Texts();
  // Top margin 50 + two body lines: 250. Title two lines lower, centred in the right half.
  EXPECT_EQ(Find(t, "INVOICE").x, 2400 + (2400 - 350) / 2);
  EXPECT_EQ(Find(t, "INVOICE").y, 450);
  EXPECT_EQ(Find(t, "1001").y, 250 + 450);
  EXPECT_EQ(Find(t, "1001").x, 2400 + (2400 - 200) / 2);
  // Company block from 250, nine lines; the account block follows at 1150.
  EXPECT_EQ(Find(t, "Kestrava Hardware").y, 250);
  EXPECT_EQ(Find(t, "Kestrava Hardware").x, 75);
  EXPECT_EQ(Find(t, "555-0100").y, 750);
  EXPECT_EQ(Find(t, "Acme Tools").y, 1150);
  EXPECT_EQ(Find(t, "Ship To:").x, 2400);
  EXPECT_EQ(Find(t, "Shelbyville").y, 1350);
  // Information rows on the box row 1850 (five account rows + two lines after the last).
  EXPECT_EQ(Find(t, "Date: 12/07/2026").y, 1850);
  EXPECT_EQ(Find(t, "Number: 1001").x, 2400 - 300 - 200);
  EXPECT_EQ(Find(t, "Account Number: C100").x, 3200);
  EXPECT_EQ(Find(t, "Payment Terms: Net 30 Days").y, 1950);
  EXPECT_EQ(Find(t, "Reference: Order of Monday").y, 2050);
  EXPECT_EQ(CountOf(Log(), "TextOut(0, 0, \" \")"), 1);  // no frame: a blank in its place
}

TEST_F(PageFrameTest, TheTableIsCentredAndItsColumnsFollowTheTemplates) {
  CurrentCompany.TotalQuantities = 1;
  CurrentCompany.VerticalLines = 1;
  Print(3);
  const std::vector<Placed> t = Texts();
  // Captions two lines under the box row, at each column's left edge.
  const std::pair<const char*, int> captions[] = {
      {"Qty", 575}, {"Description", 1075}, {"Price", 2775}, {"T", 3325}, {"Amount", 3475}};
  for (const auto& [caption, x] : captions) {
    EXPECT_EQ(Find(t, caption).x, x) << caption;
    EXPECT_EQ(Find(t, caption).y, 2250) << caption;
  }
  // First row at 2450: numbers end at their column's right edge.
  EXPECT_EQ(Find(t, "1").x, 575 + 400 - 50);
  EXPECT_EQ(Find(t, "Item 1").x, 1075);
  EXPECT_EQ(Find(t, "Item 1").y, 2450);
  EXPECT_EQ(Find(t, "Item 3").y, 2650);
  EXPECT_EQ(Find(t, "1.50").x, 2775 + 450 - 200);
  EXPECT_EQ(Find(t, "4.50").x, 3475 + 500 - 200);
  // Separators half a gap right of each column except the last, from the box's bottom down.
  for (int separator : {1025, 2725, 3275, 3425}) {
    EXPECT_TRUE(HasLine(Log(), QString("MoveTo(%1, 2200)").arg(separator))) << separator;
    EXPECT_EQ(CountOf(Log(), QString("LineTo(%1, 2800)").arg(separator)), 1) << separator;
  }
  // Totals: quantity total at the quantity separator, labels at the description separator,
  // amounts ending at tax separator + gap / 2 + twelve characters (4075).
  EXPECT_EQ(Find(t, "Total Qty: 6").x, 1025);
  EXPECT_EQ(Find(t, "Total:").x, 2725);
  EXPECT_EQ(Find(t, "Total:").y, 2850);
  EXPECT_EQ(Find(t, "$100.00").x, 4075 - 350);
  EXPECT_EQ(Find(t, "Tax").y, 2950);
  EXPECT_EQ(Find(t, "Grand Total:").y, 3050);
  EXPECT_EQ(Find(t, "$108.00").y, 3050);
  EXPECT_EQ(Find(t, "Balance Due:").y, 3150);
  EXPECT_EQ(Find(t, "Paid Amount: $8.00").x, 1025);
  EXPECT_EQ(Find(t, "Paid Amount: $8.00").y, 3150);
}

TEST_F(PageFrameTest, ProductCodesWidenTheTableToEightyFourCharacters) {
  CurrentCompany.ProductCodesOnInvoices = 1;
  Print(1);
  const std::vector<Placed> t = Texts();
  EXPECT_EQ(Find(t, "Item").x, (4800 - 84 * 50) / 2);
  EXPECT_EQ(Find(t, "P1").x, 300);
  EXPECT_EQ(Find(t, "Qty").x, 300 + 650 + 100);
}

TEST_F(PageFrameTest, PagesBreakAfterTwentyLinesWithFooterAndContinuationHeader) {
  Print(45);
  EXPECT_EQ(CountOf(Log(), "NewPage"), 2);
  const std::vector<Placed> t = Texts();
  EXPECT_EQ(Find(t, "Item 20").page, 1);
  EXPECT_EQ(Find(t, "Item 21").page, 2);
  EXPECT_EQ(Find(t, "Item 21").y, 2450);
  EXPECT_EQ(Find(t, "Item 41").page, 3);
  // The footer three lines under the last row (4450 + a half line), centred on the page.
  const Placed footer = Find(t, "Continued on page number 2 ...");
  EXPECT_EQ(footer.page, 1);
  EXPECT_EQ(footer.y, 4500 + 300);
  EXPECT_EQ(footer.x, 2400 - 750);
  EXPECT_EQ(Find(t, "Continued on page number 3 ...").page, 2);
  // A continuation page: title again, "page number" where page 1 had the number, captions again.
  const QStringList page2 = TextsOnPage(t, 2);
  EXPECT_TRUE(page2.contains("INVOICE"));
  EXPECT_FALSE(page2.contains("1001"));
  const Placed pageNumber = Find(t, "page number 2");
  EXPECT_EQ(pageNumber.page, 2);
  EXPECT_EQ(pageNumber.y, 250 + 400);
  EXPECT_EQ(pageNumber.x, 2400 + (2400 - 650) / 2);
  EXPECT_TRUE(page2.contains("Description"));
  EXPECT_EQ(Find(t, "Total:").page, 3);
  EXPECT_EQ(Find(t, "Total:").y, 2950 + 100);
}

TEST_F(PageFrameTest, NoBreakAfterTheLastLine) {
  Print(20);
  EXPECT_EQ(CountOf(Log(), "NewPage"), 0);
  Print(21);
  EXPECT_EQ(CountOf(Log(), "NewPage"), 1);
}

TEST_F(PageFrameTest, MovedDownTotalsPadTheLastPageToMaxLines) {
  CurrentCompany.MoveDownTotals = 1;
  CurrentCompany.MaxLines.Set("20");
  Print(45);  // five lines on page 3: the totals move down 20 - 5 + 1 = 16 lines
  EXPECT_EQ(Find(Texts(), "Total:").y, 2950 + 1600 + 100);
  recorder_->ClearLog();
  CurrentCompany.MaxLines.Set("4");  // fewer than the lines on the page: no padding
  Print(45);
  EXPECT_EQ(Find(Texts(), "Total:").y, 2950 + 100);
}

TEST_F(PageFrameTest, LineBarCodesTakeTwoLinesUnderTheirDescription) {
  CurrentCompany.BarCodesOnInvoices.Set("Y");
  CurrentCompany.BarCodeInvoiceNumbers.Set("Y");
  Print(2);
  const std::vector<Placed> t = Texts();
  EXPECT_EQ(Find(t, "Item 2").y, 2450 + 300);
  // The first bar of each code at the description column, under its line; the number's bar
  // code where the centred caption starts, from 7.5 to 9.5 lines under the header's top.
  EXPECT_TRUE(Log().filter(QRegularExpression("^FillRect\\(1075, 2550, \\d+, 2750\\)")).size() > 0);
  EXPECT_TRUE(Log().filter(QRegularExpression("^FillRect\\(1075, 2850, \\d+, 3050\\)")).size() > 0);
  EXPECT_TRUE(Log().filter(QRegularExpression("^FillRect\\(3425, 1000, \\d+, 1200\\)")).size() > 0);
}

TEST_F(PageFrameTest, ARejectedBarCodeIsLeftOutAndTakesNoRoom) {
  CurrentCompany.BarCodesOnInvoices.Set("Y");
  CurrentCompany.BarCodeType.Set("U");  // "P1" is no UPC-A code
  Print(2);
  EXPECT_EQ(CountOf(Log(), "FillRect"), 0);
  EXPECT_EQ(Find(Texts(), "Item 2").y, 2550);
}

TEST_F(PageFrameTest, LetterheadPaperGetsNothingAboveTheAccountBlock) {
  CurrentCompany.LetterheadStyle = 1;
  Print(1);
  const std::vector<Placed> t = Texts();
  EXPECT_EQ(Find(t, "Acme Tools").y, 50 + 11 * 100);
  for (const Placed& placed : t)
    EXPECT_TRUE(placed.y >= 1150 || placed.text == " ") << placed.text.toStdString();
  DocHeader.DocType = "R";
  recorder_->ClearLog();
  PrintInvoice(*printer_);
  EXPECT_EQ(Find(Texts(), "REPEAT MASTER SETUP").x, 2400 + 150);
  EXPECT_EQ(Find(Texts(), "REPEAT MASTER SETUP").y, 450);
}

TEST_F(PageFrameTest, TheLogoMovesTheCompanyBlockButNotTheAccountBlock) {
  QImage logo(300, 100, QImage::Format_RGB32);
  logo.fill(Qt::darkBlue);
  testing_support::TempDir dir;
  ASSERT_TRUE(logo.save("logo.png"));
  CurrentCompany.PrintLogo = 1;
  CurrentCompany.LogoFile.Set("logo.png");
  CurrentCompany.BoxAroundForm = 1;
  CurrentCompany.BoxTop.Set("50");
  Print(1);
  EXPECT_TRUE(HasLine(Log(), "Draw(75, 250, image 300x100)"));
  EXPECT_EQ(Find(Texts(), "Kestrava Hardware").x, 75 + 325);
  EXPECT_EQ(Find(Texts(), "Acme Tools").x, 75);
  EXPECT_TRUE(HasLine(Log(), "Rectangle(20, 50, 4780, 5580)"));
  EXPECT_EQ(CountOf(Log(), "TextOut(0, 0"), 0);

  // A file that is no image stops the printout before it starts.
  std::FILE* bad = std::fopen("bad.bmp", "w");
  std::fputs("not a bitmap", bad);
  std::fclose(bad);
  CurrentCompany.LogoFile.Set("bad.bmp");
  recorder_->ClearLog();
  EXPECT_THROW(PrintInvoice(*printer_), EInvalidGraphic);
  EXPECT_TRUE(Log().isEmpty());
  // A logo file that is not there: no logo, nothing moves.
  CurrentCompany.LogoFile.Set("missing.bmp");
  Print(1);
  EXPECT_EQ(Find(Texts(), "Kestrava Hardware").x, 75);
}

TEST_F(PageFrameTest, ShadingHatchesTheHeaderBoxAndTheBottomStrip) {
  CurrentCompany.UseShading = 1;
  CurrentCompany.ShadeLineStyle.Set("D");
  CurrentCompany.PrintCustomerAging = 1;
  Print(1);
  // Header box from half a line above the box row (1800) to 3.5 lines under it (2200); hatch
  // lines every 8 pixels from 1808 while more than two pixels above the bottom: 49 lines.
  EXPECT_TRUE(HasLine(Log(), "Rectangle(20, 1800, 4780, 2200)"));
  int hatch = 0;
  for (const QString& line : Log())
    if (line.startsWith("LineTo(4780, ") && line.contains("pen(1,") && line.contains("dotted")) {
      const int y = line.section('(', 1).section(')', 0, 0).section(", ", 1, 1).toInt();
      if (y > 1800 && y < 2200) ++hatch;
    }
  EXPECT_EQ(hatch, 49);
  EXPECT_EQ(CurrentCompany.ShadeLineSpacing.Get(), "8");  // the blank spacing is given its default
  // The strip box at the foot of the page with the aging texts.
  EXPECT_TRUE(HasLine(Log(), "Rectangle(20, 5250, 4780, 5580)"));
  const std::vector<Placed> t = Texts();
  EXPECT_EQ(Find(t, "Total Account Balance: 1,250.00").y, 5300);
  const std::pair<const char*, int> aging[] = {
      {"Current 1,000.00", 75}, {"Over 30 250.00", 1275}, {"Over 60 0.00", 2475}, {"Over 90: 0.00", 3675}};
  for (const auto& [text, x] : aging) {
    EXPECT_EQ(Find(t, text).x, x) << text;
    EXPECT_EQ(Find(t, text).y, 5400) << text;
  }
}

TEST_F(PageFrameTest, TheMessageBlockPrintsTheSalesMessageOrTheAccountNotes) {
  CurrentCompany.PrintSalesMessage = 1;
  Print(1);
  const Placed message = Find(Texts(), "Thank you for your business");
  EXPECT_EQ(message.y, 5600 - 100 - 700);
  EXPECT_EQ(message.x, 2400 - 27 * 50 / 2);

  DocHeader.PrintNotesFlag = "Y";
  DocHeader.AccountNotes = "Call before delivery.\r\nGate code 1234";
  recorder_->ClearLog();
  PrintInvoice(*printer_);
  const std::vector<Placed> t = Texts();
  EXPECT_EQ(Find(t, "Call before delivery.").y, 4800);
  EXPECT_EQ(Find(t, "Gate code 1234").y, 4900);
  EXPECT_EQ(Find(t, "Thank you for your business").page, 0);
  for (const Placed& placed : t)
    EXPECT_FALSE(placed.y == 5000 || placed.y == 5100) << placed.text.toStdString();

  // Long notes are wrapped to half the page as printed: every word kept, no line over 80.
  const std::string notes =
      "Deliver to the loading dock behind the hardware store on Mill Road, ring the bell twice and "
      "ask for the warehouse manager before unloading";
  DocHeader.AccountNotes = notes;
  recorder_->ClearLog();
  PrintInvoice(*printer_);
  QStringList lines;
  for (const Placed& placed : Texts())
    if (placed.y >= 4800 && placed.y < 5200) {
      EXPECT_LE(placed.text.size(), 80);
      lines << placed.text;
    }
  EXPECT_GE(lines.size(), 2);
  EXPECT_EQ(lines.join(' ').toStdString(), notes);
}

TEST_F(PageFrameTest, PricesKeepTheirTypedDecimalsAndBlankFieldsPrintBlank) {
  const std::pair<const char*, const char*> prices[] = {{"12.5", "12.5"},         {"12.50", "12.50"},
                                                        {"12.505", "12.505"},     {"12.5000", "12.5000"},
                                                        {"12.50001", "12.50001"}, {"1250", "1,250"}};
  FillInvoiceBuffer(0);
  int entry = 1;
  for (const auto& [typed, shown] : prices)
    DocLines[entry++] =
        DocLineEntry("", records::LineText("1", std::string("Price ") + typed, typed, "N", "1"));
  DocLines[entry++] = DocLineEntry("", records::LineText("", "A note line", "", " ", ""));
  DocLines[entry++] = DocLineEntry("", records::LineText("2", "No extension", "3", "N", ""));
  PrintInvoice(*printer_);
  const std::vector<Placed> t = Texts();
  for (const auto& [typed, shown] : prices) {
    const Placed description = Find(t, QString("Price ") + typed);
    ASSERT_NE(description.page, 0) << typed;
    const Placed price = Find(t, shown);
    EXPECT_EQ(price.y, description.y) << typed;
    EXPECT_EQ(price.x, 2775 + 450 - 50 * static_cast<int>(std::strlen(shown))) << typed;
  }
  // Neither price nor quantity: one blank in both amount columns; no extension: blank too.
  const int noteY = Find(t, "A note line").y;
  const int noExtensionY = Find(t, "No extension").y;
  QStringList noteRow, noExtensionRow;
  for (const Placed& placed : t) {
    if (placed.y == noteY) noteRow << placed.text;
    if (placed.y == noExtensionY) noExtensionRow << placed.text;
  }
  EXPECT_EQ(noteRow, QStringList({"A note line", " ", " "}));
  EXPECT_EQ(noExtensionRow, QStringList({"2", "No extension", "3", "N", " "}));
}

TEST_F(PageFrameTest, ALineWithoutDescriptionBetweenOthersIsNotDropped) {
  FillInvoiceBuffer(3);
  DocLines[2] = DocLineEntry("P2", records::LineText("7", "", "1.00", "N", "7.00"));
  PrintInvoice(*printer_);
  const std::vector<Placed> t = Texts();
  EXPECT_EQ(Find(t, "Item 3").y, 2650);
  EXPECT_EQ(Find(t, "7.00").y, 2550);
}

TEST_F(PageFrameTest, AMemoDocumentPrintsItsTextInTheMemoFontAndSetsTheTotalsLow) {
  CurrentCompany.BrowserFontSize.Set(8);  // memo text at 10 points: 50-pixel lines
  FillInvoiceBuffer(0);
  DocHeader.BodyKind = "M";
  DocLines[1] = MemoLine("Repair of the front gate");
  DocLines[3] = MemoLine("Parts and labour");
  PrintInvoice(*printer_);
  const std::vector<Placed> t = Texts();
  // The memo template is 80 characters of the body font: 4800 - 4000 = 800, halved.
  EXPECT_EQ(Find(t, "Memo").x, 400);
  EXPECT_EQ(Find(t, "Memo").y, 2250);
  EXPECT_EQ(Find(t, "Memo").size, 10);
  EXPECT_EQ(Find(t, MemoLine("Repair of the front gate").c_str()).y, 2450);
  EXPECT_EQ(Find(t, MemoLine("Parts and labour").c_str()).y, 2550);
  // Lines 1 to 19 take room (2450 + 19 x 50 = 3400), then the totals are raised to 5600 - 100 -
  // 14 memo lines and keep the memo font; fixed totals columns at sixths of the page.
  EXPECT_EQ(Find(t, "Total:").y, 5600 - 100 - 700 + 25);
  EXPECT_EQ(Find(t, "Total:").size, 10);
  EXPECT_EQ(Find(t, "Total:").x, 2400);
  EXPECT_EQ(Find(t, "Paid Amount: $8.00").x, 800);
  EXPECT_EQ(CountOf(Log(), "TextOut(575"), 0);  // no item table

  // A memo that fills its 25 lines pushes the totals below the raised row.
  recorder_->ClearLog();
  CurrentCompany.BrowserFontSize.Set(18);
  for (int entry = 1; entry <= 25; ++entry) DocLines[entry] = MemoLine("Line " + std::to_string(entry));
  PrintInvoice(*printer_);
  EXPECT_EQ(Find(Texts(), "Total:").y, 2450 + 2500 + 50);
}

TEST_F(PageFrameTest, SettingsThatAreNotNumbersStopThePrintoutBeforeItStarts) {
  CurrentCompany.FormLeftMargin.Set("1O0");
  FillInvoiceBuffer(2);
  EXPECT_THROW(PrintInvoice(*printer_), platform::text::ConvertError);
  EXPECT_TRUE(Log().isEmpty());
  SetUpPrintingCompany();
  CurrentCompany.AddressIndent.Set("  ");
  CurrentCompany.MoveDownTotals = 0;
  CurrentCompany.MaxLines.Set("x");  // not used, so not converted
  PrintInvoice(*printer_);
  EXPECT_EQ(CurrentCompany.AddressIndent.Get(), "0");
  EXPECT_EQ(Log().last(), "EndDoc");
}

}  // namespace
}  // namespace documents
