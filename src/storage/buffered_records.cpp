#include "storage/buffered_records.h"

#include <cstring>
#include <new>

#include "storage/byte_order.h"
#include "storage/data_header.h"
#include "storage/file_io.h"
#include "storage/isam.h"

namespace storage {
namespace {

constexpr int32_t MinRunRecords = 2;
constexpr int32_t MinRunBytes = 1024;
constexpr int64_t WriteBackBytes = 8 << 20;

// Sizes run for as many records as memory allows, from the full 32 KB down to two records;
// returns the capacity reached (0: no run).
int32_t AllocateRun(std::vector<uint8_t>& run, int32_t recordLength) {
  if (recordLength < 1) return 0;
  for (int32_t capacity = IsamBufferedRunBytes / recordLength; capacity >= MinRunRecords; --capacity) {
    try {
      run.resize(static_cast<size_t>(capacity) * recordLength);
      return capacity;
    } catch (const std::bad_alloc&) {
    }
  }
  return 0;
}

// Shrinks a run by 1023 div recordLength + 1 records, or drops it when too little would be
// left. False when there was no run to shrink.
bool ShrinkRun(std::vector<uint8_t>& run, int32_t& capacity, int32_t recordLength) {
  if (capacity == 0) return false;
  capacity -= 1023 / recordLength + 1;
  if (capacity < MinRunRecords || capacity * recordLength < MinRunBytes) capacity = 0;
  run.resize(static_cast<size_t>(capacity) * recordLength);
  run.shrink_to_fit();
  return true;
}

}  // namespace

IsamBufferedReader::IsamBufferedReader(platform::files::File& file, int32_t recordLength)
    : file_(file), recordLength_(recordLength), capacity_(AllocateRun(run_, recordLength)) {}

bool IsamBufferedReader::Refill(IsamRecRef ref) {
  count_ = 0;
  size_t got = 0;
  int64_t pos = int64_t{ref} * recordLength_;
  if (!file_.ReadAt(pos, run_.data(), static_cast<size_t>(capacity_) * recordLength_, &got) &&
      file_.error() != 0) {
    return IsamFail(IsamMapOsError(file_.error(), IsamFileOp::ReadWrite));
  }
  first_ = ref;
  count_ = static_cast<int32_t>(got / static_cast<size_t>(recordLength_));
  return count_ > 0 ? true : IsamFail(IsamErrShortRead);
}

bool IsamBufferedReader::Read(IsamRecRef ref, uint8_t* record) {
  if (capacity_ == 0) return IsamReadAt(file_, int64_t{ref} * recordLength_, record, recordLength_);
  if (ref < first_ || ref >= first_ + count_) {
    if (!Refill(ref)) return false;
  }
  std::memcpy(record, run_.data() + static_cast<size_t>(ref - first_) * recordLength_, recordLength_);
  return true;
}

void IsamBufferedReader::MarkDeleted(IsamRecRef ref) {
  if (ref < first_ || ref >= first_ + count_) return;
  IsamStoreInt32(run_.data() + static_cast<size_t>(ref - first_) * recordLength_, -1);
}

bool IsamBufferedReader::GiveWay() {
  count_ = 0;
  return ShrinkRun(run_, capacity_, recordLength_);
}

IsamBufferedWriter::IsamBufferedWriter(IsamFileBlock fb)
    : fb_(fb), recordLength_(fb->RecordLength), capacity_(AllocateRun(run_, fb->RecordLength)) {}

bool IsamBufferedWriter::Append(const uint8_t* record) {
  if (capacity_ == 0) {
    IsamRecRef ref = 0;
    IsamAddRec(fb_, ref, record, static_cast<size_t>(recordLength_));
    return IsamOK;
  }
  if (count_ == capacity_ && !Flush()) return false;
  std::memcpy(run_.data() + static_cast<size_t>(count_) * recordLength_, record, recordLength_);
  ++count_;
  return true;
}

bool IsamBufferedWriter::Flush() {
  if (count_ == 0) return true;
  if (!IsamMarkDirty(*fb_)) return false;
  int32_t* numberRecords = IsamRecordsFieldPtr(fb_);
  if (!numberRecords) return false;
  if (*numberRecords > IsamMaxRecords - count_) return IsamFail(IsamErrShortWrite);  // the file is full
  int64_t end = (int64_t{*numberRecords} + 1) * recordLength_;
  if (!IsamWriteData(*fb_, end, run_.data(), static_cast<size_t>(count_) * recordLength_)) {
    return false;
  }
  *numberRecords += count_;
  fb_->HeaderChanged = true;
  count_ = 0;
  const int64_t written = (int64_t{*numberRecords} + 1) * recordLength_;
  if (writeBackFrom_ < 0) writeBackFrom_ = end;
  if (written - writeBackFrom_ >= WriteBackBytes) {
    IsamStartWriteBack(fb_->DataFile, writeBackFrom_, written - writeBackFrom_);
    writeBackFrom_ = written;
  }
  return true;
}

bool IsamBufferedWriter::GiveWay() {
  // What is collected goes out first, so that nothing is lost when the run shrinks.
  if (!Flush()) return false;
  return ShrinkRun(run_, capacity_, recordLength_);
}

}  // namespace storage
