#include "reports/report_subtotals.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/text/decimal_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"

namespace reports {

using platform::text::TrimBlanks;

namespace {

using Row = ReportTable::Row;
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
std::optional<Thousandths> ThousandthsOf(std::string_view cell) {
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
std::string MonthOf(std::string_view text) {
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

using StoredRow = ReportTable::StoredRow;

// Records of one key by their other cells, as they stand, in column order.
class ByOtherCells {
 public:
  explicit ByOtherCells(const ReportTable& table) : table_(table) {}
  bool operator()(StoredRow a, StoredRow b) const {
    for (int column = 1; column < table_.ColumnCount(); ++column)
      if (int byCell = table_.StoredCell(a, column).compare(table_.StoredCell(b, column))) return byCell < 0;
    return false;
  }

 private:
  const ReportTable& table_;
};

// The places of the report's distinct keys in the sort order: keys compare without regard to case
// first (upper-cased) and then exactly, so that keys that differ only in case stay apart.
std::vector<uint32_t> KeyRanks(const std::vector<std::string_view>& keys) {
  std::vector<std::string> packed;
  packed.reserve(keys.size());
  for (std::string_view key : keys) {
    std::string& text = packed.emplace_back();
    for (char c : key) text += platform::text::UpperChar(c);
    text += '\0';
    text += key;
  }
  std::vector<uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return packed[a] < packed[b]; });
  std::vector<uint32_t> ranks(keys.size());
  for (uint32_t place = 0; place < order.size(); ++place) ranks[order[place]] = place;
  return ranks;
}

// The records in their sort order. Each record's sort key is packed once into one number, the
// rank of its key among the report's distinct keys; the records are counted into their keys'
// places, and the records of one key are then ordered by their other cells. Records equal in
// every cell may come in either order, as nothing tells them apart.
std::vector<StoredRow> SortedRecords(const ReportTable& table, const std::vector<StoredRow>& records) {
  std::unordered_map<std::string_view, uint32_t> numbers;
  std::vector<std::string_view> keys;
  std::vector<uint32_t> keyOf(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto [found, added] = numbers.try_emplace(table.StoredCell(records[i], 0), keys.size());
    if (added) keys.push_back(found->first);
    keyOf[i] = found->second;
  }
  numbers = {};
  const std::vector<uint32_t> ranks = KeyRanks(keys);
  std::vector<std::size_t> groupStart(keys.size() + 1, 0);
  for (uint32_t key : keyOf) ++groupStart[ranks[key] + 1];
  std::partial_sum(groupStart.begin(), groupStart.end(), groupStart.begin());
  std::vector<StoredRow> sorted(records.size());
  std::vector<std::size_t> next(groupStart.begin(), groupStart.end() - 1);
  for (std::size_t i = 0; i < records.size(); ++i) sorted[next[ranks[keyOf[i]]]++] = records[i];
  for (std::size_t group = 0; group + 1 < groupStart.size(); ++group)
    std::sort(sorted.begin() + static_cast<std::ptrdiff_t>(groupStart[group]),
              sorted.begin() + static_cast<std::ptrdiff_t>(groupStart[group + 1]), ByOtherCells(table));
  return sorted;
}

// Writes the sorted report with its inserted rows into the table's new order.
class SubtotalWriter {
 public:
  SubtotalWriter(ReportTable& table, const SubtotalLayout* layout, Top10Data& top10)
      : table_(table),
        layout_(layout),
        top10_(top10),
        columns_(table.ColumnCount()),
        group_(columns_),
        month_(columns_),
        grand_(columns_) {}

  void Heading(StoredRow heading) { order_.push_back(heading); }

