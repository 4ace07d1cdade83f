#include "storage/btree_walk.h"

#include <set>

#include "storage/page_cache.h"

namespace storage::testing {

namespace {

class Walker {
 public:
  Walker(IsamFileBlockRec& fb, int keyNr, TreeReport& r)
      : fb_(fb), keyNr_(keyNr), ks_(fb.Keys[keyNr - 1]), r_(r) {}

  void Run() {
    if (ks_.RootPage != 0) Visit(ks_.RootPage, 1);
    if (static_cast<int>(r_.Entries.size()) != ks_.NumberEntries)
      Fault("NumberEntries " + std::to_string(ks_.NumberEntries) + " but " +
            std::to_string(r_.Entries.size()) + " entries reachable");
    for (size_t i = 1; i < r_.Entries.size(); ++i)
      if (!Before(r_.Entries[i - 1], r_.Entries[i])) Fault("entries out of order at " + std::to_string(i));
    WalkFreeChain();
    if (r_.TreePages + freePages_ != ks_.NumberPages)
      Fault(std::to_string(r_.TreePages) + " tree pages and " + std::to_string(freePages_) +
            " free pages but NumberPages " + std::to_string(ks_.NumberPages));
  }

 private:
  void Fault(const std::string& text) { r_.Faults.push_back(text); }

  bool Before(const TreeEntry& a, const TreeEntry& b) const {
    const int c = IsamCompareKeys(a.Key, b.Key);
    if (c != 0 || !ks_.AllowDuplicates) return c < 0;
    return a.Ref < b.Ref;
  }

  IsamPageBuffer* Page(int32_t page) {
    if (page < 1 || page > ks_.NumberPages) {
      Fault("page number " + std::to_string(page) + " out of range");
      return nullptr;
    }
    if (!seen_.insert(page).second) {
      Fault("page " + std::to_string(page) + " reached twice");
      return nullptr;
    }
    IsamPageBuffer* b = IsamFetchPage(fb_, keyNr_, page);
    if (!b) Fault("page " + std::to_string(page) + " unreadable");
    return b;
  }

  void Visit(int32_t page, int depth) {
    if (depth > IsamMaxCursorDepth) return Fault("deeper than a cursor reaches");
    IsamPageBuffer* b = Page(page);
    if (!b) return;
    ++r_.TreePages;
    // Copy what is needed: visiting children may evict this page's buffer.
    IsamPageView v = b->View();
    const int n = v.Count();
    const int least = page == ks_.RootPage ? 1 : IsamItemsPerPage / 2;
    if (n < least || n > IsamItemsPerPage)
      Fault("page " + std::to_string(page) + " holds " + std::to_string(n) + " entries");
    std::vector<TreeEntry> entries;
    std::vector<int32_t> children{v.LeftChild()};
    for (int i = 1; i <= n && i <= IsamItemsPerPage; ++i) {
      entries.push_back({std::string(v.Key(i)), v.Ref(i)});
      children.push_back(v.Child(i));
    }
    const bool leaf = children[0] == 0;
    if (leaf) {
      if (r_.Height == 0) r_.Height = depth;
      if (r_.Height != depth) Fault("leaf " + std::to_string(page) + " at depth " + std::to_string(depth));
    }
    for (size_t i = 0; i <= entries.size(); ++i) {
      if (leaf != (children[i] == 0)) Fault("page " + std::to_string(page) + " mixes leaf and inner links");
      if (children[i] != 0) Visit(children[i], depth + 1);
      if (i < entries.size()) r_.Entries.push_back(entries[i]);
    }
  }

  void WalkFreeChain() {
    int32_t page = ks_.FirstFree;
    while (page != -1) {
      IsamPageBuffer* b = Page(page);
      if (!b) return;
      ++freePages_;
      page = IsamLoadInt32(b->Data);
    }
    if (freePages_ != ks_.NumberFree)
      Fault("free chain holds " + std::to_string(freePages_) + " pages but NumberFree " +
            std::to_string(ks_.NumberFree));
  }

  IsamFileBlockRec& fb_;
  int keyNr_;
  IsamKeyState& ks_;
  TreeReport& r_;
  std::set<int32_t> seen_;
  int freePages_ = 0;
};

}  // namespace

TreeReport WalkTree(IsamFileBlockRec& fb, int keyNr) {
  TreeReport report;
  Walker(fb, keyNr, report).Run();
  return report;
}

}  // namespace storage::testing
