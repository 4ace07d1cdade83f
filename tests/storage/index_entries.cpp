#include "index_entries.h"

namespace storage::testing {

std::vector<std::pair<IsamKeyStr, IsamRecRef>> IndexEntries(IsamFileBlock fb, int keyNr) {
  std::vector<std::pair<IsamKeyStr, IsamRecRef>> entries;
  IsamKeyStr key;
  IsamRecRef ref = 0;
  IsamSearchKey(fb, keyNr, ref, key);
  while (IsamOK) {
    entries.emplace_back(key, ref);
    IsamNextKey(fb, keyNr, ref, key);
  }
  return entries;
}

}  // namespace storage::testing
