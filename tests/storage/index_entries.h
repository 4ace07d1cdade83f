#pragma once
// The entries of one key of an open file set in index order, as (key, reference), read with
// the engine's own search and step.

#include <utility>
#include <vector>

#include "storage/isam.h"

namespace storage::testing {

std::vector<std::pair<IsamKeyStr, IsamRecRef>> IndexEntries(IsamFileBlock fb, int keyNr);

}  // namespace storage::testing
