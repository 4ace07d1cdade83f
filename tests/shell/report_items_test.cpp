// The main window's report item and tool button open the report wizard while a company is open.

#include <gtest/gtest.h>

#include "platform/ui/support/ui_script.h"
#include "reports/report_wizard.h"
#include "shell/main_form.h"
#include "shell/main_form_fixture.h"

namespace shell {
namespace {

using testing_support::UiScript;

TEST_F(MainFormTest, ReportsItemOpensTheReportWizardForTheOpenCompany) {
  CreateMainForm();
  CurrentCompany = CompanyRec{};
  MainForm->EnableCompanyItems();
  EXPECT_FALSE(MainForm->ReportManager1->isEnabled());
  EXPECT_FALSE(MainForm->RptButton->isEnabled());

  CurrentCompany = Company("1", "Harbour Supplies");
  MainForm->EnableCompanyItems();
  EXPECT_TRUE(MainForm->ReportManager1->isEnabled());
  EXPECT_TRUE(MainForm->RptButton->isEnabled());
  UiScript ui;
  for (int opened = 0; opened < 2; ++opened) {
    ui.OnModal<reports::TRptSelect>([](reports::TRptSelect& wizard) {
      EXPECT_EQ(wizard.Caption(), "Report Wizard");
      EXPECT_EQ(wizard.ListBox1->currentRow(), 0);
      wizard.CancelButClick();
    });
  }
  MainForm->ReportManager1->trigger();
  MainForm->RptButton->click();
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace shell
