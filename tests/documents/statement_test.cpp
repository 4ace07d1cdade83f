// Customer statements: built from a customer's records, shown, printed on the recording printer,
// e-mailed to a real SMTP server, and run as a batch through the UI seam.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QLocale>
#include <utility>

#include "documents/batch_statements.h"
#include "documents/customer_statement.h"
#include "documents/document_view.h"
#include "documents/mail_readiness.h"
#include "documents/statement_email.h"
#include "documents/statement_printing.h"
#include "documents/statement_window.h"
#include "mail/mail_peers.h"
#include "platform/print/print_test_support.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "printing_fixture.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "reports/label_queue.h"
#include "storage/stat_form.h"
#include "support/temp_dir.h"
#include "support/whole_window.h"

namespace documents {
namespace {

using platform::text::ToQString;
using platform::ui::mrOk;
using platform::ui::mrYes;
using records::CurrentCompany;
using storage::IsamRecRef;
using testing_printing::Find;
using testing_printing::PlacedTexts;

class StatementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::EnsureGuiApplication();
    platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    platform::text::SetShortDateFormat("mm/dd/yyyy");
    storage::IsamInitialize(0, 30);
    testing_printing::SetUpPrintingCompany();
    CurrentCompany.CompanyNumber.Set("12");
    CurrentCompany.DateOrder.Set("M");
    CurrentCompany.StatementCaption.Set("STATEMENT");
    CurrentCompany.StatementNote.Set("Thank you for your prompt payment");
    CurrentCompany.CompanyEMail.Set("shop@kestrel.example");
    CurrentCompany.AgingCaption1.Set("Current:");
    CurrentCompany.AgingCaption2.Set("30 Days:");
    CurrentCompany.AgingCaption3.Set("60 Days:");
    CurrentCompany.AgingDays2.Set("60");
    CurrentCompany.AgingDays3.Set("90");
    records::InstallCompanyFileNames();
    ASSERT_TRUE(records::CreateCompanyFile() && records::OpenCompanyFile());
    records::CompanyWorkRec = CurrentCompany;
    IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddCompanyRecord(ref));
    records::CloseCompanyFile();
    ASSERT_TRUE(records::CreateCustomerFile() && records::OpenCustomerFile());
    ASSERT_TRUE(records::CreateInvoiceFile() && records::OpenInvoiceFile());
    AddCustomer("C1", "Acme Tools", "130.00", "ap@acme.example");
    Add("C1", "10010", "I", "2026/11/02", "100.00", "0.00", "100.00", "");
    Add("C1", "9999", "I", "2026/11/02", "50.00", "50.00", "0.00", "Paid at the counter");
    Add("C1", "10020", "Z", "2026/11/20", "100.00", "0.00", "40.00", "");
    Add("C1", "10020", "X", "2026/11/25", "0.00", "60.00", "0.00", "");
    Add("C1", "DP15001", "D", "2026/12/01", "0.00", "10.00", "-10.00", "");
    Add("C1", "10030", "R", "2026/10/01", "25.00", "0.00", "25.00", "");
    AddCustomer("C10", "Other Customer", "0.00", "");
    Add("C10", "20000", "I", "2026/12/01", "7.00", "7.00", "0.00", "");
  }
  void TearDown() override {
    EXPECT_TRUE(ui_.Done());
    storage::IsamShutdown();
    records::CustomerFile = records::InvoiceFile = nullptr;
    storage::CurrentCompanyNumber = nullptr;
    StmtUnpaidOnly = false;
    platform::text::UseSystemClock();
    platform::ui::Application->DestroyForms();
  }
  static void AddCustomer(const char* number, const char* name, const char* balance, const char* email) {
    records::CustomerRec c{};
    c.CustomerNo.Set(number);
    c.CustomerName.Set(name);
    c.CustBillTo1.Set("1 Main St");
    c.CustBalance.Set(balance);
    c.CustAging1.Set(balance);
    c.CustAging2.Set("0");
    c.CustAging3.Set("0");
    c.CustAging4.Set("0");
    c.CustEMail.Set(email);
    IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddCustomerRecord(c, ref));
  }
  static void Add(const char* customer, const char* number, const char* type, const char* date,
                  const char* total, const char* paid, const char* due, const char* comment) {
    records::InvoiceBuf = records::InvoiceRec{};
    records::InvoiceRec& r = records::InvoiceBuf;
    r.InvCustomerNo.Set(customer);
    r.InvoiceNo.Set(number);
    r.TransactionType.Set(type);
    r.SortDate.Set(date);
    r.InvTotal.Set(total);
    r.InvPaid.Set(paid);
    r.AmountDue.Set(due);
    r.StatementComment.Set(comment);
    IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddInvoiceRecord(ref));
  }
  static std::vector<std::string> Column(int column) {
    std::vector<std::string> cells;
    for (const StatementRow& row : Statement.Rows) cells.push_back(row[static_cast<std::size_t>(column)]);
    return cells;
  }

  testing_support::TempDir dir_;
  testing_support::UiScript ui_;
};

