#include "platform/net/winsock.h"

#include "platform/net/expect_error.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <netdb.h>

namespace platform::net {
namespace {

TEST(Winsock, LinuxErrorsBecomeTheWinsockNumbersOfTheMessages) {
  EXPECT_EQ(WinsockErrorFromErrno(ECONNREFUSED), 10061);
  EXPECT_EQ(WinsockErrorFromErrno(EAGAIN), 10035);
  EXPECT_EQ(WinsockErrorFromErrno(ECONNRESET), 10054);
  EXPECT_EQ(WinsockErrorFromErrno(EPIPE), 10054);
  EXPECT_EQ(WinsockErrorFromErrno(ETIMEDOUT), 10060);
  EXPECT_EQ(WinsockErrorFromErrno(EHOSTUNREACH), 10065);
  EXPECT_EQ(WinsockErrorFromErrno(EBADF), 10038);
  EXPECT_EQ(WinsockErrorFromResolver(EAI_NONAME), 11001);
  EXPECT_EQ(WinsockErrorFromResolver(EAI_AGAIN), 11002);
  EXPECT_EQ(WinsockErrorFromResolver(EAI_FAIL), 11003);
}

TEST(Winsock, RaisedErrorsCarryTheNumberInTheirText) {
  testing_support::ExpectError<EWinsockError>([] { RaiseWinsockError(10061); }, "Winsock error no 10061");
}

TEST(Winsock, ResolvesDottedAddressesAndNames) {
  TmsWinsock& ws = WinsockInstance();
  EXPECT_EQ(ws.ResolveHost("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(ws.ResolveHost("localhost"), "127.0.0.1");
  EXPECT_EQ(ws.AddressOf("127.0.0.1"), htonl(INADDR_LOOPBACK));
  EXPECT_THROW(ws.AddressOf("not.an.address"), EWinsockError);
  EXPECT_FALSE(ws.LocalHostName().empty());
}

TEST(Winsock, SendingOnAClosedHandleFailsWithNotASocket) {
  TmsWinsock& ws = WinsockInstance();
  EXPECT_EQ(ws.send(INVALID_SOCKET, "x", 1, 0), SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), WSAENOTSOCK);
}

}  // namespace
}  // namespace platform::net
