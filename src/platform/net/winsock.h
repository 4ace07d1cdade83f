#pragma once
// The socket binding of the mail library. The library was written against Windows Sockets 1.1;
// on Linux the calls go straight to the POSIX socket functions, and every failure is turned into
// the Windows Sockets error number that the library's messages and callers know (a refused
// connection is 10061, a host that cannot be found 11001). WSAGetLastError returns that number
// for the last failed call of this thread.

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform::net {

using SOCKET = int;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;
constexpr int SD_SEND = SHUT_WR;

// Windows Sockets error numbers.
enum : int {
  WSAEINTR = 10004,
  WSAEBADF = 10009,
  WSAEACCES = 10013,
  WSAEFAULT = 10014,
  WSAEINVAL = 10022,
  WSAEMFILE = 10024,
  WSAEWOULDBLOCK = 10035,
  WSAEINPROGRESS = 10036,
  WSAEALREADY = 10037,
  WSAENOTSOCK = 10038,
  WSAEDESTADDRREQ = 10039,
  WSAEMSGSIZE = 10040,
  WSAEPROTOTYPE = 10041,
  WSAENOPROTOOPT = 10042,
  WSAEPROTONOSUPPORT = 10043,
  WSAESOCKTNOSUPPORT = 10044,
  WSAEOPNOTSUPP = 10045,
  WSAEPFNOSUPPORT = 10046,
  WSAEAFNOSUPPORT = 10047,
  WSAEADDRINUSE = 10048,
  WSAEADDRNOTAVAIL = 10049,
  WSAENETDOWN = 10050,
  WSAENETUNREACH = 10051,
  WSAENETRESET = 10052,
  WSAECONNABORTED = 10053,
  WSAECONNRESET = 10054,
  WSAENOBUFS = 10055,
  WSAEISCONN = 10056,
  WSAENOTCONN = 10057,
  WSAESHUTDOWN = 10058,
  WSAETOOMANYREFS = 10059,
  WSAETIMEDOUT = 10060,
  WSAECONNREFUSED = 10061,
  WSAELOOP = 10062,
  WSAENAMETOOLONG = 10063,
  WSAEHOSTDOWN = 10064,
  WSAEHOSTUNREACH = 10065,
  WSAHOST_NOT_FOUND = 11001,
  WSATRY_AGAIN = 11002,
  WSANO_RECOVERY = 11003,
  WSANO_DATA = 11004,
};

class EWinsockError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The Windows Sockets number for an errno value of a socket call.
int WinsockErrorFromErrno(int err);
// The Windows Sockets number for a getaddrinfo result (EAI_...).
int WinsockErrorFromResolver(int eai);

// Raises EWinsockError "Winsock error no <code>".
[[noreturn]] void RaiseWinsockError(int code);

class TmsWinsock {
 public:
  TmsWinsock();

  // The binding is linked directly, so it is loaded for the whole run.
  bool Loaded() const { return true; }

  // What the socket layer reports about itself (the start-up record of Windows Sockets).
  uint16_t Version() const { return version_; }
  uint16_t HighVersion() const { return high_version_; }
  const std::string& Description() const { return description_; }
  const std::string& SystemStatus() const { return system_status_; }
  uint16_t MaxSockets() const { return max_sockets_; }
  uint16_t MaxUdpDg() const { return max_udp_dg_; }

  // The calls the library makes, with the results of their Windows Sockets namesakes: a failure
  // returns SOCKET_ERROR (or INVALID_SOCKET) and leaves its number for WSAGetLastError.
  int closesocket(SOCKET s);
  int connect(SOCKET s, const sockaddr_in& address);
  int ioctlsocket_FIONBIO(SOCKET s, bool nonBlocking);
  int recv(SOCKET s, char* buffer, int length, int flags);
  int send(SOCKET s, const char* buffer, int length, int flags);  // never raises SIGPIPE
  int setsockopt_linger(SOCKET s, uint16_t onoff, uint16_t seconds);
  int shutdown(SOCKET s, int how);
  SOCKET socket(int af, int type, int protocol);
  int getsockopt_error(SOCKET s);  // the pending error of a non-blocking connect, as a Winsock number
  int WSAGetLastError() const;

  // The local host name; raises the socket error when it cannot be read.
  std::string LocalHostName();
  // A dotted IPv4 address for a host name or dotted address; raises the socket error when the
  // name cannot be resolved.
  std::string ResolveHost(const std::string& name);
  // The address in network order of a dotted address; raises the socket error for anything else.
  in_addr_t AddressOf(const std::string& dotted);

 private:
  uint16_t version_ = 0x0101;
  uint16_t high_version_ = 0x0101;
  std::string description_;
  std::string system_status_;
  uint16_t max_sockets_ = 0;
  uint16_t max_udp_dg_ = 65507;
};

TmsWinsock& WinsockInstance();

}  // namespace platform::net
