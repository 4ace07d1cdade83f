// Invoices and purchase orders e-mailed to a real SMTP server (aiosmtpd) and read back.
#include "documents/email_document.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTest>

#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "documents/mail_readiness.h"
#include "documents/sample_document.h"
#include "mail/mail_peers.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/po_header_file.h"
#include "support/temp_dir.h"

namespace documents {
namespace {

using platform::ui::mrOk;
using records::CurrentCompany;
using testing_support::SmtpServer;
using testing_support::UiScript;

const std::string Rule(68, '-');

TEST(DocumentMailText, AnInvoiceIsLaidOutLineByLine) {
  SetUpSampleCompany();
  FillSampleInvoice();
  const std::vector<std::string> expected = {
      " ",
      "Kestrel Hardware                            Invoice",
      "12 High St",
      "Springfield",
      "Jo Smith",
      Rule,
      "Acme Tools                            Ship To:",
      "1 Main St                             Dock 4",
      "Shelbyville                           ",
      "                                      ",
      "                                      ",
      Rule,
      "Date: 12/07/2026",
      "Number: 1001",
      "Account Number: C100",
      "Payment Terms: Net 30 Days",
      "Reference: Order 55",
      Rule,
      "Qty       Description                      Price       T    Extended",
      "--------- -------------------------------- ----------- - -----------",
      "        9 Bolts                                    1.5 Y       13.50",
      "          Item: BOLT",
      "       10 Nuts                                    0.25 Y        2.50",
      "          Item: NUT",
      "    1,000 Washers                               0.0065 N        6.50",
      Rule,
      "Total: $22.50",
      "Sales Tax $1.80",
      "Grand Total: $24.30",
      "Paid Amount: $10.00",
      "Balance Due: $14.30",
      Rule,
      "Deliver to the back door",
      Rule,
      "Thank you for your order",
      " ",
      "Total Account Balance: 14.30",
      "   Current 14.30",
      "   Over 30 0.00",
      "   Over 60 0.00",
      "  Over 90: 0.00"};
  EXPECT_EQ(InvoiceMailText(), expected);
  for (const std::string& line : InvoiceMailText()) EXPECT_LE(line.size(), 68u) << line;
}

TEST(DocumentMailText, OptionsChangeTheInvoicesEdges) {
  SetUpSampleCompany();
  FillSampleInvoice();
  records::CompanyRec& c = CurrentCompany;
  c.EMailRuleLines.Set("N");
  c.TaxName.Set("");
  c.PrintSalesMessage = 0;
  c.PrintCustomerAging = 0;
  DocHeader.TaxAmount = DocMoneyText(0);
  DocHeader.BalanceDue = DocMoneyText(-500);
  DocHeader.PrintedFlag = "Y";
  DocHeader.PaidDate = "12/09/2026";
  std::vector<std::string> text = InvoiceMailText();
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text[0], "C R E D I T");
  EXPECT_EQ(text[1], " ");
  EXPECT_EQ(text[2], "** DUPLICATE INVOICE **");
  EXPECT_EQ(std::count(text.begin(), text.end(), Rule), 0);  // separators are single blanks
  auto at = std::find(text.begin(), text.end(), "Grand Total: $24.30");
  ASSERT_NE(at, text.end());
  EXPECT_EQ(*(at - 1), "Total: $22.50");  // no tax line: no name and no tax
  EXPECT_EQ(*(at + 1), "Paid Date: 12/09/2026");
  EXPECT_EQ(*(at + 3), "Balance Due: $-5.00");
  EXPECT_EQ(*(at + 4), "Deliver to the back door");  // notes follow the totals directly
  EXPECT_EQ(at + 5, text.end());

