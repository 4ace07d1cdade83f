#include "app/records/stored_amount.h"

#include "platform/text/amount.h"

namespace app {

std::string FormatStoredAmount(std::string_view stored) {
  if (auto cents = platform::text::ParseAmount(stored)) return platform::text::FormatAmount(*cents);
  return std::string(stored);
}

}  // namespace app
