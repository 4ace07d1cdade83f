#pragma once
// Index keys of the record kinds. Every key builder turns a record field into key text the same
// way, so a key typed in Find or built by another subsystem matches the stored one.

#include <cstddef>
#include <string_view>

#include "storage/isam_types.h"

namespace records {

// The usual key of a text field: trimmed, padded with blanks to the key length, upper-cased,
// and cut to the key length.
storage::IsamKeyStr KeyOfText(std::string_view field, std::size_t keyLength);

// The key of a field kept exactly as stored (sortable dates): padded with blanks and cut, but
// neither trimmed nor upper-cased, so an empty date keys as blanks and sorts first.
storage::IsamKeyStr KeyOfStoredText(std::string_view field, std::size_t keyLength);

}  // namespace records
