#pragma once
// The kill sweep of copying and deleting: for every step of the work, a copy of the starting
// folder is worked on in a child process that the test seam ends after that step, and the folder
// is then looked at as the next start of the program finds it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "records/company_data_files.h"
#include "storage/posting_journal.h"

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

// For n = 1, 2, ...: "cut<n>" beside `start` is a copy of it; work runs there in a child that ends
// after its n-th file step, then restart looks at the folder (its current directory) told the
// child's exit status. Ends after the first child that ran to its end.
inline void SweepKillPoints(const std::filesystem::path& start, const std::function<bool()>& work,
                            const std::function<void(int status)>& restart) {
  const std::filesystem::path back = std::filesystem::current_path();
  for (int n = 1;; ++n) {
    SCOPED_TRACE("killed after step " + std::to_string(n));
    const std::filesystem::path folder = start.parent_path() / ("cut" + std::to_string(n));
    CopyFolderFiles(start, folder);
    const int status = RunInChild([&] {
      std::filesystem::current_path(folder);
      records::EndProcessAfterCompanyFileSteps(n);
      return work();
    });
    std::filesystem::current_path(folder);
    restart(status);
    std::filesystem::current_path(back);
    if (status == 0) return;
    ASSERT_EQ(status, storage::IsamKilledExitCode);
  }
}

// Byte 20 of a data file's header: set while its index must be rebuilt from its records.
inline bool MarkedForRepair(const std::filesystem::path& dataFile) {
  std::ifstream in(dataFile, std::ios::binary);
  char mark = 0;
  return in.seekg(20) && in.get(mark) && mark != 0;
}

}  // namespace testing_support
