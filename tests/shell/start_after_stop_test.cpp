// The start after the program was stopped, as main starts it: an invoice posted by the program in a
// child process, stopped there by the file layer's fault seam, then the program started on the
// folder. Whatever the stop, the user is told one thing at most, asked nothing, and finds the
// books whole and no file left to repair; and while a posting waits to be undone, nothing moves
// its records. A company's deletion and a copy of products stopped the same way are whole or
// gone after the start, with nothing left under a temporary name.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QRegularExpression>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "companies/prod_copy.h"
#include "exchange/account_import.h"
#include "exchange/backup_files.h"
#include "exchange/backup_window.h"
#include "exchange/product_import.h"
#include "exchange/restore_files.h"
#include "exchange/restore_placement.h"
#include "forms/manager_window.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/payment_posting.h"
#include "main_form_fixture.h"
#include "permissions_apply.h"
#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/text/clock.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "posting_folder.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/last_company.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/system_reason.h"
#include "records/vendor_file.h"
#include "shell/aging.h"
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
using testing_support::UiScript;

// What the start says of a posting it undid, or found on file though nobody heard so: the posting,
// named as the user knows the work ("invoice 1004"), begins the sentence.
std::string Sentence(std::string what) {
  what[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(what[0])));
  return what;
}
std::string UndoneMessage(const std::string& what) {
  return Sentence(what) + " was interrupted and has been undone; the files it touched were rebuilt.";
}
std::string OnFileMessage(const std::string& what) {
  return Sentence(what) + " was completed and is on file.";
}
const std::string kUndone = UndoneMessage("invoice 1004");
const char kStopped[] =
    "The program was stopped last time while company 12 was open.  The files it had open are rebuilt now.";

const char kDeletionFinished[] = "The deletion of company 7 was interrupted and has been finished.";

// The safety copy of a restore at the fixture's clock.
const char kSafety[] = "BeforeRestore 2026-12-07 10.00.00";
const char kRestoreFinished[] =
    "The restore of the backup files was interrupted and has been finished: the data files are the backup's. "
    " "
    "The files it replaced or took away are kept in the folder \"BeforeRestore 2026-12-07 10.00.00\" of the "
    "data folder.";
const char kRestoreUndone[] =
    "The restore of the backup files was interrupted and has been undone: the data files are as they were "
    "before it.";

// What refuses work while invoice 1004 waits to be undone: `subject` cannot be `verb`, and what to do.
std::string Refusal(const std::string& subject, const std::string& verb, const std::string& remedy) {
  return subject + " cannot be " + verb + " now: invoice 1004 was interrupted and is not undone yet. " +
         remedy;
}

// The contents of the company's data files, its journal and the company list, by name: their
// size and a hash of their bytes, which any change of a byte changes.
std::map<std::string, std::string> DataFileBytes(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    if (!name.starts_with("12") && !name.starts_with("ovcomp")) continue;
    std::ifstream file(item.path(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    contents[name] =
        std::to_string(bytes.size()) + " bytes, hash " + std::to_string(std::hash<std::string>{}(bytes));
  }
  return contents;
}

// The first record of an open file whose field `field` reads `text`, and its reference (0: none).
template <class Record, class Field>
storage::IsamRecRef FindRecord(storage::IsamFileBlock file, Field Record::*field, const std::string& text,
                               Record& record) {
  storage::IsamRecRef ref = 0;
  for (storage::IsamNextRec(file, ref); storage::IsamOK; storage::IsamNextRec(file, ref)) {
    storage::IsamGetRec(file, ref, &record, sizeof record);
    if (platform::text::TrimBlanks((record.*field).Get()) == text) return ref;
  }
  return 0;
}

// Adds a record whose field `field` reads `text` to a file of the open company, as its manager adds
// one: what goes wrong is raised with what the manager says.
template <class Record, class Field>
void AddRecordAs(storage::IsamFileBlock& file, bool (*open)(), Field Record::*field, const std::string& text,
                 bool (*add)(const Record&, storage::IsamRecRef&)) {
  records::FileForAction action(file, open);
  Record record{};
  (record.*field).Set(text);
  storage::IsamRecRef ref = 0;
  records::RequireDone(add(record, ref), "Add operation failed");
}

std::vector<std::string> Texts(const std::vector<QString>& shown) {
  std::vector<std::string> texts;
  for (const QString& text : shown) texts.push_back(text.toStdString());
  return texts;
}

using Stock = std::vector<std::pair<std::string, int>>;

// Whether a data file of a closed folder cannot be opened as it stands: marked for repair, or
// without its index.
bool DataFileToRepair(const fs::path& data) {
  return storage::DataFileMarkedForRepair(data.string()) ||
         !fs::exists(fs::path(data).replace_extension(".IX"));
}

// The company's data files (and the company list) marked for repair, without their index, or with
// a rebuild left unfinished, in a closed folder.
std::vector<std::string> FilesLeftToRepair(const fs::path& folder) {
  std::vector<std::string> left;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    const bool dataFile =
        (name.starts_with("12") || name.starts_with("ovcomp")) && name.find("JNL") == std::string::npos;
    if (dataFile && (item.path().extension() == ".SAV" ||
                     (item.path().extension() == ".DAT" && DataFileToRepair(item.path()))))
      left.push_back(name);
  }
  return left;
}

// The records of the named data files of the folder.
testing_support::FolderRecords RecordsOf(const fs::path& folder, const std::set<std::string>& files) {
  testing_support::FolderRecords records = testing_support::ReadFolderRecords(folder);
  std::erase_if(records, [&](const auto& file) { return !files.contains(file.first); });
  return records;
}

// The records a posting of the invoice changes and the start itself does not (it ages the
// customers): the lines and the products.
testing_support::FolderRecords LinesAndProducts(const fs::path& folder) {
  return RecordsOf(folder, {"12D.DAT", "12P.DAT"});
}

// Whether the journal holds a posting to undo: its mark is set.
bool JournalHoldsAPosting(const fs::path& journal) {
  std::string bytes;
  if (!platform::files::ReadWholeFile(journal.string(), &bytes)) return false;
  bytes.resize(std::min<size_t>(bytes.size(), 8));
  return bytes.find_first_not_of('\0') != std::string::npos;
}

// What a journal's header says.
storage::JournalRead HeaderIn(const fs::path& journal, storage::JournalHeader& header) {
  platform::files::File file;
  if (!file.Open(journal.string(), platform::files::OpenMode::ReadOnly)) return storage::JournalRead::Damaged;
  storage::JournalReader reader(file);
  return reader.ReadHeader(header);
}

// What the posting the journal holds is ("invoice 1004"), or nothing when it holds none.
std::string PostingInJournal(const fs::path& journal) {
  storage::JournalHeader header;
  return HeaderIn(journal, header) == storage::JournalRead::Entries ? header.What : std::string();
}

// What the posting the journal holds as committed and not yet reported done is, or nothing.
std::string PostingCommittedInJournal(const fs::path& journal) {
  storage::JournalHeader header;
  return HeaderIn(journal, header) == storage::JournalRead::Empty && header.Committed ? header.What
                                                                                      : std::string();
}

// The names in the folder that spell company 12's journal, whatever their case.
std::vector<fs::path> JournalSpellings(const fs::path& folder) {
  std::vector<fs::path> names;
  for (const auto& item : fs::directory_iterator(folder)) {
    std::string upper = item.path().filename().string();
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "12JNL.DAT") names.push_back(item.path());
  }
  return names;
}

const char kSetAsideOne[] =
    "The posting journal 12JNL.DAT does not belong to the files of company 12.  Nothing was undone; the "
    "journal was kept as 12JNL-1.BAD.";
const char kSetAsideTwo[] =
    "Company 12 has more than one posting journal.  Nothing was undone; they were kept as 12JNL-1.BAD, "
    "12JNL-2.BAD.";

// Whether the journal of the folder holds the start's own aging, to undo or committed: the start
// ages again and says nothing of it.
bool AgingInJournal(const fs::path& folder) {
  const std::vector<fs::path> spellings = JournalSpellings(folder);
  storage::JournalHeader header;
  const storage::JournalRead read =
      spellings.size() == 1 ? HeaderIn(spellings[0], header) : storage::JournalRead::Damaged;
  return header.What == AgingPosting &&
         (read == storage::JournalRead::Entries || (read == storage::JournalRead::Empty && header.Committed));
}

// What the start must say of the folder a stop left, from its journal alone: the posting it names
// (undone, or on file; the start's own aging neither), the journals it must set aside (a stranger's,
// one in two spellings, or the stand-in of a start stopped before it said so), or the stop that left
// files marked.
std::vector<std::string> StartMustSay(const fs::path& folder, bool marked) {
  const std::vector<fs::path> spellings = JournalSpellings(folder);
  std::vector<storage::JournalRead> reads;
  std::vector<storage::JournalHeader> headers(spellings.size());
  for (size_t i = 0; i < spellings.size(); ++i) reads.push_back(HeaderIn(spellings[i], headers[i]));
  const bool allEmpty =
      std::all_of(reads.begin(), reads.end(), [](auto r) { return r == storage::JournalRead::Empty; });
  if (spellings.size() > 1 && !allEmpty) return {kSetAsideTwo};
  if (spellings.empty() || allEmpty) {
    const bool committed = spellings.size() == 1 && headers[0].Committed && headers[0].Company == "12" &&
                           headers[0].What != AgingPosting;
    if (committed) return {OnFileMessage(headers[0].What)};
    return marked ? std::vector<std::string>{kStopped} : std::vector<std::string>{};
  }
  const storage::JournalHeader& header = headers[0];
  if (reads[0] == storage::JournalRead::SetAside && header.Company == "12")
    return {header.What.find(", ") != std::string::npos ? kSetAsideTwo : kSetAsideOne};
  if (reads[0] == storage::JournalRead::Entries && header.Company == "12")
    return header.What == AgingPosting ? std::vector<std::string>{}
                                       : std::vector<std::string>{UndoneMessage(header.What)};
  return {kSetAsideOne};
}

// How many of the messages say that a posting was undone.
int UndoneTold(const std::vector<std::string>& told) {
  return static_cast<int>(std::count_if(told.begin(), told.end(), [](const std::string& text) {
    return text.find(" was interrupted and has been undone") != std::string::npos;
  }));
}

// The names of the journals a start set aside in the folder, each with whether it holds `bytes`.
std::map<std::string, bool> JournalsSetAside(const fs::path& folder, const std::string& bytes = {}) {
  std::map<std::string, bool> aside;
  for (const auto& item : fs::directory_iterator(folder)) {
    if (item.path().extension() != ".BAD") continue;
    std::ifstream in(item.path(), std::ios::binary);
    aside[item.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {}) == bytes;
  }
  return aside;
}

// What a restore left in the folder: its mark, and its work folders with or without one.
struct RestoreLeft {
  bool Mark = false;  // in the folder, or in a work folder: a start has a restore to tell of
  int WorkFolders = 0;
};
RestoreLeft WhatARestoreLeft(const fs::path& folder) {
  RestoreLeft left;
  left.Mark = fs::exists(folder / exchange::RestoreMarkName);
  for (const auto& item : fs::directory_iterator(folder)) {
    if (!item.path().filename().string().starts_with(".restore-") || !item.is_directory()) continue;
    ++left.WorkFolders;
    left.Mark = left.Mark || fs::exists(item.path() / "mark");
  }
  return left;
}

// The stock of every product as the open product file holds it.
std::map<std::string, std::string> StockOnFile() {
  std::map<std::string, std::string> stock;
  storage::IsamRecRef ref = 0;
  for (storage::IsamNextRec(records::ProductFile, ref); storage::IsamOK;
       storage::IsamNextRec(records::ProductFile, ref)) {
    records::ProductRec product{};
    storage::IsamGetRec(records::ProductFile, ref, &product, sizeof product);
    stock[platform::text::TrimBlanks(product.Code.Get())] = platform::text::TrimBlanks(product.OnHand.Get());
  }
  return stock;
}

// The files of a company in a closed folder, by name with their bytes: those whose names are its
// number followed by no digit.
std::map<std::string, std::string> FilesOfCompany(const fs::path& folder, const std::string& number) {
  std::map<std::string, std::string> found;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    if (!name.starts_with(number) || name.size() == number.size() ||
        std::isdigit(static_cast<unsigned char>(name[number.size()])))
      continue;
    std::string bytes;
    EXPECT_TRUE(platform::files::ReadWholeFile(item.path().string(), &bytes)) << name;
    found[name] = bytes;
  }
  return found;
}

// The company list of a closed folder: each company's record by its number.
std::map<std::string, std::string> CompanyList(const fs::path& folder) {
  std::map<std::string, std::string> list;
  for (const std::string& bytes : testing_support::LiveRecords(folder / "ovcomp.DAT")) {
    records::CompanyRec company{};
    std::memcpy(&company, bytes.data(), std::min(bytes.size(), sizeof company));
    list[platform::text::TrimBlanks(company.CompanyNumber.Get())] = bytes;
  }
  return list;
}

// The names in a closed folder that look like what a copy or a deletion writes for a while.
std::set<std::string> NamesLikeTemporaries(const fs::path& folder) {
  std::set<std::string> found;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    const std::string upper = platform::text::UpperCase(name);
    if (upper.find(".TMP") != std::string::npos || upper.find(".DEL") != std::string::npos)
      found.insert(name);
  }
  return found;
}

// The data file moved to a folder beside the data folder (standing for another disk) and a symbolic
// link to it left in its place, as a user who keeps a large file elsewhere keeps it.
void KeepOnAnotherDisk(const fs::path& folder, const std::string& name) {
  const fs::path disk = folder.string() + "-disk";
  fs::create_directory(disk);
  fs::rename(folder / name, disk / name);
  fs::create_symlink(disk / name, folder / name);
}

// The work folder a restore left in the folder.
fs::path WorkFolderIn(const fs::path& folder) {
  for (const auto& item : fs::directory_iterator(folder))
    if (exchange::IsRestoreFolderName(item.path().filename().string())) return item.path();
  return {};
}

// A file the restore placed: the live file it replaced is in "old", its staged copy gone from "new".
fs::path APlacedFilesLiveCopy(const fs::path& work) {
  for (const auto& item : fs::directory_iterator(work / "old"))
    if (!fs::exists(work / "new" / item.path().filename())) return item.path();
  return {};
}

// A restore killed while placing its files, its folder then spoiled by hostile hands, and what the
// next start must do with it.
enum class Outcome { Finished, Undone, Held };
struct SpoiledRestore {
  const char* Name;
  // Spoils the folder, given its work folder and a folder beside the data folder; the name (in
  // the folder) of what it spoiled or must stay, if the case looks at it afterwards.
  std::function<std::string(const fs::path& folder, const fs::path& work, const fs::path& outside)> Spoil;
  Outcome Then;
  std::string Remedy;     // held: what every company is held with
  bool Ordinary = false;  // the start runs as an ordinary user, without the owner's overrides
};
struct SpoiledStart {
  fs::path Folder;
  std::string Said;                         // the start's one message
  std::string Named;                        // what Spoil named
  std::map<std::string, std::string> Left;  // everything in the folder before the start
};

class StartAfterStopTest : public MainFormTest {
 protected:
  StartAfterStopTest() : clock_(QDateTime(QDate(2026, 12, 7), QTime(10, 0))) {}
  void TearDown() override {
    platform::files::RemoveFaultPlan();
    EndProgram();
    MainFormTest::TearDown();
  }

