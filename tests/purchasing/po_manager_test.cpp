// The Purchase Order Manager worked as a user works it, offscreen: its rows, the six orders and
// the vendor filter over a few dozen POs, a damaged header, view, print and batch print on the
// recording printer, e-mail to a real SMTP server (aiosmtpd), delete with the Delete key, and a
// picture of the window for the eye. The books are checked from the files after every change.
#include "purchasing/po_manager.h"

#include <QDir>
#include <QJsonArray>
#include <QKeyEvent>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "documents/document_view.h"
#include "forms/batch_print_dialog.h"
#include "forms/run_state.h"
#include "mail/mail_peers.h"
#include "platform/print/qt_print_backend.h"
#include "platform/text/date_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "po_output_fixture.h"
#include "purchasing/po_document.h"
#include "purchasing/po_posting.h"
#include "purchasing/po_texts.h"
#include "records/company_file.h"
#include "records/memo_file.h"
#include "records/po_header_file.h"
#include "records/record_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/read_sweep.h"
#include "support/whole_window.h"

namespace {

using platform::ui::mrOk;
using platform::ui::mrYes;
using purchasing::EnteredPO;
using purchasing::TPOList1;
using records::CurrentCompany;
using records::POHeaderRec;
using storage::IsamRecRef;
using test_fixtures::PO;
using test_fixtures::POLine;

class POManagerTest : public test_fixtures::POOutputTest {
 protected:
  ~POManagerTest() override { forms::DocumentsByEMail = nullptr; }

  // Shows the manager modally with `work` standing in for the user; the manager holds the PO
  // files while it is shown, the checks read them afterwards.
  void RunManager(const std::function<void(TPOList1&)>& work) {
    CloseManagerFiles();
    ui.OnModal<TPOList1>([work](TPOList1& m) { work(m); });
    purchasing::CreatePOList1().ShowModal();
    EXPECT_FALSE(storage::IsamIsOpen(records::POHeaderFile));  // let go when the manager closes
    EXPECT_TRUE(records::OpenPOFiles());
  }

