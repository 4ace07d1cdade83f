#pragma once
// Money. Records store an amount as plain text with two decimals and no separators ("1234.50",
// "-0.13"); lists and documents show it with thousands separators ("1,234.50"). In between the
// program holds it as a whole number of cents, so sums never drift by a cent.
//
// Typed and stored amounts are read after blanks and commas are removed and rounded to cents
// half away from zero on their digits (0.125 -> 0.13, -0.125 -> -0.13, 1.005 -> 1.01).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::text {

using Cents = int64_t;

// Not an amount: text that is not a number (see number_text.h), or more than 16 whole digits.
std::optional<Cents> ParseAmount(std::string_view text);
// A computed value (quantity x price, tax) to cents, rounded on its shortest decimal digits.
// Not finite or too large for cents: none.
std::optional<Cents> RoundToCents(double value);

std::string AmountText(Cents amount);    // the stored form, "0.00"
std::string FormatAmount(Cents amount);  // the shown form, ",0.00"
double AmountValue(Cents amount);        // for arithmetic with rates and quantities

}  // namespace platform::text