  // Company 12 in its own folder, closed, named as the company to open: customer C1 and the
  // products; with deletedFirst, a product deleted before them leaves the first slot free.
  void MakeCompanyFolder(const fs::path& folder, const Stock& products, bool deletedFirst) {
    fs::create_directory(folder);
    fs::current_path(folder);
    storage::IsamInitialize(0, 30);
    records::CompanyRec company = testing_support::BooksCompanyRecord();
    company.NextInvoiceNumber.Set("1004");
    using testing_support::CompanyFile;
    ASSERT_TRUE(testing_support::OpenScratchCompany(
        company, {CompanyFile::Customers, CompanyFile::Products, CompanyFile::Invoices,
                  CompanyFile::InvoiceLines, CompanyFile::InvoiceMemos, CompanyFile::Vendors,
                  CompanyFile::POHeaders, CompanyFile::POLines, CompanyFile::POMemos}));
    records::CustomerRec customer{};
    customer.CustomerNo.Set("C1");
    customer.CustomerName.Set("Customer C1");
    customer.CustBalance.Set("0.00");
    for (auto* amount :
         {&customer.CustAging1, &customer.CustAging2, &customer.CustAging3, &customer.CustAging4})
      amount->Set("0.00");
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddCustomerRecord(customer, ref));
    auto addProduct = [&](const std::string& code, int onHand) {
      records::ProductRec product{};
      product.Code.Set(code);
      product.Description.Set(code);
      product.OnHand.Set(std::to_string(onHand));
      EXPECT_TRUE(records::AddProductRecord(product, ref));
    };
    if (deletedFirst) {
      addProduct("OLD", 1);
      ASSERT_TRUE(records::DeleteProductRecord(ref));
    }
    for (const auto& [code, onHand] : products) addProduct(code, onHand);
    records::VendorRec vendor{};
    vendor.VendorNo.Set("V1");
    vendor.VendorName.Set("Vendor V1");
    ASSERT_TRUE(records::AddVendorRecord(vendor, ref));
    records::CompanyWorkRec = company;
    ASSERT_TRUE(records::SaveCurrentCompany());
    testing_support::CloseEngine();
    records::CurrentCompany = records::CompanyRec{};
    fs::current_path(dir_.path());
  }

  // Company 7 listed beside company 12, its files copies of 12's.
  void AddCompanySeven(const fs::path& folder) {
    fs::current_path(folder);
    storage::IsamInitialize(0, 30);
    ASSERT_TRUE(records::OpenCompanyFile());
    records::CompanyWorkRec = testing_support::BooksCompanyRecord();
    records::CompanyWorkRec.CompanyNumber.Set("7");
    records::CompanyWorkRec.CompanyName.Set("Seventh Shop");
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddCompanyRecord(ref));
    records::CloseCompanyFile();
    testing_support::CloseEngine();
    for (const auto& [name, bytes] : FilesOfCompany(folder, "12"))
      if (name.ends_with(".DAT") || name.ends_with(".IX"))
        std::ofstream(folder / ("7" + name.substr(2))) << bytes;
    fs::current_path(dir_.path());
  }

  // The program started on the folder in a child, where the work (the invoice, unless a test
  // says otherwise) is posted under the fault plan; the child's exit status as PostInChildProcess
  // tells it.
  int PostInChild(const fs::path& folder, const FaultPlan& plan,
                  testing_support::FaultCount count = testing_support::FaultCount::None) {
    return testing_support::PostInChildProcess(
        folder, [] { return StartUp() && testing_support::OpenCompanyFiles(); }, plan, post_, count);
  }

  // What a start in a child showed before it ended, how it ended, how many writes and syncs it
  // made when it ran to its end and how many reads before its first write; and how many reads and
  // writes before its first message.
  struct ChildStart {
    int Status = -1;
    int Writes = 0, Syncs = 0, ReadsBeforeWriting = 0;
    int ReadsBeforeMessage = 0, WritesBeforeMessage = 0;
    std::vector<std::string> Told, Asked;
  };

  // The program run on the folder in a child: run starts it as main does, and may go on. Each box
  // it shows is passed to the parent as it is shown, so that a kill loses none of them; the writes
  // are counted from the fault plan's install to run's end, and then afterCount runs.
  static ChildStart RunProgramInChild(const fs::path& folder, const std::function<bool()>& run,
                                      const std::function<void()>& afterCount = {}) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(ends[0]);
      struct PassedOn : testing_support::RestartUser {
        explicit PassedOn(int fd) : fd(fd) {}
        platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
          const std::string line = "@" + std::to_string(platform::files::FaultReadsSoFar()) + ' ' +
                                   std::to_string(platform::files::FaultWritesSoFar()) + '\0' +
                                   (request.buttons == platform::ui::MsgButtons::Ok ? "!" : "?") +
                                   request.text.toStdString() + '\0';
          [[maybe_unused]] ssize_t written = ::write(fd, line.data(), line.size());
          return RestartUser::ShowMessageBox(request);
        }
        int fd;
      } user(ends[1]);
      fs::current_path(folder);
      const bool ran = run();
      const std::string count = "#" + std::to_string(platform::files::FaultWritesSoFar()) + " " +
                                std::to_string(platform::files::FaultSyncsSoFar()) + " " +
                                std::to_string(platform::files::FaultReadsBeforeFirstWrite()) + '\0';
      [[maybe_unused]] ssize_t written = ::write(ends[1], count.data(), count.size());
      if (afterCount) afterCount();
      ::_exit(ran ? 0 : 2);
    }
    ::close(ends[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;) said.append(buffer, size_t(got));
    ::close(ends[0]);
    ChildStart result;
    int status = 0;
    ::waitpid(child, &status, 0);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (size_t at = 0, end; (end = said.find('\0', at)) != std::string::npos; at = end + 1) {
      const std::string line = said.substr(at + 1, end - at - 1);
      if (said[at] == '#')
        std::sscanf(line.c_str(), "%d %d %d", &result.Writes, &result.Syncs, &result.ReadsBeforeWriting);
      else if (said[at] == '@' && result.Told.empty() && result.Asked.empty())
        std::sscanf(line.c_str(), "%d %d", &result.ReadsBeforeMessage, &result.WritesBeforeMessage);
      else if (said[at] != '@')
        (said[at] == '!' ? result.Told : result.Asked).push_back(line);
    }
    return result;
  }

  // The program started on the folder in a child under the fault plan, as main starts it. With
  // work, the plan stops that instead: it runs once the program has started, as an item of a
  // window runs (an error it raises is shown), the writes and syncs counted are its own, and the
  // user then ends the program.
  static ChildStart StartInChild(const fs::path& folder, const FaultPlan& plan,
                                 const std::function<void()>& work = {}) {
    bool started = false;
    return RunProgramInChild(
        folder,
        [&] {
          if (!work) platform::files::InstallFaultPlan(plan);
          started = StartUp();
          if (started && work) {
            platform::files::InstallFaultPlan(plan);
            platform::ui::RunEventHandler(work);
          }
          return started;
        },
        [&] {
          if (!started || !work) return;
          platform::files::RemoveFaultPlan();
          ShutDown();  // the user ends the program
        });
  }

  // The last kill of the posting in the folder that leaves it whole in its journal, with its
  // records on file: the folder as that kill left it. False when no kill does.
  bool StopPostingInItsJournal(const fs::path& folder, const std::function<void()>& post) {
    auto postIn = [&](const fs::path& where, const FaultPlan& plan, testing_support::FaultCount count) {
      return testing_support::PostInChildProcess(
          where, [] { return StartUp() && testing_support::OpenCompanyFiles(); }, plan, post, count);
    };
    const fs::path keep = dir_.path() / "keep";
    fs::copy(folder, keep);
    const fs::path count = dir_.path() / "count";
    fs::copy(folder, count);
    int n = postIn(count, {}, testing_support::FaultCount::Writes) - 10;
    fs::remove_all(count);
    for (; n > 0; --n) {
      fs::remove_all(folder);
      fs::copy(keep, folder);
      FaultPlan plan;
      plan.OnWrite = FaultAction::Kill;
      plan.WriteNumber = n;
      EXPECT_EQ(postIn(folder, plan, testing_support::FaultCount::None),
                platform::files::FaultKilledExitCode);
      if (JournalHoldsAPosting(folder / "12JNL.DAT")) break;
    }
    fs::remove_all(keep);
    return n > 0;
  }

  // The program started on the folder in a child by a user without the powers of root, who then
  // restores the backup under the fault plan.
  ChildStart RestoreInChild(const fs::path& folder, const FaultPlan& plan) {
    return RunProgramInChild(folder, [&] {
      testing_support::PermissionsApply asAUser;
      if (!StartUp()) return false;
      platform::files::InstallFaultPlan(plan);
      return exchange::RestoreDataFiles(Usb().string()).status == exchange::RestoreResult::Status::Restored;
    });
  }

  // A copy of the folder beside it in the scratch folder, under the name.
  fs::path CopyOf(const fs::path& folder, const std::string& name) const {
    const fs::path copy = dir_.path() / name;
    fs::copy(folder, copy);
    return copy;
  }

  // The restore run whole on a copy of the folder: how it ended, and its writes and syncs.
  ChildStart RestoreACopy(const fs::path& folder) {
    const fs::path copy = CopyOf(folder, "count");
    const ChildStart whole = RestoreInChild(copy, {});
    fs::remove_all(copy);
    return whole;
  }

  // A copy of the folder whose restore was killed among the renames that place its files (ten
  // writes before the whole run's last): its mark is there, files wait in its work folder, and
  // a file it placed already has its live copy kept aside.
  fs::path RestoreKilledWhilePlacing(const fs::path& folder, const ChildStart& whole) {
    const fs::path killed = CopyOf(folder, "killed");
    FaultPlan kill;
    kill.OnWrite = FaultAction::Kill;
    kill.WriteNumber = whole.Writes - 10;
    EXPECT_EQ(RestoreInChild(killed, kill).Status, platform::files::FaultKilledExitCode);
    EXPECT_TRUE(fs::exists(killed / exchange::RestoreMarkName));
    EXPECT_FALSE(fs::is_empty(WorkFolderIn(killed) / "new"));
    EXPECT_FALSE(APlacedFilesLiveCopy(WorkFolderIn(killed)).empty());
    return killed;
  }

  fs::path Usb() const { return dir_.path() / "usb"; }

  // The folder, closed, backed up as the backup window does it.
  void BackUp(const fs::path& folder) {
    fs::create_directory(Usb());
    fs::current_path(folder);
    std::string failure;
    EXPECT_TRUE(exchange::WriteBackupArchive(exchange::ListBackupFiles(), Usb().string(), {}, &failure))
        << failure;
    fs::current_path(dir_.path());
  }

  int CountInChild(const fs::path& start, testing_support::FaultCount count) {
    const fs::path folder = dir_.path() / "count";
    fs::copy(start, folder);
    const int status = PostInChild(folder, {}, count);
    fs::remove_all(folder);
    EXPECT_GE(status, 10);
    return status - 10;
  }

  // Company 7 deleted as the Company Manager deletes it, company 12 open.
  static void DeleteSeven() {
    if (!records::OpenCompanyFile()) throw std::runtime_error("no company list");
    records::CompanyRec company;
    storage::IsamRecRef ref = 0;
    if (!records::FindCompanyRecord("7", company, ref)) throw std::runtime_error("no company 7");
    records::DeleteCompanyWhole("7", ref);
  }

  // The write of company 7's deletion, in a start on the folder, that removes the first of its
  // files: its last writes remove the files one by one, and then the mark.
  int FirstRemovalOfSevensFiles(const fs::path& start) {
    const fs::path counting = CopyOf(start, "count");
    const ChildStart counted = StartInChild(counting, {}, DeleteSeven);
    fs::remove_all(counting);
    EXPECT_EQ(counted.Status, 0);
    return counted.Writes - static_cast<int>(FilesOfCompany(start, "7").size());
  }

  // The folder, a copy of start, where a kill at the write stopped company 7's deletion.
  void KillDeletionOfSeven(const fs::path& start, const fs::path& folder, int write) {
    fs::copy(start, folder);
    FaultPlan plan;
    plan.OnWrite = FaultAction::Kill;
    plan.WriteNumber = write;
    ASSERT_EQ(StartInChild(folder, plan, DeleteSeven).Status, platform::files::FaultKilledExitCode);
    ASSERT_TRUE(fs::exists(folder / "7.DEL"));
  }

  // The program started on the current folder as main starts it, the company's files opened as
  // the windows open them and the books checked against the stock they started from; then ended.
  void StartCheckBooksAndEnd(const testing_support::StockBefore& stock) {
    ASSERT_TRUE(StartUp());
    EXPECT_TRUE(testing_support::OpenCompanyFiles());
    EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany, stock), std::vector<std::string>{});
    EndProgram();
  }

  // The next start on the current folder finds the books whole and has nothing to say; then back
  // to the scratch folder.
  void StartSayingNothing() {
    testing_support::RestartUser user;
    StartCheckBooksAndEnd(kStock);
    EXPECT_EQ(Texts(user.told), std::vector<std::string>{});
    fs::current_path(dir_.path());
  }

  // The file that kept the posting waiting made readable again: the next start undoes it on the
  // files as they were, says so once, asks nothing, and leaves nothing to repair.
  void ReadableAgainTheNextStartUndoesIt(const fs::path& folder, const char* file,
                                         const testing_support::FolderRecords& before) {
    fs::permissions(folder / file, fs::perms::owner_read | fs::perms::owner_write);
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      StartCheckBooksAndEnd({{"WIDGET", 100}, {"GADGET", 40}});
      EXPECT_EQ(Texts(user.told), std::vector<std::string>{kUndone});
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(LinesAndProducts(folder), before);
    EXPECT_EQ(FilesLeftToRepair(folder), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(folder / "12JNL.DAT"));
  }

  // The program ended as its windows end it, and the handles of its files forgotten.
  void EndProgram() {
    ShutDown();
    testing_support::CloseEngine();
    records::CurrentCompany = records::CompanyRec{};
  }

  void PostTheInvoice() {
    invoicing::PostNewInvoice(testing_support::Invoice("1004", "C1", "12/07/2026", sales_));
  }

  // The folder backed up, then invoice 1004 posted and the program ended; with waiting, invoice
  // 1005 then stopped in its posting and the customer file made unreadable, so that a start cannot
  // undo it and it waits. The records of the backup and of the books as they are now (1005 undone).
  struct RestoreStage {
    testing_support::FolderRecords BackedUp, AsTheyWere;
  };
  void StageARestore(const fs::path& start, bool waiting, RestoreStage* stage) {
    MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
    stage->BackedUp = LinesAndProducts(start);
    BackUp(start);
    ASSERT_EQ(PostInChild(start, {}), 0);
    fs::current_path(start);
    {
      testing_support::RestartUser user;
      StartCheckBooksAndEnd(kStock);
    }
    fs::current_path(dir_.path());
    stage->AsTheyWere = LinesAndProducts(start);
    ASSERT_NE(stage->AsTheyWere, stage->BackedUp);
    if (!waiting) return;
    ASSERT_TRUE(StopPostingInItsJournal(start, [] {
      invoicing::PostNewInvoice(testing_support::Invoice("1005", "C1", "12/07/2026", {{"WIDGET", "1"}}));
    }));
    fs::permissions(start / "12C.DAT", fs::perms::none);
  }

  // The killed restore copied as the n-th case, spoiled as it says and started; the start says
  // one thing. It follows nothing out of the data folder: the folder beside it stays as it was.
  // Held, every company is held with the case's remedy and the copy stays as it was; else the
  // books are the backup's (finished) or as they were (undone), and nothing of the restore is left.
  SpoiledStart StartOverASpoiledCopy(const fs::path& killed, const RestoreStage& stage,
                                     const SpoiledRestore& c, int n);

  // Which stops of the restore a sweep makes: the kills at each write, or the power cuts at each
  // write and the kills of its take-back (a sweep each, so that each takes half the time).
  enum class RestoreStops { Kills, CutsAndTakeBacks };

  // The restore's sweep over the stage; with waiting, a posting waits there to be undone.
  void SweepReadsFailingAtTheStart(size_t firstStop, size_t endStop);

  void SweepTheRestore(bool waiting, RestoreStops stops) {
    const fs::path start = dir_.path() / "start";
    RestoreStage stage;
    StageARestore(start, waiting, &stage);
    if (HasFatalFailure()) return;
    const ChildStart whole = RestoreACopy(start);
    ASSERT_EQ(whole.Status, 0);
    ASSERT_GT(whole.Writes, 4);
    ASSERT_GT(whole.Syncs, 5);

    std::vector<FaultPlan> plans;
    const FaultAction action = stops == RestoreStops::Kills ? FaultAction::Kill : FaultAction::PowerCut;
    {
      for (int n = 1; n <= whole.Writes; ++n) {
        FaultPlan plan;
        plan.OnWrite = action;
        plan.WriteNumber = n;
        plan.SimulateDisk = action == FaultAction::PowerCut;
        plans.push_back(plan);
      }
    }
    // The first sync after the files are placed fails (the commit's two come last); the files are
    // then taken back, and that is killed at each of its writes up to the last: run to its end,
    // it is taken back whole, and the restore says that it failed.
    FaultPlan takenBack;
    takenBack.OnSync = FaultAction::Fail;
    takenBack.SyncNumber = whole.Syncs - 4;
    const ChildStart backWhole = RestoreInChild(CopyOf(start, "count"), takenBack);
    fs::remove_all(dir_.path() / "count");
    ASSERT_EQ(backWhole.Status, 2);
    ASSERT_GE(backWhole.Writes, whole.Writes);
    takenBack.OnWrite = FaultAction::Kill;
    for (int n = whole.Writes; stops == RestoreStops::CutsAndTakeBacks && n <= backWhole.Writes; ++n) {
      takenBack.WriteNumber = n;
      plans.push_back(takenBack);
    }

    // What the start after each stop left: the backup's books, or the books as they were (taken
    // back by the start, or before it).
    struct Left {
      bool Restored = false, KeptByTheStart = false;
    };
    const std::vector<Left> lefts =
        testing_support::RunPointsSideBySide<Left>(int(plans.size()), [&](int at) {
          const FaultPlan& plan = plans[size_t(at)];
          const bool takingBack = plan.OnSync == FaultAction::Fail;
          SCOPED_TRACE((takingBack                          ? "taken back, killed at write "
                        : plan.OnWrite == FaultAction::Kill ? "killed at write "
                                                            : "power cut at write ") +
                       std::to_string(plan.WriteNumber) + " of " + std::to_string(whole.Writes));
          const fs::path folder = CopyOf(start, "cut" + std::to_string(at));
          EXPECT_EQ(RestoreInChild(folder, plan).Status, platform::files::FaultKilledExitCode);
          const RestoreLeft left = WhatARestoreLeft(folder);
          const bool live = fs::exists(folder / exchange::RestoreMarkName);
          // The user makes the customer file readable again, whichever file is there now.
          std::error_code none;
          fs::permissions(folder / "12C.DAT", fs::perms::owner_read | fs::perms::owner_write, none);

          // A mark left is a restore the start finishes, unless it was being taken back.
          const bool finished = left.Mark && !takingBack;
          std::vector<std::string> expected;
          if (finished)
            expected.push_back(kRestoreFinished +
                               std::string(waiting ? "  The interrupted posting (invoice 1005) of "
                                                     "company 12 went with the files it touched."
                                                   : ""));
          if (!finished && live) expected.push_back(kRestoreUndone);
          if (!finished && waiting) expected.push_back(UndoneMessage("invoice 1005"));

          fs::current_path(folder);
          testing_support::RestartUser user;
          StartCheckBooksAndEnd(kStock);
          fs::current_path(dir_.path());
          EXPECT_EQ(LinesAndProducts(folder), finished ? stage.BackedUp : stage.AsTheyWere);
          EXPECT_EQ(Texts(user.told), expected);
          EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
          EXPECT_EQ(WhatARestoreLeft(folder).WorkFolders, 0);
          EXPECT_FALSE(fs::exists(folder / "12JNL.DAT"));
          fs::remove_all(folder);
          return Left{finished, !finished && live};
        });
    const int restored = testing_support::CountMet(lefts, &Left::Restored);
    const int keptByTheStart = testing_support::CountMet(lefts, &Left::KeptByTheStart);
    const int kept = int(lefts.size()) - restored;
    std::printf(
        "restore %s: %d writes, %d when taken back; the backup's books %d, as they were %d (taken back "
        "by the start %d)\n",
        waiting ? "with a posting waiting" : "with no posting waiting", whole.Writes, backWhole.Writes,
        restored, kept, keptByTheStart);
    EXPECT_GT(restored, 0);
    EXPECT_GT(kept, 0);
    if (stops == RestoreStops::CutsAndTakeBacks) {
      EXPECT_GT(keptByTheStart, 0);
    }
  }

  // Work of the user stopped at each write (a kill, or a power cut with the simulated disk) in a
  // program started on a copy of the company, then the program started again on it: the start says
  // one thing at most and asks nothing, the books balance, no file is left to repair, and the
  // posting is on file whole or not at all, as the start says. When it is not on file whole, the
  // user posts it again (an import: imports the same file) and finds it once, as a run without a
  // stop leaves it.
  struct StoppedWork {
    std::string What;  // the posting in the user's words
    std::function<void()> Post;
    std::set<std::string> Files;  // the files whose records the posting changes and the start does not
    bool Repeated = false;
    std::string Linked = {};  // a data file kept on another disk through a link (the posting writes
                              // through it, and so must the undo)
  };
  void SweepStops(const StoppedWork& work, FaultAction stop) {
    SCOPED_TRACE(work.What + (stop == FaultAction::Kill ? ", killed" : ", power cut") +
                 (work.Linked.empty() ? "" : ", " + work.Linked + " kept through a link"));
    post_ = work.Post;
    const fs::path start = dir_.path() / "start";
    if (!fs::exists(start)) MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
    const testing_support::FolderRecords before = RecordsOf(start, work.Files);

    // The stop at write n (none at 0: the posting made whole, the program stopped with its files
    // open, counting its writes), and the start after it.
    struct Met {
      bool Undone = false, Rebuilt = false;
    };
    testing_support::FolderRecords whole;
    int writes = 0;
    auto stopAt = [&](int n) {
      SCOPED_TRACE("stopped at write " + std::to_string(n) + " of " + std::to_string(writes));
      const fs::path folder = CopyOf(start, "cut" + std::to_string(n));
      if (!work.Linked.empty()) KeepOnAnotherDisk(folder, work.Linked);
      FaultPlan plan;
      if (n > 0) {
        plan.OnWrite = stop;
        plan.WriteNumber = n;
        plan.SimulateDisk = stop == FaultAction::PowerCut;
      }
      const int status = PostInChild(
          folder, plan, n > 0 ? testing_support::FaultCount::None : testing_support::FaultCount::Writes);
      if (n == 0) writes = status - 10;
      EXPECT_EQ(status, n > 0 ? platform::files::FaultKilledExitCode : 10 + writes);
      const std::string posting = PostingInJournal(folder / "12JNL.DAT");
      const std::string committed = PostingCommittedInJournal(folder / "12JNL.DAT");
      const bool marked = !FilesLeftToRepair(folder).empty();
      EXPECT_TRUE(posting.empty() || posting == work.What) << posting;
      const testing_support::FolderRecords stopped = RecordsOf(folder, work.Files);

      fs::current_path(folder);
      {
        testing_support::RestartUser user;
        StartCheckBooksAndEnd(kStock);
        const std::vector<std::string> expected =
            !posting.empty()     ? std::vector<std::string>{UndoneMessage(work.What)}
            : !committed.empty() ? std::vector<std::string>{OnFileMessage(committed)}
            : marked             ? std::vector<std::string>{kStopped}
                                 : std::vector<std::string>{};
        EXPECT_EQ(Texts(user.told), expected);
        EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
      }
      fs::current_path(dir_.path());
      EXPECT_EQ(FilesLeftToRepair(folder), std::vector<std::string>{});
      EXPECT_FALSE(fs::exists(folder / "12JNL.DAT"));
      // The records are the ones before the posting when it was undone, else as the stop left them:
      // a rebuild keeps them.
      const testing_support::FolderRecords started = RecordsOf(folder, work.Files);
      EXPECT_EQ(started, !posting.empty() ? before : stopped);
      if (n == 0) whole = started;
      EXPECT_TRUE(started == before || started == whole) << "neither absent nor whole";
      if (work.Repeated && started != whole) PostAgain(folder, work, whole);
      EXPECT_EQ(JournalsSetAside(folder), (std::map<std::string, bool>{}));
      fs::remove_all(folder);
      fs::remove_all(folder.string() + "-disk");
      return Met{!posting.empty(), posting.empty() && marked};
    };
    const Met made = stopAt(0);
    ASSERT_GT(writes, 2);
    if (HasFailure()) return;
    std::vector<Met> mets =
        testing_support::RunPointsSideBySide<Met>(writes, [&](int n) { return stopAt(n + 1); });
    mets.push_back(made);
    // Both kinds of stop were met: inside the posting, and with its files left open.
    EXPECT_GT(testing_support::CountMet(mets, &Met::Undone), 0);
    EXPECT_GT(testing_support::CountMet(mets, &Met::Rebuilt), 0);
  }

  // The user, not finding the work whole on file, does it again in the program: it is then on file
  // once, and the books balance.
  void PostAgain(const fs::path& folder, const StoppedWork& work,
                 const testing_support::FolderRecords& whole) {
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      ASSERT_TRUE(StartUp());
      ASSERT_TRUE(testing_support::OpenCompanyFiles());
      work.Post();
      EndProgram();
      StartCheckBooksAndEnd({{"WIDGET", 100}, {"GADGET", 40}});
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(RecordsOf(folder, work.Files), whole) << "not on file once after it was done again";
  }

  // A folder a stop left, for a start to finish.
  struct Stop {
    const char* Name;
    fs::path Folder;
    bool Posting;  // the journal holds a posting to undo
    // Swept over kills and over every failing read before the start's message; else only over the
    // reads before its first write, which decide how the journal is read.
    bool SweptWhole = true;
    std::vector<std::string> Aside = {};  // the names the journals go aside as
    std::string AsideBytes = {};          // what each holds
  };

  // The folders the stops leave, from company 12 with an invoice to post: a posting killed mid-way
  // (a journal with a posting to undo; once more with the synced end its header claims lost, so
  // that every entry reads as part of the last part); a stop between postings (an empty journal,
  // files left marked); and that stop with journals in the journal's place that the start must set
  // aside: another company's, and one of company 12 in two spellings (which of them the posting
  // wrote is not known). `before` and `whole`: the records as the posting found and left them.
  std::vector<Stop> Stops(testing_support::FolderRecords& before, testing_support::FolderRecords& whole) {
    const fs::path start = dir_.path() / "start";
    MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
    before = LinesAndProducts(start);
    const int writes = CountInChild(start, testing_support::FaultCount::Writes);
    std::vector<Stop> stops;
    // The posting stopped at its last write that leaves it in its journal with files marked.
    for (int n = writes; n > 0 && stops.empty(); --n) {
      const fs::path folder = dir_.path() / "posting";
      fs::copy(start, folder);
      EXPECT_EQ(PostInChild(folder, {.OnWrite = FaultAction::Kill, .WriteNumber = n}),
                platform::files::FaultKilledExitCode);
      if (JournalHoldsAPosting(folder / "12JNL.DAT") && !FilesLeftToRepair(folder).empty())
        stops.push_back({"after a posting killed mid-way", folder, true});
      else
        fs::remove_all(folder);
    }
    if (stops.empty()) return {};
    const fs::path unclaimed = dir_.path() / "unclaimed";
    fs::copy(stops[0].Folder, unclaimed);
    storage::JournalHeader header;
    EXPECT_EQ(HeaderIn(unclaimed / "12JNL.DAT", header), storage::JournalRead::Entries);
    EXPECT_GT(header.SyncedEnd, 0u);
    header.SyncedEnd = 0;
    std::fstream(unclaimed / "12JNL.DAT", std::ios::binary | std::ios::in | std::ios::out)
        << storage::EncodeJournalHeader(header);
    stops.push_back(
        {"after a posting killed mid-way, the synced end its header claims lost", unclaimed, true, false});
    // The posting done, then the program stopped with the company open.
    const fs::path between = dir_.path() / "between";
    fs::copy(start, between);
    EXPECT_EQ(PostInChild(between, {}), 0);
    EXPECT_FALSE(JournalHoldsAPosting(between / "12JNL.DAT"));
    EXPECT_FALSE(FilesLeftToRepair(between).empty());
    stops.push_back({"after a stop between postings", between, false});
    const std::string strangers = storage::EncodeJournalHeader({"13", "invoice 1004", 7, 0});
    const std::string ours = storage::EncodeJournalHeader({"12", "invoice 1004", 7, 0});
    const fs::path foreign = dir_.path() / "foreign";
    fs::copy(between, foreign);
    std::ofstream(foreign / "12JNL.DAT", std::ios::binary | std::ios::trunc) << strangers;
    stops.push_back(
        {"with another company's journal in its place", foreign, false, true, {"12JNL-1.BAD"}, strangers});
    const fs::path twice = dir_.path() / "twice";
    fs::copy(between, twice);
    std::ofstream(twice / "12JNL.DAT", std::ios::binary | std::ios::trunc) << ours;
    std::ofstream(twice / "12jnl.dat", std::ios::binary) << ours;
    stops.push_back(
        {"with the journal in two spellings", twice, false, true, {"12JNL-1.BAD", "12JNL-2.BAD"}, ours});
    const fs::path done = dir_.path() / "done";
    fs::copy(between, done);
    StartInChild(done, {});
    whole = LinesAndProducts(done);
    fs::remove_all(done);
    return stops;
  }

  // What the sweep over one stop met.
  struct Met {
    int Undid = 0, AgedAgain = 0, Stopped = 0, Quiet = 0, Waited = 0, Untold = 0;
  };

  // The start after the stop under each fault (a kill at a write, a failing read), then the next
  // start: it finishes what the first began, says one thing and asks nothing, and the books are
  // whole. Over the two starts a posting's undo is told once and a set-aside once; a journal that
  // still holds its posting after a failed read has said why; nothing is set aside but what does
  // not belong.
  Met SweepStartsAfter(const Stop& stop, const std::vector<FaultPlan>& faults,
                       const testing_support::FolderRecords& records) {
    const std::vector<Met> mets = testing_support::RunPointsSideBySide<Met>(int(faults.size()), [&](int at) {
      return StartAfterAStop(stop, faults[size_t(at)], "cut" + std::to_string(at), records);
    });
    Met met;
    for (const Met& one : mets) {
      met.Undid += one.Undid;
      met.AgedAgain += one.AgedAgain;
      met.Stopped += one.Stopped;
      met.Quiet += one.Quiet;
      met.Waited += one.Waited;
      met.Untold += one.Untold;
    }
    std::printf(
        "%s: %zu faults; next start undid %d, aged again %d, rebuilt %d, had nothing left %d; waited %d\n",
        stop.Name, faults.size(), met.Undid, met.AgedAgain, met.Stopped, met.Quiet, met.Waited);
    EXPECT_EQ(met.Untold, 0);
    return met;
  }

  // One point of that sweep, on a copy of the stop's folder under the name: what it met.
  Met StartAfterAStop(const Stop& stop, const FaultPlan& plan, const std::string& copy,
                      const testing_support::FolderRecords& records) {
    Met met;
    const bool kill = plan.OnWrite == FaultAction::Kill;
    SCOPED_TRACE(kill ? "the start stopped at write " + std::to_string(plan.WriteNumber)
                 : plan.OnWrite == FaultAction::Fail
                     ? "write " + std::to_string(plan.WriteNumber) + " failing"
                     : "read " + std::to_string(plan.ReadNumber) + " failing");
    const fs::path folder = CopyOf(stop.Folder, copy);
    const ChildStart first = StartInChild(folder, plan);
    EXPECT_EQ(first.Status, kill ? platform::files::FaultKilledExitCode : 0);
    // A read failing in the rebuild that follows an undo is the rebuild's to tell as well; a
    // journal left in place by a failing write, the postings that cannot write over it.
    if (kill || (plan.OnRead == FaultAction::Fail && UndoneTold(first.Told) == 0)) {
      EXPECT_LE(first.Told.size(), 1u) << testing::PrintToString(first.Told);
    }
    if (plan.OnWrite == FaultAction::Fail && !first.Told.empty() && JournalsSetAside(folder).empty()) {
      EXPECT_NE(first.Told.front().find(std::strerror(plan.Errno)), std::string::npos) << first.Told.front();
    }
    EXPECT_EQ(first.Asked, std::vector<std::string>{});
    if (stop.Aside.empty()) {
      EXPECT_EQ(JournalsSetAside(folder), (std::map<std::string, bool>{}));
    }
    if (plan.OnRead == FaultAction::Fail && JournalHoldsAPosting(folder / "12JNL.DAT") &&
        UndoneTold(first.Told) == 0) {
      ++met.Waited;
      EXPECT_TRUE(first.Told.size() == 1 && first.Told.front().find(std::strerror(EIO)) != std::string::npos)
          << testing::PrintToString(first.Told);
    }
    // What is left to finish decides what the next start says: an undo, a set-aside, or a
    // rebuild. The start posts too: its aging, stopped, is undone without a word and done again.
    const bool marked = !FilesLeftToRepair(folder).empty();
    const bool aging = AgingInJournal(folder);
    const std::vector<std::string> expected = StartMustSay(folder, marked);
    (UndoneTold(expected) ? met.Undid : aging ? met.AgedAgain : marked ? met.Stopped : met.Quiet) += 1;
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      StartCheckBooksAndEnd({{"WIDGET", 100}, {"GADGET", 40}});
      const std::vector<std::string> told = Texts(user.told);
      EXPECT_EQ(told, expected);
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
      met.Untold += !aging && first.Told.empty() && told.empty();
      if (stop.Posting) {
        EXPECT_EQ(UndoneTold(first.Told) + UndoneTold(told), 1) << "the undo of the posting is told once";
      }
      const std::string setAside = stop.Aside.size() > 1 ? kSetAsideTwo : kSetAsideOne;
      if (!stop.Aside.empty()) {
        EXPECT_EQ(std::count(first.Told.begin(), first.Told.end(), setAside) +
                      std::count(told.begin(), told.end(), setAside),
                  1)
            << "the set-aside is told once";
      }
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(FilesLeftToRepair(folder), std::vector<std::string>{});
    EXPECT_TRUE(JournalSpellings(folder).empty());
    EXPECT_EQ(LinesAndProducts(folder), records);
    std::map<std::string, bool> aside;
    for (const std::string& name : stop.Aside) aside[name] = true;
    EXPECT_EQ(JournalsSetAside(folder, stop.AsideBytes), aside);
    fs::remove_all(folder);
    return met;
  }

  // A fault-free start after the stop, as main starts it: one message, nothing asked.
  ChildStart CountStartAfter(const Stop& stop) {
    const fs::path folder = dir_.path() / "count";
    fs::copy(stop.Folder, folder);
    const ChildStart counted = StartInChild(folder, {});
    fs::remove_all(folder);
    EXPECT_EQ(counted.Status, 0);
    EXPECT_EQ(counted.Told.size(), 1u);
    EXPECT_EQ(counted.Asked, std::vector<std::string>{});
    return counted;
  }

  const testing_support::StockBefore kStock = {{"WIDGET", 100}, {"GADGET", 40}};
  platform::text::FixedClock clock_;
  std::vector<std::pair<std::string, std::string>> sales_ = {{"WIDGET", "3"}, {"GADGET", "2"}};
  std::function<void()> post_ = [this] { PostTheInvoice(); };
};

