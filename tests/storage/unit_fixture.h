#pragma once
// A started engine in a scratch folder for tests of the data-file routines: the company number
// the file names start with, and at the end every unit's file closed and the progress window
// destroyed while Qt still runs.

#include "storage_fixture.h"

namespace storage::testing {

class DataUnitTest : public StorageTest {
 protected:
  explicit DataUnitTest(std::string company) : company_(std::move(company)) {}
  void SetUp() override;
  void TearDown() override;

 private:
  std::string company_;
};

}  // namespace storage::testing
