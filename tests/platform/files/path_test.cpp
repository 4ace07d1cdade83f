#include "platform/files/path.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace platform::files {
namespace {

void Touch(const std::string& name) { std::ofstream(name) << "x"; }

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

TEST(PathTest, FileAndFolderParts) {
  EXPECT_EQ(FileName("C:\\OV\\001CDAT"), "001CDAT");
  EXPECT_EQ(DirName("a\\b/c"), "a/b");
  EXPECT_EQ(DirName("c"), "");
  EXPECT_EQ(DirName("/c"), "/");
}

}  // namespace
}  // namespace platform::files
