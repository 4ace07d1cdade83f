// The backup procedures over a scratch program directory: which files go, the archive as
// Python's zipfile reads it, an old archive kept through a failure, a power cut or a posting
// that waits, and the Backup folder.

#include "exchange/backup_files.h"

#include <gtest/gtest.h>

#include <strings.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>

#include "companies/kill_sweep.h"
#include "directory_reads.h"
#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/zip/zip_peer.h"
#include "program_dir_fixture.h"
#include "storage/posting_journal.h"
#include "support/resource_limit.h"

namespace exchange {
namespace {

namespace fs = std::filesystem;
using platform::files::FaultAction;
using platform::files::FaultPlan;
using testing_support::ReadByPython;

class BackupTest : public test_fixtures::ProgramDirTest {
 protected:
  bool Backup(std::string* failure) { return WriteBackupArchive(ListBackupFiles(), Usb(), {}, failure); }

  // The backup as the window makes it: the archive, then the data files' copies in the Backup
  // folder; whether both were made, every copy counted.
  bool BackupWithCopies() {
    std::string failure;
    return Backup(&failure) && CopyToBackupFolder(ListBackupFiles()).copied == 8;
  }

  // The drive folder holding the old archive alone, and no Backup folder: how the sweeps start.
  void PutOldArchiveBack(const std::string& oldArchive) {
    fs::remove_all(Usb());
    fs::create_directory(Usb());
    Write(UsbArchive(), oldArchive);
    fs::remove_all("Backup");
  }

  // A first archive, then a data file changed: the old archive's bytes, and the new one's as a
  // backup without a fault makes it (read by Python) with how many writes and syncs it takes.
  struct TwoArchives {
    std::string Old, New;
    int Writes = 0, Syncs = 0;
  };
  TwoArchives OldAndNewArchive(const std::function<bool()>& backup) {
    WriteUsualFiles();
    std::string failure;
    EXPECT_TRUE(Backup(&failure)) << failure;
    TwoArchives archives;
    archives.Old = Read(UsbArchive());
    Write("1C.DAT", "changed since the last backup");
    PutOldArchiveBack(archives.Old);
    platform::files::InstallFaultPlan({});
    EXPECT_TRUE(backup());
    archives.Writes = platform::files::FaultWritesSoFar();
    archives.Syncs = platform::files::FaultSyncsSoFar();
    platform::files::RemoveFaultPlan();
    archives.New = Read(UsbArchive());
    std::map<std::string, std::string> expected;
    for (const std::string& name : BackedUpNames()) expected[name] = Read(name);
    EXPECT_EQ(ArchiveByPython(), expected);
    PutOldArchiveBack(archives.Old);
    return archives;
  }

  // The copies in the Backup folder, each checked against the file it copies; how many there are.
  int WholeCopies() {
    int copies = 0;
    if (!fs::exists("Backup")) return 0;
    for (const auto& entry : fs::directory_iterator("Backup")) {
      EXPECT_EQ(Read(entry.path().string()), Read(entry.path().filename().string())) << entry.path();
      ++copies;
    }
    return copies;
  }

