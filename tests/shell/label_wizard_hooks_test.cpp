// The label wizard picks one customer, vendor or product in its manager, and opens the main
// window's printer set-up, through what start-up hands it.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "customers/customer_manager.h"
#include "main_form_fixture.h"
#include "products/product_manager.h"
#include "purchasing/vendor_manager.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "reports/label_queue.h"
#include "reports/label_wizard.h"
#include "shell/label_wizard_hooks.h"
#include "support/scratch_company.h"

namespace shell {
namespace {

using reports::LabelPrintQueue;
using reports::LabelQueueRow;
using testing_support::CompanyFile;
using testing_support::UiScript;

const char* const kPicking = "Double-click or press <enter> to select.";
const char* const kBrowsing = "Right-click mouse or select from menu bar.";

class LabelWizardHooksTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    storage::IsamInitialize(0, 30);
    ASSERT_TRUE(testing_support::OpenScratchCompany(
        Company("1", "Harbour Supplies"),
        {CompanyFile::Customers, CompanyFile::Vendors, CompanyFile::Products}));
    storage::IsamRecRef ref = 0;
    for (auto [number, name, sort] :
         {std::tuple{"C1", "Alpha Marine", "EAST"}, {"C2", "Bravo Boats", "WEST"}}) {
      CustomerRec c{};
      c.CustomerNo.Set(number);
      c.CustomerName.Set(name);
      c.MailSortCode.Set(sort);
      c.CustomerType.Set("Trade");
      ASSERT_TRUE(AddCustomerRecord(c, ref));
    }
    for (auto [number, name] : {std::pair{"V1", "Dockside Timber"}, {"V2", "Eastern Rope"}}) {
      VendorRec v{};
      v.VendorNo.Set(number);
      v.VendorName.Set(name);
      v.VendorType.Set("Wood");
      ASSERT_TRUE(AddVendorRecord(v, ref));
    }
    // AAA has lost its description (the product dialog never stores such a product).
    for (auto [code, description] :
         {std::pair{"ROPE10", "Rope 10 mm"}, {"CHAIN", "Anchor chain"}, {"AAA", ""}}) {
      ProductRec p{};
      p.Code.Set(code);
      p.Description.Set(description);
      p.Price.Set("19.95");
      p.KeyCode.Set("K7");
      p.Location.Set("Shelf 4");
      ASSERT_TRUE(AddProductRecord(p, ref));
    }
    for (storage::IsamFileBlock* file : {&CustomerFile, &VendorFile, &ProductFile}) {
      storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
    CreateMainForm();
    customers::CreateDemoForm();
    purchasing::CreateVenList();
    products::CreateEditProd();
    wizard_ = &reports::Createlblwiz();
    InstallLabelWizardHooks();
    LabelPrintQueue.Clear();
  }
  void TearDown() override {
    LabelPrintQueue.Clear();
    ForgetLabelWizardHooks();
    MainFormTest::TearDown();
  }

  // Shows the wizard modally and lets `work` use it, as the main window's item does.
  void WithWizard(UiScript& ui, std::function<void(reports::Tlblwiz&)> work) {
    ui.OnModal<reports::Tlblwiz>(std::move(work));
    wizard_->ShowModal();
  }

