#include "reports/report_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <stdexcept>

#include "platform/text/decimal_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace reports {

using platform::text::PadLeftWith;
using platform::text::PadRightWith;
using platform::text::TrimBlanks;
using platform::text::TrimmedBlanks;

namespace {

// A text cell appended to out: the value cut to its column's width, then padded with blanks, or
// trimmed where the column says so (padding and trimming again give the trimmed value).
void AppendTextCell(std::string& out, std::string_view value, const ReportColumn& column, bool trimmed) {
  const auto width = static_cast<std::size_t>(column.Width);
  value = value.substr(0, width);
  if (trimmed || column.Trimmed) {
    out.append(TrimmedBlanks(value));
    return;
  }
  out.append(value);
  out.append(width - value.size(), ' ');
}

double NumberOf(const CellValue& value) {
  if (const double* number = value.Number()) return *number;
  return AmountOf(value.Text());
}

// A number cell appended to out. A value given as text is formatted from its own digits when they
// are exactly what the double read from it would hold (at most 15 digits, no more decimals than
// the pattern shows); that saves reading and writing a double for every amount of a long report,
// and shows the same text. Anything else goes through the double.
void AppendNumberCell(std::string& out, const ReportColumn& column, const CellValue& value) {
  if (!value.Number()) {
    std::string_view plain = TrimmedBlanks(value.Text());
    std::string withoutCommas;
    if (std::find(plain.begin(), plain.end(), ',') != plain.end()) {
      withoutCommas = platform::text::StripCommas(plain);
      plain = withoutCommas;
    }
    const std::optional<platform::text::DecimalView> number = platform::text::DecimalView::Parse(plain);
    if (number && number->Whole.size() + number->Fraction.size() <= 15 &&
        number->Fraction.size() <= column.Pattern.MaxFraction) {
      platform::text::AppendFormattedDecimal(out, column.Pattern, *number);
      return;
    }
  }
  out.append(TrimmedBlanks(platform::text::FormatFloat(column.Format, NumberOf(value))));
}

// A number column of that pattern.
ReportColumn NumberColumn(std::string title, const std::string& format) {
  return {std::move(title),
          ColumnKind::Number,
          NumberColumnWidth,
          format,
          false,
          platform::text::NumberPattern::Of(format)};
}

// The text of a value: a text as it stands, a number written out into `spare`.
std::string_view TextOf(const CellValue& value, std::string& spare) {
  const double* number = value.Number();
  if (!number) return value.Text();
  spare = platform::text::FloatToStr(*number);
  return spare;
}

// Composes a row's cells one after another: begin(k) gives the text that cell k is appended to,
// end(k) closes the cell.
template <class Begin, class End>
void ComposeCells(const std::vector<ReportColumn>& columns, std::span<const CellValue> values, Begin begin,
                  End end) {
  static const CellValue missing{std::string_view()};
  std::string spare;
  bool afterNumbers = false;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const ReportColumn& column = columns[k];
    const CellValue& value = k < values.size() ? values[k] : missing;
    std::string& out = begin(k);
    switch (column.Kind) {
      case ColumnKind::Text:
        AppendTextCell(out, TextOf(value, spare), column, afterNumbers);
        break;
      case ColumnKind::Number:
        afterNumbers = true;
        AppendNumberCell(out, column, value);
        break;
      case ColumnKind::NumberAsText:
        afterNumbers = true;
        out.append(TrimmedBlanks(TextOf(value, spare)));
        break;
    }
    end(k);
  }
}

}  // namespace

double AmountOf(std::string_view text) {
  std::string plain = platform::text::StripCommas(text);
  return plain.empty() ? 0.0 : platform::text::StrToFloat(plain);
}

ReportColumn TextColumn(std::string title, int width, bool trimmed) {
  return {std::move(title), ColumnKind::Text, width, "", trimmed};
}

ReportColumn AmountColumn(std::string title) {
  return NumberColumn(std::move(title), ",0.00");
}

ReportColumn QuantityColumn(std::string title) {
  return NumberColumn(std::move(title), ",0.000");
}

ReportColumn NumberTextColumn(std::string title) {
  return {std::move(title), ColumnKind::NumberAsText, NumberColumnWidth, "", false};
}

std::vector<std::string> ComposeRow(const std::vector<ReportColumn>& columns,
                                    const std::vector<CellValue>& values) {
  std::vector<std::string> cells(columns.size());
  ComposeCells(
      columns, values, [&cells](std::size_t k) -> std::string& { return cells[k]; }, [](std::size_t) {});
  return cells;
}

