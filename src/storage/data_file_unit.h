#pragma once
// The data-file routines, written once over a description of each record kind kept in an indexed
// file: file name, key building, open (repairing or creating as needed), add, update and delete
// with their keys kept in step, lock retries, and the rebuild with its progress window.
//
// Every record kind describes itself in a DataFileKind (file code, caption, record length, key
// table) and gets a DataFileUnit over its file block. Plain record kinds (lines and memos) add
// their routines under their own names with KESTRAVA_PLAIN_DATA_UNIT; the manager windows use the
// unit's routines directly and add the before-image check of UpdateRecord.
//
// A record's keys and its slot change together: when one step of an add, update or delete fails,
// the steps already done are undone and the record is left as it was, so no index entry ever
// points to a record that does not carry its key.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "storage/isam.h"
#include "storage/isam_rebuild.h"

namespace storage {

// Where the data units learn the open company's number; the application installs it. Without it
// the file names are the file codes alone.
extern std::function<std::string()> CurrentCompanyNumber;

// One short text field (length byte and Capacity characters at Offset) that a key is built from.
struct KeyField {
  int Offset = 0;
  int Capacity = 0;
};

struct KeyDefinition {
  uint8_t Length = 0;
  bool AllowDuplicates = false;
  std::vector<KeyField> Fields;  // each trimmed, then joined in this order
};

using KeyBuilder = std::function<IsamKeyStr(const void* record, int keyNr)>;

struct DataFileKind {
  std::string FileCode;   // "D": the file is the company number followed by it
  std::string FixedName;  // a file shared by all companies ("ovcomp"); empty for per-company files
  QString Caption;        // the progress window's caption while the file is rebuilt
  int32_t RecordLength = 0;
  std::vector<KeyDefinition> Keys;
  // Shown before a missing file is created; empty: created without notice.
  QString NewFileNotice;
  // The notice's title; empty: "New Company".
  QString NewFileTitle;
  // Builds key k of a record; empty: BuildTableKey over Keys.
  KeyBuilder BuildKey;
  // How a message names one record to the user ("HAMMER", "Customer C1"); empty: by its file.
  std::function<std::string(const void* record)> Subject;
};

// The description of a plain record kind: per-company file, table keys, no notice.
DataFileKind PlainDataFileKind(std::string fileCode, QString caption, int32_t recordLength,
                               std::vector<KeyDefinition> keys);

// The texts of the prompts, as the user sees them.
inline const QString kLockAbortPrompt = QStringLiteral("Cannot get a lock.  Abort?");
inline const QString kFilesInUsePrompt = QStringLiteral("The files are in use.  Abort?");
inline const QString kIndexDefectivePrompt = QStringLiteral("Index file is defective.  Rebuild?");
inline const QString kUnfinishedRebuildPrompt =
    QStringLiteral("The last rebuild of this file did not finish.  Finish it now?");
inline const QString kRecordChangedMessage = QStringLiteral("The record has changed in the meantime.");
inline const QString kConfirmTitle = QStringLiteral("Confirm");
inline const QString kRebuildTitle = QStringLiteral("Rebuild");
inline const QString kNewCompanyTitle = QStringLiteral("New Company");

// The key text of a record by its table: the fields trimmed and joined, trimmed again, padded
// with blanks to the key length (a longer text is kept whole), upper-cased and cut to 30. A key
// number outside the table gives the empty key.
IsamKeyStr BuildTableKey(const DataFileKind& kind, const void* record, int keyNr);

// Byte-wise comparison of two record images: 0 equal, else -1 or 1 by the first differing byte.
int CompareRecords(const void* a, const void* b, int32_t length);

// The rebuild with its progress window: the data file is compacted, then every key rebuilt.
// A failure is shown with the file and its reason, and so are records that the reindex deleted for
// a duplicate key; the result is in IsamOK. A failure on the disk is left to the next start, which
// finishes it asking nothing (RepairLeftToNextStart).
void RebuildAndReindex(const std::string& name, const std::string& company, int32_t recordLength,
                       uint16_t keyCount, const IsamKeyDescArray& keyTable, const KeyBuilder& buildKey);

// While one is alive, each failure of a rebuild (RebuildAndReindex) is kept in it as it would be
// told, instead of being shown there and then: the caller tells them all in one message. A refusal
// while a posting waits is still shown at once.
class RebuildFailuresKept {
 public:
  RebuildFailuresKept();
  ~RebuildFailuresKept();
  RebuildFailuresKept(const RebuildFailuresKept&) = delete;
  RebuildFailuresKept& operator=(const RebuildFailuresKept&) = delete;
  const std::vector<QString>& Texts() const { return texts_; }
  void Keep(const QString& text) { texts_.push_back(text); }