  // Lets go of the files the manager opens itself.
  static void CloseManagerFiles() {
    for (storage::IsamFileBlock* file :
         {&records::POHeaderFile, &records::PODetailFile, &records::POMemoFile}) {
      storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }

  // Every listed record in the browser's order, walked row by row from the first.
  static std::vector<POHeaderRec> Listed(TPOList1& m) {
    std::vector<IsamRecRef> refs;
    m.RecBrowser1->FirstEntry();
    for (IsamRecRef ref = m.RecBrowser1->BrowserCurrentRef(); ref > 0 && (refs.empty() || ref != refs.back());
         ref = m.RecBrowser1->BrowserCurrentRef()) {
      refs.push_back(ref);
      m.RecBrowser1->RowDown();
    }
    std::vector<POHeaderRec> listed;
    for (IsamRecRef ref : refs) {
      POHeaderRec r{};
      storage::IsamGetRec(records::POHeaderFile, ref, &r, sizeof r);
      listed.push_back(r);
    }
    return listed;
  }

  // The highlighted record (the record buffer holds the row built last).
  static POHeaderRec Current(TPOList1& m) {
    POHeaderRec r{};
    storage::IsamGetRec(records::POHeaderFile, m.RecBrowser1->BrowserCurrentRef(), &r, sizeof r);
    return r;
  }

  // Moves the highlight to the PO with the number.
  static void Highlight(TPOList1& m, const char* number) {
    POHeaderRec wanted{};
    wanted.PONumber.Set(number);
    IsamRecRef ref = 0;
    ASSERT_TRUE(records::ReadByKey(records::POHeaderUnit(), records::BuildPOHeaderKey(wanted, 1), 1,
                                   records::POHeaderBuf, ref));
    m.RecBrowser1->BrowserGoToKey(
        records::BuildPOHeaderKey(records::POHeaderBuf, m.RecBrowser1->BrowserKeyNumber()), ref);
  }

  // 24 POs of four vendors over two months: dates, key codes and required dates spread, every
  // third received on entry.
  static void PostManyPOs() {
    for (int i = 0; i < 24; ++i) {
      EnteredPO po = PO(std::to_string(6000 + (i * 7) % 24).c_str(), {POLine(1, "AB", "1")});
      po.VendorNo = "V" + std::to_string(1 + i % 4);
      po.Date = QDate(2026, 10, 1).addDays((i * 11) % 60).toString("MM/dd/yyyy").toStdString();
      po.DateRequired = QDate(2026, 12, 1).addDays((i * 5) % 31).toString("MM/dd/yyyy").toStdString();
      po.KeyCode = std::string("KEY") + static_cast<char>('A' + (i * 3) % 5);
      po.MarkReceived = i % 3 == 0;
      po.ReceivedDate = QDate(2026, 11, 1).addDays(i).toString("MM/dd/yyyy").toStdString();
      purchasing::PostNewPO(po);
    }
  }

  static void MarkPrinted(const char* number) {
    POHeaderRec wanted{}, header{};
    wanted.PONumber.Set(number);
    IsamRecRef ref = 0;
    ASSERT_TRUE(
        records::ReadByKey(records::POHeaderUnit(), records::BuildPOHeaderKey(wanted, 1), 1, header, ref));
    const POHeaderRec before = header;
    header.Printed.Set("Y");
    ASSERT_TRUE(records::UpdatePOHeaderRecord(header, before, ref));
  }

  std::vector<std::string> PrintedJobs() const {
    std::vector<std::string> jobs;
    for (const QString& line : printer_->Log().filter(QRegularExpression("^BeginDoc\\(")))
      jobs.push_back(line.section('"', 1, 1).toStdString());
    return jobs;
  }
};

// The field of a header that display key keyNr orders by, as a reader would compare it.
std::string OrderField(const POHeaderRec& r, int32_t keyNr) {
  using platform::text::TrimBlanks;
  using platform::text::UpperCase;
  switch (keyNr) {
    case 1:
      return UpperCase(TrimBlanks(r.PONumber.Get()));
    case 2:
      return UpperCase(TrimBlanks(r.VendorNo.Get()));
    case 3:
      return r.SortDate.Get();
    case 4:
      return UpperCase(TrimBlanks(r.KeyCode.Get()));
    case 6:
      return TrimBlanks(r.ReceivedDate.Get());
    default:
      return r.DateRequired.Get();
  }
}

TEST(POManagerTexts, RowsStandInTheirColumnsAndDamagedHeadersCanBeFound) {
  POHeaderRec r{};
  r.SortDate.Set("2026/12/01");
  r.PONumber.Set(" 5001");
  r.VendorNo.Set("V1");
  r.ShortName.Set("FIRST");
  r.POTotal.Set("1234567.5");
  r.KeyCode.Set("None");
  r.ReceivedDate.Set(" ");
  r.DateRequired.Set("2026/12/15");
  r.CompanyNumber.Set("12");
  char expected[256];
  std::snprintf(expected, sizeof expected, "%-10s %-9s %-8s %-10s %12s %-8s %-10s %-10s %-5s", "2026/12/01",
                "5001", "V1", "FIRST", "1,234,567.50", "None", "", "2026/12/15", "12");
  std::string row = expected;
  row.resize(128, ' ');
  EXPECT_EQ(purchasing::POBrowserRow(r), row);
  std::snprintf(expected, sizeof expected, "%-10s %-9s %-8s %-10s %12s %-8s %-10s %-10s %-5s", "Year/Mo/Dy",
                "PO#", "Vendor#", "Short Name", "Grand Total", "Key Code", "Received", "Required", "CO#");
  std::string header = expected;
  header.resize(128, ' ');
  EXPECT_EQ(purchasing::POBrowserHeader(), header);
  EXPECT_EQ(purchasing::UnreadablePORow("5001").substr(0, 11), "****  5001 ");

  EXPECT_FALSE(purchasing::MarkDamagedPO(r));
  for (int field = 0; field < 3; ++field) {
    POHeaderRec damaged = r;
    if (field == 0) damaged.PONumber.Set("  ");
    if (field == 1) damaged.POTotal.Set("  ");
    if (field == 2) damaged.VendorNo.Set("  ");
    EXPECT_TRUE(purchasing::MarkDamagedPO(damaged));
    EXPECT_EQ(purchasing::POBrowserRow(damaged).substr(11, 51),
              "DELETE ME 0        BAD RECORD         0.00 None    ");
  }
}

TEST_F(POManagerTest, TheSixOrdersTheVendorFilterAndADamagedHeader) {
  PostManyPOs();
  POHeaderRec damaged{};
  damaged.PONumber.Set("6100");
  damaged.VendorNo.Set("V2");
  damaged.SortDate.Set("2026/10/05");
  IsamRecRef damagedRef = 0;
  ASSERT_TRUE(records::AddPOHeaderRecord(damaged, damagedRef));
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord(
      [](records::CompanyRec& c) { c.POManagerStartNumber.Set("6011"); }));

