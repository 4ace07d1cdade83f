#include "storage/naming.h"

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

}  // namespace storage
