// A step on a data file that fails on the disk (a full disk, a failing one) says the system's
// reason after its own words, whichever write or sync of the action fails: deleting an invoice,
// a PO or a company, a payment, a new PO, the late fees of an interest run, and every write
// and sync of an invoice posting.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "books_fixture.h"
#include "invoicing/entered_invoice.h"
#include "invoicing/interest_charges.h"
#include "invoicing/invoice_edit.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/payment_posting.h"
#include "platform/files/fault_seam.h"
#include "purchasing/po_delete.h"
#include "purchasing/po_posting.h"
#include "purchasing/receiving.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "shell/permissions_apply.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace {

using platform::files::FaultAction;
using platform::files::FaultPlan;

// What the user is told when the action fails; "" when it went through.
std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return error.what();
  }
  return {};
}

// Closes and opens a file again, so that the next change writes its repair mark anew.
void Reopen(storage::IsamFileBlock& file, const std::function<bool()>& open) {
  storage::IsamCloseFileBlock(file);
  file = nullptr;
  ASSERT_TRUE(open());
}

storage::IsamRecRef InvoiceRef(const std::string& number) {
  records::InvoiceRec wanted{};
  wanted.InvoiceNo.Set(number);
  storage::IsamKeyStr key = records::BuildInvoiceKey(wanted, 1);
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(records::FindInvoiceByNumber(key, ref));
  return ref;
}

void PostTenDollarInvoice(const std::string& number) {
  invoicing::EnteredInvoice invoice;
  invoice.Number = number;
  invoice.CustomerNo = "C1";
  invoice.Date = "12/01/2026";
  invoice.KeyCode = "None";
  invoice.Net = invoice.Total = "10.00";
  invoice.Tax = invoice.Paid = "0.00";
  invoicing::PostNewInvoice(invoice);
}

// The invoice the last make step of a row posted, for its run step to work on.
std::string madeInvoice;

void PostNextInvoice() {
  static int number = 2000;
  madeInvoice = std::to_string(++number);
  PostTenDollarInvoice(madeInvoice);
}

// A PO of vendor V1 dated 7 December 2026 of one five-dollar line.
void PostFiveDollarPO(const std::string& number, const purchasing::EnteredPOLine& line) {
  purchasing::EnteredPO po;
  po.Number = number;
  po.VendorNo = "V1";
  po.Date = po.DateRequired = "12/07/2026";
  po.KeyCode = "None";
  po.Net = po.Total = "5.00";
  po.Tax = "0.00";
  po.Lines = {line};
  purchasing::PostNewPO(po);
}

struct Action {
  const char* name;
  const char* says;            // the action's own words, which come first
  std::function<void()> make;  // what the action then works on
  std::function<void()> run;
};

void PrintTo(const Action& action, std::ostream* out) {
  *out << action.name;
}

