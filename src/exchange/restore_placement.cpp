#include "exchange/restore_placement.h"

#include <sys/stat.h>

#include <QCryptographicHash>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "exchange/backup_files.h"
#include "exchange/restore_files.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"
#include "storage/posting_journal.h"

namespace exchange {

namespace fs = std::filesystem;
namespace files = platform::files;

namespace {

constexpr char kMarkInFolder[] = "mark";
constexpr char kInterrupted[] = "The restore of the backup files was interrupted";
constexpr char kRestoreAgain[] = "Restore the backup again.";
const QString kRestoreTitle = QStringLiteral("Restore");

std::string ReplacedFile(const std::string& folder, const std::string& name) {
  return folder + "/old/" + name;
}

std::string RetiredJournal(const std::string& folder, const std::string& name) {
  return folder + "/journals/" + name;
}

std::string Subfolder(const std::string& folder, const char* name) {
  return folder + "/" + name;
}

// Whether a name is there, whatever it is (a link is not followed).
bool IsThere(const std::string& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

// What a name in the work folder is, looked at without following a link.
enum class Found {
  Nothing,  // not there, or under a folder of the work folder that is not there
  Own,      // the restore's own: a regular file (a folder, where one is expected) reached through folders
            // that are its own
  Foreign,  // a link, another kind of file, or a name under a folder of the work folder that is one of
            // these: never placed, moved or deleted, nor anything reached through it
};

Found FoundAt(const std::string& path, fs::file_type expected = fs::file_type::regular) {
  const fs::path whole(path);
  fs::path reached;
  for (auto part = whole.begin(); part != whole.end(); ++part) {
    reached /= *part;
    std::error_code error;
    const fs::file_type type = fs::symlink_status(reached, error).type();
    if (type == fs::file_type::not_found) return Found::Nothing;
    if (type != (std::next(part) == whole.end() ? expected : fs::file_type::directory)) return Found::Foreign;
  }
  return Found::Own;
}

// A staged file: the restore's own only when no other name leads to it (a file with another hard
// link is someone else's, whatever its name in the work folder).
Found FoundStaged(const std::string& path) {
  const Found found = FoundAt(path);
  struct stat st {};
  if (found == Found::Own && (::lstat(path.c_str(), &st) != 0 || st.st_nlink != 1)) return Found::Foreign;
  return found;
}

bool OwnFolder(const std::string& path) {
  return FoundAt(path, fs::file_type::directory) == Found::Own;
}

// Why a name of the work folder cannot be used: `what` ("file", "folder") says what it should be.
std::string NotOwn(const std::string& path, const char* what) {
  if (FoundAt(path, std::string(what) == "folder" ? fs::file_type::directory : fs::file_type::regular) ==
      Found::Nothing)
    return path + " is missing.";
  return path + " is a link or another kind of file, not the restore's own " + what + ".";
}

// The names of a folder made durable.
bool SyncFolderOf(const std::string& folder, int* err) {
  return files::SyncFolder(folder + "/.", err);
}

int64_t Nanoseconds(const struct timespec& time) {
  return int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// When the mark at path was written; false when it cannot be looked at.
bool MarkTime(const std::string& path, int64_t* time) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  *time = Nanoseconds(st.st_mtim);
  return true;
}

// Whether the live file at path is the copy the restore placed: the very file it staged (the same
// device and inode), moved into place after the mark was written, or, in a copy of the folder,
// one of the same size and SHA-256. The file that had that inode before the mark was written
// was there before the restore, whatever the mark says of its identity, and is never taken for
// the copy; nor is any file on the mark's flag alone.
enum class Identity { Other, StagedFile, BeforeTheMark };
Identity IdentityOf(const RestorePlan& plan, const RestoreItem& item, const struct stat& st) {
  if (st.st_dev != item.staged.device || st.st_ino != item.staged.inode) return Identity::Other;
  return Nanoseconds(st.st_ctim) >= plan.markTime ? Identity::StagedFile : Identity::BeforeTheMark;
}

// Whether the live file at path is the very file the restore staged, moved there after the mark.
bool IsStagedFile(const RestorePlan& plan, const RestoreItem& item, const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         IdentityOf(plan, item, st) == Identity::StagedFile;
}

bool IsPlacedCopy(const RestorePlan& plan, const RestoreItem& item, const std::string& path) {
  struct stat st {};
  if (item.staged.size < 0 || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size != item.staged.size)
    return false;
  if (const Identity identity = IdentityOf(plan, item, st); identity != Identity::Other)
    return identity == Identity::StagedFile;
  StagedIdentity found;
  int err = 0;
  return IdentifyStagedFile(path, &found, &err) && found.sha256 == item.staged.sha256;
}

// -- placing, and taking back --

// The first of the work folder and its folders that is not the restore's own folder; empty when
// each is. Nothing is placed or moved while one is not.
std::string ForeignFolder(const RestorePlan& plan) {
  for (const std::string& folder : {plan.folder, Subfolder(plan.folder, "new"), Subfolder(plan.folder, "old"),
                                    Subfolder(plan.folder, "journals")})
    if (!OwnFolder(folder)) return folder;
  return {};
}

// A file is placed, or can still be: its staged copy waits (beside its live file, or with that
// kept already and the live name free, for placing it never moves another file over the one kept),
// or it is in place with the live file it replaced kept; whatever of the two is there is the
// restore's own file.
bool StillWhole(const RestorePlan& plan, const RestoreItem& item) {
  const Found replaced = FoundAt(ReplacedFile(plan.folder, item.name));
  if (replaced == Found::Foreign) return false;
  if (FoundStaged(StagedFile(plan.folder, item.name)) == Found::Own)
    return replaced == Found::Nothing || !IsThere(item.target);
  return IsPlacedCopy(plan, item, item.target) && (!item.hadOld || replaced == Found::Own);
}

// What a start that finds the mark does: finish the restore, or else keep every live file.
bool FinishesAtTheStart(const RestorePlan& plan) {
  return ForeignFolder(plan).empty() &&
         std::all_of(plan.items.begin(), plan.items.end(),
                     [&](const RestoreItem& item) { return StillWhole(plan, item); });
}

// Why the restore cannot be finished from what is there when something that is not the restore's
// own stands in the way; empty otherwise (and when a staged file is just missing).
std::string ForeignInTheWay(const RestorePlan& plan) {
  if (const std::string folder = ForeignFolder(plan); !folder.empty()) return NotOwn(folder, "folder");
  for (const RestoreItem& item : plan.items) {
    if (StillWhole(plan, item)) continue;
    if (FoundStaged(StagedFile(plan.folder, item.name)) == Found::Foreign)
      return NotOwn(StagedFile(plan.folder, item.name), "file");
    if (FoundAt(ReplacedFile(plan.folder, item.name)) == Found::Foreign)
      return NotOwn(ReplacedFile(plan.folder, item.name), "file");
  }
  return {};
}

// A live name that something of the work folder would have to come back over: it must be free,
// or (for a file the restore replaced) hold the copy the restore placed.
std::string NotFreeToComeBack(const std::string& name) {
  return name + " is not the file the restore placed, and what it replaced cannot go back over it.";
}

// Why the live files and journals cannot all be put back from what is there: a name of the work
// folder they would come back from that is not the restore's own file, or a live name they would
// come back over that the restore did not place. Empty when everything can be put back. A live
// file not yet moved (its staged copy still waits beside it) needs nothing back; a live file that
// is not the restore's copy and has nothing to come back over it stays as it is.
std::string NotToPutBack(const RestorePlan& plan) {
  // A restore left to be restored over has what it set aside kept in a safety copy of its own:
  // its "old" folder went there, and nothing can come back from it any more.
  if (const std::string old = Subfolder(plan.folder, "old");
      FoundAt(old, fs::file_type::directory) == Found::Nothing)
    return NotOwn(old, "folder");
  for (const RestoreItem& item : plan.items) {
    const std::string replaced = ReplacedFile(plan.folder, item.name);
    const Found found = FoundAt(replaced);
    const bool untouched =
        FoundStaged(StagedFile(plan.folder, item.name)) == Found::Own && IsThere(item.target);
    if (found == Found::Foreign && !untouched) return NotOwn(replaced, "file");
    if (found == Found::Own && IsThere(item.target) && !IsPlacedCopy(plan, item, item.target))
      return NotFreeToComeBack(item.target);
    // Its placed copy stands where the file it replaced should come back from nothing.
    if (found == Found::Nothing && item.hadOld && !untouched && IsStagedFile(plan, item, item.target))
      return NotOwn(replaced, "file");
  }
  for (const std::string& name : plan.away) {
    const std::string away = ReplacedFile(plan.folder, name);
    const Found found = FoundAt(away);
    if (found == Found::Foreign && !IsThere(name)) return NotOwn(away, "file");
    if (found == Found::Own && IsThere(name)) return NotFreeToComeBack(name);
  }
  for (const storage::LeftJournal& journal : plan.journals) {
    const std::string retired = RetiredJournal(plan.folder, journal.Name);
    const Found found = FoundAt(retired);
    if (found == Found::Foreign && !IsThere(journal.Name)) return NotOwn(retired, "file");
    if (found == Found::Own && IsThere(journal.Name)) return NotFreeToComeBack(journal.Name);
  }
  return {};
}

bool RetireJournals(const RestorePlan& plan, std::string* failure) {
  for (const storage::LeftJournal& journal : plan.journals) {
    int err = 0;
    if (IsThere(journal.Name) &&
        !storage::RetireJournal(journal.Name, RetiredJournal(plan.folder, journal.Name), &err)) {
      *failure = FileFailureText(journal.Name, err);
      return false;
    }
  }
  return true;
}

bool PlaceFile(const RestorePlan& plan, const RestoreItem& item, std::string* failure) {
  const std::string staged = StagedFile(plan.folder, item.name);
  const Found found = FoundStaged(staged);
  if (found == Found::Nothing) return true;  // in place already
  if (found == Found::Foreign) {
    *failure = NotOwn(staged, "file");
    return false;
  }
  int err = 0;
  if (item.hadOld && IsThere(item.target) &&
      !files::RenameSpelledFile(item.target, ReplacedFile(plan.folder, item.name), &err)) {
    *failure = FileFailureText(item.target, err);
    return false;
  }
  if (files::RenameSpelledFile(staged, item.target, &err)) return true;
  *failure = FileFailureText(item.target, err);
  return false;
}

// A live file the restore moves away without a replacement, into "old" with the replaced ones.
bool MoveAway(const RestorePlan& plan, const std::string& name, std::string* failure) {
  int err = 0;
  if (!IsThere(name) || files::RenameSpelledFile(name, ReplacedFile(plan.folder, name), &err)) return true;
  *failure = FileFailureText(name, err);
  return false;
}

// Each folder that is the restore's own (the program directory among them) synced.
bool SyncFolders(const std::vector<std::string>& folders, std::string* failure) {
  for (const std::string& folder : folders) {
    if (!OwnFolder(folder)) continue;
    int err = 0;
    if (!SyncFolderOf(folder, &err)) {
      *failure = FileFailureText(
          folder == "." ? std::string("The data folder") : "The restore's work folder " + folder, err);
      return false;
    }
  }
  return true;
}

// The mark moved into the work folder: the restore stands.
bool Commit(const RestorePlan& plan, std::string* failure) {
  int err = 0;
  const std::string inFolder = Subfolder(plan.folder, kMarkInFolder);
  if (files::RenameSpelledFile(RestoreMarkName, inFolder, &err) && SyncFolderOf(".", &err) &&
      SyncFolderOf(plan.folder, &err))
    return true;
  *failure = FileFailureText(RestoreMarkName, err);
  return false;
}

// Steps 2 to 4: whatever of them a stop left undone.
bool FinishPlacing(const RestorePlan& plan, std::string* failure) {
  if (const std::string foreign = ForeignFolder(plan); !foreign.empty()) {
    *failure = NotOwn(foreign, "folder");
    return false;
  }
  if (!RetireJournals(plan, failure)) return false;
  for (const RestoreItem& item : plan.items)
    if (!PlaceFile(plan, item, failure)) return false;
  for (const std::string& name : plan.away)
    if (!MoveAway(plan, name, failure)) return false;
  return SyncFolders({".", Subfolder(plan.folder, "new"), Subfolder(plan.folder, "old")}, failure) &&
         Commit(plan, failure);
}

bool DropStagedFiles(const RestorePlan& plan, std::string* failure) {
  for (const RestoreItem& item : plan.items) {
    const std::string staged = StagedFile(plan.folder, item.name);
    int err = 0;
    if (FoundStaged(staged) == Found::Own && !files::DeleteFile(staged, &err)) {
      *failure = FileFailureText(item.target, err);
      return false;
    }
  }
  return SyncFolders({Subfolder(plan.folder, "new")}, failure);
}

// The live file the restore replaced comes back over its placed copy (or into its free name); a
// placed copy with nothing to come back over it goes when no live file was there before. A live
// file that is not the restore's copy stays (NotToPutBack holds back the take-back when something
// would have to come back over it).
bool PutBackLiveFile(const RestorePlan& plan, const RestoreItem& item, std::string* failure) {
  const std::string replaced = ReplacedFile(plan.folder, item.name);
  int err = 0;
  if (FoundAt(replaced) == Found::Own
          ? (IsThere(item.target) && !IsPlacedCopy(plan, item, item.target)) ||
                files::RenameSpelledFile(replaced, item.target, &err)
          : item.hadOld || !IsPlacedCopy(plan, item, item.target) || files::DeleteFile(item.target, &err))
    return true;
  *failure = FileFailureText(item.target, err);
  return false;
}

// A file moved away comes back only into its free name.
bool BringBack(const RestorePlan& plan, const std::string& name, std::string* failure) {
  const std::string away = ReplacedFile(plan.folder, name);
  int err = 0;
  if (FoundAt(away) != Found::Own || IsThere(name) || files::RenameSpelledFile(away, name, &err)) return true;
  *failure = FileFailureText(name, err);
  return false;
}

bool PutBackJournals(const RestorePlan& plan, std::string* failure) {
  for (const storage::LeftJournal& journal : plan.journals) {
    const std::string retired = RetiredJournal(plan.folder, journal.Name);
    int err = 0;
    if (FoundAt(retired) == Found::Own && !IsThere(journal.Name) &&
        !files::RenameSpelledFile(retired, journal.Name, &err)) {
      *failure = FileFailureText(journal.Name, err);
      return false;
    }
  }
  return true;
}

// Whether the mark in the program directory is the one this restore wrote (or the start read).
bool IsOwnMark(const RestorePlan& plan) {
  std::string bytes;
  int err = 0;
  return ReadRestoreMark(RestoreMarkName, &bytes, &err) && bytes == plan.markBytes;
}

// The restore's own mark goes; any other is left as it is. When the restore took over from an
// earlier one that could be neither finished nor undone, that one's mark comes back in its place
// as it was, with the time it was written, so that it still holds every company and tells the
// files it placed from any other as before.
bool DropMark(const RestorePlan& plan, std::string* failure) {
  int err = 0;
  const std::string inFolder = Subfolder(plan.folder, kMarkInFolder);
  if (FoundAt(inFolder) == Found::Own && !files::DeleteFile(inFolder, &err)) {
    *failure = FileFailureText(RestoreMarkName, err);
    return false;
  }
  if (IsOwnMark(plan) &&
      !(plan.earlierMark
            ? files::WriteWholeFileModifiedAt(RestoreMarkName, *plan.earlierMark, plan.earlierMarkTime, &err)
            : files::DeleteFile(RestoreMarkName, &err))) {
    *failure = FileFailureText(RestoreMarkName, err);
    return false;
  }
  return SyncFolders({"."}, failure);
}

// Every live file and journal put back, then the mark dropped. The staged files go first: from
// then on nothing finishes the restore, whatever stops this. Nothing is taken back when not all
// of it can be: a live file or journal to come back from something else than the restore's own.
bool KeepLiveFiles(const RestorePlan& plan, std::string* failure) {
  if (const std::string why = NotToPutBack(plan); !why.empty()) {
    *failure = why;
    return false;
  }
  if (!DropStagedFiles(plan, failure)) return false;
  for (const RestoreItem& item : plan.items)
    if (!PutBackLiveFile(plan, item, failure)) return false;
  for (const std::string& name : plan.away)
    if (!BringBack(plan, name, failure)) return false;
  if (!PutBackJournals(plan, failure) || !SyncFolders({".", Subfolder(plan.folder, "old")}, failure) ||
      !DropMark(plan, failure))
    return false;
  RemoveRestoreFolder(plan.folder);
  return true;
}

// -- after the restore stands --

// A folder of the work folder that holds nothing; one that is not the restore's own is not taken
// for empty.
bool IsEmptyOrMissing(const std::string& folder) {
  const Found found = FoundAt(folder, fs::file_type::directory);
  std::error_code error;
  return found == Found::Nothing || (found == Found::Own && fs::is_empty(folder, error));
}

// A folder name not taken in the program directory: `wanted`, else it followed by " (2)", " (3)"...
std::string FreeFolderName(const std::string& wanted) {
  std::string name = wanted;
  for (int n = 2; IsThere(name); ++n) name = wanted + " (" + std::to_string(n) + ")";
  return name;
}

// The retired journals of the work folder kept beside the files they touched in the safety copy,
// each under its own name where that is free: copied back with those files, a journal waits
// again over the files it belongs to, as before the restore.
void KeepRetiredJournals(const std::string& folder, const std::string& safety) {
  const std::string journals = Subfolder(folder, "journals");
  if (!OwnFolder(journals) || !OwnFolder(safety)) return;
  std::error_code error;
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(journals, error))
    if (FoundAt(item.path().string()) == Found::Own) names.push_back(item.path().filename().string());
  for (const std::string& name : names)
    if (!IsThere(safety + "/" + name)) fs::rename(journals + "/" + name, safety + "/" + name, error);
}

bool HoldsRetiredJournals(const std::string& folder) {
  return !IsEmptyOrMissing(Subfolder(folder, "journals"));
}

// What a restore set aside in its work folder (the live files it replaced or moved away, the
// journals it retired) becomes a safety copy of its own, never over an earlier one: the folder
// `wanted`, or another free name when that is taken. Where it is kept (empty when there was
// nothing); in *kept false when it stays in the work folder ("old" is not the restore's own
// folder, or it cannot be moved).
std::string KeepWhatItSetAside(const std::string& folder, const std::string& wanted, bool* kept) {
  const std::string old = Subfolder(folder, "old");
  *kept = FoundAt(old, fs::file_type::directory) != Found::Foreign;
  if (!*kept) return old;
  std::error_code error;
  std::string name;
  if (!IsEmptyOrMissing(old)) {
    name = FreeFolderName(wanted);
    fs::rename(old, name, error);
  } else if (OwnFolder(wanted)) {
    name = wanted;  // moved already by the settling a stop interrupted
  } else if (HoldsRetiredJournals(folder)) {
    name = FreeFolderName(wanted);
    fs::create_directory(name, error);
  }
  *kept = !error;
  if (!*kept) return old;
  if (!name.empty()) KeepRetiredJournals(folder, name);
  int err = 0;
  (void)SyncFolderOf(".", &err);  // a stop before the names reach the disk finds them in the work folder
  return name;
}

// Step 5. The mark goes last, so that a start finds a restore that stood and was not cleaned up;
// it stays when what the restore set aside cannot become the safety copy, so that the next start
// tries again. Where the replaced files are kept.
std::string SettleStandingRestore(const std::string& folder, const std::string& safety) {
  std::error_code error;
  bool kept = false;
  const std::string keptIn =
      KeepWhatItSetAside(folder, safety.empty() ? NewSafetyFolderName() : safety, &kept);
  if (!kept) return keptIn;
  for (const char* part : {"new", "journals", "old"}) fs::remove_all(Subfolder(folder, part), error);
  fs::remove(Subfolder(folder, kMarkInFolder), error);
  fs::remove(folder, error);
  return keptIn;
}

// Once a restore stands, the retired journals' postings no longer wait, nor does a restore before
// it that a start could not finish (its mark is replaced).
void ForgetRetiredPostings(const RestorePlan& plan) {
  for (const storage::LeftJournal& journal : plan.journals) storage::ForgetWaitingJournal(journal.Company);
  storage::ForgetWaitingJournal(storage::EveryCompany);
}

// "<what> kept in the folder "<folder>" of the data folder.": every sentence that names where a
// restore keeps the user's files.
std::string KeptInText(const std::string& what, const std::string& folder) {
  return what + " kept in the folder \"" + folder + "\" of the data folder.";
}

// A sentence for each safety copy of what a restore had set aside, each after two spaces.
std::string SetAsideSentences(const std::vector<std::string>& keptIn) {
  std::string text;
  for (const std::string& folder : keptIn) text += "  " + KeptInText("What it had set aside is", folder);
  return text;
}

// The work folders of the program directory, each a folder of its own (never a link).
std::vector<std::string> WorkFolders() {
  std::error_code error;
  std::vector<std::string> folders;
  for (const auto& item : fs::directory_iterator(".", error)) {
    const std::string name = item.path().filename().string();
    if (IsRestoreFolderName(name) && fs::is_directory(fs::symlink_status(item.path(), error)))
      folders.push_back(name);
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

// A restore that can be neither finished nor undone is left to be restored over: what the work
// folders of restores that did not stand set aside is first kept in a safety copy of its own each,
// so that nothing of the user's stays in a hidden folder. Those names; *notKept gets the first
// folder whose files could not be moved.
std::vector<std::string> KeepWhatRestoringAgainRunsOver(const std::vector<std::string>& folders,
                                                        std::string* notKept = nullptr) {
  std::vector<std::string> kept;
  for (const std::string& folder : folders) {
    if (FoundAt(Subfolder(folder, kMarkInFolder)) != Found::Nothing) continue;  // one that stood
    bool moved = false;
    const std::string keptIn = KeepWhatItSetAside(folder, NewSafetyFolderName(), &moved);
    if (moved && !keptIn.empty()) kept.push_back(keptIn);
    if (!moved && notKept && notKept->empty() && !IsEmptyOrMissing(Subfolder(folder, "old")))
      *notKept = folder;
  }
  return kept;
}

// What a start that finds the restore's mark can do with it now: finish it, keep every live file,
// or, when neither, leave restoring again as the way out.
struct NextStart {
  bool finishes = false;
  bool undoes = false;
};

NextStart WhatTheNextStartDoes(const RestorePlan& plan) {
  return {FinishesAtTheStart(plan), NotToPutBack(plan).empty()};
}

bool StartFinishesOrUndoes(const RestorePlan& plan) {
  const NextStart next = WhatTheNextStartDoes(plan);
  return next.finishes || next.undoes;
}

// What to do about a restore held until a start settles it, in the words of what that start will
// do with it.
std::string RemedyFor(const NextStart& next) {
  if (!next.finishes && !next.undoes) return kRestoreAgain;
  return std::string("Start the program again, which ") +
         (next.finishes && next.undoes ? "finishes or undoes"
          : next.finishes              ? "finishes"
                                       : "undoes") +
         " it.";
}

// A restore that no start can settle is left to be restored over: what it set aside is first
// kept in a safety copy of its own, told in the sentences returned. Nothing for one a start settles.
std::string SetAsideForRestoringAgain(const RestorePlan& plan, const NextStart& next) {
  if (next.finishes || next.undoes) return {};
  return SetAsideSentences(KeepWhatRestoringAgainRunsOver({plan.folder}));
}

// Where the files a held restore replaced wait for the start that finishes or undoes it: named, so
// that nothing of the user's is in a folder no one was told of.
std::string MeanwhileKeptText(const RestorePlan& plan) {
  if (IsEmptyOrMissing(Subfolder(plan.folder, "old"))) return {};
  return "  Meanwhile the files it replaced are kept in its work folder \"" + plan.folder +
         "\" of the data folder.";
}

// A restore that could neither be placed nor taken back in this run: every company and the
// company list are held at once, as a start holds them, so that nothing posts into half-placed
// files; *failure gets what the user is told, once, with what to do.
void HoldForHalfPlacedFiles(const RestorePlan& plan, const std::string& putBack, std::string* failure) {
  const NextStart next = WhatTheNextStartDoes(plan);
  const std::string remedy = RemedyFor(next);
  *failure += std::string(next.finishes ? " The files could not be taken back now ("
                                        : " Some files could not be put back now (") +
              putBack + ")" +
              (next.finishes ? "; the next start of the program finishes the restore."
               : next.undoes ? "; the next start of the program puts them back."
                             : ".") +
              SetAsideForRestoringAgain(plan, next) + MeanwhileKeptText(plan) +
              "  Until then no company posts anything and none of the records can be changed.  " + remedy;
  storage::KeepRestoreWaiting("the restore of the backup files", remedy);
}

// -- the start --

void Tell(const std::string& text, platform::ui::MsgIcon icon) {
  platform::ui::MessageBox(platform::text::ToQString(text), kRestoreTitle, platform::ui::MsgButtons::Ok,
                           icon);
}

std::string FinishedText(const RestorePlan& plan, const std::string& keptIn) {
  const std::string retired = RetiredPostingsText(plan.journals);
  const std::string kept = SafetyCopyText(keptIn);
  return "The restore of the backup files was interrupted and has been finished: the data files are the "
         "backup's." +
         (kept.empty() ? std::string() : "  " + kept) + (retired.empty() ? std::string() : "  " + retired);
}

// A restore the start can neither finish nor undo now holds every company, as a posting that
// waits to be undone holds its own, until a start can: told once, with what to do.
void HoldEveryCompany(const std::string& text, const std::string& remedy) {
  storage::KeepRestoreWaiting("the restore of the backup files", remedy);
  Tell(text +
           "  Until it is finished or undone, no company posts anything and none of the records can be "
           "changed.  " +
           remedy,
       platform::ui::MsgIcon::Error);
}

// `after` follows the sentence that says why the mark cannot be read.
void HoldForUnreadableMark(const std::string& why, const std::string& remedy, const std::string& after = {}) {
  HoldEveryCompany(std::string(kInterrupted) + ", and its record of what it did (" + RestoreMarkName +
                       ") cannot be read: " + why + "." + after,
                   remedy);
}

// The mark in the program directory as a start or a new restore finds it.
struct LiveMark {
  enum class State {
    None,          // there is none
    Folder,        // a folder in its place
    Unreadable,    // it cannot be read now (err says why)
    NotAMark,      // a link or another kind of file in its place: nothing a restore wrote
    Damaged,       // it does not read as one whole mark
    NoWorkFolder,  // whole, but its work folder is not there: no restore wrote it
    Open,          // a restore the start finishes or undoes
    Stuck,         // a restore that can be neither finished nor undone: the way out is to restore again
  };
  State state = State::None;
  int err = 0;
  std::string bytes;
  std::optional<RestorePlan> plan;
};

LiveMark ReadLiveMark() {
  LiveMark mark;
  using State = LiveMark::State;
  if (!ReadRestoreMark(RestoreMarkName, &mark.bytes, &mark.err)) {
    mark.state = mark.err == ENOENT                        ? State::None
                 : mark.err == EISDIR                      ? State::Folder
                 : mark.err == ELOOP || mark.err == EINVAL ? State::NotAMark
                                                           : State::Unreadable;
    return mark;
  }
  mark.plan = DecodeRestoreMark(mark.bytes);
  if (!mark.plan) {
    mark.state = State::Damaged;
  } else if (FoundAt(mark.plan->folder, fs::file_type::directory) == Found::Nothing) {
    // A restore makes its work folder before its mark, and removes it only after the mark.
    mark.state = State::NoWorkFolder;
  } else if (!MarkTime(RestoreMarkName, &mark.plan->markTime)) {
    mark.state = State::Unreadable;
    mark.err = errno;
  } else {
    mark.state = StartFinishesOrUndoes(*mark.plan) ? State::Open : State::Stuck;
  }
  return mark;
}

// A whole mark whose work folder is not there was not written by a restore: nothing is changed by
// it, and it is kept aside under a name that says so ("restore-mark-1.BAD"), as a journal that
// does not belong is.
void SetMarkAside(const RestorePlan& plan) {
  std::string aside;
  for (int n = 1; aside.empty() || IsThere(aside); ++n) aside = "restore-mark-" + std::to_string(n) + ".BAD";
  int err = 0;
  if (!files::RenameSpelledFile(RestoreMarkName, aside, &err) || !SyncFolderOf(".", &err)) {
    HoldForUnreadableMark("it names a work folder that is not there (" + plan.folder +
                              "), and it cannot be set aside: " + FileErrorText(err),
                          storage::WaitingRemedy({}, err, true));
    return;
  }
  Tell(std::string("A record of a restore of the backup files (") + RestoreMarkName +
           ") names a work folder, " + plan.folder +
           ", that is not there, so no restore wrote it.  No file was changed; the record is kept as \"" +
           aside + "\".",
       platform::ui::MsgIcon::Warning);
}

// The work folders a start leaves as they are: every one while the mark cannot be read now (it may
// name any of them), else the one the mark still needs, if any.
struct FoldersInUse {
  bool all = false;
  std::string folder;
};

// The plan the mark in the program directory records, when a start can finish or undo it;
// nothing otherwise (every company is then held, or the mark set aside). *inUse gets the work
// folders the mark may still need.
std::optional<RestorePlan> PlanOfLiveMark(FoldersInUse* inUse) {
  LiveMark mark = ReadLiveMark();
  using State = LiveMark::State;
  switch (mark.state) {
    case State::None:
      return std::nullopt;
    case State::Folder:
      inUse->all = true;
      HoldForUnreadableMark("it is a folder, not the restore's record",
                            "Remove it and start the program again.");
      return std::nullopt;
    case State::Unreadable:
      inUse->all = true;
      HoldForUnreadableMark(FileErrorText(mark.err), storage::WaitingRemedy(RestoreMarkName, mark.err));
      return std::nullopt;
    case State::NotAMark:
      // A link or another kind of file in its place holds nothing the restore wrote; a new restore
      // writes its own mark over it.
      inUse->all = true;
      // A mark that cannot name its work folder leaves every one that did not stand to be kept.
      HoldForUnreadableMark("it is a link or another kind of file", kRestoreAgain,
                            SetAsideSentences(KeepWhatRestoringAgainRunsOver(WorkFolders())));
      return std::nullopt;
    case State::Damaged:
      inUse->all = true;
      HoldForUnreadableMark("it is damaged", kRestoreAgain,
                            SetAsideSentences(KeepWhatRestoringAgainRunsOver(WorkFolders())));
      return std::nullopt;
    case State::NoWorkFolder:
      SetMarkAside(*mark.plan);
      return std::nullopt;
    case State::Open:
    case State::Stuck:
      break;
  }
  inUse->folder = mark.plan->folder;
  return mark.plan;
}

// The restore the mark in the program directory records: finished when every file can still be
// placed (told as its work folder is settled), else every live file kept from what is the
// restore's own in its work folder. When neither can be done now, every company is held. The work
// folders the mark may still need.
FoldersInUse FinishFromMark() {
  FoldersInUse inUse;
  const std::optional<RestorePlan> plan = PlanOfLiveMark(&inUse);
  if (!plan) return inUse;
  std::string failure = ForeignInTheWay(*plan), putBack;
  if (FinishesAtTheStart(*plan) && FinishPlacing(*plan, &failure)) return {};
  const std::string interrupted = std::string(kInterrupted) + " and ";
  if (const std::string why = NotToPutBack(*plan); !why.empty()) {
    HoldEveryCompany(
        interrupted + "can neither be finished nor undone: " + (failure.empty() ? why : failure) +
            SetAsideSentences(KeepWhatRestoringAgainRunsOver({plan->folder})) + MeanwhileKeptText(*plan),
        kRestoreAgain);
    return inUse;
  }
  if (!KeepLiveFiles(*plan, &putBack)) {
    const NextStart next = WhatTheNextStartDoes(*plan);
    HoldEveryCompany(interrupted + "could not be finished now: " + (failure.empty() ? putBack : failure) +
                         SetAsideForRestoringAgain(*plan, next) + MeanwhileKeptText(*plan),
                     RemedyFor(next));
    return inUse;
  }
  const std::string undone =
      std::string("has been undone: the data files are as ") +
      (plan->earlierMark ? "an earlier restore that was not finished left them." : "they were before it.");
  if (failure.empty())
    Tell(interrupted + undone, platform::ui::MsgIcon::Information);
  else
    Tell(interrupted + "could not be finished: " + failure + "  It " + undone,
         platform::ui::MsgIcon::Warning);
  // The earlier restore it took over, whose mark the take-back put back, holds every company again
  // until it is settled.
  return plan->earlierMark ? FinishFromMark() : FoldersInUse{};
}

// A restore that stood: every file its mark names is the copy it placed.
bool EveryFilePlaced(const std::string& folder, RestorePlan* plan) {
  if (!MarkTime(Subfolder(folder, kMarkInFolder), &plan->markTime)) return false;
  return std::all_of(plan->items.begin(), plan->items.end(),
                     [&](const RestoreItem& item) { return IsPlacedCopy(*plan, item, item.target); });
}

// A work folder no mark stands for any more: what it had set aside is kept in a safety copy of its
// own, and, when no mark is left at all, the folder goes. Where the files are kept; empty when it
// held none.
std::string KeepLeftWorkFolder(const std::string& folder) {
  bool kept = false;
  const std::string keptIn = KeepWhatItSetAside(folder, NewSafetyFolderName(), &kept);
  if (kept && !IsThere(RestoreMarkName)) RemoveRestoreFolder(folder);
  return kept ? keptIn : std::string();
}

std::string LeftWorkFolderText(const std::string& folder, const std::string& keptIn) {
  return "A restore of the backup files that was not finished had set files aside in its work folder (" +
         folder + ").  " + KeptInText("They are", keptIn);
}

// Work folders left by a restore: one that stood is settled and told; one that no mark stands for
// has what it set aside kept in a safety copy of its own, told, and goes. A folder the mark may
// still need (that of a restore the start could not finish or undo) stays as it is.
void SettleWorkFolders(const FoldersInUse& inUse) {
  for (const std::string& folder : WorkFolders()) {
    if (inUse.all || folder == inUse.folder) continue;
    std::string bytes;
    int err = 0;
    std::optional<RestorePlan> plan;
    if (ReadRestoreMark(Subfolder(folder, kMarkInFolder), &bytes, &err)) plan = DecodeRestoreMark(bytes);
    if (plan && plan->folder == folder && EveryFilePlaced(folder, &*plan)) {
      const std::string keptIn = SettleStandingRestore(folder, plan->safety);
      Tell(FinishedText(*plan, keptIn), platform::ui::MsgIcon::Information);
      continue;
    }
    if (const std::string keptIn = KeepLeftWorkFolder(folder); !keptIn.empty())
      Tell(LeftWorkFolderText(folder, keptIn), platform::ui::MsgIcon::Warning);
  }
}

// What a new restore says when it cannot run: the words of the hold that the mark's restore
// puts on every company.
std::string RefusalFor(const std::string& remedy) {
  const std::string held =
      storage::WaitingPostingRefusal("The backup files", "restored", storage::EveryCompany);
  if (!held.empty()) return held;
  return "The backup files cannot be restored now: the restore of the backup files was interrupted "
         "and is not finished yet. " +
         remedy;
}

// The mark a take-back puts back for an earlier restore whose own mark was not one: it reads as
// damaged, so that every company stays held with the same way out.
constexpr char kHeldMark[] = "KESTRAVA RESTORE 2\n";

}  // namespace

bool IdentifyStagedFile(const std::string& path, StagedIdentity* identity, int* err) {
  files::File file;
  struct stat st {};
  int64_t size = 0;
  if (!file.OpenSpelled(path, files::OpenMode::ReadOnly) || !file.Size(&size)) {
    *err = file.error();
    return false;
  }
  if (::fstat(file.fd(), &st) != 0) {
    *err = errno;
    return false;
  }
  QCryptographicHash hash(QCryptographicHash::Sha256);
  std::string chunk(1 << 16, '\0');
  for (int64_t at = 0; at < size;) {
    const size_t length = static_cast<size_t>(std::min<int64_t>(size - at, int64_t(chunk.size())));
    if (!file.ReadAt(at, chunk.data(), length)) {
      *err = file.error() ? file.error() : EIO;
      return false;
    }
    hash.addData(QByteArrayView(chunk.data(), static_cast<qsizetype>(length)));
    at += static_cast<int64_t>(length);
  }
  identity->device = st.st_dev;
  identity->inode = st.st_ino;
  identity->size = size;
  identity->sha256 = hash.result().toHex().toStdString();
  return true;
}

std::string NewSafetyFolderName() {
  return FreeFolderName(std::string(SafetyFolderName) + " " +
                        platform::text::Now().toString("yyyy-MM-dd hh.mm.ss").toStdString());
}

std::string SafetyCopyText(const std::string& keptIn) {
  if (keptIn.empty()) return {};
  return KeptInText("The files it replaced or took away are", keptIn);
}

bool MakeRestoreFolder(std::string* folder, std::string* failure) {
  char pattern[] = ".restore-XXXXXX";
  if (!::mkdtemp(pattern)) {
    *failure = "A work folder cannot be made in the data folder: " + FileErrorText(errno) + ".";
    return false;
  }
  *folder = pattern;
  for (const char* part : {"new", "old", "journals"}) {
    int err = 0;
    if (!files::CreateFolder(Subfolder(*folder, part), &err)) {
      *failure = "A work folder cannot be made in the data folder: " + FileErrorText(err) + ".";
      RemoveRestoreFolder(*folder);
      return false;
    }
  }
  return true;
}

void RemoveRestoreFolder(const std::string& folder) {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

std::string StagedFile(const std::string& folder, const std::string& name) {
  return folder + "/new/" + name;
}

Placement PlaceRestoredFiles(const RestorePlan& staged, std::string* failure, std::string* keptIn) {
  int err = 0;
  RestorePlan plan = staged;
  // What is staged is durable before the mark that names it.
  plan.markBytes = EncodeRestoreMark(plan);
  const bool wrote = SyncFolders({Subfolder(plan.folder, "new"), plan.folder}, failure) &&
                     files::WriteWholeFile(RestoreMarkName, plan.markBytes, &err);
  // The mark in place may be this restore's even when the write failed (at the folder's sync);
  // anything else there belongs to someone else and is left as it is.
  const bool ownMark = wrote || IsOwnMark(plan);
  const bool marked = wrote && ownMark && MarkTime(RestoreMarkName, &plan.markTime);
  if (marked && FinishPlacing(plan, failure)) {
    ForgetRetiredPostings(plan);
    *keptIn = SettleStandingRestore(plan.folder, plan.safety);
    return Placement::Placed;
  }
  if (!marked && failure->empty())
    *failure =
        "The restore cannot record its work in the data folder: " + FileErrorText(err ? err : EIO) + ".";
  if (!ownMark) {
    RemoveRestoreFolder(plan.folder);
    return Placement::KeptLive;
  }
  std::string putBack;
  if (KeepLiveFiles(plan, &putBack)) return Placement::KeptLive;
  HoldForHalfPlacedFiles(plan, putBack, failure);
  return Placement::Left;
}

std::string RestoreRefusal(EarlierRestore* earlier) {
  LiveMark mark = ReadLiveMark();
  using State = LiveMark::State;
  switch (mark.state) {
    case State::None:
      return {};
    case State::Folder:
      return RefusalFor("Remove the folder " + std::string(RestoreMarkName) +
                        " and start the program again.");
    case State::Unreadable:
      return RefusalFor(storage::WaitingRemedy(RestoreMarkName, mark.err));
    case State::NoWorkFolder:
      return RefusalFor("Start the program again.");
    case State::Open:
      return RefusalFor(RemedyFor(WhatTheNextStartDoes(*mark.plan)));
    case State::NotAMark:
    case State::Damaged:
    case State::Stuck:
      break;
  }
  // The way out of a restore that can be neither finished nor undone is to restore again: this
  // restore takes it over, after what it set aside is kept in a safety copy of its own.
  if (!earlier) return {};
  if (!MarkTime(RestoreMarkName, &earlier->markTime))
    return RefusalFor(storage::WaitingRemedy(RestoreMarkName, errno));
  const std::vector<std::string> folders =
      mark.plan ? std::vector<std::string>{mark.plan->folder} : WorkFolders();
  std::string notKept;
  earlier->keptIn = KeepWhatRestoringAgainRunsOver(folders, &notKept);
  if (!notKept.empty())
    return "The backup files cannot be restored now: what an earlier restore set aside in its work folder (" +
           notKept +
           ") cannot be moved into a folder of its own.  Check that the data folder can be written to.";
  earlier->mark = mark.state == State::NotAMark ? std::string(kHeldMark) : mark.bytes;
  return {};
}

std::vector<std::string> KeepLeftWorkFolders() {
  std::vector<std::string> kept;
  if (IsThere(RestoreMarkName)) return kept;
  for (const std::string& folder : WorkFolders())
    if (FoundAt(Subfolder(folder, kMarkInFolder)) == Found::Nothing)
      if (const std::string keptIn = KeepLeftWorkFolder(folder); !keptIn.empty()) kept.push_back(keptIn);
  return kept;
}

std::string EarlierSetAsideText(const std::string& keptIn) {
  return KeptInText("What an earlier restore that was not finished had set aside is", keptIn);
}

std::string RetiredPostingsText(const std::vector<storage::LeftJournal>& journals, Retiring when) {
  const std::string fate = when == Retiring::Done ? " went" : " will be dropped";
  std::string text;
  for (const storage::LeftJournal& journal : journals) {
    if (!journal.Waiting) continue;
    const std::string what = journal.What.empty() ? std::string() : " (" + journal.What + ")";
    text += (text.empty() ? "" : "  ") + std::string("The interrupted posting") + what + " of company " +
            journal.Company + fate + " with the files it touched.";
  }
  return text;
}

void FinishInterruptedRestore() {
  // What the mark's own whole write may have left; never read, so one that stays does no harm.
  const std::string markTemp = std::string(RestoreMarkName) + ".tmp~";
  if (IsThere(markTemp)) (void)files::DeleteFile(markTemp);
  SettleWorkFolders(FinishFromMark());
}

}  // namespace exchange
