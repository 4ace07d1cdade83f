#include "invoicing/typed_amount.h"

#include <algorithm>
#include <string>

#include "platform/text/key_text.h"

namespace invoicing {

TypedAmountCheck CheckTypedAmount(std::string_view text) {
  const std::string trimmed = platform::text::TrimBlanks(text);
  if (trimmed.empty()) return TypedAmountCheck::Empty;
  if (trimmed.find('-') != std::string::npos) return TypedAmountCheck::Negative;
  const size_t point = trimmed.find('.');
  const std::string whole = trimmed.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : trimmed.substr(point + 1);
  auto digits = [](const std::string& part) {
    return std::ranges::all_of(part, [](char c) { return c >= '0' && c <= '9'; });
  };
  // A lone "." is the start of ".5" being typed.
  if (!digits(whole) || !digits(fraction) || fraction.size() > 2) return TypedAmountCheck::NotNumeric;
  return TypedAmountCheck::Number;
}

std::optional<platform::text::Cents> TypedAmountValue(std::string_view text) {
  switch (CheckTypedAmount(text)) {
    case TypedAmountCheck::Empty:
      return 0;
    case TypedAmountCheck::Number: {
      std::string trimmed = platform::text::TrimBlanks(text);
      if (trimmed.ends_with('.')) trimmed.pop_back();
      if (trimmed.empty()) return 0;
      if (trimmed.starts_with('.')) trimmed.insert(trimmed.begin(), '0');
      return platform::text::ParseAmount(trimmed);
    }
    default:
      return std::nullopt;
  }
}

}  // namespace invoicing
