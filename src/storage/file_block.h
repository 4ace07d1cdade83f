#pragma once
// The descriptor of one open file set (data file and index file), shared by the record store
// and the B-tree. Callers outside the engine see it only as the IsamFileBlock handle.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/files/file.h"
#include "storage/file_map.h"
#include "storage/isam_types.h"
#include "storage/read_ahead.h"

namespace storage {

constexpr int IsamMaxCursorDepth = 8;

// One step of a cursor's path: a page and a position in it (0 = before entry 1).
struct IsamCursorElem {
  int32_t Page = 0;
  int32_t Pos = 0;
};

struct IsamPageBuffer;

// Slot numbers as one bit each: the slots of a file a posting journalled (a bulk run journals
// hundreds of thousands; a set of them took tens of bytes each).
class IsamSlotSet {
 public:
  // True when ref was not in the set yet; it is now.
  [[nodiscard]] bool Insert(int32_t ref) {
    const auto at = static_cast<uint32_t>(ref);
    if (at / 64 >= bits_.size()) bits_.resize(at / 64 + 1, 0);
    uint64_t& word = bits_[at / 64];
    const uint64_t bit = uint64_t{1} << (at % 64);
    if (word & bit) return false;
    word |= bit;
    return true;
  }
  void Erase(int32_t ref) {
    const auto at = static_cast<uint32_t>(ref);
    if (at / 64 < bits_.size()) bits_[at / 64] &= ~(uint64_t{1} << (at % 64));
  }
  void Clear() { std::vector<uint64_t>().swap(bits_); }

 private:
  std::vector<uint64_t> bits_;
};

// Per-key cursor: the path from the root to the current entry.
struct IsamKeyCursor {
  IsamCursorElem Path[IsamMaxCursorDepth];
  int Depth = 0;       // 0: empty (never positioned, or run off an end)
  bool Valid = false;  // false once the index changed since the cursor was set
  // The cache buffer that held the leaf at the end of the path when an entry was returned from
  // it: a hint that lets the next step stay in that leaf without looking the page up, taken only
  // while the buffer still holds that page.
  IsamPageBuffer* Leaf = nullptr;
};

// What the open file block keeps of each key: its index header (as on disk in row 0 of the
// index file), where its pages lie in each row, and its cursor.
struct IsamKeyState {
  int32_t FirstFree = -1;
  int32_t NumberFree = 0;
  int32_t NumberPages = 0;
  int32_t PageSize = 0;
  int32_t RootPage = 0;
  uint8_t AllowDuplicates = 0;
  int32_t NumberEntries = 0;
  uint16_t ItemsPerPage = IsamItemsPerPage;
  int KeyLength = 0;
  int64_t SectionOffset = 0;
  bool HeaderChanged = false;
  IsamKeyCursor Cursor;
  // Levels of the B-tree, learnt from the first leaf reached after open (0: not known yet); a
  // leaf found at another depth shows a damaged index.
  int Height = 0;
};

struct IsamFileBlockRec {
  uint32_t Signature = 0;
  std::string DataName;  // file names as the engine built them ("12C.DAT", "12C.IX")
  std::string IndexName;
  platform::files::File DataFile;
  platform::files::File IndexFile;
  // Read-only mappings of both, through which reads are served without a system call each.
  IsamFileMap DataMap;
  IsamFileMap IndexMap;

  // Data header, current in memory; written back at close.
  int32_t FirstFree = -1;
  int32_t NumberFree = 0;
  int32_t NumberRecords = 0;
  int32_t RecordLength = 0;
  int32_t NumberKeys = 0;
  bool HeaderChanged = false;
  bool DirtyFlagOnDisk = false;  // byte 20 has been set to 1 (and synced) since open
  bool DataWritten = false;      // records written since open or the last write-back, not yet synced
  // The close leaves byte 20 set: the set is being rebuilt, or damage was found that only a
  // rebuild mends, so the next open reports it as defective instead of opening it clean.
  bool KeepDefective = false;
  bool ReadOnly = false;
  // A slot whose record was last read or written whole with a live status (0: none), so that a
  // delete right after reading the record need not read its status back from the disk.
  int32_t KnownLiveSlot = 0;
  // Slots read ahead while records are read in order.
  IsamReadAhead ReadAhead;

  // Records written during a posting, kept back until the journal entries that undo them are on
  // disk (posting_journal.h): slot number -> the slot's whole image. Reads look here first.
  std::map<int32_t, std::string> PendingSlots;
  // Slots whose image before the posting is in the journal already.
  IsamSlotSet JournalledSlots;
  bool InPosting = false;  // the posting under way changed this file block

  // Index file geometry: every row holds one page of every key.
  std::vector<IsamKeyState> Keys;  // element k-1 is key k
  int64_t RowSize = 0;
  int32_t NumberRows = 0;
};

using IsamFileBlock = IsamFileBlockRec*;

// Offset of the index-dirty byte in the data header.
constexpr int64_t IsamIndexDirtyFlagOffset = 20;

// On the first change after open, writes byte 20 = 1 to the data file and syncs it to disk
// before anything else changes, so that a crash always leaves a file that reads as needing
// repair. Sets the status and returns false on failure.
[[nodiscard]] bool IsamMarkDirty(IsamFileBlockRec& fb);

// Writes bytes at a position of the data file, keeping the records read ahead in step. During a
// posting the bytes are kept back among the pending slots instead.
[[nodiscard]] bool IsamWriteData(IsamFileBlockRec& fb, int64_t pos, const void* bytes, size_t length);
// Reads the first length bytes of slot ref (1..NumberRecords): a pending slot from memory, else
// from the records read ahead or the file.
[[nodiscard]] bool IsamReadSlot(IsamFileBlockRec& fb, int32_t ref, void* out, size_t length);
// Writes the pending slots to the data file, in runs of adjacent slots, and forgets them.
[[nodiscard]] bool IsamWritePendingSlots(IsamFileBlockRec& fb);

// Reports damage that only a rebuild mends (a broken free chain): the status is set to code,
// false returned, and the file set stays marked defective when it is closed.
bool IsamFailDamaged(IsamFileBlockRec& fb, int32_t code);

}  // namespace storage
