// Adding purchase orders, checked against the records read back and the books after every
// posting.
#include "purchasing/po_posting.h"

#include <gtest/gtest.h>

#include "po_books_fixture.h"
#include "records/company_file.h"
#include "records/memo_file.h"
#include "records/po_header_file.h"
#include "records/record_file.h"

namespace purchasing {
namespace {

using records::CurrentCompany;
using test_fixtures::PO;
using test_fixtures::POLine;

class POPostingTest : public test_fixtures::POBooksTest {
 protected:
  static std::vector<std::string> Column(const std::vector<records::PODetailRec>& details,
                                         std::string (*field)(const records::PODetailRec&)) {
    std::vector<std::string> values;
    for (const records::PODetailRec& d : details) values.push_back(field(d));
    return values;
  }
  static records::POMemoRec Memo(const char* number) {
    records::POMemoRec wanted{}, found{};
    wanted.Number.Set(number);
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(records::ReadByKey(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, found, ref));
    return found;
  }
};

TEST_F(POPostingTest, OpenAndReceivedPOsPostHeaderLinesStockAndCounter) {
  EnteredPO open =
      PO("a5000", {POLine(1, "widget", "1,200", "2.00"), POLine(2, "", "", ""), POLine(3, "", "", "")});
  open.Lines[1].Description = "Deliver to the back door";
  open.Lines[0].Extension = "2,400.00";
  open.Net = "2,400.00";
  open.Total = "2,400.00";
  PostedPO posted = PostNewPO(open);
  EXPECT_EQ(posted.LineItems, 2);
  EXPECT_EQ(posted.StatusText, "Added PO A5000 containing 2 line item(s).");

  records::POHeaderRec h = Header("A5000");
  EXPECT_EQ(h.POStatus.Get(), "O");
  EXPECT_EQ(h.PODate.Get(), "12/01/2026");
  EXPECT_EQ(h.SortDate.Get(), "2026/12/01");
  EXPECT_EQ(h.Month.Get() + h.Day.Get() + h.Year.Get(), "12012026");
  EXPECT_EQ(h.DateRequired.Get(), "2026/12/15");
  EXPECT_EQ(h.ReceivedDate.Get(), " ");
  EXPECT_EQ(h.EnteredReceived.Get(), "N");
  EXPECT_EQ(h.NetAmount.Get(), "2400.00");
  EXPECT_EQ(h.TaxRate.Get(), "0");
  EXPECT_EQ(h.POKind.Get(), "P");
  EXPECT_EQ(h.CompanyNumber.Get(), "12");

  std::vector<records::PODetailRec> lines = Details("A5000");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].PONumber.Get(), "a5000");  // as typed
  EXPECT_EQ(lines[0].LineText.Get(), "1200      Some widget                     2.00      N2400.00   ");
  EXPECT_EQ(lines[0].LineKey.Get(), "0000a500001");
  EXPECT_EQ(lines[1].LineNumber.Get(), "02");
  EXPECT_EQ(lines[1].Product.Get(), "");
  EXPECT_EQ(Column(lines,
                   [](const records::PODetailRec& d) { return d.Received.Get() + d.QuantityReceived.Get(); }),
            (std::vector<std::string>{"N0", "N0"}));
  EXPECT_EQ(OnHand("WIDGET"), "100");
  EXPECT_EQ(StoredCompany().NextPONumber.Get(), "5000");  // "a5000" is no number: the counter stays
  EXPECT_EQ(StoredCompany().POManagerStartNumber.Get(), "a5000");
  ExpectBooksBalance();

