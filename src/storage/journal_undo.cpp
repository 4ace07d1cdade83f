// Undoing a posting journal: every change it names is undone on the data files' slots, newest
// first, while the files are closed. The whole journal is read one entry at a time and every
// entry is checked against the files here before anything is changed: a journal is our own file,
// but one found on disk may be damaged, another company's or made up; a read the system fails is
// none of these, and keeps the journal waiting. Each data file changed is marked as needing its
// repair (byte 20) and synced; the journal's mark then says that its posting is undone (synced),
// and only then are the files rebuilt (a journal left marked over a rebuilt file would name slots
// that moved). The journal keeps the posting's name until the user has been told, and then stays,
// emptied, until the start's rebuild is done: it is the evidence that the program was stopped, so
// that a start stopped during its rebuild is finished by the next one, which rebuilds the files
// still marked and says what was undone. Nothing else in the journal is written while it is
// undone: undoing an entry again only writes the same image again, so a second crash while
// undoing leaves a journal that the next start undoes whole once more. One journal per company: a
// journal found in several spellings is undone in none of them.

#include "storage/journal_undo.h"

#include <sys/stat.h>

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

std::string JournalUnreadable(const std::string& name, int err) {
  return "the journal " + name + " could not be read: " + std::strerror(err);
}

// Whether an open for reading and writing was refused for the writing alone: the file opens for
// reading (in `readOnly`), so the user must make it writable, not readable.
bool RefusedForWritingOnly(const std::string& name, int err, File& readOnly) {
  return (err == EACCES || err == EPERM) && readOnly.Open(name, OpenMode::ReadOnly);
}

// What could not be done to a file the undo opens to read and write: "opened for writing" when
// only the writing was refused (its remedy: writable), else "opened" (readable).
std::string OpenRefused(const std::string& name, int err) {
  File readOnly;
  return RefusedForWritingOnly(name, err, readOnly) ? "opened for writing" : "opened";
}

// The posting a journal's header names, when it holds one of the company's: the messages name it.
void NamePosting(JournalRead read, const JournalHeader& header, const std::string& company,
                 UndoReport& report) {
  if (read == JournalRead::Entries &&
      platform::text::UpperCase(header.Company) == platform::text::UpperCase(company))
    report.What = header.What;
}

