// The customer and product files on the data-file routines, and the Find routines that read the
// record chosen in the Find dialog.

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <optional>

#include "forms/find_box.h"
#include "forms/record_find.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "support/temp_dir.h"

namespace records {

using namespace forms;
namespace {

using platform::ui::mrOk;
using storage::IsamRecRef;
using testing_support::UiScript;

const QString NewCustomerFile = "I am going to create a new, empty customer file for this company.";
const QString NewProductFile = "I am going to create a new, empty product file for this company.";

class RecordFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string(" 12 "); };
  }
  void TearDown() override {
    if (CustomerFile) storage::IsamCloseFileBlock(CustomerFile);
    if (ProductFile) storage::IsamCloseFileBlock(ProductFile);
    CustomerFile = ProductFile = nullptr;
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
    browser_.reset();
    platform::ui::Application->DestroyForms();
    FindBox = nullptr;
  }

  // A manager's browser over a file, shown, as the managers keep it.
  template <class Record>
  storage::TRecBrowser& Browser(void (*attach)(storage::TRecBrowser&, Record&), Record& record) {
    browser_ = std::make_unique<storage::TRecBrowser>();
    browser_->OnBuildRow = [](storage::TRecBrowser*, storage::RowRec&) { return 0; };
    attach(*browser_, record);
    browser_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(browser_.get()));
    return *browser_;
  }

  void OpenBoth(UiScript& ui) {
    ui.ExpectMessage(NewCustomerFile, "New Company").Answer(mrOk);
    ui.ExpectMessage(NewProductFile, "New Company").Answer(mrOk);
    ASSERT_TRUE(OpenCustomerFile());
    ASSERT_TRUE(OpenProductDatabase());
  }

  static CustomerRec Customer(const char* number, const char* name) {
    CustomerRec c;
    c.CustomerNo.Set(number);
    c.CustomerName.Set(name);
    c.CustBalance.Set("0.00");
    return c;
  }

  static ProductRec Product(const char* code, const char* description, const char* keyCode) {
    ProductRec p;
    p.Code.Set(code);
    p.Description.Set(description);
    p.KeyCode.Set(keyCode);
    return p;
  }

  testing_support::TempDir dir_;
  std::unique_ptr<storage::TRecBrowser> browser_;
};

TEST_F(RecordFilesTest, AMissingFileIsCreatedAfterTheNotice) {
  UiScript ui;
  ui.ExpectMessage(NewCustomerFile, "New Company").Buttons(platform::ui::MsgButtons::Ok).Answer(mrOk);
  EXPECT_TRUE(OpenCustomerFile());
  EXPECT_TRUE(std::filesystem::exists(dir_.File("12C.DAT")));
  EXPECT_EQ(storage::IsamDataLen(CustomerFile), 916);
  storage::IsamCloseFileBlock(CustomerFile);
  EXPECT_TRUE(OpenCustomerFile());  // there now: no notice
  EXPECT_TRUE(ui.Done());
}

