#pragma once
// The document buffer: the one invoice or purchase order that is to be shown, printed or
// e-mailed next. Invoicing fills it for an invoice number, purchasing for a PO number; the view
// window, the printers and the e-mail composers only read it. Everything in it is text formatted
// for output. A build overwrites what it writes and leaves the rest as it was.
//
// A line-item entry of DocLines is 86 characters in fixed columns (1-based):
//   1-15 product code   17-26 quantity (right)   28-60 description   62-71 unit price (right)
//   73 taxable flag     75-86 extension (right); the other columns are blanks.
// Readers take product 1-15, quantity 16-27, description 28-59, price 60-71, flag 73 and
// extension 75-86, each trimmed. A memo document holds its memo lines, 74 characters each, at the
// entries of the same line numbers (1 to 25).

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/text/amount.h"
#include "platform/text/key_text.h"
#include "records/memo_file.h"
#include "records/record_file.h"
#include "storage/isam.h"

namespace documents {

struct TDocHeader {
  std::string BillName;  // the account: customer of an invoice, vendor of a PO
  std::string BillAddr1, BillAddr2, BillAddr3, BillAddr4;
  std::string ShipAddr1, ShipAddr2, ShipAddr3, ShipAddr4;
  std::string AccountNo;
  std::string DocNumber;
  std::string DocDate;  // as typed
  std::string Reference;
  std::string Terms;
  std::string NetAmount, TaxAmount, TotalAmount, PaidAmount, BalanceDue;  // DocMoneyText
  std::string BodyKind;     // "P" line items, "M" memo, "D" deposit, "T" deposit offset
  std::string PrintedFlag;  // "Y" when printed or e-mailed before
  std::string DocType;      // invoice: the transaction type letter; PO: the status letter
  std::string PrintNotesFlag;
  std::string AccountNotes;
  std::string RequiredDate, ReceivedDate, PaidDate;  // in the company's date order
  std::string EMailAddress;                          // one address, or several separated by ";"
  std::string AccountBalance;                        // ",0.00", not padded
  std::string EMailedDate;
  std::string TaxRate;
};

// The PO's signature lines and its stored dates (YYYY/MM/DD; received blank until received).
struct TDocPOExtras {
  std::string Signature1, Signature2;
  std::string RequiredYMD, ReceivedYMD;
};

// The single stock line a memo document carries.
struct TDocMemoItem {
  std::string MemoQuantity;
  std::string MemoProduct;
};

inline constexpr int DocLineCount = 100;  // entries 1 to 99 are used, entry 0 never
inline constexpr std::size_t DocLineWidth = 86;
inline constexpr std::size_t DocMemoLineWidth = 74;
inline constexpr std::size_t DocMoneyWidth = 12;

extern TDocHeader DocHeader;
extern std::array<std::string, DocLineCount> DocLines;
extern std::array<std::string, 4> DocAging;  // current, over the first, second and third limit
extern std::string DocMode;                  // "INV", "PSL", "FCP" or "PO": what the printer draws next
extern TDocPOExtras DocPOExtras;
extern TDocMemoItem DocMemoItem;

// The text right-justified in width characters; a longer text is kept whole: cutting an amount
// would drop its digits.
std::string RightJustified(std::string_view text, std::size_t width);

// A money field of the header: the amount ",0.00" right-justified in 12 characters. A longer
// text is kept whole: cutting it would drop digits of the amount.
std::string DocMoneyText(platform::text::Cents amount);
// The sum of stored amount texts in cents; a text that is not an amount raises the conversion
// error that StrToFloat raises.
platform::text::Cents StoredAmountCents(std::string_view stored);

// A stored date YYYY/MM/DD in the company's date order: "M" gives MM/DD/YYYY, "D" DD/MM/YYYY,
// any other order leaves it as stored. A blank date gives "/ " for "M" and "D", as the
// character positions fall.
std::string DocDateText(std::string_view stored, std::string_view dateOrder);

// A typed number with thousands separators and as many decimals as it was typed with; empty for
// an empty text.
std::string TypedDecimalsText(std::string_view number);
// The quantity column: the trimmed text without ",", formatted with thousands separators and as
// many decimals as typed, right-justified in 10; ten blanks when empty.
std::string DocQuantityText(std::string_view quantity);
// An aging amount: the stored amount ",0.00", padded on the right to 12 characters; a longer
// amount is kept whole.
std::string DocAgingText(std::string_view stored);

// The 86-character entry of a detail line from its product code and line text (quantity 1-10,
// description 11-42, price 43-52, taxable flag 53, extension 54-65).
std::string DocLineEntry(std::string_view productCode, std::string_view lineText);

// The parts of a line-item entry, trimmed, as every reader takes them.
struct DocLineParts {
  std::string Product, Quantity, Description, UnitPrice, Taxable, Extension;
};
DocLineParts SplitDocLine(std::string_view entry);
// True when the entry's description columns hold anything: the lines the printers draw.
bool DocLineHasDescription(std::string_view entry);

// Sets entries 1 to 99 to the empty text.
void ClearDocLines();

// True when a detail record's own document number is `number` (both trimmed, any case). The line
// key pads numbers to nine digits, so "1" and "01" share it: only the record's own number tells
// whose line it is.
bool SameDocNumber(std::string_view recordNumber, std::string_view number);

// Fills entries 1, 2, ... from the detail records of the document, found through the line key
// (ZeroPad9(number) + two-digit line number) of the open detail file, in key order. Each record
// is read into `record`; only records whose own number (`numberOf`) is the document's make a
// line, and `take` says whether such a record makes a line and gives its product code and line
// text. At most 99 lines. Throws records::FileUnusable when the walk fails before the end of the
// document's lines: a document printed with part of its lines would pass for the whole.
template <class Record, class NumberOf, class Take>
void LoadDocLines(storage::IsamFileBlock file, int lineKeyNr, std::string_view number, NumberOf numberOf,
                  Take take) {
  ClearDocLines();
  std::string prefix = platform::text::ZeroPad9(number);
  storage::IsamKeyStr key = prefix;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, lineKeyNr, ref, key);
  int entry = 1;
  while (storage::IsamOK && entry < DocLineCount && key.compare(0, prefix.size(), prefix) == 0) {
    Record record{};
    records::ReadRecordAt(file, ref, record);
    std::string product, lineText;
    if (SameDocNumber(numberOf(record), number) && take(record, product, lineText))
      DocLines[entry++] = DocLineEntry(product, lineText);
    storage::IsamNextKey(file, lineKeyNr, ref, key);
  }
  if (!storage::IsamOK && !records::IsEndOfWalk()) records::ThrowFileUnusable(file->DataName);
}

