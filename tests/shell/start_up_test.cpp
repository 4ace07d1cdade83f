#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "customers/customer_manager.h"
#include "forms/halt_program.h"
#include "forms/pw_dlg.h"
#include "forms/run_state.h"
#include "main_form_fixture.h"
#include "permissions_apply.h"
#include "platform/files/file.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "posting_folder.h"
#include "records/customer_file.h"
#include "records/last_company.h"
#include "records/password.h"
#include "records/payment_terms.h"
#include "shell/about_box.h"
#include "shell/main_form.h"
#include "shell/p_start.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/stat_form.h"

namespace shell {

using namespace records;
using namespace forms;
namespace {

using platform::text::ToQString;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using testing_support::UiScript;

class StartUpTest : public MainFormTest {
 protected:
  // Company 12 on the company list and named as the last company, the program started on it and
  // its customer file made.
  void StartOnAcmeWithItsCustomerFile() {
    FileCompanies({Company("12", "Acme Hardware")});
    CompanyWorkRec = Company("12", "Acme Hardware");
    ASSERT_TRUE(SaveCurrentCompany());
    ASSERT_TRUE(StartUp());
    ASSERT_TRUE(CreateCustomerFile());
  }
};

TEST_F(StartUpTest, FirstStartInAnEmptyDirectorySetsItUpAndAsksForACompany) {
  platform::text::FixedClock clock(QDateTime(QDate(2026, 3, 5), QTime(9, 30)));
  ExternalInvoiceMode = 1;
  LabelsQueued = 1;
  RebuildAfterConversion = 1;
  UiScript ui;  // nothing is asked and no error is shown
  ASSERT_TRUE(StartUp());
  EXPECT_TRUE(std::filesystem::exists("ovcomp.DAT"));
  EXPECT_TRUE(std::filesystem::exists("ovcomp.IX"));
  // The terms file holds the new-company default and the common terms, one per CR LF line.
  std::string terms;
  ASSERT_TRUE(platform::files::ReadWholeFile("PVTERMS.DAT", &terms));
  EXPECT_EQ(terms, "Due on Receipt\r\nNet 10 Days\r\nNet 15 Days\r\nNet 30 Days\r\nNet 60 Days\r\nCOD\r\n");
  EXPECT_TRUE(LoadPaymentTerms().contains(ToQString(DefaultCompanyRecord().DefaultInvoiceTerms.Get())));
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
  // Every window is made once at start-up; the splash is gone again.
  EXPECT_NE(storage::StatForm, nullptr);
  EXPECT_NE(AboutBox, nullptr);
  EXPECT_EQ(PStart, nullptr);
  EXPECT_EQ(MainForm->StatusText(0), "Thursday, March 5, 2026, 09:30 AM");
  EXPECT_TRUE(MainForm->Timer1->isActive());
  EXPECT_FALSE(ProgramHalted());
  // With no company open, nothing that works on a company's files is offered; the way to set
  // one up is.
  EXPECT_FALSE(MainForm->CustomerManager1->isEnabled());
  EXPECT_FALSE(MainForm->SpeedButton7->isEnabled());
  EXPECT_FALSE(MainForm->ProductManager1->isEnabled());
  EXPECT_TRUE(MainForm->CompanyManager1->isEnabled());
  EXPECT_TRUE(MainForm->SpeedButton2->isEnabled());
  EXPECT_TRUE(ui.Done());

  // The second start finds the directory set up and leaves the company list and the terms, as
  // the user left them, as they are.
  MainForm->Close();
  ShutDown();
  ASSERT_TRUE(SavePaymentTerms({"Net 45 Days"}));
  auto listTime = std::filesystem::last_write_time("ovcomp.DAT");
  UiScript again;
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(std::filesystem::last_write_time("ovcomp.DAT"), listTime);
  EXPECT_EQ(LoadPaymentTerms(), QStringList{"Net 45 Days"});
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

// Every file of the current folder with its bytes.
std::map<std::string, std::string> FolderBytes() {
  std::map<std::string, std::string> bytes;
  for (const auto& item : std::filesystem::directory_iterator(".")) {
    const std::string name = item.path().filename().string();
    EXPECT_TRUE(platform::files::ReadWholeFile(name, &bytes[name])) << name;
  }
  return bytes;
}

// A folder whose company list is gone is no first start while it holds files of companies (the
// last company, a company's data or index files, the list's index): the start names what it
// found, makes, changes and deletes nothing there, and ends. A folder of nothing but the program's
// own settings files is set up as an empty one is.
TEST_F(StartUpTest, AFolderWithFilesOfCompaniesButNoCompanyListIsNotSetUpAnew) {
  namespace fs = std::filesystem;
  // Company 12 set up with its customers, then its list taken away: what a folder holds of it.
  {
    UiScript ui;
    ASSERT_NO_FATAL_FAILURE(StartOnAcmeWithItsCustomerFile());
    MainForm->Close();
    ShutDown();
  }
  std::map<std::string, std::string> left = FolderBytes();
  for (const char* gone : {"ovcomp.DAT", "PVTERMS.DAT"}) ASSERT_EQ(left.erase(gone), 1u) << gone;
  ASSERT_TRUE(left.contains("12C.DAT") && left.contains("12C.IX") && left.contains("ovcomp.IX"));
  const std::map<std::string, std::string> settings = {{"PVTERMS.DAT", "Net 45 Days\r\n"},
                                                       {"Lastlbl.DAT", "shipping.lbl"}};
  const fs::path scratch = fs::current_path();

  struct Case {
    const char* Name;
    std::vector<std::string> Kept;  // what the folder holds of company 12
  };
  const std::vector<Case> cases = {
      {"nothing but settings", {}},
      {"the last company and the company's files", {"LastCo.Dat", "12C.DAT", "12C.IX"}},
      {"the company's data file alone", {"12C.DAT"}},
      {"the company's index alone, in lower case", {"12c.ix"}},
      {"the last company alone", {"LastCo.Dat"}},
      {"the company list's index alone", {"ovcomp.IX"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = scratch / "folder";
    fs::create_directory(folder);
    fs::current_path(folder);
    for (const auto& [name, bytes] : settings) ASSERT_TRUE(platform::files::WriteWholeFile(name, bytes));
    for (const std::string& name : c.Kept) {
      const std::string& original = left.at(name == "12c.ix" ? "12C.IX" : name);
      ASSERT_TRUE(platform::files::WriteWholeFile(name, original));
    }
    const std::map<std::string, std::string> before = FolderBytes();
    {
      testing_support::RestartUser user;
      const bool started = StartUp();
      if (c.Kept.empty()) {
        EXPECT_TRUE(started);
        EXPECT_EQ(user.told, std::vector<QString>{});
        EXPECT_TRUE(fs::exists("ovcomp.DAT"));
        EXPECT_EQ(MainForm->NameCap->text(), "Please Setup Your Company.");
        for (const auto& [name, bytes] : settings) EXPECT_EQ(FolderBytes().at(name), bytes) << name;
      } else {
        EXPECT_FALSE(started);
        EXPECT_TRUE(ProgramHalted());
        EXPECT_EQ(ProgramExitCode(), 1);
        ASSERT_EQ(user.told.size(), 1u);
        EXPECT_TRUE(user.told[0].startsWith(
            "I do not find the inventory data files. The data files must be in the same directory as the "
            "inventory program.\n\n"))
            << user.told[0].toStdString();
        for (const std::string& name : c.Kept)
          EXPECT_TRUE(user.told[0].contains(ToQString(name))) << user.told[0].toStdString();
        EXPECT_EQ(FolderBytes(), before);
      }
      EXPECT_EQ(user.asked, std::vector<QString>{});
      ShutDown();
    }
    fs::current_path(scratch);
    fs::remove_all(folder);
  }
}

// A rebuild of the company list that failed leaves the list as ovcomp.SAV, with no journal to
// finish it: the start names ovcomp.SAV first among what it found, says how to put it back, and
// changes nothing; doing as it says, the next start opens the company again.
TEST_F(StartUpTest, ACompanyListLeftUnderItsRebuildsNameIsNamedWithHowToPutItBack) {
  namespace fs = std::filesystem;
  {
    UiScript ui;
    ASSERT_NO_FATAL_FAILURE(StartOnAcmeWithItsCustomerFile());
    MainForm->Close();
    ShutDown();
  }
  // More files of companies than the message names: the list is named all the same.
  for (const char* name : {"7C.DAT", "7C.IX", "7I.DAT", "7I.IX", "7P.DAT", "7P.IX"})
    ASSERT_TRUE(platform::files::WriteWholeFile(name, "company 7"));
  fs::rename("ovcomp.DAT", "ovcomp.SAV");
  const std::map<std::string, std::string> before = FolderBytes();
  {
    testing_support::RestartUser user;
    EXPECT_FALSE(StartUp());
    ASSERT_EQ(user.told.size(), 1u);
    const std::string told = user.told[0].toStdString();
    EXPECT_NE(told.find("(ovcomp.SAV, "), std::string::npos) << told;
    EXPECT_TRUE(
        told.ends_with("The company list is in ovcomp.SAV, where a rebuild of the list that did not "
                       "finish left it: rename ovcomp.SAV to ovcomp.DAT to put it back."))
        << told;
    EXPECT_EQ(FolderBytes(), before);
    ShutDown();
  }
  fs::rename("ovcomp.SAV", "ovcomp.DAT");
  {
    testing_support::RestartUser user;
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(user.told, std::vector<QString>{});
    EXPECT_EQ(CurrentCompany.CompanyNumber.Get(), "12");
    EXPECT_TRUE(MainForm->CustomerManager1->isEnabled());
    ShutDown();
  }
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

TEST_F(StartUpTest, StartWithACompanyTakesItsSettingsFromTheCompanyList) {
  platform::text::FixedClock clock(QDateTime(QDate(2026, 3, 5), QTime(9, 30)));
  CompanyRec acme = Company("12", "Acme Hardware");
  acme.DateOrder.Set("D");
  acme.DefaultOutputEMail.Set("Y");
  acme.EditorFontName.Set("Liberation Serif");
  acme.EditorFontSize.Set(16);
  acme.EditorFontStyle = FontStyleBold | FontStyleItalic;
  acme.ShowButtonHints = 1;
  acme.LastAgingDate.Set("05/03/2026");
  FileCompanies({Company("7", "Other Shop"), acme});
  // LastCo.Dat only names the company; an older copy of its settings there does not count.
  CompanyWorkRec = Company("12", "Acme Hardware (old name)");
  ASSERT_TRUE(SaveCurrentCompany());
  CurrentCompany = CompanyWorkRec = CompanyRec{};

  UiScript ui;
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Acme Hardware");
  EXPECT_EQ(MainForm->NameCap->text(), "Acme Hardware     Number: 12");
  EXPECT_EQ(MainForm->NameCap->font().family(), "Liberation Serif");
  EXPECT_EQ(MainForm->NameCap->font().pointSize(), 16);
  EXPECT_TRUE(MainForm->NameCap->font().bold());
  EXPECT_TRUE(MainForm->NameCap->font().italic());
  EXPECT_EQ(platform::text::ShortDateFormat(), "dd/mm/yyyy");
  EXPECT_EQ(LastInvoiceDate, "05/03/2026");
  EXPECT_TRUE(MainForm->EMdef->isChecked());
  EXPECT_EQ(MainForm->Label5->text(), "System Mode: E-Mail");
  EXPECT_TRUE(platform::ui::Application->ShowHint());
  EXPECT_TRUE(ui.Done());
}

// The company list's index lost in a crash: the question names the file, and when the repair is
// declined the main window says what happened instead of asking for a company to be set up.
TEST_F(StartUpTest, ACompanyListLeftUnrepairedIsNotTakenForNoCompany) {
  FileCompanies({Company("12", "Acme Hardware")});
  CompanyWorkRec = Company("12", "Acme Hardware");
  ASSERT_TRUE(SaveCurrentCompany());
  ASSERT_TRUE(std::filesystem::remove("ovcomp.IX"));
  {
    UiScript ui;
    ui.ExpectMessage("Index file is defective.  Rebuild?", "Companies").Answer(platform::ui::mrNo);
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(
        MainForm->NameCap->text(),
        "The company list could not be opened. Restart the program and let it rebuild the company list.");
    EXPECT_FALSE(MainForm->CustomerManager1->isEnabled());
    EXPECT_TRUE(ui.Done());
  }
  MainForm->Close();
  ShutDown();
  UiScript again;
  again.ExpectMessage("Index file is defective.  Rebuild?", "Companies").Answer(platform::ui::mrYes);
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(MainForm->NameCap->text(), "Acme Hardware     Number: 12");
  EXPECT_TRUE(again.Done());
}

TEST_F(StartUpTest, ARefusedPasswordEndsTheProgramWithItsFilesClosed) {
  ASSERT_TRUE(WriteSystemPassword("Open Sesame", nullptr));
  {
    UiScript ui;
    ui.OnModal<TPWDlg>([](TPWDlg& d) {
      EXPECT_EQ(d.Caption(), "Password Required");
      d.Password->setText("open sesame");
      d.OKBtn->click();
    });
    ui.ExpectMessage("You did not enter the correct password.", "Invalid Password");
    EXPECT_FALSE(StartUp());
    EXPECT_TRUE(ProgramHalted());
    EXPECT_FALSE(MainForm->Visible());
    EXPECT_TRUE(storage::IsamOpenBlocks().empty());
    // The engine is stopped: a new start of it succeeds.
    EXPECT_GT(storage::IsamInitialize(0, 30), 0);
    storage::IsamShutdown();
    EXPECT_TRUE(ui.Done());
  }
  ShutDown();

  UiScript ui;
  ui.OnModal<TPWDlg>([](TPWDlg& d) {
    d.Password->setText("Open Sesame");
    d.OKBtn->click();
  });
  EXPECT_TRUE(StartUp());
  EXPECT_FALSE(ProgramHalted());
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_TRUE(ui.Done());
}

// A data file the system refuses to open: the message names the file and the system's reason, and
// the program ends as it did.
TEST_F(StartUpTest, ADataFileThatCannotBeOpenedIsNamedWithTheSystemsReason) {
  UiScript ui;
  ASSERT_NO_FATAL_FAILURE(StartOnAcmeWithItsCustomerFile());
  std::filesystem::permissions("12C.DAT", std::filesystem::perms::none);
  ui.OnModal<customers::TDemoForm>([](customers::TDemoForm&) {});
  ui.ExpectMessage("Unable to open database\n\nThe file 12C.DAT could not be opened: Permission denied.",
                   "Customer Manager")
      .Icon(MsgIcon::Error);
  {
    testing_support::PermissionsApply permissions;
    MainForm->CustomerManager1Click();
  }
  EXPECT_TRUE(ProgramHalted());
  EXPECT_EQ(ProgramExitCode(), 1);
  EXPECT_TRUE(ui.Done());
  std::filesystem::permissions("12C.DAT",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
}  // namespace shell
