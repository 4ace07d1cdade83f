// Reindexing: every key built anew from the live records, the log of refused keys, and the
// refusals that leave the file set as it was.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "index_entries.h"
#include "storage/byte_order.h"
#include "storage/isam_rebuild.h"
#include "storage_fixture.h"

namespace storage::testing {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kLength = 40;

// Records: status, then name (unique key 1) and town (key 2, duplicates) as a length byte and
// their characters, at offsets 4 and 20, the layout the independent index checker reads.
constexpr int kNameOffset = 4;
constexpr int kTownOffset = 20;
const char* const kCheckerKeys = " --key 4:15:0 --key 20:10:1";

std::vector<uint8_t> Person(const std::string& name, const std::string& town) {
  std::vector<uint8_t> rec(kLength, 0);
  rec[kNameOffset] = static_cast<uint8_t>(name.size());
  std::copy(name.begin(), name.end(), rec.begin() + kNameOffset + 1);
  rec[kTownOffset] = static_cast<uint8_t>(town.size());
  std::copy(town.begin(), town.end(), rec.begin() + kTownOffset + 1);
  return rec;
}

void PersonKey(const void* record, uint16_t keyNr, IsamKeyStr& key) {
  const auto* r = static_cast<const uint8_t*>(record);
  int at = keyNr == 1 ? kNameOffset : kTownOffset;
  key.assign(reinterpret_cast<const char*>(r + at + 1), r[at]);
}

using Entries = std::vector<std::pair<IsamKeyStr, IsamRecRef>>;

class ReindexTest : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    keys_[0] = {15, 0};
    keys_[1] = {10, 1};
  }
  void TearDown() override {
    IsamProgressHook = nullptr;
    StorageTest::TearDown();
  }
  // A file set whose records are added without keys, as an import leaves it.
  IsamFileBlock CreatePeople(const std::vector<std::pair<std::string, std::string>>& people,
                             const std::string& name = "P") {
    IsamCreateFileBlock(name, kLength, 2, keys_);
    IsamFileBlock fb = Open(name);
    for (const auto& [name, town] : people) {
      std::vector<uint8_t> rec = Person(name, town);
      IsamRecRef ref = 0;
      IsamAddRec(fb, ref, rec.data(), rec.size());
    }
    return fb;
  }
  void Reindex(bool deleteBad = true, const IsamBuildKey& build = PersonKey) {
    IsamReindexFile("P", 2, keys_, false, build, deleteBad, messages_, nullptr, 0, &deleted_);
  }
  Entries Walk(IsamFileBlock fb, int keyNr) { return IndexEntries(fb, keyNr); }

  int RunIndexChecker(const char* checkerKeys = kCheckerKeys) {
    std::string command = std::string("/usr/bin/python3 ") + KESTRAVA_SOURCE_DIR +
                          "/tests/oracles/ix_checker.py " + dir_.File("P.DAT") + " " + dir_.File("P.IX") +
                          checkerKeys;
    int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }

  IsamKeyDescArray keys_{};
  bool messages_ = false;
  int32_t deleted_ = 0;
};

TEST_F(ReindexTest, BuildsTheIndexAFreshBuildWouldGive) {
  std::mt19937 rng(11);
  std::vector<std::pair<std::string, std::string>> people;
  for (int i = 0; i < 700; ++i)
    people.emplace_back("N" + std::to_string(i * 7919 % 1000), "T" + std::to_string(rng() % 40));
  IsamFileBlock fb = CreatePeople(people);
  for (IsamRecRef r = 3; r < 700; r += 5) IsamDeleteRec(fb, r);
  Close(fb);
  Reindex();
  ASSERT_EQ(Status(), 0);
  EXPECT_FALSE(messages_);
  EXPECT_FALSE(fs::exists(dir_.File("P.MSG")));
  EXPECT_EQ(RunIndexChecker(), 0);

  // The same live records keyed one by one into a fresh file set give the same entries.
  fb = Open("P");
  Entries fresh[2];
  std::vector<uint8_t> rec(kLength);
  for (IsamRecRef r = 1; r < IsamFileLen(fb); ++r) {
    IsamGetRec(fb, r, rec.data(), rec.size());
    if (IsamLoadInt32(rec.data()) != 0) continue;
    for (int k = 1; k <= 2; ++k) {
      IsamKeyStr key;
      PersonKey(rec.data(), static_cast<uint16_t>(k), key);
      fresh[k - 1].emplace_back(key, r);
    }
  }
  for (Entries& e : fresh) std::sort(e.begin(), e.end());
  EXPECT_EQ(Walk(fb, 1), fresh[0]);
  EXPECT_EQ(Walk(fb, 2), fresh[1]);
  EXPECT_EQ(IsamUsedKeys(fb, 1), static_cast<int32_t>(fresh[0].size()));
  Close(fb);
}

