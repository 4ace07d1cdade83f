#include "storage/btree_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "storage/btree.h"
#include "storage/file_io.h"
#include "storage/page_cache.h"

namespace storage::testing {

namespace {

constexpr int32_t kRecordLength = 64;
constexpr int kHeaderSize = 28;

int32_t PageSizeOf(int keyLength) {
  return 6 + IsamItemsPerPage * (keyLength + 9);
}

void PutHeader(uint8_t* h, const IsamKeyState& k) {
  std::memset(h, 0, kHeaderSize);
  IsamPut32(h + 0, k.FirstFree);
  IsamPut32(h + 4, k.NumberFree);
  IsamPut32(h + 8, k.NumberPages);
  IsamPut32(h + 12, k.PageSize);
  IsamPut32(h + 16, k.RootPage);
  h[20] = k.AllowDuplicates;
  IsamPut32(h + 22, k.NumberEntries);
  std::memcpy(h + 26, &k.ItemsPerPage, 2);
}

}  // namespace

KeyFileSet::KeyFileSet(std::vector<KeySpec> keys, int cacheBuffers, std::string name)
    : keys_(std::move(keys)), dataName_(name + ".DAT"), indexName_(name + ".IX") {
  // Several file sets of one test share the engine that the first one started.
  if (IsamPageCacheSize() == 0) {
    EXPECT_TRUE(IsamPageCacheInit(cacheBuffers));
    startedEngine_ = true;
  }
  // Data file: the 21-byte header in a record-length slot 0.
  platform::files::File data;
  EXPECT_TRUE(IsamCreateFile(data, dataName_));
  uint8_t slot[kRecordLength] = {};
  IsamPut32(slot + 0, -1);
  IsamPut32(slot + 12, kRecordLength);
  IsamPut32(slot + 16, static_cast<int32_t>(keys_.size()));
  EXPECT_TRUE(IsamWriteAt(data, 0, slot, sizeof slot));
  data.Close();
  // Index file: row 0 with every key's header.
  int64_t rowSize = 0;
  for (const KeySpec& k : keys_) rowSize += PageSizeOf(k.Length);
  std::vector<uint8_t> row(static_cast<size_t>(rowSize), 0);
  int64_t offset = 0;
  for (const KeySpec& k : keys_) {
    IsamKeyState state;
    state.PageSize = PageSizeOf(k.Length);
    state.AllowDuplicates = k.Duplicates ? 1 : 0;
    PutHeader(row.data() + offset, state);
    offset += state.PageSize;
  }
  platform::files::File index;
  EXPECT_TRUE(IsamCreateFile(index, indexName_));
  EXPECT_TRUE(IsamWriteAt(index, 0, row.data(), row.size()));
  index.Close();
  Open();
}

KeyFileSet::~KeyFileSet() {
  if (fb_) Close();
  if (startedEngine_) IsamPageCacheFree();
}

void KeyFileSet::Open() {
  fb_ = new IsamFileBlockRec;
  IsamFileBlockRec& fb = *fb_;
  ASSERT_TRUE(IsamOpenExisting(fb.DataFile, dataName_, false));
  ASSERT_TRUE(IsamOpenExisting(fb.IndexFile, indexName_, false));
  fb.Signature = IsamSignature;
  fb.RecordLength = kRecordLength;
  fb.NumberKeys = static_cast<int32_t>(keys_.size());
  fb.Keys.resize(keys_.size());
  int64_t offset = 0;
  for (IsamKeyState& k : fb.Keys) {
    uint8_t h[kHeaderSize];
    ASSERT_TRUE(IsamReadAt(fb.IndexFile, offset, h, sizeof h));
    k.FirstFree = IsamGet32(h + 0);
    k.NumberFree = IsamGet32(h + 4);
    k.NumberPages = IsamGet32(h + 8);
    k.PageSize = IsamGet32(h + 12);
    k.RootPage = IsamGet32(h + 16);
    k.AllowDuplicates = h[20];
    k.NumberEntries = IsamGet32(h + 22);
    std::memcpy(&k.ItemsPerPage, h + 26, 2);
    k.KeyLength = (k.PageSize - 6) / k.ItemsPerPage - 9;
    k.SectionOffset = offset;
    offset += k.PageSize;
    fb.NumberRows = std::max(fb.NumberRows, k.NumberPages);
  }
  fb.RowSize = offset;
}

void KeyFileSet::Close() {
  IsamFileBlockRec& fb = *fb_;
  EXPECT_TRUE(IsamPageCacheFlush(fb, true));
  for (const IsamKeyState& k : fb.Keys) {
    uint8_t h[kHeaderSize];
    PutHeader(h, k);
    EXPECT_TRUE(IsamWriteAt(fb.IndexFile, k.SectionOffset, h, sizeof h));
  }
  const uint8_t clean = 0;
  EXPECT_TRUE(IsamWriteAt(fb.DataFile, IsamIndexDirtyFlagOffset, &clean, 1));
  fb.DataFile.Close();
  fb.IndexFile.Close();
  delete fb_;
  fb_ = nullptr;
}

void KeyFileSet::Reopen() {
  Close();
  Open();
}

namespace {
// Every operation starts from a clean status, as the engine's guard does.
void Reset() {
  IsamOK = true;
  IsamError = 0;
}
}  // namespace

void KeyFileSet::Add(int keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  Reset();
  BtreeAddKey(*fb_, keyNr, ref, key);
}
void KeyFileSet::Delete(int keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  Reset();
  BtreeDeleteKey(*fb_, keyNr, ref, key);
}
void KeyFileSet::Search(int keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  Reset();
  BtreeSearchKey(*fb_, keyNr, ref, key);
}
void KeyFileSet::Find(int keyNr, IsamRecRef& ref, IsamKeyStr& key, int32_t direction) {
  Reset();
  BtreeFindKeyAndRef(*fb_, keyNr, ref, key, direction);
}
void KeyFileSet::Next(int keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  Reset();
  BtreeNextKey(*fb_, keyNr, ref, key);
}
void KeyFileSet::Prev(int keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  Reset();
  BtreePrevKey(*fb_, keyNr, ref, key);
}
int32_t KeyFileSet::Used(int keyNr) {
  Reset();
  return fb_->Keys[keyNr - 1].NumberEntries;
}
void KeyFileSet::KeyToScrollPos(int keyNr, uint16_t& pos, uint16_t scale, const IsamKeyStr& key,
                                IsamRecRef ref) {
  Reset();
  BtreeKeyToScrollPos(*fb_, keyNr, pos, scale, key, ref);
}
void KeyFileSet::ScrollPosToKey(int keyNr, uint16_t pos, uint16_t scale, IsamKeyStr& key, IsamRecRef& ref) {
  Reset();
  BtreeScrollPosToKey(*fb_, keyNr, pos, scale, key, ref);
}

}  // namespace storage::testing
