// The restore over a scratch program directory: our own backup put back over changed files, and
// archives written by Python, hostile ones among them. After any failure every byte under the
// scratch root is as it was.

#include "exchange/restore_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "directory_reads.h"
#include "exchange/backup_files.h"
#include "exchange/restore_mark.h"
#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/text/clock.h"
#include "platform/zip/zip_peer.h"
#include "program_dir_fixture.h"

namespace exchange {
namespace {

namespace fs = std::filesystem;
using testing_support::PeerEntry;
using testing_support::WriteByPython;
using Status = RestoreResult::Status;

// The safety copy of a restore made at the fixed clock, and of a second one in the same second.
const char kSafety[] = "BeforeRestore 2026-12-09 10.15.02";
const char kSecondSafety[] = "BeforeRestore 2026-12-09 10.15.02 (2)";

class RestoreTest : public test_fixtures::ProgramDirTest {
 protected:
  platform::text::FixedClock clock_{QDateTime(QDate(2026, 12, 9), QTime(10, 15, 2))};
  void Archive(const std::vector<PeerEntry>& entries) { ASSERT_TRUE(WriteByPython(UsbArchive(), entries)); }
  // The program directory's part of the tree.
  std::map<std::string, std::string> ProgramFiles() const {
    std::map<std::string, std::string> files;
    for (const auto& [path, bytes] : Tree())
      if (path.rfind("prog/", 0) == 0) files[path.substr(5)] = bytes;
    return files;
  }
};

// The books become the backup's whole: what it replaces, and the data and index files of companies
// that the archive does not hold (a file made after the backup, every file of a company made after
// it), go into the restore's own safety copy; files of kinds the backup does not copy stay. A
// second restore keeps the first one's copy beside its own.
TEST_F(RestoreTest, OurBackupComesBackWholeAndEachRestoreKeepsWhatItTookAway) {
  WriteUsualFiles();
  std::string failure;
  ASSERT_TRUE(WriteBackupArchive(ListBackupFiles(), Usb(), {}, &failure)) << failure;
  const auto backedUp = ProgramFiles();

  Write("1C.DAT", "changed after the backup");
  fs::remove("1P.IX");
  Write("1O.DAT", "a PO file made after the backup");
  Write("2C.DAT", "company 2, made after the backup");
  Write("2C.IX", "its index");
  Write("2C.TXT", "a kind the backup does not copy");
  Write("PV1CONFG.DAT", "no company's file");
  Write("10V.DAT", "company 10's vendors");
  Write("a10pd.ix", "company A10's PO lines index");
  const RestorePreview preview = PreviewRestore(Usb());
  std::vector<std::string> takenAway;
  for (const CompanyTakenAway& company : preview.companiesTakenAway) takenAway.push_back(company.Number);
  EXPECT_EQ(takenAway, (std::vector<std::string>{"2", "10", "A10"}));
  EXPECT_TRUE(preview.dropped.empty());
  RestoreResult result = RestoreDataFiles(Usb());
  ASSERT_EQ(result.status, Status::Restored) << result.failure;
  EXPECT_EQ(result.restored.size(), BackedUpNames().size());
  EXPECT_TRUE(result.skipped.empty());
  EXPECT_EQ(result.safetyFolder, kSafety);

  auto expected = backedUp;
  expected["2C.TXT"] = "a kind the backup does not copy";
  expected["PV1CONFG.DAT"] = "no company's file";
  const std::string safety = std::string(kSafety) + "/";
  expected[kSafety] = "<folder>";
  for (const std::string& name : BackedUpNames())
    if (name != "1P.IX")
      expected[safety + name] = name == "1C.DAT" ? "changed after the backup" : backedUp.at(name);
  expected[safety + "1O.DAT"] = "a PO file made after the backup";
  expected[safety + "2C.DAT"] = "company 2, made after the backup";
  expected[safety + "2C.IX"] = "its index";
  expected[safety + "10V.DAT"] = "company 10's vendors";
  expected[safety + "a10pd.ix"] = "company A10's PO lines index";
  EXPECT_EQ(ProgramFiles(), expected);

  // The next restore keeps what it replaced in a folder of its own; the first one's stays.
  Write("1C.DAT", "changed again");
  result = RestoreDataFiles(Usb());
  ASSERT_EQ(result.status, Status::Restored);
  EXPECT_EQ(result.safetyFolder, kSecondSafety);
  EXPECT_EQ(Read(std::string(kSecondSafety) + "/1C.DAT"), "changed again");
  EXPECT_EQ(Read(safety + "1C.DAT"), "changed after the backup");
  EXPECT_EQ(Read(safety + "2C.DAT"), "company 2, made after the backup");
  EXPECT_EQ(Read("1C.DAT"), backedUp.at("1C.DAT"));
}

TEST_F(RestoreTest, OnlyPlainFileNamesAreRestoredAndTheRestAreReported) {
  Write("1C.DAT", "live");
  Write("1c.ix", "live index");
  Archive({{"../x", "outside"},
           {"/abs", "absolute"},
           {"sub/x", "in a folder"},
           {"sub/", "", "dir"},
           {"LINK.DAT", "/etc/passwd", "link"},
           {"..\\y", "outside"},
           {"C:z.DAT", "on a drive"},
           {".profile", "hidden"},
           {"1C.DAT", "restored"},
           {"1C.IX", "restored index"},
           {"1c.dat", "the same name again"}});
  RestoreResult result = RestoreDataFiles(Usb());
  ASSERT_EQ(result.status, Status::Restored) << result.failure;
  EXPECT_EQ(result.restored, (std::vector<std::string>{"1C.DAT", "1c.ix"}));
  EXPECT_EQ(result.skipped,
            (std::vector<std::string>{"../x (not a plain file name)", "/abs (not a plain file name)",
                                      "sub/x (not a plain file name)", "sub/ (a folder)", "LINK.DAT (a link)",
                                      "..\\y (not a plain file name)", "C:z.DAT (not a plain file name)",
                                      ".profile (not a plain file name)",
                                      "1c.dat (a second entry of the same name)"}));
  auto tree = Tree();
  tree.erase("usb/OVBackup.zip");
  EXPECT_EQ(tree,
            (std::map<std::string, std::string>{{"prog", "<folder>"},
                                                {"usb", "<folder>"},
                                                {"prog/1C.DAT", "restored"},
                                                {"prog/1c.ix", "restored index"},
                                                {std::string("prog/") + kSafety, "<folder>"},
                                                {std::string("prog/") + kSafety + "/1C.DAT", "live"},
                                                {std::string("prog/") + kSafety + "/1C.IX", "live index"}}));
  EXPECT_FALSE(fs::exists("/abs"));
}

// The program directory is read a few times for the whole restore, not once for each entry: half
// the entries replace files named in other letters, half are new.
TEST_F(RestoreTest, TheDirectoryIsReadAFewTimesNotOnceAnEntry) {
  constexpr int Entries = 300;
  std::vector<PeerEntry> entries;
  for (int i = 0; i < Entries; ++i) {
    const std::string number = std::to_string(i);
    entries.push_back({"F" + number + ".DAT", "restored " + number});
    if (i % 2 == 0) Write("f" + number + ".dat", "live " + number);
  }
  Archive(entries);
  const long before = test_fixtures::DirectoryEntriesRead();
  RestoreResult result = RestoreDataFiles(Usb());
  const long read = test_fixtures::DirectoryEntriesRead() - before;
  ASSERT_EQ(result.status, Status::Restored) << result.failure;
  EXPECT_EQ(result.restored.size(), static_cast<size_t>(Entries));
  EXPECT_EQ(Read("f8.dat"), "restored 8");
  EXPECT_EQ(Read("F9.DAT"), "restored 9");
  EXPECT_EQ(Read(std::string(kSafety) + "/F8.DAT"), "live 8");
  EXPECT_FALSE(fs::exists("F8.DAT"));  // the live file keeps its spelling
  EXPECT_LE(read, 3 * Entries) << "directory entries read";
}

// Entries that declare 4 GiB each, 32 TiB in all, but hold a byte.
std::vector<PeerEntry> ManyHugeEntries() {
  std::vector<PeerEntry> entries;
  for (int i = 0; i < 8000; ++i)
    entries.push_back({"F" + std::to_string(i) + ".DAT", "x", "file", false, 0xFFFFFFF0});
  return entries;
}

TEST_F(RestoreTest, AFailureChangesNothing) {
  WriteUsualFiles();
  fs::create_directory("Backup");
  Write("Backup/1C.DAT", "a copy");
  struct Case {
    const char* what;
    std::vector<PeerEntry> entries;
    const char* heldFile;  // held open by another program, or null
    const char* failure;   // a part of the reason given
  };
  const std::vector<Case> cases = {
      {"a damaged entry",
       {{"1C.DAT", "good"}, {"1P.DAT", std::string(5000, 'p'), "file", true}},
       nullptr,
       "1P.DAT"},
      {"a live file in use",
       {{"1C.DAT", "good"}, {"1P.DAT", "good"}},
       "1P.DAT",
       "1P.DAT: in use by another program."},
      {"an entry named as the safety folder",
       {{"1C.DAT", "good"}, {"beforeRESTORE", "x"}},
       nullptr,
       "\"beforeRESTORE\""},
      {"an entry named as a safety copy",
       {{"1C.DAT", "good"}, {"BeforeRestore 2026-01-02 03.04.05", "x"}},
       nullptr,
       "\"BeforeRestore 2026-01-02 03.04.05\""},
      {"a folder in the place of the restore's mark",
       {{"1C.DAT", "good"}},
       nullptr,
       "Remove the folder .restore-mark and start the program again."},
      {"an entry inflating past its declared size",
       {{"1C.DAT", "good"}, {"1P.DAT", std::string(1 << 20, 'p'), "file", false, 1000}},
       nullptr,
       "1P.DAT: "},
      {"declared sizes beyond any disk", ManyHugeEntries(), nullptr, "not enough free disk space"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Archive(c.entries);
    std::error_code none;
    fs::remove(RestoreMarkName, none);
    if (std::string(c.what).starts_with("a folder")) fs::create_directory(RestoreMarkName);
    const auto before = Tree();
    platform::files::File held;
    if (c.heldFile) {
      ASSERT_TRUE(held.Open(c.heldFile, platform::files::OpenMode::ReadWrite));
    }
    RestoreResult result = RestoreDataFiles(Usb());
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_TRUE(result.liveUnchanged);
    EXPECT_NE(result.failure.find(c.failure), std::string::npos) << result.failure;
    EXPECT_EQ(Tree(), before);
  }

  // What is no archive at all.
  Write(UsbArchive(), "not an archive");
  const auto before = Tree();
  RestoreResult result = RestoreDataFiles(Usb());
  EXPECT_EQ(result.status, Status::Failed);
  EXPECT_FALSE(result.failure.empty());
  EXPECT_EQ(Tree(), before);
  fs::remove(UsbArchive());
  EXPECT_EQ(RestoreDataFiles(Usb()).status, Status::NoArchive);
}

// Every write and every sync of a restore failing in turn, with the system's reason: the restore
// says that reason and the file's name, and every byte under the root is as it was, the journal left by a posting of
// the company among them (the restore retires it before it places a file, and puts it back). The
// first restore that meets no failure stands, and the journal went with it.
TEST_F(RestoreTest, AWriteOrSyncFailingAnywhereChangesNothingAndSaysWhy) {
  WriteUsualFiles();
  std::string failure;
  ASSERT_TRUE(WriteBackupArchive(ListBackupFiles(), Usb(), {}, &failure)) << failure;
  const auto backedUp = ProgramFiles();
  for (const bool syncs : {false, true}) {
    SCOPED_TRACE(syncs ? "a sync failing" : "a write failing");
    Write("1C.DAT", "changed after the backup");
    Write("1JNL.DAT", "the journal of a posting of company 1");
    fs::remove_all(kSafety);
    const auto before = Tree();
    int failed = 0;
    for (int n = 1;; ++n) {
      SCOPED_TRACE(n);
      platform::files::FaultPlan plan;
      (syncs ? plan.OnSync : plan.OnWrite) = platform::files::FaultAction::Fail;
      (syncs ? plan.SyncNumber : plan.WriteNumber) = n;
      plan.Errno = EIO;
      platform::files::InstallFaultPlan(plan);
      RestoreResult result = RestoreDataFiles(Usb());
      platform::files::RemoveFaultPlan();
      if (result.status == Status::Restored) break;
      ++failed;
      EXPECT_EQ(result.status, Status::Failed);
      EXPECT_TRUE(result.liveUnchanged);
      EXPECT_NE(result.failure.find("Input/output error"), std::string::npos) << result.failure;
      // A file is named as the user knows it, never by its place in the restore's work folder.
      EXPECT_EQ(result.failure.find("/new/"), std::string::npos) << result.failure;
      ASSERT_EQ(Tree(), before);
    }
    EXPECT_GT(failed, syncs ? 5 : 2 * static_cast<int>(BackedUpNames().size()));
    EXPECT_EQ(Read("1C.DAT"), backedUp.at("1C.DAT"));
    EXPECT_EQ(Read(std::string(kSafety) + "/1C.DAT"), "changed after the backup");
    EXPECT_FALSE(fs::exists("1JNL.DAT"));
  }
}

TEST_F(RestoreTest, AnEmptyArchiveRestoresNothingAndSaysSo) {
  WriteUsualFiles();
  Archive({});
  const auto before = Tree();
  RestoreResult result = RestoreDataFiles(Usb());
  EXPECT_EQ(result.status, Status::Restored);
  EXPECT_TRUE(result.restored.empty());
  EXPECT_EQ(Tree(), before);
}

}  // namespace
}  // namespace exchange
