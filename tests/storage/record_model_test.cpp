// A long random run of adds, deletes, rewrites and reads checked against a plain model of the
// slots: which are live, what they hold, and the free chain as a stack.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "storage_fixture.h"

namespace storage::testing {
namespace {

struct SlotModel {
  std::vector<std::vector<uint8_t>> contents;  // element r-1 is slot r
  std::vector<bool> live;
  std::vector<IsamRecRef> freeStack;  // top at the back

  int32_t Used() const { return static_cast<int32_t>(contents.size() - freeStack.size()); }
};

class RecordModelTest : public StorageTest {
 protected:
  static constexpr int32_t kLength = 33;

  std::vector<uint8_t> RandomRecord() {
    std::vector<uint8_t> rec(kLength);
    for (size_t i = 4; i < rec.size(); ++i) rec[i] = static_cast<uint8_t>(rng_());
    return rec;  // bytes 0..3 stay 0: a live record
  }
  IsamRecRef AnySlot() {
    return static_cast<IsamRecRef>(rng_() % (model_.contents.size() + 2));  // 0 and one past the end too
  }

  void CheckAgainstModel(IsamFileBlock fb) {
    ASSERT_EQ(IsamUsedRecs(fb), model_.Used());
    ASSERT_EQ(IsamFileLen(fb), static_cast<int32_t>(model_.contents.size()) + 1);
    std::vector<IsamRecRef> scanned;
    IsamRecRef ref = 0;
    for (IsamNextRec(fb, ref); IsamOK; IsamNextRec(fb, ref)) scanned.push_back(ref);
    ASSERT_EQ(IsamError, IsamErrNoMoreRecords);
    std::vector<IsamRecRef> expected;
    for (size_t r = 0; r < model_.live.size(); ++r) {
      if (model_.live[r]) expected.push_back(static_cast<IsamRecRef>(r + 1));
    }
    ASSERT_EQ(scanned, expected);
    std::vector<uint8_t> rec(kLength);
    for (IsamRecRef r : expected) {
      IsamGetRec(fb, r, rec.data(), rec.size());
      ASSERT_EQ(rec, model_.contents[r - 1]) << "slot " << r;
    }
  }

  std::mt19937 rng_{20261207};
  SlotModel model_;
};

TEST_F(RecordModelTest, RandomOperationsMatchTheModelAcrossReopens) {
  Create("M", kLength);
  IsamFileBlock fb = Open("M");
  for (int step = 0; step < 4000; ++step) {
    unsigned op = rng_() % 100;
    if (op < 40) {
      std::vector<uint8_t> rec = RandomRecord();
      IsamRecRef ref = 0;
      IsamAddRec(fb, ref, rec.data(), rec.size());
      ASSERT_TRUE(IsamOK) << IsamError;
      IsamRecRef expected = static_cast<IsamRecRef>(model_.contents.size()) + 1;
      if (!model_.freeStack.empty()) {
        expected = model_.freeStack.back();
        model_.freeStack.pop_back();
      } else {
        model_.contents.emplace_back();
        model_.live.push_back(false);
      }
      ASSERT_EQ(ref, expected) << "step " << step;
      model_.contents[ref - 1] = rec;
      model_.live[ref - 1] = true;
    } else if (op < 70) {
      IsamRecRef ref = AnySlot();
      IsamDeleteRec(fb, ref);
      bool deletable = ref >= 1 && ref <= static_cast<IsamRecRef>(model_.live.size()) && model_.live[ref - 1];
      ASSERT_EQ(Status(), deletable ? 0 : IsamErrDeleteRefRange) << "step " << step << " ref " << ref;
      if (deletable) {
        model_.live[ref - 1] = false;
        model_.freeStack.push_back(ref);
      }
    } else if (op < 97) {
      IsamRecRef ref = AnySlot();
      if (ref >= 1 && ref <= static_cast<IsamRecRef>(model_.live.size()) && !model_.live[ref - 1]) continue;
      std::vector<uint8_t> rec = RandomRecord();
      IsamPutRec(fb, ref, rec.data(), rec.size());
      bool inRange = ref >= 1 && ref <= static_cast<IsamRecRef>(model_.live.size());
      ASSERT_EQ(Status(), inRange ? 0 : (ref == 0 ? IsamErrPutRefZero : IsamErrDeleteRefRange));
      if (inRange) model_.contents[ref - 1] = rec;
    } else {
      Close(fb);
      fb = Open("M");
      ASSERT_NE(fb, nullptr);
    }
    if (step % 250 == 0) {
      ASSERT_NO_FATAL_FAILURE(CheckAgainstModel(fb));
    }
  }
  ASSERT_NO_FATAL_FAILURE(CheckAgainstModel(fb));
  Close(fb);
  EXPECT_EQ(ReadFile("M.DAT").size(), (model_.contents.size() + 1) * kLength);
}

// Reads that move slot by slot (the way records are read ahead) among adds, deletes and
// rewrites: every read returns what the slot holds now, a deleted slot its link and old bytes.
TEST_F(RecordModelTest, ReadsInOrderSeeEveryChangeMadeAmongThem) {
  Create("S", kLength);
  IsamFileBlock fb = Open("S");
  auto add = [&] {
    std::vector<uint8_t> rec = RandomRecord();
    IsamRecRef ref = 0;
    IsamAddRec(fb, ref, rec.data(), rec.size());
    ASSERT_TRUE(IsamOK) << IsamError;
    if (!model_.freeStack.empty()) {
      model_.freeStack.pop_back();
    } else {
      model_.contents.emplace_back();
      model_.live.push_back(false);
    }
    model_.contents[ref - 1] = rec;
    model_.live[ref - 1] = true;
  };
  for (int i = 0; i < 400; ++i) add();
  IsamRecRef at = 1;
  int direction = 1;
  std::vector<uint8_t> rec(kLength);
  for (int step = 0; step < 30000 && !HasFatalFailure(); ++step) {
    const auto slots = static_cast<IsamRecRef>(model_.contents.size());
    const IsamRecRef near = std::clamp<IsamRecRef>(at + static_cast<IsamRecRef>(rng_() % 9) - 4, 1, slots);
    const unsigned op = rng_() % 100;
    if (op < 70) {
      IsamGetRec(fb, at, rec.data(), rec.size());
      ASSERT_TRUE(IsamOK) << IsamError;
      ASSERT_EQ(rec, model_.contents[at - 1]) << "step " << step << ", slot " << at;
      if (at + direction < 1 || at + direction > slots) direction = -direction;
      at += direction;
    } else if (op < 85 && model_.live[near - 1]) {
      std::vector<uint8_t> changed = RandomRecord();
      IsamPutRec(fb, near, changed.data(), changed.size());
      ASSERT_TRUE(IsamOK) << IsamError;
      model_.contents[near - 1] = changed;
    } else if (op < 93 && model_.live[near - 1]) {
      IsamDeleteRec(fb, near);
      ASSERT_TRUE(IsamOK) << IsamError;
      const IsamRecRef link = model_.freeStack.empty() ? -1 : model_.freeStack.back();
      std::memcpy(model_.contents[near - 1].data(), &link, sizeof link);  // little-endian, as on disk
      model_.live[near - 1] = false;
      model_.freeStack.push_back(near);
    } else if (op >= 93) {
      add();
    }
  }
  Close(fb);
}

}  // namespace
}  // namespace storage::testing
