#pragma once
// Dates as text. Three forms meet in the records:
//  - the typed date, in the company's date order: "M" month/day/year ("03/05/2026"), "D"
//    day/month/year ("05/03/2026"), "Y" year/month/day ("2026/03/05"); any other order code
//    reads as "M";
//  - the sortable copy kept where a date is indexed, "yyyy/mm/dd";
//  - the program's short date format, which DateToStr writes and TryStrToDate reads: set at
//    start-up and at each company change from the company's order ("dd/mm/yyyy" for "D",
//    "mm/dd/yyyy" otherwise) and switched for a while by routines that read sortable dates.
// Reading takes one or two digits for day and month and up to four for the year, separated by
// "/", with blanks allowed around the whole; a year of one or two digits falls within fifty
// years either side of today. Impossible dates (month 13, February 30) are not dates.

#include <QDate>
#include <QTime>
#include <optional>
#include <string>
#include <string_view>

namespace platform::text {

// The pattern of each form, for FormatDateTime and ParseDate.
std::string TypedDateFormat(char dateOrder);
std::string ShortDateFormatFor(char dateOrder);
inline constexpr std::string_view kSortableDateFormat = "yyyy/mm/dd";

// Reads a date in the order of format's d, m and y fields.
std::optional<QDate> ParseDate(std::string_view text, std::string_view format);

std::string FormatTypedDate(const QDate& date, char dateOrder);
std::optional<QDate> ParseTypedDate(std::string_view text, char dateOrder);
std::string SortableDate(const QDate& date);
std::optional<QDate> ParseSortableDate(std::string_view text);

// The program-wide short date format ("mm/dd/yyyy" until set).
const std::string& ShortDateFormat();
void SetShortDateFormat(std::string_view format);
std::string DateToStr(const QDate& date);
std::optional<QDate> TryStrToDate(std::string_view text);

// The time of day as receipts show it: "2:07:09 PM".
std::string TimeToStr(const QTime& time);

}  // namespace platform::text
