// The restore as the way out of a posting that waits to be undone, taken as the user takes it: a
// new company backed up, its first invoice killed mid-posting, the start unable to undo it, and
// the last backup restored through the backup window. Whatever the backup holds (the files the
// invoice made or not, or only the company list), the restore's question says that the posting
// will be dropped, and after it and the next start the books are the backup's, whole: no record
// of the posting, its number offered again, nothing marked for repair, nothing said or asked.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "exchange/backup_files.h"
#include "exchange/backup_window.h"
#include "exchange/restore_files.h"
#include "exchange/restore_mark.h"
#include "exchange/restore_placement.h"
#include "invoicing/invoice_posting.h"
#include "main_form_fixture.h"
#include "permissions_apply.h"
#include "platform/files/fault_seam.h"
#include "platform/text/clock.h"
#include "platform/text/upper_case.h"
#include "posting_folder.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/last_company.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "shell/main_form.h"
#include "storage/journal_entry.h"
#include "storage/journal_undo.h"
#include "storage/posting_journal.h"
#include "support/books_check.h"
#include "support/live_records.h"
#include "support/scratch_company.h"
#include "support/side_by_side.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using platform::files::FaultAction;
using platform::files::FaultPlan;

const testing_support::StockBefore kStock = {{"WIDGET", 100}};
const char kDropped[] =
    "The interrupted posting (invoice 10000) of company 1 will be dropped with the files it touched.";
const char kWent[] = "The interrupted posting (invoice 10000) of company 1 went with the files it touched.";
const char kTakenAway[] =
    "The backup holds no files of company 1 (First Shop): the restore takes it away, and its files go with "
    "the "
    "files it replaces into a new folder \"BeforeRestore\" with the date and time of the restore.";
// The restore's safety copy at the fixture's clock.
const char kSafety[] = "BeforeRestore 2026-12-07 10.00.00";
const char kKept[] =
    "The files it replaced or took away are kept in the folder \"BeforeRestore 2026-12-07 10.00.00\" of the "
    "data folder.";

using FileSteps = std::pair<bool (*)(), bool (*)()>;  // how a data file is made, and opened

// The invoice's files of the open company opened as the Invoice Manager opens them, made empty
// first when they are not there yet (its first open in a new company).
bool OpenInvoiceFilesMakingThem() {
  const std::string company = platform::text::TrimBlanks(records::CurrentCompany.CompanyNumber.Get());
  const std::pair<std::string, FileSteps> files[] = {
      {company + "I.DAT", {records::CreateInvoiceFile, records::OpenInvoiceFile}},
      {company + "D.DAT", {records::CreateDetailFile, records::OpenDetailFile}},
      {company + "M.DAT", {records::CreateMemoFile, records::OpenMemoFile}}};
  for (const auto& [name, steps] : files)
    if (!(fs::exists(name) || steps.first()) || !steps.second()) return false;
  return true;
}

// The files of the company that are there opened as the windows open them.
bool OpenCompanyFilesThatAreThere(const std::string& company = "1") {
  const std::pair<const char*, bool (*)()> files[] = {{"C.DAT", records::OpenCustomerFile},
                                                      {"P.DAT", records::OpenProductFile},
                                                      {"I.DAT", records::OpenInvoiceFile},
                                                      {"D.DAT", records::OpenDetailFile},
                                                      {"M.DAT", records::OpenMemoFile}};
  for (const auto& [name, open] : files)
    if (fs::exists(company + name) && !open()) return false;
  return true;
}

// The records of every data file of the folder that holds any.
testing_support::FolderRecords RecordsOnFile(const fs::path& folder) {
  testing_support::FolderRecords records = testing_support::ReadFolderRecords(folder);
  std::erase_if(records, [](const auto& file) { return file.second.empty(); });
  return records;
}

// The data files of company 1 and the company list that a start would have to repair: marked so,
// without their index, or with a rebuild left unfinished.
std::vector<std::string> FilesToRepair(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    const std::string extension = platform::text::UpperCase(item.path().extension().string());
    if (!name.starts_with("1") && !name.starts_with(records::CompanyFileName)) continue;
    const bool data = extension == ".DAT" && name.find("JNL") == std::string::npos;
    if (extension == ".SAV" || (data && (storage::DataFileMarkedForRepair(item.path().string()) ||
                                         !fs::exists(fs::path(item.path()).replace_extension(".IX")))))
      found.push_back(name);
  }
  return found;
}

bool JournalHoldsAPosting(const fs::path& journal) {
  platform::files::File file;
  storage::JournalHeader header;
  if (!file.Open(journal.string(), platform::files::OpenMode::ReadOnly)) return false;
  storage::JournalReader reader(file);
  return reader.ReadHeader(header) == storage::JournalRead::Entries;
}

