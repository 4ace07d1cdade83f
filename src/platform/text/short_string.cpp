#include "platform/text/short_string.h"

#include <algorithm>
#include <cstring>

namespace platform::text {

std::string ReadShortString(const void* field, std::size_t capacity) {
  const auto* bytes = static_cast<const unsigned char*>(field);
  std::size_t length = std::min<std::size_t>(bytes[0], capacity);
  return std::string(reinterpret_cast<const char*>(bytes + 1), length);
}

void WriteShortString(void* field, std::size_t capacity, std::string_view text) {
  auto* bytes = static_cast<unsigned char*>(field);
  std::size_t length = std::min({text.size(), capacity, std::size_t{255}});
  bytes[0] = static_cast<unsigned char>(length);
  std::memcpy(bytes + 1, text.data(), length);
  std::memset(bytes + 1 + length, 0, capacity - length);
}

}  // namespace platform::text
