// Records of the data file: add, read, rewrite, delete, physical scans, scroll positions, and
// the chained variable-length records. The slot layout is described in data_header.h.
//
// Two refusals guard the free chain beyond what the record layout alone would need: a record is
// deleted only while it is live (a second delete of the same slot would link the chain into
// itself), and a record is rewritten only within 1..NumberRecords (a write past the end would
// leave zero-filled slots that read as live records).

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "storage/byte_order.h"
#include "storage/data_header.h"
#include "storage/file_io.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/posting_journal.h"

namespace storage {
namespace {

// Variable-length records: each slot of a chain ends with a 16-bit count of the data bytes it
// holds and the int32 reference of the next slot (0 in the last). The first slot's data starts
// at byte 0; a continuation slot has 1 in byte 0 (so scans skip it) and its data from byte 1.
constexpr int32_t VarCountFromEnd = 6;
constexpr int32_t VarNextFromEnd = 4;
constexpr uint8_t VarContinuationMark = 1;

std::vector<uint8_t>& VarWorkBuffer() {
  static std::vector<uint8_t> buffer;
  return buffer;
}

bool GrowVarWorkBuffer(size_t size) {
  try {
    if (VarWorkBuffer().size() < size) VarWorkBuffer().resize(size);
    return true;
  } catch (const std::bad_alloc&) {
    return IsamFail(IsamErrNoMemoryVarBuffer);
  }
}

int64_t SlotPos(const IsamFileBlockRec& fb, int64_t ref) {
  return ref * fb.RecordLength;
}

bool InRecordRange(const IsamFileBlockRec& fb, int64_t ref) {
  return ref >= 1 && ref <= fb.NumberRecords;
}

// Rewrites and deletes reach only the slots 1..NumberRecords.
bool RequireRecordRef(const IsamFileBlockRec& fb, int64_t ref) {
  return InRecordRange(fb, ref) ? true : IsamFail(IsamErrDeleteRefRange);
}

// A record buffer must hold a whole record; code is what a shortfall reports.
bool RequireWholeRecord(const IsamFileBlockRec& fb, size_t bufferSize, int32_t code) {
  return bufferSize >= static_cast<size_t>(fb.RecordLength) ? true : IsamFail(code);
}

// Reads the first length bytes of slot ref (1..NumberRecords), from the records read ahead when
// they hold it.
bool ReadSlot(IsamFileBlockRec& fb, IsamRecRef ref, void* out, size_t length) {
  return IsamReadSlot(fb, ref, out, length);
}

// The first int32 of a slot: 0 in a live record, the free-chain link in a deleted one.
bool ReadSlotStatus(IsamFileBlockRec& fb, int64_t ref, int32_t* status) {
  uint8_t raw[4];
  if (!ReadSlot(fb, static_cast<IsamRecRef>(ref), raw, sizeof raw)) return false;
  *status = IsamLoadInt32(raw);
  return true;
}

// Remembers whether a slot holds a live record after its whole contents were read or written.
void NoteSlotContents(IsamFileBlockRec& fb, int32_t ref, const void* record) {
  if (IsamLoadInt32(static_cast<const uint8_t*>(record)) == 0)
    fb.KnownLiveSlot = ref;
  else if (fb.KnownLiveSlot == ref)
    fb.KnownLiveSlot = 0;
}

// The live status of a slot about to be freed: from memory when the record was just read or
// written, from the disk otherwise.
bool SlotIsLive(IsamFileBlockRec& fb, int32_t ref, bool* live) {
  if (ref == fb.KnownLiveSlot) return *live = true;
  int32_t status = 0;
  if (!ReadSlotStatus(fb, ref, &status)) return false;
  *live = status == 0;
  return true;
}

bool WriteSlotStatus(IsamFileBlockRec& fb, int64_t ref, int32_t status) {
  uint8_t raw[4];
  IsamStoreInt32(raw, status);
  return IsamWriteData(fb, SlotPos(fb, ref), raw, sizeof raw);
}

// Takes the head of the free chain, or appends a slot when the chain is empty.
bool TakeSlot(IsamFileBlockRec& fb, IsamRecRef* ref, bool* appended) {
  if (fb.FirstFree == -1) {
    if (fb.NumberRecords >= IsamMaxRecords) return IsamFail(IsamErrShortWrite);  // the file is full
    fb.HeaderChanged = true;
    *appended = true;
    *ref = ++fb.NumberRecords;
    return true;
  }
  if (!InRecordRange(fb, fb.FirstFree) || fb.NumberFree < 1) return IsamFailDamaged(fb, IsamErrFreeChain);
  int32_t link = 0;
  if (!ReadSlotStatus(fb, fb.FirstFree, &link)) return false;
  if (link == 0 || link < -1 || link > fb.NumberRecords) return IsamFailDamaged(fb, IsamErrFreeChain);
  fb.HeaderChanged = true;
  *appended = false;
  *ref = fb.FirstFree;
  fb.FirstFree = link;
  --fb.NumberFree;
  return true;
}

// Undoes TakeSlot after the record could not be written. An appended slot may have left a part
// of the record at the end of the file: it is cut off again, so the file keeps the size its
// header promises (the write's error stays the result).
void GiveBackSlot(IsamFileBlockRec& fb, IsamRecRef ref, bool appended) {
  if (appended) {
    --fb.NumberRecords;
    fb.ReadAhead.Forget();
    fb.PendingSlots.erase(ref);
    // A posting's added slot never reached the file.
    if (IsamPostingHoldsWrites(fb)) return;
    fb.DataMap.Truncated(SlotPos(fb, int64_t{fb.NumberRecords} + 1));
    // A slot left past the count is never read: the header's count is what holds.
    (void)fb.DataFile.Truncate(SlotPos(fb, int64_t{fb.NumberRecords} + 1));
  } else {
    fb.FirstFree = ref;
    ++fb.NumberFree;
  }
}

// Puts a slot at the head of the free chain. The link written is never 0, which would make the
// slot read as live again, and the count never passes the number of records.
bool FreeSlot(IsamFileBlockRec& fb, IsamRecRef ref) {
  if (fb.FirstFree == 0 || fb.NumberFree >= fb.NumberRecords) return IsamFailDamaged(fb, IsamErrFreeChain);
  if (!IsamMarkDirty(fb)) return false;
  // Whatever the write leaves behind, the slot is no longer known to be live.
  if (fb.KnownLiveSlot == ref) fb.KnownLiveSlot = 0;
  if (!WriteSlotStatus(fb, ref, fb.FirstFree)) return false;
  fb.FirstFree = ref;
  ++fb.NumberFree;
  fb.HeaderChanged = true;
  return true;
}

// Finds the first live slot from start towards direction (0 tests start alone) and leaves it in
// *ref. An operating-system failure is 10390; other read failures end the scan as not found.
void ScanFrom(IsamFileBlockRec& fb, int64_t start, int32_t direction, IsamRecRef* ref) {
  int64_t last = fb.NumberRecords;
  int64_t step = direction > 0 ? 1 : -1;
  int64_t from = start;
  int64_t to = start;
  if (direction > 0) {
    from = std::max<int64_t>(start, 1);
    to = last;
  } else if (direction < 0) {
    from = std::min(start, last);
    to = 1;
  } else if (!InRecordRange(fb, start)) {
    from = 1, to = 0, step = 1;  // nothing to test
  }
  for (int64_t r = from; step > 0 ? r <= to : r >= to; r += step) {
    int32_t status = 0;
    if (!ReadSlotStatus(fb, r, &status)) {
      if (IsamError == IsamErrOsFailure) IsamError = IsamErrScanIo;
      if (IsamError == IsamErrScanIo || IsamError == IsamErrInvalidHandle) return;
      break;
    }
    if (status == 0) {
      IsamOK = true;
      IsamError = 0;
      *ref = static_cast<IsamRecRef>(r);
      return;
    }
  }
  IsamFail(IsamErrNoMoreRecords);
}

void ScanCall(IsamFileBlock fb, int64_t start, int32_t direction, IsamRecRef& ref) {
  IsamCallScope call(fb, IsamCallKind::Read);
  if (!call.entered()) return;
  ScanFrom(*fb, start, direction, &ref);
}

// The slots of a variable-length record from ref on, or 10205 when the chain is broken.
bool CollectVarChain(IsamFileBlockRec& fb, IsamRecRef ref, std::vector<IsamRecRef>* chain) {
  std::vector<uint8_t>& slot = VarWorkBuffer();
  for (IsamRecRef r = ref; r != 0;) {
    if (!InRecordRange(fb, r) || chain->size() >= static_cast<size_t>(fb.NumberRecords)) {
      return IsamFail(IsamErrVarChainRead);
    }
    if (!IsamReadSlot(fb, r, slot.data(), static_cast<size_t>(fb.RecordLength))) {
      return IsamFail(IsamErrVarChainRead);
    }
    bool isFirst = chain->empty();
    bool marked = isFirst ? IsamLoadInt32(slot.data()) == 0 : slot[0] == VarContinuationMark;
    if (!marked) return IsamFail(IsamErrVarChainRead);
    chain->push_back(r);
    r = IsamLoadInt32(slot.data() + fb.RecordLength - VarNextFromEnd);
  }
  return true;
}

// Bit length of a non-negative value (0 for 0).
int BitLength(int64_t v) {
  return static_cast<int>(std::bit_width(static_cast<uint64_t>(v)));
}

}  // namespace

void IsamAddRec(IsamFileBlock fb, IsamRecRef& ref, const void* buffer, size_t bufferSize) {
  IsamCallScope call(fb, IsamCallKind::Write);
  if (!call.entered()) return;
  if (!RequireWholeRecord(*fb, bufferSize, IsamErrShortWrite)) return;
  if (!IsamMarkDirty(*fb)) return;
  IsamRecRef slot = 0;
  bool appended = false;
  if (!TakeSlot(*fb, &slot, &appended)) return;
  if (!IsamJournalSlot(*fb, slot, true) ||
      !IsamWriteData(*fb, SlotPos(*fb, slot), buffer, fb->RecordLength)) {
    GiveBackSlot(*fb, slot, appended);
    return;
  }
  NoteSlotContents(*fb, slot, buffer);
  ref = slot;
}

void IsamGetRec(IsamFileBlock fb, IsamRecRef ref, void* buffer, size_t bufferSize, uint8_t) {
  IsamCallScope call(fb, IsamCallKind::Read);
  if (!call.entered()) return;
  // A buffer that cannot take the whole record, or a reference outside the file, cannot be
  // read whole: both are short reads.
  if (!RequireWholeRecord(*fb, bufferSize, IsamErrShortRead)) return;
  if (ref < 0 || ref > fb->NumberRecords) {
    IsamFail(IsamErrShortRead);
    return;
  }
  if (ref == 0) {
    (void)IsamReadAt(fb->DataFile, 0, buffer, fb->RecordLength);  // the outcome is in IsamOK
  } else if (ReadSlot(*fb, ref, buffer, fb->RecordLength)) {
    NoteSlotContents(*fb, ref, buffer);
  }
}

void IsamPrefetchRec(IsamFileBlock fb, IsamRecRef ref) {
  if (fb && ref > 0 && ref <= fb->NumberRecords)
    fb->DataMap.Prefetch(SlotPos(*fb, ref), static_cast<size_t>(fb->RecordLength));
}

void IsamPutRec(IsamFileBlock fb, IsamRecRef ref, const void* buffer, size_t bufferSize, uint8_t) {
  IsamCallScope call(fb, IsamCallKind::Write);
  if (!call.entered()) return;
  if (ref == 0) {
    IsamFail(IsamErrPutRefZero);
    return;
  }
  if (!RequireRecordRef(*fb, ref)) return;
  if (!RequireWholeRecord(*fb, bufferSize, IsamErrShortWrite)) return;
  // A failed write may have left the slot half written: its status is no longer known.
  if (!IsamJournalSlot(*fb, ref, false)) return;
  if (fb->KnownLiveSlot == ref) fb->KnownLiveSlot = 0;
  if (!IsamWriteData(*fb, SlotPos(*fb, ref), buffer, fb->RecordLength)) return;
  NoteSlotContents(*fb, ref, buffer);
}

void IsamDeleteRec(IsamFileBlock fb, IsamRecRef ref) {
  IsamCallScope call(fb, IsamCallKind::Write);
  if (!call.entered()) return;
  if (!RequireRecordRef(*fb, ref)) return;
  bool live = false;
  if (!SlotIsLive(*fb, ref, &live)) return;
  if (!live) {
    IsamFail(IsamErrDeleteRefRange);  // already deleted: the chain must not point to itself
    return;
  }
  if (IsamJournalSlot(*fb, ref, false)) FreeSlot(*fb, ref);
}

void IsamScanRec(IsamFileBlock fb, IsamRecRef& ref, int32_t direction) {
  ScanCall(fb, ref, direction, ref);
}

void IsamNextRec(IsamFileBlock fb, IsamRecRef& ref) {
  ScanCall(fb, int64_t{ref} + 1, 1, ref);
}

void IsamPrevRec(IsamFileBlock fb, IsamRecRef& ref) {
  ScanCall(fb, int64_t{ref} - 1, -1, ref);
}

void IsamRecToScrollPos(IsamFileBlock fb, uint16_t& pos, uint16_t scale, IsamRecRef ref) {
  IsamCallScope call(fb, IsamCallKind::Read);
  if (!call.entered()) return;
  if (scale == 0) {
    IsamFail(IsamErrRecScrollScale);
    return;
  }
  int64_t n = int64_t{fb->NumberRecords} + 1;
  int64_t r = std::clamp<int64_t>(ref, 0, n);
  int64_t buckets = int64_t{scale} + 1;
  // Keeps the product within 31 bits, as the positions have always been computed.
  int shift = BitLength(r) + BitLength(buckets) - 29;
  if (shift > 0) {
    r >>= shift;
    n >>= shift;
  }
  // A reference past the last record maps to the last position, not one beyond the scale.
  pos = static_cast<uint16_t>(std::min<int64_t>(buckets * r / n, scale));
}

void IsamScrollPosToRec(IsamFileBlock fb, uint16_t pos, uint16_t scale, IsamRecRef& ref) {
  IsamCallScope call(fb, IsamCallKind::Read);
  if (!call.entered()) return;
  if (scale == 0 || scale < pos) {
    IsamFail(IsamErrScrollScale);
    return;
  }
  int64_t n = int64_t{fb->NumberRecords} + 1;
  int64_t buckets = int64_t{scale} + 1;
  int64_t w = n / buckets;
  int64_t start = BitLength(n) + BitLength(pos) >= 30 ? pos * w : pos * n / buckets;
  ref = static_cast<IsamRecRef>(start + w - w / 2);
}

void IsamGetVariableRec(IsamFileBlock fb, IsamRecRef ref, void* buffer, uint16_t& length) {
  IsamCallScope call(fb, IsamCallKind::Read);
  if (!call.entered()) return;
  if (!GrowVarWorkBuffer(static_cast<size_t>(fb->RecordLength))) return;
  std::vector<IsamRecRef> chain;
  if (!CollectVarChain(*fb, ref, &chain)) return;
  const std::vector<uint8_t>& slot = VarWorkBuffer();
  auto* out = static_cast<uint8_t*>(buffer);
  size_t capacity = length;
  size_t copied = 0;
  for (size_t i = 0; i < chain.size() && copied < capacity; ++i) {
    if (!IsamReadSlot(*fb, chain[i], VarWorkBuffer().data(), static_cast<size_t>(fb->RecordLength))) {
      IsamFail(IsamErrVarChainRead);
      break;
    }
    size_t dataStart = i == 0 ? 0 : 1;
    size_t room = static_cast<size_t>(fb->RecordLength - VarCountFromEnd) - dataStart;
    size_t count = IsamLoadUInt16(slot.data() + fb->RecordLength - VarCountFromEnd);
    if (count > room) {
      IsamFail(IsamErrVarChainRead);
      break;
    }
    size_t n = std::min(capacity - copied, count);
    std::memcpy(out + copied, slot.data() + dataStart, n);
    copied += n;
  }
  length = static_cast<uint16_t>(copied);
}

void IsamDeleteVarRec(IsamFileBlock fb, IsamRecRef ref) {
  IsamCallScope call(fb, IsamCallKind::Write);
  if (!call.entered()) return;
  if (!RequireRecordRef(*fb, ref)) return;
  if (!GrowVarWorkBuffer(static_cast<size_t>(fb->RecordLength))) return;
  // The whole chain is checked before any slot is freed, so a broken chain loses nothing.
  std::vector<IsamRecRef> chain;
  if (!CollectVarChain(*fb, ref, &chain)) return;
  for (IsamRecRef r : chain) {
    if (!FreeSlot(*fb, r)) return;
  }
}

bool IsamSetVarRecBufferSize(uint16_t size) {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  if (!call.entered()) return false;
  return GrowVarWorkBuffer(size);
}

int32_t IsamDataLen(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
  return call.entered() ? fb->RecordLength : 0;
}

int32_t IsamUsedRecs(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
  return call.entered() ? fb->NumberRecords - fb->NumberFree : 0;
}

int32_t IsamFileLen(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
  return call.entered() ? fb->NumberRecords + 1 : 0;
}

int32_t* IsamRecordsFieldPtr(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
  return call.entered() ? &fb->NumberRecords : nullptr;
}

}  // namespace storage
