// The journal file itself, as a crash leaves it and as damage or a stranger's hand may leave it: a
// posting rewrites a side file, changes one record, adds one and deletes one, and its journal is
// then found beside the files in different states. Each state must end with the records the
// table expects, read from the data file's bytes alone, and the user told at most once.

#include "storage/posting_journal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/ui/support/ui_script.h"
#include "storage/byte_order.h"
#include "storage/journal_entry.h"
#include "support/live_records.h"
#include "unit_fixture.h"

namespace storage::testing {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kLength = 40;
constexpr char kJournal[] = "12JNL.DAT";
constexpr char kAside[] = "12JNL-1.BAD";
constexpr char kAnswer[] = "CPWIN.TXT";

class PostingJournalTest : public DataUnitTest {
 protected:
  PostingJournalTest() : DataUnitTest("12") { AllowJournalledSideFile(kAnswer); }

  std::string Image(const std::string& text) const {
    const std::vector<uint8_t> bytes = Record(kLength, text);
    return std::string(bytes.begin(), bytes.end());
  }
  std::vector<std::string> Images(std::vector<std::string> texts) const {
    std::vector<std::string> images;
    for (const std::string& text : texts) images.push_back(Image(text));
    std::sort(images.begin(), images.end());
    return images;
  }
  std::vector<std::string> Left() const { return testing_support::LiveRecords("12X.DAT"); }

  // Files A, B and C, then posts: the answer file becomes "after", A becomes A2, D is added, B is
  // deleted. Returns the journal as it stood once the posting's records went to the file; the
  // files are left closed with the whole posting in them.
  std::string PostAndKeepJournal() {
    Create("12X", kLength);
    IsamFileBlock fb = Open("12X");
    const IsamRecRef a = Add(fb, "A");
    const IsamRecRef b = Add(fb, "B");
    Add(fb, "C");
    std::string journal;
    {
      PostingScope posting("test posting");
      std::ofstream(kAnswer) << "before";
      EXPECT_TRUE(JournalSideFile(kAnswer));
      std::ofstream(kAnswer) << "after";
      const std::vector<uint8_t> changed = Record(kLength, "A2");
      IsamPutRec(fb, a, changed.data(), changed.size());
      Add(fb, "D");
      IsamDeleteRec(fb, b);
      EXPECT_TRUE(FlushPostingWrites());
      journal = ReadFile(kJournal);
      posting.Commit();
    }
    EXPECT_EQ(ReadFile(kJournal).substr(0, 8), std::string(8, '\0'));  // committed: nothing to undo
    Close(fb);
    ClosePostingJournal();
    EXPECT_FALSE(fs::exists(kJournal));
    return journal;
  }

