#include "invoicing/interest_report.h"

#include "platform/print/print_job.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace invoicing {

using platform::print::TCanvas;
using platform::text::FormatAmount;
using platform::text::ToQString;

namespace {

constexpr int kBottomReserve = 200;  // pixels kept free above the page's bottom
constexpr int kRowGap = 3;

int LayoutNumber(const std::string& text) {
  return platform::text::TryStrToInt(platform::text::TrimBlanks(text)).value_or(0);
}

// The company's editor font, in which the wizard's grid shows the rows.
platform::print::TFont GridFont(const records::CompanyRec& company) {
  platform::print::TFont font;
  const std::string name = platform::text::TrimBlanks(company.EditorFontName.Get());
  if (!name.empty()) font.Name = ToQString(name);
  if (company.EditorFontSize.Get() > 0) font.Size = company.EditorFontSize.Get();
  font.Style = company.EditorFontStyle;
  font.Color = company.EditorFontColor.Get();
  return font;
}

class ReportPage {
 public:
  ReportPage(platform::print::TPrinter& printer, const records::CompanyRec& company)
      : printer_(printer), canvas_(printer.Canvas()) {
    canvas_.Font = GridFont(company);
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    left_ = LayoutNumber(company.FormLeftMargin.Get());
    top_ = LayoutNumber(company.FormTopMargin.Get());
    lineHeight_ = canvas_.TextHeight("MXjpy");
    // Both amount columns are one character wider than the amounts right-aligned in them.
    const int widths[] = {canvas_.TextWidth(QString(32, 'X')), canvas_.TextWidth(QString(10, 'X')),
                          canvas_.TextWidth(QString(11, 'X')), canvas_.TextWidth(QString(11, 'X'))};
    amountWidth_ = canvas_.TextWidth(QString(10, 'X'));
    columns_[0] = left_;
    for (int i = 0; i < 4; ++i) columns_[i + 1] = columns_[i] + widths[i];
  }

  void Head(const QStringList& lines, const QStringList& headers) {
    y_ = top_;
    canvas_.TextOut(left_, y_, lines[0]);
    y_ += lineHeight_;
    canvas_.TextOut(left_, y_, "Interest Charges Report");
    const QString page = "Page " + QString::number(printer_.PageNumber());
    canvas_.TextOut(printer_.PageWidth() - left_ - canvas_.TextWidth(page), y_, page);
    y_ += lineHeight_;
    for (int i = 1; i < lines.size(); ++i) {
      canvas_.TextOut(left_, y_, lines[i]);
      y_ += lineHeight_;
    }
    canvas_.MoveTo(left_, y_ + lineHeight_ / 2);
    canvas_.LineTo(printer_.PageWidth() - left_, y_ + lineHeight_ / 2);
    y_ += lineHeight_;
    Row(headers, false);
  }

  // Room for one more row above the reserve at the bottom.
  bool RowFits() const { return y_ + lineHeight_ <= printer_.PageHeight() - kBottomReserve; }

  void ContinuedOn(int page) {
    canvas_.TextOut(left_, printer_.PageHeight() - kBottomReserve,
                    "Continued on page " + QString::number(page) + " ...");
  }

  // Five cells; with amounts, the third and fourth are right-aligned.
  void Row(const QStringList& cells, bool amounts) {
    for (int i = 0; i < cells.size() && i < 5; ++i) {
      int x = columns_[i];
      if (amounts && (i == 2 || i == 3)) x += amountWidth_ - canvas_.TextWidth(cells[i]);
      canvas_.TextOut(x, y_, cells[i]);
    }
    y_ += lineHeight_ + kRowGap;
  }

  void Line(const QString& text) {
    canvas_.TextOut(left_, y_, text);
    y_ += lineHeight_;
  }

 private:
  platform::print::TPrinter& printer_;
  TCanvas& canvas_;
  int left_ = 0;
  int top_ = 0;
  int lineHeight_ = 0;
  int amountWidth_ = 0;
  int y_ = 0;
  int columns_[5] = {};
};

QString RunLine(const InterestSettings& settings) {
  const QString date = ToQString(settings.Date);
  if (settings.FlatFee)
    return "Created Invoices Dated: " + date + " and charged a flat rate of " + ToQString(settings.Fee) +
           " as fee.";
  return "Created Invoices Dated: " + date + " and charged " + ToQString(settings.Rate) +
         " percent interest.";
}

}  // namespace

void PrintInterestReport(const std::vector<InterestRow>& rows, const InterestSettings& settings,
                         const QString& periodCaption, const records::CompanyRec& company,
                         const QDateTime& now, platform::print::TPrinter& printer) {
  platform::print::PrintJob job(printer, "Interest Charges");
  ReportPage page(printer, company);
  const QStringList head = {
      ToQString(company.CompanyName.Get()),
      ToQString("Date: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", now)),
      RunLine(settings)};
  const QStringList headers = {"Customer Name", "Customer#", periodCaption, "Interest Chg.", "Invoice#"};
  page.Head(head, headers);

  std::vector<QStringList> lines;
  Cents overdue = 0;
  Cents charges = 0;
  for (const InterestRow& row : rows) {
    lines.push_back({ToQString(row.Name), ToQString(row.CustomerNo), ToQString(FormatAmount(row.Overdue)),
                     ToQString(FormatAmount(row.Charge)), ToQString(row.InvoiceNo)});
    overdue += row.Overdue;
    charges += row.Charge;
  }
  lines.push_back({"Totals:", "", ToQString(FormatAmount(overdue)), ToQString(FormatAmount(charges)), ""});
  for (const QStringList& line : lines) {
    if (!page.RowFits()) {
      page.ContinuedOn(printer.PageNumber() + 1);
      printer.NewPage();
      page.Head(head, headers);
    }
    page.Row(line, true);
  }
  page.Line("Report Complete. " + QString::number(rows.size()) + " records printed.");
  job.Finish();
}

}  // namespace invoicing
