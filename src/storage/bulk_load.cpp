#include "storage/bulk_load.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "storage/byte_order.h"
#include "storage/file_io.h"
#include "storage/page_cache.h"

namespace storage {
namespace {

constexpr int64_t kCapacity = IsamItemsPerPage;

// The pages a level of n entries is dealt to: one when they fit, otherwise as few as hold them
// with one entry going up between each two pages. Every page then holds 31 to 62 entries.
int64_t PagesFor(int64_t n) {
  return n <= kCapacity ? 1 : (n + kCapacity + 1) / (kCapacity + 1);
}

// An entry of an upper level: the sorted entry it stands for and the page to its right.
struct UpEntry {
  uint32_t Index;
  int32_t Child;
};

// Assembles one page at a time and writes its used part at the page's place in the index file.
class PageWriter {
 public:
  PageWriter(IsamFileBlockRec& fb, int32_t keyNr)
      : fb_(fb), ks_(fb.Keys[keyNr - 1]), entrySize_(ks_.KeyLength + IsamEntryOverhead) {}

  void Begin(int32_t leftChild) {
    std::memset(page_, 0, sizeof page_);
    IsamStoreInt32(page_ + 2, leftChild);
    count_ = 0;
  }
  void Put(IsamRecRef ref, int32_t child, std::string_view key) {
    uint8_t* e = page_ + IsamPageHeaderSize + count_++ * entrySize_;
    IsamStoreInt32(e, ref);
    IsamStoreInt32(e + 4, child);
    e[8] = static_cast<uint8_t>(key.size());
    std::memcpy(e + 9, key.data(), key.size());
  }
  bool Finish(int32_t pageNr) {
    IsamStoreUInt16(page_, static_cast<uint16_t>(count_));
    const int64_t at = int64_t{pageNr} * fb_.RowSize + ks_.SectionOffset;
    return IsamWriteAt(fb_.IndexFile, at, page_,
                       static_cast<size_t>(IsamPageHeaderSize + count_ * entrySize_));
  }

 private:
  IsamFileBlockRec& fb_;
  IsamKeyState& ks_;
  int entrySize_;
  int count_ = 0;
  alignas(8) uint8_t page_[IsamMaxPageSize];
};

bool Before(std::string_view a, IsamRecRef aRef, std::string_view b, IsamRecRef bRef) {
  const int c = a.compare(b);
  return c != 0 ? c < 0 : aRef < bRef;
}

// The first eight bytes of a key as a big-endian number, zeros beyond its end: ordering by it
// never contradicts the order of the keys themselves.
uint64_t KeyPrefix(std::string_view key) {
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i) prefix = prefix << 8 | (i < key.size() ? static_cast<uint8_t>(key[i]) : 0);
  return prefix;
}

}  // namespace

IsamKeyLoader::Entry& IsamKeyLoader::At(size_t i) {
  return order_.empty() ? entries_[i] : entries_[order_[i].Index];
}

