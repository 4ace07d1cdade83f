#pragma once
// The restore's mark ".restore-mark": what a restore is about to place, written whole into the
// program directory before the first live file is replaced, so that a start after a stop can
// finish the restore or keep every live file (restore_placement.h). It is the program's own file,
// read as one that other hands may have replaced: a regular file only, never through a link, and
// every line checked.
//
// Layout: text, one line each, the fields separated by a tab:
//   "KESTRAVA RESTORE 1"
//   "folder"   the work folder's name (".restore-" and six letters or digits)
//   "file"     the entry's name (the staged file's), the live file's name, "1" when a live file
//              was there to replace, else "0"
//   "journal"  the journal's name ("12JNL.DAT"), its company, "1" when a posting waits in it,
//              else "0", and that posting ("invoice 10000", may be empty)
//   "away"     the name of a live file moved away without a replacement: a file a retired
//              journal's posting touched or made that the backup does not hold
//   "end"      the number of "file", "journal" and "away" lines
// Names are plain file names of the program directory; no field holds a tab or a line break.

#include <optional>
#include <string>
#include <vector>

#include "storage/journal_retire.h"

namespace exchange {

inline constexpr char RestoreMarkName[] = ".restore-mark";

struct RestoreItem {
  std::string name;     // the entry's: the staged file's name in the work folder
  std::string target;   // the live file's, as spelled on disk when it is there
  bool hadOld = false;  // a live file was there to replace
};

struct RestorePlan {
  std::string folder;  // the work folder
  std::vector<RestoreItem> items;
  std::vector<storage::LeftJournal> journals;
  std::vector<std::string> away;  // live files moved away without a replacement, as spelled on disk
};

// A work folder's name as a restore makes it in the program directory.
bool IsRestoreFolderName(const std::string& name);

std::string EncodeRestoreMark(const RestorePlan& plan);
// The plan a mark holds; nothing when it is not one whole mark.
std::optional<RestorePlan> DecodeRestoreMark(const std::string& bytes);
// The mark's bytes at path; false with the errno-style reason when they cannot be read.
[[nodiscard]] bool ReadRestoreMark(const std::string& path, std::string* bytes, int* err);

}  // namespace exchange
