// The SMTP client against a real SMTP server (aiosmtpd), and what arrives there read back by
// Python's email package.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QRegularExpression>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "mail/smtp_client.h"
#include "mail_peers.h"
#include "platform/net/expect_error.h"
#include "platform/net/scripted_peer.h"
#include "platform/text/clock.h"

namespace mail {
namespace {

using testing_support::Encoded;
using testing_support::ParsedByPython;
using testing_support::SmtpServer;

// The text less its Message-ID line, which is new each time a message is written.
std::string WithoutMessageId(std::string text) {
  const size_t start = text.find("\r\nMessage-ID: ");
  if (start != std::string::npos) text.erase(start, text.find("\r\n", start + 2) - start);
  return text;
}

// The process's local time zone for a test's scope (a POSIX TZ text).
class ScopedLocalZone {
 public:
  explicit ScopedLocalZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedLocalZone() {
    if (old_) {
      ::setenv("TZ", old_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::optional<std::string> old_;
};

// The client set to the server, with an invoice to send from the shop to John.
void PrepareInvoice(const SmtpServer& server, TmsSMTPClient& client, TmsMessage& message) {
  client.SetHost("127.0.0.1:" + std::to_string(server.Port()));
  client.HeloName = "shop-pc";
  client.SetTimeOut(10);
  client.SetMailMessage(&message);
  message.Sender().SetAddress("shop@example.com");
  message.Sender().SetName("Corner Shop");
  message.Recipients.Add("john@example.com", "John Smith");
  message.SetSubject("Invoice 1001");
  message.Body = {"INVOICE 1001",
                  "",
                  ".",
                  ". leading dot",
                  "Qty  Item            Amount",
                  "  2  Widget           1,234.56",
                  "",
                  "Thank you for your business."};
}

class SmtpServerTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::TestApp(); }

  void Prepare(const SmtpServer& server) { PrepareInvoice(server, client, message); }

  TmsSMTPClient client;
  TmsMessage message;
};

TEST_F(SmtpServerTest, APlainTextMessageArrivesIntact) {
  SmtpServer server;
  Prepare(server);
  message.CC.Add("mary@example.com", "Jones, Mary");
  message.BCC.Add("books@example.com", "");
  platform::text::FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)));
  const std::string text = Encoded(message);
  client.Login();
  client.Send();
  client.Quit();
  EXPECT_FALSE(client.GetConnected());
  // The data ends with one empty line more than the message text.
  EXPECT_EQ(WithoutMessageId(server.Message(1)), WithoutMessageId(text) + "\r\n");
  const QJsonObject envelope = server.Envelope(1);
  EXPECT_EQ(envelope["mail_from"].toString(), "shop@example.com");
  EXPECT_EQ(envelope["rcpt_tos"].toArray(),
            (QJsonArray{"john@example.com", "mary@example.com", "books@example.com"}));
  EXPECT_EQ(envelope["helo"].toString(), "shop-pc");
  const QJsonObject parsed = ParsedByPython(server.Message(1));
  EXPECT_EQ(parsed["defects"].toArray().size(), 0);
  EXPECT_EQ(
      parsed["body"].toString(),
      "INVOICE 1001\n\n.\n. leading dot\nQty  Item            Amount\n  2  Widget           1,234.56\n\n"
      "Thank you for your business.\n\n");
}

TEST_F(SmtpServerTest, OneConnectionCarriesSeveralMessages) {
  SmtpServer server;
  Prepare(server);
  client.Login();
  client.Send();
  message.Recipients.Clear();
  message.Recipients.Add("second@example.com", "");
  message.SetSubject("Statement");
  message.Body = {
      "Gr\xfc\xdf"
      "e, \x80 12"};
  client.Send();
  client.Quit();
  EXPECT_EQ(server.Envelope(2)["rcpt_tos"].toArray(), QJsonArray{"second@example.com"});
  const QJsonObject parsed = ParsedByPython(server.Message(2));
  EXPECT_EQ(parsed["defects"].toArray().size(), 0);
  EXPECT_EQ(parsed["subject"].toString(), "Statement");
  EXPECT_EQ(parsed["body"].toString(), QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                         "e, \xe2\x82\xac 12\n\n"));
}

