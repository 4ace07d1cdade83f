#include "platform/print/colors.h"

#include <array>

namespace platform::print {

namespace {

// The standard Windows scheme, by system colour index (COLOR_SCROLLBAR = 0 ... COLOR_MENUBAR
// = 30), as 0xRRGGBB.
constexpr std::array<uint32_t, 31> kSystemColors = {
    0xC8C8C8,  // 0 scroll bar
    0x000000,  // 1 desktop
    0x99B4D1,  // 2 active caption
    0xBFCDDB,  // 3 inactive caption
    0xF0F0F0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x646464,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0x000000,  // 9 caption text
    0xB4B4B4,  // 10 active border
    0xF4F7FC,  // 11 inactive border
    0xABABAB,  // 12 application workspace
    0x3399FF,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3D dark shadow
    0xE3E3E3,  // 22 3D light
    0x000000,  // 23 tooltip text
    0xFFFFE1,  // 24 tooltip background
    0x000000,  // 25 (unused)
    0x0066CC,  // 26 hot-tracked item
    0xB9D1EA,  // 27 active caption gradient
    0xD7E4F2,  // 28 inactive caption gradient
    0x3399FF,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};

}  // namespace

QColor ColorToQColor(TColor color) {
  const uint32_t value = static_cast<uint32_t>(color);
  if (value & 0x80000000u) {
    const uint32_t index = value & 0x00FFFFFFu;
    if (index < kSystemColors.size()) return QColor::fromRgb(kSystemColors[index]);
    return Qt::black;
  }
  if (value > 0x00FFFFFFu) return Qt::black;  // clNone, clDefault and other special values
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace platform::print