// Trees of every shape the reindex builds at once, from an empty key to three levels, pass the
// independent checker, and take adds and deletes afterwards as any other tree does.
TEST_F(ReindexTest, TreesBuiltAtOnceAreSoundAtEverySizeAndTakeLaterChanges) {
  std::mt19937 rng(5);
  for (int records : {0, 1, 62, 63, 64, 125, 126, 3968, 3969, 6000}) {
    std::vector<std::pair<std::string, std::string>> people;
    for (int i = 0; i < records; ++i)
      people.emplace_back("N" + std::to_string(rng() % 100000000), "T" + std::to_string(rng() % 30));
    IsamFileBlock fb = CreatePeople(people);
    Close(fb);
    Reindex();
    ASSERT_EQ(Status(), 0) << records;
    EXPECT_EQ(RunIndexChecker(), 0) << records << " records";

    fb = Open("P");
    for (int i = 0; i < 300; ++i) {
      std::vector<uint8_t> rec = Person("M" + std::to_string(i), "T" + std::to_string(i % 7));
      IsamRecRef ref = 0;
      IsamAddRec(fb, ref, rec.data(), rec.size());
      for (uint16_t k = 1; k <= 2; ++k) {
        IsamKeyStr key;
        PersonKey(rec.data(), k, key);
        IsamAddKey(fb, k, ref, key);
      }
      ASSERT_EQ(Status(), 0) << records << " records, add " << i;
    }
    std::vector<uint8_t> rec(kLength);
    for (IsamRecRef r = 1; r < IsamFileLen(fb); r += 2) {
      IsamGetRec(fb, r, rec.data(), rec.size());
      if (IsamLoadInt32(rec.data()) != 0) continue;  // refused as a duplicate name
      for (uint16_t k = 1; k <= 2; ++k) {
        IsamKeyStr key;
        PersonKey(rec.data(), k, key);
        IsamDeleteKey(fb, k, r, key);
      }
      IsamDeleteRec(fb, r);
      ASSERT_EQ(Status(), 0) << records << " records, delete " << r;
    }
    Close(fb);
    EXPECT_EQ(RunIndexChecker(), 0) << records << " records after changes";
  }
}

// Keys that share their first eight or sixteen bytes or more, hold bytes above 0x7F or zeros, or
// are the beginning of another: the trees built at once hold, forward and backward, exactly the entries
// that keying the same records one by one in record order gives (a record whose unique name an
// earlier record holds is deleted), and pass the independent checker.
TEST_F(ReindexTest, TreesBuiltAtOnceEqualTreesKeyedOneByOne) {
  const std::string stems[] = {"",
                               "ABCDEFGH",
                               "ABCDEFGHIJK",
                               "ABCDEFGHIJKLMNOP",
                               std::string("\xff\xff\xff\xff\xff\xff\xff\xff"),
                               std::string("AB\0\0\0\0\0\0\0", 9)};
  const char tails[] = {'\0', 'A', 'B', '\x7f', '\x80', '\xff'};
  std::mt19937 rng(23);
  auto text = [&](size_t maxLength, int tailLength) {
    std::string t = stems[rng() % std::size(stems)];
    for (int n = 1 + static_cast<int>(rng() % tailLength); n > 0; --n) t += tails[rng() % std::size(tails)];
    return t.substr(0, maxLength);
  };
  std::vector<std::pair<std::string, std::string>> people;
  keys_[1] = {19, 1};  // towns beyond sixteen bytes, sharing them
  for (int i = 0; i < 5000; ++i) people.emplace_back(text(15, 6), text(19, 4));
  IsamFileBlock fb = CreatePeople(people);
  Close(fb);
  Reindex();
  ASSERT_EQ(Status(), 0);
  EXPECT_EQ(RunIndexChecker(" --key 4:15:0 --key 20:19:1"), 0);

  // The same records, then their keys added record after record (the towns allow duplicates).
  IsamFileBlock keyed = CreatePeople(people, "Q");
  int refused = 0;
  for (IsamRecRef ref = 1; ref <= static_cast<IsamRecRef>(people.size()); ++ref) {
    const std::vector<uint8_t> rec = Person(people[ref - 1].first, people[ref - 1].second);
    for (uint16_t k = 1; k <= 2; ++k) {
      IsamKeyStr key;
      PersonKey(rec.data(), k, key);
      IsamAddKey(keyed, k, ref, key);
      if (Status() == IsamErrDuplicateKey) {
        ++refused;
        IsamDeleteRec(keyed, ref);
        break;
      }
      ASSERT_EQ(Status(), 0);
    }
  }
  ASSERT_GT(refused, 100) << "the sample must repeat unique keys";
  EXPECT_EQ(deleted_, refused);

  IsamFileBlock built = Open("P");
  for (int k = 1; k <= 2; ++k) {
    const Entries forward = Walk(built, k);
    EXPECT_EQ(forward, Walk(keyed, k)) << "key " << k;
    Entries backward;
    IsamKeyStr key;
    IsamRecRef ref = 0;
    for (IsamPrevKey(built, k, ref, key); IsamOK; IsamPrevKey(built, k, ref, key))
      backward.emplace_back(key, ref);
    EXPECT_EQ(IsamError, IsamErrBeginOfIndex);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward) << "key " << k << " walked backward";
    EXPECT_EQ(IsamUsedKeys(built, k), IsamUsedKeys(keyed, k)) << "key " << k;
  }
  Close(built);
  Close(keyed);
}

