#include "storage/browser/page.h"

#include <algorithm>
#include <limits>

namespace storage {

namespace {

constexpr IsamRecRef HighestRef = std::numeric_limits<IsamRecRef>::max();
constexpr char HighestKeyChar = static_cast<char>(0xFF);

}  // namespace

BrowserPage::BrowserPage(IsamFileBlock& fileBlock, int elementsPerRow, int rowCapacity, int32_t keyNr,
                         const IsamKeyStr& lowerBound, const IsamKeyStr& upperBound, void* recordBuffer,
                         size_t recordSize, bool variableLength)
    : BrowserRecordAccess(fileBlock, keyNr, recordBuffer, recordSize, variableLength),
      elementsPerRow_(std::clamp(elementsPerRow, 1, BRLMaxRowElts)),
      rows_(static_cast<size_t>(std::max(rowCapacity, 1))),
      rowsInUse_(RowCapacity()),
      lowerBound_(lowerBound.substr(0, IsamMaxKeyLen)),
      upperBound_(upperBound.substr(0, IsamMaxKeyLen)) {}

void BrowserPage::SetRowsInUseField(int rows) {
  rowsInUse_ = std::clamp(rows, 1, RowCapacity());
}

bool BrowserPage::InBounds(const IsamKeyStr& key) const {
  if (!lowerBound_.empty() && IsamCompareKeys(key.substr(0, lowerBound_.size()), lowerBound_) < 0)
    return false;
  if (!upperBound_.empty() && IsamCompareKeys(key.substr(0, upperBound_.size()), upperBound_) > 0)
    return false;
  return true;
}

RowRec BrowserPage::RangeStart() const {
  RowRec start;
  if (!PhysicalOrder()) start.Key = lowerBound_;
  return start;
}

RowRec BrowserPage::RangeEnd() const {
  RowRec end;
  end.Ref = HighestRef;
  if (!PhysicalOrder()) {
    end.Key = upperBound_;
    end.Key.resize(IsamMaxKeyLen, HighestKeyChar);
  }
  return end;
}

void BrowserPage::ClampToBounds(IsamKeyStr& key, IsamRecRef& ref) const {
  if (PhysicalOrder()) return;
  if (!lowerBound_.empty() && IsamCompareKeys(key.substr(0, lowerBound_.size()), lowerBound_) < 0) {
    key = lowerBound_;
    ref = 0;
  } else if (!upperBound_.empty() && IsamCompareKeys(key.substr(0, upperBound_.size()), upperBound_) > 0) {
    RowRec end = RangeEnd();
    key = end.Key;
    ref = end.Ref;
  }
}

int32_t BrowserPage::CheckCandidate(RowRec& row, bool& useIt) {
  row.Built = false;
  useIt = false;
  if (!PhysicalOrder() && !InBounds(row.Key)) return IsamErrorClassNotFound;
  return FilterCandidate(row, useIt);
}

int32_t BrowserPage::GatherAccepted(int32_t firstStep, IsamKeyStr& key, IsamRecRef& ref, int direction,
                                    size_t wanted, std::vector<RowRec>& out) {
  for (int32_t errorClass = firstStep;; errorClass = StepOn(key, ref, direction)) {
    if (errorClass != IsamErrorClassNone) return errorClass;
    RowRec candidate;
    candidate.Key = key;
    candidate.Ref = ref;
    bool useIt = false;
    errorClass = CheckCandidate(candidate, useIt);
    if (errorClass != IsamErrorClassNone) return errorClass;
    if (useIt) {
      out.push_back(std::move(candidate));
      if (out.size() >= wanted) return IsamErrorClassNone;
    }
  }
}

int32_t BrowserPage::FirstAccepted(IsamKeyStr key, IsamRecRef ref, RowRec& found) {
  std::vector<RowRec> accepted;
  int32_t firstStep = SeekAtOrAfter(key, ref);
  int32_t errorClass = GatherAccepted(firstStep, key, ref, 1, 1, accepted);
  if (errorClass == IsamErrorClassNone) found = std::move(accepted.front());
  return errorClass;
}

int32_t BrowserPage::Collect(const RowRec& from, int direction, int count, std::vector<RowRec>& out) {
  if (count <= 0) return IsamErrorClassNone;
  IsamKeyStr key = from.Key;
  IsamRecRef ref = from.Ref;
  int32_t firstStep = StepFrom(key, ref, direction);
  return GatherAccepted(firstStep, key, ref, direction, out.size() + static_cast<size_t>(count), out);
}

void BrowserPage::SetPage(std::vector<RowRec> rows, int current) {
  std::fill(rows_.begin(), rows_.end(), RowRec{});
  size_t filled = std::min(rows.size(), rows_.size());
  std::move(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(filled), rows_.begin());
  lastFilled_ = static_cast<int>(filled);
  currentRow_ = std::clamp(current, 1, std::max(lastFilled_, 1));
}

int32_t BrowserPage::FillAround(const IsamKeyStr& key, IsamRecRef ref, int targetRow) {
  targetRow = std::clamp(targetRow, 1, rowsInUse_);
  RowRec entry;
  bool endReached = false;
  int32_t errorClass = FirstAccepted(key, ref, entry);
  if (errorClass == IsamErrorClassNotFound) {
    // Nothing follows the anchor: the page ends with the last entry before it.
    RowRec anchor;
    anchor.Key = key;
    anchor.Ref = ref;
    std::vector<RowRec> before;
    errorClass = Collect(anchor, -1, 1, before);
    if (errorClass >= IsamErrorClassLock) return errorClass;
    if (before.empty()) {
      SetPage({}, 1);
      atStart_ = atEnd_ = true;
      return IsamErrorClassNone;
    }
    entry = before.front();
    endReached = true;
  } else if (errorClass != IsamErrorClassNone) {
    return errorClass;
  }

  std::vector<RowRec> below{entry};
  if (!endReached) {
    errorClass = Collect(entry, 1, rowsInUse_ - targetRow, below);
    if (errorClass >= IsamErrorClassLock) return errorClass;
    endReached = errorClass == IsamErrorClassNotFound;
  }
  // From the start of the range the entry found is the first one: nothing lies above it.
  bool startReached = !endReached && ref <= 0 && (PhysicalOrder() || IsamCompareKeys(key, lowerBound_) <= 0);
  std::vector<RowRec> above;
  if (!startReached) {
    errorClass = Collect(entry, -1, rowsInUse_ - static_cast<int>(below.size()), above);
    if (errorClass >= IsamErrorClassLock) return errorClass;
    startReached = errorClass == IsamErrorClassNotFound;
  }
  // Near the start of the range the rows above run out: the page still fills to the bottom.
  int missing = rowsInUse_ - static_cast<int>(below.size() + above.size());
  if (missing > 0 && !endReached) {
    errorClass = Collect(below.back(), 1, missing, below);
    if (errorClass >= IsamErrorClassLock) return errorClass;
    endReached = errorClass == IsamErrorClassNotFound;
  }

  std::vector<RowRec> page(above.rbegin(), above.rend());
  page.insert(page.end(), below.begin(), below.end());
  SetPage(std::move(page), static_cast<int>(above.size()) + 1);
  atStart_ = startReached;
  atEnd_ = endReached;
  return IsamErrorClassNone;
}

int32_t BrowserPage::BuildRow(RowRec&) {
  return IsamErrorClassNone;
}

// Completing a page, before it is painted: the before-page hook may refuse; every filled row
// whose text is not built yet gets its record read and its text built (a row whose record
// cannot be read shows the marker instead, and the build hook is not called with a buffer that
// holds some other record); empty rows lose their text. The after-page hook runs in any case;
// the result is the first failure of the rows, else the after-page hook's.
int32_t BrowserPage::CompletePage() {
  int32_t errorClass = PreCompletePage();
  if (errorClass != IsamErrorClassNone) return errorClass;
  auto elements = static_cast<size_t>(elementsPerRow_);
  for (int n = 1; n <= rowsInUse_ && errorClass == IsamErrorClassNone; ++n) {
    RowRec& row = Row(n);
    auto before = row.Text;
    if (row.Empty()) {
      std::fill(row.Text.begin(), row.Text.end(), BRLRowEltString{});
      row.Built = false;
    } else if (!row.Built) {
      row.Status = 0;
      if (ReadRecord(row.Ref) != IsamErrorClassNone) {
        row.Status = -1;
        std::fill(row.Text.begin(), row.Text.end(), BRLRowEltString{});
        row.Text[0] = BrowserUnreadableMarker + row.Key;
      } else {
        errorClass = BuildRow(row);
      }
      for (size_t e = 0; e < elements; ++e) {
        if (row.Text[e].size() > BRLRowEltLen) row.Text[e].resize(BRLRowEltLen);
      }
      row.Built = errorClass == IsamErrorClassNone;
    }
    if (!std::equal(row.Text.begin(), row.Text.begin() + static_cast<std::ptrdiff_t>(elements),
                    before.begin())) {
      row.Changed = true;
    }
  }
  int32_t post = PostCompletePage();
  return errorClass != IsamErrorClassNone ? errorClass : post;
}

}  // namespace storage
