#pragma once
// What the text imports share while they append records without index keys: the record image
// and its fields, the keys that a new record must not repeat (those of the file's index and
// those given out earlier in the same run), and the counters that number records.
//
// A unique key repeated by an import would make the rebuild afterwards drop one of the records,
// so every key an import writes is checked here first, at the key's width and upper-cased as
// the index will hold it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "storage/data_file_unit.h"

namespace exchange {

// One text field of a record (a length byte and Capacity characters at Offset).
struct TextField {
  std::size_t Offset = 0;
  std::size_t Capacity = 0;

  std::string Get(const void* record) const;
  // The text is cut to the capacity.
  void Set(void* record, std::string_view text) const;
};

// The field of a record struct that `member` names.
template <class Record, class Field>
TextField FieldOf(Field Record::*member) {
  static const Record probe{};
  const auto* base = reinterpret_cast<const unsigned char*>(&probe);
  const auto* field = reinterpret_cast<const unsigned char*>(&(probe.*member));
  return {static_cast<std::size_t>(field - base), Field::Capacity()};
}

// The items of one grid row, in the grid's column order.
inline constexpr int ImportColumns = 16;
using ImportRow = std::vector<std::string>;

// A zeroed record image of the unit's record length.
using RecordImage = std::vector<uint8_t>;

// The keys of one index of an open file that an import may not give again.
class TakenKeys {
 public:
  TakenKeys(storage::DataFileUnit& unit, int keyNr) : unit_(unit), keyNr_(keyNr) {}

  // The key of `record` is on file or was given earlier in this run; throws records::FileUnusable
  // when the index cannot be searched.
  [[nodiscard]] bool Taken(const RecordImage& record);
  void Take(const RecordImage& record);

 private:
  storage::DataFileUnit& unit_;
  int keyNr_;
  std::set<storage::IsamKeyStr> givenInRun_;
};

// Sets `field` of `record` to the first text that makeText gives, for counter values from
// `counter` upwards, whose key is free; the counter ends past the value used.
template <class MakeText>
void TakeNextFree(RecordImage& record, const TextField& field, TakenKeys& keys, int64_t& counter,
                  MakeText makeText) {
  field.Set(record.data(), makeText(counter++));
  while (keys.Taken(record)) field.Set(record.data(), makeText(counter++));
  keys.Take(record);
}

// The value of the digits that a text begins with (after blanks): "1001B" counts as 1001. None
// when it begins with no digit; very long runs of digits count as a very large number.
std::optional<int64_t> LeadingNumber(std::string_view text);

// What an import did: the records it appended.
struct ImportResult {
  int Added = 0;
};

// Told every ProgressStep rows how many of all the rows are done, so a long import keeps its
// window alive and shows how far it is.
using ImportProgress = std::function<void(int done, int all)>;
inline constexpr int ProgressStep = 100;
void ReportProgress(const ImportProgress& progress, int done, int all);

// Runs an import as one posting named in the user's words ("the import of customers"): on file
// whole when it returns. Whatever stops it, before its first record is written or after, comes
// back as storage::PostingFailed, whose message says what failed and that nothing of the import
// was kept (or, should even the undo fail, that the next start undoes it).
ImportResult RunImportPosting(const std::string& what, const std::function<ImportResult()>& work);

// Appends a record to the unit's open data file without touching the indexes (the file set is
// rebuilt after the import). An import is one posting, whatever its size: a record that cannot be
// appended fails it whole, naming the file and the system's reason, and nothing of it is kept.
void AppendImported(storage::DataFileUnit& unit, const RecordImage& record, ImportResult& result);

}  // namespace exchange
