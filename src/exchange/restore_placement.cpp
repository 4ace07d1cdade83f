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

// Whether the live file at path is the copy the restore placed: the file it staged (the same
// device and inode), or one of the same size and SHA-256. Never on the mark's flag alone.
bool IsPlacedCopy(const RestoreItem& item, const std::string& path) {
  struct stat st {};
  if (item.staged.size < 0 || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size != item.staged.size)
    return false;
  if (st.st_dev == item.staged.device && st.st_ino == item.staged.inode) return true;
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

// A file is placed, or can still be: its staged copy waits, or it is in place with the live file
// it replaced kept; whatever of the two is there is the restore's own file.
bool StillWhole(const RestorePlan& plan, const RestoreItem& item) {
  const Found replaced = FoundAt(ReplacedFile(plan.folder, item.name));
  if (replaced == Found::Foreign) return false;
  return FoundStaged(StagedFile(plan.folder, item.name)) == Found::Own ||
         (IsPlacedCopy(item, item.target) && (!item.hadOld || replaced == Found::Own));
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
  for (const RestoreItem& item : plan.items) {
    const std::string replaced = ReplacedFile(plan.folder, item.name);
    const Found found = FoundAt(replaced);
    const bool untouched =
        FoundStaged(StagedFile(plan.folder, item.name)) == Found::Own && IsThere(item.target);
    if (found == Found::Foreign && !untouched) return NotOwn(replaced, "file");
    if (found == Found::Own && IsThere(item.target) && !IsPlacedCopy(item, item.target))
      return NotFreeToComeBack(item.target);
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
      *failure = FileFailureText(folder == "." ? std::string("The program directory") : folder, err);
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
  const bool placed = IsPlacedCopy(item, item.target);
  if (FoundAt(replaced) == Found::Own
          ? (IsThere(item.target) && !placed) || files::RenameSpelledFile(replaced, item.target, &err)
          : item.hadOld || !placed || files::DeleteFile(item.target, &err))
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

bool DropMark(const RestorePlan& plan, std::string* failure) {
  int err = 0;
  const std::string inFolder = Subfolder(plan.folder, kMarkInFolder);
  for (const std::string& mark : {std::string(RestoreMarkName), inFolder})
    if ((mark == inFolder ? FoundAt(mark) == Found::Own : IsThere(mark)) && !files::DeleteFile(mark, &err)) {
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

// The files the restore replaced become its own safety copy, never over an earlier one: the folder
// `safety` the mark names, or another free name when that is taken. Where they are kept (empty
// when the restore replaced nothing); in *kept false when they stay in the work folder ("old" is
// not the restore's own folder, or it cannot be renamed).
std::string KeepSafetyCopy(const std::string& folder, const std::string& safety, bool* kept) {
  const std::string old = Subfolder(folder, "old");
  *kept = FoundAt(old, fs::file_type::directory) != Found::Foreign;
  if (!*kept) return old;
  // Moved already by the settling a stop interrupted.
  if (IsEmptyOrMissing(old)) return OwnFolder(safety) ? safety : std::string();
  std::error_code error;
  const std::string name = FreeFolderName(safety.empty() ? NewSafetyFolderName() : safety);
  fs::rename(old, name, error);
  *kept = !error;
  return *kept ? name : old;
}

// Step 5. The mark goes last, so that a start finds a restore that stood and was not cleaned up;
// it goes too when the replaced files cannot become the safety copy (they then stay where they are).
// Where the replaced files are kept.
std::string SettleStandingRestore(const std::string& folder, const std::string& safety) {
  std::error_code error;
  bool kept = false;
  const std::string keptIn = KeepSafetyCopy(folder, safety, &kept);
  if (!kept) {
    fs::remove(Subfolder(folder, kMarkInFolder), error);
    return keptIn;
  }
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

// A restore that could neither be placed nor taken back in this run: every company and the
// company list are held at once, as a start holds them, so that nothing posts into half-placed
// files; *failure gets what the user is told, once, with what to do.
void HoldForHalfPlacedFiles(const RestorePlan& plan, const std::string& putBack, std::string* failure) {
  const bool finishes = FinishesAtTheStart(plan);
  const bool undoes = NotToPutBack(plan).empty();
  const std::string remedy = finishes || undoes ? "Start the program again, which finishes or undoes it."
                                                : std::string(kRestoreAgain);
  *failure += std::string(finishes ? " The files could not be taken back now ("
                                   : " Some files could not be put back now (") +
              putBack + ")" +
              (finishes ? "; the next start of the program finishes the restore."
               : undoes ? "; the next start of the program puts them back."
                        : ".") +
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

void HoldForUnreadableMark(const std::string& why, const std::string& remedy) {
  HoldEveryCompany(std::string(kInterrupted) + ", and its record of what it did (" + RestoreMarkName +
                       ") cannot be read: " + why + ".",
                   remedy);
}

// The plan the mark in the program directory records; nothing when there is none, or when it
// cannot be read (every company is then held).
std::optional<RestorePlan> PlanOfLiveMark() {
  std::string bytes;
  int err = 0;
  if (!ReadRestoreMark(RestoreMarkName, &bytes, &err)) {
    // A link or another kind of file in its place holds nothing the restore wrote; a new restore
    // writes its own mark over it. It cannot over a folder, which has to go first.
    const bool notTheMark = err == ELOOP || err == EINVAL;
    if (err == EISDIR)
      HoldForUnreadableMark(std::string("it is a folder, not the restore's record"),
                            "Remove it and start the program again.");
    else if (err != ENOENT)
      HoldForUnreadableMark(notTheMark ? "it is a link or another kind of file" : FileErrorText(err),
                            notTheMark ? kRestoreAgain : storage::WaitingRemedy(RestoreMarkName, err));
    return std::nullopt;
  }
  std::optional<RestorePlan> plan = DecodeRestoreMark(bytes);
  if (!plan) HoldForUnreadableMark("it is damaged", kRestoreAgain);
  return plan;
}

// The restore the mark in the program directory records: finished when every file can still be
// placed (told as its work folder is settled), else every live file kept from what is the
// restore's own in its work folder. When neither can be done now, every company is held.
void FinishFromMark() {
  const std::optional<RestorePlan> plan = PlanOfLiveMark();
  if (!plan) return;
  std::string failure = ForeignInTheWay(*plan), putBack;
  if (FinishesAtTheStart(*plan) && FinishPlacing(*plan, &failure)) return;
  const std::string interrupted = std::string(kInterrupted) + " and ";
  if (const std::string why = NotToPutBack(*plan); !why.empty()) {
    HoldEveryCompany(interrupted + "can neither be finished nor undone: " + (failure.empty() ? why : failure),
                     kRestoreAgain);
    return;
  }
  if (!KeepLiveFiles(*plan, &putBack)) {
    HoldEveryCompany(interrupted + "could not be finished now: " + (failure.empty() ? putBack : failure),
                     "Start the program again, which finishes or undoes it.");
    return;
  }
  const std::string undone = "has been undone: the data files are as they were before it.";
  if (failure.empty())
    Tell(interrupted + undone, platform::ui::MsgIcon::Information);
  else
    Tell(interrupted + "could not be finished: " + failure + "  It " + undone,
         platform::ui::MsgIcon::Warning);
}

// Work folders left by a restore: one that stood is settled and told; one stopped before its
// mark was written goes. One that still keeps replaced files without a mark is left alone.
void SettleWorkFolders() {
  std::error_code error;
  std::vector<std::string> folders;
  for (const auto& item : fs::directory_iterator(".", error)) {
    const std::string name = item.path().filename().string();
    if (IsRestoreFolderName(name) && fs::is_directory(fs::symlink_status(item.path(), error)))
      folders.push_back(name);
  }
  for (const std::string& folder : folders) {
    std::string bytes;
    int err = 0;
    if (ReadRestoreMark(Subfolder(folder, kMarkInFolder), &bytes, &err)) {
      const RestorePlan plan = DecodeRestoreMark(bytes).value_or(RestorePlan{});
      const std::string keptIn = SettleStandingRestore(folder, plan.safety);
      Tell(FinishedText(plan, keptIn), platform::ui::MsgIcon::Information);
    } else if (!IsThere(RestoreMarkName) && IsEmptyOrMissing(Subfolder(folder, "old"))) {
      RemoveRestoreFolder(folder);
    }
  }
}

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
  return "The files it replaced or took away are kept in the folder \"" + keptIn +
         "\" of the program directory.";
}

bool MakeRestoreFolder(std::string* folder, std::string* failure) {
  char pattern[] = ".restore-XXXXXX";
  if (!::mkdtemp(pattern)) {
    *failure = "A work folder cannot be made in this directory: " + FileErrorText(errno) + ".";
    return false;
  }
  *folder = pattern;
  for (const char* part : {"new", "old", "journals"}) {
    int err = 0;
    if (!files::CreateFolder(Subfolder(*folder, part), &err)) {
      *failure = "A work folder cannot be made in this directory: " + FileErrorText(err) + ".";
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

Placement PlaceRestoredFiles(const RestorePlan& plan, std::string* failure, std::string* keptIn) {
  int err = 0;
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(RestoreMarkName, error))) {
    *failure = std::string(RestoreMarkName) +
               " is a folder, not the restore's record: remove it and restore the backup again.";
    RemoveRestoreFolder(plan.folder);
    return Placement::KeptLive;
  }
  // What is staged is durable before the mark that names it.
  const bool marked = SyncFolders({Subfolder(plan.folder, "new"), plan.folder}, failure) &&
                      files::WriteWholeFile(RestoreMarkName, EncodeRestoreMark(plan), &err);
  if (marked && FinishPlacing(plan, failure)) {
    ForgetRetiredPostings(plan);
    *keptIn = SettleStandingRestore(plan.folder, plan.safety);
    return Placement::Placed;
  }
  if (!marked && failure->empty())
    *failure =
        "The restore cannot record its work in this directory: " + FileErrorText(err ? err : EIO) + ".";
  if (!marked && !IsThere(RestoreMarkName)) {
    RemoveRestoreFolder(plan.folder);
    return Placement::KeptLive;
  }
  std::string putBack;
  if (KeepLiveFiles(plan, &putBack)) return Placement::KeptLive;
  HoldForHalfPlacedFiles(plan, putBack, failure);
  return Placement::Left;
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
  FinishFromMark();
  SettleWorkFolders();
}

}  // namespace exchange
