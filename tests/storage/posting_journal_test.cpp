// The journal file itself, as a crash leaves it and as damage or a stranger's hand may leave it: a
// posting rewrites a side file, changes one record, adds one and deletes one, and its journal is
// then found beside the files in different states. Each state must end with the records the
// table expects, read from the data file's bytes alone, and the user told at most once.

#include "storage/posting_journal.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "message_log.h"
#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
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
const char kUndone[] = "Test posting was interrupted and has been undone.";
const char kOnFile[] = "Test posting was completed and is on file.";
const char kRefused[] =
    "The posting journal 12JNL.DAT does not belong to the files of company 12.  Nothing was undone; the "
    "journal was kept as 12JNL-1.BAD.";
const char kKept[] =
    "Test posting was interrupted and could not be undone: its journal 12JNL.DAT is damaged.  Nothing was "
    "undone and the journal was kept as it is; while it is there, company 12 posts nothing and none of its "
    "records can be changed.  Restore the last backup of company 12.";

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
  static void Zero(std::string& journal, size_t from, size_t to) {
    std::fill(journal.begin() + static_cast<std::ptrdiff_t>(from),
              journal.begin() + static_cast<std::ptrdiff_t>(to), '\0');
  }
  // Where the header says the journal is synced up to.
  static size_t SyncedEndOf(const std::string& journal) {
    const auto* raw = reinterpret_cast<const uint8_t*>(journal.data());
    return static_cast<uint32_t>(IsamLoadInt32(raw + 72));
  }
  // The journal with its header saying that it is synced up to `end`.
  static std::string WithSyncedEnd(std::string journal, uint64_t end) {
    journal.replace(0, kJournalHeaderSize,
                    EncodeJournalHeader({"12", "test posting", NonceOf(journal), end}));
    return journal;
  }
  // The journal's entries up to `keep`, then one made-up entry, sealed and synced as the writer
  // seals and syncs them.
  static std::string WithEntry(const std::string& journal, size_t keep, const JournalChange& change) {
    std::string out = journal.substr(0, keep);
    AppendJournalEntry(change, NonceOf(journal), out);
    return WithSyncedEnd(out, out.size());
  }
  // A journal kept as damaged waits, and is told once, until the next start: here it is removed
  // and the program started again.
  static void ForgetJournal() {
    fs::remove(kJournal);
    ForgetWaitingJournals();
    ForgetJournalsFound();
    testing_support::UiScript ui;
    EXPECT_EQ(UndoPostingJournal("12"), JournalOutcome::None);
    EXPECT_TRUE(ui.Done());
  }
  // A journal damaged in what was synced, over the files the posting left (data): the start says
  // so once, undoes nothing, not even the side file, and keeps the journal byte for byte.
  void ExpectKeptAsItIs(const std::string& damaged, const std::string& data) {
    std::ofstream(kJournal, std::ios::binary | std::ios::trunc) << damaged;
    std::ofstream("12X.DAT", std::ios::binary | std::ios::trunc) << data;
    std::ofstream(kAnswer) << "after";
    testing_support::UiScript ui;
    ui.ExpectMessage(kKept, "Posting");
    EXPECT_EQ(UndoPostingJournal("12"), JournalOutcome::Damaged);
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(Left(), Images({"A2", "C", "D"}));
    EXPECT_EQ(ReadFile(kAnswer), "after");
    EXPECT_TRUE(ReadFile(kJournal) == damaged);
    ForgetJournal();
  }
};

// Runs work in a child process and returns its result, or -1 when it did not end within the
// seconds given (it is then ended).
int InChildWithin(int seconds, const std::function<int()>& work) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(work());
  for (int waited = 0; waited < seconds * 100; ++waited) {
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::usleep(10000);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  return -1;
}

struct JournalCase {
  const char* Name;
  std::function<void(std::string&, const std::vector<size_t>&)> Damage;
  std::vector<std::string> Left;  // the records afterwards
  enum { Nothing, Undone, SetAside, Kept, OnFile } Told;
  const char* Answer = "after";  // the side file afterwards
};

