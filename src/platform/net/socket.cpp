#include "platform/net/socket.h"

#include <QCoreApplication>
#include <QThread>
#include <cmath>
#include <cstring>

namespace platform::net {

namespace {

[[noreturn]] void RaiseLastError() {
  RaiseWinsockError(WinsockInstance().WSAGetLastError());
}

}  // namespace

// --- TmsSocketBase ---------------------------------------------------------------------------

TmsSocketBase::TmsSocketBase() : counter_(std::make_unique<TmsTimeCounter>(time_out_)) {}

TmsSocketBase::~TmsSocketBase() {
  StopNotifiers();
  if (socket_ != INVALID_SOCKET) WinsockInstance().closesocket(socket_);
}

void TmsSocketBase::SetTimeOut(int seconds) {
  time_out_ = seconds;
  if (counter_) counter_->SetTimeOut(seconds);
}

void TmsSocketBase::StartNotifiers() {
  read_notifier_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Read);
  write_notifier_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Write);
  // Each notifier is on only while a wait needs it: a readable socket nobody reads would
  // otherwise wake the event loop without end.
  read_notifier_->setEnabled(false);
  write_notifier_->setEnabled(false);
  QObject::connect(write_notifier_.get(), &QSocketNotifier::activated, this, [this] { WriteReady(); });
}

void TmsSocketBase::StopNotifiers() {
  read_notifier_.reset();
  write_notifier_.reset();
}

void TmsSocketBase::Pump(Wait wait) {
  QSocketNotifier* notifier = wait == Wait::Readable   ? read_notifier_.get()
                              : wait == Wait::Writable ? write_notifier_.get()
                                                       : nullptr;
  if (!notifier) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  notifier->setEnabled(true);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  // A handler run meanwhile may have closed the socket and dropped the notifiers.
  if (wait == Wait::Readable && read_notifier_) read_notifier_->setEnabled(false);
  if (wait == Wait::Writable && write_notifier_) write_notifier_->setEnabled(false);
}

void TmsSocketBase::DelayAfterCall() const {
  if (Delay > -1) QThread::msleep(static_cast<unsigned long>(Delay));
}

// --- TmsSocket -------------------------------------------------------------------------------

void TmsSocket::ResetState() {
  connected_ = false;
  closed_ = false;
  Canceled = false;
  async_error_ = 0;
  if (counter_) counter_->Reset();
}

int TmsSocket::GetReplyCode(const std::string&) {
  return 1;
}

void TmsSocket::OpenAndConnect(const std::string& hostName, uint16_t port) {
  TmsWinsock& ws = WinsockInstance();
  Abandon();  // a connection still open would otherwise be lost without being closed
  socket_ = ws.socket(AF_INET, SocketType, Protocol);
  if (socket_ == INVALID_SOCKET) RaiseLastError();
  try {
    if (Protocol == 0 && ws.setsockopt_linger(socket_, LingerOn, LingerTime) != 0) RaiseLastError();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = ws.AddressOf(ws.ResolveHost(hostName));
    ApplyBlockingMode();
    last_result_ = ws.connect(socket_, address);
    if (last_result_ == SOCKET_ERROR) {
      if (Blocking || ws.WSAGetLastError() != WSAEWOULDBLOCK) RaiseLastError();
    } else if (!Blocking) {
      connected_ = true;
      if (OnConnected) OnConnected(this);
    }
    if (SocketType == SOCK_STREAM && Protocol == 0 && !Blocking) WaitForConnection();
    if (OnConnected) OnConnected(this);
  } catch (...) {
    Abandon();
    throw;
  }
}

void TmsSocket::ApplyBlockingMode() {
  TmsWinsock& ws = WinsockInstance();
  if (Blocking) {
    StopNotifiers();
    if (ws.ioctlsocket_FIONBIO(socket_, false) != 0) RaiseLastError();
    counter_.reset();
    return;
  }
  if (ws.ioctlsocket_FIONBIO(socket_, true) != 0) RaiseLastError();
  if (!counter_) counter_ = std::make_unique<TmsTimeCounter>(time_out_);
  StartNotifiers();
}

void TmsSocket::WriteReady() {
  if (connected_ || socket_ == INVALID_SOCKET) return;
  // The first writable moment of a connecting socket tells how the connect ended.
  const int error = WinsockInstance().getsockopt_error(socket_);
  if (error != 0) {
    async_error_ = error;
    return;
  }
  connected_ = true;
  if (OnConnected) OnConnected(this);
}

void TmsSocket::WaitForConnection() {
  counter_->Start();
  do {
    Pump(connected_ ? Wait::None : Wait::Writable);
    if (connected_ || async_error_ > 0) break;
  } while (!TimedOut() && !Canceled);
  counter_->Stop();
  if (async_error_ != 0) RaiseWinsockError(async_error_ & 0xFFFF);
  if (TimedOut()) throw EmsTimedOutError();
  if (Canceled) throw EmsCanceledError();
}

void TmsSocket::SendBuffer(const char* buffer, int length) {
  TmsWinsock& ws = WinsockInstance();
  if (counter_) counter_->Start();
  int sent = 0;
  bool done = false;
  do {
    const int n = ws.send(socket_, buffer + sent, length - sent, SocketFlags);
    last_result_ = n;
    bool wouldBlock = false;
    if (n != SOCKET_ERROR) {
      sent += n;
      done = sent == length;
      if (counter_) counter_->Reset();
    } else {
      if (Blocking) RaiseLastError();
      const int error = ws.WSAGetLastError();
      if (error == WSAEWOULDBLOCK) {
        wouldBlock = true;
      } else if (!Canceled && !TimedOut()) {
        RaiseWinsockError(error);
      }
    }
    if (!Blocking) Pump(wouldBlock ? Wait::Writable : Wait::None);
    DelayAfterCall();
  } while (!done && !TimedOut() && !Canceled);
  if (counter_) counter_->Stop();
  if (TimedOut()) throw EmsTimedOutError();
  if (Canceled) throw EmsCanceledError();
}