// Many records share names and towns, both keys unique: the reindex refuses, logs and deletes
// exactly what keying the records one by one, key after key, would have (a model of that below).
TEST_F(ReindexTest, RefusalsOnTwoUniqueKeysMatchKeyingOneByOne) {
  keys_[1] = {10, 0};
  std::mt19937 rng(17);
  std::vector<std::pair<std::string, std::string>> people;
  for (int i = 0; i < 3000; ++i)
    people.emplace_back("N" + std::to_string(rng() % 1500), "T" + std::to_string(rng() % 2500));
  IsamFileBlock fb = CreatePeople(people);
  Close(fb);

  std::vector<bool> live(people.size(), true);
  std::string log;
  int deleted = 0;
  for (int k = 1; k <= 2; ++k) {
    std::set<std::string> seen;
    for (size_t i = 0; i < people.size(); ++i) {
      if (!live[i]) continue;
      const std::string& key = k == 1 ? people[i].first : people[i].second;
      if (seen.insert(key).second) continue;
      const std::vector<uint8_t> rec = Person(people[i].first, people[i].second);
      log += "Key:<" + key + "> KeyNr: " + std::to_string(k) + " Ref: " + std::to_string(i + 1) +
             " not added\r\nData record deleted - Dump follows\r\n" + std::string(rec.begin(), rec.end()) +
             "\r\n\r\n";
      live[i] = false;
      ++deleted;
    }
  }
  Entries expected[2];
  for (size_t i = 0; i < people.size(); ++i) {
    if (!live[i]) continue;
    expected[0].emplace_back(people[i].first, static_cast<IsamRecRef>(i + 1));
    expected[1].emplace_back(people[i].second, static_cast<IsamRecRef>(i + 1));
  }
  for (Entries& e : expected) std::sort(e.begin(), e.end());

  Reindex();
  ASSERT_EQ(Status(), 0);
  EXPECT_EQ(deleted_, deleted);
  ASSERT_GT(deleted, 1000);
  EXPECT_TRUE(ReadFile("P.MSG") == log) << "the log differs from keying one by one";
  fb = Open("P");
  EXPECT_EQ(Walk(fb, 1), expected[0]);
  EXPECT_EQ(Walk(fb, 2), expected[1]);
  EXPECT_EQ(IsamUsedRecs(fb), static_cast<int32_t>(expected[0].size()));
  Close(fb);
  EXPECT_EQ(RunIndexChecker(" --key 4:15:0 --key 20:10:0"), 0);
}

TEST_F(ReindexTest, ADuplicateUniqueKeyIsLoggedAndItsRecordDeleted) {
  IsamFileBlock fb = CreatePeople({{"SMITH", "BERN"}, {"JONES", "BASEL"}, {"SMITH", "ZUG"}});
  Close(fb);
  Reindex();
  ASSERT_EQ(Status(), 0);
  EXPECT_TRUE(messages_);
  EXPECT_EQ(deleted_, 1);
  std::string dump(reinterpret_cast<const char*>(Person("SMITH", "ZUG").data()), kLength);
  EXPECT_EQ(ReadFile("P.MSG"),
            "Key:<SMITH> KeyNr: 1 Ref: 3 not added\r\n"
            "Data record deleted - Dump follows\r\n" +
                dump + "\r\n\r\n");
  fb = Open("P");
  EXPECT_EQ(IsamUsedRecs(fb), 2);
  EXPECT_EQ(Walk(fb, 1), (Entries{{"JONES", 2}, {"SMITH", 1}}));
  EXPECT_EQ(Walk(fb, 2), (Entries{{"BASEL", 2}, {"BERN", 1}}));
  Close(fb);
  EXPECT_EQ(RunIndexChecker(), 0);

  // Without deleting, the record stays and only the key is missing; an old log goes first.
  fb = CreatePeople({{"A", "X"}, {"A", "Y"}});
  Close(fb);
  Reindex(false);
  ASSERT_EQ(Status(), 0);
  EXPECT_EQ(deleted_, 0);
  EXPECT_EQ(ReadFile("P.MSG"), "Key:<A> KeyNr: 1 Ref: 2 not added\r\n");
  fb = Open("P");
  EXPECT_EQ(IsamUsedRecs(fb), 2);
  EXPECT_EQ(IsamUsedKeys(fb, 2), 2);
  Close(fb);
}

