#include "storage/file_block.h"

#include <algorithm>
#include <cstring>

#include "storage/file_io.h"
#include "storage/posting_journal.h"

namespace storage {
namespace {

// Keeps a write of a posting back in the pending slots it covers.
bool HoldWrite(IsamFileBlockRec& fb, int64_t pos, const uint8_t* bytes, size_t length) {
  const int64_t recordLength = fb.RecordLength;
  while (length > 0) {
    const auto ref = static_cast<int32_t>(pos / recordLength);
    const auto offset = static_cast<size_t>(pos % recordLength);
    const size_t piece = std::min(length, static_cast<size_t>(recordLength) - offset);
    auto slot = fb.PendingSlots.find(ref);
    if (slot == fb.PendingSlots.end()) {
      std::string image(static_cast<size_t>(recordLength), '\0');
      // A part of a slot is laid over what the slot holds.
      if (piece < image.size() && !IsamReadSlot(fb, ref, image.data(), image.size())) return false;
      slot = fb.PendingSlots.emplace(ref, std::move(image)).first;
      if (!fb.InPosting) IsamPostingTouched(fb);
    }
    std::memcpy(slot->second.data() + offset, bytes, piece);
    fb.ReadAhead.Wrote(pos, bytes, piece, fb.RecordLength);
    pos += static_cast<int64_t>(piece);
    bytes += piece;
    length -= piece;
  }
  return true;
}

}  // namespace

bool IsamMarkDirty(IsamFileBlockRec& fb) {
  if (fb.DirtyFlagOnDisk) return true;
  const uint8_t one = 1;
  if (!IsamWriteAt(fb.DataFile, IsamIndexDirtyFlagOffset, &one, 1)) return false;
  if (!IsamFlushFile(fb.DataFile)) {
    // The mark may reach the disk all the same, though nothing was changed under it: the close
    // writes the header back clean, so that the next open finds the set as it is.
    fb.HeaderChanged = true;
    return false;
  }
  fb.DirtyFlagOnDisk = true;
  return true;
}

bool IsamWriteData(IsamFileBlockRec& fb, int64_t pos, const void* bytes, size_t length) {
  // Even a failed write may have changed part of the slot.
  fb.DataWritten = true;
  if (IsamPostingHoldsWrites(fb)) return HoldWrite(fb, pos, static_cast<const uint8_t*>(bytes), length);
  if (!IsamWriteAt(fb.DataFile, pos, bytes, length)) {
    fb.ReadAhead.Forget();
    return false;
  }
  fb.ReadAhead.Wrote(pos, bytes, length, fb.RecordLength);
  return true;
}

bool IsamReadSlot(IsamFileBlockRec& fb, int32_t ref, void* out, size_t length) {
  if (!fb.PendingSlots.empty()) {
    auto slot = fb.PendingSlots.find(ref);
    if (slot != fb.PendingSlots.end()) {
      std::memcpy(out, slot->second.data(), length);
      return true;
    }
  }
  return fb.ReadAhead.Read(fb.DataFile, fb.DataMap, fb.RecordLength, fb.NumberRecords, ref, 0, out, length);
}

bool IsamWritePendingSlots(IsamFileBlockRec& fb) {
  constexpr size_t kWriteOutRunBytes = size_t{1} << 20;
  std::string run;
  int64_t runStart = -1;
  int32_t next = 0;
  auto writeRun = [&] {
    if (run.empty()) return true;
    bool written = IsamWriteAt(fb.DataFile, runStart, run.data(), run.size());
    run.clear();
    return written;
  };
  for (const auto& [ref, image] : fb.PendingSlots) {
    if (run.empty() || ref != next || run.size() >= kWriteOutRunBytes) {
      if (!writeRun()) return false;
      runStart = int64_t{ref} * fb.RecordLength;
    }
    run += image;
    next = ref + 1;
  }
  if (!writeRun()) return false;
  fb.PendingSlots.clear();
  return true;
}

bool IsamFailDamaged(IsamFileBlockRec& fb, int32_t code) {
  fb.KeepDefective = true;
  return IsamFail(code);
}

}  // namespace storage
