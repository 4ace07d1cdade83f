// The Product Manager: adding, editing, cloning and deleting through the dialog, the browser's
// rows, the product list, the printed sheet, the bar code check and picking for entry forms.

#include "products/product_manager.h"

#include <gtest/gtest.h>

#include <QTest>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "forms/find_box.h"
#include "forms/halt_program.h"
#include "forms/list_window.h"
#include "platform/files/fault_seam.h"
#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "products/price_change.h"
#include "products/product_barcode.h"
#include "products/product_dialog.h"
#include "products/product_report.h"
#include "products_fixture.h"
#include "records/product_file.h"
#include "records/system_reason.h"
#include "shell/main_form.h"
#include "shell/permissions_apply.h"
#include "shell/start_up.h"
#include "storage/posting_journal.h"

namespace products {

using namespace records;
using namespace forms;
using namespace shell;
namespace {

using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using testing_support::UiScript;

class ProductManagerTest : public test_fixtures::ProductsTest {
 protected:
  ~ProductManagerTest() override {
    if (EditProd && EditProd->isVisible()) EditProd->Close();
  }

  // The manager as the main window shows it, over the products filed so far.
  TEditProd& ShowManager() {
    TEditProd& manager = CreateEditProd();
    manager.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&manager));
    return manager;
  }

  // The code of the highlighted row.
  static std::string CurrentCode(TEditProd& manager) {
    EXPECT_TRUE(manager.ReadCurrentRow());
    return ProductBuf.Code.Get();
  }

  static void GoTo(TEditProd& manager, const std::string& code) {
    ProductRec wanted;
    wanted.Code.Set(code);
    ProductBuf = wanted;
    manager.GoToProduct(0);
    ASSERT_EQ(CurrentCode(manager), code);
  }
};

TEST_F(ProductManagerTest, AddingStoresTheDialogsProductWithTodayAndItsAutomaticPrice) {
  TEditProd& manager = ShowManager();
  UiScript ui;
  ui.OnModal<TUpdProd>([](TUpdProd& d) {
    EXPECT_EQ(d.Caption(), "Add Product");
    EXPECT_EQ(d.PCTMarkup->text(), "0.00");
    EXPECT_EQ(d.StockBal->text(), "0");
    EXPECT_EQ(d.BatchNum->text(), "1");
    EXPECT_TRUE(d.RBAutoPrice->isChecked());
    EXPECT_FALSE(ProductCodeBeforeEdit);
    d.ProdCode->setText("BOLT-10");
    d.ProdDesc->setText("Hex bolt 10 mm");
    d.EBPCost->setText("10.00");
    d.PCTMarkup->setText("50");
    d.PSell->setText("9.99");
    d.RBMarkUp->setChecked(true);
    d.Location->setText("Aisle 4");
    d.HoldSales->setChecked(true);
    d.OKBtnClick();
  });
  AddProduct();
  EXPECT_TRUE(ui.Done());

  std::optional<ProductRec> stored = StoredProduct("BOLT-10");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Description.Get(), "Hex bolt 10 mm");
  EXPECT_EQ(stored->PODescription.Get(), "Hex bolt 10 mm");
  EXPECT_EQ(stored->KeyCode.Get(), "*NONE*");
  EXPECT_EQ(stored->PricingMethod.Get(), "M");
  EXPECT_EQ(stored->PriceUpdateMode.Get(), "A");
  EXPECT_EQ(stored->Price.Get(), "15.00");
  EXPECT_EQ(stored->PreviousPrice.Get(), "9.99");
  EXPECT_EQ(stored->SetupDate.Get(), "03/05/2026");
  EXPECT_EQ(stored->Location.Get(), "Aisle 4");
  EXPECT_EQ(stored->HoldSales, 1);
  EXPECT_EQ(CurrentCode(manager), "BOLT-10");
  EXPECT_EQ(manager.StatusPanel0->text(), "Products: 1");

  UiScript cancel;
  cancel.OnModal<TUpdProd>([](TUpdProd& d) { d.ProdCloseClick(); });
  AddProduct();
  EXPECT_EQ(manager.StatusPanel0->text(), "Products: 1");
  EXPECT_TRUE(cancel.Done());
}