 private:
  std::vector<QString> texts_;
  RebuildFailuresKept* outer_;
};

// The progress window during a rebuild: state 0 shows it, 1 reports a record, 2 closes it.
void RebuildProgress(int state, int keyNr, int32_t recordsRead, int32_t recordsWritten);
void RebuildProgressShow(const std::string& name);
void RebuildProgressClose();
void RebuildProgressHook(uint16_t keyNr, int32_t recordsRead, int32_t recordsWritten);

// Whether a file set ("12C") was left to be repaired: marked for it (byte 20 of its data header),
// without its index, or with a rebuild unfinished (its .SAV is there); and whether any file set of
// a company is. FileSetRepairState tells nothing when the data file's mark cannot be read now (no
// permission, an I/O error): that is no file left whole; FileSetLeftForRepair takes it for one.
[[nodiscard]] std::optional<bool> FileSetRepairState(const std::string& name);
[[nodiscard]] bool FileSetLeftForRepair(const std::string& name);
[[nodiscard]] bool CompanyFilesLeftForRepair(const std::string& company);

// The last engine error is of the lock class (2).
[[nodiscard]] bool IsLockError();

// The data unit whose file (of the given company) a data file name ("12C.DAT") is, rebuilt with
// its progress window; false when no unit owns the name or the rebuild failed (the user was
// told). A posting's undo rebuilds the files it touched with it.
[[nodiscard]] bool RebuildUnitFile(const std::string& dataFileName, const std::string& company);
// The unit's file handle after a posting's undo closed its file: opened again, or (when the undo
// itself failed and the start must finish it) left closed.
void ReopenUnitFile(const std::string& dataFileName, const std::string& company, bool reopen);

class DataFileUnit {
 public:
  // Every unit is known by its file, so that an undone posting can rebuild it.
  DataFileUnit(const DataFileKind& kind, IsamFileBlock& file);
  ~DataFileUnit();
  DataFileUnit(const DataFileUnit&) = delete;
  DataFileUnit& operator=(const DataFileUnit&) = delete;

  const DataFileKind& Kind() const { return kind_; }
  IsamFileBlock& File() { return file_; }

  // Company number (trimmed) and file code, cut to 8 characters; or the kind's fixed name.
  std::string FileName() const;
  IsamKeyStr BuildKey(const void* record, int keyNr) const;
  void KeyTable(IsamKeyDescArray& keys) const;

  // Sets LockRetry from the last error and, on a lock error, asks whether to give up.
  [[nodiscard]] bool AskAbortOnLock();
  [[nodiscard]] bool AddRecRetry(IsamRecRef& ref, const void* record);
  [[nodiscard]] bool PutRecRetry(IsamRecRef ref, const void* record);
  [[nodiscard]] bool DeleteRecRetry(IsamRecRef ref);
  [[nodiscard]] bool AddKeyRetry(const IsamKeyStr& key, IsamRecRef ref, int keyNr);
  [[nodiscard]] bool DeleteKeyRetry(const IsamKeyStr& key, IsamRecRef ref, int keyNr);
  [[nodiscard]] bool ChangeKey(const IsamKeyStr& oldKey, const IsamKeyStr& newKey, IsamRecRef ref, int keyNr);

