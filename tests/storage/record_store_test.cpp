// Records of the data file: slots, the free chain, scans, scroll positions and chained records.

#include <gtest/gtest.h>

#include <cstring>

#include "storage/byte_order.h"
#include "storage_fixture.h"

namespace storage::testing {
namespace {

class RecordStoreTest : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    Create("R", kLength);
    fb_ = Open("R");
  }
  void TearDown() override {
    if (fb_) Close(fb_);
    StorageTest::TearDown();
  }
  int32_t Link(IsamRecRef ref) {
    std::vector<uint8_t> rec(kLength);
    IsamGetRec(fb_, ref, rec.data(), rec.size());
    EXPECT_TRUE(IsamOK) << IsamError;
    return IsamLoadInt32(rec.data());
  }

  static constexpr int32_t kLength = 40;
  IsamFileBlock fb_ = nullptr;
};

TEST_F(RecordStoreTest, DeletedSlotsAreReusedNewestFirst) {
  EXPECT_EQ(Add(fb_, "one"), 1);
  EXPECT_EQ(Add(fb_, "two"), 2);
  EXPECT_EQ(Add(fb_, "three"), 3);
  IsamDeleteRec(fb_, 2);
  ASSERT_TRUE(IsamOK);
  IsamDeleteRec(fb_, 3);
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(fb_->FirstFree, 3);
  EXPECT_EQ(Link(3), 2);
  EXPECT_EQ(Link(2), -1);
  EXPECT_EQ(IsamUsedRecs(fb_), 1);
  EXPECT_EQ(IsamFileLen(fb_), 4);
  EXPECT_EQ(IsamDataLen(fb_), kLength);

  EXPECT_EQ(Add(fb_, "four"), 3);
  EXPECT_EQ(Add(fb_, "five"), 2);
  EXPECT_EQ(Add(fb_, "six"), 4);
  EXPECT_EQ(Get(fb_, 2), "five");
  EXPECT_EQ(Get(fb_, 3), "four");
  EXPECT_EQ(IsamUsedRecs(fb_), 4);
  EXPECT_EQ(*IsamRecordsFieldPtr(fb_), 4);
}

TEST_F(RecordStoreTest, ReferencesOutsideTheRecordsAndSecondDeletesAreRefused) {
  Add(fb_, "one");
  Add(fb_, "two");
  std::vector<uint8_t> rec = Record(kLength, "x");
  for (IsamRecRef bad : {0, 3, -1}) {
    IsamDeleteRec(fb_, bad);
    EXPECT_EQ(Status(), IsamErrDeleteRefRange) << bad;
  }
  IsamPutRec(fb_, 0, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrPutRefZero);
  IsamPutRec(fb_, 3, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrDeleteRefRange);
  IsamPutRec(fb_, 100, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrDeleteRefRange);
  EXPECT_EQ(IsamFileLen(fb_), 3);

  IsamDeleteRec(fb_, 1);
  ASSERT_TRUE(IsamOK);
  IsamDeleteRec(fb_, 1);
  EXPECT_EQ(Status(), IsamErrDeleteRefRange);
  EXPECT_EQ(fb_->FirstFree, 1);
  EXPECT_EQ(Link(1), -1);
  EXPECT_EQ(IsamUsedRecs(fb_), 1);

  IsamGetRec(fb_, 3, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrShortRead);
  IsamGetRec(fb_, -1, rec.data(), rec.size());
  EXPECT_EQ(Status(), IsamErrShortRead);
}

// A delete that follows a read or write of the same record knows the slot is live without asking
// the disk; whatever changed the slot since must still make a second delete fail.
TEST_F(RecordStoreTest, RecordsJustReadOrWrittenAreStillDeletedOnlyOnce) {
  const IsamRecRef read = Add(fb_, "read");
  const IsamRecRef rewritten = Add(fb_, "rewritten");
  const IsamRecRef added = Add(fb_, "added");

  IsamDeleteRec(fb_, added);
  ASSERT_TRUE(IsamOK) << IsamError;
  IsamDeleteRec(fb_, added);
  EXPECT_EQ(Status(), IsamErrDeleteRefRange);

  EXPECT_EQ(Get(fb_, read), "read");
  IsamDeleteRec(fb_, read);
  ASSERT_TRUE(IsamOK) << IsamError;
  EXPECT_EQ(Link(read), added);  // reading the freed slot must not make it look live again
  IsamDeleteRec(fb_, read);
  EXPECT_EQ(Status(), IsamErrDeleteRefRange);

  // A rewrite with a non-zero first word leaves a slot that no longer reads as a live record.
  EXPECT_EQ(Get(fb_, rewritten), "rewritten");
  std::vector<uint8_t> marked = Record(kLength, "marked");
  IsamStoreInt32(marked.data(), 1);
  IsamPutRec(fb_, rewritten, marked.data(), marked.size());
  ASSERT_TRUE(IsamOK) << IsamError;
  IsamDeleteRec(fb_, rewritten);
  EXPECT_EQ(Status(), IsamErrDeleteRefRange);

  EXPECT_EQ(fb_->FirstFree, read);
  EXPECT_EQ(Link(read), added);
  EXPECT_EQ(Link(added), -1);
  EXPECT_EQ(IsamUsedRecs(fb_), 1);
}