// Three uses of one file (a manager's hold, a window, an action) start and end in every order
// that starts each before ending it: the file is open exactly while one of them lasts, as one
// file block, and the last one closes it. A file opened outside the uses stays with its opener;
// a hold of a file that would need asking (here: one not yet made) holds nothing and asks nothing.
TEST_F(RecordFilesTest, UsesOfAFileShareOneOpenAndTheLastOneClosesIt) {
  UiScript ui;
  ui.ExpectMessage(NewCustomerFile, "New Company").Answer(mrOk);
  ASSERT_TRUE(OpenCustomerFile());
  storage::IsamCloseFileBlock(CustomerFile);
  ASSERT_TRUE(ui.Done());

  // Events 0..2 start use n, 3..5 end use n-3.
  std::vector<int> events = {0, 1, 2, 3, 4, 5};
  int orders = 0;
  do {
    bool valid = true;
    for (int n = 0; n < 3; ++n)
      valid = valid &&
              std::find(events.begin(), events.end(), n) < std::find(events.begin(), events.end(), n + 3);
    if (!valid) continue;
    ++orders;
    std::optional<HeldFiles> held;
    std::optional<FileForAction> window, action;
    storage::IsamFileBlock block = nullptr;
    int live = 0;
    for (int event : events) {
      switch (event) {
        case 0:
          held.emplace().Hold(CustomerUnit());
          break;
        case 1:
          window.emplace(CustomerFile, OpenCustomerFile);
          break;
        case 2:
          action.emplace(CustomerFile, OpenCustomerFile);
          break;
        case 3:
          held.reset();
          break;
        case 4:
          window.reset();
          break;
        default:
          action.reset();
          break;
      }
      live += event < 3 ? 1 : -1;
      ASSERT_EQ(storage::IsamIsOpen(CustomerFile), live > 0) << orders << " after event " << event;
      if (live == 0) block = nullptr;  // the next use opens the file anew
      if (live > 0 && block == nullptr) block = CustomerFile;
      if (live > 0) {
        EXPECT_EQ(CustomerFile, block) << orders << " after event " << event;
      }
    }
    EXPECT_EQ(CustomerFile, nullptr);
  } while (std::next_permutation(events.begin(), events.end()));
  EXPECT_EQ(orders, 90);

  ASSERT_TRUE(OpenCustomerFile());  // an opener outside the uses
  const storage::IsamFileBlock outside = CustomerFile;
  {
    HeldFiles held;
    held.Hold(CustomerUnit());
    FileForAction action(CustomerFile, OpenCustomerFile);
    EXPECT_TRUE(action.Open());
  }
  EXPECT_TRUE(storage::IsamIsOpen(outside));
  EXPECT_EQ(CustomerFile, outside);

  HeldFiles missing;
  missing.Hold(ProductUnit());
  EXPECT_EQ(ProductFile, nullptr);
  EXPECT_TRUE(storage::IsamOK);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("12P.DAT")));
  EXPECT_TRUE(ui.Done());
}

TEST_F(RecordFilesTest, NamesAlikeInTheirFirst30LettersAreOneCustomerButNumbersMayRepeat) {
  UiScript ui;
  OpenBoth(ui);
  IsamRecRef first = 0, second = 0, third = 0;
  ASSERT_TRUE(AddCustomerRecord(Customer("C1", "Northern Lights Outfitters and Supply"), first));
  EXPECT_FALSE(AddCustomerRecord(Customer("C2", "NORTHERN LIGHTS OUTFITTERS AND Trading"), second));
  EXPECT_EQ(storage::IsamError, storage::IsamErrDuplicateKey);
  EXPECT_EQ(storage::IsamUsedRecs(CustomerFile), 1);  // the refused add left nothing behind
  EXPECT_EQ(storage::IsamUsedKeys(CustomerFile, 2), 1);

  ASSERT_TRUE(AddCustomerRecord(Customer("C1", "Acme Tools"), third));  // the index takes a number twice
  EXPECT_EQ(storage::IsamUsedKeys(CustomerFile, 2), 2);

  storage::IsamKeyStr key = BuildCustomerKey(Customer("c1", ""), 2);
  IsamRecRef ref = 0;
  ASSERT_TRUE(SearchCustomerKey(key, ref, 2));
  EXPECT_TRUE(ref == first || ref == third);
  key = BuildCustomerKey(Customer("", "acme tools"), 1);
  ASSERT_TRUE(SearchCustomerKey(key, ref, 1));
  EXPECT_EQ(ref, third);
  EXPECT_TRUE(ui.Done());
}

