#pragma once
// Numbers as the lists, documents and reports show them, by pattern:
//   "0"   a digit that is always shown       "#"  a digit shown only when needed
//   "."   the decimal point (the first one)  ","  anywhere: thousands separators in the whole part
// ",0.00" gives "1,234.50" and "-0.13"; ",.00" gives ".50" for a half; "00.000" gives "01.500".
// The value is rounded half away from zero on its shortest decimal digits, so 1.005 shows as
// 1.01 with two decimals, as the person who typed it expects. A result that rounds to zero has
// no minus sign. Separators and the point are always "," and "." whatever the locale.
//
// Patterns hold only these four characters; any other character is ignored, and there are no
// ";" sections.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text/decimal_text.h"

namespace platform::text {

// A value that is not finite shows as "NAN", "INF" or "-INF".
std::string FormatFloat(std::string_view format, double value);
// The same for a value that is already held as its digits (amounts in cents, for example).
std::string FormatDecimal(std::string_view format, DecimalText value);
// A pattern as read once, for formatting many values with it.
struct NumberPattern {
  bool Thousands = false;
  std::size_t MinWhole = 0;     // whole digits always shown (placeholders from the first "0")
  std::size_t MinFraction = 0;  // decimals always shown (up to the last "0" after the point)
  std::size_t MaxFraction = 0;  // decimals shown at most (every placeholder after the point)

  static NumberPattern Of(std::string_view format);
};
// FormatDecimal appended to out, for a value read in place.
void AppendFormattedDecimal(std::string& out, const NumberPattern& pattern, const DecimalView& value);

// The general form: up to 15 significant digits, no trailing zeros, and an exponent such as
// "1E15" or "1E-5" for very large or very small values.
std::string FloatToStr(double value);

}  // namespace platform::text
