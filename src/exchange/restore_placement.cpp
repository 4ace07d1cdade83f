#include "exchange/restore_placement.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "exchange/backup_files.h"
#include "exchange/restore_files.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"
#include "storage/posting_journal.h"

namespace exchange {

namespace fs = std::filesystem;
namespace files = platform::files;

namespace {

constexpr char kMarkInFolder[] = "mark";
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

// The names of a folder made durable.
bool SyncFolderOf(const std::string& folder, int* err) {
  return files::SyncFolder(folder + "/.", err);
}

std::string Reason(const std::string& name, int err) {
  return name + ": " + FileErrorText(err ? err : EIO) + ".";
}

// -- placing, and taking back --

// A file is placed, or can still be: its staged copy waits, or it is in place with the live file
// it replaced kept.
bool StillWhole(const RestorePlan& plan, const RestoreItem& item) {
  return IsThere(StagedFile(plan.folder, item.name)) ||
         (IsThere(item.target) && (!item.hadOld || IsThere(ReplacedFile(plan.folder, item.name))));
}

// What a start that finds the mark does: finish the restore, or else keep every live file.
bool FinishesAtTheStart(const RestorePlan& plan) {
  return std::all_of(plan.items.begin(), plan.items.end(),
                     [&](const RestoreItem& item) { return StillWhole(plan, item); });
}

bool RetireJournals(const RestorePlan& plan, std::string* failure) {
  for (const storage::LeftJournal& journal : plan.journals) {
    int err = 0;
    if (IsThere(journal.Name) &&
        !storage::RetireJournal(journal.Name, RetiredJournal(plan.folder, journal.Name), &err)) {
      *failure = Reason(journal.Name, err);
      return false;
    }
  }
  return true;
}

bool PlaceFile(const RestorePlan& plan, const RestoreItem& item, std::string* failure) {
  const std::string staged = StagedFile(plan.folder, item.name);
  if (!IsThere(staged)) return true;  // in place already
  int err = 0;
  if (item.hadOld && IsThere(item.target) &&
      !files::RenameSpelledFile(item.target, ReplacedFile(plan.folder, item.name), &err)) {
    *failure = Reason(item.target, err);
    return false;
  }
  if (files::RenameSpelledFile(staged, item.target, &err)) return true;
  *failure = Reason(item.target, err);
  return false;
}

// A live file the restore moves away without a replacement, into "old" with the replaced ones.
bool MoveAway(const RestorePlan& plan, const std::string& name, std::string* failure) {
  int err = 0;
  if (!IsThere(name) || files::RenameSpelledFile(name, ReplacedFile(plan.folder, name), &err)) return true;
  *failure = Reason(name, err);
  return false;
}

bool SyncFolders(const std::vector<std::string>& folders, std::string* failure) {
  for (const std::string& folder : folders) {
    int err = 0;
    if (!SyncFolderOf(folder, &err)) {
      *failure = Reason(folder == "." ? std::string("The program directory") : folder, err);
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
  *failure = Reason(RestoreMarkName, err);
  return false;
}

// Steps 2 to 4: whatever of them a stop left undone.
bool FinishPlacing(const RestorePlan& plan, std::string* failure) {
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
    if (IsThere(staged) && !files::DeleteFile(staged, &err)) {
      *failure = Reason(item.target, err);
      return false;
    }
  }
  return SyncFolders({Subfolder(plan.folder, "new")}, failure);
}

bool PutBackLiveFile(const RestorePlan& plan, const RestoreItem& item, std::string* failure) {
  const std::string replaced = ReplacedFile(plan.folder, item.name);
  int err = 0;
  if (IsThere(replaced) ? files::RenameSpelledFile(replaced, item.target, &err)
                        : item.hadOld || !IsThere(item.target) || files::DeleteFile(item.target, &err))
    return true;
  *failure = Reason(item.target, err);
  return false;
}

bool BringBack(const RestorePlan& plan, const std::string& name, std::string* failure) {
  const std::string away = ReplacedFile(plan.folder, name);
  int err = 0;
  if (!IsThere(away) || files::RenameSpelledFile(away, name, &err)) return true;
  *failure = Reason(name, err);
  return false;
}

bool PutBackJournals(const RestorePlan& plan, std::string* failure) {
  for (const storage::LeftJournal& journal : plan.journals) {
    const std::string retired = RetiredJournal(plan.folder, journal.Name);
    int err = 0;
    if (IsThere(retired) && !files::RenameSpelledFile(retired, journal.Name, &err)) {
      *failure = Reason(journal.Name, err);
      return false;
    }
  }
  return true;
}

bool DropMark(const RestorePlan& plan, std::string* failure) {
  int err = 0;
  for (const std::string& mark : {std::string(RestoreMarkName), Subfolder(plan.folder, kMarkInFolder)})
    if (IsThere(mark) && !files::DeleteFile(mark, &err)) {
      *failure = Reason(RestoreMarkName, err);
      return false;
    }
  return SyncFolders({"."}, failure);
}

// Every live file and journal put back, then the mark dropped. The staged files go first: from
// then on nothing finishes the restore, whatever stops this.
bool KeepLiveFiles(const RestorePlan& plan, std::string* failure) {
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

bool IsEmptyOrMissing(const std::string& folder) {
  std::error_code error;
  return !IsThere(folder) || fs::is_empty(folder, error);
}

// The files the restore replaced become the safety copy (those of the restore before are
// dropped); false when they stay in the work folder.
bool KeepSafetyCopy(const std::string& folder) {
  const std::string old = Subfolder(folder, "old");
  if (IsEmptyOrMissing(old)) return true;
  std::error_code error;
  const std::string safety = files::ResolveForUse(SafetyFolderName);
  fs::remove_all(safety, error);
  fs::rename(old, safety, error);
  return !error;
}

// Step 5. The mark goes last, so that a start finds a restore that stood and was not cleaned up;
// it goes too when the replaced files cannot become the safety copy (they then stay where they are).
void SettleStandingRestore(const std::string& folder) {
  std::error_code error;
  if (!KeepSafetyCopy(folder)) {
    fs::remove(Subfolder(folder, kMarkInFolder), error);
    return;
  }
  for (const char* part : {"new", "journals", "old"}) fs::remove_all(Subfolder(folder, part), error);
  fs::remove(Subfolder(folder, kMarkInFolder), error);
  fs::remove(folder, error);
}

void ForgetRetiredPostings(const RestorePlan& plan) {
  for (const storage::LeftJournal& journal : plan.journals) storage::ForgetWaitingJournal(journal.Company);
}

// -- the start --

void Tell(const std::string& text, platform::ui::MsgIcon icon) {
  platform::ui::MessageBox(platform::text::ToQString(text), kRestoreTitle, platform::ui::MsgButtons::Ok,
                           icon);
}

std::string FinishedText(const RestorePlan& plan) {
  const std::string retired = RetiredPostingsText(plan.journals);
  return "The restore of the backup files was interrupted and has been finished: the data files are the "
         "backup's." +
         (retired.empty() ? std::string() : "  " + retired);
}

void TellUnreadableMark(const std::string& why) {
  Tell("The restore of the backup files was interrupted, and its record of what it did (" +
           std::string(RestoreMarkName) + ") cannot be read: " + why + ".  Restore the backup again.",
       platform::ui::MsgIcon::Error);
}

// The plan the mark in the program directory records; nothing when there is none, or when it
// cannot be read (told).
std::optional<RestorePlan> PlanOfLiveMark() {
  std::string bytes;
  int err = 0;
  if (!ReadRestoreMark(RestoreMarkName, &bytes, &err)) {
    if (err != ENOENT) TellUnreadableMark(FileErrorText(err));
    return std::nullopt;
  }
  std::optional<RestorePlan> plan = DecodeRestoreMark(bytes);
  // Its work folder is a folder of its own, or gone; never a link to elsewhere.
  std::error_code error;
  if (!plan || fs::is_symlink(fs::symlink_status(plan->folder, error))) {
    TellUnreadableMark("it is damaged");
    return std::nullopt;
  }
  return plan;
}

// The restore the mark in the program directory records: finished when every file can still be
// placed (told as its work folder is settled), else every live file kept.
void FinishFromMark() {
  const std::optional<RestorePlan> plan = PlanOfLiveMark();
  if (!plan) return;
  std::string failure, putBack;
  if (FinishesAtTheStart(*plan) && FinishPlacing(*plan, &failure)) return;
  const std::string interrupted = "The restore of the backup files was interrupted and ";
  if (!KeepLiveFiles(*plan, &putBack)) {
    Tell(interrupted + "could not be finished now: " + (failure.empty() ? putBack : failure) +
             "  The next start of the program tries again.",
         platform::ui::MsgIcon::Error);
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
      const std::optional<RestorePlan> plan = DecodeRestoreMark(bytes);
      SettleStandingRestore(folder);
      Tell(FinishedText(plan.value_or(RestorePlan{})), platform::ui::MsgIcon::Information);
    } else if (!IsThere(RestoreMarkName) && IsEmptyOrMissing(Subfolder(folder, "old"))) {
      RemoveRestoreFolder(folder);
    }
  }
}

}  // namespace

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

Placement PlaceRestoredFiles(const RestorePlan& plan, std::string* failure) {
  int err = 0;
  // What is staged is durable before the mark that names it.
  const bool marked = SyncFolders({Subfolder(plan.folder, "new"), plan.folder}, failure) &&
                      files::WriteWholeFile(RestoreMarkName, EncodeRestoreMark(plan), &err);
  if (marked && FinishPlacing(plan, failure)) {
    ForgetRetiredPostings(plan);
    SettleStandingRestore(plan.folder);
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
  *failure += FinishesAtTheStart(plan) ? " The files could not be taken back now (" + putBack +
                                             "); the next start of the program finishes the restore."
                                       : " Some files could not be put back now (" + putBack +
                                             "); the next start of the program puts them back.";
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