TEST_F(StatementTest, EveryRecordOfTheCustomerInDateOrderWithTotals) {
  StmtCustomerNo = "c1";
  ASSERT_TRUE(BuildCustomerStatement());
  ASSERT_EQ(Statement.RecordCount(), 6);
  EXPECT_EQ(Statement.Rows[0][0], "Mo/Dy/Year");
  // Same date: invoice numbers compared as text, 10010 before 9999.
  EXPECT_EQ(Column(1), (std::vector<std::string>{"Invoice#", "10030", "10010", "9999", "10020", "10020",
                                                 "DP15001", ""}));
  EXPECT_EQ(Column(0)[1], "10/01/2026");
  EXPECT_EQ(Column(2),
            (std::vector<std::string>{"Reference/Comment", "Repeat Master", "Invoice", "Paid at the counter",
                                      "Partial Payment Invoice", "Partial Payment Made", "Deposit on Account",
                                      "*** Account Totals:"}));
  EXPECT_EQ(Statement.Rows.back()[3], "$275.00");
  EXPECT_EQ(Statement.Rows.back()[4], "$120.00");
  EXPECT_EQ(Statement.Rows.back()[5], "$155.00");
  EXPECT_EQ(Statement.Rows[6][5], "-10.00");
  EXPECT_EQ(StmtEmail, "ap@acme.example");
  EXPECT_EQ(Statement.Account[0], "Acme Tools");

  CurrentCompany.DateOrder.Set("D");
  ASSERT_TRUE(BuildCustomerStatement());
  EXPECT_EQ(Statement.Rows[0][0], "Dy/Mo/Year");
  EXPECT_EQ(Statement.Rows[1][0], "01/10/2026");

  // Records of one date and number follow their comments in the collation of the user's locale,
  // case ignored ("\xC9mile" is Emile with an acute accent).
  const QLocale before;
  QLocale::setDefault(QLocale("en_US"));
  AddCustomer("C20", "Comment Order", "0.00", "");
  for (const char* comment : {"Zeta", "\xC9mile", "anna", "Bob"})
    Add("C20", "5000", "I", "2026/11/02", "1.00", "1.00", "0.00", comment);
  StmtCustomerNo = "C20";
  const bool built = BuildCustomerStatement();
  QLocale::setDefault(before);
  ASSERT_TRUE(built);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Reference/Comment", "anna", "Bob", "\xC9mile", "Zeta",
                                                 "*** Account Totals:"}));
}

TEST_F(StatementTest, UnpaidOnlyCountsWhatWasPaidOfAnInvoiceOnce) {
  StmtCustomerNo = "C1";
  StmtUnpaidOnly = true;
  ASSERT_TRUE(BuildCustomerStatement());
  EXPECT_EQ(Column(1), (std::vector<std::string>{"Invoice#", "10010", "10020", "DP15001", ""}));
  EXPECT_EQ(Statement.Rows[2][4], "60.00");  // 100.00 less the 40.00 still due
  // Each totals cell is the sum of its column.
  EXPECT_EQ(Statement.Rows.back()[3], "$200.00");
  EXPECT_EQ(Statement.Rows.back()[4], "$70.00");
  EXPECT_EQ(Statement.Rows.back()[5], "$130.00");
}

TEST_F(StatementTest, OnlyTheCustomerWithExactlyThatNumberHasAStatement) {
  StmtCustomerNo = "C";  // C1 and C10 follow it in the number key, but neither is "C"
  EXPECT_FALSE(BuildCustomerStatement());
  EXPECT_TRUE(Statement.Rows.empty());
  ui_.ExpectMessage("Customer C was not found.", "Customer: Nobody");
  ShowCustomerStatement("C", "Nobody");
}

