// Undoing a posting journal: every change it names is undone on the data files' slots, newest
// first, while the files are closed. The whole journal is read one entry at a time and every
// entry is checked against the files here before anything is changed: a journal is our own file,
// but one found on disk may be damaged, another company's or made up. Each data file changed is
// marked as needing its repair (byte 20) and synced; the journal is emptied (its header zeroed and
// synced), and only then are the files rebuilt (a journal left marked over a rebuilt file would
// name slots that moved). The emptied journal stays until the rebuild is done: it is the evidence
// that the program was stopped, so that a start stopped during its rebuild is finished by the
// next one, which rebuilds the files still marked. Nothing else in the journal is written while it
// is undone: undoing an entry again only writes the same image again, so a second crash while
// undoing leaves a journal that the next start undoes whole once more. One journal per company: a
// journal found in several spellings is undone in none of them.

#include "storage/journal_undo.h"

#include <QDir>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
#include "storage/byte_order.h"
#include "storage/data_file_unit.h"
#include "storage/file_block.h"
#include "storage/journal_entry.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"

namespace storage {
namespace {

using platform::files::File;
using platform::files::OpenMode;

constexpr int64_t kRecordLengthAt = 12;
const QString kPostingTitle = QStringLiteral("Posting");

bool IsSideKind(JournalKind kind) {
  return kind == JournalKind::SideFileImage || kind == JournalKind::SideFileCreated;
}

// A journal names files of the data folder only, and never itself.
bool PlainName(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\") == std::string::npos &&
         name.find('\0') == std::string::npos && !IsPostingJournalName(name);
}

bool IsDataFileName(const std::string& name) {
  const std::string upper = platform::text::UpperCase(name);
  return upper.size() > 4 && upper.compare(upper.size() - 4, 4, ".DAT") == 0;
}

// A data file of this company, or one all companies share (the company list); any other
// company's file, or a name of neither shape, is not one of this company's.
bool IsCompanysDataFile(const std::string& name, const std::string& company) {
  const std::optional<std::string> owner = IsamDataFileOwner(name);
  return owner && (owner->empty() || *owner == platform::text::UpperCase(company));
}

class UndoRun {
 public:
  explicit UndoRun(std::string company) : company_(std::move(company)) {}

  // The whole entry against the files here: a name of this company's folder, an image that fits
  // the record (or the side file), a slot the file can hold. A data file the posting created is
  // checked by name and length only: a stop may have lost it or cut it short, and its undo
  // removes it whatever its slots hold.
  UndoResult CheckEntry(const JournalEntry& entry) {
    if (!PlainName(entry.Name)) return UndoResult::Foreign;
    if (entry.Kind == JournalKind::DataFileCreated) return CheckCreated(entry);
    if (entry.Kind == JournalKind::SideFileCreated && entry.ImageLength != 0) return UndoResult::Foreign;
    if (IsSideKind(entry.Kind)) {
      // A side file there is a regular file (or a link, which its undo replaces rather than writes
      // through): never a FIFO or a device.
      std::error_code error;
      const auto status = std::filesystem::symlink_status(platform::files::ResolveForUse(entry.Name), error);
      const bool plain = !std::filesystem::exists(status) || std::filesystem::is_regular_file(status) ||
                         std::filesystem::is_symlink(status);
      return IsJournalledSideFile(entry.Name) && plain ? UndoResult::Nothing : UndoResult::Foreign;
    }
    if (!IsDataFileName(entry.Name) || !IsCompanysDataFile(entry.Name, company_)) return UndoResult::Foreign;
    const uint32_t image =
        entry.Kind == JournalKind::SlotImage ? static_cast<uint32_t>(entry.RecordLength) : 0;
    if (entry.RecordLength <= 0 || entry.ImageLength != image) return UndoResult::Foreign;
    if (Created(entry.Name)) return UndoResult::Nothing;
    changed_.insert(platform::text::UpperCase(entry.Name));
    return CheckSlot(entry);
  }

  bool UndoEntry(const JournalEntry& entry) {
    if (UndoChange(entry)) return true;
    const auto open = files_.find(platform::text::UpperCase(entry.Name));
    return Failed(entry.Name,
                  open != files_.end() && open->second.error() != 0 ? open->second.error() : err_);
  }

