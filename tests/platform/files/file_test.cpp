#include "platform/files/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "support/temp_dir.h"

namespace platform::files {
namespace {

TEST(FileTest, SecondOpenFailsInThisProcessAndInAnother) {
  testing_support::TempDir dir;
  File first;
  ASSERT_TRUE(first.Open("Test.DAT", OpenMode::CreateNew));
  File second;
  EXPECT_FALSE(second.Open("TEST.dat", OpenMode::ReadWrite));
  EXPECT_EQ(second.error(), EWOULDBLOCK);

  pid_t child = ::fork();
  if (child == 0) {
    File other;
    ::_exit(other.Open("Test.DAT", OpenMode::ReadOnly) ? 1 : (other.error() == EWOULDBLOCK ? 0 : 2));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);

  first.Close();
  EXPECT_TRUE(second.Open("test.dat", OpenMode::ReadWrite));
}

TEST(FileTest, HeldFilesCannotBeDeletedRenamedOrCreatedOver) {
  testing_support::TempDir dir;
  File held;
  ASSERT_TRUE(held.Open("held", OpenMode::CreateNew));
  ASSERT_TRUE(held.WriteAt(0, "keep", 4));
  int err = 0;
  EXPECT_FALSE(DeleteFile("HELD", &err));
  EXPECT_EQ(err, EWOULDBLOCK);
  EXPECT_FALSE(RenameFile("held", "other", &err));
  EXPECT_FALSE(WriteWholeFile("held", "new", &err));
  File over;
  EXPECT_FALSE(over.Open("held", OpenMode::CreateAlways));
  held.Close();

  std::string bytes;
  ASSERT_TRUE(ReadWholeFile("held", &bytes));
  EXPECT_EQ(bytes, "keep");  // the refused create left the contents alone
  EXPECT_TRUE(DeleteFile("Held", &err));
  EXPECT_FALSE(std::filesystem::exists("held"));
  EXPECT_FALSE(DeleteFile("held", &err));
  EXPECT_EQ(err, ENOENT);
}

TEST(FileTest, ReadsAndWritesAtOffsetsAndReportsShortReads) {
  testing_support::TempDir dir;
  File f;
  ASSERT_TRUE(f.Open("data", OpenMode::CreateAlways));
  ASSERT_TRUE(f.WriteAt(10, "abc", 3));
  int64_t size = 0;
  ASSERT_TRUE(f.Size(&size));
  EXPECT_EQ(size, 13);
  char buf[4] = {};
  EXPECT_TRUE(f.ReadAt(10, buf, 3));
  EXPECT_STREQ(buf, "abc");
  size_t got = 99;
  EXPECT_FALSE(f.ReadAt(11, buf, 4, &got));
  EXPECT_EQ(got, 2u);
  EXPECT_TRUE(f.Truncate(5));
  ASSERT_TRUE(f.Size(&size));
  EXPECT_EQ(size, 5);
  File missing;
  EXPECT_FALSE(missing.Open("nothing", OpenMode::ReadWrite));
  EXPECT_EQ(missing.error(), ENOENT);
}

TEST(FileTest, WholeFileWritesReplaceAtomicallyWithTheGivenMode) {
  testing_support::TempDir dir;
  ASSERT_TRUE(WriteWholeFile("pv1confg.dat", "first"));
  ASSERT_TRUE(WriteWholeFile("PV1CONFG.DAT", "second", nullptr, 0600));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile("pv1confg.dat", &bytes));
  EXPECT_EQ(bytes, "second");
  struct stat st;
  ASSERT_EQ(::stat("pv1confg.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // No temporary file is left beside it, and the existing spelling was kept.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(".")) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  ASSERT_TRUE(CopyFile("pv1confg.dat", "copy"));
  ASSERT_TRUE(ReadWholeFile("copy", &bytes));
  EXPECT_EQ(bytes, "second");
}

}  // namespace
}  // namespace platform::files
