#include "purchasing/vendor_printouts.h"

#include "forms/report_font.h"
#include "platform/print/print_job.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"

namespace purchasing {

using namespace forms;
using namespace records;

using platform::print::PrintJob;
using platform::print::TCanvas;
using platform::text::ToQString;

namespace {

constexpr int RuleWidth = 3;

// The title, then a rule three pixels wide across the page below it.
void PrintTitle(TCanvas& canvas, SheetWriter& sheet, const std::string& title, int left, int right) {
  sheet.Line(title);
  canvas.Pen.Width = RuleWidth;
  canvas.MoveTo(left, sheet.Y());
  canvas.LineTo(right, sheet.Y());
}

void PrintAddress(SheetWriter& sheet, const char* caption, const std::array<std::string, 4>& lines,
                  const std::string& phone) {
  sheet.Line(std::string(caption));
  for (const std::string& line : lines) sheet.Line(line);
  sheet.Line(phone);
  sheet.Gap();
}

}  // namespace

void PrintVendorCard(const VendorRec& v, const CompanyRec& company, const FontRec& reportFont,
                     const QDateTime& now, platform::print::TPrinter& printer) {
  PrintJob job(printer, "Print: " + ToQString(v.VendorName.Get()));
  TCanvas& canvas = printer.Canvas();
  const platform::print::TFont font = PrinterFontOf(reportFont);
  const int left = LayoutNumber(company.FormLeftMargin.Get()) * 2;
  const int top = LayoutNumber(company.FormTopMargin.Get()) * 4;

  SheetWriter sheet(canvas, left, top);
  canvas.Font = font;
  canvas.Font.Size = font.Size * 2;
  PrintTitle(canvas, sheet, "Vendor: " + v.VendorName.Get(), left, printer.PageWidth() - left);
  canvas.Font = font;
  sheet.Gap();
  sheet.Line("Vendor Number: " + v.VendorNo.Get());
  sheet.Line("Short Name: " + v.ShortName.Get());
  sheet.Line("Type: " + v.VendorType.Get());
  sheet.Gap();
  sheet.Line("PO Terms: " + v.POTerms.Get());
  sheet.Line(std::string(v.TaxExempt.Get() == "Y" ? "Tax Exempt: Yes" : "Tax Exempt: No"));
  sheet.Gap();
  PrintAddress(sheet, "Billing Address:", OrderAddressLines(v), "Phone 1: " + v.Phone1.Get());
  PrintAddress(sheet, "Shipping Address:", ShippingAddressLines(v), "Phone 2: " + v.Phone2.Get());
  sheet.Line("E-mail: " + v.VendEMail.Get());
  sheet.Line("Mail List Sort Code: " + v.MailSortCode.Get());
  sheet.Gap();
  sheet.Line(std::string("Notes / Comments:"));
  for (const QString& line :
       BreakIntoLines(ToQString(v.VendNotes.Get()), canvas, printer.PageWidth() - 2 * left))
    sheet.Line(line);
  sheet.Gap();
  sheet.Line("Printed: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", now));
  sheet.Line("from default company: " + company.CompanyName.Get());
  job.Finish();
}

EnvelopeAddress VendorEnvelopeAddress(const VendorRec& v, const CompanyRec& company) {
  return EnvelopeAddressOf(v.VendorName.Get(), OrderAddressLines(v), ShippingAddressLines(v), company);
}

}  // namespace purchasing
