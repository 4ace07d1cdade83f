#include "storage/btree.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "storage/byte_order.h"
#include "storage/file_io.h"
#include "storage/page_cache.h"

namespace storage {

namespace {

// One key's tree within its open file block.
struct Tree {
  Tree(IsamFileBlockRec& file, int32_t key)
      : fb(file), keyNr(key), ks(file.Keys[key - 1]), entrySize(ks.KeyLength + IsamEntryOverhead) {}

  IsamFileBlockRec& fb;
  int32_t keyNr;
  IsamKeyState& ks;
  int entrySize;
  // Every page holds at most 62 entries (the open refuses any other count), and every page but
  // the root at least 31.
  static constexpr int capacity = IsamItemsPerPage;
  static constexpr int minFill = IsamItemsPerPage / 2;
};

// A search value: a key and, in an index with duplicates, a record reference.
struct Target {
  std::string_view Key;
  IsamRecRef Ref;
};

std::string_view CutKey(const IsamKeyStr& key) {
  return std::string_view(key).substr(0, IsamMaxKeyLen);
}

bool Defective() {
  return IsamFail(IsamErrIndexDefective);
}

int CompareBytes(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  if (n != 0) {
    const int c = std::memcmp(a.data(), b.data(), n);
    if (c != 0) return c;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Entries with equal keys are ordered by their record reference where duplicates are allowed;
// elsewhere the reference plays no part. (References are compared as numbers, which orders every
// pair of valid references as their difference would without its overflow.)
int Compare(const Tree& t, const Target& s, std::string_view key, IsamRecRef ref) {
  const int c = CompareBytes(s.Key, key);
  if (c != 0 || !t.ks.AllowDuplicates) return c;
  return s.Ref < ref ? -1 : (s.Ref > ref ? 1 : 0);
}

struct Probe {
  int Pos;  // the matching entry, or the number of entries below the search value
  bool Found;
};

Probe SearchPage(const Tree& t, const Target& s, const IsamPageView& v) {
  int lo = 1;
  int hi = v.Count();
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = Compare(t, s, v.Key(mid), v.Ref(mid));
    if (c == 0) return {mid, true};
    if (c < 0)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return {hi, false};
}

// A page read from disk is trusted only once its counts, key lengths and child page numbers
// are in range, so that a damaged index file is reported instead of followed out of bounds.
bool PageLayoutSound(const Tree& t, IsamPageView v) {
  const int n = v.Count();
  if (n < 1 || n > t.capacity) return false;
  const int32_t left = v.LeftChild();
  if (left < 0 || left > t.ks.NumberPages) return false;
  for (int i = 1; i <= n; ++i) {
    if (v.Entry(i)[8] > t.ks.KeyLength) return false;
    const int32_t child = v.Child(i);
    if (left == 0 ? child != 0 : (child < 1 || child > t.ks.NumberPages)) return false;
  }
  return true;
}

// Fetches a page of the tree; nullptr with the status set when it cannot be read or is damaged.
IsamPageBuffer* TreePage(const Tree& t, int32_t page) {
  if (page < 1 || page > t.ks.NumberPages) {
    Defective();
    return nullptr;
  }
  IsamPageBuffer* b = IsamFetchPage(t.fb, t.keyNr, page);
  if (!b) return nullptr;
  if (!b->Checked) {
    if (b->FreePage || !PageLayoutSound(t, b->View())) {
      Defective();
      return nullptr;
    }
    b->Checked = true;
  }
  return b;
}

// Adds a page to a path. A path deeper than a cursor holds, or one that meets a page twice, can
// only come from a damaged index (a cycle among its child links).
bool Push(IsamKeyCursor& path, int32_t page, int pos) {
  if (path.Depth >= IsamMaxCursorDepth) return Defective();
  for (int i = 0; i < path.Depth; ++i)
    if (path.Path[i].Page == page) return Defective();
  path.Path[path.Depth++] = {page, pos};
  return true;
}

// Every leaf lies at the tree's height; the first leaf reached after open tells it.
bool LeafDepthSound(const Tree& t, int depth) {
  if (t.ks.Height == 0) t.ks.Height = depth;
  return depth == t.ks.Height || Defective();
}

IsamCursorElem& Last(IsamKeyCursor& path) {
  return path.Path[path.Depth - 1];
}

void MakeEntry(const Tree& t, uint8_t* e, IsamRecRef ref, std::string_view key) {
  std::memset(e, 0, static_cast<size_t>(t.entrySize));
  IsamStoreInt32(e, ref);
  e[8] = static_cast<uint8_t>(key.size());
  IsamCopyFew(e + 9, key.data(), key.size());
}

bool ReturnEntry(const IsamPageView& v, int i, IsamRecRef& ref, IsamKeyStr& key) {
  ref = v.Ref(i);
  const std::string_view k = v.Key(i);
  key.resize(k.size());
  IsamCopyFew(key.data(), k.data(), k.size());
  return true;
}

// Returns the entry at the cursor's position in the page of buffer b, and notes b as the leaf
// the next step may stay in.
bool ReturnCursorEntry(const Tree& t, IsamPageBuffer* b, IsamRecRef& ref, IsamKeyStr& key) {
  IsamKeyCursor& c = t.ks.Cursor;
  IsamPageView v = b->View();
  c.Leaf = v.IsLeaf() ? b : nullptr;
  return ReturnEntry(v, c.Path[c.Depth - 1].Pos, ref, key);
}

// The leaf a valid cursor stands in, while its buffer still holds it; nullptr otherwise.
IsamPageBuffer* CursorLeaf(const Tree& t) {
  const IsamKeyCursor& c = t.ks.Cursor;
  IsamPageBuffer* b = c.Leaf;
  if (!c.Valid || c.Depth == 0 || !b || b->Owner != &t.fb || b->KeyNr != t.keyNr ||
      b->Page != c.Path[c.Depth - 1].Page || !b->Checked || b->FreePage || !b->View().IsLeaf())
    return nullptr;
  return b;
}

// The common step of a walk: the neighbouring entry in the leaf the cursor stands in, without
// looking any page up. False when the step leaves the leaf (the full step then runs).
bool StepInLeaf(const Tree& t, int direction, IsamRecRef& ref, IsamKeyStr& key) {
  IsamPageBuffer* b = CursorLeaf(t);
  if (!b) return false;
  IsamKeyCursor& c = t.ks.Cursor;
  const int pos = c.Path[c.Depth - 1].Pos + direction;
  if (pos < 1 || pos > b->View().Count()) return false;
  c.Path[c.Depth - 1].Pos = pos;
  IsamTouchPage(b);
  return ReturnCursorEntry(t, b, ref, key);
}

// ---- Page allocation -------------------------------------------------------------------------

// A page on a free chain holds its link and zeros: a page of the tree always holds a record
// reference (never 0) in its first entry, so a chain leading into the tree is recognised.
bool ReadsAsFreed(const IsamPageBuffer* b, int32_t pageSize) {
  const uint8_t* rest = b->Data + 4;
  const size_t n = static_cast<size_t>(pageSize) - 4;
  return rest[0] == 0 && std::memcmp(rest, rest + 1, n - 1) == 0;
}

// Takes a page for the key: the head of its free chain, or a new page number (appending a row
// of zeros to the file when no row holds it yet). The buffer comes back empty and changed. A
// chain that does not lead to a freed page is damaged: nothing is taken, and the set stays
// marked for a rebuild.
IsamPageBuffer* NewPage(const Tree& t) {
  IsamKeyState& ks = t.ks;
  if (ks.FirstFree == -1) {
    if (ks.NumberPages >= IsamMaxPages) {
      IsamFail(IsamErrShortWrite);  // the file is full
      return nullptr;
    }
    const int32_t page = ks.NumberPages + 1;
    if (page > t.fb.NumberRows) {
      if (!IsamZeroFill(t.fb.IndexFile, static_cast<int64_t>(page) * t.fb.RowSize,
                        static_cast<size_t>(t.fb.RowSize)))
        return nullptr;
      t.fb.NumberRows = page;
    }
    IsamPageBuffer* b = IsamClaimPage(t.fb, t.keyNr, page);
    if (!b) return nullptr;
    ks.NumberPages = page;
    ks.HeaderChanged = true;
    return b;
  }
  const int32_t head = ks.FirstFree;
  if (head < 1 || head > ks.NumberPages || ks.NumberFree < 1) {
    IsamFailDamaged(t.fb, IsamErrFreeChain);
    return nullptr;
  }
  IsamPageBuffer* b = IsamFetchPage(t.fb, t.keyNr, head);
  if (!b) return nullptr;
  const int32_t link = IsamLoadInt32(b->Data);
  // A chain that leads into a page the tree is known to use must not hand that page out again.
  const bool inTree = b->Checked && !b->FreePage;
  if (inTree || link == 0 || link < -1 || link > ks.NumberPages || !ReadsAsFreed(b, ks.PageSize)) {
    IsamFailDamaged(t.fb, IsamErrFreeChain);
    return nullptr;
  }
  ks.FirstFree = link;
  --ks.NumberFree;
  ks.HeaderChanged = true;
  std::memset(b->Data, 0, sizeof b->Data);
  b->FreePage = false;
  b->Checked = b->Changed = true;
  return b;
}

// A page of the tree can go on the free chain only while the chain counts fewer pages than the
// key has; a count that says otherwise is damaged, and nothing may change on its word.
bool RoomOnFreeChain(const Tree& t) {
  return t.ks.NumberFree < t.ks.NumberPages || IsamFailDamaged(t.fb, IsamErrFreeChain);
}

// Puts a page at the head of the key's free chain: its link, then zeros. RoomOnFreeChain has
// been asked first.
void ReleasePage(const Tree& t, IsamPageBuffer* b) {
  std::memset(b->Data, 0, sizeof b->Data);
  IsamStoreInt32(b->Data, t.ks.FirstFree);
  b->FreePage = b->Changed = true;
  b->Checked = false;
  t.ks.FirstFree = b->Page;
  ++t.ks.NumberFree;
  t.ks.HeaderChanged = true;
}

// ---- Moving entries between neighbouring pages ----------------------------------------------

// The entries of one page, or of two neighbouring pages with their separator, in order, held
// apart from the pages while they are dealt out again.
class EntryRun {
 public:
  explicit EntryRun(int entrySize) : size_(entrySize) {}

  int Count() const { return n_; }
  uint8_t* At(int i) { return bytes_ + i * size_; }  // from 0
  void Append(const uint8_t* e, int count) {
    std::memcpy(At(n_), e, static_cast<size_t>(count) * size_);
    n_ += count;
  }
  void AppendPage(IsamPageView& v) { Append(v.Entry(1), v.Count()); }
  void Insert(int i, const uint8_t* e) {
    std::memmove(At(i + 1), At(i), static_cast<size_t>(n_ - i) * size_);
    IsamCopyFew(At(i), e, size_);
    ++n_;
  }

  int32_t LeftChild = 0;

 private:
  int size_;
  int n_ = 0;
  uint8_t bytes_[(2 * IsamItemsPerPage + 2) * IsamMaxEntrySize];
};

// left, the separator coming down (its Child becomes right's LeftChild), then right.
void CombinePair(EntryRun& run, IsamPageView& left, const uint8_t* separator, IsamPageView& right) {
  run.LeftChild = left.LeftChild();
  run.AppendPage(left);
  run.Append(separator, 1);
  IsamStoreInt32(run.At(run.Count() - 1) + 4, right.LeftChild());
  run.AppendPage(right);
}

void FillPage(IsamPageView& v, int32_t leftChild, EntryRun& run, int from, int count) {
  v.SetLeftChild(leftChild);
  std::memcpy(v.Entry(1), run.At(from), static_cast<size_t>(count) * v.EntrySize());
  v.SetCount(count);
}

// Deals a run out to two pages: the first leftCount entries to left, the next goes up (copied to
// up, its Child pointing at right, whose LeftChild takes the old Child), the rest to right.
void DealPair(EntryRun& run, int leftCount, IsamPageView& left, IsamPageView& right, int32_t rightPage,
              uint8_t* up) {
  FillPage(left, run.LeftChild, run, 0, leftCount);
  uint8_t* middle = run.At(leftCount);
  FillPage(right, IsamLoadInt32(middle + 4), run, leftCount + 1, run.Count() - leftCount - 1);
  IsamStoreInt32(middle + 4, rightPage);
  IsamCopyFew(up, middle, static_cast<size_t>(left.EntrySize()));
}

// The neighbour a page is balanced with: its right sibling unless it is its parent's last child.
struct Neighbour {
  bool IsRight;
  int Separator;  // the parent's entry between the two pages
  int32_t Page;
};

Neighbour NeighbourOf(const IsamPageView& parent, int childPos) {
  if (childPos < parent.Count()) return {true, childPos + 1, parent.Child(childPos + 1)};
  return {false, childPos, parent.ChildAt(childPos - 1)};
}

// The parent of the page at a path level and that page's neighbour, both pinned.
struct Family {
  IsamPinnedPage Parent;
  IsamPinnedPage Sibling;
  Neighbour N{};
};

bool FetchFamily(const Tree& t, const IsamKeyCursor& path, int level, bool leaf, Family& f) {
  const IsamCursorElem at = path.Path[level - 1];
  f.Parent = IsamPinnedPage(TreePage(t, at.Page));
  if (!f.Parent) return false;
  f.N = NeighbourOf(f.Parent->View(), at.Pos);
  if (f.N.Page == path.Path[level].Page) return Defective();
  f.Sibling = IsamPinnedPage(TreePage(t, f.N.Page));
  if (!f.Sibling) return false;
  // Neighbours lie on one level: both leaves or both inner pages.
  return f.Sibling->View().IsLeaf() == leaf || Defective();
}

// ---- Insert ------------------------------------------------------------------------------------

// Inserts entry at position pos of the page at path level `level`. A full page first shares with
// its neighbour, else splits, and the entry going up is inserted into the parent the same way.
bool InsertAt(const Tree& t, IsamKeyCursor& path, int level, int pos, uint8_t* entry) {
  for (;;) {
    const int32_t pageNr = path.Path[level].Page;
    IsamPinnedPage page(TreePage(t, pageNr));
    if (!page) return false;
    IsamPageView v = page->View();
    if (v.Count() < t.capacity) {
      v.InsertAt(pos, entry);
      page->Changed = true;
      return true;
    }
    if (level > 0) {
      Family f;
      if (!FetchFamily(t, path, level, v.IsLeaf(), f)) return false;
      IsamPageView pv = f.Parent->View();
      IsamPageView sv = f.Sibling->View();
      const Neighbour& n = f.N;
      if (sv.Count() < t.capacity) {
        const int c = v.Count();
        const int s = sv.Count();
        EntryRun run(t.entrySize);
        if (n.IsRight) {
          CombinePair(run, v, pv.Entry(n.Separator), sv);
          run.Insert(pos - 1, entry);
          DealPair(run, (c + s + 2) / 2, v, sv, n.Page, pv.Entry(n.Separator));
        } else {
          CombinePair(run, sv, pv.Entry(n.Separator), v);
          run.Insert(s + 1 + pos - 1, entry);
          const int given = (c + s + 3) / 2 - (s + 1);
          DealPair(run, s + given, sv, v, pageNr, pv.Entry(n.Separator));
        }
        page->Changed = f.Parent->Changed = f.Sibling->Changed = true;
        return true;
      }
    }
    // Split: the lower half stays, the middle entry goes up, the upper half moves to a new page.
    // Every page this level needs is taken before anything changes.
    IsamPinnedPage fresh(NewPage(t));
    if (!fresh) return false;
    IsamPinnedPage root;
    if (level == 0) {
      root = IsamPinnedPage(NewPage(t));
      if (!root) return false;
    }
    EntryRun run(t.entrySize);
    run.LeftChild = v.LeftChild();
    run.AppendPage(v);
    run.Insert(pos - 1, entry);
    IsamPageView fv = fresh->View();
    DealPair(run, t.capacity / 2, v, fv, fresh->Page, entry);
    page->Changed = true;
    if (level == 0) {
      IsamPageView rv = root->View();
      rv.SetLeftChild(pageNr);
      rv.InsertAt(1, entry);
      t.ks.RootPage = root->Page;
      t.ks.HeaderChanged = true;
      if (t.ks.Height != 0) ++t.ks.Height;
      return true;
    }
    pos = path.Path[level - 1].Pos + 1;
    --level;
  }
}

// ---- Delete ------------------------------------------------------------------------------------

// Mends pages left with fewer than minFill entries, from the bottom of the path up: borrow
// through the parent from the neighbour when it can spare entries, otherwise merge with it.
bool Rebalance(const Tree& t, IsamKeyCursor& path) {
  for (int level = path.Depth - 1; level > 0; --level) {
    const int32_t pageNr = path.Path[level].Page;
    IsamPinnedPage page(TreePage(t, pageNr));
    if (!page) return false;
    IsamPageView v = page->View();
    if (v.Count() >= t.minFill) return true;
    Family f;
    if (!FetchFamily(t, path, level, v.IsLeaf(), f)) return false;
    IsamPageView pv = f.Parent->View();
    IsamPageView sv = f.Sibling->View();
    const Neighbour& n = f.N;

    IsamPageView& left = n.IsRight ? v : sv;
    IsamPageView& right = n.IsRight ? sv : v;
    IsamPageBuffer* rightBuffer = n.IsRight ? f.Sibling.get() : page.get();
    EntryRun run(t.entrySize);
    CombinePair(run, left, pv.Entry(n.Separator), right);
    page->Changed = f.Parent->Changed = f.Sibling->Changed = true;

    const int s = sv.Count();
    const int spare = (s - (t.minFill - 1)) / 2;
    if (spare > 0) {
      const int leftCount = n.IsRight ? v.Count() + spare : s - spare;
      DealPair(run, leftCount, left, right, rightBuffer->Page, pv.Entry(n.Separator));
      return true;
    }
    if (run.Count() > t.capacity) return Defective();
    if (!RoomOnFreeChain(t)) return false;
    FillPage(left, run.LeftChild, run, 0, run.Count());
    ReleasePage(t, rightBuffer);
    pv.RemoveAt(n.Separator);
  }
  return true;
}

// A root left without entries hands the tree to its only child (or leaves the index empty).
bool ShrinkRoot(const Tree& t) {
  if (t.ks.RootPage < 1 || t.ks.RootPage > t.ks.NumberPages) return Defective();
  // Fetched without the layout check: an emptied root is the one page allowed no entries.
  IsamPageBuffer* root = IsamFetchPage(t.fb, t.keyNr, t.ks.RootPage);
  if (!root) return false;
  IsamPageView v = root->View();
  if (v.Count() != 0) return true;
  if (!RoomOnFreeChain(t)) return false;
  t.ks.RootPage = v.LeftChild();
  t.ks.HeaderChanged = true;
  if (t.ks.Height != 0) --t.ks.Height;
  ReleasePage(t, root);
  return true;
}

// Takes the greatest entry below inner entry `pos` of the path's last page (the last entry of the
// leaf at the right end of its left subtree) and puts it in that entry's place, keeping the
// entry's Child. The path is extended down to that leaf.
bool ReplaceByPredecessor(const Tree& t, IsamKeyCursor& path, int pos) {
  IsamPinnedPage inner(TreePage(t, Last(path).Page));
  if (!inner) return false;
  IsamPageView iv = inner->View();
  Last(path).Pos = pos - 1;
  int32_t child = iv.ChildAt(pos - 1);
  for (;;) {
    IsamPageBuffer* b = TreePage(t, child);
    if (!b || !Push(path, child, 0)) return false;
    IsamPageView lv = b->View();
    Last(path).Pos = lv.Count();
    if (!lv.IsLeaf()) {
      child = lv.Child(lv.Count());
      continue;
    }
    if (!LeafDepthSound(t, path.Depth)) return false;
    const int32_t keepChild = iv.Child(pos);
    IsamCopyFew(iv.Entry(pos), lv.Entry(lv.Count()), static_cast<size_t>(t.entrySize));
    iv.SetChild(pos, keepChild);
    lv.RemoveAt(lv.Count());
    inner->Changed = b->Changed = true;
    return true;
  }
}

// ---- Locating and stepping -----------------------------------------------------------------

enum class Located { Error, NotFound, Found };

// Sets the key's cursor on the search value: on the matching entry, or, when there is none, on
// the greatest entry below it (an empty path when none is).
Located Locate(const Tree& t, const Target& s) {
  IsamKeyCursor& c = t.ks.Cursor;
  c.Valid = false;
  c.Depth = 0;
  int32_t page = t.ks.RootPage;
  while (page != 0) {
    IsamPageBuffer* b = TreePage(t, page);
    if (!b || !Push(c, page, 0)) {
      c.Depth = 0;
      return Located::Error;
    }
    IsamPageView v = b->View();
    if (v.IsLeaf() && !LeafDepthSound(t, c.Depth)) {
      c.Depth = 0;
      return Located::Error;
    }
    const Probe p = SearchPage(t, s, v);
    Last(c).Pos = p.Pos;
    if (p.Found) {
      c.Valid = true;
      return Located::Found;
    }
    page = v.ChildAt(p.Pos);
  }
  while (c.Depth > 0 && Last(c).Pos == 0) --c.Depth;
  c.Valid = true;
  return Located::NotFound;
}

// Locates the caller's key (cut to the longest key) and reference; the entry found is read from
// the cursor afterwards.
Located LocateGiven(const Tree& t, const IsamKeyStr& key, IsamRecRef ref) {
  const IsamKeyStr wanted(CutKey(key));
  return Locate(t, Target{wanted, ref});
}

// A step that cannot finish leaves the cursor to be re-found from the caller's key next time.
bool LoseCursor(const Tree& t) {
  t.ks.Cursor.Valid = false;
  return false;
}

bool StepForward(const Tree& t, IsamRecRef& ref, IsamKeyStr& key) {
  IsamKeyCursor& c = t.ks.Cursor;
  IsamPageBuffer* b = TreePage(t, Last(c).Page);
  if (!b) return LoseCursor(t);
  IsamPageView v = b->View();
  if (Last(c).Pos < 0 || Last(c).Pos > v.Count()) return Defective() || LoseCursor(t);
  for (int32_t child = v.ChildAt(Last(c).Pos); child != 0; child = v.LeftChild()) {
    b = TreePage(t, child);
    if (!b || !Push(c, child, 0)) return LoseCursor(t);
    v = b->View();
    if (v.IsLeaf() && !LeafDepthSound(t, c.Depth)) return LoseCursor(t);
  }
  while (c.Depth >= 2 && Last(c).Pos >= v.Count()) {
    --c.Depth;
    b = TreePage(t, Last(c).Page);
    if (!b) return LoseCursor(t);
    v = b->View();
  }
  if (Last(c).Pos < v.Count()) {
    ++Last(c).Pos;
    return ReturnCursorEntry(t, b, ref, key);
  }
  c.Depth = 0;
  return IsamFail(IsamErrEndOfIndex);
}

bool StepBackward(const Tree& t, IsamRecRef& ref, IsamKeyStr& key) {
  IsamKeyCursor& c = t.ks.Cursor;
  IsamPageBuffer* b = TreePage(t, Last(c).Page);
  if (!b) return LoseCursor(t);
  IsamPageView v = b->View();
  if (Last(c).Pos < 1 || Last(c).Pos > v.Count() + 1) return Defective() || LoseCursor(t);
  for (int32_t child = v.ChildAt(--Last(c).Pos); child != 0; child = v.ChildAt(v.Count())) {
    b = TreePage(t, child);
    if (!b) return LoseCursor(t);
    v = b->View();
    if (!Push(c, child, v.Count())) return LoseCursor(t);
    if (v.IsLeaf() && !LeafDepthSound(t, c.Depth)) return LoseCursor(t);
  }
  while (c.Depth >= 2 && Last(c).Pos == 0) {
    --c.Depth;
    b = TreePage(t, Last(c).Page);
    if (!b) return LoseCursor(t);
    v = b->View();
  }
  if (Last(c).Pos >= 1) return ReturnCursorEntry(t, b, ref, key);
  c.Depth = 0;
  return IsamFail(IsamErrBeginOfIndex);
}

// Steps from an empty cursor: before the first entry forward, after the last backward.
bool StartForward(const Tree& t, IsamRecRef& ref, IsamKeyStr& key) {
  IsamKeyCursor& c = t.ks.Cursor;
  c.Valid = true;
  c.Depth = 0;
  if (t.ks.RootPage == 0) return IsamFail(IsamErrEndOfIndex);
  c.Path[0] = {t.ks.RootPage, 0};
  c.Depth = 1;
  return StepForward(t, ref, key);
}

bool StartBackward(const Tree& t, IsamRecRef& ref, IsamKeyStr& key) {
  IsamKeyCursor& c = t.ks.Cursor;
  c.Valid = true;
  c.Depth = 0;
  if (t.ks.RootPage == 0) return IsamFail(IsamErrBeginOfIndex);
  IsamPageBuffer* b = TreePage(t, t.ks.RootPage);
  if (!b) return false;
  c.Path[0] = {t.ks.RootPage, b->View().Count() + 1};
  c.Depth = 1;
  return StepBackward(t, ref, key);
}

bool ContinueForward(const Tree& t, IsamRecRef& ref, IsamKeyStr& key) {
  return t.ks.Cursor.Depth == 0 ? StartForward(t, ref, key) : StepForward(t, ref, key);
}

// The entry the cursor stands on; failCode when it stands before the first entry.
bool EntryAtCursor(const Tree& t, IsamRecRef& ref, IsamKeyStr& key, int32_t failCode) {
  IsamKeyCursor& c = t.ks.Cursor;
  if (c.Depth == 0) return IsamFail(failCode);
  IsamPageBuffer* b = TreePage(t, Last(c).Page);
  if (!b) return LoseCursor(t);
  IsamPageView v = b->View();
  if (Last(c).Pos < 1 || Last(c).Pos > v.Count()) return Defective() || LoseCursor(t);
  return ReturnCursorEntry(t, b, ref, key);
}

// ---- Scroll positions --------------------------------------------------------------------------

// The first or the last entry of a non-empty tree.
bool EdgeEntry(const Tree& t, bool last, IsamRecRef& ref, IsamKeyStr& key) {
  IsamKeyCursor path;
  for (int32_t page = t.ks.RootPage;;) {
    IsamPageBuffer* b = TreePage(t, page);
    if (!b || !Push(path, page, 0)) return false;
    IsamPageView v = b->View();
    if (v.IsLeaf()) return LeafDepthSound(t, path.Depth) && ReturnEntry(v, last ? v.Count() : 1, ref, key);
    page = v.ChildAt(last ? v.Count() : 0);
  }
}

// The fill assumed of a page when positions are estimated from the top two levels.
int AssumedFill(const Tree& t) {
  return t.capacity - t.capacity / 4;
}

}  // namespace

// ---- Operations ------------------------------------------------------------------------------

bool BtreeAddKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  const Tree t(fb, keyNr);
  const Target s{CutKey(key), ref};
  if (static_cast<int>(s.Key.size()) > t.ks.KeyLength) return IsamFail(IsamErrKeyTooLong);
  if (t.ks.NumberEntries >= IsamMaxEntries) return Defective();
  if (!IsamMarkDirty(fb)) return false;
  t.ks.Cursor.Valid = false;

  uint8_t entry[IsamMaxEntrySize];
  MakeEntry(t, entry, ref, s.Key);
  if (t.ks.RootPage == 0) {
    IsamPageBuffer* b = NewPage(t);
    if (!b) return false;
    b->View().InsertAt(1, entry);
    t.ks.RootPage = b->Page;
    t.ks.Height = 1;
  } else {
    IsamKeyCursor path;
    for (int32_t page = t.ks.RootPage;;) {
      IsamPageBuffer* b = TreePage(t, page);
      if (!b || !Push(path, page, 0)) return false;
      IsamPageView v = b->View();
      const Probe p = SearchPage(t, s, v);
      if (p.Found) return IsamFail(IsamErrDuplicateKey);
      Last(path).Pos = p.Pos;
      if (v.IsLeaf()) {
        if (!LeafDepthSound(t, path.Depth)) return false;
        break;
      }
      page = v.ChildAt(p.Pos);
    }
    if (!InsertAt(t, path, path.Depth - 1, Last(path).Pos + 1, entry)) return false;
  }
  ++t.ks.NumberEntries;
  t.ks.HeaderChanged = true;
  return true;
}

bool BtreeDeleteKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key) {
  const Tree t(fb, keyNr);
  const Target s{CutKey(key), ref};
  if (!IsamMarkDirty(fb)) return false;
  t.ks.Cursor.Valid = false;

  IsamKeyCursor path;
  for (int32_t page = t.ks.RootPage;;) {
    if (page == 0) return IsamFail(IsamErrDeleteKeyNotFound);
    IsamPageBuffer* b = TreePage(t, page);
    if (!b || !Push(path, page, 0)) return false;
    IsamPageView v = b->View();
    const Probe p = SearchPage(t, s, v);
    Last(path).Pos = p.Pos;
    if (p.Found) {
      if (v.IsLeaf()) {
        if (!LeafDepthSound(t, path.Depth)) return false;
        v.RemoveAt(p.Pos);
        b->Changed = true;
      } else if (!ReplaceByPredecessor(t, path, p.Pos)) {
        return false;
      }
      break;
    }
    page = v.ChildAt(p.Pos);
  }
  if (!Rebalance(t, path) || !ShrinkRoot(t)) return false;
  --t.ks.NumberEntries;
  t.ks.HeaderChanged = true;
  return true;
}

bool BtreeSearchKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  const Tree t(fb, keyNr);
  switch (LocateGiven(t, key, 0)) {
    case Located::Error:
      return false;
    case Located::Found:
      return EntryAtCursor(t, ref, key, IsamErrKeyNotFound);
    case Located::NotFound:
      break;
  }
  if (ContinueForward(t, ref, key)) return true;
  if (IsamErrorClassOf(IsamError) == IsamErrorClassNotFound) IsamFail(IsamErrKeyNotFound);
  return false;
}