  // Entered as received: stocked products rise, a non-depleting one too, non-stock and unknown
  // products stay as they are.
  EnteredPO received = PO("5001", {POLine(1, "WIDGET", "10"), POLine(2, "SERVICE", "3"),
                                   POLine(3, "manual", "2.5"), POLine(4, "NOPE", "1")});
  received.MarkReceived = true;
  posted = PostNewPO(received);
  EXPECT_EQ(posted.LineItems, 4);
  h = Header("5001");
  EXPECT_EQ(h.EnteredReceived.Get(), "Y");
  EXPECT_EQ(h.ReceivedDate.Get(), "2026/12/07");
  lines = Details("5001");
  EXPECT_EQ(Column(lines,
                   [](const records::PODetailRec& d) {
                     return d.Received.Get() + " " + d.ReceivedDate.Get() + " " + d.QuantityReceived.Get() +
                            " " + d.ReceiverNumber.Get();
                   }),
            (std::vector<std::string>{"Y 2026/12/07 10 Auto-Rec", "Y 2026/12/07 3 Auto-Rec",
                                      "Y 2026/12/07 2.5 Auto-Rec", "Y 2026/12/07 1 Auto-Rec"}));
  EXPECT_EQ(OnHand("WIDGET"), "110");
  EXPECT_EQ(OnHand("SERVICE"), "0");
  EXPECT_EQ(OnHand("MANUAL"), "7.5");
  EXPECT_EQ(StoredCompany().NextPONumber.Get(), "5002");
  EXPECT_EQ(CurrentCompany.NextPONumber.Get(), "5002");
  ExpectBooksBalance();
}

TEST_F(POPostingTest, MemoPOKeepsEveryMemoLineAndItsOneProductLine) {
  EnteredPO memo = PO("5002", {});
  memo.Memo = true;
  memo.MemoLines = {"First line of the memo", "", std::string(80, 'x')};
  memo.MemoProduct.Quantity = "4";
  memo.MemoProduct.Description = "Shelving";
  memo.MarkReceived = true;
  PostNewPO(memo);
  records::POMemoRec stored = Memo("5002");
  EXPECT_EQ(stored.Lines[0].Get(), "First line of the memo");
  EXPECT_EQ(stored.Lines[2].Get(), std::string(74, 'x'));
  std::vector<records::PODetailRec> lines = Details("5002");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].Product.Get(), "** NONE **");
  EXPECT_EQ(lines[0].LineText.Get(), "4         Shelving                        10.00     M10.00     ");
  EXPECT_EQ(Header("5002").POKind.Get(), "M");
  ExpectBooksBalance();

  EnteredPO stocked = PO("5003", {});
  stocked.Memo = true;
  stocked.MemoProduct.Code = "widget";
  stocked.MemoProduct.Quantity = "1,000";
  stocked.MarkReceived = true;
  PostNewPO(stocked);
  EXPECT_EQ(OnHand("WIDGET"), "1100");
  ExpectBooksBalance();
}

TEST_F(POPostingTest, CounterFollowsTheNumberAfterItsDatePrefix) {
  CurrentCompany.PONumberPrefix.Set("Y");
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.PONumberPrefix.Set("Y"); }));
  PostNewPO(PO("12260123", {POLine(1, "WIDGET", "1")}));
  EXPECT_EQ(StoredCompany().NextPONumber.Get(), "124");
  EXPECT_EQ(StoredCompany().POManagerStartNumber.Get(), "12260123");
}

TEST_F(POPostingTest, FiguresThatDoNotFitOrBadDatesAreRefusedBeforeAnythingIsWritten) {
  EnteredPO tooLong = PO("6000", {POLine(1, "WIDGET", "1"), POLine(2, "WIDGET", "12345678901")});
  EnteredPO badPrice = PO("6001", {POLine(1, "WIDGET", "1", "12,345,678,901")});
  EnteredPO badQuantity = PO("6002", {POLine(1, "WIDGET", "two")});
  EnteredPO badDate = PO("6003", {POLine(1, "WIDGET", "1")});
  badDate.DateRequired = "13/45/2026";
  EnteredPO badReceived = PO("6004", {POLine(1, "WIDGET", "1")});
  badReceived.MarkReceived = true;
  badReceived.ReceivedDate = "  /  /    ";
  EnteredPO stockTooLong = PO("6005", {POLine(1, "WIDGET", "9999999999")});  // 100 more: 11 characters
  stockTooLong.MarkReceived = true;
  for (const EnteredPO& po : {tooLong, badPrice, badQuantity, badDate, badReceived, stockTooLong}) {
    EXPECT_THROW(PostNewPO(po), std::runtime_error) << po.Number;
    EXPECT_EQ(storage::IsamUsedRecs(records::POHeaderFile), 0) << po.Number;
    EXPECT_TRUE(Details(po.Number.c_str()).empty()) << po.Number;
  }
  EXPECT_EQ(OnHand("WIDGET"), "100");
  EXPECT_EQ(StoredCompany().NextPONumber.Get(), "5000");
}

}  // namespace
}  // namespace purchasing
