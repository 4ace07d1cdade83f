// The start after the program was stopped, as main starts it: an invoice posted by the program in a
// child process, stopped there by the file layer's fault seam, then the program started on the
// folder. Whatever the stop, the user is told one thing at most, asked nothing, and finds the
// books whole and no file left to repair; and while a posting waits to be undone, nothing moves
// its records.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "companies/prod_copy.h"
#include "invoicing/invoice_posting.h"
#include "main_form_fixture.h"
#include "permissions_apply.h"
#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/text/clock.h"
#include "posting_folder.h"
#include "records/customer_file.h"
#include "records/last_company.h"
#include "records/product_file.h"
#include "shell/main_form.h"
#include "storage/journal_entry.h"
#include "storage/journal_undo.h"
#include "storage/posting_journal.h"
#include "support/books_check.h"
#include "support/scratch_company.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using platform::files::FaultAction;
using platform::files::FaultPlan;
using testing_support::UiScript;

const char kUndone[] =
    "The last posting (invoice 1004) was interrupted and has been undone; the files it touched were rebuilt.";
const char kOnFile[] = "The last posting (invoice 1004) was completed and is on file.";
const char kStopped[] =
    "The program was stopped last time while company 12 was open.  The files it had open are rebuilt now.";

// What refuses an action that would move records while a posting waits to be undone.
std::string Refusal(const std::string& action) {
  return action +
         ": the posting (invoice 1004) that did not finish has not been undone yet, and records moved now "
         "would be lost when it is.  The next start of the program undoes the posting first; start the "
         "program again.";
}

std::vector<std::string> Texts(const std::vector<QString>& shown) {
  std::vector<std::string> texts;
  for (const QString& text : shown) texts.push_back(text.toStdString());
  return texts;
}

using Stock = std::vector<std::pair<std::string, int>>;

// The company's data files (and the company list) marked for repair, or with a rebuild left
// unfinished, in a closed folder.
std::vector<std::string> FilesLeftToRepair(const fs::path& folder) {
  std::vector<std::string> left;
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    const bool dataFile =
        (name.starts_with("12") || name.starts_with("ovcomp")) && name.find("JNL") == std::string::npos;
    if (dataFile &&
        (item.path().extension() == ".SAV" ||
         (item.path().extension() == ".DAT" && storage::DataFileMarkedForRepair(item.path().string()))))
      left.push_back(name);
  }
  return left;
}

