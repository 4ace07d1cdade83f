#pragma once
// What the Find dialog searches in each of the files it serves: the file (kept open by the
// manager that shows the dialog), the fields in which the text is sought and the columns of the
// list. The dialog is told the file by the global FindMode; each mode is described here once.
//
// The customer, vendor, product, company and PO header files are described here; the invoice
// file's mode is added with AddInvoiceFindMode when invoicing first searches it.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/isam.h"

namespace forms {

inline constexpr int FindColumnCount = 7;

struct FindColumn {
  const char* Caption = "";
  int Width = 0;  // pixels; 0 hides the column
};

// One row of the list, Windows-1252 texts; the first is the list item's caption.
using FindRow = std::array<std::string, FindColumnCount>;

struct FindModeDef {
  std::string Mode;  // "Cust", "Prod", "Comp", "Inv", ...
  storage::IsamFileBlock* File = nullptr;
  int32_t RecordLength = 0;
  std::array<FindColumn, FindColumnCount> Columns;
  // The fields searched, in the order they are tested.
  std::function<std::vector<std::string>(const void* record)> SearchedFields;
  std::function<FindRow(const void* record)> Row;
};

// The description of a mode; nullptr for a mode whose file this program does not keep yet.
const FindModeDef* FindModeDefinition(std::string_view mode);
// Adds (or replaces) the description of a mode.
void AddFindMode(FindModeDef definition);

// The text sought for what was typed (Windows-1252): trimmed, upper-cased and cut to its first
// 10 characters.
std::string FindSearchText(std::string_view typed);

// True when the search text occurs in any of the record's searched fields, each upper-cased.
bool RecordMatches(const FindModeDef& mode, const void* record, std::string_view searchText);

// The rows of every live record of the mode's file that matches, in physical record order;
// a record is listed once however many of its fields match. Stops at the end of the file or at
// the first engine error; `failure` (when given) then says which file could not be read and the
// system's reason ("The file 1C.DAT cannot be read now: Input/output error."), empty after a scan
// that reached the end.
std::vector<FindRow> FindMatchingRows(const FindModeDef& mode, std::string_view searchText,
                                      std::string* failure = nullptr);

// Lets the Find dialog search the invoice file (find mode "Inv").
void AddInvoiceFindMode();

}  // namespace forms
