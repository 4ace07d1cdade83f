#pragma once
// One running program per data directory. A second start in the same directory asks the running
// program to come to the front and ends; separate data directories (and parallel tests) never
// meet.
//
// Two things serve it, both named after the data directory:
//   - the start-up lock "SingleInstanceProgramHMutex", a lock file in the directory, held from the
//     start of an instance until its main window exists, so that a second instance started in the
//     meantime waits for that window rather than starting beside it;
//   - a local socket the running program listens on once its main window exists; a later instance
//     that reaches it sends one line and ends.

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace shell {

inline constexpr char InstanceMutexName[] = "SingleInstanceProgramHMutex";
// How long a start waits for another instance to finish starting.
inline constexpr int InstanceWaitMs = 10000;

class InstanceGuard {
 public:
  enum class Outcome {
    MayStart,          // no other instance: this one holds the start-up lock
    AnotherIsRunning,  // the running instance was asked to come to the front
    TimedOut,          // another instance kept the start-up lock past the wait
    CannotLock,        // the lock cannot be made in the directory (read-only): Failure() says why
  };

  // directory: the data directory (the current directory when empty).
  explicit InstanceGuard(const QString& directory = QString());
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  Outcome Acquire(int waitMs = InstanceWaitMs);
  // Once the main window exists: listens for later instances (activate runs for each) and lets
  // go of the start-up lock. False when the listening socket cannot be set up; the lock is let
  // go all the same, so later starts are not held up.
  bool Publish(std::function<void()> activate);

  // The name of the local socket of a data directory.
  static QString ServerName(const QString& directory);
  // After CannotLock: the message for the user, naming the directory and the system's reason.
  const QString& Failure() const { return failure_; }

 private:
  bool AskRunningInstanceToShow();

  QString directory_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> activate_;
  QString failure_;
};

// The guard of this run, made by CheckSingleInstance and kept until the program ends.
extern InstanceGuard* InstanceMutex;

// Returns only when this instance may start; otherwise ends the process: quietly after bringing
// the running instance to the front, with a message and status 1 when the data directory cannot
// be written. Needs the application object.
void CheckSingleInstance();
// Stops listening for later instances; the program's last step.
void CloseInstanceMutex();

}  // namespace shell
