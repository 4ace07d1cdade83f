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
const char kUndone[] = "Test posting was interrupted and has been undone.";
const char kOnFile[] = "Test posting was completed and is on file.";
const char kRefused[] =
    "The posting journal 12JNL.DAT does not belong to the files of company 12.  Nothing was undone; the "
    "journal was kept as 12JNL-1.BAD.";
constexpr char kAside[] = "12JNL-1.BAD";

// Every file of the folder with its bytes.
using Folder = std::map<std::string, std::string>;
// The live records of the files X, Y and Z (a file that is not there holds none).
using Books = std::vector<std::vector<std::string>>;

std::string Describe(const FaultPlan& plan) {
  std::string text = "cut at write " + std::to_string(plan.WriteNumber);
  if (plan.Keeps == CutKeeps::OneWrite)
    text += ", keeping unsynced write " + std::to_string(plan.CutWrite) + " alone";
  if (plan.Keeps == CutKeeps::AllButOneWrite)
    text += ", keeping every unsynced write " +
            (plan.CutLostSector < 0 ? "but " + std::to_string(plan.CutWrite) : std::string("(all)"));
  if (plan.CutLostSector >= 0)
    text += ", write " + std::to_string(plan.CutWrite) + " without its sector " +
            std::to_string(plan.CutLostSector);
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

  // The files, then the posting made whole once on the simulated disk: its books, and how many
  // writes and syncs it makes.
  void MakeFilesAndPostWhole(int& writes, int& syncs) {
    MakeFiles();
    ASSERT_EQ(InChild(
                  {.SimulateDisk = true}, [this] { return PostInTwoParts(); }, &writes, &syncs),
              0);
    wholeBooks_ = BooksNow();
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

  static Books BooksNow() {
    Books books;
    for (const char* name : {"12X.DAT", "12Y.DAT", "12Z.DAT"})
      books.push_back(fs::exists(name) ? testing_support::LiveRecords(name) : std::vector<std::string>{});
    return books;
  }

  // The posting of PostInTwoParts' first part that also makes file Z, which its open found
  // missing, and adds two records to it; Z is closed before the commit, or left open.
  int PostCreatingAFile(bool closeZ) {
    IsamFileBlock x = Open("12X");
    try {
      RunPosting("test posting", [&] {
        const std::vector<uint8_t> a2 = Record(kSmall, "A2");
        IsamPutRec(x, 1, a2.data(), a2.size());
        Add(x, "D");
        Create("12Z", kSmall, {8});
        if (!IsamOK) throw std::runtime_error("Z could not be created");
        IsamFileBlock z = Open("12Z");
        Add(z, "Z1");
        Add(z, "Z2");
        if (closeZ) IsamCloseFileBlock(z);
      });
    } catch (const PostingFailed& failure) {
      return failure.Undone() ? 5 : 6;
    }
    return 0;
  }

  // The posting: in X, A becomes A2, D is added and B deleted, and X is closed; then every record
  // of Y is rewritten. 0 when it posted; 5 or 6 when it failed and was (or was not) undone, 7 when
  // whether it is on file is not known. The files are left as the posting leaves them (Y is not
  // closed).
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
      if (failure.Undone()) return 5;
      // Not undone, and what reached the disk not known: the next start says.
      return std::string(failure.what()).find("is not known") != std::string::npos ? 7 : 6;
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
      EXPECT_TRUE(after == beforeBooks_ || after == wholeBooks_)
          << "the posting was neither absent nor whole";
    }
    // What is said agrees with what is on file: an undone posting is said undone, and one found
    // committed is whole.
    const bool said = log.Told.empty() || log.Told == std::vector<std::string>{kUndone} ||
                      (log.Told == std::vector<std::string>{kOnFile} && after == wholeBooks_);
    EXPECT_TRUE(said) << (log.Told.empty() ? "" : log.Told.front());
    if (after == beforeBooks_) {
      EXPECT_FALSE(fs::exists("12Z.DAT")) << "a file the posting made is left";
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(kJournal)));
    ++cuts_;
  }

  // Every cut of the kinds given at write n of the work, each over `from` (the undo itself or
  // the posting), for every unsynced write and every sector of it.
  void SweepCutsAt(int n, const Folder& from, const std::function<int()>& work, const FaultPlan& base,
                   const std::vector<CutKeeps>& kinds, bool sectors, bool onlyBefore) {
    SweepCutsAt(n, from, work, base, kinds, sectors,
                [&](const FaultPlan& plan) { CheckStartAfter(plan, onlyBefore); });
  }
  void SweepCutsAt(int n, const Folder& from, const std::function<int()>& work, const FaultPlan& base,
                   const std::vector<CutKeeps>& kinds, bool sectors,
                   const std::function<void(const FaultPlan&)>& checkStartAfter) {
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
          checkStartAfter(plan);
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
  ASSERT_EQ(InChild(
                {.SimulateDisk = true}, [this] { return PostInTwoParts(); }, &writes),
            0);
  wholeBooks_ = BooksNow();
  ASSERT_NE(wholeBooks_, beforeBooks_);
  ASSERT_GT(writes, 4);
  for (int n = 1; n <= writes && !HasFailure(); ++n)
    SweepCutsAt(
        n, before_, [this] { return PostInTwoParts(); }, {}, {CutKeeps::OneWrite, CutKeeps::AllButOneWrite},
        true, false);
  EXPECT_GT(cuts_, writes * 2);
  std::printf("%d writes, %d cuts\n", writes, cuts_);
}

