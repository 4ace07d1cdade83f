#include "platform/text/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>

#include "platform/text/key_text.h"

namespace platform::text {
namespace {

void StripLeadingZeros(std::string& digits) {
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
}

// Adds one to the last digit of a digit string, carrying to the left.
void Increment(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
}

// Splits digits d1..dn standing for 0.d1..dn x 10^point into whole and fraction parts.
DecimalText FromScaledDigits(bool negative, const std::string& digits, long point) {
  DecimalText d;
  d.Negative = negative;
  long n = static_cast<long>(digits.size());
  if (point <= 0) {
    d.Fraction = std::string(static_cast<size_t>(-point), '0') + digits;
  } else if (point >= n) {
    d.Whole = digits + std::string(static_cast<size_t>(point - n), '0');
  } else {
    d.Whole = digits.substr(0, static_cast<size_t>(point));
    d.Fraction = digits.substr(static_cast<size_t>(point));
  }
  StripLeadingZeros(d.Whole);
  return d;
}

// A figure as typed or stored; 0 for text that is no plain decimal.
DecimalText FigureOf(std::string_view text) {
  return DecimalText::Parse(StripCommas(text)).value_or(DecimalText{});
}

// The whole and fraction digits of a magnitude, the fraction padded with zeros to `decimals`.
std::string AlignedDigits(const DecimalText& d, std::size_t decimals) {
  return d.Whole + d.Fraction + std::string(decimals - d.Fraction.size(), '0');
}

// Sum or difference (larger less smaller) of two digit strings of one length, by column.
std::string AddDigits(const std::string& a, const std::string& b, bool subtract) {
  std::string out(a.size(), '0');
  int carry = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    int digit = (a[i] - '0') + (subtract ? -(b[i] - '0') : (b[i] - '0')) + carry;
    carry = digit < 0 ? -1 : digit > 9 ? 1 : 0;
    out[i] = static_cast<char>('0' + digit - 10 * carry);
  }
  if (carry > 0) out.insert(out.begin(), '1');
  return out;
}

// A figure as ShortDecimal holds it: empty text and text that is no plain decimal count 0, as
// FigureOf reads them. None when it has more digits than a ShortDecimal holds.
std::optional<ShortDecimal> ShortFigureOf(std::string_view typed) {
  std::optional<ShortDecimal> figure = ShortDecimal::Read(StripCommas(typed));
  if (figure && !figure->Plain) return ShortDecimal{};
  return figure;
}

// The sum of two short figures when both, scaled to the finer decimal place, still hold at most
// 18 digits (so the sum cannot overflow); none otherwise.
std::optional<std::string> ShortSum(std::string_view a, std::string_view b) {
  const std::optional<ShortDecimal> x = ShortFigureOf(a), y = ShortFigureOf(b);
  if (!x || !y) return std::nullopt;
  const std::size_t decimals = std::max(x->Decimals, y->Decimals);
  constexpr std::size_t kMax = ShortDecimal::kMaxDigits;
  if (x->WholeDigits + decimals > kMax || y->WholeDigits + decimals > kMax) return std::nullopt;
  return ShortDecimal::PlainText(x->ScaledTo(decimals) + y->ScaledTo(decimals), decimals);
}

}  // namespace

std::string AddFigures(std::string_view a, std::string_view b) {
  if (std::optional<std::string> sum = ShortSum(a, b)) return *sum;
  DecimalText x = FigureOf(a), y = FigureOf(b);
  const std::size_t decimals = std::max(x.Fraction.size(), y.Fraction.size());
  std::string xs = AlignedDigits(x, decimals), ys = AlignedDigits(y, decimals);
  const std::size_t width = std::max(xs.size(), ys.size());
  xs.insert(0, width - xs.size(), '0');
  ys.insert(0, width - ys.size(), '0');
  if (xs < ys) {  // the larger magnitude first: it gives the sign
    std::swap(xs, ys);
    std::swap(x, y);
  }
  const std::string digits = AddDigits(xs, ys, x.Negative != y.Negative);
  DecimalText sum = FromScaledDigits(x.Negative, digits, static_cast<long>(digits.size() - decimals));
  sum.Fraction.erase(std::min(sum.Fraction.find_last_not_of('0') + 1, sum.Fraction.size()));
  return sum.ToString();
}

bool FigureIsZero(std::string_view figure) {
  if (std::optional<ShortDecimal> f = ShortFigureOf(figure)) return f->Units == 0;
  return FigureOf(figure).IsZero();
}

std::string NegatedFigure(std::string_view figure) {
  if (std::optional<ShortDecimal> f = ShortFigureOf(figure))
    return ShortDecimal::PlainText(-f->Units, f->Decimals);
  DecimalText d = FigureOf(figure);
  d.Negative = !d.Negative;
  return AddFigures(d.ToString(), "0");
}

