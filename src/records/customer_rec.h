#pragma once
// CustomerRec: one customer of a company's customer file (base name: company number + "C"),
// 916 bytes. Amounts are amount text ("0.00"); Yes/No options are "Y" or "N". The bytes that
// only the conversions of older files write are kept as fields so that nothing is lost when a
// record is read and written back.
//
// Keys of the customer file:
//   1  name, first 30 characters, unique
//   2  customer number, 8 characters, duplicates allowed (the customer dialog keeps numbers
//      unique, the index does not)

#include <array>
#include <cstddef>
#include <type_traits>

#include "records/record_fields.h"
#include "storage/isam_types.h"

namespace records {

struct CustomerRec {
  Int32Field Status;  // status word of the data file, 0 in a live record
  ShortString<8> CustomerNo;
  ShortString<35> CustomerName;
  ShortString<12> CustBalance;  // kept by invoicing and payments, recomputed by aging
  ShortString<10> LastPayment;  // date of the last payment
  ShortString<9> LastInvoice;   // number of the last invoice
  ShortString<25> CustomerType;
  ShortString<1> TaxExempt;     // "Y" exempt
  ShortString<10> CreditLimit;  // amount text, 0 means no limit
  ShortString<35> PaymentTerms;
  ShortString<35> CustBillTo1;
  ShortString<35> CustBillTo2;
  ShortString<35> CustBillTo3;
  ShortString<35> CustBillTo4;
  ShortString<25> Phone1;
  ShortString<35> ShipTo1;
  ShortString<35> ShipTo2;
  ShortString<35> ShipTo3;
  ShortString<35> ShipTo4;
  ShortString<25> Phone2;
  ShortString<10> CustAging1;
  ShortString<10> CustAging2;
  ShortString<10> CustAging3;
  ShortString<10> CustAging4;
  ShortString<200> CustNotes;
  ShortString<1> NotesOnInvoice;
  ShortString<1> NotesOnStatement;
  ShortString<10> ConvertedText1;  // written only by the conversions of older files
  ShortString<1> ConvertedFlag;    // written only by the conversions of older files
  ShortString<10> ShortName;       // "*NONE*" when aging finds it empty
  ShortString<15> MailSortCode;
  ShortString<25> ConvertedText2;  // written only by the conversions of older files
  ShortString<1> CreditHold;       // credit hold / inactive
  ShortString<50> CustEMail;       // one address or several separated by ";"
  uint8_t Reserved866[50] = {};
};

static_assert(sizeof(CustomerRec) == 916 && alignof(CustomerRec) == 1);
static_assert(std::is_trivially_copyable_v<CustomerRec> && std::is_standard_layout_v<CustomerRec>);

static_assert(offsetof(CustomerRec, Status) == 0);
static_assert(offsetof(CustomerRec, CustomerNo) == 4);
static_assert(offsetof(CustomerRec, CustomerName) == 13);
static_assert(offsetof(CustomerRec, CustBalance) == 49);
static_assert(offsetof(CustomerRec, LastPayment) == 62);
static_assert(offsetof(CustomerRec, LastInvoice) == 73);
static_assert(offsetof(CustomerRec, CustomerType) == 83);
static_assert(offsetof(CustomerRec, TaxExempt) == 109);
static_assert(offsetof(CustomerRec, CreditLimit) == 111);
static_assert(offsetof(CustomerRec, PaymentTerms) == 122);
static_assert(offsetof(CustomerRec, CustBillTo1) == 158);
static_assert(offsetof(CustomerRec, CustBillTo2) == 194);
static_assert(offsetof(CustomerRec, CustBillTo3) == 230);
static_assert(offsetof(CustomerRec, CustBillTo4) == 266);
static_assert(offsetof(CustomerRec, Phone1) == 302);
static_assert(offsetof(CustomerRec, ShipTo1) == 328);
static_assert(offsetof(CustomerRec, ShipTo2) == 364);
static_assert(offsetof(CustomerRec, ShipTo3) == 400);
static_assert(offsetof(CustomerRec, ShipTo4) == 436);
static_assert(offsetof(CustomerRec, Phone2) == 472);
static_assert(offsetof(CustomerRec, CustAging1) == 498);
static_assert(offsetof(CustomerRec, CustAging2) == 509);
static_assert(offsetof(CustomerRec, CustAging3) == 520);
static_assert(offsetof(CustomerRec, CustAging4) == 531);
static_assert(offsetof(CustomerRec, CustNotes) == 542);
static_assert(offsetof(CustomerRec, NotesOnInvoice) == 743);
static_assert(offsetof(CustomerRec, NotesOnStatement) == 745);
static_assert(offsetof(CustomerRec, ConvertedText1) == 747);
static_assert(offsetof(CustomerRec, ConvertedFlag) == 758);
static_assert(offsetof(CustomerRec, ShortName) == 760);
static_assert(offsetof(CustomerRec, MailSortCode) == 771);
static_assert(offsetof(CustomerRec, ConvertedText2) == 787);
static_assert(offsetof(CustomerRec, CreditHold) == 813);
static_assert(offsetof(CustomerRec, CustEMail) == 815);
static_assert(offsetof(CustomerRec, Reserved866) == 866);

inline constexpr uint16_t CustomerRecordLength = sizeof(CustomerRec);
inline constexpr std::array<storage::IsamKeyDesc, 2> CustomerKeyDescs = {{{30, 0}, {8, 1}}};

// Key 1: the name, trimmed, padded to 30, upper-cased, cut to 30. Key 2: the number, trimmed,
// padded to 8, upper-cased. Any other key number gives the empty key. Invoicing, payments,
// statements, labels, letters, exports and conversions search the file with these keys too.
storage::IsamKeyStr BuildCustomerKey(const CustomerRec& record, int keyNr);

// The customer picked in the Customer Manager, read by invoice entry, payments, the label
// wizard and the command-line job.
extern CustomerRec SelectedCustomer;

}  // namespace records
