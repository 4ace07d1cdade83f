#include "shell/start_up.h"

#include "forms/halt_program.h"
#include "shell/command_line.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <csignal>
#include <memory>

#include <sys/socket.h>
#include <unistd.h>

#include "companies/comp_set.h"
#include "companies/company_manager.h"
#include "companies/prod_copy.h"
#include "customers/customer_manager.h"
#include "customers/customer_quick_view.h"
#include "customers/edit_dlg.h"
#include "documents/customer_statement.h"
#include "exchange/backup_window.h"
#include "exchange/email_notice_window.h"
#include "exchange/restore_placement.h"
#include "forms/batch_print_dialog.h"
#include "forms/cal_form.h"
#include "forms/find_box.h"
#include "forms/header_form.h"
#include "forms/list_window.h"
#include "forms/pw_dlg.h"
#include "forms/run_state.h"
#include "forms/shipping_address_dialog.h"
#include "forms/term_edit.h"
#include "invoicing/interest_wizard.h"
#include "invoicing/invoice_document.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_manager.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/partial_payment_dialog.h"
#include "invoicing/payment_wizard.h"
#include "mail/mail_address_dlg.h"
#include "platform/files/path.h"
#include "platform/text/upper_case.h"
#include "platform/text/word_list.h"
#include "platform/ui/application.h"
#include "products/price_change.h"
#include "products/product_dialog.h"
#include "products/product_manager.h"
#include "purchasing/po_entry.h"
#include "purchasing/po_manager.h"
#include "purchasing/receiving_wizard.h"
#include "purchasing/vendor_dialog.h"
#include "purchasing/vendor_manager.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/payment_terms.h"
#include "reports/form_letter_window.h"
#include "reports/label_queue.h"
#include "reports/label_wizard.h"
#include "reports/report_viewer.h"
#include "reports/report_wizard.h"
#include "reports/top10_chart.h"
#include "shell/about_box.h"
#include "shell/aging.h"
#include "shell/label_wizard_hooks.h"
#include "shell/main_form.h"
#include "shell/p_start.h"
#include "shell/reopen_company.h"
#include "shell/single_instance.h"
#include "shell/stop_recovery.h"
#include "shell/timer_form.h"
#include "storage/isam.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"
#include "storage/stat_form.h"

namespace shell {

using namespace records;
using namespace forms;
using namespace companies;
using namespace customers;
using namespace products;
namespace {

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
  forms::CreateHeaderForm();
  CreateTermEdit();
  forms::CreateInvBatch();
  forms::CreatePOShipWin();
  invoicing::CreateProdInv();
  invoicing::CreateInvEdit1();
  invoicing::CreatePayBox();
  invoicing::CreatePPmtDialog();
  invoicing::CreateInterestWiz();
  PStart->repaint();
  CreatePriceChg();
  CreateProdCopy();
  exchange::CreateOVBkUp();
  exchange::CreateEMMemo();
  purchasing::CreateVenList();
  purchasing::CreatePOList1();
  purchasing::CreateVendEdit();
  purchasing::CreatePOEdit1();
  purchasing::CreateRecvWiz();
  CreateTimerForm();
  reports::CreateRptSelect();
  reports::Creatertreport();
  reports::CreateMyChart();
  reports::Createlblwiz();
  reports::CreateLetterWiz();
  InstallLabelWizardHooks();
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
  exchange::ReopenCompanyAfterRestore = nullptr;
  forms::DocumentsByEMail = nullptr;
  invoicing::ShowMainStatusText = nullptr;
  ForgetLabelWizardHooks();
}

bool startUpRunsEngine = false;

}  // namespace

bool EngineStartedForMainForm() {
  return startUpRunsEngine;
}

