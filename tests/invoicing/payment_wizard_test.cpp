// The payment wizard worked as a user works it: a customer picked through the Customer Manager,
// items moved, paid in part or taken as a deposit, amounts typed, and the payment posted; the
// books are read back from the files afterwards.
#include "invoicing/payment_wizard.h"

#include <QTest>
#include <cstring>
#include <map>

#include "books_fixture.h"
#include "customers/customer_manager.h"
#include "forms/cal_form.h"
#include "invoicing/partial_payment_dialog.h"
#include "invoicing/typed_amount.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/record_file.h"
#include "support/tab_order.h"

namespace invoicing {
namespace {

using platform::ui::mrOk;
using platform::ui::MsgIcon;

class PaymentWizardTest : public test_fixtures::BooksTest {
 protected:
  PaymentWizardTest() {
    FileCustomer("C1", "Baker");
    FileCustomer("C2", "Carter");
  }
  // The wizard and the Customer Manager open the files they need themselves.
  void RunWizard(const std::function<void(TPayBox&)>& work, platform::ui::TModalResult result = mrOk) {
    storage::IsamCloseFileBlock(records::CustomerFile);
    storage::IsamCloseFileBlock(records::InvoiceFile);
    ui.OnModal<TPayBox>(work);
    EXPECT_EQ(CreatePayBox().ShowModal(), result);
    ASSERT_TRUE(records::OpenInvoiceFile());
  }
  void PickCustomer(TPayBox& wizard, const std::string& number, const std::string& name) {
    ui.OnModal<customers::TDemoForm>([number, name](customers::TDemoForm& manager) {
      EXPECT_EQ(manager.StatusText(1), "Double-click or press <enter> to select.");
      records::CustomerRec wanted{};
      wanted.CustomerNo.Set(number);
      wanted.CustomerName.Set(name);
      manager.RecBrowser1->BrowserGoToKey(records::BuildCustomerKey(wanted, customers::CustomerKeyNumber), 0);
      manager.EditClick();
    });
    wizard.BitBtn3Click();
  }
  static std::vector<std::string> Lines(const QListWidget& list) {
    std::vector<std::string> lines;
    for (int row = 0; row < list.count(); ++row) lines.push_back(list.item(row)->text().toStdString());
    return lines;
  }
};

TEST_F(PaymentWizardTest, PostWaitsForTheExactCentAndRefusesBadAmounts) {
  PostInvoice("1001", "C1", "12/01/2026", "100.00", "0.00");
  PostInvoice("1002", "C1", "10/01/2026", "50.00", "0.00");
  RunWizard([&](TPayBox& w) {
    EXPECT_EQ(w.Caption(), "Payment Wizard - Acme Supply");
    EXPECT_FALSE(w.OKBtn->isEnabled());
    EXPECT_FALSE(w.AccountDep->isEnabled());
    PickCustomer(w, "C1", "Baker");
    EXPECT_EQ(w.CustBal->text(), "150.00");
    EXPECT_EQ(w.PDate->text(), "12/07/2026");
    EXPECT_EQ(Lines(*w.SrcList), (std::vector<std::string>{"1001      12/01/26       100.00",
                                                           "1002      10/01/26        50.00"}));
    w.SrcList->setCurrentRow(0);
    w.IncludeBtnClick();
    EXPECT_EQ(w.IPostedAmt->text(), "100.00");
    const std::pair<const char*, bool> typed[] = {{"99.99", false}, {"100.01", false}, {"100", true},
                                                  {"", false},      {".", false},      {"100.0", true}};
    for (auto [text, enabled] : typed) {
      w.PAmt->setText(text);
      EXPECT_EQ(w.OKBtn->isEnabled(), enabled) << text;
    }
    // Refused texts give way to the last amount that was a number.
    for (const char* bad : {"100.0a", "1.2.3", "1,000"}) {
      ui.ExpectMessage("The payment amount must be a numeric value.", "Invalid Payment Amount")
          .Icon(MsgIcon::Warning);
      w.PAmt->setText(bad);
      EXPECT_EQ(w.PAmt->text(), "100.0");
    }
    ui.ExpectMessage(
        "You should not enter a negative number in the payment box. Create a credit invoice if you are "
        "trying to "
        "give the customer credit.",
        "Paid Amount");
    w.PAmt->setText("-");
    EXPECT_TRUE(w.OKBtn->isEnabled());
    w.OKBtnClick();
  });
  records::CustomerRec c1 = Customer("C1");
  EXPECT_EQ(c1.CustBalance.Get(), "50.00");
  EXPECT_EQ(Buckets(c1), (std::vector<std::string>{"0.00", "0.00", "50.00", "0.00"}));
  EXPECT_EQ(StoredCompany().CompanyARBalance.Get(), "50.00");
  ExpectBooksBalance();
}

TEST_F(PaymentWizardTest, APartialPaymentAndAWholeItemPostedTogether) {
  PostInvoice("2001", "C1", "12/05/2026", "100.00", "0.00");
  PostInvoice("2002", "C1", "12/06/2026", "20.00", "0.00");
  RunWizard([&](TPayBox& w) {
    PickCustomer(w, "C1", "Baker");
    // The balance typed as paid takes every open item.
    w.PAmt->setText("120");
    EXPECT_EQ(w.SrcList->count(), 0);
    EXPECT_EQ(w.DstList->count(), 2);
    EXPECT_TRUE(w.OKBtn->isEnabled());
    w.ExcAllBtnClick();
    EXPECT_FALSE(w.OKBtn->isEnabled());
    ui.ExpectMessage("There are no records to move to the left box.", "Payment Wizard");
    w.ExcludeBtnClick();

    w.SrcList->setCurrentRow(0);
    w.SrcListClick();
    EXPECT_TRUE(w.PPmtBtn->isEnabled());
    ui.OnModal<TPPmtDialog>([&](TPPmtDialog& d) {
      EXPECT_EQ(d.Caption(), "Partial Payment");
      EXPECT_EQ(d.Label1->text(), "Invoice: 2001   Date: 12/05/26");
      ui.ExpectMessage("The partial payment amount must be less than amount due.", "Partial Payment Amount");
      d.PAmount->setText("100.00");
      d.OKBtnClick();
      ui.ExpectMessage("The payment amount must be greater than zero.", "Payment Amount");
      d.PAmount->setText("0");
      d.OKBtnClick();
      d.PAmount->setText("40");
      d.OKBtnClick();
    });
    w.PPmtBtnClick();
    EXPECT_EQ(Lines(*w.SrcList), (std::vector<std::string>{"2001      12/05/26        60.00",
                                                           "2002      12/06/26        20.00"}));
    EXPECT_EQ(Lines(*w.DstList), (std::vector<std::string>{"2001      12/05/26        40.00P"}));
    w.SrcList->setCurrentRow(1);
    w.IncludeBtnClick();
    w.PAmt->setText("60.00");
    w.OKBtnClick();
  });
  std::vector<records::InvoiceRec> partly = Records("2001");
  ASSERT_EQ(partly.size(), 2u);
  EXPECT_EQ(partly[0].TransactionType.Get() + partly[0].AmountDue.Get(), "Z60.00");
  EXPECT_EQ(partly[1].TransactionType.Get() + partly[1].InvPaid.Get(), "X40.00");
  EXPECT_EQ(Records("2002").at(0).SettledFlag.Get(), "P");
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "60.00");
  ExpectBooksBalance();
}

TEST_F(PaymentWizardTest, ACustomerWithoutBalanceLeavesADeposit) {
  RunWizard([&](TPayBox& w) {
    ui.ExpectMessage(
          "This customer does not have a balance due. You can only record deposits on account or clear "
          "offsetting invoices and credits.",
          "Please Note")
        .Icon(MsgIcon::Information);
    PickCustomer(w, "C2", "Carter");
    EXPECT_TRUE(w.AccountDep->isEnabled());
    ui.OnModal<TPPmtDialog>([](TPPmtDialog& d) {
      EXPECT_EQ(d.Caption(), "Deposit on Account");
      EXPECT_EQ(d.Label1->text(), "Invoice: DEPOSIT     Date: 12/07/2026");
      d.PAmount->setText("25.00");
      d.OKBtnClick();
    });
    w.AccountDepClick();
    EXPECT_EQ(Lines(*w.DstList), (std::vector<std::string>{"DEPOSIT   12/07/26        25.00"}));
    w.PAmt->setText("25");
    w.PDate->setText("13/45/2026");
    ui.ExpectMessage(
          "You have an invalid payment date. You can clear the date and then select the calendar button.",
          "Payment Date")
        .Icon(MsgIcon::Warning);
    w.OKBtnClick();
    w.PDate->setText("12/07/2026");
    w.OKBtnClick();
  });
  EXPECT_EQ(Records("DP15001").at(0).AmountDue.Get(), "-25.00");
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "-25.00");
  EXPECT_EQ(StoredCompany().NextDepositNumber.Get(), "15001");
  ExpectBooksBalance();
}

