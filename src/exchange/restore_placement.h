#pragma once
// Placing the files of a restore, whole or not at all across a kill or a power cut, and the start
// that finishes a restore a stop interrupted.
//
// A restore works in a folder of the program directory, ".restore-XXXXXX": the archive's files
// are extracted into its "new" folder and checked, each synced. Placing them is a recorded
// intent:
//   1. the mark ".restore-mark" is written whole into the program directory (a temporary file,
//      synced, renamed, the directory synced): the work folder, each staged file with the live
//      file it replaces, and the posting journals the restore retires;
//   2. each such journal (that of a company whose files the restore replaces, left by a posting
//      that waits to be undone) is moved into the work folder's "journals" folder, synced, so that
//      no start ever undoes it over restored files;
//   3. each live file is moved into "old" and the staged file into its place, then each live
//      file the restore moves away without a replacement (what a retired journal's posting
//      touched or made that the backup does not hold) into "old" as well; the folders synced;
//   4. the mark is moved into the work folder: the restore stands;
//   5. the files it replaced or moved away, and the journals it retired, become its own safety
//      copy, the folder the mark names ("BeforeRestore" with the date and time; an earlier
//      restore's is never touched), and the work folder goes (its mark last).
// A failure on the way takes it all back: the staged files still waiting are dropped first (so
// that nothing can finish the restore any more), then each live file and journal is put back,
// then the mark goes: its own mark only (an earlier restore's that it took over comes back in its
// place, from its own mark, so that a start's take-back puts it back too; one it did not write is
// never touched). The take-back removes or overwrites a live file only
// when it is the copy the restore placed (the same file as the one it staged, or the same size and SHA-256,
// as the mark records); nothing comes back over a live name that holds anything else, and a live file it
// cannot vouch for stays. When something would have to, nothing is taken back and every company
// is held. A staged file with another hard link is not the restore's own and is never placed.
//
// A start that finds the mark finishes what was begun: when every staged file is there or in
// place, the restore is finished (steps 2 to 5); otherwise every live file is kept, as a failure
// takes them back, and an earlier restore it took over then holds every company again. A file counts as
// placed only when it is the very file staged, moved into place after the mark was written. A whole mark
// whose work folder is not there was written by no restore (a restore makes its work folder first): nothing
// is done by it, and it is kept aside as "restore-mark-1.BAD". A work folder holding the mark is a restore
// that stood and was not cleaned up (step 5). Either way the user is told once. A work folder that no mark
// stands for (a restore taken over, or stopped before its mark was written) has whatever it set aside kept in
// a safety copy of its own, named, and goes: nothing of the user's is left in a hidden folder.
// Neither does a restore that can be neither finished nor undone keep anything there: what it
// set aside goes into a safety copy of its own when the user is told to restore again; its "old"
// folder going there, nothing can be put back from it any more, so that it stays one to restore
// over, for every later start and for a new restore alike. The mark's layout is in restore_mark.h.
//
// Nothing in the work folder is trusted: every name in it is looked at without following a link,
// and what is not the restore's own regular file or folder (a link, another kind of file, a name
// under a part that is not its own folder) is never placed, moved or deleted, nor anything reached
// through it; nothing outside the program directory is touched. A restore that needs such a name
// is undone from what is its own, or, when that cannot be done whole, left as it is. A mark that
// cannot be read, and a restore that can be neither finished nor undone now, hold every company
// as a posting that waits to be undone holds its own (storage::KeepRestoreWaiting): nothing
// writes the data files, no file is made anew, the figures say so, until a start can.

#include <optional>
#include <string>
#include <vector>

#include "exchange/restore_mark.h"
#include "storage/journal_retire.h"

namespace exchange {

// A new work folder with its "new" folder for the staged files; false with the reason.
[[nodiscard]] bool MakeRestoreFolder(std::string* folder, std::string* failure);
void RemoveRestoreFolder(const std::string& folder);
// Where an entry is staged in the work folder.
std::string StagedFile(const std::string& folder, const std::string& name);

enum class Placement {
  Placed,    // every staged file is in place and the restore stands
  KeptLive,  // it failed and every live file is as it was
  Left,      // it failed and not everything could be put back now: the next start does it
};

// What a staged file is (restore_mark.h): read whole for its SHA-256. False with the errno-style
// reason when it cannot be read.
[[nodiscard]] bool IdentifyStagedFile(const std::string& path, StagedIdentity* identity, int* err);

// A name for a new safety copy that no file or folder of the program directory has: "BeforeRestore"
// with the date and time ("BeforeRestore 2026-12-09 10.15.02"), followed by " (2)" when taken.
std::string NewSafetyFolderName();
// What the user is told of it: "The files it replaced or took away are kept in the folder ...";
// empty when keptIn is.
std::string SafetyCopyText(const std::string& keptIn);

// Steps 1 to 5 above for staged and checked files; the reason of a failure in *failure, and where
// the files it replaced or moved away are kept in *keptIn (empty when there are none). Once
// placed, the retired journals' postings no longer wait. Left holds every company and the company
// list at once (storage::KeepRestoreWaiting), and *failure then says what to do.
[[nodiscard]] Placement PlaceRestoredFiles(const RestorePlan& plan, std::string* failure,
                                           std::string* keptIn);

// Whether a new restore may run now: empty when it may, else why not, in the words of the hold
// that the mark of an earlier restore puts on every company. No restore runs while another's mark
// is there, but for one that can be neither finished nor undone (its mark damaged, or files in
// the way), whose way out is to restore again: a new restore takes it over. Given `earlier`, what
// that restore had set aside in its work folder is then first kept in a safety copy of its own
// (named in earlier->keptIn), and its mark, and when it was written, are given in earlier->mark
// and earlier->markTime, for the new restore to keep in its own mark, whose take-back puts it back
// as it was. Without `earlier` nothing is changed.
struct EarlierRestore {
  std::optional<std::string> mark;
  int64_t markTime = 0;
  std::vector<std::string> keptIn;
};
std::string RestoreRefusal(EarlierRestore* earlier = nullptr);
// Once no mark is there, the work folders that are left (an earlier restore's, taken over) have
// what they set aside kept in safety copies of their own, named in the result, and go.
std::vector<std::string> KeepLeftWorkFolders();
// "What an earlier restore that was not finished had set aside is kept in the folder ...".
std::string EarlierSetAsideText(const std::string& keptIn);

// What a restore tells of the retired journals whose postings waited, a sentence each: "The
// interrupted posting (invoice 10000) of company 12 went with the files it touched."; before it
// starts, "... will be dropped with the files it touched."; empty when none of them held a posting.
enum class Retiring { Done, Ahead };
std::string RetiredPostingsText(const std::vector<storage::LeftJournal>& journals,
                                Retiring when = Retiring::Done);

// The start's part, before any posting journal is undone: a restore a stop interrupted is
// finished, or every live file kept, or (its mark unreadable, or neither possible now) every
// company held; the user told once.
void FinishInterruptedRestore();

}  // namespace exchange
