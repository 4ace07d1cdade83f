#pragma once
// A TCP socket that never blocks the user-interface thread. The socket is non-blocking and is
// watched by socket notifiers; every wait processes the application's pending events (so windows
// keep painting and other handlers may run) until the socket is ready, the idle time-out runs
// out or `Canceled` is set. There is no worker thread and no lock. Lines are sent with CR LF and
// read up to LF, one byte per receive call, so nothing past a line is ever consumed.
//
// `Blocking` switches to plain blocking calls without a time-out.

#include <QIODevice>
#include <QObject>
#include <QSocketNotifier>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/net/time_counter.h"
#include "platform/net/winsock.h"

namespace platform::net {

class EmsTimedOutError : public std::runtime_error {
 public:
  EmsTimedOutError() : std::runtime_error("Operation timed out") {}
};

class EmsCanceledError : public std::runtime_error {
 public:
  EmsCanceledError() : std::runtime_error("Operation has been canceled") {}
};

// The peer closed the connection where a line or the rest of a reply was due.
class EmsConnectionClosedError : public std::runtime_error {
 public:
  EmsConnectionClosedError() : std::runtime_error("Connection closed by the other side") {}
};

class EmsTooMuchDataError : public std::runtime_error {
 public:
  EmsTooMuchDataError() : std::runtime_error("Buffer is full. Will disconnect.") {}
};

// Longest line ReadLine accepts, its CR and LF counted, is one byte less than this.
constexpr int MaxLineBytes = 4094;

class TmsSocketBase : public QObject {
 public:
  TmsSocketBase();
  ~TmsSocketBase() override;

  std::string Version() const { return "2.1"; }

  int ChunkSize = 32768;  // bytes per chunk of SendStream
  int Delay = -1;         // pause in milliseconds after every send or receive call; -1 = none
  bool Blocking = false;

  int TimeOut() const { return time_out_; }
  void SetTimeOut(int seconds);
  bool TimedOut() const { return counter_ && counter_->TimedOut(); }

  SOCKET Handle() const { return socket_; }
  int LastResult() const { return last_result_; }
  int AsyncError() const { return async_error_; }

 protected:
  enum class Wait { None, Readable, Writable };
  // Processes pending events; with a wait, sleeps first until the socket is ready that way or
  // any other event (the time-out timer's tick among them) arrives.
  void Pump(Wait wait);
  void StartNotifiers();
  void StopNotifiers();
  virtual void WriteReady() {}
  void DelayAfterCall() const;

  int time_out_ = 60;
  std::unique_ptr<TmsTimeCounter> counter_;
  SOCKET socket_ = INVALID_SOCKET;
  int last_result_ = 0;
  int async_error_ = 0;

 private:
  std::unique_ptr<QSocketNotifier> read_notifier_;
  std::unique_ptr<QSocketNotifier> write_notifier_;
};

class TmsSocket : public TmsSocketBase {
 public:
  using NotifyEvent = std::function<void(TmsSocket*)>;
  using ProgressEvent = std::function<void(TmsSocket*, int perc, int byteCount, int lineCount)>;
  using LineEvent = std::function<void(TmsSocket*, const std::string& line)>;

  NotifyEvent OnDisconnected;
  NotifyEvent OnConnected;
  ProgressEvent OnTransferProgress;
  LineEvent OnLineSent;
  LineEvent OnLineReceived;
  int SocketFlags = 0;
  int TranscriptEnabled = 0;
  std::vector<std::string> Transcript;
  uint16_t LingerOn = 0;
  uint16_t LingerTime = 0;
  bool Canceled = false;  // a cancel request; every wait gives up with EmsCanceledError
  int SocketType = SOCK_STREAM;
  int Protocol = 0;

  bool GetConnected() const { return socket_ != INVALID_SOCKET; }
  bool IsConnectedFlag() const { return connected_; }  // the connection completed
  bool IsClosed() const { return closed_; }            // the peer closed its side

  virtual void ResetState();
  virtual int GetReplyCode(const std::string& line);

  void SendBuffer(const char* buffer, int length);
  void SendLine(const std::string& text);
  // One line without its CR LF. A line that the peer's close cuts short comes as far as it
  // came; a close before the first byte of a line raises EmsConnectionClosedError, so the end of
  // the stream never reads as an empty line.
  void ReadLine(std::string& text);
  void SendStream(QIODevice& stream, qint64 start);
  // Shuts the sending side down and closes. The handle is released even when the system
  // reports a failure, which is then raised.
  void Disconnect();
  int ReadReplyLine(std::string& text);
  // The code of a reply of one or more lines; a reply that the peer's close cuts short raises
  // EmsConnectionClosedError.
  int ReadReply();

  std::string LastReply;  // last line of the last reply

 protected:
  // Opens a socket and connects it to the address, waiting in the non-blocking mode until the
  // connection completes; a failure closes the socket again before it is raised.
  void OpenAndConnect(const std::string& hostName, uint16_t port);
  // Closes without a word to the peer and without raising: after a failure, so that nothing
  // half-open is left behind.
  void Abandon();
  void WriteReady() override;
  // OnTransferProgress for a stream sent up to the position.
  void ReportProgress(qint64 position, qint64 size);

  bool connected_ = false;
  bool closed_ = false;

 private:
  void ApplyBlockingMode();
  void WaitForConnection();
  void PeerClosed();
  void AddToTranscript(const std::string& line);
};

}  // namespace platform::net