bool IsamKeyLoader::Reserve(int32_t capacity) {
  try {
    entries_.reserve(static_cast<size_t>(std::max(capacity, 0)));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void IsamKeyLoader::Take(std::string_view key, IsamRecRef ref) {
  Entry e;
  e.Ref = ref;
  e.Length = static_cast<uint8_t>(key.size());
  e.Refused = false;
  std::memcpy(e.Key, key.data(), key.size());
  entries_.push_back(e);
}

std::vector<IsamKeyLoader::Refusal> IsamKeyLoader::Sort(bool unique) {
  auto less = [](const Entry& a, const Entry& b) { return Before(a.Text(), a.Ref, b.Text(), b.Ref); };
  if (!std::is_sorted(entries_.begin(), entries_.end(), less)) {
    try {
      order_.resize(entries_.size());
      for (uint32_t i = 0; i < order_.size(); ++i) order_[i] = {KeyPrefix(entries_[i].Text()), i};
      std::sort(order_.begin(), order_.end(), [this, &less](const Order& a, const Order& b) {
        return a.Prefix != b.Prefix ? a.Prefix < b.Prefix : less(entries_[a.Index], entries_[b.Index]);
      });
    } catch (const std::bad_alloc&) {
      order_ = {};  // sorted in place instead, more slowly
      std::sort(entries_.begin(), entries_.end(), less);
    }
  }
  std::vector<Refusal> refused;
  if (!unique) return refused;
  // Equal keys lie together, the lowest reference first: it keeps the key.
  for (size_t i = 1, first = 0; i < entries_.size(); ++i) {
    if (At(i).Text() != At(first).Text()) {
      first = i;
      continue;
    }
    At(i).Refused = true;
    refused.push_back({At(i).Ref, IsamKeyStr(At(i).Text())});
  }
  if (refused.empty()) return refused;
  std::sort(refused.begin(), refused.end(), [](const Refusal& a, const Refusal& b) { return a.Ref < b.Ref; });
  if (order_.empty()) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.Refused; }),
                   entries_.end());
  } else {
    order_.erase(std::remove_if(order_.begin(), order_.end(),
                                [this](const Order& o) { return entries_[o.Index].Refused; }),
                 order_.end());
  }
  return refused;
}

bool IsamKeyLoader::Write(IsamFileBlockRec& fb, int32_t keyNr) {
  IsamKeyState& ks = fb.Keys[keyNr - 1];
  const int64_t n = static_cast<int64_t>(order_.empty() ? entries_.size() : order_.size());
  if (n == 0) return true;

  int64_t total = 0;
  int levels = 0;
  for (int64_t m = n;; m = PagesFor(m) - 1) {
    total += PagesFor(m);
    ++levels;
    if (PagesFor(m) == 1) break;
  }
  if (levels > IsamMaxCursorDepth || total > IsamMaxPages) return IsamFail(IsamErrShortWrite);
  if (!IsamMarkDirty(fb)) return false;
  if (total > fb.NumberRows) {
    if (!IsamTruncate(fb.IndexFile, (total + 1) * fb.RowSize)) return false;
    fb.NumberRows = static_cast<int32_t>(total);
  }

  PageWriter writer(fb, keyNr);
  std::vector<UpEntry> lower, up;
  int32_t firstPage = 1;
  int32_t leftmost = 0;
  for (int64_t m = n;; m = static_cast<int64_t>(lower.size())) {
    const bool leaves = firstPage == 1;
    const int64_t pages = PagesFor(m);
    const int64_t inPages = m - (pages - 1);
    size_t done = 0;
    int32_t left = leftmost;
    up.clear();
    auto item = [&](size_t i) { return leaves ? UpEntry{static_cast<uint32_t>(i), 0} : lower[i]; };
    for (int64_t j = 0; j < pages; ++j) {
      writer.Begin(left);
      for (int64_t c = inPages / pages + (j < inPages % pages ? 1 : 0); c > 0; --c, ++done) {
        const UpEntry u = item(done);
        writer.Put(At(u.Index).Ref, u.Child, At(u.Index).Text());
      }
      const int32_t pageNr = firstPage + static_cast<int32_t>(j);
      if (!writer.Finish(pageNr)) return false;
      if (j + 1 < pages) {
        const UpEntry separator = item(done++);
        up.push_back({separator.Index, pageNr + 1});
        left = separator.Child;
      }
    }
    leftmost = firstPage;
    firstPage += static_cast<int32_t>(pages);
    if (pages == 1) break;
    std::swap(lower, up);
  }
  ks.RootPage = firstPage - 1;
  ks.NumberPages = static_cast<int32_t>(total);
  ks.FirstFree = -1;
  ks.NumberFree = 0;
  ks.NumberEntries = static_cast<int32_t>(n);
  ks.Height = levels;
  ks.HeaderChanged = true;
  ks.Cursor = IsamKeyCursor{};
  entries_ = {};
  order_ = {};
  return true;
}

}  // namespace storage