std::string BytesOf(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// A file of the user's as it was: its bytes, and for a data file its records.
struct FileAsItWas {
  std::string Bytes;
  std::vector<std::string> Records;
};

bool IsDataFile(const fs::path& path) {
  return platform::text::UpperCase(path.extension().string()) == ".DAT";
}

bool IsIndexFile(const fs::path& path) {
  return platform::text::UpperCase(path.extension().string()) == ".IX";
}

// Every file of the data folder itself (not of its folders), as it is.
std::map<std::string, FileAsItWas> FilesIn(const fs::path& folder) {
  std::map<std::string, FileAsItWas> files;
  for (const auto& item : fs::directory_iterator(folder))
    if (fs::is_regular_file(fs::symlink_status(item.path())))
      files[item.path().filename().string()] = {
          BytesOf(item.path()),
          IsDataFile(item.path()) ? testing_support::LiveRecords(item.path()) : std::vector<std::string>{}};
  return files;
}

// How the posting comes to wait, and what the backup holds.
struct WayOut {
  const char* Name;
  bool InvoiceFilesBackedUp;  // the invoice's files were made before the backup, else after it
  bool ListOnly;              // the backup holds the company list alone
  bool Damaged;               // a byte of the journal's synced part is damaged, else 1C.DAT unreadable
};

void PrintTo(const WayOut& way, std::ostream* out) {
  *out << way.Name;
}

class RestoreWayOutTest : public MainFormTest {
 protected:
  RestoreWayOutTest() : clock_(QDateTime(QDate(2026, 12, 7), QTime(10, 0))) {}
  void TearDown() override {
    EndProgram();
    MainFormTest::TearDown();
  }

  fs::path Folder() const { return dir_.path() / "data"; }
  fs::path Usb() const { return dir_.path() / "usb"; }

  // Company 1, new, named as the company to open: customer C1 and 100 widgets on file, its first
  // invoice to be 10000; with invoiceFiles, its invoice files made (empty) too. Then started
  // once, which ages it.
  void MakeNewCompany(bool invoiceFiles) {
    fs::create_directory(Folder());
    fs::current_path(Folder());
    storage::IsamInitialize(0, 30);
    FileNewCompany("1", "First Shop", "10000", "WIDGET", invoiceFiles);
    if (HasFatalFailure()) return;
    testing_support::CloseEngine();
    records::CurrentCompany = records::CompanyRec{};
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    EndProgram();
    EXPECT_EQ(user.told, std::vector<QString>{});
  }

  // Company `number`, new, filed in the company list (a new one for company 1): customer C1 and
  // 100 of `product` on file, its first invoice to be `firstInvoice`; with invoiceFiles, its
  // invoice files made (empty) too. It stays open.
  void FileNewCompany(const char* number, const char* name, const char* firstInvoice, const char* product,
                      bool invoiceFiles) {
    records::CompanyRec company = testing_support::BooksCompanyRecord();
    company.CompanyNumber.Set(number);
    company.CompanyName.Set(name);
    company.NextInvoiceNumber.Set(firstInvoice);
    using testing_support::CompanyFile;
    const bool first = std::string(number) == "1";
    ASSERT_TRUE((first ? testing_support::OpenScratchCompany : testing_support::AddScratchCompany)(
        company, {CompanyFile::Customers, CompanyFile::Products}));
    storage::IsamRecRef ref = 0;
    records::CustomerRec customer{};
    customer.CustomerNo.Set("C1");
    customer.CustomerName.Set("Customer C1");
    customer.CustBalance.Set("0.00");
    for (auto* amount :
         {&customer.CustAging1, &customer.CustAging2, &customer.CustAging3, &customer.CustAging4})
      amount->Set("0.00");
    ASSERT_TRUE(records::AddCustomerRecord(customer, ref));
    records::ProductRec stock{};
    stock.Code.Set(product);
    stock.Description.Set(product);
    stock.OnHand.Set("100");
    ASSERT_TRUE(records::AddProductRecord(stock, ref));
    if (invoiceFiles) {
      ASSERT_TRUE(OpenInvoiceFilesMakingThem());
    }
    records::CompanyWorkRec = company;
    ASSERT_TRUE(records::SaveCurrentCompany());
  }

  // The folder backed up as the backup window backs it up: every file, or the company list alone.
  // The names of the files backed up.
  std::vector<std::string> BackUp(bool listOnly) {
    fs::create_directory(Usb());
    std::vector<std::string> files = exchange::ListBackupFiles();
    if (listOnly)
      std::erase_if(files,
                    [](const std::string& name) { return !name.starts_with(records::CompanyFileName); });
    std::string failure;
    EXPECT_TRUE(exchange::WriteBackupArchive(files, Usb().string(), {}, &failure)) << failure;
    return files;
  }

  // Invoice 10000 posted in a child and killed at write n (none: run whole, its writes counted).
  int PostTheFirstInvoice(const fs::path& folder, int n) {
    FaultPlan plan;
    plan.OnWrite = n > 0 ? FaultAction::Kill : FaultAction::None;
    plan.WriteNumber = n;
    return testing_support::PostInChildProcess(
        folder, [] { return StartUp() && OpenInvoiceFilesMakingThem(); }, plan,
        [] {
          invoicing::PostNewInvoice(testing_support::Invoice("10000", "C1", "12/07/2026", {{"WIDGET", "3"}}));
        },
        n > 0 ? testing_support::FaultCount::None : testing_support::FaultCount::Writes);
  }

  // Invoice 10000 killed at the last write that leaves it in its journal with its invoice on file.
  void KillTheFirstInvoiceMidPosting() {
    const fs::path count = dir_.path() / "count";
    fs::copy(Folder(), count);
    const int writes = PostTheFirstInvoice(count, 0) - 10;
    fs::remove_all(count);
    ASSERT_GT(writes, 0);
    const fs::path before = dir_.path() / "before";
    fs::copy(Folder(), before);
    for (int n = writes; n > 0; --n) {
      fs::remove_all(Folder());
      fs::copy(before, Folder());
      ASSERT_EQ(PostTheFirstInvoice(Folder(), n), platform::files::FaultKilledExitCode);
      if (JournalHoldsAPosting(Folder() / "1JNL.DAT") &&
          !testing_support::LiveRecords(Folder() / "1I.DAT").empty())
        break;
    }
    fs::remove_all(before);
    ASSERT_TRUE(JournalHoldsAPosting(Folder() / "1JNL.DAT"));
  }

  // A byte of the journal's part synced before the invoice's records were written, changed.
  void DamageTheJournalsSyncedPart() {
    const fs::path journal = Folder() / "1JNL.DAT";
    platform::files::File file;
    storage::JournalHeader header;
    ASSERT_TRUE(file.Open(journal.string(), platform::files::OpenMode::ReadOnly));
    storage::JournalReader reader(file);
    ASSERT_EQ(reader.ReadHeader(header), storage::JournalRead::Entries);
    file.Close();
    const uint64_t at = storage::kJournalHeaderSize + 12;
    ASSERT_GT(header.SyncedEnd, at);
    std::fstream bytes(journal, std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekg(static_cast<std::streamoff>(at));
    const char byte = static_cast<char>(bytes.get() ^ 0x5A);
    bytes.seekp(static_cast<std::streamoff>(at));
    bytes.put(byte);
  }

  // The program started as main starts it while the posting cannot be undone: it says so once
  // and the posting waits.
  void StartWhileThePostingWaits(bool damaged) {
    fs::current_path(Folder());
    if (!damaged) fs::permissions("1C.DAT", fs::perms::none);
    testing_support::RestartUser user;
    {
      testing_support::PermissionsApply unreadable;
      ASSERT_TRUE(StartUp());
    }
    fs::permissions("1C.DAT", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(user.told.size(), 1u);
    EXPECT_EQ(user.asked, std::vector<QString>{});
    ASSERT_TRUE(storage::PostingJournalWaitsFor("1"));
  }

  // The last backup restored through the backup window, as the user answers it; with takenAway,
  // the backup holds no file of company 1, and the question says so.
  void RestoreThroughTheBackupWindow(bool takenAway) {
    const QString usb = QString::fromStdString(Usb().string());
    testing_support::UiScript ui;
    ui.ExpectMessage("Ready to RESTORE files from backup disk in drive " + usb +
                         ". WARNING!! Your data files will be over-written by the backup files! " +
                         (takenAway ? QString(kTakenAway) + " " : QString()) + kDropped + " Continue?",
                     "Restore")
        .Answer(platform::ui::mrOk);
    ui.ExpectMessage(
        QString("Restore files operation complete. You should now run the \"rebuild data files\" option on "
                "the Tools Menu to update your data files.\n") +
            kKept + "\n" + kWent,
        "Restore Complete");
    exchange::TOVBkUp& window = exchange::CreateOVBkUp();
    window.DriveComboBox1->setCurrentText(usb);
    window.RestBtnClick();
    EXPECT_TRUE(ui.Done());
  }

  // The next start as main starts it: nothing said or asked, the books balance, and invoice 10000
  // is not on file but offered again.
  void NextStartFindsTheBackupsBooks() {
    fs::current_path(Folder());
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(user.told, std::vector<QString>{});
    EXPECT_EQ(user.asked, std::vector<QString>{});
    EXPECT_FALSE(storage::PostingJournalWaits());
    EXPECT_EQ(platform::text::TrimBlanks(records::CurrentCompany.NextInvoiceNumber.Get()), "10000");
    ASSERT_TRUE(OpenCompanyFilesThatAreThere());
    EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany, kStock), std::vector<std::string>{});
    EndProgram();
  }

  // Invoice 10000 posted again in the program, its files made as the Invoice Manager makes them:
  // it is on file once and the books balance.
  void ThePostingIsDoneAgain() {
    fs::current_path(Folder());
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    ASSERT_TRUE(OpenInvoiceFilesMakingThem() && records::OpenCustomerFile() && records::OpenProductFile());
    invoicing::PostNewInvoice(testing_support::Invoice("10000", "C1", "12/07/2026", {{"WIDGET", "3"}}));
    EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany, kStock), std::vector<std::string>{});
    EndProgram();
    EXPECT_EQ(testing_support::LiveRecords(Folder() / "1I.DAT").size(), 1u);
    EXPECT_EQ(user.asked, std::vector<QString>{});
  }

  // The program started on the folder in a child, as main starts it, which then restores the
  // backup under the fault plan: the child's exit status (without a fault, 10 + the restore's
  // writes; 2 when it did not start or restore).
  int RestoreInChild(const fs::path& folder, const FaultPlan& plan) const {
    const std::string usb = Usb().string();
    const pid_t child = ::fork();
    if (child == 0) {
      testing_support::RestartUser user;
      fs::current_path(folder);
      if (!StartUp()) ::_exit(2);
      platform::files::InstallFaultPlan(plan);
      const bool restored =
          exchange::RestoreDataFiles(usb).status == exchange::RestoreResult::Status::Restored;
      ::_exit(restored ? 10 + platform::files::FaultWritesSoFar() : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Company 1 backed up, then invoice 10000 posted, and a start that ages what it changed. The
  // files backed up, as they were then.
  std::map<std::string, FileAsItWas> BackUpThenPostAnInvoice() {
    MakeNewCompany(true);
    if (HasFatalFailure()) return {};
    const std::vector<std::string> names = BackUp(false);
    std::map<std::string, FileAsItWas> backedUp = FilesIn(Folder());
    std::erase_if(backedUp, [&](const auto& file) { return !std::ranges::count(names, file.first); });
    ThePostingIsDoneAgain();
    fs::current_path(Folder());
    {
      testing_support::RestartUser user;
      EXPECT_TRUE(StartUp());
      EndProgram();
    }
    fs::current_path(dir_.path());
    return backedUp;
  }

  // The restore through the backup window in the program started on the current folder, under
  // a plan: the writes and syncs it made.
  std::pair<int, int> RestoreThroughTheWindowUnder(const FaultPlan& plan) {
    exchange::TOVBkUp& window = exchange::CreateOVBkUp();
    window.DriveComboBox1->setCurrentText(QString::fromStdString(Usb().string()));
    platform::files::InstallFaultPlan(plan);
    window.RestBtnClick();
    const std::pair<int, int> counts{platform::files::FaultWritesSoFar(), platform::files::FaultSyncsSoFar()};
    platform::files::RemoveFaultPlan();
    return counts;
  }

  // The data folder copied to `folder`, which becomes the current folder.
  void WorkOnACopy(const fs::path& folder) {
    fs::copy(Folder(), folder, fs::copy_options::recursive);
    fs::current_path(folder);
  }

  // The same on a copy of the data folder, started for it.
  std::pair<int, int> CountRestoreThroughTheWindow(const FaultPlan& plan) {
    const fs::path copy = dir_.path() / "count";
    fs::copy(Folder(), copy);
    fs::current_path(copy);
    testing_support::RestartUser user;
    EXPECT_TRUE(StartUp());
    const std::pair<int, int> counts = RestoreThroughTheWindowUnder(plan);
    EndProgram();
    fs::current_path(dir_.path());
    fs::remove_all(copy);
    return counts;
  }

  // In the program started on the current folder while a restore holds every company: the guard
  // where the engine writes refuses company 1's files and the company list in the words of the
  // hold, with its remedy, and the main window says the same.
  void ExpectEveryCompanyHeld(const std::string& remedy) {
    for (const std::string file : {"1I.DAT", "1C.DAT", "ovcomp.DAT"}) {
      EXPECT_TRUE(storage::RefuseWriteWhileWaiting(file, "Invoice 10001", "posted")) << file;
      EXPECT_EQ(storage::LastWaitingRefusal(),
                "Invoice 10001 cannot be posted now: the restore of the backup files was interrupted and is "
                "not finished yet. " +
                    remedy);
    }
    MainForm->ShowWaitingPosting();
    EXPECT_EQ(
        MainForm->PostingWaitsLine->text().toStdString(),
        "The restore of the backup files was interrupted and is not finished yet; the figures shown may "
        "include part of it. " +
            remedy);
  }

  // The program started on `folder` as main starts it, under a plan: what it said, in one text.
  std::string SaidAtAStart(const fs::path& folder, const FaultPlan& plan = {}) {
    fs::current_path(folder);
    testing_support::RestartUser user;
    platform::files::InstallFaultPlan(plan);
    EXPECT_TRUE(StartUp());
    platform::files::RemoveFaultPlan();
    EndProgram();
    fs::current_path(dir_.path());
    return QStringList(user.told.begin(), user.told.end()).join('\n').toStdString();
  }

  void EndProgram() {
    ShutDown();
    testing_support::CloseEngine();
    records::CurrentCompany = records::CompanyRec{};
  }

  // How a restore held with the backup's files and the user's mixed comes to be neither finished
  // nor undone, its way out being to restore again.
  enum class Unsettled { MarkDamaged, PlacedFileReplaced };
  void SweepARestoreTakenBackOverAnother(Unsettled how);

  platform::text::FixedClock clock_;
};

class RestoreWayOutCaseTest : public RestoreWayOutTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(RestoreWayOutCaseTest, ARestoreLeavesNoPartOfTheWaitingPostingAndTheNextStartSaysNothing) {
  const WayOut& way = GetParam();
  MakeNewCompany(way.InvoiceFilesBackedUp);
  if (HasFatalFailure()) return;
  const std::vector<std::string> held = BackUp(way.ListOnly);
  testing_support::FolderRecords backedUp = RecordsOnFile(Folder());
  std::erase_if(backedUp, [&](const auto& file) { return !std::ranges::count(held, file.first); });
  fs::current_path(dir_.path());
  KillTheFirstInvoiceMidPosting();
  if (HasFatalFailure()) return;
  if (way.Damaged) DamageTheJournalsSyncedPart();
  StartWhileThePostingWaits(way.Damaged);
  if (HasFatalFailure()) return;
  if (way.Damaged) {
    // The main window says that the posting cannot be undone, and the way out.
    const std::string line = MainForm->PostingWaitsLine->text().toStdString();
    EXPECT_NE(line.find("Invoice 10000 was interrupted and cannot be undone"), std::string::npos) << line;
    EXPECT_TRUE(line.ends_with("Restore the last backup of company 1.")) << line;
  }
  const std::set<std::string> live = [] {
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(".")) names.insert(item.path().filename().string());
    return names;
  }();
  RestoreThroughTheBackupWindow(way.ListOnly);
  EXPECT_FALSE(storage::PostingJournalWaitsFor("1"));
  EXPECT_FALSE(fs::exists(Folder() / "1JNL.DAT") && JournalHoldsAPosting(Folder() / "1JNL.DAT"));
  EndProgram();

  // Company 1's data and index files are the backup's or gone (the backup's books are whole: a
  // file it does not hold goes, whether the posting touched it or not); those it replaced or moved
  // away are in the safety folder.
  for (const std::string& name : live) {
    const bool data = name.ends_with(".DAT") || name.ends_with(".IX");
    if (!name.starts_with("1") || !data || name.find("JNL") != std::string::npos) continue;
    const bool backedUpFile = std::ranges::count(held, name) > 0;
    EXPECT_EQ(fs::exists(Folder() / name), backedUpFile) << name;
    EXPECT_TRUE(fs::exists(Folder() / kSafety / name)) << name;
  }
  EXPECT_EQ(FilesToRepair(Folder()), std::vector<std::string>{});
  NextStartFindsTheBackupsBooks();
  EXPECT_EQ(RecordsOnFile(Folder()), backedUp);
  EXPECT_EQ(FilesToRepair(Folder()), std::vector<std::string>{});
  if (!way.ListOnly) ThePostingIsDoneAgain();
}

// The walk's restore stopped at each of its writes, by a kill and by a power cut that keeps only
// what was synced, and failing at some of them: the next start finds the backup's books with nothing of the
// posting left, or the files as they were with the posting waiting as before, never a mix; it asks nothing
// and leaves nothing of the restore's work behind.
TEST_F(RestoreWayOutTest, ARestoreStoppedAtAnyWriteTakesTheWholePostingOrLeavesItWaiting) {
  MakeNewCompany(false);
  if (HasFatalFailure()) return;
  BackUp(false);
  const testing_support::FolderRecords backedUp = RecordsOnFile(Folder());
  fs::current_path(dir_.path());
  KillTheFirstInvoiceMidPosting();
  if (HasFatalFailure()) return;
  DamageTheJournalsSyncedPart();
  const testing_support::FolderRecords asTheyWere = RecordsOnFile(Folder());
  const fs::path staged = dir_.path() / "staged";
  fs::rename(Folder(), staged);
  fs::copy(staged, Folder());
  const int writes = RestoreInChild(Folder(), {}) - 10;
  ASSERT_GT(writes, 4);
  fs::remove_all(Folder());

  // A failing write (every fifth) takes the restore back, or leaves it for the start.
  std::vector<FaultPlan> plans;
  for (FaultAction stop : {FaultAction::Kill, FaultAction::PowerCut, FaultAction::Fail})
    for (int n = 1; n <= writes; n += stop == FaultAction::Fail ? 5 : 1)
      plans.push_back({.OnWrite = stop, .WriteNumber = n, .SimulateDisk = stop == FaultAction::PowerCut});
  struct Met {
    bool Waits = false;
  };
  const std::vector<Met> mets = testing_support::RunPointsSideBySide<Met>(int(plans.size()), [&](int at) {
    const FaultPlan& plan = plans[size_t(at)];
    SCOPED_TRACE((plan.OnWrite == FaultAction::Kill       ? "killed at write "
                  : plan.OnWrite == FaultAction::PowerCut ? "power cut at write "
                                                          : "failing write ") +
                 std::to_string(plan.WriteNumber) + " of " + std::to_string(writes));
    const fs::path folder = dir_.path() / ("cut" + std::to_string(at));
    fs::copy(staged, folder);
    const int status = RestoreInChild(folder, plan);
    if (plan.OnWrite != FaultAction::Fail) {
      EXPECT_EQ(status, platform::files::FaultKilledExitCode);
    }
    fs::current_path(folder);
    Met met;
    {
      testing_support::RestartUser user;
      EXPECT_TRUE(StartUp());
      EXPECT_EQ(user.asked, std::vector<QString>{});
      EXPECT_LE(user.told.size(), 2u);
      met.Waits = storage::PostingJournalWaitsFor("1");
      if (!met.Waits) {
        EXPECT_TRUE(OpenCompanyFilesThatAreThere());
        EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany, kStock),
                  std::vector<std::string>{});
      }
      EndProgram();
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(RecordsOnFile(folder), met.Waits ? asTheyWere : backedUp);
    EXPECT_EQ(fs::exists(folder / "1I.DAT"), met.Waits);
    if (!met.Waits) {
      EXPECT_TRUE(fs::exists(folder / kSafety / "1I.DAT"));
      EXPECT_EQ(FilesToRepair(folder), std::vector<std::string>{});
    }
    for (const auto& item : fs::directory_iterator(folder))
      EXPECT_FALSE(item.path().filename().string().starts_with(".restore")) << item.path();
    fs::remove_all(folder);
    return met;
  });
  const int waiting = testing_support::CountMet(mets, &Met::Waits);
  const int restored = int(mets.size()) - waiting;
  std::printf("restore with a damaged journal: %d writes; the backup's books %d, the posting waiting %d\n",
              writes, restored, waiting);
  EXPECT_GT(restored, 0);
  EXPECT_GT(waiting, 0);
}

