#include "customers/customer_manager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QWidget>
#include <functional>

#include "customer_fixture.h"
#include "customers/customer_actions.h"
#include "customers/edit_dlg.h"
#include "exchange/record_export_dialog.h"
#include "forms/find_box.h"
#include "forms/list_window.h"
#include "forms/run_state.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "platform/text/clock.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"
#include "reports/label_queue.h"
#include "storage/posting_journal.h"
#include "support/recording_printer.h"
#include "support/whole_window.h"

namespace customers {

using namespace records;
using namespace forms;
namespace {

using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using testing_support::UiScript;

class CustomerManagerTest : public test_fixtures::CustomerFixture {
 protected:
  static platform::ui::TModalResult ShowManager() { return CreateDemoForm().ShowModal(); }
  // The customer of the highlighted row (the record buffer holds the row built last).
  static CustomerRec Highlighted(TDemoForm& m) {
    int32_t status = 0;
    EXPECT_EQ(m.RecBrowser1->BrowserReadCurrent(status), 0);
    return m.CustRec;
  }
};

TEST_F(CustomerManagerTest, AddStoresTheDialogsCustomerAndAdvancesTheNextNumber) {
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    EXPECT_EQ(m.Label1->text(), "Acme Supply - #12");
    m.NewCustButnClick();
    EXPECT_EQ(Highlighted(m).CustomerName.Get(), "Acme Tools");  // the browser is on the new customer
    EXPECT_EQ(m.StatusText(0), "Customers: 1");
  });
  ui.OnModal<TEditDlg>([](TEditDlg& d) {
    EXPECT_EQ(d.Caption(), "Add Customer");
    EXPECT_EQ(d.CNo->text(), "1001");
    EXPECT_EQ(d.CBal->text(), "0.00");
    EXPECT_EQ(d.CTE->text(), "N");
    EXPECT_EQ(d.CLimit->text(), "0.00");
    EXPECT_EQ(d.CTerms->currentText(), "Net 30 Days");
    d.CName->setText("Acme Tools");
    d.CustType->setText("Retail");
    d.CTE->setText("y");
    d.CLimit->setText("1,500.00");
    d.CheckBox1->setChecked(true);
    d.CAdd1Edit->setText("1 Main Street");
    d.CAdd2Edit->setText("Springfield");
    EXPECT_EQ(d.CShip1->text(), "1 Main Street");  // auto-copy to shipping
    d.CShip2->setText("Dock 4");
    d.EMAdd->setText("orders@acme.example");
    d.NotesOnInv->setChecked(true);
    d.OKBtnClick();
  });
  EXPECT_EQ(ShowManager(), platform::ui::mrCancel);
  EXPECT_TRUE(ui.Done());

  const std::vector<CustomerRec> stored = StoredCustomers();
  ASSERT_EQ(stored.size(), 1u);
  const CustomerRec& c = stored[0];
  EXPECT_EQ(c.CustomerNo.Get(), "1001");
  EXPECT_EQ(c.ShortName.Get(), "ATools");
  EXPECT_EQ(c.TaxExempt.Get(), "Y");
  EXPECT_EQ(c.CreditLimit.Get(), "1500.00");
  EXPECT_EQ(c.CustBalance.Get(), "0.00");
  EXPECT_EQ(c.CustAging4.Get(), "0.00");
  EXPECT_EQ(c.ShipTo1.Get(), "1 Main Street");
  EXPECT_EQ(c.ShipTo2.Get(), "Dock 4");
  EXPECT_EQ(c.NotesOnInvoice.Get(), "Y");
  EXPECT_EQ(c.NotesOnStatement.Get(), "N");
  EXPECT_EQ(c.CreditHold.Get(), "N");
  EXPECT_EQ(c.CustEMail.Get(), "orders@acme.example");

  EXPECT_EQ(CurrentCompany.NextCustomerNumber.Get(), "1002");
  CompanyRec onFile;
  ASSERT_TRUE(ReadCompanyRecord("12", onFile));
  EXPECT_EQ(onFile.NextCustomerNumber.Get(), "1002");
}

