// The bottom layer: lock errors are retried quietly with pauses, other errors at once; records
// whose status word is not 0 read as not found.

#include <gtest/gtest.h>

#include "sample_file.h"
#include "test_source.h"

namespace storage::testing {
namespace {

class RetryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = BrowserSleep;
    pauses_.clear();
    BrowserSleep = [](int ms) { pauses_.push_back(ms); };
  }
  void TearDown() override { BrowserSleep = previous_; }

  // An engine call that fails with `code` for its first `failures` calls, then succeeds.
  std::function<void()> Failing(int32_t code, int failures) {
    return [this, code, failures] {
      ++calls_;
      IsamOK = calls_ > failures;
      IsamError = IsamOK ? 0 : code;
    };
  }

  static inline std::vector<int> pauses_;
  BrowserSleepProc previous_ = nullptr;
  int calls_ = 0;
};

TEST_F(RetryTest, LockErrorsAreRetriedWithPausesUntilTheyClearOrTheAttemptsRunOut) {
  EXPECT_EQ(BrowserRetryCall(Failing(10110, 2), BrowserCallAttempts), IsamErrorClassNone);
  EXPECT_EQ(calls_, 3);
  EXPECT_EQ(pauses_, std::vector<int>(2, 30));

  calls_ = 0;
  pauses_.clear();
  EXPECT_EQ(BrowserRetryCall(Failing(9900, 1000), BrowserCallAttempts), IsamErrorClassLock);
  EXPECT_EQ(calls_, 33);
  EXPECT_EQ(pauses_.size(), 32u);
  EXPECT_EQ(IsamError, 9900);

  calls_ = 0;
  pauses_.clear();
  EXPECT_EQ(BrowserRetryCall(Failing(10110, 1000), BrowserReadLockAttempts), IsamErrorClassLock);
  EXPECT_EQ(calls_, 5);
}

TEST_F(RetryTest, OtherErrorsEndAtOnceAndAScanFailureIsKeptForTheReport) {
  EXPECT_EQ(BrowserRetryCall(Failing(IsamErrEndOfIndex, 1000), BrowserCallAttempts), IsamErrorClassNotFound);
  EXPECT_EQ(calls_, 1);
  calls_ = 0;
  EXPECT_EQ(BrowserRetryCall(Failing(IsamErrShortRead, 1000), BrowserCallAttempts), IsamErrorClassFatal);
  EXPECT_EQ(calls_, 1);

  // An operating-system failure during a record scan is class 2 in the engine's table, but it
  // is no lock: it is neither retried nor cleared.
  calls_ = 0;
  EXPECT_EQ(BrowserRetryCall(Failing(IsamErrScanIo, 1000), BrowserCallAttempts), IsamErrorClassLock);
  EXPECT_EQ(calls_, 1);
  EXPECT_FALSE(IsamOK);
  EXPECT_EQ(IsamError, IsamErrScanIo);
  EXPECT_TRUE(pauses_.empty());
}

TEST(RecordAccessTest, ReadsLiveRecordsAndReportsDeletedOrMissingOnes) {
  SampleFile file;
  IsamRecRef ann = file.Add("Ann", "1", "PARIS");
  IsamRecRef bob = file.Add("Bob", "2", "ROME");
  IsamDeleteRec(file.Block(), bob);  // the keys stay: the index points at a deleted slot
  ASSERT_TRUE(IsamOK);
  SampleRec buffer;
  TestSource source(file, buffer, SampleNameKey);

  EXPECT_EQ(source.ReadRecord(ann), IsamErrorClassNone);
  EXPECT_EQ(buffer.Name.Get(), "Ann");
  EXPECT_EQ(source.ReadRecord(bob), IsamErrorClassNotFound);
  EXPECT_EQ(source.ReadRecord(50), IsamErrorClassFatal);
  EXPECT_EQ(source.LastError(), IsamErrShortRead);
  EXPECT_EQ(source.EntryCount(), 2);  // the index still holds both entries
}

}  // namespace
}  // namespace storage::testing
