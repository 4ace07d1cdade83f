#pragma once
// What rebuild and reindex share: the status kept across clean-up steps, and the record
// buffers that give way to the reader and writer when memory runs short.

#include <cstdint>
#include <new>
#include <vector>

#include "storage/file_io.h"
#include "storage/isam.h"

namespace storage {

// Keeps the status of a failure while clean-up calls run, and puts it back at the end of scope.
class IsamStatusKeeper {
 public:
  IsamStatusKeeper() : kept_(IsamCurrentStatus()) {}
  ~IsamStatusKeeper() { IsamRestoreStatus(kept_); }
  IsamStatusKeeper(const IsamStatusKeeper&) = delete;
  IsamStatusKeeper& operator=(const IsamStatusKeeper&) = delete;

 private:
  IsamStatus kept_;
};

// Closes a file block during clean-up without disturbing the status of the failure.
inline void IsamCloseKeepingStatus(IsamFileBlock& fb) {
  if (fb == nullptr) return;
  IsamStatusKeeper keep;
  IsamCloseFileBlock(fb);
}

// Sizes each buffer to its length; while memory cannot be had, giveWay is asked to free some
// (it returns false when it has nothing left). 10411 when the buffers cannot be had at all.
template <class GiveWay>
[[nodiscard]] bool IsamAllocateRecordBuffers(std::vector<std::vector<uint8_t>*> buffers, size_t length,
                                             GiveWay giveWay) {
  for (;;) {
    try {
      for (std::vector<uint8_t>* buffer : buffers) buffer->assign(length, 0);
      return true;
    } catch (const std::bad_alloc&) {
      if (!giveWay()) return IsamFail(IsamErrNoMemoryRebuild);
    }
  }
}

}  // namespace storage
