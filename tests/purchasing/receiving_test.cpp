// Receiving goods against purchase orders, checked against the records read back and the books
// after every receipt.
#include "purchasing/receiving.h"

#include <gtest/gtest.h>

#include "po_books_fixture.h"
#include "purchasing/po_posting.h"
#include "records/company_file.h"
#include "storage/isam.h"

namespace purchasing {
namespace {

using test_fixtures::PO;
using test_fixtures::POLine;

class ReceivingTest : public test_fixtures::POBooksTest {
 protected:
  static std::vector<std::string> Rows(const ReceivingList& list) {
    std::vector<std::string> rows;
    for (const ReceivingRow& r : list.Rows)
      rows.push_back(r.Code + " " + r.Ordered + " " + r.ToDate + " [" + r.BalanceDue + "]");
    return rows;
  }
  static Receipt ReceiptOf(const ReceivingList& list, const std::string& receiver,
                           const std::map<std::string, std::string>& inToday) {
    Receipt receipt{list.PONumber, receiver, QDate(2026, 12, 5), list.Rows};
    for (ReceivingRow& row : receipt.Rows)
      if (inToday.count(row.Code)) row.InToday = inToday.at(row.Code);
    return receipt;
  }
};

TEST_F(ReceivingTest, TwoReceiptsOnALineSumPerProductAndTheExactRemainderReceivesThePO) {
  EnteredPO po =
      PO("7000", {POLine(1, "WIDGET", "10"), POLine(2, "AB", "5"), POLine(3, "ABN", "4"), POLine(4, "", "")});
  po.Lines[3].Description = "Call before delivery";
  PostNewPO(po);

  ReceivingList list = LoadReceivingList("7000", false);
  EXPECT_EQ(list.PONumber, "7000");
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"AB 5 0 []", "ABN 4 0 []", "WIDGET 10 0 []"}));
  EXPECT_EQ(list.Rows[2].Description, "Some WIDGET");
  EXPECT_EQ(list.Rows[2].UnitCost, "2.00");
  EXPECT_EQ(list.Ordered, 19);
  EXPECT_EQ(list.ReceiverNumber, "300");

  PostedReceipt posted = PostReceipt(ReceiptOf(list, "300", {{"WIDGET", "4"}, {"AB", "5"}}));
  EXPECT_EQ(posted.RowsReceived, 2);
  EXPECT_FALSE(posted.POReceived);
  EXPECT_EQ(posted.StatusText, "PO 7000 received. Enter another PO number or close window...");
  EXPECT_EQ(OnHand("WIDGET"), "104");
  EXPECT_EQ(OnHand("AB"), "5");
  EXPECT_EQ(OnHand("ABN"), "0");
  EXPECT_EQ(StoredCompany().NextReceiverNumber.Get(), "301");
  EXPECT_EQ(Header("7000").ReceivedDate.Get(), " ");
  records::PODetailRec widget = Details("7000")[0];
  EXPECT_EQ(widget.Received.Get() + " " + widget.ReceivedDate.Get() + " " + widget.QuantityReceived.Get() +
                " " + widget.ReceiverNumber.Get(),
            "Y 2026/12/05 4 300");
  ExpectBooksBalance();

  list = LoadReceivingList("7000", true);  // AB is fully received and not listed
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"ABN 4 0 []", "WIDGET 10 4 []"}));
  EXPECT_EQ(list.ReceiverNumber, "301");
  EXPECT_EQ(list.Due(), 10);
  ReceiveAll(list.Rows);
  EXPECT_EQ(list.Rows[1].InToday + " " + list.Rows[1].BalanceDue, "6 0");
  posted = PostReceipt(ReceiptOf(list, list.ReceiverNumber, {}));
  EXPECT_TRUE(posted.POReceived);
  EXPECT_EQ(Header("7000").ReceivedDate.Get(), "2026/12/05");

  std::vector<records::PODetailRec> details = Details("7000");
  ASSERT_EQ(details.size(), 5u);  // the later receipt of WIDGET is a receipt record of its own
  EXPECT_EQ(details[4].RecordKind.Get(), "L");
  EXPECT_EQ(details[4].Product.Get(), "WIDGET");
  EXPECT_EQ(details[4].QuantityReceived.Get(), "6");
  EXPECT_EQ(details[4].LineText.Get().substr(0, 10), "0         ");
  EXPECT_EQ(details[0].QuantityReceived.Get(), "4");  // the first receipt stays on the line
  EXPECT_EQ(OnHand("WIDGET"), "110");
  EXPECT_EQ(Rows(LoadReceivingList("7000", false)),
            (std::vector<std::string>{"AB 5 5 [0]", "ABN 4 4 [0]", "WIDGET 10 10 [0]"}));
  ExpectBooksBalance();
}

