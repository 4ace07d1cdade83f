#include "storage/page_cache.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "storage/file_io.h"

namespace storage {

namespace {

// Finds the buffer of a page without allocating: open addressing with linear probing in a table
// of at least twice as many slots as there are buffers, so that probes stay short.
class BufferIndex {
 public:
  void Reset(size_t buffers) {
    size_t n = 16;
    while (n < buffers * 2) n <<= 1;
    slots_.assign(n, nullptr);
    mask_ = n - 1;
  }
  void Clear() {
    slots_.clear();
    mask_ = 0;
  }

  IsamPageBuffer* Find(const IsamFileBlockRec* owner, int32_t keyNr, int32_t page) const {
    if (slots_.empty()) return nullptr;
    for (size_t i = Home(owner, keyNr, page);; i = (i + 1) & mask_) {
      IsamPageBuffer* b = slots_[i];
      if (!b || (b->Owner == owner && b->KeyNr == keyNr && b->Page == page)) return b;
    }
  }

  void Insert(IsamPageBuffer* b) {
    size_t i = Home(b);
    while (slots_[i]) i = (i + 1) & mask_;
    slots_[i] = b;
  }

  // Removes b and moves later entries of its probe run back into the gap, so that every entry
  // stays reachable from its home slot.
  void Erase(IsamPageBuffer* b) {
    size_t hole = Home(b);
    while (slots_[hole] != b) hole = (hole + 1) & mask_;
    for (size_t j = (hole + 1) & mask_; slots_[j]; j = (j + 1) & mask_) {
      const size_t home = Home(slots_[j]);
      if (((j - home) & mask_) >= ((j - hole) & mask_)) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole] = nullptr;
  }

 private:
  size_t Home(const IsamFileBlockRec* owner, int32_t keyNr, int32_t page) const {
    uint64_t x = reinterpret_cast<uintptr_t>(owner) ^
                 (static_cast<uint64_t>(static_cast<uint32_t>(keyNr)) << 40) ^ static_cast<uint32_t>(page);
    x *= 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(x >> 32) & mask_;
  }
  size_t Home(const IsamPageBuffer* b) const { return Home(b->Owner, b->KeyNr, b->Page); }

