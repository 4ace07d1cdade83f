#include "records/stored_amount.h"

#include "platform/text/amount.h"
#include "platform/text/format_float.h"

namespace records {

std::string FormatStoredAmount(std::string_view stored) {
  if (auto cents = platform::text::ParseAmount(stored)) return platform::text::FormatAmount(*cents);
  return std::string(stored);
}

std::string FormatStoredAmount(std::string_view stored, std::string_view format) {
  if (auto cents = platform::text::ParseAmount(stored)) {
    return platform::text::FormatFloat(format, platform::text::AmountValue(*cents));
  }
  return std::string(stored);
}

}  // namespace records
