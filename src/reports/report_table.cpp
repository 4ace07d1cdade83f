#include "reports/report_table.h"

#include <cctype>

#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace reports {

using platform::text::PadLeftWith;
using platform::text::PadRightWith;
using platform::text::TrimBlanks;

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

std::string TextOf(const CellValue& value) {
  if (const std::string* text = std::get_if<std::string>(&value)) return *text;
  return platform::text::FloatToStr(std::get<double>(value));
}

}  // namespace

double AmountOf(const std::string& text) {
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
        cells.push_back(TrimBlanks(platform::text::FormatFloat(column.Format, NumberOf(value))));
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
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.find('.') == std::string::npos) return false;
  const std::string title = TrimBlanks(heading);
  if (title == "Product#" || title == "Key Code" || title == "Tax Rate") return false;
  std::size_t at = 0;
  if (at < trimmed.size() && (trimmed[at] == '-' || trimmed[at] == '+')) ++at;
  while (at < trimmed.size() && std::isdigit(static_cast<unsigned char>(trimmed[at]))) ++at;
  return at < trimmed.size() && (trimmed[at] == ',' || trimmed[at] == '.');
}

const std::string& ReportTable::Cell(int row, int column) const {
  static const std::string none;
  if (row < 0 || row >= RowCount() || column < 0) return none;
  const std::vector<std::string>& cells = Rows[static_cast<std::size_t>(row)];
  return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : none;
}

std::string ReportTable::Heading(int column) const {
  return TrimBlanks(Cell(0, column));
}

bool ReportTable::IsNumericCell(int row, int column) const {
  return reports::IsNumericCell(Cell(row, column), Cell(0, column));
}

bool ReportTable::IsInserted(int row) const {
  return row >= 0 && static_cast<std::size_t>(row) < Inserted.size() &&
         Inserted[static_cast<std::size_t>(row)];
}

std::string WidestCellText(const ReportTable& table, int column,
                           const std::function<int(const std::string&)>& width) {
  constexpr std::size_t longestMeasured = 32;
  std::string widest = " ";
  int widestWidth = width(widest);
  for (int row = 0; row < table.RowCount(); ++row) {
    std::string text = TrimBlanks(table.Cell(row, column)).substr(0, longestMeasured);
    const int textWidth = width(text);
    if (textWidth > widestWidth) {
      widest = std::move(text);
      widestWidth = textWidth;
    }
  }
  return widest;
}

std::vector<std::string> ReportTextLines(const ReportTable& table, const std::string& caption,
                                         const std::string& head1, const std::string& head2,
                                         const std::string& head3) {
  std::vector<std::string> lines = {caption, head1, head2, head3, " "};
  for (int row = 0; row < table.RowCount(); ++row) {
    std::string line;
    for (int column = 0; column < table.ColumnCount(); ++column) {
      const std::string& cell = table.Cell(row, column);
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
