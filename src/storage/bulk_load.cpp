#include "storage/bulk_load.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "storage/byte_order.h"
#include "storage/file_io.h"
#include "storage/page_cache.h"

namespace storage {
namespace {

constexpr int64_t kCapacity = IsamItemsPerPage;
// How many entries ahead of the one written the next is fetched, when the sorted order sends the
// reads all over the entries.
constexpr size_t kPrefetchDistance = 16;

// The pages a level of n entries is dealt to: one when they fit, otherwise as few as hold them
// with one entry going up between each two pages. Every page then holds 31 to 62 entries.
int64_t PagesFor(int64_t n) {
  return n <= kCapacity ? 1 : (n + kCapacity + 1) / (kCapacity + 1);
}

// The pages of a tree of n entries, and its number of levels.
struct TreeShape {
  int64_t Pages = 0;
  int Levels = 0;
};

TreeShape ShapeFor(int64_t n) {
  TreeShape shape;
  for (int64_t m = n;; m = PagesFor(m) - 1) {
    shape.Pages += PagesFor(m);
    ++shape.Levels;
    if (PagesFor(m) == 1) break;
  }
  return shape;
}

// How much of the image is handed to the disk at a time.
constexpr int64_t kImageChunk = int64_t{4} << 20;
// The largest single write of the image, ending at a file position that is a multiple of it. The
// system caches a file in pieces as large as the writes that filled them, and every later small
// write into a piece walks all of its blocks: after megabyte writes, each page the engine writes
// back later (a delete, an add) cost as much as a write of the whole megabyte piece.
constexpr int64_t kImageWrite = int64_t{16} << 10;

// Writes bytes at pos in writes of at most kImageWrite that end on multiples of it.
bool WriteInSmallPieces(IsamFileBlockRec& fb, int64_t pos, const uint8_t* bytes, int64_t length) {
  for (int64_t done = 0; done < length;) {
    const int64_t piece = std::min(kImageWrite - (pos + done) % kImageWrite, length - done);
    if (!IsamWriteAt(fb.IndexFile, pos + done, bytes + done, static_cast<size_t>(piece))) return false;
    done += piece;
  }
  return true;
}

// An entry of an upper level: the sorted entry it stands for and the page to its right.
struct UpEntry {
  uint32_t Index;
  int32_t Child;
};

// Assembles one page at a time, in its place in the image when that holds rows, and otherwise in
// a buffer whose used part is then written at the page's place in the index file.
class PageWriter {
 public:
  PageWriter(IsamFileBlockRec& fb, int32_t keyNr, IsamIndexImage& image)
      : fb_(fb), ks_(fb.Keys[keyNr - 1]), image_(image), entrySize_(ks_.KeyLength + IsamEntryOverhead) {}

  void Begin(int32_t pageNr, int32_t leftChild) {
    page_ = image_.Page(pageNr, ks_.SectionOffset);  // zero still
    if (page_ == nullptr) {
      page_ = own_;
      std::memset(own_, 0, sizeof own_);
    }
    pageNr_ = pageNr;
    IsamStoreInt32(page_ + 2, leftChild);
    count_ = 0;
  }
  void Put(IsamRecRef ref, int32_t child, std::string_view key) {
    uint8_t* e = page_ + IsamPageHeaderSize + count_++ * entrySize_;
    IsamStoreInt32(e, ref);
    IsamStoreInt32(e + 4, child);
    e[8] = static_cast<uint8_t>(key.size());
    IsamCopyFew(e + 9, key.data(), key.size());
  }
  bool Finish() {
    IsamStoreUInt16(page_, static_cast<uint16_t>(count_));
    if (page_ != own_) return true;
    const int64_t at = int64_t{pageNr_} * fb_.RowSize + ks_.SectionOffset;
    return IsamWriteAt(fb_.IndexFile, at, page_,
                       static_cast<size_t>(IsamPageHeaderSize + count_ * entrySize_));
  }

