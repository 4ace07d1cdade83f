#pragma once
// Colour values as the company records store them: a Windows colour value, 0x00BBGGRR for a
// plain colour, or 0x80000000 | index for one of the system colours (clWindowText and the
// like), which the font dialogs of the original wrote into the records. Printing maps every
// value to a concrete colour; system colours take the values of the standard Windows scheme.

#include <QColor>
#include <cstdint>

namespace platform::print {

using TColor = int32_t;

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The colour to paint with. clNone and clDefault (which the records may hold for a font
// left at its default) and unknown system indexes become black, so text never disappears.
QColor ColorToQColor(TColor color);

}  // namespace platform::print
