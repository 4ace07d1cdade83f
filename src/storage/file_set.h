#pragma once
// What rebuild and reindex need of the file sets beyond the public operations: a set under
// repair is marked defective (byte 20 of its data header) from its first write until its last
// key is built, so that a crash at any moment leaves a set that every open reports as defective
// (10010) instead of one that opens clean with records or keys missing.

#include <cstdint>
#include <string>

#include "storage/file_block.h"

namespace storage {

// Deletes the files of the set and writes a new data file without keys, marked defective from
// its first write.
[[nodiscard]] bool IsamCreateUnfinishedDataFile(const std::string& name, int32_t recordLength);

// Opens a set under repair: a set byte 20 is accepted, and the close leaves it set.
[[nodiscard]] bool IsamOpenUnfinishedFileBlock(IsamFileBlock& fb, const std::string& name);

// Clears byte 20 of a closed data file once its set is whole again.
[[nodiscard]] bool IsamMarkFileSetClean(const std::string& dataName);

}  // namespace storage
