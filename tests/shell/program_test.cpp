// The program itself, started as a user starts it, in a scratch data directory.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/temp_dir.h"

namespace {

class ProgramTest : public ::testing::Test {
 protected:
  void Start(QProcess& program) {
    program.setProgram(KESTRAVA_PROGRAM);
    program.setWorkingDirectory(QString::fromStdString(dir_.path().string()));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    ASSERT_TRUE(program.waitForStarted(10000));
  }
  static void Stop(QProcess& program) {
    if (program.state() == QProcess::NotRunning) return;
    program.kill();
    program.waitForFinished(10000);
  }
  // Waits until the running program's main window exists: it lets go of the start-up lock then.
  static bool WaitForMainWindow() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 30000) {
      if (std::filesystem::exists("ovcomp.DAT") && !std::filesystem::exists("SingleInstanceProgramHMutex"))
        return true;
      QThread::msleep(50);
    }
    return false;
  }

  testing_support::TempDir dir_;
};

TEST_F(ProgramTest, FirstStartSetsUpTheDirectoryAndASecondStartEndsAtOnce) {
  QProcess first;
  Start(first);
  ASSERT_TRUE(WaitForMainWindow());
  EXPECT_TRUE(std::filesystem::exists("ovcomp.IX"));

  QProcess second;
  Start(second);
  EXPECT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);
  Stop(first);

  // With the first one gone, the next start is the running program.
  QProcess next;
  Start(next);
  EXPECT_FALSE(next.waitForFinished(2000));
  EXPECT_EQ(next.state(), QProcess::Running);
  Stop(next);
}

TEST_F(ProgramTest, TheEndOfTheSessionEndsTheProgramWithItsFilesClosed) {
  QProcess program;
  Start(program);
  ASSERT_TRUE(WaitForMainWindow());
  program.terminate();  // what the desktop sends when the session ends
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  // A normal end (a leak or an unclosed file would show in the exit code) leaves a sound company list.
  QProcess check;
  check.start("python3",
              {QString(KESTRAVA_SOURCE_DIR) + "/tests/oracles/dat_checker.py", "ovcomp.DAT", "--clean"});
  ASSERT_TRUE(check.waitForFinished(30000));
  EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
}

}  // namespace

namespace {

std::string ReadText(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(ProgramTest, TheInvoiceJobForAnUnknownCustomerAnswersWithStarsInsteadOfAStaleAnswer) {
  std::ofstream("FILE.TXT") << "  C100  \r\nAcme Tools\r\n";
  // What an earlier run left behind must not be read as this run's answer.
  std::ofstream("CPWIN.TXT") << "C100\r\n1001\r\n10.00\r\n0.00\r\n";
  QProcess program;
  program.setArguments({"/C"});
  Start(program);
  QElapsedTimer timer;
  timer.start();
  while (ReadText("CPWIN.TXT") != "C100\r\n***\r\n" && timer.elapsed() < 30000) QThread::msleep(50);
  EXPECT_EQ(ReadText("CPWIN.TXT"), "C100\r\n***\r\n");
  // The job's message waits for the user; the end of the session ends it cleanly.
  program.terminate();
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

}  // namespace
