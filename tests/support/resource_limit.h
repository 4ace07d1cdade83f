#pragma once
// Lowers one of this process's resource limits (RLIMIT_NOFILE, RLIMIT_FSIZE, ...) for as long as
// the object lives, never above the hard limit, and puts it back after.

#include <sys/resource.h>

#include <algorithm>
#include <csignal>

namespace testing_support {

class ResourceLimit {
 public:
  ResourceLimit(int resource, rlim_t most) : resource_(resource) {
    ::getrlimit(resource_, &old_);
    rlimit limit = old_;
    limit.rlim_cur = std::min(most, old_.rlim_max);
    lowered_ = ::setrlimit(resource_, &limit) == 0;
  }
  ~ResourceLimit() { ::setrlimit(resource_, &old_); }
  ResourceLimit(const ResourceLimit&) = delete;
  ResourceLimit& operator=(const ResourceLimit&) = delete;

  bool Lowered() const { return lowered_; }

 private:
  int resource_;
  rlimit old_{};
  bool lowered_ = false;
};

// Files this process writes may not grow past `bytes` while it lives; a write beyond fails (with
// EFBIG: the signal it would raise is ignored meanwhile).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes)
      : limit_(RLIMIT_FSIZE, bytes), oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {}
  ~FileSizeLimit() { std::signal(SIGXFSZ, oldSignal_); }

 private:
  ResourceLimit limit_;
  void (*oldSignal_)(int);
};

}  // namespace testing_support
