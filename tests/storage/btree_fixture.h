#pragma once
// A file set for the key tests: the engine started with a chosen number of page buffers, a data
// file and an index file with the given keys, reopened between batches so that every page is
// read back from disk, and closed (and the engine stopped) at the end.

#include <cstdint>
#include <string>
#include <vector>

#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage::testing {

struct KeySpec {
  int Length = 10;
  bool Duplicates = false;
};

class KeyFileSet {
 public:
  explicit KeyFileSet(std::vector<KeySpec> keys, int cacheBuffers = 30, std::string name = "KT");
  ~KeyFileSet();
  KeyFileSet(const KeyFileSet&) = delete;
  KeyFileSet& operator=(const KeyFileSet&) = delete;

  IsamFileBlockRec& Block() { return *fb_; }
  IsamKeyState& Key(int keyNr) { return fb_->Keys[keyNr - 1]; }
  const std::string& IndexName() const { return indexName_; }
  const std::string& DataName() const { return dataName_; }

  // Writes everything back and opens the file set again: cursors start empty, pages come from disk.
  void Reopen();
  // Writes everything back and closes the file set (the engine stays started); Open opens it
  // again, so that a test may change the files in between.
  void Close();
  void Open();

  // The key operations; each leaves its outcome in IsamOK and IsamError.
  void Add(int keyNr, IsamRecRef ref, const IsamKeyStr& key);
  void Delete(int keyNr, IsamRecRef ref, const IsamKeyStr& key);
  void Search(int keyNr, IsamRecRef& ref, IsamKeyStr& key);
  void Find(int keyNr, IsamRecRef& ref, IsamKeyStr& key, int32_t direction);
  void Next(int keyNr, IsamRecRef& ref, IsamKeyStr& key);
  void Prev(int keyNr, IsamRecRef& ref, IsamKeyStr& key);
  int32_t Used(int keyNr);
  void KeyToScrollPos(int keyNr, uint16_t& pos, uint16_t scale, const IsamKeyStr& key, IsamRecRef ref);
  void ScrollPosToKey(int keyNr, uint16_t pos, uint16_t scale, IsamKeyStr& key, IsamRecRef& ref);

 private:
  std::vector<KeySpec> keys_;
  std::string dataName_;
  std::string indexName_;
  std::string name_;
  IsamFileBlock fb_ = nullptr;
  bool startedEngine_ = false;
};

}  // namespace storage::testing