  // A memo invoice shows its lines up to the last one written.
  DocHeader.BodyKind = "M";
  c.InvoiceMemoHeader.Set("Work done:");
  ClearDocLines();
  DocLines[1] = "Fitted a lock";
  DocLines[3] = "Oiled the hinges";
  text = InvoiceMailText();
  auto memo = std::find(text.begin(), text.end(), "Work done:");
  ASSERT_NE(memo, text.end());
  EXPECT_EQ(std::vector<std::string>(memo + 1, memo + 5),
            (std::vector<std::string>{" ", "Fitted a lock", "", "Oiled the hinges"}));
  ClearDocLines();
  text = InvoiceMailText();
  memo = std::find(text.begin(), text.end(), "Work done:");
  EXPECT_EQ(std::vector<std::string>(memo + 1, memo + 5), (std::vector<std::string>{" ", "", "", " "}));
}

TEST(DocumentMailText, APurchaseOrderHasItsOwnCaptionsDatesAndSignatures) {
  SetUpSampleCompany();
  FillSampleInvoice();
  DocHeader.DocType = "O";
  DocHeader.TotalAmount = DocMoneyText(-100);
  DocHeader.RequiredDate = "12/20/2026";
  DocHeader.ReceivedDate = "/ ";
  DocPOExtras.Signature1 = "Signed: ________";
  DocPOExtras.Signature2 = "";
  std::vector<std::string> text = PurchaseOrderMailText();
  EXPECT_EQ(text[0], "PO CREDIT");
  EXPECT_EQ(text[3], "Kestrel Hardware                     Purchase Order");
  EXPECT_NE(std::find(text.begin(), text.end(), "Acme Tools                            Deliver To:"),
            text.end());
  EXPECT_NE(std::find(text.begin(), text.end(), "PO Number: 1001"), text.end());
  EXPECT_NE(std::find(text.begin(), text.end(), "Vendor Number: C100"), text.end());
  auto total = std::find(text.begin(), text.end(), "Grand Total: $-1.00");
  ASSERT_NE(total, text.end());
  EXPECT_EQ(*(total + 1), "Date Required: 12/20/2026");  // no received date yet
  EXPECT_EQ(std::vector<std::string>(text.end() - 5, text.end()),
            (std::vector<std::string>{Rule, "Deliver before noon please", Rule, "Signed: ________", ""}));
  EXPECT_EQ(std::find(text.begin(), text.end(), "Paid Amount: $10.00"), text.end());
}

TEST(DocumentMailText, RecipientsAreSplitAtSemicolons) {
  EXPECT_EQ(SplitRecipients(" a@x.example ; b@y.example;"),
            (std::vector<std::string>{"a@x.example", "b@y.example"}));
  EXPECT_EQ(SplitRecipients("a@x.example;;b@y.example"),
            (std::vector<std::string>{"a@x.example", "b@y.example"}));
  EXPECT_EQ(SplitRecipients(std::string(60, 'a')), (std::vector<std::string>{std::string(50, 'a')}));
  EXPECT_TRUE(SplitRecipients(" ; ").empty());
}

// An invoice file with an invoice and its payment record, the window's client pointed at a
// real server.
class EmailInvoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string("12"); };
    ui_.ExpectMessage("I am going to create a new, empty invoice file for this company.", "New Company")
        .Answer(mrOk);
    ASSERT_TRUE(records::OpenInvoiceFile());
    AddRecord("1001", "Z");
    AddRecord("1001", "X");
    AddRecord("1002", "I");
    platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    SetUpSampleCompany();
    FillSampleInvoice();
  }
  void TearDown() override {
    EXPECT_TRUE(ui_.Done());
    EXPECT_FALSE(rtedit && rtedit->msSMTP1->GetConnected()) << "a test ends its run with Quit";
    storage::IsamShutdown();
    records::InvoiceFile = nullptr;
    storage::CurrentCompanyNumber = nullptr;
    platform::text::UseSystemClock();
    platform::ui::Application->DestroyForms();
  }
  static void AddRecord(const char* number, const char* type) {
    records::InvoiceBuf = records::InvoiceRec{};
    records::InvoiceBuf.InvoiceNo.Set(number);
    records::InvoiceBuf.TransactionType.Set(type);
    records::InvoiceBuf.InvCustomerNo.Set("C100");
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddInvoiceRecord(ref));
  }
  // Printed mark and e-mailed date of the records of a number, in key order.
  static std::vector<std::string> Marks(const char* number) {
    std::vector<std::string> marks;
    storage::IsamKeyStr key = number;
    storage::IsamRecRef ref = 0;
    storage::IsamSearchKey(records::InvoiceFile, 1, ref, key);
    while (storage::IsamOK && platform::text::TrimBlanks(key) == number) {
      records::InvoiceRec r{};
      storage::IsamGetRec(records::InvoiceFile, ref, &r, sizeof r);
      marks.push_back(r.TransactionType.Get() + ":" + r.PrintedMark.Get() + ":" + r.EMailedDate.Get());
      storage::IsamNextKey(records::InvoiceFile, 1, ref, key);
    }
    return marks;
  }
  void UseServer(const SmtpServer& server) {
    CurrentCompany.SmtpHost.Set("127.0.0.1:" + std::to_string(server.Port()));
  }

  testing_support::TempDir dir_;
  UiScript ui_;
};

