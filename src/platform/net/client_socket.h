#pragma once
// The client side of a TCP connection to a named server: host and port (or a relay host that
// takes their place), and the multi-line reply reader of text protocols.

#include <cstdint>
#include <string>

#include "platform/net/socket.h"

namespace platform::net {

class TmsClientSocket : public TmsSocket {
 public:
  const std::string& Host() const { return host_; }
  // "name" or "name:port"; a port that is not a number falls back to the default port.
  void SetHost(const std::string& text);
  uint16_t Port = 0;
  std::string RelayHost;
  uint16_t RelayPort = 0;
  NotifyEvent OnConnecting;
  bool ResetOnly = false;

  virtual void Connect();

 protected:
  uint16_t default_port_ = 0;

 private:
  std::string host_;
};

}  // namespace platform::net