// Each message is dated by the program's clock in the local zone and has an id of its own.
TEST_F(SmtpServerTest, EveryMessageIsDatedByTheClockAndHasAnIdOfItsOwn) {
  ScopedLocalZone zone("XST+3:30");  // three and a half hours west of UTC
  const QDateTime moment(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
  platform::text::FixedClock clock(moment);
  SmtpServer server;
  Prepare(server);
  client.Login();
  client.Send();
  message.Sender().SetAddress("shop@[127.0.0.1]");  // no domain an id can carry: the host's name
  message.Headers = {"Date: Mon, 1 Jan 2001 00:00:00 +0000", "Message-ID: <read@in.example>"};
  client.Send();
  client.Quit();
  std::vector<QString> ids;
  for (int n : {1, 2}) {
    SCOPED_TRACE(n);
    const QJsonObject parsed = ParsedByPython(server.Message(n));
    EXPECT_EQ(parsed["defects"].toArray(), QJsonArray());
    EXPECT_EQ(parsed["date"].toDouble(), static_cast<double>(moment.toSecsSinceEpoch()));
    int dates = 0;
    for (const QJsonValue header : parsed["headers"].toArray()) {
      if (header[0].toString() != "Date") continue;
      ++dates;
      EXPECT_EQ(header[1].toString().toStdString(), "Sat, 14 Mar 2026 05:56:53 -0330");
    }
    EXPECT_EQ(dates, 1);
    const QString id = parsed["message_id"].toString();
    EXPECT_TRUE(QRegularExpression(R"(^<[0-9a-f.]+@[A-Za-z0-9.-]+>$)").match(id).hasMatch())
        << id.toStdString();
    ids.push_back(id);
  }
  EXPECT_TRUE(ids[0].endsWith("@example.com>")) << ids[0].toStdString();
  EXPECT_NE(ids[0], ids[1]);
}

TEST_F(SmtpServerTest, AuthLoginWithTheRightPassword) {
  SmtpServer server({"--user", "clerk", "--password", "s3cret"});
  Prepare(server);
  client.UserName = "clerk";
  client.Password = "s3cret";
  client.Login();
  client.Send();
  client.Quit();
  EXPECT_TRUE(server.Envelope(1)["authenticated"].toBool());
}

TEST_F(SmtpServerTest, AuthLoginWithAWrongPasswordFailsAndDisconnects) {
  SmtpServer server({"--user", "clerk", "--password", "s3cret"});
  Prepare(server);
  client.UserName = "clerk";
  client.Password = "guess";
  try {
    client.Login();
    FAIL() << "logged in with a wrong password";
  } catch (const EmsServerError& e) {
    EXPECT_EQ(std::string(e.what()).substr(0, 3), "535") << e.what();
  }
  EXPECT_FALSE(client.GetConnected());
  EXPECT_EQ(server.Message(1), "");
}

TEST_F(SmtpServerTest, ARefusedRecipientIsReportedAndTheOthersStillGetTheMessage) {
  SmtpServer server({"--refuse-prefix", "refused"});
  Prepare(server);
  message.Recipients.Add("refused@example.com", "Nobody");
  message.Recipients.Add("mary@example.com", "");
  std::string refusedReply;
  client.OnAddressRejected = [&](TmsSMTPClient*, const std::string& address, const std::string& reply,
                                 bool& proceed) {
    EXPECT_EQ(address, "refused@example.com");
    refusedReply = reply;
    proceed = true;
  };
  client.Login();
  client.Send();
  client.Quit();
  EXPECT_EQ(refusedReply.substr(0, 3), "550");
  EXPECT_EQ(client.RejectedCount(), 1);
  EXPECT_EQ(server.Envelope(1)["rcpt_tos"].toArray(), (QJsonArray{"john@example.com", "mary@example.com"}));
}

// Nothing goes out when every recipient is refused, and the session serves the next message.
TEST_F(SmtpServerTest, EveryRecipientRefusedMeansNoMessageAndTheNextOneStillGoes) {
  SmtpServer server({"--refuse-prefix", "refused"});
  Prepare(server);
  message.Recipients.Clear();
  message.Recipients.Add("refused@example.com", "");
  client.OnAddressRejected = [](TmsSMTPClient*, const std::string&, const std::string&, bool& proceed) {
    proceed = true;
  };
  client.Login();
  EXPECT_THROW(client.Send(), EmsNoRecipients);
  message.Recipients.Clear();
  message.Recipients.Add("mary@example.com", "");
  client.Send();
  client.Quit();
  EXPECT_EQ(server.Envelope(1)["rcpt_tos"].toArray(), QJsonArray{"mary@example.com"});
  EXPECT_EQ(server.Message(2), "");
}

TEST_F(SmtpServerTest, AServerWithoutEhloIsGreetedWithHelo) {
  SmtpServer server({"--no-ehlo"});
  Prepare(server);
  client.Login();
  client.Send();
  client.Quit();
  EXPECT_EQ(server.Envelope(1)["helo"].toString(), "shop-pc");
  EXPECT_EQ(ParsedByPython(server.Message(1))["subject"].toString(), "Invoice 1001");
}

// A server that hangs up at any step is said, with the step, and no message is reported sent;
// after the goodbye the message has gone out, and only the goodbye is missing.
TEST(SmtpServerClosing, IsSaidAtEveryStepAndNothingIsReportedSent) {
  testing_support::TestApp();
  struct Case {
    const char* closeAt;
    QStringList options;
    const char* said;
  };
  const QStringList login{"--user", "clerk", "--password", "s3cret"};
  const Case cases[] = {
      {"greeting", {}, "before its greeting"},
      {"EHLO", {}, "at EHLO"},
      {"HELO", {"--no-ehlo"}, "at HELO"},
      {"AUTH", login, "at AUTH LOGIN"},
      {"MAIL", {}, "at MAIL FROM"},
      {"RCPT", {}, "at RCPT TO"},
      {"DATA", {}, "at DATA"},
      {"message", {}, "after the message"},
      {"QUIT", {}, "at QUIT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.closeAt);
    SmtpServer server(c.options + QStringList{"--close-at", c.closeAt});
    TmsSMTPClient client;
    TmsMessage message;
    PrepareInvoice(server, client, message);
    if (c.options == login) {
      client.UserName = "clerk";
      client.Password = "s3cret";
    }
    int sentEvents = 0;
    client.OnSent = [&](TmsSMTPClient*) { ++sentEvents; };
    bool sendReturned = false;
    std::string error;
    try {
      client.Login();
      client.Send();
      sendReturned = true;
      client.Quit();
    } catch (const EmsServerError& e) {
      error = e.what();
    }
    EXPECT_EQ(error, std::string("The mail server closed the connection ") + c.said + ".");
    EXPECT_FALSE(client.GetConnected());
    const bool afterGoodbye = std::string(c.closeAt) == "QUIT";
    EXPECT_EQ(sendReturned, afterGoodbye);
    EXPECT_EQ(sentEvents, afterGoodbye ? 1 : 0);
    EXPECT_EQ(server.Message(1).empty(), !afterGoodbye);
  }
}

}  // namespace
}  // namespace mail
