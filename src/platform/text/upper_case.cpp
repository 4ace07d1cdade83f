#include "platform/text/upper_case.h"

namespace platform::text {

char UpperChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
  switch (u) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
      return static_cast<char>(u - 0x10);
    case 0xFF:
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

}  // namespace platform::text
