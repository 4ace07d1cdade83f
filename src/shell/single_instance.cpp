#include "shell/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "platform/ui/message_box.h"
#include "shell/main_form.h"

namespace shell {
namespace {

// How long a later instance tries to reach the running one before it starts by itself.
constexpr int ConnectWaitMs = 2000;
constexpr char ShowRequest[] = "show\n";

QString CanonicalDirectory(const QString& directory) {
  QFileInfo info(directory.isEmpty() ? QDir::currentPath() : directory);
  QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// The system's reason why the lock file cannot be made in the folder, found by making a file
// there and writing to it what a lock file holds: a full disk takes the name and refuses the
// bytes.
QString WhyFolderCannotBeWritten(const QString& directory) {
  std::string probe = QDir(directory).filePath(".kestrava-XXXXXX").toStdString();
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
  static constexpr char kLockContents[] = "4194304\nkestrava\nlocalhost\n";
  constexpr auto kLength = static_cast<ssize_t>(sizeof kLockContents - 1);
  const ssize_t written = ::write(fd, kLockContents, kLength);
  int err = written < 0 ? errno : written < kLength ? ENOSPC : 0;
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  ::close(fd);
  ::unlink(probe.c_str());
  if (err != 0) return QString::fromLocal8Bit(std::strerror(err));
  return QStringLiteral("the lock file %1 cannot be made").arg(InstanceMutexName);
}

}  // namespace

InstanceGuard* InstanceMutex = nullptr;

InstanceGuard::InstanceGuard(const QString& directory) : directory_(CanonicalDirectory(directory)) {}

InstanceGuard::~InstanceGuard() {
  if (lock_) lock_->unlock();
  if (server_) server_->close();
}

QString InstanceGuard::ServerName(const QString& directory) {
  // The socket lives in the system's temporary folder, where a path-length limit applies; the
  // hash keeps the name short whatever the directory is called.
  QByteArray digest =
      QCryptographicHash::hash(CanonicalDirectory(directory).toUtf8(), QCryptographicHash::Sha1).toHex();
  return "kestrava-" + QString::fromLatin1(digest.left(20));
}

InstanceGuard::Outcome InstanceGuard::Acquire(int waitMs) {
  lock_ = std::make_unique<QLockFile>(QDir(directory_).filePath(InstanceMutexName));
  if (!lock_->tryLock(waitMs)) {
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    if (error == QLockFile::LockFailedError) return Outcome::TimedOut;
    // A folder where no lock can be made now (a full disk) may still have a copy running there,
    // which is brought forward as on a disk with room.
    if (AskRunningInstanceToShow()) return Outcome::AnotherIsRunning;
    failure_ = QStringLiteral("The program cannot work in the data folder %1: %2.")
                   .arg(QDir::toNativeSeparators(directory_), WhyFolderCannotBeWritten(directory_));
    return Outcome::CannotLock;
  }
  if (AskRunningInstanceToShow()) {
    lock_->unlock();
    lock_.reset();
    return Outcome::AnotherIsRunning;
  }
  return Outcome::MayStart;
}

bool InstanceGuard::AskRunningInstanceToShow() {
  QLocalSocket socket;
  socket.connectToServer(ServerName(directory_));
  if (!socket.waitForConnected(ConnectWaitMs)) return false;
  socket.write(ShowRequest);
  socket.waitForBytesWritten(ConnectWaitMs);
  socket.disconnectFromServer();
  return true;
}

bool InstanceGuard::Publish(std::function<void()> activate) {
  activate_ = std::move(activate);
  server_ = std::make_unique<QLocalServer>();
  QString name = ServerName(directory_);
  // A socket left behind by an instance that crashed: nobody answered on it in Acquire.
  QLocalServer::removeServer(name);
  bool listening = server_->listen(name);
  if (listening) {
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
      while (QLocalSocket* peer = server_->nextPendingConnection()) {
        QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        if (activate_) activate_();
      }
    });
  } else {
    server_.reset();
  }
  if (lock_) {
    lock_->unlock();
    lock_.reset();
  }
  return listening;
}

void CheckSingleInstance() {
  InstanceMutex = new InstanceGuard();
  const InstanceGuard::Outcome outcome = InstanceMutex->Acquire();
  if (outcome == InstanceGuard::Outcome::MayStart) return;
  int code = 0;
  if (outcome == InstanceGuard::Outcome::CannotLock) {
    platform::ui::MessageBox(InstanceMutex->Failure(), QString::fromLatin1(ProgramTitle),
                             platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Error);
    code = 1;
  }
  CloseInstanceMutex();
  std::exit(code);
}

void CloseInstanceMutex() {
  delete InstanceMutex;
  InstanceMutex = nullptr;
}

}  // namespace shell