  bool UndoChange(const JournalEntry& entry) {
    switch (entry.Kind) {
      case JournalKind::SideFileImage: {
        // A side file whose write never happened holds its image still.
        std::string now;
        return (platform::files::ReadWholeFile(entry.Name, &now) && now == entry.Image) ||
               platform::files::WriteWholeFile(entry.Name, entry.Image, &err_);
      }
      case JournalKind::SideFileCreated: {
        // Only a regular file can be one the posting made.
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(entry.Name, error)))
          return true;
        return platform::files::DeleteFile(entry.Name, &err_) || err_ == ENOENT;
      }
      case JournalKind::DataFileCreated:
        return RemoveCreated(entry);
      default:
        return Created(entry.Name) || UndoSlot(entry);
    }
  }

  bool SyncAll() {
    for (auto& [name, file] : files_)
      if (!file.Flush()) return Failed(name, file.error());
    return !removed_ || platform::files::SyncFolder(removed_->c_str(), &err_) || Failed(*removed_, err_);
  }

  // Why a file could not be used or written, and the system's reason, in the report.
  void TellFailure(UndoReport& report) const {
    report.Cause = cause_;
    report.FailedFile = failedFile_;
    report.Errno = failedErrno_;
  }

  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const auto& [name, file] : files_) names.push_back(name);
    return names;
  }

 private:
  // A file of the undo that could not be written (or, from Unavailable, used at all).
  bool Failed(const std::string& name, int err) {
    failedFile_ = name;
    failedErrno_ = err != 0 ? err : EIO;
    if (cause_.empty()) cause_ = "the file " + name + " could not be written: " + std::strerror(failedErrno_);
    return false;
  }

  // Another file of the folder whose name differs only in case: which of them the entry means is
  // not known, so neither is touched.
  static bool SpelledTwice(const std::string& name) {
    const std::string wanted = platform::text::UpperCase(name);
    int matches = 0;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(".", error))
      if (platform::text::UpperCase(item.path().filename().string()) == wanted) ++matches;
    return matches > 1;
  }

  File* DataFile(const std::string& name, UndoResult& check) {
    const std::string key = platform::text::UpperCase(name);
    auto found = files_.find(key);
    if (found != files_.end()) return &found->second;
    if (SpelledTwice(name)) {
      check = UndoResult::Foreign;
      return nullptr;
    }
    // Only a regular file is opened (never a FIFO, which could block the open).
    std::filesystem::file_status status;
    check = StatusOf(name, status);
    if (check != UndoResult::Nothing) return nullptr;
    if (!std::filesystem::is_regular_file(status)) {
      check = UndoResult::Foreign;
      return nullptr;
    }
    File file;
    if (!file.Open(name, OpenMode::ReadWrite)) {
      check = file.error() == EWOULDBLOCK ? UndoResult::InUse : Unavailable(name, file.error(), "opened");
      return nullptr;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file.path(), error))) {
      check = UndoResult::Foreign;
      return nullptr;
    }
    return &files_.emplace(key, std::move(file)).first->second;
  }

  // The slot must lie in a data file of the entry's record length; an added slot may lie past
  // its end (the add never reached the file).
  UndoResult CheckSlot(const JournalEntry& entry) {
    UndoResult check = UndoResult::Nothing;
    File* file = DataFile(entry.Name, check);
    if (file == nullptr) return check;
    uint8_t raw[4];
    int64_t size = 0;
    if (!file->Size(&size)) return Unavailable(entry.Name, file->error(), "read");
    if (!file->ReadAt(kRecordLengthAt, raw, sizeof raw))
      return file->error() != 0 ? Unavailable(entry.Name, file->error(), "read") : UndoResult::Foreign;
    const int64_t length = IsamLoadInt32(raw);
    if (length != entry.RecordLength || length <= 0 || entry.Ref < 1) return UndoResult::Foreign;
    if (entry.Kind == JournalKind::SlotAdded) return UndoResult::Nothing;
    const bool inFile = (int64_t{entry.Ref} + 1) * length <= size;
    return inFile ? UndoResult::Nothing : UndoResult::Foreign;
  }

  bool UndoSlot(const JournalEntry& entry) {
    UndoResult check = UndoResult::Nothing;
    File* file = DataFile(entry.Name, check);
    if (file == nullptr) return false;
    if (entry.Image.size() !=
        (entry.Kind == JournalKind::SlotImage ? static_cast<size_t>(entry.RecordLength) : 0))
      return false;
    const int64_t pos = int64_t{entry.Ref} * entry.RecordLength;
    const uint8_t needsRepair = 1;
    if (!file->WriteAt(IsamIndexDirtyFlagOffset, &needsRepair, 1)) return false;
    if (entry.Kind == JournalKind::SlotImage)
      return file->WriteAt(pos, entry.Image.data(), entry.Image.size());
    return FreeAddedSlot(*file, pos, entry.RecordLength);
  }

  // A slot the posting added reads as deleted again; the repair drops it.
  static bool FreeAddedSlot(File& file, int64_t pos, int32_t recordLength) {
    int64_t size = 0;
    if (!file.Size(&size)) return false;
    if (pos + recordLength > size) return true;  // the add never reached the file
    uint8_t status[4];
    if (!file.ReadAt(pos, status, sizeof status)) return false;
    if (IsamLoadInt32(status) != 0) return true;
    IsamStoreInt32(status, -1);
    return file.WriteAt(pos, status, sizeof status);
  }

  // What lstat says of a file an entry names, found whatever the case of its name (no open, which a
  // FIFO could block). A folder that cannot be read now (no permission, an I/O error) is no
  // mismatch: the file is unavailable.
  UndoResult StatusOf(const std::string& name, std::filesystem::file_status& status) {
    std::error_code error;
    status = std::filesystem::symlink_status(platform::files::ResolveForUse(name), error);
    if (error && status.type() != std::filesystem::file_type::not_found)
      return Unavailable(name, error.value(), "found");
    return UndoResult::Nothing;
  }

  UndoResult Unavailable(const std::string& name, int err, const char* done) {
    cause_ = "the file " + name + " could not be " + done + ": " + std::strerror(err);
    Failed(name, err);
    return UndoResult::Unavailable;
  }

  bool Created(const std::string& name) const { return created_.count(platform::text::UpperCase(name)) > 0; }

  // A data file the posting created: one of this company's, named before any change to it (a
  // file with records before the posting is never one it created), and, where it is there with
  // a whole header, of the entry's record length.
  UndoResult CheckCreated(const JournalEntry& entry) {
    const std::string key = platform::text::UpperCase(entry.Name);
    if (!IsDataFileName(entry.Name) || !IsCompanysDataFile(entry.Name, company_) || entry.RecordLength <= 0 ||
        entry.ImageLength != 0 || changed_.count(key) || SpelledTwice(entry.Name))
      return UndoResult::Foreign;
    created_.insert(key);
    std::filesystem::file_status status;
    if (const UndoResult found = StatusOf(entry.Name, status); found != UndoResult::Nothing) return found;
    if (status.type() == std::filesystem::file_type::not_found) return UndoResult::Nothing;
    if (!std::filesystem::is_regular_file(status)) return UndoResult::Foreign;
    int32_t length = 0;
    int err = 0;
    if (!HeaderRecordLength(entry.Name, length, err))
      return err != 0 ? Unavailable(entry.Name, err, "read") : UndoResult::Nothing;
    return length == entry.RecordLength ? UndoResult::Nothing : UndoResult::Foreign;
  }

  // The record length a data file's header gives; false with err 0 when the file is too short to
  // hold one (a stop cut its first write).
  static bool HeaderRecordLength(const std::string& name, int32_t& length, int& err) {
    File file;
    uint8_t raw[4];
    size_t got = 0;
    if (!file.Open(name, OpenMode::ReadOnly)) {
      err = file.error();
      return false;
    }
    if (!file.ReadAt(kRecordLengthAt, raw, sizeof raw, &got) && file.error() != 0) {
      err = file.error();
      return false;
    }
    length = IsamLoadInt32(raw);
    return got == sizeof raw;
  }

  // The undo of a file's creation: the data file and its index go, and the folder is synced.
  bool RemoveCreated(const JournalEntry& entry) {
    for (const std::string& name : {entry.Name, IsamFileName(entry.Name, IsamIndexExt)}) {
      std::error_code error;
      const std::string onDisk = platform::files::ResolveForUse(name);
      if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(onDisk, error))) continue;
      if (!platform::files::DeleteFile(name, &err_) && err_ != ENOENT) return false;
      removed_ = name;
    }
    return true;
  }

  std::string company_;
  std::map<std::string, File> files_;
  std::set<std::string> created_;       // data files the posting created, upper case
  std::set<std::string> changed_;       // data files whose slots an entry names, upper case
  std::optional<std::string> removed_;  // a file the undo removed: its folder is synced
  std::string cause_;
  int err_ = 0;  // the system's reason of the last side file or removal that failed
  std::string failedFile_;
  int failedErrno_ = 0;
};

