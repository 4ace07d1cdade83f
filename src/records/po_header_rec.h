#pragma once
// POHeaderRec: the header of one purchase order in a company's PO header file (base name:
// company number + "O"), 684 bytes. Its lines live in the PO detail file, the text of a memo PO
// in the PO memo file. Amounts are text with two decimals and no separators ("0.00"); sortable
// dates are "YYYY/MM/DD". A new header starts as zero bytes; the gaps are never written.
//
//   offset  width  field
//      0      4    status word, 0 in a live record
//      4     10    PO number, text 9                            key 1, key 5
//     14      2    status, text 1: "O"                          key 5
//     16      9    key code, text 8 ("None" by default)         key 4
//     25      9    vendor number, text 8                        key 2
//     34      6    company number, text 5
//     40     11    PO date as typed, text 10 (company date order)
//     51      2    printed, text 1: "Y" once printed or e-mailed
//     53      3    PO month, text 2
//     56      3    PO day, text 2
//     59      5    PO year, text 4
//     64     11    PO sort date YYYY/MM/DD, text 10             key 3
//     75     81    notes, text 80
//    156     36    terms, text 35
//    192     36    -
//    228      2    PO kind, text 1: "P" line items, "M" memo
//    230     11    vendor short name, text 10
//    241     11    net, text 10
//    252     11    tax, text 10
//    263     11    total, text 10
//    274      2    -
//    276     76    signature line 1, text 75
//    352     76    signature line 2, text 75
//    428      2    entered as received, text 1: "Y" or "N"
//    430     11    received date YYYY/MM/DD, " " while not received, text 10   key 6
//    441     11    date required YYYY/MM/DD, text 10            key 7
//    452      6    -
//    458     11    e-mailed date, text 10
//    469     46    -
//    515     11    tax rate, text 10 (percent; "0" when left blank)
//    526     11    -
//    537    4x36   ship-to lines 1-4, text 35 each
//    681      3    -
//
// Keys of the PO header file, every one allowing duplicates (the PO number is kept unique by the
// entry form, not the index):
//   1  PO number, 9          4  key code, 8               7  date required, 10
//   2  vendor number, 8      5  status and PO number, 10
//   3  sort date, 10         6  received date, 10 (ten blanks while open)

#include <array>
#include <cstddef>
#include <type_traits>

#include "records/record_fields.h"
#include "storage/isam_types.h"

namespace records {

struct POHeaderRec {
  Int32Field Status;  // status word of the data file, 0 in a live record
  ShortString<9> PONumber;
  ShortString<1> POStatus;  // "O"
  ShortString<8> KeyCode;
  ShortString<8> VendorNo;
  ShortString<5> CompanyNumber;
  ShortString<10> PODate;  // as typed, in the company's date order
  ShortString<1> Printed;
  ShortString<2> Month;
  ShortString<2> Day;
  ShortString<4> Year;
  ShortString<10> SortDate;
  ShortString<80> Notes;
  ShortString<35> Terms;
  uint8_t Unused192[36] = {};
  ShortString<1> POKind;
  ShortString<10> ShortName;
  ShortString<10> NetAmount;
  ShortString<10> TaxAmount;
  ShortString<10> POTotal;
  uint8_t Unused274[2] = {};
  ShortString<75> Signature1;
  ShortString<75> Signature2;
  ShortString<1> EnteredReceived;
  ShortString<10> ReceivedDate;
  ShortString<10> DateRequired;
  uint8_t Unused452[6] = {};
  ShortString<10> EMailedDate;
  uint8_t Unused469[46] = {};
  ShortString<10> TaxRate;
  uint8_t Unused526[11] = {};
  ShortString<35> ShipTo1;
  ShortString<35> ShipTo2;
  ShortString<35> ShipTo3;
  ShortString<35> ShipTo4;
  uint8_t Unused681[3] = {};
};

static_assert(sizeof(POHeaderRec) == 684 && alignof(POHeaderRec) == 1);
static_assert(std::is_trivially_copyable_v<POHeaderRec> && std::is_standard_layout_v<POHeaderRec>);

static_assert(offsetof(POHeaderRec, PONumber) == 4);
static_assert(offsetof(POHeaderRec, POStatus) == 14);
static_assert(offsetof(POHeaderRec, KeyCode) == 16);
static_assert(offsetof(POHeaderRec, VendorNo) == 25);
static_assert(offsetof(POHeaderRec, CompanyNumber) == 34);
static_assert(offsetof(POHeaderRec, PODate) == 40);
static_assert(offsetof(POHeaderRec, Printed) == 51);
static_assert(offsetof(POHeaderRec, SortDate) == 64);
static_assert(offsetof(POHeaderRec, Notes) == 75);
static_assert(offsetof(POHeaderRec, Terms) == 156);
static_assert(offsetof(POHeaderRec, POKind) == 228);
static_assert(offsetof(POHeaderRec, POTotal) == 263);
static_assert(offsetof(POHeaderRec, Signature1) == 276);
static_assert(offsetof(POHeaderRec, EnteredReceived) == 428);
static_assert(offsetof(POHeaderRec, ReceivedDate) == 430);
static_assert(offsetof(POHeaderRec, DateRequired) == 441);
static_assert(offsetof(POHeaderRec, EMailedDate) == 458);
static_assert(offsetof(POHeaderRec, TaxRate) == 515);
static_assert(offsetof(POHeaderRec, ShipTo1) == 537);
static_assert(offsetof(POHeaderRec, Unused681) == 681);

inline constexpr std::array<storage::IsamKeyDesc, 7> POHeaderKeyDescs = {
    {{9, 1}, {8, 1}, {10, 1}, {8, 1}, {10, 1}, {10, 1}, {10, 1}}};

// Keys 1 to 7 as listed above. Numbers, codes and the status are trimmed and upper-cased; the
// three dates are taken as stored, so an open PO's key 6 is ten blanks and sorts first. Any
// other key number gives the empty key. Also the key routine of the reindex.
storage::IsamKeyStr BuildPOHeaderKey(const POHeaderRec& record, int keyNr);

// A PO counts as received once its received date holds more than five characters (trimmed).
[[nodiscard]] bool IsPOReceived(const POHeaderRec& record);

// The header shared by the PO Manager, PO entry, receiving, the purge, documents and reports.
extern POHeaderRec POHeaderBuf;

}  // namespace records
