// The figures while a posting waits to be undone, as main starts the program: invoice 1004 killed
// mid-posting in a child, the customer file unreadable at the next start, so that the posting
// waits. The main window says so in a line that stays; every report, chart, list, sheet and quick
// view says that its figures include the posting; nothing goes out to a customer or a vendor;
// and the first start that can undo the posting finds nothing of the refused work on file.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "customers/customer_quick_view.h"
#include "documents/batch_statements.h"
#include "documents/customer_statement.h"
#include "documents/document_buffer.h"
#include "documents/document_refusal.h"
#include "documents/email_document.h"
#include "documents/invoice_printing.h"
#include "documents/mail_readiness.h"
#include "documents/receipt_printing.h"
#include "documents/statement_window.h"
#include "forms/list_window.h"
#include "mail/mail_peers.h"
#include "main_form_fixture.h"
#include "permissions_apply.h"
#include "platform/print/print_test_support.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "posting_folder.h"
#include "products/product_report.h"
#include "purchasing/po_document.h"
#include "purchasing/po_posting.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/last_company.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "reports/report_catalog.h"
#include "reports/report_lines.h"
#include "reports/report_viewer.h"
#include "reports/top10_chart.h"
#include "storage/posting_journal.h"
#include "support/books_check.h"
#include "support/scratch_company.h"
#include "support/screenshot.h"

namespace shell {
namespace {

namespace fs = std::filesystem;
using platform::files::FaultAction;
using platform::files::FaultPlan;
using platform::print::RecordingPrintBackend;
using platform::print::ScopedPrintBackend;
using platform::text::ToQString;
using testing_support::UiScript;

const testing_support::StockBefore kStock = {{"HAMMER", 50}, {"SAW", 20}};

// The line the figures carry while invoice 1004 waits.
const char kFiguresNote[] =
    "These figures may include part of invoice 1004, which was interrupted and is not undone yet.";

class WaitingFiguresTest : public MainFormTest {
 protected:
  WaitingFiguresTest() : clock_(QDateTime(QDate(2026, 12, 7), QTime(10, 0))) {}
  void TearDown() override {
    EndProgram();
    MainFormTest::TearDown();
  }

  // Company 12 in its own folder, closed and named as the company to open, aged today: customer
  // C1 with invoice 1003 (a hammer), vendor V1 with PO 2001 (ten hammers), both with addresses to
  // mail to, and company 13 beside it with nothing waiting.
  void MakeCompanyFolder(const fs::path& folder) {
    fs::create_directory(folder);
    fs::current_path(folder);
    storage::IsamInitialize(0, 30);
    records::CompanyRec company = testing_support::BooksCompanyRecord();
    company.NextInvoiceNumber.Set("1003");
    company.LastAgingDate.Set("12/07/2026");
    company.CompanyEMail.Set("shop@acme-supply.example");
    company.SmtpHost.Set("127.0.0.1:" + std::to_string(smtp_.Port()));
    using testing_support::CompanyFile;
    ASSERT_TRUE(testing_support::OpenScratchCompany(
        company, {CompanyFile::Customers, CompanyFile::Products, CompanyFile::Invoices,
                  CompanyFile::InvoiceLines, CompanyFile::InvoiceMemos, CompanyFile::Vendors,
                  CompanyFile::POHeaders, CompanyFile::POLines, CompanyFile::POMemos}));
    storage::IsamRecRef ref = 0;
    records::CustomerRec customer{};
    customer.CustomerNo.Set("C1");
    customer.CustomerName.Set("Acme Tools");
    customer.CustEMail.Set("ap@acme-tools.example");
    customer.CustBalance.Set("0.00");
    for (auto* amount :
         {&customer.CustAging1, &customer.CustAging2, &customer.CustAging3, &customer.CustAging4})
      amount->Set("0.00");
    ASSERT_TRUE(records::AddCustomerRecord(customer, ref));
    for (const auto& [code, onHand] : kStock) {
      records::ProductRec product{};
      product.Code.Set(code);
      product.Description.Set(code);
      product.OnHand.Set(std::to_string(static_cast<int>(onHand)));
      product.Cost.Set("8.00");
      product.Price.Set("10.00");
      ASSERT_TRUE(records::AddProductRecord(product, ref));
    }
    records::VendorRec vendor{};
    vendor.VendorNo.Set("V1");
    vendor.VendorName.Set("Forge Works");
    vendor.VendEMail.Set("orders@forge-works.example");
    ASSERT_TRUE(records::AddVendorRecord(vendor, ref));
    invoicing::PostNewInvoice(testing_support::Invoice("1003", "C1", "12/07/2026", {{"HAMMER", "1"}}));
    purchasing::PostNewPO(testing_support::PurchaseOrder("2001", "HAMMER", "10", "8.00"));
    ASSERT_TRUE(records::ReadCompanyRecord("12", records::CompanyWorkRec));
    ASSERT_TRUE(records::SaveCurrentCompany());
    records::CompanyWorkRec.CompanyNumber.Set("13");
    records::CompanyWorkRec.CompanyName.Set("Quay Tools");
    ASSERT_TRUE(records::OpenCompanyFile());
    ASSERT_TRUE(records::AddCompanyRecord(ref));
    records::CloseCompanyFile();
    testing_support::CloseEngine();
    records::CurrentCompany = records::CompanyRec{};
    fs::current_path(dir_.path());
  }

