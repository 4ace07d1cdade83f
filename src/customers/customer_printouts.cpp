#include "customers/customer_printouts.h"

#include <QStringList>
#include <vector>

#include "customers/customer_texts.h"
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

namespace {

// The company's layout numbers are text; one that does not read as a number counts as 0.
int LayoutNumber(const std::string& text) {
  return platform::text::TryStrToInt(platform::text::TrimBlanks(text)).value_or(0);
}

// Writes the sheet line by line down the page; a line is as high as "MXjpy" in the canvas's
// font, and a gap half that.
class SheetWriter {
 public:
  SheetWriter(TCanvas& canvas, int left, int top) : canvas_(canvas), left_(left), y_(top) {}
  void Line(const std::string& text) { Line(ToQString(text)); }
  void Line(const QString& text) {
    canvas_.TextOut(left_, y_, text);
    y_ += LineHeight();
  }
  void Gap() { y_ += LineHeight() / 2; }

 private:
  int LineHeight() const { return canvas_.TextHeight("MXjpy"); }

  TCanvas& canvas_;
  int left_;
  int y_;
};

// The notes as lines that fit in `width`: broken at blanks, and inside a word only when the word
// alone is wider than the line.
QStringList BreakIntoLines(const QString& notes, const TCanvas& canvas, int width) {
  QStringList lines;
  for (const QString& paragraph : QString(notes).replace("\r\n", "\n").split('\n')) {
    QString line;
    for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
      const QString candidate = line.isEmpty() ? word : line + ' ' + word;
      if (line.isEmpty() || canvas.TextWidth(candidate) <= width) {
        line = candidate;
        continue;
      }
      lines << line;
      line = word;
    }
    while (canvas.TextWidth(line) > width && line.size() > 1) {
      qsizetype fit = line.size() - 1;
      while (fit > 1 && canvas.TextWidth(line.left(fit)) > width) --fit;
      lines << line.left(fit);
      line = line.mid(fit);
    }
    if (!line.isEmpty()) lines << line;
  }
  return lines;
}

}  // namespace

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
  const std::array<std::string, 4> lines =
      company.EnvelopeAddressUsed.Get() == "S" ? ShippingLines(c) : BillingLines(c);
  return {c.CustomerName.Get(), lines[0], lines[1], lines[2], lines[3]};
}

void PrintCustomerEnvelope(const EnvelopeAddress& address, const CompanyRec& company, TPrinter& printer) {
  const int h = LayoutNumber(company.EnvelopeLineSpacing.Get());
  const int left = LayoutNumber(company.EnvelopeLeftMargin.Get());
  const int top = LayoutNumber(company.EnvelopeTopMargin.Get());
  const int recipientLeft = LayoutNumber(company.EnvelopeSendAddressLeft.Get());
  const auto orientation = company.EnvelopeOrientation.Get() == "L"
                               ? std::optional(platform::print::TPrinterOrientation::poLandscape)
                               : std::nullopt;
  PrintJob job(printer, "Envelope", orientation);
  TCanvas& canvas = printer.Canvas();
  canvas.Font = PrinterFontOf(company.EnvelopeFont);
  if (company.PrintReturnAddress.Get() == "Y") {
    const std::string sender[] = {company.CompanyName.Get(), company.CompanyAddr1.Get(),
                                  company.CompanyAddr2.Get(), company.CompanyAddr3.Get(),
                                  company.CompanyAddr4.Get()};
    for (int line = 0; line < 5; ++line) canvas.TextOut(left, top + line * h, ToQString(sender[line]));
  }
  for (int line = 0; line < 5; ++line)
    canvas.TextOut(recipientLeft, top + (8 + line) * h, ToQString(address[line]));
  job.Finish();
}

}  // namespace customers
