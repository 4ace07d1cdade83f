#pragma once
// fsync, fdatasync and msync(MS_SYNC) as a benchmark sees them: defined here, they stand in front
// of the C library's for the program and SQLite alike. Each is counted; while syncs are skipped
// (a company being grown, whose files only have to hold its records) they return at once.
// Include this in one source file of a benchmark only.

#include <dlfcn.h>
#include <sys/mman.h>

namespace bench {

inline long syncs = 0;
inline bool syncsSkipped = false;

template <class Function>
Function NextDefinition(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

template <class... Args>
int CountedSync(int (*real)(Args...), Args... args) {
  if (syncsSkipped) return 0;
  ++syncs;
  return real(args...);
}

}  // namespace bench

extern "C" int fsync(int fd) {
  static const auto real = bench::NextDefinition<int (*)(int)>("fsync");
  return bench::CountedSync(real, fd);
}

extern "C" int fdatasync(int fd) {
  static const auto real = bench::NextDefinition<int (*)(int)>("fdatasync");
  return bench::CountedSync(real, fd);
}

extern "C" int msync(void* address, size_t length, int flags) {
  static const auto real = bench::NextDefinition<int (*)(void*, size_t, int)>("msync");
  if (!(flags & MS_SYNC)) return real(address, length, flags);
  return bench::CountedSync(real, address, length, flags);
}
