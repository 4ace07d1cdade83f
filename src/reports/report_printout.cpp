#include "reports/report_printout.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/print/print_job.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"

namespace reports {

using platform::print::TCanvas;
using platform::print::TPrinter;
using platform::text::ToQString;
using platform::text::TrimBlanks;

namespace {

constexpr std::size_t LongestNumberText = 20;
constexpr int RulePenWidth = 3;
constexpr int PageFootRoom = 200;  // a page is full once y has passed page height - 200
constexpr int FootLineRise = 100;  // the foot line stands this far above the page's bottom

// Where the rules of a report's total rows run: from where the column after startAfter begins
// to where the column after endAfter begins (plus an "X" for some reports).
struct RuleSpan {
  int StartAfter;
  int EndAfter;
  bool EndPlusX;
};

std::optional<RuleSpan> RuleSpanOf(const std::string& title) {
  static const std::pair<std::string_view, RuleSpan> spans[] = {
      {"Commitment Report", {3, 6, true}},
      {"PO Register", {3, 6, true}},
      {"Invoice Register", {3, 6, true}},
      {"Payment Register", {3, 6, true}},
      {"Invoice Key Code Inquiry", {3, 6, true}},
      {"PO Key Code Inquiry", {3, 6, true}},
      {"Accounts Receivable", {5, 6, true}},
      {"Purchase Detail", {6, 8, false}},
      {"Sales Report", {6, 8, false}},
      {"Receiving Report", {6, 8, false}},
      {"Tax Report", {4, 6, false}},
      {"Profit Report", {4, 8, false}},
      {"Inventory Report", {4, 8, false}},
      {"Reorder Report", {7, 8, false}},
      {"Overstock Report", {7, 8, false}},
  };
  for (const auto& [name, span] : spans)
    if (name == title) return span;
  return std::nullopt;
}

int MarginOf(const std::string& stored) {
  return platform::text::TryStrToInt(TrimBlanks(stored)).value_or(0);
}

bool CellIsOneOf(const ReportTable& table, int row, int column,
                 std::initializer_list<std::string_view> texts) {
  const std::string cell = TrimBlanks(table.Cell(row, column));
  for (std::string_view text : texts)
    if (cell == text) return true;
  return false;
}

// The heading row and the total rows, which stand between two rules.
bool IsFramedRow(const ReportTable& table, int row) {
  return CellIsOneOf(table, row, 6,
                     {"Balance Due", "Grand Total", "Unit Price", "Tax Amount", "Month Total"}) ||
         CellIsOneOf(table, row, 3, {"Grand Total", "Month Total"}) ||
         CellIsOneOf(table, row, 4, {"Month Total", "Grand Total"}) ||
         CellIsOneOf(table, row, 5, {"Grand Total"}) || CellIsOneOf(table, row, 7, {"Grand Total"}) ||
         CellIsOneOf(table, row, 8, {"Cost Value", "Received", "Net Profit", "Reorder Amt.", "Over Stock"});
}

bool IsSubtotalRow(const ReportTable& table, int row) {
  for (int column = 3; column <= 7; ++column)
    if (table.Cell(row, column).find("**") != std::string::npos) return true;
  return false;
}

class ReportPrinter {
 public:
  ReportPrinter(const ReportPrintout& report, TPrinter& printer)
      : report_(report),
        table_(report.Table),
        printer_(printer),
        canvas_(printer.Canvas()),
        span_(RuleSpanOf(report.Title)),
        left_(MarginOf(records::CurrentCompany.FormLeftMargin.Get())),
        top_(MarginOf(records::CurrentCompany.FormTopMargin.Get())) {}

  void Print() {
    const std::optional<platform::print::TPrinterOrientation> orientation =
        PrintsLandscape(report_.Title) ? std::optional(platform::print::TPrinterOrientation::poLandscape)
                                       : std::nullopt;
    platform::print::PrintJob job(printer_, ToQString(report_.Title), orientation);
    canvas_.Font = report_.Font;
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    Measure();
    y_ = top_;
    PageHeader();
    int records = 0;
    for (int row = 0; row < table_.RowCount(); ++row) {
      PrintRow(row);
      if (row > 0 && !table_.IsInserted(row)) ++records;
      if (y_ > printer_.PageHeight() - PageFootRoom || breakPending_) NextPage();
    }
    FootLine("Report Complete. " + QString::number(records) + " records printed.");
    job.Finish();
  }