// The captions of the window's grid, in its fixed row.
QStringList GridCaptions(const TStment& window) {
  QStringList captions;
  for (int column = 0; column < window.SGrid->columnCount(); ++column)
    captions << window.SGrid->horizontalHeaderItem(column)->text();
  return captions;
}

// How many pixels of the picture within `area` are close to `colour`.
int PixelsOfColour(const QImage& picture, const QRect& area, const QColor& colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor pixel = picture.pixelColor(x, y);
      if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
              std::abs(pixel.blue() - colour.blue()) <
          90)
        ++count;
    }
  return count;
}

TEST_F(StatementTest, TheWindowShowsTheStatementAndRebuildsItUnpaidOnly) {
  ui_.OnModal<TStment>([](TStment& window) {
    EXPECT_EQ(window.Label1->text(), "Acme Tools");
    EXPECT_EQ(GridCaptions(window), (QStringList{"Mo/Dy/Year", "Invoice#", "Reference/Comment",
                                                 "Total Amount", "Paid Amount", "Balance Due", "C"}));
    EXPECT_EQ(window.SGrid->rowCount(), 7);  // six records and the totals
    EXPECT_EQ(window.CSBar->currentMessage(), "There are 6 records selected.");
    window.CheckBox1->setChecked(true);
    EXPECT_EQ(window.SGrid->rowCount(), 4);
    EXPECT_EQ(window.SGrid->item(3, 5)->text(), "$130.00");
    window.resize(760, 400);
    testing_support::ExpectWholeWindow(window, "customer_statement");
  });
  ShowCustomerStatement("C1", "Acme Tools");
}

// The grid takes the company's body font whole, colour included, and its captions stay in sight
// however far the records are scrolled.
TEST_F(StatementTest, TheWindowsCaptionsStayInSightInTheBodyFont) {
  for (int k = 0; k < 40; ++k)
    Add("C1", std::to_string(30000 + k).c_str(), "I", "2026/11/30", "1250.00", "0.00", "1250.00", "");
  CurrentCompany.InvBodyFont.Set(
      "DejaVu Serif", 13,
      0x000000FF,  // red, as the record keeps a colour: 0x00BBGGRR
      records::FontStyleBold | records::FontStyleItalic | records::FontStyleUnderline);
  ui_.OnModal<TStment>([](TStment& window) {
    const QColor red(255, 0, 0);
    for (QWidget* part :
         {static_cast<QWidget*>(window.SGrid), static_cast<QWidget*>(window.SGrid->horizontalHeader())}) {
      SCOPED_TRACE(part->metaObject()->className());
      const QFont font = part->font();
      EXPECT_EQ(font.family(), "DejaVu Serif");
      EXPECT_EQ(font.pointSize(), 13);
      EXPECT_TRUE(font.bold());
      EXPECT_TRUE(font.italic());
      EXPECT_TRUE(font.underline());
      EXPECT_FALSE(font.strikeOut());
    }
    EXPECT_EQ(window.SGrid->palette().color(QPalette::Text), red);

    window.resize(760, 400);
    window.SGrid->scrollToBottom();
    QApplication::processEvents();
    QHeaderView* header = window.SGrid->horizontalHeader();
    EXPECT_TRUE(header->isVisible());
    EXPECT_GT(window.SGrid->rowAt(0), 10) << "the records were scrolled";
    EXPECT_EQ(GridCaptions(window)[1], "Invoice#");
    const QImage picture = window.SGrid->grab().toImage();
    // The captions are drawn above the records, and the records' texts and amounts in red.
    const QRect captions = header->geometry();
    EXPECT_GT(PixelsOfColour(picture, captions, red), 20);
    for (int column : {1, 3}) {
      SCOPED_TRACE(column);
      const QRect cells(window.SGrid->viewport()->x() + window.SGrid->columnViewportPosition(column),
                        window.SGrid->viewport()->y(), window.SGrid->columnWidth(column),
                        window.SGrid->viewport()->height());
      EXPECT_GT(PixelsOfColour(picture, cells, red), 50);
    }
  });
  ShowCustomerStatement("C1", "Acme Tools");
}