QString Qt(const std::string& text) {
  return platform::text::ToQString(text);
}

void Tell(const QString& text, platform::ui::MsgIcon icon) {
  platform::ui::MessageBox(text, kPostingTitle, platform::ui::MsgButtons::Ok, icon);
}

// The posting a journal holds as the first words of a sentence, named as its caller named the work
// ("Invoice 1004", "The import of customers"): every message about it starts so.
QString LastPosting(const std::string& what) {
  if (what.empty()) return QStringLiteral("The last posting");
  return Qt(platform::text::UpperCase(what.substr(0, 1)) + what.substr(1));
}

QString UndoneMessage(const std::string& what, bool rebuilt) {
  return LastPosting(what) +
         (rebuilt ? QStringLiteral(" was interrupted and has been undone; the files it touched were rebuilt.")
                  : QStringLiteral(" was interrupted and has been undone."));
}

std::set<std::string>& WorkDoneAgainAtEveryStart() {
  static std::set<std::string> work;
  return work;
}

// Whether the start tells of the posting a journal held: work the start does again itself is not
// told (the stop is, when it left files to rebuild).
bool ToldAtTheStart(const std::string& what) {
  return !WorkDoneAgainAtEveryStart().contains(what);
}

QString OnFileMessage(const std::string& what) {
  return LastPosting(what) + QStringLiteral(" was completed and is on file.");
}