 private:
  void Measure() {
    lineHeight_ = canvas_.TextHeight("MXjpy");
    numberSlot_ = canvas_.TextWidth("9,999,999.99");
    gap_ = canvas_.TextWidth("Xx");
    const auto width = [this](const std::string& text) { return canvas_.TextWidth(ToQString(text)); };
    const std::vector<std::string> widest = WidestCellTexts(table_, width);
    for (int column = 0; column < MeasuredColumns; ++column)
      textWidths_[column] = width(widest[static_cast<std::size_t>(column)] + "Xx");
  }

  void PageHeader() {
    const QString caption = ToQString(TrimBlanks(report_.Caption));
    canvas_.TextOut(left_, y_, ToQString(records::CurrentCompany.CompanyName.Get()));
    y_ += lineHeight_;
    canvas_.TextOut(left_, y_, caption);
    canvas_.TextOut(printer_.PageWidth() - 500, y_, "Page " + QString::number(page_));
    y_ += lineHeight_;
    canvas_.TextOut(left_, y_,
                    "Date: " + ToQString(platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM",
                                                                        platform::text::Now())));
    y_ += lineHeight_;
    canvas_.TextOut(left_, y_, ToQString(report_.Selection));
    y_ += 2 * lineHeight_;
  }

  bool LaidOutAsNumber(int row, int column) const {
    return table_.IsNumericCell(row, column) ||
           (column > table_.LastTextColumn && column <= table_.LastNumericColumn);
  }

  // One row's cells from the left margin, its rules, and y moved to the next row.
  void PrintRow(int row) {
    int x = left_;
    for (int column = 0; column < std::min(MeasuredColumns, table_.ColumnCount()); ++column) {
      const std::string text = TrimBlanks(table_.Cell(row, column));
      if (LaidOutAsNumber(row, column)) {
        const QString number = ToQString(text.substr(0, LongestNumberText));
        if (!number.isEmpty()) canvas_.TextOut(x + numberSlot_ - canvas_.TextWidth(number), y_, number);
        x += numberSlot_ + gap_;
      } else {
        if (!text.empty()) canvas_.TextOut(x, y_, ToQString(text));
        x += textWidths_[column];
      }
      NoteRuleSpan(column, x);
    }
    y_ += lineHeight_ + 3;
    if (IsFramedRow(table_, row)) {
      Rule(left_, ruleEnd_, y_ - lineHeight_ - 20);
      Rule(left_, ruleEnd_, y_ - 3);
    }
    if (IsSubtotalRow(table_, row)) {
      Rule(ruleStart_, ruleEnd_, y_ - lineHeight_ - 3);
      breakPending_ = report_.SubtotalPageBreaks;
    }
  }

  void NoteRuleSpan(int column, int xAfter) {
    if (!span_) return;
    if (column == span_->StartAfter) ruleStart_ = xAfter;
    if (column == span_->EndAfter) ruleEnd_ = xAfter + (span_->EndPlusX ? canvas_.TextWidth("X") : 0);
  }

  void Rule(int from, int to, int y) {
    if (!span_) return;
    canvas_.Pen.Width = RulePenWidth;
    canvas_.MoveTo(from, y);
    canvas_.LineTo(to, y);
  }

  void NextPage() {
    breakPending_ = false;
    ++page_;
    FootLine("Continued on page " + QString::number(page_) + " ...");
    printer_.NewPage();
    y_ = top_;
    PageHeader();
    PrintRow(0);
  }

  void FootLine(const QString& text) { canvas_.TextOut(left_, printer_.PageHeight() - FootLineRise, text); }

  const ReportPrintout& report_;
  const ReportTable& table_;
  TPrinter& printer_;
  TCanvas& canvas_;
  std::optional<RuleSpan> span_;
  int left_, top_;
  int lineHeight_ = 0, numberSlot_ = 0, gap_ = 0;
  std::array<int, MeasuredColumns> textWidths_{};
  int ruleStart_ = 0, ruleEnd_ = 0;
  int page_ = 1;
  int y_ = 0;
  bool breakPending_ = false;
};

}  // namespace

bool PrintsLandscape(const std::string& reportTitle) {
  static const std::string_view landscape[] = {"Purchase Detail", "Profit Report", "Overstock Report",
                                               "Reorder Report",  "Sales Report",  "Receiving Report",
                                               "Inventory Report"};
  for (std::string_view title : landscape)
    if (title == reportTitle) return true;
  return false;
}

void PrintReport(const ReportPrintout& report, TPrinter& printer) {
  ReportPrinter(report, printer).Print();
}

}  // namespace reports
