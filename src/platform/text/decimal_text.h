#pragma once
// A number held as its decimal digits. Money is rounded on the digits a person reads: "1.005"
// rounds to 1.01, although the double nearest to it is 1.00499999999999989...; rounding the
// double would lose the cent.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::text {

// A plain decimal text read in place: the parts DecimalText::Parse copies, as views of the text.
struct DecimalView {
  bool Negative = false;
  std::string_view Whole;     // without leading zeros
  std::string_view Fraction;  // as written

  // What DecimalText::Parse takes.
  static std::optional<DecimalView> Parse(std::string_view text);
  bool IsZero() const;
};

struct DecimalText {
  bool Negative = false;
  std::string Whole;     // digits before the point, without leading zeros ("" for zero)
  std::string Fraction;  // digits after the point

  // Only an optional leading "-", digits and at most one "." with at least one digit: no
  // blanks, no "+", no exponent, no hex, no "nan" or "inf".
  static std::optional<DecimalText> Parse(std::string_view text);
  // The shortest digits that read back as the same double; value must be finite.
  static DecimalText FromDouble(double value);
  // An exact count of hundredths.
  static DecimalText FromCents(long long cents);

  // Rounds half away from zero on the digits: the first dropped digit decides.
  void Round(std::size_t decimals);
  bool IsZero() const;
  DecimalView View() const { return {Negative, Whole, Fraction}; }
  // "-12.5", "0.07", "3": the plain form, read back by Parse.
  std::string ToString() const;
};

// A plain decimal of at most 18 digits (leading zeros of the whole part aside) as a whole count
// of its last decimal place: "-12.50" is -1250 in the second place. Nearly every figure and
// amount a posting reads is one, and is read, rounded and summed without digit strings.
struct ShortDecimal {
  static constexpr std::size_t kMaxDigits = 18;

  long long Units = 0;
  std::size_t Decimals = 0;     // digits after the point, trailing zeros included
  std::size_t WholeDigits = 0;  // digits before it, without leading zeros
  bool Plain = true;            // false for text that DecimalText::Parse refuses (Units 0)

  // What DecimalText::Parse reads, under its rules; none when the text holds more digits.
  static std::optional<ShortDecimal> Read(std::string_view text);
  // The count in another decimal place: more places multiply (the caller keeps the result
  // within 18 digits), fewer round half away from zero on the first dropped digit, as
  // DecimalText::Round does.
  long long ScaledTo(std::size_t decimals) const;
  // The plain form of a count in a decimal place, without trailing zeros after the point and
  // without the sign of a zero: "-12.5", "0.07", "3".
  static std::string PlainText(long long units, std::size_t decimals);
};

// The exact sum of two figures as typed or stored (" 1,250", "-0.1"): blanks and thousands
// commas are dropped first, and a text that is no plain decimal counts 0. The sum is plain
// decimal text without exponent and without leading or trailing zeros, so "0.3" less "0.1" less
// "0.2" gives "0", never the binary remainder of the doubles.
std::string AddFigures(std::string_view a, std::string_view b);
// True when a figure as typed or stored is zero (text that is no plain decimal counts 0).
bool FigureIsZero(std::string_view figure);
// The figure with its sign turned, in the same plain form ("2.5" gives "-2.5").
std::string NegatedFigure(std::string_view figure);

}  // namespace platform::text