// The invoice stopped at every write, once with the product file kept on another disk through a
// link.
TEST_F(StartAfterStopTest, AStopAtAnyWriteOfAnInvoiceIsSaidOnceAtTheStartAndLeavesNoFileToRepair) {
  SweepStops({"invoice 1004", [this] { PostTheInvoice(); }, {"12D.DAT", "12P.DAT"}}, FaultAction::Kill);
  SweepStops({"invoice 1004", [this] { PostTheInvoice(); }, {"12D.DAT", "12P.DAT"}, false, "12P.DAT"},
             FaultAction::Kill);
}

// An import is one posting however many rows it has: whole or absent after a kill or a power cut
// at any write, its customers or products and the company's next number alike.
TEST_F(StartAfterStopTest, AnImportStoppedAtAnyWriteIsWholeOrAbsentAndImportedAgainIsOnFileOnce) {
  const StoppedWork customers = {"the import of customers",
                                 [] {
                                   exchange::ImportAccounts(exchange::CustomerImportKind(),
                                                            testing_support::ImportedCustomerRows(), false);
                                 },
                                 {"12C.DAT", "ovcomp.DAT"},
                                 true};
  const StoppedWork products = {
      "the import of products",
      [] { exchange::ImportProducts(testing_support::ImportedProductRows(), false); },
      {"12P.DAT"},
      true};
  for (const StoppedWork& work : {customers, products})
    for (FaultAction stop : {FaultAction::Kill, FaultAction::PowerCut}) SweepStops(work, stop);
}

