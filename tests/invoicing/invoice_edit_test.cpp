// Editing and deleting invoices as plain procedures: the differences re-posted and the postings
// reversed, checked against figures worked out by hand, and the books read back from the files
// after every step, also along a long random run of adds, edits and deletes.
#include "invoicing/invoice_edit.h"

#include <gtest/gtest.h>

#include <random>

#include "invoicing/invoice_posting.h"
#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "posting_fixture.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/record_file.h"

namespace invoicing {
namespace {

using records::CurrentCompany;
using storage::IsamRecRef;
using test_fixtures::Invoice;
using test_fixtures::Line;

class InvoiceEditTest : public test_fixtures::PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    AddProduct("GADGET", "20", false, false);
    Stock["GADGET"] = 20;
  }
  static StoredInvoice Read(const char* number) {
    IsamRecRef ref = 0;
    Stored(number, &ref);
    StoredInvoice stored;
    EXPECT_TRUE(ReadStoredInvoice(ref, stored)) << number;
    return stored;
  }
  static StoredInvoice PostAndRead(const EnteredInvoice& invoice) {
    PostNewInvoice(invoice);
    return Read(invoice.Number.c_str());
  }
  // Line number, product and quantity of each stored line of an invoice number.
  static std::vector<std::string> LinesOf(const char* number) {
    std::vector<std::string> lines;
    records::ForEachRecordByKey<records::DetailRec>(records::DetailFile, 3, [&](const records::DetailRec& d) {
      if (d.InvoiceNumber.Get() == number)
        lines.push_back(d.LineNumber.Get() + " " + d.Product.Get() + " " +
                        platform::text::TrimBlanks(d.LineText.Get().substr(0, 10)));
    });
    return lines;
  }
  static bool MemoOf(const char* number, records::MemoRec& memo) {
    records::MemoRec wanted{};
    wanted.Number.Set(number);
    IsamRecRef ref = 0;
    return records::ReadByKey(records::MemoUnit(), records::BuildMemoKey(wanted, 1), 1, memo, ref);
  }
};

TEST_F(InvoiceEditTest, OnlyTheDifferencesOfStockLinesAndBalancesArePosted) {
  EnteredInvoice invoice = Invoice("1001", "C1", "12/07/2026", "90.00", "0.00", "90.00", "0.00");
  invoice.Lines = {Line(1, "WIDGET", "5", "Widgets", "10.00", "N", "50.00"),
                   Line(2, "GADGET", "4", "Gadgets", "10.00", "N", "40.00"),
                   Line(3, "", "", "Handle with care", "", " ", "")};
  StoredInvoice stored = PostAndRead(invoice);
  ASSERT_EQ(stored.Lines.size(), 3u);
  EXPECT_EQ(OnHand("WIDGET"), "95");
  EXPECT_EQ(OnHand("GADGET"), "16");

  // 5 -> 3 widgets, the gadgets replaced by a manual, the comment cleared, a new line below.
  EnteredInvoice edited = Invoice("1001", "C1", "12/07/2026", "45.00", "0.00", "45.00", "0.00");
  edited.Editing = true;
  edited.Lines = {Line(1, "WIDGET", "3", "Widgets", "10.00", "N", "30.00"),
                  Line(2, "MANUAL", "1", "Manual", "15.00", "N", "15.00"),
                  Line(4, "", "", "Thank you", "", " ", "")};
  const records::StockChanges expectedChanges = {{"GADGET", "4"}, {"MANUAL", "-1"}, {"WIDGET", "2"}};
  EXPECT_EQ(StockChanges(stored.Lines, edited), expectedChanges);
  EXPECT_EQ(PostEditedInvoice(stored, edited), "Editing invoice 1001 completed.");

  EXPECT_EQ(OnHand("WIDGET"), "97");
  EXPECT_EQ(OnHand("GADGET"), "20");
  EXPECT_EQ(OnHand("MANUAL"), "5");
  EXPECT_EQ(LinesOf("1001"), (std::vector<std::string>{"01 WIDGET 3", "02 MANUAL 1", "04  "}));
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "45.00");
  EXPECT_EQ(CurrentCompany.CompanyARBalance.Get(), "45.00");
  ExpectBooksBalance();

  // The same edit again changes nothing: the record is as typed, the stock already taken.
  PostEditedInvoice(Read("1001"), edited);
  EXPECT_EQ(OnHand("WIDGET"), "97");
  EXPECT_EQ(LinesOf("1001").size(), 3u);
  ExpectBooksBalance();
}

