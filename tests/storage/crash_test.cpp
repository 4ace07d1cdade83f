// A writer process is killed (SIGKILL) at random moments, rebuilds included; after each kill
// the file set must open as defective exactly when the writer had changed it, open again after
// the offered repair, and hold every record whose change completed, with all of its keys. A
// rebuild is also ended before each of its file changes in turn.
//
// KESTRAVA_CRASH_ROUNDS sets the number of kills (30 by default); run more by hand.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "crash_records.h"
#include "index_check.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/support/ui_script.h"
#include "records/po_detail_file.h"
#include "storage/byte_order.h"
#include "storage/naming.h"
#include "tree_check.h"
#include "unit_fixture.h"

using namespace records;

extern char** environ;

namespace storage::testing {
namespace {

namespace fs = std::filesystem;
using platform::ui::mrYes;
using testing_support::UiScript;
constexpr int kAbsent = -1;

// What the writer said during one run.
struct WriterRun {
  std::vector<std::string> lines;
  int exitSignal = 0;
  int exitCode = -1;
};

// A writer process and what it says on its standard output.
class Writer {
 public:
  explicit Writer(const std::vector<std::string>& args) {
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv{const_cast<char*>(KESTRAVA_CRASH_WRITER)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, KESTRAVA_CRASH_WRITER, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    fd_ = out[0];
  }

  // Reads until the first line is "R" (the file is open) or the output ends.
  void WaitUntilReady() {
    while ((run_.lines.empty() || run_.lines.front() != "R") && ReadSome()) {
    }
  }
  void Kill() { ::kill(pid_, SIGKILL); }

  // Reads the rest of the output and waits for the process to end.
  WriterRun Finish() {
    while (ReadSome()) {
    }
    ::close(fd_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    if (WIFSIGNALED(status)) run_.exitSignal = WTERMSIG(status);
    if (WIFEXITED(status)) run_.exitCode = WEXITSTATUS(status);
    return run_;
  }

 private:
  bool ReadSome() {
    char buffer[4096];
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<size_t>(n));
    for (size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1)) {
      run_.lines.push_back(pending_.substr(0, end));
    }
    return true;
  }

  pid_t pid_ = 0;
  int fd_ = -1;
  std::string pending_;
  WriterRun run_;
};

// Starts the writer, waits until it has the file open, lets it work for a while and kills it.
WriterRun RunAndKill(const std::string& folder, int seed, int firstId, int workMicros) {
  Writer writer({folder, std::to_string(seed), std::to_string(firstId)});
  writer.WaitUntilReady();
  std::this_thread::sleep_for(std::chrono::microseconds(workMicros));
  writer.Kill();
  return writer.Finish();
}

// The records the checker knows of: for each id, the versions it may find (kAbsent: none).
using Model = std::map<int, std::set<int>>;

struct Replay {
  bool changedSinceOpen = false;  // a change completed since the writer's last open
  bool inFlight = false;          // a change was begun and not completed
  bool inRebuild = false;
};

Replay ReplayLines(const std::vector<std::string>& lines, Model& model) {
  Replay replay;
  std::string begun;
  int id = 0, version = 0;
  for (const std::string& line : lines) {
    std::istringstream in(line);
    std::string tag, op;
    in >> tag;
    if (tag == "B") {
      in >> op;
      begun = op;
      if (op == "A" || op == "U") in >> id >> version;
      if (op == "D") in >> id;
      if (op == "A") model[id] = {kAbsent, version};
      if (op == "U") model[id].insert(version);
      if (op == "D") model[id].insert(kAbsent);
      replay.inFlight = true;
      replay.inRebuild = op == "R";
    } else if (tag == "E") {
      if (begun == "A" || begun == "U") model[id] = {version};
      if (begun == "D") model[id] = {kAbsent};
      replay.changedSinceOpen = begun != "R";
      replay.inFlight = replay.inRebuild = false;
    }
  }
  return replay;
}

class CrashTest : public DataUnitTest {
 protected:
  CrashTest() : DataUnitTest("1") {}

