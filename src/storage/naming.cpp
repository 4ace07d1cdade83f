#include "storage/naming.h"

#include <algorithm>

#include "platform/text/upper_case.h"
#include "storage/isam_types.h"

namespace storage {
namespace {

// Base names longer than the engine's limit are cut, as its fixed-size name field would.
std::string Limited(const std::string& baseName) {
  return baseName.substr(0, IsamMaxBaseNameLen);
}

}  // namespace

std::string IsamDataPart(const std::string& baseName) {
  std::string base = Limited(baseName);
  return base.substr(0, base.find(';'));
}

std::string IsamIndexPart(const std::string& baseName) {
  std::string base = Limited(baseName);
  size_t split = base.find(';');
  return split == std::string::npos ? base : base.substr(split + 1);
}

std::string IsamFileName(const std::string& name, const std::string& ext) {
  size_t dot = name.rfind('.');
  bool dotInLastComponent = dot != std::string::npos && name.find_first_of("\\/", dot) == std::string::npos;
  std::string result = dotInLastComponent ? name.substr(0, dot + 1) + ext : name + "." + ext;
  return result.substr(0, IsamNameMaxLen);
}

std::optional<std::string> IsamDataFileOwner(const std::string& dataFileName) {
  const size_t folder = dataFileName.find_last_of("\\/");
  std::string stem = dataFileName.substr(folder == std::string::npos ? 0 : folder + 1);
  stem = platform::text::UpperCase(stem.substr(0, stem.rfind('.')));
  const size_t lastDigit = stem.find_last_of("0123456789");
  if (lastDigit == std::string::npos) return std::string();
  const std::string code = stem.substr(lastDigit + 1);
  const bool letters = std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
  if (code.empty() || !letters) return std::nullopt;
  return stem.substr(0, lastDigit + 1);
}

}  // namespace storage
