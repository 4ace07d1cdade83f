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

std::string TextCell(const std::string& value, const ReportColumn& column) {
  const auto width = static_cast<std::size_t>(column.Width);
  std::string cell = PadRightWith(std::string_view(value).substr(0, width), ' ', width);
  return column.Trimmed ? TrimBlanks(cell) : cell;
}

double NumberOf(const CellValue& value) {
  if (const double* number = std::get_if<double>(&value)) return *number;
  return AmountOf(std::get<std::string>(value));
}

// The number of decimals a pattern shows: 3 for ",0.000".
std::size_t DecimalsOf(std::string_view format) {
  const std::size_t point = format.find('.');
  return point == std::string_view::npos ? 0 : format.size() - point - 1;
}

// A number cell. A value given as text is formatted from its own digits when they are exactly what
// the double read from it would hold (at most 15 digits, no more decimals than the pattern shows);
// that saves reading and writing a double for every amount of a long report, and shows the same
// text. Anything else goes through the double.
std::string NumberCell(const ReportColumn& column, const CellValue& value) {
  if (const std::string* text = std::get_if<std::string>(&value)) {
    const std::optional<platform::text::DecimalText> number =
        platform::text::DecimalText::Parse(platform::text::StripCommas(*text));
    if (number && number->Whole.size() + number->Fraction.size() <= 15 &&
        number->Fraction.size() <= DecimalsOf(column.Format))
      return TrimBlanks(platform::text::FormatDecimal(column.Format, *number));
  }
  return TrimBlanks(platform::text::FormatFloat(column.Format, NumberOf(value)));
}

std::string TextOf(const CellValue& value) {
  if (const std::string* text = std::get_if<std::string>(&value)) return *text;
  return platform::text::FloatToStr(std::get<double>(value));
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
  return {std::move(title), ColumnKind::Number, NumberColumnWidth, ",0.00", false};
}

ReportColumn QuantityColumn(std::string title) {
  return {std::move(title), ColumnKind::Number, NumberColumnWidth, ",0.000", false};
}

ReportColumn NumberTextColumn(std::string title) {
  return {std::move(title), ColumnKind::NumberAsText, NumberColumnWidth, "", false};
}

std::vector<std::string> ComposeRow(const std::vector<ReportColumn>& columns,
                                    const std::vector<CellValue>& values) {
  static const CellValue missing{std::string()};
  std::vector<std::string> cells;
  cells.reserve(columns.size());
  bool afterNumbers = false;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const ReportColumn& column = columns[k];
    const CellValue& value = k < values.size() ? values[k] : missing;
    switch (column.Kind) {
      case ColumnKind::Text: {
        std::string cell = TextCell(TextOf(value), column);
        cells.push_back(afterNumbers ? TrimBlanks(cell) : cell);
        break;
      }
      case ColumnKind::Number:
        afterNumbers = true;
        cells.push_back(NumberCell(column, value));
        break;
      case ColumnKind::NumberAsText:
        afterNumbers = true;
        cells.push_back(TrimBlanks(TextOf(value)));
        break;
    }
  }
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

bool IsNumericCell(std::string_view text, std::string_view heading) {
  const std::string_view trimmed = TrimmedBlanks(text);
  if (trimmed.find('.') == std::string_view::npos) return false;
  const std::string_view title = TrimmedBlanks(heading);
  if (title == "Product#" || title == "Key Code" || title == "Tax Rate") return false;
  std::size_t at = 0;
  if (at < trimmed.size() && (trimmed[at] == '-' || trimmed[at] == '+')) ++at;
  while (at < trimmed.size() && std::isdigit(static_cast<unsigned char>(trimmed[at]))) ++at;
  return at < trimmed.size() && (trimmed[at] == ',' || trimmed[at] == '.');
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

std::size_t ReportTable::CellStore::Add(const Row& cells, int columns) {
  for (int column = 0; column < columns; ++column) {
    const std::string_view cell = static_cast<std::size_t>(column) < cells.size()
                                      ? std::string_view(cells[static_cast<std::size_t>(column)])
                                      : std::string_view();
    if (Text.size() + cell.size() > std::numeric_limits<uint32_t>::max())
      throw std::length_error("report text");
    Spans.push_back({static_cast<uint32_t>(Text.size()), static_cast<uint32_t>(cell.size())});
    Text += cell;
  }
  return RowCount(columns) - 1;
}

ReportTable::StoredRow ReportTable::Store(const Row& cells, bool inserted) {
  if (records_.Spans.empty() && inserted_.Spans.empty() && columns_ == 0)
    columns_ = static_cast<int>(cells.size());
  CellStore& store = inserted ? inserted_ : records_;
  if (store.RowCount(columns_) >= InsertedRowBit) throw std::length_error("report rows");
  const auto row = static_cast<StoredRow>(store.Add(cells, columns_));
  return inserted ? row | InsertedRowBit : row;
}

void ReportTable::SwapIntoKey(StoredRow row, int keyColumn, int otherColumn, std::size_t keyLength) {
  Span& key = records_.SpanOf(row, columns_, keyColumn);
  std::swap(key, records_.SpanOf(row, columns_, otherColumn));
  const std::string_view text = records_.Cell(row, columns_, keyColumn);
  const std::string_view trimmed = TrimmedBlanks(text);
  key.Start += static_cast<uint32_t>(trimmed.data() - text.data());
  key.Length = static_cast<uint32_t>(std::min(trimmed.size(), keyLength));
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
  for (int row = 0; row < table.RowCount(); ++row)
    for (int column = 0; column < columns; ++column) {
      const std::string_view text = TrimmedBlanks(table.Cell(row, column)).substr(0, longestMeasured);
      const int pixels = weigh(text);
      if (pixels <= widestWidth[static_cast<std::size_t>(column)]) continue;
      widest[static_cast<std::size_t>(column)] = text;
      widestWidth[static_cast<std::size_t>(column)] = pixels;
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
