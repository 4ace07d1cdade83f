#include "reports/report_subtotals.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <numeric>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/text/collation.h"
#include "platform/text/decimal_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"

namespace reports {

using platform::text::CaselessCollation;
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

// The value of a run of at most 18 digits (0 for none).
Thousandths DigitsValue(std::string_view digits) {
  Thousandths value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

// A number cell in thousandths, rounded half away from zero; none for a cell that does not read
// as a number.
std::optional<Thousandths> ThousandthsOf(std::string_view cell) {
  std::string_view plain = platform::text::TrimmedBlanks(cell);
  std::string withoutCommas;
  if (plain.find(',') != std::string_view::npos) {
    withoutCommas = platform::text::StripCommas(plain);
    plain = withoutCommas;
  }
  const std::optional<platform::text::DecimalView> number = platform::text::DecimalView::Parse(plain);
  if (!number || number->Whole.size() > LongestWholePart) return std::nullopt;
  const std::string_view fraction = number->Fraction;
  Thousandths magnitude = DigitsValue(number->Whole) * 1000;
  for (std::size_t k = 0, scale = 100; k < 3; ++k, scale /= 10)
    if (k < fraction.size()) magnitude += (fraction[k] - '0') * static_cast<Thousandths>(scale);
  if (fraction.size() > 3 && fraction[3] >= '5') ++magnitude;  // the first dropped digit decides
  return number->Negative ? -magnitude : magnitude;
}

// The same for a trimmed cell of the usual forms "-1,234.5" or ".5" (a sign, digits and thousands
// commas, a point, digits), read in one pass; none for a cell of any other form, which
// ThousandthsOf reads. Commas count for nothing wherever they stand, as ThousandthsOf drops them.
std::optional<Thousandths> PlainThousandths(std::string_view text) {
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const bool negative = !text.empty() && text.front() == '-';
  std::size_t at = negative ? 1 : 0;
  Thousandths whole = 0;
  std::size_t wholeDigits = 0;
  bool anyDigit = false;
  for (; at < text.size() && (isDigit(text[at]) || text[at] == ','); ++at) {
    if (text[at] == ',') continue;
    anyDigit = true;
    if (wholeDigits > 0 || text[at] != '0') ++wholeDigits;
    whole = whole * 10 + (text[at] - '0');
    if (wholeDigits > LongestWholePart) return std::nullopt;
  }
  if (at == text.size() || text[at] != '.') return std::nullopt;
  ++at;
  Thousandths fraction = 0;
  std::size_t fractionDigits = 0;
  bool up = false;
  for (; at < text.size() && (isDigit(text[at]) || text[at] == ','); ++at) {
    if (text[at] == ',') continue;
    anyDigit = true;
    if (fractionDigits < 3) fraction = fraction * 10 + (text[at] - '0');
    if (fractionDigits == 3) up = text[at] >= '5';  // the first dropped digit decides
    ++fractionDigits;
  }
  if (at != text.size() || !anyDigit) return std::nullopt;
  for (std::size_t k = fractionDigits; k < 3; ++k) fraction *= 10;
  const Thousandths magnitude = whole * 1000 + fraction + (up ? 1 : 0);
  return negative ? -magnitude : magnitude;
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

// The distinct keys of a report, numbered from 0 in the order they are first met: a table of
// open addressing, kept at most half full, so that a key is mostly found at its first place. The
// keys' texts are copied side by side, so that comparing with them reads a small block of memory
// rather than places all over the report.
class KeyNumbers {
 public:
  uint32_t Of(std::string_view key) {
    const std::size_t hash = std::hash<std::string_view>()(key);
    std::size_t at = hash & (slots_.size() - 1);
    for (; slots_[at] != 0; at = (at + 1) & (slots_.size() - 1)) {
      const uint32_t number = slots_[at] - 1;
      if (hashes_[number] == hash && Key(number) == key) return number;
    }
    const auto number = static_cast<uint32_t>(hashes_.size());
    hashes_.push_back(hash);
    starts_.push_back(texts_.size());
    texts_ += key;
    slots_[at] = number + 1;
    if (hashes_.size() * 2 > slots_.size()) Grow();
    return number;
  }
  // The keys, valid while the table lives.
  std::vector<std::string_view> Keys() const {
    std::vector<std::string_view> keys;
    keys.reserve(hashes_.size());
    for (uint32_t number = 0; number < hashes_.size(); ++number) keys.push_back(Key(number));
    return keys;
  }

 private:
  std::string_view Key(uint32_t number) const {
    const std::size_t end = number + 1 < starts_.size() ? starts_[number + 1] : texts_.size();
    return std::string_view(texts_).substr(starts_[number], end - starts_[number]);
  }
  void Grow() {
    std::vector<uint32_t> grown(slots_.size() * 2, 0);
    for (uint32_t number = 0; number < hashes_.size(); ++number) {
      std::size_t at = hashes_[number] & (grown.size() - 1);
      while (grown[at] != 0) at = (at + 1) & (grown.size() - 1);
      grown[at] = number + 1;
    }
    slots_ = std::move(grown);
  }

  std::vector<uint32_t> slots_ = std::vector<uint32_t>(1024, 0);  // a key's number + 1; 0 is free
  std::vector<std::size_t> hashes_;
  std::vector<std::size_t> starts_;  // of each key's text in texts_
  std::string texts_;
};

// The places of the report's distinct keys in the sort order: in the collation of the user's
// locale without regard to case first, and then exactly, so that keys that differ only in case
// stand side by side and stay apart.
std::vector<uint32_t> KeyRanks(const CaselessCollation& collation,
                               const std::vector<std::string_view>& keys) {
  const std::vector<uint32_t> places = collation.Places(keys);
  std::vector<uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return places[a] != places[b] ? places[a] < places[b] : keys[a] < keys[b];
  });
  std::vector<uint32_t> ranks(keys.size());
  for (uint32_t place = 0; place < order.size(); ++place) ranks[order[place]] = place;
  return ranks;
}

// Records of one key by their other cells in column order, in the collation without regard to
// case, given by their places among the records given; records that are equal so by the bytes of
// their cells.
class ByOtherCells {
 public:
  ByOtherCells(const ReportTable& table, const std::vector<StoredRow>& records,
               const CaselessCollation& collation)
      : table_(table),
        records_(records),
        collation_(collation),
        width_(std::max(table.ColumnCount() - 1, 0)) {
    if (!collation.ByCapitals()) TakePlaces();
  }
  bool operator()(uint32_t a, uint32_t b) const {
    if (const int byCollation = places_.empty() ? ByCollation(a, b) : ByPlaces(a, b)) return byCollation < 0;
    for (int column = 1; column <= width_; ++column)
      if (const int byBytes = Cell(a, column).compare(Cell(b, column))) return byBytes < 0;
    return false;
  }

