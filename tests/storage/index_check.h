#pragma once
// Compares every index of an open file set with the keys its live records should have: each
// entry must point to a live record that carries that key, and each live record must have one
// entry per key. Returns what differs, one line each (empty when the two agree).

#include <string>
#include <vector>

#include "storage/data_file_unit.h"

namespace storage::testing {

std::vector<std::string> IndexMatchesRecords(IsamFileBlock fb, const DataFileUnit& unit);

}  // namespace storage::testing
