#include "platform/text/clock.h"

#include <optional>

namespace platform::text {
namespace {

std::optional<QDateTime>& FixedMoment() {
  static std::optional<QDateTime> moment;
  return moment;
}

}  // namespace

QDateTime Now() {
  return FixedMoment() ? *FixedMoment() : QDateTime::currentDateTime();
}

QDate Today() {
  return Now().date();
}

void SetClock(const QDateTime& moment) {
  FixedMoment() = moment;
}

void UseSystemClock() {
  FixedMoment().reset();
}

}  // namespace platform::text
