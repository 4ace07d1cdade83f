// Rebuilding a data file through its .SAV copy: compaction, the resume rules, cancelling, and
// files left by an interrupted run.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "storage/byte_order.h"
#include "storage/isam_rebuild.h"
#include "storage_fixture.h"

namespace storage::testing {
namespace {

namespace fs = std::filesystem;

class RebuildTest : public StorageTest {
 protected:
  void TearDown() override {
    IsamProgressHook = nullptr;
    StorageTest::TearDown();
  }

  void Rebuild(const std::string& name, int32_t length, const IsamConverter& converter = IsamCopyLiveRecord) {
    IsamRebuildDataFile(name, length, length, false, 0, converter, nullptr, 0);
  }
  // The independent checker of data files: 0 when the file is sound and matches expectations.
  int RunDatChecker(const std::string& file, const std::string& expectations) {
    std::string command = std::string("/usr/bin/python3 ") + KESTRAVA_SOURCE_DIR +
                          "/tests/oracles/dat_checker.py " + dir_.File(file) + " " + expectations;
    int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }
  bool Exists(const std::string& file) const { return fs::exists(dir_.File(file)); }
  int32_t HeaderField(const std::string& file, int offset) const {
    std::string bytes = ReadFile(file);
    return IsamLoadInt32(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
  }
  uint8_t DirtyByte(const std::string& file) const { return static_cast<uint8_t>(ReadFile(file)[20]); }
  // Clears the index-dirty byte that the rebuild leaves for the reindex, so the set can be read.
  void MarkClean(const std::string& file) {
    std::string bytes = ReadFile(file);
    bytes[20] = 0;
    std::ofstream(dir_.File(file), std::ios::binary | std::ios::trunc) << bytes;
  }
  // Texts of the live records in reference order.
  std::vector<std::string> LiveTexts(const std::string& name) {
    std::vector<std::string> texts;
    IsamFileBlock fb = Open(name);
    for (IsamRecRef r = 1; r < IsamFileLen(fb); ++r) {
      std::vector<uint8_t> rec(static_cast<size_t>(IsamDataLen(fb)));
      IsamGetRec(fb, r, rec.data(), rec.size());
      if (IsamLoadInt32(rec.data()) == 0) texts.emplace_back(reinterpret_cast<const char*>(rec.data()) + 4);
    }
    Close(fb);
    return texts;
  }
  void MakeFiveWithTwoDeleted() {
    Create("R", 40);
    IsamFileBlock fb = Open("R");
    for (const char* t : {"one", "two", "three", "four", "five"}) Add(fb, t);
    IsamDeleteRec(fb, 2);
    IsamDeleteRec(fb, 4);
    Close(fb);
  }
};

TEST_F(RebuildTest, KeepsTheLiveRecordsInOrderWithoutGaps) {
  MakeFiveWithTwoDeleted();
  Rebuild("R", 40);
  ASSERT_EQ(Status(), 0);
  EXPECT_FALSE(Exists("R.SAV"));
  EXPECT_EQ(HeaderField("R.DAT", 0), -1);  // FirstFree
  EXPECT_EQ(HeaderField("R.DAT", 4), 0);   // NumberFree
  EXPECT_EQ(HeaderField("R.DAT", 8), 3);   // NumberRecords
  EXPECT_EQ(ReadFile("R.DAT").size(), 4u * 40);
  EXPECT_EQ(RunDatChecker("R.DAT", "--used 3 --records 3"), 0);
  // Until its keys are built the new file reads as defective, never as a whole file set.
  EXPECT_EQ(DirtyByte("R.DAT"), 1);
  IsamFileBlock fb = nullptr;
  IsamOpenFileBlock(fb, "R", false, false, false, true);
  EXPECT_EQ(Status(), IsamErrIndexDefective);
  MarkClean("R.DAT");
  EXPECT_EQ(LiveTexts("R"), (std::vector<std::string>{"one", "three", "five"}));
}

TEST_F(RebuildTest, ManyRunsOfRecordsKeepTheMultisetOfLiveRecords) {
  Create("M", 100, {});
  IsamFileBlock fb = Open("M");
  std::mt19937 rng(7);
  std::vector<std::string> expected;
  std::vector<std::pair<IsamRecRef, std::string>> live;
  for (int i = 0; i < 1500; ++i) {
    std::string text = "rec" + std::to_string(i);
    live.emplace_back(Add(fb, text), text);
    if (rng() % 3 == 0) {
      size_t victim = rng() % live.size();
      IsamDeleteRec(fb, live[victim].first);
      ASSERT_EQ(Status(), 0);
      live.erase(live.begin() + static_cast<long>(victim));
    }
  }
  Close(fb);
  std::map<IsamRecRef, std::string> byRef(live.begin(), live.end());
  for (auto& [ref, text] : byRef) expected.push_back(text);
  Rebuild("M", 100);
  ASSERT_EQ(Status(), 0);
  MarkClean("M.DAT");
  EXPECT_EQ(LiveTexts("M"), expected);
  EXPECT_EQ(HeaderField("M.DAT", 8), static_cast<int32_t>(expected.size()));
  EXPECT_EQ(RunDatChecker("M.DAT", "--clean --used " + std::to_string(expected.size())), 0);
}

TEST_F(RebuildTest, ResumeRulesOfTheSaveCopy) {
  MakeFiveWithTwoDeleted();
  std::string before = ReadFile("R.DAT");
  // A .SAV beside the data file: refused, nothing touched.
  std::ofstream(dir_.File("R.SAV"), std::ios::binary) << "left over";
  Rebuild("R", 40);
  EXPECT_EQ(Status(), IsamErrSaveAndDataExist);
  EXPECT_EQ(ReadFile("R.DAT"), before);
  EXPECT_EQ(ReadFile("R.SAV"), "left over");
  // Only the .SAV: the run resumes from it.
  fs::remove(dir_.File("R.SAV"));
  fs::rename(dir_.File("R.DAT"), dir_.File("R.SAV"));
  Rebuild("R", 40);
  ASSERT_EQ(Status(), 0);
  EXPECT_FALSE(Exists("R.SAV"));
  MarkClean("R.DAT");
  EXPECT_EQ(LiveTexts("R"), (std::vector<std::string>{"one", "three", "five"}));
  // Neither.
  fs::remove(dir_.File("R.DAT"));
  Rebuild("R", 40);
  EXPECT_EQ(Status(), IsamErrNothingToRebuild);
}

TEST_F(RebuildTest, AConverterAndRecordHookSeeEveryRecordAndMayChangeItsLength) {
  MakeFiveWithTwoDeleted();
  std::vector<std::pair<int, std::string>> hookCalls;
  IsamRecordHook hook = [&](void* record, uint16_t length, int mode, int32_t parameter) {
    EXPECT_EQ(parameter, 77);
    hookCalls.emplace_back(mode, std::to_string(length) + ":" + (static_cast<char*>(record) + 4));
  };
  // Keeps the live records and widens them, marking each in the new bytes.
  IsamConverter widen = [](const void* oldRecord, void* newRecord, uint16_t& length) {
    if (IsamLoadInt32(static_cast<const uint8_t*>(oldRecord)) != 0) return false;
    std::memcpy(newRecord, oldRecord, length);
    std::memcpy(static_cast<char*>(newRecord) + 50, "wide", 5);
    length = 60;
    return true;
  };
  IsamRebuildDataFile("R", 60, 40, false, 0, widen, hook, 77);
  ASSERT_EQ(Status(), 0);
  // Deleted records are read (and shown to the hook) too; only the converter drops them.
  std::vector<std::pair<int, std::string>> want{{1, "40:one"},   {0, "60:one"},   {1, "40:two"},
                                                {1, "40:three"}, {0, "60:three"}, {1, "40:four"},
                                                {1, "40:five"},  {0, "60:five"}};
  EXPECT_EQ(hookCalls, want);
  EXPECT_EQ(HeaderField("R.DAT", 12), 60);
  std::string bytes = ReadFile("R.DAT");
  ASSERT_EQ(bytes.size(), 4u * 60);
  EXPECT_EQ(bytes.substr(3 * 60 + 4, 4), "five");
  EXPECT_EQ(bytes.substr(3 * 60 + 50, 4), "wide");
}

int progressCalls = 0;
std::vector<std::tuple<int, int, int>> progressSeen;
void CountProgress(uint16_t keyNr, int32_t read, int32_t written, const void*, uint16_t) {
  ++progressCalls;
  progressSeen.emplace_back(keyNr, read, written);
}
void CancelAtOnce(uint16_t, int32_t, int32_t, const void*, uint16_t) {
  ++progressCalls;
  IsamOK = false;
}

TEST_F(RebuildTest, ProgressIsReportedPerRecordReadAndCanCancel) {
  MakeFiveWithTwoDeleted();
  progressSeen.clear();
  IsamProgressHook = CountProgress;
  Rebuild("R", 40);
  ASSERT_EQ(Status(), 0);
  std::vector<std::tuple<int, int, int>> want{{0, 1, 1}, {0, 2, 1}, {0, 3, 2}, {0, 4, 2}, {0, 5, 3}};
  EXPECT_EQ(progressSeen, want);

  MarkClean("R.DAT");
  std::string before = ReadFile("R.DAT");
  progressCalls = 0;
  IsamProgressHook = CancelAtOnce;
  Rebuild("R", 40);
  EXPECT_EQ(Status(), IsamErrCancelled);
  EXPECT_EQ(progressCalls, 1);
  EXPECT_EQ(ReadFile("R.DAT"), before);  // the old data file is back
  EXPECT_FALSE(Exists("R.SAV"));
}

TEST_F(RebuildTest, ACancelledResumedRunKeepsItsSaveCopy) {
  MakeFiveWithTwoDeleted();
  std::string before = ReadFile("R.DAT");
  fs::rename(dir_.File("R.DAT"), dir_.File("R.SAV"));
  IsamProgressHook = CancelAtOnce;
  Rebuild("R", 40);
  EXPECT_EQ(Status(), IsamErrCancelled);
  EXPECT_FALSE(Exists("R.DAT"));
  EXPECT_EQ(ReadFile("R.SAV"), before);
}

TEST_F(RebuildTest, RefusalsLeaveTheFileAsItWas) {
  MakeFiveWithTwoDeleted();
  std::string before = ReadFile("R.DAT");
  // A converter that fails aborts the run and restores the old file.
  Rebuild("R", 40, [](const void*, void*, uint16_t&) {
    IsamOK = false;
    return false;
  });
  EXPECT_EQ(Status(), IsamErrConverter);
  EXPECT_EQ(ReadFile("R.DAT"), before);
  EXPECT_FALSE(Exists("R.SAV"));
  // An open file set cannot be moved aside.
  IsamFileBlock fb = Open("R");
  Rebuild("R", 40);
  EXPECT_EQ(Status(), IsamErrSaveRename);
  Close(fb);
  EXPECT_EQ(ReadFile("R.DAT"), before);
  Rebuild("R", 70000);
  EXPECT_EQ(Status(), IsamErrRecordTooLong);
}

}  // namespace
}  // namespace storage::testing
