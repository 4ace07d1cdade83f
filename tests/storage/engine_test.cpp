// Engine start and stop, the guard every operation runs first, and the error classes.

#include <gtest/gtest.h>

#include <memory>

#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage_fixture.h"
#include "support/temp_dir.h"

namespace storage::testing {
namespace {

// Without the fixture: these tests start and stop the engine themselves.
class EngineStartTest : public ::testing::Test {
 protected:
  void TearDown() override {
    IsamShutdown();  // leaves a stopped engine whatever the test did
  }
  testing_support::TempDir dir_;
};

TEST_F(EngineStartTest, OperationsBeforeStartFailWithNotStartedAndChangeNothing) {
  IsamKeyDescArray keys{};
  IsamCreateFileBlock("A", 40, 0, keys);
  EXPECT_EQ(Status(), IsamErrNotStarted);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("A.DAT")));

  IsamFileBlock fb = nullptr;
  IsamOpenFileBlock(fb, "A", false, false, false, true);
  EXPECT_EQ(Status(), IsamErrNotStarted);
  IsamRecRef ref = 0;
  IsamNextRec(fb, ref);
  EXPECT_EQ(Status(), IsamErrNotStarted);
  EXPECT_FALSE(IsamGlobalCheck());
  EXPECT_EQ(Status(), IsamErrNotStarted);
  IsamShutdown();
  EXPECT_EQ(Status(), IsamErrNotStarted);
}

TEST_F(EngineStartTest, StartNeedsEightBuffersAndHappensOnce) {
  EXPECT_EQ(IsamInitialize(0, 7), 0);
  EXPECT_EQ(Status(), IsamErrTooFewBuffers);
  EXPECT_EQ(IsamInitialize(0, 8), 8);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(IsamInitialize(0, 30), 0);
  EXPECT_EQ(Status(), IsamErrAlreadyStarted);
  IsamShutdown();
  EXPECT_TRUE(IsamOK);
  IsamShutdown();
  EXPECT_EQ(Status(), IsamErrNotStarted);
}

TEST_F(EngineStartTest, ShutdownClosesEveryOpenFileBlockAndLaterCallsSayNotStarted) {
  IsamInitialize(0, 30);
  IsamKeyDescArray keys{};
  IsamCreateFileBlock("A", 40, 0, keys);
  IsamCreateFileBlock("B", 40, 0, keys);
  IsamFileBlock a = nullptr;
  IsamFileBlock b = nullptr;
  IsamOpenFileBlock(a, "A", false, false, false, true);
  IsamOpenFileBlock(b, "B", false, false, false, true);
  std::vector<uint8_t> rec(40, 0);
  IsamRecRef ref = 0;
  IsamAddRec(a, ref, rec.data(), rec.size());
  ASSERT_TRUE(IsamOK);

  IsamShutdown();
  EXPECT_TRUE(IsamOK) << IsamError;
  IsamGetRec(a, ref, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrNotStarted);

  // Both were closed cleanly: they open again after a restart.
  IsamInitialize(0, 30);
  IsamOpenFileBlock(a, "A", false, false, false, true);
  EXPECT_TRUE(IsamOK) << IsamError;
  EXPECT_EQ(IsamUsedRecs(a), 1);
  IsamOpenFileBlock(b, "B", false, false, false, true);
  EXPECT_TRUE(IsamOK) << IsamError;
}

class GuardTest : public StorageTest {};

TEST_F(GuardTest, NilForeignAndClosedHandlesAreRefusedWithoutBeingRead) {
  std::vector<uint8_t> rec(40, 0);
  IsamGetRec(nullptr, 1, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrBadHandle);

  // A descriptor that looks right, signature included, but was never opened.
  auto foreign = std::make_unique<IsamFileBlockRec>();
  foreign->Signature = IsamSignature;
  foreign->RecordLength = 40;
  IsamGetRec(foreign.get(), 1, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrBadHandle);
  IsamFileBlock foreignHandle = foreign.get();
  IsamCloseFileBlock(foreignHandle);
  EXPECT_EQ(Status(), IsamErrNotOpenFileBlock);
  EXPECT_EQ(foreignHandle, foreign.get());

  Create("A", 40);
  IsamFileBlock fb = Open("A");
  IsamFileBlock stale = fb;
  Close(fb);
  EXPECT_EQ(fb, nullptr);
  EXPECT_FALSE(IsamIsOpen(stale));
  IsamRecRef ref = 0;
  IsamAddRec(stale, ref, rec.data(), rec.size());  // freed memory: must not be touched (ASan)
  EXPECT_EQ(Status(), IsamErrBadHandle);
  IsamCloseFileBlock(stale);
  EXPECT_EQ(Status(), IsamErrNotOpenFileBlock);
  IsamCloseFileBlock(fb);
  EXPECT_EQ(Status(), IsamErrBadHandle);
}

