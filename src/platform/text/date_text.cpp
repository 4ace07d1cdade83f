#include "platform/text/date_text.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/text/clock.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"

namespace platform::text {
namespace {

constexpr char kDateSeparator = '/';
constexpr int kCenturyWindow = 50;

std::string& ShortDateFormatSetting() {
  static std::string format = "mm/dd/yyyy";
  return format;
}

// The order in which d, m and y first appear in a pattern ("mm/dd/yyyy" gives M, D, Y).
std::vector<char> FieldOrder(std::string_view format) {
  std::vector<char> order;
  for (char c : format) {
    char u = static_cast<char>(c & ~0x20);
    if ((u == 'D' || u == 'M' || u == 'Y') && std::find(order.begin(), order.end(), u) == order.end())
      order.push_back(u);
  }
  return order;
}

std::optional<int> ReadField(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  if (digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  int value = 0;
  auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// A year typed with one or two digits is the one within fifty years of today's.
int ExpandYear(int year, std::size_t digits) {
  if (digits > 2) return year;
  int base = Today().year() - kCenturyWindow;
  int expanded = base / 100 * 100 + year;
  return expanded < base ? expanded + 100 : expanded;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t sep; (sep = text.find(kDateSeparator, start)) != std::string_view::npos; start = sep + 1)
    fields.push_back(text.substr(start, sep - start));
  fields.push_back(text.substr(start));
  return fields;
}

// Formatting a date or a time alone: UTC, so that no daylight-saving gap can touch the day.
QDateTime AtMidnight(const QDate& date) {
  return QDateTime(date, QTime(0, 0), Qt::UTC);
}

}  // namespace

std::string TypedDateFormat(char dateOrder) {
  if (dateOrder == 'D') return "dd/mm/yyyy";
  if (dateOrder == 'Y') return "yyyy/mm/dd";
  return "mm/dd/yyyy";
}

std::string ShortDateFormatFor(char dateOrder) {
  return dateOrder == 'D' ? "dd/mm/yyyy" : "mm/dd/yyyy";
}

std::optional<QDate> ParseDate(std::string_view text, std::string_view format) {
  std::vector<char> order = FieldOrder(format);
  std::string trimmed = TrimBlanks(text);
  std::vector<std::string_view> fields = SplitFields(trimmed);
  if (order.size() != 3 || fields.size() != 3) return std::nullopt;
  int day = 0, month = 0, year = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    std::optional<int> value = ReadField(fields[i], order[i] == 'Y' ? 4 : 2);
    if (!value) return std::nullopt;
    if (order[i] == 'D') day = *value;
    if (order[i] == 'M') month = *value;
    if (order[i] == 'Y') year = ExpandYear(*value, fields[i].size());
  }
  QDate date(year, month, day);
  if (!date.isValid() || year < 1) return std::nullopt;
  return date;
}

std::string FormatTypedDate(const QDate& date, char dateOrder) {
  return FormatDateTime(TypedDateFormat(dateOrder), AtMidnight(date));
}

std::optional<QDate> ParseTypedDate(std::string_view text, char dateOrder) {
  return ParseDate(text, TypedDateFormat(dateOrder));
}

std::string SortableDate(const QDate& date) {
  return FormatDateTime(kSortableDateFormat, AtMidnight(date));
}

std::optional<QDate> ParseSortableDate(std::string_view text) {
  return ParseDate(text, kSortableDateFormat);
}

const std::string& ShortDateFormat() {
  return ShortDateFormatSetting();
}

void SetShortDateFormat(std::string_view format) {
  ShortDateFormatSetting() = format;
}

std::string DateToStr(const QDate& date) {
  return FormatDateTime(ShortDateFormat(), AtMidnight(date));
}

std::optional<QDate> TryStrToDate(std::string_view text) {
  return ParseDate(text, ShortDateFormat());
}

std::string TimeToStr(const QTime& time) {
  return FormatDateTime("h:mm:ss AM/PM", QDateTime(QDate(2000, 1, 1), time, Qt::UTC));
}

}  // namespace platform::text
