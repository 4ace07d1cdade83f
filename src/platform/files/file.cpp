#include "platform/files/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/files/fault_seam.h"
#include "platform/files/path.h"

namespace platform::files {
namespace {

void SetErr(int* err, int value) {
  if (err) *err = value;
}

// Opens and locks; -1 with errno on failure. Never waits: a FIFO without a writer (or any file
// that is no regular file) opens at once, and its reads fail instead of blocking.
int OpenLocked(const std::string& path, int flags, mode_t mode = 0644) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

// True when nobody holds the file (or it does not exist); false with EWOULDBLOCK when held. Only
// a regular file can be held (a FIFO is never opened to ask: that open could wait for ever).
bool NotHeld(const std::string& path, int* err) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return true;  // missing or unreadable: the operation itself will tell
  bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  int saved = errno;
  ::close(fd);
  if (!free) SetErr(err, saved);
  return free;
}

// Runs a disk-changing call (returning 0 or an errno) through the fault seam when one is installed.
template <typename Apply>
int Write(const seam::WriteCall& call, Apply apply) {
  return seam::Installed() ? seam::RunWrite(call, apply) : apply();
}

template <typename Apply>
int Sync(int fd, const std::string& folder, Apply apply) {
  return seam::Installed() ? seam::RunSync(fd, folder, apply) : apply();
}

int ErrnoOf(int rc) {
  return rc == 0 ? 0 : errno;
}

// Creates (or truncates) and locks; 0 with *out set, or an errno.
int CreateLocked(const std::string& path, OpenMode mode, int* out) {
  const int exclusive = mode == OpenMode::CreateNew || mode == OpenMode::CreateOwn ? O_EXCL : 0;
  int fd = OpenLocked(path, O_RDWR | O_CREAT | exclusive | (mode == OpenMode::CreateOwn ? O_NOFOLLOW : 0));
  if (fd < 0) return errno;
  // Locked before truncating, so a file held by someone else keeps its contents.
  if (mode == OpenMode::CreateAlways && ::ftruncate(fd, 0) != 0) {
    int saved = errno;
    ::close(fd);
    return saved;
  }
  *out = fd;
  return 0;
}

int RenameResolved(const std::string& from, const std::string& to) {
  return Write({.Kind = seam::Change::Rename, .Path = from, .To = to},
               [&] { return ErrnoOf(::rename(from.c_str(), to.c_str())); });
}

}  // namespace

File::~File() {
  Close();
}

