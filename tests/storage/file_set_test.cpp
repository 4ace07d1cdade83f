// Creating, opening, closing and deleting file sets: the files' bytes, the checks at open, the
// exclusive hold and the crash marker.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files/fault_seam.h"
#include "shell/permissions_apply.h"
#include "storage/byte_order.h"
#include "storage/file_io.h"
#include "storage/index_header.h"
#include "storage_fixture.h"
#include "support/live_records.h"

namespace storage::testing {
namespace {

class FileSetTest : public StorageTest {
 protected:
  // Overwrites bytes of a closed file.
  void Patch(const std::string& name, int64_t offset, const std::string& bytes) {
    std::fstream f(dir_.File(name), std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(f.is_open()) << name;
    f.seekp(offset);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void PatchInt32(const std::string& name, int64_t offset, int32_t v) {
    uint8_t raw[4];
    IsamStoreInt32(raw, v);
    Patch(name, offset, std::string(reinterpret_cast<char*>(raw), 4));
  }
  int32_t OpenStatus(const std::string& name) {
    IsamFileBlock fb = nullptr;
    IsamOpenFileBlock(fb, name, false, false, false, true);
    int32_t status = Status();
    if (fb) {
      IsamCloseFileBlock(fb);
      EXPECT_TRUE(IsamOK) << IsamError;
    }
    return status;
  }
  // A set of 200 records, every fourth deleted, with one key whose tree spans several pages and
  // has freed some: every counter of both headers has room on both sides.
  void MakeCounterSample(IsamFileBlock& fb) {
    fb = nullptr;
    IsamKeyDescArray keys{};
    keys[0] = {10, 0};
    IsamCreateFileBlock("N", 40, 1, keys);
    ASSERT_TRUE(IsamOK);
    IsamOpenFileBlock(fb, "N", false, false, false, true);
    ASSERT_TRUE(IsamOK);
    for (int i = 1; i <= 200; ++i) {
      std::vector<uint8_t> record(40, 0);
      IsamRecRef ref = 0;
      IsamAddRec(fb, ref, record.data(), record.size());
      IsamAddKey(fb, 1, ref, "K" + std::to_string(1000 + i));
      ASSERT_TRUE(IsamOK) << IsamError;
    }
    for (int i = 4; i <= 200; i += 4) {
      IsamDeleteKey(fb, 1, i, "K" + std::to_string(1000 + i));
      IsamDeleteRec(fb, i);
      ASSERT_TRUE(IsamOK) << IsamError;
    }
    for (int i = 1; i <= 200; i += 4) IsamDeleteKey(fb, 1, i, "K" + std::to_string(1000 + i));
    ASSERT_TRUE(IsamOK) << IsamError;
    ASSERT_GT(fb->Keys[0].NumberFree, 0);
    Close(fb);
  }
  static std::string Int32Bytes(int32_t v) {
    uint8_t raw[4];
    IsamStoreInt32(raw, v);
    return std::string(reinterpret_cast<char*>(raw), 4);
  }
};

TEST_F(FileSetTest, NewDataFileIsOneSlotHoldingTheHeader) {
  Create("G", 224, {10, 5});
  std::string bytes = ReadFile("G.DAT");
  std::string expected = Int32Bytes(-1) + Int32Bytes(0) + Int32Bytes(0) + Int32Bytes(224) + Int32Bytes(2) +
                         std::string(1, '\0') + std::string(203, '\0');
  ASSERT_EQ(bytes.size(), 224u);
  EXPECT_EQ(bytes, expected);
}

TEST_F(FileSetTest, NewIndexFileIsRowZeroWithEachKeysHeader) {
  IsamKeyDescArray keys{};
  keys[0] = {10, 0};
  keys[1] = {5, 1};
  IsamCreateFileBlock("G", 40, 2, keys);
  ASSERT_TRUE(IsamOK);
  std::string bytes = ReadFile("G.IX");
  int32_t page1 = 6 + 62 * 19, page2 = 6 + 62 * 14;
  ASSERT_EQ(bytes.size(), static_cast<size_t>(page1 + page2));
  auto header = [&](int32_t pageSize, char dup) {
    return Int32Bytes(-1) + Int32Bytes(0) + Int32Bytes(0) + Int32Bytes(pageSize) + Int32Bytes(0) +
           std::string(1, dup) + std::string(1, '\0') + Int32Bytes(0) + std::string("\x3e\x00", 2);
  };
  EXPECT_EQ(bytes.substr(0, 28), header(page1, 0));
  EXPECT_EQ(bytes.substr(28, page1 - 28), std::string(page1 - 28, '\0'));
  EXPECT_EQ(bytes.substr(page1, 28), header(page2, 1));
  EXPECT_EQ(bytes.substr(page1 + 28), std::string(page2 - 28, '\0'));

  IsamFileBlock fb = Open("G");
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(fb->RowSize, page1 + page2);
  EXPECT_EQ(fb->Keys[1].SectionOffset, page1);
  EXPECT_EQ(fb->Keys[0].KeyLength, 10);
  EXPECT_EQ(fb->Keys[1].KeyLength, 5);
  EXPECT_EQ(fb->Keys[1].AllowDuplicates, 1);
  EXPECT_EQ(fb->NumberRows, 0);
  EXPECT_EQ(fb->Keys[0].Cursor.Depth, 0);
  Close(fb);
}

TEST_F(FileSetTest, CreateChecksItsArguments) {
  IsamKeyDescArray keys{};
  for (auto& k : keys) k.KeyLength = 10;
  IsamCreateFileBlock("X", 20, 1, keys);
  EXPECT_EQ(Status(), IsamErrRecordLengthTooSmall);
  IsamCreateFileBlock("X", 20, 101, keys);
  EXPECT_EQ(Status(), IsamErrTooManyKeys);
  IsamCreateFileBlock("X", 65536, 1, keys);
  EXPECT_EQ(Status(), IsamErrRecordTooLong);
  keys[3].KeyLength = 31;
  IsamCreateFileBlock("X", 40, 4, keys);
  EXPECT_EQ(Status(), IsamErrBadKeyLength);
  keys[3].KeyLength = 0;
  IsamCreateFileBlock("X", 40, 4, keys);
  EXPECT_EQ(Status(), IsamErrBadKeyLength);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("X.DAT")));
  IsamCreateFileBlock("X", 40, 3, keys);
  EXPECT_TRUE(IsamOK);
  IsamCreateFileBlock("Y", 40, 100, keys);
  EXPECT_EQ(Status(), IsamErrBadKeyLength);
}

TEST_F(FileSetTest, MissingFilesGiveNotFoundAndDefectiveIndex) {
  EXPECT_EQ(OpenStatus("NONE"), IsamErrFileNotFound);
  EXPECT_EQ(OpenStatus("NODIR\\NONE"), IsamErrPathNotFound);
  Create("K", 40, {10});
  std::filesystem::remove(dir_.File("K.IX"));
  EXPECT_EQ(OpenStatus("K"), IsamErrIndexDefective);
  Create("K", 40, {10});
  EXPECT_EQ(OpenStatus("K"), 0);
}

// An index the system refuses is not taken for a defective one (whose answer is a rebuild): the
// open fails with the system's reason, the index named.
TEST_F(FileSetTest, AnIndexTheSystemRefusesIsNoDefect) {
  Create("K", 40, {10});
  std::filesystem::permissions(dir_.File("K.IX"), std::filesystem::perms::none);
  int32_t status = 0;
  {
    testing_support::PermissionsApply asAUser;
    status = OpenStatus("K");
  }
  std::filesystem::permissions(dir_.File("K.IX"),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_NE(status, 0);
  EXPECT_NE(status, IsamErrIndexDefective);
  EXPECT_EQ(std::filesystem::path(IsamLastOpenFailure().Name).filename(), "K.IX");
  EXPECT_EQ(IsamLastOpenFailure().Errno, EACCES);
  EXPECT_EQ(OpenStatus("K"), 0);
}

TEST_F(FileSetTest, AnUncleanStopLeavesTheSetMarkedDefective) {
  Create("C", 40, {10});
  pid_t child = ::fork();
  if (child == 0) {
    IsamFileBlock fb = nullptr;
    IsamOpenFileBlock(fb, "C", false, false, false, true);
    std::vector<uint8_t> rec(40, 0);
    IsamRecRef ref = 0;
    if (IsamOK) IsamAddRec(fb, ref, rec.data(), rec.size());
    ::_exit(IsamOK ? 0 : 1);  // no close: the process dies with the set open
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile("C.DAT")[20], 1);
  EXPECT_EQ(OpenStatus("C"), IsamErrIndexDefective);

  // Reading only, or rewriting in place, does not mark the set; adding does until the close.
  Create("D", 40);
  IsamFileBlock fb = Open("D");
  Add(fb, "a");
  EXPECT_EQ(ReadFile("D.DAT")[20], 1);
  Close(fb);
  EXPECT_EQ(ReadFile("D.DAT")[20], 0);
  fb = Open("D");
  std::vector<uint8_t> rec = Record(40, "b");
  IsamPutRec(fb, 1, rec.data(), rec.size());
  EXPECT_EQ(Get(fb, 1), "b");
  EXPECT_EQ(ReadFile("D.DAT")[20], 0);
  Close(fb);
  EXPECT_EQ(OpenStatus("D"), 0);
}

TEST_F(FileSetTest, ASecondOpenFailsInThisProcessAndInAnother) {
  Create("S", 40, {6});
  IsamFileBlock fb = Open("S");
  IsamFileBlock second = nullptr;
  IsamOpenFileBlock(second, "s", false, false, false, true);
  EXPECT_EQ(Status(), IsamErrOsFailure);
  EXPECT_EQ(second, nullptr);

  pid_t child = ::fork();
  if (child == 0) {
    IsamFileBlock other = nullptr;
    IsamOpenFileBlock(other, "S", false, false, false, true);
    ::_exit(IsamError == IsamErrOsFailure ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);

  // Neither create nor delete touches an open set.
  Add(fb, "keep");
  IsamKeyDescArray keys{};
  IsamCreateFileBlock("S", 40, 0, keys);
  EXPECT_EQ(Status(), IsamErrOsFailure);
  IsamDeleteFileBlock("S");
  EXPECT_EQ(Status(), IsamErrOsFailure);
  EXPECT_EQ(Get(fb, 1), "keep");
  Close(fb);
  fb = Open("S");
  EXPECT_EQ(IsamUsedRecs(fb), 1);
  Close(fb);
}

TEST_F(FileSetTest, DataHeadersThatDoNotDescribeTheirFileAreRefused) {
  Create("H", 40);
  PatchInt32("H.DAT", 16, 101);
  EXPECT_EQ(OpenStatus("H"), IsamErrHeaderTooManyKeys);

  Create("H", 40);
  PatchInt32("H.DAT", 16, -1);
  EXPECT_EQ(OpenStatus("H"), IsamErrIndexDefective);

  Create("H", 40);
  PatchInt32("H.DAT", 12, 20);
  EXPECT_EQ(OpenStatus("H"), IsamErrIndexDefective);

  Create("H", 40);
  PatchInt32("H.DAT", 8, 1);  // claims a record the file does not hold
  EXPECT_EQ(OpenStatus("H"), IsamErrIndexDefective);

  Create("H", 40);
  std::filesystem::resize_file(dir_.File("H.DAT"), 10);
  EXPECT_EQ(OpenStatus("H"), IsamErrIndexDefective);

  // A large record length that the file's size agrees with is accepted.
  Create("H", 65535);
  EXPECT_EQ(OpenStatus("H"), 0);
}

TEST_F(FileSetTest, IndexHeadersAreCheckedAtOpen) {
  Create("I", 40, {10, 4});
  const int64_t second = IsamPageSizeFor(10);
  Patch("I.IX", second + 26, std::string("\x3f\x00", 2));  // 63 entries per page
  EXPECT_EQ(OpenStatus("I"), IsamErrHeaderItemsPerPage);

  Create("I", 40, {10, 4});
  PatchInt32("I.IX", 12, IsamPageSizeFor(10) + 1);
  EXPECT_EQ(OpenStatus("I"), IsamErrPageSizeNotWhole);

  Create("I", 40, {10, 4});
  PatchInt32("I.IX", 12, 6 + 62 * (31 + 9));
  EXPECT_EQ(OpenStatus("I"), IsamErrHeaderKeyLength);

  Create("I", 40, {10, 4});
  PatchInt32("I.IX", 12, 6 + 62 * 9);
  EXPECT_EQ(OpenStatus("I"), IsamErrHeaderKeyLength);

  Create("I", 40, {10, 4});
  Patch("I.IX", 26, std::string("\x1f\x00", 2));  // fewer entries than every page is laid out with
  EXPECT_EQ(OpenStatus("I"), IsamErrIndexDefective);

  Create("I", 40, {10, 4});
  PatchInt32("I.IX", 16, 1);  // a root page beyond the key's pages
  EXPECT_EQ(OpenStatus("I"), IsamErrIndexDefective);

  Create("I", 40, {10, 4});
  std::filesystem::resize_file(dir_.File("I.IX"), second + 10);
  EXPECT_EQ(OpenStatus("I"), IsamErrIndexDefective);

  Create("I", 40, {10, 4});
  Patch("I.IX", second + 26, std::string("\0\0", 2));  // a stored 0 reads as 62
  EXPECT_EQ(OpenStatus("I"), 0);
}

// Counters at the ends of their range, or beyond what the file can hold, are refused at open;
// the sample itself opens and takes adds and deletes on every counter.
TEST_F(FileSetTest, CountersTheFileCannotHoldAreRefusedAtOpen) {
  struct Case {
    const char* what;
    const char* file;
    int64_t offset;
    int32_t value;
  };
  const int32_t kMax = 0x7FFFFFFF, kMin = -kMax - 1;
  const Case cases[] = {
      {"data FirstFree 0", "N.DAT", 0, 0},
      {"data FirstFree beyond the records", "N.DAT", 0, 201},
      {"data FirstFree below -1", "N.DAT", 0, -2},
      {"data NumberFree at the top", "N.DAT", 4, kMax},
      {"data NumberFree at the bottom", "N.DAT", 4, kMin},
      {"data NumberFree above the records", "N.DAT", 4, 201},
      {"data NumberFree 0 with a chain", "N.DAT", 4, 0},
      {"data NumberRecords at the top", "N.DAT", 8, kMax},
      {"key NumberEntries at the top", "N.IX", 22, kMax},
      {"key NumberEntries above its pages", "N.IX", 22, 62 * 8},
      {"key NumberEntries below 0", "N.IX", 22, -1},
      {"key NumberPages at the top", "N.IX", 8, kMax},
      {"key NumberPages beyond the file", "N.IX", 8, 100},
      {"key NumberFree at the top", "N.IX", 4, kMax},
      {"key NumberFree at the bottom", "N.IX", 4, kMin},
      {"key FirstFree 0", "N.IX", 0, 0},
      {"key FirstFree beyond the pages", "N.IX", 0, kMax},
  };
  IsamFileBlock fb = nullptr;
  MakeCounterSample(fb);
  ASSERT_FALSE(HasFatalFailure());
  const std::string dat = ReadFile("N.DAT"), ix = ReadFile("N.IX");
  ASSERT_EQ(OpenStatus("N"), 0);
  for (const Case& c : cases) {
    Patch("N.DAT", 0, dat);
    Patch("N.IX", 0, ix);
    PatchInt32(c.file, c.offset, c.value);
    EXPECT_EQ(OpenStatus("N"), IsamErrIndexDefective) << c.what;
  }

  // The sound sample takes a reuse of every free slot and page, and more.
  Patch("N.DAT", 0, dat);
  Patch("N.IX", 0, ix);
  fb = Open("N");
  ASSERT_NE(fb, nullptr);
  for (int i = 0; i < 300; ++i) {
    std::vector<uint8_t> record(40, 0);
    IsamRecRef ref = 0;
    IsamAddRec(fb, ref, record.data(), record.size());
    IsamAddKey(fb, 1, ref, "N" + std::to_string(10000 + i));
    ASSERT_TRUE(IsamOK) << IsamError;
  }
  EXPECT_EQ(fb->NumberFree, 0);
  EXPECT_EQ(fb->Keys[0].NumberFree, 0);
  Close(fb);
}

// A free chain whose head is damaged in memory is never followed into a live slot: the delete
// refuses, the slot stays live, and the set stays marked for a rebuild.
TEST_F(FileSetTest, ADeleteNeverWritesALinkThatReadsAsLive) {
  Create("L", 40);
  IsamFileBlock fb = Open("L");
  IsamRecRef first = Add(fb, "first");
  IsamRecRef second = Add(fb, "second");
  fb->FirstFree = 0;
  fb->NumberFree = 1;
  IsamDeleteRec(fb, second);
  EXPECT_EQ(Status(), IsamErrFreeChain);
  EXPECT_EQ(Get(fb, second), "second");
  fb->FirstFree = -1;
  fb->NumberFree = 0;
  Close(fb);
  EXPECT_EQ(OpenStatus("L"), IsamErrIndexDefective);
  EXPECT_NE(first, second);
}

TEST_F(FileSetTest, ChangedKeyHeadersAreWrittenBackAtClose) {
  Create("W", 40, {10, 4});
  IsamFileBlock fb = Open("W");
  IsamKeyState& key = fb->Keys[1];
  key.NumberPages = 3;
  key.RootPage = 2;
  key.NumberEntries = 70;
  key.FirstFree = 3;
  key.NumberFree = 1;
  key.HeaderChanged = true;
  fb->Keys[0].NumberEntries = 99;  // changed in memory without the flag: stays as it was on disk
  ASSERT_TRUE(IsamZeroFill(fb->IndexFile, fb->RowSize, 3 * fb->RowSize));  // the rows of the pages counted
  ASSERT_TRUE(IsamMarkDirty(*fb));
  Close(fb);

  fb = Open("W");
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(fb->Keys[1].NumberPages, 3);
  EXPECT_EQ(fb->Keys[1].RootPage, 2);
  EXPECT_EQ(fb->Keys[1].NumberEntries, 70);
  EXPECT_EQ(fb->Keys[1].FirstFree, 3);
  EXPECT_EQ(fb->Keys[1].NumberFree, 1);
  EXPECT_EQ(fb->Keys[0].NumberEntries, 0);
  EXPECT_EQ(fb->NumberRows, 3);
  EXPECT_EQ(fb->Keys[1].SectionOffset, IsamPageSizeFor(10));
  Close(fb);
}

// A write-back that failed is not tried again (the system may have dropped what it could not
// write): the set is closed all the same, so its lock does not stay held, and it is left marked
// for repair, which the next open reports.
TEST_F(FileSetTest, AFailedWriteBackClosesTheSetAndLeavesItForRepair) {
  Create("F", 40);
  IsamFileBlock fb = Open("F");
  Add(fb, "kept");
  platform::files::InstallFaultPlan({{}, 0, platform::files::FaultAction::Fail, 1, EIO, false});
  IsamCloseFileBlock(fb);
  platform::files::RemoveFaultPlan();
  EXPECT_FALSE(IsamOK);
  EXPECT_EQ(fb, nullptr);
  IsamOpenFileBlock(fb, "F", false, false, false, false);
  EXPECT_EQ(Status(), IsamErrIndexDefective);  // not "in use": the lock went with the close
  EXPECT_EQ(testing_support::LiveRecords("F.DAT").size(), 1u);
}

TEST_F(FileSetTest, AStrayJournalIsLeftAlone) {
  Create("J", 40);
  {
    std::ofstream dia(dir_.File("J.DIA"), std::ios::binary);
    dia << "not ours";
  }
  IsamFileBlock fb = Open("J");
  Add(fb, "a");
  Close(fb);
  EXPECT_EQ(ReadFile("J.DIA"), "not ours");
  fb = Open("J");
  EXPECT_EQ(Get(fb, 1), "a");
  Close(fb);
}

TEST_F(FileSetTest, DeleteRemovesTheSetAndReportsOnlyTheDataFile) {
  Create("Z", 40, {5});
  { std::ofstream dia(dir_.File("Z.DIA")); }
  IsamDeleteFileBlock("z");
  EXPECT_TRUE(IsamOK) << IsamError;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Z.DAT")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Z.IX")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Z.DIA")));
  IsamDeleteFileBlock("Z");
  EXPECT_EQ(Status(), IsamErrFileNotFound);
  EXPECT_EQ(IsamErrorClass(), IsamErrorClassNotFound);
  IsamDeleteFileBlock("NODIR\\Z");
  EXPECT_EQ(Status(), IsamErrPathNotFound);
  EXPECT_EQ(IsamErrorClass(), IsamErrorClassLock);
}

TEST_F(FileSetTest, ReadOnlyOpenWritesNothingBack) {
  Create("R", 40);
  IsamFileBlock fb = nullptr;
  IsamOpenFileBlock(fb, "R", true, false, false, true);
  ASSERT_TRUE(IsamOK);
  std::string before = ReadFile("R.DAT");
  fb->NumberRecords = 5;  // would be written back by a writable close
  IsamCloseFileBlock(fb);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ReadFile("R.DAT"), before);
}

}  // namespace
}  // namespace storage::testing