  // Invoice 1004 (two hammers) posted by the program in a child on a copy of the folder, killed
  // at write n; the copy is left in `folder`.
  int PostKilled(const fs::path& start, const fs::path& folder, int n) {
    fs::remove_all(folder);
    fs::copy(start, folder);
    FaultPlan plan;
    if (n > 0) {
      plan.OnWrite = FaultAction::Kill;
      plan.WriteNumber = n;
    }
    return testing_support::PostInChildProcess(
        folder,
        [] {
          // As the Invoice Manager posts: its own files held, the others opened around each step.
          return StartUp() && records::OpenInvoiceFile() && records::OpenDetailFile() &&
                 records::OpenMemoFile();
        },
        plan,
        [] {
          invoicing::PostNewInvoice(testing_support::Invoice("1004", "C1", "12/07/2026", {{"HAMMER", "2"}}));
        },
        n > 0 ? testing_support::FaultCount::None : testing_support::FaultCount::Writes);
  }

  // The program started on the folder as main starts it while the customer file may not be
  // read: the posting killed there waits. The file is readable again afterwards, so that the
  // windows can show what it holds; the posting waits for the next start all the same.
  void StartWithCustomersUnreadable(const fs::path& folder) {
    fs::current_path(folder);
    fs::permissions("12C.DAT", fs::perms::none);
    bool started = false;
    {
      testing_support::PermissionsApply unreadable;
      started = StartUp();
    }
    fs::permissions("12C.DAT", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(started);
  }

  // The program ended as its windows end it, and the handles of its files forgotten.
  void EndProgram() {
    ShutDown();
    testing_support::CloseEngine();
    records::CurrentCompany = records::CompanyRec{};
  }

  platform::text::FixedClock clock_;
  testing_support::SmtpServer smtp_;
};

// The files a window can open while invoice 1004 waits: all but the invoice files its posting held
// open, which stay marked for the repair that follows the undo.
bool OpenFilesOutsideThePosting() {
  return records::OpenProductFile() && records::OpenCustomerFile() && records::OpenVendorFile() &&
         records::OpenPOHeaderFile() && records::OpenPODetailFile() && records::OpenPOMemoFile();
}

// The records of company 12's data files.
testing_support::FolderRecords CompanyRecords(const fs::path& folder) {
  testing_support::FolderRecords records = testing_support::ReadFolderRecords(folder);
  std::erase_if(records, [](const auto& file) { return !file.first.starts_with("12"); });
  return records;
}

// The line of the main window, in a picture of the window: its text, and its colours where the
// window shows it.
void ExpectLineShown(const QString& expected) {
  ASSERT_TRUE(MainForm->PostingWaitsLine->isVisible());
  EXPECT_EQ(MainForm->PostingWaitsLine->text(), expected);
  MainForm->resize(900, 640);
  const QImage picture = MainForm->grab().toImage();
  testing_support::SaveScreenshot(picture, "main_form_posting_waits");
  const QRect line(MainForm->PostingWaitsLine->mapTo(MainForm, QPoint(0, 0)),
                   MainForm->PostingWaitsLine->size());
  ASSERT_TRUE(picture.rect().contains(line)) << "the line stands outside the window";
  int banner = 0, text = 0;
  for (int y = line.top(); y <= line.bottom(); ++y)
    for (int x = line.left(); x <= line.right(); ++x) {
      const QColor pixel = picture.pixelColor(x, y);
      banner += pixel == QColor(255, 236, 160);
      text += pixel.red() > 100 && pixel.green() < 60 && pixel.blue() < 60;
    }
  // The banner fills most of the line, and its dark red words cover some of it.
  EXPECT_GT(banner, line.width() * line.height() / 2);
  EXPECT_GT(text, 200);
}

// The note of a window of figures as it is shown: its words whole, within the window.
void ExpectNoteShown(QWidget& window, const QLabel& note, const char* picture) {
  testing_support::SaveScreenshot(window.grab(), picture);
  ASSERT_TRUE(note.isVisible());
  EXPECT_EQ(note.text(), kFiguresNote);
  EXPECT_GE(note.width(), note.sizeHint().width()) << "the note is cut";
  EXPECT_TRUE(window.rect().contains(QRect(note.mapTo(&window, QPoint(0, 0)), note.size())))
      << "the note stands outside the window";
}

// Every place figures are shown or printed while the posting waits carries the note, once, with
// the figures it qualifies: the report in its viewer, printed to a PDF read back by pdftotext, and
// saved as text; the Top 10 chart; the quick view; the product list; a product's sheet.
void ExpectFiguresNoted(const fs::path& folder) {
  reports::ReportTitle = "Inventory Report";
  reports::ReportRequest request;
  request.Now = platform::text::Now();
  reports::Trtreport& viewer = reports::Creatertreport();
  viewer.LoadReport(reports::FindReport("Inventory Report")->Collect(request));
  const QString pdf = ToQString((folder / "inventory.pdf").string());
  const QString saved = ToQString((folder / "INVENTORY.TXT").string());
  {
    auto qt = std::make_unique<platform::print::QtPrintBackend>();
    qt->SetPrintToFile(true);
    qt->SetOutputFile(pdf);
    ScopedPrintBackend printer(std::move(qt));
    UiScript ui;
    ui.OnModal<reports::Trtreport>([&](reports::Trtreport& v) {
      ExpectNoteShown(v, *v.FiguresNote, "report_viewer_posting_waits");
      ui.ExpectMessage("Inventory Report saved as " + pdf + ".", v.Caption());
      v.InvPrintClick();
      v.SaveButnClick();
      v.SpeedButton2Click();
    });
    ui.ExpectSaveFile().Answer(saved);
    ui.OnModal<reports::TMyChart>([](reports::TMyChart& chart) {
      ExpectNoteShown(chart, *chart.FiguresNote, "top10_chart_posting_waits");
    });
    viewer.ShowModal();
    EXPECT_TRUE(ui.Done());
  }
  const QString printed = print_testing::PdfText(pdf);
  EXPECT_EQ(printed.count(kFiguresNote), 1) << printed.toStdString();
  // HAMMER's row as the half posting left it: 50 less the one of invoice 1003 and the two of 1004.
  const std::vector<print_testing::PdfWord> words = print_testing::PdfWords(pdf);
  const auto hammerWord = std::find_if(words.begin(), words.end(),
                                       [](const print_testing::PdfWord& w) { return w.text == "HAMMER"; });
  ASSERT_NE(hammerWord, words.end());
  QStringList row;
  for (const print_testing::PdfWord& word : words) {
    EXPECT_TRUE(print_testing::WithinPrintableArea(word)) << word.text.toStdString();
    if (word.page == hammerWord->page && std::abs(word.yMin - hammerWord->yMin) < 1) row << word.text;
  }
  EXPECT_EQ(row, (QStringList{"*None*", "HAMMER", "HAMMER", "47.00", "8.00", "10.00", "376.00"}));
  const QString keep = qEnvironmentVariable("KESTRAVA_PRINTOUT_DIR");
  if (!keep.isEmpty()) QFile::copy(pdf, keep + "/inventory_while_a_posting_waits.pdf");
  QFile text(saved);
  ASSERT_TRUE(text.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromLatin1(text.readAll()).count(kFiguresNote), 1);

  UiScript ui;
  customers::TQView& view = customers::CreateQView();
  ui.OnModal<customers::TQView>(
      [](customers::TQView& v) { ExpectNoteShown(v, *v.FiguresNote, "quick_view_posting_waits"); });
  view.ShowModal();

  ASSERT_TRUE(forms::LoadListReport(products::ProductListLines(1)));
  ui.OnModal<forms::TListWindow>([](forms::TListWindow& w) {
    const std::vector<std::string> list = w.Lines();
    ASSERT_GT(list.size(), 4u);
    EXPECT_EQ(list.front(), kFiguresNote);
    EXPECT_TRUE(list[1].starts_with("Product List for ")) << list[1];
  });
  forms::ShowLoadedListReport();

  auto* recorder = new RecordingPrintBackend;
  ScopedPrintBackend printer{std::unique_ptr<RecordingPrintBackend>(recorder)};
  records::ProductRec hammer{};
  hammer.Code.Set("HAMMER");
  products::PrintProductSheet(hammer);
  const QString drawn = recorder->Log().join('\n');
  EXPECT_EQ(drawn.count(kFiguresNote), 1) << drawn.toStdString();
  EXPECT_TRUE(ui.Done());
}

// A document for a customer or a vendor, sent on as the managers send it.
struct Document {
  const char* Name;
  const char* Refused;  // the document as the refusal names it
  const char* Verb;
  bool EMail;
  std::function<void()> SendOn;
};

// Invoice 1003 in the document buffer as the Invoice Manager builds it (its files wait for the
// undo here, so the buffer is filled as they would fill it), then sent on.
void SendInvoice(const char* mode, void (*sendOn)()) {
  documents::DocHeader = {};
  documents::DocHeader.DocNumber = "1003";
  documents::DocHeader.AccountNo = "C1";
  documents::DocHeader.BillName = "Acme Tools";
  documents::DocHeader.EMailAddress = "ap@acme-tools.example";
  documents::DocHeader.NetAmount = documents::DocHeader.TotalAmount = documents::DocHeader.BalanceDue =
      documents::DocMoneyText(1000);
  documents::DocMode = mode;
  sendOn();
}

void PrintOnPage() {
  documents::PrintInvoice();
}

void PrintOnReceipt() {
  documents::PrintReceipt();
}

// The statement of Acme Tools, as the Customer Statement window holds it, sent on.
void SendStatement(bool byEMail) {
  documents::Statement = {};
  documents::Statement.Account = {"Acme Tools", "1 Main St", "", "", ""};
  documents::Statement.CustomerNo = "C1";
  documents::StmtEmail = "ap@acme-tools.example";
  documents::PutOutStatement(byEMail);
}

void SendPO() {
  purchasing::POToPrint = "2001";
  purchasing::POPrintMode = 1;
  purchasing::BuildPODocument();
}

const Document kDocuments[] = {
    {"an invoice", "Invoice 1003", documents::kPrinted, false, [] { SendInvoice("INV", PrintOnPage); }},
    {"a receipt", "Invoice 1003", documents::kPrinted, false, [] { SendInvoice("INV", PrintOnReceipt); }},
    {"a packing slip", "Packing slip 1003", documents::kPrinted, false,
     [] { SendInvoice("PSL", PrintOnPage); }},
    {"an invoice by e-mail", "Invoice 1003", documents::kEMailed, true,
     [] { SendInvoice("INV", documents::EmailInvoiceText); }},
    {"a statement", "The statement of Acme Tools", documents::kPrinted, false, [] { SendStatement(false); }},
    {"a statement by e-mail", "The statement of Acme Tools", documents::kEMailed, true,
     [] { SendStatement(true); }},
    {"a batch of statements", "The statements", documents::kPrinted, false,
     [] { documents::BatchPrintStatements([](const QString&) {}); }},
    {"a PO", "PO 2001", documents::kPrinted, false, SendPO},
    {"a PO by e-mail", "PO 2001", documents::kEMailed, true, SendPO},
};

// Each document is refused in the words every waiting posting uses, said once, and nothing of
// it reaches the printer or the mail server.
void ExpectDocumentsRefused(const testing_support::SmtpServer& smtp) {
  auto* recorder = new RecordingPrintBackend;
  ScopedPrintBackend printer{std::unique_ptr<RecordingPrintBackend>(recorder)};
  for (const Document& document : kDocuments) {
    SCOPED_TRACE(document.Name);
    MainForm->EMdef->setChecked(document.EMail);
    MainForm->PrinDef->setChecked(!document.EMail);
    const std::string refusal = storage::WaitingPostingRefusal(document.Refused, document.Verb);
    EXPECT_NE(refusal.find(" now: invoice 1004 was interrupted and is not undone yet."), std::string::npos)
        << refusal;
    UiScript ui;
    ui.ExpectMessage(ToQString(refusal), platform::ui::Application->Title).Icon(platform::ui::MsgIcon::Error);
    // As the managers go on line before they send anything by e-mail.
    ASSERT_TRUE(!document.EMail || documents::EnsureMailOnline());
    const bool wentOn = platform::ui::RunEventHandler(document.SendOn);
    EXPECT_FALSE(wentOn) << "the document went on as if nothing waited";
    EXPECT_TRUE(ui.Done());
    EXPECT_TRUE(recorder->Log().isEmpty()) << "printed: " << recorder->Log().value(0).toStdString();
    recorder->ClearLog();
    EXPECT_EQ(smtp.Message(1), "");
  }
  MainForm->PrinDef->setChecked(true);
}

TEST_F(WaitingFiguresTest, WhileAPostingWaitsEveryFigureSaysSoAndNoDocumentGoesOut) {
  const fs::path start = dir_.path() / "start";
  MakeCompanyFolder(start);
  const int writes = PostKilled(start, dir_.path() / "count", 0) - 10;
  ASSERT_GT(writes, 2);

  // The last kill that leaves the posting whole in the journal: the start that cannot read the
  // customer file keeps it waiting, and the windows can open the files it wrote and closed again.
  const fs::path folder = dir_.path() / "waits";
  int n = writes;
  for (; n > 0; --n) {
    ASSERT_EQ(PostKilled(start, folder, n), platform::files::FaultKilledExitCode);
    testing_support::RestartUser user;
    StartWithCustomersUnreadable(folder);
    if (storage::WaitingPostingOf("12") && OpenFilesOutsideThePosting()) {
      ASSERT_EQ(user.told.size(), 1u);
      EXPECT_TRUE(user.told.front().contains("Invoice 1004") &&
                  user.told.front().contains("12C.DAT could not be opened: Permission denied"))
          << user.told.front().toStdString();
      break;
    }
    EndProgram();
    fs::current_path(dir_.path());
  }
  ASSERT_GT(n, 0) << "no kill left invoice 1004 waiting with its files readable";

  const QString line = ToQString(storage::WaitingPostingLine());
  EXPECT_TRUE(line.startsWith(
      "Invoice 1004 was interrupted and is not undone yet; the figures shown may include part "
      "of it until it is undone. "))
      << line.toStdString();
  ExpectLineShown(line);
  ExpectFiguresNoted(folder);
  ExpectDocumentsRefused(smtp_);

  // Another company open: its figures are its own, and the line goes; back, it is there again.
  records::CompanyWorkRec = records::CompanyRec{};
  ASSERT_TRUE(records::ReadCompanyRecord("13", records::CompanyWorkRec));
  MainForm->ChangeCompany("12");
  EXPECT_FALSE(MainForm->PostingWaitsLine->isVisible());
  EXPECT_EQ(storage::WaitingPostingFiguresNote(), "");
  ASSERT_TRUE(records::ReadCompanyRecord("12", records::CompanyWorkRec));
  MainForm->ChangeCompany("13");
  EXPECT_TRUE(MainForm->PostingWaitsLine->isVisible());
  EndProgram();

  // The first start that can read the customer file undoes invoice 1004: the books are as before
  // it, and nothing refused left a mark (no document marked printed, no statement run dated).
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    EXPECT_FALSE(MainForm->PostingWaitsLine->isVisible());
    ASSERT_TRUE(testing_support::OpenCompanyFiles());
    EXPECT_EQ(testing_support::BooksProblems(records::CurrentCompany, kStock), std::vector<std::string>{});
    ASSERT_EQ(user.told.size(), 1u);
    EXPECT_TRUE(user.told.front().contains("Invoice 1004")) << user.told.front().toStdString();
  }
  EndProgram();
  fs::current_path(dir_.path());
  EXPECT_EQ(CompanyRecords(folder), CompanyRecords(start));
}

}  // namespace
}  // namespace shell
