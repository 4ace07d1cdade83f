#include "platform/files/fault_seam.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::files {
namespace seam {

std::atomic<bool> installed{false};
std::atomic<bool> readsFault{false};

namespace {

// What undoes one change the disk has not yet made durable. Path is where the changed file
// stands at this point of its history, so reverting newest first finds every file where it was.
struct Undo {
  enum class Type { Content, Created, Deleted, Renamed, Exchanged, FolderMade };
  Type Kind = Type::Content;
  uint64_t Seq = 0;
  std::string Path;  // Renamed: the old name; Exchanged: one of the two
  std::string To;    // Renamed: the new name; Exchanged: the other
  // Content: the file (inode 0 once its name is deleted), the bytes it held at Offset, its size.
  dev_t Dev = 0;
  ino_t Ino = 0;
  int64_t Offset = 0;
  int64_t OldSize = 0;
  // Content: the overwritten bytes; Deleted: the file's bytes; Renamed: those of the file it replaced.
  std::string Bytes;
  // Content: what the change made: the bytes written at Offset (none for a truncation or an
  // allocation), End as the call gave it, and the file's size afterwards.
  std::string Written;
  int64_t End = -1;
  int64_t NewSize = 0;
  bool Replaced = false;  // Renamed: To named a file before
  mode_t Mode = 0644;
  // Names: the folders whose sync makes the change durable, and whether each has been synced.
  std::string Folder, ToFolder;
  bool FolderSynced = false, ToFolderSynced = false;
};

struct State {
  std::mutex Mutex;
  FaultPlan Plan;
  int Writes = 0;
  int Syncs = 0;
  int Reads = 0;
  int ReadsBeforeFirstWrite = -1;
  uint64_t NextSeq = 0;
  std::vector<Undo> Undos;  // oldest first
};

State& TheState() {
  static State state;
  return state;
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(path, ec);
  return (ec ? std::filesystem::path(path) : abs).lexically_normal().string();
}

std::string FolderOf(const std::string& absolute) {
  return std::filesystem::path(absolute).parent_path().string();
}

// A folder spelled as FolderOf spells the folder of a file in it (no trailing separator).
std::string FolderKey(const std::string& folder) {
  std::string key = Absolute(folder);
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  return key;
}

bool ReadAll(int fd, int64_t offset, std::string* out) {
  size_t done = 0;
  while (done < out->size()) {
    ssize_t n = ::pread(fd, out->data() + done, out->size() - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, int64_t offset, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The bytes of the open file in [offset, end) that exist (end -1: to the end), and its size.
bool CaptureContent(int fd, int64_t offset, int64_t end, Undo* undo) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  undo->Dev = st.st_dev;
  undo->Ino = st.st_ino;
  undo->OldSize = st.st_size;
  undo->Offset = offset;
  int64_t stop = end < 0 ? st.st_size : std::min<int64_t>(end, st.st_size);
  undo->Bytes.assign(static_cast<size_t>(std::max<int64_t>(stop - offset, 0)), '\0');
  return ReadAll(fd, offset, &undo->Bytes);
}

// The whole file at path as a content change from offset 0; false when there is none.
bool CaptureWholeFile(const std::string& path, Undo* undo) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && CaptureContent(fd, 0, -1, undo);
  if (ok) undo->Mode = st.st_mode & 07777;
  ::close(fd);
  return ok;
}

std::optional<Undo> Capture(const WriteCall& call) {
  Undo undo;
  undo.Path = Absolute(call.Path);
  switch (call.Kind) {
    case Change::Content:
      if (!CaptureContent(call.Fd, call.Offset, call.End, &undo)) return std::nullopt;
      undo.End = call.End;
      break;
    case Change::Create:
      // Over an existing file a create is a truncation of that file; otherwise a new name.
      if (!CaptureWholeFile(undo.Path, &undo)) undo.Kind = Undo::Type::Created;
      break;
    case Change::Delete:
      if (!CaptureWholeFile(undo.Path, &undo)) return std::nullopt;
      undo.Kind = Undo::Type::Deleted;
      break;
    case Change::Rename:
      undo.Kind = Undo::Type::Renamed;
      undo.To = Absolute(call.To);
      undo.Replaced = CaptureWholeFile(undo.To, &undo);
      break;
    case Change::Exchange:
      undo.Kind = Undo::Type::Exchanged;
      undo.To = Absolute(call.To);
      break;
    case Change::Folder:
      undo.Kind = Undo::Type::FolderMade;
      break;
  }
  undo.Folder = FolderOf(undo.Path);
  undo.ToFolder = undo.To.empty() ? undo.Folder : FolderOf(undo.To);
  return undo;
}

// A name that no longer leads to a file: its unsynced content changes are no file's any more for
// syncs, though a cut still reverts them onto the file it puts back.
void DetachInode(State& s, dev_t dev, ino_t ino) {
  for (Undo& u : s.Undos) {
    if (u.Kind == Undo::Type::Content && u.Dev == dev && u.Ino == ino) u.Ino = 0;
  }
}

void Keep(State& s, Undo undo) {
  if (undo.Kind == Undo::Type::Deleted || (undo.Kind == Undo::Type::Renamed && undo.Replaced)) {
    DetachInode(s, undo.Dev, undo.Ino);
  }
  undo.Seq = s.NextSeq++;
  s.Undos.push_back(std::move(undo));
}

void RestoreFile(const std::string& path, const std::string& bytes, mode_t mode) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return;
  WriteAll(fd, 0, bytes);
  ::close(fd);
}

void Revert(const Undo& u) {
  switch (u.Kind) {
    case Undo::Type::Content: {
      int fd = ::open(u.Path.c_str(), O_RDWR | O_CLOEXEC);
      if (fd < 0) return;
      // A cut is best effort: what cannot be put back stays as the disk has it.
      [[maybe_unused]] bool restored = WriteAll(fd, u.Offset, u.Bytes) && ::ftruncate(fd, u.OldSize) == 0;
      ::close(fd);
      break;
    }
    case Undo::Type::Created:
      ::unlink(u.Path.c_str());
      break;
    case Undo::Type::Deleted:
      RestoreFile(u.Path, u.Bytes, u.Mode);
      break;
    case Undo::Type::Renamed:
      ::rename(u.To.c_str(), u.Path.c_str());
      if (u.Replaced) RestoreFile(u.To, u.Bytes, u.Mode);
      break;
    case Undo::Type::Exchanged:
      ::renameat2(AT_FDCWD, u.To.c_str(), AT_FDCWD, u.Path.c_str(), RENAME_EXCHANGE);
      break;
    case Undo::Type::FolderMade: {
      // Its own name never reached the disk, so neither did anything found through it.
      std::error_code ignored;
      std::filesystem::remove_all(u.Path, ignored);
      break;
    }
  }
}

// What the content change made, read back once it is made: the bytes written and the size.
void CaptureWritten(int fd, Undo* undo) {
  struct stat st;
  if (::fstat(fd, &st) == 0) undo->NewSize = st.st_size;
  if (undo->End > undo->Offset) {
    undo->Written.assign(static_cast<size_t>(undo->End - undo->Offset), '\0');
    if (!ReadAll(fd, undo->Offset, &undo->Written)) undo->Written.clear();
  }
}

// Makes a kept content change again over the synced state, without the bytes of [skipFrom,
// skipTo). A file whose name is gone (or whose name change was lost) keeps nothing.
void Redo(const Undo& u, int64_t skipFrom, int64_t skipTo) {
  if (u.Ino == 0) return;
  int fd = ::open(u.Path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  struct stat st;
  if (::fstat(fd, &st) == 0 && st.st_dev == u.Dev && st.st_ino == u.Ino) {
    if (!u.Written.empty()) {
      const int64_t end = u.Offset + static_cast<int64_t>(u.Written.size());
      auto put = [&](int64_t from, int64_t to) {
        if (from < to)
          WriteAll(fd, from,
                   u.Written.substr(static_cast<size_t>(from - u.Offset), static_cast<size_t>(to - from)));
      };
      put(u.Offset, std::min(end, std::max(skipFrom, u.Offset)));
      put(std::max(u.Offset, std::min(skipTo, end)), end);
    } else if (u.End < 0) {
      [[maybe_unused]] int rc = ::ftruncate(fd, u.Offset);  // a truncation
    } else if (st.st_size < u.NewSize) {
      [[maybe_unused]] int rc = ::ftruncate(fd, u.NewSize);  // an allocation
    }
  }
  ::close(fd);
}

[[noreturn]] void CutLocked(State& s) {
  // The content writes not yet synced, oldest first, and which of them the cut keeps.
  std::vector<const Undo*> writes;
  for (const Undo& u : s.Undos)
    if (u.Kind == Undo::Type::Content) writes.push_back(&u);
  const FaultPlan& plan = s.Plan;
  const bool named = plan.Keeps != CutKeeps::Nothing || plan.CutLostSector >= 0;
  const Undo* torn = nullptr;
  int64_t skipFrom = 0, skipTo = 0;
  bool exists = !named || (plan.CutWrite >= 1 && plan.CutWrite <= static_cast<int>(writes.size()));
  if (exists && plan.CutLostSector >= 0) {
    torn = writes[static_cast<size_t>(plan.CutWrite - 1)];
    const int64_t first = torn->Offset / kFaultSectorSize;
    const int64_t last = (torn->Offset + static_cast<int64_t>(torn->Written.size()) - 1) / kFaultSectorSize;
    skipFrom = (first + plan.CutLostSector) * kFaultSectorSize;
    skipTo = skipFrom + kFaultSectorSize;
    exists = !torn->Written.empty() && first + plan.CutLostSector <= last;
  }
  std::vector<const Undo*> kept;
  if (exists) {
    for (size_t i = 0; i < writes.size(); ++i) {
      const bool isCut = static_cast<int>(i) + 1 == plan.CutWrite;
      const bool keep = plan.Keeps == CutKeeps::OneWrite         ? isCut
                        : plan.Keeps == CutKeeps::AllButOneWrite ? !isCut
                                                                 : false;
      if (keep || (isCut && torn)) kept.push_back(writes[i]);
    }
  }
  // Back to the synced state, then what the disk kept made again over it.
  std::vector<Undo> undos = std::move(s.Undos);
  for (auto it = undos.rbegin(); it != undos.rend(); ++it) Revert(*it);
  for (const Undo* u : kept) Redo(*u, u == torn ? skipFrom : 0, u == torn ? skipTo : 0);
  ::_exit(exists ? FaultKilledExitCode : FaultNoSuchCutExitCode);
}

void EndAsPlanned(State& s, FaultAction action) {
  if (action == FaultAction::Kill) ::_exit(FaultKilledExitCode);
  if (action == FaultAction::PowerCut) CutLocked(s);
}

FaultAction ActionAt(int count, FaultAction action, int number) {
  return count == number ? action : FaultAction::None;
}

// A name change made durable: content changes made before it under the new name belonged to
// the replaced (or deleted) file, which is gone for good; those under the old name move with it.
void Settle(State& s, const Undo& name) {
  if (name.Kind == Undo::Type::Exchanged) {
    // What was written under either name before the swap is under the other one now.
    for (Undo& u : s.Undos) {
      if (u.Kind != Undo::Type::Content || u.Seq >= name.Seq) continue;
      if (u.Path == name.Path || u.Path == name.To) u.Path = u.Path == name.Path ? name.To : name.Path;
    }
    return;
  }
  const std::string& gone = name.Kind == Undo::Type::Renamed ? name.To : name.Path;
  std::erase_if(s.Undos, [&](const Undo& u) {
    return u.Kind == Undo::Type::Content && u.Seq < name.Seq && u.Path == gone;
  });
  if (name.Kind != Undo::Type::Renamed) return;
  for (Undo& u : s.Undos) {
    if (u.Kind == Undo::Type::Content && u.Seq < name.Seq && u.Path == name.Path) u.Path = name.To;
  }
}

void FolderSynced(State& s, const std::string& folder, uint64_t before) {
  std::vector<Undo> settled;
  for (Undo& u : s.Undos) {
    if (u.Kind == Undo::Type::Content || u.Seq >= before) continue;
    if (u.Folder == folder) u.FolderSynced = true;
    if (u.ToFolder == folder) u.ToFolderSynced = true;
    if (u.FolderSynced && u.ToFolderSynced) settled.push_back(u);
  }
  for (const Undo& name : settled) {
    std::erase_if(s.Undos, [&](const Undo& u) { return u.Seq == name.Seq; });
    Settle(s, name);
  }
}

void FileSynced(State& s, dev_t dev, ino_t ino, uint64_t before) {
  std::erase_if(s.Undos, [&](const Undo& u) {
    return u.Kind == Undo::Type::Content && u.Seq < before && u.Dev == dev && u.Ino == ino;
  });
}

}  // namespace

int RunWrite(const WriteCall& call, const std::function<int()>& apply) {
  State& s = TheState();
  std::lock_guard lock(s.Mutex);
  if (s.Writes == 0) s.ReadsBeforeFirstWrite = s.Reads;
  FaultAction action = ActionAt(++s.Writes, s.Plan.OnWrite, s.Plan.WriteNumber);
  if (action == FaultAction::Fail || s.Writes == s.Plan.AlsoFailWrite) return s.Plan.Errno;
  std::optional<Undo> undo;
  if (s.Plan.SimulateDisk) undo = Capture(call);
  int err = apply();
  if (err == 0 && undo && call.Kind == Change::Content) CaptureWritten(call.Fd, &*undo);
  if (err == 0 && undo) Keep(s, std::move(*undo));
  EndAsPlanned(s, action);
  return err;
}

int RunSync(int fd, const std::string& folder, const std::function<int()>& apply) {
  State& s = TheState();
  FaultAction action;
  uint64_t before;
  {
    std::lock_guard lock(s.Mutex);
    action = ActionAt(++s.Syncs, s.Plan.OnSync, s.Plan.SyncNumber);
    if (action == FaultAction::Fail) return s.Plan.Errno;
    before = s.NextSeq;
  }
  struct stat st {};
  bool known = fd < 0 || ::fstat(fd, &st) == 0;
  int err = apply();  // syncs of several threads run side by side
  std::lock_guard lock(s.Mutex);
  if (err == 0 && known && s.Plan.SimulateDisk) {
    if (fd < 0) FolderSynced(s, FolderKey(folder), before);
    if (fd >= 0) FileSynced(s, st.st_dev, st.st_ino, before);
  }
  EndAsPlanned(s, action);
  return err;
}

int RunRead() {
  State& s = TheState();
  std::lock_guard lock(s.Mutex);
  return ActionAt(++s.Reads, s.Plan.OnRead, s.Plan.ReadNumber) == FaultAction::Fail ? s.Plan.Errno : 0;
}

}  // namespace seam

void InstallFaultPlan(const FaultPlan& plan) {
  seam::State& s = seam::TheState();
  std::lock_guard lock(s.Mutex);
  s.Plan = plan;
  s.Writes = 0;
  s.Syncs = 0;
  s.Reads = 0;
  s.ReadsBeforeFirstWrite = -1;
  s.Undos.clear();
  seam::readsFault.store(plan.OnRead != FaultAction::None);
  seam::installed.store(true);
}

void RemoveFaultPlan() {
  seam::State& s = seam::TheState();
  std::lock_guard lock(s.Mutex);
  seam::installed.store(false);
  seam::readsFault.store(false);
  s.Plan = FaultPlan();
  s.Undos.clear();
}

int FaultWritesSoFar() {
  seam::State& s = seam::TheState();
  std::lock_guard lock(s.Mutex);
  return s.Writes;
}

int FaultSyncsSoFar() {
  seam::State& s = seam::TheState();
  std::lock_guard lock(s.Mutex);
  return s.Syncs;
}

int FaultReadsSoFar() {
  seam::State& s = seam::TheState();
  std::lock_guard lock(s.Mutex);
  return s.Reads;
}

int FaultReadsBeforeFirstWrite() {
  seam::State& s = seam::TheState();
  std::lock_guard lock(s.Mutex);
  return s.ReadsBeforeFirstWrite < 0 ? s.Reads : s.ReadsBeforeFirstWrite;
}

int FaultUnsyncedWrites() {
  seam::State& s = seam::TheState();
  std::lock_guard lock(s.Mutex);
  return static_cast<int>(std::count_if(s.Undos.begin(), s.Undos.end(), [](const seam::Undo& u) {
    return u.Kind == seam::Undo::Type::Content;
  }));
}

void SimulatePowerCutNow() {
  seam::State& s = seam::TheState();
  s.Mutex.lock();
  seam::CutLocked(s);
}

}  // namespace platform::files