bool BtreeFindKeyAndRef(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key,
                        int32_t direction) {
  const Tree t(fb, keyNr);
  switch (LocateGiven(t, key, ref)) {
    case Located::Error:
      return false;
    case Located::Found:
      return EntryAtCursor(t, ref, key, IsamErrKeyAndRefNotFound);
    case Located::NotFound:
      break;
  }
  if (direction > 0) return ContinueForward(t, ref, key);
  if (direction == 0) return IsamFail(IsamErrKeyAndRefNotFound);
  return EntryAtCursor(t, ref, key, IsamErrBeginOfIndex);
}

bool BtreeNextKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  const Tree t(fb, keyNr);
  if (StepInLeaf(t, 1, ref, key)) return true;
  IsamKeyCursor& c = t.ks.Cursor;
  if (c.Depth != 0 && !c.Valid && LocateGiven(t, key, ref) == Located::Error) return false;
  return ContinueForward(t, ref, key);
}

bool BtreePrevKey(IsamFileBlockRec& fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key) {
  const Tree t(fb, keyNr);
  if (StepInLeaf(t, -1, ref, key)) return true;
  IsamKeyCursor& c = t.ks.Cursor;
  if (c.Depth == 0) return StartBackward(t, ref, key);
  if (!c.Valid) {
    switch (LocateGiven(t, key, ref)) {
      case Located::Error:
        return false;
      case Located::NotFound:
        return EntryAtCursor(t, ref, key, IsamErrBeginOfIndex);
      case Located::Found:
        break;
    }
  }
  return StepBackward(t, ref, key);
}

