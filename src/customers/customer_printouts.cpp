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
  PrintJob job(printer, "Print: " + ToQString(c.CustomerName.Get()));
  TCanvas& canvas = printer.Canvas();
  const platform::print::TFont font = PrinterFontOf(reportFont);
  const int left = LayoutNumber(company.FormLeftMargin.Get()) * 2;
  const int top = LayoutNumber(company.FormTopMargin.Get()) * 4;

  SheetWriter sheet(canvas, left, top);
  canvas.Font = font;
  canvas.Font.Size = font.Size * 2;
  sheet.Line("Customer: " + c.CustomerName.Get());
  canvas.Font = font;
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
  sheet.Line(std::string("Billing Address:"));
  for (const std::string& line : BillingLines(c)) sheet.Line(line);
  sheet.Line("Phone 1: " + c.Phone1.Get());
  sheet.Gap();
  sheet.Line(std::string("Shipping Address:"));
  for (const std::string& line : ShippingLines(c)) sheet.Line(line);
  sheet.Line("Phone 2: " + c.Phone2.Get());
  sheet.Gap();
  sheet.Line(std::string("Notes / Comments:"));
  for (const QString& line :
       BreakIntoLines(ToQString(c.CustNotes.Get()), canvas, printer.PageWidth() - 2 * left))
    sheet.Line(line);
  sheet.Gap();
  sheet.Line("Printed: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", now));
  job.Finish();
}

EnvelopeAddress CustomerEnvelopeAddress(const CustomerRec& c, const CompanyRec& company) {
  return EnvelopeAddressOf(c.CustomerName.Get(), BillingLines(c), ShippingLines(c), company);
}

}  // namespace customers
