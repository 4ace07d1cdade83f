// The payment wizard worked as a user works it: a customer picked through the Customer Manager,
// items moved, paid in part or taken as a deposit, amounts typed, and the payment posted; the
// books are read back from the files afterwards.
#include "invoicing/payment_wizard.h"

#include <QTest>

#include "books_fixture.h"
#include "customers/customer_manager.h"
#include "forms/cal_form.h"
#include "invoicing/partial_payment_dialog.h"
#include "invoicing/typed_amount.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"

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
  void RunWizard(const std::function<void(TPayBox&)>& work) {
    storage::IsamCloseFileBlock(records::CustomerFile);
    storage::IsamCloseFileBlock(records::InvoiceFile);
    ui.OnModal<TPayBox>(work);
    EXPECT_EQ(CreatePayBox().ShowModal(), mrOk);
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
