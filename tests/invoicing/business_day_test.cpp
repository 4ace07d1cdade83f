// One business day over two customers and four products: opening stock, invoices paid at entry
// and on account, a memo invoice, a partial payment, a deposit and its use, interest on an
// overdue invoice and the last payment. Every figure below is worked out by hand; after every
// step the books are read back from the files and must balance.
#include "books_fixture.h"
#include "invoicing/interest_charges.h"
#include "invoicing/payment_posting.h"
#include "records/company_file.h"

namespace invoicing {
namespace {

class BusinessDayTest : public test_fixtures::BooksTest {
 protected:
  BusinessDayTest() {
    FileCustomer("C1", "Baker");
    FileCustomer("C2", "Carter");
    stock = {{"WIDGET", 100}, {"GADGET", 50}, {"BOLT", 1000}, {"MANUAL", 20}};
    for (const auto& [code, onHand] : stock) FileProduct(code, std::to_string(static_cast<int>(onHand)));
  }
  // Balance, the four buckets and the company's receivables, then the books.
  void ExpectAccount(const std::string& customer, const std::string& balance,
                     const std::vector<std::string>& buckets, const std::string& receivables) {
    records::CustomerRec c = Customer(customer);
    EXPECT_EQ(c.CustBalance.Get(), balance) << customer;
    EXPECT_EQ(Buckets(c), buckets) << customer;
    EXPECT_EQ(StoredCompany().CompanyARBalance.Get(), receivables);
    ExpectBooksBalance();
  }
  void ExpectStock(const std::vector<std::string>& onHand) {
    EXPECT_EQ(
        (std::vector<std::string>{OnHand("WIDGET"), OnHand("GADGET"), OnHand("BOLT"), OnHand("MANUAL")}),
        onHand);
  }
  static PaymentItem Item(const std::string& number, Cents amount, bool partial = false) {
    return {number, "", amount, partial};
  }
};

TEST_F(BusinessDayTest, EveryStepKeepsTheBooksInStep) {
  // 1. On account, dated 48 days back: the second bucket.
  PostInvoice("1001", "C1", "10/20/2026", "60.00", "0.00",
              {{"WIDGET", "10", "50.00"}, {"BOLT", "100", "10.00"}});
  ExpectAccount("C1", "60.00", {"0.00", "60.00", "0.00", "0.00"}, "60.00");
  ExpectStock({"90", "50", "900", "20"});

  // 2. Paid in full at entry: settled, nothing owed.
  PostInvoice("1002", "C2", "12/07/2026", "50.00", "50.00", {{"GADGET", "2", "50.00"}});
  ExpectAccount("C2", "0.00", {"0.00", "0.00", "0.00", "0.00"}, "60.00");
  EXPECT_EQ(Records("1002").at(0).SettledFlag.Get(), "P");
  EXPECT_EQ(Customer("C2").LastPayment.Get(), "12/07/2026");

  // 3. A memo invoice of one manual.
  PostMemoInvoice("1003", "C2", "12/01/2026", "30.00", "MANUAL", "1", "Binding of the shop manual");
  ExpectAccount("C2", "30.00", {"30.00", "0.00", "0.00", "0.00"}, "90.00");
  ExpectStock({"90", "48", "900", "19"});

  // 4. On account, two days old.
  PostInvoice("1004", "C1", "12/05/2026", "45.00", "0.00",
              {{"WIDGET", "4", "20.00"}, {"GADGET", "1", "25.00"}});
  ExpectAccount("C1", "105.00", {"45.00", "60.00", "0.00", "0.00"}, "135.00");
  ExpectStock({"86", "47", "900", "19"});
  EXPECT_EQ(StoredCompany().NextInvoiceNumber.Get(), "1005");

  // 5. 15.00 of invoice 1004.
  PostPayment({"C1", "12/07/2026", "", {Item("1004", 1500, true)}});
  ExpectAccount("C1", "90.00", {"30.00", "60.00", "0.00", "0.00"}, "120.00");
  EXPECT_EQ(Records("1004").at(0).TransactionType.Get(), "Z");

  // 6. A deposit of 20.00 on account.
  PostPayment({"C2", "12/07/2026", "", {Item(NewDepositItem, 2000)}});
  ExpectAccount("C2", "10.00", {"10.00", "0.00", "0.00", "0.00"}, "100.00");
  EXPECT_EQ(StoredCompany().NextDepositNumber.Get(), "15001");

  // 7. The memo invoice paid with the deposit and 10.00 more.
  EXPECT_EQ(PostPayment({"C2", "12/07/2026", "", LoadOpenItems("C2", 'M')}).Posted, 1000);
  ExpectAccount("C2", "0.00", {"0.00", "0.00", "0.00", "0.00"}, "90.00");
  EXPECT_EQ(Records("DP15001").size(), 2u);  // the deposit, settled, and the payment that took it

  // 8. Interest at 1.5 % on Baker's 60.00 overdue: 0.90, invoice 1005I.
  InterestSettings interest;
  interest.Rate = "1.500";
  interest.Minimum = ".10";
  interest.Date = "12/07/2026";
  std::vector<InterestRow> rows = ScanInterestCharges(interest);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Charge, 90);
  GenerateInterestInvoices(rows, interest);
  ExpectAccount("C1", "90.90", {"30.90", "60.00", "0.00", "0.00"}, "90.90");
  EXPECT_EQ(Customer("C1").LastInvoice.Get(), "1005I");
  EXPECT_EQ(StoredCompany().NextInvoiceNumber.Get(), "1006");

  // 9. Baker pays everything that is open.
  std::vector<PaymentItem> open = LoadOpenItems("C1", 'M');
  ASSERT_EQ(open.size(), 3u);
  EXPECT_EQ(PostPayment({"C1", "12/07/2026", "", open}).Posted, 9090);
  ExpectAccount("C1", "0.00", {"0.00", "0.00", "0.00", "0.00"}, "0.00");
  ExpectStock({"86", "47", "900", "19"});
  EXPECT_TRUE(LoadOpenItems("C1", 'M').empty());
  EXPECT_TRUE(LoadOpenItems("C2", 'M').empty());
}

}  // namespace
}  // namespace invoicing
