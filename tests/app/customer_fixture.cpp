#include "customer_fixture.h"

#include "app/company_file.h"
#include "app/customer_file.h"
#include "app/customer_manager.h"
#include "app/edit_dlg.h"
#include "app/find_box.h"
#include "app/list_window.h"
#include "app/records/company_rec.h"
#include "invoicing/invoice_file.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "storage/stat_form.h"

namespace app_test {

using storage::IsamRecRef;

CustomerFixture::CustomerFixture() {
  testing_support::EnsureGuiApplication();
  storage::IsamInitialize(0, 30);
  app::InstallCompanyFileNames();
  app::CurrentCompany = app::DefaultCompanyRecord();
  app::CurrentCompany.CompanyNumber.Set("12");
  app::CurrentCompany.CompanyName.Set("Acme Supply");
  app::CurrentCompany.NextCustomerNumber.Set("1001");
  app::CompanyWorkRec = app::CurrentCompany;
  EXPECT_TRUE(app::CreateCompanyFile());
  EXPECT_TRUE(app::OpenCompanyFile());
  IsamRecRef ref = 0;
  EXPECT_TRUE(app::AddCompanyRecord(ref));
  app::CloseCompanyFile();
  EXPECT_TRUE(app::CreateCustomerFile());
  EXPECT_TRUE(invoicing::CreateInvoiceFile());
}

CustomerFixture::~CustomerFixture() {
  platform::ui::Application->DestroyForms();
  app::DemoForm = nullptr;
  app::EditDlg = nullptr;
  app::ListWindow = nullptr;
  app::FindBox = nullptr;
  storage::StatForm = nullptr;
  storage::IsamShutdown();
  app::CurrentCompany = app::CompanyRec{};
  app::CompanyWorkRec = app::CompanyRec{};
}

app::CustomerRec CustomerFixture::Customer(const std::string& number, const std::string& name) {
  app::CustomerRec c;
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  for (auto* amount : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) amount->Set("0.00");
  c.CustBalance.Set("0.00");
  c.CreditLimit.Set("0.00");
  return c;
}

void CustomerFixture::File(const std::vector<app::CustomerRec>& customers) {
  ASSERT_TRUE(app::OpenCustomerFile());
  for (const app::CustomerRec& c : customers) {
    IsamRecRef ref = 0;
    EXPECT_TRUE(app::AddCustomerRecord(c, ref)) << c.CustomerName.Get();
  }
  storage::IsamCloseFileBlock(app::CustomerFile);
}

void CustomerFixture::FileInvoices(
    const std::vector<std::pair<std::string, std::string>>& numberAndCustomer) {
  ASSERT_TRUE(invoicing::OpenInvoiceFile());
  for (const auto& [number, customer] : numberAndCustomer) {
    invoicing::InvoiceBuf = invoicing::InvoiceRec{};
    invoicing::InvoiceBuf.InvoiceNo.Set(number);
    invoicing::InvoiceBuf.InvCustomerNo.Set(customer);
    IsamRecRef ref = 0;
    EXPECT_TRUE(invoicing::AddInvoiceRecord(ref)) << number;
  }
  storage::IsamCloseFileBlock(invoicing::InvoiceFile);
}

std::vector<app::CustomerRec> CustomerFixture::StoredCustomers() {
  std::vector<app::CustomerRec> customers;
  EXPECT_TRUE(app::OpenCustomerFile());
  storage::IsamKeyStr key;
  IsamRecRef ref = 0;
  storage::IsamSearchKey(app::CustomerFile, 2, ref, key);
  while (storage::IsamOK) {
    app::CustomerRec c;
    storage::IsamGetRec(app::CustomerFile, ref, &c, sizeof c);
    customers.push_back(c);
    storage::IsamNextKey(app::CustomerFile, 2, ref, key);
  }
  storage::IsamCloseFileBlock(app::CustomerFile);
  return customers;
}

std::vector<std::string> CustomerFixture::InvoiceCustomers() {
  std::vector<std::string> numbers;
  EXPECT_TRUE(invoicing::OpenInvoiceFile());
  IsamRecRef ref = 0;
  storage::IsamNextRec(invoicing::InvoiceFile, ref);
  while (storage::IsamOK) {
    invoicing::InvoiceRec invoice;
    storage::IsamGetRec(invoicing::InvoiceFile, ref, &invoice, sizeof invoice);
    numbers.push_back(invoice.InvCustomerNo.Get());
    storage::IsamNextRec(invoicing::InvoiceFile, ref);
  }
  storage::IsamCloseFileBlock(invoicing::InvoiceFile);
  return numbers;
}

}  // namespace app_test