TEST_F(ReceivingTest, UnknownProductsChangeNothingNonStockKeepsItsStockNonDepletingRises) {
  PostNewPO(PO("7100", {POLine(1, "NOPE", "2"), POLine(2, "SERVICE", "3"), POLine(3, "MANUAL", "1")}));
  ReceivingList list = LoadReceivingList("7100", false);
  ReceiveAll(list.Rows);
  PostedReceipt posted = PostReceipt(ReceiptOf(list, "R-1", {}));
  EXPECT_EQ(posted.RowsReceived, 2);
  EXPECT_FALSE(posted.POReceived);  // the unknown product's line stays due
  std::vector<records::PODetailRec> details = Details("7100");
  EXPECT_EQ(details[0].Received.Get() + details[0].QuantityReceived.Get(), "N0");
  EXPECT_EQ(details[1].Received.Get() + details[1].QuantityReceived.Get(), "Y3");
  EXPECT_EQ(OnHand("SERVICE"), "0");
  EXPECT_EQ(OnHand("MANUAL"), "6");
  EXPECT_EQ(StoredCompany().NextReceiverNumber.Get(), "300");  // "R-1" is no number
  ExpectBooksBalance();
}

TEST_F(ReceivingTest, RefusedReceiptsWriteNothing) {
  PostNewPO(PO("7200", {POLine(1, "WIDGET", "10")}));
  ReceivingList list = LoadReceivingList("7200", false);
  PostReceipt(ReceiptOf(list, "300", {{"WIDGET", "1"}}));
  list = LoadReceivingList("7200", false);
  const int recordsBefore = storage::IsamUsedRecs(records::PODetailFile);

  struct Case {
    Receipt receipt;
    const char* caption;
  };
  Receipt none = ReceiptOf(list, "301", {});
  none.Rows.clear();
  Receipt noReceiver = ReceiptOf(list, " ", {{"WIDGET", "1"}});
  const Case cases[] = {
      {none, "Receiving Wizard"},
      {noReceiver, "Receiver Number"},
      {ReceiptOf(list, "301", {{"WIDGET", "two"}}), "Product: Some WIDGET"},
      {ReceiptOf(list, "301", {{"WIDGET", "0"}}), "Received Items"},
      {ReceiptOf(list, "300", {{"WIDGET", "2"}}), "Duplicate Receiver Number"},
  };
  for (const Case& c : cases) {
    try {
      PostReceipt(c.receipt);
      ADD_FAILURE() << c.caption << " was not refused";
    } catch (const ReceiptRefused& refused) {
      EXPECT_EQ(refused.Caption, c.caption);
    }
  }
  EXPECT_EQ(storage::IsamUsedRecs(records::PODetailFile), recordsBefore);
  EXPECT_EQ(OnHand("WIDGET"), "101");
  EXPECT_EQ(StoredCompany().NextReceiverNumber.Get(), "301");
  EXPECT_EQ(Rows(LoadReceivingList("7200", false)), (std::vector<std::string>{"WIDGET 10 1 []"}));
  EXPECT_EQ(LoadReceivingList("9999", false).PONumber, "0");
  ExpectBooksBalance();

  // A PO numbered 0 is received like any other.
  PostNewPO(PO("0", {POLine(1, "WIDGET", "3")}));
  EXPECT_EQ(PostReceipt(ReceiptOf(LoadReceivingList("0", false), "302", {{"WIDGET", "3"}})).RowsReceived, 1);
  EXPECT_EQ(OnHand("WIDGET"), "104");
  ExpectBooksBalance();
}

}  // namespace
}  // namespace purchasing
