#include "documents/document_buffer.h"

#include <gtest/gtest.h>

#include "platform/text/number_text.h"
#include "records/detail_file.h"
#include "records/po_detail_file.h"
#include "support/temp_dir.h"

namespace documents {
namespace {

using platform::text::Cents;

TEST(DocumentTexts, QuantitiesKeepTheDecimalsTheyWereTypedWith) {
  const std::pair<const char*, const char*> cases[] = {
      {"1000", "     1,000"},       {"2.5", "       2.5"},        {"1.25", "      1.25"},
      {"3.125", "     3.125"},      {"3.123456", "  3.123456"},   {"1,250", "     1,250"},
      {"-4", "        -4"},         {"", "          "},           {"   ", "          "},
      {"0.0001", "    0.0001"},  // separators that would push the column wider are dropped
      {"1234567890", "1234567890"}, {"12345678.5", "12345678.5"}, {"0.00001", "   0.00001"},
      {"1234.56789", "1234.56789"}, {"-0.123456", " -0.123456"}};
  for (const auto& [typed, shown] : cases) EXPECT_EQ(DocQuantityText(typed), shown) << typed;
  EXPECT_THROW(DocQuantityText("1x"), platform::text::ConvertError);
}

TEST(DocumentTexts, MoneyFieldsAreRightJustifiedAndNeverCut) {
  EXPECT_EQ(DocMoneyText(123450), "    1,234.50");
  EXPECT_EQ(DocMoneyText(-1313), "      -13.13");
  EXPECT_EQ(DocMoneyText(0), "        0.00");
  // Wider than the field: every digit is kept.
  EXPECT_EQ(DocMoneyText(12345678901), "123,456,789.01");
  EXPECT_EQ(DocAgingText("1234.5"), "1,234.50    ");
  EXPECT_EQ(DocAgingText("-0.13"), "-0.13       ");
  EXPECT_EQ(DocAgingText("1234567890.12"), "1,234,567,890.12");
  EXPECT_EQ(StoredAmountCents(" 1,234.56 "), 123456);
  EXPECT_EQ(StoredAmountCents(""), 0);
  EXPECT_THROW(StoredAmountCents("12.3.4"), platform::text::ConvertError);
}

TEST(DocumentTexts, DatesFollowTheCompanysDateOrder) {
  EXPECT_EQ(DocDateText("2026/12/07", "M"), "12/07/2026");
  EXPECT_EQ(DocDateText("2026/12/07", "D"), "07/12/2026");
  EXPECT_EQ(DocDateText("2026/12/07", "Y"), "2026/12/07");
  EXPECT_EQ(DocDateText(" ", "M"), "/ ");
  EXPECT_EQ(DocDateText(" ", "D"), "/ ");
}

TEST(DocumentTexts, ALineEntryStandsInItsColumnsAndReadsBackWhole) {
  const std::string description32(32, 'D');
  struct Case {
    const char *product, *quantity, *price, *taxable, *extension;
    std::string description;
  } cases[] = {{"WIDGET-1", "1000", "12.50", "Y", "12500.00", "Blue widget"},
               {"P123456789012345", "2.5", "-1234567.8", "N", "-1234567.89", description32},
               {"", "", "", " ", "", "A note line"}};
  for (const Case& c : cases) {
    std::string lineText = records::LineText(c.quantity, c.description, c.price, c.taxable, c.extension);
    std::string entry = DocLineEntry(c.product, lineText);
    ASSERT_EQ(entry.size(), DocLineWidth);
    for (std::size_t blank : {16u, 27u, 61u, 72u, 74u}) EXPECT_EQ(entry[blank - 1], ' ') << entry;
    DocLineParts parts = SplitDocLine(entry);
    EXPECT_EQ(parts.Product, std::string(c.product).substr(0, 15));
    EXPECT_EQ(parts.Quantity, platform::text::TrimBlanks(DocQuantityText(c.quantity)));
    EXPECT_EQ(parts.Description, c.description);
    EXPECT_EQ(parts.UnitPrice, c.price);
    EXPECT_EQ(parts.Taxable, platform::text::TrimBlanks(c.taxable));
    EXPECT_EQ(parts.Extension, std::string(c.extension).substr(0, 10));
    EXPECT_TRUE(DocLineHasDescription(entry));
  }
  EXPECT_FALSE(DocLineHasDescription(DocLineEntry("P1", records::LineText("1", "", "1.00", "N", "1.00"))));
}

TEST(DocumentTexts, MemoLinesKeepTheirNumbersAndBlankLinesStayEmpty) {
  records::MemoRec memo{};
  memo.Lines[0].Set("First line");
  memo.Lines[2].Set("Third line");
  memo.Lines[4].Set("Fifth line");
  memo.Lines[24].Set("Last line");
  DocLines[30] = "left over";
  LoadDocMemoLines(memo);
  for (int entry = 1; entry < DocLineCount; ++entry) {
    bool set = entry == 1 || entry == 3 || entry == 5 || entry == 25;
    EXPECT_EQ(!DocLines[entry].empty(), set) << entry;
    if (set) {
      EXPECT_EQ(DocLines[entry].size(), DocMemoLineWidth);
    }
  }
  records::MemoRec blank{};
  LoadDocMemoLines(blank);
  EXPECT_EQ(DocLines[1], std::string(DocMemoLineWidth, ' '));
  SetDocMemoItem(records::LineText("  3", "", "", "", ""), " BOLT-7 ");
  EXPECT_EQ(DocMemoItem.MemoQuantity, "3");
  EXPECT_EQ(DocMemoItem.MemoProduct, "BOLT-7");
}

// The detail files of a scratch company, with lines added out of order and for other documents.
class DocumentLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string("12"); };
    ASSERT_TRUE(records::OpenDetailFile());
    ASSERT_TRUE(records::OpenPODetailFile());
  }
  void TearDown() override {
    storage::IsamShutdown();
    records::DetailFile = nullptr;
    records::PODetailFile = nullptr;
    storage::CurrentCompanyNumber = nullptr;
  }
  static void AddInvoiceLine(const char* number, int line, const char* product, const char* quantity) {
    records::DetailBuf = records::DetailRec{};
    records::DetailBuf.InvoiceNumber.Set(number);
    records::DetailBuf.Product.Set(product);
    records::DetailBuf.LineText.Set(records::LineText(quantity, product, "1.00", "Y", quantity));
    records::DetailBuf.LineKey.Set(records::LineKeyText(number, line));
    records::DetailBuf.LineNumber.Set(records::LineNumberText(line));
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddDetailRecord(ref));
  }
  static void AddPOLine(const char* number, int line, const char* product, const char* kind) {
    records::PODetailBuf = records::PODetailRec{};
    records::PODetailBuf.PONumber.Set(number);
    records::PODetailBuf.Product.Set(product);
    records::PODetailBuf.RecordKind.Set(kind);
    records::PODetailBuf.LineText.Set(records::LineText("5", product, "2.00", "N", "10.00"));
    records::PODetailBuf.LineKey.Set(records::LineKeyText(number, line));
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddPODetailRecord(ref));
  }

  testing_support::TempDir dir_;
};

