// The Invoice Manager worked as a user works it: adding an invoice through the entry form, the
// six orders and the customer filter over a few hundred records, paging through 100,000, the
// "Customer Data" window, viewing, printing and batch printing; the books checked from the files
// after every posting.
#include "invoicing/invoice_manager.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>

#include "customers/customer_quick_view.h"
#include "documents/document_view.h"
#include "forms/batch_print_dialog.h"
#include "forms/run_state.h"
#include "invoice_books_fixture.h"
#include "invoicing/interest_wizard.h"
#include "invoicing/invoice_document.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/invoice_texts.h"
#include "invoicing/payment_wizard.h"
#include "mail/mail_peers.h"
#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "platform/text/amount.h"
#include "platform/ui/application.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "reports/label_queue.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/live_records.h"
#include "support/read_sweep.h"
#include "support/whole_window.h"

namespace {

using invoicing::CreateInvEdit1;
using invoicing::TInvEdit1;
using invoicing::TProdInv;
using platform::ui::mrOk;
using records::CurrentCompany;
using records::InvoiceRec;
using storage::IsamRecRef;

class InvoiceManagerTest : public test_fixtures::InvoiceBooksTest {
 protected:
  InvoiceManagerTest() {
    auto* printer = new platform::print::RecordingPrintBackend;
    printer_ = printer;
    printScope_ = std::make_unique<platform::print::ScopedPrintBackend>(
        std::unique_ptr<platform::print::PrintBackend>(printer));
  }

  // Shows the manager modally with `work` standing in for the user; the manager holds the
  // invoicing files while it is shown, the checks read them afterwards.
  void RunManager(const std::function<void(TInvEdit1&)>& work) {
    CloseManagerFiles();
    ui.OnModal<TInvEdit1>([work](TInvEdit1& m) { work(m); });
    CreateInvEdit1().ShowModal();
    EXPECT_FALSE(storage::IsamIsOpen(records::CompanyFile));  // let go when the manager closes
    EXPECT_TRUE(records::OpenInvoiceFiles());
  }