// While a posting waits to be undone, a customer can be neither added, changed nor deleted: the user
// is told so as the dialog would open, or before the deletion's question, and the customer on file
// stays as it was.
TEST_F(CustomerManagerTest, AddEditAndDeleteAreRefusedBeforeAnythingIsAskedWhileAPostingWaits) {
  File({Customer("500", "Baker")});
  const std::string waits =
      " now: invoice 1004 was interrupted and is not undone yet. Make 12C.DAT readable and "
      "start the program again.";
  struct Case {
    std::string refusal;
    const char* title;
    void (TDemoForm::*click)();
  };
  const Case cases[] = {
      {"A new customer cannot be added" + waits, "Add Customer", &TDemoForm::NewCustButnClick},
      {"Customer 500 cannot be changed" + waits, "Edit Customer", &TDemoForm::EditCustButnClick},
      {"Customer 500 cannot be deleted" + waits, "Delete Customer", &TDemoForm::DeleteCustButnClick},
  };
  for (const Case& c : cases) {
    UiScript ui;  // a dialog opened or a question asked would fail the test as unexpected
    ui.ExpectMessage(QString::fromStdString(c.refusal), c.title).Icon(MsgIcon::Warning);
    ui.OnModal<TDemoForm>([&c](TDemoForm& m) {
      storage::KeepJournalWaiting("12", "invoice 1004", "Make 12C.DAT readable and start the program again.");
      (m.*c.click)();
      storage::ForgetWaitingJournal("12");
    });
    ShowManager();
    EXPECT_TRUE(ui.Done()) << c.title;
  }
  ASSERT_EQ(StoredCustomers().size(), 1u);
  EXPECT_EQ(StoredCustomers()[0].CustomerName.Get(), "Baker");
}

