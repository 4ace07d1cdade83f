#include "products/product_report.h"

#include <QRegularExpression>
#include <QStringList>

#include "forms/address_printouts.h"
#include "forms/report_font.h"
#include "platform/print/printer.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"
#include "records/product_file.h"
#include "records/stored_amount.h"
#include "reports/report_walk.h"
#include "storage/isam.h"

namespace products {

using namespace records;
using namespace forms;

using platform::text::PadRightWith;
using platform::text::ToQString;
using platform::text::TrimBlanks;

namespace {

constexpr std::size_t ListLineWidth = 85;
constexpr const char* LongDateTime = "dddd, mmmm d, yyyy, hh:mm AM/PM";

std::string Pad(const std::string& text, std::size_t width) {
  return PadRightWith(text, ' ', width);
}

std::string YesNo(uint8_t flag) {
  return flag ? "Y" : "N";
}

std::string Hyphens() {
  return std::string(80, '-');
}

void AddProductLines(std::vector<std::string>& lines, const ProductRec& p) {
  lines.push_back(Pad(p.Description.Get(), 32) + "    Code: " + Pad(p.Code.Get(), 10) +
                  "    Price: " + Pad(FormatStoredAmount(TrimBlanks(p.Price.Get())), 12));
  lines.push_back("Setup Date: " + Pad(p.SetupDate.Get(), 10) + "      Last Modified: " +
                  Pad(p.ChangedDate.Get(), 10) + "   Taxed: " + YesNo(p.TaxOnInvoice));
  lines.push_back("Location: " + Pad(p.Location.Get(), 20) + "      Key Code: " + Pad(p.KeyCode.Get(), 10) +
                  "   Type: " + p.PricingMethod.Get());
  lines.push_back("Pricing: " + p.PriceUpdateMode.Get() + "  Non-Stock: " + YesNo(p.NonStock) +
                  "  Non-Deplete: " + YesNo(p.NonDepleting) + "  In Stock: " + p.OnHand.Get() + "  Batch# " +
                  p.BatchNumber.Get());
  lines.push_back(Hyphens());
}

}  // namespace

std::vector<std::string> ProductListLines(int keyNr) {
  std::vector<std::string> lines = {
      "Product List for " + CurrentCompany.CompanyName.Get(),
      "Date: " + platform::text::FormatDateTime(LongDateTime, platform::text::Now()),
      Hyphens(),
  };
  reports::ReportFile file(ProductUnit());
  reports::WalkKey<ProductRec>(
      file, keyNr, "", [](const storage::IsamKeyStr&) { return true; },
      [&](const ProductRec& product) {
        if (!TrimBlanks(product.Description.Get()).empty()) AddProductLines(lines, product);
      });
  for (std::string& line : lines) {
    if (line.size() > ListLineWidth) line.resize(ListLineWidth);
  }
  return lines;
}

namespace {

QString PricingMethodName(const std::string& method) {
  if (method == "F") return "fixed price";
  if (method == "M") return "markup from cost";
  if (method == "G") return "margin from cost";
  if (method == "D") return "discount from list";
  return "none";
}

QString YesNoWord(uint8_t flag) {
  return flag ? "Yes" : "No";
}

// The sheet's lines in groups; an empty line is the gap between two groups.
QStringList ProductSheetLines(const ProductRec& p) {
  auto text = [](const auto& field) { return ToQString(TrimBlanks(field.Get())); };
  const QString update = TrimBlanks(p.PriceUpdateMode.Get()) == "M"
                             ? " (manual on batch " + text(p.BatchNumber) + ")"
                             : QString(" (automatic)");
  QStringList lines = {
      "PO Description: " + text(p.PODescription),
      "Invoice Description: " + text(p.Description),
      "",
      "Current Stock Balance: " + text(p.OnHand),
      "Target Stock Quantity: " + text(p.TargetQuantity),
      "Maximum Stock Quantity: " + text(p.MaximumQuantity),
      "Minimum Stock Quantity: " + text(p.MinimumQuantity),
      "",
      "Storage Location: " + text(p.Location),
      "Preferred Vendor: " + text(p.PreferredVendor),
      "Product Weight: " + text(p.Weight),
      "Key Code: " + text(p.KeyCode),
      "",
      "Taxable on PO: " + YesNoWord(p.TaxOnPO),
      "Taxable on Invoice: " + YesNoWord(p.TaxOnInvoice),
      "Non-Stock Item: " + YesNoWord(p.NonStock),
      "Non-Depleting Item: " + YesNoWord(p.NonDepleting),
      "",
      "Sales Price: " + ToQString(FormatStoredAmount(TrimBlanks(p.Price.Get()))),
      "List Price: " + ToQString(FormatStoredAmount(TrimBlanks(p.ListPrice.Get()))),
      "Your Cost: " + ToQString(FormatStoredAmount(TrimBlanks(p.Cost.Get()))),
      "Price Type: " + PricingMethodName(TrimBlanks(p.PricingMethod.Get())) + " (" + text(p.Percentage) + ")",
      "Price Update Method: " + update,
      "",
      "Product Setup Date: " + text(p.SetupDate),
      "Last Modified: " + text(p.ChangedDate),
      "",
      "Notes / Comments:",
  };
  lines << ToQString(p.Notes.Get()).split(QRegularExpression("\r\n|\n|\r"));
  lines << ""
        << "Printed: " + ToQString(platform::text::FormatDateTime(LongDateTime, platform::text::Now()));
  return lines;
}

}  // namespace

void PrintProductSheet(const ProductRec& product) {
  using namespace platform::print;
  const std::string code = TrimBlanks(product.Code.Get());
  Printer().Canvas().Brush.Style = TBrushStyle::bsClear;
  ReportSheet page(Printer(), code, "Product Code: " + code, CurrentCompany, LoadReportFont());
  SheetWriter& sheet = page.Lines();
  sheet.Gap();
  for (const QString& line : ProductSheetLines(product)) {
    if (line.isEmpty())
      sheet.Gap();
    else
      sheet.Line(line);
  }
  page.Finish();
}

}  // namespace products
