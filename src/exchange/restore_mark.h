#pragma once
// The restore's mark ".restore-mark": what a restore is about to place, written whole into the
// program directory before the first live file is replaced, so that a start after a stop can
// finish the restore or keep every live file (restore_placement.h). It is the program's own file,
// read as one that other hands may have replaced: a regular file only, never through a link, and
// every line checked.
//
// Layout: text, one line each, the fields separated by a tab:
//   "KESTRAVA RESTORE 2"
//   "folder"   the work folder's name (".restore-" and six letters or digits)
//   "safety"   the folder the files it replaces or moves away are kept in once it stands
//              ("BeforeRestore 2026-12-09 10.15.02")
//   "earlier"  only in the mark of a restore that took over an earlier one that could be neither
//              finished nor undone: that one's mark, when it was written (its modification time in
//              nanoseconds, decimal) and its bytes in hex (lower-case, two digits a byte). The
//              take-back puts it back as it was, time and all, so that the earlier restore still
//              holds every company and tells its own placed files as before, whether the take-back
//              is this restore's own or a later start's.
//   "file"     the entry's name (the staged file's), the live file's name, "1" when a live file
//              was there to replace, else "0", then what the staged file is: its device and inode
//              numbers (decimal), its size in bytes and the SHA-256 of its bytes (64 hex digits).
//              The take-back removes or overwrites a live file only when it is that file: the same
//              device and inode, or the same size and SHA-256; the flag alone never lets it.
//   "journal"  the journal's name ("12JNL.DAT"), its company, "1" when a posting waits in it,
//              else "0", and that posting ("invoice 10000", may be empty)
//   "away"     the name of a live file moved away without a replacement: a data or index file of a
//              company that the backup does not hold, or one a retired journal's posting touched or
//              made
//   "end"      the number of "file", "journal" and "away" lines
// Names are plain file names of the program directory; no field holds a tab or a line break.
// A mark of the layout before ("KESTRAVA RESTORE 1": no "safety" or "earlier" line, "file" lines with the
// first four fields) is read too: the files it placed cannot be told, so none of them is removed.
// A mark that names one live file twice (in "file" and "away" lines, or as two journals, or as a
// journal and a file placed), or one staged file twice, is damaged; a journal may be "away" too.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/journal_retire.h"

namespace exchange {

inline constexpr char RestoreMarkName[] = ".restore-mark";

// What a staged file is, so that the take-back can tell it from any other file later found under
// its live name. A file whose identity is not known (a mark of the layout before) is never told.
struct StagedIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = -1;   // -1: not known
  std::string sha256;  // 64 lower-case hex digits
};

struct RestoreItem {
  std::string name;     // the entry's: the staged file's name in the work folder
  std::string target;   // the live file's, as spelled on disk when it is there
  bool hadOld = false;  // a live file was there to replace
  StagedIdentity staged;
};

struct RestorePlan {
  std::string folder;  // the work folder
  std::string safety;  // the safety copy's folder; empty in a mark of the layout before
  std::vector<RestoreItem> items;
  std::vector<storage::LeftJournal> journals;
  std::vector<std::string> away;  // live files moved away without a replacement, as spelled on disk
  // The mark of an earlier restore that could be neither finished nor undone, which this one
  // replaces, and when it was written: a take-back puts it back as it was, so that the earlier
  // restore still holds every company.
  std::optional<std::string> earlierMark;
  int64_t earlierMarkTime = 0;

  // Not in the mark: what the program knows of it while it works with it.
  std::string markBytes;  // the mark as written or read: a take-back removes that mark alone
  int64_t markTime = 0;   // when it was written (its modification time, in nanoseconds)
};

// A work folder's name as a restore makes it in the program directory.
bool IsRestoreFolderName(const std::string& name);
// A safety copy's name as a mark may hold it: a plain file name that starts with "BeforeRestore".
bool IsSafetyFolderName(const std::string& name);

std::string EncodeRestoreMark(const RestorePlan& plan);
// The plan a mark holds; nothing when it is not one whole mark.
std::optional<RestorePlan> DecodeRestoreMark(const std::string& bytes);
// The mark's bytes at path, opened only to read them and never through a link; false with the
// errno-style reason when they cannot be read: ELOOP for a link, EISDIR for a folder, EINVAL for
// another kind of file.
[[nodiscard]] bool ReadRestoreMark(const std::string& path, std::string* bytes, int* err);

}  // namespace exchange