  static std::vector<size_t> EntryStarts(const std::string& journal) {
    std::vector<size_t> starts;
    for (size_t at = kJournalHeaderSize; at + 4 <= journal.size();) {
      const auto length =
          static_cast<uint32_t>(IsamLoadInt32(reinterpret_cast<const uint8_t*>(journal.data() + at)));
      if (length == 0) break;
      starts.push_back(at);
      at += length;
    }
    return starts;
  }
  static uint64_t NonceOf(const std::string& journal) {
    const auto* raw = reinterpret_cast<const uint8_t*>(journal.data());
    return static_cast<uint32_t>(IsamLoadInt32(raw + 64)) |
           (uint64_t{static_cast<uint32_t>(IsamLoadInt32(raw + 68))} << 32);
  }
  // The journal's entries up to `keep`, then one made-up entry, sealed as the writer seals them.
  static std::string WithEntry(const std::string& journal, size_t keep, const JournalChange& change) {
    std::string out = journal.substr(0, keep);
    AppendJournalEntry(change, NonceOf(journal), out);
    return out;
  }
  static void Zero(std::string& journal, size_t from, size_t to) {
    std::fill(journal.begin() + static_cast<std::ptrdiff_t>(from),
              journal.begin() + static_cast<std::ptrdiff_t>(to), '\0');
  }
};

struct JournalCase {
  const char* Name;
  std::function<void(std::string&, const std::vector<size_t>&)> Damage;
  std::vector<std::string> Left;  // the records afterwards
  enum { Nothing, Undone, SetAside } Told;
};

const char kUndone[] = "The last posting (test posting) was interrupted and has been undone.";
const char kRefused[] =
    "The posting journal 12JNL.DAT does not belong to the files of company 12.  Nothing was undone; the "
    "journal was kept as 12JNL-1.BAD.";

TEST_F(PostingJournalTest, AJournalLeftBehindIsUndoneOnceOrSetAsideWhole) {
  const std::string other(kLength + 1, 'x');
  const std::string image(kLength, 'x');
  // clang-format off
  const std::vector<JournalCase> cases = {
      {"whole", [](std::string&, const auto&) {}, {"A", "B", "C"}, JournalCase::Undone},
      {"last entry's length never written", [](std::string& j, const auto& at) { Zero(j, at[3], at[3] + 4); },
       {"A", "C"}, JournalCase::Undone},
      {"last entry undone before a second crash", [](std::string& j, const auto& at) { j[at[3] + 5] = 1; },
       {"A", "C"}, JournalCase::Undone},
      {"header only", [](std::string& j, const auto&) { j.resize(kJournalHeaderSize); },
       {"A2", "C", "D"}, JournalCase::Nothing},
      {"emptied by the posting's end", [](std::string& j, const auto&) { Zero(j, 0, 8); },
       {"A2", "C", "D"}, JournalCase::Nothing},
      {"another company's", [](std::string& j, const auto&) { j[9] = '3'; },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"a byte of the header flipped", [](std::string& j, const auto&) { j[30] ^= 0x20; },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"a record entry damaged before the last", [](std::string& j, const auto& at) { j[at[1] + 30] ^= 0x55; },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names a file of another record length", [&](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SlotImage, "12X.DAT", 1, kLength + 1, other}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names the journal itself", [](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SlotAdded, "12JNL.DAT", 1, kLength, {}}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names a data file as a side file", [](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SideFileImage, "12X.DAT", 0, 0, "x"}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names a file outside the folder", [](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SlotAdded, "../12X.DAT", 1, kLength, {}}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names a record past the file's end", [&](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SlotImage, "12X.DAT", 99, kLength, image}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names a data file in another spelling beside it", [](std::string& j, const auto& at) {
         std::filesystem::copy_file("12X.DAT", "12x.dat");
         j = WithEntry(j, at[1], {JournalKind::SlotAdded, "12x.dat", 1, kLength, {}}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
  };
  // clang-format on
  const std::string journal = PostAndKeepJournal();
  const std::vector<size_t> starts = EntryStarts(journal);
  ASSERT_EQ(starts.size(), 4u);
  const std::string data = ReadFile("12X.DAT");
  for (const JournalCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::ofstream("12X.DAT", std::ios::binary | std::ios::trunc) << data;
    std::string damaged = journal;
    c.Damage(damaged, starts);
    std::ofstream(kJournal, std::ios::binary | std::ios::trunc) << damaged;
    std::ofstream(kAnswer) << "after";
    {
      testing_support::UiScript ui;
      if (c.Told == JournalCase::Undone) ui.ExpectMessage(kUndone, "Posting");
      if (c.Told == JournalCase::SetAside) ui.ExpectMessage(kRefused, "Posting");
      UndoPostingJournal("12");
      // Asked again (every file of the company opened asks), nothing more is said or done.
      UndoPostingJournal("12");
      EXPECT_TRUE(ui.Done());
    }
    fs::remove("12x.dat");
    EXPECT_EQ(Left(), Images(c.Left));
    EXPECT_FALSE(fs::exists(kJournal));
    EXPECT_EQ(fs::exists(kAside), c.Told == JournalCase::SetAside);
    if (c.Told == JournalCase::SetAside) {
      EXPECT_EQ(ReadFile(kAside), damaged);  // kept as it was
    }
    // A file the undo changed is left for the repair to rebuild its keys and free chain.
    const bool undid = Images(c.Left) != Images({"A2", "C", "D"});
    EXPECT_EQ(ReadFile("12X.DAT")[20], undid ? 1 : 0);
    EXPECT_EQ(ReadFile(kAnswer), undid ? "before" : "after");
    fs::remove(kAside);
  }
}

// A journal cut anywhere inside its last entry (a crash while its bytes went out) undoes what came
// before that entry, and says so once.
TEST_F(PostingJournalTest, AJournalCutAnywhereInItsLastEntryEndsThere) {
  const std::string journal = PostAndKeepJournal();
  const std::vector<size_t> starts = EntryStarts(journal);
  ASSERT_EQ(starts.size(), 4u);
  const std::string data = ReadFile("12X.DAT");
  const size_t end =
      starts[3] +
      static_cast<uint32_t>(IsamLoadInt32(reinterpret_cast<const uint8_t*>(journal.data() + starts[3])));
  for (size_t cut = starts[3]; cut < end; ++cut) {
    SCOPED_TRACE("cut at byte " + std::to_string(cut));
    std::ofstream(kJournal, std::ios::binary | std::ios::trunc) << journal.substr(0, cut);
    std::ofstream("12X.DAT", std::ios::binary | std::ios::trunc) << data;
    testing_support::UiScript ui;
    ui.ExpectMessage(kUndone, "Posting");
    EXPECT_EQ(UndoPostingJournal("12"), JournalOutcome::Undone);
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(Left(), Images({"A", "C"}));
  }
}

// The journal is never followed through a link, never read whole into memory, and never taken
// from under another program that holds it.
TEST_F(PostingJournalTest, AHostileJournalFileIsNeverFollowedReadWholeOrTakenOver) {
  const std::string journal = PostAndKeepJournal();
  const std::string data = ReadFile("12X.DAT");
  const fs::path outside = dir_.path() / "outside";
  fs::create_directory(outside);
  std::ofstream(outside / "victim") << "keep me";

  // A link: set aside without touching what it points to; no posting writes through one.
  fs::create_symlink(outside / "victim", kJournal);
  {
    testing_support::UiScript ui;
    ui.ExpectMessage(kRefused, "Posting");
    EXPECT_EQ(UndoPostingJournal("12"), JournalOutcome::Refused);
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_TRUE(fs::is_symlink(kAside));
  fs::remove(kAside);
  fs::create_symlink(outside / "dangling", kJournal);
  {
    IsamFileBlock fb = Open("12X");
    const std::vector<uint8_t> added = Record(kLength, "E");
    IsamRecRef ref = 0;
    EXPECT_THROW(RunPosting("test posting", [&] { IsamAddRec(fb, ref, added.data(), added.size()); }),
                 PostingFailed);
    if (IsamIsOpen(fb)) Close(fb);
  }
  EXPECT_FALSE(fs::exists(outside / "dangling"));
  EXPECT_EQ(ReadFile((outside / "victim").string()), "keep me");
  fs::remove(kJournal);
  std::ofstream("12X.DAT", std::ios::binary | std::ios::trunc) << data;

  // A sparse journal of 64 GiB: read entry by entry, it ends at its first zeros.
  {
    std::ofstream(kJournal, std::ios::binary | std::ios::trunc) << journal;
    ASSERT_EQ(::truncate(kJournal, off_t{64} << 30), 0);
    testing_support::UiScript ui;
    ui.ExpectMessage(kUndone, "Posting");
    EXPECT_EQ(UndoPostingJournal("12"), JournalOutcome::Undone);
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(Left(), Images({"A", "B", "C"}));
  }

  // Held by another program: left alone.
  std::ofstream("12X.DAT", std::ios::binary | std::ios::trunc) << data;
  std::ofstream(kJournal, std::ios::binary | std::ios::trunc) << journal;
  platform::files::File held;
  ASSERT_TRUE(held.Open(kJournal, platform::files::OpenMode::ReadWrite));
  {
    testing_support::UiScript ui;
    EXPECT_EQ(UndoPostingJournal("12"), JournalOutcome::InUse);
    EXPECT_TRUE(ui.Done());
  }
  held.Close();
  EXPECT_EQ(ReadFile(kJournal), journal);
}

// A posting that fails half-way in this process, at any write or sync, is undone before the
// failure is reported; the file it changed is given up rather than kept open with half of it.
TEST_F(PostingJournalTest, APostingThatFailsAtAnyWriteOrSyncIsUndoneInTheSameProcess) {
  using platform::files::FaultAction;
  const std::vector<uint8_t> added = Record(kLength, "B");
  const std::vector<uint8_t> changed = Record(kLength, "A2");
  for (const bool syncs : {false, true}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE((syncs ? "sync " : "write ") + std::to_string(n));
      Create("12X", kLength);
      IsamFileBlock fb = Open("12X");
      Add(fb, "A");
      platform::files::FaultPlan plan;
      (syncs ? plan.OnSync : plan.OnWrite) = FaultAction::Fail;
      (syncs ? plan.SyncNumber : plan.WriteNumber) = n;
      plan.Errno = n % 2 ? ENOSPC : EIO;
      platform::files::InstallFaultPlan(plan);
      bool done = false;
      try {
        RunPosting("test posting", [&] {
          IsamRecRef ref = 0;
          IsamAddRec(fb, ref, added.data(), added.size());
          IsamPutRec(fb, 1, changed.data(), changed.size());
        });
        done = true;
      } catch (const PostingFailed& failure) {
        EXPECT_TRUE(failure.Undone());
        EXPECT_NE(std::string(failure.what()).find("Nothing of it was kept."), std::string::npos)
            << failure.what();
      }
      const int counted = syncs ? platform::files::FaultSyncsSoFar() : platform::files::FaultWritesSoFar();
      platform::files::RemoveFaultPlan();
      if (IsamIsOpen(fb)) Close(fb);
      ClosePostingJournal();
      EXPECT_EQ(Left(), done ? Images({"A2", "B"}) : Images({"A"}));
      if (done) {
        EXPECT_GT(n, counted);  // past the posting's last write or sync
        break;
      }
    }
  }
}

}  // namespace
}  // namespace storage::testing
