#pragma once
// The saved line sets of PO entry: a set of lines kept to be loaded into later purchase orders.
// Plain Windows-1252 text in the program directory, one text line per line, ended by CR LF.
//
// "POSAVEL.SAV" (line items):
//   lines 1-100   one row line for each grid row 1..100 (row 100 is always empty)
//   line 101      notes (columns 1-80), key code (81-88)
// "POSAVEM.SAV" (memo POs):
//   lines 1-26    the memo as it is stored: wrapped into lines of at most 74 characters, 25 at
//                 most; read back whole (a longer line of an older file too)
//   line 27       notes (columns 1-60), key code (61-68)
//   line 28       the row line of the memo's product
//
// The row lines are those of forms/saved_rows.h: each part cut to its slot, the row whole.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/saved_rows.h"

namespace purchasing {

inline constexpr std::string_view POSavedLinesFileName = "POSAVEL.SAV";
inline constexpr std::string_view POSavedMemoFileName = "POSAVEM.SAV";

struct POSavedNotes {
  std::string Notes;
  std::string KeyCode;
};

struct POSavedLineSet {
  std::vector<forms::SavedRow> Rows;  // grid rows 1..100
  POSavedNotes Notes;
};

struct POSavedMemoSet {
  std::vector<std::string> MemoLines;  // without the empty lines that end it
  POSavedNotes Notes;
  forms::SavedRow Product;
};

// Write the file whole; a failure is reported and gives false.
bool WritePOSavedLines(const POSavedLineSet& set);
bool WritePOSavedMemo(const POSavedMemoSet& set);
// The set on file; none when the file is missing or cannot be read (a read error is reported).
std::optional<POSavedLineSet> ReadPOSavedLines();
std::optional<POSavedMemoSet> ReadPOSavedMemo();

}  // namespace purchasing
