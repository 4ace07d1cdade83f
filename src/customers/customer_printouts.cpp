#include "customers/customer_printouts.h"

#include <QStringList>
#include <vector>

#include "customers/customer_texts.h"
#include "forms/address_printouts.h"
#include "forms/report_font.h"
#include "platform/print/print_job.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace customers {

using namespace forms;
using namespace records;

using platform::print::PrintJob;
using platform::print::TCanvas;
using platform::print::TPrinter;
using platform::text::ToQString;

void PrintCustomerSheet(const CustomerRec& c, const CompanyRec& company, const FontRec& reportFont,
                        const QDateTime& now, TPrinter& printer) {
  ReportSheet page(printer, c.CustomerName.Get(), "Customer: " + c.CustomerName.Get(), company, reportFont);
  SheetWriter& sheet = page.Lines();
  sheet.Gap();
  sheet.Line("Customer Number: " + c.CustomerNo.Get());
  sheet.Line("Short Name: " + c.ShortName.Get());
  sheet.Line("Last Payment: " + c.LastPayment.Get());
  sheet.Line("Last Invoice: " + c.LastInvoice.Get());
  sheet.Line("Type: " + c.CustomerType.Get());
  sheet.Line("Credit Limit: " + c.CreditLimit.Get());
  sheet.Line("Payment Terms: " + c.PaymentTerms.Get());
  sheet.Line(std::string(c.TaxExempt.Get() == "Y" ? "Tax Exempt: Yes" : "Tax Exempt: No"));
  sheet.Gap();
  sheet.Line("Account Balance: " + c.CustBalance.Get());
  sheet.Line(company.AgingCaption1.Get() + " " + c.CustAging1.Get());
  sheet.Line(company.AgingCaption2.Get() + " " + c.CustAging2.Get());
  sheet.Line(company.AgingCaption3.Get() + " " + c.CustAging3.Get());
  sheet.Line("Over " + company.AgingDays3.Get() + ": " + c.CustAging4.Get());
  sheet.Gap();
  page.Address("Billing Address:", BillingLines(c), "Phone 1: " + c.Phone1.Get());
  page.Address("Shipping Address:", ShippingLines(c), "Phone 2: " + c.Phone2.Get());
  sheet.Line(std::string("Notes / Comments:"));
  page.Notes(c.CustNotes.Get());
  sheet.Gap();
  sheet.Line("Printed: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", now));
  page.Finish();
}

EnvelopeAddress CustomerEnvelopeAddress(const CustomerRec& c, const CompanyRec& company) {
  return EnvelopeAddressOf(c.CustomerName.Get(), BillingLines(c), ShippingLines(c), company);
}

}  // namespace customers
