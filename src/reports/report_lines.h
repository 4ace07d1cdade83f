#pragma once
// What every report builder shares: the wizard's inputs (date range and filter), the shape of
// one report (columns, sortable columns, caption), the rows gathered while a file is walked, and
// the heading lines of the finished report.

#include <QDateTime>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_table.h"

namespace reports {

// The title of the report being built, as chosen in the wizard (at most 25 characters); it
// selects the per-report rules of the viewer.
extern std::string ReportTitle;

// The inputs of one run: the wizard's From and To texts (valid dates in the program's short
// date format, From not after To), its filter text, and the moment of the run.
struct ReportRequest {
  std::string FromText;
  std::string ToText;
  std::string Filter;
  QDateTime Now;
};

// What differs between the reports' tables.
struct ReportShape {
  std::string Caption;  // the viewer's window caption
  std::vector<ReportColumn> Columns;
  int LastTextColumn = 0;
  int LastNumericColumn = 0;
  int LastSortColumn = 0;   // the sort list offers "2" to this number
  std::string ListingNote;  // the third heading line of a report without a date range
};

// A finished report, as the viewer takes it.
struct ReportOutput {
  std::string Caption;
  std::string Head1;  // company name
  std::string Head2;  // "Date: " and the moment of the run
  std::string Head3;  // the range, the listing note or the filter
  bool Filtered = false;
  std::vector<std::string> SortItems;
  ReportTable Table;
};

// The range of the request as date keys "YYYY/MM/DD". Raises platform::text::ConvertError for a
// text that is no date.
std::string RangeKey(std::string_view dateText);

// The request's range as date keys.
struct DateRange {
  std::string From, To;
  explicit DateRange(const ReportRequest& request)
      : From(RangeKey(request.FromText)), To(RangeKey(request.ToText)) {}
  bool Holds(std::string_view date) const { return date >= From && date <= To; }
};

// The filter as the reports apply it: trimmed, a-z capitalised, at most 20 characters.
std::string FilterWord(std::string_view filter);
bool PassesFilter(const std::string& word, std::initializer_list<std::string_view> fields);

// The value, or the text of a substitute for an empty value (a view of the value or of the
// substitute).
std::string_view OrNone(std::string_view value);  // "*None*"
std::string_view OrZero(std::string_view value);  // "0.00"; else the value trimmed

// Characters from..to (counted from 1) of a line text, trimmed (a view of the line text).
std::string_view LinePart(std::string_view lineText, std::size_t from, std::size_t to);

// An amount text that reads as zero (empty counts as zero).
bool IsZeroAmount(const std::string& amount);

// The shape of the registers and key code inquiries over the invoice and PO files: four text
// columns (given), then "Net Amount", "Tax Amount", "Grand Total" and the one-letter "C".
ReportShape RegisterShape(const std::string& caption, std::vector<ReportColumn> leading);
// A row of those reports: the four leading cells, then the net, tax and grand total amounts and
// the one letter.
std::vector<CellValue> RegisterRow(std::vector<CellValue> leading, const std::string& net,
                                   const std::string& tax, const std::string& total,
                                   const std::string& letter);

// The rows of one report while its file is walked.
class ReportLines {
 public:
  ReportLines(const ReportShape& shape, const ReportRequest& request);

  // Adds the record's row when the filter finds its word in one of the fields.
  void Add(std::span<const CellValue> values, std::initializer_list<std::string_view> filterFields);
  void Add(std::initializer_list<CellValue> values, std::initializer_list<std::string_view> filterFields) {
    Add(std::span(values.begin(), values.size()), filterFields);
  }
  bool Empty() const { return output_.Table.RowCount() < 2; }
  // The report with its heading lines (the open company's name first), ready for the viewer.
  ReportOutput Finish();

 private:
  const ReportShape& shape_;
  const ReportRequest& request_;
  std::string word_;
  ReportOutput output_;
};

}  // namespace reports
