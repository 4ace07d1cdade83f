#pragma once
// The points of a sweep run side by side: each point in a child process of its own, forked from
// the test so that it starts from what the test staged, a few children at once. What a point
// finds wrong (a failed EXPECT or ASSERT, with its file, line and trace) is reported in the test,
// in the order of the points, and what a point returns comes back to the test.

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace testing_support {

// How many points run at once: three, or one a core on a machine with fewer.
int PointsAtOnce();

// Runs point(0), point(1), ... point(count - 1), each in a child of its own, PointsAtOnce() of them
// at a time, and returns what each returned, in their order. A point that ends any other way than
// by returning (a crash, a sanitizer's report, an exception) is a failure of the test. Once a point
// has failed no further point starts; those not run return an empty text.
std::vector<std::string> RunPointsSideBySide(int count, const std::function<std::string(int)>& point);

// The same for points that return a plain record (counts, flags): those not run return Met{}.
template <class Met>
std::vector<Met> RunPointsSideBySide(int count, const std::function<Met(int)>& point) {
  static_assert(std::is_trivially_copyable_v<Met>);
  const std::vector<std::string> bytes = RunPointsSideBySide(count, [&](int n) {
    const Met met = point(n);
    return std::string(reinterpret_cast<const char*>(&met), sizeof met);
  });
  std::vector<Met> mets(bytes.size());
  for (size_t n = 0; n < bytes.size(); ++n)
    if (bytes[n].size() == sizeof(Met)) std::memcpy(&mets[n], bytes[n].data(), sizeof(Met));
  return mets;
}

// How many of the points met what the flag says.
template <class Met>
int CountMet(const std::vector<Met>& mets, bool Met::*flag) {
  return static_cast<int>(std::count_if(mets.begin(), mets.end(), [&](const Met& met) { return met.*flag; }));
}

}  // namespace testing_support
