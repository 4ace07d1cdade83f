// The B-tree's rules at their edges: splitting, sharing with a neighbour, borrowing and merging,
// the order of duplicates, the cursor across changes and ends, scroll positions, and damaged
// index files.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/file.h"
#include "storage/btree_fixture.h"
#include "storage/btree_walk.h"
#include "storage/isam.h"
#include "storage/page_cache.h"
#include "support/temp_dir.h"

namespace storage::testing {
namespace {

std::string NumberedKey(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "K%05d", i);
  return text;
}

// Adds keys K00000.. for the references first..last (key i for reference i).
void AddRange(KeyFileSet& fs, int first, int last, int keyNr = 1) {
  for (int i = first; i <= last; ++i) {
    fs.Add(keyNr, i, NumberedKey(i));
    ASSERT_TRUE(IsamOK) << "adding " << i << ": " << IsamError;
  }
}

void ExpectSound(KeyFileSet& fs, int keyNr = 1) {
  TreeReport r = WalkTree(fs.Block(), keyNr);
  EXPECT_TRUE(r.Faults.empty()) << ::testing::PrintToString(r.Faults);
}

// Entry counts of the root's children, left to right.
std::vector<int> ChildCounts(KeyFileSet& fs, int keyNr = 1) {
  IsamKeyState& k = fs.Key(keyNr);
  std::vector<int32_t> pages;
  IsamPageView root = IsamFetchPage(fs.Block(), keyNr, k.RootPage)->View();
  for (int i = 0; i <= root.Count(); ++i) pages.push_back(root.ChildAt(i));
  std::vector<int> counts;
  for (int32_t p : pages) counts.push_back(IsamFetchPage(fs.Block(), keyNr, p)->View().Count());
  return counts;
}

int RootCount(KeyFileSet& fs, int keyNr = 1) {
  return IsamFetchPage(fs.Block(), keyNr, fs.Key(keyNr).RootPage)->View().Count();
}

struct Step {
  IsamRecRef Ref;
  std::string Key;
};

std::vector<Step> WalkForward(KeyFileSet& fs, int keyNr = 1) {
  std::vector<Step> out;
  IsamRecRef ref = 0;
  IsamKeyStr key;
  for (fs.Next(keyNr, ref, key); IsamOK; fs.Next(keyNr, ref, key)) out.push_back({ref, key});
  EXPECT_EQ(IsamError, IsamErrEndOfIndex);
  return out;
}

TEST(BtreeShape, The63rdEntrySplitsTheRootIntoTwoLeavesOf31) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  AddRange(fs, 0, 61);
  EXPECT_EQ(fs.Key(1).NumberPages, 1);
  EXPECT_EQ(RootCount(fs), 62);
  fs.Add(1, 62, NumberedKey(62));
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(fs.Key(1).NumberPages, 3);
  EXPECT_EQ(fs.Key(1).RootPage, 3) << "the split half is taken before the new root";
  ASSERT_EQ(RootCount(fs), 1);
  IsamPageView root = IsamFetchPage(fs.Block(), 1, 3)->View();
  EXPECT_EQ(root.Key(1), NumberedKey(31));
  EXPECT_EQ(root.LeftChild(), 1);
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{31, 31}));
  ExpectSound(fs);
  fs.Reopen();
  EXPECT_EQ(fs.Used(1), 63);
  EXPECT_EQ(WalkForward(fs).size(), 63u);
  ExpectSound(fs);
}

TEST(BtreeShape, AFullLeafSharesWithItsNeighbourBeforeSplitting) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  AddRange(fs, 0, 62);   // leaves of 31 and 31
  AddRange(fs, 63, 93);  // the right leaf is full: 62
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{31, 62}));
  fs.Add(1, 94, NumberedKey(94));  // the last child shares with its left neighbour
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(fs.Key(1).NumberPages, 3) << "no page was taken";
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{47, 47}));
  ExpectSound(fs);

  // Against a right neighbour the full page keeps (c + s + 2) div 2 of its entries.
  KeyFileSet other({{10, false}}, 30, "KR");
  for (int i = 0; i <= 62; ++i) other.Add(1, i, NumberedKey(i * 2));
  for (int i = 0; i < 31; ++i) other.Add(1, 1000 + i, NumberedKey(i * 2 + 1) + "x");
  EXPECT_EQ(ChildCounts(other), (std::vector<int>{62, 31}));
  other.Add(1, 2000, NumberedKey(0) + "a");
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(ChildCounts(other), (std::vector<int>{47, 47}));  // 62 + 31 + 2 = 95 entries: 47, up, 47
  ExpectSound(other);
}

