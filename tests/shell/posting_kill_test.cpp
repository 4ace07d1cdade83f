// Every kind of posting stopped at each of its writes and syncs in turn, in each way a posting can
// be stopped: killed after its n-th write, its n-th write failing (a full disk, an I/O error), its
// n-th sync failing, and the power cut right after its n-th write (a simulated disk that keeps
// only what was synced). The posting runs in a child process; the parent then starts over on the
// same folder as the program starts: a journal left behind is undone, the files left defective are
// rebuilt, and then the books must balance and every data file must hold exactly the records it
// held before the posting. The first n that the posting gets past is the posting made whole: no
// journal is left, and the files hold its complete result. The records are compared by an
// independent reader of the closed data files.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "exchange/account_import.h"
#include "exchange/product_import.h"
#include "invoicing/interest_charges.h"
#include "invoicing/invoice_edit.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/payment_posting.h"
#include "platform/files/fault_seam.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "posting_folder.h"
#include "products/price_batch.h"
#include "purchasing/po_delete.h"
#include "purchasing/po_edit.h"
#include "purchasing/po_posting.h"
#include "purchasing/receiving.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "shell/maintenance.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/books_check.h"
#include "support/live_records.h"
#include "support/scratch_company.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using records::CurrentCompany;

using testing_support::CloseEngine;
using testing_support::FolderRecords;
using testing_support::Invoice;
using testing_support::OpenCompanyFiles;
using testing_support::ReadFolderRecords;
using testing_support::RestartUser;

const testing_support::StockBefore kStock = {{"WIDGET", 100}, {"GADGET", 40}};

void File(const std::function<bool(storage::IsamRecRef&)>& add) {
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(add(ref));
}

void FileStartingRecords() {
  for (const char* number : {"C1", "C2"}) {
    records::CustomerRec c{};
    c.CustomerNo.Set(number);
    c.CustomerName.Set(std::string("Customer ") + number);
    c.CustBalance.Set("0.00");
    for (auto* amount : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) amount->Set("0.00");
    File([&](storage::IsamRecRef& ref) { return records::AddCustomerRecord(c, ref); });
  }
  for (const auto& [code, onHand] : kStock) {
    records::ProductRec p{};
    p.Code.Set(code);
    p.Description.Set(code);
    p.OnHand.Set(std::to_string(static_cast<int>(onHand)));
    File([&](storage::IsamRecRef& ref) { return records::AddProductRecord(p, ref); });
  }
  records::VendorRec v{};
  v.VendorNo.Set("V1");
  v.VendorName.Set("Vendor");
  File([&](storage::IsamRecRef& ref) { return records::AddVendorRecord(v, ref); });
}

invoicing::StoredInvoice StoredInvoice(const char* number) {
  records::InvoiceRec wanted{};
  wanted.InvoiceNo.Set(number);
  invoicing::StoredInvoice stored;
  const auto refs = records::RecordsWithKey(records::InvoiceFile, 1, records::BuildInvoiceKey(wanted, 1));
  if (refs.empty() || !invoicing::ReadStoredInvoice(refs.front(), stored))
    throw std::runtime_error("no invoice");
  return stored;
}

purchasing::EnteredPO PO(const char* number, const char* date) {
  purchasing::EnteredPO po;
  po.Number = number;
  po.VendorNo = "V1";
  po.ShortName = "VENDOR";
  po.Date = po.DateRequired = date;
  po.Terms = "Net 30 Days";
  for (const char* code : {"WIDGET", "GADGET"}) {
    purchasing::EnteredPOLine line;
    line.Row = static_cast<int>(po.Lines.size()) + 1;
    line.Code = code;
    line.Quantity = "6";
    line.Description = code;
    line.Price = line.Extension = "2.00";
    line.Taxable = "N";
    po.Lines.push_back(line);
  }
  po.Net = po.Total = "24.00";
  po.Tax = "0.00";
  return po;
}

void ReceiveAllOf(const char* number) {
  purchasing::ReceivingList list = purchasing::LoadReceivingList(number, true);
  purchasing::ReceiveAll(list.Rows);
  purchasing::PostReceipt({list.PONumber, list.ReceiverNumber, QDate(2026, 12, 7), list.Rows});
}

storage::IsamRecRef HeaderRef(const char* number) {
  records::POHeaderRec wanted{};
  wanted.PONumber.Set(number);
  const auto refs = records::RecordsWithKey(records::POHeaderFile, 1, records::BuildPOHeaderKey(wanted, 1));
  if (refs.empty()) throw std::runtime_error("no PO");
  return refs.front();
}

