#include "exchange/comma_text.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <fstream>
#include <random>

#include "support/temp_dir.h"

namespace exchange {
namespace {

using Items = std::vector<std::string>;

TEST(CommaTextTest, SplitsLinesByTheOldCommaTextRule) {
  const struct {
    std::string line;
    Items items;
  } cases[] = {
      {"Acme,Tools", {"Acme", "Tools"}},
      {"Acme Tools,12", {"Acme", "Tools", "12"}},  // a blank ends an unquoted item
      {"\"Acme Tools\",12", {"Acme Tools", "12"}},
      {"\"Smith, Jones & Co\",\"1 \"\"Main\"\" St\"", {"Smith, Jones & Co", "1 \"Main\" St"}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"a,", {"a"}},  // a trailing comma gives no further item
      {"a,,", {"a", ""}},
      {"", {}},
      {"   ", {}},
      {"  a ,  b  ", {"a", "b"}},
      {"\ta\t,\tb", {"a", "b"}},
      {"\"\",x", {"", "x"}},
      {"\"unclosed, to the end", {"unclosed, to the end"}},
      {"\"ab\"cd,e", {"ab", "cd", "e"}},
      {"a b c", {"a", "b", "c"}},
      {"x\"y,z", {"x\"y", "z"}},  // a quote inside an unquoted item is kept
      {std::string("a,b\0c,d", 7), {"a", "b"}},
      {"\xC9t\xE9,caf\xE9", {"\xC9t\xE9", "caf\xE9"}},  // Windows-1252 bytes pass through
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommaText(c.line), c.items) << c.line;
}

// A model sweep: any items, each quoted with its quotes doubled and joined by commas, split back
// to themselves; the same lines with bytes changed, cut and repeated split into items that
// together are never longer than the line.
TEST(CommaTextTest, QuotedItemsSplitBackAndMutatedLinesStayWithinTheLine) {
  std::mt19937 random(48);
  const std::string itemBytes = "a ,\"\t\r\x01\xA0\xFF";
  const std::string mutationBytes = itemBytes + std::string(1, '\0');
  for (int round = 0; round < 400; ++round) {
    Items items(random() % 6);
    std::string line;
    for (std::size_t i = 0; i < items.size(); ++i) {
      for (int n = random() % 8; n > 0; --n) items[i] += itemBytes[random() % itemBytes.size()];
      line += i == 0 ? "\"" : ",\"";
      for (char c : items[i]) line += c == '"' ? std::string("\"\"") : std::string(1, c);
      line += '"';
    }
    EXPECT_EQ(SplitCommaText(line), items) << line;
    for (int n = random() % 4 + 1; n > 0 && !line.empty(); --n) {
      const std::size_t at = random() % line.size();
      switch (random() % 3) {
        case 0:
          line[at] = mutationBytes[random() % mutationBytes.size()];
          break;
        case 1:
          line.resize(at);
          break;
        default:
          line.insert(at, line.substr(at, random() % 20));
      }
    }
    std::size_t length = 0;
    for (const std::string& item : SplitCommaText(line)) length += item.size();
    EXPECT_LE(length, line.size()) << line;
  }
}

TEST(CommaTextTest, ReadsLinesWhateverTheirEnds) {
  testing_support::TempDir dir;
  auto linesOf = [&](const std::string& bytes) {
    std::ofstream(dir.File("in.txt"), std::ios::binary) << bytes;
    std::optional<TextFileLines> read = ReadTextLines(QString::fromStdString(dir.File("in.txt")));
    EXPECT_TRUE(read.has_value());
    return read ? read->Lines : Items{"<unread>"};
  };
  EXPECT_EQ(linesOf("a\r\nb\r\n"), (Items{"a", "b"}));
  EXPECT_EQ(linesOf("a\nb"), (Items{"a", "b"}));
  EXPECT_EQ(linesOf("a\rb\rc\r"), (Items{"a", "b", "c"}));  // CR-only lines
  EXPECT_EQ(linesOf("a\r\n\r\nb\n"), (Items{"a", "", "b"}));
  EXPECT_EQ(linesOf("\n"), (Items{""}));
  EXPECT_EQ(linesOf(""), Items{});
  EXPECT_EQ(linesOf("\xC9t\xE9\r\n"), (Items{"\xC9t\xE9"}));
  // Byte-order marks: the text is read in that encoding and comes back as Windows-1252.
  EXPECT_EQ(linesOf("\xEF\xBB\xBF\xC3\x89t\xC3\xA9,\xE2\x82\xAC\r\nx"), (Items{"\xC9t\xE9,\x80", "x"}));
  const QString text = QString::fromUtf8("\"Caf\xC3\xA9\",1\r\n");
  QByteArray utf16("\xFF\xFE", 2);
  utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  EXPECT_EQ(linesOf(utf16.toStdString()), (Items{"\"Caf\xE9\",1"}));

  EXPECT_FALSE(ReadTextLines(QString::fromStdString(dir.File("missing.txt"))).has_value());
}

// UTF-8 without a byte-order mark is known by its well-formed multi-byte sequences; a character
// Windows-1252 cannot hold is told by line and column. Bytes that are not well-formed UTF-8
// stay Windows-1252.
TEST(CommaTextTest, UnmarkedUtf8IsReadAsUtf8AndUnheldCharactersAreFound) {
  testing_support::TempDir dir;
  const struct {
    std::string bytes;
    Items lines;
    std::vector<UnheldCharacter> unheld;
  } cases[] = {
      {"Caf\xC3\xA9,\xE2\x82\xAC"
       "5\r\n",
       {"Caf\xE9,\x80"
        "5"},
       {}},
      {"Caf\xE9,x\r\n\xC3", {"Caf\xE9,x", "\xC3"}, {}},  // not UTF-8: Windows-1252 as it stands
      {"ok\n\xC5\x81\xC3\xB3"
       "d\xC5\xBA,\xF0\x9F\x99\x82\xC5\x81\n",
       {"ok",
        "?\xF3"
        "d?,??"},
       {{2, 1, QString::fromUtf8("\u0141")},
        {2, 4, QString::fromUtf8("\u017a")},
        {2, 6, QString::fromUtf8("\U0001F642")},
        {2, 7, QString::fromUtf8("\u0141")}}},
  };
  for (const auto& c : cases) {
    std::ofstream(dir.File("in.txt"), std::ios::binary) << c.bytes;
    const std::optional<TextFileLines> read = ReadTextLines(QString::fromStdString(dir.File("in.txt")));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Lines, c.lines) << c.bytes;
    EXPECT_EQ(read->Unheld, c.unheld) << c.bytes;
  }
}

}  // namespace
}  // namespace exchange
