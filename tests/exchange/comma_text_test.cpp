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
    std::optional<Items> lines = ReadTextLines(QString::fromStdString(dir.File("in.txt")));
    EXPECT_TRUE(lines.has_value());
    return lines.value_or(Items{"<unread>"});
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

}  // namespace
}  // namespace exchange
