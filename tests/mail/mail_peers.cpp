#include "mail_peers.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace testing_support {

namespace {

const char* const Python = "/usr/bin/python3";

QString ScriptPath(const char* name) {
  return QString(KESTRAVA_SOURCE_DIR) + "/tests/mail/" + name;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
  return lines;
}

void AddressShopToJohn(mail::TmsMessage& message) {
  message.Sender().SetAddress("shop@example.com");
  message.Sender().SetName("Corner Shop");
  message.Recipients.Add("john@example.com", "John Smith");
  message.SetSubject("Invoice 1001");
}

void DecodeInto(const std::string& text, mail::TmsCustomMessage& message) {
  QByteArray bytes = QByteArray::fromStdString(text);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  message.DecodeFromStream(buffer);
}

std::string Encoded(mail::TmsCustomMessage& message) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  message.EncodeToStream(buffer);
  return bytes.toStdString();
}

QJsonDocument PythonOutput(const char* script, const QStringList& arguments) {
  QProcess python;
  python.start(Python, QStringList{ScriptPath(script)} + arguments);
  if (!python.waitForFinished(30000) || python.exitCode() != 0) {
    ADD_FAILURE() << script << " failed: " << python.readAllStandardError().toStdString();
    return {};
  }
  return QJsonDocument::fromJson(python.readAllStandardOutput());
}

QJsonObject ParsedByPython(const std::string& text) {
  QTemporaryDir folder;
  const QString path = folder.filePath("message.eml");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    ADD_FAILURE() << "cannot write " << path.toStdString();
    return {};
  }
  file.write(text.data(), static_cast<qint64>(text.size()));
  file.close();
  return PythonOutput("parse_message.py", {path}).object();
}

SmtpServer::SmtpServer(const QStringList& options) {
  folder_ = QDir::temp().filePath(QString("kestrava-smtp-%1").arg(QCoreApplication::applicationPid()));
  QDir(folder_).removeRecursively();
  QDir().mkpath(folder_);
  process_.start(Python, QStringList{ScriptPath("smtp_server.py"), folder_} + options);
  // The server prints its port as soon as it listens.
  while (process_.waitForReadyRead(20000)) {
    if (process_.canReadLine()) {
      port_ = static_cast<uint16_t>(process_.readLine().trimmed().toUInt());
      break;
    }
  }
  if (port_ == 0)
    ADD_FAILURE() << "the SMTP server did not start: " << process_.readAllStandardError().toStdString();
}

SmtpServer::~SmtpServer() {
  process_.closeWriteChannel();  // the server stops when its input closes
  if (!process_.waitForFinished(10000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
  QDir(folder_).removeRecursively();
}

void SmtpServer::Kill() {
  process_.kill();
  process_.waitForFinished(5000);
}

std::string SmtpServer::Message(int n) const {
  return ReadFile(QString("%1/message-%2.eml").arg(folder_).arg(n)).toStdString();
}

QJsonObject SmtpServer::Envelope(int n) const {
  return QJsonDocument::fromJson(ReadFile(QString("%1/envelope-%2.json").arg(folder_).arg(n))).object();
}

}  // namespace testing_support
