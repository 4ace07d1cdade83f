// Payments, partial payments and deposits posted against figures worked out by hand, with the
// books read back from the files after every payment.
#include "invoicing/payment_posting.h"

#include "books_fixture.h"
#include "records/company_file.h"
#include "records/invoice_file.h"

namespace invoicing {
namespace {

using records::CurrentCompany;

class PaymentPostingTest : public test_fixtures::BooksTest {
 protected:
  PaymentPostingTest() {
    FileCustomer("C1", "Baker");
    FileCustomer("C2", "Carter");
  }
  static PaymentItem Item(const std::string& number, Cents amount, bool partial = false) {
    return {number, "", amount, partial};
  }
  static PostedPayment Pay(const std::string& customer, const std::vector<PaymentItem>& items,
                           const std::string& date = "12/07/2026", const std::string& note = "") {
    return PostPayment({customer, date, note, items});
  }
  // What refused the payment, "posted" when nothing did.
  static std::string Refusal(const std::string& customer, const std::vector<PaymentItem>& items) {
    try {
      Pay(customer, items);
    } catch (const std::runtime_error& refused) {
      return refused.what();
    }
    return "posted";
  }
  static std::vector<std::string> Types(const std::vector<records::InvoiceRec>& records) {
    std::vector<std::string> types;
    for (const auto& r : records) types.push_back(r.TransactionType.Get() + r.SettledFlag.Get());
    return types;
  }
};

TEST_F(PaymentPostingTest, PaymentsSettleInvoicesAndRecordWhatWasPaidAtEntry) {
  PostInvoice("1001", "C1", "12/01/2026", "100.00", "0.00");
  PostInvoice("1002", "C1", "10/01/2026", "50.00", "0.00");  // 67 days old: third bucket
  PostInvoice("1003", "C1", "11/20/2026", "30.00", "10.00");
  EXPECT_EQ(Buckets(Customer("C1")), (std::vector<std::string>{"120.00", "0.00", "50.00", "0.00"}));
  ExpectBooksBalance();

  PostedPayment paid = Pay("C1", {Item("1001", 10000), Item("1003", 2000)}, "12/07/2026", "Thank you");
  EXPECT_EQ(paid.Posted, 12000);
  records::CustomerRec c1 = Customer("C1");
  EXPECT_EQ(c1.CustBalance.Get(), "50.00");
  EXPECT_EQ(Buckets(c1), (std::vector<std::string>{"0.00", "0.00", "50.00", "0.00"}));
  EXPECT_EQ(c1.LastPayment.Get(), "12/07/2026");
  EXPECT_EQ(StoredCompany().CompanyARBalance.Get(), "50.00");

  // Without a paid amount the invoice itself records the payment.
  std::vector<records::InvoiceRec> first = Records("1001");
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].InvPaid.Get(), "100.00");
  EXPECT_EQ(first[0].AmountDue.Get(), "0.00");
  EXPECT_EQ(first[0].DatePaid.Get(), "2026/12/07");
  EXPECT_EQ(first[0].StatementComment.Get(), "Thank you");
  // With one, a payment record of type X holds this payment and the invoice turns Z.
  std::vector<records::InvoiceRec> third = Records("1003");
  EXPECT_EQ(Types(third), (std::vector<std::string>{"ZP", "XP"}));
  EXPECT_EQ(third[0].InvPaid.Get(), "10.00");
  EXPECT_EQ(third[1].InvPaid.Get(), "20.00");
  EXPECT_EQ(third[1].AmountDue.Get(), "0.00");
  EXPECT_EQ(third[1].SortDate.Get(), "2026/12/07");
  ExpectBooksBalance();

  // An invoice whose number begins with "DP" is paid as the invoice it is, not as a deposit.
  PostInvoice("DP5", "C2", "12/01/2026", "50.00", "20.00");
  PostInvoice("DP6", "C2", "12/01/2026", "40.00", "0.00");
  Pay("C2", {Item("DP5", 3000), Item("DP6", 4000)});
  EXPECT_EQ(Types(Records("DP5")), (std::vector<std::string>{"ZP", "XP"}));
  EXPECT_EQ(Types(Records("DP6")), (std::vector<std::string>{"IP"}));
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "0.00");
  ExpectBooksBalance();
}

