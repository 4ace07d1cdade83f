#pragma once
// How the reports read a data file: one pass over a range of a key, over a whole key, or over the
// records in file order, reading each record once into a record image cleared before use. A
// failing engine call ends the walk; what was read so far stands.

#include <functional>
#include <vector>

#include "reports/report_lines.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace reports {

// A company file for the length of one report: the unit's own file block when it is open
// already (it stays open), else the file opened read-only for the report and closed again.
class ReportFile {
 public:
  explicit ReportFile(storage::DataFileUnit& unit);
  ~ReportFile();
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  storage::IsamFileBlock Block() const { return unit_.File(); }

 private:
  storage::DataFileUnit& unit_;
  bool opened_ = false;
};

// Calls visit(record) for every entry of key keyNr from the first at or above `start` while
// goOn(key) holds. The entries are taken a batch at a time and their records fetched together
// before they are visited: a walk by key meets its records all over the data file, and reads
// asked for together wait for memory together instead of one by one.
template <class Record, class Visit>
void WalkKey(storage::IsamFileBlock file, int keyNr, const storage::IsamKeyStr& start,
             const std::function<bool(const storage::IsamKeyStr&)>& goOn, Visit visit) {
  if (!file) return;
  constexpr std::size_t Batch = 16;
  std::vector<storage::IsamRecRef> refs(Batch);
  std::vector<Record> records(Batch);
  storage::IsamKeyStr key = start;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, key);
  bool more = storage::IsamOK && goOn(key);
  while (more) {
    std::size_t count = 0;
    for (; more && count < Batch; ++count) {
      refs[count] = ref;
      storage::IsamNextKey(file, keyNr, ref, key);
      more = storage::IsamOK && goOn(key);
    }
    for (std::size_t k = 0; k < count; ++k) storage::IsamPrefetchRec(file, refs[k]);
    std::size_t read = 0;
    for (; read < count; ++read) {
      records[read] = Record{};
      storage::IsamGetRec(file, refs[read], &records[read], sizeof(Record));
      if (!storage::IsamOK) break;
    }
    for (std::size_t k = 0; k < read; ++k) visit(records[k]);
    if (read < count) return;
  }
}

// The entries of key keyNr whose keys lie from `from` to `to` (texts compared as text).
template <class Record, class Visit>
void WalkKeyRange(storage::IsamFileBlock file, int keyNr, const storage::IsamKeyStr& from,
                  const storage::IsamKeyStr& to, Visit visit) {
  WalkKey<Record>(
      file, keyNr, from, [&](const storage::IsamKeyStr& key) { return key >= from && key <= to; }, visit);
}

// Every live record in the order of the data file.
template <class Record, class Visit>
void WalkRecords(storage::IsamFileBlock file, Visit visit) {
  if (!file) return;
  storage::IsamRecRef ref = 0;
  for (;;) {
    storage::IsamNextRec(file, ref);
    if (!storage::IsamOK) return;
    Record record{};
    storage::IsamGetRec(file, ref, &record, sizeof record);
    if (!storage::IsamOK) return;
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
  WalkKeyRange<Record>(file.Block(), keyNr, unit.BuildKey(&start, keyNr), range.To,
                       [&](const Record& record) {
                         if (range.Holds((record.*date).View())) visit(record);
                       });
}

}  // namespace reports