// A restore through the backup window whose last placing write fails and whose take-back then
// fails at its first sync ends half placed. The running program holds every company and the
// company list at once and says so once with what to do: invoice 10001 is refused and the main
// window says why. The next start, as main starts it, takes the restore back, and what it says is
// true: the books are as they were before the restore.
TEST_F(RestoreWayOutTest, ARestoreLeftHalfPlacedHoldsEveryCompanyAtOnceAndTheNextStartTakesItBack) {
  BackUpThenPostAnInvoice();
  if (HasFatalFailure()) return;
  const testing_support::FolderRecords asTheyWere = RecordsOnFile(Folder());
  // The last write is the mark's move that makes the restore stand; the one before places a file.
  FaultPlan plan{.OnWrite = FaultAction::Fail, .WriteNumber = CountRestoreThroughTheWindow({}).first - 1};
  // Taken back whole, the take-back's four syncs come last.
  plan.OnSync = FaultAction::Fail;
  plan.SyncNumber = CountRestoreThroughTheWindow(plan).second - 3;

  fs::current_path(Folder());
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    (void)RestoreThroughTheWindowUnder(plan);
    ASSERT_EQ(user.told.size(), 1u);
    const std::string said = user.told[0].toStdString();
    const std::string remedy = "Start the program again, which undoes it.";
    EXPECT_TRUE(said.starts_with("The backup files were not restored: ")) << said;
    EXPECT_TRUE(said.ends_with(
        "Until then no company posts anything and none of the records can be changed.  " + remedy))
        << said;
    ASSERT_TRUE(storage::PostingJournalWaitsFor("1"));
    ASSERT_TRUE(OpenInvoiceFilesMakingThem() && records::OpenCustomerFile() && records::OpenProductFile());
    try {
      invoicing::PostNewInvoice(testing_support::Invoice("10001", "C1", "12/07/2026", {{"WIDGET", "1"}}));
      ADD_FAILURE() << "invoice 10001 posted into half-placed files";
    } catch (const storage::PostingFailed& refused) {
      EXPECT_EQ(
          std::string(refused.what()),
          "Invoice 10001 cannot be posted now: the restore of the backup files was interrupted and is not "
          "finished yet. " +
              remedy);
    }
    ExpectEveryCompanyHeld(remedy);
    EndProgram();
  }
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(user.told, std::vector<QString>{"The restore of the backup files was interrupted and has been "
                                              "undone: the data files are as they were before it."});
    EXPECT_FALSE(storage::PostingJournalWaits());
    EndProgram();
  }
  EXPECT_EQ(RecordsOnFile(Folder()), asTheyWere);
  EXPECT_EQ(FilesToRepair(Folder()), std::vector<std::string>{});
}