// A journal that cannot be undone now (a file it names cannot be opened, a write of the undo
// failed) stays where it is for the next start; until then nothing writes the company's files.
// Told once, with why when that is known and what the user can do.
JournalOutcome KeepWaiting(const std::string& company, const UndoReport& report) {
  KeepJournalWaiting(company, report.What, WaitingRemedy(report.FailedFile, report.Errno));
  const std::string remedy = WaitingPostingOf(company)->Remedy;
  NoteJournalFound(company, JournalOutcome::InUse);
  const QString cause = report.Cause.empty() ? QString() : QStringLiteral(": ") + Qt(report.Cause);
  Tell(LastPosting(report.What) +
           QStringLiteral(" was interrupted and could not be undone yet%1.  Until it is undone, company %2 "
                          "posts nothing and none of its records can be changed.  %3")
               .arg(cause, Qt(company), Qt(remedy)),
       platform::ui::MsgIcon::Error);
  return JournalOutcome::InUse;
}

// Journals refused in this run: each is told once, whatever opens the company's files again.
std::set<std::string>& RefusedJournals() {
  static std::set<std::string> refused;
  return refused;
}

// A name beside the journal that says what it is, not taken yet: "12JNL-1.BAD".
std::string SetAsideName(const std::string& company) {
  for (int n = 1;; ++n) {
    const std::string name = company + "JNL-" + std::to_string(n) + ".BAD";
    std::error_code error;
    if (!platform::files::Exists(name) && !std::filesystem::is_symlink(name, error)) return name;
  }
}

