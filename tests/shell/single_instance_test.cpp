#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSysInfo>
#include <filesystem>
#include <fstream>

#include "platform/ui/support/ui_script.h"
#include "support/temp_dir.h"

namespace shell {
namespace {

using Outcome = InstanceGuard::Outcome;

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::EnsureGuiApplication(); }

  // Lets the running instance's socket take the request.
  static void ProcessEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }

  testing_support::TempDir dir_;
};

TEST_F(SingleInstanceTest, ASecondStartBringsTheRunningOneForwardAndEnds) {
  InstanceGuard first;
  ASSERT_EQ(first.Acquire(), Outcome::MayStart);
  EXPECT_TRUE(std::filesystem::exists("SingleInstanceProgramHMutex"));
  int activations = 0;
  ASSERT_TRUE(first.Publish([&] { ++activations; }));
  // The start-up lock is let go once the window exists.
  EXPECT_FALSE(std::filesystem::exists("SingleInstanceProgramHMutex"));

  InstanceGuard second;
  EXPECT_EQ(second.Acquire(), Outcome::AnotherIsRunning);
  ProcessEventsUntil([&] { return activations == 1; });
  EXPECT_EQ(activations, 1);
  InstanceGuard third;
  EXPECT_EQ(third.Acquire(), Outcome::AnotherIsRunning);
  ProcessEventsUntil([&] { return activations == 2; });
  EXPECT_EQ(activations, 2);
}

TEST_F(SingleInstanceTest, AStartWaitsForOneStillStartingAndGivesUpSilently) {
  InstanceGuard starting;
  ASSERT_EQ(starting.Acquire(), Outcome::MayStart);
  InstanceGuard impatient;
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(impatient.Acquire(300), Outcome::TimedOut);
  EXPECT_GE(timer.elapsed(), 250);
}

TEST_F(SingleInstanceTest, AnInstanceThatDiedWhileStartingDoesNotKeepLaterStartsOut) {
  // The start-up lock as a crashed instance leaves it: its process is gone.
  QProcess gone;
  gone.start("true");
  ASSERT_TRUE(gone.waitForStarted(5000));
  qint64 pid = gone.processId();
  ASSERT_TRUE(gone.waitForFinished(5000));
  std::ofstream("SingleInstanceProgramHMutex") << pid << "\nkestrava\n"
                                               << QSysInfo::machineHostName().toStdString() << "\n";
  InstanceGuard next;
  EXPECT_EQ(next.Acquire(2000), Outcome::MayStart);
}

TEST_F(SingleInstanceTest, OtherDirectoriesAndEndedInstancesDoNotCount) {
  std::filesystem::create_directory("other");
  {
    InstanceGuard running;
    ASSERT_EQ(running.Acquire(), Outcome::MayStart);
    ASSERT_TRUE(running.Publish(nullptr));
    InstanceGuard elsewhere(QString::fromStdString(dir_.File("other")));
    EXPECT_EQ(elsewhere.Acquire(), Outcome::MayStart);
    EXPECT_NE(InstanceGuard::ServerName(QString::fromStdString(dir_.File("other"))),
              InstanceGuard::ServerName(QString()));
  }
  // The first instance has ended: the next start is the only one.
  InstanceGuard next;
  EXPECT_EQ(next.Acquire(), Outcome::MayStart);
  EXPECT_TRUE(next.Publish(nullptr));
}

}  // namespace
}  // namespace shell
