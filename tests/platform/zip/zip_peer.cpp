#include "zip_peer.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

namespace testing_support {
namespace {

QString PeerScript() {
  return QString(KESTRAVA_SOURCE_DIR) + "/tests/platform/zip/zip_peer.py";
}

// Runs the peer and returns what it printed; a failure when it did not end well.
QByteArray RunPeer(const QStringList& arguments) {
  QProcess python;
  python.start("/usr/bin/python3", QStringList{PeerScript()} + arguments);
  if (!python.waitForFinished(30000) || python.exitStatus() != QProcess::NormalExit ||
      python.exitCode() != 0) {
    ADD_FAILURE() << "zip_peer.py " << arguments.join(' ').toStdString()
                  << " failed: " << python.readAllStandardError().toStdString();
    return {};
  }
  return python.readAllStandardOutput();
}

QString Latin1(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

QJsonObject ReadByPython(const std::string& archive) {
  return QJsonDocument::fromJson(RunPeer({"read", QString::fromStdString(archive)})).object();
}

bool WriteByPython(const std::string& archive, const std::vector<PeerEntry>& entries) {
  QJsonArray spec;
  for (const PeerEntry& entry : entries)
    spec.append(QJsonObject{{"name", QString::fromStdString(entry.name)},
                            {"data", Latin1(entry.data)},
                            {"kind", QString::fromStdString(entry.kind)},
                            {"damage", entry.damage},
                            {"declared_size", entry.declaredSize}});
  QTemporaryDir folder;
  const std::string specPath = folder.filePath("spec.json").toStdString();
  std::ofstream(specPath) << QJsonDocument(spec).toJson().toStdString();
  RunPeer({"make", QString::fromStdString(archive), QString::fromStdString(specPath)});
  return !::testing::Test::HasFailure();
}

}  // namespace testing_support
