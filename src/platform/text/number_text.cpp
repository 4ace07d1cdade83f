#include "platform/text/number_text.h"

#include <charconv>

#include "platform/text/decimal_text.h"
#include "platform/text/key_text.h"

namespace platform::text {

std::optional<double> TryStrToFloat(std::string_view text) {
  std::optional<DecimalText> decimal = DecimalText::Parse(StripCommas(text));
  if (!decimal) return std::nullopt;
  std::string plain = decimal->ToString();
  double value = 0;
  auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) return std::nullopt;
  // "-0" reads as 0, not as negative zero.
  return value == 0 ? 0.0 : value;
}

double StrToFloat(std::string_view text) {
  if (std::optional<double> value = TryStrToFloat(text)) return *value;
  throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

std::optional<int32_t> TryStrToInt(std::string_view text) {
  std::string clean = StripCommas(text);
  if (clean.empty() || clean == "-" ||
      clean.find_first_not_of("0123456789", clean[0] == '-' ? 1 : 0) != std::string::npos)
    return std::nullopt;
  int32_t value = 0;
  auto result = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (result.ec != std::errc() || result.ptr != clean.data() + clean.size()) return std::nullopt;
  return value;
}

int32_t StrToInt(std::string_view text) {
  if (std::optional<int32_t> value = TryStrToInt(text)) return *value;
  throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace platform::text
