#include "platform/text/amount.h"

#include <cmath>

#include "platform/text/decimal_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"

namespace platform::text {
namespace {

// 16 whole digits and two decimals stay well inside a signed 64-bit count of cents.
constexpr std::size_t kMaxWholeDigits = 16;

std::optional<Cents> ToCents(DecimalText value) {
  value.Round(2);
  if (value.Whole.size() > kMaxWholeDigits) return std::nullopt;
  value.Fraction.resize(2, '0');
  Cents magnitude = std::stoll(value.Whole + value.Fraction);
  return value.Negative ? -magnitude : magnitude;
}

}  // namespace

std::optional<Cents> ParseAmount(std::string_view text) {
  const std::string plain = StripCommas(text);
  // Most amounts are short: read and rounded in whole units. Only a dropped fraction can carry
  // into a new whole digit, and a short amount with 16 whole digits has at most two decimals.
  if (const std::optional<ShortDecimal> shortValue = ShortDecimal::Read(plain)) {
    if (!shortValue->Plain) return std::nullopt;
    if (shortValue->WholeDigits <= kMaxWholeDigits) return shortValue->ScaledTo(2);
  }
  std::optional<DecimalText> value = DecimalText::Parse(plain);
  if (!value) return std::nullopt;
  return ToCents(*value);
}

std::optional<Cents> RoundToCents(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  return ToCents(DecimalText::FromDouble(value));
}

std::string AmountText(Cents amount) {
  // Written straight from the count: a posting stores several amounts, and the plain form needs
  // none of the pattern's choices.
  const unsigned long long magnitude =
      amount < 0 ? 0ULL - static_cast<unsigned long long>(amount) : static_cast<unsigned long long>(amount);
  std::string text = amount < 0 ? "-" : "";
  text += std::to_string(magnitude / 100);
  text += '.';
  text += static_cast<char>('0' + magnitude % 100 / 10);
  text += static_cast<char>('0' + magnitude % 10);
  return text;
}

std::string FormatAmount(Cents amount) {
  return FormatDecimal(",0.00", DecimalText::FromCents(amount));
}

double AmountValue(Cents amount) {
  return static_cast<double>(amount) / 100.0;
}

}  // namespace platform::text
