#pragma once
// Row 0 of the index file <name>.IX: at each key's SectionOffset, that key's 28-byte header
// (little-endian; the rest of row 0 is zero):
//   0  int32   FirstFree        first free page of the key, -1 when none
//   4  int32   NumberFree       free pages on the chain
//   8  int32   NumberPages      pages allocated to the key, free ones included
//  12  int32   PageSize         6 + 62 x (KeyLength + 9)
//  16  int32   RootPage         0 when the index is empty
//  20  byte    AllowDuplicates  1 when equal keys are allowed
//  21  byte    reserved
//  22  int32   NumberEntries
//  26  uint16  ItemsPerPage     62; a stored 0 reads as 62
// A row holds one page of every key, so RowSize is the sum of the keys' page sizes, and page p
// of key k lies at p x RowSize + SectionOffset(k).

#include <cstdint>

#include "platform/files/file.h"
#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage {

constexpr int IsamIndexHeaderSize = 28;

int32_t IsamPageSizeFor(int keyLength);

// Writes row 0 of a new, empty index for the first numberKeys descriptions.
[[nodiscard]] bool IsamWriteNewIndex(platform::files::File& file, int numberKeys,
                                     const IsamKeyDescArray& keys);

// Reads and checks every key's header from the open index file of fb and sets up fb.Keys,
// RowSize and NumberRows; every cursor starts empty.
[[nodiscard]] bool IsamLoadIndexHeaders(IsamFileBlockRec& fb);

// Writes back the headers of the keys whose header changed, and clears their flags.
[[nodiscard]] bool IsamWriteChangedIndexHeaders(IsamFileBlockRec& fb);

}  // namespace storage
