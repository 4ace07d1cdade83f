#pragma once
// The journal file, open and mapped shared and writable. A store into the mapping is in the
// operating system's cache of the file at once, as a write would be, and survives a kill of the
// process the same way, without a system call per entry. The file grows in steps, sparse until
// written. It is not locked: one copy of the program runs per data folder (the single-instance
// lock), and that is what keeps two copies from one journal. Backups leave it out.

#include <cstddef>
#include <cstdint>
#include <string>

namespace storage {

class JournalMap {
 public:
  JournalMap() = default;
  ~JournalMap() { Close(); }
  JournalMap(const JournalMap&) = delete;
  JournalMap& operator=(const JournalMap&) = delete;

  // Creates (or empties) the file at path; false with errno set when it cannot.
  bool Create(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  // Makes the first size bytes of the file reachable; false with errno set when the file cannot
  // grow or be mapped.
  bool Reserve(size_t size);
  uint8_t* Bytes() { return base_; }
  void Close();

 private:
  void Unmap();

  int fd_ = -1;
  uint8_t* base_ = nullptr;
  size_t capacity_ = 0;
};

}  // namespace storage
