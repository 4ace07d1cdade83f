#pragma once
// Lets file permissions refuse the calling thread even when it runs as root: for its scope the
// thread's effective capabilities lose the overrides of read, write and search permissions and of
// the owner check, as an ordinary user's process has none of them. Nothing changes for a user that
// has none to lose.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace testing_support {

class PermissionsApply {
 public:
  PermissionsApply() {
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH | 1u << CAP_FOWNER);
    changed_ = ::syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~PermissionsApply() {
    if (changed_) ::syscall(SYS_capset, &header_, saved_);
  }
  PermissionsApply(const PermissionsApply&) = delete;
  PermissionsApply& operator=(const PermissionsApply&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2] = {};
  bool changed_ = false;
};

// What `run` gives with the file refused to every one (mode 000), run as an ordinary user; the
// file's owner gets reading and writing back afterwards.
template <class Run>
auto WithFileRefused(const std::string& file, Run run) {
  namespace fs = std::filesystem;
  fs::permissions(file, fs::perms::none);
  auto result = [&run] {
    PermissionsApply asAUser;
    return run();
  }();
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  return result;
}

}  // namespace testing_support
