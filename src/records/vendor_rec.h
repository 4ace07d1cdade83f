#pragma once
// VendorRec: one vendor of a company's vendor file (base name: company number + "V"), 952 bytes.
// Number, name, addresses, phones, notes and e-mail sit at the same offsets as in CustomerRec,
// and the two keys are built the same way. Amounts are amount text ("0.00"); Yes/No options
// are "Y" or "N". A new record starts as zero bytes.
//
//   offset  width  field
//      0      4    status word, 0 in a live record
//      4      9    vendor number, text 8                        key 2
//     13     36    name, text 35                                key 1
//     49     13    balance, text 12 ("0.00" on add)
//     62     11    last payment, text 10
//     73     10    -
//     83     26    vendor type, text 25
//    109      2    tax exempt, text 1
//    111     11    -
//    122     36    PO payment terms, text 35
//    158    4x36   order address lines 1-4, text 35 each
//    302     26    phone 1, text 25
//    328    4x36   shipping address lines 1-4, text 35 each
//    472     26    phone 2, text 25
//    498    4x11   four amount fields, text 10 each ("0.00" on add)
//    542    201    notes / comments, text 200
//    743      2    print notes on POs, text 1
//    745      2    second notes flag, text 1 (always "N")
//    747     13    -
//    760     11    short name, text 10
//    771     16    mail list sort code, text 15
//    787     26    -
//    813      2    hold / inactive, text 1
//    815     51    e-mail address, text 50
//    866     86    -
//
// Keys of the vendor file:
//   1  name, first 30 characters, unique
//   2  vendor number, 8 characters, duplicates allowed (the vendor dialog keeps numbers unique,
//      the index does not)

#include <array>
#include <cstddef>
#include <type_traits>

#include "records/record_fields.h"
#include "storage/isam_types.h"

namespace records {

struct VendorRec {
  Int32Field Status;  // status word of the data file, 0 in a live record
  ShortString<8> VendorNo;
  ShortString<35> VendorName;
  ShortString<12> Balance;
  ShortString<10> LastPayment;
  uint8_t Reserved73[10] = {};
  ShortString<25> VendorType;
  ShortString<1> TaxExempt;
  uint8_t Reserved111[11] = {};
  ShortString<35> POTerms;
  ShortString<35> OrderAddr1;
  ShortString<35> OrderAddr2;
  ShortString<35> OrderAddr3;
  ShortString<35> OrderAddr4;
  ShortString<25> Phone1;
  ShortString<35> ShipTo1;
  ShortString<35> ShipTo2;
  ShortString<35> ShipTo3;
  ShortString<35> ShipTo4;
  ShortString<25> Phone2;
  ShortString<10> Amount1;
  ShortString<10> Amount2;
  ShortString<10> Amount3;
  ShortString<10> Amount4;
  ShortString<200> VendNotes;
  ShortString<1> NotesOnPO;
  ShortString<1> SecondNotesFlag;
  uint8_t Reserved747[13] = {};
  ShortString<10> ShortName;
  ShortString<15> MailSortCode;
  uint8_t Reserved787[26] = {};
  ShortString<1> Hold;  // hold / inactive
  ShortString<50> VendEMail;
  uint8_t Reserved866[86] = {};
};

static_assert(sizeof(VendorRec) == 952 && alignof(VendorRec) == 1);
static_assert(std::is_trivially_copyable_v<VendorRec> && std::is_standard_layout_v<VendorRec>);

static_assert(offsetof(VendorRec, VendorNo) == 4);
static_assert(offsetof(VendorRec, VendorName) == 13);
static_assert(offsetof(VendorRec, Balance) == 49);
static_assert(offsetof(VendorRec, LastPayment) == 62);
static_assert(offsetof(VendorRec, VendorType) == 83);
static_assert(offsetof(VendorRec, TaxExempt) == 109);
static_assert(offsetof(VendorRec, POTerms) == 122);
static_assert(offsetof(VendorRec, OrderAddr1) == 158);
static_assert(offsetof(VendorRec, Phone1) == 302);
static_assert(offsetof(VendorRec, ShipTo1) == 328);
static_assert(offsetof(VendorRec, Phone2) == 472);
static_assert(offsetof(VendorRec, Amount1) == 498);
static_assert(offsetof(VendorRec, Amount4) == 531);
static_assert(offsetof(VendorRec, VendNotes) == 542);
static_assert(offsetof(VendorRec, NotesOnPO) == 743);
static_assert(offsetof(VendorRec, SecondNotesFlag) == 745);
static_assert(offsetof(VendorRec, ShortName) == 760);
static_assert(offsetof(VendorRec, MailSortCode) == 771);
static_assert(offsetof(VendorRec, Hold) == 813);
static_assert(offsetof(VendorRec, VendEMail) == 815);
static_assert(offsetof(VendorRec, Reserved866) == 866);

inline constexpr std::array<storage::IsamKeyDesc, 2> VendorKeyDescs = {{{30, 0}, {8, 1}}};

// Key 1: the name, trimmed, padded to 30, upper-cased, cut to 30. Key 2: the number, trimmed,
// padded to 8, upper-cased. Any other key number gives the empty key. Purchasing, labels,
// exports and imports search the file with these keys.
storage::IsamKeyStr BuildVendorKey(const VendorRec& record, int keyNr);

// The order address and the shipping address, line by line.
std::array<std::string, 4> OrderAddressLines(const VendorRec& vendor);
std::array<std::string, 4> ShippingAddressLines(const VendorRec& vendor);
std::array<ShortString<35>*, 4> OrderAddressFields(VendorRec& vendor);
std::array<ShortString<35>*, 4> ShippingAddressFields(VendorRec& vendor);

// The vendor picked in the Vendor Manager, read by PO entry and the label wizard; PO entry puts
// the PO's vendor here before it shows the manager, so that the manager opens on it.
extern VendorRec VendorBuf;

}  // namespace records
