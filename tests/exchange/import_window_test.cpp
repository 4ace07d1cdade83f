#include <gtest/gtest.h>

#include <QHeaderView>
#include <map>
#include <set>

#include "customers/customer_manager.h"
#include "exchange/customer_import_window.h"
#include "exchange/import_verify_dialog.h"
#include "exchange/product_import_window.h"
#include "exchange/vendor_import_window.h"
#include "forms/run_state.h"
#include "import_fixture.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "products/product_manager.h"
#include "purchasing/vendor_manager.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "support/live_records.h"
#include "support/resource_limit.h"

namespace exchange {
namespace {

using namespace records;
using platform::ui::Application;
using testing_support::UiScript;

constexpr char CompleteText[] = "Import Complete. Now we need to rebuild the data files.";

class ImportWindowTest : public test_fixtures::ImportTest {
 protected:
  QString File(const std::string& name, const std::string& bytes) const {
    return QString::fromStdString(WriteFile(name, bytes));
  }
  // Opens the file through the window's "Open File" button.
  static void Open(UiScript& ui, TImportWindow& window, const QString& path) {
    ui.ExpectOpenFile()
        .Inspect([](const platform::ui::FileDialogRequest& request) {
          EXPECT_EQ(request.filter, "Text files (*.txt)|*.txt|All files (*.*)|*.*");
          EXPECT_EQ(request.filterIndex, 1);
        })
        .Answer(path);
    window.Button1Click();
  }
  // Opens the file and asks for the import, which is refused: the file stays loaded, the window open.
  static void OpenAndImportRefused(UiScript& ui, TImportWindow& window, const QString& path,
                                   std::size_t lines) {
    Open(ui, window, path);
    window.Button2Click();
    EXPECT_EQ(window.Memo1.size(), lines);
    EXPECT_TRUE(window.InModalState());
  }
  static std::vector<std::string> Titles(const TImportWindow& window) {
    std::vector<std::string> titles;
    const QHeaderView* header = window.StringGrid1->horizontalHeader();
    for (int col = 0; col < ImportColumns; ++col)
      titles.push_back(
          window.StringGrid1->horizontalHeaderItem(header->logicalIndex(col))->text().toStdString());
    return titles;
  }
};

TEST_F(ImportWindowTest, CustomersImportedFromTheManagerAreThereAfterItsRebuild) {
  FileCustomers({Customer("7", "Acme Tool Supply")});
  const QString path = File("cust.txt",
                            "\"Acme Tool Supply\",,\"1 Main St\",Springfield,,,,,,,555-0100\r\n"
                            "\"Baker & Sons\",B-1\r\n"
                            "Carter\r\n");
  UiScript ui;
  forms::RebuildNeeded = 1;  // left from nothing: the item starts afresh
  ui.OnModal<customers::TDemoForm>([](customers::TDemoForm& m) { m.ImportfromTextFile1->trigger(); });
  ui.OnModal<TCustImp>([&](TCustImp& w) {
    EXPECT_EQ(w.Caption(), "Customer Import");
    EXPECT_EQ(forms::RebuildNeeded, 0);
    EXPECT_EQ(w.Label1->text(), "<--- Select a comma-quote delimited import file...");
    EXPECT_FALSE(w.Button2->isEnabled());
    EXPECT_FALSE(w.ForceShip->isChecked());
    EXPECT_EQ(Titles(w).front(), "Customer Name");
    EXPECT_EQ(w.StringGrid1->columnWidth(0), 143);
    Open(ui, w, path);
    EXPECT_EQ(w.Label1->text(), path + " - 3 records.");
    EXPECT_TRUE(w.Button2->isEnabled());
    EXPECT_EQ(w.Cell(0, 2), "Baker & Sons");
    EXPECT_EQ(w.Cell(10, 1), "555-0100");
    w.Button2Click();
  });
  ui.OnModal<TImpShow>([](TImpShow& d) {
    EXPECT_EQ(d.Caption(), "Import Customers");
    EXPECT_EQ(d.Label1->text(), "Customer Name:");
    EXPECT_EQ(d.Label2->text(), "Acme Tool Supply");
    EXPECT_EQ(d.Label5->text(), "Will be assigned.");
    EXPECT_EQ(d.Label8to11[0]->text(), "1 Main St");
    EXPECT_EQ(d.Label13to16[0]->text(), "");
    EXPECT_EQ(d.Label18to28[0]->text(), "555-0100");
    d.YesButton->click();
  });
  ui.ExpectMessage(CompleteText, Application->Title);
  EXPECT_EQ(customers::CreateDemoForm().ShowModal(), platform::ui::mrCancel);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(forms::RebuildNeeded, 0);  // the manager's close rebuilt

  std::map<std::string, std::string> stored;
  for (const CustomerRec& c : CustomersByName()) stored[c.CustomerNo.Get()] = c.CustomerName.Get();
  EXPECT_EQ(stored, (std::map<std::string, std::string>{{"7", "Acme Tool Supply"},
                                                        {"1002", "Acme Tool Supply 1002"},
                                                        {"B-1", "Baker & Sons"},
                                                        {"1003", "Carter"}}));
}

TEST_F(ImportWindowTest, VendorsImportedFromTheManagerAreThereAfterItsRebuild) {
  const QString path = File("vend.txt", "\"Parts Depot\",,\"9 Mill Rd\"\n\"Bolt Works\",V-7\n");
  UiScript ui;
  forms::RebuildNeeded = 0;
  ui.OnModal<purchasing::TVenList>([](purchasing::TVenList& m) { m.ImportfromTextFile1->trigger(); });
  ui.OnModal<TVendImp>([&](TVendImp& w) {
    EXPECT_EQ(w.Caption(), "Vendor Import");
    EXPECT_EQ(Titles(w)[0], "Vendor Name");
    Open(ui, w, path);
    w.Button2Click();
  });
  ui.OnModal<TImpShow>([](TImpShow& d) {
    EXPECT_EQ(d.Caption(), "Verify Vendor Import Record");
    EXPECT_EQ(d.Label1->text(), "Vendor Name:");
    EXPECT_EQ(d.Label2->text(), "Parts Depot");
    EXPECT_EQ(d.Label8to11[0]->text(), "9 Mill Rd");
    d.YesButton->click();
  });
  ui.ExpectMessage(CompleteText, Application->Title);
  purchasing::CreateVenList().ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(forms::RebuildNeeded, 0);
  std::map<std::string, std::string> stored;
  ASSERT_TRUE(OpenVendorFile());
  ForEachRecordByKey<VendorRec>(VendorFile, 1,
                                [&](const VendorRec& v) { stored[v.VendorNo.Get()] = v.VendorName.Get(); });
  storage::IsamCloseFileBlock(VendorFile);
  EXPECT_EQ(stored, (std::map<std::string, std::string>{{"5002", "Parts Depot"}, {"V-7", "Bolt Works"}}));
}

TEST_F(ImportWindowTest, DraggingAColumnMovesItsDataUnderAnotherTitle) {
  const QString path = File("swapped.txt", "1001,\"Acme Tools\",\"1 Main St\"\n");
  UiScript ui;
  TCustImp& w = CreateCustImp();
  ui.OnModal<TCustImp>([&](TCustImp& window) {
    Open(ui, window, path);
    EXPECT_EQ(window.Cell(0, 1), "1001");
    window.StringGrid1->horizontalHeader()->moveSection(1, 0);  // the names' column dragged to the front
    EXPECT_EQ(Titles(window)[0], "Customer Name");
    EXPECT_EQ(Titles(window)[1], "Number");
    EXPECT_EQ(window.Cell(0, 1), "Acme Tools");
    EXPECT_EQ(window.Cell(1, 1), "1001");
    EXPECT_EQ(window.Cell(2, 1), "1 Main St");
    window.ForceShip->setChecked(true);
    window.Button2Click();
  });
  ui.OnModal<TImpShow>([](TImpShow& d) {
    EXPECT_EQ(d.Label2->text(), "Acme Tools");
    EXPECT_EQ(d.Label5->text(), "1001");
    EXPECT_EQ(d.Label13to16[0]->text(), "1 Main St");  // forced from the billing address
    d.YesButton->click();
  });
  ui.ExpectMessage(CompleteText, Application->Title);
  ASSERT_TRUE(OpenCustomerFile());  // as the manager would hold it
  w.ShowModal();
  storage::IsamCloseFileBlock(CustomerFile);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(forms::RebuildNeeded, 1);
  const std::vector<CustomerRec> onDisk = CustomersOnDisk();
  ASSERT_EQ(onDisk.size(), 1u);
  EXPECT_EQ(onDisk[0].CustomerName.Get(), "Acme Tools");
  EXPECT_EQ(onDisk[0].CustomerNo.Get(), "1001");
  EXPECT_EQ(onDisk[0].ShipTo1.Get(), "1 Main St");
  forms::RebuildNeeded = 0;
}

// A UTF-8 file keeps its accented letters; a line with a letter the data files cannot hold is
// told by line and column and stays out of the import.
TEST_F(ImportWindowTest, Utf8LettersArriveWholeAndUnheldLinesStayOut) {
  const QString path = File("utf8.txt",
                            "\"Z\xC5\x82ota Kaczka\",1001\n"
                            "\"Caf\xC3\xA9 M\xC3\xBCller\",1002\n");
  UiScript ui;
  TCustImp& w = CreateCustImp();
  ui.OnModal<TCustImp>([&](TCustImp& window) {
    Open(ui, window, path);
    EXPECT_EQ(window.Cell(0, 2), "Caf\xE9 M\xFCller");
    window.Button2Click();
  });
  ui.ExpectMessage(
        "These characters cannot be stored in the data files:\nLine 1, column 3: \"\u0142\"\n\nThe lines "
        "that "
        "hold them will not be imported. Mend them in the file and open it again.",
        "Import")
      .Icon(platform::ui::MsgIcon::Warning);
  ui.OnModal<TImpShow>([](TImpShow& d) {
    EXPECT_EQ(d.Label2->text(), QString::fromUtf8("Caf\u00e9 M\u00fcller"));
    d.YesButton->click();
  });
  ui.ExpectMessage(CompleteText, Application->Title);
  ASSERT_TRUE(OpenCustomerFile());
  w.ShowModal();
  storage::IsamCloseFileBlock(CustomerFile);
  EXPECT_TRUE(ui.Done());
  const std::vector<CustomerRec> onDisk = CustomersOnDisk();
  ASSERT_EQ(onDisk.size(), 1u);
  EXPECT_EQ(onDisk[0].CustomerName.Get(), "Caf\xE9 M\xFCller");
  forms::RebuildNeeded = 0;
}

TEST_F(ImportWindowTest, OpeningFilesEmptiesTheGridAndRefusesWhatHoldsNoRecords) {
  const QString wide = File("wide.txt", "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r\nx,y\n");
  const QString narrow = File("narrow.txt", "one");
  const QString empty = File("empty.txt", "");
  const QString missing = QString::fromStdString(dir_.File("missing.txt"));
  UiScript ui;
  ui.OnModal<TCustImp>([&](TCustImp& w) {
    Open(ui, w, wide);
    EXPECT_EQ(w.StringGrid1->rowCount(), 2);
    EXPECT_EQ(w.Cell(15, 1), "p");  // items past the 16th are dropped
    EXPECT_EQ(w.Cell(2, 2), "");
    Open(ui, w, narrow);
    EXPECT_EQ(w.StringGrid1->rowCount(), 1);
    EXPECT_EQ(w.Cell(0, 1), "one");
    EXPECT_EQ(w.Cell(1, 1), "");  // nothing of the earlier file is left
    Open(ui, w, empty);
    EXPECT_EQ(w.Label1->text(), empty + " - 0 records.");
    EXPECT_FALSE(w.Button2->isEnabled());
    EXPECT_EQ(w.Cell(0, 1), "");
    Open(ui, w, missing);
    EXPECT_FALSE(w.Button2->isEnabled());
    ui.ExpectOpenFile().Cancel();
    w.Button1Click();  // cancelled: nothing changes
    EXPECT_EQ(w.Label1->text(), missing + " - 0 records.");
    w.Button2Click();  // nothing loaded: nothing happens
  });
  ui.ExpectMessage("No records to import", Application->Title);
  ui.ExpectMessage("Selected file is not in the correct format. See the online help for details.",
                   Application->Title);
  ui.ExpectMessage("No records to import", Application->Title);
  CreateCustImp().ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(CustomersOnDisk().empty());
}

TEST_F(ImportWindowTest, AnsweringNoInTheVerifyDialogWritesNothing) {
  const QString path = File("one.txt", "\"Acme Tools\",55\n");
  UiScript ui;
  ui.OnModal<TCustImp>([&](TCustImp& w) {
    OpenAndImportRefused(ui, w, path, 1);
    EXPECT_EQ(w.Cell(0, 1), "Acme Tools");
  });
  ui.OnModal<TImpShow>([](TImpShow& d) {
    EXPECT_EQ(d.Label5->text(), "55");
    d.NoButton->click();
  });
  ASSERT_TRUE(OpenCustomerFile());
  CreateCustImp().ShowModal();
  storage::IsamCloseFileBlock(CustomerFile);
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(CustomersOnDisk().empty());
  EXPECT_EQ(forms::RebuildNeeded, 0);
}

TEST_F(ImportWindowTest, ProductsImportedFromTheManagerAreThereAfterItsRebuild) {
  FileProducts({Product("W-1", "On file")});
  const QString path =
      File("prod.txt", "W-1,\"Repeated code\"\r\n,\"No code\",\"PO text\"\r\nW-2,Widget,,Y,,,,9.99\r\n");
  UiScript ui;
  ui.OnModal<TProdImport>([&](TProdImport& w) {
    EXPECT_EQ(w.Caption(), "Product Import");
    EXPECT_TRUE(w.CheckBox1->isChecked());
    EXPECT_EQ(Titles(w)[1], "Invoice Line-Item Description");
    // Each column is as wide as its title and one "X".
    EXPECT_EQ(w.StringGrid1->columnWidth(3), QFontMetrics(w.font()).horizontalAdvance("Inv. TaxX"));
    w.CheckBox1->setChecked(false);
    Open(ui, w, path);
    w.Button2Click();
  });
  ui.ExpectMessage(CompleteText, Application->Title);
  products::TEditProd& manager = products::CreateEditProd();
  manager.Show();
  manager.ImportfromTextFile1->trigger();
  EXPECT_FALSE(manager.isVisible());  // the import closed the manager, which rebuilt the file
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(forms::RebuildNeeded, 0);
  std::map<std::string, std::string> stored;
  for (const ProductRec& p : ProductsByCode())
    stored[p.Code.Get()] = p.Description.Get() + "|" + p.PODescription.Get() + "|" + p.Price.Get() + "|" +
                           std::to_string(p.TaxOnInvoice);
  EXPECT_EQ(stored, (std::map<std::string, std::string>{{"W-1", "On file|||0"},
                                                        {"DUP2", "Repeated code||0.00|0"},
                                                        {"3", "No code|PO text|0.00|0"},
                                                        {"W-2", "Widget||9.99|1"}}));
}

TEST_F(ImportWindowTest, AProductNumberTooLongForItsFieldRefusesTheFile) {
  const QString path = File("prod.txt", "W-1,Widget,,,,,,9.99\r\nW-2,Gadget,,,,,,12345678.99\r\n");
  UiScript ui;
  ui.OnModal<TProdImport>([&](TProdImport& w) { OpenAndImportRefused(ui, w, path, 2); });
  ui.ExpectMessage(
      "Line 2, column \"Sales Price\": 12345678.99 is longer than the field's 10 characters. "
      "Nothing was imported; correct the file and open it again.",
      "Product Import");
  ASSERT_TRUE(OpenProductFile());
  CreateProdImport().ShowModal();
  storage::IsamCloseFileBlock(ProductFile);
  EXPECT_TRUE(ui.Done());
  ASSERT_TRUE(RebuildProductFile());  // would index any record appended without keys
  EXPECT_TRUE(ProductsByCode().empty());
  EXPECT_EQ(forms::RebuildNeeded, 0);
}

// The product file meets the most a file may grow to while the import's records go out: the user
// is told once why, and that nothing of the import was kept; the file stays loaded, and once the
// file may grow the import is done whole, once.
TEST_F(ImportWindowTest, AnImportThatFailsKeepsNothingSaysWhyAndCanBeDoneAgain) {
  FileProducts({Product("W-1", "On file")});
  constexpr int rows = 2000;  // 1.2 MB of records
  std::string lines;
  for (int row = 1; row <= rows; ++row)
    lines += "P" + std::to_string(row) + ",\"Product " + std::to_string(row) + "\"\n";
  const QString path = File("prod.txt", lines);
  UiScript ui;
  ui.OnModal<TProdImport>([&](TProdImport& w) {
    Open(ui, w, path);
    {
      // The posting journal's first megabyte fits; the product file cannot take every record.
      const testing_support::FileSizeLimit limit((1 << 20) + (128 << 10));
      w.Button2Click();
    }
    EXPECT_EQ(w.Label1->text(), "Nothing was imported.");
    EXPECT_EQ(w.Memo1.size(), size_t{rows});
    EXPECT_EQ(testing_support::LiveRecords(dir_.File("12P.DAT")).size(), 1u);
    w.Button2Click();
  });
  ui.ExpectMessage(
        "The posting (the import of products) could not be completed: A data file could not be written: "
        "12P.DAT: File too large.\n\nNothing of it was kept.",
        "Product Import")
      .Icon(platform::ui::MsgIcon::Error);
  ui.ExpectMessage(CompleteText, Application->Title);
  products::TEditProd& manager = products::CreateEditProd();
  manager.Show();
  manager.ImportfromTextFile1->trigger();
  EXPECT_TRUE(ui.Done());
  std::set<std::string> codes;
  for (const ProductRec& p : ProductsByCode()) codes.insert(p.Code.Get());
  EXPECT_EQ(codes.size(), size_t{rows + 1});
  EXPECT_TRUE(codes.contains("W-1") && codes.contains("P1") && codes.contains("P2000"));
}

}  // namespace
}  // namespace exchange
