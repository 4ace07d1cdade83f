// A posting in two parts under a power cut at each of its writes, on the fault seam's simulated
// disk, where a cut need not lose every write not yet synced: it keeps any one of them and loses
// the others, or keeps every one but one, and a write it keeps may lose one 512-byte sector (a
// write is atomic within a sector only). The posting changes three records of one file, closes
// that file (its part goes out: the journal's first part is synced, the file's records written
// and synced), then rewrites six records of another (the second part, several sectors of
// journal) and commits. Each cut runs in a child process; the parent then starts over as the
// program does (the journal left behind is undone), and the two files must hold the records of
// before the posting or of the whole posting, never a mixture, with at most the one message that
// the posting was undone. The undo itself is cut the same way: at a start, and in the process
// whose posting failed at its commit.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "message_log.h"
#include "platform/files/fault_seam.h"
#include "storage/posting_journal.h"
#include "support/live_records.h"
#include "unit_fixture.h"

namespace storage::testing {
namespace {

namespace fs = std::filesystem;
using platform::files::CutKeeps;
using platform::files::FaultAction;
using platform::files::FaultPlan;

constexpr int32_t kSmall = 40;
constexpr int32_t kLarge = 1200;  // an entry spans sectors, as a product record's does
constexpr int kLargeRecords = 6;
constexpr char kJournal[] = "12JNL.DAT";
const char kUndone[] = "The last posting (test posting) was interrupted and has been undone.";

// Every file of the folder with its bytes.
using Folder = std::map<std::string, std::string>;
// The live records of the two files.
using Books = std::pair<std::vector<std::string>, std::vector<std::string>>;

std::string Describe(const FaultPlan& plan) {
  std::string text = "cut at write " + std::to_string(plan.WriteNumber);
  if (plan.Keeps == CutKeeps::OneWrite) text += ", keeping unsynced write " + std::to_string(plan.CutWrite) + " alone";
  if (plan.Keeps == CutKeeps::AllButOneWrite)
    text += ", keeping every unsynced write " +
            (plan.CutLostSector < 0 ? "but " + std::to_string(plan.CutWrite) : std::string("(all)"));
  if (plan.CutLostSector >= 0)
    text += ", write " + std::to_string(plan.CutWrite) + " without its sector " + std::to_string(plan.CutLostSector);
  return text;
}

class JournalCutTest : public DataUnitTest {
 protected:
  JournalCutTest() : DataUnitTest("12") {}

  // The two files before the posting, closed.
  void MakeFiles() {
    Create("12X", kSmall);
    IsamFileBlock x = Open("12X");
    for (const char* text : {"A", "B", "C"}) Add(x, text);
    Close(x);
    Create("12Y", kLarge);
    IsamFileBlock y = Open("12Y");
    for (int i = 1; i <= kLargeRecords; ++i) Add(y, "P" + std::to_string(i) + std::string(150, 'p'));
    Close(y);
    before_ = Take();
    beforeBooks_ = BooksNow();
  }

