// Random sequences of key operations checked against a model: a std::set of (key, reference)
// for an index with duplicates and a std::map from key to reference for one without. The
// model also follows the key's cursor (its entry, and whether a change has invalidated it), so
// that every step can be checked. After each batch the tree's shape is walked and the file set
// is reopened, so that the next batch reads every page back from disk.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "storage/btree_fixture.h"
#include "storage/btree_walk.h"
#include "support/temp_dir.h"

namespace storage::testing {
namespace {

using Entry = std::pair<IsamKeyStr, IsamRecRef>;

// One index's expected contents and cursor.
class ModelIndex {
 public:
  explicit ModelIndex(bool duplicates) : dup_(duplicates) {}

  bool Add(const Entry& e) { return dup_ ? set_.insert(e).second : map_.emplace(e.first, e.second).second; }
  bool Remove(const Entry& e) { return dup_ ? set_.erase(e) == 1 : map_.erase(e.first) == 1; }
  size_t Size() const { return dup_ ? set_.size() : map_.size(); }

  std::optional<Entry> Exact(const Entry& e) const {
    if (dup_) return set_.count(e) ? std::optional<Entry>(e) : std::nullopt;
    auto it = map_.find(e.first);
    return it == map_.end() ? std::nullopt : std::optional<Entry>(*it);
  }
  std::optional<Entry> AtOrAfter(const Entry& e) const {
    return dup_ ? Get(set_, set_.lower_bound(e)) : Get(map_, map_.lower_bound(e.first));
  }
  std::optional<Entry> After(const Entry& e) const {
    return dup_ ? Get(set_, set_.upper_bound(e)) : Get(map_, map_.upper_bound(e.first));
  }
  std::optional<Entry> Before(const Entry& e) const {
    return dup_ ? Prior(set_, set_.lower_bound(e)) : Prior(map_, map_.lower_bound(e.first));
  }
  std::optional<Entry> First() const { return dup_ ? Get(set_, set_.begin()) : Get(map_, map_.begin()); }
  std::optional<Entry> Last() const { return dup_ ? Prior(set_, set_.end()) : Prior(map_, map_.end()); }

  std::vector<TreeEntry> All() const {
    std::vector<TreeEntry> out;
    if (dup_)
      for (const Entry& e : set_) out.push_back({e.first, e.second});
    else
      for (const auto& [k, r] : map_) out.push_back({k, r});
    return out;
  }

  // The cursor: the entry it stands on (none: empty) and whether it is still valid.
  std::optional<Entry> Cursor;
  bool Valid = false;

 private:
  template <class C, class It>
  static std::optional<Entry> Get(const C& c, It it) {
    return it == c.end() ? std::nullopt : std::optional<Entry>(Entry(it->first, it->second));
  }
  template <class C, class It>
  static std::optional<Entry> Prior(const C& c, It it) {
    return it == c.begin() ? std::nullopt
                           : std::optional<Entry>(Entry(std::prev(it)->first, std::prev(it)->second));
  }

  bool dup_;
  std::set<Entry> set_;
  std::map<IsamKeyStr, IsamRecRef> map_;
};

struct Mix {
  int Add, Delete, Search, Find, Next, Prev;  // weights
};

class ModelRun {
 public:
  ModelRun(int keyLength, int cacheBuffers, uint32_t seed)
      : length_(keyLength),
        fs_({{keyLength, true}, {keyLength, false}}, cacheBuffers),
        rng_(seed),
        models_{ModelIndex(true), ModelIndex(false)} {
    // A handful of keys for the index with duplicates; many for the unique one. Short keys over a
    // small alphabet make prefixes of each other, so that the length rule of the order counts.
    for (int i = 0; i < 12; ++i) fewKeys_.push_back(RandomKey());
  }

  void Batch(const Mix& mix, int operations) {
    for (int i = 0; i < operations && !::testing::Test::HasFailure(); ++i) {
      const int keyNr = 1 + static_cast<int>(rng_() % 2);
      const int total = mix.Add + mix.Delete + mix.Search + mix.Find + mix.Next + mix.Prev;
      int pick = static_cast<int>(rng_() % total);
      if ((pick -= mix.Add) < 0)
        Add(keyNr);
      else if ((pick -= mix.Delete) < 0)
        Delete(keyNr);
      else if ((pick -= mix.Search) < 0)
        Search(keyNr);
      else if ((pick -= mix.Find) < 0)
        Find(keyNr);
      else if ((pick -= mix.Next) < 0)
        Step(keyNr, true);
      else
        Step(keyNr, false);
    }
    CheckAndReopen();
  }

