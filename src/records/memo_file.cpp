#include "records/memo_file.h"

namespace records {
namespace {
const std::vector<storage::KeyDefinition> kMemoKeys{{9, false, {{offsetof(MemoRec, Number), 9}}}};
}  // namespace

const storage::DataFileKind MemoKind =
    storage::PlainDataFileKind("M", "Memo Records", sizeof(MemoRec), kMemoKeys);
const storage::DataFileKind POMemoKind =
    storage::PlainDataFileKind("PM", "PO Memo Records", sizeof(POMemoRec), kMemoKeys);

storage::IsamFileBlock MemoFile = nullptr;
MemoRec MemoBuf{};
storage::IsamFileBlock POMemoFile = nullptr;
POMemoRec POMemoBuf{};

storage::DataFileUnit& MemoUnit() {
  static storage::DataFileUnit unit(MemoKind, MemoFile);
  return unit;
}

storage::DataFileUnit& POMemoUnit() {
  static storage::DataFileUnit unit(POMemoKind, POMemoFile);
  return unit;
}

}  // namespace records
