// Many generated numbers, amounts and moments, checked against an independent Python checker
// (tests/oracles/text_formats.py) that rounds with the decimal module and names days and months
// with the standard library.
#include <gtest/gtest.h>

#include <QProcess>
#include <charconv>
#include <random>
#include <string>
#include <vector>

#include "platform/text/amount.h"
#include "platform/text/format_date_time.h"
#include "platform/text/format_float.h"

namespace platform::text {
namespace {

struct Case {
  std::string input;   // the checker's line
  std::string actual;  // what the program gives
};

std::vector<std::string> RunChecker(const std::vector<Case>& cases) {
  std::string input;
  for (const Case& c : cases) input += c.input + "\n";
  QProcess python;
  python.start("python3", {QString(KESTRAVA_SOURCE_DIR) + "/tests/oracles/text_formats.py"});
  EXPECT_TRUE(python.waitForStarted(30000));
  python.write(input.data(), static_cast<qint64>(input.size()));
  python.closeWriteChannel();
  EXPECT_TRUE(python.waitForFinished(120000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  std::vector<std::string> lines;
  for (const QByteArray& line : python.readAllStandardOutput().split('\n'))
    if (!line.isEmpty()) lines.push_back(line.toStdString());
  return lines;
}

void ExpectCheckerAgrees(const std::vector<Case>& cases) {
  std::vector<std::string> expected = RunChecker(cases);
  ASSERT_EQ(expected.size(), cases.size());
  int mismatches = 0;
  for (std::size_t i = 0; i < cases.size() && mismatches < 10; ++i) {
    if (cases[i].actual == expected[i]) continue;
    ++mismatches;
    ADD_FAILURE() << cases[i].input << ": program " << cases[i].actual << ", checker " << expected[i];
  }
}

// Decimal text with up to five decimals, often ending in a 5 so that rounding has a half to
// decide; magnitudes from cents to billions.
std::string RandomDecimal(std::mt19937& rng) {
  std::uniform_int_distribution<int> digits(0, 9), wholeLen(0, 10), fracLen(0, 5), coin(0, 3);
  std::string text = coin(rng) == 0 ? "-" : "";
  int n = wholeLen(rng);
  for (int i = 0; i < n; ++i) text += static_cast<char>('0' + digits(rng));
  if (n == 0) text += "0";
  int f = fracLen(rng);
  if (f > 0) {
    text += '.';
    for (int i = 0; i < f - 1; ++i) text += static_cast<char>('0' + digits(rng));
    text += static_cast<char>('0' + (coin(rng) == 0 ? digits(rng) : 5));
  }
  return text;
}

std::string ShortestText(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

TEST(OracleTest, FormatFloatPatternsRoundLikeDecimalArithmetic) {
  std::mt19937 rng(20261207);
  const std::vector<std::string> patterns = {",0.00", ",0.000", ",.00",    "0.00",  "00.000", ",0",
                                             "0",     ",0.0",   ",0.0000", "0.000", ".00"};
  std::vector<Case> cases;
  for (int i = 0; i < 3000; ++i) {
    std::string text = RandomDecimal(rng);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    const std::string& pattern = patterns[static_cast<std::size_t>(i) % patterns.size()];
    cases.push_back({"float\t" + pattern + "\t" + ShortestText(value), FormatFloat(pattern, value)});
  }
  ExpectCheckerAgrees(cases);
}

TEST(OracleTest, TypedAmountsAreStoredLikeDecimalArithmetic) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> pick(0, 9);
  const std::vector<std::string> noise = {"e", "+", ".", "x", "-", " 1", "e3", "$"};
  std::vector<Case> cases;
  for (int i = 0; i < 3000; ++i) {
    std::string text = RandomDecimal(rng);
    if (pick(rng) == 0)
      text.insert(static_cast<std::size_t>(pick(rng)) % (text.size() + 1), noise[pick(rng) % 8]);
    if (pick(rng) < 3 && text.size() > 4) text.insert(text.size() / 2, ",");
    if (pick(rng) < 3) text = "  " + text + " ";
    std::optional<Cents> cents = ParseAmount(text);
    cases.push_back({"amount\t" + text, cents ? AmountText(*cents) : "REFUSED"});
  }
  ExpectCheckerAgrees(cases);
}

TEST(OracleTest, StatusBarStampsNameTheRightDays) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> days(0, 200 * 366), hours(0, 23), minutes(0, 59);
  std::vector<Case> cases;
  for (int i = 0; i < 2000; ++i) {
    QDateTime moment(QDate(1900, 1, 1).addDays(days(rng)), QTime(hours(rng), minutes(rng)));
    QDate d = moment.date();
    std::string input = "stamp\t" + std::to_string(d.year()) + "\t" + std::to_string(d.month()) + "\t" +
                        std::to_string(d.day()) + "\t" + std::to_string(moment.time().hour()) + "\t" +
                        std::to_string(moment.time().minute());
    cases.push_back({input, FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", moment)});
  }
  ExpectCheckerAgrees(cases);
}

}  // namespace
}  // namespace platform::text
