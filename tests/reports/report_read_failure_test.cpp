// Every report of the wizard run as the user runs it, with each file it reads failing: its open
// refused (no permission) and each of its reads failing with an I/O error. The report says which
// file and the system's reason and shows no figures; the empty answer ("no records", "zero") is
// said only of files that were read and hold none.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>

#include "platform/files/fault_seam.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "reports/report_catalog.h"
#include "reports/report_wizard.h"
#include "reports_fixture.h"
#include "shell/permissions_apply.h"
#include "storage/naming.h"

namespace fs = std::filesystem;
using namespace reports;
using namespace test_fixtures;
using platform::files::FaultAction;
using platform::ui::TModalResult;

namespace {

using UnitOf = storage::DataFileUnit& (*)();

// The files each report reads: the model the failures are made from.
const std::vector<std::pair<std::string_view, std::vector<UnitOf>>>& ReportsAndTheirFiles() {
  static const std::vector<std::pair<std::string_view, std::vector<UnitOf>>> table = {
      {"PO Register", {records::POHeaderUnit}},
      {"Purchase Detail", {records::PODetailUnit}},
      {"Inventory Report", {records::ProductUnit}},
      {"Receiving Report", {records::PODetailUnit}},
      {"Reorder Report", {records::ProductUnit}},
      {"Overstock Report", {records::ProductUnit}},
      {"Commitment Report", {records::POHeaderUnit}},
      {"PO Key Code Inquiry", {records::POHeaderUnit}},
      {"Invoice Register", {records::InvoiceUnit}},
      {"Payment Register", {records::InvoiceUnit}},
      {"Accounts Receivable", {records::CompanyUnit, records::InvoiceUnit}},
      {"Profit Report", {records::DetailUnit}},
      {"Sales Report", {records::DetailUnit}},
      {"Invoice Key Code Inquiry", {records::InvoiceUnit}},
      {"Tax Report", {records::InvoiceUnit}},
  };
  return table;
}

std::string DataName(UnitOf unit) {
  return storage::IsamFileName(storage::IsamDataPart(unit().FileName()), storage::IsamDataExt);
}
std::string IndexName(UnitOf unit) {
  return storage::IsamFileName(storage::IsamIndexPart(unit().FileName()), storage::IsamIndexExt);
}

// What one run showed: its messages (text and title) and how many report viewers it opened.
struct Shown {
  std::vector<std::pair<std::string, std::string>> Messages;
  int Viewers = 0;
};

// Answers every message box with its default and closes every viewer unseen, recording both.
class RecordingUser : public testing_support::UiScript {
 public:
  TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    shown.Messages.emplace_back(request.text.toStdString(), request.title.toStdString());
    return platform::ui::mrOk;
  }
  TModalResult RunModal(platform::ui::Form&) override {
    ++shown.Viewers;
    return platform::ui::mrCancel;
  }
  Shown shown;
};

class ReportReadFailureTest : public ReportsTest {
 protected:
  // Books in which every report has rows in March 2026; the company's receivables balance as given.
  void FileBooks(const std::string& receivables) {
    FileInvoices({Invoice({.Number = "1001",
                           .Customer = "C100",
                           .ShortName = "ACME",
                           .Date = "2026/03/02",
                           .Total = "100.00",
                           .Due = "100.00"}),
                  Invoice({.Number = "1002",
                           .Customer = "C200",
                           .ShortName = "BAKERS",
                           .Date = "2026/03/04",
                           .Total = "50.00",
                           .Paid = "50.00",
                           .DatePaid = "2026/03/06"})});
    FileLines({Line("1001", "2026/03/02", "BOLT-10", "C100", "ACME", "3", "Steel bolt 10mm", "12.5", "37.50",
                    "8")});
    records::PODetailRec received =
        POLine("5001", "2026/03/03", "BOLT-10", "V10", "Acme Tools", "3", "Steel bolt 10mm", "12.5", "37.50");
    received.Received.Set("Y");
    received.ReceivedDate.Set("2026/03/05");
    received.QuantityReceived.Set("3");
    FilePOLines({received});
    FilePOHeaders(MarchPOs());
    FileProducts({Product("BOLT-10", "Steel bolt", "50", "5", "20", "10"),
                  Product("NUT-5", "Hex nut", "1", "5", "20", "10")});
    FileCompany(receivables);
  }
  // Chooses the report in the wizard and presses View over March 2026.
  static Shown Run(std::string_view title) {
    TRptSelect& wizard = CreateRptSelect();
    if (!wizard.isVisible()) wizard.Show();
    const QList<QListWidgetItem*> items =
        wizard.ListBox1->findItems(QString::fromUtf8(title.data(), title.size()), Qt::MatchExactly);
    EXPECT_EQ(items.size(), 1) << title;
    if (items.size() != 1) return {};
    wizard.ListBox1->setCurrentItem(items.front());
    wizard.IDate->setText("03/01/2026");
    wizard.EndDt->setText("03/31/2026");
    RecordingUser user;
    wizard.Button1Click();
    return user.shown;
  }

