#include "storage/memo_file.h"

namespace storage {
namespace {
const std::vector<KeyDefinition> kMemoKeys{{9, false, {{offsetof(MemoRec, Number), 9}}}};
}  // namespace

const DataFileKind MemoKind = PlainDataFileKind("M", "Memo Records", sizeof(MemoRec), kMemoKeys);
const DataFileKind POMemoKind = PlainDataFileKind("PM", "PO Memo Records", sizeof(POMemoRec), kMemoKeys);

IsamFileBlock MemoFile = nullptr;
MemoRec MemoBuf{};
IsamFileBlock POMemoFile = nullptr;
POMemoRec POMemoBuf{};

DataFileUnit& MemoUnit() {
  static DataFileUnit unit(MemoKind, MemoFile);
  return unit;
}

DataFileUnit& POMemoUnit() {
  static DataFileUnit unit(POMemoKind, POMemoFile);
  return unit;
}

}  // namespace storage
