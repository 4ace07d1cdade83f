// Creating, opening, closing and deleting file sets. Every file of an open set is held
// exclusively, so a second open of the same set, by this process or another, fails (10140).
//
// Durability: the index-dirty byte reaches the disk before the first change after open
// (IsamMarkDirty); at close, index pages, index headers and data records are flushed first and
// only then is the header written clean and synced. A crash at any point therefore leaves a file
// set that opens as "index defective" (10010) and is rebuilt, never one that silently lost keys.

#include <cerrno>
#include <memory>
#include <new>
#include <vector>

#include "storage/data_header.h"
#include "storage/file_io.h"
#include "storage/file_set.h"
#include "storage/index_header.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/naming.h"
#include "storage/page_cache.h"
#include "storage/posting_journal.h"
#include "storage/rebuild_common.h"

namespace storage {
namespace {

bool CheckCreateArguments(int32_t recordLength, uint16_t numberKeys, const IsamKeyDescArray& keys) {
  if (numberKeys > IsamMaxKeys) return IsamFail(IsamErrTooManyKeys);
  if (recordLength < IsamMinRecordLength) return IsamFail(IsamErrRecordLengthTooSmall);
  // Open refuses such a file, so it is never made.
  if (recordLength > IsamMaxRecordLength) return IsamFail(IsamErrRecordTooLong);
  for (int k = 0; k < numberKeys; ++k) {
    if (keys[k].KeyLength < 1 || keys[k].KeyLength > IsamMaxKeyLen) return IsamFail(IsamErrBadKeyLength);
  }
  return true;
}

// Deletes the files of a set, ignoring failures except for the data file's, which is returned.
bool DeleteSetFiles(const std::string& name) {
  (void)IsamDeleteFile(IsamFileName(IsamIndexPart(name), IsamIndexExt));
  (void)IsamDeleteFile(IsamFileName(IsamDataPart(name), IsamJournalExt));
  IsamOK = true;
  IsamError = 0;
  return IsamDeleteFile(IsamFileName(IsamDataPart(name), IsamDataExt));
}

// Writes slot 0 of a new data file in one write: the header, then zeros.
bool WriteNewDataFile(const std::string& fileName, int32_t recordLength, uint16_t numberKeys,
                      uint8_t indexDirtyFlag) {
  IsamFileBlockRec fresh;
  fresh.RecordLength = recordLength;
  fresh.NumberKeys = numberKeys;
  if (!IsamCreateFile(fresh.DataFile, fileName)) return false;
  std::vector<uint8_t> slot(static_cast<size_t>(recordLength), 0);
  IsamEncodeDataHeader(fresh, indexDirtyFlag, slot.data());
  bool written = IsamWriteAt(fresh.DataFile, 0, slot.data(), slot.size()) && IsamFlushFile(fresh.DataFile);
  bool closed = IsamCloseFile(fresh.DataFile);
  return written && closed;
}

bool WriteNewIndexFile(const std::string& fileName, uint16_t numberKeys, const IsamKeyDescArray& keys) {
  platform::files::File file;
  if (!IsamCreateFile(file, fileName)) return false;
  bool written = IsamWriteNewIndex(file, numberKeys, keys) && IsamFlushFile(file);
  bool closed = IsamCloseFile(file);
  return written && closed;
}

// The free chain's head and count must fit the records: a head of 0 would be written as the link
// of the next deleted slot, where it reads as a live record; counts beyond the records would run
// the counters past their range.
bool FreeCountersSound(const IsamFileBlockRec& fb) {
  bool headInRange = fb.FirstFree == -1 || (fb.FirstFree >= 1 && fb.FirstFree <= fb.NumberRecords);
  bool countInRange = fb.NumberFree >= 0 && fb.NumberFree <= fb.NumberRecords;
  return headInRange && countInRange && (fb.FirstFree == -1) == (fb.NumberFree == 0);
}

// Reads the data header and refuses one that does not describe the file it heads: anything
// else would send record reads and writes outside the slots.
bool LoadDataHeader(IsamFileBlockRec& fb, uint8_t* indexDirtyFlag) {
  if (!IsamReadDataHeader(fb, indexDirtyFlag)) {
    if (IsamError == IsamErrShortRead) IsamError = IsamErrIndexDefective;
    return false;
  }
  if (fb.NumberKeys > IsamMaxKeys) return IsamFail(IsamErrHeaderTooManyKeys);
  int64_t size = 0;
  if (!IsamFileSize(fb.DataFile, &size)) return false;
  bool sound = fb.NumberKeys >= 0 && fb.RecordLength >= IsamMinRecordLength &&
               fb.RecordLength <= IsamMaxRecordLength && fb.NumberRecords >= 0 &&
               fb.NumberRecords <= IsamMaxRecords &&
               size == (int64_t{fb.NumberRecords} + 1) * fb.RecordLength;
  return sound && FreeCountersSound(fb) ? true : IsamFail(IsamErrIndexDefective);
}

bool OpenIndex(IsamFileBlockRec& fb, bool readOnly) {
  if (!IsamOpenExisting(fb.IndexFile, fb.IndexName, readOnly)) {
    // A missing index is built again from the records; one the system refuses (no permission,
    // an I/O error) is no defect of it, and rebuilding it would not help.
    if (IsamLastOpenFailure().Errno == ENOENT) IsamError = IsamErrIndexDefective;
    return false;
  }
  return IsamLoadIndexHeaders(fb);
}

// unfinished: the set is being rebuilt; byte 20 is expected set rather than refused, and stays so.
bool OpenFiles(IsamFileBlockRec& fb, const std::string& name, bool unfinished) {
  fb.DataName = IsamFileName(IsamDataPart(name), IsamDataExt);
  fb.IndexName = IsamFileName(IsamIndexPart(name), IsamIndexExt);
  // A journal (.DIA) left beside the data file is not looked at: nothing in this program
  // writes one, its format is unknown here, and replaying it blindly could damage good data.
  // It is not deleted either; it is not ours to remove.
  if (!IsamOpenExisting(fb.DataFile, fb.DataName, fb.ReadOnly)) return false;
  uint8_t indexDirtyFlag = 0;
  if (!LoadDataHeader(fb, &indexDirtyFlag)) return false;
  if (fb.NumberKeys > 0 && !OpenIndex(fb, fb.ReadOnly)) return false;
  if (unfinished) {
    fb.KeepDefective = true;
    fb.DirtyFlagOnDisk = indexDirtyFlag != 0;
    return true;
  }
  if (indexDirtyFlag != 0) return IsamFail(IsamErrIndexDefective);
  return true;
}

// Every change of keys or of the data header marks the set dirty on disk first; records
// rewritten in place only leave data to sync. A set that did neither (and need not stay
// defective) is as it was found, and the close neither writes nor syncs anything.
bool HeaderOrKeysChanged(const IsamFileBlockRec& fb) {
  return fb.DirtyFlagOnDisk || fb.KeepDefective || fb.HeaderChanged;
}

// Index pages and headers first, then the records, and the header last (clean unless the set
// must stay marked defective), each synced before the next is written.
bool WriteBackKeysAndHeader(IsamFileBlockRec& fb) {
  if (fb.NumberKeys > 0) {
    if (!IsamPageCacheFlush(fb, false)) return false;
    if (!IsamWriteChangedIndexHeaders(fb) || !IsamFlushFile(fb.IndexFile)) return false;
  }
  if (!IsamFlushFile(fb.DataFile)) return false;
  if (!IsamWriteDataHeader(fb, fb.KeepDefective ? 1 : 0) || !IsamFlushFile(fb.DataFile)) return false;
  fb.HeaderChanged = false;
  fb.DirtyFlagOnDisk = fb.KeepDefective;
  return true;
}

// Writes back everything the open file block changed since it was opened.
bool WriteBack(IsamFileBlockRec& fb) {
  if (HeaderOrKeysChanged(fb)) {
    if (!WriteBackKeysAndHeader(fb)) return false;
  } else if (fb.DataWritten && !IsamFlushFile(fb.DataFile)) {
    return false;
  }
  fb.DataWritten = false;
  return true;
}

// Opens a file set; the files close with the descriptor when the open fails.
void OpenFileBlock(IsamFileBlock& fb, const std::string& name, bool readOnly, bool unfinished) {
  std::unique_ptr<IsamFileBlockRec> block(new (std::nothrow) IsamFileBlockRec);
  if (!block) {
    IsamFail(IsamErrNoMemoryOpen);
    return;
  }
  block->ReadOnly = readOnly;
  if (!OpenFiles(*block, name, unfinished)) return;
  block->Signature = IsamSignature;
  IsamFileBlock handle = block.get();
  IsamAppendOpenBlock(std::move(block));
  fb = handle;
}

}  // namespace

void IsamCreateFileBlock(const std::string& name, int32_t recordLength, uint16_t numberKeys,
                         const IsamKeyDescArray& keys) {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  if (!call.entered() || !CheckCreateArguments(recordLength, numberKeys, keys)) return;
  std::string dataName = IsamFileName(IsamDataPart(name), IsamDataExt);
  std::string indexName = IsamFileName(IsamIndexPart(name), IsamIndexExt);
  if (RefuseWriteWhileWaiting(dataName, {}, "created")) return;
  // A set a posting creates is undone by removing it: the journal says so before it exists.
  if (!IsamJournalCreatedFile(dataName, recordLength)) return;
  DeleteSetFiles(name);
  IsamOK = true;
  IsamError = 0;
  // A half-made file goes again as far as it can; the failure that stopped it is the one reported.
  if (!WriteNewDataFile(dataName, recordLength, numberKeys, 0)) {
    (void)platform::files::DeleteFile(dataName);
    return;
  }
  if (numberKeys > 0 && !WriteNewIndexFile(indexName, numberKeys, keys)) {
    (void)platform::files::DeleteFile(indexName);
    (void)platform::files::DeleteFile(dataName);
    return;
  }
  (void)IsamSyncCreatedFile(dataName);  // its failure is in IsamOK, as every call of the engine says
}

bool IsamCreateUnfinishedDataFile(const std::string& name, int32_t recordLength) {
  DeleteSetFiles(name);
  IsamOK = true;
  IsamError = 0;
  std::string dataName = IsamFileName(IsamDataPart(name), IsamDataExt);
  if (WriteNewDataFile(dataName, recordLength, 0, 1)) return true;
  (void)platform::files::DeleteFile(dataName);  // the failure that stopped it is the one reported
  return false;
}

bool IsamOpenUnfinishedFileBlock(IsamFileBlock& fb, const std::string& name) {
  IsamOK = true;
  IsamError = 0;
  OpenFileBlock(fb, name, false, true);
  return IsamOK;
}

bool IsamMarkFileSetClean(const std::string& dataName) {
  // Nothing depends on the clean mark reaching the disk: lost, it only asks for one rebuild more.
  const uint8_t clean = 0;
  platform::files::File file;
  if (!IsamOpenExisting(file, dataName, false)) return false;
  bool written = IsamWriteAt(file, IsamIndexDirtyFlagOffset, &clean, 1);
  bool closed = IsamCloseFile(file);
  return written && closed;
}

void IsamOpenFileBlock(IsamFileBlock& fb, const std::string& name, bool readOnly, bool forceReadOnly,
                       bool /*journal*/, bool /*shared*/) {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  // Every open is exclusive whatever is asked, and no journal is ever kept.
  if (call.entered()) OpenFileBlock(fb, name, readOnly || forceReadOnly, false);
}

namespace {

// Gives up the buffers and closes the files. The mappings go first: they would hold the files
// (and their locks) beyond the close.
bool CloseBlockFiles(IsamFileBlock& fb) {
  IsamPageCacheDiscard(*fb);
  if (fb->InPosting) IsamPostingForget(*fb);
  std::unique_ptr<IsamFileBlockRec> block = IsamRemoveOpenBlock(fb);
  block->Signature = 0;
  fb = nullptr;
  block->IndexMap.Unmap();
  block->DataMap.Unmap();
  bool indexClosed = IsamCloseFile(block->IndexFile);
  bool dataClosed = IsamCloseFile(block->DataFile);
  return indexClosed && dataClosed;
}

// A write-back that failed cannot be trusted to succeed when tried again (the system may have
// dropped the pages it could not write): the set is closed all the same, so that its lock is not
// held for ever, and left marked for repair where that mark can still be written.
int lastWriteBackErrno = 0;

// What the system said when the write-back failed: a data or index file's own error.
int WriteBackErrno(const IsamFileBlockRec& fb) {
  if (fb.DataFile.error() != 0) return fb.DataFile.error();
  return fb.IndexFile.error() != 0 ? fb.IndexFile.error() : EIO;
}

void CloseAfterFailedWriteBack(IsamFileBlock& fb) {
  IsamStatusKeeper keep;
  const uint8_t one = 1;
  // The mark is what the next open repairs by; the write-back's own failure is the one reported.
  if (fb->DataFile.WriteAt(IsamIndexDirtyFlagOffset, &one, 1)) (void)fb->DataFile.Flush();
  CloseBlockFiles(fb);
}

}  // namespace

void IsamAbandonFileBlock(IsamFileBlock& fb) {
  if (!IsamIsOpenBlock(fb)) return;
  CloseBlockFiles(fb);
}

void IsamCloseFileBlock(IsamFileBlock& fb) {
  IsamCallScope call(fb, IsamCallKind::Close);
  lastWriteBackErrno = 0;
  if (!call.entered()) return;
  if (fb->InPosting && IsamPostingFailed()) {
    // The posting will be undone: nothing of it is written out, and the undo rebuilds the file.
    CloseBlockFiles(fb);
    return;
  }
  if (!fb->ReadOnly) {
    // A file closed during a posting writes its part of the posting out first, behind the journal.
    const bool written = (!fb->InPosting || IsamPostingWriteOut(*fb)) && WriteBack(*fb);
    if (!written) {
      lastWriteBackErrno = WriteBackErrno(*fb);
      IsamPostingBroken(lastWriteBackErrno);
      CloseAfterFailedWriteBack(fb);
      return;
    }
  }
  // Every changed page is on disk by now (a read-only file block changes none): the buffers
  // are only given up.
  if (!CloseBlockFiles(fb)) IsamFail(IsamErrCloseFailed);
}

void IsamDeleteFileBlock(const std::string& name) {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  if (!call.entered() ||
      RefuseWriteWhileWaiting(IsamFileName(IsamDataPart(name), IsamDataExt), {}, "removed"))
    return;
  DeleteSetFiles(name);
}

int IsamLastWriteBackErrno() {
  return lastWriteBackErrno;
}

bool IsamIsOpen(IsamFileBlock fb) {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  return call.entered() && IsamIsOpenBlock(fb);
}

}  // namespace storage
