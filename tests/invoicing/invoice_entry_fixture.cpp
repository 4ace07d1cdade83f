#include "invoice_entry_fixture.h"

#include "customers/customer_manager.h"
#include "forms/run_state.h"
#include "forms/shipping_address_dialog.h"
#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "products/product_manager.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/invoice_rec.h"
#include "records/payment_terms.h"
#include "records/product_file.h"
#include "storage/isam.h"
#include "storage/stat_form.h"

using namespace records;
using namespace invoicing;

namespace test_fixtures {

InvoiceEntryTest::InvoiceEntryTest() : clock_(QDateTime(QDate(2026, 3, 5), QTime(10, 0))) {
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, 30);
  InstallCompanyFileNames();
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("12");
  CurrentCompany.CompanyName.Set("Acme Supply");
  CurrentCompany.NextInvoiceNumber.Set("1001");
  CurrentCompany.DefaultInvoiceQuantity.Set("1");
  CurrentCompany.DefaultTaxRate.Set("8.25");
  CurrentCompany.DateOrder.Set("M");
  CurrentCompany.InvoiceNumberPrefix.Set("N");
  CurrentCompany.CalculateInvoiceTaxes = 1;
  CurrentCompany.HideCost = 0;
  CurrentCompany.DefaultInvoiceTerms.Set("Net 30");
  CompanyWorkRec = CurrentCompany;
  EXPECT_TRUE(CreateCompanyFile());
  EXPECT_TRUE(OpenCompanyFile());
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(AddCompanyRecord(ref));
  CloseCompanyFile();
  EXPECT_TRUE(CreateCustomerFile());
  EXPECT_TRUE(CreateProductFile());
  EXPECT_TRUE(CreateInvoiceFile());
  EXPECT_TRUE(SavePaymentTerms({"Net 30", "Due on receipt"}));
  forms::ResetDefaultDates();
  InvoiceFormMode = 0;
  InitialInvoiceNumber.reset();
  InitialAmountDue = "0.00";
  SelectedCustomer = CustomerRec{};
  PostEnteredInvoice = [this](const EnteredInvoice& invoice) {
    posted = invoice;
    return true;
  };
  CreateProdInv();
}

InvoiceEntryTest::~InvoiceEntryTest() {
  PostEnteredInvoice = nullptr;
  platform::ui::Application->DestroyForms();
  ProdInv = nullptr;
  customers::DemoForm = nullptr;
  products::EditProd = nullptr;
  forms::POShipWin = nullptr;
  storage::StatForm = nullptr;
  storage::IsamShutdown();
  storage::CurrentCompanyNumber = nullptr;
  CurrentCompany = CompanyRec{};
  CompanyWorkRec = CompanyRec{};
  InvoiceBuf = InvoiceRec{};
}

CustomerRec InvoiceEntryTest::Customer(const std::string& number, const std::string& name) {
  CustomerRec c;
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  for (auto* amount : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) amount->Set("0.00");
  c.CustBalance.Set("0.00");
  c.CreditLimit.Set("0.00");
  c.TaxExempt.Set("N");
  c.ShortName.Set("ACME");
  return c;
}

ProductRec InvoiceEntryTest::Product(const std::string& code, const std::string& description,
                                     const std::string& price, const std::string& onHand) {
  ProductRec p;
  p.Code.Set(code);
  p.Description.Set(description);
  p.Price.Set(price);
  p.Cost.Set("1.00");
  p.OnHand.Set(onHand);
  p.TaxOnInvoice = 1;
  p.KeyCode.Set("*NONE*");
  return p;
}

void InvoiceEntryTest::File(const std::vector<CustomerRec>& customers) {
  ASSERT_TRUE(OpenCustomerFile());
  for (const CustomerRec& c : customers) {
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(AddCustomerRecord(c, ref));
  }
  storage::IsamCloseFileBlock(CustomerFile);
}

void InvoiceEntryTest::File(const std::vector<ProductRec>& products) {
  ASSERT_TRUE(OpenProductFile());
  for (const ProductRec& p : products) {
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(AddProductRecord(p, ref));
  }
  storage::IsamCloseFileBlock(ProductFile);
  ProductFile = nullptr;
}

void InvoiceEntryTest::FileInvoice(const std::string& number) {
  ASSERT_TRUE(OpenInvoiceFile());
  InvoiceBuf = InvoiceRec{};
  InvoiceBuf.InvoiceNo.Set(number);
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(AddInvoiceRecord(ref));
  storage::IsamCloseFileBlock(InvoiceFile);
  InvoiceBuf = InvoiceRec{};
}

void InvoiceEntryTest::AddInvoice(const std::function<void(TProdInv&)>& work, bool memo) {
  InvoiceFormMode = 0;
  InvoiceBuf = InvoiceRec{};
  InvoiceBuf.Body.Set(memo ? "M" : "P");
  TProdInv& form = *ProdInv;
  form.IDate->setText(QString::fromStdString(forms::LastInvoiceDate));
  form.EBTaxRate->setText("8.25");
  form.IPaid->setText("0.00");
  form.KeyCode->setText("None");
  ui.OnModal<TProdInv>([work](TProdInv& f) { work(f); });
  form.ShowModal();
}

void InvoiceEntryTest::PickCustomer(TProdInv& form, const CustomerRec& customer) {
  ui.OnModal<customers::TDemoForm>([customer](customers::TDemoForm& manager) {
    EXPECT_EQ(manager.StatusText(1), "Double-click or press <enter> to select.");
    manager.RecBrowser1->BrowserGoToKey(BuildCustomerKey(customer, customers::CustomerKeyNumber), 0);
    manager.EditClick();
  });
  form.BitBtn3Click();
}

void InvoiceEntryTest::PickProduct(TProdInv& form, const std::string& code) {
  ui.OnModal<products::TEditProd>([code](products::TEditProd& manager) {
    EXPECT_EQ(manager.StatusPanel1->text(), "Double-click or press <enter> to select.");
    ProductRec wanted;
    wanted.Code.Set(code);
    manager.ProdBrowser->BrowserGoToKey(BuildProductKey(wanted, products::ProductKeyNumber), 0);
    manager.ProdBrowserDblClick();
  });
  form.SpeedButton2Click();
}

void InvoiceEntryTest::Type(TProdInv& form, int row, int column, const QString& text) {
  form.StringGrid1->SetCursor(row, column);
  EXPECT_TRUE(form.Lines->Enter(row, column, text)) << row << "," << column << " " << text.toStdString();
}

void InvoiceEntryTest::FillValidInvoice(TProdInv& form) {
  form.ICustNo->setText("C100");
  form.ICustName->setText("Acme Tools");
  Type(form, 1, kColDescription, "Labour");
  Type(form, 1, kColQuantity, "2");
  Type(form, 1, kColPrice, "40.00");
}

}  // namespace test_fixtures
