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
#include "reports/report_columns.h"
#include "storage/posting_journal.h"

namespace reports {

using platform::print::TCanvas;
using platform::print::TPrinter;
using platform::text::ToQString;
using platform::text::TrimBlanks;

namespace {

constexpr std::size_t LongestNumberText = 20;
constexpr std::size_t LongestMeasuredText = 32;  // a text column is as wide as its widest text cut to this
constexpr std::size_t ShortestCutText = 16;      // a narrowed text column still shows this much of each text
constexpr int SmallestFontSize = 7;              // points: the smallest a report is printed at to fit
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

// The widest of the texts offered, weighed by the widths of their characters.
struct WidestText {
  std::string text;
  int weight = -1;
  void Take(std::string_view candidate, const std::array<int, 256>& advance) {
    int pixels = 0;
    for (char c : candidate) pixels += advance[static_cast<unsigned char>(c)];
    if (pixels <= weight) return;
    text = candidate;
    weight = pixels;
  }
};

class ReportPrinter {
 public:
  ReportPrinter(const ReportPrintout& report, TPrinter& printer)
      : report_(report),
        table_(report.Table),
        printer_(printer),
        canvas_(printer.Canvas()),
        span_(RuleSpanOf(report.Title)),
        left_(MarginOf(records::CurrentCompany.FormLeftMargin.Get())),
        top_(MarginOf(records::CurrentCompany.FormTopMargin.Get())),
        figuresNote_(ToQString(storage::WaitingPostingFiguresNote())) {}

  void Print() {
    const std::optional<platform::print::TPrinterOrientation> orientation =
        PrintsLandscape(report_.Title) ? std::optional(platform::print::TPrinterOrientation::poLandscape)
                                       : std::nullopt;
    platform::print::PrintJob job(printer_, ToQString(report_.Title), orientation);
    canvas_.Font = report_.Font;
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    LayOutColumns();
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
  // The columns fitted to the printable width: at the report font, then at smaller ones, each
  // time narrowing the text columns as far as they may go; when none fits, at the report font
  // over two lines or more.
  void LayOutColumns() {
    const int room = printer_.PageWidth() - left_;
    const int smallest = std::min(report_.Font.Size, SmallestFontSize);
    for (int size = report_.Font.Size; size >= smallest; --size) {
      canvas_.Font.Size = size;
      const std::vector<ColumnNeed> needs = Measure();
      if (std::optional<std::vector<ColumnPlace>> fitted = FitOnOneLine(needs, gap_, room)) {
        places_ = std::move(*fitted);
        return;
      }
    }
    canvas_.Font.Size = report_.Font.Size;
    const std::vector<ColumnNeed> needs = Measure();
    places_ = FlowOverLines(needs, gap_, room);
  }

  // What each column needs in the canvas's font: text cells measured cut to 32 characters and,
  // at the least, to 16; headings and figures whole, a figure never narrower than the slot of
  // "9,999,999.99". The widest cells are found by the widths of their characters, then measured
  // whole.
  std::vector<ColumnNeed> Measure() {
    lineHeight_ = canvas_.TextHeight("MXjpy");
    gap_ = canvas_.TextWidth("Xx");
    std::array<int, 256> advance{};
    for (int byte = 0; byte < 256; ++byte)
      advance[static_cast<std::size_t>(byte)] =
          canvas_.TextWidth(ToQString(std::string(1, static_cast<char>(byte))));
    const int columns = Columns();
    std::vector<WidestText> whole(static_cast<std::size_t>(columns)),
        least(static_cast<std::size_t>(columns));
    std::vector<bool> figures(static_cast<std::size_t>(columns), false);
    for (WidestText& w : whole) w.Take(" ", advance);
    for (int row = 0; row < table_.RowCount(); ++row) {
      for (int column = 0; column < columns; ++column) {
        const std::string text = TrimBlanks(table_.Cell(row, column));
        const std::string_view view = text;
        const auto c = static_cast<std::size_t>(column);
        if (LaidOutAsNumber(row, column)) {
          figures[c] = true;
          least[c].Take(view.substr(0, LongestNumberText), advance);
          whole[c].Take(view.substr(0, LongestNumberText), advance);
        } else {
          whole[c].Take(view.substr(0, LongestMeasuredText), advance);
          least[c].Take(row == 0 ? view : view.substr(0, ShortestCutText), advance);
        }
      }
    }
    const int slot = canvas_.TextWidth("9,999,999.99");
    std::vector<ColumnNeed> needs;
    for (int column = 0; column < columns; ++column) {
      const auto c = static_cast<std::size_t>(column);
      const int figure = figures[c] ? slot : 0;
      needs.push_back({std::max(canvas_.TextWidth(ToQString(whole[c].text)), figure),
                       std::max(canvas_.TextWidth(ToQString(least[c].text)), figure)});
    }
    return needs;
  }

  int Columns() const { return std::min(MeasuredColumns, table_.ColumnCount()); }

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
    y_ += lineHeight_;
    if (!figuresNote_.isEmpty()) {
      canvas_.TextOut(left_, y_, figuresNote_);
      y_ += lineHeight_;
    }
    y_ += lineHeight_;
  }