  // Runs the report with read `number` failing with an I/O error (none: 0); the reads it made.
  static Shown RunWithReadFailing(std::string_view title, int number, int* reads = nullptr) {
    platform::files::InstallFaultPlan(
        {.Errno = EIO, .OnRead = number ? FaultAction::Fail : FaultAction::None, .ReadNumber = number});
    Shown shown = Run(title);
    if (reads) *reads = platform::files::FaultReadsSoFar();
    platform::files::RemoveFaultPlan();
    return shown;
  }
  // Runs the report with the file's permissions taken away, as they bind an ordinary user.
  Shown RunWithFileRefused(std::string_view title, const std::string& name) {
    const fs::path file = dir_.path() / name;
    const fs::perms before = fs::status(file).permissions();
    fs::permissions(file, fs::perms::none);
    Shown shown;
    {
      testing_support::PermissionsApply asAUser;
      shown = Run(title);
    }
    fs::permissions(file, before);
    return shown;
  }
};

// Only the failure, under the report's caption, and no viewer: no figures and no empty answer.
void ExpectOnlyTheFailure(const Shown& shown, const std::set<std::string>& failures,
                          std::string_view caption) {
  EXPECT_EQ(shown.Viewers, 0);
  ASSERT_EQ(shown.Messages.size(), 1u);
  EXPECT_TRUE(failures.contains(shown.Messages.front().first)) << shown.Messages.front().first;
  EXPECT_EQ(shown.Messages.front().second, caption);
}

TEST_F(ReportReadFailureTest, EveryReportSaysWhichFileItCannotOpenOrReadAndShowsNoFigures) {
  FileBooks("500.00");
  ASSERT_EQ(ReportsAndTheirFiles().size(), ReportCatalog().size());
  const std::string refused = std::string(" cannot be opened now: ") + std::strerror(EACCES) + ".";
  const std::string unreadable = std::string(" cannot be read now: ") + std::strerror(EIO) + ".";
  for (const auto& [title, files] : ReportsAndTheirFiles()) {
    SCOPED_TRACE(std::string(title));
    const ReportEntry* entry = FindReport(title);
    ASSERT_NE(entry, nullptr);
    // Read whole, every report has figures to show: a failure that ended it quietly would show some.
    int reads = 0;
    const Shown whole = RunWithReadFailing(title, 0, &reads);
    EXPECT_EQ(whole.Viewers, 1);
    EXPECT_TRUE(whole.Messages.empty()) << whole.Messages.front().first;
    ASSERT_GT(reads, 0);

    std::set<std::string> readFailures;
    for (UnitOf unit : files) {
      readFailures.insert("The file " + DataName(unit) + unreadable);
      for (const std::string& name : {DataName(unit), IndexName(unit)}) {
        SCOPED_TRACE(name + " refused");
        ExpectOnlyTheFailure(RunWithFileRefused(title, name), {"The file " + name + refused},
                             entry->EmptyCaption);
      }
    }
    for (int number = 1; number <= reads; ++number) {
      SCOPED_TRACE("read " + std::to_string(number) + " failing");
      ExpectOnlyTheFailure(RunWithReadFailing(title, number), readFailures, entry->EmptyCaption);
    }
  }
}

TEST_F(ReportReadFailureTest, ReportsOfFilesThatHoldNothingOrAreNotMadeYetSayThatNothingMatched) {
  FileCompany("0.00");
  const std::string zero =
      "Your Accounts Receivable balance is zero for this company. There are no outstanding items.";
  auto expectEmptyAnswers = [&](const std::string& receivablesAnswer) {
    for (const ReportEntry& entry : ReportCatalog()) {
      SCOPED_TRACE(std::string(entry.Title));
      const Shown shown = Run(entry.Title);
      EXPECT_EQ(shown.Viewers, 0);
      const bool receivables = entry.Title == "Accounts Receivable";
      const std::pair<std::string, std::string> expected =
          receivables && !receivablesAnswer.empty()
              ? std::pair<std::string, std::string>{receivablesAnswer, "Account Receivable Report"}
              : std::pair<std::string, std::string>{entry.EmptyMessage, entry.EmptyCaption};
      EXPECT_EQ(shown.Messages, (std::vector<std::pair<std::string, std::string>>{expected}));
    }
  };
  // Files made and empty, and the balance on file zero.
  expectEmptyAnswers(zero);

  // A balance of zero that cannot be read is no zero.
  const Shown unread = RunWithFileRefused("Accounts Receivable", DataName(records::CompanyUnit));
  EXPECT_EQ(unread.Messages, (std::vector<std::pair<std::string, std::string>>{
                                 {"The file " + DataName(records::CompanyUnit) +
                                      " cannot be opened now: " + std::strerror(EACCES) + ".",
                                  "Accounts Receivable Report"}}));

  // No file made yet for this company holds nothing; a company list without it says no zero.
  for (UnitOf unit : {records::InvoiceUnit, records::DetailUnit, records::PODetailUnit, records::POHeaderUnit,
                      records::ProductUnit, records::CompanyUnit}) {
    fs::remove(dir_.path() / DataName(unit));
    fs::remove(dir_.path() / IndexName(unit));
  }
  expectEmptyAnswers("");
}

}  // namespace
