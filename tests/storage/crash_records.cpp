#include "crash_records.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace records;

namespace storage::testing {

void FillCrashRecord(PODetailRec& rec, int id, int version) {
  rec = PODetailRec{};
  std::string po = std::to_string((id * 7 + version) % 50);
  char date[16];
  std::snprintf(date, sizeof date, "2026/01/%02d", version % 28 + 1);
  rec.PONumber.Set(po);
  rec.Product.Set("P" + std::to_string(id));
  rec.RecordKind.Set(version % 4 == 3 ? "L" : "P");
  rec.DocumentKind.Set("O");
  rec.PODate.Set(date);
  rec.Received.Set(version % 2 ? "Y" : "N");
  rec.ReceivedDate.Set(version % 2 ? "2026/02/10" : " ");
  rec.ReceiverNumber.Set(version % 3 ? "R" + std::to_string(id % 100) : " ");
  rec.LineNumber.Set(LineNumberText(version % 99 + 1));
  rec.LineKey.Set(LineKeyText(po, version % 99 + 1));
  rec.LineText.Set(
      LineText(std::to_string(version), "crash line " + std::to_string(id), "1.00", "N", "1.00"));
}

bool ReadCrashRecord(const PODetailRec& rec, int* id, int* version) {
  std::string product = rec.Product.Get();
  if (product.size() < 2 || product[0] != 'P') return false;
  *id = std::stoi(product.substr(1));
  *version = std::stoi(rec.LineText.Get().substr(0, kLineQuantityWidth));
  PODetailRec expected;
  FillCrashRecord(expected, *id, *version);
  return std::memcmp(&expected, &rec, sizeof rec) == 0;
}

}  // namespace storage::testing
