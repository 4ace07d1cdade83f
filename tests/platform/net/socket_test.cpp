#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>

#include "platform/net/client_socket.h"
#include "platform/net/expect_error.h"
#include "platform/net/scripted_peer.h"

namespace platform::net {
namespace {

using testing_support::ExpectError;
using testing_support::ScriptedPeer;
using testing_support::TestApp;

// A client socket of a protocol with three-digit reply codes.
class ReplySocket : public TmsClientSocket {
 public:
  int GetReplyCode(const std::string& line) override {
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0]))
               ? std::stoi(line.substr(0, 3))
               : -1;
  }
};

class SocketTest : public ::testing::Test {
 protected:
  void SetUp() override { TestApp(); }

  void ConnectToPeer() {
    peer.Start();
    socket.SetHost("127.0.0.1:" + std::to_string(peer.Port()));
    socket.SetTimeOut(5);
    socket.Connect();
  }

  ScriptedPeer peer;
  ReplySocket socket;
};

// An empty line is a line; the end of the stream is not.
TEST_F(SocketTest, ReadsLinesAndThePartOfALineBeforeThePeerClosed) {
  peer.Send("220 ready\r\n\r\nsecond\nthird without end").Close();
  int disconnected = 0;
  socket.OnDisconnected = [&](TmsSocket*) { ++disconnected; };
  ConnectToPeer();
  std::string line;
  socket.ReadLine(line);
  EXPECT_EQ(line, "220 ready");
  socket.ReadLine(line);
  EXPECT_EQ(line, "");
  socket.ReadLine(line);
  EXPECT_EQ(line, "second");
  EXPECT_FALSE(socket.IsClosed());
  socket.ReadLine(line);
  EXPECT_EQ(line, "third without end");
  EXPECT_TRUE(socket.IsClosed());
  EXPECT_EQ(disconnected, 1);
  ExpectError<EmsConnectionClosedError>([&] { socket.ReadLine(line); },
                                        "Connection closed by the other side");
  EXPECT_TRUE(socket.GetConnected());  // the handle stays until Disconnect
  socket.Disconnect();
  EXPECT_FALSE(socket.GetConnected());
  EXPECT_EQ(disconnected, 2);
}

TEST_F(SocketTest, ALineOf4094BytesIsTooMuchAndOneOf4093IsRead) {
  peer.Send(std::string(4091, 'a') + "\r\n").Send(std::string(4092, 'b') + "\r\n").Pause(200).Close();
  ConnectToPeer();
  std::string line;
  socket.ReadLine(line);
  EXPECT_EQ(line, std::string(4091, 'a'));
  ExpectError<EmsTooMuchDataError>([&] { socket.ReadLine(line); }, "Buffer is full. Will disconnect.");
  EXPECT_TRUE(socket.GetConnected());
}

TEST_F(SocketTest, MultiLineRepliesEndAtTheLineWithTheCodeAndABlankOrTheBareCode) {
  peer.Send("250-first\r\n250-second\r\n250 third\r\n")  // the usual form
      .Send("250-a\r\n354-other code\r\n250 end\r\n")    // another code in between
      .Send("250-hello\r\n250-PIPELINING\r\n250\r\n")    // a bare code ends it
      .Send("250\r\n")                                   // a bare code alone
      .Send("421-going\r\n421-cut sh")
      .Close();  // the peer leaves in the middle of a reply: that is no reply
  ConnectToPeer();
  EXPECT_EQ(socket.ReadReply(), 250);
  EXPECT_EQ(socket.LastReply, "250 third");
  EXPECT_EQ(socket.ReadReply(), 250);
  EXPECT_EQ(socket.LastReply, "250 end");
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(socket.ReadReply(), 250);
  EXPECT_EQ(socket.LastReply, "250");
  EXPECT_EQ(socket.ReadReply(), 250);
  EXPECT_LT(clock.elapsed(), 2000);  // no wait for the time-out
  ExpectError<EmsConnectionClosedError>([&] { socket.ReadReply(); }, "Connection closed by the other side");
  EXPECT_TRUE(socket.IsClosed());
}