  reports::Tlblwiz* wizard_ = nullptr;
};

TEST_F(LabelWizardHooksTest, EachPickAddsTheRecordChosenInItsManager) {
  UiScript ui;
  WithWizard(ui, [&](reports::Tlblwiz& w) {
    EXPECT_TRUE(w.FindCustomer->isEnabled());
    ui.OnModal<customers::TDemoForm>([](customers::TDemoForm& m) {
      EXPECT_EQ(m.StatusText(1), kPicking);
      CustomerRec wanted{};
      wanted.CustomerNo.Set("C2");
      wanted.CustomerName.Set("Bravo Boats");
      m.RecBrowser1->BrowserGoToKey(BuildCustomerKey(wanted, customers::CustomerKeyNumber), 0);
      m.EditClick();
    });
    w.FindCustomer->click();
    EXPECT_EQ(customers::CreateDemoForm().StatusText(1), kBrowsing);
    EXPECT_EQ(w.StatusLine->text(), "1 records are selected.");

    ui.OnModal<purchasing::TVenList>([](purchasing::TVenList& m) {
      EXPECT_EQ(m.StatusText(1), kPicking);
      m.RecBrowser1->RowDown();  // by name: Dockside Timber, then Eastern Rope
      m.RecBrowser1DblClick();
    });
    w.AddVendor1->trigger();

    ui.OnModal<products::TEditProd>([](products::TEditProd& m) {
      EXPECT_EQ(m.StatusPanel1->text(), kPicking);
      ProductRec wanted{};
      wanted.Code.Set("ROPE10");
      wanted.Description.Set("Rope 10 mm");
      wanted.KeyCode.Set("K7");
      m.ProdBrowser->BrowserGoToKey(BuildProductKey(wanted, products::ProductKeyNumber), 0);
      m.ProdBrowserDblClick();
    });
    w.FindProduct->click();
    EXPECT_EQ(products::CreateEditProd().StatusPanel1->text(), kBrowsing);

    // A manager closed without a pick adds nothing.
    ui.OnModal<customers::TDemoForm>([](customers::TDemoForm& m) { m.Close(); });
    w.AddOneClick();
    EXPECT_EQ(w.LabelList->topLevelItemCount(), 3);
    EXPECT_EQ(w.StatusLine->text(), "3 records are selected.");
    w.Close();
  });
  EXPECT_TRUE(ui.Done());
  // The product row carries the storage location, not the key code.
  EXPECT_EQ(LabelPrintQueue.Rows(),
            (std::vector<LabelQueueRow>{{"C2", "Bravo Boats", "WEST", "Trade", "C"},
                                        {"V2", "Eastern Rope", "", "Wood", "V"},
                                        {"ROPE10", "Rope 10 mm", "19.95", "Shelf 4", "P"}}));
}

// "Add to Label Queue" in each manager queues the highlighted record and says so in the manager's
// status and in the label wizard's; a product without a description is not queued. The queue the
// wizard saves holds every queued record in the file's fixed columns.
TEST_F(LabelWizardHooksTest, EachManagerSaysWhatItAddedToTheLabelQueueAndTheSavedQueueHoldsIt) {
  UiScript ui;
  struct Case {
    const char* manager;
    // Opens the manager, queues a record through its menu or pop-up item and gives the status.
    std::function<QString()> queue;
    QString said;  // empty: nothing queued, nothing said
  };
  const QString before = "(before)";
  // The product `down` rows below the first by code, queued with the menu or the pop-up item.
  auto queueProduct = [&](int down, QAction* products::TEditProd::*item) {
    QString status;
    ui.OnModal<products::TEditProd>([&](products::TEditProd& m) {
      m.Code1Click();
      m.ProdBrowser->FirstEntry();
      for (int row = 0; row < down; ++row) m.ProdBrowser->RowDown();
      m.StatusPanel1->setText(before);
      (m.*item)->trigger();
      status = m.StatusPanel1->text();
    });
    products::CreateEditProd().ShowModal();
    return status;
  };
  // The first record of a customer or vendor manager, queued with the menu or the pop-up item.
  auto queueFirst = [&]<class Manager>(Manager& (*create)(), QAction* Manager::*item) {
    QString status;
    ui.OnModal<Manager>([&](Manager& m) {
      m.RecBrowser1->FirstEntry();
      (m.*item)->trigger();
      status = m.StatusText(1);
    });
    create().ShowModal();
    return status;
  };
  const Case cases[] = {
      {"customers", [&] { return queueFirst(customers::CreateDemoForm, &customers::TDemoForm::AddtoLabelQueue1); },
       "Alpha Marine added to label queue."},  // the first by name
      {"vendors", [&] { return queueFirst(purchasing::CreateVenList, &purchasing::TVenList::AddtoLabelQueue2); },
       "Dockside Timber added to label queue."},
      {"product without a description",
       [&] { return queueProduct(0, &products::TEditProd::AddtoLabelQueue1); }, ""},  // AAA
      {"products", [&] { return queueProduct(1, &products::TEditProd::AddtoLabelQueue2); },
       "Anchor chain added to label queue."},  // CHAIN
  };
  int queued = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.manager);
    wizard_->StatusLine->setText(before);
    EXPECT_EQ(c.queue(), c.said.isEmpty() ? before : c.said);
    EXPECT_EQ(wizard_->StatusLine->text(), c.said.isEmpty() ? before : c.said);
    queued += c.said.isEmpty() ? 0 : 1;
    EXPECT_EQ(LabelPrintQueue.Count(), queued);
  }

  ui.ExpectSaveFile().Answer("queued.LST");
  wizard_->SavetoFileClick();
  EXPECT_TRUE(ui.Done());
  std::ifstream saved("queued.LST", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
  EXPECT_EQ(bytes,
            "C1       Alpha Marine                        EAST            Trade                     C\r\n"
            "V1       Dockside Timber                                     Wood                      V\r\n"
            "CHAIN    Anchor chain                        19.95           Shelf 4                   P\r\n");
}

TEST_F(LabelWizardHooksTest, PrintSetupOpensTheMainWindowsPrinterSetUp) {
  UiScript ui;
  ui.ExpectPrinterSetup().Cancel();
  WithWizard(ui, [](reports::Tlblwiz& w) {
    ASSERT_TRUE(w.PrintSetup->isEnabled());
    w.PrintSetup->click();
    w.Close();
  });
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace shell
