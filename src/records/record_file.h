#pragma once
// What the files of the record kinds (customers, products, invoices) share on top of the
// data-file routines: their description built from the record's key table and key builder,
// reading the one record that carries a given key, and the manager's record browser over the
// file.

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "records/system_reason.h"
#include "storage/browser/rec_browser.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace records {

// The description of a per-company file of Record, whose keys are made by buildKey; subject, when
// given, names one record to the user ("Customer C1").
template <class Record, std::size_t KeyCount>
storage::DataFileKind RecordFileKind(std::string fileCode, QString caption,
                                     const std::array<storage::IsamKeyDesc, KeyCount>& keys,
                                     QString newFileNotice,
                                     storage::IsamKeyStr (*buildKey)(const Record&, int),
                                     QString newFileTitle = {},
                                     std::string (*subject)(const Record&) = nullptr) {
  storage::DataFileKind kind;
  kind.FileCode = std::move(fileCode);
  kind.Caption = std::move(caption);
  kind.RecordLength = sizeof(Record);
  for (const storage::IsamKeyDesc& key : keys)
    kind.Keys.push_back({key.KeyLength, key.AllowDuplicates != 0, {}});
  kind.NewFileNotice = std::move(newFileNotice);
  kind.NewFileTitle = std::move(newFileTitle);
  kind.BuildKey = [buildKey](const void* record, int keyNr) {
    return buildKey(*static_cast<const Record*>(record), keyNr);
  };
  if (subject)
    kind.Subject = [subject](const void* record) { return subject(*static_cast<const Record*>(record)); };
  return kind;
}

// Reads the first record whose key keyNr is exactly `wanted` (the search itself stops at the
// first entry at or after it, which may be another record's). False when there is none.
template <class Record>
[[nodiscard]] bool ReadByKey(storage::DataFileUnit& unit, const storage::IsamKeyStr& wanted, int keyNr,
                             Record& record, storage::IsamRecRef& ref) {
  storage::IsamKeyStr key = wanted;
  storage::IsamRecRef found = 0;
  if (!unit.SearchKey(key, found, keyNr) || key != wanted) return false;
  storage::IsamGetRec(unit.File(), found, &record, sizeof record);
  if (!storage::IsamOK) return false;
  ref = found;
  return true;
}

// ReadByKey for a reader that must tell "not on file" from "could not be read" (a statement, a
// label run, a letter merge): false when no record carries the key; throws FileUnusable when the
// file could not be searched or the record read.
template <class Record>
[[nodiscard]] bool ReadIfOnFile(storage::DataFileUnit& unit, const storage::IsamKeyStr& wanted, int keyNr,
                                Record& record, storage::IsamRecRef& ref) {
  if (ReadByKey(unit, wanted, keyNr, record, ref)) return true;
  if (!storage::IsamOK && !IsEndOfWalk()) ThrowFileUnusable(unit);
  return false;
}

// Positions on the first entry of key keyNr that is exactly `key`; key and ref then name that
// entry. False when no entry carries it; throws FileUnusable when the file could not be searched.
[[nodiscard]] bool FindExactKey(storage::DataFileUnit& unit, storage::IsamKeyStr& key, storage::IsamRecRef& ref,
                                int keyNr);

// Gives a manager's browser its data source over the file: pages of up to 100 rows in key 1
// order over the whole key range, each row read into the manager's record; the browser starts
// at the first entry.
template <class Record>
void AttachRecordBrowser(storage::TRecBrowser& browser, storage::IsamFileBlock& file, Record& record) {
  browser.Attach(browser.BrowserDataSourceCreate(file, 1, 100, 1, "", "", &record, sizeof record, false));
  browser.BrowserGoToKey("", 0);
}

// Reads the record whose key keyNr is `wanted` and moves the browser to it in the browser's own
// key order. False, and the browser left where it was, when there is no such record; throws
// FileUnusable when the file could not be searched or the record read.
template <class Record>
[[nodiscard]] bool ShowRecordByKey(storage::TRecBrowser& browser, storage::DataFileUnit& unit,
                                   const storage::IsamKeyStr& wanted, int keyNr, Record& record,
                                   storage::IsamKeyStr (*buildKey)(const Record&, int)) {
  storage::IsamRecRef ref = 0;
  if (!ReadIfOnFile(unit, wanted, keyNr, record, ref)) return false;
  browser.BrowserGoToKey(buildKey(record, browser.BrowserKeyNumber()), ref);
  // Building the page read its rows into the same record; the one found is what the caller shows.
  storage::IsamGetRec(unit.File(), ref, &record, sizeof record);
  if (!storage::IsamOK) ThrowFileUnusable(unit);
  return true;
}