TEST_F(StatementTest, ThePrintedStatementPlacesItsRowsInColumns) {
  StmtCustomerNo = "C1";
  ASSERT_TRUE(BuildCustomerStatement());
  CurrentCompany.PrintCustomerAging = 1;
  auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
  platform::print::RecordingPrintBackend* recorder = backend.get();
  platform::print::TPrinter printer(std::move(backend));
  PrintStatement(printer);
  const auto texts = PlacedTexts(recorder->Log());
  EXPECT_TRUE(recorder->Log().first().startsWith("BeginDoc(\"Statement\""));
  // Characters are 50 pixels wide: gap "Xl" 100, date and invoice 400 each, reference 1350,
  // amounts 500 each, from the left margin 75.
  EXPECT_EQ(Find(texts, "Date").x, 75);
  EXPECT_EQ(Find(texts, "Invoice#").x, 575);
  EXPECT_EQ(Find(texts, "Reference/Comments").x, 1075);
  EXPECT_EQ(Find(texts, "10010").x, 575);
  EXPECT_EQ(Find(texts, "Deposit on Account").x, 1075);
  EXPECT_EQ(Find(texts, "-10.00").x,
            2525 + 500 + 100 + 500 + 100 + 500 - 6 * 50);  // ends at the balance column
  EXPECT_EQ(Find(texts, "*** Account Totals:").x, 1075);
  EXPECT_EQ(Find(texts, "$155.00").y, Find(texts, "*** Account Totals:").y);
  EXPECT_EQ(Find(texts, "Account Number: C1").page, 1);
  EXPECT_EQ(Find(texts, "Statement Date: 12/07/2026").page, 1);
  // Rows 100 dots apart from 2350: after the sixth y is 2950, past the page's 3150 less 250, so
  // the totals and the aging strip go on to page 2.
  EXPECT_EQ(Find(texts, "Deposit on Account").page, 1);
  EXPECT_EQ(Find(texts, "Continued on page 2 ...").page, 1);
  EXPECT_EQ(Find(texts, "*** Account Totals:").page, 2);
  EXPECT_EQ(Find(texts, "Current: 130.00").page, 2);
  EXPECT_EQ(Find(texts, "Over 90: 0.00").page, 2);
}

// A statement printed with shading, read back from its PDF: the band under the account block is
// hatched in black between the statement note and the column captions, where nothing else is
// drawn; without shading that strip stays white.
TEST_F(StatementTest, AStatementPrintedWithShadingShowsItsHatchedBox) {
  StmtCustomerNo = "C1";
  ASSERT_TRUE(BuildCustomerStatement());
  for (const bool shading : {false, true}) {
    SCOPED_TRACE(shading ? "shading" : "plain");
    CurrentCompany.UseShading = shading;
    auto backend = std::make_unique<platform::print::QtPrintBackend>();
    backend->SetPrintToFile(true);
    const QString pdf = QDir::current().absoluteFilePath(shading ? "shaded.pdf" : "plain.pdf");
    backend->SetOutputFile(pdf);
    platform::print::TPrinter printer(std::move(backend));
    PrintStatement(printer);

    const std::vector<print_testing::PdfWord> words = print_testing::PdfWords(pdf);
    auto first = [&words](const QString& text) {
      const auto found = std::find_if(
          words.begin(), words.end(),
          [&text](const print_testing::PdfWord& word) { return word.page == 1 && word.text == text; });
      return found == words.end() ? print_testing::PdfWord{} : *found;
    };
    const print_testing::PdfWord note = first("prompt"), caption = first("Reference/Comments");
    ASSERT_EQ(note.page, 1);
    ASSERT_EQ(caption.page, 1);
    ASSERT_LT(note.yMax + 4, caption.yMin - 4);

    constexpr int dpi = 100;
    const QImage page(print_testing::RenderPage(pdf, 1, shading ? "shaded" : "plain", dpi));
    ASSERT_FALSE(page.isNull());
    const double scale = dpi / 72.0;
    const QRect strip(
        QPoint(static_cast<int>(note.pageWidth * 0.1 * scale), static_cast<int>((note.yMax + 4) * scale)),
        QPoint(static_cast<int>(note.pageWidth * 0.9 * scale), static_cast<int>((caption.yMin - 4) * scale)));
    int dark = 0;
    for (int y = strip.top(); y <= strip.bottom(); ++y)
      for (int x = strip.left(); x <= strip.right(); ++x) dark += qGray(page.pixel(x, y)) < 160 ? 1 : 0;
    const int pixels = strip.width() * strip.height();
    if (shading)
      EXPECT_GT(dark, pixels / 20) << dark << " of " << pixels;
    else
      EXPECT_EQ(dark, 0);
  }
}

