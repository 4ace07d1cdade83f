#include "forms/halt_program.h"

#include <QCoreApplication>

#include "storage/isam.h"

namespace forms {
namespace {

bool halted = false;
int exitCode = 0;
std::function<void()> hideMainWindow;

}  // namespace

void HaltProgram(int code) {
  storage::IsamShutdown();
  halted = true;
  exitCode = code;
  if (hideMainWindow) hideMainWindow();
  QCoreApplication::exit(code);
}

bool ProgramHalted() {
  return halted;
}

int ProgramExitCode() {
  return exitCode;
}

void ResetProgramHalt() {
  halted = false;
  exitCode = 0;
}

void SetHideMainWindow(std::function<void()> hide) {
  hideMainWindow = std::move(hide);
}

}  // namespace forms