  // Opens the file set as it was left and checks the outcome against what the writer said.
  void CheckOpenAfterKill(const Replay& replay, int round) {
    bool saveLeft = fs::exists(dir_.File("1PD.SAV"));
    IsamFileBlock fb = nullptr;
    IsamOpenFileBlock(fb, "1PD", false, false, false, true);
    int32_t status = Status();
    if (fb) Close(fb);
    if (replay.inRebuild) {
      EXPECT_TRUE(status == 0 || status == IsamErrIndexDefective ||
                  (status == IsamErrFileNotFound && saveLeft))
          << "round " << round << ": " << status;
    } else if (replay.changedSinceOpen) {
      EXPECT_EQ(status, IsamErrIndexDefective) << "round " << round;
    } else if (!replay.inFlight) {
      EXPECT_EQ(status, 0) << "round " << round;
    } else {
      EXPECT_TRUE(status == 0 || status == IsamErrIndexDefective) << "round " << round << ": " << status;
    }
    EXPECT_FALSE(saveLeft && !replay.inRebuild) << "round " << round;

    UiScript ui;
    if (saveLeft) {
      ui.ExpectMessage("The last rebuild of this file did not finish.  Finish it now?", "PO Detail")
          .Answer(mrYes);
    } else if (status == IsamErrIndexDefective) {
      ui.ExpectMessage("Index file is defective.  Rebuild?", "PO Detail").Answer(mrYes);
    }
    ASSERT_TRUE(OpenPODetailFile()) << "round " << round << ": " << IsamError;
    EXPECT_TRUE(ui.Done()) << "round " << round;
  }