// The mail as the customer reads it, against the fields of a statement line: date 10, invoice 9,
// reference 20, total 12, paid 11, balance 11, type 1, one blank apart (80 characters). A text
// longer than its field is never cut and pushes what follows; where every text fits, the line is
// 80 characters and each amount ends where its caption ends.
TEST_F(StatementTest, TheEMailedStatementLinesKeepTheirFieldWidths) {
  testing_support::SmtpServer server;
  CurrentCompany.SmtpHost.Set("127.0.0.1:" + std::to_string(server.Port()));
  CurrentCompany.EMailRuleLines.Set("Y");
  Add("C1", "DP15001", "T", "2026/12/02", "0.00", "-10.00", "0.00", "");
  Add("C1", "10040", "G", "2026/12/03", "25.00", "0.00", "25.00", "");
  Add("C1", "10050", "I", "2026/12/04", "1.00", "0.00", "1.00", "Exactly twenty chars");
  Add("C1", "10060", "I", "2026/12/05", "1.00", "0.00", "1.00", "Twenty-one characters");
  Add("C1", "10070", "I", "2026/12/06", "1234567.89", "0.00", "1234567.89", "");
  StmtCustomerNo = "C1";
  ASSERT_TRUE(BuildCustomerStatement());
  std::vector<std::string> text = StatementMailText();
  EXPECT_EQ(text[0], "Kestrava Hardware                          STATEMENT");
  ASSERT_TRUE(EnsureMailOnline());
  EmailStatementText();
  rtedit->msSMTP1->Quit();
  EXPECT_EQ(server.Envelope(1)["rcpt_tos"].toArray(), (QJsonArray{"ap@acme.example"}));
  QJsonObject parsed = testing_support::ParsedByPython(server.Message(1));
  EXPECT_EQ(parsed["subject"].toString(), "STATEMENT - Acme Tools");
  QStringList received = parsed["body"].toString().split("\n");
  while (!received.isEmpty() && received.last().isEmpty()) received.removeLast();
  ASSERT_EQ(received.size(), static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size(); ++i)
    EXPECT_EQ(received[static_cast<qsizetype>(i)].toStdString(), text[i]);

  const auto captionsAt = std::find_if(received.begin(), received.end(),
                                       [](const QString& line) { return line.startsWith("Mo/Dy/Year "); });
  ASSERT_NE(captionsAt, received.end());
  const qsizetype captions = captionsAt - received.begin();
  EXPECT_EQ(received[captions + 1].toStdString(),
            "---------- --------- -------------------- ------------ ----------- ----------- -");
  const QString& captionLine = received[captions];
  EXPECT_EQ(captionLine.size(), 80);

  // Row by row: where each field ends, its text whole inside it, and the line's length.
  constexpr std::size_t widths[StatementColumns] = {10, 9, 20, 12, 11, 11, 1};
  int lines80 = 0, pushed = 0;
  for (std::size_t row = 1; row < Statement.Rows.size(); ++row) {
    const QString& line = received[captions + 1 + static_cast<qsizetype>(row)];
    SCOPED_TRACE(line.toStdString());
    qsizetype end = -1;
    bool fits = true;
    for (std::size_t column = 0; column < StatementColumns; ++column) {
      const QString cell = ToQString(platform::text::TrimBlanks(Statement.Rows[row][column]));
      const qsizetype start = end + 1;
      end = start + std::max<qsizetype>(static_cast<qsizetype>(widths[column]), cell.size());
      fits = fits && cell.size() <= static_cast<qsizetype>(widths[column]);
      const bool amount = column >= 3 && column <= 5;
      EXPECT_EQ(line.mid(amount ? end - cell.size() : start, cell.size()), cell) << "column " << column;
      EXPECT_TRUE(end == line.size() || line[end] == ' ') << "column " << column;
    }
    EXPECT_EQ(line.size(), end);
    if (fits) {
      EXPECT_EQ(line.size(), 80);
      ++lines80;
    } else {
      ++pushed;
    }
  }
  // The type texts "Partial Payment Invoice" and "Deposit Offset Applied", the long comment, the
  // balance 1,234,567.89 and the totals row's $1,234,869.89 push; every other line is 80
  // characters.
  EXPECT_EQ(pushed, 5);
  EXPECT_EQ(lines80, static_cast<int>(Statement.Rows.size()) - 1 - pushed);
  EXPECT_EQ(ToQString(Statement.Rows.back()[3]), "$1,234,869.89");
}