  void Record(StoredRow record) {
    order_.push_back(record);
    if (!layout_) return;
    for (int column : layout_->Summed) {
      const std::string_view cell = table_.StoredCell(record, column);
      if (!IsNumericCell(cell, table_.StoredCell(order_.front(), column))) continue;
      if (std::optional<Thousandths> value = ThousandthsOf(cell)) {
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
    if (layout_) Insert(Row(static_cast<std::size_t>(columns_)));
  }
  bool HasMonthRows() const { return layout_ && layout_->MonthRows; }
  void MonthRow(const std::string& month) { TotalRow(month_, "(" + month + ")", "Month Total"); }
  void ClearMonth() { month_.Clear(); }
  void GrandTotalRow() {
    if (layout_) TotalRow(grand_, "", "Grand Total");
  }

  void Finish() { table_.ShowInOrder(std::move(order_)); }

 private:
  void Insert(const Row& row) { order_.push_back(table_.Store(row, true)); }

  void TotalRow(const Sums& sums, const std::string& before, const std::string& label) {
    Row row(static_cast<std::size_t>(columns_));
    auto put = [&](int column, std::string text) {
      if (column >= 0 && column < columns_) row[static_cast<std::size_t>(column)] = std::move(text);
    };
    put(layout_->Label - 1, before);
    put(layout_->Label, label);
    for (const SumColumn& sum : layout_->Shown)
      put(sum.Column, FormatThousandths(sum.Format, sums.Of(sum.Column)));
    Insert(row);
  }

  ReportTable& table_;
  const SubtotalLayout* layout_;
  Top10Data& top10_;
  int columns_;
  Sums group_, month_, grand_;
  std::vector<StoredRow> order_;
};

// The records of the table with the key column moved to the front: column 0 takes the sort
// column's trimmed text, cut to the key length, and the sort column takes column 0's text.
std::vector<StoredRow> RecordsKeyedOn(ReportTable& table, int sortColumn) {
  table.DropInsertedRows();
  std::vector<StoredRow> records;
  records.reserve(static_cast<std::size_t>(table.RowCount()));
  for (int row = 0; row < table.RowCount(); ++row) {
    const StoredRow stored = table.StoredRowOf(row);
    table.SwapIntoKey(stored, 0, sortColumn, SortKeyLength);
    if (row > 0) records.push_back(stored);
  }
  return records;
}

}  // namespace

SortOutcome SortCheck(const ReportTable& table, int sortColumn) {
  if (table.RowCount() < 2) return SortOutcome::TooFewRows;
  if (sortColumn < 0 || sortColumn > table.LastTextColumn) return SortOutcome::NotATextColumn;
  return SortOutcome::Sorted;
}

SortOutcome SortWithSubtotals(ReportTable& table, int sortColumn, const std::string& reportTitle,
                              bool subtotals, Top10Data& top10) {
  if (const SortOutcome check = SortCheck(table, sortColumn); check != SortOutcome::Sorted) return check;
  top10.ResetTop10();

  const StoredRow heading = table.StoredRowOf(0);
  const std::vector<StoredRow> records = SortedRecords(table, RecordsKeyedOn(table, sortColumn));
  const bool dated = IsDateHeading(table.Heading(0));
  SubtotalWriter writer(table, LayoutOf(reportTitle), top10);
  writer.Heading(heading);
  bool monthsShown = false;
  // Records keep their text while total rows are stored, so a key read here stays valid.
  std::string_view previousKey = records.empty() ? "" : table.StoredCell(records.front(), 0);
  std::string previousMonth = MonthOf(previousKey);
  for (StoredRow record : records) {
    const std::string_view key = table.StoredCell(record, 0);
    if (subtotals && key != previousKey) {
      writer.EndGroup(std::string(previousKey));
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
    writer.Record(record);
  }
  if (subtotals && !records.empty()) {
    writer.EndGroup(std::string(previousKey));
    if (dated && monthsShown) {
      writer.BlankRow();
      writer.MonthRow(previousMonth);
    }
  }
  if (reportTitle.find("Listing") == std::string::npos) {
    writer.BlankRow();
    writer.GrandTotalRow();
  }
  writer.Finish();
  return SortOutcome::Sorted;
}

std::string SortedCaption(const std::string& reportTitle, const ReportTable& table) {
  const std::string heading = table.Heading(0);
  return reportTitle + " by " + (heading.find("Year/Mo") != std::string::npos ? "Date" : heading);
}

}  // namespace reports