TEST_F(PaymentWizardTest, TheKeyboardMovesItemsAndTheCalendarFillsTheDate) {
  PostInvoice("1001", "C1", "12/01/2026", "100.00", "0.00");
  PostInvoice("1002", "C1", "12/02/2026", "30.00", "0.00");
  RunWizard([&](TPayBox& w) {
    PickCustomer(w, "C1", "Baker");
    testing_support::ExpectTabOrderReads(w, "Payment Wizard");
    // Enter in a box presses no button (Partial Payment would come up unasked).
    for (QLineEdit* box : {w.PDate, w.PAmt, w.PNotes}) QTest::keyClick(box, Qt::Key_Return);
    // Enter moves the selected lines, taken from the bottom up.
    w.SrcList->selectAll();
    QTest::keyClick(w.SrcList, Qt::Key_Return);
    EXPECT_EQ(Lines(*w.DstList), (std::vector<std::string>{"1002      12/02/26        30.00",
                                                           "1001      12/01/26       100.00"}));
    w.DstList->setCurrentRow(1);
    QTest::keyClick(w.DstList, Qt::Key_Return);
    EXPECT_EQ(Lines(*w.SrcList), (std::vector<std::string>{"1001      12/01/26       100.00"}));
    // A date that is no date gives way to today's before the calendar opens on it.
    w.PDate->setText("99/99/2026");
    ui.OnModal<forms::TCalForm>([](forms::TCalForm& calendar) {
      EXPECT_EQ(calendar.Calendar1->selectedDate(), QDate(2026, 12, 7));
      calendar.Calendar1->setSelectedDate(QDate(2026, 12, 4));
      calendar.SetModalResult(mrOk);
    });
    w.CalbuttonClick();
    EXPECT_EQ(w.PDate->text(), "12/04/2026");
    w.PAmt->setText("30");
    w.OKBtnClick();
  });
  records::InvoiceRec paid = Records("1002").at(0);
  EXPECT_EQ(paid.DatePaid.Get(), "2026/12/04");
  EXPECT_EQ(Customer("C1").LastPayment.Get(), "12/04/2026");
  ExpectBooksBalance();
}