  RunManager([&](TPOList1& m) {
    EXPECT_EQ(m.Caption(), "Purchase Order Manager");
    EXPECT_EQ(m.CName->text(), "Kestrel Hardware - #12");
    EXPECT_EQ(m.StatusText(0), "Records: 25");
    EXPECT_EQ(m.StatusText(1), "Right-click mouse or select from menu bar.");
    EXPECT_EQ(m.CFilter->text(), "Filter Closed");
    EXPECT_EQ(m.RecBrowser1->Header().toStdString(), purchasing::POBrowserHeader());
    EXPECT_EQ(m.RecBrowser1->BrowserKeyNumber(), 3);
    EXPECT_EQ(Current(m).PONumber.Get(), "6011");  // opens on the company's last PO

    const int32_t keys[] = {1, 3, 2, 4, 6, 7};
    for (std::size_t item = 0; item < std::size(keys); ++item) {
      m.OrderItems[item]->trigger();
      for (std::size_t other = 0; other < std::size(keys); ++other)
        EXPECT_EQ(m.OrderItems[other]->isChecked(), other == item);
      EXPECT_EQ(purchasing::POSortKey, keys[item]);
      const std::vector<POHeaderRec> listed = Listed(m);
      ASSERT_EQ(listed.size(), 25u) << "key " << keys[item];
      EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(),
                                 [&](const POHeaderRec& a, const POHeaderRec& b) {
                                   return OrderField(a, keys[item]) < OrderField(b, keys[item]);
                                 }))
          << "key " << keys[item];
    }

    // The damaged header is listed so that it can be found and deleted; the file keeps it as it is.
    storage::RowRec rr;
    rr.Ref = damagedRef;
    ASSERT_EQ(m.RecBrowser1->BrowserReadRecordOfRow(damagedRef), 0);
    m.RecBrowser1BuildRow(m.RecBrowser1, rr);
    EXPECT_EQ(rr.Text[0].substr(0, 54), "2026/10/05 DELETE ME 0        BAD RECORD         0.00 ");

    // The filter keeps one vendor's POs in the order chosen.
    m.OrderItems[0]->trigger();
    Highlight(m, "6005");
    const std::string vendor = platform::text::TrimBlanks(Current(m).VendorNo.Get());
    EXPECT_EQ(Current(m).PONumber.Get(), "6005");
    m.SpeedButton2->click();
    EXPECT_TRUE(m.Filtering());
    EXPECT_EQ(m.CFilter->text().toStdString(), "Filtering Vendor#: " + vendor);
    EXPECT_EQ(m.StatusText(1), "Click filter button again to clear filter.");
    const std::vector<POHeaderRec> filtered = Listed(m);
    EXPECT_EQ(filtered.size(), 6u);
    for (const POHeaderRec& r : filtered) EXPECT_EQ(platform::text::TrimBlanks(r.VendorNo.Get()), vendor);
    m.SpeedButton2->click();
    EXPECT_FALSE(m.Filtering());
    EXPECT_EQ(m.CFilter->text(), "Filter Closed");
    EXPECT_EQ(m.StatusText(1), "Filter closed.");
    EXPECT_EQ(Listed(m).size(), 25u);
    m.OrderItems[5]->trigger();
  });

  // Reopened, the window lists in the order last chosen, on the company's last PO.
  RunManager([](TPOList1& m) {
    EXPECT_EQ(m.RecBrowser1->BrowserKeyNumber(), 7);
    EXPECT_EQ(Current(m).PONumber.Get(), "6011");
  });
  ExpectBooksBalance();
}

