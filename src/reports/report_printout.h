#pragma once
// The report printout: the viewer's grid, in its current order and with the rows the sort put
// in, drawn on the printer in the report font. Every page starts with the company name, the
// window caption with the page number, the date and time of printing and the selection line,
// and, while a posting of the company waits to be undone, the line that says the figures include it;
// a row's cells stand from the company's left margin, text cells in columns as wide as their
// widest text (cut to 32) and number cells right-aligned in slots as wide as "9,999,999.99" or
// their widest figure. The columns fit the printable width: where they would pass its right edge
// the text columns are narrowed first, then the font made smaller, and a row too wide even so
// goes on over a second line; a figure is never cut.
// The heading row and the total rows are framed by two rules, a "** Totals" row has a rule
// above its sums, and a page ends when it is full or, with page breaks asked for, after every
// "** Totals" row; the next page repeats the heading row. The last page ends with the number
// of records printed.
//
// Seven reports print landscape ("Purchase Detail", "Profit Report", "Overstock Report",
// "Reorder Report", "Sales Report", "Receiving Report", "Inventory Report"); the printer's
// orientation is back to what it was when the job is over, however it ends.

#include <string>

#include "platform/print/canvas.h"
#include "platform/print/printer.h"
#include "reports/report_table.h"

namespace reports {

struct ReportPrintout {
  const ReportTable& Table;
  std::string Title;      // the report's title as chosen in the wizard: selects the per-report rules
  std::string Caption;    // the viewer's window caption
  std::string Selection;  // the selection line (the viewer's third heading)
  platform::print::TFont Font;
  bool SubtotalPageBreaks = false;
};

bool PrintsLandscape(const std::string& reportTitle);

// Prints the report as one job titled with the report's title; the company name and margins
// come from the open company.
void PrintReport(const ReportPrintout& report,
                 platform::print::TPrinter& printer = platform::print::Printer());

}  // namespace reports
