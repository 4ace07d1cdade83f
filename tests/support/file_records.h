#pragma once
// Files records of one kind into the company's file through the kind's own open and add
// routines, then closes the file again, the way a test sets up the books it works on.

#include <gtest/gtest.h>

#include <vector>

#include "storage/isam.h"

namespace testing_support {

// `add(record, ref)` is the kind's Add routine or a stand-in with its shape.
template <class Record, class Add>
void FileRecords(const std::vector<Record>& records, storage::IsamFileBlock& file, bool (*open)(), Add add) {
  ASSERT_TRUE(open());
  for (const Record& record : records) {
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(add(record, ref));
  }
  storage::IsamCloseFileBlock(file);
  file = nullptr;
}

}  // namespace testing_support
