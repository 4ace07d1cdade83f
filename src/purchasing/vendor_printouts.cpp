#include "purchasing/vendor_printouts.h"

#include "forms/report_font.h"
#include "platform/text/format_date_time.h"

namespace purchasing {

using namespace forms;
using namespace records;

namespace {

constexpr int RuleWidth = 3;

}  // namespace

void PrintVendorCard(const VendorRec& v, const CompanyRec& company, const FontRec& reportFont,
                     const QDateTime& now, platform::print::TPrinter& printer) {
  ReportSheet card(printer, v.VendorName.Get(), "Vendor: " + v.VendorName.Get(), company, reportFont);
  card.Rule(RuleWidth);
  SheetWriter& sheet = card.Lines();
  sheet.Gap();
  sheet.Line("Vendor Number: " + v.VendorNo.Get());
  sheet.Line("Short Name: " + v.ShortName.Get());
  sheet.Line("Type: " + v.VendorType.Get());
  sheet.Gap();
  sheet.Line("PO Terms: " + v.POTerms.Get());
  sheet.Line(std::string(v.TaxExempt.Get() == "Y" ? "Tax Exempt: Yes" : "Tax Exempt: No"));
  sheet.Gap();
  card.Address("Billing Address:", OrderAddressLines(v), "Phone 1: " + v.Phone1.Get());
  card.Address("Shipping Address:", ShippingAddressLines(v), "Phone 2: " + v.Phone2.Get());
  sheet.Line("E-mail: " + v.VendEMail.Get());
  sheet.Line("Mail List Sort Code: " + v.MailSortCode.Get());
  sheet.Gap();
  sheet.Line(std::string("Notes / Comments:"));
  card.Notes(v.VendNotes.Get());
  sheet.Gap();
  sheet.Line("Printed: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", now));
  sheet.Line("from default company: " + company.CompanyName.Get());
  card.Finish();
}

EnvelopeAddress VendorEnvelopeAddress(const VendorRec& v, const CompanyRec& company) {
  return EnvelopeAddressOf(v.VendorName.Get(), OrderAddressLines(v), ShippingAddressLines(v), company);
}

}  // namespace purchasing
