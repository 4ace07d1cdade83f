#include "platform/text/format_date_time.h"

#include <QTime>
#include <array>
#include <cctype>
#include <cstdio>

namespace platform::text {
namespace {

constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};
// Monday first, as QDate::dayOfWeek counts.
constexpr std::array<const char*, 7> kDayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                  "Friday", "Saturday", "Sunday"};

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Upper(text[i]) != Upper(prefix[i])) return false;
  return true;
}

bool HasAmPmMarker(std::string_view format) {
  for (std::size_t i = 0; i < format.size(); ++i)
    if (StartsWithNoCase(format.substr(i), "AM/PM") || StartsWithNoCase(format.substr(i), "A/P") ||
        StartsWithNoCase(format.substr(i), "AMPM"))
      return true;
  return false;
}

std::string Number(int value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
  return buffer;
}

// Three letters for ddd and mmm, the whole name for dddd and mmmm.
std::string NameText(const char* name, std::size_t run) {
  return run == 3 ? std::string(name, 3) : name;
}

// Writes the morning/afternoon marker that starts format, returning the characters it used (0
// when no marker starts there). AM/PM and A/P copy the pattern's own letters, so "am/pm" writes
// "pm" and "AM/PM" writes "PM".
std::size_t AppendAmPm(std::string_view format, bool afternoon, std::string& out) {
  if (StartsWithNoCase(format, "AM/PM")) {
    out += format.substr(afternoon ? 3 : 0, 2);
    return 5;
  }
  if (StartsWithNoCase(format, "A/P")) {
    out += format[afternoon ? 2 : 0];
    return 3;
  }
  if (StartsWithNoCase(format, "AMPM")) {
    out += afternoon ? "PM" : "AM";
    return 4;
  }
  return 0;
}

class DateTimeWriter {
 public:
  DateTimeWriter(std::string_view format, const QDateTime& moment)
      : format_(format), date_(moment.date()), time_(moment.time()), twelveHour_(HasAmPmMarker(format)) {}

  std::string Write() {
    while (pos_ < format_.size()) WriteNext();
    return out_;
  }

 private:
  void WriteNext() {
    char c = format_[pos_];
    if (c == '"' || c == '\'') return WriteQuoted(c);
    char token = Upper(c);
    std::size_t run = RunLength(c);
    if (token == 'M' && lastLetter_ == 'H') token = 'N';
    if (token >= 'A' && token <= 'Z') lastLetter_ = token;
    switch (token) {
      case 'D':
        return Emit(run, DayText(run));
      case 'M':
        return Emit(run, MonthText(run));
      case 'Y':
        return Emit(run, run <= 2 ? Number(date_.year() % 100, 2) : Number(date_.year(), 4));
      case 'H':
        return Emit(run, Number(Hour(), run == 1 ? 1 : 2));
      case 'N':
        return Emit(run, Number(time_.minute(), run == 1 ? 1 : 2));
      case 'S':
        return Emit(run, Number(time_.second(), run == 1 ? 1 : 2));
      case 'Z':
        return Emit(run, Number(time_.msec(), run < 3 ? 1 : 3));
      case 'A':
        if (std::size_t used = AppendAmPm(format_.substr(pos_), time_.hour() >= 12, out_)) {
          pos_ += used;
          return;
        }
        return Emit(1, std::string(1, c));
      default:
        return Emit(1, std::string(1, c));
    }
  }

  std::size_t RunLength(char c) const {
    std::size_t n = 1;
    while (pos_ + n < format_.size() && Upper(format_[pos_ + n]) == Upper(c)) ++n;
    return n;
  }

  void Emit(std::size_t used, const std::string& text) {
    out_ += text;
    pos_ += used;
  }

  void WriteQuoted(char quote) {
    std::size_t end = format_.find(quote, pos_ + 1);
    if (end == std::string_view::npos) end = format_.size();
    out_ += format_.substr(pos_ + 1, end - pos_ - 1);
    pos_ = end + 1;
  }

  // A null date (never set) has no names; its numbers show as zeros.
  std::string DayText(std::size_t run) const {
    if (run <= 2) return Number(date_.day(), static_cast<int>(run));
    if (!date_.isValid()) return "";
    return NameText(kDayNames[static_cast<std::size_t>(date_.dayOfWeek() - 1)], run);
  }

  std::string MonthText(std::size_t run) const {
    if (run <= 2) return Number(date_.month(), static_cast<int>(run));
    if (!date_.isValid()) return "";
    return NameText(kMonthNames[static_cast<std::size_t>(date_.month() - 1)], run);
  }

  int Hour() const {
    if (!twelveHour_) return time_.hour();
    int h = time_.hour() % 12;
    return h == 0 ? 12 : h;
  }

  std::string_view format_;
  QDate date_;
  QTime time_;
  bool twelveHour_;
  std::size_t pos_ = 0;
  char lastLetter_ = 0;
  std::string out_;
};

}  // namespace

std::string FormatDateTime(std::string_view format, const QDateTime& moment) {
  return DateTimeWriter(format, moment).Write();
}

}  // namespace platform::text