// Estimates the entry's place from its positions in the root and the page below it. The first
// entry (and anything before it) is always position 0 and the last (and anything after it) always
// the top of the scale, which the estimate alone does not reach in small or shallow trees.
bool BtreeKeyToScrollPos(IsamFileBlockRec& fb, int32_t keyNr, uint16_t& pos, uint16_t scale,
                         const IsamKeyStr& key, IsamRecRef ref) {
  const Tree t(fb, keyNr);
  if (scale == 0) return IsamFail(IsamErrRecScrollScale);
  if (t.ks.RootPage == 0) return IsamFail(IsamErrKeyScrollEmptyIndex);
  const IsamKeyStr wanted(CutKey(key));
  const Target s{wanted, ref};

  IsamKeyStr edgeKey;
  IsamRecRef edgeRef = 0;
  if (!EdgeEntry(t, false, edgeRef, edgeKey)) return false;
  if (Compare(t, s, edgeKey, edgeRef) <= 0) {
    pos = 0;
    return true;
  }
  if (!EdgeEntry(t, true, edgeRef, edgeKey)) return false;
  if (Compare(t, s, edgeKey, edgeRef) >= 0) {
    pos = scale;
    return true;
  }

  const int64_t f = AssumedFill(t);
  IsamPageBuffer* b = TreePage(t, t.ks.RootPage);
  if (!b) return false;
  IsamPageView root = b->View();
  const Probe p0 = SearchPage(t, s, root);
  const int64_t c0 = root.Count();
  int64_t p1 = 0;
  int64_t c1 = f;
  if (!p0.Found && !root.IsLeaf()) {
    b = TreePage(t, root.ChildAt(p0.Pos));
    if (!b) return false;
    IsamPageView below = b->View();
    p1 = SearchPage(t, s, below).Pos;
    c1 = below.Count();
  }
  int64_t u = 1;
  if (p1 != 1 || p0.Pos != 0) {
    const int64_t half = p1 * (f + 1) * 2 / c1;
    u = half - half / 2 + (f + 1) * p0.Pos;
  }
  pos = static_cast<uint16_t>(std::min<int64_t>(scale, u * (scale + 1) / ((f + 1) * (c0 + 1))));
  return true;
}