// A memo document's lines: line 1 always, lines 2 to 25 when they hold at least `shortest`
// characters after trimming (an invoice keeps every line that is not blank; a purchase order
// leaves out lines of a single character too), each padded to 74.
void LoadDocMemoLines(const records::MemoRec& memo, std::size_t shortest = 1);
// The memo document's stock line from its detail record.
void SetDocMemoItem(std::string_view lineText, std::string_view productCode);

// The memo lines of a document number from the open memo file of `unit` (invoice or PO memos),
// as LoadDocMemoLines puts them. A number without a memo says "Error reading memo data." and
// leaves every line empty; a memo file that cannot be searched or read throws
// records::FileUnusable.
void LoadDocMemo(storage::DataFileUnit& unit, std::string_view number, std::size_t shortest = 1);

// The memo document's stock line from the detail record filed under exactly `key` (key keyNr of
// the open detail file of `unit`); none when the document has no detail record of its own. Throws
// records::FileUnusable when the file cannot be searched or the record read.
template <class Detail>
void LoadDocMemoItem(storage::DataFileUnit& unit, const storage::IsamKeyStr& key, int keyNr) {
  DocMemoItem = {};
  Detail detail{};
  storage::IsamRecRef ref = 0;
  if (records::ReadIfOnFile(unit, key, keyNr, detail, ref))
    SetDocMemoItem(detail.LineText.Get(), detail.Product.Get());
}

// The company's count of file copies (text "1".."5"; anything else prints none), each printed by
// `print` with DocMode "FCP".
void PrintFileCopies(std::string_view count, const std::function<void()>& print);

}  // namespace documents
