#include "reports/report_columns.h"

#include <algorithm>

namespace reports {

namespace {

int Narrowed(const ColumnNeed& need, int widest) {
  return std::max(need.Least, std::min(need.Whole, widest));
}

int RowWidth(const std::vector<ColumnNeed>& needs, int gap, int widest) {
  int width = 0;
  for (const ColumnNeed& need : needs) width += Narrowed(need, widest) + gap;
  return width;
}

}  // namespace

std::optional<std::vector<ColumnPlace>> FitOnOneLine(const std::vector<ColumnNeed>& needs, int gap,
                                                     int room) {
  if (RowWidth(needs, gap, 0) > room) return std::nullopt;
  // The widest a column may stay: the largest width at which the row still fits.
  int fits = 0, wider = 1;
  for (const ColumnNeed& need : needs) wider = std::max(wider, need.Whole + 1);
  while (wider - fits > 1) {
    const int middle = fits + (wider - fits) / 2;
    (RowWidth(needs, gap, middle) <= room ? fits : wider) = middle;
  }
  std::vector<ColumnPlace> places;
  int x = 0;
  for (const ColumnNeed& need : needs) {
    places.push_back({0, x, Narrowed(need, fits)});
    x += places.back().Width + gap;
  }
  return places;
}

std::vector<ColumnPlace> FlowOverLines(const std::vector<ColumnNeed>& needs, int gap, int room) {
  std::vector<ColumnPlace> places;
  int line = 0, x = 0;
  for (const ColumnNeed& need : needs) {
    const int width = std::max(0, std::min(need.Whole, room - gap));
    if (x > 0 && x + width + gap > room) {
      ++line;
      x = 0;
    }
    places.push_back({line, x, width});
    x += width + gap;
  }
  return places;
}

}  // namespace reports
