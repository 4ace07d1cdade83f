// The label print queue: its rows, its queue files, the loaders over the company's files and the
// address export.

#include "reports/label_queue.h"

#include "platform/ui/support/ui_script.h"
#include "reports/label_wizard.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <fstream>

#include "forms/run_state.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/vendor_file.h"
#include "reports_fixture.h"

using namespace reports;
using records::CustomerRec;
using records::ProductRec;
using records::VendorRec;

namespace {

class LabelQueueTest : public test_fixtures::ReportsTest {
 protected:
  LabelQueueTest() {
    EXPECT_TRUE(records::CreateCustomerFile());
    EXPECT_TRUE(records::CreateVendorFile());
    LabelPrintQueue.Clear();
  }
  ~LabelQueueTest() override {
    LabelPrintQueue.Clear();
    for (storage::IsamFileBlock* file : {&records::CustomerFile, &records::VendorFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }

  static CustomerRec Customer(const std::string& number, const std::string& name, const std::string& type,
                              const std::string& sort, const std::string& bucket2 = "0.00") {
    CustomerRec c{};
    c.CustomerNo.Set(number);
    c.CustomerName.Set(name);
    c.CustomerType.Set(type);
    c.MailSortCode.Set(sort);
    c.CustBillTo1.Set("12 Quay Street");
    c.CustBillTo2.Set("");
    c.CustBillTo3.Set("Portsmouth");
    c.CustAging2.Set(bucket2);
    return c;
  }
  void FileVendor(const std::string& number, const std::string& name) {
    VendorRec v{};
    v.VendorNo.Set(number);
    v.VendorName.Set(name);
    v.OrderAddr1.Set("1 Mill Lane");
    FileVendors({v});
  }
  static ProductRec Item(const std::string& code, const std::string& description, const std::string& key) {
    ProductRec p{};
    p.Code.Set(code);
    p.Description.Set(description);
    p.Price.Set("19.95");
    p.KeyCode.Set(key);
    p.Location.Set("Shelf 4");
    return p;
  }
  std::string Path(const std::string& name) { return dir_.File(name); }
};

TEST_F(LabelQueueTest, QueueFileKeepsLongCodesAndFullWidthFields) {
  const std::vector<LabelQueueRow> rows = {
      {"C1001", std::string(35, 'N'), std::string(15, 'S'), "Retail", "C"},
      {"ABCDEFGHIJKLMNO", "Anchor chain 10 m", "149.00", "Shelf 4", "P"},
      {"V7", "Dockside Timber", "", "", "V"},
  };
  EXPECT_EQ(QueueFileLine(rows[0]).size(), 88u);
  EXPECT_EQ(QueueFileLine(rows[0])[87], 'C');
  // The long code pushes the later fields right; the line is kept whole with its letter.
  EXPECT_EQ(QueueFileLine(rows[1]).size(), 95u);
  EXPECT_EQ(QueueFileLine(rows[1]).back(), 'P');

  ASSERT_TRUE(SaveQueueFile(Path("q.LST"), rows));
  std::vector<LabelQueueRow> back;
  ASSERT_TRUE(ReadQueueFile(Path("q.LST"), back));
  EXPECT_EQ(back, rows);
  ASSERT_TRUE(ReadQueueFile(Path("q.LST"), back));
  EXPECT_EQ(back.size(), 6u);

  std::ifstream in(Path("q.LST"), std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(all.substr(88, 2), "\r\n");
}

TEST_F(LabelQueueTest, OlderQueueLinesAreReadByTheirColumns) {
  // A line as older versions wrote it, with trailing blanks after the letter.
  std::string line = "C20     " + std::string(" ") + "Harbour Master" + std::string(21, ' ') + " " + "EAST" +
                     std::string(11, ' ') + " " + "Trade" + std::string(20, ' ') + " C  ";
  ASSERT_EQ(line.size(), 90u);
  EXPECT_EQ(QueueRowFromLine(line), (LabelQueueRow{"C20", "Harbour Master", "EAST", "Trade", "C"}));
  EXPECT_EQ(QueueRowFromLine("P1"), (LabelQueueRow{"P1", "", "", "", ""}));
}

// The sort reads the names as the records hold them, in Windows-1252 ("\xC9mile" is Emile with an
// acute accent), and orders them in the collation of the user's locale.
TEST_F(LabelQueueTest, QueueChangesKeepTheUnprintedFlag) {
  forms::LabelsQueued = 0;
  int changes = 0;
  LabelPrintQueue.Changed = [&] { ++changes; };
  EXPECT_EQ(QueueCustomer(Customer("C2", "Bravo Boats", "Trade", "B")), "Bravo Boats added to label queue.");
  LabelPrintQueue.Append({"C1", "Zulu Yachts", "", "", "C"});
  LabelPrintQueue.Append({"C4", "\xC9mile Docks", "", "", "C"});
  LabelPrintQueue.Append({"C3", "Alpha Marine", "", "", "C"});
  EXPECT_EQ(forms::LabelsQueued, 1);
  const QLocale before;
  QLocale::setDefault(QLocale("en_US"));
  LabelPrintQueue.SortByColumn(1);
  QLocale::setDefault(before);
  std::vector<std::string> names;
  for (const LabelQueueRow& row : LabelPrintQueue.Rows()) names.push_back(row.Name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"Alpha Marine", "Bravo Boats", "\xC9mile Docks", "Zulu Yachts"}));
  for (int removed = 0; removed < 3; ++removed) LabelPrintQueue.Remove(0);
  EXPECT_EQ(forms::LabelsQueued, 1);
  LabelPrintQueue.Remove(0);
  EXPECT_EQ(forms::LabelsQueued, 0);
  EXPECT_EQ(changes, 9);  // four appends, the sort, four removals
  LabelPrintQueue.Changed = nullptr;
}

TEST_F(LabelQueueTest, LoadersPickTheirRecords) {
  FileCustomers({Customer("C1", "Alpha Marine", "Trade", "EAST", "-5.00"),
                 Customer("C2", "", "Retail", "WEST"),
                 Customer("C3", "Coastal Rope", "Trade Counter", "NORTH", "")});
  FileProducts({Item("ROPE10", "Rope 10 mm", "ROPE"), Item("CHAIN", "Anchor chain", "METAL")});

  EXPECT_EQ(LoadAllCustomers(), 2);  // the nameless customer is left out
  EXPECT_EQ(LabelPrintQueue.Rows()[0], (LabelQueueRow{"C1", "Alpha Marine", "EAST", "Trade", "C"}));
  LabelPrintQueue.Clear();

  EXPECT_EQ(LoadAgingCategory(2), 1);  // a negative balance counts; a blank one does not
  EXPECT_EQ(LabelPrintQueue.Rows()[0].Code, "C1");
  EXPECT_EQ(LoadAgingCategory(1), 0);
  LabelPrintQueue.Clear();

  EXPECT_EQ(LoadByFilter(QueueKind::Customers, "trade"), 2);
  EXPECT_EQ(LoadByFilter(QueueKind::Customers, " trade"), 0);  // the blank is part of the filter
  EXPECT_EQ(LoadByFilter(QueueKind::Customers, "west"), 1);
  EXPECT_EQ(LoadByFilter(QueueKind::Products, "metal"), 1);
  EXPECT_EQ(LabelPrintQueue.Rows().back(), (LabelQueueRow{"CHAIN", "Anchor chain", "19.95", "METAL", "P"}));
  EXPECT_EQ(LoadAllProducts(), 2);
  EXPECT_EQ(LoadAllVendors(), 0);  // no vendor on file
}

TEST_F(LabelQueueTest, AddressExportSkipsMissingAndProductRows) {
  FileCustomers({Customer("C1", "Alpha Marine", "Trade", "EAST"), Customer("C2", "A", "Trade", "EAST")});
  FileVendor("V1", "Dockside Timber");
  CustomerRec nameless = Customer("C3", "", "", "");
  FileCustomers({nameless});
  const AddressExport result = BuildAddressExport({{"C1", "", "", "", "C"},
                                                   {"GONE", "", "", "", "C"},
                                                   {"V1", "", "", "", "V"},
                                                   {"ROPE", "", "", "", "P"},
                                                   {"C2", "", "", "", "C"},
                                                   {"C3", "", "", "", "C"}});
  EXPECT_EQ(result.Missing, 1);
  EXPECT_EQ(result.Lines,
            (std::vector<std::string>{"Alpha Marine,12 Quay Street,Portsmouth", "Dockside Timber,1 Mill Lane",
                                      ",12 Quay Street,Portsmouth", ",12 Quay Street,Portsmouth"}));
}

}  // namespace

namespace {

using platform::ui::mrYes;
using testing_support::UiScript;

TEST_F(LabelQueueTest, WizardListFollowsTheQueue) {
  Tlblwiz& wizard = Createlblwiz();
  LabelPrintQueue.Append({"C2", "Bravo Boats", "B", "Trade", "C"});
  LabelPrintQueue.Append({"ROPE", "Rope", "19.95", "Shelf 4", "P"});
  ASSERT_EQ(wizard.LabelList->topLevelItemCount(), 2);
  EXPECT_EQ(wizard.LabelList->headerItem()->text(1), "Name/Product Desc.");
  wizard.LabelListColumnClick(4);  // by letter: "C" before "P"
  wizard.LabelListColumnClick(0);
  EXPECT_EQ(wizard.LabelList->topLevelItem(0)->text(0), "C2");
  EXPECT_EQ(wizard.LabelList->topLevelItem(1)->text(4), "P");

  UiScript ui;
  ui.ExpectMessage(
      "You have not selected a record for deletion. To select a record, click on column 1 (Number) of that "
      "record to hilite it and then select the delete option.",
      "Delete Record");
  // The row that merely has the focus is not a selected one.
  wizard.LabelList->setCurrentItem(wizard.LabelList->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
  wizard.SpeedButton2Click();
  EXPECT_EQ(wizard.LabelList->topLevelItemCount(), 2);
  wizard.LabelList->setCurrentItem(wizard.LabelList->topLevelItem(1));
  wizard.SpeedButton2Click();
  EXPECT_EQ(wizard.StatusLine->text(), "1 records are selected.");
  ui.ExpectMessage("This will clear all records in the print queue. Continue?", "Please Confirm")
      .Answer(mrYes);
  wizard.SpeedButton3Click();
  EXPECT_EQ(wizard.LabelList->topLevelItemCount(), 0);
  EXPECT_EQ(forms::LabelsQueued, 0);
  // An empty filter asks before loading a whole file, with No as the default: No loads nothing.
  wizard.FilterEdit->setText("  ");
  ui.ExpectMessage("You have not entered any filter selection. Do you want to load all vendors?",
                   "Filter Selection Empty")
      .DefaultButton(platform::ui::mrNo)
      .Answer(platform::ui::mrNo);
  wizard.FilterClick(1);
  EXPECT_EQ(wizard.LabelList->topLevelItemCount(), 0);
  EXPECT_EQ(wizard.StatusLine->text(), "All records were removed from the queue.");
  records::CurrentCompany.AgingDays3.Set("");
  wizard.FormShow();
  EXPECT_EQ(wizard.AgingButtons[0]->text(), "Current");
  EXPECT_EQ(wizard.AgingButtons[3]->text(), "Over ");
  ui.ExpectMessage("Category 3 has a bad value in your aging days (Company Setup). Unable to process.", "");
  wizard.LoadAging(4);
  EXPECT_TRUE(ui.Done());
}

}  // namespace