// The records a posting of the invoice changes and the start itself does not (it ages the
// customers): the lines and the products.
testing_support::FolderRecords LinesAndProducts(const fs::path& folder) {
  testing_support::FolderRecords records = testing_support::ReadFolderRecords(folder);
  std::erase_if(records, [](const auto& file) { return file.first != "12D.DAT" && file.first != "12P.DAT"; });
  return records;
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

// What the start must say of the folder a stop left, from its journal alone: the posting it names
// (undone, or on file), the journals it must set aside (a stranger's, one in two spellings, or the
// stand-in of a start stopped before it said so), or the stop that left files marked.
std::vector<std::string> StartMustSay(const fs::path& folder, bool marked) {
  const std::vector<fs::path> spellings = JournalSpellings(folder);
  std::vector<storage::JournalRead> reads;
  std::vector<storage::JournalHeader> headers(spellings.size());
  for (size_t i = 0; i < spellings.size(); ++i) reads.push_back(HeaderIn(spellings[i], headers[i]));
  const bool allEmpty =
      std::all_of(reads.begin(), reads.end(), [](auto r) { return r == storage::JournalRead::Empty; });
  if (spellings.size() > 1 && !allEmpty) return {kSetAsideTwo};
  if (spellings.empty() || allEmpty) {
    const bool committed = spellings.size() == 1 && headers[0].Committed && headers[0].Company == "12";
    if (committed) return {"The last posting (" + headers[0].What + ") was completed and is on file."};
    return marked ? std::vector<std::string>{kStopped} : std::vector<std::string>{};
  }
  const storage::JournalHeader& header = headers[0];
  if (reads[0] == storage::JournalRead::SetAside && header.Company == "12")
    return {header.What.find(", ") != std::string::npos ? kSetAsideTwo : kSetAsideOne};
  if (reads[0] == storage::JournalRead::Entries && header.Company == "12")
    return {"The last posting (" + header.What +
            ") was interrupted and has been undone; the files it touched were rebuilt."};
  return {kSetAsideOne};
}

// How many of the messages say that a posting was undone.
int UndoneTold(const std::vector<std::string>& told) {
  return static_cast<int>(std::count_if(told.begin(), told.end(), [](const std::string& text) {
    return text.find(") was interrupted and has been undone") != std::string::npos;
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
    records::CompanyWorkRec = company;
    ASSERT_TRUE(records::SaveCurrentCompany());
    testing_support::CloseEngine();
    records::CurrentCompany = records::CompanyRec{};
    fs::current_path(dir_.path());
  }

  // The program started on the folder in a child, where the invoice is posted under the fault
  // plan; the child's exit status as PostInChildProcess tells it.
  int PostInChild(const fs::path& folder, const FaultPlan& plan,
                  testing_support::FaultCount count = testing_support::FaultCount::None) {
    return testing_support::PostInChildProcess(
        folder, [] { return StartUp() && testing_support::OpenCompanyFiles(); }, plan,
        [this] { PostTheInvoice(); }, count);
  }

  // What a start in a child showed before it ended, how it ended, how many writes it made when it
  // ran to its end, and how many reads and writes before its first message.
  struct ChildStart {
    int Status = -1;
    int Writes = 0;
    int ReadsBeforeMessage = 0, WritesBeforeMessage = 0, ReadsBeforeWriting = 0;
    std::vector<std::string> Told, Asked;
  };

  // The program started on the folder in a child under the fault plan, as main starts it; each
  // box it shows is passed to the parent as it is shown, so that a kill loses none of them.
  static ChildStart StartInChild(const fs::path& folder, const FaultPlan& plan) {
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
      platform::files::InstallFaultPlan(plan);
      const bool started = StartUp();
      const std::string count = "#" + std::to_string(platform::files::FaultWritesSoFar()) + ' ' +
                                std::to_string(platform::files::FaultReadsBeforeFirstWrite()) + '\0';
      [[maybe_unused]] ssize_t written = ::write(ends[1], count.data(), count.size());
      ::_exit(started ? 0 : 2);
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
        std::istringstream(line) >> result.Writes >> result.ReadsBeforeWriting;
      else if (said[at] == '@' && result.Told.empty() && result.Asked.empty())
        std::istringstream(line) >> result.ReadsBeforeMessage >> result.WritesBeforeMessage;
      else if (said[at] != '@')
        (said[at] == '!' ? result.Told : result.Asked).push_back(line);
    }
    return result;
  }

  int CountInChild(const fs::path& start, testing_support::FaultCount count) {
    const fs::path folder = dir_.path() / "count";
    fs::copy(start, folder);
    const int status = PostInChild(folder, {}, count);
    fs::remove_all(folder);
    EXPECT_GE(status, 10);
    return status - 10;
  }

  // The program started on the current folder as main starts it, the company's files opened as
  // the windows open them and the books checked against the stock they started from; then ended.
  void StartCheckBooksAndEnd(const testing_support::StockBefore& stock) {
    ASSERT_TRUE(StartUp());
    EXPECT_TRUE(testing_support::OpenCompanyFiles());
    EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany, stock), std::vector<std::string>{});
    EndProgram();
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
    int Undid = 0, Stopped = 0, Quiet = 0, Waited = 0, Untold = 0;
  };

  // The start after the stop under each fault (a kill at a write, a failing read), then the next
  // start: it finishes what the first began, says one thing and asks nothing, and the books are
  // whole. Over the two starts a posting's undo is told once and a set-aside once; a journal that
  // still holds its posting after a failed read has said why; nothing is set aside but what does
  // not belong.
  Met SweepStartsAfter(const Stop& stop, const std::vector<FaultPlan>& faults,
                       const testing_support::FolderRecords& records) {
    Met met;
    for (const FaultPlan& plan : faults) {
      const bool kill = plan.OnWrite == FaultAction::Kill;
      SCOPED_TRACE(kill ? "the start stopped at write " + std::to_string(plan.WriteNumber)
                   : plan.OnWrite == FaultAction::Fail
                       ? "write " + std::to_string(plan.WriteNumber) + " failing"
                       : "read " + std::to_string(plan.ReadNumber) + " failing");
      const fs::path folder = dir_.path() / "cut";
      fs::copy(stop.Folder, folder);
      const ChildStart first = StartInChild(folder, plan);
      EXPECT_EQ(first.Status, kill ? platform::files::FaultKilledExitCode : 0);
      // A read failing in the rebuild that follows an undo is the rebuild's to tell as well; a
      // journal left in place by a failing write, the postings that cannot write over it.
      if (kill || (plan.OnRead == FaultAction::Fail && UndoneTold(first.Told) == 0)) {
        EXPECT_LE(first.Told.size(), 1u) << testing::PrintToString(first.Told);
      }
      if (plan.OnWrite == FaultAction::Fail && !first.Told.empty() && JournalsSetAside(folder).empty()) {
        EXPECT_NE(first.Told.front().find(std::strerror(plan.Errno)), std::string::npos)
            << first.Told.front();
      }
      EXPECT_EQ(first.Asked, std::vector<std::string>{});
      if (stop.Aside.empty()) {
        EXPECT_EQ(JournalsSetAside(folder), (std::map<std::string, bool>{}));
      }
      if (plan.OnRead == FaultAction::Fail && JournalHoldsAPosting(folder / "12JNL.DAT") &&
          UndoneTold(first.Told) == 0) {
        ++met.Waited;
        EXPECT_TRUE(first.Told.size() == 1 &&
                    first.Told.front().find(std::strerror(EIO)) != std::string::npos)
            << testing::PrintToString(first.Told);
      }
      // What is left to finish decides what the next start says: an undo, a set-aside, or a
      // rebuild. (The start posts too: a posting of its own stopped is undone as well.)
      const bool marked = !FilesLeftToRepair(folder).empty();
      const std::vector<std::string> expected = StartMustSay(folder, marked);
      (UndoneTold(expected) ? met.Undid : marked ? met.Stopped : met.Quiet) += 1;
      fs::current_path(folder);
      {
        testing_support::RestartUser user;
        StartCheckBooksAndEnd({{"WIDGET", 100}, {"GADGET", 40}});
        const std::vector<std::string> told = Texts(user.told);
        EXPECT_EQ(told, expected);
        EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
        met.Untold += first.Told.empty() && told.empty();
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
      if (::testing::Test::HasFailure()) break;
    }
    std::printf("%s: %zu faults; next start undid %d, rebuilt %d, had nothing left %d; waited %d\n",
                stop.Name, faults.size(), met.Undid, met.Stopped, met.Quiet, met.Waited);
    EXPECT_EQ(met.Untold, 0);
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

  platform::text::FixedClock clock_;
  std::vector<std::pair<std::string, std::string>> sales_ = {{"WIDGET", "3"}, {"GADGET", "2"}};
};

// The data file moved to a folder beside the data folder (standing for another disk) and a symbolic
// link to it left in its place, as a user who keeps a large file elsewhere keeps it.
void KeepOnAnotherDisk(const fs::path& folder, const std::string& name) {
  const fs::path disk = folder.string() + "-disk";
  fs::create_directory(disk);
  fs::rename(folder / name, disk / name);
  fs::create_symlink(disk / name, folder / name);
}

// The invoice stopped at every write, once with the product file kept on another disk through a
// link (the posting writes through it, and so must the undo).
TEST_F(StartAfterStopTest, AStopAtAnyWriteOfAnInvoiceIsSaidOnceAtTheStartAndLeavesNoFileToRepair) {
  const fs::path start = dir_.path() / "start";
  const Stock products = {{"WIDGET", 100}, {"GADGET", 40}};
  MakeCompanyFolder(start, products, false);
  const testing_support::StockBefore stockBefore = {{"WIDGET", 100}, {"GADGET", 40}};
  const testing_support::FolderRecords before = LinesAndProducts(start);
  const int writes = CountInChild(start, testing_support::FaultCount::Writes);
  ASSERT_GT(writes, 2);

  // The posting made whole, the program stopped with its files open; then every write stopped.
  for (const bool linked : {false, true}) {
    SCOPED_TRACE(linked ? "the product file kept through a link" : "every file in the data folder");
    int undone = 0;
    int rebuilt = 0;
    for (int n = 0; n <= writes; ++n) {
      SCOPED_TRACE("stopped at write " + std::to_string(n) + " of " + std::to_string(writes));
      const fs::path folder = dir_.path() / ("cut" + std::to_string(n));
      fs::copy(start, folder);
      if (linked) KeepOnAnotherDisk(folder, "12P.DAT");
      FaultPlan plan;
      if (n > 0) {
        plan.OnWrite = FaultAction::Kill;
        plan.WriteNumber = n;
      }
      const int status = PostInChild(folder, plan);
      ASSERT_EQ(status, n > 0 ? platform::files::FaultKilledExitCode : 0);
      const bool posting = JournalHoldsAPosting(folder / "12JNL.DAT");
      const bool committed = !PostingCommittedInJournal(folder / "12JNL.DAT").empty();
      const bool marked = !FilesLeftToRepair(folder).empty();
      undone += posting;
      rebuilt += !posting && marked;
      const testing_support::FolderRecords stopped = LinesAndProducts(folder);

      fs::current_path(folder);
      {
        testing_support::RestartUser user;
        StartCheckBooksAndEnd(stockBefore);
        const std::vector<std::string> expected = posting     ? std::vector<std::string>{kUndone}
                                                  : committed ? std::vector<std::string>{kOnFile}
                                                  : marked    ? std::vector<std::string>{kStopped}
                                                              : std::vector<std::string>{};
        EXPECT_EQ(Texts(user.told), expected);
        EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
      }
      fs::current_path(dir_.path());
      EXPECT_EQ(FilesLeftToRepair(folder), std::vector<std::string>{});
      EXPECT_FALSE(fs::exists(folder / "12JNL.DAT"));
      // The records are the ones before the posting when it was undone, else as the stop left them:
      // a rebuild keeps them.
      EXPECT_EQ(LinesAndProducts(folder), posting ? before : stopped);
      EXPECT_EQ(JournalsSetAside(folder), (std::map<std::string, bool>{}));
      fs::remove_all(folder);
      fs::remove_all(folder.string() + "-disk");
      if (HasFailure()) return;
    }
    // Both kinds of stop were met: inside the posting, and with its files left open.
    EXPECT_GT(undone, 0);
    EXPECT_GT(rebuilt, 0);
  }
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
    ui.ExpectMessage(QString::fromStdString(Refusal("The data files cannot be rebuilt")), "Rebuild")
        .Icon(platform::ui::MsgIcon::Warning);
    MainForm->RebuildDataFiles1Click();
    companies::CopyDataMode = "P";
    companies::TProdCopy& copy = companies::CreateProdCopy();
    copy.FormShow();
    copy.Edit1->setText("7");
    ui.ExpectMessage(QString::fromStdString(Refusal("The products cannot be copied")),
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
          "The last posting (invoice 1004) was interrupted and could not be undone yet: the file ovcomp.DAT "
          "could not be written: Input/output error.  It will be undone at the next start; until then no "
          "data file is rebuilt or repaired, and company 12 posts nothing.",
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
  ui.ExpectMessage(kUndone, "Posting");
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
    if (HasFailure()) return;
  }
}

// A read the disk fails at the start, at any read before the start says anything (the journal's
// header and entries, the files it names, the rebuild after the undo): the start never takes it for
// the journal's end or for a stranger's journal. The journal waits, told once with the system's
// reason, or the start goes on when the read was not needed; the next start finishes.
TEST_F(StartAfterStopTest, AReadFailingAtTheStartKeepsTheJournalWaitingAndNeverEndsOrSetsItAside) {
  testing_support::FolderRecords before, whole;
  const std::vector<Stop> stops = Stops(before, whole);
  ASSERT_EQ(stops.size(), 5u);
  for (const Stop& stop : stops) {
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

// A file the stopped posting changed that the start cannot open (here the customer file, which
// the program may not read) is no sign of a stranger's journal: the start says which file and why,
// keeps the journal, repairs and asks nothing; the first start that can open it undoes the
// posting whole.
TEST_F(StartAfterStopTest, AFileThatCannotBeOpenedAtTheStartKeepsThePostingForAStartThatCan) {
  const fs::path folder = dir_.path() / "start";
  MakeCompanyFolder(folder, {{"WIDGET", 100}, {"GADGET", 40}}, false);
  const testing_support::FolderRecords before = LinesAndProducts(folder);
  const int writes = CountInChild(folder, testing_support::FaultCount::Writes);
  // The last kill that leaves the whole posting in the journal, its records on file.
  const fs::path keep = dir_.path() / "keep";
  fs::copy(folder, keep);
  int n = writes;
  for (; n > 0; --n) {
    fs::remove_all(folder);
    fs::copy(keep, folder);
    FaultPlan plan;
    plan.OnWrite = FaultAction::Kill;
    plan.WriteNumber = n;
    ASSERT_EQ(PostInChild(folder, plan), platform::files::FaultKilledExitCode);
    if (JournalHoldsAPosting(folder / "12JNL.DAT")) break;
  }
  ASSERT_GT(n, 0);
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
    EndProgram();
    EXPECT_EQ(
        Texts(user.told),
        std::vector<std::string>{
            "The last posting (invoice 1004) was interrupted and could not be undone yet: the file 12C.DAT "
            "could not be opened: Permission denied.  It will be undone at the next start; until then no "
            "data file is rebuilt or repaired, and company 12 posts nothing."});
    EXPECT_EQ(Texts(user.asked), std::vector<std::string>{});
  }
  EXPECT_TRUE(JournalHoldsAPosting(folder / "12JNL.DAT"));
  EXPECT_FALSE(fs::exists(folder / "12JNL-1.BAD"));

  fs::permissions(folder / "12C.DAT", fs::perms::owner_read | fs::perms::owner_write);
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

}  // namespace
}  // namespace shell
