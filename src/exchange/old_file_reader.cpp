#include "exchange/old_file_reader.h"

#include <algorithm>

#include "storage/byte_order.h"
#include "storage/data_header.h"

namespace exchange {

using storage::IsamLoadInt32;

bool OldDataFile::Fail(std::string problem) {
  problem_ = std::move(problem);
  file_.Close();
  return false;
}

bool OldDataFile::Open(const std::string& path) {
  if (!file_.Open(path, platform::files::OpenMode::ReadOnly))
    return Fail(file_.error() == ENOENT ? "not found" : "could not be opened");
  uint8_t header[storage::IsamDataHeaderSize];
  int64_t size = 0;
  if (!file_.Size(&size) || size < storage::IsamDataHeaderSize || !file_.ReadAt(0, header, sizeof header))
    return Fail("is not a data file");
  const int32_t numberRecords = IsamLoadInt32(header + 8);
  recordLength_ = IsamLoadInt32(header + 12);
  if (recordLength_ < storage::IsamMinRecordLength || recordLength_ > storage::IsamMaxRecordLength ||
      numberRecords < 0)
    return Fail("is not a data file");
  const int64_t wholeSlots = size / recordLength_ - 1;
  slots_ = static_cast<int32_t>(std::clamp<int64_t>(wholeSlots, 0, numberRecords));
  damaged_ = wholeSlots < numberRecords || size % recordLength_ != 0;
  std::vector<uint8_t> bytes;
  for (int32_t slot = 1; slot <= slots_; ++slot)
    if (ReadSlot(slot, bytes) && Live(bytes)) ++liveRecords_;
  next_ = 1;
  if (damaged_) problem_ = "is damaged";
  return true;
}

bool OldDataFile::ReadSlot(int32_t slot, std::vector<uint8_t>& bytes) {
  bytes.resize(static_cast<size_t>(recordLength_));
  if (file_.ReadAt(static_cast<int64_t>(slot) * recordLength_, bytes.data(), bytes.size())) return true;
  damaged_ = true;
  problem_ = "is damaged";
  return false;
}

bool OldDataFile::Live(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 4 && IsamLoadInt32(bytes.data()) == 0;
}

bool OldDataFile::Next(std::vector<uint8_t>& record) {
  while (file_.IsOpen() && next_ <= slots_) {
    if (!ReadSlot(next_++, record)) return false;
    if (Live(record)) return true;
  }
  return false;
}

}  // namespace exchange