TEST_F(CustomerManagerTest, ANumberThatIsNotNumericLeavesTheCounterAlone) {
  EXPECT_EQ(NextCustomerNumberAfter(" 41 "), "42");
  EXPECT_EQ(NextCustomerNumberAfter("99999999"), "");  // none fits the 8 characters: asked for
  EXPECT_EQ(NextCustomerNumberAfter("C100"), std::nullopt);

  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) { m.NewCustButnClick(); });
  ui.OnModal<TEditDlg>([](TEditDlg& d) {
    d.CNo->setText("C100");
    d.CName->setText("Baker");
    d.OKBtnClick();
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  ASSERT_EQ(StoredCustomers().size(), 1u);
  EXPECT_EQ(CurrentCompany.NextCustomerNumber.Get(), "1001");
}

// The name check compares whole names, the name key only their first 30 characters: the add
// itself is then refused, and nothing is stored or counted.
TEST_F(CustomerManagerTest, AddRefusedByTheNameKeyReportsTheFailure) {
  const std::string thirty = "Northern Territory Hardware Co";
  File({Customer("500", thirty + " Ltd")});
  UiScript ui;
  ui.ExpectMessage("Add operation failed", platform::ui::Application->Title).Icon(MsgIcon::Error);
  ui.OnModal<TDemoForm>([](TDemoForm& m) { m.NewCustButnClick(); });
  ui.OnModal<TEditDlg>([&](TEditDlg& d) {
    d.CName->setText(QString::fromStdString(thirty + " Inc"));
    d.OKBtnClick();
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(StoredCustomers().size(), 1u);
  EXPECT_EQ(CurrentCompany.NextCustomerNumber.Get(), "1001");
}

TEST_F(CustomerManagerTest, CancelledAddStoresNothingAndTheCommandLineJobKeepsItsEntries) {
  CreateEditDlg().CName->setText("From File");
  CreateEditDlg().CAdd1Edit->setText("1 File Street");
  ExternalInvoiceMode = 1;
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.NewCustButnClick();
    ExternalInvoiceMode = 0;
    m.NewCustButnClick();
  });
  ui.OnModal<TEditDlg>([](TEditDlg& d) {
    EXPECT_EQ(d.CName->text(), "From File");
    EXPECT_EQ(d.CAdd1Edit->text(), "1 File Street");
  });  // left open: cancelled
  ui.OnModal<TEditDlg>([](TEditDlg& d) {
    EXPECT_EQ(d.CName->text(), "");
    EXPECT_EQ(d.CAdd1Edit->text(), "");
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(StoredCustomers().empty());
  EXPECT_EQ(CurrentCompany.NextCustomerNumber.Get(), "1001");
}

TEST_F(CustomerManagerTest, ChangedNumberIsCarriedIntoEveryInvoiceOfTheCustomer) {
  File({Customer("500", "Baker"), Customer("501", "Carter")});
  FileInvoices({{"1", "500"}, {"2", "501"}, {"3", "500"}, {"4", "500"}});
  UiScript ui;
  ui.ExpectMessage(
        "This customer has 3 invoice record(s) on file. All have been changed to reflect the new customer "
        "number.",
        "Customer Number Changed")
      .Icon(MsgIcon::Information);
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.EditCustButnClick();
    EXPECT_EQ(Highlighted(m).CustomerNo.Get(), "777");
  });
  ui.OnModal<TEditDlg>([](TEditDlg& d) {
    EXPECT_EQ(d.Caption(), "Edit Customer");
    EXPECT_EQ(d.CNo->text(), "500");
    EXPECT_EQ(d.CName->text(), "Baker");
    EXPECT_EQ(d.CLimit->text(), "0.00");
    d.CNo->setText("777");
    d.OKBtnClick();
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(InvoiceCustomers(), (std::vector<std::string>{"777", "501", "777", "777"}));
  EXPECT_EQ(StoredCustomers()[1].CustomerNo.Get(), "777");
}

TEST_F(CustomerManagerTest, EditKeepingTheNumberPassesTheChecksAndTouchesNoInvoice) {
  File({Customer("500", "Baker")});
  FileInvoices({{"1", "500"}});
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) { m.EditCustButnClick(); });
  ui.OnModal<TEditDlg>([](TEditDlg& d) {
    d.CPhone1->setText("555-0100");
    d.OKBtnClick();
    EXPECT_EQ(d.ModalResult(), mrOk);
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(StoredCustomers()[0].Phone1.Get(), "555-0100");
  EXPECT_EQ(InvoiceCustomers(), (std::vector<std::string>{"500"}));
}

TEST_F(CustomerManagerTest, DeleteIsRefusedForABalanceAndForAnInvoiceOnFile) {
  CustomerRec owing = Customer("500", "Baker");
  owing.CustBalance.Set("12.50");
  File({owing, Customer("501", "Carter")});
  FileInvoices({{"1", "501"}});
  UiScript ui;
  ui.ExpectMessage("This customer has a balance due. Unable to delete.", "Delete Customer")
      .Icon(MsgIcon::Warning);
  ui.ExpectMessage(
      "This customer has invoices on file and may not be deleted. You can mark this customer as inactive, "
      "otherwise, wait until you remove their paid invoices, then delete.",
      "Delete Customer");
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.DeleteCustButnClick();  // Baker
    m.RecBrowser1->RowDown();
    m.DeleteCustButnClick();  // Carter
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(StoredCustomers().size(), 2u);
}

TEST_F(CustomerManagerTest, DeleteAfterConfirmationRemovesTheCustomer) {
  File({Customer("500", "Baker"), Customer("501", "Carter")});
  FileInvoices({{"1", "777"}});
  UiScript ui;
  ui.ExpectMessage("Are you sure you want to delete this customer?", "Delete Customer#: 500")
      .Buttons(MsgButtons::YesNo)
      .Answer(mrNo);
  ui.ExpectMessage("Are you sure you want to delete this customer?", "Delete Customer#: 500").Answer(mrYes);
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.DeleteCustButnClick();
    m.DeleteCustButnClick();
    EXPECT_EQ(m.StatusText(0), "Customers: 1");
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  const std::vector<CustomerRec> left = StoredCustomers();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].CustomerName.Get(), "Carter");
}

TEST_F(CustomerManagerTest, PickerModeStartsAtTheCallersCustomerAndReturnsTheOnePicked) {
  File({Customer("500", "Baker"), Customer("501", "Carter"), Customer("502", "Dunn")});
  QWidget invoiceEntry;
  invoiceEntry.show();
  AddCustomerPicker(&invoiceEntry);
  CreateDemoForm();  // made at start-up, before any caller sets the pick mode
  CustomerPickMode = 1;
  SelectedCustomer = Customer("501", "Carter");
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    EXPECT_EQ(Highlighted(m).CustomerName.Get(), "Carter");
    m.RecBrowser1->RowDown();
    m.EditClick();
  });
  EXPECT_EQ(ShowManager(), mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(SelectedCustomer.CustomerName.Get(), "Dunn");
  EXPECT_EQ(SelectedCustomer.CustomerNo.Get(), "502");
  RemoveCustomerPicker(&invoiceEntry);
  CustomerPickMode = 0;
}

