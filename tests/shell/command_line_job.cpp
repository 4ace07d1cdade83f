// The program started with "/C" or "/V" in the directory a test set up, as another program starts
// it. A scripted user answers what the job asks; the scenario (the third argument) says what the
// user does. The process's exit code is this run's verdict: 0 when the job asked exactly what was
// expected and ended the program.

#include <gtest/gtest.h>

#include <string>

#include "customers/edit_dlg.h"
#include "forms/halt_program.h"
#include "forms/run_state.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_manager.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "shell/start_up.h"

namespace {

std::string scenario;

void EnterOneSale(invoicing::TProdInv& form) {
  form.StringGrid1->SetCursor(1, invoicing::kColCode);
  EXPECT_TRUE(form.Lines->Enter(1, invoicing::kColCode, "WIDGET"));
  EXPECT_TRUE(form.Lines->Enter(1, invoicing::kColDescription, "Widget"));
  EXPECT_TRUE(form.Lines->Enter(1, invoicing::kColQuantity, "3"));
  EXPECT_TRUE(form.Lines->Enter(1, invoicing::kColPrice, "12.50"));
  form.PrintFlag->setChecked(false);
  form.OKButtonClick();
}

void ScriptTheUser(testing_support::UiScript& ui) {
  if (scenario == "existing") {
    ui.ExpectMessage(
        "Customer name passed: Acme Tool Co does not match this customers name of Acme Tools in "
        "this system.",
        "OV Kestrava 4");
    ui.OnModal<invoicing::TProdInv>([](invoicing::TProdInv& f) {
      EXPECT_EQ(f.ICustNo->text(), "C100");
      EXPECT_EQ(f.ICustName->text(), "Acme Tools");
      EnterOneSale(f);
    });
  } else if (scenario == "new") {
    ui.OnModal<customers::TEditDlg>([](customers::TEditDlg& d) {
      EXPECT_EQ(d.CName->text(), "Brand New Ltd");
      EXPECT_FALSE(d.CName->isEnabled());
      EXPECT_EQ(d.CAdd1Edit->text(), "1 High Street");
      EXPECT_EQ(d.CShip1->text(), "1 High Street");
      EXPECT_EQ(d.EMAdd->text(), "buyer@brandnew.example");
      EXPECT_EQ(d.CPhone2->text(), "555-0102");
      d.CNo->setText("N77");
      d.OKBtnClick();
    });
    ui.OnModal<invoicing::TProdInv>([](invoicing::TProdInv& f) {
      EXPECT_EQ(f.ICustNo->text(), "N77");
      EnterOneSale(f);
    });
  } else if (scenario == "cancelled") {
    ui.OnModal<customers::TEditDlg>([](customers::TEditDlg&) {});  // closed: cancelled
    ui.ExpectMessage("You did not add the customer. Transaction cancelled.", "OV Kestrava 4");
  } else if (scenario == "unknown") {
    ui.ExpectMessage("Customer number Z9 does not exist! Unable to continue.", "OV Kestrava 4");
  } else if (scenario == "view") {
    ui.OnModal<invoicing::TInvEdit1>([](invoicing::TInvEdit1& m) {
      EXPECT_FALSE(m.AddInvoiceButn->isEnabled());
      EXPECT_TRUE(m.Filtering());
      EXPECT_EQ(invoicing::CustomerFilterNo, "C100");
    });
  } else {
    ADD_FAILURE() << "no scenario " << scenario;
  }
}

TEST(CommandLineJob, RunsAsTheUserAnswers) {
  testing_support::UiScript ui;
  ScriptTheUser(ui);
  bool started = false;
  ASSERT_TRUE(platform::ui::RunEventHandler([&] { started = shell::StartUp(); }));
  if (started) QCoreApplication::exec();
  EXPECT_TRUE(forms::ProgramHalted());
  EXPECT_EQ(forms::ProgramExitCode(), 0);
  shell::ShutDown();
  EXPECT_TRUE(ui.Done());
}

}  // namespace

// Arguments: the switch, then the scenario; gtest's own flags may follow.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 3) return 2;
  scenario = argv[2];
  platform::ui::GuiApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
