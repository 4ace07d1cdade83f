#pragma once
// The members that the record layouts are made of. Every one has byte alignment, so a record
// struct lays its members out exactly at the offsets of the files, with no packing pragmas and
// no padding the compiler could add.
//
//   ShortString<N>  a length byte and room for N characters (N + 1 bytes)
//   Flag            one byte, 1 on and 0 off
//   Int32Field      a signed 32-bit integer, little-endian

#include <QtEndian>
#include <cstdint>

#include "platform/text/short_string.h"

namespace records {

using platform::text::ShortString;
using Flag = uint8_t;

struct Int32Field {
  uint8_t Bytes[4] = {};

  int32_t Get() const { return qFromLittleEndian<qint32>(Bytes); }
  void Set(int32_t value) { qToLittleEndian<qint32>(value, Bytes); }
};

static_assert(sizeof(Int32Field) == 4 && alignof(Int32Field) == 1);

}  // namespace records
