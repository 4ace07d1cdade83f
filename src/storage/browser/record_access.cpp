#include "storage/browser/record_access.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "storage/file_io.h"

namespace storage {

namespace {

void SleepMilliseconds(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int32_t StatusWordOf(const void* record) {
  int32_t status = 0;
  std::memcpy(&status, record, sizeof status);
  return status;
}

}  // namespace

BrowserSleepProc BrowserSleep = SleepMilliseconds;

int32_t BrowserRetryCall(const std::function<void()>& call, int maxAttempts) {
  for (int attempt = 1;; ++attempt) {
    call();
    if (IsamOK) return IsamErrorClassNone;
    int32_t errorClass = IsamErrorClass();
    if (errorClass != IsamErrorClassLock || IsamError == IsamErrScanIo || attempt >= maxAttempts) {
      return errorClass;
    }
    BrowserSleep(BrowserRetryPauseMs);
  }
}

BrowserRecordAccess::BrowserRecordAccess(IsamFileBlock& fileBlock, int32_t keyNr, void* recordBuffer,
                                         size_t recordSize, bool variableLength)
    : fileBlock_(fileBlock),
      keyNr_(keyNr),
      recordBuffer_(recordBuffer),
      recordSize_(recordSize),
      variableLength_(variableLength) {}

int32_t BrowserRecordAccess::Result() {
  int32_t errorClass = IsamOK ? IsamErrorClassNone : IsamErrorClass();
  if (errorClass >= IsamErrorClassLock) lastError_ = IsamError;
  return errorClass;
}

int32_t BrowserRecordAccess::Call(const std::function<void()>& call) {
  BrowserRetryCall(call, BrowserCallAttempts);
  return Result();
}

int32_t BrowserRecordAccess::ReadRecord(IsamRecRef ref) {
  size_t bytesRead = recordSize_;
  int32_t errorClass = Call([&] {
    if (variableLength_) {
      uint16_t length = static_cast<uint16_t>(std::min<size_t>(recordSize_, UINT16_MAX));
      IsamGetVariableRec(fileBlock_, ref, recordBuffer_, length);
      bytesRead = length;
    } else {
      IsamGetRec(fileBlock_, ref, recordBuffer_, recordSize_);
    }
  });
  if (errorClass != IsamErrorClassNone) return errorClass;
  // Without a whole status word in the buffer the record is not there to show.
  if (bytesRead < sizeof(int32_t) || StatusWordOf(recordBuffer_) != 0) return IsamErrorClassNotFound;
  return IsamErrorClassNone;
}

int32_t BrowserRecordAccess::EntryCount() {
  return PhysicalOrder() ? IsamUsedRecs(fileBlock_) : IsamUsedKeys(fileBlock_, keyNr_);
}

int32_t BrowserRecordAccess::FindKeyAndRef(IsamKeyStr& key, IsamRecRef& ref, int32_t direction) {
  return Call([&] { IsamFindKeyAndRef(fileBlock_, keyNr_, ref, key, direction); });
}

int32_t BrowserRecordAccess::SeekAtOrAfter(IsamKeyStr& key, IsamRecRef& ref) {
  if (PhysicalOrder()) {
    key.clear();
    return Call([&] { IsamScanRec(fileBlock_, ref, 1); });
  }
  return FindKeyAndRef(key, ref, 1);
}

int32_t BrowserRecordAccess::StepFrom(IsamKeyStr& key, IsamRecRef& ref, int direction) {
  if (PhysicalOrder()) return StepOn(key, ref, direction);
  // Put the index cursor on the entry itself when it is still there; otherwise the nearest
  // entry in the direction of the step is the answer.
  IsamKeyStr foundKey = key;
  IsamRecRef foundRef = ref;
  int32_t errorClass = FindKeyAndRef(foundKey, foundRef, 0);
  if (errorClass == IsamErrorClassNone) {
    key = foundKey;
    ref = foundRef;
    return StepOn(key, ref, direction);
  }
  if (errorClass != IsamErrorClassNotFound) return errorClass;
  return FindKeyAndRef(key, ref, direction > 0 ? 1 : -1);
}

int32_t BrowserRecordAccess::StepOn(IsamKeyStr& key, IsamRecRef& ref, int direction) {
  if (PhysicalOrder()) {
    key.clear();
    return Call([&] {
      if (direction > 0) {
        IsamNextRec(fileBlock_, ref);
      } else {
        IsamPrevRec(fileBlock_, ref);
      }
    });
  }
  return Call([&] {
    if (direction > 0) {
      IsamNextKey(fileBlock_, keyNr_, ref, key);
    } else {
      IsamPrevKey(fileBlock_, keyNr_, ref, key);
    }
  });
}

int32_t BrowserRecordAccess::UnderReadLock(const std::function<int32_t()>& op) {
  BrowserRetryCall([&] { IsamReadLockFileBlock(fileBlock_); }, BrowserReadLockAttempts);
  int32_t lockClass = Result();
  if (lockClass != IsamErrorClassNone) return lockClass;
  int32_t result = op();
  const IsamStatus status = IsamCurrentStatus();
  IsamUnlockFileBlock(fileBlock_);
  IsamRestoreStatus(status);
  return result;
}

int32_t BrowserRecordAccess::FilterCandidate(RowRec&, bool& useIt) {
  useIt = true;
  return IsamErrorClassNone;
}

}  // namespace storage
