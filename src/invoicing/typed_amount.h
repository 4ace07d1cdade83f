#pragma once
// Amounts typed into the payment and interest wizards: plain digits with at most one "." and at
// most two decimals. Thousands separators, signs and letters are refused, so "12.ab" or "1.2.3"
// never pass for 12 or 1.2.

#include <optional>
#include <string_view>

#include "platform/text/amount.h"

namespace invoicing {

enum class TypedAmountCheck { Empty, Number, Negative, NotNumeric };

// Blanks around the text are ignored; "12." and ".5" are numbers.
TypedAmountCheck CheckTypedAmount(std::string_view text);
// The amount in cents; none unless CheckTypedAmount says Number (Empty reads as 0).
std::optional<platform::text::Cents> TypedAmountValue(std::string_view text);

}  // namespace invoicing
