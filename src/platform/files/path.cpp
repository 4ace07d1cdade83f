#include "platform/files/path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform::files {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string LowerName(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
  return lower;
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// Matches one component inside an existing folder. Returns the count of case-insensitive
// matches and the spelling of the first.
int MatchInFolder(const std::string& folder, const std::string& name, std::string* match) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return 0;
  int count = 0;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view candidate(entry->d_name);
    if (candidate == "." || candidate == "..") continue;
    if (EqualsIgnoringCase(candidate, name)) {
      if (count == 0) *match = std::string(candidate);
      ++count;
    }
  }
  ::closedir(dir);
  return count;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

std::string NormalizeSeparators(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

ResolvedPath Resolve(std::string_view raw) {
  const std::string path = NormalizeSeparators(raw);
  if (path.empty()) return {ResolveStatus::NotFound, path};
  if (EntryExists(path)) return {ResolveStatus::Found, path};

  std::string resolved = path.front() == '/' ? "/" : "";
  const std::vector<std::string> parts = SplitComponents(path);
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string exact = Join(resolved, part);
    if (part == "." || part == ".." || EntryExists(exact)) {
      resolved = exact;
      continue;
    }
    std::string match;
    int count = MatchInFolder(resolved, part, &match);
    if (count > 1) return {ResolveStatus::Ambiguous, path};
    if (count == 0) {
      // Not there: the rest is spelled as the program spells it.
      for (size_t j = i; j < parts.size(); ++j) resolved = Join(resolved, parts[j]);
      return {ResolveStatus::NotFound, resolved};
    }
    resolved = Join(resolved, match);
  }
  return {ResolveStatus::Found, resolved};
}

std::string ResolveForUse(std::string_view path, bool* ambiguous) {
  ResolvedPath r = Resolve(path);
  if (ambiguous) *ambiguous = r.status == ResolveStatus::Ambiguous;
  return r.path;
}

bool Exists(std::string_view path) { return Resolve(path).status == ResolveStatus::Found; }

bool FolderNames::Read(std::string_view raw, int* err) {
  const std::string folder = NormalizeSeparators(raw);
  const bool current = folder.empty() || folder == ".";
  prefix_ = current ? "" : Join(folder, "");
  spellings_.clear();
  DIR* dir = ::opendir(current ? "." : folder.c_str());
  if (!dir) {
    if (err) *err = errno;
    return false;
  }
  int failed = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (!entry) {
      failed = errno;
      break;
    }
    const std::string_view name(entry->d_name);
    if (name != "." && name != "..") Add(name);
  }
  ::closedir(dir);
  if (err) *err = failed;
  return failed == 0;
}

ResolvedPath FolderNames::Find(std::string_view name) const {
  const auto found = spellings_.find(LowerName(name));
  if (found == spellings_.end()) return {ResolveStatus::NotFound, prefix_ + std::string(name)};
  const std::vector<std::string>& names = found->second;
  if (std::find(names.begin(), names.end(), name) != names.end())
    return {ResolveStatus::Found, prefix_ + std::string(name)};
  if (names.size() > 1) return {ResolveStatus::Ambiguous, prefix_ + std::string(name)};
  return {ResolveStatus::Found, prefix_ + names.front()};
}

void FolderNames::Add(std::string_view name) {
  std::vector<std::string>& names = spellings_[LowerName(name)];
  if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
}

std::string FileName(std::string_view raw) {
  std::string path = NormalizeSeparators(raw);
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(std::string_view raw) {
  std::string path = NormalizeSeparators(raw);
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace platform::files