TEST_F(POManagerTest, BatchPrintTakesTheUnprintedOpenPOsInFileOrderUpToTheCountTyped) {
  for (const char* number : {"5003", "5001", "5004", "5002", "5005"})
    purchasing::PostNewPO(PO(number, {POLine(1, "WIDGET", "2")}));
  MarkPrinted("5004");
  POHeaderRec receipt = Header("5002");  // a header of another status is never in a batch
  receipt.PONumber.Set("5006");
  receipt.POStatus.Set("R");
  IsamRecRef ref = 0;
  ASSERT_TRUE(records::AddPOHeaderRecord(receipt, ref));
  EXPECT_EQ(purchasing::UnprintedPONumbers(), (std::vector<std::string>{"5003", "5001", "5002", "5005"}));
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) {
    c.POPrintFileCopies = 1;
    c.POFileCopyCount.Set("1");
  }));

  RunManager([&](TPOList1& m) {
    ui.OnModal<forms::TInvBatch>([](forms::TInvBatch& d) {
      EXPECT_EQ(d.Caption(), "PO Batch Print");
      EXPECT_EQ(d.Label1->text(), "There are 4 PO(s) to print.");
      EXPECT_EQ(d.Label3->text(), "File Copies will be printed.");
      EXPECT_EQ(d.Button1->text(), "&Print");
      EXPECT_EQ(d.BatchNum->text(), "4");
      d.BatchNum->setText("3");
      d.Button1Click();
    });
    m.BatchPrinButn->click();
    EXPECT_EQ(m.StatusText(1), "Batch Print complete. 3 POs sent to spooler.");
    EXPECT_EQ(purchasing::POPrintMode, 0);
    EXPECT_EQ(purchasing::POBatchRun, 0);
  });
  // Each PO and its file copy, in the file's order.
  EXPECT_EQ(PrintedJobs(), (std::vector<std::string>{"PO - 5003", "PO - 5003", "PO - 5001", "PO - 5001",
                                                     "PO - 5002", "PO - 5002"}));
  for (const char* number : {"5003", "5001", "5002", "5004"})
    EXPECT_EQ(Header(number).Printed.Get(), "Y") << number;
  EXPECT_EQ(Header("5005").Printed.Get(), "");

  // A count that is no whole number is refused with the conversion error, and nothing is printed.
  printer_->ClearLog();
  RunManager([&](TPOList1& m) {
    ui.OnModal<forms::TInvBatch>([](forms::TInvBatch& d) {
      d.BatchNum->setText("1x");
      d.Button1Click();
    });
    EXPECT_THROW(m.BatchPrinButnClick(), platform::text::ConvertError);
    EXPECT_EQ(purchasing::POBatchRun, 0);
  });
  EXPECT_EQ(PrintedJobs(), std::vector<std::string>{});
  EXPECT_EQ(Header("5005").Printed.Get(), "");

  // A count above what there is prints what there is; then there is nothing left.
  RunManager([&](TPOList1& m) {
    ui.OnModal<forms::TInvBatch>([](forms::TInvBatch& d) {
      d.BatchNum->setText("50");
      d.Button1Click();
    });
    m.BatchPrint1->trigger();
    EXPECT_EQ(m.StatusText(1), "Batch Print complete. 1 POs sent to spooler.");
    ui.ExpectMessage("There are no POs to print.", "Batch Print");
    m.BatchPrinButnClick();
  });
  EXPECT_EQ(PrintedJobs(), (std::vector<std::string>{"PO - 5005", "PO - 5005"}));
  ExpectBooksBalance();
}

