// The points of a sweep run side by side: what each point returns and what it finds wrong reach
// the test in the order of the points, a point that dies is a failure, and no more points start
// after a failure.

#include "support/side_by_side.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace testing_support {
namespace {

// What the points reported to the test, caught instead of failing it.
struct Caught {
  std::vector<std::string> Messages;
  std::vector<bool> Fatal;
};

template <class Run>
Caught CatchFailures(Run run) {
  ::testing::TestPartResultArray results;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
    run();
  }
  Caught caught;
  for (int i = 0; i < results.size(); ++i) {
    caught.Messages.push_back(results.GetTestPartResult(i).message());
    caught.Fatal.push_back(results.GetTestPartResult(i).fatally_failed());
  }
  return caught;
}

TEST(SideBySideTest, EveryPointRunsInAChildOfItsOwnAndReturnsInItsPlace) {
  // A point that changes the test's memory changes it in its own child only.
  int changed = 0;
  std::vector<std::string> returned;
  const Caught caught = CatchFailures([&] {
    returned = RunPointsSideBySide(12, [&](int n) {
      changed += n + 1;
      return std::to_string(n) + ":" + std::to_string(changed) + ":" + std::string(n * 5000, 'x');
    });
  });
  EXPECT_EQ(caught.Messages, std::vector<std::string>{});
  ASSERT_EQ(returned.size(), 12u);
  for (int n = 0; n < 12; ++n)
    EXPECT_EQ(returned[n],
              std::to_string(n) + ":" + std::to_string(n + 1) + ":" + std::string(n * 5000, 'x'));
  EXPECT_EQ(changed, 0);

  struct Met {
    int Twice = 0;
    bool Odd = false;
  };
  const std::vector<Met> mets = RunPointsSideBySide<Met>(5, [](int n) { return Met{2 * n, n % 2 == 1}; });
  ASSERT_EQ(mets.size(), 5u);
  EXPECT_EQ(mets[4].Twice, 8);
  EXPECT_EQ(CountMet(mets, &Met::Odd), 2);
}

TEST(SideBySideTest, WhatAPointFindsWrongOrADeadPointFailsTheTestAndNoFurtherPointStarts) {
  std::vector<std::string> returned;
  const Caught caught = CatchFailures([&] {
    returned = RunPointsSideBySide(40, [](int n) {
      SCOPED_TRACE("point " + std::to_string(n));
      if (n == 1) {
        ADD_FAILURE() << "first of point 1";
        EXPECT_EQ(n, 2) << "second of point 1";
      }
      if (n == 2) ::_exit(7);
      if (n == 3) []() { FAIL() << "fatal in point 3"; }();
      return std::string("done");
    });
  });
  ASSERT_EQ(returned.size(), 40u);
  EXPECT_EQ(returned[0], "done");
  EXPECT_EQ(returned[39], "") << "point 39 ran after the failures";
  ASSERT_GE(caught.Messages.size(), 3u);
  // Point 1's failures in the order it met them, each with its trace; then the dead point.
  EXPECT_NE(caught.Messages[0].find("first of point 1"), std::string::npos) << caught.Messages[0];
  EXPECT_NE(caught.Messages[0].find(": point 1"), std::string::npos) << caught.Messages[0];
  EXPECT_NE(caught.Messages[1].find("second of point 1"), std::string::npos) << caught.Messages[1];
  EXPECT_FALSE(caught.Fatal[0]);
  EXPECT_EQ(caught.Messages[2], "point 2 of the sweep ended with status 7");
  EXPECT_TRUE(caught.Fatal[2]);
  // Point 3 ran beside them, or had not started: its failure is fatal when it is there.
  for (size_t i = 3; i < caught.Messages.size(); ++i)
    if (caught.Messages[i].find("fatal in point 3") != std::string::npos) {
      EXPECT_TRUE(caught.Fatal[i]);
    }
}

}  // namespace
}  // namespace testing_support