TEST_F(StartAfterStopTest, WhileAPostingWaitsToBeUndoneNothingMovesItsRecordsAndTheStartUndoesItWhole) {
  const Stock products = {{"WIDGET", 100}, {"GADGET", 100}, {"ZZZ", 100}};
  sales_ = {{"WIDGET", "3"}};
  MakeCompanyFolder(dir_.path() / "start", products, true);
  const int writes = CountInChild(dir_.path() / "start", testing_support::FaultCount::Writes);
  const int syncs = CountInChild(dir_.path() / "start", testing_support::FaultCount::Syncs);
  // The commit's last sync fails, and so does a write of the undo that follows (the first that
  // leaves the posting in the journal): the journal is left for the next start.
  FaultPlan plan;
  plan.OnSync = FaultAction::Fail;
  plan.SyncNumber = syncs;
  plan.OnWrite = FaultAction::Fail;
  plan.Errno = EIO;
  for (plan.WriteNumber = writes + 1; plan.WriteNumber <= writes + 4; ++plan.WriteNumber) {
    const fs::path probe = dir_.path() / "probe";
    fs::copy(dir_.path() / "start", probe);
    const bool left = PostInChild(probe, plan) == 6 && JournalHoldsAPosting(probe / "12JNL.DAT");
    fs::remove_all(probe);
    if (left) break;
  }
  ASSERT_LE(plan.WriteNumber, writes + 4);

  fs::current_path(dir_.path() / "start");
  {
    UiScript ui;
    ASSERT_TRUE(StartUp());
    ASSERT_TRUE(testing_support::OpenCompanyFiles());
    platform::files::InstallFaultPlan(plan);
    bool undone = true;
    try {
      PostTheInvoice();
    } catch (const storage::PostingFailed& failure) {
      undone = failure.Undone();
    }
    platform::files::RemoveFaultPlan();
    EXPECT_FALSE(undone);
    // Rebuilding would compact the products, and the undo would then write WIDGET's old record
    // over GADGET's; a copy would carry the posting to another company.
    const std::string remedy = "Check the disk that holds ovcomp.DAT and start the program again.";
    ui.ExpectMessage(QString::fromStdString(Refusal("The data files", "rebuilt", remedy)), "Rebuild")
        .Icon(platform::ui::MsgIcon::Warning);
    MainForm->RebuildDataFiles1Click();
    companies::CopyDataMode = "P";
    companies::TProdCopy& copy = companies::CreateProdCopy();
    copy.FormShow();
    copy.Edit1->setText("7");
    ui.ExpectMessage(QString::fromStdString(Refusal("The products", "copied", remedy)),
                     "Copy Products to Another Company")
        .Icon(platform::ui::MsgIcon::Warning);
    copy.Button1Click();
    EXPECT_FALSE(fs::exists("7P.DAT"));
    EXPECT_TRUE(ui.Done());
  }
  EndProgram();

  // A start whose undo fails again says so once and repairs nothing.
  {
    UiScript ui;
    ui.ExpectMessage(
          "Invoice 1004 was interrupted and could not be undone yet: the file ovcomp.DAT "
          "could not be written: Input/output error.  Until it is undone, company 12 posts nothing and none "
          "of its records can be changed.  Check the disk that holds ovcomp.DAT and start the program again.",
          "Posting")
        .Icon(platform::ui::MsgIcon::Error);
    FaultPlan failingUndo;
    failingUndo.OnWrite = FaultAction::Fail;
    failingUndo.WriteNumber = 1;
    platform::files::InstallFaultPlan(failingUndo);
    ASSERT_TRUE(StartUp());
    platform::files::RemoveFaultPlan();
    // The invoices the posting added are left marked, and no repair is offered.
    EXPECT_FALSE(testing_support::OpenCompanyFiles());
    EXPECT_TRUE(ui.Done());
  }
  EndProgram();
  EXPECT_TRUE(fs::exists("12JNL.DAT"));

  // The next start undoes the posting on the records as they were: every product as before.
  UiScript ui;
  ui.ExpectMessage(QString::fromStdString(kUndone), "Posting");
  ASSERT_TRUE(StartUp());
  ASSERT_TRUE(testing_support::OpenCompanyFiles());
  EXPECT_EQ(StockOnFile(),
            (std::map<std::string, std::string>{{"WIDGET", "100"}, {"GADGET", "100"}, {"ZZZ", "100"}}));
  EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany,
                                           {{"WIDGET", 100}, {"GADGET", 100}, {"ZZZ", 100}}),
            std::vector<std::string>{});
  EXPECT_TRUE(ui.Done());
  EndProgram();
  EXPECT_EQ(FilesLeftToRepair(dir_.path() / "start"), std::vector<std::string>{});
}

// A start stopped at any write of its own, after each stop: the next start finishes what it began
// with one message, nothing asked, the books whole. Until the user has been told, the journal names
// the posting it undid: no start says only that the program was stopped. A journal set aside at
// the start leaves a journal in its place until the user has been told (the set-aside path's
// writes come before the message and one after); each of those writes failing leaves the journal
// where it was, for the next start to set aside.
TEST_F(StartAfterStopTest, AStartStoppedAtAnyWriteOfItsOwnIsFinishedByTheNextWithOneMessage) {
  testing_support::FolderRecords before, whole;
  const std::vector<Stop> stops = Stops(before, whole);
  ASSERT_EQ(stops.size(), 5u);
  ASSERT_NE(whole, before);
  for (const Stop& stop : stops) {
    if (!stop.SweptWhole) continue;
    SCOPED_TRACE(stop.Name);
    const ChildStart counted = CountStartAfter(stop);
    ASSERT_GT(counted.Writes, 2);
    const int last = stop.Aside.empty() ? counted.Writes : counted.WritesBeforeMessage + 1;
    std::vector<FaultPlan> faults;
    for (int n = 1; n <= last; ++n) faults.push_back({.OnWrite = FaultAction::Kill, .WriteNumber = n});
    // The set-aside path's writes failing as well: on a full disk the journal stays, said so; on a
    // file system that cannot swap two names (EINVAL) it is moved aside all the same.
    for (const int err : {ENOSPC, EINVAL})
      for (int n = 1; !stop.Aside.empty() && n <= last; ++n)
        faults.push_back({.OnWrite = FaultAction::Fail, .WriteNumber = n, .Errno = err});
    const Met met = SweepStartsAfter(stop, faults, stop.Posting ? before : whole);
    if (stop.Posting) {
      EXPECT_GT(met.Undid, 0);
      EXPECT_EQ(met.Stopped, 0);
    } else {
      EXPECT_GT(met.Stopped, 0);
    }
    // With the invoice undone nothing is owed, and the start has nothing to age; after the stop
    // between postings it ages, and is stopped in its aging too.
    if (!stop.Posting && stop.Aside.empty()) {
      EXPECT_GT(met.AgedAgain, 0);
    }
    if (HasFailure()) return;
  }
}

// A read the disk fails at the start, at any read before the start says anything (the journal's
// header and entries, the files it names, the rebuild after the undo): the start never takes it for
// the journal's end or for a stranger's journal. The journal waits, told once with the system's
// reason, or the start goes on when the read was not needed; the next start finishes.
// The stops are swept in two tests, so that each takes part of the time.
void StartAfterStopTest::SweepReadsFailingAtTheStart(size_t firstStop, size_t endStop) {
  testing_support::FolderRecords before, whole;
  const std::vector<Stop> stops = Stops(before, whole);
  ASSERT_EQ(stops.size(), 5u);
  for (size_t at = firstStop; at < endStop; ++at) {
    const Stop& stop = stops[at];
    SCOPED_TRACE(stop.Name);
    const ChildStart counted = CountStartAfter(stop);
    const int last = stop.SweptWhole ? counted.ReadsBeforeMessage : counted.ReadsBeforeWriting;
    ASSERT_GT(last, 0);
    std::vector<FaultPlan> reads;
    for (int n = 1; n <= last; ++n)
      reads.push_back({.Errno = EIO, .OnRead = FaultAction::Fail, .ReadNumber = n});
    const Met met = SweepStartsAfter(stop, reads, stop.Posting ? before : whole);
    if (stop.Posting) {
      EXPECT_GT(met.Waited, 0);
    }
    if (HasFailure()) return;
  }
}

TEST_F(StartAfterStopTest, AReadFailingAtTheStartKeepsTheJournalWaitingAndNeverEndsOrSetsItAside) {
  SweepReadsFailingAtTheStart(0, 2);
}

TEST_F(StartAfterStopTest,
       AReadFailingAtTheStartAfterLaterStopsKeepsTheJournalWaitingAndNeverEndsOrSetsItAside) {
  SweepReadsFailingAtTheStart(2, 5);
}