  // What Python finds in the archive: name -> bytes, each entry deflated, testzip clean.
  std::map<std::string, std::string> ArchiveByPython() {
    QJsonObject read = ReadByPython(UsbArchive());
    EXPECT_TRUE(read["testzip"].isNull());
    std::map<std::string, std::string> entries;
    for (const QJsonValue& value : read["entries"].toArray()) {
      QJsonObject entry = value.toObject();
      EXPECT_EQ(entry["compress_type"].toInt(), 8);
      entries[entry["name"].toString().toStdString()] = entry["data"].toString().toLatin1().toStdString();
    }
    return entries;
  }
};

TEST_F(BackupTest, TheMaskTakesDataAndSideFilesOfEitherCaseAndNothingElse) {
  WriteUsualFiles();
  Write(".hidden.DAT", "hidden");
  Write("OVBackup.zip", "an archive kept here");
  Write("1C.DAT.tmp~", "a half-written file");
  fs::create_directory("Folder.DAT");
  fs::create_symlink("/etc/hostname", "Link.txt");
  EXPECT_EQ(ListBackupFiles(), BackedUpNames());
}

TEST_F(BackupTest, PythonReadsEveryListedFileAndASecondBackupReplacesTheFirst) {
  WriteUsualFiles();
  std::string failure;
  ASSERT_TRUE(Backup(&failure)) << failure;
  std::map<std::string, std::string> expected;
  for (const std::string& name : BackedUpNames()) expected[name] = Read(name);
  EXPECT_EQ(ArchiveByPython(), expected);

  // The second backup holds what is there now, not what was there before.
  fs::remove("1I.DAT");
  Write("1C.DAT", "changed");
  expected.erase("1I.DAT");
  expected["1C.DAT"] = "changed";
  ASSERT_TRUE(Backup(&failure)) << failure;
  EXPECT_EQ(ArchiveByPython(), expected);
  EXPECT_EQ(fs::directory_iterator(Usb())->path().filename(), "OVBackup.zip");
}

TEST_F(BackupTest, AFailedBackupLeavesTheOldArchiveAsItWas) {
  WriteUsualFiles();
  std::string failure;
  ASSERT_TRUE(Backup(&failure)) << failure;
  const auto before = Tree();

  // A data file held open by another program.
  platform::files::File held;
  ASSERT_TRUE(held.Open("1P.DAT", platform::files::OpenMode::ReadWrite));
  EXPECT_FALSE(Backup(&failure));
  EXPECT_EQ(
      failure,
      "The backup was not made: 1P.DAT: in use by another program.\nAn earlier backup in that folder is "
      "unchanged.");
  held.Close();

  // A drive folder that is gone, and a directory with nothing to back up.
  EXPECT_FALSE(WriteBackupArchive(ListBackupFiles(), Usb() + "/missing", {}, &failure));
  EXPECT_NE(failure.find("missing"), std::string::npos) << failure;
  EXPECT_FALSE(WriteBackupArchive({}, Usb(), {}, &failure));
  EXPECT_EQ(Tree(), before);
}

// Each write and each sync of the archive failing in turn (a full disk, a failing drive): nothing
// is reported made, the message gives the system's reason, no temporary file is left beside the
// archive, and what the message says of the earlier archive is so. Only the last sync (of the
// folder, once the new archive has its name) comes after the old archive is gone.
TEST_F(BackupTest, AnyWriteOrSyncOfTheArchiveFailingIsToldAndKeepsTheOldArchive) {
  const TwoArchives archives = OldAndNewArchive([this] {
    std::string failure;
    return Backup(&failure);
  });
  ASSERT_GT(archives.Writes, 0) << "the archive was not written through the file layer";
  int replaced = 0;
  for (const bool sync : {false, true}) {
    for (int n = 1; n <= (sync ? archives.Syncs : archives.Writes); ++n) {
      SCOPED_TRACE((sync ? "sync " : "write ") + std::to_string(n) + " failing");
      FaultPlan plan;
      (sync ? plan.OnSync : plan.OnWrite) = FaultAction::Fail;
      (sync ? plan.SyncNumber : plan.WriteNumber) = n;
      plan.Errno = sync ? EIO : ENOSPC;
      platform::files::InstallFaultPlan(plan);
      std::string failure;
      const bool made = Backup(&failure);
      platform::files::RemoveFaultPlan();
      EXPECT_FALSE(made);
      EXPECT_NE(failure.find(std::strerror(plan.Errno)), std::string::npos) << failure;
      const bool keptOld =
          failure.find("An earlier backup in that folder is unchanged.") != std::string::npos;
      EXPECT_EQ(Read(UsbArchive()) == archives.Old, keptOld) << failure;
      replaced += Read(UsbArchive()) == archives.New;
      EXPECT_EQ(std::distance(fs::directory_iterator(Usb()), fs::directory_iterator()), 1);
      PutOldArchiveBack(archives.Old);
    }
  }
  EXPECT_EQ(replaced, 1);
}

// A power cut at each write of a backup (a simulated disk that keeps only what was synced), and
// one just after it was reported made: the drive folder holds the old archive or the new one,
// byte for byte, every copy in the Backup folder is whole, and once the backup was reported made
// the new archive and all the copies it counted are there, the Backup folder made anew included.
TEST_F(BackupTest, APowerCutAtAnyWriteLeavesTheOldArchiveOrTheNewAndKeepsWhatWasReportedMade) {
  const TwoArchives archives = OldAndNewArchive([this] { return BackupWithCopies(); });
  int keptOld = 0;
  for (int n = 1; n <= archives.Writes + 1; ++n) {
    SCOPED_TRACE("power cut at write " + std::to_string(n) + " of " + std::to_string(archives.Writes));
    const int status = testing_support::RunInChild([&] {
      platform::files::InstallFaultPlan(
          {.OnWrite = FaultAction::PowerCut, .WriteNumber = n, .SimulateDisk = true});
      if (BackupWithCopies()) platform::files::SimulatePowerCutNow();
      return false;
    });
    ASSERT_EQ(status, platform::files::FaultKilledExitCode);
    const std::string archive = Read(UsbArchive());
    EXPECT_TRUE(archive == archives.Old || archive == archives.New);
    keptOld += archive == archives.Old;
    const int copies = WholeCopies();
    if (n > archives.Writes) {
      EXPECT_EQ(archive, archives.New);
      EXPECT_EQ(copies, 8);
    }
    PutOldArchiveBack(archives.Old);
  }
  // The archive's own writes were among those cut.
  EXPECT_GT(keptOld, 0);
}

// Nothing is backed up inside a posting, nor while one waits to be undone (here another
// company's, with none open): the archive would hold half of it and nothing to undo it.
TEST_F(BackupTest, NoBackupIsMadeWhileAPostingRunsOrWaits) {
  WriteUsualFiles();
  std::string failure;
  ASSERT_TRUE(Backup(&failure)) << failure;
  Write("1C.DAT", "changed since the last backup");
  const auto before = Tree();
  {
    storage::PostingScope posting("invoice 1004");
    EXPECT_FALSE(Backup(&failure));
    EXPECT_FALSE(failure.empty());
  }
  storage::KeepJournalWaiting("12", "invoice 10000");
  EXPECT_FALSE(Backup(&failure));
  storage::ForgetWaitingJournals();
  EXPECT_EQ(failure.rfind("The backup cannot be made now: invoice 10000 ", 0), 0u) << failure;
  EXPECT_EQ(Tree(), before);
  EXPECT_TRUE(Backup(&failure)) << failure;
}

TEST_F(BackupTest, OnlyDataFilesGoToTheBackupFolderAndFailuresAreCounted) {
  WriteUsualFiles();
  const std::vector<std::string> dataFiles = {"1C.DAT",     "1I.DAT",      "1P.DAT",     "Label.Dat",
                                              "LastCo.Dat", "Lastlbl.DAT", "ovcomp.Dat", "RptFont.Dat"};
  // A Backup folder that exists without its marker is used as it is; an older copy is replaced.
  fs::create_directory("backup");
  Write("backup/1c.dat", "older copy");
  FolderCopyResult result = CopyToBackupFolder(ListBackupFiles());
  EXPECT_EQ(result.wanted, 8);
  EXPECT_EQ(result.copied, 8);
  EXPECT_TRUE(result.failures.empty());
  std::vector<std::string> copied;
  for (const auto& entry : fs::directory_iterator("backup")) copied.push_back(entry.path().filename());
  std::sort(copied.begin(), copied.end(),
            [](auto& a, auto& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
  EXPECT_EQ(copied, (std::vector<std::string>{"1c.dat", "1I.DAT", "1P.DAT", "Label.Dat", "LastCo.Dat",
                                              "Lastlbl.DAT", "ovcomp.Dat", "RptFont.Dat"}));
  for (const std::string& name : dataFiles)
    EXPECT_EQ(Read(platform::files::ResolveForUse("Backup/" + name)), Read(name)) << name;

  // A copy that cannot be made is reported, and the count says how many were.
  fs::remove("backup/1P.DAT");
  fs::create_directory("backup/1P.DAT");
  platform::files::File held;
  ASSERT_TRUE(held.Open("1I.DAT", platform::files::OpenMode::ReadWrite));
  result = CopyToBackupFolder(ListBackupFiles());
  EXPECT_EQ(result.wanted, 8);
  EXPECT_EQ(result.copied, 6);
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0], "1I.DAT (in use by another program)");
  EXPECT_EQ(result.failures[1].rfind("1P.DAT (", 0), 0u) << result.failures[1];

  // The copies' names are kept by one sync of the folder after the last: when it fails, none
  // is counted, each with the system's reason.
  held.Close();
  fs::remove_all("backup/1P.DAT");
  platform::files::InstallFaultPlan({});
  ASSERT_EQ(CopyToBackupFolder(ListBackupFiles()).copied, 8);
  platform::files::InstallFaultPlan(
      {.OnSync = platform::files::FaultAction::Fail, .SyncNumber = platform::files::FaultSyncsSoFar()});
  result = CopyToBackupFolder(ListBackupFiles());
  platform::files::RemoveFaultPlan();
  EXPECT_EQ(result.copied, 0);
  ASSERT_EQ(result.failures.size(), 8u);
  EXPECT_EQ(result.failures[0], "1C.DAT (Input/output error)");

  // No folder at all: a file is in its place.
  fs::remove_all("backup");
  Write("Backup", "a file");
  result = CopyToBackupFolder(ListBackupFiles());
  EXPECT_EQ(result.copied, 0);
  EXPECT_EQ(result.failures.size(), 8u);
}

// The program directory and the Backup folder are read a few times for the whole backup, not once
// for each file: half the data files replace older copies named in other letters, half are new there.
TEST_F(BackupTest, TheFoldersAreReadAFewTimesNotOnceAFile) {
  constexpr int Files = 300;
  fs::create_directory("Backup");
  for (int i = 0; i < Files; ++i) {
    const std::string number = std::to_string(i);
    Write("F" + number + ".DAT", "data " + number);
    if (i % 2 == 0) Write("Backup/f" + number + ".dat", "older copy " + number);
  }
  const long before = test_fixtures::DirectoryEntriesRead();
  const std::vector<std::string> files = ListBackupFiles();
  std::string failure;
  ASSERT_TRUE(WriteBackupArchive(files, Usb(), {}, &failure)) << failure;
  const FolderCopyResult copies = CopyToBackupFolder(files);
  const long read = test_fixtures::DirectoryEntriesRead() - before;
  EXPECT_EQ(copies.copied, Files);
  EXPECT_TRUE(copies.failures.empty());
  EXPECT_EQ(ArchiveByPython().size(), static_cast<size_t>(Files));
  EXPECT_EQ(Read("Backup/f8.dat"), "data 8");
  EXPECT_FALSE(fs::exists("Backup/F8.DAT"));  // the older copy keeps its spelling
  EXPECT_EQ(Read("Backup/F9.DAT"), "data 9");
  EXPECT_LE(read, 3 * Files) << "directory entries read";
}

// The files are read one at a time, so a folder of far more files than a process may have open
// is backed up whole, into the archive and the Backup folder alike.
TEST_F(BackupTest, TwoThousandFilesAreBackedUpWith256OpenFilesAllowed) {
  constexpr int Files = 2000;
  std::map<std::string, std::string> expected;
  for (int i = 0; i < Files; ++i) {
    const std::string name = "F" + std::to_string(i) + ".DAT";
    expected[name] = name + std::string(i % 300, static_cast<char>('a' + i % 26));
    Write(name, expected[name]);
  }
  std::string failure;
  FolderCopyResult copies;
  {
    const testing_support::ResourceLimit limit(RLIMIT_NOFILE, 256);
    ASSERT_TRUE(limit.Lowered());
    const std::vector<std::string> files = ListBackupFiles();
    ASSERT_TRUE(WriteBackupArchive(files, Usb(), {}, &failure)) << failure;
    copies = CopyToBackupFolder(files);
  }
  EXPECT_EQ(copies.copied, Files);
  EXPECT_TRUE(copies.failures.empty()) << copies.failures.front();
  EXPECT_EQ(ArchiveByPython(), expected);
  std::map<std::string, std::string> copied;
  for (const auto& entry : fs::directory_iterator("Backup"))
    copied[entry.path().filename()] = Read(entry.path().string());
  EXPECT_EQ(copied, expected);
}

TEST_F(BackupTest, TheLastFolderIsRemembered) {
  EXPECT_EQ(LoadLastBackupFolder(), "");
  SaveLastBackupFolder("/media/stick/Kestrava backups");
  EXPECT_EQ(LoadLastBackupFolder(), "/media/stick/Kestrava backups");
}

}  // namespace
}  // namespace exchange
