#pragma once
// Dates and times as the program shows them, by pattern, in English whatever the locale:
//   d dd ddd dddd   day 5, 05, Thu, Thursday      m mm mmm mmmm  month 3, 03, Mar, March
//   yy yyyy         year 26, 2026                 h hh           hour 9, 09
//   n nn            minute                        s ss           second
//   z zzz           millisecond                   AM/PM am/pm A/P a/p AMPM   morning or afternoon
//   /               date separator "/"            :              time separator ":"
//   "..." '...'     literal text                  anything else  itself
// An m or mm right after an h or hh (with only non-letters between) is the minute, as in
// "hh:mm". Any AM/PM marker in the pattern puts the hours on the 12-hour clock (0 shows as 12).
// Example: "dddd, mmmm d, yyyy, hh:mm AM/PM" gives "Thursday, March 5, 2026, 02:07 PM".

#include <QDateTime>
#include <string>
#include <string_view>

namespace platform::text {

std::string FormatDateTime(std::string_view format, const QDateTime& moment);

}  // namespace platform::text
