// A writer process is killed (SIGKILL) at random moments, rebuilds included; after each kill
// the file set must open as defective exactly when the writer had changed it, open again after
// the offered repair, and hold every record whose change completed, with all of its keys.
//
// KESTRAVA_CRASH_ROUNDS sets the number of kills (30 by default); run more by hand.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>

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

// Starts the writer, waits until it has the file open, lets it work for a while and kills it.
WriterRun RunAndKill(const std::string& folder, int seed, int firstId, int workMicros) {
  int out[2];
  EXPECT_EQ(::pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string seedText = std::to_string(seed), idText = std::to_string(firstId);
  const char* argv[] = {KESTRAVA_CRASH_WRITER, folder.c_str(), seedText.c_str(), idText.c_str(), nullptr};
  pid_t pid = 0;
  EXPECT_EQ(posix_spawn(&pid, KESTRAVA_CRASH_WRITER, &actions, nullptr, const_cast<char**>(argv), environ),
            0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);

  WriterRun run;
  std::string pending;
  auto readSome = [&] {
    char buffer[4096];
    ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) return false;
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      run.lines.push_back(pending.substr(0, end));
    }
    return true;
  };
  while ((run.lines.empty() || run.lines.front() != "R") && readSome()) {
  }
  std::this_thread::sleep_for(std::chrono::microseconds(workMicros));
  ::kill(pid, SIGKILL);
  while (readSome()) {
  }
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) run.exitSignal = WTERMSIG(status);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
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

}  // namespace
}  // namespace storage::testing
