#pragma once
// The live records of a closed data file, read from its bytes alone (not through the engine):
// every slot after the header whose first four bytes are zero, sorted, so that two files holding
// the same records compare equal however their slots are ordered.

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

std::vector<std::string> LiveRecords(const std::filesystem::path& dataFile);

}  // namespace testing_support