  // Every record the model requires is there in an allowed version, nothing else is, and every
  // key of every record is in the index. The model then takes what was found.
  void CheckRecords(Model& model, int round) {
    std::map<int, int> found;
    for (IsamRecRef ref = 1; ref < IsamFileLen(PODetailFile); ++ref) {
      PODetailRec rec;
      IsamGetRec(PODetailFile, ref, &rec, sizeof rec);
      if (IsamLoadInt32(reinterpret_cast<uint8_t*>(&rec)) != 0) continue;
      int id = 0, version = 0;
      ASSERT_TRUE(ReadCrashRecord(rec, &id, &version))
          << "round " << round << ": record " << ref << " damaged";
      EXPECT_TRUE(found.emplace(id, version).second) << "round " << round << ": id " << id << " twice";
    }
    for (auto& [id, allowed] : model) {
      auto it = found.find(id);
      int seen = it == found.end() ? kAbsent : it->second;
      EXPECT_TRUE(allowed.count(seen)) << "round " << round << ": id " << id << " found as " << seen;
      allowed = {seen};
    }
    for (const auto& [id, version] : found)
      EXPECT_TRUE(model.count(id)) << "round " << round << ": stray " << id;
    std::vector<std::string> faults = IndexMatchesRecords(PODetailFile, PODetailUnit());
    for (int k = 1; k <= 6; ++k) {
      for (const std::string& fault : TreeFaults(PODetailFile, k)) faults.push_back(fault);
    }
    EXPECT_TRUE(faults.empty()) << "round " << round << ": " << faults.front();
  }
};

TEST_F(CrashTest, EveryCompletedChangeSurvivesAKill) {
  ASSERT_TRUE(OpenPODetailFile());
  Close(PODetailFile);
  const char* roundsText = std::getenv("KESTRAVA_CRASH_ROUNDS");
  int rounds = roundsText ? std::atoi(roundsText) : 30;
  std::mt19937 rng(2026);
  Model model;
  int nextId = 1;
  int inRebuild = 0, saveLeft = 0;
  for (int round = 0; round < rounds && !HasFatalFailure(); ++round) {
    WriterRun run = RunAndKill(dir_.path().string(), static_cast<int>(rng() % 100000), nextId,
                               static_cast<int>(rng() % 60000));
    ASSERT_EQ(run.exitSignal, SIGKILL) << "round " << round << ": writer ended by itself ("
                                       << (run.lines.empty() ? "" : run.lines.back()) << ")";
    Replay replay = ReplayLines(run.lines, model);
    inRebuild += replay.inRebuild;
    saveLeft += fs::exists(dir_.File("1PD.SAV"));
    if (!model.empty()) nextId = model.rbegin()->first + 1;
    CheckOpenAfterKill(replay, round);
    if (HasFatalFailure()) break;
    CheckRecords(model, round);
    Close(PODetailFile);
  }
  std::cerr << rounds << " kills, " << inRebuild << " inside a rebuild, " << saveLeft << " leaving a .SAV, "
            << model.size() << " records\n";
}

// A rebuild ended (as by a kill) before each of its file changes in turn: a direct open never
// takes the set for whole while it is not, the program's own open finishes the rebuild with every
// record, and the open after that asks nothing. Once with deleted records for the rebuild to
// close, once with a file that has none (it is then not copied).
class RebuildKillTest : public CrashTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RebuildKillTest, AKillBeforeEachChangeOfARebuildEndsInAFinishedRebuild) {
  const bool withGaps = GetParam();
  ASSERT_TRUE(OpenPODetailFile());
  Model model;
  std::vector<IsamRecRef> refs;
  for (int id = 1; id <= 40; ++id) {
    FillCrashRecord(PODetailBuf, id, id % 5);
    IsamRecRef ref = 0;
    ASSERT_TRUE(AddPODetailRecord(ref));
    refs.push_back(ref);
    model[id] = {id % 5};
  }
  for (int id = 3; withGaps && id <= 40; id += 3) {  // the rebuild has gaps to close
    ASSERT_TRUE(DeletePODetailRecord(refs[id - 1]));
    model[id] = {kAbsent};
  }
  Close(PODetailFile);
  const std::string dat = ReadFile("1PD.DAT"), ix = ReadFile("1PD.IX");
  auto restore = [&] {
    for (const char* stray : {"1PD.SAV", "1PD.MSG", "1PD~.IX"}) fs::remove(dir_.File(stray));
    std::ofstream(dir_.File("1PD.DAT"), std::ios::binary | std::ios::trunc) << dat;
    std::ofstream(dir_.File("1PD.IX"), std::ios::binary | std::ios::trunc) << ix;
  };
  int kills = 0;
  for (int n = 1; n < 5000 && !HasFatalFailure(); ++n) {
    restore();
    WriterRun run = Writer({dir_.path().string(), "--rebuild-exit-at", std::to_string(n)}).Finish();
    ASSERT_FALSE(run.lines.empty()) << "change " << n;
    if (run.lines.back() == "D") break;
    ASSERT_EQ(run.lines.back(), "K") << "change " << n;
    ++kills;
    const bool saveLeft = fs::exists(dir_.File("1PD.SAV"));
    IsamFileBlock fb = nullptr;
    IsamOpenFileBlock(fb, "1PD", false, false, false, true);
    const int32_t status = Status();
    if (fb) Close(fb);
    EXPECT_TRUE(status == IsamErrIndexDefective || (status == IsamErrFileNotFound && saveLeft) ||
                (status == 0 && n == 1))
        << "change " << n << ": a direct open gave " << status << (saveLeft ? " beside a .SAV" : "");

    Replay inRebuild;
    inRebuild.inRebuild = true;
    CheckOpenAfterKill(inRebuild, n);
    if (HasFatalFailure()) break;
    CheckRecords(model, n);
    EXPECT_FALSE(fs::exists(dir_.File("1PD.SAV")) || fs::exists(dir_.File("1PD~.IX"))) << "change " << n;
    Close(PODetailFile);
    UiScript ui;  // the rebuild is done: nothing is offered again
    ASSERT_TRUE(OpenPODetailFile()) << "change " << n << ": " << IsamError;
    EXPECT_TRUE(ui.Done()) << "change " << n;
    Close(PODetailFile);
  }
  std::cerr << kills << " rebuilds ended before a file change\n";
  EXPECT_GT(kills, withGaps ? 20 : 8) << "the rebuild made fewer file changes than expected";
}

INSTANTIATE_TEST_SUITE_P(DataFiles, RebuildKillTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "WithGaps" : "Compact";
                         });

}  // namespace
}  // namespace storage::testing
