#include "platform/text/format_float.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace platform::text {

NumberPattern NumberPattern::Of(std::string_view format) {
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

namespace {

// The value, already rounded to the pattern's decimals, appended to out: the whole digits led by
// zeros up to the pattern's least, with a comma before each group of three when asked; then the
// fraction padded with zeros to the decimals shown at most, less its trailing zeros down to the
// decimals always shown. Its length is worked out first and the characters written in place.
void AppendRounded(std::string& out, const NumberPattern& p, const DecimalView& value) {
  const bool minus = value.Negative && !value.IsZero();
  const std::size_t whole = std::max(value.Whole.size(), p.MinWhole);
  const std::size_t zeros = whole - value.Whole.size();
  const std::size_t commas = p.Thousands && whole > 0 ? (whole - 1) / 3 : 0;
  std::size_t shown = p.MaxFraction;
  while (shown > p.MinFraction && (shown > value.Fraction.size() || value.Fraction[shown - 1] == '0'))
    --shown;
  const std::size_t start = out.size();
  out.resize(start + (minus ? 1 : 0) + whole + commas + (shown > 0 ? shown + 1 : 0));
  char* at = out.data() + start;
  if (minus) *at++ = '-';
  for (std::size_t i = 0; i < whole; ++i) {
    if (p.Thousands && i > 0 && (whole - i) % 3 == 0) *at++ = ',';
    *at++ = i < zeros ? '0' : value.Whole[i - zeros];
  }
  if (shown == 0) return;
  *at++ = '.';
  for (std::size_t k = 0; k < shown; ++k) *at++ = k < value.Fraction.size() ? value.Fraction[k] : '0';
}

}  // namespace

std::string FormatDecimal(std::string_view format, DecimalText value) {
  const NumberPattern p = NumberPattern::Of(format);
  value.Round(p.MaxFraction);
  std::string out;
  AppendRounded(out, p, value.View());
  return out;
}

void AppendFormattedDecimal(std::string& out, const NumberPattern& pattern, const DecimalView& value) {
  if (value.Fraction.size() <= pattern.MaxFraction) {
    AppendRounded(out, pattern, value);
    return;
  }
  DecimalText rounded{value.Negative, std::string(value.Whole), std::string(value.Fraction)};
  rounded.Round(pattern.MaxFraction);
  AppendRounded(out, pattern, rounded.View());
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
