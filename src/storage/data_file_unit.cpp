#include "storage/data_file_unit.h"

#include <QElapsedTimer>
#include <QLabel>
#include <algorithm>
#include <cassert>
#include <cstring>

#include "platform/files/file.h"
#include "platform/text/key_text.h"
#include "platform/text/short_string.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "storage/byte_order.h"
#include "storage/file_io.h"
#include "storage/journal_undo.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"
#include "storage/rebuild_common.h"
#include "storage/stat_form.h"

namespace storage {

using platform::ui::MessageBox;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;

std::function<std::string()> CurrentCompanyNumber;

namespace {

constexpr size_t kFileNameMax = 8;
constexpr int kProgressEvery = 50;
constexpr qint64 kRepaintEveryMs = 100;
constexpr int32_t kKeyCountOffset = 16;

// The questions about one file are titled with its record kind's caption ("Customers"), so that
// the user knows which file is meant.
bool AskYesNo(const QString& text, const QString& caption) {
  return MessageBox(text, caption.isEmpty() ? kConfirmTitle : caption, MsgButtons::YesNo,
                    MsgIcon::Question) == mrYes;
}

RebuildFailuresKept* keptFailures = nullptr;

void ShowRebuildMessage(const QString& text, MsgIcon icon) {
  MessageBox(text, kRebuildTitle, MsgButtons::Ok, icon);
}

// The number of keys a closed data file's header names; -1 when the file is too short to hold a
// header, -2 when it cannot be read at all.
int32_t StoredKeyCount(const std::string& dataName) {
  platform::files::File file;
  if (!file.Open(dataName, platform::files::OpenMode::ReadOnly)) return -2;
  uint8_t raw[4];
  size_t got = 0;
  if (!file.ReadAt(kKeyCountOffset, raw, sizeof raw, &got)) return file.error() == 0 ? -1 : -2;
  return IsamLoadInt32(raw);
}

// A rebuild interrupted after its new data file was begun leaves that file (without keys, or
// not even a whole header yet) beside the .SAV that holds every old record. The copy is worth
// nothing and goes, so that the rebuild can start again from the .SAV. A data file with keys
// beside a .SAV is not such a copy and is left alone: the rebuild then refuses (10465) rather
// than guess.
void DropUnfinishedCopy(const std::string& name, uint16_t keyCount) {
  std::string dataPart = IsamDataPart(name);
  std::string dataName = IsamFileName(dataPart, IsamDataExt);
  if (keyCount == 0 || !IsamFileExists(IsamFileName(dataPart, IsamSaveExt)) || !IsamFileExists(dataName))
    return;
  int32_t keys = StoredKeyCount(dataName);
  if (keys == 0 || keys == -1) IsamDeleteFileBlock(name);
}

// Why the rebuild of a file failed, in the user's words: the system's reason when the disk refused
// a step, else what was found.
QString RebuildFailureReason(const std::string& name) {
  if (const int err = IsamLastFailureErrno()) return QString::fromLocal8Bit(std::strerror(err));
  switch (IsamError) {
    case IsamErrSaveAndDataExist:
      return QStringLiteral("%1, left by a rebuild that did not finish, is in its way")
          .arg(QString::fromStdString(IsamFileName(IsamDataPart(name), IsamSaveExt)));
    case IsamErrNothingToRebuild:
      return QStringLiteral("it is not there");
    case IsamErrCancelled:
      return QStringLiteral("the rebuild was cancelled");
    default:
      return QStringLiteral("its records do not read as those of a data file");
  }
}

// A failure on the disk that left the file to repair leaves the rebuild to the next start, which
// finishes it asking nothing; what the engine itself refused would only fail there again, and is
// asked about when the file opens. A rebuild that failed before it changed anything leaves the
// file as it was.
void ReportRebuildFailure(const std::string& name, const std::string& company) {
  IsamStatusKeeper keep;
  // A refusal while a posting waits says itself, with what to do.
  if (IsamError == IsamErrPostingWaits)
    return ShowRebuildMessage(QString::fromStdString(LastWaitingRefusal()), MsgIcon::Warning);
  const bool onTheDisk = IsamLastFailureErrno() != 0;
  QString text = QStringLiteral("The file %1 could not be rebuilt: %2.")
                     .arg(QString::fromStdString(IsamFileName(IsamDataPart(name), IsamDataExt)),
                          RebuildFailureReason(name));
  if (onTheDisk && FileSetLeftForRepair(name) && RepairLeftToNextStart(company))
    text += QStringLiteral("  It is rebuilt at the next start of the program.");
  if (keptFailures) return keptFailures->Keep(text);
  ShowRebuildMessage(text, MsgIcon::Error);
}

void ReportRebuildOutcome(const std::string& name, const std::string& company, bool messagesWritten,
                          int32_t recordsDeleted) {
  if (!IsamOK) return ReportRebuildFailure(name, company);
  if (messagesWritten && recordsDeleted > 0) {
    IsamStatusKeeper keep;
    ShowRebuildMessage(
        QStringLiteral("%1 record(s) with a duplicate key were deleted.  They are listed in %2.")
            .arg(recordsDeleted)
            .arg(QString::fromStdString(IsamFileName(IsamDataPart(name), IsamLogExt))),
        MsgIcon::Warning);
  }
}

void ProgressAdapter(uint16_t keyNr, int32_t recordsRead, int32_t recordsWritten, const void*, uint16_t) {
  RebuildProgressHook(keyNr, recordsRead, recordsWritten);
}

}  // namespace

RebuildFailuresKept::RebuildFailuresKept() : outer_(keptFailures) {
  keptFailures = this;
}

RebuildFailuresKept::~RebuildFailuresKept() {
  keptFailures = outer_;
}

DataFileKind PlainDataFileKind(std::string fileCode, QString caption, int32_t recordLength,
                               std::vector<KeyDefinition> keys) {
  DataFileKind kind;
  kind.FileCode = std::move(fileCode);
  kind.Caption = std::move(caption);
  kind.RecordLength = recordLength;
  kind.Keys = std::move(keys);
  return kind;
}

IsamKeyStr BuildTableKey(const DataFileKind& kind, const void* record, int keyNr) {
  if (keyNr < 1 || keyNr > static_cast<int>(kind.Keys.size())) return {};
  const KeyDefinition& def = kind.Keys[static_cast<size_t>(keyNr - 1)];
  const auto* bytes = static_cast<const uint8_t*>(record);
  // Built in one buffer: a rebuild makes a key of every record for every key number.
  std::string text;
  text.reserve(64);
  for (const KeyField& field : def.Fields) {
    const uint8_t* stored = bytes + field.Offset;
    const std::size_t length = std::min<std::size_t>(stored[0], static_cast<std::size_t>(field.Capacity));
    text += platform::text::TrimmedBlanks({reinterpret_cast<const char*>(stored + 1), length});
  }
  const std::string_view trimmed = platform::text::TrimmedBlanks(text);
  const std::size_t length = trimmed.size();
  text.erase(0, static_cast<std::size_t>(trimmed.data() - text.data()));
  text.resize(length);
  text.resize(std::min<std::size_t>(std::max<std::size_t>(length, def.Length), IsamMaxKeyLen), ' ');
  for (char& c : text) c = platform::text::UpperChar(c);
  return text;
}

int CompareRecords(const void* a, const void* b, int32_t length) {
  int c = std::memcmp(a, b, static_cast<size_t>(length));
  return c == 0 ? 0 : (c < 0 ? -1 : 1);
}

std::optional<bool> FileSetRepairState(const std::string& name) {
  const std::string part = IsamDataPart(name);
  const std::string data = IsamFileName(part, IsamDataExt);
  if (IsamFileExists(IsamFileName(part, IsamSaveExt))) return true;
  if (!IsamFileExists(data)) return false;
  if (!IsamFileExists(IsamFileName(IsamIndexPart(name), IsamIndexExt))) return true;
  return DataFileRepairMark(data);
}

bool FileSetLeftForRepair(const std::string& name) {
  return FileSetRepairState(name).value_or(false);
}

bool IsLockError() {
  return IsamErrorClass() == IsamErrorClassLock;
}

void RebuildProgress(int state, int keyNr, int32_t recordsRead, int32_t recordsWritten) {
  // Showing the counts and letting events through cost far more than reading a record: at every
  // fiftieth record the window is brought up to date, but not more often than a few times a
  // second (the first time at once).
  static QElapsedTimer sinceRepaint;
  TStatForm& form = EnsureStatForm();
  switch (state) {
    case 0:
      // Modal while the run lets events through, so nothing can reach the engine meanwhile.
      form.setWindowModality(Qt::ApplicationModal);
      form.Show();
      platform::ui::Application->ProcessMessages();
      sinceRepaint.invalidate();
      break;
    case 1:
      if (recordsRead % kProgressEvery != 0) break;
      if (sinceRepaint.isValid() && !sinceRepaint.hasExpired(kRepaintEveryMs)) break;
      form.Label1->setText(QStringLiteral("Key number: %1").arg(keyNr));
      form.Label2->setText(QStringLiteral("Records read: %1").arg(recordsRead));
      form.Label3->setText(QStringLiteral("Records written: %1").arg(recordsWritten));
      platform::ui::Application->ProcessMessages();
      sinceRepaint.start();
      break;
    default:
      form.Hide();
      form.setWindowModality(Qt::NonModal);
      break;
  }
}

void RebuildProgressShow(const std::string& /*name*/) {
  RebuildProgress(0, 0, 0, 0);
}

void RebuildProgressClose() {
  RebuildProgress(2, 0, 0, 0);
}

void RebuildProgressHook(uint16_t keyNr, int32_t recordsRead, int32_t recordsWritten) {
  // Painting must not pass for a cancelled run: the status is the run's, not the window's.
  IsamStatusKeeper keep;
  RebuildProgress(1, keyNr, recordsRead, recordsWritten);
}

void RebuildAndReindex(const std::string& name, const std::string& company, int32_t recordLength,
                       uint16_t keyCount, const IsamKeyDescArray& keyTable, const KeyBuilder& buildKey) {
  IsamProgressProc previousHook = IsamProgressHook;
  IsamProgressHook = ProgressAdapter;
  RebuildProgressShow(name);
  DropUnfinishedCopy(name, keyCount);
  IsamRebuildDataFile(name, recordLength, recordLength, false, 0, IsamCopyLiveRecord, nullptr, 0);
  bool messagesWritten = false;
  int32_t recordsDeleted = 0;
  if (IsamOK) {
    IsamBuildKey builder = [&buildKey](const void* record, uint16_t keyNr, IsamKeyStr& key) {
      key = buildKey(record, keyNr);
    };
    IsamReindexFile(name, keyCount, keyTable, false, builder, true, messagesWritten, nullptr, 0,
                    &recordsDeleted);
  }
  {
    IsamStatusKeeper keep;
    RebuildProgressClose();
  }
  IsamProgressHook = previousHook;
  ReportRebuildOutcome(name, company, messagesWritten, recordsDeleted);
}

namespace {

std::vector<DataFileUnit*>& Units() {
  static std::vector<DataFileUnit*> units;
  return units;
}

DataFileUnit* UnitOfFile(const std::string& dataFileName, const std::string& company) {
  const std::string wanted = platform::text::UpperCase(dataFileName);
  for (DataFileUnit* unit : Units()) {
    const std::string name = unit->FileNameOf(company);
    if (platform::text::UpperCase(IsamFileName(IsamDataPart(name), IsamDataExt)) == wanted) return unit;
  }
  return nullptr;
}

}  // namespace

bool CompanyFilesLeftForRepair(const std::string& company) {
  return std::any_of(Units().begin(), Units().end(),
                     [&](DataFileUnit* unit) { return FileSetLeftForRepair(unit->FileNameOf(company)); });
}

bool RebuildUnitFile(const std::string& dataFileName, const std::string& company) {
  DataFileUnit* unit = UnitOfFile(dataFileName, company);
  return unit != nullptr && unit->RebuildFileOf(company);
}

void ReopenUnitFile(const std::string& dataFileName, const std::string& company, bool reopen) {
  DataFileUnit* unit = UnitOfFile(dataFileName, company);
  if (unit == nullptr) return;
  unit->File() = nullptr;
  IsamStatusKeeper keep;
  // One that cannot be opened now stays closed: its next use opens it again and says why.
  if (reopen) (void)unit->OpenFile();
}

DataFileUnit::DataFileUnit(const DataFileKind& kind, IsamFileBlock& file) : kind_(kind), file_(file) {
  Units().push_back(this);
}

DataFileUnit::~DataFileUnit() {
  std::vector<DataFileUnit*>& units = Units();
  units.erase(std::remove(units.begin(), units.end(), this), units.end());
}

std::string DataFileUnit::FileNameOf(const std::string& company) const {
  if (!kind_.FixedName.empty()) return kind_.FixedName;
  return (company + kind_.FileCode).substr(0, kFileNameMax);
}

std::string DataFileUnit::FileName() const {
  return FileNameOf(CurrentCompanyNumber ? platform::text::TrimBlanks(CurrentCompanyNumber())
                                         : std::string());
}

IsamKeyStr DataFileUnit::BuildKey(const void* record, int keyNr) const {
  return kind_.BuildKey ? kind_.BuildKey(record, keyNr) : BuildTableKey(kind_, record, keyNr);
}

void DataFileUnit::KeyTable(IsamKeyDescArray& keys) const {
  for (size_t k = 0; k < kind_.Keys.size(); ++k) {
    keys[k].KeyLength = kind_.Keys[k].Length;
    keys[k].AllowDuplicates = kind_.Keys[k].AllowDuplicates ? 1 : 0;
  }
}

bool DataFileUnit::AskAbortOnLock() {
  LockRetry = IsLockError();
  if (!LockRetry) return false;
  IsamStatusKeeper keep;
  return AskYesNo(kLockAbortPrompt, kind_.Caption);
}

template <class Call>
bool DataFileUnit::WithLockRetry(Call call) {
  do {
    call();
    if (AskAbortOnLock()) return false;
  } while (LockRetry);
  return IsamOK;
}

bool DataFileUnit::AddRecRetry(IsamRecRef& ref, const void* record) {
  std::vector<uint8_t> copy = Copy(record);
  return WithLockRetry([&] { IsamAddRec(file_, ref, copy.data(), copy.size()); });
}

bool DataFileUnit::PutRecRetry(IsamRecRef ref, const void* record) {
  std::vector<uint8_t> copy = Copy(record);
  return WithLockRetry([&] { IsamPutRec(file_, ref, copy.data(), copy.size()); });
}

bool DataFileUnit::DeleteRecRetry(IsamRecRef ref) {
  return WithLockRetry([&] { IsamDeleteRec(file_, ref); });
}

bool DataFileUnit::AddKeyRetry(const IsamKeyStr& key, IsamRecRef ref, int keyNr) {
  return WithLockRetry([&] { IsamAddKey(file_, keyNr, ref, key); });
}

bool DataFileUnit::DeleteKeyRetry(const IsamKeyStr& key, IsamRecRef ref, int keyNr) {
  return WithLockRetry([&] { IsamDeleteKey(file_, keyNr, ref, key); });
}

bool DataFileUnit::ChangeKey(const IsamKeyStr& oldKey, const IsamKeyStr& newKey, IsamRecRef ref, int keyNr) {
  if (oldKey == newKey) return true;
  if (!AddKeyRetry(newKey, ref, keyNr)) return false;
  if (!DeleteKeyRetry(oldKey, ref, keyNr) && IsamError != IsamErrDeleteKeyNotFound) {
    // The old entry is still there: the new one goes again, so the record is not found under
    // a key it does not carry.
    IsamStatusKeeper keep;
    (void)DeleteKeyRetry(newKey, ref, keyNr);  // the first failure is the one reported
    return false;
  }
  IsamOK = true;
  IsamError = 0;
  return true;
}

std::vector<uint8_t> DataFileUnit::Copy(const void* record) const {
  const auto* bytes = static_cast<const uint8_t*>(record);
  return std::vector<uint8_t>(bytes, bytes + kind_.RecordLength);
}

bool DataFileUnit::TakeUpdateLock() {
  for (;;) {
    IsamLockFileBlock(file_);
    if (IsamOK) return true;
    IsamStatusKeeper keep;
    if (AskYesNo(kFilesInUsePrompt, kind_.Caption)) return false;
  }
}

void DataFileUnit::Unlock(bool keepStatus) {
  if (keepStatus) {
    IsamStatusKeeper keep;
    IsamUnlockFileBlock(file_);
  } else {
    IsamUnlockFileBlock(file_);
  }
}

bool DataFileUnit::ReadLiveRecord(IsamRecRef ref, std::vector<uint8_t>& record) {
  record.assign(static_cast<size_t>(kind_.RecordLength), 0);
  IsamGetRec(file_, ref, record.data(), record.size());
  if (!IsamOK) return false;
  // A deleted slot holds the free chain, not a record: nothing there to change.
  return IsamLoadInt32(record.data()) == 0 ? true : IsamFail(IsamErrDeleteRefRange);
}

bool DataFileUnit::CreateFile() {
  return CreateFileNamed(FileName());
}

bool DataFileUnit::CreateFileNamed(const std::string& name) {
  IsamKeyDescArray keys{};
  KeyTable(keys);
  IsamCreateFileBlock(name, kind_.RecordLength, static_cast<uint16_t>(kind_.Keys.size()), keys);
  return IsamOK;
}

bool DataFileUnit::UnfinishedRebuild() const {
  return IsamFileExists(IsamFileName(IsamDataPart(FileName()), IsamSaveExt));
}

bool DataFileUnit::OpenFile() {
  // A posting that did not end is undone before its files are read or repaired.
  if (CurrentCompanyNumber) UndoPostingJournal(platform::text::TrimBlanks(CurrentCompanyNumber()));
  for (;;) {
    // A .SAV means a rebuild stopped half-way: its records are the file's, so the rebuild is
    // finished before anything else, and a missing data file is never created empty over it.
    // While a posting waits to be undone, no repair is offered: it would move the records; nor
    // is a missing file made anew, which its undo would not know of.
    if (UnfinishedRebuild()) {
      if (RefuseMoveWhileWaiting("The file " + DataFileName(), "opened")) return false;
      if (!AskYesNo(kUnfinishedRebuildPrompt, kind_.Caption) || !RebuildFile()) return false;
      continue;
    }
    if (OpenAsItStands()) return true;
    if (IsamError == IsamErrIndexDefective) {
      if (RefuseMoveWhileWaiting("The file " + DataFileName(), "opened")) return false;
      if (!AskYesNo(kIndexDefectivePrompt, kind_.Caption)) return false;
      if (!RebuildFile()) return false;
    } else if (IsamError == IsamErrFileNotFound) {
      if (RefuseWriteWhileWaiting(DataFileName(), {}, "created")) return false;
      if (!kind_.NewFileNotice.isEmpty() &&
          MessageBox(kind_.NewFileNotice,
                     kind_.NewFileTitle.isEmpty() ? kNewCompanyTitle : kind_.NewFileTitle, MsgButtons::Ok,
                     MsgIcon::Information) != mrOk) {
        return false;
      }
      if (!CreateFile()) return TellNotCreated();
    } else {
      return false;
    }
  }
}

bool DataFileUnit::TellNotCreated() const {
  // Within a posting its failure says why, once.
  if (PostingUnderWay()) return false;
  IsamStatusKeeper keep;
  const int err = IsamLastFailureErrno();
  QString text =
      QStringLiteral("The file %1 could not be created").arg(QString::fromStdString(DataFileName()));
  text += err != 0 ? QStringLiteral(": %1.").arg(QString::fromLocal8Bit(std::strerror(err)))
                   : QStringLiteral(".");
  MessageBox(text, kind_.NewFileTitle.isEmpty() ? kNewCompanyTitle : kind_.NewFileTitle, MsgButtons::Ok,
             MsgIcon::Error);
  return false;
}

bool DataFileUnit::OpenAsItStands() {
  IsamOpenFileBlock(file_, FileName(), false, false, false, true);
  if (!IsamOK) return false;
  if (file_->NumberKeys == static_cast<int32_t>(kind_.Keys.size())) return true;
  // Keys missing from the header are an index still to be built.
  IsamCloseKeepingStatus(file_);
  return IsamFail(IsamErrIndexDefective);
}

bool DataFileUnit::OpenSoundFile() {
  if (!UnfinishedRebuild() && OpenAsItStands()) return true;
  IsamOK = true;
  IsamError = 0;
  return false;
}

bool DataFileUnit::OpenableNow() {
  if (file_ && IsamIsOpen(file_)) return true;
  if (UnfinishedRebuild()) return true;
  if (OpenAsItStands()) {
    IsamCloseFileBlock(file_);
    file_ = nullptr;
    return IsamOK;
  }
  return IsamError == IsamErrIndexDefective || IsamError == IsamErrFileNotFound;
}

bool DataFileUnit::RebuildFile() {
  return RebuildFileOf(CurrentCompanyNumber ? platform::text::TrimBlanks(CurrentCompanyNumber())
                                            : std::string());
}

bool DataFileUnit::RebuildFileOf(const std::string& company) {
  EnsureStatForm().SetCaption(kind_.Caption);
  IsamKeyDescArray keys{};
  KeyTable(keys);
  KeyBuilder builder = [this](const void* record, int keyNr) { return BuildKey(record, keyNr); };
  RebuildAndReindex(FileNameOf(company), company, kind_.RecordLength,
                    static_cast<uint16_t>(kind_.Keys.size()), keys, builder);
  return IsamOK;
}

std::string DataFileUnit::DataFileName() const {
  return IsamFileName(IsamDataPart(FileName()), IsamDataExt);
}

bool DataFileUnit::RefusedWhileAPostingWaits(const void* record, const char* verb) {
  if (!PostingJournalWaits()) return false;
  return RefuseWriteWhileWaiting(DataFileName(), kind_.Subject ? kind_.Subject(record) : std::string(), verb);
}

bool DataFileUnit::AddRecord(const void* record, IsamRecRef& ref) {
  if (RefusedWhileAPostingWaits(record, "added") || !TakeUpdateLock()) return false;
  std::vector<uint8_t> image = Copy(record);
  IsamRecRef added = 0;
  if (!AddRecRetry(added, image.data())) {
    Unlock(true);
    return false;
  }
  int keyCount = static_cast<int>(kind_.Keys.size());
  for (int k = 1; k <= keyCount; ++k) {
    if (AddKeyRetry(BuildKey(image.data(), k), added, k)) continue;
    // The first error is what the caller reports; the undo runs under it.
    IsamStatusKeeper keep;
    // Taken back as far as it goes; the first failure is the one reported.
    for (int j = 1; j < k; ++j) (void)DeleteKeyRetry(BuildKey(image.data(), j), added, j);
    (void)DeleteRecRetry(added);
    Unlock(false);
    return false;
  }
  ref = added;
  Unlock(false);
  return IsamOK;
}

bool DataFileUnit::SameKeys(const void* a, const void* b) const {
  for (int k = 1; k <= static_cast<int>(kind_.Keys.size()); ++k)
    if (BuildKey(a, k) != BuildKey(b, k)) return false;
  return true;
}

bool DataFileUnit::ReplaceRecord(const std::vector<uint8_t>& stored, const std::vector<uint8_t>& updated,
                                 IsamRecRef ref, bool keysKept) {
  assert(!keysKept || SameKeys(stored.data(), updated.data()));
  const int keyCount = keysKept ? 0 : static_cast<int>(kind_.Keys.size());
  auto changeBack = [&](int upTo) {
    IsamStatusKeeper keep;
    for (int j = 1; j <= upTo; ++j)
      (void)ChangeKey(BuildKey(updated.data(), j), BuildKey(stored.data(), j), ref,
                      j);  // the first failure is reported
  };
  for (int k = 1; k <= keyCount; ++k) {
    if (!ChangeKey(BuildKey(stored.data(), k), BuildKey(updated.data(), k), ref, k)) {
      changeBack(k - 1);
      return false;
    }
  }
  // updated is the caller's copy already: it goes to the engine as it is.
  if (!WithLockRetry([&] { IsamPutRec(file_, ref, updated.data(), updated.size()); })) {
    changeBack(keyCount);
    return false;
  }
  return true;
}

bool DataFileUnit::UpdateRecord(const void* record, IsamRecRef ref) {
  if (RefusedWhileAPostingWaits(record, "changed") || !TakeUpdateLock()) return false;
  std::vector<uint8_t> stored;
  bool done = ReadLiveRecord(ref, stored) && ReplaceRecord(stored, Copy(record), ref);
  Unlock(!done);
  return done && IsamOK;
}

bool DataFileUnit::UpdateRecord(const void* record, const void* beforeImage, IsamRecRef ref) {
  return UpdateIfStillAsRead(record, beforeImage, ref, false);
}

bool DataFileUnit::UpdateFieldsOnly(const void* record, const void* beforeImage, IsamRecRef ref) {
  return UpdateIfStillAsRead(record, beforeImage, ref, true);
}

bool DataFileUnit::UpdateIfStillAsRead(const void* record, const void* beforeImage, IsamRecRef ref,
                                       bool keysKept) {
  if (CompareRecords(record, beforeImage, kind_.RecordLength) == 0) return true;
  if (RefusedWhileAPostingWaits(record, "changed") || !TakeUpdateLock()) return false;
  std::vector<uint8_t> stored;
  if (!ReadLiveRecord(ref, stored)) {
    Unlock(true);
    return false;
  }
  if (CompareRecords(stored.data(), beforeImage, kind_.RecordLength) != 0) {
    Unlock(false);
    platform::ui::ShowMessage(kRecordChangedMessage);
    return false;
  }
  bool done = ReplaceRecord(stored, Copy(record), ref, keysKept);
  Unlock(!done);
  return done && IsamOK;
}

bool DataFileUnit::DeleteRecord(IsamRecRef ref) {
  if (!TakeUpdateLock()) return false;
  std::vector<uint8_t> stored;
  if (!ReadLiveRecord(ref, stored)) {
    Unlock(true);
    return false;
  }
  if (RefusedWhileAPostingWaits(stored.data(), "deleted")) {
    Unlock(true);
    return false;
  }
  // When the index or the record cannot be changed, the keys taken out go back and the record
  // stays whole: no entry is left pointing at a slot that a later add may reuse, and no live
  // record is left without its keys.
  std::vector<int> removed;
  auto putKeysBack = [&] {
    IsamStatusKeeper keep;
    for (int k : removed)
      (void)AddKeyRetry(BuildKey(stored.data(), k), ref, k);  // the first failure is reported
    Unlock(false);
    return false;
  };
  int keyCount = static_cast<int>(kind_.Keys.size());
  int32_t missingKeyError = 0;
  for (int k = 1; k <= keyCount; ++k) {
    if (DeleteKeyRetry(BuildKey(stored.data(), k), ref, k)) {
      removed.push_back(k);
    } else if (IsamError == IsamErrDeleteKeyNotFound) {
      if (missingKeyError == 0) missingKeyError = IsamError;  // nothing to take out: reported, not undone
    } else {
      return putKeysBack();
    }
  }
  if (!DeleteRecRetry(ref)) return putKeysBack();
  if (missingKeyError != 0) IsamFail(missingKeyError);
  Unlock(missingKeyError != 0);
  return missingKeyError == 0 && IsamOK;
}

bool DataFileUnit::SearchKey(IsamKeyStr& key, IsamRecRef& ref, int keyNr) {
  return WithLockRetry([&] { IsamSearchKey(file_, keyNr, ref, key); });
}

}  // namespace storage
