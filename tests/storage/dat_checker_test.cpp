// Data files the engine writes, read back by the independent checker in tests/oracles.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "storage/byte_order.h"
#include "storage_fixture.h"

namespace storage::testing {
namespace {

class DatCheckerTest : public StorageTest {
 protected:
  int RunChecker(const std::string& file, const std::string& expectations) {
    std::string command = std::string("/usr/bin/python3 ") + KESTRAVA_SOURCE_DIR +
                          "/tests/oracles/dat_checker.py " + dir_.File(file) + " " + expectations;
    int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }
};

TEST_F(DatCheckerTest, FilesTheEngineWritesPassTheChecker) {
  Create("E", 224, {10});
  EXPECT_EQ(RunChecker("E.DAT", "--used 0 --records 0 --clean"), 0);

  IsamFileBlock fb = Open("E");
  for (int i = 0; i < 50; ++i) Add(fb, "record " + std::to_string(i));
  for (IsamRecRef r : {7, 3, 49, 12, 1, 50}) IsamDeleteRec(fb, r);
  Add(fb, "reuses 50");
  Close(fb);
  EXPECT_EQ(RunChecker("E.DAT", "--used 45 --records 50 --clean"), 0);
  // The checker does fail: the same file against a wrong expectation.
  EXPECT_EQ(RunChecker("E.DAT", "--used 46"), 1);
}

TEST_F(DatCheckerTest, CheckerRejectsALoopedFreeChain) {
  Create("L", 40);
  IsamFileBlock fb = Open("L");
  for (int i = 0; i < 3; ++i) Add(fb, "x");
  IsamDeleteRec(fb, 2);
  Close(fb);
  ASSERT_EQ(RunChecker("L.DAT", "--used 2 --clean"), 0);
  std::fstream f(dir_.File("L.DAT"), std::ios::in | std::ios::out | std::ios::binary);
  uint8_t link[4];
  IsamStoreInt32(link, 2);  // slot 2 linked to itself
  f.seekp(2 * 40);
  f.write(reinterpret_cast<char*>(link), 4);
  f.close();
  EXPECT_EQ(RunChecker("L.DAT", ""), 1);
}

}  // namespace
}  // namespace storage::testing
