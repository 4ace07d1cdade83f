#pragma once
// The record browser's data source, bottom layer: the only code of the browser that calls the
// engine. It reads records into the manager's record buffer and steps through one index, or
// through the data file in record order (key number 0), retrying lock errors quietly instead of
// asking the user as the data-file routines do.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "storage/browser/row_rec.h"
#include "storage/isam.h"

namespace storage {

// How often an engine call is tried while it fails with a lock error, and the pause between.
constexpr int BrowserCallAttempts = 33;
constexpr int BrowserReadLockAttempts = 5;
constexpr int BrowserRetryPauseMs = 30;

// The pause between two attempts. Tests put in one that does not wait.
using BrowserSleepProc = void (*)(int milliseconds);
extern BrowserSleepProc BrowserSleep;

// Runs an engine call until its error class is not 2 or maxAttempts calls were made, pausing
// between attempts, and returns the error class of the last call. An operating-system failure
// during a record scan (10390) is not a lock that goes away: it is neither retried nor cleared,
// so the caller reports it instead of taking a slot that was never read.
int32_t BrowserRetryCall(const std::function<void()>& call, int maxAttempts);

class BrowserRecordAccess {
 public:
  // recordBuffer (recordSize bytes) is the manager's record; the data source reads into it.
  // fileBlock is the variable that holds the file's handle, read at every call: a file given up
  // and opened again under it (after a posting is undone) is followed.
  BrowserRecordAccess(IsamFileBlock& fileBlock, int32_t keyNr, void* recordBuffer, size_t recordSize,
                      bool variableLength);
  virtual ~BrowserRecordAccess() = default;
  BrowserRecordAccess(const BrowserRecordAccess&) = delete;
  BrowserRecordAccess& operator=(const BrowserRecordAccess&) = delete;

  IsamFileBlock FileBlock() const { return fileBlock_; }
  int32_t KeyNumber() const { return keyNr_; }
  [[nodiscard]] bool PhysicalOrder() const { return keyNr_ == 0; }

  // Reads record ref into the record buffer. A slot whose status word is not 0 (a deleted
  // record) gives class 1.
  int32_t ReadRecord(IsamRecRef ref);

  // The entries of the index in use (or the live records in record order).
  int32_t EntryCount();

  // The engine code behind the last result of class 2 or above, for the error report (the
  // engine's own IsamError has been reset by the calls made since).
  int32_t LastError() const { return lastError_; }

 protected:
  void SetKeyNumberField(int32_t keyNr) { keyNr_ = keyNr; }

  // Entry steps; each returns the error class, 1 when there is no such entry. Key and ref hold
  // the entry found (the key stays empty in record order).
  //   SeekAtOrAfter: the first entry at or after (key, ref);
  //   StepFrom: the entry after (direction > 0) or before (direction < 0) the given one, found
  //     again in the index first, so that another user of the index cursor cannot lead it astray;
  //   StepOn: the next entry in the direction, continuing from the last entry found.
  int32_t SeekAtOrAfter(IsamKeyStr& key, IsamRecRef& ref);
  int32_t StepFrom(IsamKeyStr& key, IsamRecRef& ref, int direction);
  int32_t StepOn(IsamKeyStr& key, IsamRecRef& ref, int direction);

  // Runs op under the file block's read lock; the lock's failure is op's result. The engine's
  // status is left as op left it.
  int32_t UnderReadLock(const std::function<int32_t()>& op);

  // Decides whether a candidate entry is shown. The bottom layer shows every entry.
  virtual int32_t FilterCandidate(RowRec& row, bool& useIt);

  // Runs an engine call with the retries and returns its class, noting the code of a failure
  // to report.
  int32_t Call(const std::function<void()>& call);
  // Notes the code to report with a failure that a hook returned.
  void NoteError(int32_t code) { lastError_ = code; }

 private:
  int32_t Result();
  int32_t FindKeyAndRef(IsamKeyStr& key, IsamRecRef& ref, int32_t direction);

  IsamFileBlock& fileBlock_;
  int32_t keyNr_;
  void* recordBuffer_;
  size_t recordSize_;
  bool variableLength_;
  int32_t lastError_ = 0;
};

}  // namespace storage
