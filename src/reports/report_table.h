#pragma once
// The report table: what a report builder makes of one data file, and what the report viewer
// shows, sorts, sums, prints and saves. Row 0 holds the column headings, each further row one
// record. Cells are Windows-1252 text, cut as from a fixed-column report line:
//   - a text cell is the value padded with blanks to its column's width (trailing blanks kept; a
//     longer value is cut to the width), trimmed only where its column says so;
//   - a number cell is the value formatted with its column's pattern (",0.00", ",0.000", "0"),
//     trimmed. It is never cut: a cut amount would show a wrong figure and drop out of the sums.
// Text columns standing after the number columns are trimmed too (the one-letter type column).

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text/format_float.h"
#include "reports/growing_block.h"

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
  platform::text::NumberPattern Pattern = {};  // Format as read once, for every cell of the column
};

inline constexpr int NumberColumnWidth = 12;

// A text column of width w, and number columns by their patterns.
ReportColumn TextColumn(std::string title, int width, bool trimmed = false);
ReportColumn AmountColumn(std::string title);    // ",0.00"
ReportColumn QuantityColumn(std::string title);  // ",0.000"
ReportColumn NumberTextColumn(std::string title);

// The value of one cell before it is composed: text for text columns, a number (or the text of
// a NumberAsText column) for number columns. Text is held as given: a string is kept, a view (of
// a record being read, say) must outlive the composing of its row.
class CellValue {
 public:
  CellValue(std::string text) : owned_(std::move(text)), kind_(Kind::Owned) {}
  CellValue(std::string_view text) : view_(text) {}
  CellValue(const char* text) : view_(text) {}
  CellValue(double number) : number_(number), kind_(Kind::Number) {}

  // The number given, or none for text.
  const double* Number() const { return kind_ == Kind::Number ? &number_ : nullptr; }
  // The text given (empty for a number).
  std::string_view Text() const { return kind_ == Kind::Owned ? std::string_view(owned_) : view_; }

 private:
  enum class Kind { View, Owned, Number };
  std::string owned_;
  std::string_view view_;
  double number_ = 0;
  Kind kind_ = Kind::View;
};

// An amount or quantity text as a number: commas and blanks removed, empty reads as 0. Raises
// platform::text::ConvertError for a text that is not a number.
double AmountOf(std::string_view text);

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
// The two halves of that: the heading's part, and the text's.
bool IsNumberHeading(std::string_view heading);
bool ReadsAsNumber(std::string_view text);

// The grid of a report with the rules that tell its columns apart.
//
// A report may hold several hundred thousand rows, so the table keeps every cell's text in one
// buffer and each stored row as a short run of places in it (the same number of cells in every row:
// the headings' count; missing cells are empty, extra ones are dropped). The rows are shown in
// the order of a list of stored rows, so a sort rearranges that list and copies no text. All of
// it lives in a few large blocks, which go back to the system when the table is cleared.
class ReportTable {
 public:
  using Row = std::vector<std::string>;

  ReportTable() = default;
  // The table of these rows, row 0 the headings.
  explicit ReportTable(const std::vector<Row>& rows);

  int LastTextColumn = 0;     // columns 0..LastTextColumn are the sortable text columns
  int LastNumericColumn = 0;  // the last summed number column

  // Appends a shown row; the first row added gives the column count.
  void AddRow(const Row& cells) { order_.push_back(Store(cells, false)); }
  // Appends a shown record composed from its values (see ComposeRow) straight into the table's
  // text. The headings must be in the table.
  void AddComposedRow(const std::vector<ReportColumn>& columns, std::span<const CellValue> values);

  int ColumnCount() const { return columns_; }
  int RowCount() const { return static_cast<int>(order_.size()); }
  // The cell, or empty text outside the table.
  std::string_view Cell(int row, int column) const {
    return row < 0 || row >= RowCount() ? std::string_view() : StoredCell(StoredRowOf(row), column);
  }
  std::string Heading(int column) const;
  bool IsNumericCell(int row, int column) const;
  // A row the viewer's sort put in (a sub-total row or a blank row around one); the next sort
  // takes these out again and nothing else, so a record stays even when its first cell is blank.
  bool IsInserted(int row) const;
  // Every shown row's cells, copied.
  std::vector<Row> Rows() const;
  bool operator==(const ReportTable& other) const { return Rows() == other.Rows(); }
  // Empties the table and gives its memory back (a moved-to string would keep its buffer).
  void Clear() {
    ReportTable empty;
    std::swap(*this, empty);
  }

