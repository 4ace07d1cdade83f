#include "app/start_up.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <csignal>
#include <memory>

#include <sys/socket.h>
#include <unistd.h>

#include "app/about_box.h"
#include "app/cal_form.h"
#include "app/comp_set.h"
#include "app/company_file.h"
#include "app/company_manager.h"
#include "app/customer_manager.h"
#include "app/customer_quick_view.h"
#include "app/edit_dlg.h"
#include "app/find_box.h"
#include "app/list_window.h"
#include "app/main_form.h"
#include "app/p_start.h"
#include "app/price_change.h"
#include "app/prod_copy.h"
#include "app/product_dialog.h"
#include "app/product_manager.h"
#include "app/pw_dlg.h"
#include "app/records/company_rec.h"
#include "app/single_instance.h"
#include "app/term_edit.h"
#include "app/timer_form.h"
#include "invoicing/batch_print_dialog.h"
#include "invoicing/header_form.h"
#include "invoicing/shipping_address_dialog.h"
#include "mail/mail_address_dlg.h"
#include "platform/files/path.h"
#include "platform/ui/application.h"
#include "storage/isam.h"
#include "storage/naming.h"
#include "storage/stat_form.h"

namespace app {
namespace {

bool halted = false;
int exitCode = 0;

void CreateOtherForms() {
  storage::EnsureStatForm();
  CreateDemoForm();
  CreateEditDlg();
  CreateAboutBox();
  CreateCompSet();
  CreateEditProd();
  CreateUpdProd();
  CreateListComps();
  CreateFindBox();
  CreateCalForm();
  CreateQView();
  CreateListWindow();
  invoicing::CreateHeaderForm();
  CreateTermEdit();
  invoicing::CreateInvBatch();
  invoicing::CreatePOShipWin();
  PStart->repaint();
  CreatePriceChg();
  CreateProdCopy();
  CreateTimerForm();
}

// The end of the desktop session (or a kill) asks the program to stop with a signal, where the
// original was asked by a message: it ends as HaltProgram ends it, its files closed and sound.
// The signal handler only writes to a socket; the program reads it in its own loop.
int signalPipe[2] = {-1, -1};

void WriteSignal(int signal) {
  char byte = static_cast<char>(signal);
  [[maybe_unused]] ssize_t written = ::write(signalPipe[0], &byte, 1);
}

std::unique_ptr<QSocketNotifier> WatchEndSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return nullptr;
  auto notifier = std::make_unique<QSocketNotifier>(signalPipe[1], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) == 1) HaltProgram(0);
  });
  struct sigaction action = {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
  return notifier;
}

void StopWatchingEndSignals() {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
  for (int& fd : signalPipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

// The timer window's status hook points into the main window, which ShutDown destroys.
void ForgetHooks() {
  ShowTimerStatus = nullptr;
}

}  // namespace

bool SetUpProgramDirectory() {
  std::string listName = storage::IsamFileName(std::string(CompanyFileName), storage::IsamDataExt);
  return platform::files::Exists(listName) || CreateCompanyFile();
}

void HaltProgram(int code) {
  storage::IsamShutdown();
  halted = true;
  exitCode = code;
  if (MainForm) MainForm->hide();
  QCoreApplication::exit(code);
}

bool ProgramHalted() {
  return halted;
}

int ProgramExitCode() {
  return exitCode;
}

bool StartUp() {
  using platform::ui::Application;
  halted = false;
  exitCode = 0;
  Application->Title = ProgramTitle;
  Application->HelpFile = "OVINV.hlp";
  // What the libraries need from the program before any window runs.
  InstallCompanyFileNames();
  mail::InstallMailAddressDialog();
  try {
    CreateMainForm();
    CreatePWDlg();
  } catch (...) {
    // A later instance must not wait for a window that will never come.
    if (InstanceMutex) InstanceMutex->Publish(nullptr);
    throw;
  }
  // The window exists from here on: later instances may look for it.
  MainForm->winId();
  if (InstanceMutex)
    InstanceMutex->Publish([] {
      if (MainForm) MainForm->BringToFront();
    });
  if (halted) return false;

  PStart = new TPStart;
  PStart->Show();
  PStart->repaint();
  Application->ProcessMessages();
  CreateOtherForms();
  delete PStart;
  PStart = nullptr;

  MainForm->Show();
  return !halted;
}

void ShutDown() {
  platform::ui::Application->DestroyForms();
  ForgetHooks();
  // Files a window left open are closed, whatever way the run ended.
  storage::IsamShutdown();
}

int RunProgram(int argc, char** argv) {
  platform::ui::GuiApplication application(argc, argv);
  CheckSingleInstance();
  std::unique_ptr<QSocketNotifier> endSignals = WatchEndSignals();
  // An error while the windows are made is shown like any other; the program then ends.
  bool started = false;
  bool clean = platform::ui::RunEventHandler([&] { started = StartUp(); });
  int code = started ? application.exec() : (clean ? ProgramExitCode() : 1);
  if (ProgramHalted()) code = ProgramExitCode();
  endSignals.reset();
  StopWatchingEndSignals();
  ShutDown();
  CloseInstanceMutex();
  return code;
}

}  // namespace app
