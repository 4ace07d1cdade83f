#pragma once
// The outside peers of the mail tests: Python's email package, which reads what we write, and a
// real SMTP server (aiosmtpd) on 127.0.0.1, started and stopped by the test.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <string>
#include <vector>

#include "mail/message.h"

namespace testing_support {

// The lines of a text whose every line ends with CR LF; fails the test when the text does not.
std::vector<std::string> CrLfLines(const std::string& text);
// Sender "Corner Shop" <shop@example.com>, recipient "John Smith" <john@example.com>, subject
// "Invoice 1001": the frame of the messages the tests write.
void AddressShopToJohn(mail::TmsMessage& message);
// The message (or article) the decoder reads from the text.
void DecodeInto(const std::string& text, mail::TmsCustomMessage& message);
// The message as the encoder writes it.
std::string Encoded(mail::TmsCustomMessage& message);
// The JSON that a Python script of this folder prints; fails the test when it cannot run.
QJsonDocument PythonOutput(const char* script, const QStringList& arguments);
// What Python's email package reads in the text (see parse_message.py); fails the test when the
// script cannot run.
QJsonObject ParsedByPython(const std::string& text);

class SmtpServer {
 public:
  // Extra arguments of smtp_server.py: --user, --password, --refuse-prefix, --no-ehlo.
  explicit SmtpServer(const QStringList& options = {});
  ~SmtpServer();
  SmtpServer(const SmtpServer&) = delete;
  SmtpServer& operator=(const SmtpServer&) = delete;

  uint16_t Port() const { return port_; }
  // Ends the server at once, as a crash would: open connections drop without a goodbye.
  void Kill();
  // The bytes of the n-th message taken (from 1), empty when there is none.
  std::string Message(int n) const;
  // The envelope of the n-th message: mail_from, rcpt_tos, helo.
  QJsonObject Envelope(int n) const;

 private:
  QString folder_;
  QProcess process_;
  uint16_t port_ = 0;
};

}  // namespace testing_support