TEST_F(ReindexTest, ALogThatCannotBeWrittenStopsTheRun) {
  IsamFileBlock fb = CreatePeople({{"A", "X"}, {"A", "Y"}});
  Close(fb);
  fs::create_directory(dir_.File("P.MSG"));  // no file can be made under that name
  Reindex();
  EXPECT_EQ(Status(), 9500 + EISDIR);
  IsamFileBlock again = nullptr;
  IsamOpenFileBlock(again, "P", false, false, false, true);
  EXPECT_EQ(Status(), IsamErrIndexDefective);
}

int progressCalls = 0;
std::vector<std::pair<int, int>> progressSeen;
void RecordProgress(uint16_t keyNr, int32_t read, int32_t, const void*, uint16_t) {
  ++progressCalls;
  progressSeen.emplace_back(keyNr, read);
}
void CancelSecond(uint16_t, int32_t, int32_t, const void*, uint16_t) {
  if (++progressCalls == 2) IsamOK = false;
}

// The records are read once for every key: the progress counts them as key 1's, then names each
// later key when it is built. An empty file, or a set without keys, calls none.
TEST_F(ReindexTest, ProgressCountsTheOneReadThenEachKeyAndAnEmptyFileCallsNone) {
  IsamFileBlock fb = CreatePeople({});
  Close(fb);
  progressCalls = 0;
  IsamProgressHook = RecordProgress;
  Reindex();
  ASSERT_EQ(Status(), 0);
  EXPECT_EQ(progressCalls, 0);

  fb = CreatePeople({{"A", "1"}, {"B", "2"}});
  Close(fb);
  progressSeen.clear();
  Reindex();
  ASSERT_EQ(Status(), 0);
  EXPECT_EQ(progressSeen, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {2, 2}}));

  progressSeen.clear();  // a set without keys has no key to read the records for
  IsamReindexFile("P", 0, keys_, false, PersonKey, true, messages_, nullptr, 0, &deleted_);
  ASSERT_EQ(Status(), 0);
  EXPECT_TRUE(progressSeen.empty());
}

TEST_F(ReindexTest, AFailedReindexLeavesTheSetDefective) {
  IsamFileBlock fb = CreatePeople({{"A", "1"}, {"B", "2"}, {"C", "3"}});
  Close(fb);
  progressCalls = 0;
  IsamProgressHook = CancelSecond;
  Reindex();
  EXPECT_EQ(Status(), IsamErrCancelled);
  IsamProgressHook = nullptr;
  IsamFileBlock again = nullptr;
  IsamOpenFileBlock(again, "P", false, false, false, true);
  EXPECT_EQ(Status(), IsamErrIndexDefective);

  Reindex(true, [](const void*, uint16_t, IsamKeyStr&) { IsamOK = false; });
  EXPECT_EQ(Status(), IsamErrKeyBuilder);
  IsamOpenFileBlock(again, "P", false, false, false, true);
  EXPECT_EQ(Status(), IsamErrIndexDefective);

  Reindex();
  ASSERT_EQ(Status(), 0);
  fb = Open("P");
  EXPECT_EQ(IsamUsedKeys(fb, 1), 3);
  Close(fb);
}

TEST_F(ReindexTest, AHeaderThatDisagreesWithTheFileIsRefusedBeforeAnythingChanges) {
  IsamFileBlock fb = CreatePeople({{"A", "1"}, {"B", "2"}});
  Close(fb);
  std::string index = ReadFile("P.IX");
  {
    std::ofstream grow(dir_.File("P.DAT"), std::ios::binary | std::ios::app);
    grow << "xyz";  // no longer a whole number of records
  }
  Reindex();
  EXPECT_EQ(Status(), IsamErrReindexHeader);
  EXPECT_EQ(ReadFile("P.IX"), index);

  fs::resize_file(dir_.File("P.DAT"), 3 * kLength);
  std::string bytes = ReadFile("P.DAT");
  IsamStoreInt32(reinterpret_cast<uint8_t*>(bytes.data()) + 8, 3);  // one record more than the file holds
  std::ofstream(dir_.File("P.DAT"), std::ios::binary | std::ios::trunc) << bytes;
  Reindex();
  EXPECT_EQ(Status(), IsamErrReindexHeader);
  EXPECT_EQ(ReadFile("P.IX"), index);
}

}  // namespace
}  // namespace storage::testing
