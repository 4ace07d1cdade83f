#include "invoicing/saved_lines.h"

#include <QString>
#include <cerrno>
#include <cstring>

#include "platform/files/file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"

namespace invoicing {

using platform::text::TrimBlanks;

namespace {

constexpr std::size_t kLineNotesWidth = 80;
constexpr std::size_t kMemoNotesWidth = 60;
constexpr std::size_t kStatementNoteWidth = 25;
constexpr std::size_t kKeyCodeWidth = 8;

struct Slot {
  std::size_t start;  // counted from 0
  std::size_t width;
};

constexpr Slot kNumberSlot{0, 2};
constexpr Slot kCodeSlot{3, 15};
constexpr Slot kQuantitySlot{19, 10};
constexpr Slot kDescriptionSlot{30, 32};
constexpr Slot kPriceSlot{63, 10};
constexpr Slot kTaxableSlot{74, 1};
constexpr Slot kExtensionSlot{76, 12};

// The text cut to the slot and padded to fill it.
std::string Fit(std::string_view text, std::size_t width) {
  return platform::text::PadRightWith(text.substr(0, width), ' ', width);
}

std::string Part(std::string_view line, Slot slot) {
  if (slot.start >= line.size()) return {};
  return TrimBlanks(line.substr(slot.start, slot.width));
}

std::string NotesText(const SavedNotes& notes, std::size_t notesWidth) {
  return Fit(notes.Notes, notesWidth) + Fit(notes.StatementNote, kStatementNoteWidth) +
         std::string(TrimBlanks(notes.KeyCode)).substr(0, kKeyCodeWidth);
}

SavedNotes ParseNotes(std::string_view line, std::size_t notesWidth) {
  return {Part(line, {0, notesWidth}), Part(line, {notesWidth, kStatementNoteWidth}),
          Part(line, {notesWidth + kStatementNoteWidth, kKeyCodeWidth})};
}

void ReportFileError(const char* what, std::string_view name, int err) {
  platform::ui::Application->ShowException(QStringLiteral("%1 %2: %3")
                                               .arg(QString::fromLatin1(what),
                                                    platform::text::ToQString(name),
                                                    QString::fromLocal8Bit(std::strerror(err ? err : EIO))));
}

bool WriteLines(std::string_view name, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  int err = 0;
  if (platform::files::WriteWholeFile(name, bytes, &err)) return true;
  ReportFileError("Cannot write", name, err);
  return false;
}

// The file's lines, at least `count` of them (missing lines are empty).
std::optional<std::vector<std::string>> ReadLines(std::string_view name, std::size_t count) {
  std::string bytes;
  int err = 0;
  if (!platform::files::ReadWholeFile(name, &bytes, &err)) {
    if (err != ENOENT) ReportFileError("Cannot read", name, err);
    return std::nullopt;
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end;
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  if (lines.size() < count) lines.resize(count);
  return lines;
}

}  // namespace

std::string SavedRowText(const SavedRow& row) {
  const std::string taxable = row.Taxable.empty() ? std::string(" ") : row.Taxable.substr(0, 1);
  return Fit(row.Number, kNumberSlot.width) + ' ' + Fit(row.Code, kCodeSlot.width) + ' ' +
         Fit(row.Quantity, kQuantitySlot.width) + ' ' + Fit(row.Description, kDescriptionSlot.width) + ' ' +
         Fit(row.Price, kPriceSlot.width) + ' ' + taxable + ' ' + Fit(row.Extension, kExtensionSlot.width);
}

SavedRow ParseSavedRow(std::string_view text) {
  return {Part(text, kNumberSlot),      Part(text, kCodeSlot),  Part(text, kQuantitySlot),
          Part(text, kDescriptionSlot), Part(text, kPriceSlot), Part(text, kTaxableSlot),
          Part(text, kExtensionSlot)};
}

bool WriteSavedLines(const SavedLineSet& set) {
  std::vector<std::string> lines;
  for (int row = 0; row < kSavedRows; ++row)
    lines.push_back(SavedRowText(row < static_cast<int>(set.Rows.size()) ? set.Rows[row] : SavedRow{}));
  lines.push_back(NotesText(set.Notes, kLineNotesWidth));
  return WriteLines(SavedLinesFileName, lines);
}

bool WriteSavedMemo(const SavedMemoSet& set) {
  std::vector<std::string> lines = set.MemoLines;
  lines.resize(kSavedMemoLines);
  lines.push_back(NotesText(set.Notes, kMemoNotesWidth));
  lines.push_back(SavedRowText(set.Product));
  return WriteLines(SavedMemoFileName, lines);
}

std::optional<SavedLineSet> ReadSavedLines() {
  const auto lines = ReadLines(SavedLinesFileName, kSavedRows + 1);
  if (!lines) return std::nullopt;
  SavedLineSet set;
  for (int row = 0; row < kSavedRows; ++row) set.Rows.push_back(ParseSavedRow((*lines)[row]));
  set.Notes = ParseNotes((*lines)[kSavedRows], kLineNotesWidth);
  return set;
}

std::optional<SavedMemoSet> ReadSavedMemo() {
  const auto lines = ReadLines(SavedMemoFileName, kSavedMemoLines + 2);
  if (!lines) return std::nullopt;
  SavedMemoSet set;
  // The last memo line is saved but not read back: a memo holds 25 lines.
  for (int line = 0; line + 1 < kSavedMemoLines; ++line)
    set.MemoLines.push_back(TrimBlanks(std::string_view((*lines)[line]).substr(0, 85)));
  set.Notes = ParseNotes((*lines)[kSavedMemoLines], kMemoNotesWidth);
  set.Product = ParseSavedRow((*lines)[kSavedMemoLines + 1]);
  return set;
}

}  // namespace invoicing