// A journal rightly set aside, found after a stop between postings that left files marked: the
// start's message about the journal is all the user sees, and the files are rebuilt with it. Two
// emptied spellings are no mismatch: the stop is told as any stop between postings.
TEST_F(StartAfterStopTest, AJournalSetAsideAfterAStopIsTheStartsOneMessageAndNothingIsAsked) {
  const fs::path start = dir_.path() / "start";
  MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
  ASSERT_EQ(PostInChild(start, {}), 0);
  ASSERT_FALSE(FilesLeftToRepair(start).empty());
  const testing_support::FolderRecords stopped = LinesAndProducts(start);
  // A journal of a posting that wrote nothing yet: undone alone, it would change nothing.
  auto putJournal = [](const fs::path& name, const std::string& company) {
    std::ofstream(name, std::ios::binary | std::ios::trunc)
        << storage::EncodeJournalHeader({company, "invoice 1004", 7, 0});
  };
  struct Case {
    const char* Name;
    std::function<void(const fs::path&)> Put;
    bool SetAside;
  };
  const std::vector<Case> cases = {
      {"a folder in the journal's place",
       [](const fs::path& folder) {
         fs::remove(folder / "12JNL.DAT");
         fs::create_directory(folder / "12JNL.DAT");
       },
       true},
      {"the journal in two spellings",
       [&](const fs::path& folder) {
         putJournal(folder / "12JNL.DAT", "12");
         putJournal(folder / "12jnl.dat", "12");
       },
       true},
      {"another company's journal in its place",
       [&](const fs::path& folder) { putJournal(folder / "12JNL.DAT", "13"); }, true},
      {"the emptied journal in two spellings",
       [](const fs::path& folder) { fs::copy_file(folder / "12JNL.DAT", folder / "12jnl.dat"); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = dir_.path() / "aside";
    fs::copy(start, folder);
    c.Put(folder);
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      StartCheckBooksAndEnd({{"WIDGET", 100}, {"GADGET", 40}});
      ASSERT_EQ(user.told.size(), 1u);
      if (c.SetAside) {
        EXPECT_TRUE(user.told.front().contains(QStringLiteral("Nothing was undone")))
            << user.told.front().toStdString();
      } else {
        EXPECT_EQ(user.told.front().toStdString(), kStopped);
      }
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(FilesLeftToRepair(folder), std::vector<std::string>{});
    EXPECT_EQ(fs::exists(folder / "12JNL-1.BAD"), c.SetAside);
    EXPECT_FALSE(fs::exists(folder / "12JNL.DAT"));
    EXPECT_FALSE(fs::exists(folder / "12jnl.dat"));
    EXPECT_EQ(LinesAndProducts(folder), stopped);
    fs::remove_all(folder);
  }
}

// The last backup restored over a folder where an invoice was posted after it, with no posting
// waiting, and with one waiting that the start could not undo (its customer file unreadable), which
// the restore must take with the files it touched. The restore is stopped at each of its writes by
// a kill, by a power cut (the disk keeping only what was synced), and by a kill as it takes its
// files back after a failing sync. The next start, the customer file readable again, finds the
// backup's books or the books as they were, never a mix and never the old posting undone over
// restored files; it says once what it finished and leaves nothing of the restore's work behind.
TEST_F(StartAfterStopTest, ARestoreKilledAtAnyWriteLeavesTheBackupsBooksOrTheBooksAsTheyWere) {
  SweepTheRestore(false, RestoreStops::Kills);
}

TEST_F(StartAfterStopTest, ARestoreCutOrTakenBackAtAnyWriteLeavesTheBackupsBooksOrTheBooksAsTheyWere) {
  SweepTheRestore(false, RestoreStops::CutsAndTakeBacks);
}

TEST_F(StartAfterStopTest, ARestoreKilledAtAnyWriteNeverUndoesAWaitingPostingOverRestoredFiles) {
  SweepTheRestore(true, RestoreStops::Kills);
}

TEST_F(StartAfterStopTest, ARestoreCutOrTakenBackAtAnyWriteNeverUndoesAWaitingPostingOverRestoredFiles) {
  SweepTheRestore(true, RestoreStops::CutsAndTakeBacks);
}

// The user's way out of a posting that waits, whether a file it names cannot be read or its
// journal is damaged where it was synced: the last backup restored through the backup window. The
// one message after it says that the interrupted posting went with the files it touched; the
// company posts again at once, and the next start undoes nothing and says nothing.
TEST_F(StartAfterStopTest, ARestoreWhileAPostingWaitsTakesItAndTheCompanyPostsAgain) {
  struct Case {
    const char* Name;
    std::function<void(const fs::path&)> Wait;  // over a posting left in its journal, 12C.DAT unreadable
  };
  const std::vector<Case> cases = {
      {"a file it names unreadable", [](const fs::path&) {}},
      {"its journal damaged",
       [](const fs::path& folder) {
         fs::permissions(folder / "12C.DAT", fs::perms::owner_read | fs::perms::owner_write);
         std::fstream journal(folder / "12JNL.DAT", std::ios::in | std::ios::out | std::ios::binary);
         journal.seekg(100);
         const char byte = static_cast<char>(journal.get() ^ 0x5A);
         journal.seekp(100);
         journal.put(byte);
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path start = dir_.path() / ("start" + std::to_string(++n));
    RestoreStage stage;
    StageARestore(start, true, &stage);
    if (HasFatalFailure()) return;
    c.Wait(start);
    fs::current_path(start);
    {
      testing_support::RestartUser user;
      testing_support::PermissionsApply unreadable;
      ASSERT_TRUE(StartUp());
    }
    ASSERT_TRUE(storage::PostingJournalWaitsFor("12"));
    {
      UiScript ui;
      ui.ExpectMessage(
            "Ready to RESTORE files from backup disk in drive " + QString::fromStdString(Usb().string()) +
                ". WARNING!! Your data files will be over-written by the backup files! The "
                "interrupted posting (invoice 1005) of company 12 will be dropped with the files it "
                "touched. Continue?",
            "Restore")
          .Answer(platform::ui::mrOk);
      ui.ExpectMessage(
          "Restore files operation complete. You should now run the \"rebuild data files\" option on the "
          "Tools Menu to update your data files.\nThe files it replaced or took away are kept in the folder "
          "\"BeforeRestore 2026-12-07 10.00.00\" of the data folder.\nThe interrupted posting (invoice "
          "1005) of company 12 went with the files it touched.",
          "Restore Complete");
      exchange::TOVBkUp& window = exchange::CreateOVBkUp();
      window.DriveComboBox1->setCurrentText(QString::fromStdString(Usb().string()));
      window.RestBtnClick();
      EXPECT_TRUE(ui.Done());
    }
    EXPECT_FALSE(storage::PostingJournalWaitsFor("12"));
    EXPECT_FALSE(fs::exists("12JNL.DAT") && JournalHoldsAPosting("12JNL.DAT"));
    ASSERT_TRUE(testing_support::OpenCompanyFiles());
    EXPECT_EQ(LinesAndProducts(start), stage.BackedUp);
    PostTheInvoice();
    EndProgram();
    StartSayingNothing();
  }
}

// A restore killed while it placed its files, and a start whose first write then fails: the start
// cannot finish the restore, so it takes it back, says why, and undoes the posting that waited as
// if no restore had begun.
TEST_F(StartAfterStopTest, AStartThatCannotFinishARestoreTakesItBackAndSaysWhy) {
  const fs::path start = dir_.path() / "start";
  RestoreStage stage;
  StageARestore(start, true, &stage);
  if (HasFatalFailure()) return;
  const int writes = RestoreACopy(start).Writes;
  FaultPlan killed;
  killed.OnWrite = FaultAction::Kill;
  killed.WriteNumber = writes - 10;  // among the renames that place the files
  ASSERT_EQ(RestoreInChild(start, killed).Status, platform::files::FaultKilledExitCode);
  ASSERT_TRUE(fs::exists(start / exchange::RestoreMarkName));
  fs::permissions(start / "12C.DAT", fs::perms::owner_read | fs::perms::owner_write);

  fs::current_path(start);
  {
    testing_support::RestartUser user;
    FaultPlan failing;
    failing.OnWrite = FaultAction::Fail;
    failing.WriteNumber = 1;
    failing.Errno = EIO;
    platform::files::InstallFaultPlan(failing);
    StartCheckBooksAndEnd(kStock);
    platform::files::RemoveFaultPlan();
    ASSERT_EQ(user.told.size(), 2u);
    const std::string said = user.told[0].toStdString();
    EXPECT_TRUE(
        said.starts_with("The restore of the backup files was interrupted and could not be finished: "))
        << said;
    EXPECT_TRUE(
        said.ends_with(": Input/output error.  It has been undone: the data files are as they were "
                       "before it."))
        << said;
    EXPECT_EQ(user.told[1].toStdString(), UndoneMessage("invoice 1005"));
  }
  EXPECT_EQ(LinesAndProducts(start), stage.AsTheyWere);
  EXPECT_EQ(WhatARestoreLeft(start).WorkFolders, 0);
  EXPECT_FALSE(fs::exists(start / exchange::RestoreMarkName));
  StartSayingNothing();
}

// A file the stopped posting changed that the start cannot open (here the customer file, which
// the program may not read) is no sign of a stranger's journal: the start says which file and why,
// keeps the journal, repairs and asks nothing, and makes no backup meanwhile; the first start
// that can open it undoes the posting whole.
TEST_F(StartAfterStopTest, AFileThatCannotBeOpenedAtTheStartKeepsThePostingForAStartThatCan) {
  const fs::path folder = dir_.path() / "start";
  MakeCompanyFolder(folder, {{"WIDGET", 100}, {"GADGET", 40}}, false);
  const testing_support::FolderRecords before = LinesAndProducts(folder);
  ASSERT_TRUE(StopPostingInItsJournal(folder, [this] { PostTheInvoice(); }));
  ASSERT_NE(LinesAndProducts(folder), before);

  fs::permissions(folder / "12C.DAT", fs::perms::none);
  fs::current_path(folder);
  {
    testing_support::RestartUser user;
    {
      testing_support::PermissionsApply unreadable;
      ASSERT_TRUE(StartUp());
      testing_support::OpenCompanyFiles();
    }
    // A backup now would hold half the posting and nothing to undo it: refused, nothing written.
    {
      testing_support::RestartUser backingUp;
      fs::create_directory(dir_.path() / "usb");
      exchange::OVBkUp->DriveComboBox1->setCurrentText(QString::fromStdString(dir_.File("usb")));
      exchange::OVBkUp->BackButnClick();
      ASSERT_EQ(backingUp.told.size(), 1u);
      EXPECT_TRUE(backingUp.told[0].startsWith(
          "The backup cannot be made now: invoice 1004 was interrupted and is not undone yet."))
          << backingUp.told[0].toStdString();
      EXPECT_TRUE(fs::is_empty(dir_.path() / "usb"));
    }
    EndProgram();
    EXPECT_EQ(
        Texts(user.told),
        std::vector<std::string>{
            "Invoice 1004 was interrupted and could not be undone yet: the file 12C.DAT "
            "could not be opened: Permission denied.  Until it is undone, company 12 posts nothing and none "
            "of its records can be changed.  Make 12C.DAT readable and start the program again."});
    EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
  }
  EXPECT_TRUE(JournalHoldsAPosting(folder / "12JNL.DAT"));
  EXPECT_FALSE(fs::exists(folder / "12JNL-1.BAD"));
  ReadableAgainTheNextStartUndoesIt(folder, "12C.DAT", before);
}

// A company's deletion, and a copy of products to a company that has none, stopped at each of
// their writes while company 12 is open: killed, cut by a power failure that keeps only what was
// synced, or with a write or a sync failing, which is said once with the system's reason unless
// the work was on file already. Then the program is started as main starts it: it asks nothing and
// says one thing at most; company 7 is listed with all its files and its record, or gone with
// nothing of it left; the copy is there whole or not at all; what either left under a temporary
// name is gone (and so is what a stopped copy and deletion of company 5 left before), names that
// only look like it are kept, and the books of company 12 balance.
TEST_F(StartAfterStopTest, ADeletionOrACopyStoppedAtAnyWriteIsWholeOrGoneAndLeavesNothingBehind) {
  const fs::path start = dir_.path() / "start";
  MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
  AddCompanySeven(start);
  const std::set<std::string> lookalikes = {"5Q.DAT.TMP", "5P.DAT.TMP.old", "notes.TMP"};
  for (const char* name : {"5P.DAT.TMP", "5PD.IX.TMP.tmp~", "5.DEL.tmp~"})
    std::ofstream(start / name) << "left";
  for (const std::string& name : lookalikes) std::ofstream(start / name) << "kept";
  const std::map<std::string, std::string> seven = FilesOfCompany(start, "7");
  ASSERT_EQ(seven.size(), 18u);
  const std::map<std::string, std::string> listed = CompanyList(start);
  ASSERT_TRUE(listed.count("7") && listed.count("12"));
  const std::vector<std::string> products = testing_support::LiveRecords(start / "12P.DAT");
  const std::string undone = UndoneMessage("the deletion of company 7");
  const std::string onFile = OnFileMessage("the deletion of company 7");

  struct Work {
    const char* Name;
    std::function<void()> Run;
    bool Deletion;
  };
  const Work works[] = {
      {"the deletion of company 7",
       [] {  // as the Company Manager deletes it, the company list open until the program ends
         if (!records::OpenCompanyFile()) throw std::runtime_error("no company list");
         records::CompanyRec company;
         storage::IsamRecRef ref = 0;
         if (!records::FindCompanyRecord("7", company, ref)) throw std::runtime_error("no company 7");
         records::DeleteCompanyWhole("7", ref);
       },
       true},
      {"copy of products to company 8",
       [] {
         std::string failure;
         if (!records::CopyCompanyFiles("12", "8", "P", &failure)) throw std::runtime_error(failure);
       },
       false},
  };
  struct Stop {
    const char* Name;
    FaultAction Action;
    bool Syncs;
  };
  const Stop stops[] = {{"killed at write", FaultAction::Kill, false},
                        {"power cut at write", FaultAction::PowerCut, false},
                        {"failing write", FaultAction::Fail, false},
                        {"failing sync", FaultAction::Fail, true}};
  for (const Work& work : works) {
    const fs::path counting = dir_.path() / "count";
    fs::copy(start, counting);
    const ChildStart counted = StartInChild(counting, {}, work.Run);
    fs::remove_all(counting);
    ASSERT_EQ(counted.Status, 0);
    EXPECT_EQ(counted.Told, std::vector<std::string>{});
    for (const Stop& stop : stops) {
      const int points = stop.Syncs ? counted.Syncs : counted.Writes;
      // Each stop: whether the work was on file after the next start, and whether the stop was said.
      struct Met {
        bool OnFile = false, Said = false;
      };
      const std::vector<Met> mets = testing_support::RunPointsSideBySide<Met>(points, [&](int at) {
        const int n = at + 1;
        SCOPED_TRACE(std::string(work.Name) + ", " + stop.Name + " " + std::to_string(n) + " of " +
                     std::to_string(points));
        const fs::path folder = CopyOf(start, "cut" + std::to_string(n));
        FaultPlan plan;
        (stop.Syncs ? plan.OnSync : plan.OnWrite) = stop.Action;
        (stop.Syncs ? plan.SyncNumber : plan.WriteNumber) = n;
        plan.Errno = n % 2 ? ENOSPC : EIO;
        plan.SimulateDisk = stop.Action == FaultAction::PowerCut;
        const ChildStart child = StartInChild(folder, plan, work.Run);
        EXPECT_EQ(child.Status, stop.Action == FaultAction::Fail ? 0 : platform::files::FaultKilledExitCode);
        EXPECT_EQ(child.Asked, std::vector<std::string>{});
        EXPECT_LE(child.Told.size(), 1u);
        for (const std::string& told : child.Told)
          EXPECT_NE(told.find(std::strerror(plan.Errno)), std::string::npos) << told;

        fs::current_path(folder);
        std::vector<std::string> told;
        {
          testing_support::RestartUser user;
          StartCheckBooksAndEnd({{"WIDGET", 100}, {"GADGET", 40}});
          EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
          told = Texts(user.told);
        }
        fs::current_path(dir_.path());
        EXPECT_EQ(NamesLikeTemporaries(folder), lookalikes);
        // On file: company 7 gone with all of its files, or the copy there whole.
        bool done = false;
        if (work.Deletion) {
          const std::map<std::string, std::string> list = CompanyList(folder);
          done = list.count("7") == 0;
          EXPECT_EQ(list.size() + done, listed.size());
          EXPECT_TRUE(done || list.at("7") == listed.at("7"));
          EXPECT_TRUE(FilesOfCompany(folder, "7") == (done ? std::map<std::string, std::string>{} : seven));
          // What the start says agrees with what it left.
          EXPECT_TRUE(told.empty() || told.front() == (done ? onFile : undone) || told.front() == kStopped ||
                      (done && told.front() == kDeletionFinished))
              << told.front();
        } else {
          done = fs::exists(folder / "8P.DAT");
          EXPECT_TRUE(!done || testing_support::LiveRecords(folder / "8P.DAT") == products);
          EXPECT_EQ(told, std::vector<std::string>{});
        }
        // A failure that no one heard came once the work was on file.
        EXPECT_TRUE(done || !child.Told.empty() || stop.Action != FaultAction::Fail);
        fs::remove_all(folder);
        return Met{done, !child.Told.empty()};
      });
      const int onFileCount = testing_support::CountMet(mets, &Met::OnFile);
      const int said = testing_support::CountMet(mets, &Met::Said);
      const int absent = points - onFileCount;
      std::printf("%s, %s: %d points; on file %d, absent %d; failures said %d\n", work.Name, stop.Name,
                  points, onFileCount, absent, said);
      EXPECT_GT(onFileCount, 0);
      EXPECT_GT(absent, 0);
      if (stop.Action == FaultAction::Fail) {
        EXPECT_GT(said, 0);
      }
    }
  }
}

// While a posting waits to be undone (a file it changed cannot be read), nothing writes the
// company's data files but its undo, whatever asks: every update, add and delete, a file made anew,
// the company's settings, an import, a posting, a rebuild, the aging. Each is refused in one
// message that names the posting and what to do, none reaches the files (nor does the start's own
// aging), and the first start that can read the file undoes the posting on the files as they were.
TEST_F(StartAfterStopTest, WhileAPostingWaitsNothingWritesItsCompanyAndTheNextStartUndoesItWhole) {
  const fs::path folder = dir_.path() / "start";
  MakeCompanyFolder(folder, {{"WIDGET", 100}, {"GADGET", 40}}, false);
  const testing_support::FolderRecords before = LinesAndProducts(folder);
  ASSERT_TRUE(StopPostingInItsJournal(folder, [this] { PostTheInvoice(); }));
  // The PO memos, which the posting does not touch, are gone: their next open makes them anew.
  for (const char* name : {"12PM.DAT", "12PM.IX"}) fs::remove(folder / name);
  fs::permissions(folder / "12I.DAT", fs::perms::none);
  const std::map<std::string, std::string> stopped = DataFileBytes(folder);
  const std::string remedy = "Make 12I.DAT readable and start the program again.";

  using records::FileForAction;
  struct Write {
    std::string Subject, Verb;
    std::function<void()> Do;  // as the windows and jobs do it; what they tell is raised or shown
  };
  auto product = [](const std::string& code, records::ProductRec& record) {
    return FindRecord(records::ProductFile, &records::ProductRec::Code, code, record);
  };
  const std::vector<Write> writes = {
      {"WIDGET", "changed",
       [&] {
         FileForAction products(records::ProductFile, records::OpenProductFile);
         records::ProductRec widget{};
         const storage::IsamRecRef ref = product("WIDGET", widget);
         records::ProductRec changed = widget;
         changed.Price.Set("13.75");
         changed.Notes.Set("Sold by the box.");
         records::RequireDone(records::UpdateProductRecord(changed, widget, ref), "Modify operation failed");
       }},
      {"HAMMER", "added",
       [] {
         AddRecordAs(records::ProductFile, records::OpenProductFile, &records::ProductRec::Code, "HAMMER",
                     records::AddProductRecord);
       }},
      {"GADGET", "deleted",
       [&] {
         FileForAction products(records::ProductFile, records::OpenProductFile);
         records::ProductRec gadget{};
         records::RequireDone(records::DeleteProductRecord(product("GADGET", gadget)),
                              "Product delete failed");
       }},
      {"Customer C1", "changed",
       [] {
         FileForAction customers(records::CustomerFile, records::OpenCustomerFile);
         records::CustomerRec c1{};
         const storage::IsamRecRef ref =
             FindRecord(records::CustomerFile, &records::CustomerRec::CustomerNo, "C1", c1);
         records::CustomerRec changed = c1;
         changed.Phone1.Set("555-0199");
         records::RequireDone(records::UpdateCustomerRecord(changed, c1, ref), "Modify operation failed");
       }},
      {"Customer C2", "added",
       [] {
         AddRecordAs(records::CustomerFile, records::OpenCustomerFile, &records::CustomerRec::CustomerNo,
                     "C2", records::AddCustomerRecord);
       }},
      {"Vendor V1", "deleted",
       [] {
         FileForAction vendors(records::VendorFile, records::OpenVendorFile);
         records::VendorRec v1{};
         const storage::IsamRecRef ref =
             FindRecord(records::VendorFile, &records::VendorRec::VendorNo, "V1", v1);
         records::RequireDone(records::DeleteVendorRecord(ref), "Delete vendor failed");
       }},
      {"The file 12M.DAT", "added",
       [] {
         FileForAction memos(records::MemoFile, records::OpenMemoFile);
         records::MemoBuf = records::MemoRec{};
         records::MemoBuf.Number.Set("1004");
         storage::IsamRecRef ref = 0;
         records::RequireDone(records::AddMemoRecord(ref), "memo add operation failed");
       }},
      {"The file 12PM.DAT", "created",
       [] {
         FileForAction memos(records::POMemoFile, records::OpenPOMemoFile);
         if (!memos.Open()) throw std::runtime_error(forms::OpenFailureReason().trimmed().toStdString());
       }},
      {"The file 12D.DAT", "opened",
       [] {
         FileForAction lines(records::DetailFile, records::OpenDetailFile);
         if (!lines.Open()) throw std::runtime_error(forms::OpenFailureReason().trimmed().toStdString());
       }},
      {"The settings of company 12", "changed",
       [] {
         EXPECT_FALSE(records::UpdateCurrentCompanyRecord(
             [](records::CompanyRec& company) { company.CompanyContact.Set("Dana"); }));
       }},
      {"The import of customers", "made",
       [] {
         FileForAction customers(records::CustomerFile, records::OpenCustomerFile);
         exchange::ImportRow row(16);
         row[0] = "Imported Customer";
         exchange::ImportAccounts(exchange::CustomerImportKind(), {row}, false, {});
       }},
      {"Invoice 1005", "posted",
       [] {
         invoicing::PostNewInvoice(testing_support::Invoice("1005", "C1", "12/07/2026", {{"WIDGET", "1"}}));
       }},
      {"The payment", "posted",
       [] {
         invoicing::PostPayment({"C1", "12/07/2026", "", {}});
       }},
      {"The data files", "rebuilt", [] { (void)records::RebuildCompanyDataFiles(); }},
      {"The aging", "recalculated", [] { MainForm->AgingChart1Click(); }},
  };

  fs::current_path(folder);
  {
    testing_support::PermissionsApply unreadable;
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    // The start says that the posting waits and what to do; its own aging waits without a word.
    EXPECT_EQ(Texts(user.told),
              std::vector<std::string>{
                  "Invoice 1004 was interrupted and could not be undone yet: the file 12I.DAT "
                  "could not be opened: Permission denied.  Until it is undone, company 12 posts nothing and "
                  "none of its records can be changed.  " +
                  remedy});
    for (const Write& write : writes) {
      SCOPED_TRACE(write.Subject + " " + write.Verb);
      user.told.clear();
      try {
        write.Do();
      } catch (const std::exception& error) {
        user.told.push_back(QString::fromStdString(error.what()));
      }
      EXPECT_EQ(Texts(user.told), std::vector<std::string>{Refusal(write.Subject, write.Verb, remedy)});
    }
    EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
  }
  EndProgram();
  fs::current_path(dir_.path());
  // Nothing refused reached a file, and the start aged nothing.
  EXPECT_EQ(DataFileBytes(folder), stopped);

  ReadableAgainTheNextStartUndoesIt(folder, "12I.DAT", before);
}

}  // namespace
}  // namespace shell

namespace shell {
namespace {

// Work that writes data files outside a posting: the rebuild of every data file, a new company's
// first open (its files are made then), the start's aging.
struct OutsideWork {
  const char* Name;
  std::function<void()> Run;  // once the program has started; none: the work is the start's own
  const char* Normal;         // the first words of the work's messages that tell of no failure
  // Whether the work is on file in the closed folder, beside the records a whole run leaves; none:
  // it says so itself.
  std::function<bool(const testing_support::FolderRecords& whole)> OnFile;
};

void PrintTo(const OutsideWork& work, std::ostream* out) {
  *out << work.Name;
}

const QDate kAgingDay(2026, 12, 8);

// Every customer as the whole aging leaves it, and the company's aging date.
bool AgedOnTheDay(const testing_support::FolderRecords& whole) {
  storage::IsamInitialize(0, 30);
  records::CompanyRec company;
  const bool read = records::ReadCompanyRecord("12", company);
  testing_support::CloseEngine();
  return read && company.LastAgingDate.Get() == kAgingDay.toString("MM/dd/yyyy").toStdString() &&
         testing_support::ReadFolderRecords(".").at("12C.DAT") == whole.at("12C.DAT");
}

// The nine file sets of the company, each index made after its data file.
bool EveryFileMade(const testing_support::FolderRecords&) {
  int made = 0;
  for (const auto& item : fs::directory_iterator("."))
    made += item.path().filename().string().starts_with("12") && item.path().extension() == ".IX";
  return made == 9;
}

const OutsideWork kOutsideWorks[] = {
    {"RebuildDataFiles", [] { MainForm->RebuildDataFiles1Click(); }, "The data files have been rebuilt", {}},
    {"NewCompanysFirstOpen", [] { testing_support::OpenCompanyFiles(); }, "I am going to create a new, empty",
     EveryFileMade},
    {"StartsAging", {}, "", AgedOnTheDay},
};

class OutsideWorkTest : public StartAfterStopTest, public ::testing::WithParamInterface<OutsideWork> {
 protected:
  void SweepFailing(bool syncs);

  // The folder the work starts from, closed and whole: company 12 with a customer owing for an
  // invoice and a product deleted (a rebuild moves the others), or with none of its files for its
  // first open.
  fs::path StartingFolder() {
    const fs::path start = dir_.path() / "start";
    MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
    fs::current_path(start);
    {
      testing_support::RestartUser user;
      EXPECT_TRUE(StartUp() && testing_support::OpenCompanyFiles());
      PostTheInvoice();
      records::ProductRec gone{};
      gone.Code.Set("GONE");
      storage::IsamRecRef ref = 0;
      EXPECT_TRUE(records::AddProductRecord(gone, ref) && records::DeleteProductRecord(ref));
      EndProgram();
      EXPECT_EQ(Texts(user.told), std::vector<std::string>{});
    }
    fs::current_path(dir_.path());
    if (FirstOpen()) {
      for (const auto& item : fs::directory_iterator(start))
        if (item.path().filename().string().starts_with("12")) fs::remove(item.path());
    }
    return start;
  }

  static bool FirstOpen() { return std::string(GetParam().Name) == "NewCompanysFirstOpen"; }

  // The failures among what the user was told: what the work says when all goes well left out.
  static std::vector<std::string> Failures(std::vector<std::string> told) {
    const std::string normal = GetParam().Normal;
    std::erase_if(told, [&](const std::string& text) { return !normal.empty() && text.starts_with(normal); });
    return told;
  }

  // Whether the work is on file after the run that said `told`.
  bool Done(const std::vector<std::string>& told) const {
    return GetParam().OnFile ? GetParam().OnFile(whole_) : told.size() > Failures(told).size();
  }

  // The program started on the folder in a child and the work done under the plan (the start's own
  // under the plan as well); then the user ends the program.
  static ChildStart WorkInChild(const fs::path& folder, const FaultPlan& plan) {
    if (GetParam().Run) return StartInChild(folder, plan, GetParam().Run);
    return RunProgramInChild(
        folder,
        [&] {
          platform::files::InstallFaultPlan(plan);
          return StartUp();
        },
        [] {
          platform::files::RemoveFaultPlan();
          ShutDown();
        });
  }

  // The work run whole on a copy of the folder: its writes and syncs, and the records it leaves.
  ChildStart CountCalls(const fs::path& start) {
    const fs::path folder = dir_.path() / "count";
    fs::copy(start, folder);
    const ChildStart whole = WorkInChild(folder, {});
    whole_ = testing_support::ReadFolderRecords(folder);
    fs::current_path(folder);
    EXPECT_EQ(Failures(whole.Told), std::vector<std::string>{});
    EXPECT_TRUE(Done(whole.Told));
    fs::current_path(dir_.path());
    fs::remove_all(folder);
    return whole;
  }

  testing_support::FolderRecords whole_;  // the records of the folder after the work ran whole
};

// Each write (failing with "No space left on device" or "Input/output error" in turn) and each
// sync of the work failing: the user is told once, with the system's reason and no engine number,
// and nothing that failed is said to be done; the next start finishes what is left with one
// message, asks nothing, and does the work when it is the start's own; every file is sound then
// and the books balance.
// The failing writes and the failing syncs are swept in two tests, so that each takes part of the
// time.
void OutsideWorkTest::SweepFailing(bool syncs) {
  const fs::path start = StartingFolder();
  // The next day: the start ages again.
  platform::text::SetClock(QDateTime(kAgingDay, QTime(9, 0)));
  const testing_support::StockBefore stock = FirstOpen() ? testing_support::StockBefore{} : kStock;
  const ChildStart counted = CountCalls(start);
  ASSERT_GT(counted.Writes, 2);
  // Each failing write or sync: whether the failure was told, and whether it left files to repair
  // for the next start.
  struct Met {
    bool Told = false, LeftToStart = false;
  };
  const int first = syncs ? counted.Writes : 0;
  const std::vector<Met> mets =
      testing_support::RunPointsSideBySide<Met>(syncs ? counted.Syncs : counted.Writes, [&](int at) {
        const int n = first + at + 1;
        const bool sync = n > counted.Writes;
        FaultPlan plan;
        (sync ? plan.OnSync : plan.OnWrite) = FaultAction::Fail;
        (sync ? plan.SyncNumber : plan.WriteNumber) = sync ? n - counted.Writes : n;
        plan.Errno = n % 2 ? ENOSPC : EIO;
        SCOPED_TRACE(std::string(sync ? "sync " : "write ") + std::to_string(sync ? plan.SyncNumber : n) +
                     " failing with " + std::strerror(plan.Errno));
        const fs::path folder = CopyOf(start, "cut" + std::to_string(n));
        const ChildStart child = WorkInChild(folder, plan);
        EXPECT_EQ(child.Status, 0);
        EXPECT_EQ(child.Asked, std::vector<std::string>{});
        const std::vector<std::string> failures = Failures(child.Told);
        EXPECT_LE(failures.size(), 1u);
        for (const std::string& failure : failures) {
          EXPECT_NE(failure.find(std::strerror(plan.Errno)), std::string::npos) << failure;
          EXPECT_EQ(failure.find("(error"), std::string::npos) << failure;
        }
        fs::current_path(folder);
        if (!Done(child.Told)) {
          EXPECT_EQ(failures.size(), 1u) << "a failure that was not said";
        } else if (!GetParam().OnFile) {
          EXPECT_EQ(failures, std::vector<std::string>{}) << "said to be done after a failure";
        }
        const bool left = !FilesLeftToRepair(folder).empty();
        {
          testing_support::RestartUser user;
          StartCheckBooksAndEnd(stock);
          EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
          const std::vector<std::string> atStart = Failures(Texts(user.told));
          EXPECT_EQ(atStart.size(), left ? 1u : 0u) << (atStart.empty() ? "" : atStart.front());
        }
        EXPECT_EQ(FilesLeftToRepair(folder), std::vector<std::string>{});
        EXPECT_FALSE(fs::exists(folder / "12JNL.DAT"));
        if (GetParam().OnFile) {
          EXPECT_TRUE(GetParam().OnFile(whole_)) << "the next start left the work undone";
        }
        fs::current_path(dir_.path());
        fs::remove_all(folder);
        return Met{!failures.empty(), left};
      });
  const int told = testing_support::CountMet(mets, &Met::Told);
  const int leftToStart = testing_support::CountMet(mets, &Met::LeftToStart);
  std::printf("%s: %d writes and %d syncs; %d failing %s told, %d left files for the next start\n",
              GetParam().Name, counted.Writes, counted.Syncs, told, syncs ? "syncs" : "writes", leftToStart);
  if (!syncs) {
    EXPECT_GT(told, 0);
  }
}

TEST_P(OutsideWorkTest, AFailingWriteIsSaidOnceWithItsReasonAndTheNextStartFinishesTheWork) {
  SweepFailing(false);
}

TEST_P(OutsideWorkTest, AFailingSyncIsSaidOnceWithItsReasonAndTheNextStartFinishesTheWork) {
  SweepFailing(true);
}

INSTANTIATE_TEST_SUITE_P(OutsideAPosting, OutsideWorkTest, ::testing::ValuesIn(kOutsideWorks),
                         [](const ::testing::TestParamInfo<OutsideWork>& info) { return info.param.Name; });

// A file the start must open to read and write for the undo and cannot is no sign of a stranger's
// journal, whichever file it is: a data file the posting changed, the journal itself, or an empty
// journal found beside it under another spelling. The start says which file, the system's reason
// and the remedy that fits (one that can be read but not written is to be made writable), keeps
// every journal where it is and asks nothing; the first start that can open them undoes the
// posting whole.
TEST_F(StartAfterStopTest, AJournalOrADataFileNotWritableOrReadableKeepsThePostingWaitingWithItsRemedy) {
  const fs::path start = dir_.path() / "start";
  MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
  const testing_support::FolderRecords before = LinesAndProducts(start);
  ASSERT_TRUE(StopPostingInItsJournal(start, [this] { PostTheInvoice(); }));
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  struct Case {
    const char* File;  // refused to the program
    fs::perms Mode;
    const char* Posting;  // as the start names it: a journal it cannot read does not say
    const char* Cause;
    const char* Remedy;
  };
  const Case cases[] = {
      {"12C.DAT", readOnly, "Invoice 1004", "the file 12C.DAT could not be opened for writing",
       "Make 12C.DAT writable"},
      {"12JNL.DAT", readOnly, "Invoice 1004", "the journal 12JNL.DAT could not be opened for writing",
       "Make 12JNL.DAT writable"},
      {"12JNL.DAT", fs::perms::none, "The last posting", "the journal 12JNL.DAT could not be opened",
       "Make 12JNL.DAT readable"},
      {"12jnl.DAT", readOnly, "Invoice 1004", "the journal 12jnl.DAT could not be opened for writing",
       "Make 12jnl.DAT writable"},
      {"12jnl.DAT", fs::perms::none, "Invoice 1004", "the journal 12jnl.DAT could not be opened",
       "Make 12jnl.DAT readable"},
  };
  for (const Case& refused : cases) {
    SCOPED_TRACE(std::string(refused.File) + (refused.Mode == readOnly ? " read-only" : " unreadable"));
    const fs::path folder = dir_.path() / "refused";
    fs::copy(start, folder);
    if (fs::path(refused.File) == "12jnl.DAT") std::ofstream(folder / refused.File).flush();
    const std::map<std::string, std::string> stopped = DataFileBytes(folder);
    fs::permissions(folder / refused.File, refused.Mode);
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      {
        testing_support::PermissionsApply asAUser;
        ASSERT_TRUE(StartUp());
        testing_support::OpenCompanyFiles();
      }
      EndProgram();
      EXPECT_EQ(
          Texts(user.told),
          std::vector<std::string>{std::string(refused.Posting) +
                                   " was interrupted and could not be undone yet: " + refused.Cause +
                                   ": Permission denied.  Until it is undone, company 12 posts nothing and "
                                   "none of its records can be changed.  " +
                                   refused.Remedy + " and start the program again."});
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(DataFileBytes(folder), stopped);
    EXPECT_EQ(JournalsSetAside(folder), (std::map<std::string, bool>{}));
    ReadableAgainTheNextStartUndoesIt(folder, refused.File, before);
    EXPECT_EQ(JournalSpellings(folder), std::vector<fs::path>{});
    fs::remove_all(folder);
  }
}

// A company's deletion stopped at the removal of its files, its record gone: the next start
// finishes it and says so in one message, in place of the notice of the stop; it asks nothing,
// company 7 is gone with all of its files, and the books of company 12 balance.
TEST_F(StartAfterStopTest, ADeletionStoppedAtTheRemovalOfItsFilesIsFinishedAndNamedAtTheStart) {
  const fs::path start = dir_.path() / "start";
  MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
  AddCompanySeven(start);
  const size_t files = FilesOfCompany(start, "7").size();
  const int firstRemoval = FirstRemovalOfSevensFiles(start);
  // A kill at the first, one between and the last of the files.
  for (const int removed : {1, static_cast<int>(files) / 2, static_cast<int>(files)}) {
    SCOPED_TRACE("killed at the removal of file " + std::to_string(removed));
    const fs::path folder = dir_.path() / "cut";
    KillDeletionOfSeven(start, folder, firstRemoval + removed - 1);
    // The files not removed yet, and the mark.
    ASSERT_EQ(FilesOfCompany(folder, "7").size(), files - static_cast<size_t>(removed) + 1);
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      StartCheckBooksAndEnd({{"WIDGET", 100}, {"GADGET", 40}});
      EXPECT_EQ(Texts(user.told), std::vector<std::string>{kDeletionFinished});
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(CompanyList(folder).count("7"), 0u);
    EXPECT_EQ(FilesOfCompany(folder, "7"), (std::map<std::string, std::string>{}));
    EXPECT_FALSE(fs::exists(folder / "7.DEL"));
    fs::remove_all(folder);
  }
}

// Company 12's deletion mark, left by a kill before its record went (12 still listed) or after it
// (12 no longer listed), met by a start that cannot read the company list: each read of the start
// failing in turn, and the list's index refused at its open. Whatever the list would have said,
// nothing of company 12 goes, the list stays as it was, and the user is told which file and why;
// the next start that reads the list settles the deletion as the list says.
TEST_F(StartAfterStopTest, ADeletionTheStartCannotCheckInTheCompanyListKeepsEveryFileAndSaysWhy) {
  const QRegularExpression told(
      "^The deletion of company 12 was interrupted and cannot be finished now: the file ovcomp\\.(DAT|IX) "
      "cannot be (read|opened) now: (Input/output error|Permission denied)\\.  Nothing more of it is done "
      "until the program is started again\\.$");
  for (const bool listed : {true, false}) {
    SCOPED_TRACE(listed ? "company 12 listed" : "company 12 no longer listed");
    const fs::path start = dir_.path() / "start";
    MakeCompanyFolder(start, {{"WIDGET", 100}}, false);
    if (!listed) {
      fs::current_path(start);
      storage::IsamInitialize(0, 30);
      ASSERT_TRUE(records::OpenCompanyFile());
      records::CompanyRec company;
      storage::IsamRecRef ref = 0;
      ASSERT_TRUE(records::FindCompanyRecord("12", company, ref));
      ASSERT_TRUE(records::DeleteCompanyRecord(ref));
      testing_support::CloseEngine();
      fs::current_path(dir_.path());
    }
    std::ofstream(start / "12.DEL") << "12";
    // No company to open: every read of the start is one of the deletion's.
    fs::remove(start / "LastCo.Dat");
    std::map<std::string, std::string> files = FilesOfCompany(start, "12");
    files.erase("12.DEL");
    const std::map<std::string, std::string> list = CompanyList(start);

    // A start on a copy of the folder under `plan`, the list's index refused when `refused`: what it
    // told, with the folder left for the checks.
    const fs::path folder = dir_.path() / "cut";
    auto startOnCopy = [&](const FaultPlan& plan, bool refused, int* reads = nullptr) {
      fs::remove_all(folder);
      fs::copy(start, folder);
      if (refused) fs::permissions(folder / "ovcomp.IX", fs::perms::none);
      fs::current_path(folder);
      testing_support::RestartUser user;
      {
        std::optional<testing_support::PermissionsApply> asAUser;
        if (refused) asAUser.emplace();
        platform::files::InstallFaultPlan(plan);
        EXPECT_TRUE(StartUp());
        if (reads) *reads = platform::files::FaultReadsSoFar();
        platform::files::RemoveFaultPlan();
        EndProgram();
      }
      fs::permissions(folder / "ovcomp.IX", fs::perms::owner_read | fs::perms::owner_write);
      fs::current_path(dir_.path());
      return Texts(user.told);
    };
    // What a start that could not settle the deletion must leave, and must have said.
    auto keptAndSaid = [&](const std::vector<std::string>& said, const std::string& point) {
      std::map<std::string, std::string> left = FilesOfCompany(folder, "12");
      EXPECT_EQ(left.erase("12.DEL"), 1u) << point;
      EXPECT_TRUE(left == files) << point << ": a file of company 12 changed or went";
      EXPECT_EQ(CompanyList(folder), list) << point;
      ASSERT_EQ(said.size(), 1u) << point;
      EXPECT_TRUE(told.match(QString::fromStdString(said.front())).hasMatch())
          << point << ": " << said.front();
    };

    int reads = 0;
    (void)startOnCopy({}, false, &reads);
    ASSERT_GT(reads, 0);
    int kept = 0;
    for (int n = 1; n <= reads; ++n) {
      const std::string point = "read " + std::to_string(n) + " of " + std::to_string(reads) + " failing";
      const std::vector<std::string> said =
          startOnCopy({.Errno = EIO, .OnRead = FaultAction::Fail, .ReadNumber = n}, false);
      if (fs::exists(folder / "12.DEL")) {
        keptAndSaid(said, point);
        ++kept;
        continue;
      }
      // Settled after all (the failed read was met where the engine recovers from it, as in a
      // rebuild of the list's index asked for at its open): as the list says.
      EXPECT_EQ(CompanyList(folder), list) << point;
      if (listed) {
        EXPECT_TRUE(FilesOfCompany(folder, "12") == files)
            << point << ": a file of company 12 changed or went";
      } else {
        EXPECT_EQ(FilesOfCompany(folder, "12"), (std::map<std::string, std::string>{})) << point;
      }
    }
    EXPECT_GT(kept, 0);
    keptAndSaid(startOnCopy({}, true), "ovcomp.IX refused at its open");

    // The list read again: the deletion is settled as the list says, at that start.
    const std::vector<std::string> said = startOnCopy({}, false);
    EXPECT_FALSE(fs::exists(folder / "12.DEL"));
    EXPECT_EQ(CompanyList(folder), list);
    if (listed) {
      std::map<std::string, std::string> left = FilesOfCompany(folder, "12");
      EXPECT_TRUE(left == files) << "a file of company 12 changed or went";
      EXPECT_EQ(said, std::vector<std::string>{});
    } else {
      EXPECT_EQ(FilesOfCompany(folder, "12"), (std::map<std::string, std::string>{}));
      EXPECT_EQ(said, std::vector<std::string>{
                          "The deletion of company 12 was interrupted and has been finished."});
    }
    fs::remove_all(folder);
    fs::remove_all(start);
  }
}

// A stop whose repair a start cannot finish: the company list unreadable after company 7's deletion
// was killed at the removal of its first file, a data file the stop left marked unreadable, and
// another company's posting that waits (its journal unreadable). That start keeps company 12's
// journal, the evidence of the stop, through its end; the next start, the file readable again,
// repairs what the stop left with the one message a stop gets, asks nothing, and leaves the books
// whole, nothing to repair and no journal.
TEST_F(StartAfterStopTest, AStartThatCannotFinishTheRepairOfAStopLeavesItToTheNextWithOneMessage) {
  struct Case {
    const char* Name;
    std::function<void(const fs::path&)> Stop;  // makes the folder as the stop left it
    const char* Refused;                        // the file refused to the start between
    const char* SaidBetween;                    // part of that start's one message
    std::string Then;                           // the next start's one message
  };
  const auto stopBetweenPostings = [this](const fs::path& folder) {
    MakeCompanyFolder(folder, {{"WIDGET", 100}, {"GADGET", 40}}, false);
    ASSERT_EQ(PostInChild(folder, {}), 0);
    const std::vector<std::string> marked = FilesLeftToRepair(folder);
    ASSERT_NE(std::find(marked.begin(), marked.end(), "12D.DAT"), marked.end())
        << ::testing::PrintToString(marked);
  };
  const std::vector<Case> cases = {
      {"the company list after a deletion stopped",
       [this](const fs::path& folder) {
         const fs::path start = dir_.path() / "start";
         MakeCompanyFolder(start, {{"WIDGET", 100}, {"GADGET", 40}}, false);
         AddCompanySeven(start);
         KillDeletionOfSeven(start, folder, FirstRemovalOfSevensFiles(start));
         fs::remove_all(start);
       },
       "ovcomp.DAT", "cannot be finished now: the file ovcomp.DAT", kDeletionFinished},
      {"a data file the stop left marked", stopBetweenPostings, "12D.DAT", kStopped, kStopped},
      {"another company's journal",
       [&](const fs::path& folder) {
         stopBetweenPostings(folder);
         std::ofstream(folder / "7JNL.DAT", std::ios::binary)
             << storage::EncodeJournalHeader({"7", "invoice 77", 7, 0});
       },
       "7JNL.DAT", "could not be undone yet", kStopped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = dir_.path() / "stopped";
    c.Stop(folder);
    if (HasFatalFailure()) return;
    fs::permissions(folder / c.Refused, fs::perms::none);
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      {
        testing_support::PermissionsApply unreadable;
        ASSERT_TRUE(StartUp());
        EndProgram();
      }
      ASSERT_EQ(user.told.size(), 1u) << ::testing::PrintToString(Texts(user.told));
      EXPECT_TRUE(user.told.front().contains(QString::fromUtf8(c.SaidBetween))) << Texts(user.told).front();
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
    }
    EXPECT_TRUE(fs::exists(folder / "12JNL.DAT"));
    fs::permissions(folder / c.Refused, fs::perms::owner_read | fs::perms::owner_write);
    {
      testing_support::RestartUser user;
      StartCheckBooksAndEnd(kStock);
      EXPECT_EQ(Texts(user.told), std::vector<std::string>{c.Then});
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(FilesLeftToRepair(folder), std::vector<std::string>{});
    EXPECT_EQ(JournalSpellings(folder), std::vector<fs::path>{});
    EXPECT_FALSE(fs::exists(folder / "7JNL.DAT"));
    EXPECT_EQ(CompanyList(folder).count("7"), 0u);
    EXPECT_EQ(FilesOfCompany(folder, "7"), (std::map<std::string, std::string>{}));
    fs::remove_all(folder);
  }
}

}  // namespace
}  // namespace shell

// -- A restore's mark that cannot be read, and a work folder that is not the restore's own --

namespace shell {
namespace {

// Every name under a folder, links not followed: a link with where it leads, a folder, a file with
// its size and a hash of its bytes. What a start may not change.
std::map<std::string, std::string> EverythingIn(const fs::path& folder) {
  std::map<std::string, std::string> found;
  for (auto item = fs::recursive_directory_iterator(folder); item != fs::recursive_directory_iterator();
       ++item) {
    const fs::file_status status = fs::symlink_status(item->path());
    std::string what = "folder";
    if (fs::is_symlink(status)) {
      what = "link to " + fs::read_symlink(item->path()).string();
    } else if (!fs::is_directory(status)) {
      std::ifstream file(item->path(), std::ios::binary);
      const std::string bytes(std::istreambuf_iterator<char>(file), {});
      what = std::to_string(bytes.size()) + " bytes, hash " + std::to_string(std::hash<std::string>{}(bytes));
    }
    found[fs::relative(item->path(), folder).string()] = what;
  }
  return found;
}

void CopyWhole(const fs::path& from, const fs::path& to) {
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

const char kHeld[] =
    "  Until it is finished or undone, no company posts anything and none of the records can be changed.  ";

// What a start that advises restoring the backup again leaves of a tree: the same, but what the
// restore had set aside in its work folder ("<work>/old") now in the safety folder the message names.
std::map<std::string, std::string> WithOldSetAside(const std::map<std::string, std::string>& left,
                                                   const std::string& said) {
  const std::string opening = "kept in the folder \"";
  const size_t at = said.find(opening);
  if (at == std::string::npos) return left;
  const std::string safety =
      said.substr(at + opening.size(), said.find('"', at + opening.size()) - at - opening.size());
  std::map<std::string, std::string> moved;
  for (const auto& [path, what] : left) {
    const fs::path name(path);
    auto part = name.begin();
    const bool inOld = name.begin() != name.end() && std::distance(name.begin(), name.end()) >= 2 &&
                       (++part)->string() == "old" && name.begin()->string().starts_with(".restore-");
    if (!inOld) {
      moved[path] = what;
    } else if (std::distance(name.begin(), name.end()) == 2) {
      moved[safety] = what;
    } else {
      moved[(fs::path(safety) / name.filename()).string()] = what;
    }
  }
  return moved;
}

// What a start holds every company with: the refusal of a posting, the line of the main window
// and the figures' note name the restore and the remedy.
void ExpectEveryCompanyHeld(const std::string& remedy) {
  const std::string state = "the restore of the backup files was interrupted and is not finished yet";
  EXPECT_TRUE(storage::PostingJournalWaitsFor("12"));
  EXPECT_TRUE(storage::PostingJournalWaitsFor("7"));
  try {
    invoicing::PostNewInvoice(testing_support::Invoice("1005", "C1", "12/07/2026", {{"WIDGET", "1"}}));
    ADD_FAILURE() << "posted while the restore was held";
  } catch (const storage::PostingFailed& refused) {
    EXPECT_EQ(std::string(refused.what()), "Invoice 1005 cannot be posted now: " + state + ". " + remedy);
  }
  MainForm->ShowWaitingPosting();
  EXPECT_EQ(MainForm->PostingWaitsLine->text().toStdString(),
            "The restore of the backup files was interrupted and is not finished yet; the figures shown may "
            "include part of it. " +
                remedy);
  EXPECT_EQ(storage::WaitingPostingFiguresNote("12"),
            "These figures may include part of the restore of the backup files, which was interrupted and is "
            "not finished yet.");
}

// A restore killed at its writes that place the files (every third, from the last back to the
// mark's), then a start whose one read of the mark fails (an I/O error, or no permission): the
// start says so once with the file, the reason and what to do, holds every company, writes
// nothing and makes no file anew (not even one the restore had not placed yet). The next start,
// which reads the mark, finishes the restore: the backup's books, balanced, and the files it
// replaced, the user's own, in the safety folder.
TEST_F(StartAfterStopTest, ARestoreMarkThatCannotBeReadHoldsEveryCompanyUntilAStartCanFinishIt) {
  const fs::path start = dir_.path() / "start";
  RestoreStage stage;
  StageARestore(start, false, &stage);
  if (HasFatalFailure()) return;
  const ChildStart whole = RestoreACopy(start);
  ASSERT_EQ(whole.Status, 0);
  const std::map<std::string, std::string> own = EverythingIn(start);

  int points = 0;
  bool missingSeen = false;
  for (int n = whole.Writes - 1; n > 0; n -= 3) {
    SCOPED_TRACE("killed at write " + std::to_string(n) + " of " + std::to_string(whole.Writes));
    const fs::path folder = dir_.path() / ("killed" + std::to_string(n));
    fs::copy(start, folder);
    FaultPlan killed;
    killed.OnWrite = FaultAction::Kill;
    killed.WriteNumber = n;
    ASSERT_EQ(RestoreInChild(folder, killed).Status, platform::files::FaultKilledExitCode);
    if (!fs::exists(folder / exchange::RestoreMarkName)) {
      fs::remove_all(folder);
      break;  // killed before its mark was written: nothing to finish
    }
    ++points;
    for (const auto& [name, what] : own) missingSeen = missingSeen || !fs::exists(folder / name);
    const std::map<std::string, std::string> left = EverythingIn(folder);
    const int err = points % 2 ? EIO : EACCES;
    const std::string remedy = err == EIO
                                   ? "Check the disk that holds .restore-mark and start the program again."
                                   : "Make .restore-mark readable and start the program again.";
    fs::current_path(folder);
    {
      testing_support::RestartUser user;
      FaultPlan unreadable;
      unreadable.OnRead = FaultAction::Fail;
      unreadable.ReadNumber = 1;
      unreadable.Errno = err;
      platform::files::InstallFaultPlan(unreadable);
      ASSERT_TRUE(StartUp());
      platform::files::RemoveFaultPlan();
      EXPECT_EQ(Texts(user.told),
                std::vector<std::string>{"The restore of the backup files was interrupted, and its record of "
                                         "what it did (.restore-mark) cannot be read: " +
                                         std::string(std::strerror(err)) + "." + kHeld + remedy});
      // The company's files opened as the windows open them: one not placed yet is not made anew.
      (void)testing_support::OpenCompanyFiles();
      ExpectEveryCompanyHeld(remedy);
      EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
      EndProgram();
    }
    EXPECT_EQ(EverythingIn(folder), left);
    {
      testing_support::RestartUser user;
      StartCheckBooksAndEnd(kStock);
      EXPECT_EQ(Texts(user.told), std::vector<std::string>{kRestoreFinished});
    }
    fs::current_path(dir_.path());
    EXPECT_EQ(LinesAndProducts(folder), stage.BackedUp);
    EXPECT_EQ(LinesAndProducts(folder / kSafety), stage.AsTheyWere);
    for (const auto& [name, what] : EverythingIn(folder / kSafety))
      EXPECT_EQ(what, own.at(name)) << name << " in the safety folder is not the user's own";
    EXPECT_FALSE(WhatARestoreLeft(folder).Mark);
    EXPECT_EQ(WhatARestoreLeft(folder).WorkFolders, 0);
    fs::remove_all(folder);
  }
  std::printf("restore mark unreadable: %d of %d writes killed at\n", points, whole.Writes);
  EXPECT_GE(points, 5);
  EXPECT_TRUE(missingSeen) << "no kill left a file of the company between its places";
}

SpoiledStart StartAfterStopTest::StartOverASpoiledCopy(const fs::path& killed, const RestoreStage& stage,
                                                       const SpoiledRestore& c, int n) {
  SpoiledStart started{dir_.path() / ("spoiled" + std::to_string(n)), {}, {}, {}};
  const fs::path& folder = started.Folder;
  const fs::path outside = dir_.path() / ("beside" + std::to_string(n));
  CopyWhole(killed, folder);
  fs::create_directory(outside);
  std::ofstream(outside / "canary") << "the user's own";
  started.Named = c.Spoil(folder, WorkFolderIn(folder), outside);
  const std::map<std::string, std::string> outsideBefore = EverythingIn(outside);
  started.Left = EverythingIn(folder);

  fs::current_path(folder);
  {
    testing_support::RestartUser user;
    if (c.Then == Outcome::Held) {
      EXPECT_TRUE(StartUp());
      ExpectEveryCompanyHeld(c.Remedy);
      EndProgram();
    } else if (c.Ordinary) {
      testing_support::PermissionsApply ordinary;
      StartCheckBooksAndEnd(kStock);
    } else {
      StartCheckBooksAndEnd(kStock);
    }
    EXPECT_EQ(user.told.size(), 1u);
    if (!user.told.empty()) started.Said = user.told[0].toStdString();
  }
  fs::current_path(dir_.path());
  EXPECT_EQ(EverythingIn(outside), outsideBefore);
  if (c.Then == Outcome::Held) {
    // Told to restore again, the user finds what the restore had set aside in a folder it names.
    // (unless its folder of them is a link, which is never followed).
    const bool again =
        c.Remedy == "Restore the backup again." && std::ranges::any_of(started.Left, [&](const auto& entry) {
          return entry.first.ends_with("/old") && entry.second == "folder" &&
                 started.Left.lower_bound(entry.first + "/") != started.Left.end() &&
                 started.Left.lower_bound(entry.first + "/")->first.starts_with(entry.first + "/");
        });
    EXPECT_EQ(again, started.Said.find("What it had set aside is kept in the folder") != std::string::npos)
        << started.Said;
    EXPECT_EQ(EverythingIn(folder), again ? WithOldSetAside(started.Left, started.Said) : started.Left);
  } else {
    EXPECT_EQ(LinesAndProducts(folder), c.Then == Outcome::Finished ? stage.BackedUp : stage.AsTheyWere);
    EXPECT_FALSE(WhatARestoreLeft(folder).Mark);
    EXPECT_EQ(WhatARestoreLeft(folder).WorkFolders, 0);
  }
  return started;
}

// A restore killed among the writes that place its files, then a link (or another kind of file)
// put where its work folder, one of its folders, a file in them, or its mark should be, leading to
// a folder outside the data folder. The start follows none of them: nothing outside is created,
// changed, moved or removed; the restore is finished, or undone from what is its own, or left
// as it is with every company held; and it says one thing.
TEST_F(StartAfterStopTest, ALinkInARestoresWorkFolderOrAsItsMarkIsNeverFollowed) {
  const fs::path start = dir_.path() / "start";
  RestoreStage stage;
  StageARestore(start, false, &stage);
  if (HasFatalFailure()) return;
  const ChildStart whole = RestoreACopy(start);
  const fs::path killed = RestoreKilledWhilePlacing(start, whole);
  if (HasFailure()) return;

  // The name of what becomes a link to outside, how it is found, and what the start must do then.
  using Replaced = std::function<fs::path(const fs::path& work)>;
  const std::vector<std::tuple<const char*, Replaced, Outcome>> links = {
      {"the work folder", [](const fs::path& work) { return work; }, Outcome::Held},
      {"its new folder", [](const fs::path& work) { return work / "new"; }, Outcome::Undone},
      {"its old folder", [](const fs::path& work) { return work / "old"; }, Outcome::Held},
      {"its journals folder", [](const fs::path& work) { return work / "journals"; }, Outcome::Undone},
      {"a staged file", [](const fs::path& work) { return fs::directory_iterator(work / "new")->path(); },
       Outcome::Undone},
      {"a replaced file", APlacedFilesLiveCopy, Outcome::Held},
      {"the mark", [](const fs::path& work) { return work.parent_path() / exchange::RestoreMarkName; },
       Outcome::Held},
      {"the mark in the work folder", [](const fs::path& work) { return work / "mark"; }, Outcome::Finished},
  };
  int n = 0;
  for (const auto& [name, replacedOf, then] : links) {
    const Replaced& linked = replacedOf;
    const SpoiledRestore c{name,
                           [&linked](const fs::path& folder, const fs::path& work, const fs::path& outside) {
                             const fs::path replaced = linked(work);
                             const fs::path there = outside / replaced.filename();
                             if (fs::exists(replaced))
                               fs::rename(replaced, there);
                             else
                               fs::copy_file(folder / exchange::RestoreMarkName, there);
                             fs::create_symlink(there, replaced);
                             return replaced.lexically_relative(folder).string();
                           },
                           then, "Restore the backup again."};
    SCOPED_TRACE(c.Name);
    const SpoiledStart started = StartOverASpoiledCopy(killed, stage, c, ++n);
    const std::string& said = started.Said;
    if (then == Outcome::Finished) {
      EXPECT_EQ(said, kRestoreFinished);
    }
    if (then == Outcome::Undone) {
      EXPECT_TRUE(said.starts_with(
          "The restore of the backup files was interrupted and could not be finished: " + started.Named +
          " is a link"))
          << said;
      EXPECT_TRUE(said.ends_with("It has been undone: the data files are as they were before it.")) << said;
    }
    if (then == Outcome::Held) {
      EXPECT_TRUE(said.starts_with("The restore of the backup files was interrupted")) << said;
      EXPECT_TRUE(said.ends_with(kHeld + std::string("Restore the backup again."))) << said;
    }
  }
}

// The mark's "file" line of a file not placed yet (its staged copy still waits) whose live file is
// not the backup's (another size): its flag set to `flag`, and its staged copy removed so that the
// restore cannot finish. The live file's name.
std::string FlagOfAFileNotPlaced(const fs::path& folder, const fs::path& work, const char* flag) {
  std::ifstream in(folder / exchange::RestoreMarkName);
  std::string mark, line, target;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (target.empty() && fields.size() == 8 && fields[0] == "file" && fields[3] == "1" &&
        fs::exists(work / "new" / fields[1]) && fs::exists(folder / fields[2]) &&
        fs::file_size(folder / fields[2]) != std::stoull(fields[6])) {
      target = fields[2];
      fs::remove(work / "new" / fields[1]);
      fields[3] = flag;
      line.clear();
      for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + field;
    }
    mark += line + "\n";
  }
  in.close();
  std::ofstream(folder / exchange::RestoreMarkName, std::ios::trunc) << mark;
  return target;
}

// A file the backup changes stopped between the two moves that place it: its live file kept aside
// in "old", its staged copy still waiting; then a copy of the user's own put under the live name by
// hand. That name, in the folder.
std::string AFileWaitingBesideAHandCopy(const fs::path& folder, const fs::path& work) {
  std::ifstream in(folder / exchange::RestoreMarkName);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (fields.size() != 8 || fields[0] != "file" || fields[3] != "1" ||
        !fs::exists(work / "new" / fields[1]) || !fs::exists(folder / fields[2]) ||
        fs::exists(work / "old" / fields[1]))
      continue;
    fs::rename(folder / fields[2], work / "old" / fields[1]);
    std::ofstream(folder / fields[2], std::ios::binary) << "the user's own copy";
    return fields[2];
  }
  ADD_FAILURE() << "no file waits to be placed over a live one";
  return {};
}

// A restore killed among the writes that place its files, then its mark as hostile hands leave
// it: a flag that says no live file was there beside a file that cannot be placed, a folder in
// its place, the mark made read-only for a start by an ordinary user, a staged file with a second
// hard link outside the data folder; or a file put by hand under the name of one it had moved
// aside and not yet replaced. The start never removes a live file it cannot tell is its own copy,
// nor moves one over what the restore kept aside, names what it cannot use with a remedy that
// works, and says one thing.
TEST_F(StartAfterStopTest, ARestoreMarkAsHostileInputNeverCostsALiveFile) {
  const fs::path start = dir_.path() / "start";
  RestoreStage stage;
  StageARestore(start, false, &stage);
  if (HasFatalFailure()) return;
  const ChildStart whole = RestoreACopy(start);
  const fs::path killed = RestoreKilledWhilePlacing(start, whole);
  if (HasFailure()) return;

  // A restore killed earlier, before it places a file that the backup changes, its flag lying.
  const fs::path lying = dir_.path() / "lying";
  std::string lyingFile;
  for (int n = whole.Writes - 10; n > 0 && lyingFile.empty(); n -= 2) {
    fs::remove_all(lying);
    fs::copy(start, lying);
    ASSERT_EQ(RestoreInChild(lying, {.OnWrite = FaultAction::Kill, .WriteNumber = n}).Status,
              platform::files::FaultKilledExitCode);
    if (!fs::exists(lying / exchange::RestoreMarkName)) break;
    lyingFile = FlagOfAFileNotPlaced(lying, WorkFolderIn(lying), "0");
  }
  ASSERT_FALSE(lyingFile.empty()) << "no kill left a file the backup changes waiting to be placed";

  const std::string removeIt = "Remove it and start the program again.";
  const std::vector<std::pair<SpoiledRestore, std::string>> cases = {
      // and what the start says
      {{"a flag that lies",
        [&](const fs::path& folder, const fs::path&, const fs::path&) {
          fs::remove_all(folder);
          CopyWhole(lying, folder);
          return lyingFile;  // the live file the flag would have removed
        },
        Outcome::Undone,
        {}},
       kRestoreUndone},
      {{"a folder",
        [](const fs::path& folder, const fs::path&, const fs::path&) {
          fs::remove(folder / exchange::RestoreMarkName);
          fs::create_directory(folder / exchange::RestoreMarkName);
          return std::string();
        },
        Outcome::Held, removeIt},
       std::string("The restore of the backup files was interrupted, and its record of what it did "
                   "(.restore-mark) cannot be read: it is a folder, not the restore's record.") +
           kHeld + removeIt},
      {{"mode 0444",
        [](const fs::path& folder, const fs::path&, const fs::path&) {
          fs::permissions(folder / exchange::RestoreMarkName,
                          fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
          return std::string();
        },
        Outcome::Finished,
        {},
        true},
       kRestoreFinished},
      {{"a hard link",
        [](const fs::path&, const fs::path& work, const fs::path& outside) {
          const fs::path staged = fs::directory_iterator(work / "new")->path();
          fs::rename(staged, outside / staged.filename());
          fs::create_hard_link(outside / staged.filename(), staged);
          return std::string();
        },
        Outcome::Undone,
        {}},
       "The restore of the backup files was interrupted and could not be finished: "},
      {{"a copy put by hand where a file waits to be placed",
        [](const fs::path& folder, const fs::path& work, const fs::path&) {
          return AFileWaitingBesideAHandCopy(folder, work);
        },
        Outcome::Held, "Restore the backup again."},
       "The restore of the backup files was interrupted and can neither be finished nor undone: "},
  };
  int n = 0;
  for (const auto& [c, said] : cases) {
    SCOPED_TRACE(c.Name);
    const SpoiledStart started = StartOverASpoiledCopy(killed, stage, c, ++n);
    if (c.Then == Outcome::Finished) {
      EXPECT_EQ(started.Said, said);
    } else {
      EXPECT_TRUE(started.Said.starts_with(said)) << started.Said;
      EXPECT_TRUE(started.Said.ends_with(c.Then == Outcome::Undone ? std::string("as they were before it.")
                                                                   : kHeld + c.Remedy))
          << started.Said;
    }
    if (!started.Named.empty()) {
      EXPECT_EQ(EverythingIn(started.Folder)[started.Named], started.Left.at(started.Named)) << started.Named;
    }
  }
}

}  // namespace
}  // namespace shell
