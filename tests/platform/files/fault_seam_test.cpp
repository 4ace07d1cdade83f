#include "platform/files/fault_seam.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "platform/files/file.h"
#include "support/temp_dir.h"

namespace platform::files {
namespace {

namespace fs = std::filesystem;
using Disk = std::map<std::string, std::string>;

// Every file below the current folder with its bytes, read with plain streams.
Disk ReadDisk() {
  Disk disk;
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    disk[entry.path().lexically_relative(".").string()] = bytes.str();
  }
  return disk;
}

void Put(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// One call of the file layer; err receives what it failed with.
struct SeamCall {
  const char* Name;
  bool IsSync;
  std::function<bool(int* err)> Call;
};

bool WriteAtStart(const char* name, int* err) {
  File f;
  bool ok = f.Open(name, OpenMode::ReadWrite) && f.WriteAt(0, "xy", 2);
  *err = f.error();
  return ok;
}

bool OnOpenFile(const std::function<bool(File&)>& call, int* err) {
  File f;
  bool ok = f.Open("data", OpenMode::ReadWrite) && call(f);
  *err = f.error();
  return ok;
}

const SeamCall kCalls[] = {
    {"WriteAt", false, [](int* err) { return WriteAtStart("data", err); }},
    {"Truncate", false, [](int* err) { return OnOpenFile([](File& f) { return f.Truncate(2); }, err); }},
    {"Allocate", false,
     [](int* err) { return OnOpenFile([](File& f) { return f.Allocate(0, 4096); }, err); }},
    {"CreateNew", false,
     [](int* err) {
       File f;
       bool ok = f.Open("new", OpenMode::CreateNew);
       *err = f.error();
       return ok;
     }},
    {"CreateAlways", false,
     [](int* err) {
       File f;
       bool ok = f.Open("data", OpenMode::CreateAlways);
       *err = f.error();
       return ok;
     }},
    {"DeleteFile", false, [](int* err) { return DeleteFile("data", err); }},
    {"RenameFile", false, [](int* err) { return RenameFile("data", "other", err); }},
    {"WriteWholeFile", false, [](int* err) { return WriteWholeFile("data", "whole", err); }},
    {"Flush", true, [](int* err) { return OnOpenFile([](File& f) { return f.Flush(); }, err); }},
    {"SyncData", true, [](int* err) { return OnOpenFile([](File& f) { return f.SyncData(); }, err); }},
    {"SyncFolder", true, [](int* err) { return SyncFolder("data", err); }},
};

class FaultSeamCallTest : public testing::TestWithParam<SeamCall> {
 protected:
  ~FaultSeamCallTest() override { RemoveFaultPlan(); }
};

// The call meets the fault as the second write (or sync) since the plan was installed: it fails
// with the plan's errno and leaves the disk as it was; the same call made again goes through.
TEST_P(FaultSeamCallTest, NthCallFailsWithTheErrnoAndChangesNothing) {
  const SeamCall& call = GetParam();
  testing_support::TempDir dir;
  Put("data", "12345");
  Put("other", "67890");
  FaultPlan plan;
  (call.IsSync ? plan.OnSync : plan.OnWrite) = FaultAction::Fail;
  (call.IsSync ? plan.SyncNumber : plan.WriteNumber) = 2;
  plan.Errno = ENOSPC;
  InstallFaultPlan(plan);
  int err = 0;
  ASSERT_TRUE(call.IsSync ? SyncFolder("other", &err) : WriteAtStart("other", &err));  // number 1
  const Disk before = ReadDisk();

  EXPECT_FALSE(call.Call(&err));
  EXPECT_EQ(err, ENOSPC);
  EXPECT_EQ(ReadDisk(), before);
  EXPECT_EQ(call.IsSync ? FaultSyncsSoFar() : FaultWritesSoFar(), 2);

  EXPECT_TRUE(call.Call(&err)) << err;
  if (!call.IsSync) {
    EXPECT_NE(ReadDisk(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(EachCall, FaultSeamCallTest, testing::ValuesIn(kCalls),
                         [](const auto& info) { return std::string(info.param.Name); });

// A day of file work in a child process; it exits with the number of writes it made, or 200 when
// a step failed. The last write is the extra bytes at the start of "unsynced".
[[noreturn]] void RunScenario(const FaultPlan& plan) {
  InstallFaultPlan(plan);
  File synced, unsynced, shrunk, created, kept;
  bool ok = synced.Open("synced", OpenMode::ReadWrite) && synced.WriteAt(0, "NEW", 3) && synced.Flush() &&
            unsynced.Open("unsynced", OpenMode::ReadWrite) && unsynced.WriteAt(20, "tail", 4) &&
            shrunk.Open("shrunk", OpenMode::ReadWrite) && shrunk.Truncate(4) &&
            created.Open("created", OpenMode::CreateNew) && created.WriteAt(0, "fresh", 5) &&
            created.Flush() && RenameFile("ren-from", "ren-to") && DeleteFile("deleted") &&
            kept.Open("sub/kept", OpenMode::CreateNew) && kept.WriteAt(0, "kept", 4) && kept.Flush() &&
            SyncFolder("sub/kept") && WriteWholeFile("sub/whole", "new whole") &&
            unsynced.WriteAt(0, "NEW", 3);
  ::_exit(ok ? FaultWritesSoFar() : 200);
}

int RunScenarioInChild(const FaultPlan& plan) {
  pid_t child = ::fork();
  if (child == 0) RunScenario(plan);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void SetUpScenario() {
  Put("synced", "old synced");
  Put("unsynced", "old unsynced");
  Put("shrunk", "0123456789");
  Put("ren-from", "moved");
  Put("ren-to", "replaced");
  Put("deleted", "deleted bytes");
  fs::create_directory("sub");
  Put("sub/whole", "old whole");
}

const Disk kAllWritten = {
    {"synced", "NEW synced"},   {"unsynced", std::string("NEW unsynced") + std::string(8, '\0') + "tail"},
    {"shrunk", "0123"},         {"created", "fresh"},
    {"ren-to", "moved"},        {"sub/kept", "kept"},
    {"sub/whole", "new whole"},
};

// Each file as of its last sync, each name as of its folder's last sync.
const Disk kAsLastSynced = {
    {"synced", "NEW synced"}, {"unsynced", "old unsynced"}, {"shrunk", "0123456789"},
    {"ren-from", "moved"},    {"ren-to", "replaced"},       {"deleted", "deleted bytes"},
    {"sub/kept", "kept"},     {"sub/whole", "new whole"},
};

TEST(FaultSeamTest, KillKeepsEveryWriteAndPowerCutKeepsOnlyWhatWasSynced) {
  constexpr int kWrites = 13;
  {
    testing_support::TempDir dir;
    SetUpScenario();
    EXPECT_EQ(RunScenarioInChild({.SimulateDisk = true}), kWrites);
    EXPECT_EQ(ReadDisk(), kAllWritten);
  }
  struct {
    FaultAction Action;
    const Disk& Expected;
  } const cases[] = {{FaultAction::Kill, kAllWritten}, {FaultAction::PowerCut, kAsLastSynced}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Action));
    testing_support::TempDir dir;
    SetUpScenario();
    FaultPlan plan{.OnWrite = c.Action, .WriteNumber = kWrites, .SimulateDisk = true};
    EXPECT_EQ(RunScenarioInChild(plan), FaultKilledExitCode);
    EXPECT_EQ(ReadDisk(), c.Expected);
  }
}

}  // namespace
}  // namespace platform::files
