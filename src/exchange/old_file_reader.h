#pragma once
// Reads the data file of an older program's indexed file set, record by record in the order of
// its slots, without its index. The older programs wrote the same data-file layout as ours
// (storage/data_header.h), and it is read by the same measures.
//
// The file is opened read-only and never written. A header that cannot describe the file (a
// record length outside 21..65535, a negative count) makes the file unreadable; a file shorter
// than its header says is damaged: the whole slots it holds are read, and Damaged() tells it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/file.h"

namespace exchange {

class OldDataFile {
 public:
  // Opens the file (its name found whatever its case); false when it is missing, cannot be
  // read or has no usable header, with Problem() telling which.
  [[nodiscard]] bool Open(const std::string& path);

  // The next live record, all RecordLength() bytes of it; false at the end of the file or at a
  // slot that cannot be read (which counts as damage).
  [[nodiscard]] bool Next(std::vector<uint8_t>& record);

  int32_t RecordLength() const { return recordLength_; }
  // Live records, counted when the file was opened.
  int32_t LiveRecords() const { return liveRecords_; }
  [[nodiscard]] bool Damaged() const { return damaged_; }
  const std::string& Problem() const { return problem_; }

 private:
  [[nodiscard]] bool Fail(std::string problem);
  [[nodiscard]] bool ReadSlot(int32_t slot, std::vector<uint8_t>& bytes);
  [[nodiscard]] static bool Live(const std::vector<uint8_t>& bytes);

  platform::files::File file_;
  int32_t recordLength_ = 0;
  int32_t slots_ = 0;  // the whole slots after the header that the file holds
  int32_t next_ = 1;
  int32_t liveRecords_ = 0;
  bool damaged_ = false;
  std::string problem_;
};

}  // namespace exchange