std::vector<std::string> HeadingRow(const std::vector<ReportColumn>& columns) {
  std::vector<std::string> cells;
  bool afterNumbers = false;
  for (const ReportColumn& column : columns) {
    afterNumbers = afterNumbers || column.Kind != ColumnKind::Text;
    if (column.Kind == ColumnKind::Text && !afterNumbers && !column.Trimmed)
      cells.push_back(PadRightWith(column.Title, ' ', static_cast<std::size_t>(column.Width)));
    else
      cells.push_back(TrimBlanks(column.Title));
  }
  return cells;
}

bool IsNumberHeading(std::string_view heading) {
  const std::string_view title = TrimmedBlanks(heading);
  return title != "Product#" && title != "Key Code" && title != "Tax Rate";
}

bool ReadsAsNumber(std::string_view text) {
  const std::string_view trimmed = TrimmedBlanks(text);
  if (trimmed.find('.') == std::string_view::npos) return false;
  std::size_t at = 0;
  if (at < trimmed.size() && (trimmed[at] == '-' || trimmed[at] == '+')) ++at;
  while (at < trimmed.size() && std::isdigit(static_cast<unsigned char>(trimmed[at]))) ++at;
  return at < trimmed.size() && (trimmed[at] == ',' || trimmed[at] == '.');
}

bool IsNumericCell(std::string_view text, std::string_view heading) {
  return ReadsAsNumber(text) && IsNumberHeading(heading);
}

ReportTable::ReportTable(const std::vector<Row>& rows) {
  for (const Row& row : rows) AddRow(row);
}

std::string ReportTable::Heading(int column) const {
  return TrimBlanks(Cell(0, column));
}

bool ReportTable::IsNumericCell(int row, int column) const {
  return reports::IsNumericCell(Cell(row, column), Cell(0, column));
}

bool ReportTable::IsInserted(int row) const {
  return row >= 0 && row < RowCount() && IsStoredInserted(StoredRowOf(row));
}

std::vector<ReportTable::Row> ReportTable::Rows() const {
  std::vector<Row> rows;
  rows.reserve(order_.size());
  for (int row = 0; row < RowCount(); ++row) {
    Row& cells = rows.emplace_back();
    for (int column = 0; column < columns_; ++column) cells.emplace_back(Cell(row, column));
  }
  return rows;
}

void ReportTable::CellStore::CheckRoomFor(std::size_t rowLength) const {
  if (rowLength > LongestRow) throw std::length_error("report row");
  if (Text.size() + rowLength > std::numeric_limits<uint32_t>::max()) throw std::length_error("report text");
}

std::size_t ReportTable::CellStore::Add(const Row& cells, int columns) {
  std::size_t length = 0;
  for (std::size_t column = 0; column < cells.size() && column < static_cast<std::size_t>(columns); ++column)
    length += cells[column].size();
  CheckRoomFor(length);
  const std::size_t start = Text.size();
  Rows.push_back(static_cast<uint32_t>(start));
  for (int column = 0; column < columns; ++column) {
    const std::string_view cell = static_cast<std::size_t>(column) < cells.size()
                                      ? std::string_view(cells[static_cast<std::size_t>(column)])
                                      : std::string_view();
    Rows.push_back(SpanWord(Text.size() - start, cell.size()));
    Text.Append(cell.data(), cell.size());
  }
  return RowCount(columns) - 1;
}

void ReportTable::AddComposedRow(const std::vector<ReportColumn>& columns,
                                 std::span<const CellValue> values) {
  if (columns_ == 0) columns_ = static_cast<int>(columns.size());
  CellStore& store = records_;
  if (store.RowCount(columns_) >= InsertedRowBit) throw std::length_error("report rows");
  // The row is composed apart and then added to the text whole.
  std::string& text = composing_;
  text.clear();
  const std::size_t first = store.Rows.size();
  store.Rows.push_back(static_cast<uint32_t>(store.Text.size()));
  std::size_t cellStart = 0;
  try {
    ComposeCells(
        columns, values,
        [&](std::size_t) -> std::string& {
          cellStart = text.size();
          return text;
        },
        [&](std::size_t) { store.Rows.push_back(CellStore::SpanWord(cellStart, text.size() - cellStart)); });
    store.CheckRoomFor(text.size());
  } catch (...) {
    // A value that is no number leaves nothing of its row behind.
    store.Rows.resize(first);
    throw;
  }
  // Missing cells are empty, extra ones dropped.
  store.Rows.resize(first + 1 + static_cast<std::size_t>(columns_), CellStore::SpanWord(text.size(), 0));
  store.Text.Append(text.data(), text.size());
  order_.push_back(static_cast<StoredRow>(store.RowCount(columns_) - 1));
}

