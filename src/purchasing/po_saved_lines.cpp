#include "purchasing/po_saved_lines.h"

namespace purchasing {

using forms::FitToSlot;
using forms::SlotText;

namespace {

constexpr int kSavedRows = 100;
constexpr int kSavedMemoLines = 26;
constexpr std::size_t kLineNotesWidth = 80;
constexpr std::size_t kMemoNotesWidth = 60;
constexpr std::size_t kKeyCodeWidth = 8;

std::string NotesText(const POSavedNotes& notes, std::size_t notesWidth) {
  return FitToSlot(notes.Notes, notesWidth) + FitToSlot(notes.KeyCode, kKeyCodeWidth);
}

POSavedNotes ParseNotes(std::string_view line, std::size_t notesWidth) {
  return {SlotText(line, 0, notesWidth), SlotText(line, notesWidth, kKeyCodeWidth)};
}

}  // namespace

bool WritePOSavedLines(const POSavedLineSet& set) {
  std::vector<std::string> lines;
  for (int row = 0; row < kSavedRows; ++row)
    lines.push_back(
        forms::SavedRowText(row < static_cast<int>(set.Rows.size()) ? set.Rows[row] : forms::SavedRow{}));
  lines.push_back(NotesText(set.Notes, kLineNotesWidth));
  return forms::WriteTextLines(POSavedLinesFileName, lines);
}

bool WritePOSavedMemo(const POSavedMemoSet& set) {
  std::vector<std::string> lines = set.MemoLines;
  lines.resize(kSavedMemoLines);
  lines.push_back(NotesText(set.Notes, kMemoNotesWidth));
  lines.push_back(forms::SavedRowText(set.Product));
  return forms::WriteTextLines(POSavedMemoFileName, lines);
}

std::optional<POSavedLineSet> ReadPOSavedLines() {
  const auto lines = forms::ReadTextLines(POSavedLinesFileName, kSavedRows + 1);
  if (!lines) return std::nullopt;
  POSavedLineSet set;
  for (int row = 0; row < kSavedRows; ++row) set.Rows.push_back(forms::ParseSavedRow((*lines)[row]));
  set.Notes = ParseNotes((*lines)[kSavedRows], kLineNotesWidth);
  return set;
}

std::optional<POSavedMemoSet> ReadPOSavedMemo() {
  const auto lines = forms::ReadTextLines(POSavedMemoFileName, kSavedMemoLines + 2);
  if (!lines) return std::nullopt;
  POSavedMemoSet set;
  set.MemoLines = forms::SavedMemoLines(*lines, kSavedMemoLines);
  set.Notes = ParseNotes((*lines)[kSavedMemoLines], kMemoNotesWidth);
  set.Product = forms::ParseSavedRow((*lines)[kSavedMemoLines + 1]);
  return set;
}

}  // namespace purchasing