// A journal of the company that is there but cannot be opened now (no permission, an I/O error):
// why, what the user can do, and the posting, when it can be read. It is no mismatch: it waits.
void JournalNotOpened(const std::string& name, int err, const std::string& company, UndoReport& report) {
  File readOnly;
  const bool writing = RefusedForWritingOnly(name, err, readOnly);
  if (writing) {
    JournalHeader header;
    JournalReader reader(readOnly);
    const JournalRead read = reader.ReadHeader(header);
    NamePosting(read, header, company, report);
  }
  report.Cause = "the journal " + name +
                 (writing ? " could not be opened for writing: " : " could not be opened: ") +
                 std::strerror(err);
  report.Remedy = WaitingRemedy(name, err, writing);
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

  // An entry of a journal whose posting a start undid already, before it was stopped: only the
  // data files it names are wanted, for their rebuild (their slots may have moved since).
  void NoteUndone(const JournalEntry& entry) {
    if (!PlainName(entry.Name) || !IsDataFileName(entry.Name) || !IsCompanysDataFile(entry.Name, company_))
      return;
    if (entry.Kind == JournalKind::DataFileCreated) created_.insert(platform::text::UpperCase(entry.Name));
    if (!IsSideKind(entry.Kind) && entry.Kind != JournalKind::DataFileCreated && !Created(entry.Name))
      changed_.insert(platform::text::UpperCase(entry.Name));
  }

  bool UndoEntry(const JournalEntry& entry) {
    int err = 0;
    switch (entry.Kind) {
      case JournalKind::SideFileImage: {
        // A side file whose write never happened holds its image still.
        std::string now;
        return (platform::files::ReadWholeFile(entry.Name, &now) && now == entry.Image) ||
               platform::files::WriteWholeFile(entry.Name, entry.Image, &err) ||
               FailedOn(entry.Name, err, "written");
      }
      case JournalKind::SideFileCreated: {
        // Only a regular file can be one the posting made.
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(entry.Name, error)))
          return true;
        return platform::files::DeleteFile(entry.Name, &err) || err == ENOENT ||
               FailedOn(entry.Name, err, "removed");
      }
      case JournalKind::DataFileCreated:
        return RemoveCreated(entry);
      default:
        return Created(entry.Name) || UndoSlot(entry);
    }
  }

  bool SyncAll() {
    for (auto& [name, file] : files_)
      if (!file.Flush()) return FailedOn(name, file.error(), "synced");
    int err = 0;
    return !removed_ || platform::files::SyncFolder(removed_->c_str(), &err) || FailedOn({}, err, "synced");
  }

  // Why a file could not be used (Unavailable) or the undo failed, with the system's reason.
  const std::string& Cause() const { return cause_; }
  const std::string& Remedy() const { return remedy_; }

  // The data files whose slots the journal names, upper case.
  std::vector<std::string> FileNames() const { return {changed_.begin(), changed_.end()}; }

 private:
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
    // Only a regular file is opened (never a FIFO, which could block the open). A data file kept
    // as a link to a regular file (on another disk) is undone through the link, as the posting
    // wrote it.
    std::filesystem::file_status status;
    check = StatusOf(name, status, true);
    if (check != UndoResult::Nothing) return nullptr;
    if (!std::filesystem::is_regular_file(status)) {
      check = UndoResult::Foreign;
      return nullptr;
    }
    File file;
    if (!file.Open(name, OpenMode::ReadWrite)) {
      check = file.error() == EWOULDBLOCK ? UndoResult::InUse
                                          : Unavailable(name, file.error(), OpenRefused(name, file.error()));
      return nullptr;
    }
    struct stat opened {};
    if (::fstat(file.fd(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
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
    size_t got = 0;
    if (!file->Size(&size)) return Unavailable(entry.Name, file->error(), "read");
    if (!file->ReadAt(kRecordLengthAt, raw, sizeof raw, &got))
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
    const bool undone =
        file->WriteAt(IsamIndexDirtyFlagOffset, &needsRepair, 1) &&
        (entry.Kind == JournalKind::SlotImage ? file->WriteAt(pos, entry.Image.data(), entry.Image.size())
                                              : FreeAddedSlot(*file, pos, entry.RecordLength));
    return undone || FailedOn(entry.Name, file->error(), "written");
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

  // What lstat (or, through a link, stat) says of a file an entry names, found whatever the case of
  // its name (no open, which a FIFO could block). A folder that cannot be read now (no permission,
  // an I/O error) is no mismatch: the file is unavailable.
  UndoResult StatusOf(const std::string& name, std::filesystem::file_status& status,
                      bool throughLink = false) {
    std::error_code error;
    const std::string onDisk = platform::files::ResolveForUse(name);
    status =
        throughLink ? std::filesystem::status(onDisk, error) : std::filesystem::symlink_status(onDisk, error);
    if (error && status.type() != std::filesystem::file_type::not_found)
      return Unavailable(name, error.value(), "found");
    return UndoResult::Nothing;
  }

  UndoResult Unavailable(const std::string& name, int err, const std::string& done) {
    FailedOn(name, err, done);
    return UndoResult::Unavailable;
  }

  // Why a file of the undo failed, and what the user can do about it; false.
  bool FailedOn(const std::string& name, int err, const std::string& done) {
    cause_ = (name.empty() ? std::string("the data folder") : "the file " + name) + " could not be " + done +
             ": " + std::strerror(err);
    remedy_ = WaitingRemedy(name, err, done != "opened" && done != "read" && done != "found");
    return false;
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
      int err = 0;
      if (!platform::files::DeleteFile(name, &err) && err != ENOENT) return FailedOn(name, err, "removed");
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
  std::string remedy_;
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
  return Qt(PostingAtSentenceStart(what.empty() ? std::string("the last posting") : what));
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
  KeepJournalWaiting(company, report.What, report.Remedy);
  NoteJournalFound(company, JournalOutcome::InUse);
  const QString cause = report.Cause.empty() ? QString() : QStringLiteral(": ") + Qt(report.Cause);
  Tell(LastPosting(report.What) +
           QStringLiteral(" was interrupted and could not be undone yet%1.  Until it is undone, company %2 "
                          "posts nothing and none of its records can be changed.  %3")
               .arg(cause, Qt(company), Qt(report.Remedy)),
       platform::ui::MsgIcon::Error);
  return JournalOutcome::InUse;
}

// Journals refused in this run: each is told once, whatever opens the company's files again.
std::set<std::string>& RefusedJournals() {
  static std::set<std::string> refused;
  return refused;
}

// The journal's header zeroed and synced (not written when it is zero already): what it held is
// done with, nothing of it is left to say (a header whole but for its mark would say that a
// posting is on file), and it stays as the evidence of the stop.
bool EmptyJournalFile(File& journal) {
  char header[kJournalHeaderSize] = {};
  size_t got = 0;
  const bool read = journal.ReadAt(0, header, sizeof header, &got) || journal.error() == 0;
  if (read && std::all_of(header, header + got, [](char c) { return c == 0; })) return true;
  const char zeros[kJournalHeaderSize] = {};
  return journal.WriteAt(0, zeros, sizeof zeros) && journal.SyncData();
}

// While the start recovers from a stop, the journals it finds stay (emptied) for it to remove.
bool& JournalsKeptForTheStart() {
  static bool kept = false;
  return kept;
}

// A journal whose every word has been said, emptied first (a removal a power cut takes back must
// not say it again): at the start it stays as the evidence of the stop until the start has
// rebuilt everything the stop left; elsewhere it is removed, and the removal made durable.
void DoneWithJournal(File& journal, const std::string& journalName) {
  const bool emptied = EmptyJournalFile(journal);
  journal.Close();
  if (emptied && JournalsKeptForTheStart()) return;
  // A removal that does not last brings back a journal with nothing to undo or to say.
  if (platform::files::DeleteFile(journalName)) (void)platform::files::SyncFolder(journalName);
}

// -- Journals set aside --
//
// A journal that does not belong here is kept under a name that says so ("12JNL-1.BAD") and never
// undone nor written over. It leaves its name in one step in which a small journal of the
// SetAside stage takes its place (the two names swapped), naming where it was kept: a start
// stopped anywhere in between leaves the next one either the journal as it was (set aside again,
// reusing a stand-in prepared for it) or the stand-in, which that start tells and takes as the
// evidence of the stop. Once told, the stand-in is emptied and goes with the rest of the stop.

constexpr char kAsideSeparator[] = ", ";

// A file at an aside name that holds nothing of anyone's: a stand-in prepared there by a start that
// was stopped before it swapped it in (empty, or naming that name first).
bool IsUnusedStandIn(const std::string& name) {
  File file;
  if (!file.Open(name, OpenMode::OpenOwn)) return false;
  int64_t size = 0;
  JournalHeader header;
  JournalReader reader(file);
  return (file.Size(&size) && size == 0) ||
         (reader.ReadHeader(header) == JournalRead::SetAside && header.What.starts_with(name));
}

// A name beside the journal that says what it is, not taken yet (nor by `taken`): "12JNL-1.BAD".
std::string SetAsideName(const std::string& company, const std::vector<std::string>& taken = {}) {
  for (int n = 1;; ++n) {
    const std::string name = company + "JNL-" + std::to_string(n) + ".BAD";
    if (std::find(taken.begin(), taken.end(), name) != taken.end()) continue;
    std::error_code error;
    const bool there = platform::files::Exists(name) || std::filesystem::is_symlink(name, error);
    if (!there || IsUnusedStandIn(name)) return name;
  }
}

std::vector<std::string> SplitAsides(const std::string& what) {
  std::vector<std::string> names;
  for (size_t at = 0; at <= what.size();) {
    const size_t end = std::min(what.find(kAsideSeparator, at), what.size());
    if (end > at) names.push_back(what.substr(at, end - at));
    at = end + sizeof kAsideSeparator - 1;
  }
  return names;
}

// The stand-in, written and synced under `name` exactly as spelled (`mode` says whether a file of
// that name may be there: only an unused stand-in); false with the system's errno in err.
bool WriteStandIn(const std::string& name, OpenMode mode, const std::string& company,
                  const std::vector<std::string>& kept, int& err) {
  JournalHeader header;
  header.Company = company;
  for (const std::string& aside : kept) header.What += (header.What.empty() ? "" : kAsideSeparator) + aside;
  header.Stage = JournalStage::SetAside;
  const std::string bytes = EncodeJournalHeader(header);
  File file;
  if (file.OpenSpelled(name, mode) && file.WriteAt(0, bytes.data(), bytes.size()) && file.SyncData())
    return true;
  err = file.error();
  return false;
}

// A stand-in that did not take the journal's place, removed (only under its own spelling).
void RemoveStandIn(const std::string& aside) {
  std::error_code error;
  // One that cannot go is taken for the next set-aside under that name (an unused stand-in).
  if (std::filesystem::exists(std::filesystem::symlink_status(aside, error)))
    (void)platform::files::DeleteFile(aside);
}

// The journal `name` set aside as `aside`, the stand-in in its place; false with the system's errno
// in err when it could not be moved (it then stays where it is).
bool SwapInStandIn(const std::string& name, const std::string& aside, const std::string& company,
                   const std::vector<std::string>& kept, int& err) {
  if (!WriteStandIn(aside, OpenMode::CreateAlways, company, kept, err)) {
    RemoveStandIn(aside);
    return false;
  }
  // Should the swap not last, the journal is found in its place and set aside again.
  if (platform::files::ExchangeFiles(name, aside, &err)) {
    (void)platform::files::SyncFolder(name);
    return true;
  }
  // A file system that cannot swap two names: the journal is moved over the stand-in and a stand-in
  // made anew in its place (a stop in between leaves the files marked without a journal).
  const bool cannotSwap = err == EINVAL || err == ENOSYS || err == ENOTSUP;
  if (!cannotSwap || !platform::files::RenameFile(name, aside, &err)) {
    RemoveStandIn(aside);
    return false;
  }
  if (WriteStandIn(name, OpenMode::CreateNew, company, kept, err)) (void)platform::files::SyncFolder(name);
  return true;
}

// What the start says of journals set aside (`kept`: where each is now); `stayed` those that could
// not be moved, for the system's reason `err`.
QString SetAsideMessage(const std::string& journalName, const std::string& company,
                        const std::vector<std::string>& kept, const std::vector<std::string>& stayed,
                        int err) {
  const auto list = [](const std::vector<std::string>& names) {
    QStringList shown;
    for (const std::string& name : names) shown << Qt(name);
    return shown.join(QStringLiteral(", "));
  };
  QString text =
      kept.size() > 1
          ? QStringLiteral(
                "Company %1 has more than one posting journal.  Nothing was undone; they were kept as %2.")
                .arg(Qt(company), list(kept))
          : QStringLiteral(
                "The posting journal %1 does not belong to the files of company %2.  Nothing was undone")
                    .arg(Qt(journalName), Qt(company)) +
                (stayed.empty() ? QStringLiteral("; the journal was kept as %1.").arg(list(kept))
                                : QStringLiteral("."));
  if (!stayed.empty())
    text += QStringLiteral("  %1 could not be set aside: %2.")
                .arg(list(stayed), QString::fromLocal8Bit(std::strerror(err)));
  return text;
}

// The stand-in found at `name` (left by a start stopped before it told the user): what it kept.
std::optional<std::vector<std::string>> StandInAt(const std::string& name, const std::string& company) {
  File file;
  JournalHeader header;
  if (!file.Open(name, OpenMode::OpenOwn)) return std::nullopt;
  JournalReader reader(file);
  if (reader.ReadHeader(header) != JournalRead::SetAside ||
      platform::text::UpperCase(header.Company) != platform::text::UpperCase(company))
    return std::nullopt;
  return SplitAsides(header.What);
}

// Sets aside the company's journals `names` (one, or one in several spellings), none undone, and
// tells the user once; a stand-in among them names what a stopped start set aside already.
JournalOutcome SetAside(const std::vector<std::string>& names, const std::string& company) {
  // The program was stopped all the same: the start rebuilds what it left, under this one message.
  NoteJournalFound(company, JournalOutcome::Refused);
  const bool told = std::all_of(names.begin(), names.end(), [](const std::string& name) {
    return RefusedJournals().count(std::filesystem::absolute(name).string()) > 0;
  });
  if (told) return JournalOutcome::Refused;
  std::string standIn;
  std::vector<std::string> kept, left;
  for (const std::string& name : names) {
    std::optional<std::vector<std::string>> found = standIn.empty() ? StandInAt(name, company) : std::nullopt;
    if (found) {
      standIn = name;
      kept = std::move(*found);
    } else {
      left.push_back(name);
    }
  }
  int err = 0;
  std::vector<std::string> stayed;
  if (standIn.empty()) {
    // Where each goes is settled first: the stand-in names them all. Without it in place, none
    // moves (one spelling left alone would be taken for the company's journal); they stay where
    // they are, and postings refuse to write over them.
    std::vector<std::string> planned;
    for (size_t i = 0; i < left.size(); ++i) planned.push_back(SetAsideName(company, planned));
    if (!SwapInStandIn(left.front(), planned.front(), company, planned, err)) stayed = left;
    standIn = stayed.empty() ? left.front() : std::string();
    kept = stayed.empty() ? planned : std::vector<std::string>{};
    left.erase(left.begin(), stayed.empty() ? left.begin() + 1 : left.end());
  }
  for (const std::string& name : left) {
    const std::string aside = SetAsideName(company);
    const bool moved = platform::files::RenameFile(name, aside, &err) && platform::files::SyncFolder(aside);
    if (!moved)
      stayed.push_back(name);
    else if (std::find(kept.begin(), kept.end(), aside) == kept.end())
      kept.push_back(aside);
  }
  for (const std::string& name : stayed) RefusedJournals().insert(std::filesystem::absolute(name).string());
  Tell(SetAsideMessage(standIn.empty() ? names.front() : standIn, company, kept, stayed, err),
       platform::ui::MsgIcon::Error);
  // A spelling that stayed keeps the stand-in untold: without it, the next start would find that
  // spelling alone and take it for the company's one journal.
  File journal;
  if (!standIn.empty() && stayed.empty() && journal.Open(standIn, OpenMode::OpenOwn))
    DoneWithJournal(journal, standIn);
  return JournalOutcome::Refused;
}

// The journal kept where it is: entries it holds as synced do not read, so what it would undo
// may be on the files and cannot be undone. It waits as a journal whose undo failed does: nothing
// writes the company's files while it is there (a posting never writes over a journal with a mark
// either), and it is told once a start, with the way out: the last backup.
JournalOutcome KeepDamaged(File& journal, const std::string& journalName, const std::string& company,
                           const std::string& what) {
  journal.Close();
  KeepDamagedJournalWaiting(company, what);
  const std::string remedy = DamagedJournalRemedy(company);
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

// What a journal's header says, read without undoing anything, with the company's posting it
// names; why it could not be opened or read, and what the user can do, when it could not
// (Unreadable).
JournalRead HeaderOf(const std::string& name, const std::string& company, UndoReport& unread) {
  File file;
  if (!file.Open(name, OpenMode::OpenOwn)) {
    // One another process holds is in use, which says nothing of it.
    if (file.error() != EWOULDBLOCK) JournalNotOpened(name, file.error(), company, unread);
    return JournalRead::Unreadable;
  }
  JournalHeader header;
  JournalReader reader(file);
  const JournalRead read = reader.ReadHeader(header);
  NamePosting(read, header, company, unread);
  if (read == JournalRead::Unreadable) {
    unread.Cause = JournalUnreadable(name, reader.error());
    unread.Remedy = WaitingRemedy(name, reader.error());
  }
  return read;
}

// The one journal of the company, spelled as it is on disk, in journalName; or, when there is
// none or it is not one journal, what became of it. Where there are several spellings, those
// with nothing to undo are removed first: one journal left is the company's. When none of them
// holds anything, the first stays: it tells that the program was stopped. One that cannot be
// opened or read keeps them all waiting (one in use, unheard).
std::optional<JournalOutcome> TheJournalOf(const std::string& company, std::string& journalName) {
  std::vector<std::string> names = JournalSpellings(company);
  if (names.size() > 1) {
    std::vector<JournalRead> reads;
    UndoReport unread;
    for (const std::string& name : names) reads.push_back(HeaderOf(name, company, unread));
    if (!unread.Cause.empty()) return KeepWaiting(company, unread);
    if (std::find(reads.begin(), reads.end(), JournalRead::Unreadable) != reads.end())
      return JournalOutcome::InUse;
    const std::string first = names.front();
    const bool allEmpty =
        std::all_of(reads.begin(), reads.end(), [](JournalRead r) { return r == JournalRead::Empty; });
    for (size_t i = names.size(); i-- > 0;) {
      const bool remove = !(allEmpty && i == 0) && reads[i] == JournalRead::Empty &&
                          platform::files::DeleteFile(names[i]) && platform::files::SyncFolder(names[i]);
      if (remove) names.erase(names.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  if (names.empty()) return JournalOutcome::None;
  if (names.size() > 1) return SetAside(names, company);
  journalName = names.front();
  return std::nullopt;
}

// The undone posting's journal says so, synced, before any file is rebuilt: left marked over a
// rebuilt file, it would name slots that moved; emptied, a start stopped before the user was told
// could no longer name the posting.
bool MarkJournalUndone(File& journal, JournalHeader header) {
  if (header.Stage == JournalStage::Undone) return true;
  header.Stage = JournalStage::Undone;
  const std::string bytes = EncodeJournalHeader(header);
  return journal.WriteAt(0, bytes.data(), bytes.size()) && journal.SyncData();
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
  JournalHeader& header = report->Header;
  const JournalRead read = reader.ReadHeader(header);
  const bool ours = platform::text::UpperCase(header.Company) == platform::text::UpperCase(company);
  const std::string journalName = platform::files::FileName(journal.path());
  UndoRun run(company);
  // Why the undo cannot go on, and what the user can do: the journal's read, or the run's file.
  const auto unreadable = [&] {
    report->Cause = JournalUnreadable(journalName, reader.error());
    report->Remedy = WaitingRemedy(journalName, reader.error());
  };
  const auto failedOnAFile = [&] {
    report->Cause = run.Cause();
    report->Remedy = run.Remedy();
  };
  if (read == JournalRead::Unreadable) {
    unreadable();
    return UndoResult::Unavailable;
  }
  if (read == JournalRead::Empty) {
    report->Committed = header.Committed && ours;
    if (report->Committed) report->What = header.What;
    report->RepairLeft = header.RepairLeft;
    return UndoResult::Nothing;
  }
  if (read == JournalRead::SetAside && ours) {
    report->Asides = SplitAsides(header.What);
    return UndoResult::Nothing;
  }
  if (read != JournalRead::Entries || !ours) return UndoResult::Foreign;
  report->What = header.What;
  const bool undoneAlready = header.Stage == JournalStage::Undone;
  // Every entry is read and checked before the first is undone.
  std::vector<int64_t> offsets;
  for (;;) {
    JournalEntry entry;
    const JournalReader::Step step = reader.Next(entry, false);
    if (step == JournalReader::Step::End || (undoneAlready && step == JournalReader::Step::Damaged)) break;
    if (step == JournalReader::Step::Damaged) return UndoResult::Damaged;
    if (step == JournalReader::Step::Unreadable) {
      unreadable();
      return UndoResult::Unavailable;
    }
    if (undoneAlready) {
      run.NoteUndone(entry);
      continue;
    }
    const UndoResult check = run.CheckEntry(entry);
    if (check == UndoResult::Unavailable) failedOnAFile();
    if (check != UndoResult::Nothing) return check;
    offsets.push_back(entry.Offset);
  }
  for (auto at = offsets.rbegin(); at != offsets.rend(); ++at) {
    JournalEntry entry;
    const JournalReader::Step step = reader.ReadAt(*at, entry);
    if (step == JournalReader::Step::Unreadable) unreadable();
    if (step != JournalReader::Step::Entry || !run.UndoEntry(entry)) {
      if (step == JournalReader::Step::Entry) failedOnAFile();
      return UndoResult::Failed;
    }
  }
  if (!run.SyncAll()) {
    failedOnAFile();
    return UndoResult::Failed;
  }
  report->Files = run.FileNames();
  return offsets.empty() && !undoneAlready ? UndoResult::Nothing : UndoResult::Undone;
}

std::optional<bool> DataFileRepairMark(const std::string& dataFileName) {
  File file;
  if (!file.Open(dataFileName, OpenMode::ReadOnly))
    return file.error() == ENOENT ? std::optional<bool>(false) : std::nullopt;
  uint8_t flag = 0;
  size_t got = 0;
  if (file.ReadAt(IsamIndexDirtyFlagOffset, &flag, 1, &got)) return flag != 0;
  // A short read (error 0) is a file too short to be a data file: no mark to find.
  return file.error() == 0 ? std::optional<bool>(false) : std::nullopt;
}

bool DataFileMarkedForRepair(const std::string& dataFileName) {
  return DataFileRepairMark(dataFileName).value_or(false);
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
      return SetAside({journalName}, company);
    JournalNotOpened(journalName, journal.error(), company, report);
    return KeepWaiting(company, report);
  }
  switch (UndoJournalOnDisk(journal, company, &report)) {
    case UndoResult::Nothing: {
      // The program was stopped between postings, with the company open (or before the posting's
      // first part was synced); or its last posting was committed and the stop came before it was
      // reported done, which is said; or a start set journals aside and was stopped before it said
      // so; or the company's close kept it for files a failure left. The start keeps the journal,
      // emptied, until it has rebuilt what the stop left.
      if (!report.Asides.empty()) {
        journal.Close();
        return SetAside({journalName}, company);
      }
      const bool told = report.Committed && ToldAtTheStart(report.What);
      if (told) Tell(OnFileMessage(report.What), platform::ui::MsgIcon::Information);
      DoneWithJournal(journal, journalName);
      const JournalOutcome outcome = told                ? JournalOutcome::OnFile
                                     : report.RepairLeft ? JournalOutcome::RepairLeft
                                                         : JournalOutcome::None;
      NoteJournalFound(company, outcome, told ? report.What : std::string());
      return outcome;
    }
    case UndoResult::Foreign:
      journal.Close();
      return SetAside({journalName}, company);
    case UndoResult::InUse:
      return JournalOutcome::InUse;
    case UndoResult::Damaged:
      return KeepDamaged(journal, journalName, company, report.What);
    case UndoResult::Unavailable:
    case UndoResult::Failed:
      break;
    case UndoResult::Undone: {
      // The journal says that its posting is undone before any rebuild, and keeps its name until the
      // user has been told; a start stopped in between is finished by the next, which rebuilds and
      // tells.
      if (!MarkJournalUndone(journal, report.Header)) {
        report.Cause =
            "the journal " + journalName + " could not be written: " + std::strerror(journal.error());
        report.Remedy = WaitingRemedy(journalName, journal.error(), true);
        break;
      }
      bool rebuilt = true;
      for (const std::string& name : report.Files) rebuilt = RebuildUnitFile(name, company) && rebuilt;
      const bool told = ToldAtTheStart(report.What);
      if (told) Tell(UndoneMessage(report.What, rebuilt), platform::ui::MsgIcon::Information);
      DoneWithJournal(journal, journalName);
      NoteJournalFound(company, told ? JournalOutcome::Undone : JournalOutcome::None,
                       told ? report.What : std::string());
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
