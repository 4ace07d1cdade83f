#pragma once
// The arithmetic of the entry forms: line extensions, the totals of a line-item document, and the
// limits a stored amount must keep. Amounts are held in cents; a line's quantity and price are
// typed numbers (a quantity may have decimals), multiplied exactly and rounded to cents half
// away from zero on the digits typed (1 x 0.125 = 0.13, -1 x 0.125 = -0.13, 7 x 1.005 = 7.04).
//
// Amounts are stored as text of at most 10 characters ("-123456.78", "9999999.99"), and the line
// text of a detail line gives quantity, price and extension 10 characters each: an amount whose
// stored text is longer cannot be stored whole, and entry refuses it.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/text/amount.h"

namespace forms {

using platform::text::Cents;

inline constexpr std::size_t kStoredAmountWidth = 10;

// Text trimmed is empty, or reads as a number after commas are removed.
bool IsValidNumber(std::string_view text);
// A typed number read leniently, commas removed: text that is not a number counts 0.
double LenientNumber(std::string_view text);
Cents LenientAmount(std::string_view text);

// Quantity x unit price in cents, each read leniently; none when the product is beyond cents.
std::optional<Cents> LineExtension(std::string_view quantity, std::string_view price);

// Whether the stored text of the amount fits its field.
bool AmountFits(Cents amount, std::size_t width = kStoredAmountWidth);
// Whether a typed number, commas removed, fits a line-text column.
bool NumberTextFits(std::string_view text, std::size_t width = kStoredAmountWidth);

struct TotalsLine {
  Cents Extension = 0;
  bool Taxable = false;
};

struct DocumentTotals {
  Cents Net = 0;
  Cents Taxable = 0;
  Cents Tax = 0;
  Cents Total = 0;
  Cents Due = 0;
};

// Net over every line, tax on the taxable lines at one rate (percent) when tax is calculated,
// total, and what is left due after the amount paid.
DocumentTotals LineItemTotals(const std::vector<TotalsLine>& lines, bool calculateTax, double ratePercent,
                              Cents paid);

}  // namespace forms
