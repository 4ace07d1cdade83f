#pragma once
// How the reports read a data file: one pass over a range of a key, over a whole key, or over the
// records in file order, reading each record once into a record image cleared before use. A
// file that is not there holds nothing; an engine call that fails other than at the end of what
// is walked throws records::FileUnusable, and what was read so far is no answer.

#include <functional>
#include <vector>

#include "reports/report_lines.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace reports {

// A company file for the length of one report: the unit's own file block when it is open
// already (it stays open), else the file opened read-only for the report and closed again. A file
// that is not there (none made yet for this company) has no block; one that is there and cannot
// be opened throws records::FileUnusable.
class ReportFile;
// Throws records::FileUnusable for the report's file after a failing engine call.
[[noreturn]] void ThrowFileUnusable(const ReportFile& report);

class ReportFile {
 public:
  explicit ReportFile(storage::DataFileUnit& unit);
  ~ReportFile();
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  storage::IsamFileBlock Block() const { return unit_.File(); }
  // After an engine call on the file failed: the end of what is walked (a key not found, the end
  // of the index or of the records) is no failure; anything else throws records::FileUnusable.
  void EndOrThrow() const;
  const storage::DataFileUnit& Unit() const { return unit_; }

 private:
  storage::DataFileUnit& unit_;
  bool opened_ = false;
};

// Calls visit(record) for every entry of key keyNr from the first at or above `start` while
// goOn(key) holds. The entries are taken a batch at a time and their records fetched together
// before they are visited: a walk by key meets its records all over the data file, and reads
// asked for together wait for memory together instead of one by one.
template <class Record, class Visit>
void WalkKey(const ReportFile& report, int keyNr, const storage::IsamKeyStr& start,
             const std::function<bool(const storage::IsamKeyStr&)>& goOn, Visit visit) {
  const storage::IsamFileBlock file = report.Block();
  if (!file) return;
  constexpr std::size_t Batch = 16;
  std::vector<storage::IsamRecRef> refs(Batch);
  std::vector<Record> records(Batch);
  storage::IsamKeyStr key = start;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, key);
  if (!storage::IsamOK) report.EndOrThrow();
  bool more = storage::IsamOK && goOn(key);
  while (more) {
    std::size_t count = 0;
    for (; more && count < Batch; ++count) {
      refs[count] = ref;
      storage::IsamNextKey(file, keyNr, ref, key);
      if (!storage::IsamOK) report.EndOrThrow();
      more = storage::IsamOK && goOn(key);
    }
    for (std::size_t k = 0; k < count; ++k) storage::IsamPrefetchRec(file, refs[k]);
    for (std::size_t k = 0; k < count; ++k) {
      records[k] = Record{};
      storage::IsamGetRec(file, refs[k], &records[k], sizeof(Record));
      if (!storage::IsamOK) ThrowFileUnusable(report);
    }
    for (std::size_t k = 0; k < count; ++k) visit(records[k]);
  }
}

// Reads the record whose key keyNr is exactly `key`: false when the file holds none (or is not
// there), records::FileUnusable when it cannot be read.
template <class Record>
bool FindRecord(const ReportFile& report, int keyNr, const storage::IsamKeyStr& key, Record& record) {
  const storage::IsamFileBlock file = report.Block();
  if (!file) return false;
  storage::IsamKeyStr found = key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, found);
  if (!storage::IsamOK) {
    report.EndOrThrow();
    return false;
  }
  if (found != key) return false;
  record = Record{};
  storage::IsamGetRec(file, ref, &record, sizeof(Record));
  if (!storage::IsamOK) ThrowFileUnusable(report);
  return true;
}

// The entries of key keyNr whose keys lie from `from` to `to` (texts compared as text).
template <class Record, class Visit>
void WalkKeyRange(const ReportFile& file, int keyNr, const storage::IsamKeyStr& from,
                  const storage::IsamKeyStr& to, Visit visit) {
  WalkKey<Record>(
      file, keyNr, from, [&](const storage::IsamKeyStr& key) { return key >= from && key <= to; }, visit);
}

// Every live record in the order of the data file.
template <class Record, class Visit>
void WalkRecords(const ReportFile& report, Visit visit) {
  const storage::IsamFileBlock file = report.Block();
  if (!file) return;
  storage::IsamRecRef ref = 0;
  for (;;) {
    storage::IsamNextRec(file, ref);
    if (!storage::IsamOK) return report.EndOrThrow();
    Record record{};
    storage::IsamGetRec(file, ref, &record, sizeof record);
    if (!storage::IsamOK) ThrowFileUnusable(report);
    visit(record);
  }
}

// The records of the unit's file whose sortable date (the field `date`, indexed by key keyNr)
// lies in the range, in date order.
template <class Record, class Field, class Visit>
void WalkDateRange(storage::DataFileUnit& unit, int keyNr, Field Record::*date, const DateRange& range,
                   Visit visit) {
  ReportFile file(unit);
  Record start{};
  (start.*date).Set(range.From);
  WalkKeyRange<Record>(file, keyNr, unit.BuildKey(&start, keyNr), range.To, [&](const Record& record) {
    if (range.Holds((record.*date).View())) visit(record);
  });
}

}  // namespace reports
