#pragma once
// What rebuild and reindex need of the file sets beyond the public operations: a set under
// repair is marked defective (byte 20 of its data header) from its first write until its last
// key is built, so that a crash at any moment leaves a set that every open reports as defective
// (10010) instead of one that opens clean with records or keys missing.

#include <cstdint>
#include <string>

#include "storage/file_block.h"

namespace storage {

// Writes a new data file without keys in place of the set's data file, marked defective from its
// first write. The set's index stays until a reindex replaces it: a rebuild that fails before puts
// the old data file back beside the index that fits it.
[[nodiscard]] bool IsamCreateUnfinishedDataFile(const std::string& name, int32_t recordLength);

// Opens a set under repair: a set byte 20 is accepted, and the close leaves it set.
[[nodiscard]] bool IsamOpenUnfinishedFileBlock(IsamFileBlock& fb, const std::string& name);

// Clears byte 20 of a closed data file once its set is whole again.
[[nodiscard]] bool IsamMarkFileSetClean(const std::string& dataName);

}  // namespace storage