TEST_F(SocketTest, ASilentPeerTimesOutAfterTheIdleTimeOut) {
  peer.Pause(2500).Close();
  ConnectToPeer();
  socket.SetTimeOut(1);
  QElapsedTimer clock;
  clock.start();
  std::string line;
  ExpectError<EmsTimedOutError>([&] { socket.ReadLine(line); }, "Operation timed out");
  EXPECT_GE(clock.elapsed(), 500);
  EXPECT_LT(clock.elapsed(), 3000);
}

TEST_F(SocketTest, WaitsKeepEventsFlowingAndStopWhenCanceled) {
  peer.Pause(3000).Close();
  ConnectToPeer();
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (++ticks == 3) socket.Canceled = true;  // as a cancel button would
  });
  ticker.start(50);
  std::string line;
  ExpectError<EmsCanceledError>([&] { socket.ReadLine(line); }, "Operation has been canceled");
  EXPECT_EQ(ticks, 3);
}

TEST_F(SocketTest, ARefusedConnectionRaisesTheWinsockErrorAndLeavesNoSocket) {
  socket.SetHost("127.0.0.1");
  socket.Port = testing_support::UnusedPort();
  ExpectError<EWinsockError>([&] { socket.Connect(); }, "Winsock error no 10061");
  EXPECT_FALSE(socket.GetConnected());
}

TEST_F(SocketTest, SendsLinesAndStreamsWithProgressAndTranscript) {
  peer.ReadLine().ReadToEnd();
  socket.TranscriptEnabled = 1;
  socket.ChunkSize = 1000;
  std::vector<int> percents;
  socket.OnTransferProgress = [&](TmsSocket*, int perc, int, int lineCount) {
    percents.push_back(perc);
    EXPECT_EQ(lineCount, -1);
  };
  ConnectToPeer();
  socket.SendLine("HELLO there");
  QByteArray bytes(2500, 'z');
  QBuffer stream(&bytes);
  stream.open(QIODevice::ReadOnly);
  socket.SendStream(stream, 500);
  socket.Disconnect();
  peer.Join();
  ASSERT_EQ(peer.Lines().size(), 1u);
  EXPECT_EQ(peer.Lines()[0], "HELLO there");
  EXPECT_EQ(peer.Rest(), std::string(2000, 'z'));
  EXPECT_EQ(percents, (std::vector<int>{60, 100, 100}));
  EXPECT_EQ(socket.Transcript, (std::vector<std::string>{"HELLO there"}));
}

TEST_F(SocketTest, SendingWithoutAConnectionFails) {
  EXPECT_THROW(socket.SendLine("NOOP"), EWinsockError);
}

TEST(ClientSocketHost, SetHostSplitsNameAndPort) {
  TestApp();
  TmsClientSocket socket;
  socket.SetHost("mail.example.com:2525");
  EXPECT_EQ(socket.Host(), "mail.example.com");
  EXPECT_EQ(socket.Port, 2525);
  socket.SetHost("mail.example.com:abc");  // not a number: the default port, 0 here
  EXPECT_EQ(socket.Port, 0);
  socket.Port = 587;
  socket.SetHost("other.example.com");  // no colon and no default port: the port stays
  EXPECT_EQ(socket.Host(), "other.example.com");
  EXPECT_EQ(socket.Port, 587);
  socket.SetHost("high.example.com:50025");  // ports above 32767 are ports too
  EXPECT_EQ(socket.Port, 50025);
  socket.SetHost(" mail.example.com : 587 ");  // blanks around the name and the port
  EXPECT_EQ(socket.Host(), "mail.example.com");
  EXPECT_EQ(socket.Port, 587);
  socket.SetHost("mail.example.com:-25");  // no sign: the default port
  EXPECT_EQ(socket.Port, 0);
  socket.SetHost("mail.example.com:70000");  // too large for a port
  EXPECT_EQ(socket.Port, 0);
  socket.RelayHost = "relay";
  socket.SetHost("a:25");  // with a relay the text is the host name as it stands
  EXPECT_EQ(socket.Host(), "a:25");
}

}  // namespace
}  // namespace platform::net