TEST_F(StatementTest, ABatchOfFiveInBatchesOfTwoPausesTwiceAndRecordsTheRun) {
  for (const char* number : {"C2", "C3", "C4"})
    AddCustomer(number, (std::string("Customer ") + number).c_str(), "5.00", "");
  auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
  platform::print::RecordingPrintBackend* recorder = backend.get();
  platform::print::ScopedPrintBackend printer(std::move(backend));
  AddCustomer("C5", "Customer C5", "5.00",
              "c5@example.com");                  // bypassed: printer mode skips e-mail customers
  CurrentCompany.BatchCopyToLabelQueue.Set("Y");  // every customer of the run is queued for a label
  reports::LabelPrintQueue.Clear();
  CurrentCompany.LastBatchRun.Set("11/01/2026");
  ui_.OnModal<TSelStmnt>([](TSelStmnt& selection) {
    EXPECT_EQ(selection.Label1->text(), "Printer Mode");
    selection.ExcludeEmail->setChecked(false);
    selection.RBActAll->setChecked(true);
    selection.SetModalResult(mrOk);
  });
  ui_.OnModal<TBatchStWin>([](TBatchStWin& batch) {
    EXPECT_EQ(batch.Label1->text(), "There are 5 statements to be printed.");
    EXPECT_EQ(batch.Label2->text(), "Last Batch Run: 11/01/2026");
    batch.EMBNum->setText("2");
    batch.OKButtonClick();
  });
  ui_.ExpectMessage(
         "2 statements processed during this cycle. There are 3 statements remaining. Do you want to "
         "continue?",
         "Batch Job Pause...")
      .Answer(mrYes);
  ui_.ExpectMessage(
         "2 statements processed during this cycle. There are 1 statements remaining. Do you want to "
         "continue?",
         "Batch Job Pause...")
      .Answer(mrYes);
  QStringList status;
  BatchPrintStatements([&status](const QString& text) { status << text; });
  EXPECT_EQ(testing_printing::CountOf(recorder->Log(), "BeginDoc(\"Statement\""), 5);
  EXPECT_EQ(status.last(), "Batch Print complete. 5 statements sent to spooler.");
  EXPECT_FALSE(BatchStatementActive);
  EXPECT_EQ(CurrentCompany.LastBatchRun.Get(), "12/07/2026");
  records::CompanyRec stored{};
  ASSERT_TRUE(records::ReadCompanyRecord("12", stored));
  ASSERT_EQ(reports::LabelPrintQueue.Rows().size(), 5u);
  EXPECT_EQ(reports::LabelPrintQueue.Rows()[0].Code, "C1");
  reports::LabelPrintQueue.Clear();
  EXPECT_EQ(stored.LastBatchRun.Get(), "12/07/2026");
}

TEST_F(StatementTest, ACancelledBatchLeavesTheLastRunDateAndTheBatchFlag) {
  for (const char* number : {"C2", "C3"})
    AddCustomer(number, (std::string("Customer ") + number).c_str(), "5.00", "");
  platform::print::ScopedPrintBackend printer(std::make_unique<platform::print::RecordingPrintBackend>());
  CurrentCompany.LastBatchRun.Set("11/01/2026");
  // The defaults: every non-zero balance, and in printer mode customers with an e-mail address
  // (C1) are left to e-mail: C2 and C3.
  ui_.OnModal<TSelStmnt>([](TSelStmnt& selection) { selection.SetModalResult(mrOk); });
  ui_.OnModal<TBatchStWin>([](TBatchStWin& batch) {
    batch.EMBNum->setText("");
    batch.OKButtonClick();       // refused: the dialog stays
    batch.EMBNum->setText("0");  // raised to one
    batch.OKButtonClick();
  });
  ui_.ExpectMessage("You must enter the number of statements to print in this batch.",
                    "Number to Batch Print");
  ui_.ExpectMessage(
         "1 statements processed during this cycle. There are 1 statements remaining. Do you want to "
         "continue?",
         "Batch Job Pause...")
      .Answer(platform::ui::mrNo);
  QStringList status;
  BatchPrintStatements([&status](const QString& text) { status << text; });
  EXPECT_EQ(status.last(), "Batch job canceled.");
  EXPECT_FALSE(BatchStatementActive);
  EXPECT_EQ(CurrentCompany.LastBatchRun.Get(), "11/01/2026");
}

