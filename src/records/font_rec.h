#pragma once
// FontRec: a font as the company record stores it, 48 bytes.
//
//   offset  size  field
//        0    33  Name   length byte and up to 32 characters
//       33     3  padding
//       36     4  Size   points, int32 little-endian
//       40     4  Color  Windows colour value 0x00BBGGRR, int32 little-endian
//       44     1  Style  bit 0 bold, bit 1 italic, bit 2 underline, bit 3 strike-out
//       45     3  padding

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "records/record_fields.h"

namespace records {

enum : uint8_t {
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleUnderline = 4,
  FontStyleStrikeOut = 8,
};

struct FontRec {
  ShortString<32> Name;
  uint8_t Padding33[3] = {};
  Int32Field Size;
  Int32Field Color;
  uint8_t Style = 0;
  uint8_t Padding45[3] = {};

  void Set(std::string_view name, int32_t size, int32_t color, uint8_t style) {
    Name.Set(name);
    Size.Set(size);
    Color.Set(color);
    Style = style;
  }
};

static_assert(sizeof(FontRec) == 48 && alignof(FontRec) == 1);
static_assert(std::is_trivially_copyable_v<FontRec> && std::is_standard_layout_v<FontRec>);
static_assert(offsetof(FontRec, Name) == 0);
static_assert(offsetof(FontRec, Size) == 36);
static_assert(offsetof(FontRec, Color) == 40);
static_assert(offsetof(FontRec, Style) == 44);

}  // namespace records
