// Index files the engine writes, read back by the independent checker in tests/oracles: header
// rows, page layout, order, counts, free chains, and every live record's keys in their indexes.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

#include "storage/btree_fixture.h"
#include "storage/isam.h"
#include "support/temp_dir.h"

namespace storage::testing {
namespace {

// Where each key of a record lies: a length byte and its characters.
constexpr int kKeyOffsets[] = {4, 15, 46};
const char* const kKeyArguments = " --key 4:10:0 --key 15:30:1 --key 46:1:1";

class IndexCheckerTest : public ::testing::Test {
 protected:
  int RunChecker(const std::string& name) {
    const std::string command = std::string("/usr/bin/python3 ") + KESTRAVA_SOURCE_DIR +
                                "/tests/oracles/ix_checker.py " + dir_.File(name + ".DAT") + " " +
                                dir_.File(name + ".IX") + kKeyArguments;
    const int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }

  struct Row {
    IsamRecRef Ref;
    std::string Keys[3];
  };

  // A record with its three keys, added to the data file and to every index.
  Row AddRow(KeyFileSet& fs, const std::string& unique, const std::string& dup, char letter) {
    Row row{0, {unique, dup, std::string(1, letter)}};
    std::vector<uint8_t> record(static_cast<size_t>(IsamDataLen(&fs.Block())), 0);
    for (int k = 0; k < 3; ++k) {
      record[kKeyOffsets[k]] = static_cast<uint8_t>(row.Keys[k].size());
      std::memcpy(record.data() + kKeyOffsets[k] + 1, row.Keys[k].data(), row.Keys[k].size());
    }
    IsamAddRec(&fs.Block(), row.Ref, record.data(), record.size());
    EXPECT_TRUE(IsamOK) << IsamError;
    for (int k = 0; k < 3; ++k) {
      fs.Add(k + 1, row.Ref, row.Keys[k]);
      EXPECT_TRUE(IsamOK) << IsamError;
    }
    return row;
  }

  void DeleteRow(KeyFileSet& fs, const Row& row) {
    for (int k = 0; k < 3; ++k) {
      fs.Delete(k + 1, row.Ref, row.Keys[k]);
      EXPECT_TRUE(IsamOK) << IsamError;
    }
    IsamDeleteRec(&fs.Block(), row.Ref);
    EXPECT_TRUE(IsamOK) << IsamError;
  }

  testing_support::TempDir dir_;
};

TEST_F(IndexCheckerTest, FilesTheEngineWritesPassTheChecker) {
  KeyFileSet fs({{10, false}, {30, true}, {1, true}}, 30, "IC");
  fs.Close();
  EXPECT_EQ(RunChecker("IC"), 0) << "a new file set";
  fs.Open();
  std::mt19937 rng(7);
  std::vector<Row> rows;
  for (int i = 0; i < 6000; ++i) {
    // Unique keys in no particular order (7919 and the prime 1000003 have no common divisor).
    rows.push_back(AddRow(fs, "U" + std::to_string(i * 7919 % 1000003),
                          std::string(1 + rng() % 30, static_cast<char>('A' + rng() % 3)),
                          static_cast<char>(rng() % 256)));
    if (i % 3 == 2) {
      const size_t victim = rng() % rows.size();
      DeleteRow(fs, rows[victim]);
      rows.erase(rows.begin() + static_cast<long>(victim));
    }
  }
  fs.Close();
  EXPECT_EQ(RunChecker("IC"), 0);

  // And after every record is gone: empty trees, every page on a free chain.
  fs.Open();
  for (const Row& row : rows) DeleteRow(fs, row);
  fs.Close();
  EXPECT_EQ(RunChecker("IC"), 0);
  fs.Open();
}

TEST_F(IndexCheckerTest, TheCheckerFindsAMissingKeyAndADamagedPage) {
  KeyFileSet fs({{10, false}, {30, true}, {1, true}}, 30, "ID");
  for (int i = 0; i < 200; ++i) AddRow(fs, "K" + std::to_string(1000 + i), "D", 'x');
  fs.Close();
  ASSERT_EQ(RunChecker("ID"), 0);
  fs.Open();
  fs.Delete(2, 17, "D");  // the record stays: its key is missing
  fs.Close();
  EXPECT_EQ(RunChecker("ID"), 1);
  fs.Open();
  fs.Add(2, 17, "D");
  const int32_t root = fs.Key(1).RootPage;
  const int64_t rowSize = fs.Block().RowSize;
  fs.Close();
  ASSERT_EQ(RunChecker("ID"), 0);
  std::fstream f(dir_.File("ID.IX"), std::ios::in | std::ios::out | std::ios::binary);
  const uint16_t count = 63;
  f.seekp(root * rowSize);
  f.write(reinterpret_cast<const char*>(&count), 2);
  f.close();
  EXPECT_EQ(RunChecker("ID"), 1);
  fs.Open();
}

}  // namespace
}  // namespace storage::testing