TEST_F(RecordFilesTest, AnEditOfACustomerChangedMeanwhileIsRefusedAndLeavesTheRecord) {
  UiScript ui;
  OpenBoth(ui);
  IsamRecRef ref = 0;
  const CustomerRec original = Customer("C1", "Acme Tools");
  ASSERT_TRUE(AddCustomerRecord(original, ref));

  CustomerRec renamed = original;
  renamed.CustomerName.Set("Acme Tools and Dies");
  ASSERT_TRUE(UpdateCustomerRecord(renamed, original, ref));

  CustomerRec late = original;  // an edit begun before the rename
  late.Phone1.Set("555-0100");
  ui.ExpectMessage("The record has changed in the meantime.", platform::ui::Application->Title);
  EXPECT_FALSE(UpdateCustomerRecord(late, original, ref));
  CustomerRec stored;
  storage::IsamGetRec(CustomerFile, ref, &stored, sizeof stored);
  EXPECT_EQ(stored.CustomerName.Get(), "Acme Tools and Dies");
  EXPECT_EQ(stored.Phone1.Get(), "");
  storage::IsamKeyStr key = BuildCustomerKey(renamed, 1);
  IsamRecRef found = 0;
  EXPECT_TRUE(SearchCustomerKey(key, found, 1));
  EXPECT_EQ(found, ref);

  ASSERT_TRUE(DeleteCustomerRecord(ref));
  EXPECT_EQ(storage::IsamUsedRecs(CustomerFile), 0);
  EXPECT_EQ(storage::IsamUsedKeys(CustomerFile, 1), 0);
  EXPECT_EQ(storage::IsamUsedKeys(CustomerFile, 2), 0);
  EXPECT_TRUE(ui.Done());
}

TEST_F(RecordFilesTest, FindCustomerMovesTheBrowserToTheCustomerOfTheChosenRow) {
  UiScript ui;
  OpenBoth(ui);
  IsamRecRef acme = 0, bolt = 0, zeta = 0;
  ASSERT_TRUE(AddCustomerRecord(Customer("C1", "Acme Tools"), acme));
  ASSERT_TRUE(AddCustomerRecord(Customer("C2", "Bolt Brothers"), bolt));
  ASSERT_TRUE(AddCustomerRecord(Customer("C3", "Zeta Bolt Works"), zeta));
  CustomerRec managers;
  storage::TRecBrowser& browser = Browser(AttachCustomerBrowser, managers);
  EXPECT_EQ(browser.BrowserCurrentRef(), acme);  // attached at the first name
  ui.OnModal<TFindBox>([](TFindBox& f) {
    EXPECT_EQ(f.Caption(), "Find Customer");
    f.FindText->setText("bolt");
    f.FindButtonClick();
    ASSERT_EQ(f.ListView1->topLevelItemCount(), 2);
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(1));
    f.ListView1DblClick();
  });
  ASSERT_TRUE(FindCustomer(browser, managers));
  EXPECT_EQ(browser.BrowserCurrentRef(), zeta);
  EXPECT_EQ(managers.CustomerName.Get(), "Zeta Bolt Works");

  ui.OnModal<TFindBox>([](TFindBox& f) { f.Button1->click(); });
  EXPECT_FALSE(FindCustomer(browser, managers));
  EXPECT_EQ(browser.BrowserCurrentRef(), zeta);
  EXPECT_TRUE(ui.Done());
}

