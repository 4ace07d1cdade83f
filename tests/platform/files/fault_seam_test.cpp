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
    {"CreateFolder", false,
     [](int* err) { return CreateFolder("made", err) && WriteWholeFile("made/data", "in it", err); }},
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
// a step failed. The last write is the extra bytes at the start of "unsynced". Two folders are
// made, a file synced in each: "sub/made" has its own name synced with "sub", "lost" never has.
[[noreturn]] void RunScenario(const FaultPlan& plan) {
  InstallFaultPlan(plan);
  File synced, unsynced, shrunk, created, kept;
  bool ok = synced.Open("synced", OpenMode::ReadWrite) && synced.WriteAt(0, "NEW", 3) && synced.Flush() &&
            unsynced.Open("unsynced", OpenMode::ReadWrite) && unsynced.WriteAt(20, "tail", 4) &&
            shrunk.Open("shrunk", OpenMode::ReadWrite) && shrunk.Truncate(4) &&
            created.Open("created", OpenMode::CreateNew) && created.WriteAt(0, "fresh", 5) &&
            created.Flush() && RenameFile("ren-from", "ren-to") && DeleteFile("deleted") &&
            CreateFolder("lost") && WriteWholeFile("lost/in", "in lost") && CreateFolder("sub/made") &&
            WriteWholeFile("sub/made/in", "in made") && kept.Open("sub/kept", OpenMode::CreateNew) &&
            kept.WriteAt(0, "kept", 4) && kept.Flush() && SyncFolder("sub/kept") &&
            WriteWholeFile("sub/whole", "new whole") && unsynced.WriteAt(0, "NEW", 3);
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
    {"sub/whole", "new whole"}, {"lost/in", "in lost"},
    {"sub/made/in", "in made"},
};

// Each file as of its last sync, each name as of its folder's last sync.
const Disk kAsLastSynced = {
    {"synced", "NEW synced"}, {"unsynced", "old unsynced"}, {"shrunk", "0123456789"},
    {"ren-from", "moved"},    {"ren-to", "replaced"},       {"deleted", "deleted bytes"},
    {"sub/kept", "kept"},     {"sub/whole", "new whole"},   {"sub/made/in", "in made"},
};

TEST(FaultSeamTest, KillKeepsEveryWriteAndPowerCutKeepsOnlyWhatWasSynced) {
  constexpr int kWrites = 21;
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

// A cut need not lose every unsynced write: the plan keeps one of them (or every one but one),
// and a kept write may lose one 512-byte sector. Three unsynced writes to "disk" after a synced
// first state (a 2 KiB file of 'o'), then a cut at the third:
//   1. "aaaa" at 0;  2. 1,536 bytes of 'b' at 256 (sectors 0, 1, 2, 3 touched);  3. "cc" at 2,100.
// With the names not yet synced, the new file "fresh" is lost whatever the plan keeps.
[[noreturn]] void RunCutScenario(const FaultPlan& plan) {
  FaultPlan full = plan;
  full.OnWrite = FaultAction::PowerCut;
  full.WriteNumber = 4;  // the creation of "fresh" is write 1
  full.SimulateDisk = true;
  InstallFaultPlan(full);
  File disk, fresh;
  const bool ok = disk.Open("disk", OpenMode::ReadWrite) && fresh.Open("fresh", OpenMode::CreateNew) &&
                  disk.WriteAt(0, "aaaa", 4) && disk.WriteAt(256, std::string(1536, 'b').data(), 1536) &&
                  FaultUnsyncedWrites() == 2 && disk.WriteAt(2100, "cc", 2);
  ::_exit(ok ? 200 : 201);
}

int RunCutInChild(const FaultPlan& plan) {
  pid_t child = ::fork();
  if (child == 0) RunCutScenario(plan);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FaultSeamTest, APowerCutCanKeepOneUnsyncedWriteOrAllButOneAndLoseASectorOfOne) {
  const std::string synced(2048, 'o');
  auto with = [&](std::initializer_list<std::pair<int, std::string>> writes) {
    std::string bytes = synced;
    for (const auto& [at, text] : writes) {
      if (bytes.size() < at + text.size()) bytes.resize(at + text.size(), '\0');
      bytes.replace(static_cast<size_t>(at), text.size(), text);
    }
    return bytes;
  };
  const std::string a = "aaaa", b(1536, 'b'), c = "cc";
  // b without its sector 1 (bytes 512 to 1023): what was there before stays.
  const std::string bTorn = std::string(256, 'b') + std::string(512, 'o') + std::string(768, 'b');
  struct Case {
    const char* Name;
    CutKeeps Keeps;
    int Write;
    int Sector;
    std::string Expected;
  } const cases[] = {
      {"nothing kept", CutKeeps::Nothing, 0, -1, synced},
      {"write 1 alone", CutKeeps::OneWrite, 1, -1, with({{0, a}})},
      {"write 2 alone", CutKeeps::OneWrite, 2, -1, with({{256, b}})},
      {"write 3 alone", CutKeeps::OneWrite, 3, -1, with({{2100, c}})},
      {"all but write 2", CutKeeps::AllButOneWrite, 2, -1, with({{0, a}, {2100, c}})},
      {"write 2 alone, without its sector 1", CutKeeps::OneWrite, 2, 1, with({{256, bTorn}})},
      {"all, write 2 without its sector 1", CutKeeps::AllButOneWrite, 2, 1, with({{0, a}, {256, bTorn}, {2100, c}})},
      {"all, write 2 without its sector 0", CutKeeps::AllButOneWrite, 2, 0,
       with({{0, a}, {512, std::string(1280, 'b')}, {2100, c}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    testing_support::TempDir dir;
    Put("disk", synced);
    EXPECT_EQ(RunCutInChild({.Keeps = c.Keeps, .CutWrite = c.Write, .CutLostSector = c.Sector}),
              FaultKilledExitCode);
    EXPECT_EQ(ReadDisk(), (Disk{{"disk", c.Expected}}));
  }
  // A write or a sector that is not there: the sweep's end.
  for (const FaultPlan& plan : {FaultPlan{.Keeps = CutKeeps::OneWrite, .CutWrite = 4},
                                FaultPlan{.Keeps = CutKeeps::OneWrite, .CutWrite = 2, .CutLostSector = 4},
                                FaultPlan{.Keeps = CutKeeps::OneWrite, .CutWrite = 1, .CutLostSector = 1}}) {
    testing_support::TempDir dir;
    Put("disk", synced);
    EXPECT_EQ(RunCutInChild(plan), FaultNoSuchCutExitCode);
    EXPECT_EQ(ReadDisk(), (Disk{{"disk", synced}}));
  }
}

}  // namespace
}  // namespace platform::files
