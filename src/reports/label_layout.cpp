#include "reports/label_layout.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "forms/font_choice.h"
#include "platform/files/file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"

namespace reports {

LabelLayoutRec LabelLayout;

namespace {

// The first `size` bytes of the file, or nothing when it has fewer.
template <class Record>
std::optional<Record> ReadRecord(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Record record{};
  if (!in || !in.read(reinterpret_cast<char*>(&record), sizeof record)) return std::nullopt;
  return record;
}

// Written whole, never truncated and written again: a failure or a power cut leaves the old file
// or the new one. A failure is told with the system's reason.
template <class Record>
bool WriteRecord(const std::string& path, const Record& record) {
  int err = 0;
  if (platform::files::WriteWholeFile(path, {reinterpret_cast<const char*>(&record), sizeof record}, &err))
    return true;
  platform::ui::Application->ShowException(
      QStringLiteral("Cannot write %1: %2")
          .arg(platform::text::ToQString(path), QString::fromLocal8Bit(std::strerror(err ? err : EIO))));
  return false;
}

struct LastLayoutRec {
  records::ShortString<255> Path;
};

std::string LastLayoutFile(const std::string& dir) {
  return dir + "/" + LastLayoutFileName;
}

}  // namespace

std::optional<LabelLayoutRec> ReadLayoutFile(const std::string& path) {
  return ReadRecord<LabelLayoutRec>(path);
}

bool WriteLayoutFile(const std::string& path, const LabelLayoutRec& layout) {
  return WriteRecord(path, layout);
}

LabelLayoutRec LayoutAsSaved(LabelLayoutRec layout) {
  if (!layout.ReturnAddress) {
    layout.BitmapPath.Set(" ");
    layout.PrintLine = 0;
  }
  return layout;
}

platform::ui::FontChoice LayoutFont(const LabelLayoutRec& layout) {
  records::FontRec font;
  font.Set(layout.FontName.Get(), layout.FontSize.Get(), layout.FontColor.Get(), layout.FontStyle);
  return forms::FontChoiceOf(font);
}

void SetLayoutFont(LabelLayoutRec& layout, const platform::ui::FontChoice& choice) {
  records::FontRec font;
  forms::StoreFontChoice(font, choice);
  layout.FontName.Set(font.Name.Get());
  layout.FontSize = font.Size;
  layout.FontColor = font.Color;
  layout.FontStyle = font.Style;
}

bool LayoutDiffers(const LabelLayoutRec& boxes, const LabelLayoutRec& layout) {
  using platform::text::TrimBlanks;
  auto differ = [](const auto& a, const auto& b) { return TrimBlanks(a.Get()) != TrimBlanks(b.Get()); };
  return differ(boxes.TopMargin, layout.TopMargin) || differ(boxes.LeftMargin, layout.LeftMargin) ||
         differ(boxes.Columns, layout.Columns) || differ(boxes.Rows, layout.Rows) ||
         differ(boxes.Width, layout.Width) || differ(boxes.Height, layout.Height) ||
         differ(boxes.BitmapPath, layout.BitmapPath) || differ(boxes.LineWidth, layout.LineWidth) ||
         differ(boxes.Caption, layout.Caption) || (boxes.ReturnAddress != 0) != (layout.ReturnAddress != 0);
}

std::string ReadLastLayoutPath(const std::string& dir) {
  const auto last = ReadRecord<LastLayoutRec>(LastLayoutFile(dir));
  return last ? last->Path.Get() : "";
}

bool WriteLastLayoutPath(const std::string& dir, const std::string& path) {
  LastLayoutRec last{};
  last.Path.Set(path);
  return WriteRecord(LastLayoutFile(dir), last);
}

}  // namespace reports
