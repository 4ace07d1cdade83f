#include "app/start_up.h"

#include <QCoreApplication>
#include <algorithm>

#include "app/about_box.h"
#include "app/comp_set.h"
#include "app/company_manager.h"
#include "app/customer_manager.h"
#include "app/edit_dlg.h"
#include "app/list_window.h"
#include "app/main_form.h"
#include "app/p_start.h"
#include "app/price_change.h"
#include "app/prod_copy.h"
#include "app/product_dialog.h"
#include "app/product_manager.h"
#include "app/records/company_rec.h"
#include "app/single_instance.h"
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
  CreateListWindow();
  CreateEditProd();
  CreateUpdProd();
  CreatePriceChg();
  CreateListComps();
  CreateCompSet();
  CreateProdCopy();
  PStart->repaint();
}

// The windows' global instances point at forms that ShutDown destroys.
void ForgetForms() {
  MainForm = nullptr;
  AboutBox = nullptr;
  DemoForm = nullptr;
  EditDlg = nullptr;
  ListWindow = nullptr;
  ListComps = nullptr;
  CompSet = nullptr;
  ProdCopy = nullptr;
  storage::StatForm = nullptr;
}

}  // namespace

bool SetUpProgramDirectory() {
  std::string listName = storage::IsamFileName(std::string(CompanyFileName), storage::IsamDataExt);
  if (platform::files::Exists(listName)) return true;
  storage::IsamKeyDescArray keys{};
  std::copy(CompanyKeyDescs.begin(), CompanyKeyDescs.end(), keys);
  storage::IsamCreateFileBlock(std::string(CompanyFileName), CompanyRecordLength, CompanyKeyDescs.size(),
                               keys);
  return storage::IsamOK;
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
  try {
    CreateMainForm();
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
  ForgetForms();
  // Files a window left open are closed, whatever way the run ended.
  storage::IsamShutdown();
}

int RunProgram(int argc, char** argv) {
  platform::ui::GuiApplication application(argc, argv);
  CheckSingleInstance();
  int code = StartUp() ? application.exec() : ProgramExitCode();
  if (ProgramHalted()) code = ProgramExitCode();
  ShutDown();
  CloseInstanceMutex();
  return code;
}

}  // namespace app
