// Aging and the removal of old records, run as the main window runs them, on a company whose
// books are read back from the files afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "books_fixture.h"
#include "documents/customer_statement.h"
#include "documents/document_buffer.h"
#include "forms/cal_form.h"
#include "invoicing/invoice_document.h"
#include "invoicing/payment_posting.h"
#include "platform/text/amount.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
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
#include "shell/aging.h"
#include "shell/main_form.h"
#include "shell/maintenance.h"
#include "storage/isam.h"
#include "storage/naming.h"
#include "support/read_sweep.h"

namespace {

using namespace records;
using platform::text::Cents;
using test_fixtures::BooksTest;

const QDate Today(2026, 12, 7);

std::string TypedDaysAgo(int days) {
  return Today.addDays(-days).toString("MM/dd/yyyy").toStdString();
}

class AgingTest : public BooksTest {
 protected:
  // Rewrites a stored customer, as a damaged or hand-edited record would stand.
  template <class Change>
  static void ChangeCustomer(const std::string& number, Change change) {
    FileForAction file(CustomerFile, OpenCustomerFile);
    CustomerRec before = Customer(number), after = before;
    change(after);
    storage::IsamRecRef ref = RecordsWithKey(CustomerFile, 2, BuildCustomerKey(before, 2)).front();
    ASSERT_TRUE(UpdateCustomerRecord(after, before, ref));
  }
};

TEST_F(AgingTest, EachOpenAmountLandsInTheBucketOfItsAgeAndTheBooksBalance) {
  // Limits 30/60/90: the last day of each bucket and the first day of the next.
  const std::map<int, int> bucketOfAge = {{-13, 0}, {0, 0},  {30, 0}, {31, 1},
                                          {60, 1},  {61, 2}, {90, 2}, {91, 3}};
  std::array<Cents, 4> expected{};
  int number = 1000;
  for (auto [days, bucket] : bucketOfAge) {
    const std::string customer = "A" + std::to_string(number);
    FileCustomer(customer, "Customer " + std::to_string(days));
    PostInvoice(std::to_string(++number), customer, TypedDaysAgo(days), "100.00", "0.00");
    // A settled invoice of the same customer ages nothing.
    PostInvoice(std::to_string(++number), customer, TypedDaysAgo(days), "55.00", "55.00");
    expected[bucket] += 10000;
  }
  const shell::AgingTotals totals = shell::RecalculateAging();
  ASSERT_TRUE(totals.Ran);
  EXPECT_EQ(totals.Buckets, expected);
  EXPECT_EQ(totals.Total, 80000);

  number = 1000;
  for (auto [days, bucket] : bucketOfAge) {
    std::vector<std::string> buckets(4, "0.00");
    buckets[bucket] = "100.00";
    EXPECT_EQ(Buckets(Customer("A" + std::to_string(number))), buckets) << days << " days";
    number += 2;
  }
  const CompanyRec stored = StoredCompany();
  EXPECT_EQ(stored.CompanyARBalance.Get(), "800.00");
  EXPECT_EQ(stored.LastAgingDate.Get(), "12/07/2026");
  ExpectBooksBalance();
}

TEST_F(AgingTest, ACustomerWithoutBalanceKeepsItsBucketsAndGetsAShortName) {
  FileCustomer("A1", "Quiet One");
  FileCustomer("A2", "Busy One");
  PostInvoice("1001", "A2", TypedDaysAgo(45), "80.00", "0.00");
  ChangeCustomer("A1", [](CustomerRec& c) { c.ShortName.Set(""); });
  ASSERT_TRUE(shell::RecalculateAging().Ran);
  const CustomerRec quiet = Customer("A1");
  EXPECT_EQ(quiet.ShortName.Get(), "*NONE*");
  EXPECT_EQ(Buckets(quiet), (std::vector<std::string>{"0.00", "0.00", "0.00", "0.00"}));
  EXPECT_EQ(Buckets(Customer("A2")), (std::vector<std::string>{"0.00", "80.00", "0.00", "0.00"}));
  ExpectBooksBalance();
}

TEST_F(AgingTest, BadLimitsOrNoReceivablesChangeNothing) {
  FileCustomer("A1", "Some One");
  PostInvoice("1001", "A1", TypedDaysAgo(45), "80.00", "0.00");
  // Buckets that no longer agree with the records: an aging run would put them right.
  ChangeCustomer("A1", [](CustomerRec& c) {
    c.CustAging1.Set("80.00");
    c.CustAging2.Set("0.00");
  });
  for (const char* limit : {"", "3x", " ", "-"}) {
    CurrentCompany.AgingDays2.Set(limit);
    ui.ExpectMessage(shell::BadAgingDaysText, "");
    EXPECT_FALSE(shell::RecalculateAging().Ran) << limit;
    EXPECT_TRUE(ui.Done());
  }
  CurrentCompany.AgingDays2.Set("60");
  CurrentCompany.CompanyARBalance.Set("0.00");
  EXPECT_FALSE(shell::RecalculateAging().Ran);
  EXPECT_EQ(StoredCompany().LastAgingDate.Get(), "");
  EXPECT_EQ(Buckets(Customer("A1")), (std::vector<std::string>{"80.00", "0.00", "0.00", "0.00"}));
}

TEST_F(AgingTest, TheChartStacksTheBucketsAndShowsTheirAmounts) {
  FileCustomer("A1", "Some One");
  PostInvoice("1001", "A1", TypedDaysAgo(10), "300.00", "0.00");
  PostInvoice("1002", "A1", TypedDaysAgo(100), "1.00", "0.00");
  shell::TMainForm& main = shell::CreateMainForm();
  main.HideChart();
  main.AgingChart1Click();
  ASSERT_FALSE(main.Panel2->isHidden());
  EXPECT_EQ(main.Panel2->toolTip(), "Total A/R: 301.00");
  EXPECT_EQ(main.Shape1->toolTip(), "Current: 300.00");
  EXPECT_EQ(main.Shape4->toolTip(), "Over 90 Days: 1.00");
  EXPECT_EQ(main.Shape4->height(), 4);  // well under 1 %, still to be seen
  EXPECT_EQ(main.Shape2->y(), main.Shape1->y() + main.Shape1->height());
  EXPECT_EQ(main.StatusText(1), "Hold mouse over color to see aging amount...");
  ui.ExpectMessage("The Aging Chart is currently showing.", "Aging Chart");
  main.AgingChart1Click();
  main.SpeedButton1Click();
  EXPECT_TRUE(main.Panel2->isHidden());
  ExpectBooksBalance();
}

TEST(AgingChart, BarsAreTheirShareOfTheFrameButAtLeastFourPixels) {
  EXPECT_EQ(shell::AgingBarHeight(200, 100, 10000), 4);  // 1 %: 2 pixels drawn as 4
  EXPECT_EQ(shell::AgingBarHeight(200, 0, 10000), 0);
  EXPECT_EQ(shell::AgingBarHeight(200, 5000, 10000), 100);
  EXPECT_EQ(shell::AgingBarHeight(200, 10000, 10000), 200);
  EXPECT_EQ(shell::AgingBarHeight(200, 3333, 10000), 66);
}

TEST(AgingLimits, BucketsFollowTheLimits) {
  const shell::AgingLimits limits{30, 60, 90};
  const std::pair<int, int> cases[] = {{-5, 0}, {0, 0},  {30, 0}, {31, 1},  {60, 1},
                                       {61, 2}, {90, 2}, {91, 3}, {9999, 3}};
  for (auto [days, bucket] : cases) EXPECT_EQ(shell::AgingBucketFor(days, limits), bucket) << days;
  EXPECT_EQ(shell::DefaultPurgeDate(QDate(2026, 12, 7)), QDate(2024, 12, 1));
}

class PurgeTest : public BooksTest {
 protected:
  PurgeTest() {
    using Step = bool (*)();
    const std::pair<Step, Step> files[] = {{CreatePOHeaderFile, OpenPOHeaderFile},
                                           {CreatePODetailFile, OpenPODetailFile},
                                           {CreatePOMemoFile, OpenPOMemoFile}};
    for (auto [create, open] : files) EXPECT_TRUE(create() && open());
  }
  ~PurgeTest() override { POHeaderFile = PODetailFile = POMemoFile = nullptr; }