// -- a second failure on top of a first --

// Whether the file at `at` keeps what the user had: byte for byte in a safety folder; a live data
// file may have been rebuilt or aged by the program since, and keeps its records; a live index is
// made again from its data file.
bool Keeps(const fs::path& at, const FileAsItWas& had, bool live) {
  if (!fs::is_regular_file(at)) return false;
  if (BytesOf(at) == had.Bytes) return true;
  if (!live) return false;
  return IsIndexFile(at) || (IsDataFile(at) && testing_support::LiveRecords(at) == had.Records);
}

// The files the user had that are neither live nor in a safety folder that something the user was
// told names (or, while a restore is held, the work folder it named): what restores, failures and
// starts lost or hid.
std::vector<std::string> LostOrHidden(const fs::path& folder, const std::map<std::string, FileAsItWas>& had,
                                      const std::vector<QString>& told) {
  std::vector<fs::path> named;
  for (const auto& item : fs::directory_iterator(folder)) {
    const QString name = QString::fromStdString(item.path().filename().string());
    const bool keeps = name.startsWith(exchange::SafetyFolderName) || name.startsWith(".restore-");
    if (keeps && fs::is_directory(fs::symlink_status(item.path())) &&
        std::ranges::any_of(told, [&](const QString& text) { return text.contains('"' + name + '"'); }))
      named.push_back(name.startsWith(".restore-") ? item.path() / "old" : item.path());
  }
  std::vector<std::string> lost;
  for (const auto& [name, before] : had)
    if (!Keeps(folder / name, before, true) && std::ranges::none_of(named, [&](const fs::path& safety) {
          return Keeps(safety / name, before, false);
        }))
      lost.push_back(name);
  return lost;
}

