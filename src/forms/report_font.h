#pragma once
// The report font: the font of the report viewer's grid, kept in "RptFont.Dat", in which the
// managers' printed sheets are printed too (titles at twice its size).
//
// RptFont.Dat, 48 bytes, little-endian, the layout of records::FontRec (font_rec.h):
//   offset 0   name, a length byte and up to 32 characters (36 bytes with padding)
//   offset 36  size in points, int32
//   offset 40  colour, a Windows colour value, int32
//   offset 44  style bits: 1 bold, 2 italic, 4 underline, 8 strike-out
// Without the file (or with a short one, no name, or a size outside the font dialog's range) the
// font is Arial, 10 points, bold, window-text colour.

#include <string_view>

#include "platform/print/canvas.h"
#include "records/font_rec.h"

namespace forms {

inline constexpr std::string_view ReportFontFileName = "RptFont.Dat";

records::FontRec LoadReportFont();

// A font of the company record (or the report font) as the printer's canvas takes it.
platform::print::TFont PrinterFontOf(const records::FontRec& font);

}  // namespace forms
