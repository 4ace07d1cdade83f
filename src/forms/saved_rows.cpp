#include "forms/saved_rows.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files/file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"

namespace forms {

using platform::text::TrimBlanks;

namespace {

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

std::string Part(std::string_view line, Slot slot) {
  return SlotText(line, slot.start, slot.width);
}

void ReportFileError(const char* what, std::string_view name, int err) {
  platform::ui::Application->ShowException(QStringLiteral("%1 %2: %3")
                                               .arg(QString::fromLatin1(what),
                                                    platform::text::ToQString(name),
                                                    QString::fromLocal8Bit(std::strerror(err ? err : EIO))));
}

}  // namespace

std::string FitToSlot(std::string_view text, std::size_t width) {
  return platform::text::PadRightWith(text.substr(0, width), ' ', width);
}

std::string SlotText(std::string_view line, std::size_t start, std::size_t width) {
  if (start >= line.size()) return {};
  return TrimBlanks(line.substr(start, width));
}

std::string SavedRowText(const SavedRow& row) {
  const std::string taxable = row.Taxable.empty() ? std::string(" ") : row.Taxable.substr(0, 1);
  return FitToSlot(row.Number, kNumberSlot.width) + ' ' + FitToSlot(row.Code, kCodeSlot.width) + ' ' +
         FitToSlot(row.Quantity, kQuantitySlot.width) + ' ' +
         FitToSlot(row.Description, kDescriptionSlot.width) + ' ' + FitToSlot(row.Price, kPriceSlot.width) +
         ' ' + taxable + ' ' + FitToSlot(row.Extension, kExtensionSlot.width);
}

std::vector<std::string> SavedRowCodes(const std::vector<SavedRow>& rows) {
  std::vector<std::string> codes;
  for (const SavedRow& row : rows) codes.push_back(row.Code);
  return codes;
}

SavedRow ParseSavedRow(std::string_view text) {
  return {Part(text, kNumberSlot),      Part(text, kCodeSlot),  Part(text, kQuantitySlot),
          Part(text, kDescriptionSlot), Part(text, kPriceSlot), Part(text, kTaxableSlot),
          Part(text, kExtensionSlot)};
}

std::vector<std::string> SavedMemoLines(const std::vector<std::string>& fileLines, std::size_t count) {
  std::vector<std::string> memo(fileLines.begin(), fileLines.begin() + std::min(count, fileLines.size()));
  for (std::string& line : memo) line.erase(line.find_last_not_of(' ') + 1);
  while (!memo.empty() && memo.back().empty()) memo.pop_back();
  return memo;
}

bool WriteTextLines(std::string_view name, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  int err = 0;
  if (platform::files::WriteWholeFile(name, bytes, &err)) return true;
  ReportFileError("Cannot write", name, err);
  return false;
}

std::optional<std::vector<std::string>> ReadTextLines(std::string_view name, std::size_t count) {
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

}  // namespace forms
