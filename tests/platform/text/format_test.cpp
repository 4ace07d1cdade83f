#include "platform/text/format_float.h"

#include <gtest/gtest.h>

#include <limits>

namespace platform::text {
namespace {

struct FormatCase {
  const char* format;
  double value;
  const char* text;
};

TEST(FormatFloatTest, PatternsOfTheListsDocumentsAndReports) {
  for (FormatCase c : {
           FormatCase{",0.00", 1234567.891, "1,234,567.89"},
           FormatCase{",0.00", -1234.5, "-1,234.50"},
           FormatCase{",0.00", 0, "0.00"},
           FormatCase{",0.00", 999.999, "1,000.00"},
           FormatCase{",0.00", 100, "100.00"},
           FormatCase{"#,0.00", 1000, "1,000.00"},
           FormatCase{",0.000", 12.3456, "12.346"},
           FormatCase{",0.000", 1234, "1,234.000"},
           FormatCase{",0.0000", 0.00005, "0.0001"},
           FormatCase{",0.0", -0.05, "-0.1"},
           FormatCase{",.00", 0.5, ".50"},
           FormatCase{",.00", 0, ".00"},
           FormatCase{",.00", 12345.678, "12,345.68"},
           FormatCase{".00", 3, "3.00"},
           FormatCase{".000", 0.0005, ".001"},
           FormatCase{"0.00", 1234.5, "1234.50"},
           FormatCase{"0.00", -0.125, "-0.13"},
           FormatCase{"0.00", 1.005, "1.01"},
           FormatCase{"0.000", 0.0004, "0.000"},
           FormatCase{"00.000", 1.5, "01.500"},
           FormatCase{"00.000", 123.4567, "123.457"},
           FormatCase{",0", 1234567, "1,234,567"},
           FormatCase{",0", 999.5, "1,000"},
           FormatCase{",0", -12.5, "-13"},
           FormatCase{"0", 2.5, "3"},
           FormatCase{"0", -0.4, "0"},
           FormatCase{"0", 42, "42"},
           FormatCase{"0.##", 1.5, "1.5"},
           FormatCase{"0.0#", 1.256, "1.26"},
           FormatCase{"0.0#", 2, "2.0"},
       }) {
    EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.format << " of " << c.value;
  }
}

TEST(FormatFloatTest, ValuesThatAreNotFinite) {
  EXPECT_EQ(FormatFloat(",0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FormatFloat(",0.00", -std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FormatFloat(",0", 1e20), "100,000,000,000,000,000,000");
}

TEST(FormatFloatTest, FloatToStrGivesTheGeneralForm) {
  EXPECT_EQ(FloatToStr(12.5), "12.5");
  EXPECT_EQ(FloatToStr(3), "3");
  EXPECT_EQ(FloatToStr(-0.75), "-0.75");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(1.5e-5), "1.5E-5");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
}

}  // namespace
}  // namespace platform::text
