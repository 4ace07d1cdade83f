#pragma once
// Path resolution the way the program's Windows-born file names expect it: "\" and "/" both
// separate folders, and an existing file or folder is found whatever the case of its name.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::files {

// "\" becomes "/"; nothing else changes.
std::string NormalizeSeparators(std::string_view path);

enum class ResolveStatus {
  Found,      // path names an existing entry (spelled as it is on disk)
  NotFound,   // nothing matches; path is the name to create (existing folders as on disk)
  Ambiguous,  // two or more entries differ from the name only by case
};

struct ResolvedPath {
  ResolveStatus status = ResolveStatus::NotFound;
  std::string path;
};

// Resolves every component of the path case-insensitively (ASCII letters). A component
// that matches exactly is taken as it is; otherwise the folder is scanned.
ResolvedPath Resolve(std::string_view path);

// The resolved name for opening or creating: the existing entry, or the name as spelled.
// An ambiguous name is returned as spelled with *ambiguous set (when given).
std::string ResolveForUse(std::string_view path, bool* ambiguous = nullptr);

[[nodiscard]] bool Exists(std::string_view path);

// The names of one folder, read once, for finding many names in it as Resolve finds a last
// component: the name as spelled, else the one name that differs from it only by case. Resolve
// reads the whole folder again for every name that is not there as spelled.
class FolderNames {
 public:
  // Reads the folder ("" or "." for the current one); false with errno-style *err when it cannot.
  [[nodiscard]] bool Read(std::string_view folder, int* err = nullptr);
  // The name's path in the folder (just the name in the current folder), spelled as on disk when
  // found; names are plain names, without a folder of their own.
  ResolvedPath Find(std::string_view name) const;
  // A name made in the folder since it was read.
  void Add(std::string_view name);

 private:
  std::string prefix_;  // the folder and its "/", or nothing for the current folder
  std::unordered_map<std::string, std::vector<std::string>> spellings_;  // by lower-case name
};

// The last component and the folder part ("" when there is none), after normalizing.
std::string FileName(std::string_view path);
std::string DirName(std::string_view path);

}  // namespace platform::files
