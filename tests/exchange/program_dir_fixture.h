#pragma once
// A scratch program directory "prog" beside a folder "usb" that stands for the removable drive,
// both under one scratch root, so a test can see every byte written anywhere under the root.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace test_fixtures {

class ProgramDirTest : public ::testing::Test {
 protected:
  ProgramDirTest();
  ~ProgramDirTest() override;

  // The drive folder's path, absolute.
  std::string Usb() const { return (root_.path() / "usb").string(); }
  std::string UsbArchive() const { return Usb() + "/OVBackup.zip"; }

  static void Write(const std::string& path, const std::string& bytes);
  static std::string Read(const std::string& path);
  // The program directory's usual files: the data and side files a backup takes, and two it
  // leaves alone ("readme.txt", "kestrava").
  static std::map<std::string, std::string> UsualFiles();
  static void WriteUsualFiles();
  // The names of UsualFiles that a backup takes, in name order.
  static std::vector<std::string> BackedUpNames();
  // Everything under the scratch root: path relative to it -> bytes ("<folder>" for folders,
  // "<link>" for links).
  std::map<std::string, std::string> Tree() const;

  testing_support::TempDir root_;
};

}  // namespace test_fixtures
