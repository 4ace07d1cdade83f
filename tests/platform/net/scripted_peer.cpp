#include "platform/net/scripted_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace testing_support {

namespace {

// No step of a script waits longer than this, so a broken test never hangs.
constexpr int PeerPatienceMs = 15000;

int ListenOnLoopback(uint16_t* port) {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 4) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(s);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  *port = ntohs(address.sin_port);
  return s;
}

bool WaitReadable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, PeerPatienceMs) == 1;
}

}  // namespace

ScriptedPeer::ScriptedPeer() {
  listener_ = ListenOnLoopback(&port_);
}

ScriptedPeer::~ScriptedPeer() {
  Join();
  if (listener_ >= 0) ::close(listener_);
}

ScriptedPeer& ScriptedPeer::Send(const std::string& bytes) {
  steps_.push_back({Step::Send, bytes});
  return *this;
}

ScriptedPeer& ScriptedPeer::ReadLine() {
  steps_.push_back({Step::ReadLine, ""});
  return *this;
}

ScriptedPeer& ScriptedPeer::ReadLines(int n) {
  for (int i = 0; i < n; ++i) ReadLine();
  return *this;
}

ScriptedPeer& ScriptedPeer::Answer(std::initializer_list<std::string> replies) {
  for (const std::string& reply : replies) ReadLine().Send(reply + "\r\n");
  return *this;
}

ScriptedPeer& ScriptedPeer::ReadToEnd() {
  steps_.push_back({Step::ReadToEnd, ""});
  return *this;
}

ScriptedPeer& ScriptedPeer::Pause(int milliseconds) {
  steps_.push_back({Step::Pause, "", milliseconds});
  return *this;
}

ScriptedPeer& ScriptedPeer::Close() {
  steps_.push_back({Step::Close, ""});
  return *this;
}

void ScriptedPeer::Start() {
  thread_ = std::thread([this] { Run(); });
}

void ScriptedPeer::Join() {
  if (thread_.joinable()) thread_.join();
}

void ScriptedPeer::Run() {
  if (!WaitReadable(listener_)) return;
  const int s = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  if (s < 0) return;
  for (const Step& step : steps_) {
    bool broken = false;
    switch (step.kind) {
      case Step::Send:
        broken = ::send(s, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) !=
                 static_cast<ssize_t>(step.bytes.size());
        break;
      case Step::ReadLine: {
        std::string line;
        char c = 0;
        while (WaitReadable(s) && ::recv(s, &c, 1, 0) == 1 && c != '\n') line += c;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(line);
        break;
      }
      case Step::ReadToEnd: {
        char buffer[4096];
        ssize_t n = 0;
        while (WaitReadable(s) && (n = ::recv(s, buffer, sizeof buffer, 0)) > 0) rest_.append(buffer, n);
        break;
      }
      case Step::Pause:
        std::this_thread::sleep_for(std::chrono::milliseconds(step.milliseconds));
        break;
      case Step::Close:
        ::close(s);
        return;
    }
    if (broken) break;
  }
  ::close(s);
}

uint16_t UnusedPort() {
  uint16_t port = 0;
  ::close(ListenOnLoopback(&port));
  return port;
}

}  // namespace testing_support