// One thing a user does in the wizard. Items are named by the letter of their invoice ("A", "B")
// or "DEPOSIT"; a "P" after the letter is the invoice's partial payment in the post list.
struct Move {
  enum Kind { Right, Left, AllRight, AllLeft, Partial, Deposit, Paid, PaidElsewhere };
  Move(Kind kind, std::string item = {}, std::string amount = {})
      : kind(kind), item(std::move(item)), amount(std::move(amount)) {}
  Kind kind;
  std::string item;
  std::string amount;
};

struct MovesCase {
  const char* id;  // the customer; its invoices are id + "A" (100.00) and id + "B" (30.00)
  std::vector<Move> moves;
  std::vector<std::string> postList;  // at Post, "letter amount" with "P" for a partial
  std::map<std::string, std::string> dueAfter;
  const char* refusal = "";  // what Post says when it posts nothing
};

class PaymentMovesTest : public PaymentWizardTest {
 protected:
  std::string Number(const MovesCase& c, const std::string& letter) const {
    return letter == NewDepositItem ? letter : c.id + letter.substr(0, 1);
  }
  int Row(const QListWidget& list, const MovesCase& c, const std::string& item) const {
    for (int row = 0; row < list.count(); ++row) {
      std::optional<PaymentItem> line = ParsePaymentItemLine(list.item(row)->text().toStdString());
      if (line && line->Number == Number(c, item) && line->Partial == item.ends_with("P")) return row;
    }
    ADD_FAILURE() << c.id << ": no line " << item;
    return -1;
  }
  void Select(QListWidget& list, const MovesCase& c, const std::string& item) const {
    list.clearSelection();
    list.setCurrentRow(Row(list, c, item));
  }
  void AmountInDialog(const std::string& amount, const char* caption) {
    ui.OnModal<TPPmtDialog>([amount, caption](TPPmtDialog& d) {
      EXPECT_EQ(d.Caption(), caption);
      EXPECT_EQ(d.PAmount->text().toStdString(), "0.00");
      d.PAmount->setText(QString::fromStdString(amount));
      d.OKBtnClick();
    });
  }
  void Do(TPayBox& w, const MovesCase& c, const Move& m) {
    switch (m.kind) {
      case Move::Right:
        Select(*w.SrcList, c, m.item), w.IncludeBtnClick();
        break;
      case Move::Left:
        Select(*w.DstList, c, m.item), w.ExcludeBtnClick();
        break;
      case Move::AllRight:
        w.IncAllBtnClick();
        break;
      case Move::AllLeft:
        w.ExcAllBtnClick();
        break;
      case Move::Partial:
        Select(*w.SrcList, c, m.item);
        AmountInDialog(m.amount, "Partial Payment");
        w.PPmtBtnClick();
        break;
      case Move::Deposit:
        AmountInDialog(m.amount, "Deposit on Account");
        w.AccountDepClick();
        break;
      case Move::Paid:
        w.PAmt->setText(QString::fromStdString(m.amount));
        break;
      case Move::PaidElsewhere: {  // another window posts a partial payment meanwhile
        records::FileForAction invoices(records::InvoiceFile, records::OpenInvoiceFile);
        const Cents amount = *platform::text::ParseAmount(m.amount);
        PostPayment({c.id, "12/07/2026", "", {{Number(c, m.item), "", amount, true}}});
        break;
      }
    }
  }
  std::vector<std::string> PostList(const TPayBox& w, const MovesCase& c) const {
    std::vector<std::string> lines;
    for (const PaymentItem& item : TPayBox::Items(*w.DstList)) {
      std::string letter =
          item.Number == NewDepositItem ? item.Number : item.Number.substr(std::strlen(c.id));
      lines.push_back(letter + " " + platform::text::AmountText(item.Amount) + (item.Partial ? "P" : ""));
    }
    return lines;
  }
  void Work(const MovesCase& c) {
    SCOPED_TRACE(c.id);
    FileCustomer(c.id, c.id);
    PostInvoice(Number(c, "A"), c.id, "12/01/2026", "100.00", "0.00");
    PostInvoice(Number(c, "B"), c.id, "12/02/2026", "30.00", "0.00");
    const bool refused = *c.refusal != '\0';
    RunWizard(
        [&](TPayBox& w) {
          PickCustomer(w, c.id, c.id);
          for (const Move& m : c.moves) Do(w, c, m);
          EXPECT_EQ(PostList(w, c), c.postList);
          EXPECT_TRUE(w.OKBtn->isEnabled());
          if (refused) ui.ExpectMessage(c.refusal, "Payment Wizard").Icon(MsgIcon::Error);
          w.OKBtnClick();
        },
        refused ? platform::ui::mrCancel : mrOk);
    for (const auto& [letter, due] : c.dueAfter)
      EXPECT_EQ(Records(Number(c, letter)).at(0).AmountDue.Get(), due);
    Cents open = 0;
    for (const PaymentItem& item : LoadOpenItems(c.id, 'M')) open += item.Amount;
    EXPECT_EQ(Customer(c.id).CustBalance.Get(), platform::text::AmountText(open));
    ExpectBooksBalance();
  }
};