 private:
  std::string_view Cell(uint32_t record, int column) const {
    return table_.StoredCell(records_[record], column);
  }
  // Each distinct text of a column is collated once, however many records hold it.
  void TakePlaces() {
    places_.resize(records_.size() * static_cast<std::size_t>(width_));
    std::vector<uint32_t> numberOf(records_.size());
    for (int column = 1; column <= width_; ++column) {
      KeyNumbers numbers;
      for (uint32_t i = 0; i < records_.size(); ++i) numberOf[i] = numbers.Of(Cell(i, column));
      const std::vector<uint32_t> places = collation_.Places(numbers.Keys());
      for (std::size_t i = 0; i < records_.size(); ++i) *Place(i, column) = places[numberOf[i]];
    }
  }
  uint32_t* Place(std::size_t record, int column) {
    return &places_[record * static_cast<std::size_t>(width_) + static_cast<std::size_t>(column - 1)];
  }
  int ByPlaces(uint32_t a, uint32_t b) const {
    const uint32_t* placesA = &places_[a * static_cast<std::size_t>(width_)];
    const uint32_t* placesB = &places_[b * static_cast<std::size_t>(width_)];
    for (int k = 0; k < width_; ++k)
      if (placesA[k] != placesB[k]) return placesA[k] < placesB[k] ? -1 : 1;
    return 0;
  }
  int ByCollation(uint32_t a, uint32_t b) const {
    for (int column = 1; column <= width_; ++column)
      if (const int byCell = collation_.Compare(Cell(a, column), Cell(b, column))) return byCell;
    return 0;
  }

  const ReportTable& table_;
  const std::vector<StoredRow>& records_;
  const CaselessCollation& collation_;
  int width_;                     // the other cells of a record
  std::vector<uint32_t> places_;  // by record and column, where collating once per text pays
};

// The records in their sort order, in runs of one key each: run k holds Records[Starts[k]] up to
// Records[Starts[k + 1]].
struct SortedRuns {
  std::vector<StoredRow> Records;
  std::vector<std::size_t> Starts;
  std::vector<uint32_t> RunOf;  // the run of each record, in the order the records were given
};

// The records in their sort order. Each record's sort key is packed once into one number, the
// rank of its key among the report's distinct keys; the records are counted into their keys'
// places, and the records of one key are then ordered by their other cells. Records equal in
// every cell may come in either order, as nothing tells them apart.
SortedRuns SortedRecords(const ReportTable& table, const std::vector<StoredRow>& records) {
  KeyNumbers numbers;
  std::vector<uint32_t> keyOf(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) keyOf[i] = numbers.Of(table.StoredCell(records[i], 0));
  const CaselessCollation collation;
  const std::vector<uint32_t> ranks = KeyRanks(collation, numbers.Keys());
  const std::size_t keyCount = ranks.size();
  std::vector<std::size_t> groupStart(keyCount + 1, 0);
  for (uint32_t key : keyOf) ++groupStart[ranks[key] + 1];
  std::partial_sum(groupStart.begin(), groupStart.end(), groupStart.begin());
  // The records are read in the order given (the order they are stored, at the first sort) and
  // counted into their keys' places.
  std::vector<uint32_t> ordered(records.size());
  std::vector<std::size_t> next(groupStart.begin(), groupStart.end() - 1);
  for (std::size_t i = 0; i < records.size(); ++i)
    ordered[next[ranks[keyOf[i]]]++] = static_cast<uint32_t>(i);
  const ByOtherCells byOtherCells(table, records, collation);
  for (std::size_t group = 0; group + 1 < groupStart.size(); ++group)
    std::sort(ordered.begin() + static_cast<std::ptrdiff_t>(groupStart[group]),
              ordered.begin() + static_cast<std::ptrdiff_t>(groupStart[group + 1]), std::cref(byOtherCells));
  std::vector<StoredRow> sorted(records.size());
  for (std::size_t i = 0; i < ordered.size(); ++i) sorted[i] = records[ordered[i]];
  for (uint32_t& key : keyOf) key = ranks[key];
  return {std::move(sorted), std::move(groupStart), std::move(keyOf)};
}

// Writes the sorted report with its inserted rows into the table's new order.
class SubtotalWriter {
 public:
  SubtotalWriter(ReportTable& table, const SubtotalLayout* layout, Top10Data& top10, StoredRow heading,
                 std::vector<Thousandths> runSums)
      : table_(table),
        layout_(layout),
        top10_(top10),
        columns_(table.ColumnCount()),
        group_(columns_),
        month_(columns_),
        grand_(columns_),
        runSums_(std::move(runSums)) {
    order_.push_back(heading);
  }

