#pragma once
// A started engine in a scratch folder with one open file set of a record kind, for tests that
// read whole files (Find) without the data-file routines.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "storage/isam.h"
#include "support/temp_dir.h"

namespace test_fixtures {

class ScratchFileSet {
 public:
  // Creates and opens `name` with the kind's record length and keys into `file`.
  template <std::size_t KeyCount>
  ScratchFileSet(storage::IsamFileBlock& file, const std::string& name, uint16_t recordLength,
                 const std::array<storage::IsamKeyDesc, KeyCount>& keys)
      : file_(file) {
    storage::IsamInitialize(0, 30);
    storage::IsamKeyDescArray table{};
    for (std::size_t k = 0; k < KeyCount; ++k) table[k] = keys[k];
    storage::IsamCreateFileBlock(name, recordLength, KeyCount, table);
    EXPECT_TRUE(storage::IsamOK) << storage::IsamError;
    storage::IsamOpenFileBlock(file_, name, false, false, false, false);
    EXPECT_TRUE(storage::IsamOK) << storage::IsamError;
  }

  ~ScratchFileSet() {
    storage::IsamCloseFileBlock(file_);
    file_ = nullptr;
    storage::IsamShutdown();
  }

  ScratchFileSet(const ScratchFileSet&) = delete;
  ScratchFileSet& operator=(const ScratchFileSet&) = delete;

  // Adds a record without keys (Find scans the data file in physical order).
  template <class Record>
  storage::IsamRecRef Add(const Record& record) {
    storage::IsamRecRef ref = 0;
    storage::IsamAddRec(file_, ref, &record, sizeof record);
    EXPECT_TRUE(storage::IsamOK) << storage::IsamError;
    return ref;
  }

  void Delete(storage::IsamRecRef ref) {
    storage::IsamDeleteRec(file_, ref);
    EXPECT_TRUE(storage::IsamOK) << storage::IsamError;
  }

 private:
  testing_support::TempDir dir_;
  storage::IsamFileBlock& file_;
};

}  // namespace test_fixtures
