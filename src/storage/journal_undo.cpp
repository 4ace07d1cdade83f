// Undoing a posting journal left behind: every change it names is undone on the data files'
// slots, newest first, before the files are opened. The engine's repair then rebuilds what the
// undo cannot touch (free chains, headers, keys): each data file changed here is marked as
// needing it (byte 20), whatever state it was closed in. Each entry is marked undone as soon as
// its change is, so that a second crash while undoing leaves a journal that undoes the rest.

#include <QDir>
#include <QString>
#include <cerrno>
#include <map>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"
#include "storage/byte_order.h"
#include "storage/file_block.h"
#include "storage/journal_entry.h"
#include "storage/posting_journal.h"

namespace storage {
namespace {

using platform::files::File;
using platform::files::OpenMode;

constexpr int64_t kRecordLengthAt = 12;
const QString kPostingTitle = QStringLiteral("Posting");

enum class Check { Fine, Foreign, InUse };

// A journal names files of the data folder only.
bool PlainName(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

class UndoRun {
 public:
  explicit UndoRun(ParsedJournal journal) : journal_(std::move(journal)) {}

  Check CheckAll() {
    for (const JournalEntry& entry : journal_.Entries) {
      if (!PlainName(entry.Name)) return Check::Foreign;
      if (entry.Kind == JournalKind::SideFileImage || entry.Kind == JournalKind::SideFileCreated) continue;
      Check check = CheckSlot(entry);
      if (check != Check::Fine) return check;
    }
    return Check::Fine;
  }

  // Undoes the entries not yet undone, newest first, marking each in the journal.
  bool UndoAll(File& journalFile) {
    for (auto it = journal_.Entries.rbegin(); it != journal_.Entries.rend(); ++it) {
      if (it->Undone) continue;
      if (!UndoEntry(*it)) return false;
      const uint8_t undone = kJournalUndone;
      if (!journalFile.WriteAt(it->Offset + static_cast<int64_t>(kJournalStateOffset), &undone, 1))
        return false;
    }
    return true;
  }

 private:
  File* DataFile(const std::string& name, Check& check) {
    auto found = files_.find(name);
    if (found != files_.end()) return &found->second;
    File file;
    if (!file.Open(name, OpenMode::ReadWrite)) {
      check = file.error() == EWOULDBLOCK ? Check::InUse : Check::Foreign;
      return nullptr;
    }
    return &files_.emplace(name, std::move(file)).first->second;
  }

  // The slot must lie in a data file of the entry's record length; an added slot may lie past
  // its end (the add never reached the file).
  Check CheckSlot(const JournalEntry& entry) {
    Check check = Check::Fine;
    File* file = DataFile(entry.Name, check);
    if (file == nullptr) return check;
    uint8_t raw[4];
    int64_t size = 0;
    if (!file->ReadAt(kRecordLengthAt, raw, sizeof raw) || !file->Size(&size)) return Check::Foreign;
    const int64_t length = IsamLoadInt32(raw);
    if (length != entry.RecordLength || length <= 0 || entry.Ref < 1) return Check::Foreign;
    if (entry.Kind == JournalKind::SlotAdded) return Check::Fine;
    const bool inFile = (int64_t{entry.Ref} + 1) * length <= size;
    return inFile && entry.Image.size() == static_cast<size_t>(length) ? Check::Fine : Check::Foreign;
  }

  bool UndoEntry(const JournalEntry& entry) {
    switch (entry.Kind) {
      case JournalKind::SideFileImage:
        return platform::files::WriteWholeFile(entry.Name, entry.Image);
      case JournalKind::SideFileCreated: {
        int err = 0;
        return platform::files::DeleteFile(entry.Name, &err) || err == ENOENT;
      }
      default:
        return UndoSlot(entry);
    }
  }

  bool UndoSlot(const JournalEntry& entry) {
    Check check = Check::Fine;
    File* file = DataFile(entry.Name, check);
    if (file == nullptr) return false;
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

  ParsedJournal journal_;
  std::map<std::string, File> files_;
};

QString Qt(const std::string& text) {
  return platform::text::ToQString(text);
}

void Tell(const QString& text, platform::ui::MsgIcon icon) {
  platform::ui::MessageBox(text, kPostingTitle, platform::ui::MsgButtons::Ok, icon);
}

QString UndoneMessage(const std::string& what) {
  if (what.empty()) return QStringLiteral("The last posting was interrupted and has been undone.");
  return QStringLiteral("The last posting (%1) was interrupted and has been undone.").arg(Qt(what));
}

JournalOutcome Refuse(const std::string& journalName, const std::string& company) {
  Tell(QStringLiteral(
           "The posting journal %1 does not belong to the files of company %2.  Nothing was undone.")
           .arg(Qt(journalName), Qt(company)),
       platform::ui::MsgIcon::Error);
  return JournalOutcome::Refused;
}

}  // namespace

JournalOutcome UndoPostingJournal(const std::string& company) {
  const std::string journalName = PostingJournalName(company);
  if (PostingUnderWay() || PostingJournalHeld(company) || !platform::files::Exists(journalName))
    return JournalOutcome::None;
  File journalFile;
  std::string bytes;
  if (!journalFile.Open(journalName, OpenMode::ReadWrite)) {
    return journalFile.error() == EWOULDBLOCK ? JournalOutcome::InUse : Refuse(journalName, company);
  }
  int64_t size = 0;
  if (!journalFile.Size(&size)) return Refuse(journalName, company);
  bytes.resize(static_cast<size_t>(size));
  if (!journalFile.ReadAt(0, bytes.data(), bytes.size())) return Refuse(journalName, company);
  ParsedJournal journal;
  if (!ParseJournal(bytes, journal)) return Refuse(journalName, company);
  if (!journal.Entries.empty() && journal.Header.Company != company) return Refuse(journalName, company);
  const std::string what = journal.Header.What;
  const bool changes = !journal.Entries.empty();
  UndoRun run(std::move(journal));
  const Check check = run.CheckAll();
  if (check == Check::InUse) return JournalOutcome::InUse;
  if (check == Check::Foreign) return Refuse(journalName, company);
  if (!run.UndoAll(journalFile)) {
    Tell(QStringLiteral(
             "The last posting (%1) was interrupted and could not be undone yet.  It will be undone "
             "at the next start.")
             .arg(Qt(what)),
         platform::ui::MsgIcon::Error);
    return JournalOutcome::InUse;
  }
  journalFile.Close();
  platform::files::DeleteFile(journalName);
  if (changes) Tell(UndoneMessage(what), platform::ui::MsgIcon::Information);
  return JournalOutcome::Undone;
}

void UndoLeftPostingJournals() {
  const QStringList journals = QDir::current().entryList(
      {QStringLiteral("*") + QString::fromLatin1(kPostingJournalSuffix)}, QDir::Files);
  for (const QString& name : journals) {
    const std::string company = platform::text::ToAnsi(
        name.left(name.size() - static_cast<qsizetype>(sizeof kPostingJournalSuffix - 1)));
    UndoPostingJournal(company);
  }
}

}  // namespace storage