  bool LaidOutAsNumber(int row, int column) const {
    return table_.IsNumericCell(row, column) ||
           (column > table_.LastTextColumn && column <= table_.LastNumericColumn);
  }

  // One row's cells in their columns from the left margin, its rules, and y moved past it.
  void PrintRow(int row) {
    for (int column = 0; column < Columns(); ++column) {
      const ColumnPlace& place = places_[static_cast<std::size_t>(column)];
      const int x = left_ + place.X, y = y_ + place.Line * lineHeight_;
      const std::string text = TrimBlanks(table_.Cell(row, column));
      if (LaidOutAsNumber(row, column)) {
        const QString number = ToQString(text.substr(0, LongestNumberText));
        if (!number.isEmpty()) canvas_.TextOut(x + place.Width - canvas_.TextWidth(number), y, number);
      } else if (!text.empty()) {
        canvas_.TextOut(x, y, CutToWidth(ToQString(text), place.Width));
      }
    }
    const int top = y_;
    y_ += Lines() * lineHeight_ + 3;
    if (IsFramedRow(table_, row)) {
      Rule(left_, FrameEnd(), top - 17);
      Rule(left_, FrameEnd(), y_ - 3);
    }
    if (IsSubtotalRow(table_, row)) {
      SubtotalRules(top);
      breakPending_ = report_.SubtotalPageBreaks;
    }
  }

  // A text cut where it would pass its column; it may reach into half the gap, so that a text
  // the characters' widths measured a little narrower than it prints stays whole.
  QString CutToWidth(QString text, int width) const {
    while (text.size() > 1 && canvas_.TextWidth(text) > width + gap_ / 2) text.chop(1);
    return text;
  }

  int Lines() const { return places_.empty() ? 1 : places_.back().Line + 1; }

  // Where the column after `column` would begin: its right edge and the gap.
  int After(int column) const {
    const ColumnPlace& place = places_[static_cast<std::size_t>(column)];
    return left_ + place.X + place.Width + gap_;
  }

  // The heading and total rows are framed from the left margin to the end of the rule span, on
  // every line of the row.
  int FrameEnd() const {
    if (!span_) return left_;
    int end = left_;
    for (int column = 0; column <= std::min(span_->EndAfter, Columns() - 1); ++column)
      end = std::max(end, After(column));
    return end + (span_->EndPlusX ? canvas_.TextWidth("X") : 0);
  }

  // Over the sums of a sub-total row: the span's columns, line by line.
  void SubtotalRules(int top) {
    if (!span_) return;
    const int last = std::min(span_->EndAfter, Columns() - 1);
    for (int first = span_->StartAfter + 1; first <= last;) {
      const int line = places_[static_cast<std::size_t>(first)].Line;
      int end = first;
      while (end + 1 <= last && places_[static_cast<std::size_t>(end + 1)].Line == line) ++end;
      const int plusX = end == span_->EndAfter && span_->EndPlusX ? canvas_.TextWidth("X") : 0;
      Rule(left_ + places_[static_cast<std::size_t>(first)].X, After(end) + plusX, top + line * lineHeight_);
      first = end + 1;
    }
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
  // While a posting waits to be undone, every page says that its figures include it.
  QString figuresNote_;
  int lineHeight_ = 0, gap_ = 0;
  std::vector<ColumnPlace> places_;
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