TEST_F(InvoiceEditTest, TheDueMovesAcrossAgingBucketsAndSettlesWhenPaid) {
  PostNewInvoice(Invoice("1002", "C1", "11/07/2026", "100.00", "0.00", "100.00", "0.00"));  // 30 days old
  EXPECT_EQ(Buckets(Customer("C1")), (std::vector<std::string>{"100.00", "0.00", "0.00", "0.00"}));

  EnteredInvoice older = Invoice("1002", "C1", "11/06/2026", "100.00", "0.00", "100.00", "40.00");
  PostEditedInvoice(Read("1002"), older);  // 31 days old, partly paid
  records::CustomerRec c1 = Customer("C1");
  EXPECT_EQ(Buckets(c1), (std::vector<std::string>{"0.00", "60.00", "0.00", "0.00"}));
  EXPECT_EQ(c1.CustBalance.Get(), "60.00");
  EXPECT_EQ(c1.LastPayment.Get(), "11/06/2026");
  records::InvoiceRec record = Stored("1002");
  EXPECT_EQ(record.SettledFlag.Get(), " ");
  EXPECT_EQ(record.AmountDue.Get(), "60.00");
  EXPECT_EQ(record.SortDate.Get(), "2026/11/06");
  ExpectBooksBalance();

  EnteredInvoice paid = Invoice("1002", "C1", "11/06/2026", "100.00", "0.00", "100.00", "100.00");
  PostEditedInvoice(Read("1002"), paid);
  record = Stored("1002");
  EXPECT_EQ(record.SettledFlag.Get(), "P");
  EXPECT_EQ(record.DatePaid.Get(), "2026/11/06");
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "0.00");
  ExpectBooksBalance();

  // A settled invoice keeps the date it was paid when its own date changes; a later payment
  // date is not moved back.
  paid.Date = "10/01/2026";
  PostEditedInvoice(Read("1002"), paid);
  EXPECT_EQ(Stored("1002").DatePaid.Get(), "2026/11/06");
  EXPECT_EQ(Customer("C1").LastPayment.Get(), "11/06/2026");
  EXPECT_EQ(CurrentCompany.CompanyARBalance.Get(), "0.00");
  ExpectBooksBalance();
}

TEST_F(InvoiceEditTest, ANewNumberAndCustomerCarryTheLinesAndTheBalance) {
  EnteredInvoice invoice = Invoice("1003", "C1", "12/01/2026", "30.00", "0.00", "30.00", "0.00");
  for (int row = 1; row <= 6; ++row)
    invoice.Lines.push_back(Line(row, "WIDGET", "1", "Widget", "5.00", "N", "5.00"));
  StoredInvoice stored = PostAndRead(invoice);
  EnteredInvoice moved = invoice;
  moved.Number = "2003";
  moved.CustomerNo = "C2";
  PostEditedInvoice(stored, moved);
  EXPECT_TRUE(LinesOf("1003").empty());
  EXPECT_EQ(LinesOf("2003").size(), 6u);
  EXPECT_EQ(Read("2003").Lines.size(), 6u);
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "0.00");
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "30.00");
  EXPECT_EQ(OnHand("WIDGET"), "94");
  ExpectBooksBalance();
}

TEST_F(InvoiceEditTest, AMemoInvoiceKeepsItsMemoUnderItsNewNumber) {
  EnteredInvoice memo = Invoice("1004", "C2", "12/07/2026", "80.00", "0.00", "80.00", "0.00");
  memo.Memo = true;
  memo.MemoLines = {"Repairs to the shop front"};
  memo.MemoProduct.Code = "WIDGET";
  memo.MemoProduct.Quantity = "2";
  memo.MemoProduct.Description = "Widget";
  StoredInvoice stored = PostAndRead(memo);
  EXPECT_EQ(OnHand("WIDGET"), "98");

  EnteredInvoice edited = memo;
  edited.Number = "1005";
  edited.MemoProduct.Quantity = "";
  edited.MemoProduct.Description = "";
  edited.MemoLines = {"Repairs to the shop front", "and the back door"};
  PostEditedInvoice(stored, edited);
  EXPECT_EQ(OnHand("WIDGET"), "99");  // the quantity left empty counts as one
  StoredInvoice after = Read("1005");
  ASSERT_EQ(after.Lines.size(), 1u);
  EXPECT_EQ(after.Lines[0].Record.LineText.Get().substr(0, 22), "1         Memo Invoice");
  records::MemoRec text{};
  EXPECT_FALSE(MemoOf("1004", text));
  ASSERT_TRUE(MemoOf("1005", text));
  EXPECT_EQ(text.Lines[1].Get(), "and the back door");
  ExpectBooksBalance();

  EXPECT_EQ(PostInvoiceDeletion(after), "Deleted memo invoice 1005.");
  EXPECT_FALSE(MemoOf("1005", text));
  EXPECT_EQ(OnHand("WIDGET"), "100");
  ExpectBooksBalance();
}

