// The Receiving Wizard worked as a user works it: a PO found, In Today typed into the grid,
// the questions answered, and the receipts read back from the files with the books checked.

#include "purchasing/receiving_wizard.h"
#include "platform/ui/application.h"
#include "po_entry_fixture.h"
#include "purchasing/po_posting.h"
#include "support/grid_typing.h"

using namespace purchasing;
using platform::ui::mrNo;
using platform::ui::mrYes;

namespace test_fixtures {
namespace {

class ReceivingWizardTest : public POEntryTest {
 protected:
  // Shows the wizard and runs `work` on it.
  void Wizard(const std::function<void(TRecvWiz&)>& work) {
    ui.OnModal<TRecvWiz>([work](TRecvWiz& w) {
      work(w);
      w.InvCloseClick();
    });
    OpenReceivingWizard();
    EXPECT_TRUE(ui.Done());
  }
  static void Find(TRecvWiz& w, const char* number) {
    w.PONum->setText(number);
    EXPECT_TRUE(w.LoadBtn->isEnabled());
    w.LoadBtnClick();
  }
  static QStringList Row(TRecvWiz& w, int row) {
    QStringList cells;
    for (int column = 0; column < kRecvColumns; ++column) cells << w.StringGrid1->item(row, column)->text();
    return cells;
  }
  static int RowOfCode(TRecvWiz& w, const char* code) {
    for (int row = 0; row < w.StringGrid1->rowCount(); ++row)
      if (w.StringGrid1->item(row, kRecvCode)->text() == code) return row;
    ADD_FAILURE() << code << " not listed";
    return 0;
  }
  static void InToday(TRecvWiz& w, const char* code, const char* quantity) {
    w.StringGrid1->item(RowOfCode(w, code), kRecvInToday)->setText(quantity);
  }
};

TEST_F(ReceivingWizardTest, TwoReceiptsOnOneLineAddUpAndTheLastOneReceivesThePO) {
  PostNewPO(PO("7000", {POLine(1, "WIDGET", "10", "2.50"), POLine(2, "AB", "5"), POLine(3, "ABN", "4")}));
  Wizard([&](TRecvWiz& w) {
    EXPECT_EQ(w.Caption(), "Receiving Wizard - Acme Supply");
    EXPECT_EQ(w.StatusBar1->currentMessage(), "Enter a PO number and select the Find button...");
    EXPECT_FALSE(w.LoadBtn->isEnabled());
    Find(w, "7000");
    EXPECT_EQ(w.StringGrid1->rowCount(), 3);
    EXPECT_EQ(Row(w, 2), (QStringList{"Some WIDGET", "WIDGET", "2.50", "10", "P", "0", "0", ""}));
    EXPECT_EQ(w.TotOrder->text(), "19");
    EXPECT_EQ(w.OpenAmt->text(), "19");
    EXPECT_EQ(w.Label7->text(), "3 line(s)");
    EXPECT_EQ(w.RNum->text(), "300");
    EXPECT_EQ(ReceivingPONumber, "7000");
    EXPECT_FALSE(w.LoadBtn->isEnabled());
    EXPECT_TRUE(w.RecAllBtn->isEnabled());

    InToday(w, "WIDGET", "4");
    EXPECT_EQ(Row(w, 2)[kRecvBalanceDue], "6");
    InToday(w, "AB", "5");
    w.RDate->setText("12/05/2026");
    w.PostBtnClick();
    EXPECT_EQ(w.StatusBar1->currentMessage(), "PO 7000 received. Enter another PO number or close window...");
    EXPECT_EQ(w.PONum->text(), "");
    EXPECT_EQ(ReceivingPONumber, "0");
    for (QLabel* total : {w.TotOrder, w.RecToDate, w.OpenAmt, w.Label7}) EXPECT_EQ(total->text(), "");
  });
  EXPECT_EQ(OnHand("WIDGET"), "104");
  EXPECT_EQ(OnHand("AB"), "5");
  EXPECT_EQ(Header("7000").ReceivedDate.Get(), " ");
  ExpectBooksBalance();

  Wizard([&](TRecvWiz& w) {
    Find(w, "7000");
    EXPECT_EQ(w.RNum->text(), "301");
    EXPECT_EQ(Row(w, RowOfCode(w, "WIDGET")),
              (QStringList{"Some WIDGET", "WIDGET", "2.50", "10", "P", "4", "0", ""}));
    EXPECT_EQ(Row(w, RowOfCode(w, "AB"))[kRecvBalanceDue], "0");
    EXPECT_EQ(w.RecToDate->text(), "9");
    // Open items only: AB is received in full and drops out.
    w.CBFilter->click();
    EXPECT_EQ(w.StringGrid1->rowCount(), 2);
    w.RecAllBtnClick();
    EXPECT_EQ(Row(w, RowOfCode(w, "WIDGET"))[kRecvInToday], "6");
    EXPECT_EQ(Row(w, RowOfCode(w, "ABN"))[kRecvBalanceDue], "0");
    w.PostBtnClick();
  });
  const std::vector<records::PODetailRec> details = Details("7000");
  ASSERT_EQ(details.size(), 4u);
  EXPECT_EQ(details[3].RecordKind.Get() + " " + details[3].Product.Get() + " " +
                details[3].QuantityReceived.Get() + " " + details[3].ReceiverNumber.Get() + " " +
                details[3].ReceivedDate.Get(),
            "L WIDGET 6 301 2026/12/05");  // the wizard keeps the receiver date it was given
  EXPECT_EQ(OnHand("WIDGET"), "110");
  EXPECT_EQ(OnHand("ABN"), "4");
  EXPECT_EQ(Header("7000").ReceivedDate.Get(), "2026/12/05");
  EXPECT_EQ(StoredCompany().NextReceiverNumber.Get(), "302");
  ExpectBooksBalance();

  Wizard([&](TRecvWiz& w) {
    w.CBFilter->setChecked(false);
    Find(w, "7000");
    EXPECT_EQ(Row(w, RowOfCode(w, "WIDGET"))[kRecvToDate], "10");
    EXPECT_FALSE(w.RecAllBtn->isEnabled());
    ui.ExpectMessage("That PO number does not have any open items to display.", "Receiving Wizard");
    w.CBFilter->click();
    EXPECT_EQ(w.StatusBar1->currentMessage(),
              "PO not found. Enter a PO number and select the Find button...");
    ui.ExpectMessage("That PO number does not exist.", "Receiving Wizard");
    Find(w, "7999");
  });
}

// A key typed right after a click on the current cell starts the edit, as it does in the entry
// forms' grid, and the keys after it follow.
TEST_F(ReceivingWizardTest, AKeyTypedRightAfterAClickOnTheCurrentCellStartsTheEdit) {
  PostNewPO(PO("7300", {POLine(1, "WIDGET", "50")}));
  Wizard([&](TRecvWiz& w) {
    Find(w, "7300");
    const QModelIndex cell = w.StringGrid1->model()->index(0, kRecvInToday);
    w.StringGrid1->setCurrentIndex(cell);
    testing_support::TypeRightAfterAClick(*w.StringGrid1, cell, "34");
    EXPECT_EQ(Row(w, 0)[kRecvInToday], "34");
    EXPECT_EQ(Row(w, 0)[kRecvBalanceDue], "16");
    // A key typed before the window lost the keyboard stays in the cell the next keys go on in.
    w.StringGrid1->setCurrentIndex(cell);
    testing_support::TypeIntoGrid(*w.StringGrid1, "1");
    testing_support::MinimizeAndRestore(w);
    testing_support::TypeWhereTheFocusIs("2\n");
    EXPECT_EQ(Row(w, 0)[kRecvInToday], "12");
  });
}

TEST_F(ReceivingWizardTest, EveryRefusalAndQuestionComesBeforeAnythingIsWritten) {
  PostNewPO(PO("7100", {POLine(1, "WIDGET", "10"), POLine(2, "AB", "5")}));
  PostNewPO(PO("7200", {POLine(1, "AB", "1")}));
  Wizard([&](TRecvWiz& w) {
    ui.ExpectMessage("You need to select a PO to receive.", "Receiving Wizard");
    w.PostBtnClick();

    Find(w, "7100");
    w.RNum->clear();
    ui.ExpectMessage("You need to enter a receiver number.", "Receiver Number");
    w.PostBtnClick();
    w.RNum->setText("300");

    ui.ExpectMessage(
        "You have not entered an amount for any items in the \"In Today\" column. You have nothing to "
        "receive.",
        "Received Items");
    w.PostBtnClick();

    InToday(w, "AB", "abc");
    EXPECT_EQ(Row(w, RowOfCode(w, "AB"))[kRecvBalanceDue], "5");  // a text that is no number counts 0
    ui.ExpectMessage("\"abc\" in the \"In Today\" column is not a number.", "Product: Some AB");
    w.PostBtnClick();

    InToday(w, "AB", "7");
    ui.ExpectMessage(
          "You are receiving more items than ordered. A Change to the PO is probably needed. Continue "
          "anyway?",
          "Product: Some AB")
        .Answer(mrNo);
    w.PostBtnClick();
    EXPECT_EQ(w.StringGrid1->currentRow(), RowOfCode(w, "AB"));

    w.RDate->setText("12/09/2026");
    ui.ExpectMessage(
          "You are receiving more items than ordered. A Change to the PO is probably needed. Continue "
          "anyway?",
          "Product: Some AB")
        .Answer(mrYes);
    ui.ExpectMessage(
          "Your received date is AFTER (older than) todays date. It will not appear on your receiving "
          "report unless you include this date in the search. Are you sure you want to do this?",
          "Please Confirm")
        .Answer(mrNo);
    w.PostBtnClick();
  });
  EXPECT_EQ(OnHand("AB"), "0");
  EXPECT_EQ(StoredCompany().NextReceiverNumber.Get(), "300");

  // A receiver number in use on another PO is refused.
  Wizard([&](TRecvWiz& w) {
    Find(w, "7200");
    w.RDate->setText("12/07/2026");
    InToday(w, "AB", "1");
    w.PostBtnClick();
  });
  EXPECT_EQ(OnHand("AB"), "1");
  Wizard([&](TRecvWiz& w) {
    Find(w, "7100");
    w.RNum->setText("300");
    InToday(w, "WIDGET", "1");
    ui.ExpectMessage("The receiver number you entered already exists. Enter a different number.",
                     "Duplicate Receiver Number");
    w.PostBtnClick();
  });
  EXPECT_EQ(OnHand("WIDGET"), "100");
  ExpectBooksBalance();
}

TEST_F(ReceivingWizardTest, AListedPOShowsEveryLineOnASmallScreen) {
  PostNewPO(PO("7300", {POLine(1, "WIDGET", "10", "2.50"), POLine(2, "BOLT", "200", "0.50"),
                        POLine(3, "MANUAL", "3", "12.00")}));
  Wizard([&](TRecvWiz& w) {
    Find(w, "7300");
    InToday(w, "WIDGET", "4");
    InToday(w, "BOLT", "200");
    Screenshot(w, "receiving_wizard", {w.StringGrid1, w.PONum, w.RDate});
    ExpectRowsShown(*w.StringGrid1, 3);
  });
}

}  // namespace
}  // namespace test_fixtures
