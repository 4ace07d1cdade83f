#include "posting_fixture.h"

#include "support/scratch_company.h"

#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"

using invoicing::EnteredInvoice;
using invoicing::EnteredLine;
using records::CurrentCompany;
using storage::IsamRecRef;

namespace test_fixtures {

EnteredLine Line(int row, const char* code, const char* quantity, const char* description, const char* price,
                 const char* taxable, const char* extension) {
  EnteredLine line;
  line.Row = row;
  line.Code = code;
  line.Quantity = quantity;
  line.Description = description;
  line.Price = price;
  line.Taxable = taxable;
  line.Extension = extension;
  line.Cost = "4.00";
  return line;
}

EnteredInvoice Invoice(const char* number, const char* customer, const char* date, const char* net,
                       const char* tax, const char* total, const char* paid) {
  EnteredInvoice invoice;
  invoice.Number = number;
  invoice.CustomerNo = customer;
  invoice.ShortName = "SHORT";
  invoice.Date = date;
  invoice.Terms = "Net 30 Days";
  invoice.KeyCode = "None";
  invoice.TaxRate = "8";
  invoice.Net = net;
  invoice.Tax = tax;
  invoice.Total = total;
  invoice.Paid = paid;
  return invoice;
}

void PostingTest::SetUp() {
  testing_support::EnsureGuiApplication();
  platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, 30);
  using testing_support::CompanyFile;
  ASSERT_TRUE(testing_support::OpenScratchCompany(
      testing_support::BooksCompanyRecord(),
      {CompanyFile::Customers, CompanyFile::Products, CompanyFile::Invoices, CompanyFile::InvoiceLines,
       CompanyFile::InvoiceMemos}));
  AddCustomer("C1");
  AddCustomer("C2");
  AddProduct("WIDGET", "100", false, false);
  AddProduct("SERVICE", "0", true, false);
  AddProduct("MANUAL", "5", false, true);
}

void PostingTest::TearDown() {
  EXPECT_TRUE(ui_.Done());
  storage::IsamShutdown();
  records::CustomerFile = records::ProductFile = records::InvoiceFile = records::DetailFile =
      records::MemoFile = nullptr;
  storage::CurrentCompanyNumber = nullptr;
  platform::text::UseSystemClock();
}

void PostingTest::AddCustomer(const char* number) {
  records::CustomerRec c{};
  c.CustomerNo.Set(number);
  c.CustomerName.Set(std::string("Customer ") + number);
  for (auto* amount : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) amount->Set("0.00");
  c.CustBalance.Set("0.00");
  IsamRecRef ref = 0;
  ASSERT_TRUE(records::AddCustomerRecord(c, ref));
}

void PostingTest::AddProduct(const char* code, const char* onHand, bool nonStock, bool nonDepleting) {
  records::ProductRec p{};
  p.Code.Set(code);
  p.OnHand.Set(onHand);
  p.NonStock = nonStock;
  p.NonDepleting = nonDepleting;
  IsamRecRef ref = 0;
  ASSERT_TRUE(records::AddProductRecord(p, ref));
}

IsamRecRef PostingTest::AddRecord(const RecordSpec& spec) {
  records::InvoiceBuf = records::InvoiceRec{};
  records::InvoiceRec& r = records::InvoiceBuf;
  r.InvoiceNo.Set(spec.Number);
  r.TransactionType.Set(spec.Type);
  r.Body.Set(spec.Body);
  r.InvCustomerNo.Set("C1");
  r.InvoiceDate.Set("12/07/2026");
  r.Month.Set("12");
  r.Day.Set("07");
  r.Year.Set("2026");
  r.SortDate.Set("2026/12/07");
  r.InvTotal.Set(spec.Total);
  r.InvPaid.Set(spec.Paid);
  r.AmountDue.Set(spec.Due);
  if (spec.Settled) r.SettledFlag.Set("P");
  if (spec.Printed) r.PrintedMark.Set("Y");
  IsamRecRef ref = 0;
  EXPECT_TRUE(records::AddInvoiceRecord(ref));
  return ref;
}

records::CustomerRec PostingTest::Customer(const char* number) {
  records::CustomerRec wanted{}, found{};
  wanted.CustomerNo.Set(number);
  IsamRecRef ref = 0;
  EXPECT_TRUE(
      records::ReadByKey(records::CustomerUnit(), records::BuildCustomerKey(wanted, 2), 2, found, ref));
  return found;
}

std::string PostingTest::OnHand(const char* code) {
  records::ProductRec wanted{}, found{};
  wanted.Code.Set(code);
  IsamRecRef ref = 0;
  EXPECT_TRUE(records::ReadByKey(records::ProductUnit(), records::BuildProductKey(wanted, 1), 1, found, ref));
  return found.OnHand.Get();
}

records::InvoiceRec PostingTest::Stored(const char* number, IsamRecRef* ref) {
  records::InvoiceRec wanted{}, found{};
  wanted.InvoiceNo.Set(number);
  IsamRecRef at = 0;
  EXPECT_TRUE(records::ReadByKey(records::InvoiceUnit(), records::BuildInvoiceKey(wanted, 1), 1, found, at));
  if (ref) *ref = at;
  return found;
}

std::vector<std::string> PostingTest::Buckets(const records::CustomerRec& c) {
  return {c.CustAging1.Get(), c.CustAging2.Get(), c.CustAging3.Get(), c.CustAging4.Get()};
}

void PostingTest::ExpectBooksBalance() {
  EXPECT_EQ(testing_support::BooksProblems(CurrentCompany, Stock), std::vector<std::string>{});
}

}  // namespace test_fixtures
