#include "platform/text/word_list.h"

#include <algorithm>

namespace platform::text {

std::string NamesInASentence(const std::vector<std::string>& names, std::size_t mostNamed,
                             std::string_view countedAs) {
  // One name is no longer than "and 1 more": it is named.
  const std::size_t named = names.size() - std::min(names.size(), mostNamed) <= 1 ? names.size() : mostNamed;
  const bool allNamed = named == names.size();
  std::string text;
  for (std::size_t i = 0; i < named; ++i) {
    if (i > 0) text += allNamed && i + 1 == named ? " and " : ", ";
    text += names[i];
  }
  if (!allNamed) {
    text += " and " + std::to_string(names.size() - named) + " more";
    if (!countedAs.empty()) text += ' ' + std::string(countedAs);
  }
  return text;
}

}  // namespace platform::text
