#include "platform/files/path.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace platform::files {
namespace {

void Touch(const std::string& name) {
  std::ofstream(name) << "x";
}

TEST(PathTest, FindsExistingNamesWhateverTheirCaseAndEitherSeparator) {
  testing_support::TempDir dir;
  std::filesystem::create_directory("Data");
  Touch("Data/001CDAT");
  EXPECT_EQ(Resolve("data\\001cdat").path, "Data/001CDAT");
  EXPECT_EQ(Resolve("DATA/001CDat").status, ResolveStatus::Found);
  EXPECT_EQ(Resolve("Data/001CDAT").path, "Data/001CDAT");
  EXPECT_TRUE(Exists("data\\001CDAT"));
}

TEST(PathTest, NewNamesAreSpelledAsGivenUnderExistingFolders) {
  testing_support::TempDir dir;
  std::filesystem::create_directory("Data");
  ResolvedPath r = Resolve("DATA\\New\\LastCo.Dat");
  EXPECT_EQ(r.status, ResolveStatus::NotFound);
  EXPECT_EQ(r.path, "Data/New/LastCo.Dat");
  EXPECT_FALSE(Exists("data/lastco.dat"));
}

TEST(PathTest, TwoNamesDifferingOnlyByCaseAreAmbiguous) {
  testing_support::TempDir dir;
  Touch("ovcomp");
  Touch("OVCOMP");
  // The exact spelling still names one file.
  EXPECT_EQ(Resolve("ovcomp").status, ResolveStatus::Found);
  EXPECT_EQ(Resolve("OvComp").status, ResolveStatus::Ambiguous);
  bool ambiguous = false;
  ResolveForUse("Ovcomp", &ambiguous);
  EXPECT_TRUE(ambiguous);
}

// A folder read once finds every name as Resolve finds it in that folder, spelled as on disk.
TEST(PathTest, AFolderReadOnceFindsNamesAsResolveDoes) {
  testing_support::TempDir dir;
  std::filesystem::create_directory("Data");
  for (const char* name : {"Data/LastCo.Dat", "Data/ovcomp", "Data/OVCOMP", "Data/1C.DAT", "Top.DAT"})
    Touch(name);
  for (const std::string folder : {"Data", "", "."}) {
    FolderNames names;
    ASSERT_TRUE(names.Read(folder));
    for (const std::string name :
         {"LastCo.Dat", "LASTCO.DAT", "ovcomp", "OvComp", "1c.dat", "New.DAT", "top.dat", "Data"}) {
      // The current folder's names come without a folder.
      const ResolvedPath expected = Resolve(folder == "Data" ? folder + "/" + name : name);
      const ResolvedPath found = names.Find(name);
      EXPECT_EQ(found.status, expected.status) << folder << " " << name;
      EXPECT_EQ(found.path, expected.path) << folder << " " << name;
    }
  }
  // A name made since the read is found in it; a folder that is not there is said so.
  FolderNames names;
  ASSERT_TRUE(names.Read("Data"));
  names.Add("New.DAT");
  EXPECT_EQ(names.Find("new.dat").path, "Data/New.DAT");
  int error = 0;
  EXPECT_FALSE(names.Read("Missing", &error));
  EXPECT_EQ(error, ENOENT);
}

TEST(PathTest, FileAndFolderParts) {
  EXPECT_EQ(FileName("C:\\OV\\001CDAT"), "001CDAT");
  EXPECT_EQ(DirName("a\\b/c"), "a/b");
  EXPECT_EQ(DirName("c"), "");
  EXPECT_EQ(DirName("/c"), "/");
}

}  // namespace
}  // namespace platform::files