  static Folder Take() {
    Folder folder;
    for (const auto& item : fs::directory_iterator(".")) {
      if (!item.is_regular_file()) continue;
      std::ifstream in(item.path(), std::ios::binary);
      folder[item.path().filename().string()] =
          std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return folder;
  }

  static void Put(const Folder& folder) {
    for (const auto& item : fs::directory_iterator(".")) fs::remove_all(item.path());
    for (const auto& [name, bytes] : folder) std::ofstream(name, std::ios::binary) << bytes;
  }

  static Books BooksNow() { return {testing_support::LiveRecords("12X.DAT"), testing_support::LiveRecords("12Y.DAT")}; }

  // The posting: in X, A becomes A2, D is added and B deleted, and X is closed; then every record
  // of Y is rewritten. 0 when it posted; 5 or 6 when it failed and was (or was not) undone. The
  // files are left as the posting leaves them (Y is not closed).
  int PostInTwoParts() {
    IsamFileBlock x = Open("12X");
    IsamFileBlock y = Open("12Y");
    try {
      RunPosting("test posting", [&] {
        const std::vector<uint8_t> a2 = Record(kSmall, "A2");
        IsamPutRec(x, 1, a2.data(), a2.size());
        Add(x, "D");
        IsamDeleteRec(x, 2);
        IsamCloseFileBlock(x);
        for (IsamRecRef ref = 1; ref <= kLargeRecords; ++ref) {
          const std::vector<uint8_t> q = Record(kLarge, "Q" + std::to_string(ref) + std::string(150, 'q'));
          IsamPutRec(y, ref, q.data(), q.size());
        }
      });
    } catch (const PostingFailed& failure) {
      return failure.Undone() ? 5 : 6;
    }
    return 0;
  }

  // What the program does at a start: the journal left behind is undone.
  static int StartUp() {
    MessageLog log;
    UndoPostingJournal("12");
    return 0;
  }

  // Runs work in a child under the plan; its exit status. With writes (syncs) given, they receive
  // how many writes (syncs) the child made.
  static int InChild(const FaultPlan& plan, const std::function<int()>& work, int* writes = nullptr,
                     int* syncs = nullptr) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(pipeEnds[0]);
      platform::files::InstallFaultPlan(plan);
      const int status = work();
      const int counts[2] = {platform::files::FaultWritesSoFar(), platform::files::FaultSyncsSoFar()};
      [[maybe_unused]] ssize_t written = ::write(pipeEnds[1], counts, sizeof counts);
      ::_exit(status);
    }
    ::close(pipeEnds[1]);
    int counts[2] = {0, 0};
    const bool read = ::read(pipeEnds[0], counts, sizeof counts) == static_cast<ssize_t>(sizeof counts);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (read && writes) *writes = counts[0];
    if (read && syncs) *syncs = counts[1];
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The start after the cut: the books must be those before the posting or of the whole posting
  // (or only those before, when `onlyBefore`), the journal gone, and the user told at most that
  // the posting was undone.
  void CheckStartAfter(const FaultPlan& plan, bool onlyBefore = false) {
    SCOPED_TRACE(Describe(plan));
    MessageLog log;
    UndoPostingJournal("12");
    const Books after = BooksNow();
    if (onlyBefore) {
      EXPECT_TRUE(after == beforeBooks_) << "the posting was not undone whole";
    } else {
      EXPECT_TRUE(after == beforeBooks_ || after == wholeBooks_) << "the posting was neither absent nor whole";
    }
    EXPECT_TRUE(log.Told.empty() || log.Told == std::vector<std::string>{kUndone})
        << (log.Told.empty() ? "" : log.Told.front());
    EXPECT_FALSE(fs::exists(fs::symlink_status(kJournal)));
    ++cuts_;
  }

  // Every cut of the kinds given at write n of the work, each over `from` (the undo itself or
  // the posting), for every unsynced write and every sector of it.
  void SweepCutsAt(int n, const Folder& from, const std::function<int()>& work, const FaultPlan& base,
                   const std::vector<CutKeeps>& kinds, bool sectors, bool onlyBefore) {
    for (CutKeeps keeps : kinds) {
      for (int write = 1;; ++write) {
        bool more = false;
        for (int sector = -1; sector < 0 || sectors; ++sector) {
          FaultPlan plan = base;
          plan.OnWrite = FaultAction::PowerCut;
          plan.WriteNumber = n;
          plan.SimulateDisk = true;
          plan.Keeps = keeps;
          plan.CutWrite = write;
          plan.CutLostSector = sector;
          Put(from);
          const int status = InChild(plan, work);
          if (status == platform::files::FaultNoSuchCutExitCode) break;
          more = true;
          ASSERT_EQ(status, platform::files::FaultKilledExitCode) << Describe(plan);
          CheckStartAfter(plan, onlyBefore);
          if (HasFailure()) return;
        }
        if (!more) break;
      }
    }
  }