// Write `first` failing, then write `then` as what failed is taken back.
FaultPlan FailingWrites(int first, int then) {
  return {.OnWrite = FaultAction::Fail, .WriteNumber = first, .AlsoFailWrite = then};
}

// The restore's mark in the current folder cut short, as a damaged disk leaves it: it can be
// neither finished nor undone, and the start says to restore again.
void DamageTheRestoreMark() {
  ASSERT_TRUE(fs::exists(exchange::RestoreMarkName));
  std::ofstream(exchange::RestoreMarkName, std::ios::binary | std::ios::trunc)
      << "KESTRAVA RESTORE 2\nfolder";
}

// How many of the files the backup holds otherwise than the user had them are live in the folder
// as the backup holds them, and how many as the user had them.
struct Mixture {
  int Backups = 0;
  int Users = 0;
};
Mixture MixtureIn(const fs::path& folder, const std::map<std::string, FileAsItWas>& backedUp,
                  const std::map<std::string, FileAsItWas>& had) {
  Mixture mixture;
  for (const auto& [name, archived] : backedUp) {
    const auto user = had.find(name);
    if (user == had.end() || user->second.Bytes == archived.Bytes) continue;
    const std::string live = BytesOf(folder / name);
    mixture.Backups += live == archived.Bytes;
    mixture.Users += live == user->second.Bytes;
  }
  return mixture;
}

// The files the backup holds that are not live in the folder as it holds them: the books are the
// backup's when there are none.
std::vector<std::string> NotAsBackedUp(const fs::path& folder,
                                       const std::map<std::string, FileAsItWas>& backedUp) {
  std::vector<std::string> differ;
  for (const auto& [name, archived] : backedUp)
    if (!Keeps(folder / name, archived, true)) differ.push_back(name);
  return differ;
}

// A restore through the backup window fails at one placing write and its take-back at a later
// one, in every pair of a range; then the user restores again in the same run, and starts the
// program again. After each, every file the user had before the first restore is live or in a
// safety folder the user was told of, byte for byte; a restore that is held is never run over by
// another that is refused; and nothing is left in a hidden work folder once the program is
// through with it.
TEST_F(RestoreWayOutTest, ASecondFailureOnTopOfAFirstLosesNothingTheUserHad) {
  BackUpThenPostAnInvoice();
  if (HasFatalFailure()) return;
  const std::map<std::string, FileAsItWas> had = FilesIn(Folder());
  const int writes = CountRestoreThroughTheWindow({}).first;
  ASSERT_GT(writes, 10);
  std::vector<std::pair<int, int>> pairs;
  for (int placing = writes / 3; placing < writes; placing += 2)
    for (int then : {1, 2, 4}) pairs.push_back({placing, placing + then});
  struct Met {
    bool Held = false;        // the first restore was left holding every company
    bool Refused = false;     // the second restore was refused
    bool SecondDone = false;  // the second restore went through
  };
  const std::vector<Met> mets = testing_support::RunPointsSideBySide<Met>(int(pairs.size()), [&](int at) {
    const auto [placing, takeBack] = pairs[size_t(at)];
    SCOPED_TRACE("placing write " + std::to_string(placing) + " fails, then write " +
                 std::to_string(takeBack));
    const fs::path folder = dir_.path() / ("pair" + std::to_string(at));
    WorkOnACopy(folder);
    std::vector<QString> told;
    Met met;
    {
      testing_support::RestartUser user;
      EXPECT_TRUE(StartUp());
      (void)RestoreThroughTheWindowUnder(FailingWrites(placing, takeBack));
      met.Held = storage::PostingJournalWaitsFor("1");
      const size_t before = user.told.size();
      (void)RestoreThroughTheWindowUnder({});
      const QString said = user.told.size() > before ? user.told.back() : QString();
      met.SecondDone = said.startsWith("Restore files operation complete");
      met.Refused = said.startsWith("The backup files cannot be restored now");
      // Only a restore that holds every company is not restored over, unless restoring again is its way out.
      EXPECT_TRUE(met.SecondDone || (met.Held && met.Refused)) << said.toStdString();
      EndProgram();
      told = user.told;
    }
    EXPECT_EQ(LostOrHidden(folder, had, told), std::vector<std::string>{});
    {
      testing_support::RestartUser user;
      EXPECT_TRUE(StartUp());
      EXPECT_FALSE(storage::PostingJournalWaits()) << (user.told.empty() ? "" : user.told[0].toStdString());
      EndProgram();
      told.insert(told.end(), user.told.begin(), user.told.end());
    }
    EXPECT_EQ(LostOrHidden(folder, had, told), std::vector<std::string>{});
    for (const auto& item : fs::directory_iterator(folder))
      EXPECT_FALSE(item.path().filename().string().starts_with(".restore")) << item.path();
    fs::current_path(dir_.path());
    fs::remove_all(folder);
    return met;
  });
  const int held = testing_support::CountMet(mets, &Met::Held);
  const int refused = testing_support::CountMet(mets, &Met::Refused);
  std::printf("%zu pairs of failures over %d writes: %d held, %d second restores refused\n", pairs.size(),
              writes, held, refused);
  EXPECT_GT(held, 0);
  EXPECT_GT(refused, 0);
}

