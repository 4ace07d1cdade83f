#pragma once
// The data file <name>.DAT: an array of fixed slots of RecordLength bytes; slot n begins at byte
// n x RecordLength, and the file is always (NumberRecords + 1) x RecordLength bytes long.
//
// Slot 0 is the header (little-endian; the rest of slot 0 is zero):
//   0  int32  FirstFree      first deleted record, -1 when none
//   4  int32  NumberFree     deleted records on the free chain
//   8  int32  NumberRecords  slots in use or deleted (the highest valid reference)
//  12  int32  RecordLength   slot length, 21..65535
//  16  int32  NumberKeys     0..100; the index file exists only when above 0
//  20  byte   IsamIndexDirtyFlag  1 from the first change after open until a clean close
//
// Slots 1..NumberRecords: a live record has an int32 0 in its first four bytes; a deleted one
// holds there the next deleted slot of the free chain (-1 at its end), newest first.

#include <cstdint>

#include "storage/file_block.h"

namespace storage {

constexpr int IsamDataHeaderSize = 21;
constexpr int32_t IsamMinRecordLength = 21;
constexpr int32_t IsamMaxRecordLength = 65535;
// The highest NumberRecords: one below the int32 limit, so that NumberRecords + 1 (the file's
// length in slots) is a number too.
constexpr int32_t IsamMaxRecords = 0x7FFFFFFE;

// The 21 header bytes of fb, with the given index-dirty flag.
void IsamEncodeDataHeader(const IsamFileBlockRec& fb, uint8_t indexDirtyFlag,
                          uint8_t out[IsamDataHeaderSize]);

// Writes the data header of fb, with the given index-dirty flag, at the start of its data file.
[[nodiscard]] bool IsamWriteDataHeader(IsamFileBlockRec& fb, uint8_t indexDirtyFlag);

// Reads the data header of fb's data file into fb; *indexDirtyFlag gets byte 20.
[[nodiscard]] bool IsamReadDataHeader(IsamFileBlockRec& fb, uint8_t* indexDirtyFlag);

}  // namespace storage
