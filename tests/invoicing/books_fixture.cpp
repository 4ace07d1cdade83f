#include "books_fixture.h"

#include "support/scratch_company.h"

#include "invoicing/invoice_posting.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "storage/isam.h"

using namespace records;

namespace test_fixtures {

BooksTest::BooksTest() : clock_(QDateTime(QDate(2026, 12, 7), QTime(10, 0))) {
  testing_support::EnsureGuiApplication();
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, 30);
  using testing_support::CompanyFile;
  EXPECT_TRUE(testing_support::OpenScratchCompany(
      testing_support::BooksCompanyRecord(),
      {CompanyFile::Customers, CompanyFile::Products, CompanyFile::Invoices, CompanyFile::InvoiceLines,
       CompanyFile::InvoiceMemos}));
}

BooksTest::~BooksTest() {
  EXPECT_TRUE(ui.Done());
  platform::ui::Application->DestroyForms();
  storage::IsamShutdown();
  CustomerFile = ProductFile = InvoiceFile = DetailFile = MemoFile = nullptr;
  storage::CurrentCompanyNumber = nullptr;
  CurrentCompany = CompanyRec{};
  CompanyWorkRec = CompanyRec{};
  InvoiceBuf = InvoiceRec{};
  SelectedCustomer = CustomerRec{};
}

void BooksTest::FileCustomer(const std::string& number, const std::string& name) {
  CustomerRec c{};
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  c.ShortName.Set(name.substr(0, 10));
  c.CustBalance.Set("0.00");
  for (auto* amount : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) amount->Set("0.00");
  FileForAction file(CustomerFile, OpenCustomerFile);
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(AddCustomerRecord(c, ref));
}

void BooksTest::FileProduct(const std::string& code, const std::string& onHand) {
  ProductRec p{};
  p.Code.Set(code);
  p.Description.Set(code);
  p.OnHand.Set(onHand);
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(AddProductRecord(p, ref));
}

namespace {

invoicing::EnteredInvoice UntaxedInvoice(const std::string& number, const std::string& customer,
                                         const std::string& date, const std::string& total,
                                         const std::string& paid) {
  invoicing::EnteredInvoice invoice;
  invoice.Number = number;
  invoice.CustomerNo = customer;
  invoice.Date = date;
  invoice.KeyCode = "None";
  invoice.Net = total;
  invoice.Tax = "0.00";
  invoice.Total = total;
  invoice.Paid = paid;
  return invoice;
}

}  // namespace

void BooksTest::PostMemoInvoice(const std::string& number, const std::string& customer,
                                const std::string& date, const std::string& total, const std::string& code,
                                const std::string& quantity, const std::string& text) {
  invoicing::EnteredInvoice invoice = UntaxedInvoice(number, customer, date, total, "0.00");
  invoice.Memo = true;
  invoice.MemoLines = {text};
  invoice.MemoProduct.Code = code;
  invoice.MemoProduct.Quantity = quantity;
  invoice.MemoProduct.Description = code;
  invoicing::PostNewInvoice(invoice);
}

void BooksTest::PostInvoice(const std::string& number, const std::string& customer, const std::string& date,
                            const std::string& total, const std::string& paid,
                            const std::vector<Sale>& sales) {
  invoicing::EnteredInvoice invoice = UntaxedInvoice(number, customer, date, total, paid);
  int row = 0;
  for (const Sale& sale : sales) {
    invoicing::EnteredLine line;
    line.Row = ++row;
    line.Code = sale.Code;
    line.Quantity = sale.Quantity;
    line.Description = sale.Code;
    line.Price = sale.Price;
    line.Taxable = "N";
    line.Extension = sale.Price;
    invoice.Lines.push_back(line);
  }
  invoicing::PostNewInvoice(invoice);
}

CustomerRec BooksTest::Customer(const std::string& number) {
  FileForAction file(CustomerFile, OpenCustomerFile);
  CustomerRec wanted{}, found{};
  wanted.CustomerNo.Set(number);
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(ReadByKey(CustomerUnit(), BuildCustomerKey(wanted, 2), 2, found, ref)) << number;
  return found;
}

std::vector<InvoiceRec> BooksTest::Records(const std::string& number) {
  std::vector<InvoiceRec> found;
  ForEachRecordByKey<InvoiceRec>(InvoiceFile, 1, [&](const InvoiceRec& r) {
    if (platform::text::TrimBlanks(r.InvoiceNo.Get()) == number) found.push_back(r);
  });
  return found;
}

std::vector<std::string> BooksTest::Buckets(const CustomerRec& c) {
  return {c.CustAging1.Get(), c.CustAging2.Get(), c.CustAging3.Get(), c.CustAging4.Get()};
}

std::string BooksTest::OnHand(const std::string& code) {
  ProductRec wanted{}, found{};
  wanted.Code.Set(code);
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(ReadByKey(ProductUnit(), BuildProductKey(wanted, 1), 1, found, ref)) << code;
  return found.OnHand.Get();
}

CompanyRec BooksTest::StoredCompany() {
  CompanyRec stored{};
  EXPECT_TRUE(ReadCompanyRecord("12", stored));
  return stored;
}

void BooksTest::ExpectBooksBalance() const {
  FileForAction file(CustomerFile, OpenCustomerFile);
  EXPECT_EQ(testing_support::BooksProblems(StoredCompany(), stock), std::vector<std::string>{});
}

}  // namespace test_fixtures
