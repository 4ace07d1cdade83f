#pragma once
// The invoice detail file (file code "D"): one DetailRec per non-empty line of an invoice, beside
// the invoice file. Text fields are short texts (length byte and room for N characters); a new
// record starts as 224 zero bytes, so bytes no field covers stay 0.
//
//   offset width  field
//     0     4     status, 0 in a live record
//     4    66     line text, text 65 (LineText: quantity, description, price, taxable, extension)
//    70     2     source flag, text 1: "P" line items, "M" the line of a memo invoice
//    72     2     document kind, text 1: "I"
//    74     2     -
//    76     6     company number, text 5
//    82    10     invoice number, text 9                       key 2
//    92    11     invoice date YYYY/MM/DD, text 10             key 1
//   103    16     product code, text 15
//   119     9     customer number, text 8
//   128    11     customer short name, text 10
//   139    13     -
//   152    11     unit cost, text 10
//   163    11     -
//   174    21     line key, text 20: ZeroPad9(invoice) + line  key 3
//   195    23     -
//   218     3     line number "01".."99", text 2
//   221     3     -

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text/key_text.h"
#include "platform/text/short_string.h"
#include "storage/data_file_unit.h"

namespace records {

using platform::text::ShortString;
using platform::text::ZeroPad9;

struct DetailRec {
  int32_t Status;
  ShortString<65> LineText;
  ShortString<1> SourceFlag;
  ShortString<1> DocumentKind;
  uint8_t Unused74[2];
  ShortString<5> Company;
  ShortString<9> InvoiceNumber;
  ShortString<10> Date;
  ShortString<15> Product;
  ShortString<8> Customer;
  ShortString<10> ShortName;
  uint8_t Unused139[13];
  ShortString<10> UnitCost;
  uint8_t Unused163[11];
  ShortString<20> LineKey;
  uint8_t Unused195[23];
  ShortString<2> LineNumber;
  uint8_t Unused221[3];
};
static_assert(sizeof(DetailRec) == 224);
static_assert(offsetof(DetailRec, InvoiceNumber) == 82 && offsetof(DetailRec, Date) == 92);
static_assert(offsetof(DetailRec, UnitCost) == 152 && offsetof(DetailRec, LineKey) == 174);
static_assert(offsetof(DetailRec, LineNumber) == 218);

extern const storage::DataFileKind DetailKind;
KESTRAVA_PLAIN_DATA_UNIT(Detail, DetailRec)

// The widths of the line text's columns.
constexpr size_t kLineQuantityWidth = 10;
constexpr size_t kLineDescriptionWidth = 32;
constexpr size_t kLinePriceWidth = 10;
constexpr size_t kLineTaxableWidth = 1;
constexpr size_t kLineExtensionWidth = 10;

// The line text of an invoice or PO line: each part padded with blanks to its column's width. A
// part longer than its column is cut to it, so the later columns always stand where readers of
// the line expect them.
std::string LineText(std::string_view quantity, std::string_view description, std::string_view price,
                     std::string_view taxable, std::string_view extension);

// "01".."99": the line number as stored, so that line keys sort in numeric order.
std::string LineNumberText(int line);

// The key that orders the lines of a document: ZeroPad9(number) followed by the line number.
std::string LineKeyText(std::string_view documentNumber, int line);

}  // namespace records