  Folder before_;
  Books beforeBooks_;
  Books wholeBooks_;
  int cuts_ = 0;
};

// Item 4: a cut while the second part is written (or at any other write) keeps the first part
// undoable, and a sector lost from the second part ends the journal there instead of making the
// whole journal unreadable.
TEST_F(JournalCutTest, APostingInTwoPartsCutAtAnyWriteKeepingAnyOneWriteOrLosingASectorIsAbsentOrWhole) {
  MakeFiles();
  int writes = 0;
  ASSERT_EQ(InChild({.SimulateDisk = true}, [this] { return PostInTwoParts(); }, &writes), 0);
  wholeBooks_ = BooksNow();
  ASSERT_NE(wholeBooks_, beforeBooks_);
  ASSERT_GT(writes, 4);
  for (int n = 1; n <= writes && !HasFailure(); ++n)
    SweepCutsAt(n, before_, [this] { return PostInTwoParts(); }, {},
                {CutKeeps::OneWrite, CutKeeps::AllButOneWrite}, true, false);
  EXPECT_GT(cuts_, writes * 2);
  std::printf("%d writes, %d cuts\n", writes, cuts_);
}

// Item 5: the undo at a start writes nothing into the journal that could reach the disk before
// what it stands for: however the undo is cut, the next start undoes the posting whole.
TEST_F(JournalCutTest, TheUndoAtAStartCutAtAnyWriteKeepingAnyOneWriteIsFinishedByTheNextStart) {
  MakeFiles();
  int writes = 0;
  ASSERT_EQ(InChild({.SimulateDisk = true}, [this] { return PostInTwoParts(); }, &writes), 0);
  wholeBooks_ = BooksNow();
  // Killed after the last record went out, before the commit's mark: the start has it to undo.
  Put(before_);
  ASSERT_EQ(InChild({.OnWrite = FaultAction::Kill, .WriteNumber = writes - 1},
                    [this] { return PostInTwoParts(); }),
            platform::files::FaultKilledExitCode);
  ASSERT_EQ(BooksNow(), wholeBooks_);
  ASSERT_TRUE(fs::exists(kJournal));
  const Folder killed = Take();
  int undoWrites = 0;
  ASSERT_EQ(InChild({.SimulateDisk = true}, StartUp, &undoWrites), 0);
  ASSERT_EQ(BooksNow(), beforeBooks_);
  ASSERT_GT(undoWrites, 4);
  for (int n = 1; n <= undoWrites && !HasFailure(); ++n)
    SweepCutsAt(n, killed, StartUp, {}, {CutKeeps::OneWrite, CutKeeps::AllButOneWrite}, false, true);
  std::printf("%d undo writes, %d cuts\n", undoWrites, cuts_);
}

// Item 5: a posting whose commit fails at its last sync is undone in the same process; the header
// it writes back goes to the disk before any record is undone, so that a cut during that undo,
// whatever it keeps, leaves the next start a journal to finish it with.
TEST_F(JournalCutTest, AnUndoInTheProcessCutAtAnyWriteKeepingAllButOneWriteIsFinishedByTheNextStart) {
  MakeFiles();
  int writes = 0, syncs = 0;
  ASSERT_EQ(InChild({.SimulateDisk = true}, [this] { return PostInTwoParts(); }, &writes, &syncs), 0);
  wholeBooks_ = BooksNow();
  // The commit's last sync, that of the emptied journal, fails: the posting is undone.
  Put(before_);
  int failedWrites = 0;
  const FaultPlan failing{.OnSync = FaultAction::Fail, .SyncNumber = syncs, .SimulateDisk = true};
  ASSERT_EQ(InChild(failing, [this] { return PostInTwoParts(); }, &failedWrites), 5);
  ASSERT_EQ(BooksNow(), beforeBooks_);
  ASSERT_GT(failedWrites, writes + 4);
  for (int n = writes; n <= failedWrites && !HasFailure(); ++n)
    SweepCutsAt(n, before_, [this] { return PostInTwoParts(); }, failing,
                {CutKeeps::AllButOneWrite, CutKeeps::OneWrite}, false, false);
  std::printf("%d writes, %d with the undo, %d cuts\n", writes, failedWrites, cuts_);
}

}  // namespace
}  // namespace storage::testing