TEST(BtreeShape, DeletesBorrowFromA32Or33NeighbourAndMergeWithA31One) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  AddRange(fs, 0, 62);
  AddRange(fs, 63, 64);  // right leaf 33
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{31, 33}));
  fs.Delete(1, 0, NumberedKey(0));  // left 30: borrows one through the parent
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{31, 32}));
  EXPECT_EQ(IsamFetchPage(fs.Block(), 1, fs.Key(1).RootPage)->View().Key(1), NumberedKey(32));
  fs.Delete(1, 1, NumberedKey(1));  // again, from 32
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{31, 31}));
  ExpectSound(fs);

  fs.Delete(1, 2, NumberedKey(2));  // left 30, right 31: one page of 62, the root goes
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(RootCount(fs), 62);
  EXPECT_TRUE(IsamFetchPage(fs.Block(), 1, fs.Key(1).RootPage)->View().IsLeaf());
  EXPECT_EQ(fs.Key(1).NumberFree, 2);
  EXPECT_EQ(fs.Key(1).NumberPages, 3);
  ExpectSound(fs);

  // The last child borrows from its left neighbour, and merges into it.
  AddRange(fs, 200, 201);  // splits the leaf of K00003..K00064 again
  fs.Reopen();
  EXPECT_EQ(fs.Key(1).NumberFree, 0) << "freed pages are taken again";
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{31, 32}));
  fs.Add(1, 300, NumberedKey(3) + "a");
  fs.Add(1, 301, NumberedKey(4) + "a");
  fs.Delete(1, 201, NumberedKey(201));
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{33, 31}));
  fs.Delete(1, 200, NumberedKey(200));
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{32, 31}));
  fs.Delete(1, 64, NumberedKey(64));
  EXPECT_EQ(ChildCounts(fs), (std::vector<int>{31, 31}));
  ExpectSound(fs);
  fs.Delete(1, 63, NumberedKey(63));
  EXPECT_EQ(RootCount(fs), 62);
  EXPECT_EQ(fs.Key(1).NumberFree, 2);
  ExpectSound(fs);
}

TEST(BtreeShape, DeletingTheLastEntryEmptiesTheRootAndFreesEveryPage) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  AddRange(fs, 0, 3000);
  fs.Reopen();
  for (int i = 3000; i >= 0; --i) {
    fs.Delete(1, i, NumberedKey(i));
    ASSERT_TRUE(IsamOK) << i;
  }
  EXPECT_EQ(fs.Key(1).RootPage, 0);
  EXPECT_EQ(fs.Used(1), 0);
  EXPECT_EQ(fs.Key(1).NumberFree, fs.Key(1).NumberPages);
  ExpectSound(fs);
  const int32_t pages = fs.Key(1).NumberPages;
  fs.Reopen();
  AddRange(fs, 0, 1000);
  EXPECT_EQ(fs.Key(1).NumberPages, pages) << "new pages come from the free chain";
  ExpectSound(fs);
}

TEST(BtreeKeys, DuplicatesAreOrderedByReference) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, true}, {10, false}});
  for (IsamRecRef r : {7, 3, 5}) {
    fs.Add(1, r, "A");
    ASSERT_TRUE(IsamOK);
  }
  std::vector<Step> steps = WalkForward(fs);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].Ref, 3);
  EXPECT_EQ(steps[1].Ref, 5);
  EXPECT_EQ(steps[2].Ref, 7);
  IsamRecRef ref = 99;
  IsamKeyStr key = "A";
  fs.Search(1, ref, key);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ref, 3);

  fs.Add(1, 5, "A");
  EXPECT_EQ(IsamError, IsamErrDuplicateKey);
  fs.Add(2, 1, "A");
  EXPECT_TRUE(IsamOK);
  fs.Add(2, 2, "A");
  EXPECT_EQ(IsamError, IsamErrDuplicateKey);
  EXPECT_EQ(fs.Used(1), 3);
  EXPECT_EQ(fs.Used(2), 1);

  // Deleting from a duplicate index takes the exact entry only.
  fs.Delete(1, 4, "A");
  EXPECT_EQ(IsamError, IsamErrDeleteKeyNotFound);
  fs.Delete(1, 5, "A");
  EXPECT_TRUE(IsamOK);
  steps = WalkForward(fs);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[1].Ref, 7);
}

