#include "sample_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"

namespace storage::testing {

bool EntryBefore(const RowRec& a, const RowRec& b, bool byRefToo) {
  int order = IsamCompareKeys(a.Key, b.Key);
  if (order != 0 || !byRefToo) return order < 0;
  return a.Ref < b.Ref;
}

SampleFile::SampleFile(const std::string& name) {
  EXPECT_EQ(IsamInitialize(0, 30), 30);
  IsamKeyDescArray keys{};
  keys[0] = {30, 1};
  keys[1] = {8, 0};
  IsamCreateFileBlock(name, sizeof(SampleRec), 2, keys);
  EXPECT_TRUE(IsamOK) << IsamError;
  IsamOpenFileBlock(fb_, name, false, false, false, true);
  EXPECT_TRUE(IsamOK) << IsamError;
}

SampleFile::~SampleFile() {
  Close();
  IsamShutdown();
}

void SampleFile::Close() {
  if (!fb_) return;
  IsamCloseFileBlock(fb_);
  EXPECT_TRUE(IsamOK) << IsamError;
}

IsamKeyStr SampleFile::NameKey(const SampleRec& rec) {
  return platform::text::PadRightWith(platform::text::UpperCase(rec.Name.Get()), ' ', 30);
}

IsamKeyStr SampleFile::NumberKey(const SampleRec& rec) {
  return platform::text::PadRightWith(rec.Number.Get(), ' ', 8);
}

IsamRecRef SampleFile::Add(const std::string& name, const std::string& number, const std::string& city) {
  SampleRec rec;
  rec.Name.Set(name);
  rec.Number.Set(number);
  rec.City.Set(city);
  IsamRecRef ref = 0;
  IsamAddRec(fb_, ref, &rec, sizeof rec);
  EXPECT_TRUE(IsamOK) << IsamError;
  IsamAddKey(fb_, SampleNameKey, ref, NameKey(rec));
  EXPECT_TRUE(IsamOK) << IsamError;
  IsamAddKey(fb_, SampleNumberKey, ref, NumberKey(rec));
  EXPECT_TRUE(IsamOK) << IsamError;
  return ref;
}

SampleRec SampleFile::Read(IsamRecRef ref) {
  SampleRec rec;
  IsamGetRec(fb_, ref, &rec, sizeof rec);
  EXPECT_TRUE(IsamOK) << IsamError;
  return rec;
}

void SampleFile::Delete(IsamRecRef ref) {
  SampleRec rec = Read(ref);
  IsamDeleteKey(fb_, SampleNameKey, ref, NameKey(rec));
  EXPECT_TRUE(IsamOK) << IsamError;
  IsamDeleteKey(fb_, SampleNumberKey, ref, NumberKey(rec));
  EXPECT_TRUE(IsamOK) << IsamError;
  IsamDeleteRec(fb_, ref);
  EXPECT_TRUE(IsamOK) << IsamError;
}

std::vector<RowRec> SampleFile::Entries(int32_t keyNr) {
  std::vector<RowRec> entries;
  for (IsamRecRef ref = 1; ref < IsamFileLen(fb_); ++ref) {
    SampleRec rec;
    IsamGetRec(fb_, ref, &rec, sizeof rec);
    if (!IsamOK || rec.Status != 0) continue;
    RowRec entry;
    entry.Ref = ref;
    if (keyNr == SampleNameKey) entry.Key = NameKey(rec);
    if (keyNr == SampleNumberKey) entry.Key = NumberKey(rec);
    entries.push_back(entry);
  }
  IsamOK = true;
  IsamError = 0;
  if (keyNr != 0) {
    std::stable_sort(entries.begin(), entries.end(), [&](const RowRec& a, const RowRec& b) {
      return EntryBefore(a, b, keyNr == SampleNameKey);
    });
  }
  return entries;
}

}  // namespace storage::testing
