#include "storage/read_ahead.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "storage/file_io.h"

namespace storage {

bool IsamReadAhead::Fill(platform::files::File& file, int32_t recordLength, int32_t numberRecords,
                         int32_t ref, bool forward, int* failedErr) {
  count_ = 0;
  const int32_t capacity = RunBytes / recordLength;
  if (capacity < 2) return false;
  const int32_t first = forward ? ref : std::max(1, ref - capacity + 1);
  const int32_t count = std::min(capacity, numberRecords - first + 1);
  try {
    run_.resize(static_cast<size_t>(capacity) * recordLength);
  } catch (const std::bad_alloc&) {
    return false;  // read without a run
  }
  const int64_t at = int64_t{first} * recordLength;
  size_t got = static_cast<size_t>(count) * recordLength;
  // Only a read the mapping could not serve comes here; the run holds its bytes, so the mapping
  // cannot serve the run either. A short run (the file's end) is no failure: got says how much of
  // it was read. A run the disk refused is the read's failure, not one to be tried again.
  if (!file.ReadAt(at, run_.data(), got, &got) && file.error() != 0) {
    *failedErr = file.error();
    return false;
  }
  first_ = first;
  count_ = static_cast<int32_t>(got / static_cast<size_t>(recordLength));
  return Holds(ref);
}

bool IsamReadAhead::Read(platform::files::File& file, IsamFileMap& map, int32_t recordLength,
                         int32_t numberRecords, int32_t ref, size_t offset, void* out, size_t length) {
  const bool inOrder = last_ != 0 && (ref == last_ + 1 || ref == last_ - 1);
  const bool forward = ref > last_;
  last_ = ref;
  if (Holds(ref)) return CopyFromRun(ref, offset, out, length, recordLength);
  // Where the file is mapped, a record is copied from the mapping at once: a run would copy a
  // whole run of slots first, most of them for nothing when the walk soon leaves the file order.
  const int64_t at = int64_t{ref} * recordLength + static_cast<int64_t>(offset);
  if (map.Read(file, at, out, length)) return true;
  int failedErr = 0;
  if (inOrder && Fill(file, recordLength, numberRecords, ref, forward, &failedErr))
    return CopyFromRun(ref, offset, out, length, recordLength);
  if (failedErr != 0) return IsamReadRefused(failedErr);
  return IsamReadAt(file, at, out, length);
}

bool IsamReadAhead::CopyFromRun(int32_t ref, size_t offset, void* out, size_t length,
                                int32_t recordLength) const {
  std::memcpy(out, run_.data() + static_cast<size_t>(ref - first_) * recordLength + offset, length);
  return true;
}

void IsamReadAhead::Wrote(int64_t pos, const void* bytes, size_t length, int32_t recordLength) {
  if (count_ == 0) return;
  const int64_t runStart = int64_t{first_} * recordLength;
  const int64_t from = std::max(pos, runStart);
  const int64_t to = std::min(pos + static_cast<int64_t>(length), runStart + int64_t{count_} * recordLength);
  if (from < to) {
    std::memcpy(run_.data() + (from - runStart), static_cast<const uint8_t*>(bytes) + (from - pos),
                static_cast<size_t>(to - from));
  }
}

}  // namespace storage