TEST(BtreeKeys, KeysLongerThanTheKeyAreRefusedAndLongerThan30Cut) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}, {30, false}});
  fs.Add(1, 1, "ABCDEFGHIJKL");
  EXPECT_EQ(IsamError, IsamErrKeyTooLong);
  EXPECT_EQ(fs.Used(1), 0);
  const std::string longKey(35, 'Z');
  fs.Add(2, 1, longKey);
  EXPECT_TRUE(IsamOK);
  IsamRecRef ref = 0;
  IsamKeyStr key = std::string(30, 'Z');
  fs.Find(2, ref, key, 0);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ref, 1);
  key = longKey;
  fs.Search(2, ref, key);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(key, std::string(30, 'Z'));
}

TEST(BtreeKeys, SearchGivesTheFirstEntryAtOrAfterTheKey) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  for (int i = 0; i < 500; i += 2) fs.Add(1, i + 1, NumberedKey(i));
  IsamRecRef ref = 0;
  IsamKeyStr key = NumberedKey(101);
  fs.Search(1, ref, key);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(key, NumberedKey(102));
  EXPECT_EQ(ref, 103);
  key = "K";  // below everything
  fs.Search(1, ref, key);
  EXPECT_EQ(key, NumberedKey(0));
  key = "Z";
  fs.Search(1, ref, key);
  EXPECT_EQ(IsamError, IsamErrKeyNotFound);
  EXPECT_EQ(key, "Z") << "a failed search leaves the arguments alone";
}

TEST(BtreeCursor, FindKeyAndRefByDirection) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, true}});
  for (int i = 1; i <= 200; ++i) fs.Add(1, i, NumberedKey(i / 10));
  IsamRecRef ref = 15;
  IsamKeyStr key = NumberedKey(1);
  fs.Find(1, ref, key, 0);
  EXPECT_TRUE(IsamOK);
  ref = 16;
  key = NumberedKey(0);
  fs.Find(1, ref, key, 0);
  EXPECT_EQ(IsamError, IsamErrKeyAndRefNotFound);
  fs.Find(1, ref, key, 1);  // the next after (K00000, 16): (K00001, 10)
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ref, 10);
  EXPECT_EQ(key, NumberedKey(1));
  ref = 16;
  key = NumberedKey(0);
  fs.Find(1, ref, key, -1);  // the greatest below: (K00000, 9)
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(ref, 9);
  fs.Next(1, ref, key);  // the cursor stands on it
  EXPECT_EQ(ref, 10);
  ref = 0;
  key = "A";
  fs.Find(1, ref, key, -1);
  EXPECT_EQ(IsamError, IsamErrBeginOfIndex);
  ref = 0;
  key = "Z";
  fs.Find(1, ref, key, 1);
  EXPECT_EQ(IsamError, IsamErrEndOfIndex);
}

TEST(BtreeCursor, StepsRunOffTheEndsAndStartAgain) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  AddRange(fs, 1, 150);
  IsamRecRef ref = 0;
  IsamKeyStr key;
  std::vector<Step> forward = WalkForward(fs);
  ASSERT_EQ(forward.size(), 150u);
  fs.Next(1, ref, key);
  EXPECT_TRUE(IsamOK) << "after the end the next step starts again";
  EXPECT_EQ(ref, 1);

  fs.Reopen();
  std::vector<IsamRecRef> backward;
  for (fs.Prev(1, ref, key); IsamOK; fs.Prev(1, ref, key)) backward.push_back(ref);
  EXPECT_EQ(IsamError, IsamErrBeginOfIndex);
  ASSERT_EQ(backward.size(), 150u);
  EXPECT_EQ(backward.front(), 150);
  EXPECT_EQ(backward.back(), 1);
  fs.Prev(1, ref, key);
  EXPECT_EQ(ref, 150);
  fs.Prev(1, ref, key);
  EXPECT_EQ(ref, 149);
  fs.Next(1, ref, key);
  EXPECT_EQ(ref, 150);
}

