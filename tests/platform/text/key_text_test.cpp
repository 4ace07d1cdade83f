#include "platform/text/key_text.h"

#include <gtest/gtest.h>

namespace platform::text {
namespace {

TEST(KeyTextTest, TrimBlanksRemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(TrimBlanks("  Acme  "), "Acme");
  EXPECT_EQ(TrimBlanks("\t\r\n Acme Tools\x01\x1f "), "Acme Tools");
  EXPECT_EQ(TrimBlanks(" \t "), "");
  // Bytes above 127 are letters, not control characters.
  EXPECT_EQ(TrimBlanks("\xe9t\xe9\xa0"), "\xe9t\xe9\xa0");
  EXPECT_EQ(TrimBlanks(std::string("\0a\0", 3)), "a");
}

TEST(KeyTextTest, StripCommasDropsOnlyCommasAndTheBlanksAround) {
  EXPECT_EQ(StripCommas(" 1,234.50 "), "1234.50");
  EXPECT_EQ(StripCommas("-1,000,000"), "-1000000");
  EXPECT_EQ(StripCommas(" , ,, "), "");
  EXPECT_EQ(StripCommas(""), "");
  EXPECT_EQ(StripCommas(", 12"), "12");
  EXPECT_EQ(StripCommas("1 2x"), "1 2x");  // the parser, not this routine, refuses it
}

TEST(KeyTextTest, PaddingAddsOnItsSideButNeverCuts) {
  EXPECT_EQ(PadRightWith("abc", '.', 5), "abc..");
  EXPECT_EQ(PadRightWith("abc", '.', 2), "abc");
  EXPECT_EQ(PadRightWith("abc", ' ', 3), "abc");
  EXPECT_EQ(PadRightWith("", ' ', 0), "");
  EXPECT_EQ(PadRightWith("", '-', 80), std::string(80, '-'));
  EXPECT_EQ(PadLeftWith("abc", '.', 5), "..abc");
  EXPECT_EQ(PadLeftWith("-1,234,567.80", ' ', 12), "-1,234,567.80");
  EXPECT_EQ(PadLeftWith(" 1.00", ' ', 5), " 1.00");  // not trimmed
  EXPECT_EQ(PadLeftWith("", '0', 3), "000");
}

TEST(KeyTextTest, PadLeftBlanksTrimsRightAlignsAndCuts) {
  EXPECT_EQ(PadLeftBlanks(" 42 ", ' ', 5), "   42");
  EXPECT_EQ(PadLeftBlanks("abcdef", ' ', 4), "abcd");
  EXPECT_EQ(PadLeftBlanks("1,234.50", 'x', 12), "    1,234.50");  // the second argument is not used
  EXPECT_EQ(PadLeftBlanks("  ", ' ', 3), "   ");
  EXPECT_EQ(PadLeftBlanks("abc", ' ', 0), "");
}

TEST(KeyTextTest, ZeroPad9SortsNumbersOfDifferentLengths) {
  EXPECT_EQ(ZeroPad9("1234"), "000001234");
  EXPECT_EQ(ZeroPad9(" 77 "), "000000077");
  EXPECT_EQ(ZeroPad9("1234567890"), "123456789");
  EXPECT_EQ(ZeroPad9(""), "000000000");
  EXPECT_LT(ZeroPad9("99"), ZeroPad9("100"));
}

}  // namespace
}  // namespace platform::text
