#pragma once
// The storage engine's public interface. Every data file of the program is reached only through
// these operations. None of them raises: each leaves its outcome in IsamOK and IsamError, which
// the caller tests after every call (IsamErrorClass tells whether a retry makes sense).
//
// A file set is named by a base name without extension ("12C"); the engine builds the file
// names from it (naming.h). Record buffers are passed with their size; a record operation
// refuses a buffer smaller than the file's record length instead of reading or writing past it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage {

// Engine start and stop. Returns the number of page buffers allocated (0 on failure).
int32_t IsamInitialize(int32_t reserved, int32_t pageBuffers);
void IsamShutdown();

// File sets.
void IsamCreateFileBlock(const std::string& name, int32_t recordLength, uint16_t numberKeys,
                         const IsamKeyDescArray& keys);
void IsamOpenFileBlock(IsamFileBlock& fb, const std::string& name, bool readOnly, bool forceReadOnly,
                       bool journal, bool shared);
void IsamCloseFileBlock(IsamFileBlock& fb);
// The system's errno when the write-back of the last close failed (the set was then left for
// repair); 0 when it did not fail.
int IsamLastWriteBackErrno();
// Closes a file set without writing back anything it changed (a posting being undone); the
// set stays as the disk has it, marked for repair if it was.
void IsamAbandonFileBlock(IsamFileBlock& fb);
void IsamDeleteFileBlock(const std::string& name);
[[nodiscard]] bool IsamIsOpen(IsamFileBlock fb);
int32_t IsamDataLen(IsamFileBlock fb);
int32_t IsamUsedRecs(IsamFileBlock fb);
int32_t IsamFileLen(IsamFileBlock fb);
// The open file block's NumberRecords counter, for the buffered writer of the rebuild.
int32_t* IsamRecordsFieldPtr(IsamFileBlock fb);

// Records. The trailing byte of IsamGetRec and IsamPutRec has no effect (callers pass 0).
void IsamAddRec(IsamFileBlock fb, IsamRecRef& ref, const void* buffer, size_t bufferSize);
void IsamGetRec(IsamFileBlock fb, IsamRecRef ref, void* buffer, size_t bufferSize, uint8_t unused = 0);
// A hint that IsamGetRec(fb, ref) follows soon: where the data file is mapped, the processor is
// asked to bring the record into its caches meanwhile, so that reads of records met all over the
// file (a walk by key) wait for memory together. Reads nothing itself and sets no status.
void IsamPrefetchRec(IsamFileBlock fb, IsamRecRef ref);
void IsamPutRec(IsamFileBlock fb, IsamRecRef ref, const void* buffer, size_t bufferSize, uint8_t unused = 0);
void IsamDeleteRec(IsamFileBlock fb, IsamRecRef ref);
void IsamNextRec(IsamFileBlock fb, IsamRecRef& ref);
void IsamPrevRec(IsamFileBlock fb, IsamRecRef& ref);
void IsamScanRec(IsamFileBlock fb, IsamRecRef& ref, int32_t direction);
void IsamRecToScrollPos(IsamFileBlock fb, uint16_t& pos, uint16_t scale, IsamRecRef ref);
void IsamScrollPosToRec(IsamFileBlock fb, uint16_t pos, uint16_t scale, IsamRecRef& ref);
// length: the capacity of buffer in, the number of bytes copied out.
void IsamGetVariableRec(IsamFileBlock fb, IsamRecRef ref, void* buffer, uint16_t& length);
void IsamDeleteVarRec(IsamFileBlock fb, IsamRecRef ref);
[[nodiscard]] bool IsamSetVarRecBufferSize(uint16_t size);

// Keys; keyNr runs from 1 to the file set's number of keys.
void IsamAddKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key);
void IsamDeleteKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef ref, const IsamKeyStr& key);
void IsamSearchKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key);
void IsamFindKeyAndRef(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key, int32_t direction);
void IsamNextKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key);
void IsamPrevKey(IsamFileBlock fb, int32_t keyNr, IsamRecRef& ref, IsamKeyStr& key);
int32_t IsamUsedKeys(IsamFileBlock fb, int32_t keyNr);
void IsamKeyToScrollPos(IsamFileBlock fb, int32_t keyNr, uint16_t& pos, uint16_t scale, const IsamKeyStr& key,
                        IsamRecRef ref);
void IsamScrollPosToKey(IsamFileBlock fb, int32_t keyNr, uint16_t pos, uint16_t scale, IsamKeyStr& key,
                        IsamRecRef& ref);

// Locks and engine queries. Every file set is opened exclusively, so the locks have nothing to
// do beyond the guard; they keep the calling pattern of the data-file routines.
void IsamLockFileBlock(IsamFileBlock fb);
void IsamUnlockFileBlock(IsamFileBlock fb);
void IsamReadLockFileBlock(IsamFileBlock fb);
[[nodiscard]] bool IsamIsLocked(IsamFileBlock fb);
[[nodiscard]] bool IsamIsReadLocked(IsamFileBlock fb);
[[nodiscard]] bool IsamLockQuery(IsamFileBlock fb);
[[nodiscard]] bool IsamRecordLockQuery(IsamFileBlock fb);
// IsamLockQuery that leaves IsamOK and IsamError as they were when the query succeeds.
[[nodiscard]] bool IsamLockQueryKeepStatus(IsamFileBlock fb);
[[nodiscard]] bool IsamGlobalCheck();
[[nodiscard]] bool IsamNetModeActive();
int32_t IsamErrorClass();

}  // namespace storage
