// The e-mail notice worked through its window against a real SMTP server (aiosmtpd), with the
// messages the server took read back by Python's email package.

#include <QJsonArray>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>

#include <gtest/gtest.h>

#include "documents/document_view.h"
#include "documents/mail_readiness.h"
#include "exchange/email_notice.h"
#include "exchange/email_notice_window.h"
#include "forms/run_state.h"
#include "mail/mail_peers.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/vendor_file.h"
#include "reports/label_queue.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/stat_form.h"
#include "support/file_records.h"
#include "support/temp_dir.h"
#include "support/whole_window.h"

namespace exchange {
namespace {

using platform::ui::mrOk;
using records::CurrentCompany;
using reports::LabelPrintQueue;
using reports::LabelQueueRow;
using testing_support::SmtpServer;
using testing_support::UiScript;

const QString ShopAddress = "shop@kestrel.example";
const QString ReturnAddress = "news@kestrel.example";

records::CustomerRec Customer(const std::string& number, const std::string& name, const std::string& email) {
  records::CustomerRec c{};
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  c.CustEMail.Set(email);
  return c;
}

records::VendorRec Vendor(const std::string& number, const std::string& name, const std::string& email) {
  records::VendorRec v{};
  v.VendorNo.Set(number);
  v.VendorName.Set(name);
  v.VendEMail.Set(email);
  return v;
}

// A company "12" with customer and vendor files filed and closed again, as the main window
// leaves them when it opens the notice.
class EmailNoticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    records::InstallCompanyFileNames();
    CurrentCompany = records::DefaultCompanyRecord();
    CurrentCompany.CompanyNumber.Set("12");
    CurrentCompany.CompanyEMail.Set(ShopAddress.toStdString());
    CurrentCompany.EMailWithoutAddress.Set("N");
    ASSERT_TRUE(records::CreateCustomerFile());
    ASSERT_TRUE(records::CreateVendorFile());
    LabelPrintQueue.Clear();
  }
  void TearDown() override {
    EXPECT_TRUE(storage::IsamOpenBlocks().empty()) << "the run leaves no file open";
    EXPECT_FALSE(storage::StatForm && storage::StatForm->isVisible()) << "the run closes its status window";
    EXPECT_FALSE(documents::rtedit && documents::rtedit->msSMTP1->GetConnected())
        << "the run quits the server";
    LabelPrintQueue.Clear();
    platform::ui::Application->DestroyForms();
    storage::IsamShutdown();
    CurrentCompany = records::CompanyRec{};
  }

  static void FileCustomers(const std::vector<records::CustomerRec>& customers) {
    testing_support::FileRecords(customers, records::CustomerFile, records::OpenCustomerFile,
                                 records::AddCustomerRecord);
  }
  static void FileVendors(const std::vector<records::VendorRec>& vendors) {
    testing_support::FileRecords(vendors, records::VendorFile, records::OpenVendorFile,
                                 records::AddVendorRecord);
  }
  // One customer with a good address, filed and queued.
  static void FileAndQueueOneCustomer() {
    FileCustomers({Customer("C1", "First", "one@first.example")});
    LabelPrintQueue.Append(reports::CustomerQueueRow(Customer("C1", "First", "")));
  }
  static void UseServer(const SmtpServer& server) {
    CurrentCompany.SmtpHost.Set("127.0.0.1:" + std::to_string(server.Port()));
  }

  // Opens the window as the main window does and works it: the texts typed, then "&E-Mail".
  // `tick` runs every time the run lets events through.
  platform::ui::TModalResult Send(UiScript& ui, const QString& subject, const QString& body,
                                  std::function<void(TEMMemo&)> tick = nullptr) {
    ui.OnModal<TEMMemo>([&](TEMMemo& window) {
      EXPECT_EQ(window.EMRetAdd->text(), ShopAddress);
      window.EMRetAdd->setText(ReturnAddress);
      window.EMSubject->setText(subject);
      window.EMBody->setPlainText(body);
      QTimer timer;
      timer.setInterval(0);
      if (tick) {
        QObject::connect(&timer, &QTimer::timeout, [&window, tick] { tick(window); });
        timer.start();
      }
      window.OKButtonClick();
    });
    return CreateEMMemo().ShowModal();
  }

