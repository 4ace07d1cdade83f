#include "records/invoice_file.h"

#include <gtest/gtest.h>

#include <QTest>

#include "forms/find_box.h"
#include "forms/record_find.h"
#include "platform/files/fault_seam.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/detail_file.h"
#include "records/memo_file.h"
#include "records/system_reason.h"
#include "support/temp_dir.h"

namespace records {

using namespace forms;
namespace {

using platform::ui::mrOk;
using storage::IsamRecRef;
using testing_support::UiScript;

class InvoiceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string("12"); };
    ui_.ExpectMessage("I am going to create a new, empty invoice file for this company.", "New Company")
        .Answer(mrOk);
    ASSERT_TRUE(OpenInvoiceFile());
    EXPECT_TRUE(std::filesystem::exists(dir_.File("12I.DAT")));
  }
  void TearDown() override {
    EXPECT_TRUE(ui_.Done());
    storage::IsamCloseFileBlock(InvoiceFile);
    InvoiceFile = nullptr;
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
    platform::ui::Application->DestroyForms();
    forms::FindBox = nullptr;
  }

  static IsamRecRef Add(const char* number, const char* type, const char* customer, const char* datePaid) {
    InvoiceBuf = InvoiceRec{};
    InvoiceBuf.InvoiceNo.Set(number);
    InvoiceBuf.TransactionType.Set(type);
    InvoiceBuf.KeyCode.Set("None");
    InvoiceBuf.InvCustomerNo.Set(customer);
    InvoiceBuf.SortDate.Set("2026/12/07");
    InvoiceBuf.DatePaid.Set(datePaid);
    InvoiceBuf.InvTotal.Set("100.00");
    IsamRecRef ref = 0;
    EXPECT_TRUE(AddInvoiceRecord(ref)) << storage::IsamError;
    return ref;
  }

  testing_support::TempDir dir_;
  UiScript ui_;
};

TEST_F(InvoiceFileTest, EveryKeyTakesDuplicatesAndOpenItemsSortFirstByDatePaid) {
  const IsamRecRef paid = Add("1001", "I", "C1", "2026/12/01");
  const IsamRecRef open = Add("1002", "I", "C1", "");
  const IsamRecRef twin = Add("1001", "Z", "C2", "");  // the entry form refuses twins, the file does not
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(storage::IsamUsedKeys(InvoiceFile, k), 3) << k;

  storage::IsamKeyStr key;
  IsamRecRef ref = 0;
  storage::IsamNextKey(InvoiceFile, 6, ref, key);  // from the start of key 6
  ASSERT_TRUE(storage::IsamOK);
  EXPECT_EQ(key, std::string(10, ' '));
  EXPECT_TRUE(ref == open || ref == twin);

  key = BuildInvoiceKey(InvoiceBuf, 5);  // "Z1001"
  ASSERT_TRUE(InvoiceUnit().SearchKey(key, ref, 5));
  EXPECT_EQ(ref, twin);
  (void)paid;
}

TEST_F(InvoiceFileTest, TheInvoiceFilesAreOpenedWithTheirLinesAndMemos) {
  storage::IsamCloseFileBlock(InvoiceFile);
  ASSERT_TRUE(OpenInvoiceFiles());
  EXPECT_TRUE(storage::IsamIsOpen(InvoiceFile));
  EXPECT_TRUE(storage::IsamIsOpen(records::DetailFile));
  EXPECT_TRUE(storage::IsamIsOpen(records::MemoFile));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("12D.DAT")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("12M.DAT")));
  storage::IsamCloseFileBlock(records::DetailFile);
  storage::IsamCloseFileBlock(records::MemoFile);
}

TEST_F(InvoiceFileTest, FindByNumberWantsTheExactNumber) {
  const IsamRecRef first = Add("1001", "I", "C1", "");
  Add("10015", "I", "C1", "");
  InvoiceRec wanted;
  wanted.InvoiceNo.Set("1001");
  storage::IsamKeyStr key = BuildInvoiceKey(wanted, 1);
  IsamRecRef ref = 0;
  ASSERT_TRUE(FindInvoiceByNumber(key, ref));
  EXPECT_EQ(ref, first);

  wanted.InvoiceNo.Set("1000");
  key = BuildInvoiceKey(wanted, 1);
  EXPECT_FALSE(FindInvoiceByNumber(key, ref));  // 1001 follows, but it is another number
}

