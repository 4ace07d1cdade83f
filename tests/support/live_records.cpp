#include "support/live_records.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support {

std::vector<std::string> LiveRecords(const std::filesystem::path& dataFile) {
  std::ifstream in(dataFile, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> records;
  int32_t length = 0;
  if (bytes.size() < 16) return records;
  std::memcpy(&length, bytes.data() + 12, sizeof length);
  if (length <= 0) return records;
  const size_t slot = static_cast<size_t>(length);
  for (size_t at = slot; at + slot <= bytes.size(); at += slot)
    if (bytes.compare(at, 4, std::string(4, '\0')) == 0) records.push_back(bytes.substr(at, slot));
  std::sort(records.begin(), records.end());
  return records;
}

}  // namespace testing_support
