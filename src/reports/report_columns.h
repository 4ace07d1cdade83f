#pragma once
// Where the columns of a printed report stand across the page. Every column is as wide as its
// widest cell at first; when the row is wider than the room between the left margin and the
// right edge of the printable page, the text columns give way first (their long texts are cut,
// never a figure or a heading), down to what a column needs to show every text's first
// characters. What still does not fit goes on over further lines of the row.

#include <optional>
#include <vector>

namespace reports {

// One column measured in the page's font, without the gap that follows it.
struct ColumnNeed {
  int Whole = 0;  // its widest cell, whole
  int Least = 0;  // its figures and its heading whole, its texts cut short
};

// Where a column stands: on which line of the row (from 0), from the left margin, how wide (the
// gap after it not included).
struct ColumnPlace {
  int Line = 0;
  int X = 0;
  int Width = 0;
  bool operator==(const ColumnPlace&) const = default;
};

// The columns side by side in `room`, each followed by `gap`: as wide as their whole cells when
// that fits, else the widest ones narrowed to one common width as little as needed, none below
// its least; nothing when even the least widths do not fit.
std::optional<std::vector<ColumnPlace>> FitOnOneLine(const std::vector<ColumnNeed>& needs, int gap, int room);

// The columns at their whole widths, a new line begun where the next one would pass `room`; a
// single column wider than the room is narrowed to it.
std::vector<ColumnPlace> FlowOverLines(const std::vector<ColumnNeed>& needs, int gap, int room);

}  // namespace reports
