#include "shell/reopen_company.h"

#include <string>

#include "forms/run_state.h"
#include "platform/ui/application.h"
#include "records/company_rec.h"
#include "records/last_company.h"
#include "shell/main_form.h"
#include "shell/stop_recovery.h"

namespace shell {

using namespace records;

void ReopenCurrentCompany() {
  std::string listFailure;
  const LastCompanyStatus loaded = LoadCurrentCompany(&listFailure);
  HoldOpenCompanyJournal();
  ApplyCompanyDateFormat();
  forms::ResetDefaultDates();
  platform::ui::Application->SetShowHint(CurrentCompany.ShowButtonHints != 0);
  if (!MainForm) return;
  if (IsCompanyOpen(CurrentCompany)) {
    MainForm->ShowCompanyCaption("     Number: ");
  } else {
    MainForm->ShowNoCompany(loaded, listFailure);
  }
  MainForm->LoadBackgroundPicture();
  MainForm->SetOutputModeFromCompany();
  MainForm->EnableCompanyItems();
  MainForm->ShowWaitingPosting();
  MainForm->update();
}

}  // namespace shell