TEST_F(PaymentPostingTest, PartialPaymentsLeaveTheRestOpenUntilItIsPaid) {
  PostInvoice("2001", "C2", "12/05/2026", "100.00", "0.00");
  Pay("C2", {Item("2001", 4000, true)});
  std::vector<records::InvoiceRec> records = Records("2001");
  EXPECT_EQ(Types(records), (std::vector<std::string>{"Z", "XP"}));
  EXPECT_EQ(records[0].AmountDue.Get(), "60.00");
  EXPECT_EQ(records[1].InvPaid.Get(), "40.00");
  EXPECT_EQ(records[1].KeyCode.Get(), "Partial");
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "60.00");
  ExpectBooksBalance();

  // The open-item list shows the rest, flagged as an invoice with partial payments.
  std::vector<PaymentItem> open = LoadOpenItems("C2", 'M');
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(PaymentItemLine(open[0]), "2001      12/05/26        60.00P");

  // A partial of more than is due is refused and lowers nothing.
  EXPECT_EQ(
      Refusal("C2", {Item("2001", 7000, true)}),
      "The partial payment of 70.00 is more than invoice 2001 owes (60.00). The payment was not posted.");
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "60.00");
  ExpectBooksBalance();

  // Moved to the post list whole, the rest settles the invoice.
  Pay("C2", {open[0]});
  EXPECT_EQ(Types(Records("2001")), (std::vector<std::string>{"ZP", "XP", "XP"}));
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "0.00");
  EXPECT_TRUE(LoadOpenItems("C2", 'M').empty());
  ExpectBooksBalance();
}

TEST_F(PaymentPostingTest, DepositsAreNumberedFromTheCompanyCounterAndWrap) {
  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.NextDepositNumber.Set(" "); }));
  PostedPayment first = Pay("C1", {Item(NewDepositItem, 2500), Item(NewDepositItem, 1000)});
  EXPECT_EQ(first.Deposits, (std::vector<std::string>{"DP15001", "DP15002"}));
  EXPECT_EQ(StoredCompany().NextDepositNumber.Get(), "15002");
  records::InvoiceRec deposit = Records("DP15001").at(0);
  EXPECT_EQ(deposit.TransactionType.Get() + deposit.Body.Get() + deposit.KeyCode.Get(), "DDDeposit");
  EXPECT_EQ(deposit.InvPaid.Get(), "25.00");
  EXPECT_EQ(deposit.AmountDue.Get(), "-25.00");
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "-35.00");
  EXPECT_EQ(Buckets(Customer("C1"))[0], "-35.00");
  ExpectBooksBalance();

  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.NextDepositNumber.Set("999998"); }));
  EXPECT_EQ(Pay("C2", {Item(NewDepositItem, 100), Item(NewDepositItem, 200)}).Deposits,
            (std::vector<std::string>{"DP7000", "DP7001"}));
  EXPECT_EQ(CurrentCompany.NextDepositNumber.Get(), "7001");
  EXPECT_EQ(StoredCompany().CompanyARBalance.Get(), "-38.00");
  ExpectBooksBalance();
  // Started again at 7000 a second time, the counter passes the numbers deposits hold.
  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.NextDepositNumber.Set("999998"); }));
  EXPECT_EQ(Pay("C2", {Item(NewDepositItem, 300)}).Deposits, (std::vector<std::string>{"DP7002"}));
  EXPECT_EQ(StoredCompany().NextDepositNumber.Get(), "7002");
  EXPECT_EQ(Records("DP7000").size(), 1u);
  ExpectBooksBalance();

  const std::pair<const char*, const char*> counters[] = {{"", "15001"},      {"  ", "15001"},
                                                          {"15001", "15002"}, {"999997", "999998"},
                                                          {"999998", "7000"}, {"7000", "7001"}};
  for (auto [stored, next] : counters) EXPECT_EQ(NextDepositCounter(stored), next) << '"' << stored << '"';
}

TEST_F(PaymentPostingTest, ALaterPaymentTakesTheDepositWithANegativeAmount) {
  Pay("C2", {Item(NewDepositItem, 2500)}, "12/01/2026");
  PostInvoice("3001", "C2", "12/03/2026", "80.00", "0.00");
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "55.00");
  std::vector<PaymentItem> open = LoadOpenItems("C2", 'M');
  ASSERT_EQ(open.size(), 2u);
  EXPECT_EQ(PaymentItemLine(open[0]), "DP15001   12/01/26       -25.00");
  EXPECT_EQ(PaymentItemLine(open[1]), "3001      12/03/26        80.00");

  EXPECT_EQ(Pay("C2", open).Posted, 5500);
  std::vector<records::InvoiceRec> deposit = Records("DP15001");
  EXPECT_EQ(Types(deposit), (std::vector<std::string>{"DP", "TP"}));
  EXPECT_EQ(deposit[0].AmountDue.Get(), "0.00");
  EXPECT_EQ(deposit[1].InvPaid.Get(), "-25.00");
  EXPECT_EQ(Records("3001").at(0).InvPaid.Get(), "80.00");
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "0.00");
  EXPECT_EQ(StoredCompany().CompanyARBalance.Get(), "0.00");
  ExpectBooksBalance();
}

TEST_F(PaymentPostingTest, AgingReadsTheStoredDatesInWhateverDateOrder) {
  // Day-first dates, while the program's short date format still reads month first.
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.DateOrder.Set("D"); }));
  PostInvoice("4001", "C1", "01/12/2026", "10.00", "0.00");  // 1 December: 6 days
  PostInvoice("4002", "C1", "03/09/2026", "20.00", "0.00");  // 3 September: 95 days
  PostInvoice("4003", "C1", "03/11/2026", "40.00", "0.00");  // 3 November: 34 days
  EXPECT_EQ(Buckets(Customer("C1")), (std::vector<std::string>{"10.00", "40.00", "0.00", "20.00"}));
  Pay("C1", {Item("4003", 4000)}, "07/12/2026");
  EXPECT_EQ(Buckets(Customer("C1")), (std::vector<std::string>{"10.00", "0.00", "0.00", "20.00"}));
  EXPECT_EQ(Records("4003").at(0).DatePaid.Get(), "2026/12/07");
  EXPECT_EQ(OpenItemDateColumn(Records("4001").at(0), 'D'), "01/12/26");
  ExpectBooksBalance();
}

