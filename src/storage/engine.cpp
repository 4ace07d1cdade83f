// Engine start and stop, the guard and exit step of every operation, the list of open file
// blocks, and the lock operations and queries (which do nothing beyond the guard, because every
// file set is held exclusively while it is open).

#include <algorithm>
#include <cstdlib>

#include "storage/file_io.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/page_cache.h"
#include "storage/posting_journal.h"

namespace storage {
namespace {

struct EngineState {
  bool started = false;
  bool netMode = false;  // the engine never runs shared over a network
  bool exitHookInstalled = false;
  std::vector<std::unique_ptr<IsamFileBlockRec>> openBlocks;  // in order of opening
  // The handle found open last: the calls of a walk or a loop pass the same one again and again.
  const IsamFileBlockRec* lastFound = nullptr;
};

EngineState& Engine() {
  static EngineState state;
  return state;
}

// At program end every file set still open is closed, so that its header is written clean.
// Registered with atexit at the first start: that runs it before the destruction of static
// objects that existed by then (the page cache among them).
void CloseAllAtExit() {
  if (!Engine().started) return;
  for (IsamFileBlock fb : IsamOpenBlocks()) {
    IsamFileBlock handle = fb;
    IsamCloseFileBlock(handle);
  }
  ClosePostingJournal();
  Engine().openBlocks.clear();
  Engine().lastFound = nullptr;
  Engine().started = false;
}

bool KindNeedsFileBlock(IsamCallKind kind) {
  return kind != IsamCallKind::NoFileBlock;
}

bool KindWrites(IsamCallKind kind) {
  return kind == IsamCallKind::Write || kind == IsamCallKind::KeyWrite;
}

bool KindUsesKey(IsamCallKind kind) {
  return kind == IsamCallKind::KeyRead || kind == IsamCallKind::KeyWrite;
}

}  // namespace

bool IsamEngineStarted() {
  return Engine().started;
}

bool IsamIsOpenBlock(const IsamFileBlockRec* fb) {
  EngineState& engine = Engine();
  if (fb == nullptr) return false;
  if (fb == engine.lastFound) return true;
  const auto& list = engine.openBlocks;
  if (std::none_of(list.begin(), list.end(), [fb](const auto& p) { return p.get() == fb; })) return false;
  engine.lastFound = fb;
  return true;
}

void IsamAppendOpenBlock(std::unique_ptr<IsamFileBlockRec> fb) {
  Engine().openBlocks.push_back(std::move(fb));
}

std::unique_ptr<IsamFileBlockRec> IsamRemoveOpenBlock(IsamFileBlock fb) {
  Engine().lastFound = nullptr;
  auto& list = Engine().openBlocks;
  auto it = std::find_if(list.begin(), list.end(), [fb](const auto& p) { return p.get() == fb; });
  if (it == list.end()) return nullptr;
  std::unique_ptr<IsamFileBlockRec> owned = std::move(*it);
  list.erase(it);
  return owned;
}

std::vector<IsamFileBlock> IsamOpenBlocks() {
  std::vector<IsamFileBlock> blocks;
  for (const auto& p : Engine().openBlocks) blocks.push_back(p.get());
  return blocks;
}

bool IsamEnterCall(IsamFileBlock fb, IsamCallKind kind, int32_t keyNr) {
  IsamOK = true;
  IsamError = 0;
  if (!Engine().started) return IsamFail(IsamErrNotStarted);
  if (!KindNeedsFileBlock(kind)) return true;
  if (fb == nullptr) return IsamFail(IsamErrBadHandle);
  if (!IsamIsOpenBlock(fb)) {
    return IsamFail(kind == IsamCallKind::Close ? IsamErrNotOpenFileBlock : IsamErrBadHandle);
  }
  if (fb->Signature != IsamSignature) return IsamFail(IsamErrBadHandle);
  if (KindWrites(kind) && fb->ReadOnly) return IsamFail(IsamErrReadOnly);
  // While a posting waits to be undone, nothing but its undo writes the files it holds.
  if (KindWrites(kind) && PostingJournalWaits() && RefuseWriteWhileWaiting(fb->DataName, {}, "changed"))
    return false;
  if (KindUsesKey(kind) && (keyNr < 1 || keyNr > fb->NumberKeys)) return IsamFail(IsamErrKeyNumber);
  return true;
}

void IsamLeaveCall(IsamFileBlock fb) {
  if (!Engine().started || IsamError == IsamErrBadHandle) return;
  if (!IsamIsOpenBlock(fb)) return;
  if (fb->ReadOnly && IsamError == IsamErrOsFailure) IsamError = IsamErrReadOnlyOs;
}

int32_t IsamInitialize(int32_t /*reserved*/, int32_t pageBuffers) {
  IsamOK = true;
  IsamError = 0;
  EngineState& engine = Engine();
  if (engine.started) {
    IsamFail(IsamErrAlreadyStarted);
    return 0;
  }
  if (pageBuffers < 8) {
    IsamFail(IsamErrTooFewBuffers);
    return 0;
  }
  engine.netMode = false;
  IsamProgressHook = nullptr;
  engine.openBlocks.clear();
  engine.lastFound = nullptr;
  if (!IsamPageCacheInit(pageBuffers)) {
    IsamFail(IsamErrNoPageBuffers);
    return 0;
  }
  if (!engine.exitHookInstalled) {
    std::atexit(CloseAllAtExit);
    engine.exitHookInstalled = true;
  }
  engine.started = true;
  return IsamPageCacheSize();
}

void IsamShutdown() {
  IsamOK = true;
  IsamError = 0;
  if (!Engine().started) {
    IsamFail(IsamErrNotStarted);
    return;
  }
  // The files first, the journal last: a stop in between finds the journal, and with it knows that
  // the program did not end.
  int32_t firstError = 0;
  for (IsamFileBlock fb : IsamOpenBlocks()) {
    IsamFileBlock handle = fb;
    IsamCloseFileBlock(handle);
    if (!IsamOK && firstError == 0) firstError = IsamError;
  }
  ClosePostingJournal();
  if (firstError != 0) {
    IsamFail(firstError);
    return;
  }
  IsamOK = true;
  IsamError = 0;
  Engine().started = false;
  IsamPageCacheFree();
}

void IsamLockFileBlock(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
}

void IsamUnlockFileBlock(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
}

void IsamReadLockFileBlock(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
}

namespace {
// The lock queries: the guard, and "not locked" (no file set is ever shared).
bool AnswerNotLocked(IsamFileBlock fb) {
  IsamCallScope call(fb, IsamCallKind::Read);
  return false;
}
}  // namespace

bool IsamIsLocked(IsamFileBlock fb) {
  return AnswerNotLocked(fb);
}

bool IsamIsReadLocked(IsamFileBlock fb) {
  return AnswerNotLocked(fb);
}

bool IsamLockQuery(IsamFileBlock fb) {
  return AnswerNotLocked(fb);
}

bool IsamRecordLockQuery(IsamFileBlock fb) {
  return AnswerNotLocked(fb);
}

bool IsamLockQueryKeepStatus(IsamFileBlock fb) {
  bool savedOK = IsamOK;
  int32_t savedError = IsamError;
  bool answer = IsamLockQuery(fb);
  if (IsamOK) {
    IsamOK = savedOK;
    IsamError = savedError;
  }
  return answer;
}

bool IsamGlobalCheck() {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  return call.entered();
}

bool IsamNetModeActive() {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  return Engine().netMode;
}

int32_t IsamErrorClass() {
  return IsamErrorClassOf(IsamError);
}

}  // namespace storage
