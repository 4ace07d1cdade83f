// A write that fails with "no space left" at the N-th call, for every N an add, an update or a
// delete makes: afterwards no index entry points to a record that does not carry its key, and
// the record is either changed whole or not at all. And a close writes and syncs only what
// changed since the open.
//
// The failure comes from this binary's own pwrite, which stands in front of the C library's;
// fsync is counted the same way.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "crash_records.h"
#include "index_check.h"
#include "platform/ui/support/ui_script.h"
#include "records/po_detail_file.h"
#include "storage/byte_order.h"
#include "tree_check.h"
#include "unit_fixture.h"

using namespace records;

namespace {
int writesUntilFailure = 0;  // 0: no failure armed
int writesSeen = 0;
int syncsSeen = 0;
int loggedFile = -1;              // the descriptor whose writes are logged, -1: none
std::vector<off_t> writesLogged;  // where each of its writes went
}  // namespace

extern "C" int fsync(int fd) {
  using Real = int (*)(int);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "fsync"));
  ++syncsSeen;
  return real(fd);
}

extern "C" int fdatasync(int fd) {
  using Real = int (*)(int);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "fdatasync"));
  ++syncsSeen;
  return real(fd);
}

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
  using Real = ssize_t (*)(int, const void*, size_t, off_t);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "pwrite"));
  ++writesSeen;
  if (fd == loggedFile) writesLogged.push_back(offset);
  if (writesUntilFailure > 0 && --writesUntilFailure == 0) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, buffer, count, offset);
}

namespace storage::testing {
namespace {

constexpr int kRecords = 400;

class InjectTest : public DataUnitTest {
 protected:
  InjectTest() : DataUnitTest("9") {}
  void SetUp() override {
    DataUnitTest::SetUp();
    // Few page buffers, so index pages are written while a change runs, not only at close.
    IsamShutdown();
    IsamInitialize(0, 8);
    ASSERT_TRUE(IsamOK);
  }
  void TearDown() override {
    writesUntilFailure = 0;
    loggedFile = -1;
    DataUnitTest::TearDown();
  }

  void FreshFile() {
    if (PODetailFile) Close(PODetailFile);
    IsamDeleteFileBlock("9PD");
    ASSERT_TRUE(OpenPODetailFile());
    for (int id = 0; id < kRecords; ++id) {
      FillCrashRecord(PODetailBuf, id, id % 5);
      IsamRecRef ref = 0;
      ASSERT_TRUE(AddPODetailRecord(ref));
    }
    Close(PODetailFile);
    ASSERT_TRUE(OpenPODetailFile());
  }

  // Runs change with the n-th write failing; false once change made fewer than n writes.
  template <class Change>
  bool FailAt(int n, Change change) {
    writesSeen = 0;
    writesUntilFailure = n;
    testing_support::UiScript ui;  // nothing may be asked: no error here is a lock error
    change();
    bool failed = writesUntilFailure == 0;
    writesUntilFailure = 0;
    EXPECT_TRUE(ui.Done());
    return failed;
  }

