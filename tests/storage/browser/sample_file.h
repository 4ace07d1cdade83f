#pragma once
// A small indexed file for the browser's tests, made with the engine directly: a record of a
// name, a number and a city, key 1 the upper-cased name (duplicates allowed) and key 2 the
// number (unique). The engine is started for the object's life in a scratch folder.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text/short_string.h"
#include "storage/browser/row_rec.h"
#include "storage/isam.h"
#include "support/temp_dir.h"

namespace storage::testing {

#pragma pack(push, 1)
struct SampleRec {
  int32_t Status = 0;
  platform::text::ShortString<30> Name;
  platform::text::ShortString<8> Number;
  platform::text::ShortString<20> City;
};
#pragma pack(pop)

constexpr int32_t SampleNameKey = 1;
constexpr int32_t SampleNumberKey = 2;

// The sort order of an index, for the model: with duplicates by key and then reference,
// without them by key alone.
bool EntryBefore(const RowRec& a, const RowRec& b, bool byRefToo);

class SampleFile {
 public:
  explicit SampleFile(const std::string& name = "SAMPLE");
  ~SampleFile();
  SampleFile(const SampleFile&) = delete;
  SampleFile& operator=(const SampleFile&) = delete;

  IsamFileBlock& Block() { return fb_; }
  IsamRecRef Add(const std::string& name, const std::string& number, const std::string& city);
  void Delete(IsamRecRef ref);
  // Closes the file set early (the handle stays with whoever copied it).
  void Close();
  SampleRec Read(IsamRecRef ref);

  static IsamKeyStr NameKey(const SampleRec& rec);
  static IsamKeyStr NumberKey(const SampleRec& rec);
  // The entries of an index (0: the live records in reference order) in the index's order.
  std::vector<RowRec> Entries(int32_t keyNr);

 private:
  testing_support::TempDir dir_;
  IsamFileBlock fb_ = nullptr;
};

}  // namespace storage::testing
