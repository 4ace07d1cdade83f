#include "reports/report_subtotals.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/text/decimal_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"

namespace reports {

using platform::text::TrimBlanks;

namespace {

using Row = std::vector<std::string>;
using Thousandths = int64_t;

constexpr const char* AmountFormat = ",0.00";
constexpr const char* QuantityFormat = ",0.000";
// More whole digits than this cannot be summed in thousandths; such a cell adds nothing.
constexpr std::size_t LongestWholePart = 15;

struct SumColumn {
  int Column;
  const char* Format;
};

struct SubtotalLayout {
  std::vector<int> Summed;
  int Label;                     // "** Totals", "Grand Total" and "Month Total"
  std::vector<SumColumn> Shown;  // the sums the total rows show
  bool MonthRows;
  int Top10Column;
};

const SubtotalLayout* LayoutOf(const std::string& title) {
  static const SubtotalLayout registers = {
      {4, 5, 6}, 3, {{4, AmountFormat}, {5, AmountFormat}, {6, AmountFormat}}, true, 4};
  static const SubtotalLayout tax = {{4, 5, 6}, 4, {{5, AmountFormat}, {6, AmountFormat}}, true, 6};
  static const SubtotalLayout receivables = {{4, 5, 6}, 5, {{6, AmountFormat}}, false, 6};
  static const SubtotalLayout documentLines = {{7, 8}, 6, {{7, QuantityFormat}, {8, AmountFormat}}, true, 8};
  static const SubtotalLayout profit = {
      {5, 6, 7, 8}, 4, {{5, AmountFormat}, {6, AmountFormat}, {7, AmountFormat}, {8, AmountFormat}}, true, 8};
  static const SubtotalLayout inventory = {
      {5, 6, 7, 8},
      4,
      {{5, AmountFormat}, {6, AmountFormat}, {7, AmountFormat}, {8, AmountFormat}},
      false,
      5};
  static const SubtotalLayout stockTargets = {{7, 8}, 7, {{8, AmountFormat}}, false, 8};
  static const std::pair<std::string_view, const SubtotalLayout*> titles[] = {
      {"Commitment Report", &registers},
      {"PO Register", &registers},
      {"Invoice Register", &registers},
      {"Payment Register", &registers},
      {"Invoice Key Code Inquiry", &registers},
      {"PO Key Code Inquiry", &registers},
      {"Tax Report", &tax},
      {"Accounts Receivable", &receivables},
      {"Purchase Detail", &documentLines},
      {"Sales Report", &documentLines},
      {"Receiving Report", &documentLines},
      {"Profit Report", &profit},
      {"Inventory Report", &inventory},
      {"Reorder Report", &stockTargets},
      {"Overstock Report", &stockTargets},
  };
  for (const auto& [name, layout] : titles)
    if (name == title) return layout;
  return nullptr;
}

// A number cell in thousandths, rounded half away from zero; none for a cell that does not read
// as a number.
std::optional<Thousandths> ThousandthsOf(const std::string& cell) {
  std::optional<platform::text::DecimalText> number =
      platform::text::DecimalText::Parse(platform::text::StripCommas(cell));
  if (!number || number->Whole.size() > LongestWholePart) return std::nullopt;
  number->Round(3);
  std::string fraction = number->Fraction;
  fraction.resize(3, '0');
  const Thousandths magnitude =
      (number->Whole.empty() ? 0 : std::stoll(number->Whole)) * 1000 + std::stoll(fraction);
  return number->Negative ? -magnitude : magnitude;
}

std::string FormatThousandths(const char* format, Thousandths value) {
  platform::text::DecimalText number;
  number.Negative = value < 0;
  const uint64_t magnitude = value < 0 ? -static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (magnitude >= 1000) number.Whole = std::to_string(magnitude / 1000);
  number.Fraction = std::to_string(1000 + magnitude % 1000).substr(1);
  return platform::text::FormatDecimal(format, number);
}

// "yyyy/mm/dd" gives "mm/yyyy".
std::string MonthOf(const std::string& key) {
  const std::string_view text(key);
  return std::string(text.substr(std::min<std::size_t>(5, text.size()), 2)) + "/" +
         std::string(text.substr(0, 4));
}

bool IsDateHeading(const std::string& heading) {
  return heading.find("Date") != std::string::npos || heading.find("Year/Mo") != std::string::npos;
}

// The sums of one run of records (a group, a month, the report), by column.
class Sums {
 public:
  explicit Sums(int columns) : values_(static_cast<std::size_t>(columns), 0) {}
  void Add(int column, Thousandths value) { values_[static_cast<std::size_t>(column)] += value; }
  Thousandths Of(int column) const {
    return column < static_cast<int>(values_.size()) ? values_[static_cast<std::size_t>(column)] : 0;
  }
  void Clear() { std::fill(values_.begin(), values_.end(), 0); }

