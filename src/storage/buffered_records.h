#pragma once
// The record reader and writer of rebuild and reindex. Both move whole runs of records of up to
// 32768 bytes at a time, so a rebuild reads and writes a file in large blocks instead of one
// small request per record.
//
// The reader serves a record from its run when the run holds it and otherwise refills the run
// starting at that record. The writer appends to a data file that held no records when it was
// set up: it collects records and writes them as one block at the end of the file, then moves
// the file block's NumberRecords on by the number written. Every few megabytes written it has the
// system start writing them to the disk, so that the sync at close does not wait for them all.
//
// Memory is never worth failing for: a run that cannot be had shrinks one record at a time, and
// a reader or writer that would keep fewer than two records (or less than 1024 bytes) is dropped
// and its records go to and from the file one by one.

#include <cstdint>
#include <vector>

#include "platform/files/file.h"
#include "storage/file_block.h"

namespace storage {

constexpr int32_t IsamBufferedRunBytes = 32768;

class IsamBufferedReader {
 public:
  IsamBufferedReader(platform::files::File& file, int32_t recordLength);

  // Reads record ref (slot ref x recordLength) into record. False with the status set; a record
  // beyond the end of the file is a short read (10070).
  [[nodiscard]] bool Read(IsamRecRef ref, uint8_t* record);
  // The buffered copy of ref (if any) reads as deleted from now on.
  void MarkDeleted(IsamRecRef ref);
  // Gives up part of the run so that other buffers can be had; false when nothing is left to give.
  [[nodiscard]] bool GiveWay();

 private:
  [[nodiscard]] bool Refill(IsamRecRef ref);

  platform::files::File& file_;
  int32_t recordLength_;
  std::vector<uint8_t> run_;
  int32_t capacity_ = 0;  // records the run can hold; 0: no run
  IsamRecRef first_ = 0;
  int32_t count_ = 0;
};

class IsamBufferedWriter {
 public:
  // fb must be an open file block whose data file holds no records yet.
  explicit IsamBufferedWriter(IsamFileBlock fb);

  [[nodiscard]] bool Append(const uint8_t* record);
  // Writes what is collected. Must be called before the file block is closed.
  [[nodiscard]] bool Flush();
  [[nodiscard]] bool GiveWay();

 private:
  IsamFileBlock fb_;
  int32_t recordLength_;
  std::vector<uint8_t> run_;
  int32_t capacity_ = 0;
  int32_t count_ = 0;
  int64_t writeBackFrom_ = -1;  // the first byte written whose write to the disk was not started
};

}  // namespace storage