JournalOutcome Refuse(File& journal, const std::string& journalName, const std::string& company) {
  journal.Close();
  // The program was stopped all the same: the start rebuilds what it left, under this one message.
  NoteJournalFound(company, JournalOutcome::Refused);
  const std::string absolute = std::filesystem::absolute(journalName).string();
  if (RefusedJournals().count(absolute)) return JournalOutcome::Refused;
  const std::string aside = SetAsideName(company);
  QString text =
      QStringLiteral("The posting journal %1 does not belong to the files of company %2.  Nothing was undone")
          .arg(Qt(journalName), Qt(company));
  if (platform::files::RenameFile(journalName, aside)) {
    // Should the name not last, the journal is found and set aside again: nothing is undone by it.
    (void)platform::files::SyncFolder(aside);
    text += QStringLiteral("; the journal was kept as %1.").arg(Qt(aside));
  } else {
    // It stays where it is; postings refuse to write over it.
    RefusedJournals().insert(absolute);
    text += QStringLiteral(".");
  }
  Tell(text, platform::ui::MsgIcon::Error);
  return JournalOutcome::Refused;
}

// The journal kept where it is: entries it holds as synced do not read, so what it would undo
// may be on the files and cannot be undone. It waits as a journal whose undo failed does: nothing
// writes the company's files while it is there (a posting never writes over a journal with a mark
// either), and it is told once a start, with the way out: the last backup.
JournalOutcome KeepDamaged(File& journal, const std::string& journalName, const std::string& company,
                           const std::string& what) {
  journal.Close();
  const std::string remedy = DamagedJournalRemedy(company);
  KeepJournalWaiting(company, what, remedy);
  NoteJournalFound(company, JournalOutcome::Damaged);
  Tell(LastPosting(what) +
           QStringLiteral(" was interrupted and could not be undone: its journal %1 is damaged.  Nothing "
                          "was undone and the journal was kept as it is; while it is there, company %2 "
                          "posts nothing and none of its records can be changed.  %3")
               .arg(Qt(journalName), Qt(company), Qt(remedy)),
       platform::ui::MsgIcon::Error);
  return JournalOutcome::Damaged;
}

// The names in the data folder that spell the company's journal, whatever their case; lstat
// only, nothing is opened.
std::vector<std::string> JournalSpellings(const std::string& company) {
  const std::string wanted = platform::text::UpperCase(PostingJournalName(company));
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(".", error)) {
    const std::string name = item.path().filename().string();
    if (platform::text::UpperCase(name) == wanted) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A regular file holding a journal with nothing to undo.
bool HoldsNothing(const std::string& name) {
  File file;
  if (!file.Open(name, OpenMode::OpenOwn)) return false;
  JournalHeader header;
  JournalReader reader(file);
  return reader.ReadHeader(header) == JournalRead::Empty;
}

// Several journals of one company: none is undone, since which of them the last posting wrote
// is not known. Each is set aside (one message for all).
JournalOutcome RefuseSeveral(const std::vector<std::string>& names, const std::string& company) {
  NoteJournalFound(company, JournalOutcome::Refused);
  QStringList shown, kept;
  bool told = true;
  for (const std::string& name : names) {
    shown << Qt(name);
    told = RefusedJournals().count(std::filesystem::absolute(name).string()) > 0 && told;
  }
  if (told) return JournalOutcome::Refused;
  for (const std::string& name : names) {
    const std::string aside = SetAsideName(company);
    if (platform::files::RenameFile(name, aside)) {
      (void)platform::files::SyncFolder(aside);  // a name that does not last is set aside again
      kept << Qt(aside);
    } else {
      RefusedJournals().insert(std::filesystem::absolute(name).string());
      kept << Qt(name);
    }
  }
  Tell(
      QStringLiteral("Company %1 has more than one posting journal (%2).  Nothing was undone; they were kept "
                     "as %3.")
          .arg(Qt(company), shown.join(QStringLiteral(", ")), kept.join(QStringLiteral(", "))),
      platform::ui::MsgIcon::Error);
  return JournalOutcome::Refused;
}

// The one journal of the company, spelled as it is on disk, in journalName; or, when there is
// none or it is not one journal, what became of it. Where there are several spellings, those
// with nothing to undo are removed first: one journal left is the company's. When none of them
// holds anything, the first stays: it tells that the program was stopped.
std::optional<JournalOutcome> TheJournalOf(const std::string& company, std::string& journalName) {
  std::vector<std::string> names = JournalSpellings(company);
  if (names.size() > 1) {
    const std::string first = names.front();
    const bool allEmpty = std::all_of(names.begin(), names.end(), HoldsNothing);
    std::erase_if(names, [&](const std::string& name) {
      return !(allEmpty && name == first) && HoldsNothing(name) && platform::files::DeleteFile(name) &&
             platform::files::SyncFolder(name);
    });
  }
  if (names.empty()) return JournalOutcome::None;
  if (names.size() > 1) return RefuseSeveral(names, company);
  journalName = names.front();
  return std::nullopt;
}

// The journal's header zeroed and synced (not written when it is zero already): what it held is
// done with, nothing of it is left to say (a header whole but for its mark would say that a
// posting is on file), and it stays as the evidence of the stop.
bool EmptyJournalFile(File& journal) {
  char header[kJournalHeaderSize] = {};
  size_t got = 0;
  if (!journal.ReadAt(0, header, sizeof header, &got) && journal.error() != 0) return false;
  if (std::all_of(header, header + got, [](char c) { return c == 0; })) return true;
  const char zeros[kJournalHeaderSize] = {};
  return journal.WriteAt(0, zeros, sizeof zeros) && journal.SyncData();
}

// The journal itself could not be opened or written: the undo waits, and the report says why.
void JournalUnusable(UndoReport& report, const std::string& journalName, int err, const char* done) {
  report.FailedFile = journalName;
  report.Errno = err != 0 ? err : EIO;
  report.Cause = "the journal " + journalName + " could not be " + done + ": " + std::strerror(report.Errno);
}

// While the start recovers from a stop, the journals it finds stay (emptied) for it to remove.
bool& JournalsKeptForTheStart() {
  static bool kept = false;
  return kept;
}

// A journal done with: removed, and the removal made durable; at the start, kept for the start to
// remove once it has rebuilt everything the stop left.
bool RemoveUnlessKept(const std::string& journalName) {
  if (JournalsKeptForTheStart()) return true;
  return platform::files::DeleteFile(journalName) && platform::files::SyncFolder(journalName);
}

}  // namespace