  std::vector<IsamPageBuffer*> slots_;
  size_t mask_ = 0;
};

// The ring of buffers, kept as a list from the most recently used (Newest) to the least
// recently used (Oldest), and an index of the owned ones.
struct PageCache {
  std::vector<std::unique_ptr<IsamPageBuffer>> Buffers;
  IsamPageBuffer* Newest = nullptr;
  IsamPageBuffer* Oldest = nullptr;
  BufferIndex Index;
  std::vector<IsamPageBuffer*> WriteBatch;  // room for every buffer, so a write-back never allocates
};

PageCache cache;

void Unlink(IsamPageBuffer* b) {
  (b->Newer ? b->Newer->Older : cache.Newest) = b->Older;
  (b->Older ? b->Older->Newer : cache.Oldest) = b->Newer;
  b->Newer = b->Older = nullptr;
}

void LinkNewest(IsamPageBuffer* b) {
  b->Older = cache.Newest;
  b->Newer = nullptr;
  (cache.Newest ? cache.Newest->Newer : cache.Oldest) = b;
  cache.Newest = b;
}

void LinkOldest(IsamPageBuffer* b) {
  b->Newer = cache.Oldest;
  b->Older = nullptr;
  (cache.Oldest ? cache.Oldest->Older : cache.Newest) = b;
  cache.Oldest = b;
}

int64_t PageOffset(const IsamFileBlockRec& fb, int32_t keyNr, int32_t page) {
  return static_cast<int64_t>(page) * fb.RowSize + fb.Keys[keyNr - 1].SectionOffset;
}

bool WritePage(IsamPageBuffer* b) {
  const size_t length =
      static_cast<size_t>(b->FreePage ? b->Owner->Keys[b->KeyNr - 1].PageSize : b->View().UsedBytes());
  if (!IsamWriteAt(b->Owner->IndexFile, PageOffset(*b->Owner, b->KeyNr, b->Page), b->Data, length))
    return false;
  b->Changed = false;
  return true;
}

void Disown(IsamPageBuffer* b) {
  cache.Index.Erase(b);
  b->Owner = nullptr;
  b->Changed = b->FreePage = b->Checked = false;
  Unlink(b);
  LinkOldest(b);
}

// Writes the changed pages among the buffers in file order (each owner's pages together), so that
// a batch of write-backs runs forward through the file instead of jumping about it.
bool WriteInFileOrder(std::vector<IsamPageBuffer*>& buffers) {
  std::sort(buffers.begin(), buffers.end(), [](const IsamPageBuffer* a, const IsamPageBuffer* b) {
    if (a->Owner != b->Owner) return std::less<>()(a->Owner, b->Owner);
    return PageOffset(*a->Owner, a->KeyNr, a->Page) < PageOffset(*b->Owner, b->KeyNr, b->Page);
  });
  for (IsamPageBuffer* b : buffers)
    if (b->Changed && !WritePage(b)) return false;
  return true;
}

// The least recently used eighth of the ring (two buffers at least), where victims are chosen.
// Unchanged pages go first only among these: a page used more recently stays, changed or not.
size_t EvictionTail() {
  return std::max<size_t>(cache.Buffers.size() / 8, 2);
}

// The least recently used buffer of the tail that is neither pinned nor changed, so that taking it
// costs no write; nullptr when there is none, with the tail's changed buffers collected.
IsamPageBuffer* CleanVictim(std::vector<IsamPageBuffer*>& changed) {
  size_t seen = 0;
  for (IsamPageBuffer* b = cache.Oldest; b && seen < EvictionTail(); b = b->Newer, ++seen) {
    if (b->Pins > 0) continue;
    if (!b->Owner || !b->Changed) return b;
    changed.push_back(b);
  }
  return nullptr;
}

IsamPageBuffer* OldestUnpinned() {
  IsamPageBuffer* b = cache.Oldest;
  while (b && b->Pins > 0) b = b->Newer;
  return b;
}

// Frees a buffer that is not pinned: an unchanged one of the tail if there is one. Otherwise the
// tail's changed pages are written back together, in file order, and the least recently used is
// taken; the rest stay in the cache, unchanged, and are taken by the next misses without a write.
IsamPageBuffer* TakeVictim() {
  std::vector<IsamPageBuffer*>& changed = cache.WriteBatch;
  changed.clear();
  IsamPageBuffer* b = CleanVictim(changed);
  if (!b && !changed.empty() && !WriteInFileOrder(changed)) return nullptr;
  if (!b) b = OldestUnpinned();
  if (!b) {
    IsamFail(IsamErrNoPageBuffers);
    return nullptr;
  }
  if (b->Owner) {
    if (b->Changed && !WritePage(b)) return nullptr;
    Disown(b);
  }
  return b;
}

void MakeNewest(IsamPageBuffer* b) {
  if (cache.Newest != b) {
    Unlink(b);
    LinkNewest(b);
  }
}

IsamPageBuffer* Lookup(IsamFileBlockRec& fb, int32_t keyNr, int32_t page) {
  // Steps and repeated searches mostly come back to the page used last.
  IsamPageBuffer* b = cache.Newest;
  if (b && b->Owner == &fb && b->KeyNr == keyNr && b->Page == page) return b;
  b = cache.Index.Find(&fb, keyNr, page);
  if (b) MakeNewest(b);
  return b;
}

void Own(IsamPageBuffer* b, IsamFileBlockRec& fb, int32_t keyNr, int32_t page) {
  b->Owner = &fb;
  b->KeyNr = keyNr;
  b->Page = page;
  b->Changed = b->FreePage = b->Checked = false;
  cache.Index.Insert(b);
  Unlink(b);
  LinkNewest(b);
}

}  // namespace

bool IsamPageCacheInit(int32_t buffers) {
  IsamPageCacheFree();
  for (int32_t i = 0; i < buffers; ++i) {
    std::unique_ptr<IsamPageBuffer> b(new (std::nothrow) IsamPageBuffer);
    if (!b) break;
    LinkOldest(b.get());
    cache.Buffers.push_back(std::move(b));
  }
  if (static_cast<int32_t>(cache.Buffers.size()) < IsamMinPageBuffers) {
    IsamPageCacheFree();
    return false;
  }
  try {
    cache.Index.Reset(cache.Buffers.size());
    cache.WriteBatch.reserve(cache.Buffers.size());
  } catch (const std::bad_alloc&) {
    IsamPageCacheFree();
    return false;
  }
  return true;
}

void IsamPageCacheFree() {
  cache.Index.Clear();
  cache.Newest = cache.Oldest = nullptr;
  cache.Buffers.clear();
  cache.WriteBatch = {};
}

int32_t IsamPageCacheSize() {
  return static_cast<int32_t>(cache.Buffers.size());
}

bool IsamPageCacheFlush(IsamFileBlockRec& fb, bool release) {
  std::vector<IsamPageBuffer*>& owned = cache.WriteBatch;
  owned.clear();
  for (auto& b : cache.Buffers)
    if (b->Owner == &fb) owned.push_back(b.get());
  if (!WriteInFileOrder(owned)) return false;
  if (release)
    for (IsamPageBuffer* b : owned) Disown(b);
  return true;
}

void IsamPageCacheDiscard(IsamFileBlockRec& fb) {
  for (auto& b : cache.Buffers)
    if (b->Owner == &fb) Disown(b.get());
}

IsamPageBuffer* IsamFetchPage(IsamFileBlockRec& fb, int32_t keyNr, int32_t page) {
  if (IsamPageBuffer* hit = Lookup(fb, keyNr, page)) return hit;
  if (fb.Keys[keyNr - 1].PageSize > IsamMaxPageSize) {
    IsamFail(IsamErrIndexDefective);
    return nullptr;
  }
  IsamPageBuffer* b = TakeVictim();
  if (!b) return nullptr;
  const int64_t at = PageOffset(fb, keyNr, page);
  const size_t length = static_cast<size_t>(fb.Keys[keyNr - 1].PageSize);
  if (!fb.IndexMap.Read(fb.IndexFile, at, b->Data, length) && !IsamReadAt(fb.IndexFile, at, b->Data, length))
    return nullptr;
  Own(b, fb, keyNr, page);
  return b;
}

void IsamTouchPage(IsamPageBuffer* buffer) {
  MakeNewest(buffer);
}

IsamPageBuffer* IsamClaimPage(IsamFileBlockRec& fb, int32_t keyNr, int32_t page) {
  IsamPageBuffer* b = Lookup(fb, keyNr, page);
  if (!b) {
    b = TakeVictim();
    if (!b) return nullptr;
    Own(b, fb, keyNr, page);
  }
  std::memset(b->Data, 0, sizeof b->Data);
  b->Changed = b->Checked = true;
  b->FreePage = false;
  return b;
}

}  // namespace storage
