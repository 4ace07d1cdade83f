#include "directory_reads.h"

#include <dirent.h>
#include <dlfcn.h>

#include <atomic>

namespace {
std::atomic<long> entriesRead{0};
}  // namespace

// Every directory entry this process reads passes here.
extern "C" dirent* readdir(DIR* dir) {
  static const auto next = reinterpret_cast<dirent* (*)(DIR*)>(dlsym(RTLD_NEXT, "readdir"));
  ++entriesRead;
  return next(dir);
}

namespace test_fixtures {

long DirectoryEntriesRead() {
  return entriesRead;
}

}  // namespace test_fixtures
