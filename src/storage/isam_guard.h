#pragma once
// The guard that every engine operation runs first, the exit step it runs last, and the
// engine-wide state they consult: the started flag and the list of open file blocks.
//
// A handle is trusted only when it is found in the list of open file blocks; a freed or foreign
// pointer is therefore refused without ever being read.

#include <cstdint>
#include <memory>
#include <vector>

#include "storage/file_block.h"

namespace storage {

enum class IsamCallKind {
  NoFileBlock,  // operations that take no file block (or do not need an open one)
  Read,         // operations on an open file block that change nothing
  Write,        // operations that change records: refused on a read-only file block
  KeyRead,      // key operations: the key number is checked as well
  KeyWrite,     // key operations that change the index
  Close,        // closing: a handle that is not open is 10080 rather than 10445
};

// Sets IsamOK true and IsamError 0, then checks the engine, the handle, the access and the key
// number as the kind asks. False when a check failed; the status is already set then.
[[nodiscard]] bool IsamEnterCall(IsamFileBlock fb, IsamCallKind kind, int32_t keyNr = 0);

// Turns an operating-system failure on a read-only file block into 10397.
void IsamLeaveCall(IsamFileBlock fb);

// Runs IsamEnterCall at construction and IsamLeaveCall at destruction, so that every exit of
// an operation passes the exit step.
class IsamCallScope {
 public:
  IsamCallScope(IsamFileBlock fb, IsamCallKind kind, int32_t keyNr = 0)
      : fb_(fb), entered_(IsamEnterCall(fb, kind, keyNr)) {}
  ~IsamCallScope() { IsamLeaveCall(fb_); }
  IsamCallScope(const IsamCallScope&) = delete;
  IsamCallScope& operator=(const IsamCallScope&) = delete;
  bool entered() const { return entered_; }

 private:
  IsamFileBlock fb_;
  bool entered_;
};

[[nodiscard]] bool IsamEngineStarted();

// True when fb is one of the open file blocks (compares addresses only).
[[nodiscard]] bool IsamIsOpenBlock(const IsamFileBlockRec* fb);

// The open list, in order of opening. The list owns the descriptors.
void IsamAppendOpenBlock(std::unique_ptr<IsamFileBlockRec> fb);
std::unique_ptr<IsamFileBlockRec> IsamRemoveOpenBlock(IsamFileBlock fb);
std::vector<IsamFileBlock> IsamOpenBlocks();

}  // namespace storage