TEST_F(POManagerTest, ViewPrintAndDeleteWorkOnTheHighlightedPO) {
  purchasing::PostNewPO(PO("5001", {POLine(1, "WIDGET", "10")}));
  purchasing::PostNewPO(PO("5002", {POLine(1, "AB", "5")}));
  Receive("5002", "300", {{"AB", "2"}});
  Receive("5002", "301", {{"AB", "3"}});
  EXPECT_EQ(OnHand("AB"), "5");

  RunManager([&](TPOList1& m) {
    Highlight(m, "5001");
    ui.OnModal<documents::Trtedit>(
        [](documents::Trtedit& view) { EXPECT_EQ(view.Caption(), "View Purchase Order# 5001"); });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&m, &enter);
    EXPECT_TRUE(PrintedJobs().empty());

    m.ToPrinterButn->click();
    EXPECT_EQ(PrintedJobs(), std::vector<std::string>{"PO - 5001"});
    EXPECT_EQ(m.StatusText(1), "PO 5001 sent to print queue.");

    Highlight(m, "5002");
    ui.ExpectMessage(
        "This PO has been fully received. If you delete this PO all receiving information will also be "
        "removed.",
        "Warning");
    ui.ExpectMessage("Are you sure you want to delete this record?", "Delete PO#: 5002").Answer(mrYes);
    ui.ExpectMessage(
          "This PO had receivers. The stock balances were adjusted to backout the items that had been "
          "received.",
          "Receivers Present")
        .Icon(platform::ui::MsgIcon::Information);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(&m, &del);
    EXPECT_EQ(m.StatusText(1), "Deleted PO 5002 containing 2 line item(s).");
    EXPECT_EQ(m.StatusText(0), "Records: 1");
  });
  EXPECT_EQ(Header("5001").Printed.Get(), "Y");
  EXPECT_EQ(OnHand("AB"), "0");
  EXPECT_TRUE(Details("5002").empty());
  ExpectBooksBalance();
}

// While a posting waits to be undone, a PO can be neither added nor changed: the user is told so
// as the PO window would open, before typing anything, and it does not open.
TEST_F(POManagerTest, NewEditAndDeleteAreRefusedBeforeAnythingIsAskedWhileAPostingWaits) {
  purchasing::PostNewPO(PO("5001", {POLine(1, "WIDGET", "10")}));
  const QString waits =
      " now: invoice 1004 was interrupted and is not undone yet. Make 12C.DAT readable and start the "
      "program again.";
  RunManager([&](TPOList1& m) {
    Highlight(m, "5001");
    ui.ExpectMessage("A new PO cannot be added" + waits, "New PO").Icon(platform::ui::MsgIcon::Warning);
    ui.ExpectMessage("PO 5001 cannot be changed" + waits, "Edit PO").Icon(platform::ui::MsgIcon::Warning);
    ui.ExpectMessage("PO 5001 cannot be deleted" + waits, "Delete PO").Icon(platform::ui::MsgIcon::Warning);
    storage::KeepJournalWaiting("12", "invoice 1004", "Make 12C.DAT readable and start the program again.");
    m.NewPOClicked();
    m.EditPOClicked();
    m.Delete1Click();
    storage::ForgetWaitingJournal("12");
  });
  EXPECT_TRUE(ui.Done());  // the PO window opened would have failed as unexpected
  ExpectBooksBalance();
}

// Printed to a chosen file with a file copy, the PO becomes two files: the status names both.
TEST_F(POManagerTest, PrintedToAChosenFileTheStatusNamesEveryFileWritten) {
  purchasing::PostNewPO(PO("5001", {POLine(1, "WIDGET", "10")}));
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  const QString chosen = QDir::current().absoluteFilePath("po5001.pdf");
  backend->SetOutputFile(chosen);
  platform::print::ScopedPrintBackend toFile(std::move(backend));
  CurrentCompany.POPrintFileCopies = 1;
  CurrentCompany.POFileCopyCount.Set("1");
  RunManager([&](TPOList1& m) {
    Highlight(m, "5001");
    m.ToPrinterButn->click();
    EXPECT_EQ(m.StatusText(1).toStdString(),
              ("PO 5001 saved as " + chosen + " and po5001 (2).pdf.").toStdString());
  });
}

