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
// The books become the backup's whole: every data and index file of a company that the archive
// does not hold (one made after the backup, or every file of a company the backup does not hold)
// is moved away like a file it replaces; files of other kinds stay. The files it replaced or
// moved away are then kept in a folder of their own, "BeforeRestore" with the date and time of
// the restore ("BeforeRestore 2026-12-09 10.15.02"); the safety copies of earlier restores stay.
// An archive with an entry whose name starts with "BeforeRestore" is refused.

#include <string>
#include <string_view>
#include <vector>

#include "storage/journal_retire.h"

namespace exchange {

// What the name of each restore's safety copy starts with.
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
  // Where the files it replaced or moved away are kept ("BeforeRestore 2026-12-09 10.15.02"); empty
  // when there were none.
  std::string safetyFolder;
  // Where what an earlier restore, taken over, had set aside is kept (EarlierSetAsideText says it);
  // told whether or not this restore went through.
  std::vector<std::string> earlierKeptIn;
};

RestoreResult RestoreDataFiles(const std::string& archiveFolder);

struct CompanyTakenAway {
  std::string Number;
  std::string Name;  // as the company list has it; empty when it does not list the company
};

// What a restore from the archive in archiveFolder would take away, for its question: the postings
// waiting to be undone that it drops with the files they touched (RetiredPostingsText says them),
// and the companies whose files it takes away because the archive holds none of them
// (CompaniesTakenAwayText). Nothing when there is no archive.
struct RestorePreview {
  std::vector<storage::LeftJournal> dropped;
  std::vector<CompanyTakenAway> companiesTakenAway;
  // Why the company list could not name them ("The file ovcomp.IX cannot be opened now: Permission
  // denied."); empty when it was read.
  std::string companyListFailure;
};
RestorePreview PreviewRestore(const std::string& archiveFolder);

// "The backup holds no files of company 2 (NEW SHOP): the restore takes it away, and its files go
// with the files it replaces into a new folder "BeforeRestore" with the date and time of the
// restore."; empty for none.
std::string CompaniesTakenAwayText(const std::vector<CompanyTakenAway>& companies);

}  // namespace exchange