TEST_F(InvoiceEditTest, DeletingReversesEveryPosting) {
  EnteredInvoice invoice = Invoice("1006", "C1", "09/01/2026", "70.00", "0.00", "70.00", "20.00");
  invoice.Lines = {Line(1, "WIDGET", "3", "Widgets", "10.00", "N", "30.00"),
                   Line(2, "GADGET", "4", "Gadgets", "10.00", "N", "40.00"),
                   Line(3, "", "", "Note", "", " ", "")};
  PostNewInvoice(invoice);
  PostNewInvoice(Invoice("1007", "C1", "12/07/2026", "10.00", "0.00", "10.00", "0.00"));
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "60.00");

  EXPECT_EQ(PostInvoiceDeletion(Read("1006")), "Deleted invoice 1006 containing 3 line item(s).");
  EXPECT_TRUE(LinesOf("1006").empty());
  EXPECT_EQ(OnHand("WIDGET"), "100");
  EXPECT_EQ(OnHand("GADGET"), "20");
  records::CustomerRec c1 = Customer("C1");
  EXPECT_EQ(Buckets(c1), (std::vector<std::string>{"10.00", "0.00", "0.00", "0.00"}));
  EXPECT_EQ(CurrentCompany.CompanyARBalance.Get(), "10.00");
  storage::IsamKeyStr key = "1006";
  IsamRecRef ref = 0;
  EXPECT_FALSE(records::FindInvoiceByNumber(key, ref) && key == "1006     ");
  ExpectBooksBalance();
}

// On hand is summed on the digits typed, through an edit and a delete; a figure that would not
// fit its ten characters refuses the posting before anything is written.
TEST_F(InvoiceEditTest, StockIsExactAndAFigureThatDoesNotFitWritesNothing) {
  AddProduct("DUST", "0.3", false, false);
  EnteredInvoice invoice = Invoice("1020", "C1", "12/07/2026", "3.00", "0.00", "3.00", "0.00");
  invoice.Lines = {Line(1, "GADGET", "1", "Gadget", "3.00", "N", "3.00")};
  const StoredInvoice stored = PostAndRead(invoice);
  invoice.Lines.push_back(Line(2, "DUST", "0.1", "Dust", "0.00", "N", "0.00"));
  invoice.Lines.push_back(Line(3, "DUST", "0.2", "Dust", "0.00", "N", "0.00"));
  PostEditedInvoice(stored, invoice);
  EXPECT_EQ(OnHand("DUST"), "0");  // 0.3 - 0.1 - 0.2, not a binary remainder
  PostInvoiceDeletion(Read("1020"));
  EXPECT_EQ(OnHand("DUST"), "0.3");
  EXPECT_EQ(OnHand("GADGET"), "20");

  AddProduct("DEEP", "-999999999", false, false);
  invoice.Number = "1022";
  invoice.Lines = {Line(1, "DEEP", "1", "Deep", "3.00", "N", "3.00")};
  EXPECT_THROW(PostNewInvoice(invoice), std::runtime_error);
  storage::IsamKeyStr key = "1022";
  IsamRecRef ref = 0;
  EXPECT_FALSE(records::FindInvoiceByNumber(key, ref) && key == "1022     ");
  EXPECT_EQ(OnHand("DEEP"), "-999999999");
  EXPECT_EQ(CurrentCompany.CompanyARBalance.Get(), "0.00");
  ExpectBooksBalance();
}