  // The record at ref in one of the versions given (-1: deleted), and the index in step.
  void ExpectWholeOrNothing(IsamRecRef ref, int id, std::initializer_list<int> versions, int n) {
    PODetailRec rec;
    IsamGetRec(PODetailFile, ref, &rec, sizeof rec);
    ASSERT_TRUE(IsamOK);
    int foundId = 0, version = -1;
    bool live = IsamLoadInt32(reinterpret_cast<uint8_t*>(&rec)) == 0;
    if (live) {
      EXPECT_TRUE(ReadCrashRecord(rec, &foundId, &version)) << "write " << n;
      EXPECT_EQ(foundId, id) << "write " << n;
    }
    EXPECT_NE(std::find(versions.begin(), versions.end(), version), versions.end())
        << "write " << n << ": version " << version;
    std::vector<std::string> faults = IndexMatchesRecords(PODetailFile, PODetailUnit());
    for (int k = 1; k <= 6; ++k) {
      for (const std::string& fault : TreeFaults(PODetailFile, k)) faults.push_back(fault);
    }
    EXPECT_TRUE(faults.empty()) << "write " << n << ": " << faults.front();
  }
};

TEST_F(InjectTest, AFailedAddLeavesNoTrace) {
  for (int n = 1;; ++n) {
    FreshFile();
    IsamRecRef ref = 0;
    bool added = false;
    bool failed = FailAt(n, [&] {
      FillCrashRecord(PODetailBuf, kRecords, 7);
      added = AddPODetailRecord(ref);
    });
    if (!failed) break;
    EXPECT_FALSE(added) << "write " << n;
    EXPECT_EQ(IsamUsedRecs(PODetailFile), kRecords) << "write " << n;
    ExpectWholeOrNothing(1, 0, {0}, n);
    if (HasFailure()) break;
  }
}

TEST_F(InjectTest, AFailedUpdateLeavesTheOldRecordAndKeys) {
  for (int n = 1;; ++n) {
    FreshFile();
    bool updated = false;
    bool failed = FailAt(n, [&] {
      FillCrashRecord(PODetailBuf, 200, 2);  // record 201 holds id 200 in version 0
      updated = UpdatePODetailRecord(201);
    });
    if (!failed) break;
    ExpectWholeOrNothing(201, 200, {updated ? 2 : 0}, n);
    if (HasFailure()) break;
  }
}

TEST_F(InjectTest, AFailedDeleteLeavesNoEntryBehind) {
  for (int n = 1;; ++n) {
    FreshFile();
    bool failed = FailAt(n, [&] { DeletePODetailRecord(150); });
    if (!failed) break;
    ExpectWholeOrNothing(150, 149, {-1, 149 % 5}, n);
    if (HasFailure()) break;
  }
}

TEST_F(InjectTest, ACloseWritesAndSyncsOnlyWhatChanged) {
  struct Case {
    const char* what;
    std::function<void()> change;
    bool writes;  // the close writes (index pages and headers)
    int syncs;    // the close syncs this many times: index, records, then the header clean
  };
  const Case cases[] = {
      {"nothing but reads", [this] { ExpectWholeOrNothing(7, 6, {6 % 5}, 0); }, false, 0},
      {"a record rewritten in place",
       [] {
         PODetailRec rec;
         IsamGetRec(PODetailFile, 7, &rec, sizeof rec);
         IsamPutRec(PODetailFile, 7, &rec, sizeof rec);
       },
       false, 1},
      {"a record added",
       [] {
         FillCrashRecord(PODetailBuf, kRecords, 7);
         IsamRecRef ref = 0;
         EXPECT_TRUE(AddPODetailRecord(ref));
       },
       true, 3},
  };
  for (const Case& c : cases) {
    FreshFile();
    c.change();
    ASSERT_TRUE(IsamOK) << c.what;
    writesSeen = syncsSeen = 0;
    Close(PODetailFile);
    EXPECT_EQ(writesSeen > 0, c.writes) << c.what;
    EXPECT_EQ(syncsSeen, c.syncs) << c.what;
    // Whatever the close left out, the set opens clean with every record.
    ASSERT_TRUE(OpenPODetailFile()) << c.what;
    EXPECT_EQ(IsamUsedRecs(PODetailFile), kRecords + (c.writes ? 1 : 0)) << c.what;
    ExpectWholeOrNothing(7, 6, {6 % 5}, 0);
  }
}

// The index pages a change leaves in the cache, and whether walks and further changes write them.
class PageCacheTest : public InjectTest {
 protected:
  void LogIndexWrites() {
    writesLogged.clear();
    loggedFile = PODetailFile->IndexFile.fd();
  }
  void Walk(int keyNr) {
    IsamKeyStr key;
    IsamRecRef ref = 0;
    int steps = 0;
    for (IsamNextKey(PODetailFile, keyNr, ref, key); IsamOK; IsamNextKey(PODetailFile, keyNr, ref, key))
      ++steps;
    EXPECT_EQ(steps, kRecords) << "key " << keyNr;
  }
};

TEST_F(PageCacheTest, WalksEvictUnchangedPagesBeforeAChangedOne) {
  FreshFile();
  IsamAddKey(PODetailFile, 1, kRecords + 1, "");  // one changed leaf: the first of key 1
  ASSERT_TRUE(IsamOK);
  LogIndexWrites();
  for (int k = 2; k <= 6; ++k) Walk(k);  // many more pages than the eight buffers hold
  EXPECT_TRUE(writesLogged.empty()) << writesLogged.size() << " pages written while walking";
  IsamDeleteKey(PODetailFile, 1, kRecords + 1, "");
  EXPECT_TRUE(IsamOK);
}

// Keys added at random places change pages all over the index; their writes must come in batches
// that run forward through the file, not one page at a time in the order they were last used.
TEST_F(PageCacheTest, ChangedPagesGoBackInBatchesInFileOrder) {
  IsamShutdown();
  IsamInitialize(0, 64);  // write-backs of eight pages
  FreshFile();
  LogIndexWrites();
  std::mt19937 rng(5);
  const int length = PODetailFile->Keys[1].KeyLength;
  std::vector<IsamKeyStr> added;
  for (int i = 0; i < 4000; ++i) {
    IsamKeyStr key(static_cast<size_t>(length), ' ');
    for (char& c : key) c = static_cast<char>('A' + rng() % 26);
    IsamAddKey(PODetailFile, 2, kRecords + 1 + i, key);
    ASSERT_TRUE(IsamOK);
    added.push_back(key);
  }
  const std::vector<off_t> writes = writesLogged;
  size_t runs = writes.empty() ? 0 : 1;
  for (size_t i = 1; i < writes.size(); ++i)
    if (writes[i] <= writes[i - 1]) ++runs;
  ASSERT_GT(writes.size(), 200u);
  EXPECT_GE(writes.size(), 6 * runs) << writes.size() << " writes in " << runs << " forward runs";
  for (size_t i = 0; i < added.size(); ++i)
    IsamDeleteKey(PODetailFile, 2, kRecords + 1 + static_cast<int>(i), added[i]);
  EXPECT_TRUE(IsamOK);
}

}  // namespace
}  // namespace storage::testing