namespace {

// At most this many of the files found are named; the rest are counted.
constexpr size_t kFilesNamed = 6;

// Why the directory, without its company list, is not set up as a new one: what it holds of
// companies set up before, or that it cannot be looked at. Empty when it holds none of that.
std::string EarlierSetUpFound(const std::string& listName) {
  std::vector<std::string> found;
  try {
    found = FilesOfAnEarlierSetUp();
  } catch (const FileUnusable& unreadable) {
    return unreadable.what();
  }
  if (found.empty()) return {};
  const std::string held = "The data folder holds files of companies (" +
                           platform::text::NamesInASentence(found, kFilesNamed, "files") +
                           ") but not their company list " + listName +
                           ", so it is not set up anew; nothing in it was changed. ";
  // Found first when it is there: the list a rebuild of it left under the rebuild's name.
  const std::string& saved = found.front();
  if (platform::text::UpperCase(saved) == platform::text::UpperCase(CompanyListSaveName()))
    return held + "The company list is in " + saved +
           ", where a rebuild of the list that did not finish left it: "
           "rename " +
           saved + " to " + listName + " to put it back.";
  return held + "Put the company list back, or move those files out of the folder.";
}

}  // namespace

bool SetUpProgramDirectory(std::string* found) {
  // While a posting waits, or a restore the start could not finish holds every company, no file is
  // made anew: one missing then may be one the undo or the restore puts back.
  if (storage::PostingJournalWaits()) return true;
  std::string listName = storage::IsamFileName(std::string(CompanyFileName), storage::IsamDataExt);
  if (!platform::files::Exists(listName)) {
    // A new list over the files of companies would leave them unlisted, as if never set up.
    const std::string earlier = EarlierSetUpFound(listName);
    if (!earlier.empty()) {
      if (found) *found = earlier;
      return false;
    }
    if (!CreateCompanyFile()) return false;
  }
  // The terms every terms list starts from; a directory without them gets them (a failure to
  // write them has been reported and does not stop the program).
  (void)CreatePaymentTermsFileIfMissing();
  return true;
}

bool StartUp() {
  using platform::ui::Application;
  ResetProgramHalt();
  SetHideMainWindow([] {
    if (MainForm) MainForm->hide();
  });
  Application->Title = ProgramTitle;
  Application->HelpFile = "OVINV.hlp";
  // What the libraries need from the program before any window runs.
  InstallCompanyFileNames();
  // Postings a kill interrupted are undone before any file is read, and the files a stop left
  // open rebuilt, with the engine running; the answer file is the one side file a posting keeps.
  // The aging is the start's own work: undone, it is done again below, and said to no one.
  storage::AllowJournalledSideFile(AnswerFileName);
  storage::DoneAgainAtEveryStart(AgingPosting);
  const bool engineStarted = storage::IsamInitialize(0, 30) > 0;
  // A restore a stop interrupted is finished (or every live file kept) before any journal is
  // undone: a journal it retired must never be undone over restored files. One that can be
  // neither holds every company, and no journal is undone then. A new start tries everything again.
  storage::ForgetWaitingJournals();
  exchange::FinishInterruptedRestore();
  RecoverFromLastStop();
  mail::InstallMailAddressDialog();
  exchange::ReopenCompanyAfterRestore = ReopenCurrentCompany;
  forms::DocumentsByEMail = [] { return MainForm && MainForm->EMailOutput(); };
  invoicing::ShowMainStatusText = [](const QString& text) {
    if (!MainForm) return;
    MainForm->activateWindow();
    MainForm->SetStatusText(1, text);
  };
  try {
    startUpRunsEngine = engineStarted;
    CreateMainForm();
    startUpRunsEngine = false;
    CreatePWDlg();
  } catch (...) {
    startUpRunsEngine = false;
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
  if (ProgramHalted()) return false;

  PStart = new TPStart;
  PStart->Show();
  PStart->repaint();
  Application->ProcessMessages();
  CreateOtherForms();
  delete PStart;
  PStart = nullptr;

  MainForm->Show();
  return !ProgramHalted();
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

}  // namespace shell
