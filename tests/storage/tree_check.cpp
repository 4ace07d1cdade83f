#include "tree_check.h"

#include "btree_walk.h"

namespace storage::testing {

std::vector<std::string> TreeFaults(IsamFileBlock fb, int keyNr) {
  std::vector<std::string> faults;
  for (const std::string& fault : WalkTree(*fb, keyNr).Faults) {
    faults.push_back("key " + std::to_string(keyNr) + ": " + fault);
  }
  return faults;
}

}  // namespace storage::testing
