#pragma once
// Names listed in a sentence of a message.

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace platform::text {

// "A", "A and B", "A, B and C". Past `mostNamed` names the rest, two or more, are counted,
// `countedAs` after the count when given: "A, B and 3 more", "A, B and 3 more files".
std::string NamesInASentence(const std::vector<std::string>& names,
                             std::size_t mostNamed = std::numeric_limits<std::size_t>::max(),
                             std::string_view countedAs = {});

}  // namespace platform::text