JournalsKeptUntilRebuilt::JournalsKeptUntilRebuilt() {
  JournalsKeptForTheStart() = true;
}

JournalsKeptUntilRebuilt::~JournalsKeptUntilRebuilt() {
  JournalsKeptForTheStart() = false;
}

UndoResult UndoJournalOnDisk(File& journal, const std::string& company, UndoReport* report) {
  UndoReport ignored;
  if (report == nullptr) report = &ignored;
  JournalReader reader(journal);
  JournalHeader header;
  const JournalRead read = reader.ReadHeader(header);
  const bool ours = platform::text::UpperCase(header.Company) == platform::text::UpperCase(company);
  if (read == JournalRead::Empty) {
    report->Committed = header.Committed && ours;
    if (report->Committed) report->What = header.What;
    report->RepairLeft = header.RepairLeft;
    return UndoResult::Nothing;
  }
  if (read == JournalRead::Damaged || !ours) return UndoResult::Foreign;
  report->What = header.What;
  UndoRun run(company);
  // Every entry is read and checked before the first is undone.
  std::vector<int64_t> offsets;
  for (;;) {
    JournalEntry entry;
    const JournalReader::Step step = reader.Next(entry, false);
    if (step == JournalReader::Step::End) break;
    if (step == JournalReader::Step::Damaged) return UndoResult::Damaged;
    const UndoResult check = run.CheckEntry(entry);
    if (check == UndoResult::Unavailable) run.TellFailure(*report);
    if (check != UndoResult::Nothing) return check;
    offsets.push_back(entry.Offset);
  }
  for (auto at = offsets.rbegin(); at != offsets.rend(); ++at) {
    JournalEntry entry;
    if (!reader.ReadAt(*at, entry) || !run.UndoEntry(entry)) {
      run.TellFailure(*report);
      return UndoResult::Failed;
    }
  }
  if (!run.SyncAll()) {
    run.TellFailure(*report);
    return UndoResult::Failed;
  }
  report->Files = run.FileNames();
  return offsets.empty() ? UndoResult::Nothing : UndoResult::Undone;
}

bool DataFileMarkedForRepair(const std::string& dataFileName) {
  File file;
  uint8_t flag = 0;
  if (!file.Open(dataFileName, OpenMode::ReadOnly)) return false;
  return file.ReadAt(IsamIndexDirtyFlagOffset, &flag, 1) && flag != 0;
}

