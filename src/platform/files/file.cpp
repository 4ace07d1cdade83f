#include "platform/files/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/files/path.h"

namespace platform::files {
namespace {

void SetErr(int* err, int value) {
  if (err) *err = value;
}

// Opens and locks; -1 with errno on failure.
int OpenLocked(const std::string& path, int flags, mode_t mode = 0644) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

// True when nobody holds the file (or it does not exist); false with EWOULDBLOCK when held.
bool NotHeld(const std::string& path, int* err) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return true;  // missing or unreadable: the operation itself will tell
  bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  int saved = errno;
  ::close(fd);
  if (!free) SetErr(err, saved);
  return free;
}

bool FsyncFolder(const std::string& file_path) {
  std::string dir = DirName(file_path);
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

File::~File() { Close(); }

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
  Close();
  error_ = 0;
  bool ambiguous = false;
  path_ = ResolveForUse(raw, &ambiguous);
  if (ambiguous) return Fail(EEXIST);
  int fd = -1;
  switch (mode) {
    case OpenMode::ReadWrite:
      fd = OpenLocked(path_, O_RDWR);
      break;
    case OpenMode::ReadOnly:
      fd = OpenLocked(path_, O_RDONLY);
      break;
    case OpenMode::CreateNew:
      fd = OpenLocked(path_, O_RDWR | O_CREAT | O_EXCL);
      break;
    case OpenMode::CreateAlways:
      // Lock before truncating, so a file held by someone else keeps its contents.
      fd = OpenLocked(path_, O_RDWR | O_CREAT);
      if (fd >= 0 && ::ftruncate(fd, 0) != 0) {
        int saved = errno;
        ::close(fd);
        return Fail(saved);
      }
      break;
  }
  if (fd < 0) return Fail(errno);
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
  size_t done = 0;
  auto* in = static_cast<const char*>(buffer);
  while (done < length) {
    ssize_t n = ::pwrite(fd_, in + done, length - done, offset + static_cast<int64_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  return true;
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
  return ::ftruncate(fd_, size) == 0 ? true : Fail(errno);
}

bool File::Flush() {
  if (fd_ < 0) return Fail(EBADF);
  return ::fsync(fd_) == 0 ? true : Fail(errno);
}

bool DeleteFile(std::string_view raw, int* err) {
  SetErr(err, 0);
  bool ambiguous = false;
  std::string path = ResolveForUse(raw, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  if (!NotHeld(path, err)) return false;
  if (::unlink(path.c_str()) != 0) return SetErr(err, errno), false;
  return true;
}

bool RenameFile(std::string_view raw_from, std::string_view raw_to, int* err) {
  SetErr(err, 0);
  bool ambiguous = false;
  std::string from = ResolveForUse(raw_from, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  std::string to = ResolveForUse(raw_to, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  if (!NotHeld(from, err) || !NotHeld(to, err)) return false;
  if (::rename(from.c_str(), to.c_str()) != 0) return SetErr(err, errno), false;
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

bool WriteWholeFile(std::string_view raw, std::string_view bytes, int* err, unsigned mode) {
  SetErr(err, 0);
  bool ambiguous = false;
  std::string target = ResolveForUse(raw, &ambiguous);
  if (ambiguous) return SetErr(err, EEXIST), false;
  if (!NotHeld(target, err)) return false;
  std::string temp = target + ".tmp~";
  File file;
  bool ok = file.Open(temp, OpenMode::CreateAlways) && file.WriteAt(0, bytes.data(), bytes.size()) &&
            ::fchmod(file.fd(), static_cast<mode_t>(mode)) == 0 && file.Flush();
  int saved = file.error() ? file.error() : errno;
  file.Close();
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return SetErr(err, saved ? saved : EIO), false;
  }
  FsyncFolder(target);
  return true;
}

}  // namespace platform::files