// The search behind the invoice entry's duplicate-number check, on a file just opened so that it
// reads its index from the disk: each read failing in turn throws FileUnusable naming the file,
// never "no such number".
TEST_F(InvoiceFileTest, FindByNumberThatCannotReadSaysSoRatherThanNone) {
  for (int i = 0; i < 300; ++i) Add(std::to_string(1000 + i).c_str(), "I", "C1", "");
  InvoiceRec wanted;
  wanted.InvoiceNo.Set("1150");
  int failed = 0;
  for (int read = 1;; ++read) {
    storage::IsamCloseFileBlock(InvoiceFile);
    InvoiceFile = nullptr;
    ASSERT_TRUE(OpenInvoiceFile());
    platform::files::InstallFaultPlan(
        {.Errno = EIO, .OnRead = platform::files::FaultAction::Fail, .ReadNumber = read});
    storage::IsamKeyStr key = BuildInvoiceKey(wanted, 1);
    IsamRecRef ref = 0;
    try {
      EXPECT_TRUE(FindInvoiceByNumber(key, ref)) << "read " << read;
    } catch (const FileUnusable& unusable) {
      EXPECT_EQ(std::string(unusable.what()), "The file 12I.DAT cannot be read now: Input/output error.");
      ++failed;
    }
    const int reads = platform::files::FaultReadsSoFar();
    platform::files::RemoveFaultPlan();
    if (reads < read) break;
  }
  EXPECT_GT(failed, 0);
}

TEST_F(InvoiceFileTest, AnUnchangedBufferWritesNothingAndALateEditIsRefused) {
  const IsamRecRef ref = Add("1001", "I", "C1", "");
  const InvoiceRec original = InvoiceBuf;
  EXPECT_TRUE(UpdateInvoiceRecord(original, ref));  // InvoiceBuf equals the old copy

  InvoiceBuf.InvCustomerNo.Set("C9");  // a changed customer moves key 2
  ASSERT_TRUE(UpdateInvoiceRecord(original, ref));
  storage::IsamKeyStr key = BuildInvoiceKey(InvoiceBuf, 2);
  IsamRecRef found = 0;
  ASSERT_TRUE(InvoiceUnit().SearchKey(key, found, 2));
  EXPECT_EQ(found, ref);

  InvoiceBuf = original;  // an edit that started before that change
  InvoiceBuf.Notes.Set("late");
  ui_.ExpectMessage("The record has changed in the meantime.", platform::ui::Application->Title);
  EXPECT_FALSE(UpdateInvoiceRecord(original, ref));
  InvoiceRec stored;
  storage::IsamGetRec(InvoiceFile, ref, &stored, sizeof stored);
  EXPECT_EQ(stored.InvCustomerNo.Get(), "C9");
  EXPECT_EQ(stored.Notes.Get(), "");

  EXPECT_TRUE(DeleteInvoiceRecord(ref));
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(storage::IsamUsedKeys(InvoiceFile, k), 0) << k;
}

TEST_F(InvoiceFileTest, FindInvoiceReadsTheChosenInvoiceAndMovesTheBrowserToIt) {
  const IsamRecRef first = Add("1001", "I", "C1", "");
  const IsamRecRef wanted = Add("1002", "I", "C7", "");
  Add("1003", "I", "C1", "");
  storage::TRecBrowser browser;
  browser.OnBuildRow = [](storage::TRecBrowser*, storage::RowRec&) { return 0; };
  AttachInvoiceBrowser(browser);
  browser.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
  EXPECT_EQ(browser.BrowserCurrentRef(), first);
  InvoiceBuf = InvoiceRec{};
  ui_.OnModal<forms::TFindBox>([](forms::TFindBox& f) {
    EXPECT_EQ(f.Caption(), "Find Invoice/Payment");
    EXPECT_EQ(f.ListView1->headerItem()->text(0), "Year/Mo/Dy");
    f.FindText->setText("c7");
    f.FindButtonClick();
    ASSERT_EQ(f.ListView1->topLevelItemCount(), 1);
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(0));
    f.ListView1DblClick();
  });
  ASSERT_TRUE(FindInvoice(browser));
  EXPECT_EQ(browser.BrowserCurrentRef(), wanted);
  EXPECT_EQ(InvoiceBuf.InvoiceNo.Get(), "1002");
  EXPECT_EQ(InvoiceBuf.InvCustomerNo.Get(), "C7");
}

}  // namespace
}  // namespace records
