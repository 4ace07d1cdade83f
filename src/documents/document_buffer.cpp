#include "documents/document_buffer.h"

#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"

namespace documents {

using platform::text::Cents;
using platform::text::FormatAmount;
using platform::text::FormatFloat;
using platform::text::PadRightWith;
using platform::text::StripCommas;
using platform::text::TrimBlanks;

TDocHeader DocHeader;
std::array<std::string, DocLineCount> DocLines;
std::array<std::string, 4> DocAging;
std::string DocMode;
TDocPOExtras DocPOExtras;
TDocMemoItem DocMemoItem;

namespace {

// Characters from..from+width-1 (1-based) of a text, empty beyond its end.
std::string Columns(std::string_view text, std::size_t from, std::size_t width) {
  if (from > text.size()) return {};
  return std::string(text.substr(from - 1, width));
}

std::string LeftJustified(std::string_view text, std::size_t width) {
  return PadRightWith(text.substr(0, width), ' ', width);
}

}  // namespace

std::string RightJustified(std::string_view text, std::size_t width) {
  if (text.size() >= width) return std::string(text);
  return std::string(width - text.size(), ' ') + std::string(text);
}

std::string DocMoneyText(Cents amount) {
  return RightJustified(FormatAmount(amount), DocMoneyWidth);
}

Cents StoredAmountCents(std::string_view stored) {
  std::string text = StripCommas(stored);
  if (text.empty()) return 0;  // a field never written holds no amount
  if (std::optional<Cents> cents = platform::text::ParseAmount(text)) return *cents;
  platform::text::StrToFloat(text);  // raises the conversion error for text that is no number
  throw platform::text::ConvertError("'" + text + "' is too large an amount");
}

std::string DocDateText(std::string_view stored, std::string_view dateOrder) {
  if (dateOrder == "M") return Columns(stored, 6, 3) + Columns(stored, 9, 2) + "/" + Columns(stored, 1, 4);
  if (dateOrder == "D") return Columns(stored, 9, 2) + "/" + Columns(stored, 6, 3) + Columns(stored, 1, 4);
  return std::string(stored);
}

std::string TypedDecimalsText(std::string_view number) {
  std::string text = StripCommas(number);
  if (text.empty()) return text;
  std::size_t point = text.find('.');
  std::size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
  std::string format = decimals >= 1 ? ",0." + std::string(decimals, '0') : ",0";
  return FormatFloat(format, platform::text::StrToFloat(text));
}

std::string DocQuantityText(std::string_view quantity) {
  std::string shown = TypedDecimalsText(quantity);
  // The column holds ten characters; a quantity that only outgrows it by its separators is
  // shown without them rather than losing digits.
  if (shown.size() > 10) shown = StripCommas(shown);
  return RightJustified(shown, 10);
}

std::string DocAgingText(std::string_view stored) {
  // Padded to 12 but never cut: a cut amount would print without its last digits.
  return PadRightWith(FormatAmount(StoredAmountCents(stored)), ' ', 12);
}

std::string DocLineEntry(std::string_view productCode, std::string_view lineText) {
  std::string entry = LeftJustified(TrimBlanks(productCode), 15) + " ";
  entry += DocQuantityText(Columns(lineText, 1, 10)).substr(0, 10) + " ";
  entry += LeftJustified(TrimBlanks(Columns(lineText, 11, 32)), 33) + " ";
  entry += RightJustified(TrimBlanks(Columns(lineText, 43, 10)), 10).substr(0, 10) + " ";
  entry += LeftJustified(Columns(lineText, 53, 1), 1) + " ";
  entry += RightJustified(TrimBlanks(Columns(lineText, 54, 12)), 12).substr(0, 12);
  return entry;
}

DocLineParts SplitDocLine(std::string_view entry) {
  return {TrimBlanks(Columns(entry, 1, 15)),  TrimBlanks(Columns(entry, 16, 12)),
          TrimBlanks(Columns(entry, 28, 32)), TrimBlanks(Columns(entry, 60, 12)),
          TrimBlanks(Columns(entry, 73, 1)),  TrimBlanks(Columns(entry, 75, 12))};
}

bool DocLineHasDescription(std::string_view entry) {
  return !TrimBlanks(Columns(entry, 28, 32)).empty();
}

bool SameDocNumber(std::string_view recordNumber, std::string_view number) {
  return platform::text::UpperCase(TrimBlanks(recordNumber)) == platform::text::UpperCase(TrimBlanks(number));
}

void ClearDocLines() {
  for (std::string& line : DocLines) line.clear();
}

void LoadDocMemoLines(const records::MemoRec& memo, std::size_t shortest) {
  ClearDocLines();
  for (int line = 1; line <= records::kMemoLines; ++line) {
    std::string text = memo.Lines[line - 1].Get();
    if (line == 1 || TrimBlanks(text).size() >= shortest)
      DocLines[line] = PadRightWith(text, ' ', DocMemoLineWidth);
  }
}

void LoadDocMemo(storage::DataFileUnit& unit, std::string_view number, std::size_t shortest) {
  ClearDocLines();
  records::MemoRec wanted{};
  wanted.Number.Set(number);
  records::MemoRec memo{};
  storage::IsamRecRef ref = 0;
  if (!records::ReadIfOnFile(unit, unit.BuildKey(&wanted, 1), 1, memo, ref)) {
    platform::ui::ShowMessage("Error reading memo data.");
    return;
  }
  LoadDocMemoLines(memo, shortest);
}

void PrintFileCopies(std::string_view count, const std::function<void()>& print) {
  const int copies = platform::text::TryStrToInt(TrimBlanks(count)).value_or(0);
  DocMode = "FCP";
  for (int copy = 0; copy < copies; ++copy) print();
}

void SetDocMemoItem(std::string_view lineText, std::string_view productCode) {
  DocMemoItem.MemoQuantity = TrimBlanks(Columns(lineText, 1, 10));
  DocMemoItem.MemoProduct = TrimBlanks(productCode).substr(0, 32);
}

}  // namespace documents