TEST_F(POManagerTest, OnePOAndABatchGoByEMailToARealServer) {
  testing_support::SmtpServer server;
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord(
      [&server](records::CompanyRec& c) { c.SmtpHost.Set("127.0.0.1:" + std::to_string(server.Port())); }));
  forms::DocumentsByEMail = [] { return true; };
  purchasing::PostNewPO(PO("5001", {POLine(1, "WIDGET", "10")}));
  purchasing::PostNewPO(PO("5002", {POLine(1, "AB", "5")}));
  purchasing::PostNewPO(PO("5003", {POLine(1, "AB", "1")}));

  RunManager([&](TPOList1& m) {
    Highlight(m, "5001");
    ui.ExpectMessage("PO 5001 (1 recipient) sent by e-mail.", "E-Mail PO");
    m.ToPrinterButnClick();
    EXPECT_EQ(m.StatusText(1), "PO 5001 sent by e-mail.");
    EXPECT_FALSE(documents::rtedit->msSMTP1->GetConnected());

    ui.OnModal<forms::TInvBatch>([](forms::TInvBatch& d) {
      EXPECT_EQ(d.Caption(), "PO Batch E-Mail");
      EXPECT_EQ(d.Label1->text(), "There are 2 PO(s) to e-mail.");
      EXPECT_EQ(d.Label2->text(), "* E-Mail Mode *");
      EXPECT_EQ(d.Label3->text(), "(No file copies are e-mailed.)");
      EXPECT_EQ(d.Button1->text(), "&E-Mail");
      d.Button1Click();
    });
    ui.ExpectMessage("E-mail operation complete.", "Batch E-Mail");
    m.BatchPrinButnClick();
    EXPECT_EQ(m.StatusText(1), "Batch Print complete. 2 POs sent by e-mail.");
  });
  EXPECT_TRUE(PrintedJobs().empty());  // file copies are never e-mailed
  std::vector<QString> subjects;
  for (int n = 1; n <= 3; ++n) {
    EXPECT_EQ(server.Envelope(n)["rcpt_tos"].toArray(), (QJsonArray{"orders@first.example"}));
    subjects.push_back(testing_support::ParsedByPython(server.Message(n))["subject"].toString());
  }
  EXPECT_EQ(subjects, (std::vector<QString>{"PURCHASE ORDER - 5001", "PURCHASE ORDER - 5002",
                                            "PURCHASE ORDER - 5003"}));
  const std::string today = platform::text::DateToStr(QDate(2026, 12, 7));
  for (const char* number : {"5001", "5002", "5003"})
    EXPECT_EQ(Header(number).Printed.Get() + " " + Header(number).EMailedDate.Get(), "Y " + today) << number;

  // A vendor without an address gets nothing, and the user is told.
  ChangeVendor([](records::VendorRec& v) { v.VendEMail.Set(" "); });
  purchasing::PostNewPO(PO("5004", {POLine(1, "AB", "1")}));
  RunManager([&](TPOList1& m) {
    Highlight(m, "5004");
    ui.ExpectMessage("This vendor has no e-mail address. PO not sent by e-mail.", "E-Mail PO");
    m.Print1->trigger();
    EXPECT_EQ(m.StatusText(1), "PO 5004 was not sent by e-mail.");
  });
  EXPECT_TRUE(server.Message(4).empty());
  EXPECT_EQ(Header("5004").Printed.Get(), "");
  ExpectBooksBalance();
}

TEST_F(POManagerTest, APictureOfTheWindow) {
  PostManyPOs();
  RunManager([](TPOList1& m) {
    m.resize(1000, 520);
    const QImage picture = m.grab().toImage();
    EXPECT_EQ(picture.size(), QSize(1000, 520));
    testing_support::ExpectWholeWindow(m, "po_manager");
  });
}

// The manager opens at the company's start PO. A search for it that cannot read says which file
// and why, and the list opens all the same: a failed search is never taken for a start PO that is
// not on file. Each read of the opening fails in turn, over enough POs that the search reads from
// the disk.
TEST_F(POManagerTest, AStartPOThatCannotBeSearchedIsSaidAndTheListStillOpens) {
  for (int i = 0; i < 400; ++i) {
    POHeaderRec header{};
    header.PONumber.Set(std::to_string(7000 + i));
    header.VendorNo.Set("V1");
    header.SortDate.Set("2026/10/05");
    IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddPOHeaderRecord(header, ref));
  }
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord(
      [](records::CompanyRec& c) { c.POManagerStartNumber.Set("7350"); }));

  const std::vector<testing_support::OpeningRun> runs = testing_support::SweepOpeningReads(
      CloseManagerFiles, records::OpenPOFiles, [] { purchasing::CreatePOList1().ShowModal(); },
      [](platform::ui::Form& m) { return Current(dynamic_cast<TPOList1&>(m)).PONumber.Get(); });
  testing_support::ExpectFailureSaidOrOpenedAt(
      runs, "Purchase Order Manager: The file 12O.DAT cannot be read now: Input/output error.", "7350");
}

}  // namespace
