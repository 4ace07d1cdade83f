// The invoicing steps that search or walk the invoice files (the payment posting, the invoice
// deletion with its lines, the invoice printout with its customer), each run with every read of
// the files failing in turn: each says the file and the system's reason once, and posts or prints
// nothing; the books stay as they were. Over files that hold nothing each gives its usual answer.

#include "books_fixture.h"
#include "invoicing/invoice_document.h"
#include "invoicing/invoice_edit.h"
#include "invoicing/payment_posting.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "storage/naming.h"
#include "support/read_sweep.h"
#include "support/recording_printer.h"

namespace {

using platform::text::Cents;
using testing_support::SweepStep;

class SearchFailureTest : public test_fixtures::BooksTest {
 protected:
  static std::vector<testing_support::BooksFile> Books() {
    return {{&records::CustomerFile, records::OpenCustomerFile},
            {&records::ProductFile, records::OpenProductFile},
            {&records::InvoiceFile, records::OpenInvoiceFile},
            {&records::DetailFile, records::OpenDetailFile},
            {&records::MemoFile, records::OpenMemoFile}};
  }

  static bool Pays(const char* number, Cents amount) {
    return invoicing::PostPayment({"A1", "12/05/2026", "", {{number, "", amount, true}}}).Posted > 0;
  }

  static bool Deletes(const char* number) {
    records::InvoiceRec wanted{};
    wanted.InvoiceNo.Set(number);
    const std::vector<storage::IsamRecRef> refs =
        records::RecordsWithKey(records::InvoiceFile, 1, records::BuildInvoiceKey(wanted, 1));
    invoicing::StoredInvoice stored;
    if (refs.empty() || !invoicing::ReadStoredInvoice(refs.front(), stored)) return false;
    invoicing::PostInvoiceDeletion(stored);
    return true;
  }

  // The invoice printed as the Invoice Manager prints it, the customer file opened for it.
  bool Prints(const char* number) {
    records::CloseDataFile(records::CustomerFile);
    invoicing::PrintInvoiceNo = number;
    invoicing::InvoicePrintDirect = 1;
    const int before = printer_.Calls().filter("BeginDoc").size();
    const std::string status = invoicing::BuildInvoiceDocument();
    invoicing::InvoicePrintDirect = 0;
    return !status.empty() && printer_.Calls().filter("BeginDoc").size() > before;
  }

  testing_support::ScopedRecordingPrinter printer_;
};

TEST_F(SearchFailureTest, ASearchOrWalkThatFailsSaysSoAndPostsAndPrintsNothing) {
  records::CurrentCompany.PrintPackingSlips = 0;
  records::CurrentCompany.PrintFileCopies = 0;
  FileCustomer("A1", "Some One");
  FileProduct("W1", "100");
  // Files that hold nothing: the usual answers.
  for (const auto& [said, run] : std::vector<std::pair<QString, std::function<bool()>>>{
           {"Invoice 1001 was not found.", [this] { return Prints("1001"); }},
           {"", [] { return Deletes("1001"); }}}) {
    const testing_support::StepOutcome empty = testing_support::RunStep({"empty", run});
    EXPECT_FALSE(empty.Done) << said.toStdString();
    EXPECT_EQ(empty.Said, said.isEmpty() ? QStringList{} : QStringList{said});
  }

  PostInvoice("1001", "A1", "12/01/2026", "30.00", "0.00", {{"W1", "1", "10.00"}, {"W1", "2", "10.00"}});
  PostInvoice("1002", "A1", "12/02/2026", "40.00", "0.00", {{"W1", "4", "10.00"}});
  ExpectBooksBalance();

  const std::vector<SweepStep> steps = {
      {"InvoicePrintout", [this] { return Prints("1001"); }, true},
      {"Payment", [] { return Pays("1001", 1000); }},
      {"InvoiceDeletion", [] { return Deletes("1002"); }},
  };
  const std::string customers =
      storage::IsamFileName(records::CustomerUnit().FileName(), storage::IsamDataExt);
  records::CloseDataFile(records::CustomerFile);
  testing_support::ExpectRefusedAtOpen(steps[0], customers, Books());
  for (const SweepStep& step : steps) testing_support::SweepReads(step, Books());
  ASSERT_TRUE(records::OpenCustomerFile());

  // The clean runs did their work: 10.00 paid on 1001, 1002 gone with its stock back.
  EXPECT_EQ(Records("1002").size(), 0u);
  EXPECT_EQ(OnHand("W1"), "97");
  EXPECT_EQ(Customer("A1").CustBalance.Get(), "20.00");
  ExpectBooksBalance();
}

}  // namespace
