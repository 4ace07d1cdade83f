#include "platform/net/client_socket.h"

#include <charconv>

namespace platform::net {

namespace {

constexpr size_t MaxHostLength = 255;

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

void TmsClientSocket::SetHost(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon != std::string::npos && RelayHost.empty()) {
    // Blanks typed around the name or the port are not part of either.
    host_ = Trimmed(text.substr(0, colon)).substr(0, MaxHostLength);
    const std::string portText = Trimmed(text.substr(colon + 1));
    uint16_t port = 0;
    const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    const bool whole = error == std::errc() && end == portText.data() + portText.size() && !portText.empty();
    Port = whole ? port : default_port_;
    return;
  }
  host_ = text.substr(0, MaxHostLength);
  if (default_port_ > 0) Port = default_port_;
}

void TmsClientSocket::Connect() {
  ResetState();
  if (OnConnecting) OnConnecting(this);
  if (!RelayHost.empty()) {
    OpenAndConnect(RelayHost, RelayPort);
  } else {
    OpenAndConnect(host_, Port);
  }
}

}  // namespace platform::net
