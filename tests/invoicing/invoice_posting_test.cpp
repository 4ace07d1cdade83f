// Posting new invoices, checked against figures worked out by hand and against the books read
// back from the files after every posting.
#include "invoicing/invoice_posting.h"

#include <gtest/gtest.h>

#include "platform/files/file.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "posting_fixture.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "reports/label_queue.h"

namespace invoicing {
namespace {

using records::CurrentCompany;
using storage::IsamRecRef;
using test_fixtures::Invoice;
using test_fixtures::Line;

class InvoicePostingTest : public test_fixtures::PostingTest {};

TEST_F(InvoicePostingTest, ASequenceOfInvoicesPostsEverywhereItCounts) {
  EnteredInvoice first = Invoice("1001", "C1", "12/07/2026", "80.00", "6.40", "86.40", "0.00");
  first.Lines = {Line(1, "widget", "3", "Widgets", "10.00", "Y", "30.00"),
                 Line(2, "SERVICE", "1", "Call-out", "50.00", "Y", "50.00"),
                 Line(4, "", "", "Thank you", "", " ", ""), Line(5, "", "", "", "", " ", "")};
  PostedInvoice posted = PostNewInvoice(first);
  EXPECT_EQ(posted.LineItems, 3);
  EXPECT_EQ(posted.StatusText, "Added invoice 1001 containing 3 line item(s).");
  EXPECT_EQ(posted.AnswerLines.size(), 7u);
  EXPECT_EQ(posted.AnswerLines[4],
            "widget          3          Widgets                          10.00      Y 30.00     ");
  ExpectBooksBalance();

  // Paid in full at entry: settled at once, nothing owed, but the payment date is kept.
  EnteredInvoice second = Invoice("1002", "c1", "12/07/2026", "20.00", "0.00", "20.00", "20.00");
  second.Lines = {Line(1, "WIDGET", "2", "Widgets", "10.00", "N", "20.00")};
  PostNewInvoice(second);
  records::InvoiceRec paid = Stored("1002");
  EXPECT_EQ(paid.SettledFlag.Get(), "P");
  EXPECT_EQ(paid.DatePaid.Get(), "2026/12/07");
  EXPECT_EQ(paid.AmountDue.Get(), "0.00");
  ExpectBooksBalance();

  // Partly paid, a fractional quantity and a product that is not depleted.
  EnteredInvoice third = Invoice("1003", "C2", "12/01/2026", "40.00", "0.00", "40.00", "15.00");
  third.Lines = {Line(1, "MANUAL", "1", "Manual", "15.00", "N", "15.00"),
                 Line(2, "WIDGET", "2.5", "Widgets", "10.00", "N", "25.00")};
  PostNewInvoice(third);
  ExpectBooksBalance();

  // A memo invoice dated 65 days back lands in the third bucket.
  EnteredInvoice memo = Invoice("1004", "C2", "10/03/2026", "100.00", "0.00", "100.00", "0.00");
  memo.Memo = true;
  memo.MemoLines = {"Repairs to the shop front", "", "Parts and labour"};
  memo.MemoProduct.Code = "WIDGET";
  memo.MemoProduct.Quantity = "1";
  memo.MemoProduct.Description = "Widget";
  posted = PostNewInvoice(memo);
  EXPECT_EQ(posted.LineItems, 1);
  EXPECT_EQ(posted.AnswerLines.size(), 6u);  // the header lines and the two written memo lines
  ExpectBooksBalance();

  records::CustomerRec c1 = Customer("C1");
  EXPECT_EQ(c1.CustBalance.Get(), "86.40");
  EXPECT_EQ(Buckets(c1), (std::vector<std::string>{"86.40", "0.00", "0.00", "0.00"}));
  EXPECT_EQ(c1.LastInvoice.Get(), "1002");
  EXPECT_EQ(c1.LastPayment.Get(), "12/07/2026");
  records::CustomerRec c2 = Customer("C2");
  EXPECT_EQ(c2.CustBalance.Get(), "125.00");
  EXPECT_EQ(Buckets(c2), (std::vector<std::string>{"25.00", "0.00", "100.00", "0.00"}));
  EXPECT_EQ(c2.LastInvoice.Get(), "1004");
  EXPECT_EQ(OnHand("WIDGET"), "91.5");
  EXPECT_EQ(OnHand("MANUAL"), "5");
  EXPECT_EQ(OnHand("SERVICE"), "0");
  EXPECT_EQ(CurrentCompany.CompanyARBalance.Get(), "211.40");
  EXPECT_EQ(CurrentCompany.NextInvoiceNumber.Get(), "1005");
  EXPECT_EQ(CurrentCompany.InvoiceManagerStartNumber.Get(), "1004");
  records::CompanyRec stored{};
  ASSERT_TRUE(records::ReadCompanyRecord("12", stored));
  EXPECT_EQ(stored.CompanyARBalance.Get(), "211.40");

  records::InvoiceRec memoRecord = Stored("1004");
  EXPECT_EQ(memoRecord.Body.Get(), "M");
  EXPECT_EQ(memoRecord.SortDate.Get(), "2026/10/03");
  EXPECT_EQ(memoRecord.Month.Get() + memoRecord.Day.Get() + memoRecord.Year.Get(), "10032026");
  records::MemoRec storedMemo{};
  records::MemoRec wantedMemo{};
  wantedMemo.Number.Set("1004");
  IsamRecRef ref = 0;
  ASSERT_TRUE(
      records::ReadByKey(records::MemoUnit(), records::BuildMemoKey(wantedMemo, 1), 1, storedMemo, ref));
  EXPECT_EQ(storedMemo.Lines[2].Get(), "Parts and labour");
}

TEST_F(InvoicePostingTest, TheAgingLimitsAreInclusive) {
  const int limits[3] = {30, 60, 90};
  const std::pair<int, int> cases[] = {{-5, 0}, {0, 0}, {30, 0}, {31, 1}, {60, 1}, {61, 2}, {90, 2}, {91, 3}};
  for (auto [days, bucket] : cases) EXPECT_EQ(AgingBucket(days, limits), bucket) << days;
}

TEST_F(InvoicePostingTest, TheCounterSkipsTheMonthPrefixAndIgnoresNumbersWithLetters) {
  CurrentCompany.InvoiceNumberPrefix.Set("Y");
  records::CompanyWorkRec = CurrentCompany;
  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.InvoiceNumberPrefix.Set("Y"); }));
  EnteredInvoice prefixed = Invoice("010710005", "C1", "12/07/2026", "1.00", "0.00", "1.00", "0.00");
  PostNewInvoice(prefixed);
  EXPECT_EQ(CurrentCompany.NextInvoiceNumber.Get(), "10006");
  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.InvoiceNumberPrefix.Set("N"); }));
  PostNewInvoice(Invoice("A77", "C1", "12/07/2026", "1.00", "0.00", "1.00", "0.00"));
  EXPECT_EQ(CurrentCompany.NextInvoiceNumber.Get(), "10006");
  EXPECT_EQ(CurrentCompany.InvoiceManagerStartNumber.Get(), "A77");
  ExpectBooksBalance();
}