void TmsSocket::SendLine(const std::string& text) {
  const std::string line = text + "\r\n";
  SendBuffer(line.data(), static_cast<int>(line.size()));
  if (OnLineSent) OnLineSent(this, text);
  AddToTranscript(text);
}

void TmsSocket::ReadLine(std::string& text) {
  TmsWinsock& ws = WinsockInstance();
  char buffer[4096] = {};
  if (counter_) counter_->Start();
  int total = 0;
  bool done = false;
  do {
    const int n = ws.recv(socket_, buffer + total, 1, SocketFlags);
    last_result_ = n;
    if (Canceled) throw EmsCanceledError();
    bool wouldBlock = false;
    if (n != SOCKET_ERROR) {
      if (n == 0) PeerClosed();
      if (counter_) counter_->Reset();
      total += n;
      done = std::memchr(buffer, '\n', static_cast<size_t>(total)) != nullptr || (closed_ && n == 0);
    } else {
      if (Blocking) RaiseLastError();
      const int error = ws.WSAGetLastError();
      if (error == WSAEWOULDBLOCK || error == 0) {
        wouldBlock = true;
      } else if (!Canceled && !TimedOut()) {
        RaiseWinsockError(error);
      }
    }
    if (total >= MaxLineBytes) done = true;
    if (!Blocking) Pump(wouldBlock ? Wait::Readable : Wait::None);
    DelayAfterCall();
  } while (!done && !TimedOut() && !Canceled);
  DelayAfterCall();
  if (counter_) counter_->Stop();
  if (TimedOut()) throw EmsTimedOutError();
  if (Canceled) throw EmsCanceledError();
  if (total >= MaxLineBytes) throw EmsTooMuchDataError();
  if (total == 0 && closed_) throw EmsConnectionClosedError();

  std::string line(buffer, static_cast<size_t>(total));
  const size_t lf = line.find('\n');
  if (lf != std::string::npos) line.resize(lf);
  const size_t cr = line.find('\r');
  if (cr != std::string::npos) line.erase(cr, 1);
  text = line;
  if (OnLineReceived) OnLineReceived(this, text);
  AddToTranscript(text);
}

void TmsSocket::PeerClosed() {
  if (closed_) return;
  closed_ = true;
  if (OnDisconnected) OnDisconnected(this);
}

void TmsSocket::SendStream(QIODevice& stream, qint64 start) {
  const qint64 size = stream.size();
  if (size == 0) return;
  stream.seek(start);
  std::vector<char> buffer(static_cast<size_t>(ChunkSize));
  qint64 n = 0;
  do {
    std::fill(buffer.begin(), buffer.end(), 0);
    n = std::max<qint64>(stream.read(buffer.data(), ChunkSize), 0);
    SendBuffer(buffer.data(), static_cast<int>(n));
    ReportProgress(stream.pos(), size);
  } while (n >= ChunkSize);
}

void TmsSocket::ReportProgress(qint64 position, qint64 size) {
  if (!OnTransferProgress || size <= 0) return;
  OnTransferProgress(this, static_cast<int>(std::lround(100.0 * static_cast<double>(position) / size)),
                     static_cast<int>(position), -1);
}

void TmsSocket::Disconnect() {
  if (socket_ == INVALID_SOCKET) return;
  TmsWinsock& ws = WinsockInstance();
  StopNotifiers();
  int error = 0;
  last_result_ = ws.shutdown(socket_, SD_SEND);
  if (last_result_ != 0) error = ws.WSAGetLastError();
  last_result_ = ws.closesocket(socket_);
  if (last_result_ != 0 && error == 0) error = ws.WSAGetLastError();
  socket_ = INVALID_SOCKET;
  if (OnDisconnected) OnDisconnected(this);
  if (error != 0) RaiseWinsockError(error);
}

void TmsSocket::Abandon() {
  if (socket_ == INVALID_SOCKET) return;
  StopNotifiers();
  WinsockInstance().closesocket(socket_);
  socket_ = INVALID_SOCKET;
  if (OnDisconnected) OnDisconnected(this);
}

int TmsSocket::ReadReplyLine(std::string& text) {
  ReadLine(text);
  return GetReplyCode(text);
}

int TmsSocket::ReadReply() {
  const int code = ReadReplyLine(LastReply);
  if (code < 1 || LastReply.find('-') != 3) return code;
  // A reply's last line repeats the code followed by a blank, or is the bare code alone.
  auto isLastLine = [&](int lineCode) {
    return lineCode == code && (LastReply.find(' ') == 3 || LastReply.size() == 3);
  };
  do {
    const int lineCode = ReadReplyLine(LastReply);
    if (isLastLine(lineCode)) return code;
    // A peer that closed mid-reply sends nothing more, in either mode, and what came is no answer.
  } while (!closed_);
  throw EmsConnectionClosedError();
}

void TmsSocket::AddToTranscript(const std::string& line) {
  if (TranscriptEnabled != 0) Transcript.push_back(line);
}

}  // namespace platform::net