TEST_F(EmailInvoiceTest, TheServerReceivesTheTextAndTheInvoiceIsMarked) {
  SmtpServer server;
  UseServer(server);
  DocHeader.EMailAddress = "ap@acme.example; boss@acme.example;";
  ASSERT_TRUE(EnsureMailOnline());
  EXPECT_EQ(DocMode, "INV");
  EmailInvoiceText();

  QJsonObject envelope = server.Envelope(1);
  EXPECT_EQ(envelope["mail_from"].toString(), "shop@kestrel.example");
  EXPECT_EQ(envelope["rcpt_tos"].toArray(), (QJsonArray{"ap@acme.example", "boss@acme.example"}));
  QJsonObject parsed = testing_support::ParsedByPython(server.Message(1));
  EXPECT_EQ(parsed["subject"].toString(), "Invoice - 1001");
  QStringList received = parsed["body"].toString().split("\n");
  while (!received.isEmpty() && received.last().isEmpty()) received.removeLast();
  std::vector<std::string> expected = InvoiceMailText();
  ASSERT_EQ(received.size(), static_cast<qsizetype>(expected.size())) << received.join("|\n").toStdString();
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(received[static_cast<qsizetype>(i)].toStdString(), expected[i]) << "line " << i + 1;
  EXPECT_EQ(rtedit->MemoInv->toPlainText().split("\n").size(), static_cast<qsizetype>(expected.size()));

  std::string today = platform::text::DateToStr(QDate(2026, 12, 7));
  EXPECT_EQ(Marks("1001"), (std::vector<std::string>{"Z:Y:" + today, "X::"}));
  EXPECT_EQ(Marks("1002"), (std::vector<std::string>{"I::"}));

  // A second send of the same document is a duplicate and changes no record.
  DocHeader.PrintedFlag = "Y";
  platform::text::SetClock(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
  ASSERT_TRUE(EnsureMailOnline());
  EmailInvoiceText();
  EXPECT_NE(server.Message(2).find("** DUPLICATE INVOICE **"), std::string::npos);
  EXPECT_EQ(Marks("1001"), (std::vector<std::string>{"Z:Y:" + today, "X::"}));
  rtedit->msSMTP1->Quit();
}

// The mail run borrows the view window's memo; a memo document shown afterwards still fills the
// window, however the window is sized.
TEST_F(EmailInvoiceTest, AfterAMailRunTheMemoOfTheViewFillsTheWindow) {
  SmtpServer server;
  UseServer(server);
  ASSERT_TRUE(EnsureMailOnline());
  EmailInvoiceText();
  rtedit->msSMTP1->Quit();
  DocHeader.BodyKind = "M";
  for (int width : {640, 900}) {
    rtedit->resize(width, 520);
    rtedit->show();
    QTest::qWait(20);
    EXPECT_FALSE(rtedit->MemoInv->isHidden());
    EXPECT_EQ(rtedit->MemoInv->width(), rtedit->width()) << width;
  }
  rtedit->hide();
}

TEST_F(EmailInvoiceTest, ARefusedRecipientIsReportedAndTheOthersGetTheInvoice) {
  SmtpServer server({"--refuse-prefix", "bad"});
  UseServer(server);
  DocHeader.EMailAddress = "bad@acme.example;ap@acme.example";
  ui_.ExpectMessage("This email address has been rejected by your ISP: bad@acme.example",
                    platform::ui::Application->Title);
  ASSERT_TRUE(EnsureMailOnline());
  EmailInvoiceText();
  EXPECT_EQ(server.Envelope(1)["rcpt_tos"].toArray(), (QJsonArray{"ap@acme.example"}));
  EXPECT_EQ(Marks("1001")[0].substr(0, 4), "Z:Y:");
  rtedit->msSMTP1->Quit();
}

TEST_F(EmailInvoiceTest, WhenEveryRecipientIsRefusedNothingIsMarked) {
  SmtpServer server({"--refuse-prefix", "bad"});
  UseServer(server);
  DocHeader.EMailAddress = "bad1@acme.example;bad2@acme.example";
  ui_.ExpectMessage("This email address has been rejected by your ISP: bad1@acme.example",
                    platform::ui::Application->Title);
  ui_.ExpectMessage("This email address has been rejected by your ISP: bad2@acme.example",
                    platform::ui::Application->Title);
  ASSERT_TRUE(EnsureMailOnline());
  EXPECT_THROW(EmailInvoiceText(), mail::EmsError);
  EXPECT_TRUE(server.Message(1).empty());
  EXPECT_EQ(Marks("1001"), (std::vector<std::string>{"Z::", "X::"}));
  rtedit->msSMTP1->Quit();  // the session is still open: nothing went wrong with it
}

TEST_F(EmailInvoiceTest, AnUnusableAddressGoesToTheCompanyAndNoAddressIsSkipped) {
  SmtpServer server;
  UseServer(server);
  DocHeader.EMailAddress = "";
  ASSERT_TRUE(EnsureMailOnline());
  EmailInvoiceText();  // the company does not mail customers without an address to itself
  EXPECT_TRUE(server.Message(1).empty());
  EXPECT_EQ(Marks("1001")[0], "Z::");

  CurrentCompany.EMailWithoutAddress.Set("Y");
  DocHeader.EMailAddress = "x";
  EmailInvoiceText();
  EXPECT_EQ(server.Envelope(1)["rcpt_tos"].toArray(), (QJsonArray{"shop@kestrel.example"}));
  EXPECT_EQ(testing_support::ParsedByPython(server.Message(1))["subject"].toString(),
            "BAD CUSTOMER E-MAIL ADDRESS");
  rtedit->msSMTP1->Quit();
}

TEST_F(EmailInvoiceTest, MissingSettingsAndADownServerStopTheRun) {
  CurrentCompany.CompanyEMail.Set(" x ");
  ui_.ExpectMessage(
         "You need to enter your company e-mail address in your company setup so your customers have a "
         "return "
         "e-mail address for you.",
         "Your Company E-Mail Address")
      .Icon(platform::ui::MsgIcon::Information);
  EXPECT_FALSE(EnsureMailOnline());
  CurrentCompany.CompanyEMail.Set("shop@kestrel.example");
  CurrentCompany.SmtpHost.Set(" ");
  ui_.ExpectMessage(
      "You need to enter your company Host SMTP Mail Server. This is who will be used to e-mail your "
      "invoices. See "
      "the email options in the company setup.",
      "No SMTP Server Setup");
  EXPECT_FALSE(EnsureMailOnline());

  uint16_t closedPort = 0;
  {
    SmtpServer gone;
    closedPort = gone.Port();
  }
  CurrentCompany.SmtpHost.Set("127.0.0.1:" + std::to_string(closedPort));
  ui_.ExpectMessage("Winsock error no 10061", platform::ui::Application->Title);
  ui_.ExpectMessage("Not Online", platform::ui::Application->Title);
  EXPECT_FALSE(EnsureMailOnline());
}

}  // namespace
}  // namespace documents

