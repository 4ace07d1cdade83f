#pragma once
// The index file's pages and the engine-wide page cache through which all of them are read and
// written.
//
// Index file <name>.IX: a sequence of rows of RowSize bytes, RowSize being the sum of the
// PageSize of all keys. Key k's section of every row starts at SectionOffset(k), so page p of
// key k lies at byte p * RowSize + SectionOffset(k). Row 0 holds the keys' 28-byte headers
// (index_header.cpp); pages are numbered from 1 per key. For key length L (1..30):
//
//   PageSize = 6 + ItemsPerPage * (L + 9)        (ItemsPerPage is 62)
//
// A page, little-endian:
//   0   uint16  EntryCount, 1..ItemsPerPage in a page of the tree
//   2   int32   LeftChild: page of the entries below entry 1; 0 in a leaf
//   6 + (i-1)*(L+9), entry i (1 <= i <= EntryCount), L + 9 bytes:
//       +0 int32  DataRef, the record reference
//       +4 int32  Child: page of the entries between entry i and i+1; 0 in a leaf
//       +8 byte   key length, then L key characters (those beyond the length not interpreted)
// A free page holds the int32 number of the next free page of its key (-1 at the end) in its
// first four bytes, and zeros in the rest. Pages freed by older versions of the engine kept
// their old contents behind the link; a chain that leads to such a page (or into the tree) is
// reported as damaged (10170) rather than followed.
//
// The cache keeps pages in their packed on-disk form (no unpacking on read, no packing on write)
// and writes only the used part of a page: 6 + EntryCount * (L + 9) bytes, or the whole of a
// free page. Changed pages reach the disk in batches, in file order, when buffers are needed for
// other pages, and at a flush; unchanged pages are evicted first.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "storage/byte_order.h"
#include "storage/file_block.h"

namespace storage {

constexpr int IsamPageHeaderSize = 6;
constexpr int IsamEntryOverhead = 9;  // DataRef, Child and the key's length byte
constexpr int IsamMaxEntrySize = IsamMaxKeyLen + IsamEntryOverhead;
constexpr int IsamMaxPageSize = IsamPageHeaderSize + IsamItemsPerPage * IsamMaxEntrySize;
constexpr int IsamMinPageBuffers = 8;
// The highest page number and entry count of a key: the counters never pass the int32 range.
constexpr int32_t IsamMaxPages = 0x7FFFFFFE;
constexpr int32_t IsamMaxEntries = 0x7FFFFFFF;

// Access to one page held in a cache buffer, in its packed layout (entries numbered from 1).
class IsamPageView {
 public:
  IsamPageView(uint8_t* data, int keyLength) : data_(data), entrySize_(keyLength + IsamEntryOverhead) {}

  int EntrySize() const { return entrySize_; }
  int Count() const { return IsamLoadUInt16(data_); }
  void SetCount(int n) { IsamStoreUInt16(data_, static_cast<uint16_t>(n)); }
  int32_t LeftChild() const { return IsamLoadInt32(data_ + 2); }
  void SetLeftChild(int32_t page) { IsamStoreInt32(data_ + 2, page); }
  [[nodiscard]] bool IsLeaf() const { return LeftChild() == 0; }

  uint8_t* Entry(int i) { return data_ + IsamPageHeaderSize + (i - 1) * entrySize_; }
  const uint8_t* Entry(int i) const { return data_ + IsamPageHeaderSize + (i - 1) * entrySize_; }
  int32_t Ref(int i) const { return IsamLoadInt32(Entry(i)); }
  int32_t Child(int i) const { return IsamLoadInt32(Entry(i) + 4); }
  void SetChild(int i, int32_t page) { IsamStoreInt32(Entry(i) + 4, page); }
  // The page below entry i's right side: LeftChild for i = 0.
  int32_t ChildAt(int i) const { return i == 0 ? LeftChild() : Child(i); }
  std::string_view Key(int i) const {
    const uint8_t* e = Entry(i);
    return {reinterpret_cast<const char*>(e + 9), e[8]};
  }
  int UsedBytes() const { return IsamPageHeaderSize + Count() * entrySize_; }