TEST_F(InvoicePostingTest, AnInvoiceForACustomerNotOnFileWritesNothing) {
  // "C" is not a customer, though the number key's search would land on C1 next.
  EnteredInvoice stray = Invoice("2001", "C", "12/07/2026", "5.00", "0.00", "5.00", "0.00");
  stray.Lines = {Line(1, "WIDGET", "1", "Widgets", "5.00", "N", "5.00")};
  EXPECT_THROW(PostNewInvoice(stray), std::runtime_error);
  storage::IsamKeyStr key = "2001";
  IsamRecRef ref = 0;
  EXPECT_FALSE(records::FindInvoiceByNumber(key, ref));
  EXPECT_EQ(OnHand("WIDGET"), "100");
  EXPECT_EQ(CurrentCompany.CompanyARBalance.Get(), "0.00");
  ExpectBooksBalance();
}

TEST_F(InvoicePostingTest, TheCustomerIsQueuedForALabelWhenTheCompanyAsks) {
  reports::LabelPrintQueue.Clear();
  PostNewInvoice(Invoice("3001", "C1", "12/07/2026", "1.00", "0.00", "1.00", "0.00"));
  EXPECT_TRUE(reports::LabelPrintQueue.Rows().empty());
  ASSERT_TRUE(
      records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.NewInvoiceToLabelQueue.Set("Y"); }));
  PostNewInvoice(Invoice("3002", "C2", "12/07/2026", "1.00", "0.00", "1.00", "0.00"));
  ASSERT_EQ(reports::LabelPrintQueue.Rows().size(), 1u);
  EXPECT_EQ(reports::LabelPrintQueue.Rows()[0].Code, "C2");
  EXPECT_EQ(reports::LabelPrintQueue.Rows()[0].Letter, "C");
  reports::LabelPrintQueue.Clear();
}

TEST_F(InvoicePostingTest, TheAnswerFileHoldsOneItemPerLine) {
  ASSERT_TRUE(WriteAnswerFile({"C1", "1001", "86.40", "0.00"}));
  std::string text;
  ASSERT_TRUE(platform::files::ReadWholeFile("CPWIN.TXT", &text));
  EXPECT_EQ(text, "C1\r\n1001\r\n86.40\r\n0.00\r\n");
}

}  // namespace
}  // namespace invoicing