// A restore left half placed whose mark is then damaged can be neither finished nor undone: its way
// out is to restore again. The next start says so and keeps what it had set aside in a folder it
// names; the restore again goes through the window, and afterwards every file the user had is live
// or in a named folder, nothing is left in a hidden work folder, and the next start says nothing.
TEST_F(RestoreWayOutTest, RestoringAgainOverARestoreWithADamagedMarkKeepsWhatItSetAside) {
  BackUpThenPostAnInvoice();
  if (HasFatalFailure()) return;
  const std::map<std::string, FileAsItWas> had = FilesIn(Folder());
  const int writes = CountRestoreThroughTheWindow({}).first;
  fs::current_path(Folder());
  std::vector<QString> told;
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    (void)RestoreThroughTheWindowUnder(FailingWrites(writes - 1, writes + 1));
    EndProgram();
    told = user.told;
  }
  ASSERT_TRUE(fs::exists(exchange::RestoreMarkName));
  DamageTheRestoreMark();
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_TRUE(
        user.told[0].contains("cannot be read: it is damaged.  What it had set aside is kept in the folder"))
        << user.told[0].toStdString();
    EXPECT_TRUE(user.told[0].endsWith("Restore the backup again.")) << user.told[0].toStdString();
    EXPECT_TRUE(storage::PostingJournalWaitsFor("1"));
    (void)RestoreThroughTheWindowUnder({});
    ASSERT_EQ(user.told.size(), 2u);
    EXPECT_TRUE(user.told[1].startsWith("Restore files operation complete")) << user.told[1].toStdString();
    EXPECT_FALSE(storage::PostingJournalWaits());
    EndProgram();
    told.insert(told.end(), user.told.begin(), user.told.end());
  }
  EXPECT_EQ(LostOrHidden(Folder(), had, told), std::vector<std::string>{});
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(user.told, std::vector<QString>{});
    EndProgram();
  }
  for (const auto& item : fs::directory_iterator(Folder()))
    EXPECT_FALSE(item.path().filename().string().starts_with(".restore")) << item.path();
}

// A file the restore placed in the current folder, of those the backup holds otherwise than the
// user had them, replaced by a copy of the user's own, as a hand that copies it back makes it: the
// restore can then neither be finished nor undone.
void ReplaceAPlacedFileByTheUsers(const std::map<std::string, FileAsItWas>& backedUp,
                                  const std::map<std::string, FileAsItWas>& had) {
  for (const auto& [name, archived] : backedUp) {
    const auto user = had.find(name);
    if (user == had.end() || user->second.Bytes == archived.Bytes || BytesOf(name) != archived.Bytes)
      continue;
    std::ofstream(name + ".copy", std::ios::binary) << user->second.Bytes;
    fs::rename(name + ".copy", name);
    return;
  }
  ADD_FAILURE() << "no file of the backup's was placed";
}

// A first restore through the backup window fails at a placing write that leaves some of the
// backup's files live and some of the user's, and its take-back fails at once: it holds every
// company. It then comes to be neither finished nor undone, and the start says to restore again
// (whether it had placed one of the backup's files or more). The second restore takes it over,
// fails to place and to take itself back. The next start, as
// main starts it, takes the second back; the first, its files still mixed, holds every company
// again: no posting is taken until it is settled (here by restoring again, after which the books
// are the backup's), and every file the user had is live or in a safety folder the user was told
// of, byte for byte.
void RestoreWayOutTest::SweepARestoreTakenBackOverAnother(Unsettled how) {
  const std::map<std::string, FileAsItWas> backedUp = BackUpThenPostAnInvoice();
  if (HasFatalFailure()) return;
  const std::map<std::string, FileAsItWas> had = FilesIn(Folder());
  const int writes = CountRestoreThroughTheWindow({}).first;
  ASSERT_GT(writes, 10);
  struct Met {
    bool Mixed = false;      // the first restore was held with a mixture of files
    bool OnePlaced = false;  // of the backup's files, it had placed only one
  };
  const std::vector<Met> mets = testing_support::RunPointsSideBySide<Met>(writes - 1, [&](int at) {
    const int placing = at + 1;
    SCOPED_TRACE("the first restore's write " + std::to_string(placing) + " of " + std::to_string(writes) +
                 " fails, and its take-back's first");
    Met met;
    const fs::path folder = dir_.path() / ("mixed" + std::to_string(at));
    WorkOnACopy(folder);
    std::vector<QString> told;
    {
      testing_support::RestartUser user;
      EXPECT_TRUE(StartUp());
      (void)RestoreThroughTheWindowUnder(FailingWrites(placing, placing + 1));
      const Mixture mixture = MixtureIn(folder, backedUp, had);
      met.Mixed = storage::PostingJournalWaitsFor("1") && mixture.Users > 0 && mixture.Backups > 0;
      met.OnePlaced = met.Mixed && mixture.Backups == 1;
      EndProgram();
      told = user.told;
    }
    if (met.Mixed) {
      if (how == Unsettled::MarkDamaged) {
        DamageTheRestoreMark();
      } else {
        ReplaceAPlacedFileByTheUsers(backedUp, had);
      }
      {
        testing_support::RestartUser user;
        EXPECT_TRUE(StartUp());
        EXPECT_TRUE(!user.told.empty() && user.told[0].endsWith("Restore the backup again."))
            << (user.told.empty() ? "" : user.told[0].toStdString());
        (void)RestoreThroughTheWindowUnder(FailingWrites(writes - 1, writes + 1));
        EXPECT_TRUE(user.told.back().contains("Until then no company posts anything"))
            << user.told.back().toStdString();
        EndProgram();
        told.insert(told.end(), user.told.begin(), user.told.end());
      }
      {
        testing_support::RestartUser user;
        EXPECT_TRUE(StartUp());
        EXPECT_TRUE(!user.told.empty() && user.told[0].contains("has been undone"))
            << "the second restore stood";
        ExpectEveryCompanyHeld("Restore the backup again.");
        EndProgram();
        told.insert(told.end(), user.told.begin(), user.told.end());
      }
      EXPECT_EQ(LostOrHidden(folder, had, told), std::vector<std::string>{});
      testing_support::RestartUser user;
      EXPECT_TRUE(StartUp());
      (void)RestoreThroughTheWindowUnder({});
      EXPECT_TRUE(user.told.back().startsWith("Restore files operation complete"))
          << user.told.back().toStdString();
      EXPECT_FALSE(storage::PostingJournalWaits());
      EndProgram();
      told.insert(told.end(), user.told.begin(), user.told.end());
      EXPECT_EQ(NotAsBackedUp(folder, backedUp), std::vector<std::string>{});
      for (const auto& item : fs::directory_iterator(folder))
        EXPECT_FALSE(item.path().filename().string().starts_with(".restore")) << item.path();
    }
    EXPECT_EQ(LostOrHidden(folder, had, told), std::vector<std::string>{});
    fs::current_path(dir_.path());
    fs::remove_all(folder);
    return met;
  });
  const int mixed = testing_support::CountMet(mets, &Met::Mixed);
  const int onePlaced = testing_support::CountMet(mets, &Met::OnePlaced);
  std::printf(
      "%d of %d first restores held with the backup's files and the user's mixed, %d with one placed\n",
      mixed, writes - 1, onePlaced);
  EXPECT_GT(mixed, onePlaced);
  EXPECT_GT(onePlaced, 0);
}

