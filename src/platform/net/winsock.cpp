#include "platform/net/winsock.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace platform::net {

namespace {

thread_local int last_error = 0;

struct ErrnoCode {
  int err;
  int code;
};

// EBADF is what a closed or never opened handle gives, EPIPE what sending after the peer
// left gives; anything not listed counts as an invalid argument.
constexpr ErrnoCode ErrnoCodes[] = {
    {EINTR, WSAEINTR},
    {EBADF, WSAENOTSOCK},
    {EACCES, WSAEACCES},
    {EPERM, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {ENFILE, WSAEMFILE},
    {EAGAIN, WSAEWOULDBLOCK},
    {EINPROGRESS, WSAEINPROGRESS},
    {EALREADY, WSAEALREADY},
    {ENOTSOCK, WSAENOTSOCK},
    {EDESTADDRREQ, WSAEDESTADDRREQ},
    {EMSGSIZE, WSAEMSGSIZE},
    {EPROTOTYPE, WSAEPROTOTYPE},
    {ENOPROTOOPT, WSAENOPROTOOPT},
    {EPROTONOSUPPORT, WSAEPROTONOSUPPORT},
    {ESOCKTNOSUPPORT, WSAESOCKTNOSUPPORT},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EPFNOSUPPORT, WSAEPFNOSUPPORT},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ENETRESET, WSAENETRESET},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {EPIPE, WSAECONNRESET},
    {ENOBUFS, WSAENOBUFS},
    {ENOMEM, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETOOMANYREFS, WSAETOOMANYREFS},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {ELOOP, WSAELOOP},
    {ENAMETOOLONG, WSAENAMETOOLONG},
    {EHOSTDOWN, WSAEHOSTDOWN},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
};

int Fail(int err) {
  last_error = WinsockErrorFromErrno(err);
  return SOCKET_ERROR;
}

}  // namespace

int WinsockErrorFromErrno(int err) {
  if (err == 0) return 0;
  for (const ErrnoCode& entry : ErrnoCodes) {
    if (entry.err == err) return entry.code;
  }
  return WSAEINVAL;
}

int WinsockErrorFromResolver(int eai) {
  switch (eai) {
    case 0:
      return 0;
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
      return WSAHOST_NOT_FOUND;
    case EAI_AGAIN:
      return WSATRY_AGAIN;
    case EAI_FAIL:
      return WSANO_RECOVERY;
    case EAI_MEMORY:
      return WSAENOBUFS;
    case EAI_SYSTEM:
      return WinsockErrorFromErrno(errno);
    default:
      return WSANO_DATA;
  }
}

void RaiseWinsockError(int code) {
  throw EWinsockError("Winsock error no " + std::to_string(code));
}

TmsWinsock::TmsWinsock() {
  description_ = "POSIX sockets";
  system_status_ = "Running";
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
    max_sockets_ = static_cast<uint16_t>(std::min<rlim_t>(limit.rlim_cur, 0xFFFF));
  }
}

int TmsWinsock::closesocket(SOCKET s) {
  return ::close(s) == 0 ? 0 : Fail(errno);
}

int TmsWinsock::connect(SOCKET s, const sockaddr_in& address) {
  if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return 0;
  // A non-blocking connect that is under way is what Windows reports as "would block".
  if (errno == EINPROGRESS) {
    last_error = WSAEWOULDBLOCK;
    return SOCKET_ERROR;
  }
  return Fail(errno);
}

int TmsWinsock::ioctlsocket_FIONBIO(SOCKET s, bool nonBlocking) {
  int on = nonBlocking ? 1 : 0;
  return ::ioctl(s, FIONBIO, &on) == 0 ? 0 : Fail(errno);
}

int TmsWinsock::recv(SOCKET s, char* buffer, int length, int flags) {
  const ssize_t n = ::recv(s, buffer, static_cast<size_t>(length), flags);
  return n >= 0 ? static_cast<int>(n) : Fail(errno);
}

int TmsWinsock::send(SOCKET s, const char* buffer, int length, int flags) {
  const ssize_t n = ::send(s, buffer, static_cast<size_t>(length), flags | MSG_NOSIGNAL);
  return n >= 0 ? static_cast<int>(n) : Fail(errno);
}

int TmsWinsock::setsockopt_linger(SOCKET s, uint16_t onoff, uint16_t seconds) {
  const linger value{onoff, seconds};
  return ::setsockopt(s, SOL_SOCKET, SO_LINGER, &value, sizeof value) == 0 ? 0 : Fail(errno);
}

int TmsWinsock::shutdown(SOCKET s, int how) {
  return ::shutdown(s, how) == 0 ? 0 : Fail(errno);
}

SOCKET TmsWinsock::socket(int af, int type, int protocol) {
  const int s = ::socket(af, type | SOCK_CLOEXEC, protocol);
  if (s < 0) Fail(errno);
  return s < 0 ? INVALID_SOCKET : s;
}

int TmsWinsock::getsockopt_error(SOCKET s) {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  return WinsockErrorFromErrno(error);
}

int TmsWinsock::WSAGetLastError() const {
  return last_error;
}

std::string TmsWinsock::LocalHostName() {
  char name[128] = {};
  if (::gethostname(name, sizeof name - 1) != 0) RaiseWinsockError(WinsockErrorFromErrno(errno));
  return name;
}

std::string TmsWinsock::ResolveHost(const std::string& name) {
  in_addr dotted{};
  if (::inet_pton(AF_INET, name.c_str(), &dotted) == 1) return name;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (rc != 0 || !found) {
    last_error = WinsockErrorFromResolver(rc != 0 ? rc : EAI_NONAME);
    RaiseWinsockError(last_error);
  }
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
  ::freeaddrinfo(found);
  return text;
}

in_addr_t TmsWinsock::AddressOf(const std::string& dotted) {
  in_addr address{};
  if (::inet_pton(AF_INET, dotted.c_str(), &address) != 1) {
    last_error = WSAEINVAL;
    RaiseWinsockError(last_error);
  }
  return address.s_addr;
}

TmsWinsock& WinsockInstance() {
  static TmsWinsock instance;
  return instance;
}

}  // namespace platform::net