TEST_F(GuardTest, ReadOnlyFileBlocksRefuseWritesAndTurnOsFailuresIntoReadOnlyCode) {
  Create("A", 40);
  IsamFileBlock fb = Open("A");
  IsamRecRef ref = 0;
  std::vector<uint8_t> rec(40, 0);
  IsamAddRec(fb, ref, rec.data(), rec.size());
  Close(fb);

  IsamOpenFileBlock(fb, "A", false, true, false, true);
  ASSERT_TRUE(IsamOK) << IsamError;
  IsamAddRec(fb, ref, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrReadOnly);
  EXPECT_EQ(IsamErrorClass(), IsamErrorClassLock);
  IsamPutRec(fb, 1, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrReadOnly);
  IsamDeleteRec(fb, 1);
  EXPECT_EQ(Status(), IsamErrReadOnly);
  IsamDeleteVarRec(fb, 1);
  EXPECT_EQ(Status(), IsamErrReadOnly);
  EXPECT_EQ(Get(fb, 1), "");

  // Operating-system failures on a read-only block: a folder in place of the data file makes
  // reads fail (EISDIR, an "other" failure); a closed handle is 9904, which stays what it is.
  ASSERT_TRUE(fb->DataFile.Open(".", platform::files::OpenMode::ReadOnly));
  fb->DataMap.Unmap();  // the folder may have taken the old handle's number
  IsamGetRec(fb, 1, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrReadOnlyOs);
  fb->DataFile.Close();
  IsamGetRec(fb, 1, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrInvalidHandle);
  Close(fb);
}

TEST_F(GuardTest, KeyNumbersAreCheckedAsWholeNumbers) {
  Create("K", 40, {10, 5});
  IsamFileBlock fb = Open("K");
  for (int32_t keyNr : {0, 3, 257, 258, -1}) {
    EXPECT_FALSE(IsamEnterCall(fb, IsamCallKind::KeyRead, keyNr)) << keyNr;
    EXPECT_EQ(Status(), IsamErrKeyNumber) << keyNr;
  }
  EXPECT_TRUE(IsamEnterCall(fb, IsamCallKind::KeyRead, 2));
  EXPECT_TRUE(IsamEnterCall(fb, IsamCallKind::KeyWrite, 1));
  Close(fb);
}

TEST_F(GuardTest, LockOperationsRunTheGuardOnly) {
  Create("A", 40);
  IsamFileBlock fb = Open("A");
  IsamLockFileBlock(fb);
  EXPECT_TRUE(IsamOK);
  IsamUnlockFileBlock(fb);
  EXPECT_TRUE(IsamOK);
  IsamReadLockFileBlock(fb);
  EXPECT_TRUE(IsamOK);
  EXPECT_FALSE(IsamIsLocked(fb));
  EXPECT_FALSE(IsamIsReadLocked(fb));
  EXPECT_FALSE(IsamRecordLockQuery(fb));
  EXPECT_TRUE(IsamGlobalCheck());
  EXPECT_FALSE(IsamNetModeActive());
  IsamLockFileBlock(nullptr);
  EXPECT_EQ(Status(), IsamErrBadHandle);

  // The query keeps the earlier failure when it succeeds itself.
  IsamOK = false;
  IsamError = IsamErrNoMoreRecords;
  EXPECT_FALSE(IsamLockQueryKeepStatus(fb));
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);
  EXPECT_FALSE(IsamLockQueryKeepStatus(nullptr));
  EXPECT_EQ(Status(), IsamErrBadHandle);
  Close(fb);
}

TEST(ErrorClassTest, CodesFallIntoTheirClasses) {
  struct Case {
    int32_t code;
    int32_t cls;
  };
  for (Case c :
       {Case{0, 0}, Case{9900, 2}, Case{10065, 2}, Case{10397, 2}, Case{9903, 1}, Case{10410, 1},
        Case{10250, 1}, Case{10001, 3}, Case{10009, 3}, Case{10140, 4}, Case{10170, 4}, Case{10010, 4}}) {
    IsamError = c.code;
    EXPECT_EQ(IsamErrorClass(), c.cls) << c.code;
  }
  IsamError = 0;
}

}  // namespace
}  // namespace storage::testing