  // The records of one run, in order.
  void Run(std::size_t run, const StoredRow* first, const StoredRow* last) {
    order_.insert(order_.end(), first, last);
    if (!layout_) return;
    const std::size_t at = run * layout_->Summed.size();
    for (std::size_t k = 0; k < layout_->Summed.size(); ++k) {
      const int column = layout_->Summed[k];
      group_.Add(column, runSums_[at + k]);
      month_.Add(column, runSums_[at + k]);
      grand_.Add(column, runSums_[at + k]);
    }
  }

  // The "** Totals" row of the group that ends, a blank row, and the group's Top 10 offer.
  void EndGroup(const std::string& key) {
    if (!layout_) return;
    TotalRow(group_, "", "** Totals");
    top10_.AddTop10(key, static_cast<double>(group_.Of(layout_->Top10Column)) / 1000.0);
    group_.Clear();
  }
  // A blank row is stored once and shown wherever one stands.
  void BlankRow() {
    if (!layout_) return;
    if (!blank_) blank_ = table_.Store(Row(static_cast<std::size_t>(columns_)), true);
    order_.push_back(*blank_);
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
  std::vector<Thousandths> runSums_;
  std::optional<StoredRow> blank_;
};

// The sums of each run's summed cells in thousandths, run by run (a cell that is no number adds
// nothing). The cells are read in the order the records were given, which at the first sort is
// the order they are stored, rather than in the sorted order.
std::vector<Thousandths> RunSums(const ReportTable& table, const SubtotalLayout* layout, StoredRow heading,
                                 const std::vector<StoredRow>& records, const SortedRuns& sorted) {
  if (!layout) return {};
  const std::vector<int>& summed = layout->Summed;
  std::vector<Thousandths> sums(sorted.Starts.size() * summed.size(), 0);
  std::vector<bool> numberColumn(summed.size());
  for (std::size_t k = 0; k < summed.size(); ++k)
    numberColumn[k] = IsNumberHeading(table.StoredCell(heading, summed[k]));
  for (std::size_t i = 0; i < records.size(); ++i)
    for (std::size_t k = 0; k < summed.size(); ++k) {
      if (!numberColumn[k]) continue;
      const std::string_view cell = table.StoredCell(records[i], summed[k]);
      std::optional<Thousandths> value = PlainThousandths(platform::text::TrimmedBlanks(cell));
      if (!value && ReadsAsNumber(cell)) value = ThousandthsOf(cell);
      if (value) sums[std::size_t{sorted.RunOf[i]} * summed.size() + k] += *value;
    }
  return sums;
}

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
  const std::vector<StoredRow> given = RecordsKeyedOn(table, sortColumn);
  const SortedRuns sorted = SortedRecords(table, given);
  const std::vector<StoredRow>& records = sorted.Records;
  const bool dated = IsDateHeading(table.Heading(0));
  const SubtotalLayout* layout = LayoutOf(reportTitle);
  SubtotalWriter writer(table, layout, top10, heading, RunSums(table, layout, heading, given, sorted));
  bool monthsShown = false;
  // Records keep their text while total rows are stored, so a key read here stays valid. The runs
  // have distinct keys, so a key is read once per run.
  std::string_view previousKey = records.empty() ? "" : table.StoredCell(records.front(), 0);
  std::string previousMonth = MonthOf(previousKey);
  for (std::size_t run = 0; run + 1 < sorted.Starts.size(); ++run) {
    const std::string_view key = table.StoredCell(records[sorted.Starts[run]], 0);
    if (subtotals && run > 0) {
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
    writer.Run(run, records.data() + sorted.Starts[run], records.data() + sorted.Starts[run + 1]);
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