// Item 5: the undo at a start writes nothing into the journal that could reach the disk before
// what it stands for: however the undo is cut, the next start undoes the posting whole.
TEST_F(JournalCutTest, TheUndoAtAStartCutAtAnyWriteKeepingAnyOneWriteIsFinishedByTheNextStart) {
  MakeFiles();
  int writes = 0;
  ASSERT_EQ(InChild(
                {.SimulateDisk = true}, [this] { return PostInTwoParts(); }, &writes),
            0);
  wholeBooks_ = BooksNow();
  // Killed after the last record went out, before the commit's mark and the header's wipe (the
  // last two writes): the start has it to undo.
  Put(before_);
  ASSERT_EQ(
      InChild({.OnWrite = FaultAction::Kill, .WriteNumber = writes - 2}, [this] { return PostInTwoParts(); }),
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

  // The same journal not this company's (its header names another): the start sets it aside. Cut
  // at any write of that, the journal is where it was or set aside, byte for byte and once, nothing
  // is undone, and the next start says so at most once.
  Folder foreign = killed;
  foreign[kJournal][9] = '3';
  Put(foreign);
  int asideWrites = 0;
  ASSERT_EQ(InChild({.SimulateDisk = true}, StartUp, &asideWrites), 0);
  ASSERT_EQ(ReadFile(kAside), foreign[kJournal]);
  const auto setAsideWhole = [&](const FaultPlan& plan) {
    SCOPED_TRACE(Describe(plan));
    MessageLog log;
    UndoPostingJournal("12");
    EXPECT_EQ(BooksNow(), wholeBooks_);
    EXPECT_TRUE(log.Told.empty() || log.Told == std::vector<std::string>{kRefused})
        << ::testing::PrintToString(log.Told);
    EXPECT_FALSE(fs::exists(fs::symlink_status(kJournal)));
    EXPECT_EQ(ReadFile(kAside), foreign[kJournal]);
    EXPECT_FALSE(fs::exists("12JNL-2.BAD"));
  };
  for (int n = 1; n <= asideWrites && !HasFailure(); ++n)
    SweepCutsAt(n, foreign, StartUp, {}, {CutKeeps::OneWrite, CutKeeps::AllButOneWrite}, false,
                setAsideWhole);
  std::printf("%d writes setting the journal aside\n", asideWrites);
}

// Item 5: a posting whose commit fails at its last sync is undone in the same process; the header
// it writes back goes to the disk before any record is undone, so that a cut during that undo,
// whatever it keeps, leaves the next start a journal to finish it with.
TEST_F(JournalCutTest, AnUndoInTheProcessCutAtAnyWriteKeepingAllButOneWriteIsFinishedByTheNextStart) {
  int writes = 0, syncs = 0;
  MakeFilesAndPostWhole(writes, syncs);
  // The commit's last sync, that of the emptied journal, fails: the posting is undone.
  Put(before_);
  int failedWrites = 0;
  const FaultPlan failing{.OnSync = FaultAction::Fail, .SyncNumber = syncs, .SimulateDisk = true};
  ASSERT_EQ(InChild(
                failing, [this] { return PostInTwoParts(); }, &failedWrites),
            5);
  ASSERT_EQ(BooksNow(), beforeBooks_);
  ASSERT_GT(failedWrites, writes + 4);
  for (int n = writes; n <= failedWrites && !HasFailure(); ++n)
    SweepCutsAt(
        n, before_, [this] { return PostInTwoParts(); }, failing,
        {CutKeeps::AllButOneWrite, CutKeeps::OneWrite}, false, false);
  std::printf("%d writes, %d with the undo, %d cuts\n", writes, failedWrites, cuts_);
}

// A posting that makes a data file: whatever write a power cut stops it at, whatever the cut
// keeps, the new file and the others hold all of it or none of it, and a posting reported done
// keeps the new file through a cut that comes right after.
TEST_F(JournalCutTest, APostingThatCreatesAFileCutAtAnyWriteIsAbsentOrWholeAndWholeOnceDone) {
  MakeFiles();
  for (bool closeZ : {true, false}) {
    SCOPED_TRACE(closeZ ? "Z closed in the posting" : "Z left open");
    Put(before_);
    int writes = 0;
    ASSERT_EQ(InChild(
                  {.SimulateDisk = true}, [&] { return PostCreatingAFile(closeZ); }, &writes),
              0);
    wholeBooks_ = BooksNow();
    ASSERT_EQ(wholeBooks_[2].size(), 2u);
    // Done, then the power fails before anything else is synced.
    Put(before_);
    ASSERT_EQ(InChild({.SimulateDisk = true},
                      [&]() -> int {
                        if (PostCreatingAFile(closeZ) == 0) platform::files::SimulatePowerCutNow();
                        return 3;
                      }),
              platform::files::FaultKilledExitCode);
    CheckStartAfter({}, false);
    EXPECT_EQ(BooksNow(), wholeBooks_) << "a posting reported done lost its new file";
    for (int n = 1; n <= writes && !HasFailure(); ++n)
      SweepCutsAt(
          n, before_, [&] { return PostCreatingAFile(closeZ); }, {},
          {CutKeeps::OneWrite, CutKeeps::AllButOneWrite}, false, false);
  }
  std::printf("%d cuts\n", cuts_);
}

// A failing sync and a failing write around the commit, in every order: what the process that
// posted tells its user (done, nothing kept, left for the start to undo, or not known) is what
// the next start finds and says, whether the process goes on to end as usual or the power fails.
TEST_F(JournalCutTest, WhatAFailedCommitTellsIsWhatTheNextStartFindsAndSays) {
  int writes = 0, syncs = 0;
  MakeFilesAndPostWhole(writes, syncs);
  enum Told { Posted = 0, NothingKept = 5, StartUndoes = 6, NotKnown = 7 };  // as PostInTwoParts says
  std::map<int, int> seen;
  for (bool powerCut : {false, true}) {
    for (int sync = syncs - 2; sync <= syncs + 4; ++sync) {
      for (int write = writes - 3; write <= writes + 8; ++write) {
        const std::string trace = std::string(powerCut ? "power cut after" : "ended as usual") + ", sync " +
                                  std::to_string(sync) + " and write " + std::to_string(write) + " fail";
        SCOPED_TRACE(trace);
        Put(before_);
        const FaultPlan plan{.OnWrite = FaultAction::Fail,
                             .WriteNumber = write,
                             .OnSync = FaultAction::Fail,
                             .SyncNumber = sync,
                             .SimulateDisk = true};
        const int told = InChild(plan, [&] {
          const int result = PostInTwoParts();
          if (powerCut) {
            // The status is what was told: the cut ends the child with its own.
            std::ofstream("told") << result;
            platform::files::SimulatePowerCutNow();
          }
          return result;
        });
        int said = told;
        if (powerCut) {
          ASSERT_EQ(told, platform::files::FaultKilledExitCode);
          std::ifstream("told") >> said;
        }
        ++seen[said];
        MessageLog log;
        UndoPostingJournal("12");
        const Books after = BooksNow();
        switch (said) {
          case Posted:
            EXPECT_EQ(after, wholeBooks_);
            EXPECT_TRUE(log.Told.empty() || log.Told == std::vector<std::string>{kOnFile});
            break;
          case NothingKept:
            // A journal whose emptying did not reach the disk is undone once more, and said so.
            EXPECT_EQ(after, beforeBooks_);
            EXPECT_TRUE(log.Told.empty() || log.Told == std::vector<std::string>{kUndone});
            break;
          case StartUndoes:
            EXPECT_EQ(after, beforeBooks_);
            EXPECT_EQ(log.Told, std::vector<std::string>{kUndone});
            break;
          case NotKnown:
            EXPECT_TRUE((after == beforeBooks_ && log.Told == std::vector<std::string>{kUndone}) ||
                        (after == wholeBooks_ && log.Told == std::vector<std::string>{kOnFile}))
                << (log.Told.empty() ? "nothing said" : log.Told.front());
            break;
          default:
            ADD_FAILURE() << "the child ended with " << said;
        }
        EXPECT_FALSE(fs::exists(kJournal));
        if (HasFailure()) return;
      }
    }
  }
  // Every kind of telling was met.
  for (int told : {Posted, NothingKept, StartUndoes, NotKnown}) EXPECT_GT(seen[told], 0) << told;
}

}  // namespace
}  // namespace storage::testing
