#pragma once
// One row of a record browser page: the index entry it shows and the text built for it. Every
// manager's row-building and filter events are handed one of these.

#include <array>
#include <cstdint>
#include <string>

#include "storage/isam_types.h"

namespace storage {

// A row holds up to eight text elements of up to 128 characters each; the browser draws the
// first one, and every manager fills only that one.
constexpr int BRLMaxRowElts = 8;
constexpr int BRLRowEltLen = 128;
using BRLRowEltString = std::string;

struct RowRec {
  IsamKeyStr Key;        // the entry's index key; empty in physical order
  IsamRecRef Ref = 0;    // record reference; below 1 the row is empty
  int32_t Status = 0;    // 0 record read; -1 reading the record failed
  bool Changed = false;  // the text differs from what was shown before: repaint it
  bool Built = false;    // the text has been built for the current record
  std::array<BRLRowEltString, BRLMaxRowElts> Text;

  [[nodiscard]] bool Empty() const { return Ref < 1; }
  [[nodiscard]] bool SameEntry(const RowRec& other) const { return Ref == other.Ref && Key == other.Key; }
};

}  // namespace storage