TEST_F(RecordFilesTest, ProductsKeepThreeKeysInStepAndFindReadsByCode) {
  UiScript ui;
  OpenBoth(ui);
  IsamRecRef hex = 0, nut = 0, dup = 0;
  ASSERT_TRUE(AddProductRecord(Product("B-100", "Bolt, hex 10mm, zinc plated, box of 100", "*NONE*"), hex));
  ASSERT_TRUE(AddProductRecord(Product("N-200", "Nut 10mm", "FASTEN"), nut));
  EXPECT_FALSE(AddProductRecord(Product("b-100 ", "Another", "X"), dup));  // codes are unique
  EXPECT_EQ(storage::IsamUsedRecs(ProductFile), 2);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(storage::IsamUsedKeys(ProductFile, k), 2) << k;

  // Changing the description moves key 2 only.
  ProductRec before;
  storage::IsamGetRec(ProductFile, nut, &before, sizeof before);
  ProductRec after = before;
  after.Description.Set("Nut 12mm");
  ASSERT_TRUE(UpdateProductRecord(after, before, nut));
  storage::IsamKeyStr key = BuildProductKey(after, 2);
  IsamRecRef ref = 0;
  ASSERT_TRUE(SearchProductKey(key, ref, 2));
  EXPECT_EQ(ref, nut);
  key = BuildProductKey(before, 2);
  EXPECT_FALSE(SearchProductKey(key, ref, 2) && key == BuildProductKey(before, 2));

  ui.OnModal<TFindBox>([](TFindBox& f) {
    EXPECT_EQ(f.Caption(), "Find Product");
    f.FindText->setText("zinc");
    f.FindButtonClick();
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(0));
    f.ListView1DblClick();
  });
  ProductRec managers;
  storage::TRecBrowser& browser = Browser(AttachProductBrowser, managers);
  browser.BrowserSetKeyNumber(2);  // the manager lists by description
  ASSERT_TRUE(FindProduct(browser, managers));
  EXPECT_EQ(browser.BrowserCurrentRef(), hex);
  EXPECT_EQ(browser.BrowserKeyNumber(), 2);
  EXPECT_EQ(managers.Code.Get(), "B-100");
  EXPECT_TRUE(ui.Done());
}

TEST_F(RecordFilesTest, ARebuildRestoresLostKeys) {
  UiScript ui;
  OpenBoth(ui);
  IsamRecRef ref = 0;
  ASSERT_TRUE(AddCustomerRecord(Customer("C1", "Acme Tools"), ref));
  ASSERT_TRUE(AddCustomerRecord(Customer("C2", "Bolt Brothers"), ref));
  storage::IsamDeleteKey(CustomerFile, 1, ref, BuildCustomerKey(Customer("C2", "Bolt Brothers"), 1));
  ASSERT_EQ(storage::IsamUsedKeys(CustomerFile, 1), 1);
  storage::IsamCloseFileBlock(CustomerFile);

  ASSERT_TRUE(RebuildCustomerFile());
  ASSERT_TRUE(OpenCustomerFile());
  EXPECT_EQ(storage::IsamUsedRecs(CustomerFile), 2);
  EXPECT_EQ(storage::IsamUsedKeys(CustomerFile, 1), 2);
  EXPECT_EQ(storage::IsamUsedKeys(CustomerFile, 2), 2);
  EXPECT_TRUE(ui.Done());
}

// A walk by key visits every record once, and a file that holds none is no failure; but a
// record it cannot read (here: one longer than the image it is read into, which the engine
// refuses) ends the walk with the file named, never by passing over the record as if the file
// held none.
TEST_F(RecordFilesTest, AWalkByKeyNeverPassesOverARecordItCannotRead) {
  UiScript ui;
  OpenBoth(ui);
  std::vector<std::string> visited;
  auto walk = [&] {
    visited.clear();
    ForEachRecordByKey<CustomerRec>(CustomerFile, 1,
                                    [&](const CustomerRec& c) { visited.push_back(c.CustomerNo.Get()); });
  };
  EXPECT_NO_THROW(walk());
  EXPECT_TRUE(visited.empty());

  IsamRecRef ref = 0;
  ASSERT_TRUE(AddCustomerRecord(Customer("C1", "Acme Tools"), ref));
  ASSERT_TRUE(AddCustomerRecord(Customer("C2", "Bolt Brothers"), ref));
  EXPECT_NO_THROW(walk());
  EXPECT_EQ(visited, (std::vector<std::string>{"C1", "C2"}));

  struct ShortImage {
    char bytes[100];
  };
  int shortVisits = 0;
  try {
    ForEachRecordByKey<ShortImage>(CustomerFile, 1, [&](const ShortImage&) { ++shortVisits; });
    ADD_FAILURE() << "the walk passed over every record and ended quietly";
  } catch (const FileUnusable& failure) {
    EXPECT_NE(std::string(failure.what()).find("The file 12C.DAT cannot be read now"), std::string::npos)
        << failure.what();
  }
  EXPECT_EQ(shortVisits, 0);
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace records