TEST(BtreeCursor, AStepAfterAChangeContinuesFromTheKeyPassedIn) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}, {10, false}});
  AddRange(fs, 1, 400);
  AddRange(fs, 1, 10, 2);
  IsamRecRef ref = 200;
  IsamKeyStr key = NumberedKey(200);
  fs.Find(1, ref, key, 0);
  ASSERT_TRUE(IsamOK);

  // Changes to another key leave this cursor alone.
  fs.Add(2, 500, "OTHER");
  IsamRecRef ref2 = 0;
  IsamKeyStr key2;
  fs.Next(1, ref, key);
  EXPECT_EQ(ref, 201);

  // Adds and deletes elsewhere in the same index split and merge pages under the cursor.
  for (int i = 1; i <= 150; ++i) fs.Delete(1, i, NumberedKey(i));
  for (int i = 1000; i < 1100; ++i) fs.Add(1, i, NumberedKey(201) + std::to_string(i));
  fs.Next(1, ref, key);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(key, NumberedKey(201) + "1000");

  // The entry under the cursor itself deleted: the step goes on from where it was.
  fs.Delete(1, ref, key);
  fs.Next(1, ref, key);
  EXPECT_EQ(key, NumberedKey(201) + "1001");
  fs.Delete(1, ref, key);
  fs.Prev(1, ref, key);
  EXPECT_EQ(key, NumberedKey(201));
  fs.Next(2, ref2, key2);
  EXPECT_EQ(ref2, 1) << "the other key's cursor started on its own";
  ExpectSound(fs);
  ExpectSound(fs, 2);
}

TEST(BtreeScroll, EndsMapToZeroAndTheTopAndPositionsRiseWithTheKey) {
  testing_support::TempDir dir;
  for (int size : {1, 2, 40, 62, 63, 700, 4000}) {
    SCOPED_TRACE(size);
    KeyFileSet fs({{10, true}}, 30, "S" + std::to_string(size));
    for (int i = 1; i <= size; ++i) fs.Add(1, i, NumberedKey(i % 997));
    const std::vector<Step> all = WalkForward(fs);
    ASSERT_EQ(static_cast<int>(all.size()), size);
    for (uint16_t scale : {uint16_t(1), uint16_t(63), uint16_t(1000), uint16_t(65535)}) {
      uint16_t previous = 0;
      for (size_t i = 0; i < all.size(); ++i) {
        uint16_t pos = 12345;
        fs.KeyToScrollPos(1, pos, scale, all[i].Key, all[i].Ref);
        ASSERT_TRUE(IsamOK);
        if (i == 0) {
          EXPECT_EQ(pos, 0);
        } else if (i + 1 == all.size()) {
          EXPECT_EQ(pos, scale);
        }
        EXPECT_GE(pos, previous) << "entry " << i << " scale " << scale;
        previous = pos;
      }
      // And back: both ends reach real entries, and a larger position never gives a smaller entry.
      size_t previousIndex = 0;
      for (uint32_t p = 0; p <= scale; p += 1 + scale / 200) {
        IsamKeyStr key;
        IsamRecRef ref = 0;
        fs.ScrollPosToKey(1, static_cast<uint16_t>(p), scale, key, ref);
        ASSERT_TRUE(IsamOK);
        size_t index = 0;
        while (index < all.size() && !(all[index].Key == key && all[index].Ref == ref)) ++index;
        ASSERT_LT(index, all.size()) << "position " << p << " gave no entry of the index";
        if (p == 0) {
          EXPECT_EQ(index, 0u);
        }
        EXPECT_GE(index, previousIndex);
        previousIndex = index;
      }
      IsamKeyStr key;
      IsamRecRef ref = 0;
      fs.ScrollPosToKey(1, scale, scale, key, ref);
      EXPECT_EQ(ref, all.back().Ref);
    }
  }
}