  void DeleteEverything() {
    for (int keyNr = 1; keyNr <= 2; ++keyNr) {
      ModelIndex& m = models_[keyNr - 1];
      while (std::optional<Entry> e = m.First()) {
        fs_.Delete(keyNr, e->second, e->first);
        ASSERT_TRUE(IsamOK) << IsamError;
        m.Remove(*e);
      }
      EXPECT_EQ(fs_.Key(keyNr).RootPage, 0);
    }
    CheckAndReopen();
  }

  int Height(int keyNr) { return WalkTree(fs_.Block(), keyNr).Height; }

 private:
  IsamKeyStr RandomKey() {
    const int n = 1 + static_cast<int>(rng_() % length_);
    IsamKeyStr k;
    for (int i = 0; i < n; ++i) k += static_cast<char>(length_ == 1 ? rng_() % 256 : 'A' + rng_() % 4);
    return k;
  }
  IsamKeyStr PickKey(int keyNr) { return keyNr == 1 ? fewKeys_[rng_() % fewKeys_.size()] : RandomKey(); }
  IsamRecRef PickRef() { return 1 + static_cast<IsamRecRef>(rng_() % 1000000); }

  void Add(int keyNr) {
    ModelIndex& m = models_[keyNr - 1];
    const Entry e(PickKey(keyNr), PickRef());
    fs_.Add(keyNr, e.second, e.first);
    const bool added = m.Add(e);
    ASSERT_EQ(IsamOK, added) << "add " << e.first << " " << e.second << ": " << IsamError;
    if (!added) {
      ASSERT_EQ(IsamError, IsamErrDuplicateKey);
    }
    m.Valid = false;
  }

  void Delete(int keyNr) {
    ModelIndex& m = models_[keyNr - 1];
    Entry e(PickKey(keyNr), PickRef());
    // Mostly entries that exist, found near a random one.
    if (rng_() % 5 != 0) {
      if (std::optional<Entry> near = m.AtOrAfter(e)) e = *near;
    }
    fs_.Delete(keyNr, e.second, e.first);
    const bool removed = m.Remove(e);
    ASSERT_EQ(IsamOK, removed) << "delete " << e.first << " " << e.second << ": " << IsamError;
    if (!removed) {
      ASSERT_EQ(IsamError, IsamErrDeleteKeyNotFound);
    }
    m.Valid = false;
  }

  // Compares an engine result with the expected entry (none: the expected failure code), and
  // moves the model's cursor the way the engine's must have moved.
  void Expect(int keyNr, const std::optional<Entry>& expected, int32_t failCode, const IsamRecRef& ref,
              const IsamKeyStr& key, const char* what) {
    ModelIndex& m = models_[keyNr - 1];
    if (expected) {
      ASSERT_TRUE(IsamOK) << what << ": " << IsamError;
      ASSERT_EQ(key, expected->first) << what;
      ASSERT_EQ(ref, expected->second) << what;
      m.Cursor = expected;
      m.Valid = true;
      args_[keyNr - 1] = *expected;
    } else {
      ASSERT_FALSE(IsamOK) << what << " gave " << key << " " << ref;
      ASSERT_EQ(IsamError, failCode) << what;
      m.Cursor.reset();
    }
  }

  void Search(int keyNr) {
    ModelIndex& m = models_[keyNr - 1];
    IsamKeyStr key = PickKey(keyNr);
    IsamRecRef ref = -5;
    const std::optional<Entry> expected = m.AtOrAfter(Entry(key, 0));
    fs_.Search(keyNr, ref, key);
    Expect(keyNr, expected, IsamErrKeyNotFound, ref, key, "search");
  }

  void Find(int keyNr) {
    ModelIndex& m = models_[keyNr - 1];
    Entry target(PickKey(keyNr), PickRef());
    if (rng_() % 2 == 0) {
      if (std::optional<Entry> near = m.AtOrAfter(target)) target = *near;
    }
    const int32_t direction = static_cast<int32_t>(rng_() % 3) - 1;
    IsamKeyStr key = target.first;
    IsamRecRef ref = target.second;
    fs_.Find(keyNr, ref, key, direction);
    if (std::optional<Entry> exact = m.Exact(target)) return Expect(keyNr, exact, 0, ref, key, "find");
    const std::optional<Entry> below = m.Before(target);
    if (direction > 0) return Expect(keyNr, m.After(target), IsamErrEndOfIndex, ref, key, "find forward");
    if (direction < 0) return Expect(keyNr, below, IsamErrBeginOfIndex, ref, key, "find backward");
    ASSERT_EQ(IsamError, IsamErrKeyAndRefNotFound);
    m.Cursor = below;  // the cursor stays on the greatest entry below
    m.Valid = true;
    if (below) args_[keyNr - 1] = *below;
  }

