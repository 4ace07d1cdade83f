#include "documents/printing_fixture.h"

#include <QRegularExpression>

#include "documents/document_buffer.h"
#include "platform/print/print_test_support.h"
#include "platform/ui/application.h"
#include "records/company_rec.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"

namespace documents::testing_printing {

using records::CurrentCompany;

std::vector<Placed> PlacedTexts(const QStringList& log) {
  static const QRegularExpression textOut(R"re(^TextOut\((-?\d+), (-?\d+), "(.*)"\) font\([^,]*, (\d+),)re");
  std::vector<Placed> texts;
  int page = 0;
  for (const QString& line : log) {
    if (line.startsWith("BeginDoc")) page = 1;
    if (line.startsWith("NewPage")) ++page;
    const QRegularExpressionMatch m = textOut.match(line);
    if (m.hasMatch())
      texts.push_back(
          {page, m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3), m.captured(4).toInt()});
  }
  return texts;
}

Placed Find(const std::vector<Placed>& texts, const QString& text) {
  for (const Placed& placed : texts)
    if (placed.text == text) return placed;
  return {};
}

QStringList TextsOnPage(const std::vector<Placed>& texts, int page) {
  QStringList result;
  for (const Placed& placed : texts)
    if (placed.page == page) result << placed.text;
  return result;
}

int CountOf(const QStringList& log, const QString& prefix) {
  int count = 0;
  for (const QString& line : log) count += line.startsWith(prefix) ? 1 : 0;
  return count;
}

bool HasLine(const QStringList& log, const QString& prefix) {
  return CountOf(log, prefix) > 0;
}

void SetUpPrintingCompany() {
  CurrentCompany = records::CompanyRec{};
  records::CompanyRec& c = CurrentCompany;
  for (records::FontRec* font : c.HeadingFonts()) font->Set("Arial", 20, 0, 0);
  c.BrowserFontName.Set("Courier New");
  c.BrowserFontSize.Set(18);  // the memo text prints two points larger: 20
  c.FormTopMargin.Set("50");
  c.FormLeftMargin.Set("75");
  c.FormLineWidth.Set("2");
  c.CompanyName.Set("Kestrava Hardware");
  c.CompanyAddr1.Set("12 Mill Road");
  c.CompanyAddr2.Set("Springfield");
  c.CompanyContact.Set("555-0100");
  c.InvoiceCaption.Set("INVOICE");
  c.PackingSlipCaption.Set("PACKING SLIP");
  c.FileCopyCaption.Set("FILE COPY");
  c.POCaption.Set("PURCHASE ORDER");
  c.POCopyCaption.Set("PO COPY");
  c.ProductCodeHeader.Set("Item");
  c.QuantityHeader.Set("Qty");
  c.DescriptionHeader.Set("Description");
  c.UnitPriceHeader.Set("Price");
  c.ExtensionHeader.Set("Amount");
  c.TaxName.Set("Tax");
  c.CurrencySymbol.Set("$");
  c.InvoiceShipToCaption.Set("Ship To:");
  c.POShipToCaption.Set("Deliver To:");
  c.InvoiceMemoHeader.Set("Memo");
  c.POMemoHeader.Set("PO Memo");
  c.SalesMessage1.Set("Thank you for your business");
  c.POMessage1.Set("Please confirm this order");
  c.AgingCaption1.Set("Current");
  c.AgingCaption2.Set("Over 30");
  c.AgingCaption3.Set("Over 60");
  c.AgingDays3.Set("90");
  c.DateOrder.Set("M");
}

