#include "import_fixture.h"

#include <fstream>

#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/isam.h"
#include "storage/stat_form.h"
#include "support/file_records.h"

using namespace records;

namespace test_fixtures {

ImportTest::ImportTest() : clock_(QDateTime(QDate(2026, 3, 5), QTime(9, 30))) {
  testing_support::EnsureGuiApplication();
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, 30);
  InstallCompanyFileNames();
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("12");
  CurrentCompany.CompanyName.Set("Acme Supply");
  CurrentCompany.NextCustomerNumber.Set("1001");
  CurrentCompany.NextVendorNumber.Set("5001");
  CurrentCompany.DefaultInvoiceTerms.Set("Net 30 Days");
  CompanyWorkRec = CurrentCompany;
  EXPECT_TRUE(CreateCompanyFile());
  EXPECT_TRUE(OpenCompanyFile());
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(AddCompanyRecord(ref));
  CloseCompanyFile();
  EXPECT_TRUE(CreateCustomerFile());
  EXPECT_TRUE(CreateProductFile());
  EXPECT_TRUE(CreateInvoiceFile());
  EXPECT_TRUE(CreateVendorFile());
}

ImportTest::~ImportTest() {
  platform::ui::Application->DestroyForms();
  for (storage::IsamFileBlock* file : {&CustomerFile, &ProductFile, &VendorFile})
    if (*file) storage::IsamCloseFileBlock(*file);
  CloseCompanyFile();
  storage::IsamShutdown();
  storage::CurrentCompanyNumber = nullptr;
  CurrentCompany = CompanyRec{};
  CompanyWorkRec = CompanyRec{};
}

std::string ImportTest::WriteFile(const std::string& name, const std::string& bytes) const {
  std::ofstream(dir_.File(name), std::ios::binary) << bytes;
  return dir_.File(name);
}

CustomerRec ImportTest::Customer(const std::string& number, const std::string& name) {
  CustomerRec c;
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  return c;
}

ProductRec ImportTest::Product(const std::string& code, const std::string& description) {
  ProductRec p;
  p.Code.Set(code);
  p.Description.Set(description);
  p.OnHand.Set("0");
  return p;
}

void ImportTest::FileCustomers(const std::vector<CustomerRec>& customers) {
  testing_support::FileRecords(customers, CustomerFile, OpenCustomerFile, AddCustomerRecord);
}

void ImportTest::FileProducts(const std::vector<ProductRec>& products) {
  testing_support::FileRecords(products, ProductFile, OpenProductFile, AddProductRecord);
}

namespace {

template <class Record>
std::vector<Record> ByKey1(storage::IsamFileBlock& file, bool (*open)()) {
  std::vector<Record> records;
  EXPECT_TRUE(open());
  ForEachRecordByKey<Record>(file, 1, [&](const Record& r) { records.push_back(r); });
  storage::IsamCloseFileBlock(file);
  return records;
}

}  // namespace

std::vector<CustomerRec> ImportTest::CustomersByName() {
  return ByKey1<CustomerRec>(CustomerFile, OpenCustomerFile);
}

std::vector<ProductRec> ImportTest::ProductsByCode() {
  return ByKey1<ProductRec>(ProductFile, OpenProductFile);
}

std::vector<CustomerRec> ImportTest::CustomersOnDisk() {
  std::vector<CustomerRec> customers;
  EXPECT_TRUE(OpenCustomerFile());
  storage::IsamRecRef ref = 0;
  storage::IsamNextRec(CustomerFile, ref);
  while (storage::IsamOK) {
    CustomerRec c;
    storage::IsamGetRec(CustomerFile, ref, &c, sizeof c);
    customers.push_back(c);
    storage::IsamNextRec(CustomerFile, ref);
  }
  storage::IsamCloseFileBlock(CustomerFile);
  return customers;
}

std::string ImportTest::StoredNextCustomerNumber() {
  CompanyRec company;
  EXPECT_TRUE(ReadCompanyRecord("12", company));
  return company.NextCustomerNumber.Get();
}

}  // namespace test_fixtures
