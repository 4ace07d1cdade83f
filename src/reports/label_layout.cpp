#include "reports/label_layout.h"

#include <cstring>
#include <fstream>

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

template <class Record>
bool WriteRecord(const std::string& path, const Record& record) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&record), sizeof record);
  out.close();
  return static_cast<bool>(out);
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