// The journal as PostAndKeepJournal returns it was synced whole before any record was written:
// its header's synced end lies past its last entry. The cases below move that end where a stop
// in the middle of writing a later part would have left it.
TEST_F(PostingJournalTest, AJournalLeftBehindIsUndoneOnceOrSetAsideWhole) {
  const std::string other(kLength + 1, 'x');
  const std::string image(kLength, 'x');
  const std::string shortImage(kLength - 1, 'x');
  // clang-format off
  const std::vector<JournalCase> cases = {
      {"whole", [](std::string&, const auto&) {}, {"A", "B", "C"}, JournalCase::Undone, "before"},
      {"the last part cut before its entry's length was written", [](std::string& j, const auto& at) {
         j = WithSyncedEnd(j, at[3]); Zero(j, at[3], at[3] + 4); },
       {"A", "C"}, JournalCase::Undone, "before"},
      {"the last part torn in the middle, whole entries after the hole", [](std::string& j, const auto& at) {
         j = WithSyncedEnd(j, at[2]); j[at[2] + 8] ^= 0x55; },
       {"A", "C", "D"}, JournalCase::Undone, "before"},
      {"a synced entry's length never written", [](std::string& j, const auto& at) { Zero(j, at[3], at[3] + 4); },
       {"A2", "C", "D"}, JournalCase::Kept},
      {"a synced entry's byte 5 set (once the undone mark)", [](std::string& j, const auto& at) { j[at[3] + 5] = 1; },
       {"A2", "C", "D"}, JournalCase::Kept},
      {"a synced entry damaged before the last", [](std::string& j, const auto& at) { j[at[1] + 30] ^= 0x55; },
       {"A2", "C", "D"}, JournalCase::Kept},
      {"header only, nothing synced yet", [](std::string& j, const auto&) {
         j = WithSyncedEnd(j, 0); j.resize(kJournalHeaderSize); },
       {"A2", "C", "D"}, JournalCase::Nothing},
      {"header only, claiming synced entries", [](std::string& j, const auto&) { j.resize(kJournalHeaderSize); },
       {"A2", "C", "D"}, JournalCase::Kept},
      {"emptied by the posting's end", [](std::string& j, const auto&) { Zero(j, 0, kJournalHeaderSize); },
       {"A2", "C", "D"}, JournalCase::Nothing},
      {"committed, the stop before it was reported done", [](std::string& j, const auto&) { Zero(j, 0, 8); },
       {"A2", "C", "D"}, JournalCase::OnFile},
      {"committed, another company's", [](std::string& j, const auto&) { Zero(j, 0, 8); j[9] = '3'; },
       {"A2", "C", "D"}, JournalCase::Nothing},
      {"says it created a file it changed before", [](std::string& j, const auto& at) {
         j = WithEntry(j, at[2], {JournalKind::DataFileCreated, "12X.DAT", 0, kLength, {}}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"another company's", [](std::string& j, const auto&) { j[9] = '3'; },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"a byte of the header flipped", [](std::string& j, const auto&) { j[30] ^= 0x20; },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names a file of another record length", [&](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SlotImage, "12X.DAT", 1, kLength + 1, other}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"an image that does not fit its record", [&](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SlotImage, "12X.DAT", 1, kLength, shortImage}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"an added slot with an image", [&](std::string& j, const auto& at) {
         j = WithEntry(j, at[1], {JournalKind::SlotAdded, "12X.DAT", 1, kLength, image}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names another company's data file", [](std::string& j, const auto& at) {
         std::filesystem::copy_file("12X.DAT", "13X.DAT");
         j = WithEntry(j, at[1], {JournalKind::SlotAdded, "13X.DAT", 1, kLength, {}}); },
       {"A2", "C", "D"}, JournalCase::SetAside},
      {"names a company whose number starts the same", [](std::string& j, const auto& at) {
         std::filesystem::copy_file("12X.DAT", "123X.DAT");
         j = WithEntry(j, at[1], {JournalKind::SlotAdded, "123X.DAT", 1, kLength, {}}); },
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
      {"names a FIFO as a data file", [](std::string& j, const auto& at) {
         ASSERT_EQ(::mkfifo("12F.DAT", 0644), 0);
         j = WithEntry(j, at[1], {JournalKind::SlotAdded, "12F.DAT", 1, kLength, {}}); },
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
      if (c.Told == JournalCase::Kept) ui.ExpectMessage(kKept, "Posting");
      if (c.Told == JournalCase::OnFile) ui.ExpectMessage(kOnFile, "Posting");
      UndoPostingJournal("12");
      // Asked again (every file of the company opened asks), nothing more is said or done.
      UndoPostingJournal("12");
      EXPECT_TRUE(ui.Done());
    }
    for (const char* made : {"12x.dat", "13X.DAT", "123X.DAT", "12F.DAT"}) fs::remove(made);
    EXPECT_EQ(Left(), Images(c.Left));
    EXPECT_EQ(fs::exists(kJournal), c.Told == JournalCase::Kept);
    if (c.Told == JournalCase::Kept) {
      EXPECT_TRUE(ReadFile(kJournal) == damaged);  // kept as it was
    }
    EXPECT_EQ(fs::exists(kAside), c.Told == JournalCase::SetAside);
    if (c.Told == JournalCase::SetAside) {
      EXPECT_TRUE(ReadFile(kAside) == damaged);  // kept as it was
    }
    // A file the undo changed is left for the repair to rebuild its keys and free chain.
    const bool undid = Images(c.Left) != Images({"A2", "C", "D"});
    EXPECT_EQ(ReadFile("12X.DAT")[20], undid ? 1 : 0);
    EXPECT_EQ(ReadFile(kAnswer), c.Answer);
    fs::remove(kAside);
    ForgetJournal();
  }
}

// A journal cut anywhere inside its last part (a stop while those bytes went out, before their
// sync) undoes what came before the cut, and says so once. Cut anywhere in what was synced, it is
// damaged: nothing is undone, the user is told so, and the journal stays as it is.
TEST_F(PostingJournalTest, AJournalCutInItsLastPartEndsThereAndCutInWhatWasSyncedIsKept) {
  const std::string journal = PostAndKeepJournal();
  const std::vector<size_t> starts = EntryStarts(journal);
  ASSERT_EQ(starts.size(), 4u);
  const std::string data = ReadFile("12X.DAT");
  const size_t end = SyncedEndOf(journal);
  ASSERT_GT(end, starts[3]);
  const std::string lastPartUnsynced = WithSyncedEnd(journal, starts[3]);
  for (size_t cut = starts[3]; cut < end; ++cut) {
    SCOPED_TRACE("last part cut at byte " + std::to_string(cut));
    std::ofstream(kJournal, std::ios::binary | std::ios::trunc) << lastPartUnsynced.substr(0, cut);
    std::ofstream("12X.DAT", std::ios::binary | std::ios::trunc) << data;
    testing_support::UiScript ui;
    ui.ExpectMessage(kUndone, "Posting");
    EXPECT_EQ(UndoPostingJournal("12"), JournalOutcome::Undone);
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(Left(), Images({"A", "C"}));
  }
  for (size_t cut = kJournalHeaderSize; cut < end; ++cut) {
    SCOPED_TRACE("synced journal cut at byte " + std::to_string(cut));
    ExpectKeptAsItIs(journal.substr(0, cut), data);
  }
}

// One bit flipped anywhere in what was synced, an entry's length included, is damage: it never
// ends the journal in silence, nor undoes part of it.
TEST_F(PostingJournalTest, ABitFlippedAnywhereInWhatWasSyncedIsToldAndTheJournalKept) {
  const std::string journal = PostAndKeepJournal();
  const std::string data = ReadFile("12X.DAT");
  for (size_t at = kJournalHeaderSize; at < SyncedEndOf(journal); ++at) {
    SCOPED_TRACE("bit " + std::to_string(at % 8) + " of byte " + std::to_string(at));
    std::string flipped = journal;
    flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
    ExpectKeptAsItIs(flipped, data);
  }
}

// One journal per company: found in two spellings, it is undone in neither (which of them the
// posting wrote is not known), both are set aside, and the user is told once. A spelling with
// nothing to undo beside it is no second journal.
TEST_F(PostingJournalTest, AJournalInTwoSpellingsIsNeverUndoneTwice) {
  const std::string journal = PostAndKeepJournal();
  const std::string data = ReadFile("12X.DAT");
  std::ofstream(kJournal, std::ios::binary) << journal;
  std::ofstream("12jnl.dat", std::ios::binary) << journal;
  {
    testing_support::UiScript ui;
    ui.ExpectMessage(
        "Company 12 has more than one posting journal.  Nothing was undone; they were kept as 12JNL-1.BAD, "
        "12JNL-2.BAD.",
        "Posting");
    UndoLeftPostingJournals();
    UndoPostingJournal("12");
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_EQ(Left(), Images({"A2", "C", "D"}));
  EXPECT_FALSE(fs::exists(kJournal));
  EXPECT_FALSE(fs::exists("12jnl.dat"));
  EXPECT_TRUE(ReadFile("12JNL-1.BAD") == journal);
  EXPECT_TRUE(ReadFile("12JNL-2.BAD") == journal);
  fs::remove("12JNL-1.BAD");
  fs::remove("12JNL-2.BAD");

  std::string emptied = journal;
  Zero(emptied, 0, kJournalMarkSize);
  std::ofstream(kJournal, std::ios::binary) << emptied;
  std::ofstream("12jnl.dat", std::ios::binary) << journal;
  {
    testing_support::UiScript ui;
    ui.ExpectMessage(kUndone, "Posting");
    UndoLeftPostingJournals();
    UndoPostingJournal("12");
    EXPECT_TRUE(ui.Done());
  }
  EXPECT_EQ(Left(), Images({"A", "B", "C"}));
  EXPECT_FALSE(fs::exists(kJournal));
  EXPECT_FALSE(fs::exists("12jnl.dat"));
}

// No open at the start can block: a FIFO named as the journal, or as a company's deletion mark,
// is set aside with a message instead of opened. Run in a child that a hang would not outlive.
TEST_F(PostingJournalTest, AFifoNamedAsTheJournalOrADeletionMarkNeverBlocksTheStart) {
  ASSERT_EQ(::mkfifo(kJournal, 0644), 0);
  EXPECT_EQ(InChildWithin(20,
                          [] {
                            MessageLog log;
                            UndoLeftPostingJournals();
                            UndoPostingJournal("12");
                            return log.Told == std::vector<std::string>{kRefused} ? 0 : 1;
                          }),
            0);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(kAside)));
  EXPECT_FALSE(fs::exists(fs::symlink_status(kJournal)));

  // A deletion mark: the company list is there to be read, so that the mark would be acted on.
  records::InstallCompanyFileNames();
  ASSERT_TRUE(records::CreateCompanyFile());
  ASSERT_EQ(::mkfifo("5.DEL", 0644), 0);
  EXPECT_EQ(InChildWithin(20,
                          [] {
                            MessageLog log;
                            records::FinishCompanyDeletions();
                            (void)records::FinishCompanyDeletion("5");
                            return log.Told ==
                                           std::vector<std::string>{
                                               "The file 5.DEL is not a mark of a company deletion (it "
                                               "is not a plain file).  Nothing was deleted for it; it "
                                               "was kept as 5DEL-1.BAD."}
                                       ? 0
                                       : 1;
                          }),
            0);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("5DEL-1.BAD")));
  EXPECT_FALSE(fs::exists(fs::symlink_status("5.DEL")));
  storage::CurrentCompanyNumber = [] { return std::string("12"); };
  storage::AfterPostingUndone = nullptr;
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
        // The system's own reason is in the message ("A data file could not be written: 12X.DAT:
        // No space left on device").
        EXPECT_NE(std::string(failure.what()).find(std::strerror(plan.Errno)), std::string::npos)
            << failure.what();
      }
      const int counted = syncs ? platform::files::FaultSyncsSoFar() : platform::files::FaultWritesSoFar();
      platform::files::RemoveFaultPlan();
      if (IsamIsOpen(fb)) Close(fb);
      ClosePostingJournal();
      EXPECT_EQ(Left(), done ? Images({"A2", "B"}) : Images({"A"}));
      if (done) {
        // Past the posting's last write or sync; but the last write, the header wiped once the
        // posting is reported done, fails unheard: a start then says that the posting is on file.
        EXPECT_GT(n + (syncs ? 0 : 1), counted);
        break;
      }
    }
  }
}