  static void FilePO(const std::string& number, const std::string& sortDate, const std::string& received,
                     bool memo) {
    POHeaderRec po{};
    po.PONumber.Set(number);
    po.SortDate.Set(sortDate);
    po.ReceivedDate.Set(received);
    po.POKind.Set(memo ? "M" : "P");
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(AddPOHeaderRecord(po, ref));
    PODetailBuf = PODetailRec{};
    PODetailBuf.PONumber.Set(number);
    ASSERT_TRUE(AddPODetailRecord(ref));
    if (!memo) return;
    POMemoBuf = POMemoRec{};
    POMemoBuf.Number.Set(number);
    ASSERT_TRUE(AddPOMemoRecord(ref));
  }
  template <class Record>
  static int CountWithKey(storage::IsamFileBlock file, int keyNr, const Record& wanted,
                          storage::IsamKeyStr (*build)(const Record&, int)) {
    return static_cast<int>(RecordsWithKey(file, keyNr, build(wanted, keyNr)).size());
  }
  static int POLines(const std::string& number) {
    PODetailRec wanted{};
    wanted.PONumber.Set(number);
    return CountWithKey(PODetailFile, 2, wanted, BuildPODetailKey);
  }
  static int InvoiceLines(const std::string& number) {
    DetailRec wanted{};
    wanted.InvoiceNumber.Set(number);
    return CountWithKey(DetailFile, 2, wanted, BuildDetailKey);
  }
};

TEST_F(PurgeTest, OnlySettledInvoicesAndReceivedPOsBeforeTheCutOffGo) {
  FileCustomer("A1", "Some One");
  FileProduct("W1", "100");
  const std::vector<Sale> sale = {{"W1", "1", "10.00"}};
  PostInvoice("1001", "A1", "01/15/2023", "10.00", "10.00", sale);  // settled, old: goes
  PostInvoice("1002", "A1", "01/15/2023", "10.00", "0.00", sale);   // open, old: stays
  PostInvoice("1003", "A1", "06/01/2024", "10.00", "10.00", sale);  // settled on the cut-off: stays
  PostInvoice("1004", "A1", "11/01/2026", "10.00", "10.00", sale);  // settled, recent: stays
  FilePO("P1", "2023/02/01", "2023/02/10", true);                   // received, old: goes with its memo
  FilePO("P2", "2023/02/01", "", false);                            // never received: stays
  FilePO("P3", "2025/02/01", "2025/02/10", false);                  // recent: stays
  const std::string formatBefore = platform::text::ShortDateFormat();

  const shell::PurgeCounts counts = shell::PurgeOldRecords(QDate(2024, 6, 1));
  EXPECT_EQ(counts.Invoices, 1);
  EXPECT_EQ(counts.PurchaseOrders, 1);
  EXPECT_EQ(platform::text::ShortDateFormat(), formatBefore);
  EXPECT_TRUE(Records("1001").empty());
  EXPECT_EQ(InvoiceLines("1001"), 0);
  for (const char* kept : {"1002", "1003", "1004"}) {
    EXPECT_EQ(Records(kept).size(), 1u) << kept;
    EXPECT_EQ(InvoiceLines(kept), 1) << kept;
  }
  EXPECT_EQ(POLines("P1"), 0);
  POMemoRec memo{};
  memo.Number.Set("P1");
  EXPECT_EQ(CountWithKey(POMemoFile, 1, memo, BuildPOMemoKey), 0);
  EXPECT_EQ(POLines("P2"), 1);
  EXPECT_EQ(POLines("P3"), 1);
  EXPECT_EQ(storage::IsamUsedRecs(POHeaderFile), 2);
  ExpectBooksBalance();

  // Nothing older is left.
  const shell::PurgeCounts again = shell::PurgeOldRecords(QDate(2024, 6, 1));
  EXPECT_EQ(again.Invoices + again.PurchaseOrders, 0);
}

// Payments against an invoice share its number: while the invoice still owes, its old settled
// payments stay with it; a memo invoice paid in parts goes with its payments, lines and memo,
// once and without a false failure.
TEST_F(PurgeTest, LinesAndMemoGoOnlyWithTheLastRecordOfTheirNumber) {
  FileCustomer("A1", "Some One");
  FileProduct("W1", "100");
  PostInvoice("2001", "A1", "01/15/2023", "100.00", "0.00", {{"W1", "1", "100.00"}});
  PostMemoInvoice("2002", "A1", "01/15/2023", "100.00", "W1", "1", "Repairs");
  for (Cents part : {4000, 6000}) {
    invoicing::PostPayment(
        {"A1", "02/01/2023", "", {{"2001", "", part / 2, true}, {"2002", "", part, true}}});
  }
  ASSERT_EQ(Records("2001").size(), 3u);  // Z, still owing 50.00, and two payments

  const shell::PurgeCounts counts = shell::PurgeOldRecords(QDate(2024, 6, 1));
  EXPECT_EQ(counts.Invoices, 3);
  EXPECT_EQ(Records("2001").size(), 3u);
  EXPECT_EQ(InvoiceLines("2001"), 1);
  EXPECT_TRUE(Records("2002").empty());
  EXPECT_EQ(InvoiceLines("2002"), 0);
  MemoRec gone{};
  gone.Number.Set("2002");
  EXPECT_EQ(CountWithKey(MemoFile, 1, gone, BuildMemoKey), 0);
  EXPECT_TRUE(ui.Done());
  ExpectBooksBalance();
}

// An invoice of 270.63 paid 100.00 in part before the cut-off: View Invoice, the statement and
// the Invoice Manager still agree on what it owes. A settled number whose last payment falls
// after the cut-off stays whole as well; only a number old and settled throughout goes.
TEST_F(PurgeTest, ANumberGoesOnlyWithAllOfItsRecords) {
  FileCustomer("A1", "Some One");
  PostInvoice("3001", "A1", "01/15/2023", "270.63", "0.00");
  PostInvoice("3002", "A1", "01/15/2023", "80.00", "0.00");
  PostInvoice("3003", "A1", "01/15/2023", "10.00", "10.00");
  invoicing::PostPayment({"A1", "02/01/2023", "", {{"3001", "", 10000, true}, {"3002", "", 3000, true}}});
  invoicing::PostPayment({"A1", "07/01/2024", "", {{"3002", "", 5000, true}}});

  const shell::PurgeCounts counts = shell::PurgeOldRecords(QDate(2024, 6, 1));
  EXPECT_EQ(counts.Invoices, 1);
  EXPECT_EQ(Records("3001").size(), 2u);
  EXPECT_EQ(Records("3002").size(), 3u);
  EXPECT_TRUE(Records("3003").empty());
  ExpectBooksBalance();

  ASSERT_TRUE(invoicing::FillInvoiceDocument("3001"));
  EXPECT_EQ(platform::text::TrimBlanks(documents::DocHeader.PaidAmount), "100.00");
  EXPECT_EQ(platform::text::TrimBlanks(documents::DocHeader.BalanceDue), "170.63");
  EXPECT_EQ(Records("3001")[0].AmountDue.Get(), "170.63");  // the Invoice Manager's Amount Due
  documents::StmtCustomerNo = "A1";
  ASSERT_TRUE(documents::BuildCustomerStatement());
  const documents::StatementRow& totals = documents::Statement.Rows.back();
  auto amount = [](const std::string& cell) { return platform::text::ParseAmount(cell).value_or(-1); };
  EXPECT_EQ(amount(totals[3]) - amount(totals[4]), amount(totals[5]));
  EXPECT_EQ(amount(totals[5]), 17063);
}

}  // namespace

