#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "platform/text/amount.h"
#include "platform/text/decimal_text.h"
#include "platform/text/format_float.h"
#include "platform/text/number_text.h"

namespace platform::text {
namespace {

TEST(NumberTextTest, ReadsDigitsWithOnePointAndALeadingMinus) {
  struct Case {
    const char* text;
    double value;
  };
  for (Case c : {Case{"12", 12}, Case{" 1,234.50 ", 1234.5}, Case{"-0.125", -0.125}, Case{".5", 0.5},
                 Case{"5.", 5}, Case{"007", 7}, Case{"-0", 0}, Case{"1,2,3", 123}}) {
    SCOPED_TRACE(c.text);
    std::optional<double> v = TryStrToFloat(c.text);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, c.value);
  }
  EXPECT_FALSE(std::signbit(*TryStrToFloat("-0.00")));
}

TEST(NumberTextTest, RefusesWhatIsNotAPlainDecimalNumber) {
  for (const char* text :
       {"",    " ",    ",",  "-",     ".",  "-.",  "nan",   "NaN",  "inf", "-infinity", "0x10",
        "1e5", "1E-2", "+1", "1.2.3", "1-", "--1", "12 34", "1.5a", "$5",  "1\t2"}) {
    EXPECT_FALSE(TryStrToFloat(text).has_value()) << text;
    EXPECT_FALSE(ParseAmount(text).has_value()) << text;
  }
  EXPECT_FALSE(TryStrToFloat("1" + std::string(400, '0')).has_value());  // beyond a double
  EXPECT_THROW(StrToFloat("abc"), ConvertError);
  EXPECT_EQ(StrToFloat("2.5"), 2.5);
}

TEST(NumberTextTest, WholeNumbersStayWithin32Bits) {
  EXPECT_EQ(TryStrToInt(" 42 "), 42);
  EXPECT_EQ(TryStrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TryStrToInt("1,000"), 1000);
  for (const char* text : {"", "-", "2147483648", "1.0", "+3", "0x1f", "12a", "1e3"})
    EXPECT_FALSE(TryStrToInt(text).has_value()) << text;
  EXPECT_THROW(StrToInt("x"), ConvertError);
  EXPECT_EQ(StrToInt("644"), 644);
}

TEST(AmountTest, RoundsHalfAwayFromZeroOnTheTypedDigits) {
  struct Case {
    const char* typed;
    Cents cents;
    const char* stored;
    const char* shown;
  };
  for (Case c : {Case{"0.125", 13, "0.13", "0.13"}, Case{"-0.125", -13, "-0.13", "-0.13"},
                 Case{"1.005", 101, "1.01", "1.01"}, Case{"2.675", 268, "2.68", "2.68"},
                 Case{"1,234.5", 123450, "1234.50", "1,234.50"}, Case{" 99.994 ", 9999, "99.99", "99.99"},
                 Case{"999.995", 100000, "1000.00", "1,000.00"}, Case{"-0.004", 0, "0.00", "0.00"},
                 Case{"-1234567.891", -123456789, "-1234567.89", "-1,234,567.89"},
                 Case{"7", 700, "7.00", "7.00"}, Case{".5", 50, "0.50", "0.50"}}) {
    SCOPED_TRACE(c.typed);
    std::optional<Cents> cents = ParseAmount(c.typed);
    ASSERT_TRUE(cents.has_value());
    EXPECT_EQ(*cents, c.cents);
    EXPECT_EQ(AmountText(*cents), c.stored);
    EXPECT_EQ(FormatAmount(*cents), c.shown);
    EXPECT_EQ(ParseAmount(AmountText(*cents)), cents);  // the stored text reads back the same
  }
}

TEST(AmountTest, ComputedValuesRoundOnTheirShortestDigits) {
  EXPECT_EQ(RoundToCents(1 * 0.125), 13);
  EXPECT_EQ(RoundToCents(-1 * 0.125), -13);
  EXPECT_EQ(RoundToCents(2 * 1.125), 225);
  EXPECT_EQ(RoundToCents(1.005), 101);
  EXPECT_EQ(RoundToCents(0.1 + 0.2), 30);
  EXPECT_EQ(RoundToCents(1e-9), 0);
  EXPECT_FALSE(RoundToCents(std::numeric_limits<double>::quiet_NaN()).has_value());
  EXPECT_FALSE(RoundToCents(1e300).has_value());
  EXPECT_DOUBLE_EQ(AmountValue(-1234), -12.34);
}

TEST(AmountTest, LimitsOfTheCentsCount) {
  EXPECT_EQ(ParseAmount("9999999999999999.99"), 999999999999999999LL);
  EXPECT_FALSE(ParseAmount("9999999999999999.995").has_value());  // rounds to 17 whole digits
  EXPECT_FALSE(ParseAmount("12345678901234567").has_value());
  EXPECT_EQ(FormatAmount(std::numeric_limits<Cents>::min()), "-92,233,720,368,547,758.08");
  EXPECT_EQ(AmountText(std::numeric_limits<Cents>::min()), "-92233720368547758.08");
  // The stored form is the shown one without its thousands commas, for every count.
  std::mt19937_64 rng(47);
  for (int step = 0; step < 2000; ++step) {
    const Cents cents = static_cast<Cents>(rng()) >> (rng() % 64);
    std::string shown = FormatAmount(cents);
    shown.erase(std::remove(shown.begin(), shown.end(), ','), shown.end());
    ASSERT_EQ(AmountText(cents), shown);
  }
}

// Stock figures add on the digits as typed: a model in whole hundredths must agree
// with every sum, and the text must be the plain shortest form.
TEST(FigureTest, SumsAreExactPlainDecimals) {
  struct Case {
    const char *a, *b, *sum;
  };
  for (Case c :
       {Case{"0.3", "-0.1", "0.2"}, Case{"0.2", "-0.2", "0"}, Case{"0.1", "0.2", "0.3"},
        Case{" 1,250 ", "2.50", "1252.5"}, Case{"999.99", "0.01", "1000"}, Case{"-5", "3.25", "-1.75"},
        Case{"abc", "7", "7"}, Case{"", "", "0"}, Case{"-0.000001", "0", "-0.000001"},
        Case{"1.2.3", "1", "1"}, Case{"- 5", "1", "1"}, Case{",-5,", "-.5", "-5.5"}, Case{"5.", "-0.00", "5"},
        Case{"999999999999999999", "1", "1000000000000000000"},
        Case{"9999999999999999999", "1", "10000000000000000000"},
        Case{"123456789.123456789", "0.0000000001", "123456789.1234567891"}}) {
    SCOPED_TRACE(std::string(c.a) + " + " + c.b);
    EXPECT_EQ(AddFigures(c.a, c.b), c.sum);
  }
  EXPECT_EQ(AddFigures(AddFigures("0.3", NegatedFigure("0.1")), NegatedFigure("0.2")), "0");
  EXPECT_EQ(NegatedFigure("-2.50"), "2.5");
  std::srand(44);
  for (int step = 0; step < 2000; ++step) {
    const long long a = std::rand() % 2000001 - 1000000, b = std::rand() % 2000001 - 1000000;
    auto text = [](long long hundredths) { return DecimalText::FromCents(hundredths).ToString(); };
    std::string sum = AddFigures(text(a), text(b));
    ASSERT_EQ(DecimalText::Parse(sum)->ToString(), sum);
    ASSERT_EQ(ParseAmount(sum), a + b) << text(a) << " + " << text(b);
    ASSERT_TRUE(sum.back() != '0' || sum.find('.') == std::string::npos) << sum;
  }
}

// Short figures are summed in whole units and long ones digit by digit: figures of up to 24
// digits, on both sides of that line, must give the same plain text either way round, and
// round to the same cents.
TEST(FigureTest, LongAndShortFiguresAgree) {
  std::mt19937 rng(47);
  auto figure = [&rng] {
    std::string digits;
    for (std::size_t n = 1 + rng() % 24; n > 0; --n) digits += static_cast<char>('0' + rng() % 10);
    digits.insert(rng() % (digits.size() + 1), ".");
    return (rng() % 2 ? "-" : "") + digits;
  };
  for (int step = 0; step < 3000; ++step) {
    const std::string a = figure(), b = figure();
    const std::string sum = AddFigures(a, b), plainA = AddFigures(a, "0");
    ASSERT_EQ(DecimalText::Parse(sum)->ToString(), sum) << a << " + " << b;
    ASSERT_EQ(AddFigures(b, a), sum) << a << " + " << b;
    ASSERT_EQ(AddFigures(sum, NegatedFigure(b)), plainA) << a << " + " << b;
    ASSERT_EQ(NegatedFigure(NegatedFigure(a)), plainA) << a;
    // Amounts too: rounded in whole units or on the digits, to cents alike.
    ASSERT_EQ(ParseAmount(a), ParseAmount(FormatDecimal("0.00", *DecimalText::Parse(a)))) << a;
  }
}

}  // namespace
}  // namespace platform::text
