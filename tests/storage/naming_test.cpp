// File names built from a file set's base name.

#include "storage/naming.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "storage_fixture.h"

namespace storage::testing {
namespace {

TEST(NamingTest, ExtensionReplacesTheLastDotOfTheLastComponentOrIsAppended) {
  EXPECT_EQ(IsamFileName("12C", "DAT"), "12C.DAT");
  EXPECT_EQ(IsamFileName("ABC.XYZ", "DAT"), "ABC.DAT");
  EXPECT_EQ(IsamFileName("A.B.C", "IX"), "A.B.IX");
  EXPECT_EQ(IsamFileName("ABC.", "DAT"), "ABC.DAT");
  EXPECT_EQ(IsamFileName("DIR.X\\ABC", "DAT"), "DIR.X\\ABC.DAT");
  EXPECT_EQ(IsamFileName("DIR.X/ABC", "DAT"), "DIR.X/ABC.DAT");
  EXPECT_EQ(IsamFileName("DIR.X\\ABC.OLD", "SAV"), "DIR.X\\ABC.SAV");
}

TEST(NamingTest, SemicolonSplitsDataAndIndexNames) {
  EXPECT_EQ(IsamDataPart("A;B"), "A");
  EXPECT_EQ(IsamIndexPart("A;B"), "B");
  EXPECT_EQ(IsamDataPart("A;B;C"), "A");
  EXPECT_EQ(IsamIndexPart("A;B;C"), "B;C");
  EXPECT_EQ(IsamDataPart("12PD"), "12PD");
  EXPECT_EQ(IsamIndexPart("12PD"), "12PD");
}

TEST(NamingTest, NamesAreCutToSixtyFourCharacters) {
  std::string base(62, 'N');
  EXPECT_EQ(IsamFileName(base, "DAT"), base + ".D");
  EXPECT_EQ(IsamFileName(std::string(100, 'N'), "DAT").size(), 64u);
  // The base name itself is taken up to 192 characters before the split.
  std::string longBase = std::string(192, 'D') + ";X";
  EXPECT_EQ(IsamIndexPart(longBase), std::string(192, 'D'));
}

class NamedFilesTest : public StorageTest {};

TEST_F(NamedFilesTest, TwoPartNamesCreateTheirFilesAndExistingFilesAreFoundWhateverTheCase) {
  Create("A;B", 40, {8});
  EXPECT_TRUE(std::filesystem::exists(dir_.File("A.DAT")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("B.IX")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("A.IX")));

  Create("abc.xyz", 40);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("abc.DAT")));

  std::filesystem::create_directory(dir_.File("DIR.X"));
  Create("DIR.X\\ABC", 40);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("DIR.X/ABC.DAT")));

  std::filesystem::rename(dir_.File("A.DAT"), dir_.File("a.dat"));
  IsamFileBlock fb = Open("A;b");
  Close(fb);
}

}  // namespace
}  // namespace storage::testing
