#pragma once
// The record browser's data source, middle layer: the page of rows that the window shows, the
// key bounds, the highlighted row, filling the page around an anchor entry, and completing the
// rows' text before the page is painted.
//
// The page always holds a contiguous run of the accepted entries in index order, starting at
// row 1; it is full whenever enough accepted entries exist, and the highlighted row holds an
// entry unless the page is empty. Every fill is built aside and takes the page's place only
// when it succeeded, so a failed step leaves the page as it was.

#include <cstdint>
#include <vector>

#include "storage/browser/record_access.h"
#include "storage/browser/row_rec.h"

namespace storage {

// The text a row shows when its record cannot be read: the marker and the row's key, never the
// data of whatever record the buffer held before.
constexpr const char* BrowserUnreadableMarker = "****  ";

class BrowserPage : public BrowserRecordAccess {
 public:
  BrowserPage(IsamFileBlock& fileBlock, int elementsPerRow, int rowCapacity, int32_t keyNr,
              const IsamKeyStr& lowerBound, const IsamKeyStr& upperBound, void* recordBuffer,
              size_t recordSize, bool variableLength);

  int ElementsPerRow() const { return elementsPerRow_; }
  int RowCapacity() const { return static_cast<int>(rows_.size()); }
  int RowsInUse() const { return rowsInUse_; }
  int CurrentRow() const { return currentRow_; }
  // The number of rows that hold an entry (they are rows 1 to this one).
  int LastFilledRow() const { return lastFilled_; }
  // Row n, 1 <= n <= RowCapacity().
  const RowRec& Row(int n) const { return rows_.at(static_cast<size_t>(n - 1)); }
  RowRec& Row(int n) { return rows_.at(static_cast<size_t>(n - 1)); }
  const IsamKeyStr& LowerBound() const { return lowerBound_; }
  const IsamKeyStr& UpperBound() const { return upperBound_; }

  // Reads the records of the rows whose text is not built yet and builds it; see the .cpp.
  int32_t CompletePage();

 protected:
  // Hooks for the browser's own data source.
  virtual int32_t BuildRow(RowRec& row);
  virtual int32_t PreCompletePage() { return IsamErrorClassNone; }
  virtual int32_t PostCompletePage() { return IsamErrorClassNone; }

  // Puts the first accepted entry at or after (key, ref) (or, when none follows, the last
  // accepted entry before it) on targetRow and fills the page around it. Near either end of
  // the range the entry moves up or down instead, so that the page starts at row 1 and stays
  // full.
  int32_t FillAround(const IsamKeyStr& key, IsamRecRef ref, int targetRow);

  // Collects up to count accepted entries stepping from `from` in the direction; they are
  // appended to out in the order found. Class 1 when the range ended first.
  int32_t Collect(const RowRec& from, int direction, int count, std::vector<RowRec>& out);

  // Makes `rows` (in index order) the page, with `current` highlighted.
  void SetPage(std::vector<RowRec> rows, int current);

  // Moves the key into the bounds: below the lower bound it becomes the lower bound with
  // reference 0, above the upper bound the upper bound padded with the highest character and
  // the highest reference.
  void ClampToBounds(IsamKeyStr& key, IsamRecRef& ref) const;
  // The anchor before every entry of the range, and the one after every entry.
  RowRec RangeStart() const;
  RowRec RangeEnd() const;

  void SetRowsInUseField(int rows);
  void SetCurrentRowField(int row) { currentRow_ = row; }

  // Whether row 1 holds the first accepted entry of the range, and the last filled row the
  // last one, as far as the steps made so far have found out.
  [[nodiscard]] bool AtStart() const { return atStart_; }
  [[nodiscard]] bool AtEnd() const { return atEnd_; }
  void NoteStart(bool reached) { atStart_ = reached; }
  void NoteEnd(bool reached) { atEnd_ = reached; }
  // Notes that the range has no entry beyond the page in the direction.
  void NoteEdgeReached(int direction) { (direction > 0 ? atEnd_ : atStart_) = true; }

 private:
  int32_t FirstAccepted(IsamKeyStr key, IsamRecRef ref, RowRec& found);
  // Checks the entry that the first step found and those after it in the direction until out
  // holds `wanted` entries, the range ends or an error occurs.
  int32_t GatherAccepted(int32_t firstStep, IsamKeyStr& key, IsamRecRef& ref, int direction, size_t wanted,
                         std::vector<RowRec>& out);
  // Checks a candidate found by a step: bounds (class 1 outside them), then the filter.
  int32_t CheckCandidate(RowRec& row, bool& useIt);
  [[nodiscard]] bool InBounds(const IsamKeyStr& key) const;

  int elementsPerRow_;
  std::vector<RowRec> rows_;
  int rowsInUse_;
  int currentRow_ = 1;
  int lastFilled_ = 0;
  IsamKeyStr lowerBound_;
  IsamKeyStr upperBound_;
  bool atStart_ = false;
  bool atEnd_ = false;
};

}  // namespace storage
