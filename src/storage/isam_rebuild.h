#pragma once
// Repairing a file set: IsamRebuildDataFile copies the live records of a data file into a fresh,
// compact one; IsamReindexFile throws the index away and builds every key anew from the live
// records, logging the keys it cannot add. Both leave the file set closed and report through
// IsamOK and IsamError; neither shows anything.
//
// Files involved (the extension replaces the name's own, as for every file of a set):
//   <name>.SAV  the old data file while a rebuild runs; a rebuild that finds it without a data
//               file resumes from it
//   <name>.MSG  the reindex log, one entry per refused key:
//                 Key:<key> KeyNr: k Ref: r not added CR LF
//               and, when the record was deleted for it,
//                 Data record deleted - Dump follows CR LF
//                 the record's RecordLength bytes as they are, CR LF, CR LF
//
// A crash never leaves a file set that opens as if it were whole: from the moment the old data
// file is moved aside until the last key has been built, the set either has a .SAV beside it or
// opens as "index defective" (10010), so the data-file routines offer to repair it again.

#include <cstdint>
#include <functional>
#include <string>

#include "storage/isam_types.h"

namespace storage {

// Lets the caller decode a record after it was read (mode 1) and encode it before it is
// written (mode 0).
using IsamRecordHook = std::function<void(void* record, uint16_t length, int mode, int32_t parameter)>;
// Decides whether a record goes into the new file and fills the new buffer; length is the old
// length in, the new length out. Setting IsamOK false aborts the rebuild (10475).
using IsamConverter = std::function<bool(const void* oldRecord, void* newRecord, uint16_t& length)>;
// The key of a record for one key number. Setting IsamOK false aborts the reindex (10470).
using IsamBuildKey = std::function<void(const void* record, uint16_t keyNr, IsamKeyStr& key)>;

constexpr int IsamRecordHookRead = 1;
constexpr int IsamRecordHookWrite = 0;

// The converter every data file of the program uses: keeps the live records (first four bytes
// 0) and copies them whole.
[[nodiscard]] bool IsamCopyLiveRecord(const void* oldRecord, void* newRecord, uint16_t& length);

// Only fixed-length records are rebuilt: no file of this program holds variable-length ones,
// and variableLength true is refused with 10415.
void IsamRebuildDataFile(const std::string& name, int32_t newRecordLength, int32_t oldRecordLength,
                         bool variableLength, int32_t lengthChange, const IsamConverter& converter,
                         const IsamRecordHook& recordHook, int32_t hookParameter);

// recordsDeleted, when given, receives the number of records deleted because one of their
// keys was refused as a duplicate (only with deleteBadRecords).
void IsamReindexFile(const std::string& name, uint16_t numberKeys, const IsamKeyDescArray& keys,
                     bool variableLength, const IsamBuildKey& buildKey, bool deleteBadRecords,
                     bool& messagesWritten, const IsamRecordHook& recordHook, int32_t hookParameter,
                     int32_t* recordsDeleted = nullptr);

}  // namespace storage