// What is synced is let go: a posting that changes far more than 8 MiB of records holds no more
// than about that much of its journal and records in memory at any time.
TEST_F(PostingJournalTest, ABulkPostingHoldsNoMoreThanItsWriteOutThresholdInMemory) {
  constexpr int32_t kBig = 1000;
  constexpr int kRecords = 25000;  // 25 MB of images, as much again of changed records
  Create("12B", kBig);
  IsamFileBlock fb = Open("12B");
  for (int i = 0; i < kRecords; ++i) Add(fb, "R" + std::to_string(i));
  size_t most = 0;
  RunPosting("test posting", [&] {
    for (IsamRecRef ref = 1; ref <= kRecords; ++ref) {
      const std::vector<uint8_t> changed = Record(kBig, "S" + std::to_string(ref));
      IsamPutRec(fb, ref, changed.data(), changed.size());
      ASSERT_TRUE(IsamOK) << IsamError;
      most = std::max(most, PostingBytesHeld());
    }
  });
  EXPECT_GT(most, size_t{4} << 20);
  EXPECT_LE(most, size_t{12} << 20);
  EXPECT_LE(PostingBytesHeld(), size_t{1} << 20);  // after the posting: what a small one keeps
  Close(fb);
  ClosePostingJournal();
  const std::vector<std::string> left = testing_support::LiveRecords("12B.DAT");
  ASSERT_EQ(left.size(), static_cast<size_t>(kRecords));
  for (const std::string& record : left) EXPECT_EQ(record[4], 'S');
}

}  // namespace
}  // namespace storage::testing
