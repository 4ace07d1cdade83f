// Deleting purchase orders: the guards and questions, and what a delete leaves behind: no
// header, no detail record, no memo, and the stock of every product less what was received of
// it, checked against the books after every delete.
#include "purchasing/po_delete.h"

#include "platform/ui/application.h"
#include "po_output_fixture.h"
#include "purchasing/po_posting.h"
#include "records/memo_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace {

using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using purchasing::EnteredPO;
using records::CurrentCompany;
using test_fixtures::PO;
using test_fixtures::POLine;

class PODeleteTest : public test_fixtures::POOutputTest {
 protected:
  static storage::IsamRecRef HeaderRef(const char* number) {
    records::POHeaderRec wanted{};
    wanted.PONumber.Set(number);
    std::vector<storage::IsamRecRef> refs =
        records::RecordsWithKey(records::POHeaderFile, 1, records::BuildPOHeaderKey(wanted, 1));
    return refs.empty() ? 0 : refs.front();
  }
  void ExpectConfirmation(const char* number, platform::ui::TModalResult answer = mrYes) {
    ui.ExpectMessage("Are you sure you want to delete this record?", QString("Delete PO#: ") + number)
        .Answer(answer);
  }
};

TEST_F(PODeleteTest, DeletingAPOAfterReceiptsTakesEveryReceivedQuantityBackOutOfStock) {
  purchasing::PostNewPO(
      PO("7000", {POLine(1, "WIDGET", "10"), POLine(2, "AB", "5"), POLine(3, "SERVICE", "2"),
                  POLine(4, "MANUAL", "3"), POLine(5, "ABN", "4")}));
  purchasing::PostNewPO(PO("7001", {POLine(1, "WIDGET", "7")}));
  Receive("7000", "300", {{"WIDGET", "4"}, {"AB", "5"}, {"SERVICE", "2"}, {"MANUAL", "1"}});
  Receive("7000", "301", {{"WIDGET", "6"}, {"MANUAL", "2"}});
  Receive("7001", "302", {{"WIDGET", "7"}});
  ASSERT_EQ(Details("7000").size(), 7u);  // two receipt records
  EXPECT_EQ(OnHand("WIDGET"), "117");
  EXPECT_EQ(OnHand("MANUAL"), "8");
  ExpectBooksBalance();

  ExpectConfirmation("7000");
  std::optional<purchasing::DeletedPO> deleted = purchasing::DeletePO(HeaderRef("7000"));
  ASSERT_TRUE(deleted);
  EXPECT_EQ(deleted->StatusText, "Deleted PO 7000 containing 7 line item(s).");
  EXPECT_TRUE(deleted->ReceiversPresent);
  EXPECT_FALSE(deleted->StockFailed);
  EXPECT_EQ(HeaderRef("7000"), 0);
  EXPECT_TRUE(Details("7000").empty());
  EXPECT_EQ(OnHand("WIDGET"), "107");  // the other PO's receipt stays
  EXPECT_EQ(OnHand("AB"), "0");
  EXPECT_EQ(OnHand("MANUAL"), "5");
  EXPECT_EQ(OnHand("SERVICE"), "0");
  EXPECT_EQ(OnHand("ABN"), "0");
  EXPECT_EQ(Details("7001").size(), 1u);
  ExpectBooksBalance();

  // Nothing received: no stock changes and no receivers.
  purchasing::PostNewPO(PO("7002", {POLine(1, "WIDGET", "3")}));
  ExpectConfirmation("7002");
  deleted = purchasing::DeletePO(HeaderRef("7002"));
  ASSERT_TRUE(deleted);
  EXPECT_FALSE(deleted->ReceiversPresent);
  EXPECT_EQ(OnHand("WIDGET"), "107");
  ExpectBooksBalance();
}

