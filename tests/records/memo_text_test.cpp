// Memo text typed as paragraphs, wrapped into the 25 stored lines of 74 characters.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "records/memo_file.h"

namespace records {
namespace {

using Lines = std::vector<std::string>;

// The text without its blanks and breaks: what no wrapping may lose or add.
std::string Letters(const std::string& text) {
  std::string letters;
  for (char c : text)
    if (c != ' ' && c != '\n') letters += c;
  return letters;
}

std::string Joined(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(MemoTextTest, ParagraphsWrapAtBlanksAndOnlyWhatFitsIsStored) {
  std::string paragraph;  // 182 characters of words, as the memo editor took them
  while (paragraph.size() < 182) paragraph += paragraph.empty() ? "Repairs" : " to the shop front";
  paragraph.resize(182);
  const std::string line74(74, 'x');
  struct Case {
    std::string text;
    std::optional<Lines> lines;
  } cases[] = {
      {"", Lines{}},
      {"a\n\nb\n\n", Lines{"a", "", "b"}},
      {line74, Lines{line74}},
      {std::string(80, 'y'), Lines{std::string(74, 'y'), std::string(6, 'y')}},
      {line74 + "   z", Lines{line74, "z"}},
      {std::string(24, '\n') + "last", Lines(24, "")},
      {std::string(25, '\n') + "too far", std::nullopt},
  };
  cases[5].lines->push_back("last");
  for (const Case& c : cases) EXPECT_EQ(StoredMemoLines(c.text), c.lines) << c.text;

  const std::optional<Lines> wrapped = StoredMemoLines(paragraph);
  ASSERT_TRUE(wrapped);
  ASSERT_EQ(wrapped->size(), 3u);
  std::string rejoined;
  for (const std::string& line : *wrapped) rejoined += (rejoined.empty() ? "" : " ") + line;
  EXPECT_EQ(rejoined, paragraph);
}

// Random paragraphs of random words: every stored line fits, no letter is lost or moved, and the
// stored lines shown again for an edit store the same lines.
TEST(MemoTextTest, WrappingKeepsEveryWordAndReadsBackUnchanged) {
  std::mt19937 random(44);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  int refused = 0;
  for (int sample = 0; sample < 500; ++sample) {
    std::string text;
    for (int paragraph = below(8); paragraph >= 0; --paragraph) {
      for (int word = below(30); word >= 0; --word)
        text += std::string(1 + below(below(10) == 0 ? 90 : 12), static_cast<char>('a' + below(26))) +
                std::string(1 + below(2), ' ');
      text += "\n";
    }
    const std::optional<Lines> lines = StoredMemoLines(text);
    if (!lines) {
      ++refused;
      continue;
    }
    EXPECT_LE(lines->size(), 25u);
    for (const std::string& line : *lines) EXPECT_LE(line.size(), 74u) << line;
    EXPECT_EQ(Letters(Joined(*lines)), Letters(text));
    EXPECT_EQ(StoredMemoLines(Joined(*lines)), lines);
  }
  EXPECT_GT(refused, 0);
  EXPECT_LT(refused, 500);
}

}  // namespace
}  // namespace records
