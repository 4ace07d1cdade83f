#pragma once
// The local time zone as the system reports it.

#include <optional>

namespace platform::os {

// Minutes east of UTC in force now (daylight saving included); empty when the system has no
// usable time-zone setting.
std::optional<int> LocalUtcOffsetMinutes();

}  // namespace platform::os