// No code on file is the new product's own, not even one that looks like a marker ("/", "0").
TEST_F(ProductManagerTest, AddingRefusesEveryCodeOnFileAndTheDialogKeepsWhatWasTyped) {
  const std::vector<std::pair<std::string, std::string>> onFile = {{"/", "Slash fitting"},
                                                                   {"0", "Zero fitting"}};
  for (const auto& [code, description] : onFile) FileProducts({Product(code, description)});
  TEditProd& manager = ShowManager();
  for (const auto& [code, description] : onFile) {
    SCOPED_TRACE(code);
    UiScript ui;
    ui.ExpectMessage(QString::fromStdString("This Product Code already exists for: " + description +
                                            ". You need a different product code."),
                     "Product Code");
    ui.OnModal<TUpdProd>([&, &code = code](TUpdProd& d) {
      d.ProdCode->setText(QString::fromStdString(code));
      d.ProdDesc->setText("Second fitting");
      d.OKBtnClick();  // refused
      EXPECT_TRUE(d.InModalState());
      EXPECT_EQ(d.ProdDesc->text(), "Second fitting");
      d.ProdCode->setText(QString::fromStdString(code + "-2"));
      d.OKBtnClick();
    });
    AddProduct();
    EXPECT_TRUE(ui.Done());
    ASSERT_TRUE(StoredProduct(code + "-2"));
    EXPECT_EQ(StoredProduct(code + "-2")->Description.Get(), "Second fitting");
    EXPECT_EQ(StoredProduct(code)->Description.Get(), description);
  }
  EXPECT_EQ(manager.StatusPanel0->text(), "Products: 4");
}

TEST_F(ProductManagerTest, EditingKeepsTheSetupDateAndItsOwnCodeButRefusesAnotherProductsCode) {
  ProductRec nut = Product("NUT-8", "Hex nut 8 mm");
  nut.Notes.Set("keep");
  FileProducts({Product("BOLT-10", "Hex bolt 10 mm"), nut});
  TEditProd& manager = ShowManager();
  GoTo(manager, "NUT-8");

  UiScript ui;
  ui.ExpectMessage("This Product Code already exists for: Hex bolt 10 mm. You need a different product code.",
                   "Product Code");
  ui.OnModal<TUpdProd>([](TUpdProd& d) {
    EXPECT_EQ(d.Caption(), "Edit Product");
    EXPECT_EQ(ProductCodeBeforeEdit, "NUT-8");
    EXPECT_EQ(d.ProdDesc->text(), "Hex nut 8 mm");
    d.ProdCode->setText("bolt-10");
    d.OKBtnClick();  // refused
    d.ProdCode->setText("nut-8");
    d.PSell->setText("0.35");
    d.OKBtnClick();  // its own code, in other letters
  });
  EditProduct();
  EXPECT_TRUE(ui.Done());

  std::optional<ProductRec> stored = StoredProduct("NUT-8");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Price.Get(), "0.35");
  EXPECT_EQ(stored->SetupDate.Get(), "01/15/2026");
  EXPECT_EQ(stored->ChangedDate.Get(), "03/05/2026");
  EXPECT_EQ(stored->Notes.Get(), "keep");
  EXPECT_EQ(CurrentCode(manager), "nut-8");
}

TEST_F(ProductManagerTest, ACloneIsANewProductWithNoStockAndThePricingOfItsSource) {
  ProductRec source = Product("PIPE-1", "Copper pipe");
  source.OnHand.Set("12");
  source.PricingMethod.Set("M");
  source.PriceUpdateMode.Set("M");
  source.ListPrice.Set("8.00");
  source.Cost.Set("5.00");
  source.BatchNumber.Set("3");
  FileProducts({source});
  TEditProd& manager = ShowManager();

  UiScript ui;
  ui.OnModal<TUpdProd>([](TUpdProd& d) {
    EXPECT_EQ(d.Caption(), "Add Product - Clone: PIPE-1");
    EXPECT_EQ(d.StockBal->text(), "0");
    EXPECT_TRUE(d.RBMarkUp->isChecked());
    EXPECT_TRUE(d.RBManualPr->isChecked());
    d.OKBtnClick();  // the source's own code is taken
    d.ProdCode->setText("PIPE-2");
    d.OKBtnClick();
  });
  ui.ExpectMessage("This Product Code already exists for: Copper pipe. You need a different product code.",
                   "Product Code");
  manager.PCloneClick();
  EXPECT_TRUE(ui.Done());

  std::optional<ProductRec> clone = StoredProduct("PIPE-2");
  ASSERT_TRUE(clone);
  EXPECT_EQ(clone->OnHand.Get(), "0");
  EXPECT_EQ(clone->PricingMethod.Get(), "M");
  EXPECT_EQ(clone->PriceUpdateMode.Get(), "M");
  EXPECT_EQ(clone->BatchNumber.Get(), "3");
  EXPECT_EQ(clone->SetupDate.Get(), "03/05/2026");
  EXPECT_EQ(StoredProduct("PIPE-1")->OnHand.Get(), "12");
}