// The books company with the PO files open as well.
class FailureReasonTest : public test_fixtures::BooksTest, public testing::WithParamInterface<Action> {
 protected:
  FailureReasonTest() {
    EXPECT_TRUE(records::CreatePOHeaderFile() && records::OpenPOHeaderFile());
    EXPECT_TRUE(records::CreatePODetailFile() && records::OpenPODetailFile());
    FileCustomer("C1", "Acme Tools");
    // A posting first: the company's journal is then held, as between any two postings.
    PostTenDollarInvoice("1000");
    EXPECT_TRUE(records::OpenCompanyFile());
  }
  ~FailureReasonTest() override {
    platform::files::RemoveFaultPlan();
    ExpectBooksBalance();
    for (storage::IsamFileBlock* file :
         {&records::POHeaderFile, &records::PODetailFile, &records::CompanyFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }
};

// Every file whose repair mark the actions write, opened afresh so that they write it.
void ReopenFiles() {
  Reopen(records::InvoiceFile, records::OpenInvoiceFile);
  Reopen(records::POHeaderFile, records::OpenPOHeaderFile);
  Reopen(records::CompanyFile, records::OpenCompanyFile);
}

TEST_P(FailureReasonTest, EveryFailingWriteOrSyncOfTheActionSaysTheSystemsReason) {
  const Action& action = GetParam();
  const std::vector<FaultPlan> sweeps = {{.OnWrite = FaultAction::Fail, .Errno = ENOSPC},
                                         {.OnSync = FaultAction::Fail, .Errno = EIO}};
  int ours = 0;
  for (FaultPlan fault : sweeps) {
    action.make();
    ReopenFiles();
    for (int n = 1;; ++n) {
      (fault.OnWrite == FaultAction::Fail ? fault.WriteNumber : fault.SyncNumber) = n;
      SCOPED_TRACE(std::string(fault.OnWrite == FaultAction::Fail ? "failing write " : "failing sync ") +
                   std::to_string(n));
      platform::files::InstallFaultPlan(fault);
      const std::string failure = FailureOf(action.run);
      platform::files::RemoveFaultPlan();
      if (failure.empty()) break;  // past the action's last write or sync
      ASSERT_LT(n, 500) << failure;
      if (failure.find(action.says) == std::string::npos) continue;  // a step with words of its own
      ++ours;
      EXPECT_GT(failure.find(std::strerror(fault.Errno)), failure.find(action.says)) << failure;
      EXPECT_NE(failure.find(std::strerror(fault.Errno)), std::string::npos) << failure;
    }
  }
  EXPECT_GE(ours, 2);  // at least the repair mark's write and its sync
}

const Action kActions[] = {
    {"InvoiceDeletion", "Delete operation failed", [] { PostTenDollarInvoice("1001"); },
     [] {
       invoicing::StoredInvoice stored;
       ASSERT_TRUE(invoicing::ReadStoredInvoice(InvoiceRef("1001"), stored));
       invoicing::PostInvoiceDeletion(stored);
     }},
    {"PODeletion", "Delete operation failed",
     [] {
       records::POHeaderRec header{};
       header.PONumber.Set("5001");
       header.VendorNo.Set("V1");
       storage::IsamRecRef ref = 0;
       ASSERT_TRUE(records::AddPOHeaderRecord(header, ref));
     },
     [] {
       records::POHeaderRec wanted{};
       wanted.PONumber.Set("5001");
       storage::IsamKeyStr key = records::BuildPOHeaderKey(wanted, 1);
       storage::IsamRecRef ref = 0;
       ASSERT_TRUE(records::FindPOByNumber(key, ref));
       records::POHeaderRec header{};
       storage::IsamGetRec(records::POHeaderFile, ref, &header, sizeof header);
       ASSERT_TRUE(storage::IsamOK);
       purchasing::PostPODeletion(header, ref);
     }},
    {"CompanyDeletion", "Delete operation failed",
     [] {
       records::CompanyWorkRec = records::CurrentCompany;
       records::CompanyWorkRec.CompanyNumber.Set("2");
       storage::IsamRecRef ref = 0;
       ASSERT_TRUE(records::AddCompanyRecord(ref));
     },
     [] {
       records::CompanyRec found;
       storage::IsamRecRef ref = 0;
       ASSERT_TRUE(records::FindCompanyRecord("2", found, ref));
       records::DeleteCompanyWhole("2", ref);
     }},
    // The refusals of steps through RequireDone.
    {"Payment", "Modify operation failed", PostNextInvoice,
     [] {
       invoicing::PostPayment({"C1", "12/07/2026", "", {{madeInvoice, "", 1000, false}}});
     }},
    {"POAdd", "Add operation failed", [] {},
     [] {
       static int number = 6000;
       PostFiveDollarPO(std::to_string(++number), {1, "", "1", "Freight", "5.00", "N", "5.00"});
     }},
    {"LateFees", "Add Late Fee Failed.", [] {},
     [] {
       std::vector<invoicing::InterestRow> rows = {{"Acme Tools", "C1", 10000, 150, ""}};
       invoicing::InterestSettings settings;
       settings.Date = "12/07/2026";
       invoicing::GenerateInterestInvoices(rows, settings);
     }},
};

INSTANTIATE_TEST_SUITE_P(Actions, FailureReasonTest, testing::ValuesIn(kActions),
                         [](const testing::TestParamInfo<Action>& info) {
                           return std::string(info.param.name);
                         });

// A company with a customer and two products, and one invoice posted already: its journal is
// held, as between any two postings.
class PostingFailureReasonTest : public test_fixtures::BooksTest {
 protected:
  PostingFailureReasonTest() {
    FileCustomer("C1", "Acme Tools");
    stock = {{"BOLT", 100}, {"NUT", 100}};
    for (const auto& [code, onHand] : stock) FileProduct(code, std::to_string(static_cast<int>(onHand)));
    PostTenDollarInvoice("1000");
  }
  ~PostingFailureReasonTest() override { platform::files::RemoveFaultPlan(); }

  // Every file the posting marks for repair, opened afresh, so that the posting writes what the
  // first posting after an open writes.
  static void ReopenPostingFiles() {
    Reopen(records::InvoiceFile, records::OpenInvoiceFile);
    Reopen(records::DetailFile, records::OpenDetailFile);
    Reopen(records::CustomerFile, records::OpenCustomerFile);
    Reopen(records::ProductFile, records::OpenProductFile);
  }
};

// The full disk met at any one write or sync of an invoice of one line and of two, in a company
// whose journal is held (as between postings) and in one whose journal the posting makes (its
// files made, the company not opened through the main window): the posting fails with the
// system's reason in its message, nothing of it is on file, and the books balance; past its last
// write and sync it posts.
TEST_F(PostingFailureReasonTest, EveryFailingWriteOrSyncOfAnInvoicePostingSaysTheSystemsReason) {
  const std::string reason = std::strerror(ENOSPC);
  const std::vector<Sale> sales = {{"BOLT", "2", "4.00"}, {"NUT", "3", "6.00"}};
  for (const bool makesJournal : {false, true}) {
    for (const size_t lines : {1u, 2u}) {
      for (const bool syncs : {false, true}) {
        const std::string number =
            std::string(makesJournal ? "11" : "10") + std::to_string(lines) + (syncs ? "1" : "0");
        const std::vector<Sale> sold(sales.begin(), sales.begin() + static_cast<ptrdiff_t>(lines));
        int failed = 0;
        // A failed posting leaves its files as the open left them (undone, they are opened again).
        ReopenPostingFiles();
        for (int n = 1;; ++n) {
          SCOPED_TRACE(std::string(makesJournal ? "making its journal, " : "") + std::to_string(lines) +
                       " line(s), failing " + (syncs ? "sync " : "write ") + std::to_string(n));
          ASSERT_LT(n, 500);
          if (makesJournal) storage::ClosePostingJournal();
          FaultPlan plan{.Errno = ENOSPC};
          (syncs ? plan.OnSync : plan.OnWrite) = FaultAction::Fail;
          (syncs ? plan.SyncNumber : plan.WriteNumber) = n;
          platform::files::InstallFaultPlan(plan);
          const std::string failure =
              FailureOf([&] { PostInvoice(number, "C1", "12/01/2026", "10.00", "0.00", sold); });
          const int counted =
              syncs ? platform::files::FaultSyncsSoFar() : platform::files::FaultWritesSoFar();
          platform::files::RemoveFaultPlan();
          ExpectBooksBalance();
          if (failure.empty()) {
            // Done only past the posting's last write or sync; but its last write, the journal's
            // header wiped once the posting is reported done, fails unheard.
            EXPECT_GT(n + (syncs ? 0 : 1), counted);
            EXPECT_EQ(Records(number).size(), 1u);
            break;
          }
          ++failed;
          EXPECT_NE(failure.find(reason), std::string::npos) << failure;
          EXPECT_TRUE(Records(number).empty());
        }
        EXPECT_GE(failed, syncs ? 3 : 10);
      }
    }
  }
}

// A file a posting cannot open (the customer file of an invoice and of a payment, the product file
// of a receipt) is named in the message with the system's reason, and nothing of the posting is
// on file.
TEST_F(PostingFailureReasonTest, AFileThePostingCannotOpenIsNamedWithTheSystemsReason) {
  namespace fs = std::filesystem;
  ASSERT_TRUE(records::CreatePOHeaderFile() && records::OpenPOHeaderFile());
  ASSERT_TRUE(records::CreatePODetailFile() && records::OpenPODetailFile());
  PostFiveDollarPO("7001", {1, "BOLT", "5", "Bolts", "1.00", "N", "5.00"});
  std::vector<purchasing::ReceivingRow> rows = purchasing::LoadReceivingList("7001", true).Rows;
  ASSERT_EQ(rows.size(), 1u);
  rows[0].InToday = "5";
  struct Case {
    const char* name;
    storage::IsamFileBlock* file;
    bool (*open)();
    const char* fileName;
    std::function<void()> post;
  };
  const Case cases[] = {
      {"an invoice", &records::CustomerFile, records::OpenCustomerFile, "12C.DAT",
       [] { PostTenDollarInvoice("1001"); }},
      {"a payment", &records::CustomerFile, records::OpenCustomerFile, "12C.DAT",
       [] {
         invoicing::PostPayment({"C1", "12/07/2026", "", {{"1000", "", 1000, false}}});
       }},
      {"a receipt", &records::ProductFile, records::OpenProductFile, "12P.DAT",
       [&] {
         purchasing::PostReceipt({"7001", "300", QDate(2026, 12, 7), rows});
       }},
  };
  const records::CustomerRec customer = Customer("C1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    storage::IsamCloseFileBlock(*c.file);
    *c.file = nullptr;
    fs::permissions(c.fileName, fs::perms::none);
    std::string failure;
    {
      testing_support::PermissionsApply unreadable;
      failure = FailureOf(c.post);
    }
    fs::permissions(c.fileName, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(c.open());
    EXPECT_NE(failure.find(c.fileName), std::string::npos) << failure;
    EXPECT_NE(failure.find(std::strerror(EACCES)), std::string::npos) << failure;
  }
  EXPECT_TRUE(Records("1001").empty());
  EXPECT_EQ(Customer("C1").CustBalance.Get(), customer.CustBalance.Get());
  EXPECT_EQ(OnHand("BOLT"), "100");
  for (storage::IsamFileBlock* file : {&records::POHeaderFile, &records::PODetailFile}) {
    storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
}

}  // namespace
