#pragma once
// The fifteen reports of the report wizard, in the wizard's order: title, description, whether
// the report asks for a date range, how its rows are collected and what is said when none are.

#include <array>
#include <string_view>

#include "reports/report_lines.h"

namespace reports {

struct ReportEntry {
  std::string_view Title;
  bool Dated;  // false: the report lists a file's present state and ignores the range
  std::string_view Description;
  // Walks the file and gathers the report's rows.
  ReportOutput (*Collect)(const ReportRequest&);
  std::string_view EmptyMessage;
  std::string_view EmptyCaption;
  bool FocusFromDate;  // the wizard's From date takes the focus after the empty message
};

const std::array<ReportEntry, 15>& ReportCatalog();
// The entry of that exact title; null for none.
const ReportEntry* FindReport(std::string_view title);

}  // namespace reports