JournalOutcome UndoPostingJournal(const std::string& company) {
  if (PostingUnderWay() || PostingJournalHeld(company)) return JournalOutcome::None;
  // Its undo failed in this run and was told: it waits for the next start, whatever opens the files.
  if (PostingJournalWaitsFor(company)) return JournalOutcome::InUse;
  std::string journalName;
  if (const std::optional<JournalOutcome> none = TheJournalOf(company, journalName)) return *none;
  File journal;
  // Opened without following a link, and only when it is a regular file: lstat comes first. One
  // that is there but cannot be opened now (no permission, an I/O error) is no mismatch: it waits.
  UndoReport report;
  if (!journal.Open(journalName, OpenMode::OpenOwn)) {
    if (journal.error() == EWOULDBLOCK) return JournalOutcome::InUse;
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(journalName, error)) && !error)
      return Refuse(journal, journalName, company);
    JournalUnusable(report, journalName, journal.error(), "opened");
    return KeepWaiting(company, report);
  }
  switch (UndoJournalOnDisk(journal, company, &report)) {
    case UndoResult::Nothing: {
      // The program was stopped between postings, with the company open (or before the posting's
      // first part was synced); or its last posting was committed and the stop came before it was
      // reported done, which is said; or the company's close kept it for files a failure left.
      // The start keeps the journal, emptied, until it has rebuilt what the stop left.
      const bool told = report.Committed && ToldAtTheStart(report.What);
      if (told) Tell(OnFileMessage(report.What), platform::ui::MsgIcon::Information);
      const bool kept = JournalsKeptForTheStart() && EmptyJournalFile(journal);
      journal.Close();
      // One that cannot go holds nothing to undo, or is undone once more by the next start.
      if (!kept) (void)platform::files::DeleteFile(journalName);
      const JournalOutcome outcome = told                ? JournalOutcome::OnFile
                                     : report.RepairLeft ? JournalOutcome::RepairLeft
                                                         : JournalOutcome::None;
      NoteJournalFound(company, outcome);
      return outcome;
    }
    case UndoResult::Foreign:
      return Refuse(journal, journalName, company);
    case UndoResult::InUse:
      return JournalOutcome::InUse;
    case UndoResult::Damaged:
      return KeepDamaged(journal, journalName, company, report.What);
    case UndoResult::Unavailable:
    case UndoResult::Failed:
      break;
    case UndoResult::Undone: {
      // The journal is emptied before any rebuild: left marked over a rebuilt file, it would name
      // slots that moved. It stays until the files are rebuilt.
      if (!EmptyJournalFile(journal)) {
        JournalUnusable(report, journalName, journal.error(), "written");
        break;
      }
      journal.Close();
      bool rebuilt = true;
      for (const std::string& name : report.Files) rebuilt = RebuildUnitFile(name, company) && rebuilt;
      RemoveUnlessKept(journalName);
      const bool told = ToldAtTheStart(report.What);
      if (told) Tell(UndoneMessage(report.What, rebuilt), platform::ui::MsgIcon::Information);
      NoteJournalFound(company, told ? JournalOutcome::Undone : JournalOutcome::None);
      return JournalOutcome::Undone;
    }
  }
  return KeepWaiting(company, report);
}

void DoneAgainAtEveryStart(const std::string& what) {
  WorkDoneAgainAtEveryStart().insert(what);
}

void UndoLeftPostingJournals() {
  // Listed by name only (a FIFO among them is never opened here, a folder is set aside); a
  // company whose journal is there in several spellings is asked about once.
  const QStringList journals =
      QDir::current().entryList({QStringLiteral("*") + QString::fromLatin1(kPostingJournalSuffix)},
                                QDir::Files | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
  std::set<std::string> asked;
  for (const QString& name : journals) {
    const std::string company = platform::text::ToAnsi(
        name.left(name.size() - static_cast<qsizetype>(sizeof kPostingJournalSuffix - 1)));
    if (asked.insert(platform::text::UpperCase(company)).second) UndoPostingJournal(company);
  }
}

}  // namespace storage
