#include "records/memo_file.h"

#include <algorithm>

namespace records {
namespace {

// Appends a paragraph's stored lines; an empty paragraph is one empty line.
void WrapParagraph(std::string_view paragraph, std::vector<std::string>& lines) {
  const bool empty = paragraph.empty();
  while (paragraph.size() > kMemoLineWidth) {
    std::size_t cut = paragraph.find_last_of(' ', kMemoLineWidth);
    std::string_view line = cut == std::string_view::npos ? std::string_view() : paragraph.substr(0, cut);
    line = line.substr(0, line.find_last_not_of(' ') + 1);
    if (line.empty()) {  // no blank after the first word: the word is broken
      cut = kMemoLineWidth;
      line = paragraph.substr(0, cut);
    }
    lines.emplace_back(line);
    paragraph.remove_prefix(cut);
    paragraph.remove_prefix(std::min(paragraph.find_first_not_of(' '), paragraph.size()));
  }
  if (empty || !paragraph.empty()) lines.emplace_back(paragraph);
}

const std::vector<storage::KeyDefinition> kMemoKeys{{9, false, {{offsetof(MemoRec, Number), 9}}}};
}  // namespace

const storage::DataFileKind MemoKind =
    storage::PlainDataFileKind("M", "Memo Records", sizeof(MemoRec), kMemoKeys);
const storage::DataFileKind POMemoKind =
    storage::PlainDataFileKind("PM", "PO Memo Records", sizeof(POMemoRec), kMemoKeys);

std::optional<std::vector<std::string>> StoredMemoLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    WrapParagraph(text.substr(start, end - start), lines);
    start = end + 1;
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.size() > static_cast<std::size_t>(kMemoLines)) return std::nullopt;
  return lines;
}

storage::IsamFileBlock MemoFile = nullptr;
MemoRec MemoBuf{};
storage::IsamFileBlock POMemoFile = nullptr;
POMemoRec POMemoBuf{};

storage::DataFileUnit& MemoUnit() {
  static storage::DataFileUnit unit(MemoKind, MemoFile);
  return unit;
}

storage::DataFileUnit& POMemoUnit() {
  static storage::DataFileUnit unit(POMemoKind, POMemoFile);
  return unit;
}

}  // namespace records