TEST_F(PODeleteTest, TheGuardsAskOrRefuseInTheirOrder) {
  EnteredPO received = PO("7100", {POLine(1, "WIDGET", "5"), POLine(2, "AB", "2")});
  received.MarkReceived = true;
  purchasing::PostNewPO(received);
  purchasing::PostNewPO(PO("7101", {POLine(1, "AB", "1")}));
  records::POHeaderRec printed = Header("7101");
  const records::POHeaderRec before = printed;
  printed.Printed.Set("Y");
  ASSERT_TRUE(records::UpdatePOHeaderRecord(printed, before, HeaderRef("7101")));
  EXPECT_EQ(OnHand("WIDGET"), "105");

  CurrentCompany.AuditTrail.Set(" Y");
  ui.ExpectMessage("The audit trail feature is turned on. Unable to delete record.", "Audit Trail");
  EXPECT_FALSE(purchasing::DeletePO(HeaderRef("7101")));
  CurrentCompany.AuditTrail.Set("N");

  const QString printedQuestion = "This PO has been printed. Are you sure you want to delete this PO?";
  ui.ExpectMessage(printedQuestion, "Delete PO#: 7101").Answer(mrNo);
  EXPECT_FALSE(purchasing::DeletePO(HeaderRef("7101")));
  ui.ExpectMessage(printedQuestion, "Delete PO#: 7101").Answer(mrYes);
  ExpectConfirmation("7101", mrNo);
  EXPECT_FALSE(purchasing::DeletePO(HeaderRef("7101")));
  EXPECT_NE(HeaderRef("7101"), 0);
  EXPECT_EQ(Details("7101").size(), 1u);

  // A PO entered as received warns, and its delete takes back what it put in stock.
  ui.ExpectMessage(
        "This PO has been fully received. If you delete this PO all receiving information will also be "
        "removed.",
        "Warning")
      .Icon(platform::ui::MsgIcon::Warning);
  ExpectConfirmation("7100");
  std::optional<purchasing::DeletedPO> deleted = purchasing::DeletePO(HeaderRef("7100"));
  ASSERT_TRUE(deleted);
  EXPECT_TRUE(deleted->ReceiversPresent);
  EXPECT_EQ(OnHand("WIDGET"), "100");
  EXPECT_EQ(OnHand("AB"), "0");
  EXPECT_FALSE(purchasing::DeletePO(0));
  ExpectBooksBalance();
}

TEST_F(PODeleteTest, DeletingAMemoPODeletesItsMemoAndStockLine) {
  PostMemoPO("7200", {"Gate repair"}, "WIDGET", "3");
  Receive("7200", "300", {{"WIDGET", "3"}});
  EXPECT_EQ(OnHand("WIDGET"), "103");
  ui.ExpectMessage(
      "This PO has been fully received. If you delete this PO all receiving information will also be "
      "removed.",
      "Warning");
  ExpectConfirmation("7200");
  std::optional<purchasing::DeletedPO> deleted = purchasing::DeletePO(HeaderRef("7200"));
  ASSERT_TRUE(deleted);
  EXPECT_EQ(deleted->StatusText, "Deleted memo PO 7200.");
  EXPECT_TRUE(deleted->ReceiversPresent);
  EXPECT_EQ(OnHand("WIDGET"), "100");
  records::POMemoRec wanted{}, memo{};
  wanted.Number.Set("7200");
  storage::IsamRecRef ref = 0;
  EXPECT_FALSE(records::ReadByKey(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, memo, ref));
  ExpectBooksBalance();

  // A memo PO whose memo is already gone is deleted all the same, with a beep.
  PostMemoPO("7201", {"Spare keys"}, "AB", "1");
  wanted.Number.Set("7201");
  ASSERT_TRUE(records::ReadByKey(records::POMemoUnit(), records::BuildPOMemoKey(wanted, 1), 1, memo, ref));
  ASSERT_TRUE(records::DeletePOMemoRecord(ref));
  ExpectConfirmation("7201");
  ASSERT_TRUE(purchasing::DeletePO(HeaderRef("7201")));
  EXPECT_EQ(ui.Count(testing_support::UiEvent::Kind::Beep), 1);
  EXPECT_EQ(HeaderRef("7201"), 0);
  ExpectBooksBalance();
}

}  // namespace

namespace {

// A stock rewrite that fails undoes the whole deletion: the PO stays, and the books with it.
TEST_F(PODeleteTest, AStockRewriteThatFailsUndoesTheWholeDeletion) {
  purchasing::PostNewPO(PO("7300", {POLine(1, "WIDGET", "4"), POLine(2, "AB", "2")}));
  Receive("7300", "300", {{"WIDGET", "4"}, {"AB", "2"}});
  // A read-only product file refuses every rewrite with a lock-class error.
  storage::IsamCloseFileBlock(records::ProductFile);
  const std::string name = records::ProductUnit().FileName();
  storage::IsamOpenFileBlock(records::ProductFile, name, false, true, false, true);
  ASSERT_TRUE(storage::IsamOK);
  const QString caption = records::ProductUnit().Kind().Caption;
  ui.ExpectMessage(
      "This PO has been fully received. If you delete this PO all receiving information will also be "
      "removed.",
      "Warning");
  ExpectConfirmation("7300");
  ui.ExpectMessage("Cannot get a lock.  Abort?", caption).Answer(mrYes);
  EXPECT_THROW(purchasing::DeletePO(HeaderRef("7300")), storage::PostingFailed);
  EXPECT_FALSE(Details("7300").empty());
  if (storage::IsamIsOpen(records::ProductFile)) storage::IsamCloseFileBlock(records::ProductFile);
  records::ProductFile = nullptr;
  ASSERT_TRUE(records::OpenProductFile());
  EXPECT_EQ(OnHand("WIDGET"), "104");
  EXPECT_EQ(testing_support::BooksProblems(StoredCompany(), stock), std::vector<std::string>{});
}

}  // namespace