struct PostingKind {
  const char* Name;
  const char* Undone;            // what the message after the undo names
  std::function<void()> Before;  // what the company holds before the posting
  std::function<void()> Post;
  // The stock the books start from once the posting is whole: a purge takes the documents that
  // moved stock away with it.
  testing_support::StockBefore WholeStock = kStock;
};

void PrintTo(const PostingKind& kind, std::ostream* out) {
  *out << kind.Name;
}

invoicing::InterestSettings Interest() {
  invoicing::InterestSettings s;
  s.Rate = "1.500";
  s.Minimum = ".10";
  s.Date = "12/07/2026";
  s.Notes = s.StatementNote = "Interest Charges";
  s.Terms = "Due on receipt";
  return s;
}

const std::vector<PostingKind>& Kinds() {
  static const std::vector<PostingKind> kinds = {
      {"InvoiceAdd", "invoice 1004", [] {},
       [] {
         invoicing::PostNewInvoice(Invoice("1004", "C1", "12/07/2026", {{"WIDGET", "3"}, {"GADGET", "2"}}));
       }},
      {"InvoiceEdit", "invoice 1001",
       [] {
         invoicing::PostNewInvoice(Invoice("1001", "C1", "12/01/2026", {{"WIDGET", "3"}, {"GADGET", "2"}}));
       },
       [] {
         invoicing::PostEditedInvoice(
             StoredInvoice("1001"), Invoice("1001", "C2", "12/02/2026", {{"GADGET", "5"}, {"WIDGET", "1"}}));
       }},
      {"InvoiceDelete", "the deletion of invoice 1001",
       [] {
         invoicing::PostNewInvoice(Invoice("1001", "C1", "12/01/2026", {{"WIDGET", "3"}, {"GADGET", "2"}}));
       },
       [] { invoicing::PostInvoiceDeletion(StoredInvoice("1001")); }},
      {"PaymentWithDeposit", "the payment of customer C1",
       [] {
         invoicing::PostNewInvoice(Invoice("1001", "C1", "12/01/2026", {{"WIDGET", "3"}}));
       },
       [] {  // 1001 paid its whole due, as the wizard's line carries it
         invoicing::PostPayment({"C1",
                                 "12/07/2026",
                                 "",
                                 {{"1001", "", 1000, false}, {invoicing::NewDepositItem, "", 2500, false}}});
       }},
      {"InterestRun", "the run of interest charges",
       [] {
         invoicing::PostNewInvoice(Invoice("1001", "C1", "08/01/2026", {{"WIDGET", "30"}}));
         invoicing::PostNewInvoice(Invoice("1002", "C2", "09/01/2026", {{"GADGET", "20"}}));
       },
       [] {
         std::vector<invoicing::InterestRow> rows = invoicing::ScanInterestCharges(Interest());
         invoicing::GenerateInterestInvoices(rows, Interest());
       }},
      {"POAdd", "PO 7000", [] {}, [] { purchasing::PostNewPO(PO("7000", "12/01/2026")); }},
      {"POEdit", "PO 7000", [] { purchasing::PostNewPO(PO("7000", "12/01/2026")); },
       [] {
         purchasing::StoredPO stored;
         if (!purchasing::ReadStoredPO(HeaderRef("7000"), stored)) throw std::runtime_error("no PO");
         purchasing::EnteredPO edited = PO("7000", "12/02/2026");
         edited.Lines.pop_back();
         edited.Lines.front().Quantity = "9";
         edited.Net = edited.Total = "18.00";
         purchasing::PostEditedPO(stored, edited);
       }},
      {"PriceChange", "the price change", [] {},
       [] {
         products::ChangeBatchPrices({{"WIDGET", "12.50"}, {"GADGET", "1,234.00"}}, "P", "0");
       }},
      {"CustomerImport", "the import of customers", [] {},
       [] {
         exchange::ImportAccounts(exchange::CustomerImportKind(), testing_support::ImportedCustomerRows(),
                                  false);
       }},
      {"ProductImport", "the import of products", [] {},
       [] { exchange::ImportProducts(testing_support::ImportedProductRows(), false); }},
      {"POReceipt", "the receipt of PO 7000", [] { purchasing::PostNewPO(PO("7000", "12/01/2026")); },
       [] { ReceiveAllOf("7000"); }},
      {"PODelete", "the deletion of PO 7000",
       [] {
         purchasing::PostNewPO(PO("7000", "12/01/2026"));
         ReceiveAllOf("7000");
       },
       [] {
         records::POHeaderRec header{};
         const storage::IsamRecRef ref = HeaderRef("7000");
         storage::IsamGetRec(records::POHeaderFile, ref, &header, sizeof header);
         purchasing::PostPODeletion(header, ref);
       }},
      {"CompanySettings", "the change of company 12's settings", [] {},
       [] {
         records::FileForAction file(records::CompanyFile, records::OpenCompanyFile);
         records::CompanyRec before;
         storage::IsamRecRef ref = 0;
         if (!records::FindCompanyRecord("12", before, ref)) throw std::runtime_error("no company 12");
         records::CompanyWorkRec = before;
         records::CompanyWorkRec.AgingCaption1.Set("Due now");
         if (!records::UpdateCompanyRecord(before, ref)) throw std::runtime_error("not saved");
       }},
      {"Purge",
       "the purge of old records",
       [] {
         invoicing::EnteredInvoice paid = Invoice("1001", "C1", "03/01/2024", {{"WIDGET", "3"}});
         paid.Paid = paid.Total;
         invoicing::PostNewInvoice(paid);
         purchasing::PostNewPO(PO("7000", "03/01/2024"));
         ReceiveAllOf("7000");
       },
       [] { shell::PurgeOldRecords(QDate(2025, 1, 1)); },
       {{"WIDGET", 103}, {"GADGET", 46}}},
  };
  return kinds;
}

