#pragma once
// A small file system in memory mounted over a folder and seen by the calling process alone: a
// mount namespace of its own (in a user namespace of its own when the process may not make one
// otherwise). A test fills it to meet a full disk as the system reports it, with nothing of the
// machine's own disks at stake. Mount() makes only system calls, so a child may call it after a
// fork; SmallDisksArePossible() tries it in one and says whether the system allows it.

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <utility>

namespace testing_support {

class SmallDisk {
 public:
  SmallDisk(std::string folder, size_t bytes)
      : folder_(std::move(folder)),
        options_("size=" + std::to_string(bytes)),
        uidMap_("0 " + std::to_string(::geteuid()) + " 1"),
        gidMap_("0 " + std::to_string(::getegid()) + " 1") {}

  // Mounts the file system over the folder for this process (and what it starts) only.
  bool Mount() const {
    if (::unshare(CLONE_NEWNS) != 0) {
      if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
      WriteProcFile("/proc/self/setgroups", "deny");
      if (!WriteProcFile("/proc/self/uid_map", uidMap_) || !WriteProcFile("/proc/self/gid_map", gidMap_))
        return false;
    }
    // Nothing mounted here reaches the namespace the process came from.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    return ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options_.c_str()) == 0;
  }

  // Writes a file into the mounted folder until the system refuses more: the disk is full.
  bool Fill() const {
    const std::string name = folder_ + "/filler";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    static const char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    ::close(fd);
    return true;
  }

 private:
  static bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0) return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
  }

  std::string folder_;
  std::string options_;
  std::string uidMap_;
  std::string gidMap_;
};

// Whether this system lets a process mount a small disk of its own, tried in a child.
inline bool SmallDisksArePossible(const std::string& folder) {
  const SmallDisk disk(folder, 64 * 1024);
  const pid_t child = ::fork();
  if (child == 0) ::_exit(disk.Mount() ? 0 : 1);
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace testing_support
