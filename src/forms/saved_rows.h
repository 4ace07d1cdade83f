#pragma once
// The row lines of the entry forms' saved line sets ("SAVELINE.SAV", "POSAVEL.SAV" and their
// memo files): plain Windows-1252 text in the program directory, one text line per grid row,
// ended by CR LF.
//
// A row line, 88 characters:
//   columns  1-2   line number         20-29  quantity            64-73  unit price
//            4-18  product code        31-62  description         75     taxable flag
//                                                                  77-88  extension
// with a blank between the parts. Every part is cut to its slot when written, so a part can
// never push the later ones out of their columns, and the row is written whole; reading trims
// each part.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

struct SavedRow {
  std::string Number;
  std::string Code;
  std::string Quantity;
  std::string Description;
  std::string Price;
  std::string Taxable;
  std::string Extension;
};

std::string SavedRowText(const SavedRow& row);
// The product codes of the rows, in their order.
std::vector<std::string> SavedRowCodes(const std::vector<SavedRow>& rows);
SavedRow ParseSavedRow(std::string_view text);

// The text cut to `width` and padded with blanks to fill it.
std::string FitToSlot(std::string_view text, std::size_t width);
// Characters start .. start + width - 1 (counted from 0) of a line, trimmed; empty past its end.
std::string SlotText(std::string_view line, std::size_t start, std::size_t width);

// The memo of a saved memo file: its first `count` lines whole, each without the blanks that end
// it, and without the empty lines that end the memo.
std::vector<std::string> SavedMemoLines(const std::vector<std::string>& fileLines, std::size_t count);

// Writes the file whole, each line ended by CR LF; a failure is reported and gives false.
bool WriteTextLines(std::string_view name, const std::vector<std::string>& lines);
// The file's lines, at least `count` of them (missing lines are empty); none when the file is
// missing or cannot be read (a read error is reported).
std::optional<std::vector<std::string>> ReadTextLines(std::string_view name, std::size_t count);

}  // namespace forms