 private:
  std::vector<Thousandths> values_;
};

// A record row with the texts it is sorted by.
struct SortRow {
  Row Cells;
  std::vector<std::string> Capitals;  // the cells upper-cased
};

// Case-insensitive cell by cell, key first; records whose keys differ only in case are kept
// apart by their exact keys, so that every exact key stands in one run.
bool SortsBefore(const SortRow& a, const SortRow& b) {
  if (int byCapitals = a.Capitals[0].compare(b.Capitals[0])) return byCapitals < 0;
  if (int exact = a.Cells[0].compare(b.Cells[0])) return exact < 0;
  return std::lexicographical_compare(a.Capitals.begin() + 1, a.Capitals.end(), b.Capitals.begin() + 1,
                                      b.Capitals.end());
}

// The key column moved to the front: column 0 takes the sort column's trimmed text, cut to the
// key length, and the sort column takes column 0's text.
void MoveKeyToFront(Row& row, int sortColumn) {
  if (row.size() <= static_cast<std::size_t>(sortColumn))
    row.resize(static_cast<std::size_t>(sortColumn) + 1);
  std::string key = TrimBlanks(row[static_cast<std::size_t>(sortColumn)]).substr(0, SortKeyLength);
  row[static_cast<std::size_t>(sortColumn)] = row[0];
  row[0] = std::move(key);
}

// Writes the sorted report with its inserted rows.
class SubtotalWriter {
 public:
  SubtotalWriter(const ReportTable& source, const SubtotalLayout* layout, Top10Data& top10)
      : layout_(layout),
        top10_(top10),
        columns_(source.ColumnCount()),
        group_(columns_),
        month_(columns_),
        grand_(columns_) {
    out_.LastTextColumn = source.LastTextColumn;
    out_.LastNumericColumn = source.LastNumericColumn;
  }

  void Heading(Row heading) { Append(std::move(heading), false); }

  void Record(Row record) {
    Append(std::move(record), false);
    if (!layout_) return;
    const int row = out_.RowCount() - 1;
    for (int column : layout_->Summed) {
      if (!out_.IsNumericCell(row, column)) continue;
      if (std::optional<Thousandths> value = ThousandthsOf(out_.Cell(row, column))) {
        group_.Add(column, *value);
        month_.Add(column, *value);
        grand_.Add(column, *value);
      }
    }
  }

  // The "** Totals" row of the group that ends, a blank row, and the group's Top 10 offer.
  void EndGroup(const std::string& key) {
    if (!layout_) return;
    TotalRow(group_, "", "** Totals");
    top10_.AddTop10(key, static_cast<double>(group_.Of(layout_->Top10Column)) / 1000.0);
    group_.Clear();
  }
  void BlankRow() {
    if (layout_) Append(Row(static_cast<std::size_t>(columns_)), true);
  }
  bool HasMonthRows() const { return layout_ && layout_->MonthRows; }
  void MonthRow(const std::string& month) { TotalRow(month_, "(" + month + ")", "Month Total"); }
  void ClearMonth() { month_.Clear(); }
  void GrandTotalRow() {
    if (layout_) TotalRow(grand_, "", "Grand Total");
  }

  ReportTable Finish() { return std::move(out_); }

 private:
  void Append(Row row, bool inserted) {
    out_.Rows.push_back(std::move(row));
    out_.Inserted.push_back(inserted);
  }

  void TotalRow(const Sums& sums, const std::string& before, const std::string& label) {
    Row row(static_cast<std::size_t>(columns_));
    auto put = [&](int column, std::string text) {
      if (column >= 0 && column < columns_) row[static_cast<std::size_t>(column)] = std::move(text);
    };
    put(layout_->Label - 1, before);
    put(layout_->Label, label);
    for (const SumColumn& sum : layout_->Shown)
      put(sum.Column, FormatThousandths(sum.Format, sums.Of(sum.Column)));
    Append(std::move(row), true);
  }

  const SubtotalLayout* layout_;
  Top10Data& top10_;
  int columns_;
  Sums group_, month_, grand_;
  ReportTable out_;
};

}  // namespace

SortOutcome SortWithSubtotals(ReportTable& table, int sortColumn, const std::string& reportTitle,
                              bool subtotals, Top10Data& top10) {
  if (table.RowCount() < 2) return SortOutcome::TooFewRows;
  if (sortColumn < 0 || sortColumn > table.LastTextColumn) return SortOutcome::NotATextColumn;
  top10.ResetTop10();

  Row heading = table.Rows[0];
  MoveKeyToFront(heading, sortColumn);
  std::vector<SortRow> records;
  for (int row = 1; row < table.RowCount(); ++row) {
    if (table.IsInserted(row)) continue;
    SortRow record{std::move(table.Rows[static_cast<std::size_t>(row)]), {}};
    MoveKeyToFront(record.Cells, sortColumn);
    for (const std::string& cell : record.Cells) record.Capitals.push_back(platform::text::UpperCase(cell));
    records.push_back(std::move(record));
  }
  std::stable_sort(records.begin(), records.end(), SortsBefore);

  const bool dated = IsDateHeading(TrimBlanks(heading[0]));
  SubtotalWriter writer(table, LayoutOf(reportTitle), top10);
  writer.Heading(std::move(heading));
  bool monthsShown = false;
  std::string previousKey = records.empty() ? "" : records.front().Cells[0];
  std::string previousMonth = MonthOf(previousKey);
  for (SortRow& record : records) {
    const std::string key = record.Cells[0];
    if (subtotals && key != previousKey) {
      writer.EndGroup(previousKey);
      writer.BlankRow();
      previousKey = key;
      if (dated && MonthOf(key) != previousMonth) {
        if (writer.HasMonthRows()) {
          writer.MonthRow(previousMonth);
          writer.BlankRow();
          monthsShown = true;
        }
        writer.ClearMonth();
        previousMonth = MonthOf(key);
      }
    }
    writer.Record(std::move(record.Cells));
  }
  if (subtotals && !records.empty()) {
    writer.EndGroup(previousKey);
    if (dated && monthsShown) {
      writer.BlankRow();
      writer.MonthRow(previousMonth);
    }
  }
  if (reportTitle.find("Listing") == std::string::npos) {
    writer.BlankRow();
    writer.GrandTotalRow();
  }
  table = writer.Finish();
  return SortOutcome::Sorted;
}

std::string SortedCaption(const std::string& reportTitle, const ReportTable& table) {
  const std::string heading = table.Heading(0);
  return reportTitle + " by " + (heading.find("Year/Mo") != std::string::npos ? "Date" : heading);
}

}  // namespace reports
