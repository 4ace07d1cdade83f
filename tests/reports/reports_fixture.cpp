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
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "reports/report_viewer.h"
#include "reports/report_wizard.h"
#include "storage/isam.h"
#include "support/file_records.h"

using namespace records;

namespace test_fixtures {

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
  EXPECT_TRUE(CreatePOHeaderFile());
  EXPECT_TRUE(CreateProductFile());
}

ReportsTest::~ReportsTest() {
  platform::ui::Application->DestroyForms();
  reports::RptSelect = nullptr;
  reports::rtreport = nullptr;
  for (storage::IsamFileBlock* file :
       {&InvoiceFile, &DetailFile, &PODetailFile, &POHeaderFile, &ProductFile}) {
    if (*file) storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
  storage::IsamShutdown();
  storage::CurrentCompanyNumber = nullptr;
  CurrentCompany = CompanyRec{};
  reports::ReportTitle.clear();
}

void ReportsTest::FileInvoices(const std::vector<InvoiceRec>& invoices) {
  testing_support::FileRecords(invoices, InvoiceFile, OpenInvoiceFile,
                               [](const InvoiceRec& r, storage::IsamRecRef& ref) {
                                 InvoiceBuf = r;
                                 return AddInvoiceRecord(ref);
                               });
}

void ReportsTest::FileLines(const std::vector<DetailRec>& lines) {
  testing_support::FileRecords(lines, DetailFile, OpenDetailFile,
                               [](const DetailRec& r, storage::IsamRecRef& ref) {
                                 DetailBuf = r;
                                 return AddDetailRecord(ref);
                               });
}

void ReportsTest::FilePOLines(const std::vector<PODetailRec>& lines) {
  testing_support::FileRecords(lines, PODetailFile, OpenPODetailFile,
                               [](const PODetailRec& r, storage::IsamRecRef& ref) {
                                 PODetailBuf = r;
                                 return AddPODetailRecord(ref);
                               });
}

void ReportsTest::FilePOHeaders(const std::vector<POHeaderRec>& headers) {
  testing_support::FileRecords(headers, POHeaderFile, OpenPOHeaderFile, AddPOHeaderRecord);
}

void ReportsTest::FileProducts(const std::vector<ProductRec>& products) {
  testing_support::FileRecords(products, ProductFile, OpenProductFile, AddProductRecord);
}

void ReportsTest::FileCustomers(const std::vector<CustomerRec>& customers) {
  testing_support::FileRecords(customers, CustomerFile, OpenCustomerFile, AddCustomerRecord);
}

void ReportsTest::FileVendors(const std::vector<VendorRec>& vendors) {
  testing_support::FileRecords(vendors, VendorFile, OpenVendorFile, AddVendorRecord);
}

void ReportsTest::FileCompany(const std::string& receivables) {
  CurrentCompany.CompanyARBalance.Set(receivables);
  CompanyWorkRec = CurrentCompany;
  ASSERT_TRUE(CreateCompanyFile());
  ASSERT_TRUE(OpenCompanyFile());
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(AddCompanyRecord(ref));
  CloseCompanyFile();
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

POHeaderRec ReportsTest::POHeader(const POFields& f) {
  POHeaderRec r{};
  r.PONumber.Set(f.Number);
  r.POStatus.Set(f.Status);
  r.VendorNo.Set(f.Vendor);
  r.ShortName.Set(f.ShortName);
  r.SortDate.Set(f.Date);
  std::optional<QDate> date = platform::text::ParseSortableDate(f.Date);
  if (date) r.PODate.Set(platform::text::FormatTypedDate(*date, 'M'));
  r.DateRequired.Set(f.Required);
  r.ReceivedDate.Set(f.Received);
  r.EnteredReceived.Set("N");
  r.NetAmount.Set(f.Net);
  r.TaxAmount.Set(f.Tax);
  r.POTotal.Set(f.Total);
  r.KeyCode.Set(f.KeyCode);
  r.POKind.Set("P");
  r.CompanyNumber.Set("1");
  return r;
}

std::vector<POHeaderRec> ReportsTest::MarchPOs() {
  return {
      POHeader({.Number = "5001",
                .Vendor = "V100",
                .ShortName = "ACME",
                .Date = "2026/03/02",
                .Required = "2026/03/20",
                .Net = "100.00",
                .Tax = "8.13",
                .Total = "108.13",
                .KeyCode = "TOOLS"}),
      // Received before it was due: in the registers, never in the commitments.
      POHeader({.Number = "5002",
                .Vendor = "V200",
                .ShortName = "BOLTCO",
                .Date = "2026/03/05",
                .Required = "2026/03/10",
                .Received = "2026/03/09",
                .Net = "46.25",
                .Tax = "3.75",
                .Total = "50.00"}),
      // Ordered in February, due in March.
      POHeader({.Number = "5003",
                .Vendor = "V100",
                .ShortName = "ACME",
                .Date = "2026/02/20",
                .Required = "2026/03/12",
                .Net = "20.00",
                .Total = "20.00",
                .KeyCode = "TOOLS"}),
      // Open and of no value yet.
      POHeader({.Number = "5004",
                .Vendor = "V100",
                .ShortName = "ACME",
                .Date = "2026/03/08",
                .Required = "2026/03/25",
                .KeyCode = "TOOLS"}),
      // Of no value and no longer open.
      POHeader({.Number = "5005",
                .Status = "C",
                .Vendor = "V200",
                .ShortName = "BOLTCO",
                .Date = "2026/03/09",
                .Required = "2026/03/09"}),
      POHeader({.Number = "5006",
                .Status = "R",
                .Vendor = "V300",
                .ShortName = "CORNER",
                .Date = "2026/03/11",
                .Required = "2026/04/02",
                .Net = "30.00",
                .Total = "30.00",
                .KeyCode = "STOCK"}),
      POHeader({.Vendor = "V300",
                .ShortName = "CORNER",
                .Date = "2026/03/03",
                .Required = "2026/03/03",
                .Net = "9.00",
                .Total = "9.00"}),
      POHeader({.Number = "5007",
                .Vendor = "V300",
                .ShortName = "CORNER",
                .Date = "2026/03/15",
                .Required = "2026/04/10",
                .Net = "-1234567.8",
                .Total = "-1234567.8",
                .KeyCode = "RETURNS"}),
      POHeader({.Number = "5008",
                .Vendor = "V200",
                .ShortName = "BOLTCO",
                .Date = "2026/04/01",
                .Required = "2026/03/30",
                .Received = "2026/04/02",
                .Net = "70.00",
                .Total = "70.00"}),
  };
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
  for (const std::vector<std::string>& row : table.Rows()) {
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