  // Lets go of the files the manager opens itself.
  static void CloseManagerFiles() {
    for (storage::IsamFileBlock* file : {&records::InvoiceFile, &records::DetailFile, &records::MemoFile}) {
      storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }

  // Every record of the list in the browser's order, walked row by row from the first.
  static std::vector<IsamRecRef> ListedRefs(TInvEdit1& m) {
    std::vector<IsamRecRef> refs;
    m.InvBrowser1->FirstEntry();
    for (IsamRecRef ref = m.InvBrowser1->BrowserCurrentRef(); ref > 0 && (refs.empty() || ref != refs.back());
         ref = m.InvBrowser1->BrowserCurrentRef()) {
      refs.push_back(ref);
      m.InvBrowser1->RowDown();
    }
    return refs;
  }

  static InvoiceRec Read(IsamRecRef ref) {
    InvoiceRec record{};
    storage::IsamGetRec(records::InvoiceFile, ref, &record, sizeof record);
    return record;
  }

  // Records of seven customers over a year: every type, key code and a settled one in five.
  static void FileManyRecords(int count) {
    const char* const types[] = {"I", "Z", "X", "D", "G", "I"};
    const char* const keyCodes[] = {"None", "Deposit", "Partial", "Interest"};
    for (int i = 0; i < count; ++i) {
      const std::string date = QDate(2025, 1, 1).addDays((i * 37) % 365).toString("yyyy/MM/dd").toStdString();
      const std::string total = std::to_string(i % 1000) + ".50";
      const bool settled = i % 5 == 0;
      InvoiceRec r =
          Record(std::to_string(20000 + (i * 7919) % 99991), types[i % 6], "C" + std::to_string(i % 7), date,
                 total, settled ? total : "0.00", settled ? "0.00" : total);
      r.KeyCode.Set(keyCodes[i % 4]);
      r.ShortName.Set("SHORT" + std::to_string(i % 7));
      FileRecord(r);
    }
  }

  platform::print::RecordingPrintBackend* printer_;
  std::unique_ptr<platform::print::ScopedPrintBackend> printScope_;
};

TEST(InvoiceManagerTexts, RowsStandInTheirColumnsAndDamagedRecordsCanBeFound) {
  InvoiceRec r{};
  r.SortDate.Set("2026/03/05");
  r.TransactionType.Set("I");
  r.InvoiceNo.Set("1001");
  r.InvCustomerNo.Set("C100");
  r.ShortName.Set("ACME");
  r.InvTotal.Set("1234.5");
  r.AmountDue.Set("1234567890");
  r.InvPaid.Set("0.00");
  r.KeyCode.Set("None");
  r.CompanyNumber.Set("12");
  char expected[256];
  std::snprintf(expected, sizeof expected, "%-10s %-1s %-9s %-8s %-10s %12s %12s %12s %-8s %-10s %-5s",
                "2026/03/05", "I", "1001", "C100", "ACME", "1,234.50", "1,234,567,890.00", "0.00", "None", "",
                "12");
  std::string row = expected;
  row.resize(128, ' ');
  EXPECT_EQ(invoicing::InvoiceBrowserRow(r), row);  // a wide amount pushes on, never cut

  std::snprintf(expected, sizeof expected, "%-10s %-1s %-9s %-8s %-10s %12s %12s %12s %-8s %-10s %-5s",
                "Year/Mo/Dy", "T", "Invoice#", "Cust#", "Short Name", "Grand Total", "Amount Due",
                "Paid Amount", "Key Code", "Date Paid", "CO#");
  std::string header = expected;
  header.resize(128, ' ');
  EXPECT_EQ(invoicing::InvoiceBrowserHeader(), header);
  EXPECT_EQ(invoicing::UnreadableInvoiceRow("1001").substr(0, 11), "****  1001 ");

  EXPECT_FALSE(invoicing::MarkDamagedInvoice(r));
  for (int field = 0; field < 3; ++field) {
    InvoiceRec damaged = r;
    (field == 0 ? damaged.InvTotal : field == 1 ? damaged.AmountDue : damaged.InvPaid).Set("  ");
    EXPECT_TRUE(invoicing::MarkDamagedInvoice(damaged));
    const std::string row = invoicing::InvoiceBrowserRow(damaged);
    EXPECT_EQ(row.substr(13, 9), "DELETE ME");
    EXPECT_EQ(row.substr(32, 10), "BAD RECORD");
    EXPECT_EQ(row.substr(43, 38), "        0.00         0.00         0.00");
  }
}

TEST(InvoiceManagerTexts, CustomerDataNamesEveryKindOfRecord) {
  const std::pair<const char*, const char*> types[] = {
      {"I", "I - Regular Invoice"},
      {"R", "R - Repeat Billing Master Record (Created: 01/02/26)"},
      {"G", "G - Repeat Billing Generated Invoice"},
      {"X", "X - Partial Payment Record against Type Z"},
      {"Z", "Z - Invoice has Partial Payment(s) of Type X"},
      {"D", "D - Deposit on Account"},
      {"T", "T - Deposit Taken (offsets type D)"}};
  const char* const kinds[] = {"(Product Invoice)", "(Product Invoice)", "(Product Invoice)",
                               "(Payment Record)",  "(Product Invoice)", "(Payment Record)",
                               "(Applied Deposit)"};
  for (std::size_t n = 0; n < std::size(types); ++n) {
    InvoiceRec r{};
    r.TransactionType.Set(types[n].first);
    r.InvoiceNo.Set("77");
    r.Body.Set("P");
    r.CreatedDate.Set("01/02/26");
    EXPECT_EQ(invoicing::RecordTypeText(r), types[n].second);
    EXPECT_EQ(invoicing::DocumentKindText(r), std::string("77   ") + kinds[n]);
    r.Body.Set("M");
    if (n == 0) {
      EXPECT_EQ(invoicing::DocumentKindText(r), "77   (Memo Invoice)");
    }
  }
}

TEST_F(InvoiceManagerTest, AnInvoiceAddedThroughTheFormIsPostedListedAndCounted) {
  RunManager([this](TInvEdit1& m) {
    EXPECT_EQ(m.StatusText(0), "Records: 0");
    EXPECT_EQ(m.StatusText(1), "Right-click mouse or select from menu bar.");
    EXPECT_EQ(m.CName->text(), "Acme Supply - #12");
    EXPECT_TRUE(storage::IsamIsOpen(records::CompanyFile));
    ui.OnModal<TProdInv>([this](TProdInv& f) {
      EXPECT_EQ(f.Caption(), "Add Invoice - Company: Acme Supply - #12");
      EXPECT_EQ(f.INum->text(), "1001");
      EXPECT_EQ(f.KeyCode->text(), "None");
      EXPECT_EQ(f.EBTaxRate->text(), "8.25");
      EXPECT_FALSE(f.Button1->isEnabled());
      FillValidInvoice(f);
      Type(f, 2, invoicing::kColCode, "WIDGET");
      Type(f, 2, invoicing::kColDescription, "Widget");
      Type(f, 2, invoicing::kColQuantity, "3");
      Type(f, 2, invoicing::kColPrice, "12.50");
      f.PrintFlag->setChecked(false);
      f.IDate->setText("03/01/2026");
      f.OKButtonClick();
    });
    m.AddInvoiceClick();
    EXPECT_EQ(m.StatusText(1), "Added invoice 1001 containing 2 line item(s).");
    EXPECT_EQ(m.StatusText(0), "Records: 1");
    EXPECT_EQ(Read(m.InvBrowser1->BrowserCurrentRef()).InvoiceNo.Get(), "1001");
    EXPECT_EQ(
        m.ARBal->text().toStdString(),
        platform::text::FormatAmount(*platform::text::ParseAmount(CurrentCompany.CompanyARBalance.Get())));
    EXPECT_NE(CurrentCompany.CompanyARBalance.Get(), "0.00");

    // Cancelled: nothing is written.
    ui.OnModal<TProdInv>([](TProdInv& f) { f.CancelDiscarding(); });
    m.AddInvoiceClick();
    EXPECT_EQ(m.StatusText(0), "Records: 1");
  });
  EXPECT_EQ(CurrentCompany.NextInvoiceNumber.Get(), "1002");
  EXPECT_EQ(forms::LastInvoiceDate, "03/01/2026");
  EXPECT_FALSE(platform::files::Exists("CPWIN.TXT"));
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
  EXPECT_TRUE(ui.Done());
}

// The files its postings touch are held while the manager is open, one open each, shared with
// the Customer Manager picking a customer over it, the entry form's product look-up and the
// posting; closing the manager lets them go.
TEST_F(InvoiceManagerTest, ItHoldsTheFilesItsPostingsTouchAndSharesThemWithTheWindowsItOpens) {
  for (storage::IsamFileBlock* file : {&records::CustomerFile, &records::ProductFile}) {
    storage::IsamCloseFileBlock(*file);
    *file = nullptr;
  }
  RunManager([this](TInvEdit1& m) {
    const storage::IsamFileBlock customers = records::CustomerFile;
    const storage::IsamFileBlock products = records::ProductFile;
    ASSERT_TRUE(storage::IsamIsOpen(customers));
    ASSERT_TRUE(storage::IsamIsOpen(products));
    ui.OnModal<TProdInv>([&](TProdInv& f) {
      records::CustomerRec acme{};
      acme.CustomerNo.Set("C100");
      acme.CustomerName.Set("Acme Tools");
      PickCustomer(f, acme);
      EXPECT_EQ(f.ICustNo->text(), "C100");
      EXPECT_EQ(records::CustomerFile, customers);
      Type(f, 1, invoicing::kColCode, "WIDGET");
      Type(f, 1, invoicing::kColDescription, "Widget");
      Type(f, 1, invoicing::kColQuantity, "4");
      Type(f, 1, invoicing::kColPrice, "12.50");
      f.PrintFlag->setChecked(false);
      f.OKButtonClick();
    });
    m.AddInvoiceClick();
    EXPECT_EQ(m.StatusText(1), "Added invoice 1001 containing 1 line item(s).");
    EXPECT_EQ(records::CustomerFile, customers);
    EXPECT_EQ(records::ProductFile, products);
    EXPECT_TRUE(storage::IsamIsOpen(customers) && storage::IsamIsOpen(products));
  });
  EXPECT_FALSE(storage::IsamIsOpen(records::CustomerFile));
  EXPECT_FALSE(storage::IsamIsOpen(records::ProductFile));
  ASSERT_TRUE(records::OpenCustomerFile() && records::OpenProductFile());
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceManagerTest, TheCommandLineJobGetsItsAnswerFileAndAskedForPrintingIsPrinted) {
  forms::ExternalInvoiceMode = 1;
  records::CustomerRec wanted{};
  wanted.CustomerNo.Set("C100");
  IsamRecRef ref = 0;
  ASSERT_TRUE(records::ReadByKey(records::CustomerUnit(), records::BuildCustomerKey(wanted, 2), 2,
                                 records::SelectedCustomer, ref));
  RunManager([this](TInvEdit1& m) {
    ui.OnModal<TProdInv>([this](TProdInv& f) {
      f.ICustNo->setText("C100");
      f.ICustName->setText("Acme Tools");
      Type(f, 1, invoicing::kColCode, "BOLT");
      Type(f, 1, invoicing::kColDescription, "Bolt");
      Type(f, 1, invoicing::kColQuantity, "4");
      Type(f, 1, invoicing::kColPrice, "0.25");
      f.PrintFlag->setChecked(true);
      f.OKButtonClick();
    });
    m.AddInvoiceClick();
    EXPECT_EQ(m.StatusText(1), "Invoice 1001 sent to print queue.");
  });
  forms::ExternalInvoiceMode = 0;
  std::string answer;
  ASSERT_TRUE(platform::files::ReadWholeFile("CPWIN.TXT", &answer));
  const QStringList lines = QString::fromLatin1(answer).split("\r\n");
  ASSERT_GE(lines.size(), 5);
  EXPECT_EQ(lines[0], "C100");
  EXPECT_EQ(lines[1], "1001");
  EXPECT_EQ(lines[3], "0.00");
  EXPECT_TRUE(
      lines[4].startsWith(QString("BOLT").leftJustified(16) + QString("4").leftJustified(11) + "Bolt"))
      << lines[4].toStdString();
  EXPECT_EQ(printer_->Log().filter(QRegularExpression("^BeginDoc\\(\"Invoice - 1001\"")).size(), 1);
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceManagerTest, SixOrdersAndTheCustomerFilterOverAFewHundredRecords) {
  FileManyRecords(300);
  InvoiceRec damaged = Record("0031", "I", "C1", "2025/06/01", "", "0.00", "5.00");
  const IsamRecRef damagedRef = FileRecord(damaged);
  std::vector<IsamRecRef> everyRecord;
  RunManager([&](TInvEdit1& m) {
    EXPECT_TRUE(m.OrderItems[2]->isChecked());
    EXPECT_EQ(m.InvBrowser1->BrowserKeyNumber(), 3);
    EXPECT_EQ(m.StatusText(0), "Records: 301");
    const std::array<std::function<void()>, 6> orders = {
        [&m] { m.ByInvoiceNumber1Click(); }, [&m] { m.ByCustomerNumber1Click(); },
        [&m] { m.ByInvoiceDate1Click(); },   [&m] { m.ByKeyCode1Click(); },
        [&m] { m.ByType1Click(); },          [&m] { m.byDatePaid1Click(); }};
    for (int key = 1; key <= 6; ++key) {
      // The highlighted record stays highlighted in the new order.
      const IsamRecRef highlighted = m.InvBrowser1->BrowserCurrentRef();
      orders[static_cast<std::size_t>(key - 1)]();
      EXPECT_EQ(m.InvBrowser1->BrowserCurrentRef(), highlighted) << key;
      EXPECT_EQ(invoicing::InvoiceDisplayKey, key);
      for (int item = 0; item < 6; ++item) EXPECT_EQ(m.OrderItems[item]->isChecked(), item + 1 == key);
      const std::vector<IsamRecRef> refs = ListedRefs(m);
      ASSERT_EQ(refs.size(), 301u) << key;
      everyRecord = refs;
      EXPECT_EQ(std::set<IsamRecRef>(refs.begin(), refs.end()).size(), 301u);
      for (std::size_t n = 1; n < refs.size(); ++n)
        ASSERT_LE(records::BuildInvoiceKey(Read(refs[n - 1]), key),
                  records::BuildInvoiceKey(Read(refs[n]), key))
            << "key " << key << " row " << n;
      m.InvBrowser1->ScrollPosToEntry(40);
    }
    // The damaged record is listed so that it can be found and deleted.
    m.ByInvoiceNumber1Click();
    m.InvBrowser1->FirstEntry();
    EXPECT_EQ(m.InvBrowser1->BrowserCurrentRef(), damagedRef);
    EXPECT_NE(m.InvBrowser1->DataSource()->Row(1).Text[0].find("DELETE ME C1       BAD RECORD"),
              std::string::npos)
        << m.InvBrowser1->DataSource()->Row(1).Text[0];

    // The filter shows one customer's records, and again all.
    m.InvBrowser1->RowDown();
    const std::string customer = Read(m.InvBrowser1->BrowserCurrentRef()).InvCustomerNo.Get();
    m.SpeedButton2Click();
    EXPECT_EQ(m.CFilter->text().toStdString(), "Filtering Customer#: " + customer);
    EXPECT_EQ(m.StatusText(1), "Click filter button again to clear filter.");
    const std::vector<IsamRecRef> filtered = ListedRefs(m);
    std::size_t ofCustomer = 0;
    for (IsamRecRef ref : everyRecord) ofCustomer += Read(ref).InvCustomerNo.Get() == customer;
    EXPECT_EQ(filtered.size(), ofCustomer);
    EXPECT_GT(ofCustomer, 40u);
    for (IsamRecRef ref : filtered) EXPECT_EQ(Read(ref).InvCustomerNo.Get(), customer);
    m.SpeedButton2Click();
    EXPECT_EQ(m.CFilter->text(), "Filter Closed");
    EXPECT_EQ(m.StatusText(1), "Filter closed.");
    EXPECT_EQ(ListedRefs(m).size(), 301u);
    testing_support::ExpectWholeWindow(m, "invoice_manager");
  });
  // The order chosen stays for the next showing; the filter does not.
  RunManager([](TInvEdit1& m) {
    EXPECT_EQ(m.InvBrowser1->BrowserKeyNumber(), 1);
    EXPECT_FALSE(m.Filtering());
  });
  EXPECT_TRUE(ui.Done());
}

// The tool buttons carry their captions, each its own hint, and the menu items theirs.
TEST_F(InvoiceManagerTest, ToolButtonsAndMenuItemsCarryTheirCaptions) {
  TInvEdit1& m = CreateInvEdit1();
  const std::pair<QToolButton*, const char*> buttons[] = {
      {m.AddInvoiceButn, "New"},
      {m.EditInvoice, "Edit"},
      {m.InvDelete, "Delete"},
      {m.SpeedButton1, "Find"},
      {m.InvPrint, "View"},
      {m.CustDataButn, "Customer Data"},
      {m.ToPrinterButn, "Print"},
      {m.BatchPrinButn, "Batch Print"},
      {m.SpeedButton2, "Filter On/Off"},
      {m.SpeedButton4, "Help"},
      {m.SpeedButton3, "Close"},
  };
  for (auto [button, caption] : buttons) {
    EXPECT_EQ(button->text(), caption);
    EXPECT_EQ(button->toolTip(), caption);
  }
  const std::pair<QAction*, const char*> items[] = {
      {m.Add1, "&New"},
      {m.Edit1, "&Edit"},
      {m.Delete1, "&Delete"},
      {m.Search1, "&Find"},
      {m.PreViewSaveAs1, "&View"},
      {m.CustomerData1, "C&ustomer Data"},
      {m.Print1, "&Print"},
      {m.PrintPackingSlip1, "Print Pac&king Slip"},
      {m.BatchPrint1, "&Batch Print"},
      {m.PrinterSetup1, "Printer &Setup"},
      {m.Close1, "&Close"},
      {m.OrderItems[2], "By Invoice &Date"},
      {m.PrintWindow1, "Print &Window"},
      {m.CreatingInvoices1, "&Overview"},
  };
  for (auto [item, caption] : items) EXPECT_EQ(item->text(), caption);
}

TEST_F(InvoiceManagerTest, TheCommandLineViewOpensFilteredOnce) {
  FileManyRecords(40);
  invoicing::CustomerFilterNo = "C3";
  forms::InvoiceFilterOnShow = 1;
  RunManager([](TInvEdit1& m) {
    EXPECT_TRUE(m.Filtering());
    EXPECT_EQ(m.CFilter->text(), "Filtering Customer#: C3");
    EXPECT_EQ(m.StatusText(1), "Click filter button again to clear filter.");
    EXPECT_EQ(ListedRefs(m).size(), 6u);
  });
  EXPECT_EQ(forms::InvoiceFilterOnShow, 0);
  RunManager([](TInvEdit1& m) { EXPECT_EQ(ListedRefs(m).size(), 40u); });
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceManagerTest, PagingThroughAHundredThousandRecordsReadsOnlyTheRowsOnScreen) {
  FileManyRecords(100000);
  RunManager([](TInvEdit1& m) {
    EXPECT_EQ(m.StatusText(0), "Records: 100000");
    int built = 0;
    auto build = m.InvBrowser1->OnBuildRow;
    m.InvBrowser1->OnBuildRow = [&built, build](storage::TRecBrowser* sender, storage::RowRec& rr) {
      ++built;
      return build(sender, rr);
    };
    const int rows = m.InvBrowser1->DataSource()->LastFilledRow();
    ASSERT_GT(rows, 5);
    const std::function<void()> moves[] = {
        [&] { m.InvBrowser1->FirstEntry(); },         [&] { m.InvBrowser1->PageDown(); },
        [&] { m.InvBrowser1->LastEntry(); },          [&] { m.InvBrowser1->PageUp(); },
        [&] { m.InvBrowser1->ScrollPosToEntry(32); }, [&] { m.ByCustomerNumber1Click(); }};
    for (const auto& move : moves) {
      built = 0;
      move();
      EXPECT_LE(built, 2 * rows);
      EXPECT_GT(m.InvBrowser1->BrowserCurrentRef(), 0);
    }
    m.InvBrowser1->OnBuildRow = build;
  });
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceManagerTest, CustomerDataViewAndTheGuardsOfTheTransactions) {
  InvoiceRec invoice = Record("2001", "Z", "C100", "2026/03/01", "300.00", "0.00", "180.00");
  invoice.PrintedMark.Set("Y");
  FileRecord(invoice);
  RunManager([this](TInvEdit1& m) {
    ui.OnModal<customers::TQView>([](customers::TQView& v) {
      EXPECT_EQ(v.DataType->text(), "Z - Invoice has Partial Payment(s) of Type X");
      EXPECT_EQ(v.IvNum->text(), "2001   (Product Invoice)");
      EXPECT_EQ(v.IvDate->text(), "03/01/2026");
      EXPECT_EQ(v.InvTot->text(), "300.00");
      EXPECT_EQ(v.PdAmount->text(), "120.00");
      EXPECT_EQ(v.IBalDue->text(), "180.00");
      EXPECT_FALSE(v.PIFlag->isHidden());
      EXPECT_EQ(v.CustName->text(), "Acme Tools");
      EXPECT_EQ(v.CustNo->text(), "C100");
    });
    m.CustDataButnClick();
    EXPECT_EQ(records::SelectedCustomer.CustomerNo.Get(), "C100");

    records::CurrentCompany.TaxName.Set("Sales Tax");
    ui.OnModal<documents::Trtedit>([](documents::Trtedit& view) {
      EXPECT_TRUE(view.Label12->text().contains("2001"));
      EXPECT_EQ(view.Label22->text(), "8.25% Sales Tax");  // and shown whole:
      testing_support::ExpectWholeWindow(view, "invoice_view");
    });
    m.InvPrintClick();

    // The highlighted invoice carries partial payments: the transactions' guards refuse it.
    ui.ExpectMessage("This record is part of a partial-payment record and may not be edited.",
                     "Partial Payments")
        .Answer(mrOk);
    m.EditInvoiceClick();
    ui.ExpectMessage(
          "This record is associated with a partial payment (type X or Z). Unable to delete this item.",
          "Partial Payment Item")
        .Answer(mrOk);
    m.InvDeleteClick();
  });
  EXPECT_TRUE(ui.Done());
}

// Customer Data with each of its reads failing in turn says the file and the reason, and shows no
// blank customer in place of the one that could not be read. Read 1 is the list's read of the
// highlighted invoice, which every action of the manager makes first: it too is said.
TEST_F(InvoiceManagerTest, CustomerDataThatCannotBeReadSaysSoAndShowsNoBlankCustomer) {
  FileRecord(Record("2001", "I", "C100", "2026/03/01", "300.00", "0.00", "300.00"));
  RunManager([](TInvEdit1& m) {
    m.InvBrowser1->FirstEntry();
    const testing_support::SweepStep customerData{"CustomerData",
                                                  [&m] {
                                                    records::SelectedCustomer = records::CustomerRec{};
                                                    m.CustDataButnClick();
                                                    return records::SelectedCustomer.CustomerName.Get() ==
                                                           "Acme Tools";
                                                  },
                                                  false};
    testing_support::SweepReads(customerData, {});
  });
  EXPECT_TRUE(ui.Done());
}

// While a posting waits to be undone, an invoice can be neither added nor changed, nor a payment
// or interest charges posted: the user is told so as the window would open, before typing
// anything, and no window opens.
TEST_F(InvoiceManagerTest, EntryWindowsAreRefusedAsTheyOpenWhileAPostingWaits) {
  FileRecord(Record("2001", "I", "C100", "2026/03/01", "300.00", "300.00", "0.00"));
  const std::string waits =
      " now: invoice 1004 was interrupted and is not undone yet. Make 12C.DAT readable and start the "
      "program again.";
  struct Case {
    std::string refusal;
    const char* title;
    std::function<void(TInvEdit1&)> open;
  };
  const Case cases[] = {
      {"A new invoice cannot be added" + waits, "Add Invoice", [](TInvEdit1& m) { m.AddInvoiceClick(); }},
      {"Invoice 2001 cannot be changed" + waits, "Edit Invoice", [](TInvEdit1& m) { m.EditInvoiceClick(); }},
      {"Invoice 2001 cannot be deleted" + waits, "Delete Invoice", [](TInvEdit1& m) { m.InvDeleteClick(); }},
      {"A payment cannot be posted" + waits, "Payment Wizard",
       [](TInvEdit1&) { invoicing::OpenPaymentWizard(); }},
      {"Interest charges cannot be posted" + waits, "Interest Wizard",
       [](TInvEdit1&) { invoicing::OpenInterestWizard(); }},
  };
  RunManager([&](TInvEdit1& m) {
    m.InvBrowser1->FirstEntry();
    for (const Case& c : cases) {
      ui.ExpectMessage(QString::fromStdString(c.refusal), c.title).Icon(platform::ui::MsgIcon::Warning);
      storage::KeepJournalWaiting("12", "invoice 1004", "Make 12C.DAT readable and start the program again.");
      c.open(m);
      storage::ForgetWaitingJournal("12");
    }
  });
  EXPECT_TRUE(ui.Done());  // a window opened would have failed as unexpected
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
}

TEST_F(InvoiceManagerTest, BatchPrintTakesTheUnprintedInvoicesInFileOrder) {
  const std::pair<const char*, const char*> records[] = {{"501", "I"}, {"502", "X"}, {"503", "G"},
                                                         {"504", "D"}, {"505", "Z"}, {"506", "R"},
                                                         {"507", "M"}, {"508", "I"}, {"509", "T"}};
  for (const auto& [number, type] : records) {
    InvoiceRec r = Record(number, type, "C200", "2026/03/01", "10.00", "10.00", "0.00");
    if (std::string(number) == "508") r.PrintedMark.Set("Y");
    FileRecord(r);
  }
  EXPECT_EQ(invoicing::UnprintedInvoiceNumbers(), (std::vector<std::string>{"501", "503", "505", "507"}));
  RunManager([this](TInvEdit1& m) {
    ui.OnModal<forms::TInvBatch>([](forms::TInvBatch& d) {
      EXPECT_EQ(d.Label1->text(), "There are 4 invoice(s) to print.");
      EXPECT_EQ(d.Label2->text(), "Packing Slips are turned off.");
      EXPECT_EQ(d.Label3->text(), "File Copies are turned off.");
      EXPECT_EQ(d.BatchNum->text(), "4");
      d.BatchNum->setText("3");
      d.Button1Click();
    });
    m.BatchPrinButnClick();
    EXPECT_EQ(m.StatusText(1), "Batch Print complete. 3 invoices sent to spooler.");
    ui.OnModal<forms::TInvBatch>([](forms::TInvBatch& d) {
      EXPECT_EQ(d.Label1->text(), "There are 1 invoice(s) to print.");
      d.BatchNum->setText("99");
      d.Button1Click();
    });
    m.BatchPrinButnClick();
    EXPECT_EQ(m.StatusText(1), "Batch Print complete. 1 invoices sent to spooler.");
    ui.ExpectMessage("There are no invoices to print.", "Batch Print").Answer(mrOk);
    m.BatchPrinButnClick();
  });
  QStringList jobs = printer_->Log().filter(QRegularExpression("^BeginDoc"));
  ASSERT_EQ(jobs.size(), 4);
  const char* const printed[] = {"501", "503", "505", "507"};
  for (int n = 0; n < 4; ++n)
    EXPECT_TRUE(jobs[n].startsWith(QString("BeginDoc(\"Invoice - ") + printed[n] + "\""));
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceManagerTest, RefusedActionsLoseNothingAndTheKeysWorkAsInAnyWindow) {
  FileRecord(Record("2001", "I", "C100", "2026/03/01", "300.00", "300.00", "0.00"));
  RunManager([this](TInvEdit1& m) {
    // An invoice of a customer that is not on file is refused, and the form keeps what was typed.
    ui.OnModal<TProdInv>([this](TProdInv& f) {
      FillValidInvoice(f);
      f.ICustNo->setText("C999");
      ui.ExpectMessage("Customer C999 was not found. The invoice was not saved.",
                       platform::ui::Application->Title)
          .Answer(mrOk);
      f.OKButtonClick();
      EXPECT_EQ(f.ICustNo->text(), "C999");
      EXPECT_EQ(f.Lines->Cell(1, invoicing::kColDescription), "Labour");
      f.CancelDiscarding();
    });
    m.AddInvoiceClick();
    EXPECT_EQ(m.StatusText(0), "Records: 1");

    // E-mail output without the company's own address sends nothing.
    forms::DocumentsByEMail = [] { return true; };
    ui.ExpectMessage(
          "You need to enter your company e-mail address in your company setup so your customers have a "
          "return "
          "e-mail address for you.",
          "Your Company E-Mail Address")
        .Answer(mrOk);
    m.ToPrinterButnClick();
    forms::DocumentsByEMail = nullptr;

    m.PrintPackingSlip1Click();
    EXPECT_EQ(m.StatusText(1), "\nPacking Slip 2001 sent to printer.");

    ui.ExpectMessage(
          "This record has payment activity. If you delete this record the payment data will also be "
          "removed.",
          "Please Note")
        .Answer(mrOk);
    ui.ExpectMessage("Are you sure you want to delete this record?", "Delete Invoice#: 2001")
        .Answer(platform::ui::mrNo);
    QTest::keyClick(m.InvBrowser1, Qt::Key_Delete);
    ui.OnModal<documents::Trtedit>(
        [](documents::Trtedit& view) { EXPECT_TRUE(view.Label12->text().contains("2001")); });
    QTest::keyClick(m.InvBrowser1, Qt::Key_Return);
  });
  EXPECT_EQ(printer_->Log().filter(QRegularExpression("^BeginDoc")),
            QStringList{"BeginDoc(\"Packing Slip - 2001\", portrait, 2400x3150)"});
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
  EXPECT_TRUE(ui.Done());
}

TEST_F(InvoiceManagerTest, InvoicesGoByEMailToCustomersWithAnAddress) {
  FileRecord(Record("2001", "I", "C100", "2026/03/01", "300.00", "300.00", "0.00"));
  FileRecord(Record("2002", "I", "C200", "2026/03/02", "40.00", "40.00", "0.00"));
  testing_support::SmtpServer server;
  CurrentCompany.CompanyEMail.Set("shop@acme.example");
  CurrentCompany.SmtpHost.Set("127.0.0.1:" + std::to_string(server.Port()));
  forms::DocumentsByEMail = [] { return true; };
  RunManager([this](TInvEdit1& m) {
    m.ByInvoiceNumber1Click();
    m.InvBrowser1->FirstEntry();
    ui.ExpectMessage("Invoice 2001 (1 recipient) sent by e-mail.", "E-Mail Invoice").Answer(mrOk);
    m.ToPrinterButnClick();
    EXPECT_EQ(m.StatusText(1), "Invoice 2001 (1 recipient) sent by e-mail.");

    m.InvBrowser1->RowDown();
    ui.ExpectMessage("This customer has no e-mail address. Invoice not sent by e-mail.", "E-Mail Invoice")
        .Answer(mrOk);
    m.ToPrinterButnClick();
    EXPECT_EQ(m.StatusText(1), "Invoice 2002 was not sent by e-mail.");

    // The batch counts every invoice it went through, sent or not.
    ui.OnModal<forms::TInvBatch>([](forms::TInvBatch& d) {
      EXPECT_EQ(d.Label1->text(), "There are 1 invoice(s) to e-mail.");
      EXPECT_EQ(d.Label2->text(), "* E-Mail Mode *");
      EXPECT_EQ(d.Label3->text(), "(No packing slips or copies.)");
      EXPECT_EQ(d.Button1->text(), "&E-Mail");
      d.Button1Click();
    });
    ui.ExpectMessage("E-mail operation complete.", "Batch E-Mail").Answer(mrOk);
    m.BatchPrinButnClick();
    EXPECT_EQ(m.StatusText(1), "Batch Print complete. 1 invoices sent to e-mail.");
  });
  forms::DocumentsByEMail = nullptr;
  EXPECT_EQ(server.Envelope(1)["rcpt_tos"].toArray().size(), 1);
  EXPECT_TRUE(server.Message(2).empty());
  EXPECT_EQ(invoicing::UnprintedInvoiceNumbers(), std::vector<std::string>{"2002"});
  EXPECT_TRUE(ui.Done());
}

// A step that fails after the invoice record was written (here its memo) undoes the whole posting:
// nothing of it is kept, the user is told so once, and the form stays open with what was typed.
TEST_F(InvoiceManagerTest, AMemoThatCannotBeStoredUndoesTheWholeInvoiceAndSaysSo) {
  // A memo left behind under the number makes the memo's add fail after everything else is written.
  records::MemoBuf = records::MemoRec{};
  records::MemoBuf.Number.Set("1001");
  IsamRecRef memoRef = 0;
  ASSERT_TRUE(records::AddMemoRecord(memoRef));
  CurrentCompany.DefaultInvoiceKind.Set("M");
  RunManager([this](TInvEdit1& m) {
    m.SetStatusText(1, "before");
    ui.OnModal<TProdInv>([this](TProdInv& f) {
      f.ICustNo->setText("C100");
      f.ICustName->setText("Acme Tools");
      f.MemoPDesc->setText("Gate repair");
      f.Memo1->setPlainText("Repair of the yard gate");
      f.INet->setText("50.00");
      f.INetChange();
      ui.ExpectMessage(
            "The posting (invoice 1001) could not be completed: memo add operation failed.\n\nNothing of it "
            "was "
            "kept.",
            platform::ui::Application->Title)
          .Answer(mrOk);
      f.OKButtonClick();
      EXPECT_EQ(f.Memo1->toPlainText(), "Repair of the yard gate");
      f.CancelDiscarding();
    });
    m.AddInvoiceClick();
    EXPECT_EQ(m.StatusText(0), "Records: 0");
    EXPECT_EQ(m.StatusText(1), "before");
  });
  EXPECT_EQ(CurrentCompany.NextInvoiceNumber.Get(), "1001");
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
  EXPECT_TRUE(ui.Done());
}

// A kill while the invoice just posted is printing keeps the invoice: its posting has ended, on
// disk, before the printout begins. The printer looks at the journal as the printout starts.
TEST_F(InvoiceManagerTest, TheAddedInvoiceIsOnFileBeforeItsPrintoutBegins) {
  struct Seen {
    int printouts = 0;
    bool postingUnderWay = true;
    std::string journalMark = "unread";
  };
  class WatchingPrinter : public platform::print::RecordingPrintBackend {
   public:
    explicit WatchingPrinter(Seen& seen) : seen_(seen) {}
    void BeginDoc(const QString& title, platform::print::TPrinterOrientation orientation) override {
      ++seen_.printouts;
      seen_.postingUnderWay = storage::PostingUnderWay();
      // Read past the journal's lock, as the disk has it.
      std::ifstream journal(storage::PostingJournalName("12"), std::ios::binary);
      seen_.journalMark.assign(8, 'x');
      journal.read(seen_.journalMark.data(), 8);
      RecordingPrintBackend::BeginDoc(title, orientation);
    }

   private:
    Seen& seen_;
  };
  Seen seen;
  platform::print::ScopedPrintBackend watching(std::make_unique<WatchingPrinter>(seen));
  RunManager([this](TInvEdit1& m) {
    ui.OnModal<TProdInv>([this](TProdInv& f) {
      FillValidInvoice(f);
      f.PrintFlag->setChecked(true);
      f.OKButtonClick();
    });
    m.AddInvoiceClick();
    EXPECT_EQ(m.StatusText(0), "Records: 1");
  });
  EXPECT_GE(seen.printouts, 1);
  EXPECT_FALSE(seen.postingUnderWay);
  EXPECT_EQ(seen.journalMark, std::string(8, '\0'));  // committed: a kill now undoes nothing
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
}

// A posting that fails while the manager is open, at any write, is undone whole (the customer it
// would queue for a label is not queued) and its files opened again: the list goes on reading them
// without being refreshed by hand.
TEST_F(InvoiceManagerTest, AFailedPostingLeavesNothingBehindAndTheListReadsOn) {
  FileRecord(Record("1001", "I", "C100", "2026/03/05", "10.00", "10.00", "0.00"));
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord(
      [](records::CompanyRec& company) { company.NewInvoiceToLabelQueue.Set("Y"); }));
  reports::LabelPrintQueue.Clear();
  RunManager([&](TInvEdit1& m) {
    int undone = 0;
    for (int write = 1;; ++write) {
      SCOPED_TRACE("failing write " + std::to_string(write));
      platform::files::InstallFaultPlan(
          {.OnWrite = platform::files::FaultAction::Fail, .WriteNumber = write, .Errno = ENOSPC});
      try {
        invoicing::PostNewInvoice(NewInvoice("1002", "5.00", "0.00", "5.00", "0.00"));
        platform::files::RemoveFaultPlan();
        break;  // past the posting's last write
      } catch (const storage::PostingFailed& failure) {
        EXPECT_TRUE(failure.Undone());
        ++undone;
      } catch (const std::runtime_error&) {
        // refused before anything was changed
      }
      platform::files::RemoveFaultPlan();
      EXPECT_EQ(reports::LabelPrintQueue.Count(), 0);
      EXPECT_EQ(ListedRefs(m).size(), 1u);
      int32_t status = -1;
      EXPECT_EQ(m.InvBrowser1->BrowserReadCurrent(status), 0);
      EXPECT_EQ(status, 0);
    }
    EXPECT_GE(undone, 3);
    EXPECT_EQ(ListedRefs(m).size(), 2u);
    EXPECT_EQ(reports::LabelPrintQueue.Count(), 1);
  });
  EXPECT_EQ(BooksProblems(), std::vector<std::string>{});
}

// The manager opens at the company's start invoice. A search for it that cannot read says which
// file and why, and the list opens all the same: a failed search is never taken for no invoice at
// or after the start. Each read of the opening fails in turn, over enough records that the search
// reads from the disk.
TEST_F(InvoiceManagerTest, AStartInvoiceThatCannotBeSearchedIsSaidAndTheListStillOpens) {
  FileManyRecords(400);
  const std::string start = std::to_string(20000 + (350 * 7919) % 99991);
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord(
      [&](records::CompanyRec& c) { c.InvoiceManagerStartNumber.Set(start); }));
  const std::vector<testing_support::OpeningRun> runs = testing_support::SweepOpeningReads(
      CloseManagerFiles, records::OpenInvoiceFiles, [] { CreateInvEdit1().ShowModal(); },
      [](platform::ui::Form& m) {
        return Read(dynamic_cast<TInvEdit1&>(m).InvBrowser1->BrowserCurrentRef()).InvoiceNo.Get();
      });
  testing_support::ExpectFailureSaidOrOpenedAt(
      runs, "Invoice Manager: The file 12I.DAT cannot be read now: Input/output error.", start);
}

}  // namespace
