// Undoing a posting journal: every change it names is undone on the data files' slots, newest
// first, while the files are closed. The journal is read one entry at a time and every entry is
// checked against the files here before anything is changed: a journal is our own file, but one
// found on disk may be damaged, another company's or made up. Each data file changed is marked as
// needing its repair (byte 20) and synced; the journal is removed, and only then are the files
// rebuilt (a journal left over a rebuilt file would name slots that moved). Each entry is marked
// undone as soon as its change is, and undoing an entry twice changes nothing more, so a second
// crash while undoing leaves a journal that the next start finishes.

#include "storage/journal_undo.h"

#include <QDir>
#include <QString>
#include <cerrno>
#include <filesystem>
#include <map>
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

class UndoRun {
 public:
  UndoResult CheckEntry(const JournalEntry& entry) {
    if (!PlainName(entry.Name)) return UndoResult::Foreign;
    if (IsSideKind(entry.Kind))
      return IsJournalledSideFile(entry.Name) ? UndoResult::Nothing : UndoResult::Foreign;
    if (!IsDataFileName(entry.Name)) return UndoResult::Foreign;
    return CheckSlot(entry);
  }

  bool UndoEntry(const JournalEntry& entry) {
    switch (entry.Kind) {
      case JournalKind::SideFileImage: {
        // A side file whose write never happened holds its image still.
        std::string now;
        return (platform::files::ReadWholeFile(entry.Name, &now) && now == entry.Image) ||
               platform::files::WriteWholeFile(entry.Name, entry.Image);
      }
      case JournalKind::SideFileCreated: {
        // Only a regular file can be one the posting made.
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(entry.Name, error)))
          return true;
        int err = 0;
        return platform::files::DeleteFile(entry.Name, &err) || err == ENOENT;
      }
      default:
        return UndoSlot(entry);
    }
  }

  bool SyncAll() {
    for (auto& [name, file] : files_)
      if (!file.Flush()) return false;
    return true;
  }

  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const auto& [name, file] : files_) names.push_back(name);
    return names;
  }

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
    File file;
    if (!file.Open(name, OpenMode::ReadWrite)) {
      check = file.error() == EWOULDBLOCK ? UndoResult::InUse : UndoResult::Foreign;
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
    if (!file->ReadAt(kRecordLengthAt, raw, sizeof raw) || !file->Size(&size)) return UndoResult::Foreign;
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

  std::map<std::string, File> files_;
};

QString Qt(const std::string& text) {
  return platform::text::ToQString(text);
}

void Tell(const QString& text, platform::ui::MsgIcon icon) {
  platform::ui::MessageBox(text, kPostingTitle, platform::ui::MsgButtons::Ok, icon);
}

QString UndoneMessage(const std::string& what, bool rebuilt) {
  const QString posting = what.empty() ? QStringLiteral("The last posting")
                                       : QStringLiteral("The last posting (%1)").arg(Qt(what));
  return posting +
         (rebuilt ? QStringLiteral(" was interrupted and has been undone; the files it touched were rebuilt.")
                  : QStringLiteral(" was interrupted and has been undone."));
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
  const std::string absolute = std::filesystem::absolute(journalName).string();
  if (RefusedJournals().count(absolute)) return JournalOutcome::Refused;
  const std::string aside = SetAsideName(company);
  QString text =
      QStringLiteral("The posting journal %1 does not belong to the files of company %2.  Nothing was undone")
          .arg(Qt(journalName), Qt(company));
  if (platform::files::RenameFile(journalName, aside)) {
    platform::files::SyncFolder(aside);
    text += QStringLiteral("; the journal was kept as %1.").arg(Qt(aside));
  } else {
    // It stays where it is; postings refuse to write over it.
    RefusedJournals().insert(absolute);
    text += QStringLiteral(".");
  }
  Tell(text, platform::ui::MsgIcon::Error);
  return JournalOutcome::Refused;
}

bool IsLink(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_symlink(name, error);
}

}  // namespace