TEST_F(RecordStoreTest, BuffersSmallerThanTheRecordAreRefused) {
  IsamRecRef ref = Add(fb_, "one");
  std::vector<uint8_t> small(kLength - 1, 0x55);
  IsamGetRec(fb_, ref, small.data(), small.size());
  EXPECT_EQ(Status(), IsamErrShortRead);
  EXPECT_EQ(small[0], 0x55);
  IsamPutRec(fb_, ref, small.data(), small.size());
  EXPECT_EQ(Status(), IsamErrShortWrite);
  IsamRecRef added = 0;
  IsamAddRec(fb_, added, small.data(), small.size());
  EXPECT_EQ(Status(), IsamErrShortWrite);
  EXPECT_EQ(IsamFileLen(fb_), 2);
  EXPECT_EQ(Get(fb_, ref), "one");
}

TEST_F(RecordStoreTest, PutRewritesInPlace) {
  IsamRecRef ref = Add(fb_, "old");
  std::vector<uint8_t> rec = Record(kLength, "new");
  IsamPutRec(fb_, ref, rec.data(), rec.size());
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(Get(fb_, ref), "new");
  EXPECT_EQ(IsamFileLen(fb_), 2);
}

TEST_F(RecordStoreTest, ScansSkipDeletedSlotsAndStopAtTheEnds) {
  for (const char* t : {"1", "2", "3", "4"}) Add(fb_, t);
  IsamDeleteRec(fb_, 1);
  IsamDeleteRec(fb_, 2);
  IsamRecRef ref = 0;
  IsamNextRec(fb_, ref);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ref, 3);
  IsamNextRec(fb_, ref);
  EXPECT_EQ(ref, 4);
  IsamNextRec(fb_, ref);
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);
  EXPECT_EQ(IsamErrorClass(), IsamErrorClassNotFound);
  EXPECT_EQ(ref, 4);

  ref = 3;
  IsamPrevRec(fb_, ref);
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);
  ref = 1;
  IsamPrevRec(fb_, ref);
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);
  ref = 99;
  IsamPrevRec(fb_, ref);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ref, 4);

  ref = 2;
  IsamScanRec(fb_, ref, 0);
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);
  ref = 3;
  IsamScanRec(fb_, ref, 0);
  EXPECT_TRUE(IsamOK);
  ref = -5;
  IsamScanRec(fb_, ref, 1);
  EXPECT_EQ(ref, 3);
  ref = 0;
  IsamScanRec(fb_, ref, -1);
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);
  ref = 2;
  IsamScanRec(fb_, ref, -1);
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);
}

TEST_F(RecordStoreTest, ScanTurnsOperatingSystemFailuresIntoScanCode) {
  Add(fb_, "1");
  platform::files::File saved = std::move(fb_->DataFile);
  ASSERT_TRUE(fb_->DataFile.Open(".", platform::files::OpenMode::ReadOnly));  // reads fail: EISDIR
  IsamRecRef ref = 0;
  IsamNextRec(fb_, ref);
  EXPECT_EQ(Status(), IsamErrScanIo);
  EXPECT_EQ(IsamErrorClass(), IsamErrorClassLock);
  fb_->DataFile = std::move(saved);
}

TEST_F(RecordStoreTest, ScrollPositionsMapReferencesAndBack) {
  uint16_t pos = 7;
  IsamRecToScrollPos(fb_, pos, 0, 1);
  EXPECT_EQ(Status(), IsamErrRecScrollScale);
  IsamRecRef ref = 0;
  IsamScrollPosToRec(fb_, 0, 0, ref);
  EXPECT_EQ(Status(), IsamErrScrollScale);
  IsamScrollPosToRec(fb_, 11, 10, ref);
  EXPECT_EQ(Status(), IsamErrScrollScale);

  for (int i = 0; i < 99; ++i) Add(fb_, "r");  // n = 100
  IsamRecToScrollPos(fb_, pos, 9, 50);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(pos, 5);  // 10 * 50 div 100
  IsamRecToScrollPos(fb_, pos, 9, 99);
  EXPECT_EQ(pos, 9);
  IsamRecToScrollPos(fb_, pos, 65535, 500);  // beyond the end: the last position, not 65536
  EXPECT_EQ(pos, 65535);
  IsamScrollPosToRec(fb_, 5, 9, ref);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ref, 55);  // 5 * 100 div 10 + 10 - 5: the middle of the bucket
  IsamScrollPosToRec(fb_, 0, 9, ref);
  EXPECT_EQ(ref, 5);
}

