#pragma once
// The B-tree of one key of an open file set: search, stepping with the key's cursor, insert and
// delete with their balancing, and the mapping between keys and scroll positions. The page
// layout is described in page_cache.h.
//
// These routines do the work of the key operations of isam.h without the engine's guard: each
// one sets IsamOK and IsamError and returns IsamOK. keyNr must already be checked (1..NumberKeys).
// Keys longer than IsamMaxKeyLen are cut to it.

#include <cstdint>

#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage {

[[nodiscard]] bool BtreeAddKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key);
[[nodiscard]] bool BtreeDeleteKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key);
bool BtreeSearchKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key);
bool BtreeFindKeyAndRef(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key,
                        int32_t direction);
bool BtreeNextKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key);
bool BtreePrevKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key);
bool BtreeKeyToScrollPos(IsamFileBlockRec& fb, int32_t keyNr, uint16_t& pos, uint16_t scale,
                         const IsamKeyStr& key, IsamRecRef ref);
bool BtreeScrollPosToKey(IsamFileBlockRec& fb, int32_t keyNr, uint16_t pos, uint16_t scale, IsamKeyStr& key,
                         IsamRecRef& ref);

}  // namespace storage
