#pragma once
// Numbers typed by the user or read from records. Blanks around the text and thousands commas
// are removed first (StripCommas); what is left must be an optional leading "-", digits and at
// most one ".". "nan", "inf", hex, exponents, "+1" and "1.2.3" are not numbers: a damaged
// record or a slip of the keyboard must not turn into some value nobody typed.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform::text {

// Raised by the converting functions below for text that is not a number.
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::optional<double> TryStrToFloat(std::string_view text);
double StrToFloat(std::string_view text);  // raises ConvertError

// Whole numbers: an optional leading "-" and digits, within 32 bits.
std::optional<int32_t> TryStrToInt(std::string_view text);
int32_t StrToInt(std::string_view text);  // raises ConvertError

}  // namespace platform::text
