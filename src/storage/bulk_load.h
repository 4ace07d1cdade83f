#pragma once
// Building one key's B-tree at once, for the reindex: the entries of every live record are taken
// in, sorted, and written bottom-up as full pages, leaves first and the root last, instead of
// being inserted one by one through the page cache. The tree written keeps every rule of
// page_cache.h and btree.h: leaves at one depth, every page but the root holding 31 to 62
// entries, duplicates ordered by reference.
//
// The entries are held in memory while they are taken in (the key text and the reference of each
// record, and for a key without duplicates a hash table that refuses a key already taken, so that
// the first record with a key keeps it, as inserting in record order would). When that memory
// cannot be had, the reindex inserts the keys one by one instead.

#include <cstdint>
#include <string_view>
#include <vector>

#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage {

class IsamKeyLoader {
 public:
  // Makes room for up to capacity entries; false (nothing held) when the memory cannot be had.
  bool Reserve(int32_t capacity, bool unique);
  // Takes an entry in; false when the key is refused because it was taken already (a key without
  // duplicates). The key must fit the key's length and the capacity must not be exceeded.
  bool Take(std::string_view key, IsamRecRef ref);
  // Sorts the entries and writes them as the tree of key keyNr of fb, which must be empty.
  // Sets the status and returns false on a write error.
  bool Write(IsamFileBlockRec& fb, int32_t keyNr);

 private:
  struct Entry {
    IsamRecRef Ref;
    uint8_t Length;
    char Key[IsamMaxKeyLen];
    std::string_view Text() const { return {Key, Length}; }
  };
  bool Seen(std::string_view key, uint32_t index);

  std::vector<Entry> entries_;
  std::vector<uint32_t> table_;  // unique keys: entry index + 1 by hash, 0 = empty slot
  bool unique_ = false;
};

}  // namespace storage