File::File(File&& other) noexcept : fd_(other.fd_), error_(other.error_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    error_ = other.error_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

bool File::Fail(int err) {
  error_ = err;
  return false;
}

bool File::Open(std::string_view raw, OpenMode mode) {
  bool ambiguous = false;
  const std::string path = ResolveForUse(raw, &ambiguous);
  if (!ambiguous) return OpenSpelled(path, mode);
  Close();
  path_ = path;
  return Fail(EEXIST);
}

bool File::OpenSpelled(std::string_view spelled, OpenMode mode) {
  Close();
  error_ = 0;
  path_ = NormalizeSeparators(spelled);
  int fd = -1;
  int err = 0;
  const bool own = mode == OpenMode::OpenOwn || mode == OpenMode::CreateOwn;
  struct stat st;
  const bool exists = ::lstat(path_.c_str(), &st) == 0;
  if (own && exists && !S_ISREG(st.st_mode)) return Fail(S_ISLNK(st.st_mode) ? ELOOP : EINVAL);
  if (mode == OpenMode::ReadWrite || mode == OpenMode::ReadOnly || (own && exists)) {
    fd = OpenLocked(path_, (mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR) | (own ? O_NOFOLLOW : 0));
    err = errno;
  } else if (mode == OpenMode::OpenOwn) {
    return Fail(ENOENT);
  } else {
    err =
        Write({.Kind = seam::Change::Create, .Path = path_}, [&] { return CreateLocked(path_, mode, &fd); });
  }
  if (fd < 0) return Fail(err);
  fd_ = fd;
  return true;
}

bool File::Close() {
  if (fd_ < 0) return true;
  int rc = ::close(fd_);  // releases the lock with the description
  fd_ = -1;
  return rc == 0 ? true : Fail(errno);
}

bool File::ReadAt(int64_t offset, void* buffer, size_t length, size_t* got) {
  if (fd_ < 0) return Fail(EBADF);
  if (seam::Installed()) {
    if (const int err = seam::RunRead(); err != 0) {
      if (got) *got = 0;
      return Fail(err);
    }
  }
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < length) {
    ssize_t n = ::pread(fd_, out + done, length - done, offset + static_cast<int64_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      if (got) *got = done;
      return Fail(errno);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  if (got) *got = done;
  if (done < length) return Fail(got ? 0 : EIO);
  return true;
}

bool File::WriteAt(int64_t offset, const void* buffer, size_t length) {
  if (fd_ < 0) return Fail(EBADF);
  auto write = [&] {
    size_t done = 0;
    auto* in = static_cast<const char*>(buffer);
    while (done < length) {
      ssize_t n = ::pwrite(fd_, in + done, length - done, offset + static_cast<int64_t>(done));
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += static_cast<size_t>(n);
    }
    return 0;
  };
  const int64_t end = offset + static_cast<int64_t>(length);
  int err = Write({.Fd = fd_, .Path = path_, .Offset = offset, .End = end}, write);
  return err == 0 ? true : Fail(err);
}

bool File::Size(int64_t* size) {
  if (fd_ < 0) return Fail(EBADF);
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Fail(errno);
  *size = st.st_size;
  return true;
}

bool File::Truncate(int64_t size) {
  if (fd_ < 0) return Fail(EBADF);
  int err =
      Write({.Fd = fd_, .Path = path_, .Offset = size}, [&] { return ErrnoOf(::ftruncate(fd_, size)); });
  return err == 0 ? true : Fail(err);
}

bool File::Allocate(int64_t offset, int64_t length) {
  if (fd_ < 0) return Fail(EBADF);
  // Existing bytes stay as they are; only the size can change.
  int err = Write({.Fd = fd_, .Path = path_, .Offset = 0, .End = 0},
                  [&] { return ::posix_fallocate(fd_, offset, length); });
  return err == 0 ? true : Fail(err);
}

bool File::Flush() {
  if (fd_ < 0) return Fail(EBADF);
  int err = Sync(fd_, {}, [&] { return ErrnoOf(::fsync(fd_)); });
  return err == 0 ? true : Fail(err);
}

bool File::SyncData() {
  if (fd_ < 0) return Fail(EBADF);
  int err = Sync(fd_, {}, [&] { return ErrnoOf(::fdatasync(fd_)); });
  return err == 0 ? true : Fail(err);
}

bool DeleteFile(std::string_view raw, int* err) {
  SetErr(err, 0);
  bool ambiguous = false;
  std::string path = ResolveForUse(raw, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  if (!NotHeld(path, err)) return false;
  int failed =
      Write({.Kind = seam::Change::Delete, .Path = path}, [&] { return ErrnoOf(::unlink(path.c_str())); });
  if (failed) return SetErr(err, failed), false;
  return true;
}

bool RenameFile(std::string_view raw_from, std::string_view raw_to, int* err) {
  SetErr(err, 0);
  bool ambiguous = false;
  std::string from = ResolveForUse(raw_from, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  std::string to = ResolveForUse(raw_to, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  return RenameSpelledFile(from, to, err);
}

bool RenameSpelledFile(std::string_view raw_from, std::string_view raw_to, int* err) {
  SetErr(err, 0);
  const std::string from = NormalizeSeparators(raw_from);
  const std::string to = NormalizeSeparators(raw_to);
  if (!NotHeld(from, err) || !NotHeld(to, err)) return false;
  int failed = RenameResolved(from, to);
  if (failed) return SetErr(err, failed), false;
  return true;
}

bool ExchangeFiles(std::string_view rawFirst, std::string_view rawSecond, int* err) {
  SetErr(err, 0);
  bool ambiguous = false;
  const std::string first = ResolveForUse(rawFirst, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  const std::string second = ResolveForUse(rawSecond, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  if (!NotHeld(first, err) || !NotHeld(second, err)) return false;
  const int failed = Write({.Kind = seam::Change::Exchange, .Path = first, .To = second}, [&] {
    return ErrnoOf(::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE));
  });
  if (failed) return SetErr(err, failed), false;
  return true;
}

bool CreateFolder(std::string_view raw, int* err) {
  SetErr(err, 0);
  bool ambiguous = false;
  const std::string path = ResolveForUse(raw, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  int failed = Write({.Kind = seam::Change::Folder, .Path = path},
                     [&] { return ErrnoOf(::mkdir(path.c_str(), 0755)); });
  if (failed) return SetErr(err, failed), false;
  return true;
}

bool SyncFolder(std::string_view pathInFolder, int* err) {
  SetErr(err, 0);
  std::string folder = DirName(ResolveForUse(pathInFolder));
  if (folder.empty()) folder = ".";
  int failed = Sync(-1, folder, [&] {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int synced = ErrnoOf(::fsync(fd));
    ::close(fd);
    return synced;
  });
  if (failed) return SetErr(err, failed), false;
  return true;
}

bool CopyFile(std::string_view from, std::string_view to, int* err) {
  std::string bytes;
  return ReadWholeFile(from, &bytes, err) && WriteWholeFile(to, bytes, err);
}

bool ReadWholeFile(std::string_view raw, std::string* bytes, int* err) {
  SetErr(err, 0);
  File file;
  if (!file.Open(raw, OpenMode::ReadOnly)) return SetErr(err, file.error()), false;
  int64_t size = 0;
  if (!file.Size(&size)) return SetErr(err, file.error()), false;
  bytes->assign(static_cast<size_t>(size), '\0');
  if (size > 0 && !file.ReadAt(0, bytes->data(), bytes->size())) {
    return SetErr(err, file.error() ? file.error() : EIO), false;
  }
  return true;
}

namespace {

// The temporary file of a whole write, written, given its mode (and, when asked, its modification
// time) and flushed, then renamed over the target.
bool WriteTemporaryAndRename(std::string_view spelled, std::string_view bytes, int* err, unsigned mode,
                             const int64_t* modified) {
  SetErr(err, 0);
  const std::string target = NormalizeSeparators(spelled);
  if (!NotHeld(target, err)) return false;
  std::string temp = target + std::string(kWholeFileTemporarySuffix);
  File file;
  const auto dated = [&] {
    if (!modified) return true;
    const struct timespec time {
      static_cast<time_t>(*modified / 1000000000), static_cast<long>(*modified % 1000000000)
    };
    const struct timespec times[2] = {time, time};
    return ::futimens(file.fd(), times) == 0;
  };
  bool ok = file.OpenSpelled(temp, OpenMode::CreateAlways) && file.WriteAt(0, bytes.data(), bytes.size()) &&
            ::fchmod(file.fd(), static_cast<mode_t>(mode)) == 0 && dated() && file.Flush();
  int saved = file.error() ? file.error() : errno;
  file.Close();
  if (ok && (saved = RenameResolved(temp, target)) != 0) ok = false;
  if (!ok) {
    ::unlink(temp.c_str());
    return SetErr(err, saved ? saved : EIO), false;
  }
  return true;
}

bool WriteWhole(std::string_view raw, std::string_view bytes, int* err, unsigned mode,
                const int64_t* modified) {
  SetErr(err, 0);
  bool ambiguous = false;
  std::string target = ResolveForUse(raw, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  // The new contents are in place; a folder that did not sync may still lose the rename.
  return WriteTemporaryAndRename(target, bytes, err, mode, modified) && SyncFolder(target, err);
}

}  // namespace

bool WriteWholeFile(std::string_view raw, std::string_view bytes, int* err, unsigned mode) {
  return WriteWhole(raw, bytes, err, mode, nullptr);
}

bool WriteWholeFileModifiedAt(std::string_view path, std::string_view bytes, int64_t modified, int* err) {
  return WriteWhole(path, bytes, err, 0644, &modified);
}

bool WriteSpelledFile(std::string_view spelled, std::string_view bytes, int* err, unsigned mode) {
  return WriteTemporaryAndRename(spelled, bytes, err, mode, nullptr);
}

}  // namespace platform::files