namespace documents {
namespace {

// A purchase order of two header records (the open order and a receipt), sent to the vendor.
class EmailPurchaseOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string("12"); };
    ASSERT_TRUE(records::CreatePOHeaderFile() && records::OpenPOHeaderFile());
    Add("5001", "O");
    Add("5001", "R");
    Add("5002", "O");
    platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    SetUpSampleCompany();
    FillSampleInvoice();
    DocHeader.DocType = "O";
    DocHeader.DocNumber = "5001";
    DocHeader.RequiredDate = "12/20/2026";
    DocHeader.EMailAddress = "orders@bolt.example";
  }
  void TearDown() override {
    EXPECT_TRUE(ui_.Done());
    storage::IsamShutdown();
    records::POHeaderFile = nullptr;
    storage::CurrentCompanyNumber = nullptr;
    platform::text::UseSystemClock();
    platform::ui::Application->DestroyForms();
  }
  static void Add(const char* number, const char* status) {
    records::POHeaderRec r{};
    r.PONumber.Set(number);
    r.POStatus.Set(status);
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddPOHeaderRecord(r, ref));
  }
  static std::vector<std::string> Marks(const char* number) {
    std::vector<std::string> marks;
    records::POHeaderRec probe{};
    probe.PONumber.Set(number);
    storage::IsamKeyStr key = records::BuildPOHeaderKey(probe, 1);
    const storage::IsamKeyStr wanted = key;
    storage::IsamRecRef ref = 0;
    storage::IsamSearchKey(records::POHeaderFile, 1, ref, key);
    while (storage::IsamOK && key == wanted) {
      records::POHeaderRec r{};
      storage::IsamGetRec(records::POHeaderFile, ref, &r, sizeof r);
      marks.push_back(r.POStatus.Get() + ":" + r.Printed.Get() + ":" + r.EMailedDate.Get());
      storage::IsamNextKey(records::POHeaderFile, 1, ref, key);
    }
    return marks;
  }

  testing_support::TempDir dir_;
  UiScript ui_;
};