// The routines of an application record file under its record kind's names: Open<K>File,
// Add<K>Record and the rest, each the data-file routine over <K>File with the record handed in
// (Update<K>Record with the before-image taken when editing began). Use at namespace scope in
// the kind's header; the source file defines the file block, the kind and the unit with
// KESTRAVA_RECORD_FILE_DEFINITION.
#define KESTRAVA_RECORD_FILE(K, RecordType)                                                   \
  extern storage::IsamFileBlock K##File;                                                      \
  const storage::DataFileKind& K##FileKind();                                                 \
  storage::DataFileUnit& K##Unit();                                                           \
  inline bool Create##K##File() {                                                             \
    return K##Unit().CreateFile();                                                            \
  }                                                                                           \
  inline bool Open##K##File() {                                                               \
    return K##Unit().OpenFile();                                                              \
  }                                                                                           \
  inline bool Rebuild##K##File() {                                                            \
    return K##Unit().RebuildFile();                                                           \
  }                                                                                           \
  inline bool Add##K##Record(const RecordType& record, storage::IsamRecRef& ref) {            \
    return K##Unit().AddRecord(&record, ref);                                                 \
  }                                                                                           \
  inline bool Update##K##Record(const RecordType& record, const RecordType& beforeImage,      \
                                storage::IsamRecRef ref) {                                    \
    return K##Unit().UpdateRecord(&record, &beforeImage, ref);                                \
  }                                                                                           \
  inline bool Delete##K##Record(storage::IsamRecRef ref) {                                    \
    return K##Unit().DeleteRecord(ref);                                                       \
  }                                                                                           \
  inline bool Search##K##Key(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr) { \
    return K##Unit().SearchKey(key, ref, keyNr);                                              \
  }

// Defines what KESTRAVA_RECORD_FILE declares: the file block (closed at start), the kind built
// from the record's key table and key builder, and the unit over the two. A title of the new-file
// notice may follow the key builder.
#define KESTRAVA_RECORD_FILE_DEFINITION(K, RecordType, fileCode, caption, keyDescs, notice, buildKey, ...) \
  storage::IsamFileBlock K##File = nullptr;                                                                \
  const storage::DataFileKind& K##FileKind() {                                                             \
    static const storage::DataFileKind kind = records::RecordFileKind<RecordType>(                         \
        fileCode, caption, keyDescs, notice, buildKey __VA_OPT__(, ) __VA_ARGS__);                         \
    return kind;                                                                                           \
  }                                                                                                        \
  storage::DataFileUnit& K##Unit() {                                                                       \
    static storage::DataFileUnit unit(K##FileKind(), K##File);                                             \
    return unit;                                                                                           \
  }

// The references of the records whose key keyNr is exactly `key`, in key order. Collected
// before any of them is changed, so that a caller rewriting that key skips none and visits none
// twice. Ends only where the key ends; a key step that fails otherwise throws FileUnusable (a
// posting, a deletion or a printout that went on with part of them would pass for the whole).
std::vector<storage::IsamRecRef> RecordsWithKey(storage::IsamFileBlock file, int keyNr,
                                                const storage::IsamKeyStr& key);

// Reads the record at ref of an open file; throws FileUnusable when it cannot be read.
template <class Record>
void ReadRecordAt(storage::IsamFileBlock file, storage::IsamRecRef ref, Record& record) {
  storage::IsamGetRec(file, ref, &record, sizeof record);
  if (!storage::IsamOK) ThrowFileUnusable(file->DataName);
}

// A record as read from its file, with the reference it is filed under.
template <class Rec>
struct RecordOnFile {
  storage::IsamRecRef Ref = 0;
  Rec Record{};
};

// Every record whose key keyNr is exactly `key`, in key order, read whole before any of them is
// changed (as RecordsWithKey); throws FileUnusable when the file cannot be searched or one of
// them cannot be read.
template <class Record>
std::vector<RecordOnFile<Record>> ReadRecordsWithKey(storage::IsamFileBlock file, int keyNr,
                                                     const storage::IsamKeyStr& key) {
  std::vector<RecordOnFile<Record>> found;
  for (storage::IsamRecRef ref : RecordsWithKey(file, keyNr, key)) {
    RecordOnFile<Record>& record = found.emplace_back();
    record.Ref = ref;
    ReadRecordAt(file, ref, record.Record);
  }
  return found;
}

