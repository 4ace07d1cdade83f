#include "platform/text/word_list.h"

#include <gtest/gtest.h>

namespace platform::text {
namespace {

// "and" stands before the last name only when every name is there; a cut list ends with the count
// of two or more names left out.
TEST(NamesInASentence, JoinsWithAndBeforeTheLastOrTheCountOfTheRest) {
  const std::vector<std::string> five = {"A", "B", "C", "D", "E"};
  struct Case {
    std::vector<std::string> names;
    std::size_t most;
    const char* countedAs;
    const char* said;
  } cases[] = {
      {{}, 3, "", ""},
      {{"A"}, 3, "", "A"},
      {{"A", "B"}, 3, "", "A and B"},
      {{"A", "B", "C"}, 3, "", "A, B and C"},
      {five, 3, "", "A, B, C and 2 more"},
      {five, 2, "files", "A, B and 3 more files"},
      {five, 4, "files", "A, B, C, D and E"},  // never "1 more"
      {five, 5, "files", "A, B, C, D and E"},
  };
  for (const Case& c : cases) EXPECT_EQ(NamesInASentence(c.names, c.most, c.countedAs), c.said) << c.said;
  EXPECT_EQ(NamesInASentence(five), "A, B, C, D and E");
}

}  // namespace
}  // namespace platform::text
