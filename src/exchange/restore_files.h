#pragma once
// Restore of the program directory from the archive "OVBackup.zip" of a chosen folder. A plain
// procedure apart from the backup window.
//
// Only entries with plain file names are restored: a name with a folder in it ("/" or "\"), a
// drive (":"), a name starting with "." (".." among them), a folder entry or a link is skipped
// and reported. An archive with an entry named as the safety folder below is refused. The restore
// is all or nothing, whatever stops it:
//   1. the sizes the archive declares must fit in the disk's free space;
//   2. every entry is extracted into a work folder in the program directory, its checksum
//      checked, and none written past its declared size;
//   3. none of the files to be replaced may be held by another program;
//   4. the files are placed as restore_placement.h tells: a mark first, the journal of a posting
//      that waits to be undone retired (storage/journal_retire.h says which), each live file
//      moved into the work folder and the new one into its place, and every file such a posting
//      touched or made that the archive does not hold moved away too, so that no part of the
//      posting stays; a failure on the way moves everything back, and a start after a stop
//      finishes the restore or keeps every live file.
// The files it replaced or moved away are then kept in the folder "BeforeRestore" of the program
// directory (those of the restore before are dropped).

#include <string>
#include <string_view>
#include <vector>

#include "storage/journal_retire.h"

namespace exchange {

inline constexpr char SafetyFolderName[] = "BeforeRestore";

// True for a name that may be restored into the program directory.
[[nodiscard]] bool IsPlainFileName(std::string_view name);

struct RestoreResult {
  enum class Status { Restored, NoArchive, Failed };
  Status status = Status::Failed;
  std::string failure;                // why nothing was restored
  bool liveUnchanged = true;          // after a failure: every live file is as it was
  std::vector<std::string> restored;  // the names put in place
  std::vector<std::string> skipped;   // "NAME (why)" of each entry left out
  // The posting journals that went with the files they touched (RetiredPostingsText says them).
  std::vector<storage::LeftJournal> retired;
};

RestoreResult RestoreDataFiles(const std::string& archiveFolder);

// The postings waiting to be undone that a restore from the archive in archiveFolder would drop
// with the files they touched (RetiredPostingsText says them); none when there is no archive.
std::vector<storage::LeftJournal> PostingsARestoreDrops(const std::string& archiveFolder);

}  // namespace exchange
