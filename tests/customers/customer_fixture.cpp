#include "customer_fixture.h"

#include "customers/customer_manager.h"
#include "customers/edit_dlg.h"
#include "forms/find_box.h"
#include "forms/list_window.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "storage/stat_form.h"

using namespace records;
using namespace forms;

namespace test_fixtures {

using storage::IsamRecRef;

CustomerFixture::CustomerFixture() {
  testing_support::EnsureGuiApplication();
  storage::IsamInitialize(0, 30);
  records::InstallCompanyFileNames();
  records::CurrentCompany = records::DefaultCompanyRecord();
  records::CurrentCompany.CompanyNumber.Set("12");
  records::CurrentCompany.CompanyName.Set("Acme Supply");
  records::CurrentCompany.NextCustomerNumber.Set("1001");
  records::CompanyWorkRec = records::CurrentCompany;
  EXPECT_TRUE(records::CreateCompanyFile());
  EXPECT_TRUE(records::OpenCompanyFile());
  IsamRecRef ref = 0;
  EXPECT_TRUE(records::AddCompanyRecord(ref));
  records::CloseCompanyFile();
  EXPECT_TRUE(records::CreateCustomerFile());
  EXPECT_TRUE(records::CreateInvoiceFile());
}

CustomerFixture::~CustomerFixture() {
  platform::ui::Application->DestroyForms();
  customers::DemoForm = nullptr;
  customers::EditDlg = nullptr;
  forms::ListWindow = nullptr;
  forms::FindBox = nullptr;
  storage::StatForm = nullptr;
  storage::IsamShutdown();
  records::CurrentCompany = records::CompanyRec{};
  records::CompanyWorkRec = records::CompanyRec{};
}

records::CustomerRec CustomerFixture::Customer(const std::string& number, const std::string& name) {
  records::CustomerRec c;
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  for (auto* amount : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) amount->Set("0.00");
  c.CustBalance.Set("0.00");
  c.CreditLimit.Set("0.00");
  return c;
}

void CustomerFixture::File(const std::vector<records::CustomerRec>& customers) {
  ASSERT_TRUE(records::OpenCustomerFile());
  for (const records::CustomerRec& c : customers) {
    IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddCustomerRecord(c, ref)) << c.CustomerName.Get();
  }
  storage::IsamCloseFileBlock(records::CustomerFile);
}

void CustomerFixture::FileInvoices(
    const std::vector<std::pair<std::string, std::string>>& numberAndCustomer) {
  ASSERT_TRUE(records::OpenInvoiceFile());
  for (const auto& [number, customer] : numberAndCustomer) {
    records::InvoiceBuf = records::InvoiceRec{};
    records::InvoiceBuf.InvoiceNo.Set(number);
    records::InvoiceBuf.InvCustomerNo.Set(customer);
    IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddInvoiceRecord(ref)) << number;
  }
  storage::IsamCloseFileBlock(records::InvoiceFile);
}

std::vector<records::CustomerRec> CustomerFixture::StoredCustomers() {
  std::vector<records::CustomerRec> customers;
  EXPECT_TRUE(records::OpenCustomerFile());
  storage::IsamKeyStr key;
  IsamRecRef ref = 0;
  storage::IsamSearchKey(records::CustomerFile, 2, ref, key);
  while (storage::IsamOK) {
    records::CustomerRec c;
    storage::IsamGetRec(records::CustomerFile, ref, &c, sizeof c);
    customers.push_back(c);
    storage::IsamNextKey(records::CustomerFile, 2, ref, key);
  }
  storage::IsamCloseFileBlock(records::CustomerFile);
  return customers;
}

std::vector<std::string> CustomerFixture::InvoiceCustomers() {
  std::vector<std::string> numbers;
  EXPECT_TRUE(records::OpenInvoiceFile());
  IsamRecRef ref = 0;
  storage::IsamNextRec(records::InvoiceFile, ref);
  while (storage::IsamOK) {
    records::InvoiceRec invoice;
    storage::IsamGetRec(records::InvoiceFile, ref, &invoice, sizeof invoice);
    numbers.push_back(invoice.InvCustomerNo.Get());
    storage::IsamNextRec(records::InvoiceFile, ref);
  }
  storage::IsamCloseFileBlock(records::InvoiceFile);
  return numbers;
}

}  // namespace test_fixtures