// While the batch runs it lets events through, so the Customer Manager stays usable: no other
// statement may be built meanwhile, as they share the statement in memory. A customer deleted
// after the selection is neither put out nor counted.
TEST_F(StatementTest, ABatchRefusesOtherStatementBuildsAndCountsWhatItPutOut) {
  AddCustomer("C2", "Customer C2", "5.00", "");
  AddCustomer("C3", "Customer C3", "5.00", "");
  records::CustomerRec gone{};
  gone.CustomerNo.Set("C4");
  gone.CustomerName.Set("Customer C4");
  gone.CustBalance.Set("5.00");
  IsamRecRef goneRef = 0;
  ASSERT_TRUE(records::AddCustomerRecord(gone, goneRef));
  platform::print::ScopedPrintBackend printer(std::make_unique<platform::print::RecordingPrintBackend>());
  CurrentCompany.BatchCopyToLabelQueue.Set("Y");
  reports::LabelPrintQueue.Clear();
  ui_.OnModal<TSelStmnt>([](TSelStmnt& selection) { selection.SetModalResult(mrOk); });  // C2, C3, C4
  ui_.OnModal<TBatchStWin>([](TBatchStWin& batch) { batch.OKButtonClick(); });
  const char* const refusal =
      "A batch of statements is being printed or e-mailed. Please wait until it has finished.";
  ui_.ExpectMessage(refusal, "Statements");
  ui_.ExpectMessage(refusal, "Statements");
  QStringList status;
  bool first = true;
  BatchPrintStatements([&](const QString& text) {
    status << text;
    if (!std::exchange(first, false)) return;
    ShowCustomerStatement("C1", "Acme Tools");
    BatchPrintStatements([](const QString&) {});
    ASSERT_TRUE(records::DeleteCustomerRecord(goneRef));
  });
  EXPECT_EQ(status.last(), "Batch Print complete. 2 statements sent to spooler.");
  QStringList queued;
  for (const reports::LabelQueueRow& row : reports::LabelPrintQueue.Rows()) queued << ToQString(row.Code);
  EXPECT_EQ(queued, (QStringList{"C2", "C3"}));
  reports::LabelPrintQueue.Clear();
}

// Statements printed into a PDF file chosen at set-up: each goes beside the one before, none
// over it, and the run says where they are.
TEST_F(StatementTest, ABatchIntoAChosenPdfFileKeepsEveryStatementAndSaysWhere) {
  AddCustomer("C2", "Customer C2", "5.00", "");
  AddCustomer("C3", "Customer C3", "5.00", "");
  auto backend = std::make_unique<platform::print::QtPrintBackend>();
  backend->SetPrintToFile(true);
  backend->SetOutputFile(QDir::current().absoluteFilePath("statements.pdf"));
  platform::print::ScopedPrintBackend printer(std::move(backend));
  ui_.OnModal<TSelStmnt>([](TSelStmnt& selection) { selection.SetModalResult(mrOk); });  // C2, C3
  ui_.OnModal<TBatchStWin>([](TBatchStWin& batch) { batch.OKButtonClick(); });
  QStringList status;
  BatchPrintStatements([&status](const QString& text) { status << text; });
  EXPECT_EQ(status.last(),
            "Batch Print complete. 2 statements saved in " + QDir::current().absolutePath() + ".");
  for (const char* file : {"statements.pdf", "statements (2).pdf"})
    EXPECT_TRUE(print_testing::PdfText(file).contains("Customer C")) << file;
}

// A printer that fails half-way ends the run; its progress window goes with it.
TEST_F(StatementTest, AFailedBatchClosesItsProgressWindow) {
  AddCustomer("C2", "Customer C2", "5.00", "");
  AddCustomer("C3", "Customer C3", "5.00", "");
  platform::print::ScopedPrintBackend printer(std::make_unique<print_testing::FailingPrintBackend>(2, 0));
  ui_.OnModal<TSelStmnt>([](TSelStmnt& selection) { selection.SetModalResult(mrOk); });
  ui_.OnModal<TBatchStWin>([](TBatchStWin& batch) { batch.OKButtonClick(); });
  EXPECT_THROW(BatchPrintStatements([](const QString&) {}), platform::print::EPrinter);
  EXPECT_FALSE(storage::StatForm->isVisible());
  EXPECT_FALSE(BatchStatementActive);
}

}  // namespace
}  // namespace documents
