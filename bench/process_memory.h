#pragma once
// The process's own memory as the kernel reports it, for the benchmarks that print what a run
// holds beside what it started with.

#include <malloc.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace bench {

// A figure of /proc/self/status in KiB ("VmHWM", "RssAnon").
inline long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  return 0;
}

// The bytes the allocator has handed out and not had back: unlike the resident figures, it does not
// hide what a workload allocates in memory that an earlier one freed.
inline size_t HeapInUse() {
  const struct mallinfo2 info = ::mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The highest private memory (RssAnon) of the process while it lives, read every millisecond by
// a thread of its own: the kernel keeps a peak only of all resident memory, which here includes
// the pages of the data files the engine maps.
class PeakPrivateMemory {
 public:
  PeakPrivateMemory()
      : sampler_([this] {
          while (!stop_) {
            peak_ = std::max(peak_.load(), StatusKiB("RssAnon"));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        }) {}
  ~PeakPrivateMemory() { Stop(); }
  long Stop() {
    stop_ = true;
    if (sampler_.joinable()) sampler_.join();
    return std::max(peak_.load(), StatusKiB("RssAnon"));
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<long> peak_{0};
  std::thread sampler_;
};

}  // namespace bench
