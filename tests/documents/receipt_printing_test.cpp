// The receipt on a narrow page of the recording printer (900 x 6000, every font 50 x 100
// pixels): one column from the left margin (75), amounts ending one "X" short of the right edge.

#include "documents/receipt_printing.h"

#include <gtest/gtest.h>

#include "documents/document_buffer.h"
#include "documents/printing_fixture.h"
#include "platform/text/clock.h"
#include "platform/text/key_text.h"
#include "records/company_rec.h"
#include "records/detail_file.h"

namespace documents {
namespace {

using namespace testing_printing;
using records::CurrentCompany;

class ReceiptPrintingTest : public PrinterTest {
 protected:
  ReceiptPrintingTest() : PrinterTest(QSize(900, 6000)) {}
  void SetUp() override { FillInvoiceBuffer(3); }
  std::vector<Placed> PrintAs(const char* mode) {
    DocMode = mode;
    recorder_->ClearLog();
    PrintReceipt(*printer_);
    return Texts();
  }
  // x of an amount that ends one "X" short of the right edge.
  static int RightEdge(const QString& text) { return 900 - 50 * static_cast<int>(text.trimmed().size() + 1); }

  platform::text::FixedClock clock_{QDateTime(QDate(2026, 12, 7), QTime(14, 5, 7))};
};

TEST_F(ReceiptPrintingTest, TheHeadStacksTitleNumberCompanyAndCustomer) {
  const std::vector<Placed> t = PrintAs("INV");
  EXPECT_TRUE(Log().first().startsWith("BeginDoc(\"Invoice - 1001\""));
  const std::tuple<const char*, int, int> expected[] = {
      {"INVOICE", 450 - 175, 250},    {"1001", 350, 400},         {"Kestrava Hardware", 75, 500},
      {"555-0100", 75, 800},          {"Acme Tools", 75, 1000},   {"Shelbyville", 75, 1200},
      {"Ship To:", 75, 1400},         {"Dock 4", 75, 1500},       {"Date: 12/07/2026", 75, 1700},
      {"Time: 2:05:07 PM", 75, 1800}, {"Item 1", 75, 2000},       {"1 @ 1.50", 75, 2100},
      {"Item 3", 75, 2600},           {"Total:", 75, 3000},       {"Tax", 75, 3100},
      {"Grand Total:", 75, 3200},     {"Paid Amount:", 75, 3300}, {"Balance Due:", 75, 3400},
  };
  for (const auto& [text, x, y] : expected) {
    EXPECT_EQ(Find(t, text).x, x) << text;
    EXPECT_EQ(Find(t, text).y, y) << text;
  }
  EXPECT_EQ(Find(t, "1.50 Y").x, RightEdge("1.50 Y"));
  EXPECT_EQ(Find(t, "$108.00").x, RightEdge("$108.00"));
  EXPECT_EQ(Find(t, "$108.00").y, 3200);
  EXPECT_FALSE(TextsOnPage(t, 1).join('|').contains("Paid Date"));
}

TEST_F(ReceiptPrintingTest, PricesKeepTheirDecimalsAndAmountsAreNeverCut) {
  ClearDocLines();
  DocLines[1] = DocLineEntry("A", records::LineText("2", "Hinge", "12.5", "Y", "25.00"));
  DocLines[2] = DocLineEntry("B", records::LineText("1", "Gate", "1250", "N", "1250.00"));
  DocLines[3] = DocLineEntry("C", records::LineText("1", "Latch", "12.5000", " ", "12.50"));
  DocLines[4] = DocLineEntry("D", records::LineText("1", "Thirty-two character description", "9", "Y", "9"));
  DocHeader.TotalAmount = DocMoneyText(123456789012);
  const std::vector<Placed> t = PrintAs("INV");
  EXPECT_EQ(Find(t, "2 @ 12.5").x, 75);
  EXPECT_EQ(Find(t, "25.00 Y").x, RightEdge("25.00 Y"));
  EXPECT_EQ(Find(t, "25.00 Y").y, Find(t, "2 @ 12.5").y);
  EXPECT_NE(Find(t, "1 @ 1,250").page, 0);
  EXPECT_NE(Find(t, "1,250.00 N").page, 0);
  EXPECT_NE(Find(t, "1 @ 12.5000").page, 0);
  EXPECT_EQ(Find(t, "12.50 ").x, RightEdge("12.50"));            // no tax flag: placed by the amount
  EXPECT_NE(Find(t, "Thirty-two character descripti").page, 0);  // descriptions are cut to 30
  EXPECT_NE(Find(t, "$1,234,567,890.12").page, 0);
}

TEST_F(ReceiptPrintingTest, APackingSlipShowsNoPricesAndIsNotMarked) {
  InvoiceFileScope file;
  const storage::IsamRecRef invoice = file.Add("1001", "I");
  const QStringList texts = TextsOnPage(PrintAs("PSL"), 1);
  EXPECT_TRUE(Log().first().startsWith("BeginDoc(\"Packing Slip - 1001\""));
  EXPECT_TRUE(texts.contains("PACKING SLIP"));
  EXPECT_TRUE(texts.contains("1 @ xxxxxxxxxx"));
  EXPECT_EQ(texts.count("xxxxxxxxxx Y"), 3);
  EXPECT_TRUE(texts.contains("This is a packing slip."));
  EXPECT_FALSE(texts.contains("Total:"));
  EXPECT_EQ(file.Read(invoice).PrintedMark.Get(), "N");
  PrintAs("INV");
  EXPECT_EQ(file.Read(invoice).PrintedMark.Get(), "Y");
  DocHeader.PrintedFlag = "Y";
  CurrentCompany.PrintDuplicateInvoice = 1;
  const storage::IsamRecRef second = file.Add("1001", "G");
  const std::vector<Placed> reprint = PrintAs("INV");
  EXPECT_EQ(file.Read(second).PrintedMark.Get(), "N");
  EXPECT_EQ(Find(reprint, "** Duplicate **").y, 500 - 100);
}

TEST_F(ReceiptPrintingTest, CreditTaxAndPaidDateLines) {
  DocHeader.BalanceDue = DocMoneyText(-500);
  DocHeader.PaidDate = "12/01/2026";
  CurrentCompany.TaxName.Set("");
  DocHeader.TaxAmount = DocMoneyText(0);
  std::vector<Placed> t = PrintAs("INV");
  EXPECT_EQ(Find(t, "C  R  E  D  I  T").y, 250);
  EXPECT_EQ(Find(t, "1001").y, 400);
  EXPECT_EQ(Find(t, "Grand Total:").y, Find(t, "Total:").y + 100);
  EXPECT_EQ(Find(t, "Paid Date: 12/01/2026").y, Find(t, "Grand Total:").y + 100);
  EXPECT_EQ(Find(t, "$-5.00").x, RightEdge("$-5.00"));

  DocHeader.TaxAmount = DocMoneyText(125000);
  t = PrintAs("INV");
  EXPECT_EQ(Find(t, "$1,250.00").y, Find(t, "Total:").y + 100);
}

TEST_F(ReceiptPrintingTest, AMemoInvoiceStartsAtTheEdgeAndKeepsItsTotalsLow) {
  CurrentCompany.BrowserFontSize.Set(8);  // memo lines of 50 pixels
  DocHeader.BodyKind = "M";
  ClearDocLines();
  DocLines[1] = platform::text::PadRightWith("Repair of the front gate", ' ', DocMemoLineWidth);
  const std::vector<Placed> t = PrintAs("INV");
  EXPECT_EQ(Find(t, "Memo").x, 1);
  EXPECT_EQ(Find(t, "Memo").y, 1900);
  EXPECT_EQ(Find(t, DocLines[1].c_str()).x, 1);
  EXPECT_EQ(Find(t, DocLines[1].c_str()).y, 2000);
  // 6000 - 100 - 14 x 50, then half a memo line.
  EXPECT_EQ(Find(t, "Total:").y, 6000 - 100 - 700 + 25);
}

TEST_F(ReceiptPrintingTest, ALongReceiptGoesOnToANewPageWithNothingElseAtItsTop) {
  FillInvoiceBuffer(30);  // 300 pixels an item: the page is full after 11 of them
  const std::vector<Placed> t = PrintAs("INV");
  EXPECT_EQ(CountOf(Log(), "NewPage"), 2);
  const Placed item = Find(t, "Item 13");
  EXPECT_EQ(item.page, 2);
  EXPECT_EQ(item.y, 50);
  EXPECT_EQ(TextsOnPage(t, 2).first(), "Item 13");
}

TEST_F(ReceiptPrintingTest, TheSalesMessageIsWrappedToThePaperAndKeepsEveryWord) {
  CurrentCompany.PrintSalesMessage = 1;
  CurrentCompany.SalesMessage2.Set("Returns within thirty days with the receipt");
  CurrentCompany.SalesMessage3.Set("Open Monday to Saturday");
  const std::vector<Placed> t = PrintAs("INV");
  const int top = Find(t, "Balance Due:").y + 100 + 50 + 100;
  QStringList lines;
  for (const Placed& placed : t)
    if (placed.y >= top) {
      EXPECT_EQ(placed.x, 75);
      lines << placed.text;
    }
  EXPECT_GE(lines.size(), 2);
  EXPECT_EQ(Find(t, lines.first()).y, top);
  EXPECT_EQ(
      lines.join(' ').simplified(),
      "Thank you for your business Returns within thirty days with the receipt Open Monday to Saturday");
}

}  // namespace
}  // namespace documents