class PostingKillTest : public ::testing::TestWithParam<PostingKind> {
 protected:
  PostingKillTest() : clock_(QDateTime(QDate(2026, 12, 7), QTime(10, 0))) {
    testing_support::EnsureGuiApplication();
    platform::text::SetShortDateFormat("mm/dd/yyyy");
  }
  ~PostingKillTest() override {
    CloseEngine();
    storage::CurrentCompanyNumber = nullptr;
    CurrentCompany = records::CompanyRec{};
  }

  // The company before the posting, in its own folder, closed.
  void MakeStartingFolder() {
    fs::create_directory(start_);
    fs::current_path(start_);
    storage::IsamInitialize(0, 30);
    using testing_support::CompanyFile;
    records::CompanyRec company = testing_support::BooksCompanyRecord();
    company.NextInvoiceNumber.Set("1004");
    ASSERT_TRUE(testing_support::OpenScratchCompany(
        company, {CompanyFile::Customers, CompanyFile::Products, CompanyFile::Invoices,
                  CompanyFile::InvoiceLines, CompanyFile::InvoiceMemos, CompanyFile::Vendors,
                  CompanyFile::POHeaders, CompanyFile::POLines, CompanyFile::POMemos}));
    FileStartingRecords();
    GetParam().Before();
    CloseEngine();
  }

  // Runs the posting in a child under the fault plan; its exit status: 0 posted, 5 the posting
  // failed and was undone (the user told so), 6 it failed and could not be undone, 3 another
  // error, 4 a message box, else how the seam ended it.
  // With writes or syncs given, a run without a fault reports how many the posting made through
  // the child's exit status.
  int PostInChild(const fs::path& folder, const platform::files::FaultPlan& plan, int* writes = nullptr,
                  int* syncs = nullptr) {
    const testing_support::FaultCount count = writes  ? testing_support::FaultCount::Writes
                                              : syncs ? testing_support::FaultCount::Syncs
                                                      : testing_support::FaultCount::None;
    const int code = testing_support::PostInChildProcess(
        folder,
        [] {
          storage::IsamInitialize(0, 30);
          return OpenCompanyFiles();
        },
        plan, GetParam().Post, count);
    if ((writes || syncs) && code >= 10) {
      *(writes ? writes : syncs) = code - 10;
      return 0;
    }
    return code;
  }

  // Starts over on the folder as the program does, or (atStart false) opens the company's files
  // without the start-up's look for journals, as a change of company does; what the user was told.
  std::vector<QString> StartOver(const fs::path& folder, bool atStart) {
    fs::current_path(folder);
    RestartUser user;
    storage::IsamInitialize(0, 30);
    CurrentCompany = testing_support::BooksCompanyRecord();
    if (atStart) storage::UndoLeftPostingJournals();
    EXPECT_TRUE(OpenCompanyFiles());
    // The books balance from the stock before the posting, or from where the whole posting leaves
    // it (a purge takes the documents that moved stock away with it).
    const std::vector<std::string> problems = testing_support::BooksProblems(CurrentCompany, kStock);
    if (!problems.empty()) {
      EXPECT_EQ(testing_support::BooksProblems(CurrentCompany, GetParam().WholeStock),
                std::vector<std::string>{});
    }
    CloseEngine();
    fs::current_path(root_.path());
    EXPECT_FALSE(fs::exists(folder / "12JNL.DAT"));
    return user.told;
  }

