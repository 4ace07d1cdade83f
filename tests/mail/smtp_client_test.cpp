// The SMTP client against a scripted peer: the corner cases a real server does not produce on
// demand.
#include "mail/smtp_client.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>

#include "platform/net/expect_error.h"
#include "platform/net/scripted_peer.h"

namespace mail {
namespace {

using platform::net::EmsTimedOutError;
using platform::net::EmsTooMuchDataError;
using platform::net::EWinsockError;
using testing_support::ExpectError;
using testing_support::ScriptedPeer;

class SmtpPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::TestApp();
    client.SetHost("127.0.0.1:" + std::to_string(peer.Port()));
    client.HeloName = "shop-pc";
    client.SetTimeOut(5);
    client.SetMailMessage(&message);
    message.Sender().SetAddress("shop@example.com");
    message.Recipients.Add("john@example.com", "John");
    message.SetSubject("Invoice");
    message.Body = {"Hello"};
  }

  // A greeting and a one-line EHLO reply.
  ScriptedPeer& Greeted() { return peer.Send("220 ready\r\n").Answer({"250 hello"}); }
  void Login() {
    peer.Start();
    client.Login();
  }

  ScriptedPeer peer;
  TmsSMTPClient client;
  TmsMessage message;
};

TEST_F(SmtpPeerTest, LogsInThroughAMultiLineEhloReplyEndingInABareCode) {
  peer.Send("220 ready\r\n")
      .Answer({"250-mail.example.com\r\n250-AUTH LOGIN PLAIN\r\n250", "334 VXNlcm5hbWU6", "334 UGFzc3dvcmQ6",
               "235 2.7.0 Authentication successful", "221 bye"});
  client.UserName = "clerk";
  client.Password = "secret";
  QElapsedTimer clock;
  clock.start();
  Login();
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_TRUE(client.GetConnected());
  client.Quit();
  EXPECT_FALSE(client.GetConnected());
  peer.Join();
  EXPECT_EQ(peer.Lines(),
            (std::vector<std::string>{"EHLO shop-pc", "AUTH LOGIN", "Y2xlcms=", "c2VjcmV0", "QUIT"}));
}

TEST_F(SmtpPeerTest, AuthenticationFailuresNameTheirStep) {
  peer.Send("220 ready\r\n").Answer({"250 hello", "504 no such mechanism"});
  client.UserName = "clerk";
  peer.Start();
  ExpectError<EmsServerError>([&] { client.Login(); }, "Error while authenticating");
  EXPECT_FALSE(client.GetConnected());
}

TEST_F(SmtpPeerTest, AGreetingOf421EndsTheLoginAndClosesTheSocket) {
  peer.Send("421 4.3.2 Service not available, closing channel\r\n").Close();
  peer.Start();
  ExpectError<EmsServerError>([&] { client.Login(); }, "421 4.3.2 Service not available, closing channel");
  EXPECT_FALSE(client.GetConnected());
}

TEST_F(SmtpPeerTest, ASilentServerTimesOutAndLeavesNoConnection) {
  peer.Pause(2500).Close();
  client.SetTimeOut(1);
  peer.Start();
  ExpectError<EmsTimedOutError>([&] { client.Login(); }, "Operation timed out");
  EXPECT_FALSE(client.GetConnected());
}

TEST_F(SmtpPeerTest, AnOverLongReplyLineIsRefusedAndTheConnectionDropped) {
  peer.Send("220 " + std::string(4088, 'x') + "\r\n").Pause(300).Close();  // 4,094 bytes
  peer.Start();
  ExpectError<EmsTooMuchDataError>([&] { client.Login(); }, "Buffer is full. Will disconnect.");
  EXPECT_FALSE(client.GetConnected());
}

TEST_F(SmtpPeerTest, ARefusedConnectionAndAMissingHost) {
  client.Port = testing_support::UnusedPort();
  ExpectError<EWinsockError>([&] { client.Login(); }, "Winsock error no 10061");
  EXPECT_FALSE(client.GetConnected());
  client.SetHost("");
  ExpectError<EmsError>([&] { client.Login(); }, "Host property must be assigned");
}

TEST_F(SmtpPeerTest, SendsTheEnvelopeAndDotStuffedData) {
  message.CC.Add("refused@example.com", "");
  message.BCC.Add("carol@example.com", "");
  message.Body = {".", ".hidden", "end"};
  Greeted()
      .Answer({"250 ok", "250 ok", "550 5.1.1 no such user", "251 will forward", "354 go ahead"})
      .ReadLines(15)
      .Send("250 queued\r\n");
  std::vector<std::string> rejected;
  client.OnAddressRejected = [&](TmsSMTPClient* sender, const std::string& address, const std::string& reply,
                                 bool& proceed) {
    EXPECT_EQ(sender->RejectedCount(), 1);  // counted before the handler runs
    rejected = {address, reply};
    proceed = true;
  };
  int sent = 0;
  client.OnSent = [&](TmsSMTPClient*) { ++sent; };
  Login();
  client.Send();
  peer.Join();
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(rejected, (std::vector<std::string>{"refused@example.com", "550 5.1.1 no such user"}));
  const std::vector<std::string>& lines = peer.Lines();
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(
      std::vector<std::string>(lines.begin(), lines.begin() + 5),
      (std::vector<std::string>{"EHLO shop-pc", "MAIL FROM:<shop@example.com>", "RCPT TO:<john@example.com>",
                                "RCPT TO:<refused@example.com>", "RCPT TO:<carol@example.com>"}));
  EXPECT_EQ(lines[5], "DATA");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
            (std::vector<std::string>{"..", "..hidden", "end", "", "."}));
  EXPECT_TRUE(client.GetConnected());
}

