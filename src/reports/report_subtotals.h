#pragma once
// Sorting a report on one of its text columns, with sub-totals. The sort column becomes the key
// column and changes places with column 0 for good. With sub-totals on, every group of records
// with the same key is followed by a "** Totals" row and a blank row, every month by a
// "Month Total" row when the key is a date ("Year/Mo/Dy" or "Date" in its heading), and each
// group total is offered to the Top 10 accumulator. Every report but a listing ends with a
// blank row and its "Grand Total", sub-totals on or off.
//
// The rows put in are flagged in the table (ReportTable::Inserted), so the next pass takes out
// exactly those. Keys compare in the collation of the user's locale without regard to case
// first, and then exactly, so that the sort keeps the records of one exact key together and
// every such run is one group: "Abc" and "ABC" stand side by side with a "** Totals" row each.
// Records of one exact key follow their other cells, as they stand, in column order. The sort
// rearranges the table's rows in place and copies no cell.
//
// Which columns are summed, and where the labels and sums stand, depends on the report's title:
//
//   titles                                  sums in    label  month rows  Top 10 value
//   Commitment Report, PO Register, Invoice 4, 5, 6    3      yes         column 4
//     Register, Payment Register, Invoice
//     and PO Key Code Inquiry
//   Tax Report                              5, 6       4      yes         column 6
//   Accounts Receivable                     6          5      no          column 6
//   Purchase Detail, Sales Report,          7 (to the  6      yes         column 8
//     Receiving Report                        .001), 8
//   Profit Report                           5 to 8     4      yes         column 8
//   Inventory Report                        5 to 8     4      no          column 5
//   Reorder Report, Overstock Report        8          7      no          column 8
//
// A "Month Total" row holds "(mm/yyyy)" in the column before the label and "Month Total" in the
// label's column. Sums are kept in thousandths, exactly, so the totals agree with their records
// to the cent.

#include <string>

#include "reports/report_table.h"
#include "reports/top10_accumulator.h"

namespace reports {

// The longest key kept in the key column.
inline constexpr std::size_t SortKeyLength = 32;

enum class SortOutcome {
  Sorted,
  TooFewRows,     // nothing to sort: the table is left as it is
  NotATextColumn  // the column lies after the last text column: the table is left as it is
};

// Whether the table can be sorted on sortColumn: Sorted when it can.
SortOutcome SortCheck(const ReportTable& table, int sortColumn);

// Re-sorts the table on sortColumn (a column index) as described above; the accumulator is
// cleared and then offered every group total. Without sub-totals it stays empty.
SortOutcome SortWithSubtotals(ReportTable& table, int sortColumn, const std::string& reportTitle,
                              bool subtotals, Top10Data& top10);

// "<title> by <heading of the key column>", or "<title> by Date" for a "Year/Mo" column.
std::string SortedCaption(const std::string& reportTitle, const ReportTable& table);

}  // namespace reports
