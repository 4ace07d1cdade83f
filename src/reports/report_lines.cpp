#include "reports/report_lines.h"

#include "platform/text/date_text.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"

namespace reports {

using platform::text::TrimBlanks;

std::string ReportTitle;

namespace {

constexpr std::size_t FilterLength = 20;
constexpr std::size_t FilterNoteLength = 55;

std::string Capitals(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

}  // namespace

std::string RangeKey(std::string_view dateText) {
  std::optional<QDate> date = platform::text::TryStrToDate(dateText);
  if (!date) throw platform::text::ConvertError("'" + std::string(dateText) + "' is not a valid date");
  return platform::text::SortableDate(*date);
}

std::string FilterWord(std::string_view filter) {
  return Capitals(TrimBlanks(filter)).substr(0, FilterLength);
}

bool PassesFilter(const std::string& word, std::initializer_list<std::string_view> fields) {
  if (word.empty()) return true;
  for (std::string_view field : fields)
    if (Capitals(field).find(word) != std::string::npos) return true;
  return false;
}

std::string_view OrNone(std::string_view value) {
  return platform::text::TrimmedBlanks(value).empty() ? "*None*" : value;
}

std::string_view OrZero(std::string_view value) {
  const std::string_view trimmed = platform::text::TrimmedBlanks(value);
  return trimmed.empty() ? "0.00" : trimmed;
}

std::string_view LinePart(std::string_view lineText, std::size_t from, std::size_t to) {
  if (from < 1 || from > lineText.size()) return {};
  return platform::text::TrimmedBlanks(lineText.substr(from - 1, to - from + 1));
}

bool IsZeroAmount(const std::string& amount) {
  return AmountOf(amount) == 0.0;
}

ReportShape RegisterShape(const std::string& caption, std::vector<ReportColumn> leading) {
  leading.insert(leading.end(), {AmountColumn("Net Amount"), AmountColumn("Tax Amount"),
                                 AmountColumn("Grand Total"), TextColumn("C", 1)});
  return {caption, std::move(leading), 3, 6, 4, ""};
}

std::vector<CellValue> RegisterRow(std::vector<CellValue> leading, const std::string& net,
                                   const std::string& tax, const std::string& total,
                                   const std::string& letter) {
  leading.insert(leading.end(), {net, tax, total, letter});
  return leading;
}

ReportLines::ReportLines(const ReportShape& shape, const ReportRequest& request)
    : shape_(shape), request_(request), word_(FilterWord(request.Filter)) {
  output_.Table.AddRow(HeadingRow(shape.Columns));
  output_.Table.LastTextColumn = shape.LastTextColumn;
  output_.Table.LastNumericColumn = shape.LastNumericColumn;
}

void ReportLines::Add(std::span<const CellValue> values,
                      std::initializer_list<std::string_view> filterFields) {
  if (!PassesFilter(word_, filterFields)) return;
  output_.Table.AddComposedRow(shape_.Columns, values);
}

ReportOutput ReportLines::Finish() {
  output_.Caption = shape_.Caption;
  output_.Head1 = records::CurrentCompany.CompanyName.Get();
  output_.Head2 = "Date: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", request_.Now);
  output_.Filtered = !word_.empty();
  if (output_.Filtered)
    output_.Head3 = ("*** Filtered records selected for: " + word_).substr(0, FilterNoteLength);
  else if (!shape_.ListingNote.empty())
    output_.Head3 = shape_.ListingNote;
  else
    output_.Head3 = "Selected records from " + request_.FromText + " to " + request_.ToText;
  output_.SortItems.clear();
  for (int column = 2; column <= shape_.LastSortColumn; ++column)
    output_.SortItems.push_back(std::to_string(column));
  return std::move(output_);
}

}  // namespace reports
