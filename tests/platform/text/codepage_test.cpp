#include "platform/text/codepage.h"

#include <gtest/gtest.h>

#include "platform/text/upper_case.h"

namespace platform::text {
namespace {

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(CodepageTest, EveryByteSurvivesTheRoundTripThroughQString) {
  std::string bytes = AllBytes();
  QString text = ToQString(bytes);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(ToAnsi(text), bytes);
}

TEST(CodepageTest, BytesMeanTheirWindows1252Characters) {
  struct Case {
    unsigned char byte;
    char16_t unicode;
  };
  for (Case c :
       {Case{0x41, u'A'}, Case{0x80, u'\u20AC'}, Case{0x8A, u'\u0160'}, Case{0x93, u'\u201C'},
        Case{0x9F, u'\u0178'}, Case{0xA3, u'\u00A3'}, Case{0xE9, u'\u00E9'}, Case{0xFF, u'\u00FF'}}) {
    SCOPED_TRACE(c.byte);
    EXPECT_EQ(ToQString(std::string(1, static_cast<char>(c.byte))), QString(QChar(c.unicode)));
    EXPECT_EQ(ToAnsi(QString(QChar(c.unicode))), std::string(1, static_cast<char>(c.byte)));
  }
}

TEST(CodepageTest, CharactersOutsideWindows1252BecomeQuestionMarks) {
  EXPECT_EQ(ToAnsi(QString::fromUtf8("Caf\u00e9 \u4e2d\u6587 \u20ac5")),
            "Caf\xe9 ?? \x80"
            "5");
  // A character beyond the 16-bit range is one character, so one "?".
  EXPECT_EQ(ToAnsi(QString::fromUtf8("a\U0001F600b")), "a?b");
  // A lone half of a surrogate pair is not a character at all.
  EXPECT_EQ(ToAnsi(QString(QChar(0xD800)) + "x"), "?x");
  // A mark the encoder would drop without a trace is a lost character too.
  EXPECT_EQ(ToAnsi(QString::fromUtf8("a\u034fb")), "a?b");
  // The substitute control character itself is kept, beside a character that is not.
  EXPECT_EQ(ToAnsi(QString(QChar(0x1A)) + QString::fromUtf8("\u0391")), "\x1a?");
}

// Which characters a text box must refuse: exactly those that ToAnsi would not keep.
TEST(CodepageTest, CharactersOutsideAreTheOnesToAnsiLoses) {
  EXPECT_EQ(CharactersOutsideCodepage(ToQString(AllBytes())), QString());
  EXPECT_EQ(CharactersOutsideCodepage(QString::fromUtf8("\u010capek \u0141\u00f3d\u017a \u010c")),
            QString::fromUtf8("\u010c\u0141\u017a"));  // each once, in order; \u00f3 is held
  EXPECT_EQ(CharactersOutsideCodepage(QString::fromUtf8("\u015e")), QString::fromUtf8("\u015e"));
  EXPECT_EQ(CharactersOutsideCodepage(QString::fromUtf8("a\U0001F600b")), QString::fromUtf8("\U0001F600"));
  for (char32_t c = 0x80; c < 0x3000; ++c) {
    const QString one = QString::fromUcs4(&c, 1);
    EXPECT_EQ(CharactersOutsideCodepage(one).isEmpty(), ToAnsi(one) != "?")
        << "U+" << std::hex << static_cast<uint32_t>(c);
  }
}

// The upper-casing rule checked against Unicode's own capital letters: a byte's capital is the
// capital of its character when Windows-1252 holds that capital, and the byte itself otherwise.
TEST(UpperCaseTest, MatchesUnicodeCapitalsThatWindows1252Holds) {
  for (int b = 0; b < 256; ++b) {
    std::string byte(1, static_cast<char>(b));
    QChar upper = ToQString(byte).at(0).toUpper();
    std::string expected = ToAnsi(QString(upper));
    if (expected == "?" && upper != QChar('?')) expected = byte;
    EXPECT_EQ(UpperCase(byte), expected) << "byte " << b;
  }
}

TEST(UpperCaseTest, NamedCasesAndWholeTexts) {
  EXPECT_EQ(UpperCase("acme tools 12"), "ACME TOOLS 12");
  EXPECT_EQ(UpperCase("\x9a\x9c\x9e\xff"), "\x8a\x8c\x8e\x9f");
  EXPECT_EQ(UpperCase("\xe0\xf6\xf7\xf8\xfe"), "\xc0\xd6\xf7\xd8\xde");  // the division sign stays
  EXPECT_EQ(UpperCase("stra\xdf"
                      "e \xb5"),
            "STRA\xdf"
            "E \xb5");  // sharp s and micro have no capital here
}

}  // namespace
}  // namespace platform::text