// While a posting waits, it is refused before anything is said of the product.
TEST_F(ProductManagerTest, DeletingWarnsOfAStockBalanceAndAsksFirst) {
  ProductRec stocked = Product("GLUE", "Wood glue");
  stocked.OnHand.Set("4");
  FileProducts({stocked, Product("TAPE", "Duct tape")});
  TEditProd& manager = ShowManager();

  GoTo(manager, "GLUE");
  {
    UiScript waits;
    waits
        .ExpectMessage(
            "GLUE cannot be deleted now: invoice 1004 was interrupted and is not undone yet. Make 1C.DAT "
            "readable "
            "and start the program again.",
            "Delete Product")
        .Icon(platform::ui::MsgIcon::Warning);
    storage::KeepJournalWaiting("1", "invoice 1004", "Make 1C.DAT readable and start the program again.");
    DeleteProduct();
    storage::ForgetWaitingJournal("1");
    EXPECT_TRUE(waits.Done());
  }
  UiScript ui;
  ui.ExpectMessage(
      "This product has a stock balance. If you remove this product the stock balance will also be removed.",
      "Please Note - Code: GLUE");
  ui.ExpectMessage("Are you sure you want to delete this product?", "Delete Product Code: GLUE").Answer(mrNo);
  DeleteProduct();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(StoredProduct("GLUE"));

  GoTo(manager, "TAPE");
  UiScript confirm;
  confirm.ExpectMessage("Are you sure you want to delete this product?", "Delete Product Code: TAPE")
      .Answer(mrYes);
  DeleteProduct();
  EXPECT_TRUE(confirm.Done());
  EXPECT_FALSE(StoredProduct("TAPE"));
  EXPECT_EQ(manager.StatusPanel0->text(), "Products: 1");
}

TEST_F(ProductManagerTest, ShowingAgainReturnsToTheLastProductAndTheKeysWorkTheRow) {
  std::vector<ProductRec> products;
  for (int n = 10; n < 70; ++n)
    products.push_back(Product("P" + std::to_string(n), "Item " + std::to_string(n)));
  FileProducts(products);
  TEditProd& manager = ShowManager();
  GoTo(manager, "P55");
  manager.Close();
  ShowManager();
  EXPECT_EQ(CurrentCode(manager), "P55");

  UiScript ui;
  ui.ExpectMessage("Are you sure you want to delete this product?", "Delete Product Code: P55").Answer(mrNo);
  QTest::keyClick(manager.ProdBrowser, Qt::Key_Delete);
  ui.OnModal<TUpdProd>([](TUpdProd& d) {
    EXPECT_EQ(d.ProdCode->text(), "P55");
    d.ProdCloseClick();
  });
  QTest::keyClick(manager.ProdBrowser, Qt::Key_Return);
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(StoredProduct("P55"));
}

TEST_F(ProductManagerTest, FindMovesTheBrowserToTheProductChosen) {
  ProductRec anchor = Product("B-1", "Anchor");
  anchor.PreferredVendor.Set("Marine Depot");
  FileProducts({Product("A-1", "Zinc plate"), anchor, Product("C-1", "Cleat")});
  TEditProd& manager = ShowManager();
  UiScript ui;
  ui.OnModal<TFindBox>([](TFindBox& f) {
    EXPECT_EQ(f.Caption(), "Find Product");
    f.FindText->setText("marine");
    f.FindButtonClick();
    ASSERT_EQ(f.ListView1->topLevelItemCount(), 1);
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(0));
    f.ListView1DblClick();
  });
  manager.FindClick();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(CurrentCode(manager), "B-1");
}

