#pragma once
// The program's one clock. Everything that asks for the date or the time (default dates, aging,
// "Date: " lines, the status-bar clock, the work timer) asks here, so a test can stop the clock
// at a moment of its choosing and get the same texts on every run.

#include <QDate>
#include <QDateTime>

namespace platform::text {

QDateTime Now();  // local time
QDate Today();

// Stops the clock at moment until SetClock is called again or UseSystemClock is.
void SetClock(const QDateTime& moment);
void UseSystemClock();

// Stops the clock for its own lifetime (a test's scope).
class FixedClock {
 public:
  explicit FixedClock(const QDateTime& moment) { SetClock(moment); }
  ~FixedClock() { UseSystemClock(); }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;
};

}  // namespace platform::text