UndoResult UndoJournalOnDisk(File& journal, const std::string& company, std::string* what,
                             std::vector<std::string>* files) {
  JournalReader reader(journal);
  JournalHeader header;
  const JournalRead read = reader.ReadHeader(header);
  if (read == JournalRead::Empty) return UndoResult::Nothing;
  if (read == JournalRead::Damaged || header.Company != company) return UndoResult::Foreign;
  if (what) *what = header.What;
  UndoRun run;
  std::vector<int64_t> offsets;
  for (;;) {
    JournalEntry entry;
    const JournalReader::Step step = reader.Next(entry, false);
    if (step == JournalReader::Step::End) break;
    if (step == JournalReader::Step::Damaged) return UndoResult::Foreign;
    const UndoResult check = run.CheckEntry(entry);
    if (check != UndoResult::Nothing) return check;
    if (!entry.Undone) offsets.push_back(entry.Offset);
  }
  for (auto at = offsets.rbegin(); at != offsets.rend(); ++at) {
    JournalEntry entry;
    if (!reader.ReadAt(*at, entry) || !run.UndoEntry(entry)) return UndoResult::Failed;
    const uint8_t undone = kJournalUndone;
    if (!journal.WriteAt(*at + static_cast<int64_t>(kJournalStateOffset), &undone, 1))
      return UndoResult::Failed;
  }
  if (!run.SyncAll()) return UndoResult::Failed;
  if (files) *files = run.FileNames();
  return offsets.empty() ? UndoResult::Nothing : UndoResult::Undone;
}

bool DataFileMarkedForRepair(const std::string& dataFileName) {
  File file;
  uint8_t flag = 0;
  if (!file.Open(dataFileName, OpenMode::ReadOnly)) return false;
  return file.ReadAt(IsamIndexDirtyFlagOffset, &flag, 1) && flag != 0;
}

JournalOutcome UndoPostingJournal(const std::string& company) {
  const std::string journalName = PostingJournalName(company);
  if (PostingUnderWay() || PostingJournalHeld(company)) return JournalOutcome::None;
  // Its undo failed in this run and was told: it waits for the next start, whatever opens the files.
  if (PostingJournalWaitsFor(company)) return JournalOutcome::InUse;
  if (!platform::files::Exists(journalName) && !IsLink(journalName)) return JournalOutcome::None;
  File journal;
  if (!journal.Open(journalName, OpenMode::OpenOwn)) {
    return journal.error() == EWOULDBLOCK ? JournalOutcome::InUse : Refuse(journal, journalName, company);
  }
  std::string what;
  std::vector<std::string> files;
  switch (UndoJournalOnDisk(journal, company, &what, &files)) {
    case UndoResult::Nothing:
      // The program was stopped between postings, with the company open.
      journal.Close();
      platform::files::DeleteFile(journalName);
      NoteJournalFound(company, JournalOutcome::None);
      return JournalOutcome::None;
    case UndoResult::Foreign:
      return Refuse(journal, journalName, company);
    case UndoResult::InUse:
      return JournalOutcome::InUse;
    case UndoResult::Failed:
      break;
    case UndoResult::Undone: {
      journal.Close();
      // The journal goes before any rebuild: left over a rebuilt file, it would name slots that moved.
      if (!platform::files::DeleteFile(journalName) || !platform::files::SyncFolder(journalName)) break;
      bool rebuilt = true;
      for (const std::string& name : files) rebuilt = RebuildUnitFile(name, company) && rebuilt;
      Tell(UndoneMessage(what, rebuilt), platform::ui::MsgIcon::Information);
      NoteJournalFound(company, JournalOutcome::Undone);
      return JournalOutcome::Undone;
    }
  }
  KeepJournalWaiting(company, what);
  NoteJournalFound(company, JournalOutcome::InUse);
  Tell(QStringLiteral("The last posting (%1) was interrupted and could not be undone yet.  It will be undone "
                      "at the next start; until then no data file is rebuilt or repaired, and company %2 "
                      "posts nothing.")
           .arg(Qt(what), Qt(company)),
       platform::ui::MsgIcon::Error);
  return JournalOutcome::InUse;
}

void UndoLeftPostingJournals() {
  const QStringList journals = QDir::current().entryList(
      {QStringLiteral("*") + QString::fromLatin1(kPostingJournalSuffix)}, QDir::Files | QDir::System);
  for (const QString& name : journals) {
    const std::string company = platform::text::ToAnsi(
        name.left(name.size() - static_cast<qsizetype>(sizeof kPostingJournalSuffix - 1)));
    UndoPostingJournal(company);
  }
}

}  // namespace storage
