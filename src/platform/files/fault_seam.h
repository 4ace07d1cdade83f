#pragma once
// Test seam of the file layer: what the next writes, syncs and reads of this process meet.
//
// Every call of this layer that changes the disk is a write: File::WriteAt, File::Truncate,
// File::Allocate, creating a file (File::Open with CreateAlways or CreateNew, once), making a
// folder (CreateFolder), DeleteFile, RenameFile, ExchangeFiles, and the temporary file and rename
// inside WriteWholeFile (each part as the write it is). Every File::Flush, File::SyncData and
// SyncFolder is a sync. Both are counted from InstallFaultPlan, 1-based, so a sweep runs once
// without a fault to learn how many there are. Every File::ReadAt is a read, counted the same way:
// a disk that fails a read (an I/O error) is met there, where a short read at the end of a file is
// no failure. While a plan fails a read, the engine's mappings are not read (seam::ReadsFault), so
// every record and index page it reads is such a read.
//
// With SimulateDisk the seam keeps what a power cut would lose apart: each content change since
// its file's last Flush/SyncData keeps the bytes it overwrote (and the size before) and the bytes
// it wrote, each create, delete and rename since its folder's last SyncFolder keeps what undoes
// it (a folder made anew goes with everything in it). A cut reverts all of it, newest first,
// with plain POSIX calls that go round the seam and the locks, and ends the process: the files
// are left as of their last sync, the names as of their folder's last sync. A disk need not lose
// every unsynced write, nor a write whole: the plan can have the cut keep one of the unsynced
// content writes (or every one but one), and take one 512-byte sector out of a kept write (a
// write is atomic only within a sector). The content writes not yet synced at the cut are
// numbered 1, 2, ... in the order they were made; what is kept is written again over the synced
// state, oldest first. Name changes not yet synced are always lost.
//
// With no plan installed the seam costs one predictable branch per call.

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>

namespace platform::files {

enum class FaultAction { None, Fail, Kill, PowerCut };

// What a power cut keeps of the content writes not yet synced.
enum class CutKeeps {
  Nothing,         // every one is lost
  OneWrite,        // write CutWrite alone is kept
  AllButOneWrite,  // every one is kept but write CutWrite
};

struct FaultPlan {
  FaultAction OnWrite = FaultAction::None;  // at write number WriteNumber (1-based, counted from Install)
  int WriteNumber = 0;
  FaultAction OnSync = FaultAction::None;  // at sync number SyncNumber; only Fail is used for syncs
  int SyncNumber = 0;
  int Errno = EIO;            // what a failing call reports (ENOSPC, EIO, ...)
  bool SimulateDisk = false;  // keep what is unsynced apart so a cut can drop it
  CutKeeps Keeps = CutKeeps::Nothing;
  int CutWrite = 0;  // 1-based among the content writes not yet synced at the cut
  // s >= 0: write CutWrite is kept (whatever Keeps says of it) without its s-th 512-byte sector,
  // counted from the first sector it touches; what was there before stays.
  int CutLostSector = -1;
  FaultAction OnRead = FaultAction::None;  // at read number ReadNumber; only Fail is used for reads
  int ReadNumber = 0;
  // A second write that fails (with Errno), later than WriteNumber: a failure met while the first
  // one is being taken back.
  int AlsoFailWrite = 0;
};

constexpr int64_t kFaultSectorSize = 512;

// Fail: that call fails with Errno and changes nothing; later calls succeed again.
// Kill: the write is made, then the process ends with _exit(FaultKilledExitCode) as a kill would.
// PowerCut: the write is made, then everything not yet synced is dropped (but what the plan's
//           Keeps and CutLostSector keep), then _exit(FaultKilledExitCode).
constexpr int FaultKilledExitCode = 87;
// A cut whose plan names a write (or a sector of it) that is not there ends the process with this
// status instead, the disk left as a cut that keeps nothing leaves it: a sweep over the writes and
// sectors kept stops at it.
constexpr int FaultNoSuchCutExitCode = 88;

void InstallFaultPlan(const FaultPlan& plan);  // resets the counters and the simulated disk
void RemoveFaultPlan();
int FaultWritesSoFar();  // writes counted since Install
int FaultSyncsSoFar();
int FaultReadsSoFar();
int FaultReadsBeforeFirstWrite();  // reads counted when the first write came (so far, when none has)
// Content writes made since Install and not yet synced (SimulateDisk): what a cut now numbers.
int FaultUnsyncedWrites();

// Drops everything not yet synced (SimulateDisk; but what the plan keeps) and ends the process as
// a power cut would.
[[noreturn]] void SimulatePowerCutNow();

// How file.cpp routes its calls through the seam; nothing else calls these.
namespace seam {

extern std::atomic<bool> installed;
[[nodiscard]] inline bool Installed() {
  return installed.load(std::memory_order_relaxed);
}
// Whether the plan installed fails a read: a reader that copies from a mapping of the file
// (the engine's records and index pages) then reads through File::ReadAt instead, so that the
// fault meets it wherever it falls, in the middle of a walk as at its first read.
extern std::atomic<bool> readsFault;
[[nodiscard]] inline bool ReadsFault() {
  return Installed() && readsFault.load(std::memory_order_relaxed);
}

enum class Change {
  Content,   // bytes or size of the open file fd: [Offset, End) is overwritten (End -1: to its end)
  Create,    // Path is created, or truncated to nothing when it exists
  Delete,    // Path is removed
  Rename,    // Path is renamed to To, replacing what To names
  Exchange,  // Path and To swap what they name
  Folder,    // the folder Path is made
};

struct WriteCall {
  Change Kind = Change::Content;
  int Fd = -1;
  std::string Path;  // resolved
  std::string To = {};
  int64_t Offset = 0;
  int64_t End = -1;
};

// Runs apply (which returns 0 or an errno) as the next write; returns its errno or the plan's.
int RunWrite(const WriteCall& call, const std::function<int()>& apply);
// Runs apply as the next sync of the open file fd, or of folder when fd is -1.
int RunSync(int fd, const std::string& folder, const std::function<int()>& apply);
// Counts the next read; the plan's errno when it is to fail, else 0.
int RunRead();

}  // namespace seam
}  // namespace platform::files
