#pragma once
// Records read ahead while a data file that cannot be mapped is read in order: a walk of a key
// whose records were added in its order (the list windows, reports and exports), or a scan in
// record order. When a read follows the one before it (the next or the previous slot), a whole
// run of slots is read with it, and the following reads are served from memory until the run is
// used up. Reads out of order read nothing ahead; a mapped file is read through its mapping.
//
// Every write to the data file passes the run, which takes the bytes it holds a copy of, so a
// read never returns what the file no longer holds.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/files/file.h"
#include "storage/file_map.h"

namespace storage {

class IsamReadAhead {
 public:
  static constexpr int32_t RunBytes = 16384;

  // Reads length bytes at offset within slot ref (1..numberRecords) of the data file. Sets the
  // status and returns false as a direct read would.
  [[nodiscard]] bool Read(platform::files::File& file, IsamFileMap& map, int32_t recordLength,
                          int32_t numberRecords, int32_t ref, size_t offset, void* out, size_t length);
  // A write of length bytes at byte position pos of the data file succeeded.
  void Wrote(int64_t pos, const void* bytes, size_t length, int32_t recordLength);
  // Drops the run (a write that failed may have left the file changed in part).
  void Forget() { count_ = 0; }

 private:
  // Reads the run around ref; false when it does not hold ref, with *failedErr set when the disk
  // refused the read.
  [[nodiscard]] bool Fill(platform::files::File& file, int32_t recordLength, int32_t numberRecords,
                          int32_t ref, bool forward, int* failedErr);
  [[nodiscard]] bool Holds(int32_t ref) const { return ref >= first_ && ref < first_ + count_; }
  [[nodiscard]] bool CopyFromRun(int32_t ref, size_t offset, void* out, size_t length,
                                 int32_t recordLength) const;

  std::vector<uint8_t> run_;
  int32_t first_ = 0;
  int32_t count_ = 0;
  int32_t last_ = 0;  // the slot read last (0: none)
};

}  // namespace storage