// An item that cannot be posted as listed refuses the whole payment before anything is
// written: the items listed before it are not posted either.
TEST_F(PaymentPostingTest, AnItemThatCannotBePostedAsListedWritesNothingOfThePayment) {
  PostInvoice("1001", "C1", "12/01/2026", "100.00", "0.00");
  PostInvoice("1002", "C1", "12/02/2026", "30.00", "0.00");
  const std::pair<std::vector<PaymentItem>, const char*> refused[] = {
      {{Item("1002", 3000), Item("7777", 500, true)}, "Item 7777 is not an open item of this customer."},
      {{Item("1002", 3000), Item("1001", 6000)}, "Item 1001 pays 60.00, but invoice 1001 owes 100.00."},
      {{Item("1001", 6000, true), Item("1001", 6000, true)},
       "The partial payment of 60.00 is more than invoice 1001 owes (40.00)."},
      {{Item("1001", 4000, true), Item("1001", 10000)},
       "Item 1001 pays 100.00, but invoice 1001 owes 60.00."},
  };
  for (const auto& [items, why] : refused) {
    EXPECT_EQ(Refusal("C1", items), std::string(why) + " The payment was not posted.");
    EXPECT_EQ(Records("1001").size(), 1u);
    EXPECT_EQ(Records("1002").at(0).AmountDue.Get(), "30.00");
    EXPECT_EQ(Customer("C1").CustBalance.Get(), "130.00");
    ExpectBooksBalance();
  }
  // C2 has no invoice 1001: C1's is left alone.
  EXPECT_EQ(Refusal("C2", {Item("1001", 10000)}),
            "Item 1001 is not an open item of this customer. The payment was not posted.");
  EXPECT_EQ(Records("1001").at(0).AmountDue.Get(), "100.00");
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "0.00");
  EXPECT_EQ(StoredCompany().CompanyARBalance.Get(), "130.00");

  // Listed after the rest of the invoice, its partial payment is still written first.
  EXPECT_EQ(Pay("C1", {Item("1001", 6000), Item("1001", 4000, true)}).Posted, 10000);
  EXPECT_EQ(Types(Records("1001")), (std::vector<std::string>{"ZP", "XP"}));
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "30.00");
  ExpectBooksBalance();
  PostInvoice("1003", "C1", "12/03/2026", "100.00", "0.00");

  // A deposit that cannot be written fails the payment, and lowers nothing either.
  storage::IsamCloseFileBlock(records::InvoiceFile);
  storage::IsamOpenFileBlock(records::InvoiceFile, records::InvoiceUnit().FileName(), true, false, false,
                             false);
  ui.ExpectMessage("Cannot get a lock.  Abort?", "Invoices").Answer(platform::ui::mrYes);
  EXPECT_THROW(Pay("C1", {Item(NewDepositItem, 2500)}), std::runtime_error);
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "130.00");
  EXPECT_EQ(StoredCompany().CompanyARBalance.Get(), "130.00");
  ExpectBooksBalance();

  EXPECT_THROW(Pay("C9", {Item("1003", 10000)}), std::runtime_error);
  EXPECT_THROW(Pay("C1", {Item("1003", 10000)}, "13/45/2026"), std::runtime_error);
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "130.00");
  ExpectBooksBalance();
}

TEST_F(PaymentPostingTest, ListLinesKeepTheirColumns) {
  const PaymentItem items[] = {{"1001", "12/01/26", 123456, true},
                               {"DEPOSIT", "12/07/26", 2500, false},
                               {"DP15001", "12/01/26", -2500, false}};
  for (const PaymentItem& item : items) {
    std::string line = PaymentItemLine(item);
    EXPECT_EQ(line.substr(10, 8), item.Date);
    std::optional<PaymentItem> back = ParsePaymentItemLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Number + back->Date, item.Number + item.Date);
    EXPECT_EQ(back->Amount, item.Amount);
    EXPECT_EQ(back->Partial, item.Partial);
  }
  EXPECT_EQ(PaymentItemLine(items[0]), "1001      12/01/26     1,234.56P");
  EXPECT_FALSE(ParsePaymentItemLine("1001      12/01/26"));
  EXPECT_EQ(DepositDateColumn("12/07/2026", 'M'), "12/07/26");
  EXPECT_EQ(DepositDateColumn("07/12/2026", 'D'), "07/12/26");
  EXPECT_EQ(DepositDateColumn("2026/12/07", 'Y'), "26/12/07");
}

}  // namespace
}  // namespace invoicing