// Every record of an open file in the order of key keyNr, read one by one and handed to visit.
// Ends at the end of the key; a key step or a record that cannot be read throws FileUnusable (a
// list, a run or the aging built from part of the file would pass for the whole).
template <class Record, class Visit>
void ForEachRecordByKey(storage::IsamFileBlock file, int32_t keyNr, Visit visit) {
  Record record;
  storage::IsamKeyStr key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, key);
  while (storage::IsamOK) {
    ReadRecordAt(file, ref, record);
    visit(record);
    storage::IsamNextKey(file, keyNr, ref, key);
  }
  if (!IsEndOfWalk()) ThrowFileUnusable(file->DataName);
}

// Closes an open file set (nothing for one that is not open) and clears the variable. A close
// that cannot write back what the set changed leaves it marked for repair: its records are on
// file, and the user is told at once that the index is rebuilt the next time it is opened.
void CloseDataFile(storage::IsamFileBlock& file);

// A window closing its files is one event: while one of these lives, the files whose write-back
// failed are told together, in one message, when it ends.
class ClosingFiles {
 public:
  ClosingFiles();
  ~ClosingFiles();
  ClosingFiles(const ClosingFiles&) = delete;
  ClosingFiles& operator=(const ClosingFiles&) = delete;
};

// A file of the open company for one action, or for as long as a window works with it. Every
// open of a file set is exclusive, so the uses of one file share its open file block: the first
// opens it and the last closes it (with CloseDataFile). A manager holds the files its postings
// touch this way, and the windows and actions it starts find them open and leave them open. A
// file that was opened outside these uses is used and left to whoever opened it.
class FileForAction {
 public:
  FileForAction(storage::IsamFileBlock& file, const std::function<bool()>& open);
  ~FileForAction();
  FileForAction(const FileForAction&) = delete;
  FileForAction& operator=(const FileForAction&) = delete;
  [[nodiscard]] bool Open() const { return open_; }

 private:
  storage::IsamFileBlock& file_;
  bool counted_ = false;  // one of the uses that close the file when the last one ends
  bool open_ = false;
};

// Whether the file that a reading action (a statement, a list, an export) opened with FileForAction
// is there to be read: false when it is not there (none made yet, or the user chose not to make
// it), and it holds nothing; throws FileUnusable when it is there and could not be opened.
[[nodiscard]] bool ThereToRead(const FileForAction& file, const storage::DataFileUnit& unit);

// The files a window holds open for as long as it is open (a manager, the files its postings
// touch), each shared with the other uses of it as above. A file is held only when it opens
// sound as it stands, without asking anything: one that is missing or needs a repair is left to
// the action that uses it, which asks as it always did.
class HeldFiles {
 public:
  void Hold(storage::DataFileUnit& unit);
  void Release();  // one message for the files that fail to close

 private:
  std::vector<std::unique_ptr<FileForAction>> held_;
};

// The first record whose key keyNr is exactly `wanted`, read from a file of the open company that
// is opened around the read unless a window holds it; an empty record when there is none or the
// file is not there (none made yet). Throws FileUnusable when the file is there and cannot be
// opened, searched or read: a blank record would pass for one on file.
template <class Record>
Record ReadFromFileByKey(storage::IsamFileBlock& file, bool (*open)(), storage::DataFileUnit& unit,
                         const storage::IsamKeyStr& wanted, int keyNr) {
  FileForAction action(file, open);
  Record record{};
  storage::IsamRecRef ref = 0;
  if (!ThereToRead(action, unit) || !ReadIfOnFile(unit, wanted, keyNr, record, ref)) return Record{};
  return record;
}

// Every record of an open file in physical record order, read one by one and handed to visit
// (with its reference, when visit takes one). Ends at the end of the file; a step or a record
// that cannot be read throws FileUnusable.
template <class Record, class Visit>
void ForEachRecordInFileOrder(storage::IsamFileBlock file, Visit visit) {
  storage::IsamRecRef ref = 0;
  for (storage::IsamNextRec(file, ref); storage::IsamOK; storage::IsamNextRec(file, ref)) {
    Record record{};
    ReadRecordAt(file, ref, record);
    if constexpr (std::is_invocable_v<Visit&, const Record&, storage::IsamRecRef>)
      visit(record, ref);
    else
      visit(record);
  }
  if (!IsEndOfWalk()) ThrowFileUnusable(file->DataName);
}

}  // namespace records