// The inverse estimate. Position 0 gives the first entry and the top of the scale the last one,
// so that both ends of a scroll bar reach real entries.
bool BtreeScrollPosToKey(IsamFileBlockRec& fb, int32_t keyNr, uint16_t pos, uint16_t scale, IsamKeyStr& key,
                         IsamRecRef& ref) {
  const Tree t(fb, keyNr);
  if (scale == 0 || scale < pos) return IsamFail(IsamErrScrollScale);
  if (t.ks.RootPage == 0) return IsamFail(IsamErrScrollEmptyIndex);
  if (pos == 0 || pos == scale) return EdgeEntry(t, pos == scale, ref, key);

  IsamPageBuffer* b = TreePage(t, t.ks.RootPage);
  if (!b) return false;
  IsamPageView root = b->View();
  const int64_t f = root.IsLeaf() ? 0 : AssumedFill(t);
  const int64_t total = (f + 1) * (root.Count() + 1);
  const int64_t width = total / scale;
  const int64_t u = std::min<int64_t>(total - 1, total * pos / (scale + 1) + width - width / 2);
  const int r0 = static_cast<int>(u / (f + 1));
  const int64_t r1 = u % (f + 1);
  if (root.IsLeaf() || r1 == 0) {
    if (r0 == 0) return EdgeEntry(t, false, ref, key);
    return ReturnEntry(root, r0, ref, key);
  }
  b = TreePage(t, root.ChildAt(r0));
  if (!b) return false;
  IsamPageView below = b->View();
  int64_t e = 2;
  if (r1 != 2 || r0 != 0) {
    const int64_t half = r1 * below.Count() * 2 / f;
    e = half - half / 2;
  }
  e = std::clamp<int64_t>(e, 1, below.Count());
  return ReturnEntry(below, static_cast<int>(e), ref, key);
}

}  // namespace storage
