#pragma once
// The record browser's data source, top layer: what the browser window asks of it. Row and
// page steps, first and last, going to a key, the vertical scroll bar's positions, and whether
// a move changed the page. Every operation returns the engine's error class: 0 done, 1 nothing
// there (end of range, nothing found: not an error), 2 and above an error for the browser to
// report (LastError() gives its code).

#include <cstdint>
#include <vector>

#include "storage/browser/page.h"

namespace storage {

// The vertical scroll bar runs from 0 (first entry) to this (last entry).
constexpr uint16_t BrowserScrollScale = 63;

class BrowserNavigator : public BrowserPage {
 public:
  using BrowserPage::BrowserPage;

  // Sets the key number, puts the first accepted entry at or after (key, ref) on currentRow
  // and fills the page around it.
  int32_t GoToKey(int32_t keyNr, const IsamKeyStr& key, int rowsInUse, int currentRow, IsamRecRef ref);
  // The page starting with the first entry of the range / ending with the last.
  int32_t First();
  int32_t Last();
  // Fills the page again around the highlighted entry (the records may have changed).
  int32_t Refresh();
  int32_t RowDown();
  int32_t RowUp();
  int32_t PageDown();
  int32_t PageUp();
  // A row without an entry cannot be highlighted: the row is kept within the filled rows.
  void SetCurrentRow(int row);
  // The rows that fit in the window; the page is filled again around the highlighted entry.
  int32_t SetRowsInUse(int rows);
  // Switches the index (0: record order) and fills the page again.
  int32_t SetKeyNumber(int32_t keyNr);

  // Of the highlighted row; reference 0 and an empty key when the page is empty.
  IsamRecRef CurrentRef() const;
  IsamKeyStr CurrentKey() const;

  // Reads the highlighted row's record, or any record (inside the filter hook), into the
  // record buffer. Class 1 when the page is empty.
  int32_t ReadCurrentRecord();
  int32_t ReadRecordOfRow(IsamRecRef ref) { return ReadRecord(ref); }

  // The highlighted entry's approximate place on the scroll bar (0..BrowserScrollScale), and
  // the move to the entry found for a place.
  int32_t KeyToScrollPos(uint16_t& pos);
  int32_t ScrollPosToKey(uint16_t pos);

  // Whether the last move changed the page: the highlighted row, the rows in use, the filled
  // rows or the entries on them.
  [[nodiscard]] bool PageChanged() const { return pageChanged_; }

 private:
  struct Snapshot {
    int currentRow;
    int rowsInUse;
    int lastFilled;
    std::vector<RowRec> entries;  // key and reference of each filled row
  };
  Snapshot Take() const;
  // Runs a page operation under the read lock and notes whether it changed the page.
  template <class Op>
  int32_t Move(Op op);
  // One row further at the bottom (direction > 0) or the top of the page.
  int32_t ShiftByOneRow(int direction);
  // A new page of entries after the last row (direction > 0) or before the first.
  int32_t TurnPage(int direction);

  bool pageChanged_ = false;
};

}  // namespace storage