  // Steps with the arguments a caller would pass: the entry it last got back.
  void Step(int keyNr, bool forward) {
    ModelIndex& m = models_[keyNr - 1];
    Entry& from = args_[keyNr - 1];
    std::optional<Entry> expected;
    if (!m.Cursor)
      expected = forward ? m.First() : m.Last();
    else if (!m.Valid)
      expected = forward ? m.After(from) : m.Before(from);
    else
      expected = forward ? m.After(*m.Cursor) : m.Before(*m.Cursor);
    IsamKeyStr key = from.first;
    IsamRecRef ref = from.second;
    if (forward)
      fs_.Next(keyNr, ref, key);
    else
      fs_.Prev(keyNr, ref, key);
    Expect(keyNr, expected, forward ? IsamErrEndOfIndex : IsamErrBeginOfIndex, ref, key,
           forward ? "next" : "prev");
  }

  void CheckAndReopen() {
    for (int keyNr = 1; keyNr <= 2; ++keyNr) {
      const ModelIndex& m = models_[keyNr - 1];
      TreeReport r = WalkTree(fs_.Block(), keyNr);
      EXPECT_TRUE(r.Faults.empty()) << "key " << keyNr << ": " << ::testing::PrintToString(r.Faults);
      EXPECT_TRUE(r.Entries == m.All()) << "key " << keyNr << " holds other entries than the model";
      EXPECT_EQ(fs_.Used(keyNr), static_cast<int32_t>(m.Size()));
    }
    fs_.Reopen();
    for (ModelIndex& m : models_) {
      m.Cursor.reset();
      m.Valid = false;
    }
  }

  int length_;
  KeyFileSet fs_;
  std::mt19937 rng_;
  ModelIndex models_[2];
  Entry args_[2];
  std::vector<IsamKeyStr> fewKeys_;
};

struct ModelCase {
  int KeyLength;
  int CacheBuffers;
};

class BtreeModel : public ::testing::TestWithParam<ModelCase> {
 protected:
  // A run over a fresh file set with the case's key length and cache, grown by `grows` batches.
  ModelRun& Grown(uint32_t seedBase, int grows) {
    const ModelCase c = GetParam();
    run_ = std::make_unique<ModelRun>(c.KeyLength, c.CacheBuffers, seedBase * c.KeyLength + c.CacheBuffers);
    for (int i = 0; i < grows; ++i) run_->Batch(Mix{60, 8, 8, 8, 8, 8}, 3000);
    return *run_;
  }

  testing_support::TempDir dir_;
  std::unique_ptr<ModelRun> run_;
};

TEST_P(BtreeModel, RandomOperationsAgreeWithTheModel) {
  ModelRun& run = Grown(1000, 8);
  EXPECT_EQ(run.Height(1), 3);
  for (int i = 0; i < 2; ++i) run.Batch(Mix{25, 25, 12, 12, 13, 13}, 3000);  // churn
  for (int i = 0; i < 8; ++i) run.Batch(Mix{8, 60, 8, 8, 8, 8}, 3000);       // shrink
  run.DeleteEverything();
}

// Walks forward and back, mostly within a leaf, while entries come and go around the cursor, on
// the walked key and on the other one: every step must notice every change that touched it.
TEST_P(BtreeModel, WalksAmidChangesAgreeWithTheModel) {
  ModelRun& run = Grown(7000, 4);
  for (int i = 0; i < 6; ++i) run.Batch(Mix{6, 6, 1, 1, 64, 22}, 4000);
}

INSTANTIATE_TEST_SUITE_P(KeyLengthsAndCacheSizes, BtreeModel,
                         ::testing::Values(ModelCase{1, 8}, ModelCase{1, 30}, ModelCase{10, 8},
                                           ModelCase{10, 30}, ModelCase{30, 8}, ModelCase{30, 30}),
                         [](const ::testing::TestParamInfo<ModelCase>& info) {
                           return "Length" + std::to_string(info.param.KeyLength) + "Cache" +
                                  std::to_string(info.param.CacheBuffers);
                         });

}  // namespace
}  // namespace storage::testing