TEST_F(CustomerManagerTest, PickerForACustomerSortingAfterAllOpensAtTheEnd) {
  File({Customer("500", "Baker"), Customer("501", "Carter")});
  CreateDemoForm();
  CustomerPickMode = 1;
  SelectedCustomer = Customer("999", "Zimmermann");
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) { EXPECT_EQ(Highlighted(m).CustomerName.Get(), "Carter"); });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  CustomerPickMode = 0;
}

// Invoice entry may hold the invoice file open while the manager picks for it; renumbering then
// works in that file and leaves it open.
TEST_F(CustomerManagerTest, RenumberingUsesAnInvoiceFileHeldOpenAndLeavesItOpen) {
  FileInvoices({{"1", "500"}, {"2", "500"}});
  ASSERT_TRUE(records::OpenInvoiceFile());
  EXPECT_EQ(RenumberCustomerInvoices("500", "600"), 2);
  EXPECT_TRUE(storage::IsamIsOpen(records::InvoiceFile));
  storage::IsamCloseFileBlock(records::InvoiceFile);
  EXPECT_EQ(InvoiceCustomers(), (std::vector<std::string>{"600", "600"}));
}

TEST_F(CustomerManagerTest, FindMovesToTheChosenCustomerAndEnterPicksIt) {
  CustomerRec carter = Customer("501", "Carter");
  carter.Phone1.Set("555-0199");
  File({Customer("500", "Baker"), carter, Customer("502", "Dunn")});
  QWidget paymentWizard;
  paymentWizard.show();
  AddCustomerPicker(&paymentWizard);
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.FinCustButnClick();
    EXPECT_EQ(Highlighted(m).CustomerName.Get(), "Carter");
    QTest::keyClick(m.RecBrowser1, Qt::Key_Return);
  });
  ui.OnModal<TFindBox>([](TFindBox& f) {
    EXPECT_EQ(f.Caption(), "Find Customer");
    f.FindText->setText("0199");
    f.FindButtonClick();
    ASSERT_EQ(f.ListView1->topLevelItemCount(), 1);
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(0));
    f.ListView1DblClick();
  });
  EXPECT_EQ(ShowManager(), mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(SelectedCustomer.CustomerNo.Get(), "501");
  RemoveCustomerPicker(&paymentWizard);
}

TEST_F(CustomerManagerTest, SwitchingTheKeyKeepsTheHighlightedCustomer) {
  File({Customer("300", "Zeta"), Customer("100", "Mu"), Customer("200", "Alpha")});
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.RecBrowser1->RowDown();  // Mu, second by name
    m.ByNumber1Click();
    EXPECT_EQ(CustomerKeyNumber, 2);
    EXPECT_TRUE(m.ByNumber1->isChecked());
    EXPECT_FALSE(m.ByName1->isChecked());
    EXPECT_EQ(Highlighted(m).CustomerName.Get(), "Mu");
    m.RecBrowser1->RowDown();
    EXPECT_EQ(Highlighted(m).CustomerNo.Get(), "200");  // number order: 100, 200, 300
    m.ByName1Click();
    EXPECT_EQ(Highlighted(m).CustomerName.Get(), "Alpha");
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(CustomerKeyNumber, 1);
}

TEST_F(CustomerManagerTest, CopiesNameAndBillingAddressToTheClipboard) {
  CustomerRec c = Customer("500", "Baker ");
  c.CustBillTo1.Set("1 Main Street");
  c.CustBillTo2.Set("Springfield");
  File({c});
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.CopytoClipboard1Click();
    EXPECT_EQ(m.StatusText(1), "Customer: Baker copied to clipboard.");
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(platform::ui::ClipboardText(), "Baker \n1 Main Street\nSpringfield\n\n");
}

TEST_F(CustomerManagerTest, AddsTheHighlightedCustomerToTheLabelQueue) {
  File({Customer("500", "Baker ")});
  reports::LabelPrintQueue.Clear();
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) { m.AddtoLabelQueue2->trigger(); });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  ASSERT_EQ(reports::LabelPrintQueue.Count(), 1);
  EXPECT_EQ(reports::LabelPrintQueue.Rows()[0].Code, "500");
  EXPECT_EQ(reports::LabelPrintQueue.Rows()[0].Letter, "C");
  reports::LabelPrintQueue.Clear();
}

