#pragma once
// The PO detail file (file code "PD"): the lines of a purchase order and the receipts booked
// against them, 248 bytes a record. The layout differs from DetailRec's after offset 139. Text
// fields are short texts; a new record starts as zero bytes.
//
//   offset width  field
//     0     4     status, 0 in a live record
//     4    66     line text, text 65 (LineText, as for invoice lines)
//    70     2     record kind, text 1: "P" a PO line, "L" a further receipt against it
//    72     2     document kind, text 1: "O"
//    74     2     -
//    76     6     company number, text 5
//    82    10     PO number, text 9                              key 2
//    92    11     PO date YYYY/MM/DD, text 10                    key 1
//   103    16     product code, text 15
//   119     9     vendor number, text 8
//   128    11     vendor short name, text 10
//   139     2     received, text 1: "Y" or "N"
//   141    11     received date YYYY/MM/DD, " " while open, text 10   key 3
//   152    11     quantity received, text 10: "0" while open
//   163    10     receiver number, text 9 ("Auto-Rec", " " while open) key 5
//   173    21     line key, text 20: ZeroPad9(PO number) + line  key 6
//   194    17     -
//   211     6     line number "01".."99", text 5
//   217    31     -
// Key 4 is PO number, product code and record kind, each trimmed, joined without separators.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/text/short_string.h"
#include "records/detail_file.h"
#include "storage/data_file_unit.h"

namespace records {

struct PODetailRec {
  int32_t Status;
  ShortString<65> LineText;
  ShortString<1> RecordKind;
  ShortString<1> DocumentKind;
  uint8_t Unused74[2];
  ShortString<5> Company;
  ShortString<9> PONumber;
  ShortString<10> PODate;
  ShortString<15> Product;
  ShortString<8> Vendor;
  ShortString<10> ShortName;
  ShortString<1> Received;
  ShortString<10> ReceivedDate;
  ShortString<10> QuantityReceived;
  ShortString<9> ReceiverNumber;
  ShortString<20> LineKey;
  uint8_t Unused194[17];
  ShortString<5> LineNumber;
  uint8_t Unused217[31];
};
static_assert(sizeof(PODetailRec) == 248);
static_assert(offsetof(PODetailRec, Received) == 139 && offsetof(PODetailRec, ReceivedDate) == 141);
static_assert(offsetof(PODetailRec, ReceiverNumber) == 163 && offsetof(PODetailRec, LineKey) == 173);
static_assert(offsetof(PODetailRec, LineNumber) == 211);

extern const storage::DataFileKind PODetailKind;
KESTRAVA_PLAIN_DATA_UNIT(PODetail, PODetailRec)

// A further receipt against a line that was already received: a copy of the line ("P" record)
// that orders nothing ("0" quantity and extension in its line text, description, price and
// taxable mark kept), of kind "L", received "Y" with the receipt's date (YYYY/MM/DD), quantity
// and receiver number. The ordered quantity of a line is so counted once, on its "P" record.
PODetailRec ReceiptRecord(const PODetailRec& line, std::string_view receivedDate, std::string_view quantity,
                          std::string_view receiverNumber);

}  // namespace records