  // Appends the text when it differs from the last one seen.
  static void Note(std::vector<QString>& seen, const QString& text) {
    if (!text.isEmpty() && (seen.empty() || seen.back() != text)) seen.push_back(text);
  }

  testing_support::TempDir dir_;
};

// What one message that reached the server holds.
struct Received {
  QString from;
  QJsonArray to;
  QString subject;
  QString body;
};

Received ReceivedMessage(const SmtpServer& server, int n) {
  const QJsonObject envelope = server.Envelope(n);
  const QJsonObject parsed = testing_support::ParsedByPython(server.Message(n));
  return {envelope["mail_from"].toString(), envelope["rcpt_tos"].toArray(), parsed["subject"].toString(),
          parsed["body"].toString()};
}

// Every kind of queued row in one run: each message the server took is checked against the table
// below, and the counts against the rows that could not be mailed.
TEST_F(EmailNoticeTest, EveryQueuedCustomerAndVendorIsMailedOrCounted) {
  FileCustomers({Customer("C1", "Two Desks Ltd", "a@desks.example; ;b@desks.example;"),
                 Customer("C2", "No Address Co", "   "), Customer("C3", "Typo Traders", "typo.example"),
                 Customer("C4", "Half Refused", "bad@half.example;ok@half.example"),
                 Customer("50", "Fifty Stores", "fifty@stores.example")});
  FileVendors({Vendor("V1", "Bolt Supply", "orders@bolt.example"), Vendor("V2", "Quiet Mill", ""),
               Vendor("V3", "Short Mail", "x")});
  for (const char* number : {"C1", "C2", "C3", "C4"})
    LabelPrintQueue.Append(reports::CustomerQueueRow(Customer(number, std::string("Row ") + number, "")));
  // A customer "5" whose number is the start of "50": no such customer, so "50" gets nothing.
  LabelPrintQueue.Append(reports::CustomerQueueRow(Customer("5", "Five", "")));
  LabelPrintQueue.Append(reports::VendorQueueRow(Vendor("V1", "Bolt Supply", "")));
  LabelPrintQueue.Append({"WIDGET", "A widget", "9.99", "Shelf 2", "P"});
  LabelPrintQueue.Append(reports::VendorQueueRow(Vendor("V2", "Quiet Mill", "")));
  LabelPrintQueue.Append(reports::VendorQueueRow(Vendor("V3", "Short Mail", "")));
  LabelPrintQueue.Append(reports::CustomerQueueRow(Customer("C8", "Deleted Customer", "")));

  SmtpServer server({"--refuse-prefix", "bad"});
  UseServer(server);
  UiScript ui;
  ui.ExpectMessage("This email address has been rejected by your ISP: bad@half.example",
                   platform::ui::Application->Title);
  ui.ExpectMessage("There were 2 empty customer e-mail addresses. The customers were not sent your message.",
                   "E-Mail Addresses");
  ui.ExpectMessage(
      "There were 5 e-mail messages sent. 2 queued record(s) are no longer on file and were left out.",
      "E-Mail Sent");
  // What the user sees while the run goes on: the controls off, a close refused, the count in
  // the status window and each name in the window's status panel.
  int ticks = 0;
  bool inputsOff = true, closeRefused = true;
  std::vector<QString> counts, names;
  const auto modal = Send(ui, "  Closed on Friday  ", "We are closed on Friday.\n.\nSee you Monday.\n",
                          [&](TEMMemo& window) {
                            ++ticks;
                            for (QWidget* control : std::initializer_list<QWidget*>{
                                     window.EMRetAdd, window.EMSubject, window.EMBody, window.OKButton,
                                     window.Button1, window.SpeedButton14, window.SpeedButton16})
                              inputsOff = inputsOff && !control->isEnabled();
                            window.Close();
                            closeRefused = closeRefused && window.isVisible();
                            Note(counts, storage::StatForm->Label1->text());
                            Note(names, window.StatusBar1->text());
                          });
  EXPECT_EQ(modal, mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_GT(ticks, 5);
  EXPECT_TRUE(inputsOff) << "the controls are off while the run lets events through";
  EXPECT_TRUE(closeRefused) << "the window stays while the run goes on";
  EXPECT_EQ(counts, (std::vector<QString>{"Working...", "E-Mails Sent: 1", "E-Mails Sent: 2",
                                          "E-Mails Sent: 3", "E-Mails Sent: 4", "E-Mails Sent: 5"}));
  EXPECT_EQ(names, (std::vector<QString>{"Sending: Row C1", "Sending: Row C3", "Sending: Row C4",
                                         "Sending: Bolt Supply", "Sending: Short Mail"}));
  EXPECT_TRUE(EMMemo->OKButton->isEnabled()) << "and on again for the next use";
  EXPECT_EQ(storage::StatForm->windowTitle(), "E-Mail Mode");
  EXPECT_EQ(forms::LabelsQueued, 0);
  EXPECT_EQ(LabelPrintQueue.Count(), 10) << "the queue itself stays";

  const QString typed = "Closed on Friday";
  const struct {
    QString subject;
    QJsonArray to;
  } expected[] = {
      {typed, {"a@desks.example", "b@desks.example"}},
      {"BAD CUSTOMER E-MAIL FOR: Typo Traders", {ShopAddress}},
      {typed, {"ok@half.example"}},  // the subject typed again after a bad-address notice
      {typed, {"orders@bolt.example"}},
      {"BAD VENDOR E-MAIL FOR: Short Mail", {ShopAddress}},
  };
  int n = 0;
  for (const auto& want : expected) {
    ++n;
    const Received got = ReceivedMessage(server, n);
    EXPECT_EQ(got.from, ReturnAddress) << "message " << n;
    EXPECT_EQ(got.to, want.to) << "message " << n;
    EXPECT_EQ(got.subject, want.subject) << "message " << n;
    EXPECT_EQ(got.body.trimmed(), "We are closed on Friday.\n.\nSee you Monday.") << "message " << n;
  }
  EXPECT_TRUE(server.Message(n + 1).empty()) << "nothing else reached the server";
}

TEST_F(EmailNoticeTest, WithMailToTheCompanyForMissingAddressesBothAreNoticesAndCountAsSent) {
  CurrentCompany.EMailWithoutAddress.Set("Y");
  FileCustomers({Customer("C1", "First Blank", ""), Customer("C2", "Second Blank", " ")});
  for (const char* number : {"C1", "C2"})
    LabelPrintQueue.Append(reports::CustomerQueueRow(Customer(number, "", "")));
  SmtpServer server;
  UseServer(server);
  UiScript ui;
  ui.ExpectMessage("There were 2 e-mail messages sent.", "E-Mail Sent");
  EXPECT_EQ(Send(ui, "Notice", "Hello"), mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(ReceivedMessage(server, 1).subject, "BAD CUSTOMER E-MAIL FOR: First Blank");
  EXPECT_EQ(ReceivedMessage(server, 2).subject, "BAD CUSTOMER E-MAIL FOR: Second Blank");
  EXPECT_EQ(ReceivedMessage(server, 2).to, QJsonArray{ShopAddress});
}

TEST_F(EmailNoticeTest, AQueueOfProductsSendsNothingAndStillCountsAsUsed) {
  LabelPrintQueue.Append({"WIDGET", "A widget", "9.99", "Shelf 2", "P"});
  SmtpServer server;
  UseServer(server);
  UiScript ui;
  ui.ExpectMessage("There were 0 e-mail messages sent.", "E-Mail Sent");
  EXPECT_EQ(Send(ui, "Notice", "Hello"), mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(forms::LabelsQueued, 0);
  EXPECT_TRUE(server.Message(1).empty());
}

// The checks in their order, each with the focus left where the fault is; nothing is mailed.
TEST_F(EmailNoticeTest, IncompleteInputIsRefusedInOrder) {
  UiScript ui;
  const struct {
    QString subject, returnAddress, body;
    QString message, title;
    platform::ui::MsgIcon icon;
  } cases[] = {
      {"  ", "", "", "You need an e-mail subject line.", "E-Mail Subject",
       platform::ui::MsgIcon::Information},
      {"Hi", " ", "", "You need a return e-mail address.", "E-Mail Address",
       platform::ui::MsgIcon::Information},
      {"Hi", "shop.example", "",
       "The return e-mail address does not have the @ sign included. Bad e-mail address.",
       "Return E-Mail Address", platform::ui::MsgIcon::Warning},
      {"Hi", "a@b", "", "You have not entered a message to send.", "Message Text",
       platform::ui::MsgIcon::Information},
      {"Hi", "a@b", "Text",
       "You do not have any customers selected (listed) in the print queue. Select the Queue button to add "
       "customers to the queue.",
       "Print Queue", platform::ui::MsgIcon::Information},
  };
  TEMMemo& window = CreateEMMemo();
  QWidget* focus[] = {window.EMSubject, window.EMRetAdd, window.EMRetAdd, window.EMBody, nullptr};
  int i = 0;
  for (const auto& c : cases) {
    ui.ExpectMessage(c.message, c.title).Icon(c.icon);
    ui.OnModal<TEMMemo>([&](TEMMemo& w) {
      w.EMSubject->setText(c.subject);
      w.EMRetAdd->setText(c.returnAddress);
      w.EMBody->setPlainText(c.body);
      w.OKButtonClick();
      EXPECT_TRUE(w.isVisible()) << c.title.toStdString();
      if (focus[i]) {
        EXPECT_EQ(w.focusWidget(), focus[i]) << c.title.toStdString();
      }
      w.SpeedButton16Click();
    });
    EXPECT_NE(window.ShowModal(), mrOk);
    ++i;
  }
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(window.MessageLines(), std::vector<std::string>{"Text"});
}

// A row whose every address the server refuses does not stop the run: the company hears of the
// address, the rows after it are mailed, and the queue has served its purpose.
TEST_F(EmailNoticeTest, ARowNobodyAcceptsIsNoticedToTheCompanyAndTheRunGoesOn) {
  FileCustomers({Customer("C1", "First", "one@first.example"),
                 Customer("C2", "Refused", "bad@refused.example"),
                 Customer("C3", "Third", "three@third.example")});
  for (const char* number : {"C1", "C2", "C3"})
    LabelPrintQueue.Append(reports::CustomerQueueRow(Customer(number, number, "")));
  SmtpServer server({"--refuse-prefix", "bad"});
  UseServer(server);
  UiScript ui;
  ui.ExpectMessage("This email address has been rejected by your ISP: bad@refused.example",
                   platform::ui::Application->Title);
  ui.ExpectMessage(
      "There were 3 e-mail messages sent. The server refused the address(es) of 1 customer(s) or vendor(s).",
      "E-Mail Sent");
  EXPECT_EQ(Send(ui, "Notice", "Hello"), mrOk);
  EXPECT_TRUE(ui.Done());
  const std::pair<QString, QJsonArray> expected[] = {{"Notice", {"one@first.example"}},
                                                     {"BAD CUSTOMER E-MAIL FOR: Refused", {ShopAddress}},
                                                     {"Notice", {"three@third.example"}}};
  for (int n = 1; n <= 3; ++n) {
    const Received got = ReceivedMessage(server, n);
    EXPECT_EQ(got.subject, expected[n - 1].first) << n;
    EXPECT_EQ(got.to, expected[n - 1].second) << n;
  }
  EXPECT_TRUE(server.Message(4).empty());
  EXPECT_EQ(forms::LabelsQueued, 0);
}

TEST_F(EmailNoticeTest, AServerThatDiesDuringTheRunIsReported) {
  FileAndQueueOneCustomer();
  SmtpServer server;
  UseServer(server);
  UiScript ui;
  // Connected before the window opens, as after an earlier e-mail run; then the server goes.
  ASSERT_TRUE(documents::EnsureMailOnline());
  server.Kill();
  ui.OnModal<TEMMemo>([](TEMMemo& window) {
    window.EMSubject->setText("Notice");
    window.EMBody->setPlainText("Hello");
    window.OKButtonClick();
  });
  ui.ExpectMessage("The mail server closed the connection at MAIL FROM.", platform::ui::Application->Title);
  ui.ExpectMessage("There were 0 e-mail messages sent.", "E-Mail Sent");
  EXPECT_EQ(CreateEMMemo().ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(forms::LabelsQueued, 1);
}

// The line goes down between two rows (here as the run starts): the run stops there.
TEST_F(EmailNoticeTest, ALostConnectionEndsTheRunBeforeTheNextRow) {
  FileAndQueueOneCustomer();
  SmtpServer server;
  UseServer(server);
  UiScript ui;
  ui.ExpectMessage("The connection to the e-mail server was lost. The remaining messages were not sent.",
                   platform::ui::Application->Title);
  ui.ExpectMessage("There were 0 e-mail messages sent.", "E-Mail Sent");
  bool dropped = false;
  EXPECT_EQ(Send(ui, "Notice", "Hello",
                 [&dropped](TEMMemo&) {
                   if (dropped || storage::StatForm->Label1->text() != "Working...") return;
                   documents::rtedit->msSMTP1->Disconnect();
                   dropped = true;
                 }),
            mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(dropped);
  EXPECT_TRUE(server.Message(1).empty());
  EXPECT_EQ(forms::LabelsQueued, 1);
}

TEST_F(EmailNoticeTest, AServerThatCannotBeReachedStopsBeforeAnyFileIsOpened) {
  FileAndQueueOneCustomer();
  uint16_t closedPort = 0;
  {
    SmtpServer gone;
    closedPort = gone.Port();
  }
  CurrentCompany.SmtpHost.Set("127.0.0.1:" + std::to_string(closedPort));
  UiScript ui;
  ui.ExpectMessage("Winsock error no 10061", platform::ui::Application->Title);
  ui.ExpectMessage("Not Online", platform::ui::Application->Title);
  EXPECT_EQ(Send(ui, "Notice", "Hello"), mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(forms::LabelsQueued, 1);
}

TEST_F(EmailNoticeTest, TheWindowShowsTheCompanyFontAddressAndQueue) {
  CurrentCompany.BrowserFontName.Set("Liberation Mono");
  CurrentCompany.BrowserFontSize.Set(11);
  CurrentCompany.BrowserFontStyle = 1;
  LabelPrintQueue.Append(reports::CustomerQueueRow(Customer("C1", "First", "")));
  LabelPrintQueue.Append(reports::VendorQueueRow(Vendor("V1", "Bolt Supply", "")));
  UiScript ui;
  QPixmap shot;
  ui.OnModal<TEMMemo>([&](TEMMemo& window) {
    EXPECT_EQ(window.windowTitle(), "Send E-Mail Message");
    EXPECT_EQ(window.EMRetAdd->text(), ShopAddress);
    EXPECT_EQ(window.Label4->text(), "Records in Queue: 2");
    for (QWidget* box : std::initializer_list<QWidget*>{window.EMRetAdd, window.EMSubject, window.EMBody}) {
      EXPECT_EQ(box->font().family(), "Liberation Mono");
      EXPECT_EQ(box->font().pointSize(), 11);
      EXPECT_TRUE(box->font().bold());
    }
    LabelPrintQueue.Append(reports::CustomerQueueRow(Customer("C2", "Second", "")));
    window.Button1Click();
    EXPECT_EQ(window.Label4->text(), "Records in Queue: 3");
    window.EMSubject->setText("Closed on Friday");
    window.EMBody->setPlainText("We are closed on Friday.\nSee you Monday.");
    shot = window.grab();
    testing_support::ExpectWholeWindow(window, "email_notice");
    window.SpeedButton16Click();
  });
  EXPECT_NE(CreateEMMemo().ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());
  ASSERT_FALSE(shot.isNull());
  EXPECT_GT(shot.width(), 400);
}

}  // namespace
}  // namespace exchange
