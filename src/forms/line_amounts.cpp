#include "forms/line_amounts.h"

#include "platform/text/decimal_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace forms {

using platform::text::DecimalText;
using platform::text::ParseAmount;
using platform::text::StripCommas;
using platform::text::TryStrToFloat;

bool IsValidNumber(std::string_view text) {
  const std::string stripped = StripCommas(text);
  return stripped.empty() || TryStrToFloat(stripped).has_value();
}

double LenientNumber(std::string_view text) {
  return TryStrToFloat(StripCommas(text)).value_or(0.0);
}

Cents LenientAmount(std::string_view text) {
  return ParseAmount(StripCommas(text)).value_or(0);
}

namespace {

// A typed number as a whole count of units of 10^-Scale.
struct ScaledNumber {
  __int128 Units = 0;
  std::size_t Scale = 0;
};

// Text that is not a number counts 0, as everywhere in line arithmetic.
std::optional<ScaledNumber> Scaled(std::string_view text) {
  const std::optional<DecimalText> decimal = DecimalText::Parse(StripCommas(text));
  if (!decimal) return ScaledNumber{};
  const std::string digits = decimal->Whole + decimal->Fraction;
  if (digits.size() > 18) return std::nullopt;
  ScaledNumber number;
  for (char digit : digits) number.Units = number.Units * 10 + (digit - '0');
  if (decimal->Negative) number.Units = -number.Units;
  number.Scale = decimal->Fraction.size();
  return number;
}

__int128 PowerOfTen(std::size_t exponent) {
  __int128 power = 1;
  while (exponent-- > 0) power *= 10;
  return power;
}

}  // namespace

std::optional<Cents> LineExtension(std::string_view quantity, std::string_view price) {
  // The product is taken on the digits typed, so that 7 x 1.005 is 7.035 and rounds to 7.04,
  // which a product of doubles (7.03499...) would not.
  const std::optional<ScaledNumber> a = Scaled(quantity);
  const std::optional<ScaledNumber> b = Scaled(price);
  if (!a || !b) return platform::text::RoundToCents(LenientNumber(quantity) * LenientNumber(price));
  const __int128 product = a->Units * b->Units;
  const std::size_t scale = a->Scale + b->Scale;
  __int128 cents = 0;
  if (scale <= 2) {
    cents = product * PowerOfTen(2 - scale);
  } else {
    const __int128 divisor = PowerOfTen(scale - 2);
    const __int128 magnitude = product < 0 ? -product : product;
    __int128 rounded = magnitude / divisor;
    if ((magnitude % divisor) * 2 >= divisor) ++rounded;  // half away from zero
    cents = product < 0 ? -rounded : rounded;
  }
  constexpr __int128 kLimit = static_cast<__int128>(1) << 62;
  if (cents >= kLimit || cents <= -kLimit) return std::nullopt;
  return static_cast<Cents>(cents);
}

bool AmountFits(Cents amount, std::size_t width) {
  return platform::text::AmountText(amount).size() <= width;
}

bool NumberTextFits(std::string_view text, std::size_t width) {
  return StripCommas(text).size() <= width;
}

DocumentTotals LineItemTotals(const std::vector<TotalsLine>& lines, bool calculateTax, double ratePercent,
                              Cents paid) {
  DocumentTotals totals;
  for (const TotalsLine& line : lines) {
    totals.Net += line.Extension;
    if (line.Taxable) totals.Taxable += line.Extension;
  }
  if (!calculateTax) totals.Taxable = 0;
  const double tax = platform::text::AmountValue(totals.Taxable) * ratePercent / 100.0;
  totals.Tax = platform::text::RoundToCents(tax).value_or(0);
  totals.Total = totals.Net + totals.Tax;
  totals.Due = totals.Total - paid;
  return totals;
}

}  // namespace forms
