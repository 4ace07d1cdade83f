#include "records/record_file.h"

namespace records {

std::vector<storage::IsamRecRef> RecordsWithKey(storage::IsamFileBlock file, int keyNr,
                                                const storage::IsamKeyStr& key) {
  std::vector<storage::IsamRecRef> refs;
  storage::IsamKeyStr found = key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, found);
  while (storage::IsamOK && found == key) {
    refs.push_back(ref);
    storage::IsamNextKey(file, keyNr, ref, found);
  }
  return refs;
}

}  // namespace records