TEST_F(EmailPurchaseOrderTest, TheVendorReceivesTheOrderAndOnlyTheOpenOrderIsMarked) {
  SmtpServer server;
  CurrentCompany.SmtpHost.Set("127.0.0.1:" + std::to_string(server.Port()));
  ASSERT_TRUE(EnsureMailOnline());
  EmailPurchaseOrderText();
  EXPECT_EQ(server.Envelope(1)["rcpt_tos"].toArray(), (QJsonArray{"orders@bolt.example"}));
  QJsonObject parsed = testing_support::ParsedByPython(server.Message(1));
  EXPECT_EQ(parsed["subject"].toString(), "Purchase Order - 5001");
  EXPECT_TRUE(parsed["body"].toString().contains("Date Required: 12/20/2026"));
  std::string today = platform::text::DateToStr(QDate(2026, 12, 7));
  EXPECT_EQ(Marks("5001"), (std::vector<std::string>{"O:Y:" + today, "R::"}));
  EXPECT_EQ(Marks("5002"), (std::vector<std::string>{"O::"}));

  // Without a vendor address the company receives it, when it asks for that.
  CurrentCompany.EMailWithoutAddress.Set("Y");
  DocHeader.EMailAddress = " ";
  DocHeader.DocNumber = "5002";
  EmailPurchaseOrderText();
  EXPECT_EQ(server.Envelope(2)["rcpt_tos"].toArray(), (QJsonArray{"shop@kestrel.example"}));
  EXPECT_EQ(testing_support::ParsedByPython(server.Message(2))["subject"].toString(),
            "BAD VENDOR E-MAIL ADDRESS");
  rtedit->msSMTP1->Quit();
}

}  // namespace
}  // namespace documents
