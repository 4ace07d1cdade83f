#pragma once
// The report wizard's date presets: the From and To dates each preset gives on a given day.

#include <QDate>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace reports {

// The presets as the wizard's list shows them (sorted).
inline constexpr std::array<std::string_view, 11> DatePresets = {
    "Current Month", "Current Year",  "Custom Dates",   "Last 12 Months", "Last 30 Days", "Last 60 Days",
    "Last 90 Days",  "Month to Date", "Previous Month", "Previous Year",  "Year to Date"};

inline constexpr std::string_view CustomDatesPreset = "Custom Dates";
inline constexpr std::string_view MonthToDatePreset = "Month to Date";

bool IsLeapYear(int year);
// Days of month 1..12 of the year.
int DaysInMonth(int year, int month);

// From and To of the preset on `today`; none for "Custom Dates" (the dates stay as typed) and for
// a name that is no preset. "Last 12 Months" on 29 February starts on 28 February of the year
// before, which has no 29th.
std::optional<std::pair<QDate, QDate>> PresetRange(std::string_view preset, const QDate& today);

}  // namespace reports
