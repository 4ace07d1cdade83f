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

#include <string>
#include <string_view>

#include "platform/text/decimal_text.h"

namespace platform::text {

// A value that is not finite shows as "NAN", "INF" or "-INF".
std::string FormatFloat(std::string_view format, double value);
// The same for a value that is already held as its digits (amounts in cents, for example).
std::string FormatDecimal(std::string_view format, DecimalText value);

// The general form: up to 15 significant digits, no trailing zeros, and an exponent such as
// "1E15" or "1E-5" for very large or very small values.
std::string FloatToStr(double value);

}  // namespace platform::text
