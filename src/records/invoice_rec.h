#pragma once
// InvoiceRec: one record of a company's invoice file (base name: company number + "I"),
// 544 bytes. Invoices, payments, deposits and repeat-billing masters share it; the transaction
// type tells them apart. Amounts are text with two decimals and no separators ("0.00"); dates
// are text. The one-character field at 307 and the three characters at 322 are written only by
// the conversion of older files and kept so that nothing is lost when a record is rewritten.
//
// Keys of the invoice file, every one allowing duplicates (text width / index key length):
//   1  invoice number, 9 / 9             4  key code, 8 / 10
//   2  customer number, 8 / 8            5  type and invoice number, 10 / 10
//   3  sort date "YYYY/MM/DD", 10 / 10   6  date paid "YYYY/MM/DD", 10 / 10 (blank while open)
// The key code's index is wider than its text; files made by earlier versions declare it so.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <type_traits>

#include "records/record_fields.h"
#include "storage/isam_types.h"

namespace records {

using records::Int32Field;
using records::ShortString;

struct InvoiceRec {
  Int32Field Status;         // status word of the data file, 0 in a live record
  ShortString<9> InvoiceNo;  // also the item number of a payment or deposit
  ShortString<1> TransactionType;
  ShortString<8> KeyCode;  // "None" by default; "Deposit", "Partial", "Interest"
  ShortString<8> InvCustomerNo;
  ShortString<5> CompanyNumber;
  ShortString<10> InvoiceDate;  // as typed, in the company's date order
  ShortString<1> PrintedMark;   // "Y" once printed or e-mailed
  ShortString<2> Month;         // of the invoice date, two digits
  ShortString<2> Day;
  ShortString<4> Year;
  ShortString<10> SortDate;  // "YYYY/MM/DD"
  ShortString<80> Notes;     // notes / reference
  ShortString<35> Terms;
  ShortString<35> StatementComment;
  ShortString<1> Body;  // "P" line items, "M" memo, "D" deposit
  ShortString<10> ShortName;
  ShortString<10> NetAmount;
  ShortString<10> TaxAmount;
  ShortString<10> InvTotal;
  ShortString<10> InvPaid;
  ShortString<10> AmountDue;
  ShortString<10> DatePaid;      // "YYYY/MM/DD", empty while open
  ShortString<1> ConvertedChar;  // written only by the conversion of older files
  ShortString<1> SettledFlag;    // "P" when settled
  ShortString<10> NextDueDate;   // repeat-billing masters only
  ShortString<3> ConvertedText;  // written only by the conversion of older files
  ShortString<9> CreatedDate;    // repeat-billing masters only
  ShortString<10> EMailedDate;
  ShortString<10> TaxRate;  // percent, "0" when none was given
  uint8_t Unused358[41] = {};
  ShortString<35> ShipTo1;
  ShortString<35> ShipTo2;
  ShortString<35> ShipTo3;
  ShortString<35> ShipTo4;
  uint8_t Unused543[1] = {};
};

static_assert(sizeof(InvoiceRec) == 544 && alignof(InvoiceRec) == 1);
static_assert(std::is_trivially_copyable_v<InvoiceRec> && std::is_standard_layout_v<InvoiceRec>);

static_assert(offsetof(InvoiceRec, Status) == 0);
static_assert(offsetof(InvoiceRec, InvoiceNo) == 4);
static_assert(offsetof(InvoiceRec, TransactionType) == 14);
static_assert(offsetof(InvoiceRec, KeyCode) == 16);
static_assert(offsetof(InvoiceRec, InvCustomerNo) == 25);
static_assert(offsetof(InvoiceRec, CompanyNumber) == 34);
static_assert(offsetof(InvoiceRec, InvoiceDate) == 40);
static_assert(offsetof(InvoiceRec, PrintedMark) == 51);
static_assert(offsetof(InvoiceRec, Month) == 53);
static_assert(offsetof(InvoiceRec, Day) == 56);
static_assert(offsetof(InvoiceRec, Year) == 59);
static_assert(offsetof(InvoiceRec, SortDate) == 64);
static_assert(offsetof(InvoiceRec, Notes) == 75);
static_assert(offsetof(InvoiceRec, Terms) == 156);
static_assert(offsetof(InvoiceRec, StatementComment) == 192);
static_assert(offsetof(InvoiceRec, Body) == 228);
static_assert(offsetof(InvoiceRec, ShortName) == 230);
static_assert(offsetof(InvoiceRec, NetAmount) == 241);
static_assert(offsetof(InvoiceRec, TaxAmount) == 252);
static_assert(offsetof(InvoiceRec, InvTotal) == 263);
static_assert(offsetof(InvoiceRec, InvPaid) == 274);
static_assert(offsetof(InvoiceRec, AmountDue) == 285);
static_assert(offsetof(InvoiceRec, DatePaid) == 296);
static_assert(offsetof(InvoiceRec, ConvertedChar) == 307);
static_assert(offsetof(InvoiceRec, SettledFlag) == 309);
static_assert(offsetof(InvoiceRec, NextDueDate) == 311);
static_assert(offsetof(InvoiceRec, ConvertedText) == 322);
static_assert(offsetof(InvoiceRec, CreatedDate) == 326);
static_assert(offsetof(InvoiceRec, EMailedDate) == 336);
static_assert(offsetof(InvoiceRec, TaxRate) == 347);
static_assert(offsetof(InvoiceRec, ShipTo1) == 399);
static_assert(offsetof(InvoiceRec, ShipTo2) == 435);
static_assert(offsetof(InvoiceRec, ShipTo3) == 471);
static_assert(offsetof(InvoiceRec, ShipTo4) == 507);

inline constexpr uint16_t InvoiceRecordLength = sizeof(InvoiceRec);
inline constexpr std::array<storage::IsamKeyDesc, 6> InvoiceKeyDescs = {
    {{9, 1}, {8, 1}, {10, 1}, {10, 1}, {10, 1}, {10, 1}}};

// Keys 1 to 6 as listed above. Numbers, codes and the type are trimmed and upper-cased; the two
// dates are taken as stored, so an open record's key 6 is ten blanks and sorts first. Any other
// key number gives the empty key. Also the key routine of the reindex.
storage::IsamKeyStr BuildInvoiceKey(const InvoiceRec& record, int keyNr);

// The one-letter type of a record of the invoice file.
enum class TransactionType : char {
  RegularInvoice = 'I',
  RepeatBillingMaster = 'R',  // never an open item
  GeneratedFromMaster = 'G',
  WithPartialPayments = 'Z',
  PartialPayment = 'X',  // against a type Z invoice
  DepositOnAccount = 'D',
  DepositTaken = 'T',  // a payment that takes (offsets) a deposit
};

// The record's type, none for a letter that is none of the seven.
std::optional<TransactionType> TransactionTypeOf(const InvoiceRec& record);

// The text the Invoice Manager shows for the record's type ("I - Regular Invoice"); a repeat-
// billing master names its created date. Empty for an unknown type.
std::string TransactionTypeDescription(const InvoiceRec& record);

// A record is an open item while it is not settled and something is still due; a repeat-billing
// master is a template for invoices, never an open item itself.
[[nodiscard]] bool IsOpenItem(const InvoiceRec& record);

// The record shared by the Invoice Manager, invoice entry, payments, the interest wizard and the
// purge.
extern InvoiceRec InvoiceBuf;

}  // namespace records
