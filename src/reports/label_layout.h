#pragma once
// A label layout: where the labels sit on the sheet, their pitch, the font, and the return
// address block. Kept as one 444-byte record in a layout file (".LBL"); "Lastlbl.DAT" remembers
// the path of the last layout opened or saved.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/common_dialogs.h"
#include "records/record_fields.h"

namespace reports {

// The layout file's record; the numbers are the texts of the layout boxes.
struct LabelLayoutRec {
  records::ShortString<50> Description;
  records::ShortString<3> LeftMargin;  // printer dots
  records::ShortString<3> TopMargin;
  records::ShortString<1> Columns;
  records::ShortString<2> Rows;
  records::ShortString<4> Width;  // printer dots, spacing between labels included
  records::ShortString<4> Height;
  records::ShortString<32> FontName;
  uint8_t Reserved107 = 0;
  records::Int32Field FontSize;   // points
  records::Int32Field FontColor;  // colour value
  uint8_t FontStyle = 0;          // 1 bold, 2 italic, 4 underline, 8 strike-out
  records::Flag UseShipping = 0;
  records::Flag ReturnAddress = 0;
  records::ShortString<255> BitmapPath;  // a single blank when the return address is off
  uint8_t Reserved375[51] = {};
  records::Flag PrintLine = 0;  // 0 when the return address is off
  records::ShortString<1> LineWidth;
  uint8_t Reserved429[2] = {};
  records::ShortString<10> Caption;
  uint8_t Reserved442[2] = {};
};

static_assert(sizeof(LabelLayoutRec) == 444 && alignof(LabelLayoutRec) == 1);
static_assert(offsetof(LabelLayoutRec, FontName) == 74);
static_assert(offsetof(LabelLayoutRec, FontSize) == 108);
static_assert(offsetof(LabelLayoutRec, BitmapPath) == 119);
static_assert(offsetof(LabelLayoutRec, PrintLine) == 426);
static_assert(offsetof(LabelLayoutRec, Caption) == 431);

extern LabelLayoutRec LabelLayout;

constexpr const char* LastLayoutFileName = "Lastlbl.DAT";
constexpr const char* LayoutCopyFileName = "Label.Dat";

// The layout of a file; nothing when the file is missing, unreadable or shorter than a record.
std::optional<LabelLayoutRec> ReadLayoutFile(const std::string& path);
// The layout and the remembered path are written whole (a temporary file renamed over the old
// one); false when the file cannot be written, after the user was told why.
bool WriteLayoutFile(const std::string& path, const LabelLayoutRec& layout);
// Without the return address the bitmap path is a single blank and the line flag 0.
LabelLayoutRec LayoutAsSaved(LabelLayoutRec layout);

// The layout's font as the font dialog takes it, and back (the name cut to 32 characters).
platform::ui::FontChoice LayoutFont(const LabelLayoutRec& layout);
void SetLayoutFont(LabelLayoutRec& layout, const platform::ui::FontChoice& font);

// Whether the boxes differ from the layout in what printing uses: the margins, the sheet, the
// return address with its bitmap, line width and caption; texts compared trimmed.
bool LayoutDiffers(const LabelLayoutRec& boxes, const LabelLayoutRec& layout);

// The path kept in "Lastlbl.DAT" (in dir); empty when there is none.
std::string ReadLastLayoutPath(const std::string& dir);
bool WriteLastLayoutPath(const std::string& dir, const std::string& path);

}  // namespace reports
