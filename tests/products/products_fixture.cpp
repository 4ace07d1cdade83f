#include "products_fixture.h"

#include "forms/find_box.h"
#include "forms/list_window.h"
#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "products/price_change.h"
#include "products/product_dialog.h"
#include "products/product_manager.h"
#include "records/company_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "shell/main_form.h"
#include "storage/isam.h"
#include "storage/stat_form.h"

using namespace records;
using namespace forms;
using namespace products;
using namespace shell;

namespace test_fixtures {

ProductsTest::ProductsTest() : clock_(QDateTime(QDate(2026, 3, 5), QTime(14, 7))) {
  testing_support::EnsureGuiApplication();
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, 30);
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("1");
  CurrentCompany.CompanyName.Set("Harbour Supplies");
  CurrentCompany.BarCodeType.Set("3");
  CurrentCompany.LastPriceChangeDate.Set("01/02/2026");
  InstallCompanyFileNames();
  EXPECT_TRUE(CreateCompanyFile());
  EXPECT_TRUE(OpenCompanyFile());
  CompanyWorkRec = CurrentCompany;
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(AddCompanyRecord(ref));
  CloseCompanyFile();
  EXPECT_TRUE(CreateProductFile());
}

ProductsTest::~ProductsTest() {
  // Every test starts from freshly made windows, as a new run of the program would.
  platform::ui::Application->DestroyForms();
  MainForm = nullptr;
  EditProd = nullptr;
  UpdProd = nullptr;
  PriceChg = nullptr;
  FindBox = nullptr;
  ListWindow = nullptr;
  storage::StatForm = nullptr;
  if (ProductFile) storage::IsamCloseFileBlock(ProductFile);
  ProductFile = nullptr;
  CloseCompanyFile();
  storage::IsamShutdown();
  storage::CurrentCompanyNumber = nullptr;
  CurrentCompany = CompanyRec{};
  CompanyWorkRec = CompanyRec{};
}

void ProductsTest::FileProducts(const std::vector<ProductRec>& products) {
  ASSERT_TRUE(OpenProductFile());
  for (const ProductRec& product : products) {
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(AddProductRecord(product, ref)) << product.Code.Get();
  }
  storage::IsamCloseFileBlock(ProductFile);
  ProductFile = nullptr;
}

std::optional<ProductRec> ProductsTest::StoredProduct(const std::string& code) {
  const bool wasOpen = ProductFile != nullptr;
  if (!wasOpen && !OpenProductFile()) return std::nullopt;
  ProductRec wanted;
  wanted.Code.Set(code);
  ProductRec found;
  storage::IsamRecRef ref = 0;
  const bool read = ReadByKey(ProductUnit(), BuildProductKey(wanted, 1), 1, found, ref);
  if (!wasOpen) {
    storage::IsamCloseFileBlock(ProductFile);
    ProductFile = nullptr;
  }
  if (!read) return std::nullopt;
  return found;
}

CompanyRec ProductsTest::StoredCompany() {
  CompanyRec company;
  EXPECT_TRUE(ReadCompanyRecord("1", company));
  return company;
}

ProductRec ProductsTest::Product(const std::string& code, const std::string& description,
                                 const std::string& price) {
  ProductRec p;
  p.Code.Set(code);
  p.Description.Set(description);
  p.PODescription.Set(description);
  p.Price.Set(price);
  p.ListPrice.Set("0.00");
  p.Cost.Set("0.00");
  p.Percentage.Set("0.00");
  p.OnHand.Set("0");
  p.Weight.Set("0.00");
  p.MaximumQuantity.Set("0");
  p.MinimumQuantity.Set("0");
  p.TargetQuantity.Set("0");
  p.BatchNumber.Set("1");
  p.KeyCode.Set("*NONE*");
  p.PricingMethod.Set("F");
  p.PriceUpdateMode.Set("A");
  p.SetupDate.Set("01/15/2026");
  return p;
}

}  // namespace test_fixtures
