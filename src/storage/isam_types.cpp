#include "storage/isam_types.h"

#include <cstring>

namespace storage {

bool IsamOK = true;
int32_t IsamError = 0;
IsamProgressProc IsamProgressHook = nullptr;

int32_t IsamErrorClassOf(int32_t code) {
  if (code == 0) return IsamErrorClassNone;
  if (code == 9903 || (code >= 10200 && code <= 10299) || code == 10410) return IsamErrorClassNotFound;
  switch (code) {
    case 9900:
    case 10065:
    case 10110:
    case 10306:
    case 10330:
    case 10332:
    case 10335:
    case 10355:
    case 10360:
    case 10390:
    case 10397:
    case 10399:
      return IsamErrorClassLock;
    default:
      break;
  }
  if (code >= 10001 && code <= 10009) return IsamErrorClassRollback;
  return IsamErrorClassFatal;
}

int IsamCompareKeys(const IsamKeyStr& a, const IsamKeyStr& b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  int c = std::memcmp(a.data(), b.data(), n);
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace storage
