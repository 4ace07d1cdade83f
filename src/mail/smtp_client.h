#pragma once
// The SMTP client through which every e-mail of the program leaves. Login connects, greets the
// server (EHLO, falling back to HELO) and authenticates with AUTH LOGIN when a user name is set;
// Send transmits the message of MailMessage as an envelope (MAIL FROM, one RCPT TO per
// recipient) and the encoded text; Quit closes. Every failure is an exception (a server that
// closes the connection is said with the step it closed at), and a failure of
// Login or Send closes the connection, so GetConnected never reports a half-finished dialogue.
// One dialogue runs at a time: an operation started while another one waits for the server (the
// waits let other handlers run) is refused.

#include <QIODevice>
#include <QPointer>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "mail/message.h"
#include "platform/net/client_socket.h"

namespace mail {

class EmsServerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EmsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every recipient of a message was refused: nothing was sent, and the connection is still open and
// ready for the next message.
class EmsNoRecipients : public EmsError {
 public:
  using EmsError::EmsError;
};

class TmsSMTPClient : public platform::net::TmsClientSocket {
 public:
  using NotifyEvent = std::function<void(TmsSMTPClient*)>;
  using AddressRejectedEvent = std::function<void(TmsSMTPClient*, const std::string& TheAddress,
                                                  const std::string& ServerReply, bool& Proceed)>;

  TmsSMTPClient();

  TmsMessage* MailMessage() const { return mail_message_; }
  void SetMailMessage(TmsMessage* message);

  NotifyEvent OnPreparing;  // before the message is encoded
  NotifyEvent OnSending;    // before the envelope
  NotifyEvent OnSent;       // after the server took the data (or the reset)
  AddressRejectedEvent OnAddressRejected;

  std::string MailFrom;                    // when set, the envelope sender instead of the message's
  std::vector<std::string> RecipientList;  // when not empty, the envelope recipients
  QIODevice* MessageStream = nullptr;      // when set, sent instead of the encoded message
  std::string HeloName;                    // the name given in EHLO/HELO; the host name when empty
  std::string UserName;                    // AUTH LOGIN user; empty = no authentication
  std::string Password;

  int RejectedCount() const { return rejected_count_; }
  int TotalRecipients() const;

  int GetReplyCode(const std::string& line) override;
  void Connect() override;
  void Login();
  void Send();
  void Quit();

 private:
  class Dialogue;
  void Command(const std::string& text);
  // The reply to the step of the dialogue that the words name ("at DATA"); a server that closes
  // the connection instead is said in those words.
  int Reply(const char* step);
  int CommandReply(const std::string& text, const char* step);
  std::string Greeting();
  void Authenticate();
  // The envelope and the data; false, after a reset, when every recipient was refused.
  bool SendMessage();
  void SendEnvelope();
  void ResetEnvelope();  // RSET
  std::vector<std::string> EnvelopeRecipients() const;
  void SendData(QIODevice& data);
  void SendDotStuffed(QIODevice& data);

  QPointer<TmsMessage> mail_message_;
  int rejected_count_ = 0;
  bool busy_ = false;
};

}  // namespace mail
