#include "storage/file_block.h"

#include "storage/file_io.h"

namespace storage {

bool IsamMarkDirty(IsamFileBlockRec& fb) {
  if (fb.DirtyFlagOnDisk) return true;
  const uint8_t one = 1;
  if (!IsamWriteAt(fb.DataFile, IsamIndexDirtyFlagOffset, &one, 1)) return false;
  if (!IsamFlushFile(fb.DataFile)) return false;
  fb.DirtyFlagOnDisk = true;
  return true;
}

bool IsamWriteData(IsamFileBlockRec& fb, int64_t pos, const void* bytes, size_t length) {
  // Even a failed write may have changed part of the slot.
  fb.DataWritten = true;
  if (!IsamWriteAt(fb.DataFile, pos, bytes, length)) {
    fb.ReadAhead.Forget();
    return false;
  }
  fb.ReadAhead.Wrote(pos, bytes, length, fb.RecordLength);
  return true;
}

bool IsamFailDamaged(IsamFileBlockRec& fb, int32_t code) {
  fb.KeepDefective = true;
  return IsamFail(code);
}

}  // namespace storage
