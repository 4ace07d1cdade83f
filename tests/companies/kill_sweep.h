#pragma once
// The stop sweep of copying: for every write of the work, a copy of the starting folder is worked
// on in a child process that the file layer's fault seam stops at that write (a kill, or a power
// cut that keeps only what was synced), and the folder is then looked at as the next start of the
// program finds it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/files/fault_seam.h"

namespace testing_support {

// The regular files of `from`, copied into the new folder `to`.
inline void CopyFolderFiles(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::filesystem::create_directory(to);
  for (const auto& entry : std::filesystem::directory_iterator(from))
    if (entry.is_regular_file()) std::filesystem::copy_file(entry.path(), to / entry.path().filename());
}

// Runs work in a child; its exit status: 0 when work returned true, 1 when false, 3 on an
// exception, or the seam's own when it ended the child.
inline int RunInChild(const std::function<bool()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    int status = 3;
    try {
      status = work() ? 0 : 1;
    } catch (...) {
    }
    ::_exit(status);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// For n = 1, 2, ...: "cut<n>" beside `start` is a copy of it; work runs there in a child that the
// seam stops at its n-th write as `stop` says (Kill or PowerCut), then restart looks at the folder
// (its current directory) told the child's exit status. Ends after the first child that ran to its
// end.
inline void SweepStopPoints(const std::filesystem::path& start, platform::files::FaultAction stop,
                            const std::function<bool()>& work,
                            const std::function<void(int status)>& restart) {
  const std::filesystem::path back = std::filesystem::current_path();
  for (int n = 1;; ++n) {
    SCOPED_TRACE("stopped at write " + std::to_string(n));
    const std::filesystem::path folder = start.parent_path() / ("cut" + std::to_string(n));
    CopyFolderFiles(start, folder);
    const int status = RunInChild([&] {
      std::filesystem::current_path(folder);
      platform::files::FaultPlan plan;
      plan.OnWrite = stop;
      plan.WriteNumber = n;
      plan.SimulateDisk = stop == platform::files::FaultAction::PowerCut;
      platform::files::InstallFaultPlan(plan);
      return work();
    });
    std::filesystem::current_path(folder);
    restart(status);
    std::filesystem::current_path(back);
    std::filesystem::remove_all(folder);
    if (status == 0) return;
    ASSERT_EQ(status, platform::files::FaultKilledExitCode);
  }
}

// Byte 20 of a data file's header: set while its index must be rebuilt from its records.
inline bool MarkedForRepair(const std::filesystem::path& dataFile) {
  std::ifstream in(dataFile, std::ios::binary);
  char mark = 0;
  return in.seekg(20) && in.get(mark) && mark != 0;
}

}  // namespace testing_support
