#include "platform/text/upper_case.h"

namespace platform::text {

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

}  // namespace platform::text