TEST(BtreeScroll, BadScalesAndEmptyIndexes) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  uint16_t pos = 0;
  IsamKeyStr key;
  IsamRecRef ref = 0;
  fs.KeyToScrollPos(1, pos, 63, "A", 1);
  EXPECT_EQ(IsamError, IsamErrKeyScrollEmptyIndex);
  fs.ScrollPosToKey(1, 0, 63, key, ref);
  EXPECT_EQ(IsamError, IsamErrScrollEmptyIndex);
  fs.Add(1, 1, "A");
  fs.KeyToScrollPos(1, pos, 0, "A", 1);
  EXPECT_EQ(IsamError, IsamErrRecScrollScale);
  fs.ScrollPosToKey(1, 0, 0, key, ref);
  EXPECT_EQ(IsamError, IsamErrScrollScale);
  fs.ScrollPosToKey(1, 64, 63, key, ref);
  EXPECT_EQ(IsamError, IsamErrScrollScale);
}

// ---- The engine's guard and the dirty byte ------------------------------------------------

TEST(BtreeGuard, EveryKeyOperationChecksTheKeyNumberAndTheHandle) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}, {10, true}});
  fs.Add(1, 1, "A");
  IsamFileBlock open = &fs.Block();
  IsamRecRef ref = 0;
  IsamKeyStr key = "A";
  uint16_t pos = 0;
  const std::vector<std::function<void(IsamFileBlock, int32_t)>> operations = {
      [&](IsamFileBlock fb, int32_t k) { IsamAddKey(fb, k, 2, "B"); },
      [&](IsamFileBlock fb, int32_t k) { IsamDeleteKey(fb, k, 1, "A"); },
      [&](IsamFileBlock fb, int32_t k) { IsamSearchKey(fb, k, ref, key); },
      [&](IsamFileBlock fb, int32_t k) { IsamFindKeyAndRef(fb, k, ref, key, 1); },
      [&](IsamFileBlock fb, int32_t k) { IsamNextKey(fb, k, ref, key); },
      [&](IsamFileBlock fb, int32_t k) { IsamPrevKey(fb, k, ref, key); },
      [&](IsamFileBlock fb, int32_t k) { IsamUsedKeys(fb, k); },
      [&](IsamFileBlock fb, int32_t k) { IsamKeyToScrollPos(fb, k, pos, 63, key, ref); },
      [&](IsamFileBlock fb, int32_t k) { IsamScrollPosToKey(fb, k, 1, 63, key, ref); },
  };
  for (size_t i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE(i);
    for (int32_t keyNr : {0, 3, -1, 256 + 1}) {
      operations[i](open, keyNr);
      EXPECT_EQ(IsamError, IsamErrKeyNumber) << keyNr;
    }
    operations[i](nullptr, 1);
    EXPECT_EQ(IsamError, IsamErrBadHandle);
  }
  EXPECT_EQ(fs.Used(1), 1) << "nothing changed";
  EXPECT_EQ(fs.Used(2), 0);
}

TEST(BtreeGuard, TheDirtyByteIsOnDiskBeforeTheFirstKeyChange) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  // Read past the engine's lock, as a crash would leave the file for the next open.
  auto dirtyByte = [&fs] {
    std::ifstream in(fs.DataName(), std::ios::binary);
    in.seekg(20);
    return in.get();
  };
  IsamRecRef ref = 0;
  IsamKeyStr key = "A";
  fs.Search(1, ref, key);
  EXPECT_EQ(dirtyByte(), 0) << "reading changes nothing";
  fs.Add(1, 1, "A");
  EXPECT_EQ(dirtyByte(), 1);
  fs.Reopen();
  EXPECT_EQ(dirtyByte(), 0);
  fs.Delete(1, 1, "B");  // even a delete that finds nothing
  EXPECT_EQ(dirtyByte(), 1);
}

// ---- Damaged index files ------------------------------------------------------------------

class DamagedIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_ = std::make_unique<KeyFileSet>(std::vector<KeySpec>{{10, false}}, 8);
    AddRange(*fs_, 0, 99);  // a root over two or three leaves
    fs_->Close();
  }

  void Patch(int32_t page, int64_t offset, const void* bytes, size_t n) {
    platform::files::File f;
    ASSERT_TRUE(f.Open(fs_->IndexName(), platform::files::OpenMode::ReadWrite));
    const int64_t rowSize = 6 + 62 * 19;
    ASSERT_TRUE(f.WriteAt(page * rowSize + offset, bytes, n));
  }

  // Every operation that reaches the damaged last leaf reports the damage instead of following it.
  void ExpectEveryOperationFails() {
    fs_->Open();
    IsamRecRef ref = 0;
    IsamKeyStr key = NumberedKey(98) + "5";
    fs_->Search(1, ref, key);
    EXPECT_EQ(IsamError, IsamErrIndexDefective);
    key = NumberedKey(99) + "5";
    fs_->Find(1, ref, key, 1);
    EXPECT_EQ(IsamError, IsamErrIndexDefective);
    fs_->Add(1, 500, NumberedKey(500));
    EXPECT_EQ(IsamError, IsamErrIndexDefective);
    fs_->Delete(1, 99, NumberedKey(99));
    EXPECT_EQ(IsamError, IsamErrIndexDefective);
    uint16_t pos = 0;
    fs_->KeyToScrollPos(1, pos, 63, NumberedKey(50), 50);
    EXPECT_EQ(IsamError, IsamErrIndexDefective);
    ref = 0;
    key.clear();
    int steps = 0;
    for (fs_->Prev(1, ref, key); IsamOK && steps < 1000; fs_->Prev(1, ref, key)) ++steps;
    EXPECT_EQ(IsamError, IsamErrIndexDefective);
    EXPECT_EQ(fs_->Used(1), 100) << "nothing was changed";
  }

  int32_t Root() { return fs_->Key(1).RootPage; }

  testing_support::TempDir dir_;
  std::unique_ptr<KeyFileSet> fs_;
};

TEST_F(DamagedIndex, AnEntryCountAbove62) {
  fs_->Open();
  const int32_t last = IsamFetchPage(fs_->Block(), 1, Root())->View().ChildAt(RootCount(*fs_));
  fs_->Close();
  const uint16_t count = 63;
  Patch(last, 0, &count, 2);
  ExpectEveryOperationFails();
}

TEST_F(DamagedIndex, AChildBeyondNumberPages) {
  fs_->Open();
  const int32_t root = Root();
  const int32_t pages = fs_->Key(1).NumberPages;
  const int rootCount = RootCount(*fs_);
  fs_->Close();
  const int32_t beyond = pages + 1;
  Patch(root, 6 + (rootCount - 1) * 19 + 4, &beyond, 4);
  Patch(root, 6 + 4, &beyond, 4);
  ExpectEveryOperationFails();
}

TEST_F(DamagedIndex, AKeyLengthByteAboveTheKeyLength) {
  fs_->Open();
  const int32_t root = Root();
  fs_->Close();
  const uint8_t length = 11;
  Patch(root, 6 + 8, &length, 1);
  ExpectEveryOperationFails();
}

TEST_F(DamagedIndex, AChildLinkBackToTheRoot) {
  fs_->Open();
  const int32_t root = Root();
  const int32_t last = IsamFetchPage(fs_->Block(), 1, root)->View().ChildAt(RootCount(*fs_));
  const int32_t first = IsamFetchPage(fs_->Block(), 1, root)->View().LeftChild();
  const int lastCount = IsamFetchPage(fs_->Block(), 1, last)->View().Count();
  const int firstCount = IsamFetchPage(fs_->Block(), 1, first)->View().Count();
  fs_->Close();
  // Both outer leaves turn into inner pages whose every link leads back up to the root.
  for (auto [page, count] : {std::pair{last, lastCount}, std::pair{first, firstCount}}) {
    Patch(page, 2, &root, 4);
    for (int i = 0; i < count; ++i) Patch(page, 6 + i * 19 + 4, &root, 4);
  }
  ExpectEveryOperationFails();
}

TEST_F(DamagedIndex, AFreeChainHeadOutOfRangeOrInTheTree) {
  fs_->Open();
  for (int i = 0; i < 100; ++i) fs_->Delete(1, i, NumberedKey(i));
  EXPECT_EQ(fs_->Key(1).RootPage, 0);
  fs_->Key(1).FirstFree = fs_->Key(1).NumberPages + 1;
  fs_->Add(1, 1, "A");
  EXPECT_EQ(IsamError, IsamErrFreeChain);
  fs_->Key(1).FirstFree = 1;
  IsamStoreInt32(IsamFetchPage(fs_->Block(), 1, 1)->Data, 0);
  fs_->Add(1, 1, "A");
  EXPECT_EQ(IsamError, IsamErrFreeChain);
  EXPECT_EQ(fs_->Used(1), 0);

  // A chain whose head is the root itself: the split that needs a page refuses it.
  fs_->Key(1).FirstFree = -1;
  AddRange(*fs_, 0, 61);
  fs_->Key(1).FirstFree = fs_->Key(1).RootPage;
  fs_->Add(1, 62, NumberedKey(62));
  EXPECT_EQ(IsamError, IsamErrFreeChain);
  EXPECT_EQ(RootCount(*fs_), 62) << "the root was left as it was";
  fs_->Key(1).FirstFree = -1;
}

