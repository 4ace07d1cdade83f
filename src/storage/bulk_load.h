#pragma once
// Building one key's B-tree at once, for the reindex: the entries of every live record are taken
// in, sorted, and written bottom-up as full pages, leaves first and the root last, instead of
// being inserted one by one through the page cache. The tree written keeps every rule of
// page_cache.h and btree.h: leaves at one depth, every page but the root holding 31 to 62
// entries, duplicates ordered by reference.
//
// The entries are held in memory while they are taken in (the key text and the reference of each
// record). After the pass over the records they are sorted; in a key without duplicates every
// entry whose key an entry of a lower reference holds too is refused, as inserting in record
// order would have refused it, and left out of the tree. When the memory cannot be had, the
// reindex inserts the keys one by one instead.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage {

// The rows of a new index held in memory while every key's tree is written into them, then
// written to the file in a few large writes instead of a page at a time. Only for an index whose
// rows beyond the header are all still zero.
class IsamIndexImage {
 public:
  // Makes room for rows 1..rows of fb's index; false (nothing held) when it cannot be had.
  [[nodiscard]] bool Reserve(const IsamFileBlockRec& fb, int64_t rows);
  // The place of page pageNr of the key that begins at sectionOffset of a row; nullptr when
  // nothing is held.
  uint8_t* Page(int32_t pageNr, int64_t sectionOffset);
  // Writes the rows that hold a page, and lets the memory go: pages after that are written to the
  // file one by one. Sets the status and returns false on a write error.
  [[nodiscard]] bool Flush(IsamFileBlockRec& fb);

 private:
  std::vector<uint8_t> rows_;  // rows 1.., RowSize bytes each
  int64_t rowSize_ = 0;
  int64_t used_ = 0;  // rows that hold a page
};

class IsamKeyLoader {
 public:
  struct Refusal {
    IsamRecRef Ref;
    IsamKeyStr Key;
  };

  // Makes room for up to capacity entries; false (nothing held) when the memory cannot be had.
  [[nodiscard]] bool Reserve(int32_t capacity);
  // Takes an entry in, in ascending order of reference (equal keys then sort by it without being
  // compared). The key must fit the key's length and the capacity must not be exceeded.
  void Take(std::string_view key, IsamRecRef ref);
  // Leaves out the entries of the given references (in ascending order): records deleted after
  // their entries were taken in. Before Sort only.
  void Drop(const std::vector<IsamRecRef>& refs);
  // Sorts the entries. For a key without duplicates, returns the entries refused because a lower
  // reference holds their key, in ascending order of reference.
  std::vector<Refusal> Sort(bool unique);
  // The index pages the entries taken in would fill at most.
  int64_t Pages() const;
  // Writes the sorted entries that were not refused as the tree of key keyNr of fb, which must be
  // empty, into image while it holds rows and to the file otherwise. Sets the status and returns
  // false on a write error.
  [[nodiscard]] bool Write(IsamFileBlockRec& fb, int32_t keyNr, IsamIndexImage& image);

 private:
  struct Entry {
    IsamRecRef Ref;
    uint8_t Length;
    bool Refused;
    char Key[IsamMaxKeyLen];
    std::string_view Text() const { return {Key, Length}; }
  };
  // An entry's place in the sort: its first sixteen key bytes as two big-endian numbers and its
  // length (17 for any longer key), by which keys of up to sixteen bytes are ordered in full.
  struct Order {
    uint64_t Prefix;
    uint64_t Next;
    uint32_t Index;
    uint8_t Length;
    // Byte d of the sort key, the least significant first: the length, then Next, then Prefix.
    uint8_t Digit(int d) const;
  };

  // The i-th entry in sorted order.
  Entry& At(size_t i);
  // Fills order_ with the entries' sorted order; false (order_ empty) without the memory for it.
  [[nodiscard]] bool SortOrder();
  // Asks the processor for the i-th entry in sorted order ahead of its use.
  void Prefetch(size_t i) const;

  std::vector<Entry> entries_;
  std::vector<Order> order_;  // empty: the entries are in order as they are
};

}  // namespace storage