auto InvoiceNumberOf = [](const records::DetailRec& r) { return r.InvoiceNumber.Get(); };
auto PONumberOf = [](const records::PODetailRec& r) { return r.PONumber.Get(); };

TEST_F(DocumentLinesTest, AnInvoicesLinesComeInLineOrderAndNothingOfOtherInvoices) {
  AddInvoiceLine("01001", 2, "PADDED", "7");  // pads to 1001's line key, but is another invoice
  AddInvoiceLine("1001", 3, "THIRD", "3");
  AddInvoiceLine("1001", 1, "FIRST", "1");
  AddInvoiceLine("100", 1, "OTHER", "9");  // a shorter number sorts before, never among, 1001's lines
  AddInvoiceLine("1002", 1, "NEXT", "8");
  AddInvoiceLine("1001", 2, "SECOND", "2");
  DocLines[50] = "left over";
  LoadDocLines<records::DetailRec>(records::DetailFile, 3, " 1001 ", InvoiceNumberOf,
                                   [](const records::DetailRec& r, std::string& product, std::string& text) {
                                     product = r.Product.Get();
                                     text = r.LineText.Get();
                                     return true;
                                   });
  EXPECT_EQ(SplitDocLine(DocLines[1]).Product, "FIRST");
  EXPECT_EQ(SplitDocLine(DocLines[2]).Product, "SECOND");
  EXPECT_EQ(SplitDocLine(DocLines[3]).Product, "THIRD");
  for (int entry = 4; entry < DocLineCount; ++entry) EXPECT_TRUE(DocLines[entry].empty()) << entry;
  EXPECT_TRUE(DocLines[0].empty());
}

TEST_F(DocumentLinesTest, APurchaseOrderSkipsItsReceivingLines) {
  AddPOLine("77", 1, "ORDERED", "P");
  AddPOLine("77", 2, "RECEIPT", "L");
  AddPOLine("77", 3, "ALSO", "P");
  AddPOLine("077", 2, "PADDED", "P");
  LoadDocLines<records::PODetailRec>(
      records::PODetailFile, 6, "77", PONumberOf,
      [](const records::PODetailRec& r, std::string& product, std::string& text) {
        product = r.Product.Get();
        text = r.LineText.Get();
        return r.RecordKind.Get() != "L";
      });
  EXPECT_EQ(SplitDocLine(DocLines[1]).Product, "ORDERED");
  EXPECT_EQ(SplitDocLine(DocLines[2]).Product, "ALSO");
  EXPECT_TRUE(DocLines[3].empty());
}

TEST_F(DocumentLinesTest, ADocumentWithoutDetailRecordsHasNoLines) {
  AddInvoiceLine("5", 1, "X", "1");
  DocLines[1] = "stale";
  LoadDocLines<records::DetailRec>(
      records::DetailFile, 3, "6", InvoiceNumberOf,
      [](const records::DetailRec&, std::string&, std::string&) { return true; });
  for (const std::string& line : DocLines) EXPECT_TRUE(line.empty());
}

}  // namespace
}  // namespace documents