TEST_F(RestoreWayOutTest, ARestoreTakenBackOverAnotherWithADamagedMarkLeavesThatOneHoldingEveryCompany) {
  SweepARestoreTakenBackOverAnother(Unsettled::MarkDamaged);
}

TEST_F(RestoreWayOutTest, ARestoreTakenBackOverAnotherInTheWayOfItsFilesLeavesThatOneHoldingEveryCompany) {
  SweepARestoreTakenBackOverAnother(Unsettled::PlacedFileReplaced);
}

// A text with the names of restores' work folders, which differ from one restore to another, cut
// to what they start with.
std::string WithoutWorkFolderNames(const std::string& text) {
  return std::regex_replace(text, std::regex("\\.restore-[A-Za-z0-9]{6}"), ".restore-");
}

// What a held restore says to do, in the words of what the next start can do with it.
std::string NextStartRemedy(bool finishes, bool undoes) {
  if (!finishes && !undoes) return "Restore the backup again.";
  return std::string("Start the program again, which ") +
         (finishes && undoes ? "finishes or undoes"
          : finishes         ? "finishes"
                             : "undoes") +
         " it.";
}

// A restore held until a start settles it says what that start will do: that it finishes or undoes
// it only when it can do both, else the one it can. Restores are held by a restore through the
// backup window whose last placing write fails and its take-back at one of the next writes, and
// then, in some, by a start that fails to finish it and to take it back, at its first write and one
// of the next. Each is made twice alike and started as main starts it: plainly, and with its first
// write failing, which shows whether a start that finishes it could undo it instead.
TEST_F(RestoreWayOutTest, AHeldRestoreSaysWhatTheNextStartWillDoWithIt) {
  BackUpThenPostAnInvoice();
  if (HasFatalFailure()) return;
  const int writes = CountRestoreThroughTheWindow({}).first;
  struct Point {
    int TakeBackFails;  // the take-back's write that fails, counted from the failing placing write
    int StartFails;     // 0: no start fails; else the start's second write that fails, after its first
  };
  std::vector<Point> points;
  for (int takeBack : {1, 2, 3, 4})
    for (int start : {0, 1, 2, 3}) points.push_back({takeBack, start});
  struct Met {
    bool Held = false;
    bool Finishes = false;
    bool Undoes = false;
  };
  const std::vector<Met> mets = testing_support::RunPointsSideBySide<Met>(int(points.size()), [&](int at) {
    const Point point = points[size_t(at)];
    SCOPED_TRACE("the take-back's write " + std::to_string(point.TakeBackFails) + " fails" +
                 (point.StartFails
                      ? ", then a start's first and write " + std::to_string(point.StartFails + 1)
                      : std::string()));
    // The restore held in a copy of the data folder: what the last failure said.
    const auto hold = [&](const fs::path& folder) {
      WorkOnACopy(folder);
      std::string said;
      {
        testing_support::RestartUser user;
        EXPECT_TRUE(StartUp());
        (void)RestoreThroughTheWindowUnder(FailingWrites(writes - 1, writes - 1 + point.TakeBackFails));
        said = user.told.empty() ? std::string() : user.told.back().toStdString();
        EndProgram();
      }
      if (point.StartFails) said = SaidAtAStart(folder, FailingWrites(1, 1 + point.StartFails));
      fs::current_path(dir_.path());
      return said;
    };
    const fs::path folder = dir_.path() / ("held" + std::to_string(at));
    const std::string said = hold(folder);
    Met met;
    met.Held = said.find("no company posts anything") != std::string::npos;
    if (met.Held) {
      const std::string then = SaidAtAStart(folder);
      met.Finishes = then.find("has been finished") != std::string::npos;
      met.Undoes = then.find("has been undone") != std::string::npos;
      if (met.Finishes) {
        const fs::path alike = folder.string() + "-alike";
        EXPECT_EQ(WithoutWorkFolderNames(hold(alike)), WithoutWorkFolderNames(said));
        met.Undoes =
            SaidAtAStart(alike, {.OnWrite = FaultAction::Fail, .WriteNumber = 1}).find("has been undone") !=
            std::string::npos;
        fs::remove_all(alike);
      }
      EXPECT_TRUE(said.ends_with(NextStartRemedy(met.Finishes, met.Undoes))) << said << "\n" << then;
    }
    fs::remove_all(folder);
    return met;
  });
  int both = 0, undoOnly = 0;
  for (const Met& met : mets) {
    both += met.Held && met.Finishes && met.Undoes;
    undoOnly += met.Held && !met.Finishes && met.Undoes;
  }
  std::printf("%d held restores of %zu: %d that a start can finish or undo, %d that it can only undo\n",
              testing_support::CountMet(mets, &Met::Held), mets.size(), both, undoOnly);
  EXPECT_GT(both, 0);
  EXPECT_GT(undoOnly, 0);
}

