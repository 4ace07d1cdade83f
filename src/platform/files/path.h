#pragma once
// Path resolution the way the program's Windows-born file names expect it: "\" and "/" both
// separate folders, and an existing file or folder is found whatever the case of its name.

#include <string>
#include <string_view>

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

bool Exists(std::string_view path);

// The last component and the folder part ("" when there is none), after normalizing.
std::string FileName(std::string_view path);
std::string DirName(std::string_view path);

}  // namespace platform::files