  // For the sort: rows by where they are stored, and a new order of the shown rows.
  using StoredRow = uint32_t;
  StoredRow StoredRowOf(int row) const { return order_[static_cast<std::size_t>(row)]; }
  std::string_view StoredCell(StoredRow row, int column) const {
    if (column < 0 || column >= columns_) return {};
    return (IsStoredInserted(row) ? inserted_ : records_).Cell(row & ~InsertedRowBit, columns_, column);
  }
  static bool IsStoredInserted(StoredRow row) { return (row & InsertedRowBit) != 0; }
  // Stores a row without showing it; rows stored as inserted are kept apart from the records
  // (so storing one never moves a record's text) and are dropped by DropInsertedRows.
  StoredRow Store(const Row& cells, bool inserted);
  // Exchanges two cells of a stored record, then keeps only the key part of the first of them:
  // trimmed of blanks and cut to `keyLength` characters.
  void SwapIntoKey(StoredRow row, int keyColumn, int otherColumn, std::size_t keyLength);
  // Shows the stored rows in this order.
  void ShowInOrder(std::vector<StoredRow> rows) { order_ = std::move(rows); }
  // The shown rows, each once, in the order they are stored (the records first): for a pass over
  // every row that does not depend on their order and reads the table's memory in its order.
  std::vector<StoredRow> ShownInStoredOrder() const;
  // Forgets the inserted rows, shown or not.
  void DropInsertedRows();

 private:
  // Rows of cells: their text in one block, and per row a run of words: where the row's text
  // starts, then one word per cell (`columns` of them) with the cell's place in the row's text
  // (high half) and its length (low half). A row's text is at most 65,535 characters.
  struct CellStore {
    GrowingBlock<char> Text;
    GrowingBlock<uint32_t> Rows;

    static constexpr std::size_t LongestRow = 0xFFFF;
    static uint32_t SpanWord(std::size_t offset, std::size_t length) {
      return static_cast<uint32_t>(offset << 16 | length);
    }
    uint32_t& SpanOf(std::size_t row, int columns, int column) {
      return Rows[row * (static_cast<std::size_t>(columns) + 1) + 1 + static_cast<std::size_t>(column)];
    }
    std::string_view Cell(std::size_t row, int columns, int column) const {
      const uint32_t* words = Rows.data() + row * (static_cast<std::size_t>(columns) + 1);
      const uint32_t span = words[1 + column];
      return std::string_view(Text.data() + words[0] + (span >> 16), span & 0xFFFF);
    }
    std::size_t RowCount(int columns) const {
      return columns == 0 ? 0 : Rows.size() / (static_cast<std::size_t>(columns) + 1);
    }
    // Throws std::length_error when a row of that much text cannot be stored.
    void CheckRoomFor(std::size_t rowLength) const;
    // Adds the row's cells (empty ones for missing cells) and returns its number.
    std::size_t Add(const Row& cells, int columns);
  };

  static constexpr StoredRow InsertedRowBit = 0x80000000u;

  int columns_ = 0;
  CellStore records_;
  CellStore inserted_;
  std::vector<StoredRow> order_;
  std::string composing_;  // the text of the record being composed
};

// The columns the viewer and the printout lay out and measure.
inline constexpr int MeasuredColumns = 9;

// For each of the measured columns, the widest trimmed text of the column over all rows (each cut
// to 32 characters) as `width` measures it in the font of the screen or the page, starting from
// one blank: what the columns are measured by. Widest, not longest: in a proportional font a code
// of capitals is wider than a heading of as many small letters. One pass over the rows: each
// cell is weighed by the widths of its characters, measured once each.
std::vector<std::string> WidestCellTexts(const ReportTable& table,
                                         const std::function<int(const std::string&)>& width);

// The report as a text file: the caption, the three heading lines, one blank, then each row with
// every cell after one blank: numbers right-justified in 12, the "Product Description" column
// padded to 32 and every other cell padded to 12 (longer cells are kept whole).
std::vector<std::string> ReportTextLines(const ReportTable& table, const std::string& caption,
                                         const std::string& head1, const std::string& head2,
                                         const std::string& head3);

}  // namespace reports
