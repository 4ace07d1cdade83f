#pragma once
// How the records of the older programs become ours: one table per record kind and older
// program. Each row fills one field of the new record, which starts zero-filled:
//
//   Text     the old short text (length byte and characters) at OldOffset, cut to Width
//   Trimmed  the same, blanks trimmed off both ends first
//   Bytes    Width bytes at OldOffset, as they stand (numbers, flags, single bytes)
//   Literal  the text Literal, cut to Width
//   Byte     the single byte ByteValue
//
// Nothing is read past the old record: a length byte is bounded by the bytes the old record
// still holds after it and by the new field's width, and a field that lies wholly or partly
// beyond a shorter old record is taken only as far as the record goes.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace exchange {

enum class FieldRule : uint8_t { Text, Trimmed, Bytes, Literal, Byte };

struct FieldMap {
  uint16_t NewOffset;
  uint16_t Width;  // characters of a text field, bytes of a Bytes field
  FieldRule Rule;
  uint16_t OldOffset;
  const char* Literal;
  uint8_t ByteValue;
};

struct RecordMap {
  int32_t NewLength;
  std::span<const FieldMap> Fields;
};

// The new record of map.NewLength bytes from an old record of any length.
std::vector<uint8_t> ConvertRecord(const RecordMap& map, std::span<const uint8_t> old);

// The short text at offset, bounded by the record and by maxLength.
std::string OldText(std::span<const uint8_t> old, int offset, int maxLength = 255);
// Writes text as the short text at offset of a field of width characters, cut to it (the rest
// of the field zero-filled).
void PutShortText(std::vector<uint8_t>& record, int offset, int width, std::string_view text);

// The maps of the sibling billing product (versions 2 and 3).
extern const RecordMap SiblingCompanyMap;
extern const RecordMap SiblingCustomerMap;
extern const RecordMap SiblingInvoiceMap;
extern const RecordMap SiblingDetailMap;
extern const RecordMap SiblingProductMap;

// The maps of this program's version 2.
extern const RecordMap Version2CompanyMap;
extern const RecordMap Version2ProductMap;
extern const RecordMap Version2DetailMap;
extern const RecordMap Version2PODetailMap;

}  // namespace exchange
