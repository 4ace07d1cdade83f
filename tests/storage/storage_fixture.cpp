#include "storage_fixture.h"

#include <fstream>
#include <iterator>

namespace storage::testing {

void StorageTest::SetUp() {
  IsamInitialize(0, 30);
  ASSERT_TRUE(IsamOK) << IsamError;
}

void StorageTest::TearDown() {
  IsamShutdown();
  EXPECT_TRUE(IsamOK) << IsamError;
}

void StorageTest::Create(const std::string& name, int32_t recordLength, const std::vector<int>& keyLengths) {
  IsamKeyDescArray keys{};
  for (size_t k = 0; k < keyLengths.size(); ++k) keys[k].KeyLength = static_cast<uint8_t>(keyLengths[k]);
  IsamCreateFileBlock(name, recordLength, static_cast<uint16_t>(keyLengths.size()), keys);
  ASSERT_TRUE(IsamOK) << IsamError;
}

IsamFileBlock StorageTest::Open(const std::string& name) {
  IsamFileBlock fb = nullptr;
  IsamOpenFileBlock(fb, name, false, false, false, true);
  EXPECT_TRUE(IsamOK) << IsamError;
  return fb;
}

void StorageTest::Close(IsamFileBlock& fb) {
  IsamCloseFileBlock(fb);
  EXPECT_TRUE(IsamOK) << IsamError;
}

std::vector<uint8_t> StorageTest::Record(int32_t recordLength, const std::string& text) const {
  std::vector<uint8_t> rec(static_cast<size_t>(recordLength), 0);
  std::copy(text.begin(), text.end(), rec.begin() + 4);
  return rec;
}

IsamRecRef StorageTest::Add(IsamFileBlock fb, const std::string& text) {
  std::vector<uint8_t> rec = Record(IsamDataLen(fb), text);
  IsamRecRef ref = 0;
  IsamAddRec(fb, ref, rec.data(), rec.size());
  EXPECT_TRUE(IsamOK) << IsamError;
  return ref;
}

std::string StorageTest::Get(IsamFileBlock fb, IsamRecRef ref) {
  std::vector<uint8_t> rec(static_cast<size_t>(IsamDataLen(fb)), 0xAA);
  IsamGetRec(fb, ref, rec.data(), rec.size());
  EXPECT_TRUE(IsamOK) << IsamError;
  return std::string(reinterpret_cast<const char*>(rec.data()) + 4);
}

std::string StorageTest::ReadFile(const std::string& name) const {
  std::ifstream in(dir_.File(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace storage::testing
