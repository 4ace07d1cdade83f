#pragma once
// A started engine in a scratch folder, and small helpers to build file sets and records.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "storage/isam.h"
#include "support/temp_dir.h"

namespace storage::testing {

// The status after a call, as one comparable value.
inline int32_t Status() {
  return IsamOK ? 0 : IsamError;
}

class StorageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates a file set; keyLengths gives one key per element (duplicates not allowed).
  void Create(const std::string& name, int32_t recordLength, const std::vector<int>& keyLengths = {});
  IsamFileBlock Open(const std::string& name);
  void Close(IsamFileBlock& fb);

  // A live record: four zero bytes, then the text, padded with zeros to the record length.
  std::vector<uint8_t> Record(int32_t recordLength, const std::string& text) const;
  IsamRecRef Add(IsamFileBlock fb, const std::string& text);
  // The text part of a record as read back (up to the first zero byte after offset 4).
  std::string Get(IsamFileBlock fb, IsamRecRef ref);

  std::string ReadFile(const std::string& name) const;

  testing_support::TempDir dir_;
};

}  // namespace storage::testing
