#include "index_check.h"

#include <algorithm>

#include "index_entries.h"
#include "storage/byte_order.h"

namespace storage::testing {

std::vector<std::string> IndexMatchesRecords(IsamFileBlock fb, const DataFileUnit& unit) {
  std::vector<std::string> faults;
  int keyCount = static_cast<int>(unit.Kind().Keys.size());
  std::vector<std::vector<std::pair<IsamKeyStr, IsamRecRef>>> expected(static_cast<size_t>(keyCount));
  std::vector<uint8_t> record(static_cast<size_t>(IsamDataLen(fb)));
  for (IsamRecRef ref = 1; ref < IsamFileLen(fb); ++ref) {
    IsamGetRec(fb, ref, record.data(), record.size());
    if (!IsamOK)
      faults.push_back("record " + std::to_string(ref) + " unreadable: " + std::to_string(IsamError));
    if (!IsamOK || IsamLoadInt32(record.data()) != 0) continue;
    for (int k = 1; k <= keyCount; ++k) {
      expected[static_cast<size_t>(k - 1)].emplace_back(unit.BuildKey(record.data(), k), ref);
    }
  }
  for (int k = 1; k <= keyCount; ++k) {
    auto want = expected[static_cast<size_t>(k - 1)];
    auto have = IndexEntries(fb, k);
    std::sort(want.begin(), want.end());
    auto sortedHave = have;
    std::sort(sortedHave.begin(), sortedHave.end());
    if (want != sortedHave) {
      faults.push_back("key " + std::to_string(k) + ": " + std::to_string(have.size()) + " entries, " +
                       std::to_string(want.size()) + " expected or different");
    }
    if (!std::is_sorted(have.begin(), have.end(), [&](const auto& a, const auto& b) {
          return IsamCompareKeys(a.first, b.first) < 0;
        })) {
      faults.push_back("key " + std::to_string(k) + ": entries out of order");
    }
    if (static_cast<size_t>(IsamUsedKeys(fb, k)) != have.size()) {
      faults.push_back("key " + std::to_string(k) + ": entry count differs from the entries");
    }
  }
  return faults;
}

}  // namespace storage::testing