namespace {

TEST_F(PurgeTest, TheMainWindowAsksForTheDateAndReportsWhatWasRemoved) {
  FileCustomer("A1", "Some One");
  PostInvoice("1001", "A1", "01/15/2023", "10.00", "10.00");
  ASSERT_TRUE(CreateVendorFile());
  // The main window holds no file of the company open: the rebuild needs every one.
  for (storage::IsamFileBlock* file : {&CustomerFile, &ProductFile, &InvoiceFile, &DetailFile, &MemoFile,
                                       &POHeaderFile, &PODetailFile, &POMemoFile}) {
    storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
  shell::TMainForm& main = shell::CreateMainForm();
  for (int removed : {1, 0}) {
    ui.ExpectMessage(
          QString("This will remove only PAID and RECEIVED transactions older than the date you select. "
                  "Once removed, they will no longer appear on any reports or system options. We "
                  "suggest you leave 3 years on file and print reports for what you want to remove. "
                  "Continue?"),
          "Delete Old Records")
        .Answer(platform::ui::mrYes);
    ui.OnModal<forms::TCalForm>([](forms::TCalForm& c) {
      EXPECT_EQ(c.Caption(), "Delete Date Selection");
      EXPECT_EQ(c.Calendar1->selectedDate(), QDate(2024, 12, 1));
      // The page shown, the month box and the year box all agree with the day chosen.
      EXPECT_EQ(QDate(c.Calendar1->yearShown(), c.Calendar1->monthShown(), 1), QDate(2024, 12, 1));
      EXPECT_EQ(c.CBMonth->currentIndex() + 1, 12);
      EXPECT_EQ(c.CBYear->currentText(), "2024");
      c.SetModalResult(platform::ui::mrOk);
    });
    ui.ExpectMessage("All paid/received records older than 12/01/2024 will be removed. Continue?",
                     "Please Confirm")
        .Answer(platform::ui::mrYes);
    ui.ExpectMessage(
        QString("%1 invoice paid records and 0 PO received records older than 12/01/2024 were removed.")
            .arg(removed),
        "Records Removed");
    if (removed) ui.ExpectMessage("The data files have been rebuilt for this company.", "Rebuild Complete");
    main.PurgePaidInvoices1Click();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(main.StatusText(1), QString("%1 total records were removed.").arg(removed));
    EXPECT_EQ(forms::CalForm->Caption(), "Date Selection");
  }
  FileForAction invoices(InvoiceFile, OpenInvoiceFile);
  EXPECT_TRUE(Records("1001").empty());
}

// Rebuild Data Files rebuilds each file whatever the one before it reported: with the customer and
// the memo file kept from their rebuild by a copy a rebuild left, the files after them are rebuilt
// all the same (the product index, gone, is made again), and one message names both files with
// their reasons instead of reporting the rebuild complete.
TEST_F(PurgeTest, ARebuildGoesOnPastAFileItCannotRebuildAndNamesEveryOneThatFailed) {
  FileCustomer("A1", "Some One");
  FileProduct("WIDGET", "5");
  for (storage::IsamFileBlock* file : {&CustomerFile, &ProductFile, &InvoiceFile, &DetailFile, &MemoFile}) {
    storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
  for (const char* base : {"12C", "12M"})
    std::filesystem::copy_file(std::string(base) + ".DAT", std::string(base) + ".SAV");
  std::filesystem::remove("12P.IX");
  const auto inTheWay = [](const char* base) {
    return QString(
               "The file %1.DAT could not be rebuilt: %1.SAV, left by a rebuild that did not finish, is in "
               "its way.")
        .arg(base);
  };
  ui.ExpectMessage(inTheWay("12C") + "\n" + inTheWay("12M") +
                       "\nThe other data files of this company have been rebuilt.",
                   "Rebuild Data Files")
      .Icon(platform::ui::MsgIcon::Error);
  shell::RebuildAllDataFiles();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(std::filesystem::exists("12P.IX"));
  FileForAction products(ProductFile, OpenProductFile);
  EXPECT_EQ(OnHand("WIDGET"), "5");
}

// The purge walks the headers and searches lines, memos and the other records of each number:
// any of those reads failing undoes the purge whole and says the file and the reason, never taken
// for the end of the file or for a number no longer on file. Over empty files it removes nothing.
TEST_F(PurgeTest, AReadThatFailsUndoesThePurgeWhole) {
  const testing_support::SweepStep purge{"Purge", [] {
                                           const shell::PurgeCounts counts =
                                               shell::PurgeOldRecords(QDate(2024, 6, 1));
                                           return counts.Invoices + counts.PurchaseOrders > 0;
                                         }};
  const testing_support::StepOutcome empty = testing_support::RunStep(purge);
  EXPECT_FALSE(empty.Done);
  EXPECT_EQ(empty.Said, QStringList{});

  FileCustomer("A1", "Some One");
  FileProduct("W1", "100");
  PostMemoInvoice("1001", "A1", "01/15/2023", "10.00", "W1", "1", "Repairs");
  invoicing::PostPayment({"A1", "02/01/2023", "", {{"1001", "", 1000, true}}});
  PostInvoice("1002", "A1", "01/15/2023", "20.00", "20.00", {{"W1", "2", "10.00"}});
  FilePO("P1", "2023/02/01", "2023/02/10", true);
  FilePO("P2", "2023/02/01", "2023/02/10", false);
  const std::vector<testing_support::BooksFile> books = {
      {&CustomerFile, OpenCustomerFile}, {&ProductFile, OpenProductFile}, {&InvoiceFile, OpenInvoiceFile},
      {&DetailFile, OpenDetailFile},     {&MemoFile, OpenMemoFile},       {&POHeaderFile, OpenPOHeaderFile},
      {&PODetailFile, OpenPODetailFile}, {&POMemoFile, OpenPOMemoFile}};
  // The PO headers refused at their open, after the invoices were purged: all of it is undone.
  CloseDataFile(POHeaderFile);
  testing_support::ExpectRefusedAtOpen(
      purge, storage::IsamFileName(POHeaderUnit().FileName(), storage::IsamDataExt), books);
  ASSERT_TRUE(OpenPOHeaderFile());
  testing_support::SweepReads(purge, books);
  EXPECT_TRUE(Records("1001").empty());
  EXPECT_TRUE(Records("1002").empty());
  EXPECT_EQ(InvoiceLines("1002"), 0);
  EXPECT_EQ(POLines("P1") + POLines("P2"), 0);
  ExpectBooksBalance();
}

}  // namespace