 private:
  IsamFileBlockRec& fb_;
  IsamKeyState& ks_;
  IsamIndexImage& image_;
  int entrySize_;
  int count_ = 0;
  int32_t pageNr_ = 0;
  uint8_t* page_ = nullptr;
  alignas(8) uint8_t own_[IsamMaxPageSize];
};

bool Before(std::string_view a, IsamRecRef aRef, std::string_view b, IsamRecRef bRef) {
  const int c = a.compare(b);
  return c != 0 ? c < 0 : aRef < bRef;
}

// Eight bytes of a key from byte from on as a big-endian number, zeros beyond its end: among keys
// whose bytes before from are equal, ordering by it never contradicts the order of the keys.
uint64_t KeyPrefix(std::string_view key, size_t from = 0) {
  uint64_t prefix = 0;
  for (size_t i = from; i < from + 8; ++i)
    prefix = prefix << 8 | (i < key.size() ? static_cast<uint8_t>(key[i]) : 0);
  return prefix;
}

// Whether two orders hold the same sixteen bytes and length (for keys of up to sixteen bytes: the
// same key).
template <class Item>
bool SameOrder(const Item& a, const Item& b) {
  return a.Prefix == b.Prefix && a.Next == b.Next && a.Length == b.Length;
}

// The length an order holds: keys beyond sixteen bytes are told apart by their whole texts.
constexpr uint8_t kLongKey = 17;
constexpr int kDigits = 17;

// Sorts by the items' digits, keeping the order of equal items: one pass per digit, the least
// significant first, over the digits that differ between items. Throws std::bad_alloc when the
// second buffer cannot be had.
template <class Item>
void RadixSort(std::vector<Item>& items) {
  std::vector<std::array<size_t, 256>> counts(kDigits);
  for (const Item& item : items) {
    for (int d = 0; d < kDigits; ++d) ++counts[d][item.Digit(d)];
  }
  std::vector<Item> other(items.size());
  for (int d = 0; d < kDigits; ++d) {
    const std::array<size_t, 256>& count = counts[d];
    if (std::count(count.begin(), count.end(), 0) == 255) continue;  // every item has the same digit
    size_t start[256];
    for (size_t v = 0, at = 0; v < 256; at += count[v], ++v) start[v] = at;
    for (const Item& item : items) other[start[item.Digit(d)]++] = item;
    items.swap(other);
  }
}

}  // namespace

bool IsamIndexImage::Reserve(const IsamFileBlockRec& fb, int64_t rows) {
  try {
    rows_.assign(static_cast<size_t>(rows * fb.RowSize), 0);
  } catch (const std::bad_alloc&) {
    rows_ = {};
    return false;
  }
  rowSize_ = fb.RowSize;
  used_ = 0;
  return true;
}

uint8_t* IsamIndexImage::Page(int32_t pageNr, int64_t sectionOffset) {
  if (rowSize_ == 0 || int64_t{pageNr} * rowSize_ > static_cast<int64_t>(rows_.size())) return nullptr;
  used_ = std::max<int64_t>(used_, pageNr);
  return rows_.data() + (int64_t{pageNr} - 1) * rowSize_ + sectionOffset;
}

bool IsamIndexImage::Flush(IsamFileBlockRec& fb) {
  const int64_t length = used_ * rowSize_;
  for (int64_t done = 0; done < length; done += kImageChunk) {
    const int64_t piece = std::min(kImageChunk, length - done);
    if (!WriteInSmallPieces(fb, fb.RowSize + done, rows_.data() + done, piece)) return false;
    // The rows go to the disk while the rest is written, instead of all at the sync at close.
    IsamStartWriteBack(fb.IndexFile, fb.RowSize + done, piece);
  }
  rows_ = {};
  rowSize_ = used_ = 0;
  return true;
}

uint8_t IsamKeyLoader::Order::Digit(int d) const {
  if (d == 0) return Length;
  return static_cast<uint8_t>((d <= 8 ? Next >> (8 * (d - 1)) : Prefix >> (8 * (d - 9))) & 0xFF);
}

IsamKeyLoader::Entry& IsamKeyLoader::At(size_t i) {
  return order_.empty() ? entries_[i] : entries_[order_[i].Index];
}

void IsamKeyLoader::Prefetch(size_t i) const {
  if (order_.empty() || i >= order_.size()) return;  // in order as they are: read in sequence
  const char* entry = reinterpret_cast<const char*>(&entries_[order_[i].Index]);
  __builtin_prefetch(entry);
  __builtin_prefetch(entry + sizeof(Entry) - 1);
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
  IsamCopyFew(e.Key, key.data(), key.size());
  entries_.push_back(e);
}

void IsamKeyLoader::Drop(const std::vector<IsamRecRef>& refs) {
  if (refs.empty()) return;
  entries_.erase(
      std::remove_if(entries_.begin(), entries_.end(),
                     [&refs](const Entry& e) { return std::binary_search(refs.begin(), refs.end(), e.Ref); }),
      entries_.end());
}

// Orders the entries with a byte-wise radix sort of their orders (the bytes that are the same in
// every order are passed over). That orders keys of up to sixteen bytes in full, equal ones by
// reference as they were taken in; only runs of longer keys that share their first sixteen bytes
// are then sorted by the whole key and reference.
bool IsamKeyLoader::SortOrder() {
  try {
    order_.resize(entries_.size());
    for (uint32_t i = 0; i < order_.size(); ++i) {
      const std::string_view key = entries_[i].Text();
      order_[i] = {KeyPrefix(key), KeyPrefix(key, 8), i, std::min<uint8_t>(entries_[i].Length, kLongKey)};
    }
    RadixSort(order_);
  } catch (const std::bad_alloc&) {
    order_ = {};
    return false;
  }
  const auto less = [this](const Order& a, const Order& b) {
    return Before(entries_[a.Index].Text(), entries_[a.Index].Ref, entries_[b.Index].Text(),
                  entries_[b.Index].Ref);
  };
  for (size_t first = 0, next = 0; first < order_.size(); first = next) {
    for (next = first + 1; next < order_.size() && SameOrder(order_[next], order_[first]); ++next) {
    }
    if (order_[first].Length == kLongKey && next - first > 1 &&
        !std::is_sorted(order_.begin() + first, order_.begin() + next, less))
      std::sort(order_.begin() + first, order_.begin() + next, less);
  }
  return true;
}

std::vector<IsamKeyLoader::Refusal> IsamKeyLoader::Sort(bool unique) {
  auto less = [](const Entry& a, const Entry& b) { return Before(a.Text(), a.Ref, b.Text(), b.Ref); };
  if (!std::is_sorted(entries_.begin(), entries_.end(), less) && !SortOrder()) {
    std::sort(entries_.begin(), entries_.end(), less);  // without memory for the order: in place, slower
  }
  std::vector<Refusal> refused;
  if (!unique) return refused;
  // Equal keys lie together, the lowest reference first: it keeps the key. Keys of different
  // orders differ, so only equal orders need the entries themselves.
  for (size_t i = 1, first = 0; i < entries_.size(); ++i) {
    const bool differ = !order_.empty() && !SameOrder(order_[i], order_[first]);
    if (differ || At(i).Text() != At(first).Text()) {
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

int64_t IsamKeyLoader::Pages() const {
  return entries_.empty() ? 0 : ShapeFor(static_cast<int64_t>(entries_.size())).Pages;
}

bool IsamKeyLoader::Write(IsamFileBlockRec& fb, int32_t keyNr, IsamIndexImage& image) {
  IsamKeyState& ks = fb.Keys[keyNr - 1];
  const int64_t n = static_cast<int64_t>(order_.empty() ? entries_.size() : order_.size());
  if (n == 0) return true;

  const auto [total, levels] = ShapeFor(n);
  if (levels > IsamMaxCursorDepth || total > IsamMaxPages) return IsamFail(IsamErrShortWrite);
  if (!IsamMarkDirty(fb)) return false;
  if (total > fb.NumberRows) {
    if (!IsamTruncate(fb.IndexFile, (total + 1) * fb.RowSize)) return false;
    fb.NumberRows = static_cast<int32_t>(total);
  }

  PageWriter writer(fb, keyNr, image);
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
      const int32_t pageNr = firstPage + static_cast<int32_t>(j);
      writer.Begin(pageNr, left);
      for (int64_t c = inPages / pages + (j < inPages % pages ? 1 : 0); c > 0; --c, ++done) {
        if (leaves) Prefetch(done + kPrefetchDistance);
        const UpEntry u = item(done);
        writer.Put(At(u.Index).Ref, u.Child, At(u.Index).Text());
      }
      if (!writer.Finish()) return false;
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
  // The pages go to the disk while the next key is built, instead of all at the sync at close.
  IsamStartWriteBack(fb.IndexFile, 0, 0);
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
