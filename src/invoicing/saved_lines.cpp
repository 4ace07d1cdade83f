#include "invoicing/saved_lines.h"

#include "platform/text/key_text.h"

namespace invoicing {

using platform::text::TrimBlanks;

namespace {

constexpr std::size_t kLineNotesWidth = 80;
constexpr std::size_t kMemoNotesWidth = 60;
constexpr std::size_t kStatementNoteWidth = 25;
constexpr std::size_t kKeyCodeWidth = 8;

using forms::FitToSlot;
using forms::ReadTextLines;
using forms::SlotText;
using forms::WriteTextLines;

std::string NotesText(const SavedNotes& notes, std::size_t notesWidth) {
  return FitToSlot(notes.Notes, notesWidth) + FitToSlot(notes.StatementNote, kStatementNoteWidth) +
         std::string(TrimBlanks(notes.KeyCode)).substr(0, kKeyCodeWidth);
}

SavedNotes ParseNotes(std::string_view line, std::size_t notesWidth) {
  return {SlotText(line, 0, notesWidth), SlotText(line, notesWidth, kStatementNoteWidth),
          SlotText(line, notesWidth + kStatementNoteWidth, kKeyCodeWidth)};
}

}  // namespace

bool WriteSavedLines(const SavedLineSet& set) {
  std::vector<std::string> lines;
  for (int row = 0; row < kSavedRows; ++row)
    lines.push_back(SavedRowText(row < static_cast<int>(set.Rows.size()) ? set.Rows[row] : SavedRow{}));
  lines.push_back(NotesText(set.Notes, kLineNotesWidth));
  return WriteTextLines(SavedLinesFileName, lines);
}

bool WriteSavedMemo(const SavedMemoSet& set) {
  std::vector<std::string> lines = set.MemoLines;
  lines.resize(kSavedMemoLines);
  lines.push_back(NotesText(set.Notes, kMemoNotesWidth));
  lines.push_back(SavedRowText(set.Product));
  return WriteTextLines(SavedMemoFileName, lines);
}

std::optional<SavedLineSet> ReadSavedLines() {
  const auto lines = ReadTextLines(SavedLinesFileName, kSavedRows + 1);
  if (!lines) return std::nullopt;
  SavedLineSet set;
  for (int row = 0; row < kSavedRows; ++row) set.Rows.push_back(ParseSavedRow((*lines)[row]));
  set.Notes = ParseNotes((*lines)[kSavedRows], kLineNotesWidth);
  return set;
}

std::optional<SavedMemoSet> ReadSavedMemo() {
  const auto lines = ReadTextLines(SavedMemoFileName, kSavedMemoLines + 2);
  if (!lines) return std::nullopt;
  SavedMemoSet set;
  set.MemoLines = forms::SavedMemoLines(*lines, kSavedMemoLines);
  set.Notes = ParseNotes((*lines)[kSavedMemoLines], kMemoNotesWidth);
  set.Product = ParseSavedRow((*lines)[kSavedMemoLines + 1]);
  return set;
}

}  // namespace invoicing