// Each menu and the pop-up menu on the rows list their items in order, with their captions.
TEST_F(CustomerManagerTest, MenusListTheirItemsWithTheirCaptions) {
  TDemoForm& m = CreateDemoForm();
  auto captions = [](const QMenu* menu) {
    QStringList texts;
    for (const QAction* item : menu->actions())
      if (!item->isSeparator()) texts << item->text();
    return texts;
  };
  const std::pair<const QMenu*, QStringList> menus[] = {
      {m.Customer1,
       {"&New", "&Edit", "&Delete", "&Print", "&Find", "Customer &List", "&Add to Label Queue",
        "Print En&velope", "Cop&y to Clipboard", "E&xport to Text File", "Export to Co&ntact Manager",
        "&Import from Text File", "&Close"}},
      {m.Statements1, {"&View / Print", "&Batch Print"}},
      {m.Display1, {"By &Name", "By N&umber", "Print &Window"}},
      {m.Help1, {"&Overview"}},
      {m.PopupMenu1,
       {"Add to Label &Queue", "Print En&velope", "Cop&y to Clipboard", "&Statement", "&New", "&Edit",
        "&Delete", "&Print", "&Find", "Customer &List", "&Close"}},
  };
  for (const auto& [menu, expected] : menus)
    EXPECT_EQ(captions(menu), expected) << menu->title().toStdString();
}

TEST_F(CustomerManagerTest, EveryActionIsAvailable) {
  TDemoForm& m = CreateDemoForm();
  for (QAction* item :
       {m.New1, m.View2, m.BatchPrint1, m.Statement1, m.ExporttoTextFile1, m.ExporttoContactManager1,
        m.ImportfromTextFile1, m.AddtoLabelQueue1, m.AddtoLabelQueue2})
    EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
  EXPECT_TRUE(m.StmtPrin->isEnabled());
  EXPECT_TRUE(m.BatchPrinButn->isEnabled());
}

TEST_F(CustomerManagerTest, ExportsFromTheMenuWalkTheOpenFileAndLeaveTheManagerWorking) {
  File({Customer("100", "Zed"), Customer("500", "Baker")});
  UiScript ui;
  ui.ExpectMessage("Export complete. There were 2 records exported.", "Contact Manager Export");
  ui.ExpectSaveFile().Answer("CustList.TXT");
  ui.ExpectMessage("All customers have been exported to text file.", "Export Complete");
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.ExporttoContactManager1->trigger();
    m.ExporttoTextFile1->trigger();
    EXPECT_EQ(Highlighted(m).CustomerName.Get(), "Baker");  // the browser still reads its file
  });
  ui.OnModal<exchange::TCustExp>([](exchange::TCustExp& d) { d.Button1Click(); });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  std::string cp, list;
  ASSERT_TRUE(platform::files::ReadWholeFile("CPCUST.TXT", &cp));
  ASSERT_TRUE(platform::files::ReadWholeFile("CustList.TXT", &list));
  EXPECT_EQ(cp.substr(0, 10), "\"Baker\",\"5");
  EXPECT_EQ(list.substr(0, 10), "\"Baker\",\"5");
}

// The manager's outputs: a stopped clock, a recording printer and a customer with every field.
class CustomerManagerOutputTest : public CustomerManagerTest {
 protected:
  static CustomerRec Baker() {
    CustomerRec c = Customer("500", "Baker");
    c.ShipTo1.Set("Dock 4");
    return c;
  }
  QStringList Calls() const { return printer_.Calls(); }

  testing_support::ScopedRecordingPrinter printer_;
  platform::text::FixedClock clock_{QDateTime(QDate(2026, 3, 5), QTime(14, 7))};
};

