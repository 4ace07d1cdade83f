#include "storage/index_header.h"

#include <algorithm>
#include <vector>

#include "storage/byte_order.h"
#include "storage/file_io.h"

namespace storage {
namespace {

void EncodeKeyHeader(const IsamKeyState& key, uint8_t out[IsamIndexHeaderSize]) {
  std::fill(out, out + IsamIndexHeaderSize, 0);
  IsamStoreInt32(out + 0, key.FirstFree);
  IsamStoreInt32(out + 4, key.NumberFree);
  IsamStoreInt32(out + 8, key.NumberPages);
  IsamStoreInt32(out + 12, key.PageSize);
  IsamStoreInt32(out + 16, key.RootPage);
  out[20] = key.AllowDuplicates;
  IsamStoreInt32(out + 22, key.NumberEntries);
  IsamStoreUInt16(out + 26, key.ItemsPerPage);
}

IsamKeyState DecodeKeyHeader(const uint8_t in[IsamIndexHeaderSize]) {
  IsamKeyState key;
  key.FirstFree = IsamLoadInt32(in + 0);
  key.NumberFree = IsamLoadInt32(in + 4);
  key.NumberPages = IsamLoadInt32(in + 8);
  key.PageSize = IsamLoadInt32(in + 12);
  key.RootPage = IsamLoadInt32(in + 16);
  key.AllowDuplicates = in[20];
  key.NumberEntries = IsamLoadInt32(in + 22);
  key.ItemsPerPage = IsamLoadUInt16(in + 26);
  if (key.ItemsPerPage == 0) key.ItemsPerPage = IsamItemsPerPage;
  return key;
}

// The key length the header's page geometry gives, or the error that refuses the header.
// Pages are always laid out with 62 entries, so a header claiming fewer would make every page
// access run into the next key's section: it is refused as a defective index.
bool CheckKeyGeometry(IsamKeyState& key) {
  if (key.ItemsPerPage > IsamItemsPerPage) return IsamFail(IsamErrHeaderItemsPerPage);
  if (key.ItemsPerPage < IsamItemsPerPage) return IsamFail(IsamErrIndexDefective);
  int32_t body = key.PageSize - 6;
  if (body <= 0 || body % key.ItemsPerPage != 0) return IsamFail(IsamErrPageSizeNotWhole);
  int32_t length = body / key.ItemsPerPage - 9;
  if (length < 1 || length > IsamMaxKeyLen) return IsamFail(IsamErrHeaderKeyLength);
  key.KeyLength = length;
  return true;
}

// Counters that would send page reads outside the key's pages, or run past their range on the
// next change, are refused up front: the free chain's head and count must fit the pages, and the
// entries must fit the pages in use.
bool CheckKeyCounters(const IsamKeyState& key) {
  bool pages = key.NumberPages >= 0 && key.RootPage >= 0 && key.RootPage <= key.NumberPages;
  bool chain = key.NumberFree >= 0 && key.NumberFree <= key.NumberPages &&
               (key.FirstFree == -1 || (key.FirstFree >= 1 && key.FirstFree <= key.NumberPages)) &&
               (key.FirstFree == -1) == (key.NumberFree == 0);
  bool entries = key.NumberEntries >= 0 &&
                 key.NumberEntries <= (int64_t{key.NumberPages} - key.NumberFree) * IsamItemsPerPage;
  return pages && chain && entries ? true : IsamFail(IsamErrIndexDefective);
}

// Every page a key counts must lie within the file.
bool PagesWithinFile(IsamFileBlockRec& fb) {
  int64_t size = 0;
  if (!IsamFileSize(fb.IndexFile, &size)) return false;
  if (fb.RowSize > 0 && int64_t{fb.NumberRows} >= size / fb.RowSize) return IsamFail(IsamErrIndexDefective);
  return true;
}

}  // namespace

int32_t IsamPageSizeFor(int keyLength) {
  return 6 + IsamItemsPerPage * (keyLength + 9);
}

bool IsamWriteNewIndex(platform::files::File& file, int numberKeys, const IsamKeyDescArray& keys) {
  std::vector<uint8_t> row;
  for (int k = 0; k < numberKeys; ++k) {
    IsamKeyState key;
    key.PageSize = IsamPageSizeFor(keys[k].KeyLength);
    key.AllowDuplicates = keys[k].AllowDuplicates;
    size_t at = row.size();
    row.resize(at + static_cast<size_t>(key.PageSize), 0);
    EncodeKeyHeader(key, row.data() + at);
  }
  return IsamWriteAt(file, 0, row.data(), row.size());
}

bool IsamLoadIndexHeaders(IsamFileBlockRec& fb) {
  fb.Keys.clear();
  fb.RowSize = 0;
  fb.NumberRows = 0;
  for (int k = 0; k < fb.NumberKeys; ++k) {
    uint8_t raw[IsamIndexHeaderSize];
    if (!IsamReadAt(fb.IndexFile, fb.RowSize, raw, sizeof raw)) {
      // An index file too short to hold its headers is as defective as a missing one.
      if (IsamError == IsamErrShortRead) IsamError = IsamErrIndexDefective;
      return false;
    }
    IsamKeyState key = DecodeKeyHeader(raw);
    if (!CheckKeyGeometry(key) || !CheckKeyCounters(key)) return false;
    key.SectionOffset = fb.RowSize;
    fb.RowSize += key.PageSize;
    fb.NumberRows = std::max(fb.NumberRows, key.NumberPages);
    fb.Keys.push_back(key);
  }
  return PagesWithinFile(fb);
}

bool IsamWriteChangedIndexHeaders(IsamFileBlockRec& fb) {
  for (IsamKeyState& key : fb.Keys) {
    if (!key.HeaderChanged) continue;
    uint8_t raw[IsamIndexHeaderSize];
    EncodeKeyHeader(key, raw);
    if (!IsamWriteAt(fb.IndexFile, key.SectionOffset, raw, sizeof raw)) return false;
    key.HeaderChanged = false;
  }
  return true;
}

}  // namespace storage