// A product file the system refuses to open is named with the system's reason, as the other
// managers name theirs; the program then ends as for any failed open.
TEST_F(ProductManagerTest, AProductFileThatCannotBeOpenedIsNamedAndEndsTheProgram) {
  ASSERT_TRUE(std::filesystem::exists("1P.DAT"));
  std::filesystem::permissions("1P.DAT", std::filesystem::perms::none);
  UiScript ui;
  ui.ExpectMessage(
      "Unable to open product database\n\nThe file 1P.DAT could not be opened: Permission denied.",
      "Product Manager");
  {
    testing_support::PermissionsApply asAUser;
    CreateEditProd().Show();
  }
  std::filesystem::permissions("1P.DAT",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(ProgramHalted());
  QTRY_VERIFY(!EditProd->isVisible());
}

TEST_F(ProductManagerTest, AProductFileLeftUnrepairedEndsTheProgram) {
  std::filesystem::remove("1P.IX");
  UiScript ui;
  ui.ExpectMessage("Index file is defective.  Rebuild?", "Products").Answer(platform::ui::mrNo);
  ui.ExpectMessage(
      "Unable to open product database\n\nThe file 1P.IX could not be opened: No such file or directory.",
      "Product Manager");
  CreateEditProd().Show();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(ProgramHalted());
  EXPECT_EQ(ProgramExitCode(), 1);
  QTRY_VERIFY(!EditProd->isVisible());
}

TEST_F(ProductManagerTest, RowsShowEveryColumnAndADamagedRecordForWhatItIs) {
  ProductRec p = Product("BOLT-10", "Hex bolt 10 mm", "1234.5");
  p.OnHand.Set("1234.5");
  p.KeyCode.Set("HB");
  const std::string row = ProductBrowserRow(p);
  EXPECT_EQ(row.size(), 128u);
  const std::string columns = std::string("BOLT-10        ") + " " + "   1,234.500" + " " + "HB        " +
                              " " + "Hex bolt 10 mm                  " + " A F " + "    1,234.50" + " " +
                              "01/15/2026";
  EXPECT_EQ(row.substr(0, columns.size()), columns);
  EXPECT_EQ(row.find_last_not_of(' '), columns.size() - 1);
  const std::string heading = std::string("Product Code   ") + " " + "    In Stock" + " " + "Key Code  " +
                              " " + "Invoice Description             " + " P T " + " Sales Price" + " " +
                              "Setup Date";
  EXPECT_EQ(ProductBrowserHeading().substr(0, heading.size()), heading);

  p.OnHand.Set("");
  const std::string bad = std::string("BAD RECORD     ") + " " + "       0.000" + " " + "HB        " + " " +
                          "DELETE THIS RECORD              " + " A F ";
  EXPECT_EQ(ProductBrowserRow(p).substr(0, bad.size()), bad);
}

TEST_F(ProductManagerTest, TheKeyMenuSwitchesTheOrderAndKeepsTheProduct) {
  ProductRec a = Product("A-1", "Zinc plate");
  ProductRec b = Product("B-1", "Anchor");
  a.KeyCode.Set("K2");
  b.KeyCode.Set("K1");
  FileProducts({a, b});
  TEditProd& manager = ShowManager();
  manager.ProdBrowser->FirstEntry();
  EXPECT_EQ(CurrentCode(manager), "A-1");
  manager.ByDescription1Click();
  EXPECT_EQ(ProductKeyNumber, 2);
  EXPECT_TRUE(manager.ByDescription1->isChecked());
  EXPECT_FALSE(manager.Code1->isChecked());
  EXPECT_EQ(CurrentCode(manager), "A-1");
  manager.ProdBrowser->FirstEntry();
  EXPECT_EQ(CurrentCode(manager), "B-1");
  manager.ByKeyCode1Click();
  manager.ProdBrowser->LastEntry();
  EXPECT_EQ(CurrentCode(manager), "A-1");
  manager.Code1Click();
  EXPECT_EQ(ProductKeyNumber, 1);
}

// With more products than the window shows, the highlighted one stays highlighted through every
// change of order, wherever it stands in the new one.
TEST_F(ProductManagerTest, CompanyCaptionAndEveryOrderKeepingTheHighlightedProductOfALongList) {
  std::vector<ProductRec> products;
  for (int i = 0; i < 120; ++i) {
    ProductRec p = Product("P" + std::to_string(1000 + i), "Part " + std::to_string(1000 + (i * 37) % 120));
    p.KeyCode.Set("K" + std::to_string(1000 + (i * 53) % 120));
    products.push_back(p);
  }
  FileProducts(products);
  CurrentCompany.EditorFontName.Set("Liberation Serif");
  CurrentCompany.EditorFontColor.Set(0x0000FF);  // red, as Windows writes colours
  TEditProd& manager = ShowManager();
  // The company caption in the company's editor font and colour, as the Customer Manager has it.
  EXPECT_EQ(manager.Label1->font().family(), "Liberation Serif");
  EXPECT_EQ(manager.Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
  for (const std::string code : {"P1017", "P1100", "P1003"}) {
    GoTo(manager, code);
    manager.ByDescription1Click();
    EXPECT_EQ(CurrentCode(manager), code);
    manager.ByKeyCode1Click();
    EXPECT_EQ(CurrentCode(manager), code);
    manager.Code1Click();
    EXPECT_EQ(CurrentCode(manager), code);
  }
}

TEST_F(ProductManagerTest, TheListHasFiveLinesPerDescribedProductInTheChosenOrder) {
  ProductRec b = Product("B-1", "Anchor", "1234.5");
  b.TaxOnInvoice = 1;
  b.Location.Set("Yard");
  b.OnHand.Set("7");
  FileProducts({Product("A-1", "Zinc plate"), b});
  TEditProd& manager = ShowManager();
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(AddProductRecord(Product("C-1", ""), ref));

  const std::vector<std::string> byCode = ProductListLines(1);
  ASSERT_EQ(byCode.size(), 13u);
  EXPECT_EQ(byCode[0], "Product List for Harbour Supplies");
  EXPECT_EQ(byCode[1], "Date: Thursday, March 5, 2026, 02:07 PM");
  EXPECT_EQ(byCode[2], std::string(80, '-'));
  EXPECT_EQ(byCode[3].substr(0, 36), "Zinc plate                          ");
  EXPECT_EQ(byCode[8], "Anchor                              Code: B-1           Price: 1,234.50    ");
  EXPECT_EQ(byCode[9], "Setup Date: 01/15/2026      Last Modified: " + std::string(10, ' ') + "   Taxed: Y");
  EXPECT_EQ(byCode[10], "Location: Yard                      Key Code: *NONE*       Type: F");
  EXPECT_EQ(byCode[11], "Pricing: A  Non-Stock: N  Non-Deplete: N  In Stock: 7  Batch# 1");
  const std::vector<std::string> byDescription = ProductListLines(2);
  EXPECT_EQ(byDescription[3].substr(0, 6), "Anchor");

  UiScript ui;
  ui.ExpectMessage("The products will be sorted by description. Would you rather sort by product code?",
                   "Product List")
      .Answer(platform::ui::mrCancel);
  manager.ProdListButnClick();
  EXPECT_TRUE(ui.Done());

  UiScript shown;
  shown
      .ExpectMessage("The products will be sorted by description. Would you rather sort by product code?",
                     "Product List")
      .Answer(mrYes);
  shown.OnModal<TListWindow>([](TListWindow& list) {
    EXPECT_EQ(list.Caption(), "Product List by Code");
    EXPECT_EQ(list.Lines().size(), 13u);
    list.Close();
  });
  manager.ProdListButnClick();
  EXPECT_TRUE(shown.Done());
  EXPECT_EQ(ListWindowFileName, "Product");
}

// A list of what was read before a failure would pass for the whole: a product file that cannot
// be read gives no list but the file and the reason, at each of the list's reads failing.
TEST_F(ProductManagerTest, TheProductListSaysWhichFileItCannotReadAndListsNothing) {
  FileProducts({Product("A-1", "Zinc plate"), Product("B-1", "Anchor")});
  auto listWithReadFailing = [](int number) {
    platform::files::InstallFaultPlan(
        {.Errno = EIO,
         .OnRead = number ? platform::files::FaultAction::Fail : platform::files::FaultAction::None,
         .ReadNumber = number});
    std::string failure;
    try {
      EXPECT_EQ(ProductListLines(2).size(), 13u);
    } catch (const records::FileUnusable& unusable) {
      failure = unusable.what();
    }
    const int reads = platform::files::FaultReadsSoFar();
    platform::files::RemoveFaultPlan();
    return std::pair{reads, failure};
  };
  const auto [reads, none] = listWithReadFailing(0);
  EXPECT_EQ(none, "");
  ASSERT_GT(reads, 0);
  for (int number = 1; number <= reads; ++number)
    EXPECT_EQ(listWithReadFailing(number).second,
              std::string("The file 1P.DAT cannot be read now: ") + std::strerror(EIO) + ".")
        << "read " << number;
}

TEST_F(ProductManagerTest, PrintingPutsTheProductOnOnePageAndSaysSo) {
  ProductRec p = Product("BOLT-10", "Hex bolt 10 mm");
  p.PricingMethod.Set("G");
  p.Percentage.Set("25");
  p.PriceUpdateMode.Set("M");
  p.BatchNumber.Set("2");
  p.Notes.Set("first line\r\nsecond line");
  FileProducts({p});
  CurrentCompany.FormLeftMargin.Set("50");
  CurrentCompany.FormTopMargin.Set("30");
  TEditProd& manager = ShowManager();
  auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
  auto* log = backend.get();
  platform::print::ScopedPrintBackend scoped(std::move(backend));
  manager.Print1Click();
  const QStringList& calls = log->Log();
  ASSERT_FALSE(calls.isEmpty());
  EXPECT_TRUE(calls.first().startsWith("BeginDoc(\"Print: BOLT-10\""));
  EXPECT_EQ(calls.last(), "EndDoc");
  EXPECT_TRUE(calls[1].startsWith("TextOut(100, 120, \"Product Code: BOLT-10\")")) << calls[1].toStdString();
  const QString all = calls.join("\n");
  for (const char* text :
       {"\"Price Type: margin from cost (25)\"", "\"Price Update Method:  (manual on batch 2)\"",
        "\"Taxable on PO: No\"", "\"first line\"", "\"second line\"",
        "\"Printed: Thursday, March 5, 2026, 02:07 PM\"", "\"Invoice Description: Hex bolt 10 mm\""})
    EXPECT_TRUE(all.contains(text)) << text;
  EXPECT_EQ(all.count("NewPage"), 0);
  EXPECT_EQ(manager.StatusPanel1->text(), "Product: BOLT-10 sent to printer.");
}

TEST_F(ProductManagerTest, ValidateBarCodeSaysWhetherTheCodePrintsInTheCompanysSymbology) {
  FileProducts({Product("036000291452", "Cereal"), Product("12345", "Short")});
  CurrentCompany.BarCodeType.Set("U");
  TEditProd& manager = ShowManager();
  GoTo(manager, "036000291452");
  UiScript ui;
  ui.ExpectMessage("This is a valid Product Code for Bar Coding.", platform::ui::Application->Title);
  manager.ValidateBarCode1Click();
  const std::string error = ProductBarCodeError("12345", "U");
  ASSERT_FALSE(error.empty());
  ui.ExpectMessage(QString::fromStdString(error), "Bar Code Error");
  GoTo(manager, "12345");
  manager.ValidateBarCode1Click();
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProductManagerTest, WhileAnEntryFormPicksADoubleClickReturnsTheProductAndCloses) {
  FileProducts({Product("A-1", "Zinc plate"), Product("B-1", "Anchor")});
  QWidget invoiceEntry;
  AddProductPicker(&invoiceEntry);
  invoiceEntry.show();
  ProductPickMode = 1;
  ProductPickStart = Product("B-1", "");
  ProductPickResult = 0;
  TEditProd& manager = ShowManager();
  EXPECT_EQ(CurrentCode(manager), "B-1");
  manager.ProdBrowserDblClick();
  EXPECT_EQ(ProductPickResult, 8);
  EXPECT_EQ(SelectedProduct.Description.Get(), "Anchor");
  EXPECT_FALSE(manager.isVisible());
  RemoveProductPicker(&invoiceEntry);
  ProductPickMode = 0;

  // Without a picker a double-click edits.
  ShowManager();
  UiScript ui;
  ui.OnModal<TUpdProd>([](TUpdProd& d) {
    EXPECT_EQ(d.Caption(), "Edit Product");
    d.ProdCloseClick();
  });
  EditProd->ProdBrowserDblClick();
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProductManagerTest, TheMainWindowOpensTheManagerAndThePriceWizard) {
  CreateMainForm();
  EXPECT_TRUE(MainForm->ProductManager1->isEnabled());
  EXPECT_TRUE(MainForm->PriceChange1->isEnabled());
  UiScript ui;
  ui.OnModal<TEditProd>([](TEditProd& manager) {
    EXPECT_EQ(manager.Caption(), "Product Manager");
    EXPECT_EQ(manager.StatusPanel0->text(), "Products: 0");
    manager.Close();
  });
  ui.OnModal<TPriceChg>([](TPriceChg& wizard) {
    EXPECT_EQ(wizard.Label1->text(), "Last Price Change: 01/02/2026");
    wizard.InvCloseClick();
  });
  MainForm->SpeedButton4->click();
  MainForm->CalcPrices->click();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(ProductFile, nullptr);
}

}  // namespace
}  // namespace products