TEST_F(CustomerManagerOutputTest, CustomerListGoesToTheListWindowInTheChosenOrder) {
  CustomerRec zed = Baker();
  zed.CustomerNo.Set("100");
  zed.CustomerName.Set("Zed");
  CustomerRec nameless = Baker();
  nameless.CustomerNo.Set("  ");
  nameless.CustomerName.Set("No Number");
  File({Baker(), zed, nameless});
  UiScript ui;
  ui.ExpectMessage("Do you want to include the customer addresses on this list?", "Customer List")
      .Answer(mrNo);
  ui.ExpectMessage("Customers will be sorted by name. Would you rather sort by customer number?",
                   "Customer Sort")
      .DefaultButton(mrNo)
      .Answer(mrYes);
  ui.ExpectMessage("Do you want to include the customer addresses on this list?", "Customer List")
      .Answer(platform::ui::mrCancel);
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.CustBookButnClick();
    m.CustBookButnClick();  // cancelled at once
  });
  ui.OnModal<TListWindow>([](TListWindow& w) {
    EXPECT_EQ(w.Caption(), "Customer List by Number");
    EXPECT_EQ(ListWindowFileName, "Customer");
    const std::vector<std::string> lines = w.Lines();
    ASSERT_EQ(lines.size(), 3u + 2 * 6);
    EXPECT_EQ(lines[3].substr(0, 3), "Zed");  // number 100 before 500; the one without a number is left out
    EXPECT_EQ(lines[9].substr(0, 5), "Baker");
  });
  CreateDemoForm().ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_FALSE(platform::files::Exists("TXTTEMP.TXT"));
}

TEST_F(CustomerManagerOutputTest, ManagerPrintsTheHighlightedCustomerAndSaysSo) {
  CurrentCompany.PrintReturnAddress.Set("N");
  File({Baker()});
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    m.PrintEnvButnClick();
    EXPECT_EQ(m.StatusText(1), "Envelope for Baker sent to printer.");
    m.PrinCustClick();
    EXPECT_EQ(m.StatusText(1), "Customer: Baker sent to printer.");
  });
  CreateDemoForm().ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(Calls().contains("TextOut(1200, 580, \"Baker\")"));
  EXPECT_TRUE(Calls().contains("BeginDoc(\"Print: Baker\", portrait, 2400x3150)"));
}

// A printout that becomes a PDF file says where it is: in the status bar, or, for the window's
// image, in a message. Each goes to the file chosen for it.
TEST_F(CustomerManagerOutputTest, EveryPrintoutThatBecameAPdfSaysWhereItIs) {
  auto pdfPrinter = std::make_unique<platform::print::QtPrintBackend>();
  pdfPrinter->SetPrintToFile(true);
  platform::print::QtPrintBackend* pdf = pdfPrinter.get();
  platform::print::ScopedPrintBackend scoped(std::move(pdfPrinter));
  File({Baker()});
  UiScript ui;
  ui.OnModal<TDemoForm>([&](TDemoForm& m) {
    const struct {
      const char* file;
      std::function<void()> print;
      QString status;  // empty: said in a message box
    } cases[] = {{"sheet.pdf", [&] { m.PrinCustClick(); }, "Customer: Baker"},
                 {"envelope.pdf", [&] { m.PrintEnvButnClick(); }, "Envelope for Baker"},
                 {"window.pdf", [&] { m.PrintWindow1Click(); }, ""}};
    for (const auto& c : cases) {
      const QString file = QDir::current().absoluteFilePath(c.file);
      pdf->SetOutputFile(file);
      if (c.status.isEmpty()) ui.ExpectMessage(m.windowTitle() + " saved as " + file + ".", m.windowTitle());
      c.print();
      EXPECT_TRUE(QFileInfo(file).size() > 0) << c.file;
      if (!c.status.isEmpty()) {
        EXPECT_EQ(m.StatusText(1), c.status + " saved as " + file + ".");
      }
    }
  });
  CreateDemoForm().ShowModal();
  EXPECT_TRUE(ui.Done());
}

// A few hundred customers page through the browser.
TEST_F(CustomerManagerTest, ListsAFewHundredCustomers) {
  std::vector<CustomerRec> customers;
  for (int i = 1; i <= 300; ++i) {
    CustomerRec c =
        Customer(std::to_string(1000 + i), "Customer " + std::to_string(100000 + i * 7919 % 90000));
    c.Phone1.Set("555-" + std::to_string(1000 + i));
    c.CustBalance.Set(std::to_string(i * 37) + ".25");
    customers.push_back(c);
  }
  File(customers);
  UiScript ui;
  ui.OnModal<TDemoForm>([](TDemoForm& m) {
    EXPECT_EQ(m.StatusText(0), "Customers: 300");
    m.RecBrowser1->LastEntry();
    const std::string last = Highlighted(m).CustomerName.Get();
    m.RecBrowser1->FirstEntry();
    EXPECT_LT(Highlighted(m).CustomerName.Get(), last);
    testing_support::ExpectWholeWindow(m, "customer_manager");
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace customers