  // Opens a gap at position i (1..Count()+1) and copies the entry into it.
  void InsertAt(int i, const uint8_t* entry) {
    const int n = Count();
    std::memmove(Entry(i + 1), Entry(i), static_cast<size_t>(n - i + 1) * entrySize_);
    IsamCopyFew(Entry(i), entry, entrySize_);
    SetCount(n + 1);
  }
  void RemoveAt(int i) {
    const int n = Count();
    std::memmove(Entry(i), Entry(i + 1), static_cast<size_t>(n - i) * entrySize_);
    SetCount(n - 1);
  }

 private:
  uint8_t* data_;
  int entrySize_;
};

// One cache buffer: a page of some key of some open file block.
struct IsamPageBuffer {
  IsamFileBlockRec* Owner = nullptr;  // nullptr: the buffer is free
  int32_t KeyNr = 0;
  int32_t Page = 0;
  bool Changed = false;
  bool FreePage = false;  // holds a page on its key's free chain: its link and zeros
  bool Checked = false;   // its tree layout was validated since it was read
  int Pins = 0;           // pinned buffers are never evicted
  IsamPageBuffer* Newer = nullptr;
  IsamPageBuffer* Older = nullptr;
  alignas(8) uint8_t Data[IsamMaxPageSize];

  IsamPageView View() { return IsamPageView(Data, Owner->Keys[KeyNr - 1].KeyLength); }
};

// Allocates the cache; false (and nothing allocated) when fewer than 8 buffers could be had.
// The cache is engine-wide: it serves every open file block.
[[nodiscard]] bool IsamPageCacheInit(int32_t buffers);
void IsamPageCacheFree();
int32_t IsamPageCacheSize();
// Writes every changed page of the file block, in file order. With release its buffers are
// disowned as well (at close). On a write error the status is set and false returned; the pages
// not written stay changed.
[[nodiscard]] bool IsamPageCacheFlush(IsamFileBlockRec& fb, bool release);
// Drops the file block's buffers without writing them: at close, once its changed pages are
// written (a read-only file block has none), so that no buffer outlives its descriptor.
void IsamPageCacheDiscard(IsamFileBlockRec& fb);

// Returns the buffer of the page, reading it on a miss into a buffer taken from the least recently
// used eighth of the cache: an unchanged one if there is any, otherwise one of that eighth's changed
// pages once they are written back together. nullptr with the status set on an I/O error (pages
// not written stay changed).
IsamPageBuffer* IsamFetchPage(IsamFileBlockRec& fb, int32_t keyNr, int32_t page);
// Makes a buffer the most recently used, as a fetch of its page would.
void IsamTouchPage(IsamPageBuffer* buffer);
// Returns a buffer for a page whose old contents do not matter (a page just appended), without
// reading it; the buffer is zeroed and marked changed.
IsamPageBuffer* IsamClaimPage(IsamFileBlockRec& fb, int32_t keyNr, int32_t page);

// A pinned buffer, released at the end of the scope, so that fetching further pages while
// restructuring the tree never evicts a page still in use.
class IsamPinnedPage {
 public:
  IsamPinnedPage() = default;
  explicit IsamPinnedPage(IsamPageBuffer* buffer) : buffer_(buffer) {
    if (buffer_) ++buffer_->Pins;
  }
  ~IsamPinnedPage() { Reset(); }
  IsamPinnedPage(const IsamPinnedPage&) = delete;
  IsamPinnedPage& operator=(const IsamPinnedPage&) = delete;
  IsamPinnedPage(IsamPinnedPage&& other) noexcept : buffer_(other.buffer_) { other.buffer_ = nullptr; }
  IsamPinnedPage& operator=(IsamPinnedPage&& other) noexcept {
    if (this != &other) {
      Reset();
      buffer_ = other.buffer_;
      other.buffer_ = nullptr;
    }
    return *this;
  }

  explicit operator bool() const { return buffer_ != nullptr; }
  IsamPageBuffer* operator->() const { return buffer_; }
  IsamPageBuffer* get() const { return buffer_; }
  void Reset() {
    if (buffer_) --buffer_->Pins;
    buffer_ = nullptr;
  }

 private:
  IsamPageBuffer* buffer_ = nullptr;
};

}  // namespace storage
