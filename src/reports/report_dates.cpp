#include "reports/report_dates.h"

#include <algorithm>

namespace reports {

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return days[static_cast<std::size_t>(month - 1)] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

namespace {

std::pair<QDate, QDate> WholeMonth(int year, int month) {
  return {QDate(year, month, 1), QDate(year, month, DaysInMonth(year, month))};
}

}  // namespace

std::optional<std::pair<QDate, QDate>> PresetRange(std::string_view preset, const QDate& today) {
  const int y = today.year();
  const int m = today.month();
  if (preset == "Month to Date") return std::pair(QDate(y, m, 1), today);
  if (preset == "Year to Date") return std::pair(QDate(y, 1, 1), today);
  if (preset == "Last 30 Days") return std::pair(today.addDays(-30), today);
  if (preset == "Last 60 Days") return std::pair(today.addDays(-60), today);
  if (preset == "Last 90 Days") return std::pair(today.addDays(-90), today);
  if (preset == "Last 12 Months")
    return std::pair(QDate(y - 1, m, std::min(today.day(), DaysInMonth(y - 1, m))), today);
  if (preset == "Current Year") return std::pair(QDate(y, 1, 1), QDate(y, 12, 31));
  if (preset == "Previous Year") return std::pair(QDate(y - 1, 1, 1), QDate(y - 1, 12, 31));
  if (preset == "Current Month") return WholeMonth(y, m);
  if (preset == "Previous Month") return m == 1 ? WholeMonth(y - 1, 12) : WholeMonth(y, m - 1);
  return std::nullopt;
}

}  // namespace reports