  [[nodiscard]] bool CreateFile();
  // Creates an empty file set of this kind, with all its keys, under another base name (a
  // company other than the open one).
  [[nodiscard]] bool CreateFileNamed(const std::string& name);
  [[nodiscard]] bool OpenFile();
  // Opens the file when it opens sound as it stands, asking nothing; otherwise false with the
  // status cleared, and OpenFile, when it is used, asks what it must.
  [[nodiscard]] bool OpenSoundFile();
  // Whether OpenFile would open the file now, itself or after what it asks (a missing file made,
  // a defective index rebuilt, a stopped rebuild finished); false, with the status kept, when the
  // system or a posting that waits refuses it. A closed file is left closed; nothing is asked.
  [[nodiscard]] bool OpenableNow();
  [[nodiscard]] bool RebuildFile();
  [[nodiscard]] bool RebuildFileOf(const std::string& company);
  // Company number (trimmed) and file code, cut to 8 characters, for a given company.
  std::string FileNameOf(const std::string& company) const;
  [[nodiscard]] bool AddRecord(const void* record, IsamRecRef& ref);
  // Rewrites the record at ref with the new image, changing the keys whose text changed.
  [[nodiscard]] bool UpdateRecord(const void* record, IsamRecRef ref);
  // The same, refused with "The record has changed in the meantime." when the stored record no
  // longer matches the image the caller started from; an unchanged record is not written.
  [[nodiscard]] bool UpdateRecord(const void* record, const void* beforeImage, IsamRecRef ref);
  // The same for a change of fields that no key is built from (a stock figure, a balance): the
  // keys stay as they are and are not built again. Debug builds check that none would change.
  [[nodiscard]] bool UpdateFieldsOnly(const void* record, const void* beforeImage, IsamRecRef ref);
  // Deletes the live record at ref with the keys built from the record as stored.
  [[nodiscard]] bool DeleteRecord(IsamRecRef ref);
  [[nodiscard]] bool SearchKey(IsamKeyStr& key, IsamRecRef& ref, int keyNr);

  bool LockRetry = false;

 private:
  template <class Call>
  [[nodiscard]] bool WithLockRetry(Call call);
  [[nodiscard]] bool TakeUpdateLock();
  void Unlock(bool keepStatus);
  [[nodiscard]] bool ReadLiveRecord(IsamRecRef ref, std::vector<uint8_t>& record);
  [[nodiscard]] bool UpdateIfStillAsRead(const void* record, const void* beforeImage, IsamRecRef ref,
                                         bool keysKept);
  [[nodiscard]] bool ReplaceRecord(const std::vector<uint8_t>& stored, const std::vector<uint8_t>& updated,
                                   IsamRecRef ref, bool keysKept = false);
  [[nodiscard]] bool SameKeys(const void* a, const void* b) const;
  // The add, update or delete of a record refused while a posting waits that holds the file, with
  // the refusal's words for the record (verb: "added", "changed", "deleted").
  [[nodiscard]] bool RefusedWhileAPostingWaits(const void* record, const char* verb);
  std::string DataFileName() const;
  std::vector<uint8_t> Copy(const void* record) const;
  [[nodiscard]] bool UnfinishedRebuild() const;
  // One open as the files stand; a set without all its keys is refused as index defective.
  [[nodiscard]] bool OpenAsItStands();
  // A missing file that could not be made: the user is told which and why (a failed make leaves
  // none of the set's files). False, with the status kept.
  bool TellNotCreated() const;

  const DataFileKind& kind_;
  IsamFileBlock& file_;
};

// The routines of a plain data unit under its record kind's names: Open<K>File, Add<K>Record and
// the rest, each the template's routine over <K>File and <K>Buf. Use at namespace scope in the
// kind's header; the kind's source file defines <K>File, <K>Buf and <K>Unit().
#define KESTRAVA_PLAIN_DATA_UNIT(K, RecordType)                                               \
  extern storage::IsamFileBlock K##File;                                                      \
  extern RecordType K##Buf;                                                                   \
  storage::DataFileUnit& K##Unit();                                                           \
  inline bool Rebuild##K##File() {                                                            \
    return K##Unit().RebuildFile();                                                           \
  }                                                                                           \
  inline storage::IsamKeyStr Build##K##Key(const RecordType& record, int keyNr) {             \
    return K##Unit().BuildKey(&record, keyNr);                                                \
  }                                                                                           \
  inline bool Add##K##Record(storage::IsamRecRef& ref) {                                      \
    return K##Unit().AddRecord(&K##Buf, ref);                                                 \
  }                                                                                           \
  inline bool Update##K##Record(storage::IsamRecRef ref) {                                    \
    return K##Unit().UpdateRecord(&K##Buf, ref);                                              \
  }                                                                                           \
  inline bool Create##K##File() {                                                             \
    return K##Unit().CreateFile();                                                            \
  }                                                                                           \
  inline bool Delete##K##Record(storage::IsamRecRef ref) {                                    \
    return K##Unit().DeleteRecord(ref);                                                       \
  }                                                                                           \
  inline bool Open##K##File() {                                                               \
    return K##Unit().OpenFile();                                                              \
  }                                                                                           \
  inline bool Search##K##Key(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr) { \
    return K##Unit().SearchKey(key, ref, keyNr);                                              \
  }

}  // namespace storage