TEST_F(SmtpPeerTest, ARefusedRecipientWithoutAHandlerStopsTheSend) {
  message.Recipients.Add("refused@example.com", "");
  message.Recipients.Add("third@example.com", "");
  Greeted().Answer({"250 ok", "250 ok", "550 no"}).ReadToEnd();
  Login();
  ExpectError<EmsServerError>([&] { client.Send(); }, "550 no");
  EXPECT_EQ(client.RejectedCount(), 1);
  EXPECT_FALSE(client.GetConnected());
  peer.Join();
  EXPECT_EQ(peer.Lines().back(), "RCPT TO:<refused@example.com>");
  EXPECT_EQ(peer.Rest(), "");  // the third was not tried and nothing followed
}

TEST_F(SmtpPeerTest, WhenEveryRecipientIsRefusedNothingIsSentAndTheCallerIsTold) {
  message.Recipients.Add("also-refused@example.com", "");
  Greeted().Answer({"250 ok", "550 no", "550 no", "250 reset"}).ReadToEnd();
  client.OnAddressRejected = [](TmsSMTPClient*, const std::string&, const std::string&, bool& proceed) {
    proceed = true;
  };
  bool sentRaised = false;
  client.OnSent = [&](TmsSMTPClient*) { sentRaised = true; };
  Login();
  ExpectError<EmsNoRecipients>([&] { client.Send(); },
                               "The server accepted none of the recipients. The message was not sent.");
  EXPECT_FALSE(sentRaised);
  EXPECT_TRUE(client.GetConnected()) << "the session stays usable for the next message";
  client.Disconnect();
  peer.Join();
  EXPECT_EQ(peer.Lines().back(), "RSET");
  EXPECT_EQ(peer.Rest(), "");
}

TEST_F(SmtpPeerTest, LineBreaksInAnAddressNeverReachACommand) {
  message.Recipients.Clear();
  message.Recipients.Add("john@example.com>\r\nRCPT TO:<thief@example.com", "");
  Greeted().Answer({"250 ok"}).ReadToEnd();
  Login();
  ExpectError<EmsError>([&] { client.Send(); },
                        "An e-mail address or name holds a line break and cannot be sent.");
  peer.Join();
  EXPECT_EQ(peer.Lines().back(), "MAIL FROM:<shop@example.com>");
  EXPECT_EQ(peer.Rest(), "");
}

TEST_F(SmtpPeerTest, ASecondOperationDuringADialogueIsRefused) {
  Greeted()
      .ReadLine()
      .Pause(300)
      .Send("250 ok\r\n")
      .Answer({"250 ok", "354 go"})
      .ReadLines(12)
      .Send("250 queued\r\n");
  Login();
  std::string refusal;
  QTimer::singleShot(50, [&] {  // as a second click on a send button would
    try {
      client.Send();
    } catch (const EmsError& e) {
      refusal = e.what();
    }
  });
  client.Send();
  EXPECT_EQ(refusal, "Another e-mail operation is under way. Please wait until it has finished.");
  EXPECT_TRUE(client.GetConnected());
  peer.Join();
  EXPECT_EQ(peer.Lines().back(), ".");
}

// The empty line after the data ends an unfinished last line instead of adding one.
TEST_F(SmtpPeerTest, AMessageStreamGoesOutWithCrLfLineEndsOnly) {
  QByteArray text("Subject: raw\n\n.one\rtwo\r\n.\nlast");
  QBuffer stream(&text);
  stream.open(QIODevice::ReadOnly);
  client.MessageStream = &stream;
  client.SetMailMessage(nullptr);
  client.MailFrom = " sender@example.com ";
  client.RecipientList = {"list@example.com"};
  Greeted().Answer({"250 ok", "250 ok", "354 go"}).ReadLines(7).Send("250 queued\r\n").Answer({"500 what"});
  Login();
  client.Send();
  ExpectError<EmsServerError>([&] { client.Quit(); }, "500 what");
  EXPECT_FALSE(client.GetConnected());
  peer.Join();
  EXPECT_EQ(std::vector<std::string>(peer.Lines().begin() + 1, peer.Lines().end()),
            (std::vector<std::string>{"MAIL FROM:<sender@example.com>", "RCPT TO:<list@example.com>", "DATA",
                                      "Subject: raw", "", "..one", "two", "..", "last", ".", "QUIT"}));
}

TEST_F(SmtpPeerTest, HeloFallbackAndSendingWithoutAMessage) {
  peer.Send("220 ready\r\n").Answer({"502 not here", "250 hi"}).ReadToEnd();
  Login();
  EXPECT_EQ(client.TotalRecipients(), 1);
  client.SetMailMessage(nullptr);
  EXPECT_EQ(client.TotalRecipients(), 0);
  ExpectError<EmsError>([&] { client.Send(); }, "MailMessage property must be assigned");
  peer.Join();
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"EHLO shop-pc", "HELO shop-pc"}));
}

}  // namespace
}  // namespace mail
