#include "platform/text/format_float.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace platform::text {
namespace {

struct NumberPattern {
  bool Thousands = false;
  std::size_t MinWhole = 0;     // whole digits always shown (placeholders from the first "0")
  std::size_t MinFraction = 0;  // decimals always shown (up to the last "0" after the point)
  std::size_t MaxFraction = 0;  // decimals shown at most (every placeholder after the point)
};

NumberPattern ReadPattern(std::string_view format) {
  NumberPattern p;
  bool afterPoint = false;
  bool zeroSeen = false;
  for (char c : format) {
    if (c == ',') {
      p.Thousands = true;
    } else if (c == '.') {
      afterPoint = true;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.MaxFraction;
        if (c == '0') p.MinFraction = p.MaxFraction;
      } else {
        zeroSeen = zeroSeen || c == '0';
        if (zeroSeen) ++p.MinWhole;
      }
    }
  }
  return p;
}

// Appends the whole digits, led by zeros up to minDigits, with a comma before each group of three
// when asked.
void AppendWhole(std::string& out, std::string_view digits, std::size_t minDigits, bool thousands) {
  const std::size_t count = std::max(digits.size(), minDigits);
  const std::size_t zeros = count - digits.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (thousands && i > 0 && (count - i) % 3 == 0) out += ',';
    out += i < zeros ? '0' : digits[i - zeros];
  }
}

}  // namespace

std::string FormatDecimal(std::string_view format, DecimalText value) {
  const NumberPattern p = ReadPattern(format);
  value.Round(p.MaxFraction);
  std::string out;
  if (value.Negative && !value.IsZero()) out += '-';
  AppendWhole(out, value.Whole, p.MinWhole, p.Thousands);
  std::string& fraction = value.Fraction;
  fraction.resize(p.MaxFraction, '0');
  while (fraction.size() > p.MinFraction && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) {
    out += '.';
    out += fraction;
  }
  return out;
}

std::string FormatFloat(std::string_view format, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  return FormatDecimal(format, DecimalText::FromDouble(value));
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  // "1.5e+20" and "1e-05" read "1.5E20" and "1E-5".
  std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string exponent = text.substr(e + 1);
  bool negative = exponent[0] == '-';
  exponent.erase(0, exponent.find_first_not_of("+-0"));
  return text.substr(0, e) + "E" + (negative ? "-" : "") + exponent;
}

}  // namespace platform::text
