#include "invoice_books_fixture.h"

#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"

using namespace records;

namespace test_fixtures {

InvoiceBooksTest::InvoiceBooksTest() {
  EXPECT_TRUE(CreateDetailFile());
  EXPECT_TRUE(CreateMemoFile());
  CustomerRec acme = Customer("C100", "Acme Tools");
  acme.CustBillTo1.Set("12 Main Street");
  acme.CustBillTo2.Set("Springfield");
  acme.CustBillTo4.Set("USA");
  acme.CustNotes.Set("Deliver to the back door.");
  acme.NotesOnInvoice.Set("Y");
  acme.CustEMail.Set("buyer@acme.example");
  acme.CustomerType.Set("Retail");
  File({acme, Customer("C200", "Bolt Works")});
  File({Product("WIDGET", "Widget", "12.50", "10"), Product("BOLT", "Bolt", "0.25", "50")});
  EXPECT_TRUE(UpdateCurrentCompanyRecord([](CompanyRec& company) { company.CompanyARBalance.Set("0.00"); }));
  EXPECT_TRUE(OpenInvoiceFiles());
  EXPECT_TRUE(OpenCustomerFile());
  EXPECT_TRUE(OpenProductFile());
}

InvoiceBooksTest::~InvoiceBooksTest() {
  for (storage::IsamFileBlock* file : {&InvoiceFile, &DetailFile, &MemoFile, &CustomerFile, &ProductFile}) {
    if (*file && storage::IsamIsOpen(*file)) storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
}

invoicing::EnteredInvoice InvoiceBooksTest::NewInvoice(const std::string& number, const std::string& net,
                                                       const std::string& tax, const std::string& total,
                                                       const std::string& paid) {
  invoicing::EnteredInvoice invoice;
  invoice.Number = number;
  invoice.CustomerNo = "C100";
  invoice.CustomerName = "Acme Tools";
  invoice.ShortName = "ACME";
  invoice.Date = "03/05/2026";
  invoice.Terms = "Net 30";
  invoice.Notes = "PO 4471";
  invoice.KeyCode = "None";
  invoice.TaxRate = "8.25";
  invoice.Net = net;
  invoice.Tax = tax;
  invoice.Total = total;
  invoice.Paid = paid;
  invoice.ShipTo = {"Dock 4", "Warehouse Road", "", ""};
  return invoice;
}

invoicing::EnteredLine InvoiceBooksTest::NewLine(int row, const std::string& code,
                                                 const std::string& quantity, const std::string& description,
                                                 const std::string& price, const std::string& extension) {
  invoicing::EnteredLine line;
  line.Row = row;
  line.Code = code;
  line.Quantity = quantity;
  line.Description = description;
  line.Price = price;
  line.Taxable = "Y";
  line.Extension = extension;
  line.Cost = "1.00";
  return line;
}

storage::IsamRecRef InvoiceBooksTest::FileRecord(const InvoiceRec& record) {
  InvoiceBuf = record;
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(AddInvoiceRecord(ref));
  return ref;
}

InvoiceRec InvoiceBooksTest::Record(const std::string& number, const std::string& type,
                                    const std::string& customer, const std::string& sortDate,
                                    const std::string& total, const std::string& paid,
                                    const std::string& due) {
  InvoiceRec r{};
  r.InvoiceNo.Set(number);
  r.TransactionType.Set(type);
  r.InvCustomerNo.Set(customer);
  r.SortDate.Set(sortDate);
  r.InvoiceDate.Set(sortDate.substr(5, 2) + "/" + sortDate.substr(8, 2) + "/" + sortDate.substr(0, 4));
  r.InvTotal.Set(total);
  r.TaxAmount.Set("0.00");
  r.InvPaid.Set(paid);
  r.AmountDue.Set(due);
  r.Body.Set("P");
  r.KeyCode.Set("None");
  r.CompanyNumber.Set("12");
  if (due == "0.00") {
    r.SettledFlag.Set("P");
    r.DatePaid.Set(sortDate);
  }
  return r;
}

std::vector<std::string> InvoiceBooksTest::BooksProblems() const {
  return testing_support::BooksProblems(CurrentCompany, stock_);
}

}  // namespace test_fixtures
