#include "storage/browser/navigator.h"

#include <algorithm>

namespace storage {

BrowserNavigator::Snapshot BrowserNavigator::Take() const {
  Snapshot snapshot{CurrentRow(), RowsInUse(), LastFilledRow(), {}};
  snapshot.entries.reserve(static_cast<size_t>(LastFilledRow()));
  for (int n = 1; n <= LastFilledRow(); ++n) {
    RowRec entry;
    entry.Key = Row(n).Key;
    entry.Ref = Row(n).Ref;
    snapshot.entries.push_back(std::move(entry));
  }
  return snapshot;
}

template <class Op>
int32_t BrowserNavigator::Move(Op op) {
  Snapshot before = Take();
  int32_t errorClass = UnderReadLock(op);
  Snapshot after = Take();
  pageChanged_ =
      before.currentRow != after.currentRow || before.rowsInUse != after.rowsInUse ||
      before.lastFilled != after.lastFilled ||
      !std::equal(before.entries.begin(), before.entries.end(), after.entries.begin(), after.entries.end(),
                  [](const RowRec& a, const RowRec& b) { return a.SameEntry(b); });
  return errorClass;
}

int32_t BrowserNavigator::GoToKey(int32_t keyNr, const IsamKeyStr& key, int rowsInUse, int currentRow,
                                  IsamRecRef ref) {
  SetKeyNumberField(keyNr);
  SetRowsInUseField(rowsInUse);
  return Move([&] {
    IsamKeyStr anchor = key.substr(0, IsamMaxKeyLen);
    IsamRecRef anchorRef = ref;
    ClampToBounds(anchor, anchorRef);
    return FillAround(anchor, anchorRef, currentRow);
  });
}

int32_t BrowserNavigator::First() {
  return Move([&] { return FillAround(RangeStart().Key, RangeStart().Ref, 1); });
}

int32_t BrowserNavigator::Last() {
  return Move([&] { return FillAround(RangeEnd().Key, RangeEnd().Ref, RowsInUse()); });
}

int32_t BrowserNavigator::Refresh() {
  return Move([&] {
    if (LastFilledRow() == 0) return FillAround(RangeStart().Key, RangeStart().Ref, 1);
    RowRec anchor = Row(CurrentRow());
    return FillAround(anchor.Key, anchor.Ref, CurrentRow());
  });
}

int32_t BrowserNavigator::SetRowsInUse(int rows) {
  int before = RowsInUse();
  SetRowsInUseField(rows);
  if (RowsInUse() == before) {
    pageChanged_ = false;
    return IsamErrorClassNone;
  }
  return Refresh();
}

int32_t BrowserNavigator::SetKeyNumber(int32_t keyNr) {
  SetKeyNumberField(keyNr);
  return Refresh();
}

void BrowserNavigator::SetCurrentRow(int row) {
  int before = CurrentRow();
  SetCurrentRowField(std::clamp(row, 1, std::max(LastFilledRow(), 1)));
  pageChanged_ = CurrentRow() != before;
}

int32_t BrowserNavigator::RowDown() {
  return Move([&] { return ShiftByOneRow(1); });
}

int32_t BrowserNavigator::RowUp() {
  return Move([&] { return ShiftByOneRow(-1); });
}

int32_t BrowserNavigator::PageDown() {
  return Move([&] { return TurnPage(1); });
}

int32_t BrowserNavigator::PageUp() {
  return Move([&] { return TurnPage(-1); });
}

int32_t BrowserNavigator::ShiftByOneRow(int direction) {
  int last = LastFilledRow();
  if (last == 0) return IsamErrorClassNone;
  if (direction > 0 && CurrentRow() < last) {
    SetCurrentRowField(CurrentRow() + 1);
    return IsamErrorClassNone;
  }
  if (direction < 0 && CurrentRow() > 1) {
    SetCurrentRowField(CurrentRow() - 1);
    return IsamErrorClassNone;
  }
  std::vector<RowRec> more;
  int32_t errorClass = Collect(direction > 0 ? Row(last) : Row(1), direction, 1, more);
  if (errorClass >= IsamErrorClassLock) return errorClass;
  if (more.empty()) {
    NoteEdgeReached(direction);
    return IsamErrorClassNone;
  }
  std::vector<RowRec> rows;
  for (int n = 1; n <= last; ++n) rows.push_back(Row(n));
  bool full = last >= RowsInUse();
  if (direction > 0) {
    rows.push_back(std::move(more.front()));
    if (full) rows.erase(rows.begin());
    if (full) NoteStart(false);
    SetPage(std::move(rows), static_cast<int>(rows.size()));
  } else {
    rows.insert(rows.begin(), std::move(more.front()));
    if (full) rows.pop_back();
    if (full) NoteEnd(false);
    SetPage(std::move(rows), 1);
  }
  return IsamErrorClassNone;
}

int32_t BrowserNavigator::TurnPage(int direction) {
  int last = LastFilledRow();
  if (last == 0) return IsamErrorClassNone;
  std::vector<RowRec> found;
  int32_t errorClass = Collect(direction > 0 ? Row(last) : Row(1), direction, RowsInUse(), found);
  if (errorClass >= IsamErrorClassLock) return errorClass;
  bool rangeEnded = errorClass == IsamErrorClassNotFound;
  if (found.empty()) {
    NoteEdgeReached(direction);
    return IsamErrorClassNone;
  }
  // Near the end of the range the new entries do not fill a page: rows of the old page stay
  // on it, so the page is still full.
  int keep = std::min(RowsInUse() - static_cast<int>(found.size()), last);
  std::vector<RowRec> rows;
  if (direction > 0) {
    for (int n = last - keep + 1; n <= last; ++n) rows.push_back(Row(n));
    rows.insert(rows.end(), found.begin(), found.end());
    NoteStart(AtStart() && keep == last);
    NoteEnd(rangeEnded);
  } else {
    rows.assign(found.rbegin(), found.rend());
    for (int n = 1; n <= keep; ++n) rows.push_back(Row(n));
    NoteEnd(AtEnd() && keep == last);
    NoteStart(rangeEnded);
  }
  SetPage(std::move(rows), CurrentRow());
  return IsamErrorClassNone;
}

IsamRecRef BrowserNavigator::CurrentRef() const {
  return LastFilledRow() == 0 ? 0 : Row(CurrentRow()).Ref;
}

IsamKeyStr BrowserNavigator::CurrentKey() const {
  return LastFilledRow() == 0 ? IsamKeyStr{} : Row(CurrentRow()).Key;
}

int32_t BrowserNavigator::ReadCurrentRecord() {
  if (LastFilledRow() == 0) return IsamErrorClassNotFound;
  return ReadRecord(CurrentRef());
}

int32_t BrowserNavigator::KeyToScrollPos(uint16_t& pos) {
  pos = 0;
  if (LastFilledRow() == 0 || (AtStart() && CurrentRow() == 1)) return IsamErrorClassNone;
  if (AtEnd() && CurrentRow() == LastFilledRow()) {
    pos = BrowserScrollScale;
    return IsamErrorClassNone;
  }
  if (EntryCount() <= 1) return IsamErrorClassNone;
  IsamKeyStr key = CurrentKey();
  IsamRecRef ref = CurrentRef();
  int32_t errorClass = UnderReadLock([&] {
    return Call([&] {
      if (PhysicalOrder()) {
        IsamRecToScrollPos(FileBlock(), pos, BrowserScrollScale, ref);
      } else {
        IsamKeyToScrollPos(FileBlock(), KeyNumber(), pos, BrowserScrollScale, key, ref);
      }
    });
  });
  pos = std::min(pos, BrowserScrollScale);
  return errorClass == IsamErrorClassNotFound ? IsamErrorClassNone : errorClass;
}

int32_t BrowserNavigator::ScrollPosToKey(uint16_t pos) {
  if (pos == 0) return First();
  if (pos >= BrowserScrollScale) return Last();
  IsamKeyStr key;
  IsamRecRef ref = 0;
  int32_t errorClass = UnderReadLock([&] {
    return Call([&] {
      if (PhysicalOrder()) {
        IsamScrollPosToRec(FileBlock(), pos, BrowserScrollScale, ref);
      } else {
        IsamScrollPosToKey(FileBlock(), KeyNumber(), pos, BrowserScrollScale, key, ref);
      }
    });
  });
  if (errorClass == IsamErrorClassNotFound) return First();
  if (errorClass != IsamErrorClassNone) return errorClass;
  return GoToKey(KeyNumber(), key, RowsInUse(), CurrentRow(), ref);
}

}  // namespace storage