std::optional<DecimalView> DecimalView::Parse(std::string_view text) {
  // One pass over the text: the reports read every amount of long tables through here.
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  DecimalView d;
  std::size_t at = 0;
  if (at < text.size() && text[at] == '-') {
    d.Negative = true;
    ++at;
  }
  const std::size_t digits = at;
  while (at < text.size() && text[at] == '0') ++at;  // leading zeros are not kept
  const std::size_t whole = at;
  while (at < text.size() && isDigit(text[at])) ++at;
  const std::size_t wholeEnd = at;
  std::size_t fraction = at;
  if (at < text.size() && text[at] == '.') {
    fraction = ++at;
    while (at < text.size() && isDigit(text[at])) ++at;
  }
  if (at != text.size() || (wholeEnd == digits && at == fraction)) return std::nullopt;
  d.Whole = text.substr(whole, wholeEnd - whole);
  d.Fraction = text.substr(fraction, at - fraction);
  return d;
}

bool DecimalView::IsZero() const {
  return Whole.empty() && std::all_of(Fraction.begin(), Fraction.end(), [](char c) { return c == '0'; });
}

std::optional<DecimalText> DecimalText::Parse(std::string_view text) {
  const std::optional<DecimalView> view = DecimalView::Parse(text);
  if (!view) return std::nullopt;
  DecimalText d;
  d.Negative = view->Negative;
  d.Whole = view->Whole;
  d.Fraction = view->Fraction;
  return d;
}

DecimalText DecimalText::FromDouble(double value) {
  // Scientific notation in its shortest round-trip form: "-1.005e+00".
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  std::size_t e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e))
    if (c != '.') digits += c;
  long exponent = std::strtol(std::string(text.substr(e + 1)).c_str(), nullptr, 10);
  return FromScaledDigits(negative, digits, exponent + 1);
}

DecimalText DecimalText::FromCents(long long cents) {
  bool negative = cents < 0;
  // Through unsigned so that the most negative value has a magnitude too.
  unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents) : cents;
  std::string digits = std::to_string(magnitude);
  return FromScaledDigits(negative, digits, static_cast<long>(digits.size()) - 2);
}

void DecimalText::Round(std::size_t decimals) {
  if (Fraction.size() <= decimals) return;
  bool up = Fraction[decimals] >= '5';
  Fraction.resize(decimals);
  if (!up) return;
  std::string digits = Whole + Fraction;
  Increment(digits);
  Whole = digits.substr(0, digits.size() - decimals);
  Fraction = digits.substr(digits.size() - decimals);
  StripLeadingZeros(Whole);
}

bool DecimalText::IsZero() const {
  return View().IsZero();
}

std::string DecimalText::ToString() const {
  std::string out = Negative && !IsZero() ? "-" : "";
  out += Whole.empty() ? "0" : Whole;
  if (!Fraction.empty()) out += "." + Fraction;
  return out;
}

std::optional<ShortDecimal> ShortDecimal::Read(std::string_view text) {
  const std::optional<DecimalView> view = DecimalView::Parse(text);
  if (!view) return ShortDecimal{0, 0, 0, false};
  if (view->Whole.size() + view->Fraction.size() > kMaxDigits) return std::nullopt;
  ShortDecimal d;
  for (std::string_view part : {view->Whole, view->Fraction})
    for (char c : part) d.Units = d.Units * 10 + (c - '0');
  d.Decimals = view->Fraction.size();
  d.WholeDigits = view->Whole.size();
  if (view->Negative) d.Units = -d.Units;
  return d;
}

namespace {

long long PowerOfTen(std::size_t exponent) {
  long long power = 1;
  while (exponent-- > 0) power *= 10;
  return power;
}

}  // namespace

long long ShortDecimal::ScaledTo(std::size_t decimals) const {
  if (decimals >= Decimals) return Units * PowerOfTen(decimals - Decimals);
  const long long firstDropped = PowerOfTen(Decimals - decimals - 1);
  const long long magnitude = Units < 0 ? -Units : Units;
  const long long kept = magnitude / (firstDropped * 10) + (magnitude / firstDropped % 10 >= 5 ? 1 : 0);
  return Units < 0 ? -kept : kept;
}

std::string ShortDecimal::PlainText(long long units, std::size_t decimals) {
  const bool negative = units < 0;
  std::string digits = std::to_string(negative ? 0ULL - static_cast<unsigned long long>(units)
                                               : static_cast<unsigned long long>(units));
  if (digits.size() <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
  std::size_t end = digits.size();
  const std::size_t point = end - decimals;
  while (end > point && digits[end - 1] == '0') --end;
  std::string out = negative ? "-" : "";
  out.append(digits, 0, point);
  if (end > point) out.append(".").append(digits, point, end - point);
  return out;
}

}  // namespace platform::text
