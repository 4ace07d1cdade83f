#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_form.h"
#include "app/run_state.h"
#include "main_form_fixture.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"

namespace app {
namespace {

using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using testing_support::UiScript;

using StartUpTest = MainFormTest;

TEST_F(StartUpTest, FirstStartInAnEmptyDirectorySetsItUpAndAsksForACompany) {
  platform::text::FixedClock clock(QDateTime(QDate(2026, 3, 5), QTime(9, 30)));
  ExternalInvoiceMode = 1;
  LabelsQueued = 1;
  RebuildAfterConversion = 1;
  UiScript ui;  // nothing is asked and no error is shown
  ASSERT_TRUE(StartUp());
  EXPECT_TRUE(std::filesystem::exists("ovcomp.DAT"));
  EXPECT_TRUE(std::filesystem::exists("ovcomp.IX"));
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_EQ(MainForm->Caption(), "OV Kestrava 4");
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Please Setup Your Company.");
  EXPECT_EQ(MainForm->NameCap->text(), "Please Setup Your Company.");
  EXPECT_EQ(CurrentCompany.BackgroundFlag, 0);
  EXPECT_EQ(platform::text::ShortDateFormat(), "mm/dd/yyyy");
  EXPECT_EQ(LastInvoiceDate, "03/05/2026");
  EXPECT_EQ(LastPODate, "03/05/2026");
  EXPECT_EQ(LastPODateRequired, "03/05/2026");
  EXPECT_EQ(LastPOReceivedDate, "03/05/2026");
  EXPECT_EQ(ExternalInvoiceMode, 0);
  EXPECT_EQ(LabelsQueued, 0);
  EXPECT_EQ(RebuildAfterConversion, 0);
  EXPECT_TRUE(MainForm->Panel2->isHidden());
  EXPECT_EQ(MainForm->StatusText(0), "Thursday, March 5, 2026, 09:30 AM");
  EXPECT_TRUE(MainForm->Timer1->isActive());
  EXPECT_FALSE(ProgramHalted());
  EXPECT_TRUE(ui.Done());

  // The second start finds the directory set up and leaves the company list as it is.
  MainForm->Close();
  ShutDown();
  auto listTime = std::filesystem::last_write_time("ovcomp.DAT");
  UiScript again;
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(std::filesystem::last_write_time("ovcomp.DAT"), listTime);
  EXPECT_TRUE(again.Done());
}

TEST_F(StartUpTest, ADirectoryThatCannotBeSetUpStopsWithTheMessage) {
  // An index file name taken by a folder: the company list cannot be created.
  std::filesystem::create_directory("ovcomp.IX");
  UiScript ui;
  ui.ExpectMessage(
        "I do not find the inventory data files. The data files must be in the same directory as the "
        "inventory "
        "program.",
        "OV Kestrava")
      .Icon(MsgIcon::Warning)
      .Buttons(MsgButtons::Ok);
  EXPECT_FALSE(StartUp());
  EXPECT_TRUE(ProgramHalted());
  EXPECT_EQ(ProgramExitCode(), 1);
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_TRUE(ui.Done());
}

TEST_F(StartUpTest, EndingAtOnceClosesEveryOpenFileFirst) {
  UiScript ui;
  ASSERT_TRUE(StartUp());
  storage::IsamFileBlock list = nullptr;
  storage::IsamOpenFileBlock(list, "ovcomp", false, false, false, false);
  ASSERT_TRUE(storage::IsamOK);
  ASSERT_FALSE(storage::IsamOpenBlocks().empty());
  HaltProgram(3);
  EXPECT_TRUE(storage::IsamOK) << storage::IsamError;
  EXPECT_TRUE(storage::IsamOpenBlocks().empty());
  EXPECT_TRUE(ProgramHalted());
  EXPECT_EQ(ProgramExitCode(), 3);
  EXPECT_FALSE(MainForm->Visible());
  // The files can be opened again at once: nothing holds them.
  ASSERT_GT(storage::IsamInitialize(0, 30), 0);
  storage::IsamOpenFileBlock(list, "ovcomp", false, false, false, false);
  EXPECT_TRUE(storage::IsamOK);
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace app
