#include "storage/btree_fixture.h"

#include <gtest/gtest.h>

#include "storage/isam.h"
#include "storage/isam_guard.h"

namespace storage::testing {

namespace {
constexpr int32_t kRecordLength = 64;
}  // namespace

KeyFileSet::KeyFileSet(std::vector<KeySpec> keys, int cacheBuffers, std::string name)
    : keys_(std::move(keys)), dataName_(name + ".DAT"), indexName_(name + ".IX"), name_(std::move(name)) {
  // Several file sets of one test share the engine that the first one started.
  if (!IsamEngineStarted()) {
    EXPECT_EQ(IsamInitialize(0, cacheBuffers), cacheBuffers);
    startedEngine_ = true;
  }
  IsamKeyDescArray descs{};
  for (size_t k = 0; k < keys_.size(); ++k) {
    descs[k].KeyLength = static_cast<uint8_t>(keys_[k].Length);
    descs[k].AllowDuplicates = keys_[k].Duplicates ? 1 : 0;
  }
  IsamCreateFileBlock(name_, kRecordLength, static_cast<uint16_t>(keys_.size()), descs);
  EXPECT_TRUE(IsamOK) << IsamError;
  Open();
}

KeyFileSet::~KeyFileSet() {
  if (fb_) Close();
  if (startedEngine_) {
    IsamShutdown();
    EXPECT_TRUE(IsamOK) << IsamError;
  }
}

void KeyFileSet::Open() {
  IsamOpenFileBlock(fb_, name_, false, false, false, true);
  ASSERT_TRUE(IsamOK) << IsamError;
}

void KeyFileSet::Close() {
  IsamCloseFileBlock(fb_);
  EXPECT_TRUE(IsamOK) << IsamError;
}

void KeyFileSet::Reopen() {
  Close();
  Open();
}

void KeyFileSet::Add(int keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  IsamAddKey(fb_, keyNr, ref, key);
}
void KeyFileSet::Delete(int keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  IsamDeleteKey(fb_, keyNr, ref, key);
}
void KeyFileSet::Search(int keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  IsamSearchKey(fb_, keyNr, ref, key);
}
void KeyFileSet::Find(int keyNr, IsamRecRef& ref, IsamKeyStr& key, int32_t direction) {
  IsamFindKeyAndRef(fb_, keyNr, ref, key, direction);
}
void KeyFileSet::Next(int keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  IsamNextKey(fb_, keyNr, ref, key);
}
void KeyFileSet::Prev(int keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  IsamPrevKey(fb_, keyNr, ref, key);
}
int32_t KeyFileSet::Used(int keyNr) {
  return IsamUsedKeys(fb_, keyNr);
}
void KeyFileSet::KeyToScrollPos(int keyNr, uint16_t& pos, uint16_t scale, const IsamKeyStr& key,
                                IsamRecRef ref) {
  IsamKeyToScrollPos(fb_, keyNr, pos, scale, key, ref);
}
void KeyFileSet::ScrollPosToKey(int keyNr, uint16_t pos, uint16_t scale, IsamKeyStr& key, IsamRecRef& ref) {
  IsamScrollPosToKey(fb_, keyNr, pos, scale, key, ref);
}

}  // namespace storage::testing
