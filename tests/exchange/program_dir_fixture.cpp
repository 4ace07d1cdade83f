#include "program_dir_fixture.h"

#include <fstream>
#include <sstream>

namespace test_fixtures {

namespace fs = std::filesystem;

ProgramDirTest::ProgramDirTest() {
  fs::create_directory(root_.path() / "prog");
  fs::create_directory(root_.path() / "usb");
  fs::current_path(root_.path() / "prog");
}

ProgramDirTest::~ProgramDirTest() {
  fs::current_path(root_.path());
}

void ProgramDirTest::Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ProgramDirTest::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::map<std::string, std::string> ProgramDirTest::UsualFiles() {
  std::map<std::string, std::string> files;
  int n = 0;
  for (const char* name : {"ovcomp.Dat", "ovcomp.IX", "LastCo.Dat", "1C.DAT", "1C.IX", "1P.DAT", "1P.IX",
                           "1I.DAT", "1I.IX", "RptFont.Dat", "Label.Dat", "Lastlbl.DAT", "Avery.LBL",
                           "Queue.LST", "Letter.RTF", "Logo.bmp", "1C.SAV", "readme.txt", "kestrava"}) {
    std::string bytes;
    for (int i = 0; i < 200 + 37 * n; ++i) bytes += static_cast<char>((i * 31 + n * 7) % 256);
    files[name] = std::string(name) + bytes;
    ++n;
  }
  return files;
}

void ProgramDirTest::WriteUsualFiles() {
  for (const auto& [name, bytes] : UsualFiles()) Write(name, bytes);
}

std::vector<std::string> ProgramDirTest::BackedUpNames() {
  return {"1C.DAT",   "1C.IX",      "1C.SAV",    "1I.DAT",     "1I.IX",       "1P.DAT",
          "1P.IX",    "Avery.LBL",  "Label.Dat", "LastCo.Dat", "Lastlbl.DAT", "Letter.RTF",
          "Logo.bmp", "ovcomp.Dat", "ovcomp.IX", "Queue.LST",  "RptFont.Dat"};
}

std::map<std::string, std::string> ProgramDirTest::Tree() const {
  std::map<std::string, std::string> tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root_.path())) {
    std::string relative = fs::relative(entry.path(), root_.path()).string();
    if (entry.is_symlink()) {
      tree[relative] = "<link>";
    } else if (entry.is_directory()) {
      tree[relative] = "<folder>";
    } else {
      tree[relative] = Read(entry.path().string());
    }
  }
  return tree;
}

}  // namespace test_fixtures