TEST_F(RecordStoreTest, LargeReferencesKeepTheirScrollPositionsInRange) {
  fb_->NumberRecords = 2000000000;  // only the arithmetic is exercised; no slot is read
  uint16_t pos = 0;
  IsamRecToScrollPos(fb_, pos, 65535, 1000000000);
  EXPECT_TRUE(IsamOK);
  EXPECT_NEAR(pos, 32768, 8);  // halfway, within the precision of the shifted operands
  IsamRecRef ref = 0;
  IsamScrollPosToRec(fb_, 65535, 65535, ref);
  EXPECT_GT(ref, 1999900000);
  EXPECT_LE(ref, 2000000000);
  fb_->NumberRecords = 0;
}

// Builds a chained record by hand: slot layout as the engine reads it.
class VariableRecordTest : public RecordStoreTest {
 protected:
  void PutSlot(IsamRecRef ref, bool first, const std::string& data, IsamRecRef next) {
    std::vector<uint8_t> slot(kLength, 0);
    size_t start = first ? 0 : 1;
    if (!first) slot[0] = 1;
    std::memcpy(slot.data() + start, data.data(), data.size());
    IsamStoreUInt16(slot.data() + kLength - 6, static_cast<uint16_t>(data.size()));
    IsamStoreInt32(slot.data() + kLength - 4, next);
    IsamPutRec(fb_, ref, slot.data(), slot.size());
    ASSERT_TRUE(IsamOK) << IsamError;
  }
};

TEST_F(VariableRecordTest, ChainsAreReadUpToTheCapacityAndDeletedWhole) {
  for (int i = 0; i < 4; ++i) Add(fb_, "x");
  std::string head("\0\0\0\0head-part-of", 16);
  PutSlot(2, true, head, 4);
  PutSlot(4, false, "the record", 0);

  char out[64] = {};
  uint16_t length = sizeof out;
  IsamGetVariableRec(fb_, 2, out, length);
  ASSERT_TRUE(IsamOK) << IsamError;
  EXPECT_EQ(std::string(out, length), head + "the record");
  length = 20;
  IsamGetVariableRec(fb_, 2, out, length);
  EXPECT_EQ(length, 20);

  // The scan skips the continuation slot.
  IsamRecRef ref = 3;
  IsamNextRec(fb_, ref);
  EXPECT_EQ(Status(), IsamErrNoMoreRecords);

  IsamDeleteVarRec(fb_, 2);
  ASSERT_TRUE(IsamOK) << IsamError;
  EXPECT_EQ(IsamUsedRecs(fb_), 2);
  EXPECT_EQ(fb_->FirstFree, 4);
  EXPECT_EQ(Link(4), 2);
  IsamDeleteVarRec(fb_, 2);
  EXPECT_EQ(Status(), IsamErrVarChainRead);
  EXPECT_EQ(IsamUsedRecs(fb_), 2);
}

TEST_F(VariableRecordTest, BrokenChainsAreReportedAndLoseNothing) {
  for (int i = 0; i < 3; ++i) Add(fb_, "x");
  PutSlot(1, true, std::string(4, '\0') + "a", 3);  // slot 3 is a plain record, not a continuation
  char out[64];
  uint16_t length = sizeof out;
  IsamGetVariableRec(fb_, 1, out, length);
  EXPECT_EQ(Status(), IsamErrVarChainRead);
  IsamDeleteVarRec(fb_, 1);
  EXPECT_EQ(Status(), IsamErrVarChainRead);
  EXPECT_EQ(IsamUsedRecs(fb_), 3);

  PutSlot(1, true, std::string(4, '\0') + "a", 2);
  PutSlot(2, false, "b", 1);  // a loop back to the head
  IsamDeleteVarRec(fb_, 1);
  EXPECT_EQ(Status(), IsamErrVarChainRead);
  EXPECT_EQ(IsamUsedRecs(fb_), 3);

  EXPECT_TRUE(IsamSetVarRecBufferSize(4000));
}

}  // namespace
}  // namespace storage::testing