// Adds keys above every other until an add fails; returns how many went in.
int AddUntilRefused(KeyFileSet& fs, int first) {
  int added = 0;
  for (int i = first; i < first + 500; ++i, ++added) {
    fs.Add(1, i, NumberedKey(i));
    if (!IsamOK) break;
  }
  return added;
}

// A free chain that leads into the tree, or to a page that does not read as freed (link, then
// zeros), is refused when a page is taken: no entry is overwritten, and the set stays marked for
// a rebuild.
TEST_F(DamagedIndex, AFreeChainIntoTheTreeOrOverOldContentsIsRefused) {
  struct Case {
    const char* what;
    std::function<void()> damage;
  };
  const Case cases[] = {
      {"head on a leaf the adds do not touch",
       [this] {
         fs_->Open();
         const int32_t leaf = IsamFetchPage(fs_->Block(), 1, Root())->View().LeftChild();  // not in the cache
         fs_->Close();
         const int32_t one = 1;
         Patch(0, 0, &leaf, 4);
         Patch(0, 4, &one, 4);
       }},
      {"head on a freed page that kept its old entries",
       [this] {
         fs_->Open();
         for (int i = 0; i < 60; ++i) fs_->Delete(1, i, NumberedKey(i));  // a merge frees a page
         const int32_t freed = fs_->Key(1).FirstFree;
         ASSERT_GT(freed, 0);
         fs_->Close();
         const int32_t oldRef = 7;
         Patch(freed, 6, &oldRef, 4);
       }},
  };
  for (const Case& c : cases) {
    fs_.reset();  // a fresh sample for each case
    SetUp();
    c.damage();
    ASSERT_FALSE(HasFatalFailure()) << c.what;
    fs_->Open();
    const std::vector<Step> before = WalkForward(*fs_);
    const int added = AddUntilRefused(*fs_, 1000);
    EXPECT_EQ(IsamError, IsamErrFreeChain) << c.what;
    EXPECT_EQ(fs_->Used(1), static_cast<int32_t>(before.size()) + added) << c.what;
    std::vector<Step> after = WalkForward(*fs_);
    after.resize(before.size());
    for (size_t i = 0; i < before.size(); ++i)
      EXPECT_EQ(after[i].Ref, before[i].Ref) << c.what << ": entry " << i << " overwritten";
    fs_->Close();
    IsamFileBlock fb = nullptr;
    IsamOpenFileBlock(fb, "KT", false, false, false, true);
    EXPECT_EQ(IsamError, IsamErrIndexDefective) << c.what << ": a rebuild is asked for";
  }
}

TEST(DamagedTree, ALeafHungOneLevelTooHigh) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  AddRange(fs, 0, 4999);
  ASSERT_EQ(WalkTree(fs.Block(), 1).Height, 3);
  // The root's first link skips a level and leads straight to the first leaf.
  const int32_t inner = IsamFetchPage(fs.Block(), 1, fs.Key(1).RootPage)->View().LeftChild();
  const int32_t leaf = IsamFetchPage(fs.Block(), 1, inner)->View().LeftChild();
  IsamPageBuffer* root = IsamFetchPage(fs.Block(), 1, fs.Key(1).RootPage);
  root->View().SetLeftChild(leaf);
  root->Changed = true;
  fs.Reopen();
  IsamRecRef ref = 0;
  IsamKeyStr key = NumberedKey(4999);
  fs.Search(1, ref, key);
  EXPECT_TRUE(IsamOK) << "the sound part of the tree tells its height";
  key = NumberedKey(0);
  fs.Search(1, ref, key);
  EXPECT_EQ(IsamError, IsamErrIndexDefective);
  fs.Add(1, 9000, NumberedKey(0) + "a");
  EXPECT_EQ(IsamError, IsamErrIndexDefective);
  ref = 0;
  key.clear();
  fs.Next(1, ref, key);
  EXPECT_EQ(IsamError, IsamErrIndexDefective);
}

