#include "platform/os/time_zone.h"

#include <QDateTime>
#include <QTimeZone>

namespace platform::os {

std::optional<int> LocalUtcOffsetMinutes() {
  const QTimeZone zone = QTimeZone::systemTimeZone();
  if (!zone.isValid()) return std::nullopt;
  return zone.offsetFromUtc(QDateTime::currentDateTimeUtc()) / 60;
}

}  // namespace platform::os
