#include "storage/data_header.h"

#include "storage/byte_order.h"
#include "storage/file_io.h"

namespace storage {

void IsamEncodeDataHeader(const IsamFileBlockRec& fb, uint8_t indexDirtyFlag,
                          uint8_t out[IsamDataHeaderSize]) {
  IsamStoreInt32(out + 0, fb.FirstFree);
  IsamStoreInt32(out + 4, fb.NumberFree);
  IsamStoreInt32(out + 8, fb.NumberRecords);
  IsamStoreInt32(out + 12, fb.RecordLength);
  IsamStoreInt32(out + 16, fb.NumberKeys);
  out[IsamIndexDirtyFlagOffset] = indexDirtyFlag;
}

bool IsamWriteDataHeader(IsamFileBlockRec& fb, uint8_t indexDirtyFlag) {
  uint8_t raw[IsamDataHeaderSize];
  IsamEncodeDataHeader(fb, indexDirtyFlag, raw);
  return IsamWriteAt(fb.DataFile, 0, raw, sizeof raw);
}

bool IsamReadDataHeader(IsamFileBlockRec& fb, uint8_t* indexDirtyFlag) {
  uint8_t raw[IsamDataHeaderSize];
  if (!IsamReadAt(fb.DataFile, 0, raw, sizeof raw)) return false;
  fb.FirstFree = IsamLoadInt32(raw + 0);
  fb.NumberFree = IsamLoadInt32(raw + 4);
  fb.NumberRecords = IsamLoadInt32(raw + 8);
  fb.RecordLength = IsamLoadInt32(raw + 12);
  fb.NumberKeys = IsamLoadInt32(raw + 16);
  *indexDirtyFlag = raw[IsamIndexDirtyFlagOffset];
  return true;
}

}  // namespace storage