// ---- The page cache ------------------------------------------------------------------------

TEST(BtreeCache, OnlyTheUsedPartOfAPageIsWritten) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}});
  AddRange(fs, 0, 9);
  fs.Close();
  // Mark the bytes after the tenth entry of page 1; rewriting the page must not touch them.
  const int64_t rowSize = 6 + 62 * 19;
  const int64_t unused = rowSize + 6 + 10 * 19;
  {
    platform::files::File f;
    ASSERT_TRUE(f.Open(fs.IndexName(), platform::files::OpenMode::ReadWrite));
    const char mark[4] = {'M', 'A', 'R', 'K'};
    ASSERT_TRUE(f.WriteAt(unused + 19, mark, 4));
  }
  fs.Open();
  fs.Delete(1, 0, NumberedKey(0));
  fs.Add(1, 10, NumberedKey(10));
  fs.Close();
  platform::files::File f;
  ASSERT_TRUE(f.Open(fs.IndexName(), platform::files::OpenMode::ReadOnly));
  char got[4];
  ASSERT_TRUE(f.ReadAt(unused + 19, got, 4));
  EXPECT_EQ(std::string(got, 4), "MARK");
  char entry[19];
  ASSERT_TRUE(f.ReadAt(rowSize + 6 + 9 * 19, entry, 19));
  EXPECT_EQ(std::string(entry + 9, 6), NumberedKey(10)) << "the used part reached the disk";
  f.Close();
  fs.Open();
}

TEST(BtreeCache, AFailedWriteKeepsThePageChangedForTheNextFlush) {
  testing_support::TempDir dir;
  KeyFileSet fs({{10, false}}, 8);
  for (int i = 0; i < 1000; ++i) fs.Add(1, i, NumberedKey(i * 7919 % 1000));
  // The device goes away: evicting a changed page cannot write it.
  fs.Block().IndexFile.Close();
  fs.Block().IndexMap.Unmap();  // nor can a page be read
  int failures = 0;
  for (int i = 0; i < 1000; i += 97) {
    IsamRecRef ref = 0;
    IsamKeyStr key = NumberedKey(i);
    fs.Search(1, ref, key);
    if (!IsamOK) {
      ++failures;
      EXPECT_EQ(IsamError, IsamErrInvalidHandle) << "the write's own error";
    }
  }
  EXPECT_GT(failures, 0);
  // Back again: the close writes every page still changed, and nothing was lost.
  ASSERT_TRUE(fs.Block().IndexFile.Open(fs.IndexName(), platform::files::OpenMode::ReadWrite));
  fs.Reopen();
  TreeReport r = WalkTree(fs.Block(), 1);
  EXPECT_TRUE(r.Faults.empty()) << ::testing::PrintToString(r.Faults);
  EXPECT_EQ(r.Entries.size(), 1000u);
}

TEST(BtreeCache, EightBuffersServeSeveralFileSetsAndDeepTrees) {
  testing_support::TempDir dir;
  KeyFileSet a({{30, true}, {1, false}, {10, false}}, 8, "CA");
  KeyFileSet b({{20, false}}, 8, "CB");
  for (int i = 0; i < 6000; ++i) {
    const std::string k = NumberedKey((i * 7919) % 6000);
    a.Add(1, i + 1, k + std::string(20, 'x'));
    ASSERT_TRUE(IsamOK) << i;
    a.Add(2, i + 1, std::string(1, static_cast<char>(i % 256)));
    ASSERT_EQ(IsamOK, i < 256) << i;
    a.Add(3, i + 1, k);
    b.Add(1, i + 1, k);
  }
  TreeReport deep = WalkTree(a.Block(), 1);
  EXPECT_TRUE(deep.Faults.empty());
  EXPECT_EQ(deep.Height, 3);
  a.Reopen();
  b.Reopen();
  for (int k = 1; k <= 3; ++k) ExpectSound(a, k);
  ExpectSound(b);
  EXPECT_EQ(WalkForward(b).size(), 6000u);
}

}  // namespace
}  // namespace storage::testing