ReportTable::StoredRow ReportTable::Store(const Row& cells, bool inserted) {
  if (records_.Rows.empty() && inserted_.Rows.empty() && columns_ == 0)
    columns_ = static_cast<int>(cells.size());
  CellStore& store = inserted ? inserted_ : records_;
  if (store.RowCount(columns_) >= InsertedRowBit) throw std::length_error("report rows");
  const auto row = static_cast<StoredRow>(store.Add(cells, columns_));
  return inserted ? row | InsertedRowBit : row;
}

void ReportTable::SwapIntoKey(StoredRow row, int keyColumn, int otherColumn, std::size_t keyLength) {
  uint32_t& key = records_.SpanOf(row, columns_, keyColumn);
  std::swap(key, records_.SpanOf(row, columns_, otherColumn));
  const std::string_view text = records_.Cell(row, columns_, keyColumn);
  const std::string_view trimmed = TrimmedBlanks(text);
  key = CellStore::SpanWord((key >> 16) + static_cast<std::size_t>(trimmed.data() - text.data()),
                            std::min(trimmed.size(), keyLength));
}

std::vector<ReportTable::StoredRow> ReportTable::ShownInStoredOrder() const {
  std::vector<bool> shownRecords(records_.RowCount(columns_)), shownInserted(inserted_.RowCount(columns_));
  for (StoredRow row : order_)
    (IsStoredInserted(row) ? shownInserted : shownRecords)[row & ~InsertedRowBit] = true;
  std::vector<StoredRow> rows;
  rows.reserve(order_.size());
  for (StoredRow row = 0; row < shownRecords.size(); ++row)
    if (shownRecords[row]) rows.push_back(row);
  for (StoredRow row = 0; row < shownInserted.size(); ++row)
    if (shownInserted[row]) rows.push_back(row | InsertedRowBit);
  return rows;
}

void ReportTable::DropInsertedRows() {
  std::erase_if(order_, [](StoredRow row) { return IsStoredInserted(row); });
  CellStore none;
  std::swap(inserted_, none);
}

std::vector<std::string> WidestCellTexts(const ReportTable& table,
                                         const std::function<int(const std::string&)>& width) {
  constexpr std::size_t longestMeasured = 32;
  std::array<int, 256> advance{};
  for (int byte = 0; byte < 256; ++byte)
    advance[static_cast<std::size_t>(byte)] = width(std::string(1, static_cast<char>(byte)));
  const auto weigh = [&advance](std::string_view text) {
    int pixels = 0;
    for (char c : text) pixels += advance[static_cast<unsigned char>(c)];
    return pixels;
  };
  std::vector<std::string_view> widest(MeasuredColumns, " ");
  std::vector<int> widestWidth(MeasuredColumns, weigh(" "));
  const int columns = std::min(MeasuredColumns, table.ColumnCount());
  // The widest text does not depend on the rows' order: the rows are read as they are stored.
  // Every text is weighed: weighing costs no more than first asking whether it could be wider.
  for (ReportTable::StoredRow row : table.ShownInStoredOrder())
    for (int column = 0; column < columns; ++column) {
      const auto at = static_cast<std::size_t>(column);
      const std::string_view text = TrimmedBlanks(table.StoredCell(row, column)).substr(0, longestMeasured);
      const int pixels = weigh(text);
      if (pixels <= widestWidth[at]) continue;
      widest[at] = text;
      widestWidth[at] = pixels;
    }
  return {widest.begin(), widest.end()};
}

std::vector<std::string> ReportTextLines(const ReportTable& table, const std::string& caption,
                                         const std::string& head1, const std::string& head2,
                                         const std::string& head3) {
  std::vector<std::string> lines = {caption, head1, head2, head3, " "};
  for (int row = 0; row < table.RowCount(); ++row) {
    std::string line;
    for (int column = 0; column < table.ColumnCount(); ++column) {
      const std::string_view cell = table.Cell(row, column);
      line += ' ';
      if (table.IsNumericCell(row, column))
        line += PadLeftWith(TrimBlanks(cell), ' ', NumberColumnWidth);
      else if (table.Heading(column) == "Product Description")
        line += PadRightWith(cell, ' ', 32);
      else
        line += PadRightWith(cell, ' ', NumberColumnWidth);
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace reports
