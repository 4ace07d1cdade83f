// A file set closed after its records are on file, when what the close writes back (the index
// pages first) cannot be written: the set is closed all the same and left marked for repair, its
// records stay, and the user is told at once, once, that the index is rebuilt at the next open,
// which then asks for that rebuild as it always did. Both ways the windows close their files: a
// file held for a window (managers, the files their postings touch) and the company list.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "platform/files/fault_seam.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/record_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/live_records.h"
#include "support/temp_dir.h"

namespace records {
namespace {

using testing_support::UiScript;

QString ToldAtClose(const char* dataFiles) {
  return QStringLiteral(
             "The index could not be written when closing %1: No space left on device. The records are on "
             "file; each "
             "index will be rebuilt the next time its file is opened.")
      .arg(dataFiles);
}

class CloseWriteBackTest : public ::testing::Test {
 protected:
  CloseWriteBackTest() {
    storage::IsamInitialize(0, 30);
    InstallCompanyFileNames();
    CurrentCompany.CompanyNumber.Set("12");
  }
  ~CloseWriteBackTest() override {
    platform::files::RemoveFaultPlan();
    storage::IsamShutdown();
    CustomerFile = CompanyFile = nullptr;
    storage::CurrentCompanyNumber = nullptr;
    CurrentCompany = CompanyRec{};
  }

  // Its next write (the first a close makes is an index page) fails as on a full disk.
  static void DiskFullAtNextWrite() {
    platform::files::InstallFaultPlan(
        {platform::files::FaultAction::Fail, 1, platform::files::FaultAction::None, 0, ENOSPC, false});
  }

  // Closes the file on a full disk; the user is told once.
  void CloseOnFullDisk(const std::function<void()>& close, const char* dataFile) {
    ui.ExpectMessage(ToldAtClose(dataFile), "Close");
    DiskFullAtNextWrite();
    close();
    platform::files::RemoveFaultPlan();
    EXPECT_TRUE(ui.Done());
  }

  static void FileCustomer() {
    CustomerRec customer{};
    customer.CustomerNo.Set("C1");
    customer.CustomerName.Set("Alpha Marine");
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(storage::RunPosting("customer C1", [&] { return AddCustomerRecord(customer, ref); }));
  }

  testing_support::TempDir dir;
  UiScript ui;
};

TEST_F(CloseWriteBackTest, AHeldFileClosedAfterAPostingTellsThatItsIndexIsRebuiltAtTheNextOpen) {
  ASSERT_TRUE(CreateCustomerFile());
  std::optional<FileForAction> held;
  held.emplace(CustomerFile, OpenCustomerFile);
  ASSERT_TRUE(held->Open());
  FileCustomer();
  CloseOnFullDisk([&] { held.reset(); }, "12C.DAT");
  EXPECT_EQ(testing_support::LiveRecords("12C.DAT").size(), 1u) << "the posting is on file";

  ui.ExpectMessage("Index file is defective.  Rebuild?", "Customers").Answer(platform::ui::mrYes);
  FileForAction again(CustomerFile, OpenCustomerFile);
  ASSERT_TRUE(again.Open());
  EXPECT_EQ(storage::IsamUsedKeys(CustomerFile, 1), 1);
  EXPECT_TRUE(ui.Done());
}

TEST_F(CloseWriteBackTest, TheCompanyListClosedAfterAnAddTellsThatItsIndexIsRebuiltAtTheNextOpen) {
  ASSERT_TRUE(CreateCompanyFile());
  ASSERT_TRUE(OpenCompanyFile());
  CompanyWorkRec = CompanyRec{};
  CompanyWorkRec.CompanyNumber.Set("12");
  CompanyWorkRec.CompanyName.Set("Acme Supply");
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(AddCompanyRecord(ref));
  CloseOnFullDisk(CloseCompanyFile, "ovcomp.DAT");
  EXPECT_EQ(CompanyFile, nullptr);
  EXPECT_EQ(testing_support::LiveRecords("ovcomp.DAT").size(), 1u);

  ui.ExpectMessage("Index file is defective.  Rebuild?", "Companies").Answer(platform::ui::mrYes);
  ASSERT_TRUE(OpenCompanyFile());
  EXPECT_EQ(storage::IsamUsedKeys(CompanyFile, 2), 1);
  CloseCompanyFile();
  EXPECT_TRUE(ui.Done());
}

TEST_F(CloseWriteBackTest, AWindowClosingSeveralFilesTellsTheirFailedWriteBacksInOneMessage) {
  ASSERT_TRUE(CreateCustomerFile());
  ASSERT_TRUE(CreateCompanyFile());
  ASSERT_TRUE(OpenCustomerFile());
  ASSERT_TRUE(OpenCompanyFile());
  FileCustomer();
  CompanyWorkRec = CurrentCompany;
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(storage::RunPosting("company 12", [&] { return AddCompanyRecord(ref); }));
  ui.ExpectMessage(ToldAtClose("12C.DAT, ovcomp.DAT"), "Close");
  {
    ClosingFiles closing;
    for (storage::IsamFileBlock* file : {&CustomerFile, &CompanyFile}) {
      DiskFullAtNextWrite();
      CloseDataFile(*file);
    }
  }
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace records