  // Stops the posting at each of its writes (or syncs) in turn in the way the plan says, then
  // starts over. A failed write or sync leaves the posting wholly absent and the child said so
  // (or it failed before it wrote anything); a kill or a power cut leaves it absent, and the start
  // says it undid it, or whole when the kill came at the commit itself. A run without a fault
  // gives the whole posting and how many writes and syncs it makes.
  void Sweep(platform::files::FaultAction action, bool syncs, bool simulateDisk) {
    MakeStartingFolder();
    const FolderRecords before = ReadFolderRecords(start_);
    const fs::path wholeFolder = root_.path() / "whole";
    fs::copy(start_, wholeFolder);
    int count = 0;
    ASSERT_EQ(PostInChild(wholeFolder, {}, syncs ? nullptr : &count, syncs ? &count : nullptr), 0);
    EXPECT_EQ(StartOver(wholeFolder, true), std::vector<QString>{});
    const FolderRecords whole = ReadFolderRecords(wholeFolder);
    ASSERT_NE(whole, before);
    ASSERT_GT(count, 1);
    // The posting, named as the user knows the work, begins the start's sentence.
    QString name = QString::fromStdString(GetParam().Undone);
    name[0] = name[0].toUpper();
    const QString undone = name + " was interrupted and has been undone; the files it touched were rebuilt.";
    const QString onFile = name + " was completed and is on file.";
    for (int n = 1; n <= count; ++n) {
      SCOPED_TRACE((syncs ? "stopped at sync " : "stopped at write ") + std::to_string(n) + " of " +
                   std::to_string(count));
      const fs::path folder = root_.path() / ("cut" + std::to_string(n));
      fs::copy(start_, folder);
      platform::files::FaultPlan plan;
      (syncs ? plan.OnSync : plan.OnWrite) = action;
      (syncs ? plan.SyncNumber : plan.WriteNumber) = n;
      plan.Errno = n % 2 ? ENOSPC : EIO;
      plan.SimulateDisk = simulateDisk;
      const int status = PostInChild(folder, plan);
      const std::vector<QString> told = StartOver(folder, n % 2 == 1);
      const FolderRecords after = ReadFolderRecords(folder);
      if (action == platform::files::FaultAction::Fail && !syncs && n == count) {
        // The last write wipes the journal's header once the posting is reported done: failing, it
        // leaves the start to say that the posting is on file.
        EXPECT_EQ(status, 0);
        EXPECT_EQ(told, std::vector<QString>{onFile});
        EXPECT_TRUE(after == whole) << "a posting reported done is not whole";
      } else if (action == platform::files::FaultAction::Fail) {
        // Undone in the child, which said so (or failed before writing anything).
        EXPECT_TRUE(status == 5 || status == 3) << "status " << status;
        EXPECT_EQ(told, std::vector<QString>{});
        EXPECT_TRUE(after == before) << "the posting was not wholly absent";
      } else {
        // Whatever the start says agrees with what is on file.
        ASSERT_EQ(status, platform::files::FaultKilledExitCode);
        EXPECT_TRUE(after == before || after == whole) << "the posting was neither absent nor whole";
        if (!told.empty()) {
          EXPECT_EQ(told, std::vector<QString>{after == whole ? onFile : undone});
        }
      }
      fs::remove_all(folder);
    }
  }

  testing_support::TempDir root_;
  const fs::path start_ = root_.path() / "start";

 private:
  platform::text::FixedClock clock_;
};

TEST_P(PostingKillTest, AKillAfterAnyWriteLeavesThePostingWhollyAbsent) {
  Sweep(platform::files::FaultAction::Kill, false, false);
}

TEST_P(PostingKillTest, AFailingWriteLeavesThePostingWhollyAbsent) {
  Sweep(platform::files::FaultAction::Fail, false, false);
}

TEST_P(PostingKillTest, AFailingSyncLeavesThePostingWhollyAbsent) {
  Sweep(platform::files::FaultAction::Fail, true, false);
}

TEST_P(PostingKillTest, APowerCutAtAnyWriteLeavesThePostingWhollyAbsent) {
  Sweep(platform::files::FaultAction::PowerCut, false, true);
}

INSTANTIATE_TEST_SUITE_P(EveryPosting, PostingKillTest, ::testing::ValuesIn(Kinds()),
                         [](const ::testing::TestParamInfo<PostingKind>& info) { return info.param.Name; });

}  // namespace