// Whatever the order of the moves, Post writes for each item exactly its amount, and a partial
// payment moved back gives its amount back to its invoice's open item. A list that no longer
// matches the file is refused whole before anything is written.
TEST_F(PaymentMovesTest, EveryOrderOfMovesPostsExactlyWhatTheItemsPay) {
  using enum Move::Kind;
  const MovesCase cases[] = {
      {"W1", {{Right, "A"}, {Paid, "", "100"}}, {"A 100.00"}, {{"A", "0.00"}, {"B", "30.00"}}},
      {"P1", {{Partial, "A", "40"}, {Paid, "", "40"}}, {"A 40.00P"}, {{"A", "60.00"}, {"B", "30.00"}}},
      {"PB1",
       {{Partial, "A", "40"}, {Left, "AP"}, {Right, "A"}, {Paid, "", "100"}},
       {"A 100.00"},
       {{"A", "0.00"}, {"B", "30.00"}}},
      {"PB2",
       {{Partial, "A", "40"}, {Right, "A"}, {Left, "AP"}, {Right, "A"}, {Paid, "", "100"}},
       {"A 100.00"},
       {{"A", "0.00"}}},
      {"PB3",
       {{Partial, "A", "40"}, {Left, "AP"}, {Partial, "A", "25"}, {Right, "B"}, {Paid, "", "55"}},
       {"A 25.00P", "B 30.00"},
       {{"A", "75.00"}, {"B", "0.00"}}},
      {"PP1",
       {{Partial, "A", "40"}, {Partial, "A", "35"}, {Right, "A"}, {Paid, "", "100"}},
       {"A 40.00P", "A 35.00P", "A 25.00"},
       {{"A", "0.00"}}},
      {"PP2",
       {{Partial, "A", "40"},
        {Right, "A"},
        {Left, "A"},
        {Partial, "A", "20"},
        {Right, "A"},
        {Paid, "", "100"}},
       {"A 40.00P", "A 20.00P", "A 40.00"},
       {{"A", "0.00"}}},
      {"D1",
       {{Paid, "", "55"}, {Deposit, "", "25"}, {Right, "B"}},
       {"DEPOSIT 25.00", "B 30.00"},
       {{"A", "100.00"}, {"B", "0.00"}}},
      {"M1",
       {{Right, "B"},
        {Partial, "A", "40"},
        {AllRight},
        {AllLeft},
        {Partial, "A", "10"},
        {Deposit, "", "5"},
        {Right, "B"},
        {Paid, "", "45"}},
       {"A 10.00P", "DEPOSIT 5.00", "B 30.00"},
       {{"A", "90.00"}, {"B", "0.00"}}},
      {"S1",
       {{Right, "A"}, {Right, "B"}, {PaidElsewhere, "A", "10"}, {Paid, "", "130"}},
       {"A 100.00", "B 30.00"},
       {{"A", "90.00"}, {"B", "30.00"}},
       "Item S1A pays 100.00, but invoice S1A owes 90.00. The payment was not posted."},
      {"S2",
       {{Right, "B"}, {Partial, "A", "95"}, {PaidElsewhere, "A", "10"}, {Paid, "", "125"}},
       {"B 30.00", "A 95.00P"},
       {{"A", "90.00"}, {"B", "30.00"}},
       "The partial payment of 95.00 is more than invoice S2A owes (90.00). The payment was not posted."},
  };
  for (const MovesCase& c : cases) Work(c);
}

TEST(TypedAmountTest, OnlyPlainNumbersWithTwoDecimalsPass) {
  using enum TypedAmountCheck;
  const std::pair<const char*, TypedAmountCheck> cases[] = {
      {"12", Number},        {"12.5", Number},      {" 12.50 ", Number},    {".5", Number},
      {"12.", Number},       {".", Number},         {"12.505", NotNumeric}, {"12.ab", NotNumeric},
      {"1.2.3", NotNumeric}, {"1,000", NotNumeric}, {"1e3", NotNumeric},    {"-", Negative},
      {"-5", Negative},      {"", Empty},           {"  ", Empty}};
  for (auto [text, check] : cases) EXPECT_EQ(CheckTypedAmount(text), check) << '"' << text << '"';
  EXPECT_EQ(TypedAmountValue("12."), 1200);
  EXPECT_EQ(TypedAmountValue(".5"), 50);
  EXPECT_EQ(TypedAmountValue("."), 0);
  EXPECT_EQ(TypedAmountValue(""), 0);
  EXPECT_EQ(TypedAmountValue("12.ab"), std::nullopt);
}

}  // namespace
}  // namespace invoicing
