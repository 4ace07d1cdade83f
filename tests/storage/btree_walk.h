#pragma once
// Walks one key's B-tree through the page cache and reports every broken rule of its shape: page
// fill, order, leaf depth, entry count, and the accounting of tree and free pages.

#include <string>
#include <vector>

#include "storage/file_block.h"

namespace storage::testing {

struct TreeEntry {
  std::string Key;
  IsamRecRef Ref = 0;
  bool operator==(const TreeEntry&) const = default;
};

struct TreeReport {
  std::vector<TreeEntry> Entries;   // in index order
  std::vector<std::string> Faults;  // empty for a sound tree
  int Height = 0;                   // levels; 0 for an empty index
  int TreePages = 0;
};

TreeReport WalkTree(IsamFileBlockRec& fb, int keyNr);

}  // namespace storage::testing
