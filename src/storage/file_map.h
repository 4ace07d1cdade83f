#pragma once
// A read-only shared mapping of an open file of the engine. Index pages and records that are not
// in the engine's own buffers are copied from it instead of being read with a system call each;
// the engine's writes (which still go through the file layer, so that a full disk is an error and
// not a signal) are seen through the mapping at once, since both are the same page cache. The
// mapping holds no memory of its own beyond the operating system's cache of the file.
//
// Only bytes within the file's size are ever touched. The size is learnt again when a read reaches
// past it, and the engine reports its own truncations, so no access can meet the end of the file.

#include <cstddef>
#include <cstdint>

#include "platform/files/file.h"

namespace storage {

class IsamFileMap {
 public:
  IsamFileMap() = default;
  ~IsamFileMap() { Unmap(); }
  IsamFileMap(const IsamFileMap&) = delete;
  IsamFileMap& operator=(const IsamFileMap&) = delete;

  // Copies length bytes at pos of the file; false (nothing copied) when the mapping cannot reach
  // them, and the caller reads them from the file instead.
  [[nodiscard]] bool Read(const platform::files::File& file, int64_t pos, void* out, size_t length);
  // Asks the processor to bring length bytes at pos into its caches, where they are mapped
  // already (a hint only: nothing is read, and no access can fault).
  void Prefetch(int64_t pos, size_t length) const {
    if (!base_ || pos < 0 || pos + static_cast<int64_t>(length) > valid_) return;
    for (size_t at = 0; at < length; at += 64) __builtin_prefetch(base_ + pos + at);
  }
  // The file was cut to size.
  void Truncated(int64_t size);
  void Unmap();

 private:
  [[nodiscard]] bool Reach(const platform::files::File& file, int64_t end);

  const uint8_t* base_ = nullptr;
  size_t reserved_ = 0;  // bytes of address space mapped, possibly beyond the file's end
  int64_t valid_ = 0;    // bytes known to lie within the file
  int fd_ = -1;          // the handle the mapping was made through
};

}  // namespace storage
