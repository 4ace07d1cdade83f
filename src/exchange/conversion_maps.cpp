#include "exchange/conversion_maps.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "platform/text/key_text.h"
#include "platform/text/short_string.h"
#include "records/company_rec.h"
#include "records/customer_rec.h"
#include "records/detail_file.h"
#include "records/invoice_rec.h"
#include "records/po_detail_file.h"
#include "records/product_rec.h"

namespace exchange {

namespace {

using R = FieldRule;

// The old text at `old`, new field `width` characters wide.
constexpr FieldMap Text(int at, int width, int old) {
  return {uint16_t(at), uint16_t(width), R::Text, uint16_t(old), nullptr, 0};
}
// The old text at the same byte.
constexpr FieldMap Same(int at, int width) {
  return Text(at, width, at);
}
constexpr FieldMap Trimmed(int at, int width, int old) {
  return {uint16_t(at), uint16_t(width), R::Trimmed, uint16_t(old), nullptr, 0};
}
constexpr FieldMap Bytes(int at, int width, int old) {
  return {uint16_t(at), uint16_t(width), R::Bytes, uint16_t(old), nullptr, 0};
}
constexpr FieldMap Literal(int at, const char* text) {
  return {uint16_t(at), uint16_t(std::char_traits<char>::length(text)), R::Literal, 0, text, 0};
}
constexpr FieldMap Byte(int at, uint8_t value) {
  return {uint16_t(at), 1, R::Byte, 0, nullptr, value};
}
// The status word of the data file, copied in every map.
constexpr FieldMap kStatus = Bytes(0, 4, 0);

// Fields of the sibling's company record that stand 144 bytes further on in ours.
constexpr FieldMap Moved144(int at, int width) {
  return Text(at, width, at - 144);
}
constexpr FieldMap Moved144Bytes(int at, int width) {
  return Bytes(at, width, at - 144);
}

// The tables keep one row of the older layout to a line, or a run of like fields together.
// clang-format off
constexpr FieldMap kSiblingCompany[] = {
    kStatus,
    Same(4, 35),  // name
    Same(40, 5),  // number
    Same(57, 35), Same(93, 35), Same(129, 35), Same(165, 35),  // address
    Moved144(345, 35), Moved144(381, 32), Moved144Bytes(416, 4), Moved144Bytes(420, 4), Moved144Bytes(424, 1),
    Moved144Bytes(425, 1), Moved144(677, 78), Moved144(756, 78), Moved144(835, 78), Moved144(914, 78),
    Moved144(993, 9), Moved144(1003, 9), Moved144Bytes(1013, 5), Moved144(1018, 6), Moved144(1025, 35),
    Moved144(1061, 1), Moved144(1063, 1), Moved144(1065, 8), Moved144Bytes(1088, 1), Moved144(1089, 1),
    Moved144(1091, 1), Moved144(1093, 1), Moved144(1095, 1), Moved144Bytes(1097, 1), Moved144(1098, 40),
    Moved144Bytes(1140, 4), Moved144Bytes(1144, 4), Moved144Bytes(1148, 3), Moved144(1151, 1),
    Moved144Bytes(1153, 8), Moved144(1161, 2), Moved144(1164, 2), Moved144(1167, 2), Moved144(1422, 25),
    Moved144(1448, 25), Moved144(1474, 25), Moved144(1500, 25), Moved144(1526, 15), Moved144(1542, 15),
    Moved144(1558, 32), Moved144(1591, 15), Moved144(1607, 15), Moved144(1623, 10), Moved144(1634, 80),
    Moved144Bytes(1715, 3), Moved144(1718, 9), Moved144(2016, 80), Moved144(2097, 2), Moved144(2100, 10),
    Moved144(2111, 10), Moved144(2133, 10), Moved144Bytes(2144, 1), Moved144(2145, 35), Moved144(2181, 1),
    Moved144(2183, 5), Moved144(2189, 5), Moved144(2244, 3), Moved144(2248, 4), Moved144(2253, 4),
    Moved144(2258, 4), Moved144(2263, 1), Moved144(2265, 1), Moved144(2267, 1), Moved144(2269, 1),
    Moved144(2271, 1), Moved144(2273, 10), Moved144(2284, 1), Moved144(2286, 10), Moved144(2297, 2),
    Moved144(2300, 2),
    Text(2983, 25, 2548),
    Text(3121, 50, 2159), Text(3172, 50, 2210), Text(3223, 50, 2261), Text(3274, 50, 2312),
    Text(3325, 1, 2363), Text(3327, 60, 2365), Text(3388, 60, 2426), Text(3449, 60, 2487),
    Text(3510, 25, 2574), Text(3536, 10, 2600), Text(3547, 1, 2611), Text(3549, 1, 2613),
    Text(3555, 3, 2674), Text(3559, 3, 2678), Text(3563, 3, 2682),
    Text(3567, 10, 2690), Text(3578, 10, 2701), Text(3589, 10, 2712),
    Literal(46, "999.99"),
    Literal(426, "ovt8.bmp"),  // background bitmap
    Literal(1077, "01/01/1998"),  // last aging date
    Literal(1171, " "),
    Literal(2303, "50000"),  // next PO number
    Literal(2313, "This Purchase Order is issued under the terms of our Operating Agreement."),
    Literal(2389, "Purchase Agent Signature: _______________________________"),
    Literal(2466, "Purchase Order"),
    Literal(2493, "1"),
    Literal(2495, "PO Copy"),
    Literal(2521, "Description of goods and services purchased:"),
    Literal(2603, "0"), Literal(2608, "0"),
    Literal(2618, "90000"),  // next receiver number
    Literal(2631, "N"),      // backup on exit
    Byte(2659, 1),
    Literal(2667, " "), Literal(2746, " "), Literal(2825, " "), Literal(2904, " "),  // PO messages
    Literal(3009, "Ship Order To:"),
    Literal(3035, "Net 30 Days"),  // PO terms
    Literal(3071, "P"),
    Literal(3073, "N"), Literal(3075, "N"), Literal(3077, "N"), Literal(3079, "N"),
    Literal(3083, "1"),
    Literal(3085, "1000"),  // next vendor number
};

// The sibling's customer fields from byte 743 on stand 40 bytes further on in its record.
constexpr FieldMap Back40(int at, int width) {
  return Text(at, width, at + 40);
}

constexpr FieldMap kSiblingCustomer[] = {
    kStatus,
    Same(4, 8), Same(13, 35), Same(49, 12), Same(62, 10), Same(73, 9), Same(83, 25), Same(109, 1),
    Same(111, 10), Same(122, 35), Same(158, 35), Same(194, 35), Same(230, 35), Same(266, 35), Same(302, 25),
    Same(328, 35), Same(364, 35), Same(400, 35), Same(436, 35), Same(472, 25),
    Same(542, 200),  // notes
    Literal(498, "0"), Literal(509, "0"), Literal(520, "0"), Literal(531, "0"),  // aging amounts
    Back40(743, 1), Back40(745, 1), Back40(747, 10), Back40(758, 1), Back40(760, 10), Back40(771, 15),
    Back40(787, 25), Back40(813, 1),
    Trimmed(815, 50, 855),  // e-mail
};

constexpr FieldMap kSiblingInvoice[] = {
    kStatus,    Same(4, 9),   Same(14, 1),  Same(16, 8),   Same(25, 8),   Same(34, 5),   Same(40, 10),
    Same(51, 1), Same(53, 2), Same(56, 2),  Same(59, 4),   Same(64, 10),  Same(75, 80),  Same(156, 35),
    Same(192, 35), Same(228, 1), Same(230, 10), Same(241, 10), Same(252, 10), Same(263, 10), Same(274, 10),
    Same(285, 10), Same(296, 10), Same(307, 1), Same(309, 1), Same(311, 10), Same(322, 3), Same(326, 3),
};

constexpr FieldMap kSiblingDetail[] = {
    kStatus,
    Same(4, 65),          // line text
    Same(70, 1),
    Text(76, 5, 72),      // company
    Text(82, 9, 78),      // invoice number
    Text(92, 10, 88),     // sort date
    Text(103, 15, 99),    // product
    Text(119, 8, 110),    // customer
    Text(128, 10, 119),   // short name
    Literal(139, "Y"),
    Text(141, 10, 88),    // the sort date again
    Literal(152, "0"),
};

constexpr FieldMap kSiblingProduct[] = {
    kStatus,
    Text(4, 15, 4),     // code
    Text(20, 32, 15),   // invoice description
    Text(53, 10, 48),
    Bytes(64, 1, 59),   // tax on invoice
    Text(65, 10, 60),   // sales price
    Literal(76, "0"),   // stock on hand
    Text(87, 225, 82),  // notes
    Text(313, 10, 233), Text(324, 10, 244),  // setup and changed dates
    Text(335, 1, 255), Text(337, 1, 257), Text(339, 10, 259),
    Literal(350, "0"), Literal(361, "0"),  // list price, cost
    Text(372, 32, 15),  // PO description: the description again
    Literal(405, "F"), Literal(407, "A"),  // pricing method, price update
    Bytes(409, 1, 59),  // tax on PO: the invoice's flag
    Literal(410, "0"),  // pricing percent
    Byte(421, 0), Byte(422, 0),  // non-stock, non-depleting
    Literal(423, "*NONE*"), Literal(444, "*NONE*"),  // storage location, key code
    Literal(455, "0"),  // weight
    Literal(466, " "), Literal(477, " "),  // previous price
    Literal(489, "0"),
    Literal(500, " "),  // price change date
    Literal(511, "0"), Literal(522, "0"), Literal(533, "0"),  // maximum, minimum, target
    Byte(544, 0),        // hold sales
    Literal(545, "0"),   // batch
    Literal(548, " "),   // preferred vendor
};

constexpr FieldMap kVersion2Company[] = {
    Bytes(0, records::CompanyRecordLength, 0),  // the old record whole
    Literal(offsetof(records::CompanyRec, BarCodeType), "3"),
};
static_assert(offsetof(records::CompanyRec, BarCodeType) == 3109);

constexpr FieldMap kVersion2Product[] = {
    kStatus,
    Text(4, 15, 4),  // code
    Text(20, 32, 15), Text(53, 10, 48), Text(65, 10, 60), Text(76, 10, 71), Text(87, 225, 82),
    Bytes(64, 1, 59),  // tax on invoice
    Text(313, 10, 308), Text(324, 10, 319), Text(335, 1, 330), Text(337, 1, 332), Text(339, 10, 334),
    Text(350, 10, 345), Text(361, 10, 356),
    Text(372, 32, 15),  // PO description: the invoice description
    Text(405, 1, 400), Text(407, 1, 402),
    Bytes(409, 1, 59),  // tax on PO: the invoice's flag
    Text(410, 10, 405),
    Bytes(421, 1, 416), Bytes(422, 1, 417),
    Text(423, 20, 418), Text(444, 10, 439),
    Text(455, 10, 450), Text(466, 10, 461), Text(477, 10, 472),
    Bytes(488, 1, 483), Text(489, 10, 484),
    Text(500, 10, 495), Text(511, 10, 506), Text(522, 10, 517), Text(533, 10, 528),
    Bytes(544, 1, 539), Text(545, 2, 540), Text(548, 20, 543),
};

constexpr FieldMap kVersion2Detail[] = {
    kStatus,
    Same(4, 65), Same(70, 1), Same(76, 5), Same(82, 9), Same(92, 10), Same(103, 15),
    Text(119, 8, 114), Text(128, 10, 123), Text(139, 1, 134), Text(141, 10, 136), Text(152, 10, 147),
    Text(163, 10, 158),
};

constexpr FieldMap kVersion2PODetail[] = {
    kStatus,
    Same(4, 65), Same(70, 1), Same(72, 1), Same(74, 1), Same(76, 5), Same(82, 9), Same(92, 10), Same(103, 15),
    Text(119, 8, 114), Text(128, 10, 123), Text(139, 1, 134), Text(141, 10, 136), Text(152, 10, 147),
    Text(163, 9, 158),
};

// clang-format on

// Every row of a map lies inside the new record.
template <size_t N>
constexpr bool FitsRecord(const FieldMap (&fields)[N], size_t length) {
  for (const FieldMap& field : fields) {
    const bool text = field.Rule != R::Bytes && field.Rule != R::Byte;
    if (size_t(field.NewOffset) + field.Width + (text ? 1 : 0) > length) return false;
  }
  return true;
}
static_assert(FitsRecord(kSiblingCompany, sizeof(records::CompanyRec)));
static_assert(FitsRecord(kSiblingCustomer, sizeof(records::CustomerRec)));
static_assert(FitsRecord(kSiblingInvoice, sizeof(records::InvoiceRec)));
static_assert(FitsRecord(kSiblingDetail, sizeof(records::DetailRec)));
static_assert(FitsRecord(kSiblingProduct, sizeof(records::ProductRec)));
static_assert(FitsRecord(kVersion2Company, sizeof(records::CompanyRec)));
static_assert(FitsRecord(kVersion2Product, sizeof(records::ProductRec)));
static_assert(FitsRecord(kVersion2Detail, sizeof(records::DetailRec)));
static_assert(FitsRecord(kVersion2PODetail, sizeof(records::PODetailRec)));

}  // namespace

void PutShortText(std::vector<uint8_t>& record, int offset, int width, std::string_view text) {
  platform::text::WriteShortString(record.data() + offset, size_t(width), text);
}

std::string OldText(std::span<const uint8_t> old, int offset, int maxLength) {
  if (offset < 0 || size_t(offset) >= old.size()) return {};
  const size_t room = old.size() - size_t(offset) - 1;
  return platform::text::ReadShortString(old.data() + offset, std::min(room, size_t(maxLength)));
}

std::vector<uint8_t> ConvertRecord(const RecordMap& map, std::span<const uint8_t> old) {
  std::vector<uint8_t> record(size_t(map.NewLength), 0);
  for (const FieldMap& field : map.Fields) {
    switch (field.Rule) {
      case R::Text:
        PutShortText(record, field.NewOffset, field.Width, OldText(old, field.OldOffset, field.Width));
        break;
      case R::Trimmed:
        PutShortText(record, field.NewOffset, field.Width,
                     platform::text::TrimBlanks(OldText(old, field.OldOffset)));
        break;
      case R::Bytes:
        if (field.OldOffset < old.size()) {
          const size_t count = std::min<size_t>(field.Width, old.size() - field.OldOffset);
          std::memcpy(record.data() + field.NewOffset, old.data() + field.OldOffset, count);
        }
        break;
      case R::Literal:
        PutShortText(record, field.NewOffset, field.Width, field.Literal);
        break;
      case R::Byte:
        record[field.NewOffset] = field.ByteValue;
        break;
    }
  }
  return record;
}

const RecordMap SiblingCompanyMap{sizeof(records::CompanyRec), kSiblingCompany};
const RecordMap SiblingCustomerMap{sizeof(records::CustomerRec), kSiblingCustomer};
const RecordMap SiblingInvoiceMap{sizeof(records::InvoiceRec), kSiblingInvoice};
const RecordMap SiblingDetailMap{sizeof(records::DetailRec), kSiblingDetail};
const RecordMap SiblingProductMap{sizeof(records::ProductRec), kSiblingProduct};
const RecordMap Version2CompanyMap{sizeof(records::CompanyRec), kVersion2Company};
const RecordMap Version2ProductMap{sizeof(records::ProductRec), kVersion2Product};
const RecordMap Version2DetailMap{sizeof(records::DetailRec), kVersion2Detail};
const RecordMap Version2PODetailMap{sizeof(records::PODetailRec), kVersion2PODetail};

}  // namespace exchange
