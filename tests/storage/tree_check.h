#pragma once
// The shape of one key's B-tree, walked page by page: what breaks its rules, one line each.

#include <string>
#include <vector>

#include "storage/isam.h"

namespace storage::testing {

std::vector<std::string> TreeFaults(IsamFileBlock fb, int keyNr);

}  // namespace storage::testing
