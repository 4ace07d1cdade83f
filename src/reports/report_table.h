#pragma once
// The report table: what a report builder makes of one data file, and what the report viewer
// shows, sorts, sums, prints and saves. Row 0 holds the column headings, each further row one
// record. Cells are Windows-1252 text, cut as from a fixed-column report line:
//   - a text cell is the value padded with blanks to its column's width (trailing blanks kept; a
//     longer value is cut to the width), trimmed only where its column says so;
//   - a number cell is the value formatted with its column's pattern (",0.00", ",0.000", "0"),
//     trimmed. It is never cut: a cut amount would show a wrong figure and drop out of the sums.
// Text columns standing after the number columns are trimmed too (the one-letter type column).

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace reports {

enum class ColumnKind {
  Text,         // padded to Width
  Number,       // a number formatted with Format
  NumberAsText  // right-aligned text shown as it is, such as "45 Days" or a sortable date
};

struct ReportColumn {
  std::string Title;
  ColumnKind Kind = ColumnKind::Text;
  int Width = 0;         // text columns; number columns take 12 in a report line
  std::string Format;    // number columns
  bool Trimmed = false;  // a text cell kept without its trailing blanks
};

inline constexpr int NumberColumnWidth = 12;

// A text column of width w, and number columns by their patterns.
ReportColumn TextColumn(std::string title, int width, bool trimmed = false);
ReportColumn AmountColumn(std::string title);    // ",0.00"
ReportColumn QuantityColumn(std::string title);  // ",0.000"
ReportColumn NumberTextColumn(std::string title);

// The value of one cell before it is composed: text for text columns, a number (or the text of
// a NumberAsText column) for number columns.
using CellValue = std::variant<std::string, double>;

// An amount or quantity text as a number: commas and blanks removed, empty reads as 0. Raises
// platform::text::ConvertError for a text that is not a number.
double AmountOf(const std::string& text);

// The cells of one record, in column order. A number column given text reads it as an amount
// text (blanks and commas removed; empty reads as 0) and raises platform::text::ConvertError
// when it is not a number.
std::vector<std::string> ComposeRow(const std::vector<ReportColumn>& columns,
                                    const std::vector<CellValue>& values);
// The heading row: each title as a cell of its column (a title longer than its column is kept).
std::vector<std::string> HeadingRow(const std::vector<ReportColumn>& columns);

// A cell holds a number when its trimmed text has a '.', its column's trimmed heading is none of
// "Product#", "Key Code" and "Tax Rate", and reading the text as a whole number (optional sign,
// digits) stops at ',' or '.'. So 1,234.50, -12.00 and 0.000 are numbers; "Min. Quan." and A12.5
// are not.
bool IsNumericCell(std::string_view text, std::string_view heading);

// The grid of a report with the rules that tell its columns apart.
struct ReportTable {
  std::vector<std::vector<std::string>> Rows;  // row 0: headings
  int LastTextColumn = 0;                      // columns 0..LastTextColumn are the sortable text columns
  int LastNumericColumn = 0;                   // the last summed number column
  // Rows the viewer's sort put in (sub-total rows and the blank rows around them), by row; rows
  // past its end are records. The next sort takes these out again and nothing else, so a record
  // stays even when its first cell is blank.
  std::vector<bool> Inserted;

  int ColumnCount() const { return Rows.empty() ? 0 : static_cast<int>(Rows[0].size()); }
  int RowCount() const { return static_cast<int>(Rows.size()); }
  // The cell, or empty text outside the table.
  const std::string& Cell(int row, int column) const;
  std::string Heading(int column) const;
  bool IsNumericCell(int row, int column) const;
  bool IsInserted(int row) const;
};

// The columns the viewer and the printout lay out and measure.
inline constexpr int MeasuredColumns = 9;

// The widest trimmed text of the column over all rows (each cut to 32 characters), as `width`
// measures it in the font of the screen or the page, starting from one blank: what the columns
// are measured by. Widest, not longest: in a proportional font a code of capitals is wider than
// a heading of as many small letters.
std::string WidestCellText(const ReportTable& table, int column,
                           const std::function<int(const std::string&)>& width);

// The report as a text file: the caption, the three heading lines, one blank, then each row with
// every cell after one blank: numbers right-justified in 12, the "Product Description" column
// padded to 32 and every other cell padded to 12 (longer cells are kept whole).
std::vector<std::string> ReportTextLines(const ReportTable& table, const std::string& caption,
                                         const std::string& head1, const std::string& head2,
                                         const std::string& head3);

}  // namespace reports
