#include "reports_fixture.h"

#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "reports/report_viewer.h"
#include "reports/report_wizard.h"
#include "storage/isam.h"

using namespace records;

namespace test_fixtures {

namespace {

// Opens the file, adds every record with its keys, and closes the file again.
template <class Record, class Add>
void FileAll(bool (*open)(), storage::IsamFileBlock& file, const std::vector<Record>& records, Add add) {
  ASSERT_TRUE(open());
  for (const Record& record : records) {
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(add(record, ref));
  }
  storage::IsamCloseFileBlock(file);
  file = nullptr;
}

}  // namespace

ReportsTest::ReportsTest() : clock_(QDateTime(QDate(2026, 3, 15), QTime(14, 7))) {
  testing_support::EnsureGuiApplication();
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  storage::IsamInitialize(0, 30);
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyNumber.Set("1");
  CurrentCompany.CompanyName.Set("Harbour Supplies");
  CurrentCompany.DateOrder.Set("M");
  CurrentCompany.DefaultTaxRate.Set("8.125");
  CurrentCompany.CompanyARBalance.Set("500.00");
  CurrentCompany.AgingCaption1.Set("Current");
  CurrentCompany.AgingCaption2.Set("31-60");
  CurrentCompany.AgingCaption3.Set("61-90");
  InstallCompanyFileNames();
  EXPECT_TRUE(CreateInvoiceFile());
  EXPECT_TRUE(CreateDetailFile());
  EXPECT_TRUE(CreatePODetailFile());
  EXPECT_TRUE(CreateProductFile());
}

ReportsTest::~ReportsTest() {
  platform::ui::Application->DestroyForms();
  reports::RptSelect = nullptr;
  reports::rtreport = nullptr;
  for (storage::IsamFileBlock* file : {&InvoiceFile, &DetailFile, &PODetailFile, &ProductFile}) {
    if (*file) storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
  storage::IsamShutdown();
  storage::CurrentCompanyNumber = nullptr;
  CurrentCompany = CompanyRec{};
  reports::ReportTitle.clear();
}

void ReportsTest::FileInvoices(const std::vector<InvoiceRec>& invoices) {
  FileAll(OpenInvoiceFile, InvoiceFile, invoices, [](const InvoiceRec& r, storage::IsamRecRef& ref) {
    InvoiceBuf = r;
    return AddInvoiceRecord(ref);
  });
}

void ReportsTest::FileLines(const std::vector<DetailRec>& lines) {
  FileAll(OpenDetailFile, DetailFile, lines, [](const DetailRec& r, storage::IsamRecRef& ref) {
    DetailBuf = r;
    return AddDetailRecord(ref);
  });
}

void ReportsTest::FilePOLines(const std::vector<PODetailRec>& lines) {
  FileAll(OpenPODetailFile, PODetailFile, lines, [](const PODetailRec& r, storage::IsamRecRef& ref) {
    PODetailBuf = r;
    return AddPODetailRecord(ref);
  });
}

void ReportsTest::FileProducts(const std::vector<ProductRec>& products) {
  FileAll(OpenProductFile, ProductFile, products, AddProductRecord);
}

void ReportsTest::FileCustomers(const std::vector<CustomerRec>& customers) {
  FileAll(OpenCustomerFile, CustomerFile, customers, AddCustomerRecord);
}

InvoiceRec ReportsTest::Invoice(const InvoiceFields& f) {
  InvoiceRec r{};
  r.InvoiceNo.Set(f.Number);
  r.TransactionType.Set(f.Type);
  r.InvCustomerNo.Set(f.Customer);
  r.ShortName.Set(f.ShortName);
  r.SortDate.Set(f.Date);
  std::optional<QDate> date = platform::text::ParseSortableDate(f.Date);
  if (date) r.InvoiceDate.Set(platform::text::FormatTypedDate(*date, 'M'));
  r.NetAmount.Set(f.Net);
  r.TaxAmount.Set(f.Tax);
  r.InvTotal.Set(f.Total);
  r.InvPaid.Set(f.Paid);
  r.AmountDue.Set(f.Due);
  r.DatePaid.Set(f.DatePaid);
  r.KeyCode.Set(f.KeyCode);
  r.TaxRate.Set(f.TaxRate);
  r.SettledFlag.Set(f.Settled);
  r.CompanyNumber.Set("1");
  return r;
}

DetailRec ReportsTest::Line(const std::string& invoice, const std::string& date, const std::string& product,
                            const std::string& customer, const std::string& shortName,
                            const std::string& quantity, const std::string& description,
                            const std::string& price, const std::string& extension,
                            const std::string& unitCost) {
  DetailRec r{};
  r.LineText.Set(LineText(quantity, description, price, "Y", extension));
  r.SourceFlag.Set("P");
  r.DocumentKind.Set("I");
  r.InvoiceNumber.Set(invoice);
  r.Date.Set(date);
  r.Product.Set(product);
  r.Customer.Set(customer);
  r.ShortName.Set(shortName);
  r.UnitCost.Set(unitCost);
  r.LineKey.Set(LineKeyText(invoice, 1));
  r.LineNumber.Set("01");
  return r;
}

PODetailRec ReportsTest::POLine(const std::string& po, const std::string& date, const std::string& product,
                                const std::string& vendor, const std::string& shortName,
                                const std::string& quantity, const std::string& description,
                                const std::string& price, const std::string& extension) {
  PODetailRec r{};
  r.LineText.Set(LineText(quantity, description, price, "N", extension));
  r.RecordKind.Set("P");
  r.DocumentKind.Set("O");
  r.PONumber.Set(po);
  r.PODate.Set(date);
  r.Product.Set(product);
  r.Vendor.Set(vendor);
  r.ShortName.Set(shortName);
  r.Received.Set("N");
  r.ReceivedDate.Set(" ");
  r.QuantityReceived.Set("0");
  r.ReceiverNumber.Set(" ");
  r.LineKey.Set(LineKeyText(po, 1));
  return r;
}

ProductRec ReportsTest::Product(const std::string& code, const std::string& description,
                                const std::string& onHand, const std::string& min, const std::string& max,
                                const std::string& target) {
  ProductRec p{};
  p.Code.Set(code);
  p.Description.Set(description);
  p.OnHand.Set(onHand);
  p.MinimumQuantity.Set(min);
  p.MaximumQuantity.Set(max);
  p.TargetQuantity.Set(target);
  p.Price.Set("10.00");
  p.Cost.Set("4.00");
  p.PricingMethod.Set("F");
  p.KeyCode.Set("*NONE*");
  return p;
}

reports::ReportRequest ReportsTest::Range(const std::string& from, const std::string& to,
                                          const std::string& filter) {
  return {from, to, filter, platform::text::Now()};
}

Rows Trimmed(const reports::ReportTable& table) {
  Rows rows;
  for (const std::vector<std::string>& row : table.Rows) {
    std::vector<std::string> cells;
    for (const std::string& cell : row) cells.push_back(platform::text::TrimBlanks(cell));
    rows.push_back(cells);
  }
  return rows;
}

double ColumnSum(const reports::ReportTable& table, int column) {
  double sum = 0;
  for (int row = 1; row < table.RowCount(); ++row) sum += reports::AmountOf(table.Cell(row, column));
  return sum;
}

}  // namespace test_fixtures
