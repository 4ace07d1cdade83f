#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSysInfo>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "permissions_apply.h"
#include "platform/ui/support/ui_script.h"
#include "posting_folder.h"
#include "shell/start_up.h"
#include "small_disk.h"
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

// The person at a start that ends before any window: each message goes to the standard error, where
// the test reads it.
class StandardErrorUser : public testing_support::RestartUser {
 public:
  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    std::fprintf(stderr, "%s\n", qPrintable(request.text));
    return RestartUser::ShowMessageBox(request);
  }
};

// The data folder of the program started in a child, removed as the child ends (its own scratch
// folder: the child runs the test again from its start).
std::string childFolder;
bool childFolderMounted = false;

void RemoveChildFolder() {
  if (childFolderMounted) ::umount2(childFolder.c_str(), MNT_DETACH);
  std::filesystem::permissions(childFolder, std::filesystem::perms::owner_all);
  std::filesystem::remove_all(childFolder);
}

[[noreturn]] void StartTheProgram() {
  std::atexit(RemoveChildFolder);
  StandardErrorUser user;
  static char name[] = "kestrava";
  char* argv[] = {name, nullptr};
  int argc = 1;
  std::exit(RunProgram(argc, argv));
}

// The program started in a data folder it cannot write to (a fresh process, as main starts it):
// the message names the folder and the system's reason, and the program ends with a failure.
TEST(SingleInstanceDeathTest, AReadOnlyDataFolderIsSaidAndEndsTheProgramWithAFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testing_support::TempDir dir;
  childFolder = dir.path().string();
  using std::filesystem::perms;
  std::filesystem::permissions(dir.path(), perms::owner_read | perms::owner_exec);
  {
    testing_support::PermissionsApply permissions;
    EXPECT_EXIT(StartTheProgram(), ::testing::ExitedWithCode(1),
                "The program cannot work in the data folder .*: Permission denied\\.");
  }
  std::filesystem::permissions(dir.path(), perms::owner_all);
}

// The program started in a data folder on a full disk, as a second copy starts beside a running
// one (which has let go of the start-up lock): the lock file's name is taken, its contents are
// not. The message names the folder and the system's reason, and the program ends with a failure.
[[noreturn]] void StartTheProgramOnAFullDisk() {
  const testing_support::SmallDisk disk(childFolder, 64 * 1024);
  childFolderMounted = disk.Mount();
  if (!childFolderMounted || ::chdir(childFolder.c_str()) != 0 || !disk.Fill()) std::_Exit(2);
  StartTheProgram();
}

TEST(SingleInstanceDeathTest, AFullDiskIsSaidWithTheSystemsReasonAndEndsTheProgramWithAFailure) {
  testing_support::TempDir dir;
  childFolder = dir.path().string();
  if (!testing_support::SmallDisksArePossible(childFolder)) GTEST_SKIP() << "no mount namespace can be made";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(StartTheProgramOnAFullDisk(), ::testing::ExitedWithCode(1),
              "The program cannot work in the data folder .*: No space left on device\\.");
}

// A second copy started while the first runs, on a disk that has filled up since: no lock can be
// made there, but the running copy is found and brought forward, as on a disk with room, and
// nothing is said. The second copy is started in a child that sees the full disk alone.
TEST_F(SingleInstanceTest, ASecondStartOnAFullDiskBringsTheRunningOneForwardAndEnds) {
  const std::string folder = dir_.path().string();
  if (!testing_support::SmallDisksArePossible(folder)) GTEST_SKIP() << "no mount namespace can be made";
  InstanceGuard running;
  ASSERT_EQ(running.Acquire(), Outcome::MayStart);
  int activations = 0;
  ASSERT_TRUE(running.Publish([&] { ++activations; }));
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(ends[1], STDERR_FILENO);
    const testing_support::SmallDisk disk(folder, 64 * 1024);
    if (!disk.Mount() || ::chdir(folder.c_str()) != 0 || !disk.Fill()) ::_exit(2);
    StandardErrorUser user;
    CheckSingleInstance();
    ::_exit(3);  // this copy was let start beside the running one
  }
  ::close(ends[1]);
  std::string said;
  char buffer[1024];
  for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;) said.append(buffer, size_t(got));
  ::close(ends[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(said.find("The program cannot work"), std::string::npos) << said;
  ProcessEventsUntil([&] { return activations == 1; });
  EXPECT_EQ(activations, 1);
}

}  // namespace
}  // namespace shell