// Deposits as the payment wizard leaves them: an open deposit owes the customer its amount; a
// deposit that was taken (settled) and its offsetting record owe nothing.
TEST_F(InvoiceEditTest, DeletingDepositsChangesTheBalanceByWhatTheyOwe) {
  IsamRecRef open = AddRecord({"DP1", "D", "0.00", "50.00", "-50.00", false, false, "D"});
  IsamRecRef taken = AddRecord({"DP2", "D", "0.00", "30.00", "0.00", true, false, "D"});
  IsamRecRef offset = AddRecord({"DP2", "T", "0.00", "30.00", "0.00", true, false, "D"});
  records::CustomerRec c1 = Customer("C1");
  const records::CustomerRec before = c1;
  c1.CustBalance.Set("-50.00");
  c1.CustAging1.Set("-50.00");
  IsamRecRef customerRef = 0;
  records::CustomerRec found{};
  records::CustomerRec wanted{};
  wanted.CustomerNo.Set("C1");
  ASSERT_TRUE(records::ReadByKey(records::CustomerUnit(), records::BuildCustomerKey(wanted, 2), 2, found,
                                 customerRef));
  ASSERT_TRUE(records::UpdateCustomerRecord(c1, before, customerRef));
  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.CompanyARBalance.Set("-50.00"); }));
  ExpectBooksBalance();

  for (IsamRecRef ref : {taken, offset}) {
    StoredInvoice stored;
    ASSERT_TRUE(ReadStoredInvoice(ref, stored));
    PostInvoiceDeletion(stored);
    EXPECT_EQ(Customer("C1").CustBalance.Get(), "-50.00");
    ExpectBooksBalance();
  }
  StoredInvoice deposit;
  ASSERT_TRUE(ReadStoredInvoice(open, deposit));
  EXPECT_EQ(PostInvoiceDeletion(deposit), "Deleted invoice DP1 containing 0 line item(s).");
  EXPECT_EQ(Customer("C1").CustBalance.Get(), "0.00");
  EXPECT_EQ(CurrentCompany.CompanyARBalance.Get(), "0.00");
  EXPECT_FALSE(ReadStoredInvoice(open, deposit));
  ExpectBooksBalance();
}

// A long random run of adds, edits and deletes with lines of every kind of product, dates that
// cross the aging limits, partial and full payments and renumbered invoices; the books must
// balance after every step.
TEST_F(InvoiceEditTest, TheBooksBalanceAlongARandomRunOfAddsEditsAndDeletes) {
  std::mt19937 random(20261207);
  auto pick = [&random](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
  const char* const codes[] = {"WIDGET", "GADGET", "MANUAL", "SERVICE", "", "NOSUCH"};
  const char* const customers[] = {"C1", "C2"};
  std::vector<std::string> numbers;
  int nextNumber = 5000;

  auto randomInvoice = [&](const std::string& number) {
    const QDate date = platform::text::Today().addDays(-pick(130));
    EnteredInvoice invoice = Invoice(number.c_str(), customers[pick(2)],
                                     date.toString("MM/dd/yyyy").toStdString().c_str(), "", "0.00", "", "");
    platform::text::Cents net = 0;
    for (int row = 1; row <= 8; ++row) {
      if (pick(3) == 0) continue;
      const int quantity = pick(6);
      const int price = 1 + pick(20);
      const std::string q = std::to_string(quantity), p = std::to_string(price) + ".00";
      const std::string e = std::to_string(quantity * price) + ".00";
      invoice.Lines.push_back(Line(row, codes[pick(6)], q.c_str(), "Item", p.c_str(), "N", e.c_str()));
      net += quantity * price * 100;
    }
    invoice.Net = invoice.Total = platform::text::AmountText(net);
    const int paidKind = pick(3);
    invoice.Paid = platform::text::AmountText(paidKind == 0 ? 0 : paidKind == 1 ? net : net / 2);
    return invoice;
  };

  for (int step = 0; step < 150; ++step) {
    const int action = numbers.empty() ? 0 : pick(3);
    if (action == 0) {
      numbers.push_back(std::to_string(nextNumber++));
      PostNewInvoice(randomInvoice(numbers.back()));
    } else {
      const size_t which = static_cast<size_t>(pick(static_cast<int>(numbers.size())));
      StoredInvoice stored = Read(numbers[which].c_str());
      if (action == 1) {
        if (pick(4) == 0) numbers[which] = std::to_string(nextNumber++);
        PostEditedInvoice(stored, randomInvoice(numbers[which]));
      } else {
        PostInvoiceDeletion(stored);
        numbers.erase(numbers.begin() + static_cast<long>(which));
      }
    }
    const std::vector<std::string> problems = testing_support::BooksProblems(CurrentCompany, Stock);
    ASSERT_EQ(problems, std::vector<std::string>{}) << "step " << step << " action " << action;
  }
}

}  // namespace
}  // namespace invoicing
