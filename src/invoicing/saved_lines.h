#pragma once
// The saved line sets of invoice entry: a set of lines kept to be loaded into later invoices.
// Plain Windows-1252 text in the program directory, one text line per line, ended by CR LF.
//
// "SAVELINE.SAV" (line items):
//   lines 1-100   one row line for each grid row 1..100 (row 100 is always empty)
//   line 101      notes (columns 1-80), statement note (81-105), key code (106-113)
// "SAVEMEMO.SAV" (memo invoices):
//   lines 1-26    the memo as it is stored: wrapped into lines of at most 74 characters, 25 at
//                 most; read back whole (a longer line of an older file too)
//   line 27       notes (columns 1-60), statement note (61-85), key code (86-93)
//   line 28       the row line of the memo's product
//
// The row lines are those of forms/saved_rows.h.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/saved_rows.h"

namespace invoicing {

inline constexpr std::string_view SavedLinesFileName = "SAVELINE.SAV";
inline constexpr std::string_view SavedMemoFileName = "SAVEMEMO.SAV";
inline constexpr int kSavedRows = 100;
inline constexpr int kSavedMemoLines = 26;

using forms::ParseSavedRow;
using forms::SavedRow;
using forms::SavedRowText;

struct SavedNotes {
  std::string Notes;
  std::string StatementNote;
  std::string KeyCode;
};

struct SavedLineSet {
  std::vector<SavedRow> Rows;  // grid rows 1..100
  SavedNotes Notes;
};

struct SavedMemoSet {
  std::vector<std::string> MemoLines;  // without the empty lines that end it
  SavedNotes Notes;
  SavedRow Product;
};

// Writes the file whole; a failure is reported and gives false.
bool WriteSavedLines(const SavedLineSet& set);
bool WriteSavedMemo(const SavedMemoSet& set);
// The set on file; none when the file is missing or cannot be read (a read error is reported).
std::optional<SavedLineSet> ReadSavedLines();
std::optional<SavedMemoSet> ReadSavedMemo();

}  // namespace invoicing