// Marks made by hand, as no restore makes them, over company 1's live files: the start changes no
// file on their word, and says nothing is restored when nothing was.
TEST_F(RestoreWayOutTest, AMarkNoRestoreWroteCostsNoFileAndFinishesNothing) {
  MakeNewCompany(true);
  if (HasFatalFailure()) return;
  const std::map<std::string, FileAsItWas> had = FilesIn(Folder());
  struct Case {
    const char* Name;
    std::vector<bool> HadOld;  // a "file" line for live 1C.DAT each, with its flag
    bool WorkFolder;           // its work folder is made, with its empty folders
    const char* Said;          // how what the start says begins
    const char* Earlier = "";  // a line after its "safety" line, as a restore that took over another writes
  };
  const Case cases[] = {
      {"the live file, said to be placed, and no work folder",
       {false},
       false,
       "A record of a restore of the backup files (.restore-mark) names a work folder, .restore-abcdef, that "
       "is not there, so no restore wrote it.  No file was changed; the record is kept as "
       "\"restore-mark-1.BAD\"."},
      {"one file named twice",
       {true, false},
       true,
       "The restore of the backup files was interrupted, and its record of what it did (.restore-mark) "
       "cannot "
       "be read: it is damaged."},
      {"a file never placed, and an empty work folder",
       {false},
       true,
       "The restore of the backup files was interrupted and has been undone: the data files are as they "
       "were before it."},
      {"an earlier restore's mark that is not in hex",
       {false},
       true,
       "The restore of the backup files was interrupted, and its record of what it did (.restore-mark) "
       "cannot be read: it is damaged.",
       "earlier\t4b4g\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = dir_.path() / "marked";
    fs::remove_all(folder);
    fs::copy(Folder(), folder, fs::copy_options::recursive);
    fs::current_path(folder);
    exchange::RestorePlan plan;
    plan.folder = ".restore-abcdef";
    plan.safety = "BeforeRestore 2026-12-07 10.00.00";
    // The live file's own identity, as a hand that copied it into the mark made it.
    for (const bool hadOld : c.HadOld) {
      exchange::RestoreItem item{"1C.DAT", "1C.DAT", hadOld, {}};
      int err = 0;
      ASSERT_TRUE(exchange::IdentifyStagedFile("1C.DAT", &item.staged, &err));
      plan.items.push_back(item);
    }
    if (c.WorkFolder)
      for (const char* part : {"new", "old", "journals"})
        fs::create_directories(fs::path(plan.folder) / part);
    std::string mark = exchange::EncodeRestoreMark(plan);
    mark.insert(mark.find("\nfile") + 1, c.Earlier);
    std::ofstream(exchange::RestoreMarkName, std::ios::binary) << mark;
    // Written after the live files were (a clock's tick can hold both).
    fs::last_write_time(exchange::RestoreMarkName,
                        fs::file_time_type::clock::now() + std::chrono::seconds(1));
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_TRUE(user.told[0].toStdString().starts_with(c.Said)) << user.told[0].toStdString();
    EXPECT_FALSE(user.told[0].contains("finished: the data files are the backup's"));
    EndProgram();
    for (const auto& [name, before] : had) EXPECT_TRUE(Keeps(folder / name, before, true)) << name;
    fs::current_path(dir_.path());
  }
}

// A restore takes away company 2, made after the backup, and the user follows the README's words
// to undo it: close the program, copy every file of the restore's folder into the data folder,
// replacing those there, and start the program again. The books are as they were before the
// restore: company 2 is listed again with its figures, and both companies' books balance.
TEST_F(RestoreWayOutTest, TheReadmesWayToUndoARestoreBringsBackTheCompanyItTookAway) {
  MakeNewCompany(true);
  if (HasFatalFailure()) return;
  BackUp(false);
  fs::current_path(Folder());
  storage::IsamInitialize(0, 30);
  FileNewCompany("2", "Second Shop", "20000", "GADGET", true);
  if (HasFatalFailure()) return;
  invoicing::PostNewInvoice(testing_support::Invoice("20000", "C1", "12/07/2026", {{"GADGET", "15"}}));
  testing_support::CloseEngine();
  records::CurrentCompany = records::CompanyRec{};
  std::string receivables;
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    records::CompanyRec second{};
    ASSERT_TRUE(records::ReadCompanyRecord("2", second));
    receivables = platform::text::TrimBlanks(second.CompanyARBalance.Get());
    EndProgram();
  }
  EXPECT_NE(receivables, "0.00");
  const testing_support::FolderRecords before = RecordsOnFile(Folder());

  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    (void)RestoreThroughTheWindowUnder({});
    ASSERT_FALSE(user.asked.empty());
    EXPECT_TRUE(user.asked[0].contains("The backup holds no files of company 2 (Second Shop)"))
        << user.asked[0].toStdString();
    EndProgram();
  }
  EXPECT_FALSE(fs::exists(Folder() / "2C.DAT"));
  // The README's words, followed literally.
  for (const auto& item : fs::directory_iterator(Folder() / kSafety))
    fs::copy_file(item.path(), Folder() / item.path().filename(), fs::copy_options::overwrite_existing);
  testing_support::RestartUser user;
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(user.told, std::vector<QString>{});
  records::CompanyRec listed{};
  ASSERT_TRUE(records::ReadCompanyRecord("2", listed));
  EXPECT_EQ(platform::text::TrimBlanks(listed.CompanyARBalance.Get()), receivables);
  records::CompanyRec first{};
  ASSERT_TRUE(records::ReadCompanyRecord("1", first));
  for (const records::CompanyRec& shown : {first, listed}) {
    const std::string company = platform::text::TrimBlanks(shown.CompanyNumber.Get());
    SCOPED_TRACE("company " + company);
    records::CurrentCompany = shown;
    records::InstallCompanyFileNames();
    ASSERT_TRUE(OpenCompanyFilesThatAreThere(company));
    const testing_support::StockBefore stock = {{company == "1" ? "WIDGET" : "GADGET", 100}};
    EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany, stock), std::vector<std::string>{});
    testing_support::CloseEngine();
    storage::IsamInitialize(0, 30);
  }
  EndProgram();
  EXPECT_EQ(RecordsOnFile(Folder()), before);
}

const WayOut kWaysOut[] = {
    {"TheInvoiceFilesMadeAfterTheBackupAndTheJournalDamaged", false, false, true},
    {"EveryFileOfThePostingBackedUpAndTheJournalDamaged", true, false, true},
    {"TheCompanyListAloneBackedUpAndAFileThePostingNamesUnreadable", true, true, false},
    {"TheCompanyListAloneBackedUpAndTheJournalDamaged", true, true, true},
};
INSTANTIATE_TEST_SUITE_P(WaysOut, RestoreWayOutCaseTest, ::testing::ValuesIn(kWaysOut),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace shell
