// The main window's way into the backup window: the menu item, the backup when the program
// closes, and the company opened again after a restore.

#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/backup_files.h"
#include "exchange/backup_window.h"
#include "main_form_fixture.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "records/last_company.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"

namespace shell {

using namespace records;
namespace {

namespace fs = std::filesystem;
using exchange::TOVBkUp;
using platform::ui::mrOk;
using testing_support::UiScript;

class BackupItemTest : public MainFormTest {
 protected:
  // Files the companies, names `open` in LastCo.Dat and starts the program on it.
  void StartOn(const std::vector<CompanyRec>& companies, const CompanyRec& open) {
    FileCompanies(companies);
    CompanyWorkRec = open;
    ASSERT_TRUE(SaveCurrentCompany());
    CurrentCompany = CompanyWorkRec = CompanyRec{};
    ASSERT_TRUE(StartUp());
    fs::create_directory(Usb());
  }
  std::string Usb() const { return dir_.File("usb"); }
  void ExpectBackupMessages(UiScript& ui, int files) {
    ui.ExpectMessage("Ready to backup files to drive " + QString::fromStdString(Usb()) + "?",
                     "Please Confirm")
        .Answer(mrOk);
    ui.ExpectMessage(QString("Backup complete. %1 files were copied.").arg(files), "OV Backup");
  }
};

TEST_F(BackupItemTest, TheItemShowsTheWindowAndAClosingCompanyThatAsksForItBacksUp) {
  CompanyRec shop = Company("1", "Corner Shop");
  shop.BackupOnExit.Set("Y");
  UiScript ui;
  StartOn({shop}, shop);
  ASSERT_TRUE(MainForm->BackupDataFiles1->isEnabled());
  ASSERT_TRUE(MainForm->SpeedButton13->isEnabled());
  ui.OnModal<TOVBkUp>([](TOVBkUp& window) {
    // ovcomp.Dat, ovcomp.IX, LastCo.Dat and the payment terms PVTERMS.DAT
    EXPECT_EQ(window.FileListBox1->count(), 4);
    window.BkExitClick();
  });
  MainForm->SpeedButton13->click();
  EXPECT_TRUE(ui.Done());

  // At the close the engine is down before the window shows, so every file can be read whole.
  ui.OnModal<TOVBkUp>([this](TOVBkUp& window) {
    EXPECT_TRUE(storage::IsamOpenBlocks().empty());
    window.DriveComboBox1->setCurrentText(QString::fromStdString(Usb()));
    window.BackButnClick();
  });
  ExpectBackupMessages(ui, 4);
  MainForm->Exit1Click();
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_TRUE(ui.Done());
  EXPECT_TRUE(fs::exists(Usb() + "/OVBackup.zip"));
}

TEST_F(BackupItemTest, ACompanyThatDoesNotAskClosesWithoutABackup) {
  UiScript ui;
  StartOn({Company("1", "Corner Shop")}, Company("1", "Corner Shop"));
  MainForm->Exit1Click();
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_TRUE(ui.Done());  // no window was shown
}

TEST_F(BackupItemTest, AfterARestoreTheCompanyTheRestoredFilesNameIsOpen) {
  platform::text::FixedClock clock(QDateTime(QDate(2026, 12, 9), QTime(10, 15, 2)));
  CompanyRec first = Company("1", "First Shop");
  CompanyRec second = Company("2", "Second Shop");
  second.DateOrder.Set("D");
  UiScript ui;
  StartOn({first, second}, second);
  std::string failure;
  ASSERT_TRUE(exchange::WriteBackupArchive(exchange::ListBackupFiles(), Usb(), {}, &failure)) << failure;
  CompanyWorkRec = first;
  MainForm->ChangeCompany("2");
  ASSERT_EQ(MainForm->NameCap->text(), "First Shop       Number: 1");

  ui.ExpectMessage("Ready to RESTORE files from backup disk in drive " + QString::fromStdString(Usb()) +
                       ". WARNING!! Your data files will be over-written by the backup files! Continue?",
                   "Restore")
      .Answer(mrOk);
  ui.ExpectMessage(
      "Restore files operation complete. You should now run the \"rebuild data files\" option on the Tools "
      "Menu to update your data files.\nThe files it replaced or took away are kept in the folder "
      "\"BeforeRestore 2026-12-09 10.15.02\" of the data folder.",
      "Restore Complete");
  ui.OnModal<TOVBkUp>([this](TOVBkUp& window) {
    window.DriveComboBox1->setCurrentText(QString::fromStdString(Usb()));
    window.RestBtnClick();
  });
  MainForm->BackupDataFiles1->trigger();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(CurrentCompany.CompanyName.Get(), "Second Shop");
  EXPECT_EQ(MainForm->NameCap->text(), "Second Shop     Number: 2");
  EXPECT_EQ(platform::text::ShortDateFormat(), "dd/mm/yyyy");
}

}  // namespace
}  // namespace shell