namespace {

void FillCommonBuffer(int lines) {
  DocHeader = TDocHeader{};
  TDocHeader& h = DocHeader;
  h.BillAddr1 = "1 Main St";
  h.BillAddr2 = "Shelbyville";
  h.ShipAddr1 = "Dock 4";
  h.DocDate = "12/07/2026";
  h.Terms = "Net 30 Days";
  h.Reference = "Order of Monday";
  h.NetAmount = DocMoneyText(10000);
  h.TaxAmount = DocMoneyText(800);
  h.TotalAmount = DocMoneyText(10800);
  h.BodyKind = "P";
  h.PrintedFlag = "N";
  h.TaxRate = "8";
  ClearDocLines();
  for (int k = 1; k <= lines; ++k) {
    const std::string n = std::to_string(k);
    const std::string extension = std::to_string(k * 3 / 2) + (k % 2 ? ".50" : ".00");
    DocLines[k] = DocLineEntry("P" + n, records::LineText(n, "Item " + n, "1.50", "Y", extension));
  }
}

}  // namespace

void FillInvoiceBuffer(int lines) {
  FillCommonBuffer(lines);
  DocHeader.BillName = "Acme Tools";
  DocHeader.AccountNo = "C100";
  DocHeader.DocNumber = "1001";
  DocHeader.PaidAmount = DocMoneyText(800);
  DocHeader.BalanceDue = DocMoneyText(10000);
  DocHeader.DocType = "I";
  DocHeader.PaidDate = "/ ";
  DocHeader.AccountBalance = "1,250.00";
  DocAging = {DocAgingText("1000"), DocAgingText("250"), DocAgingText("0"), DocAgingText("0")};
  DocMode = "INV";
}

void FillPOBuffer(int lines) {
  FillCommonBuffer(lines);
  DocHeader.BillName = "Bolt Supply";
  DocHeader.AccountNo = "V200";
  DocHeader.DocNumber = "5001";
  DocHeader.DocType = "O";
  DocHeader.RequiredDate = "12/21/2026";
  DocHeader.ReceivedDate = "/ ";
  DocPOExtras = {"Ordered by: ______________", "Approved by: ______________", "2026/12/21", " "};
  DocMode = "PO";
}

PrinterTest::PrinterTest(QSize page) {
  auto backend = std::make_unique<platform::print::RecordingPrintBackend>(page);
  recorder_ = backend.get();
  printer_ = std::make_unique<platform::print::TPrinter>(std::move(backend));
  SetUpPrintingCompany();
}

void PrinterTest::TearDown() {
  // The document window holds widgets; it must go while the application object still lives.
  platform::ui::Application->DestroyForms();
}

InvoiceFileScope::InvoiceFileScope() {
  storage::IsamInitialize(0, 30);
  storage::CurrentCompanyNumber = [] { return std::string("12"); };
  EXPECT_TRUE(records::CreateInvoiceFile());
  storage::IsamOpenFileBlock(records::InvoiceFile, "12I", false, false, false, true);
  EXPECT_TRUE(storage::IsamOK) << storage::IsamError;
}

void InvoiceFileScope::Reopen() {
  storage::IsamCloseFileBlock(records::InvoiceFile);
  storage::IsamOpenFileBlock(records::InvoiceFile, "12I", false, false, false, true);
  EXPECT_TRUE(storage::IsamOK) << storage::IsamError;
}

InvoiceFileScope::~InvoiceFileScope() {
  storage::IsamCloseFileBlock(records::InvoiceFile);
  records::InvoiceFile = nullptr;
  storage::IsamShutdown();
  storage::CurrentCompanyNumber = nullptr;
}

storage::IsamRecRef InvoiceFileScope::Add(const char* number, const char* type, const char* printed) {
  records::InvoiceBuf = records::InvoiceRec{};
  records::InvoiceBuf.InvoiceNo.Set(number);
  records::InvoiceBuf.TransactionType.Set(type);
  records::InvoiceBuf.PrintedMark.Set(printed);
  records::InvoiceBuf.SortDate.Set("2026/12/07");
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(records::AddInvoiceRecord(ref)) << storage::IsamError;
  return ref;
}

records::InvoiceRec InvoiceFileScope::Read(storage::IsamRecRef ref) const {
  records::InvoiceRec record{};
  storage::IsamGetRec(records::InvoiceFile, ref, &record, sizeof record);
  EXPECT_TRUE(storage::IsamOK);
  return record;
}

}  // namespace documents::testing_printing
