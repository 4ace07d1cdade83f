#pragma once
// Test peers for the socket and mail tests: a scripted server on its own thread that accepts
// one connection on 127.0.0.1 and plays its steps (send bytes, read a line, pause, close), and
// the Qt application object the socket waits need.

#include <QCoreApplication>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// The application object of a test program, made on first use.
template <class App = QCoreApplication>
App& TestApp() {
  static int argc = 1;
  static char name[] = "kestrava-test";
  static char* argv[] = {name, nullptr};
  static App app(argc, argv);
  return app;
}

class ScriptedPeer {
 public:
  ScriptedPeer();
  ~ScriptedPeer();
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;

  uint16_t Port() const { return port_; }

  // Steps, played in order once a client has connected.
  ScriptedPeer& Send(const std::string& bytes);
  ScriptedPeer& ReadLine();        // one line up to LF, kept in Lines()
  ScriptedPeer& ReadLines(int n);  // n lines
  // For each reply: reads a line, then sends the reply with CR LF.
  ScriptedPeer& Answer(std::initializer_list<std::string> replies);
  ScriptedPeer& ReadToEnd();  // everything until the client closes, kept in Rest()
  ScriptedPeer& Pause(int milliseconds);
  ScriptedPeer& Close();

  void Start();
  // Waits for the script to finish; then Lines() and Rest() may be read.
  void Join();
  const std::vector<std::string>& Lines() const { return lines_; }  // without CR LF
  const std::string& Rest() const { return rest_; }

 private:
  struct Step {
    enum Kind { Send, ReadLine, ReadToEnd, Pause, Close } kind;
    std::string bytes;
    int milliseconds = 0;
  };
  void Run();

  int listener_ = -1;
  uint16_t port_ = 0;
  std::vector<Step> steps_;
  std::vector<std::string> lines_;
  std::string rest_;
  std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on.
uint16_t UnusedPort();

}  // namespace testing_support
