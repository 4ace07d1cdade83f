// The backup window as a user works it: each box answered in order, the files on disk read back.

#include "exchange/backup_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "exchange/backup_files.h"
#include "platform/files/file.h"
#include "platform/text/clock.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "platform/zip/zip_peer.h"
#include "program_dir_fixture.h"

namespace exchange {
namespace {

namespace fs = std::filesystem;
using platform::ui::mrCancel;
using platform::ui::mrOk;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using testing_support::UiScript;

const QString RestoreDone =
    "Restore files operation complete. You should now run the \"rebuild data files\" option on the Tools "
    "Menu to "
    "update your data files.";

class BackupWindowTest : public test_fixtures::ProgramDirTest {
 protected:
  platform::text::FixedClock clock_{QDateTime(QDate(2026, 12, 9), QTime(10, 15, 2))};
  BackupWindowTest() {
    testing_support::EnsureGuiApplication();
    ReopenCompanyAfterRestore = [this] { ++reopened_; };
  }
  ~BackupWindowTest() override { ReopenCompanyAfterRestore = nullptr; }

  // Opens the window modally; `work` stands in for the user once it is shown on the drive folder.
  void Run(UiScript& ui, std::function<void(TOVBkUp&)> work) {
    ui.OnModal<TOVBkUp>([this, work](TOVBkUp& window) {
      window.DriveComboBox1->setCurrentText(QString::fromStdString(Usb()));
      work(window);
    });
    CreateOVBkUp().ShowModal();
  }
  void ExpectBackupAsked(UiScript& ui) {
    ui.ExpectMessage("Ready to backup files to drive " + QString::fromStdString(Usb()) + "?",
                     "Please Confirm")
        .Buttons(MsgButtons::OkCancel)
        .Icon(MsgIcon::Question)
        .Answer(mrOk);
  }
  void ExpectRestoreAsked(UiScript& ui, platform::ui::TModalResult answer = mrOk) {
    ui.ExpectMessage("Ready to RESTORE files from backup disk in drive " + QString::fromStdString(Usb()) +
                         ". WARNING!! Your data files will be over-written by the backup files! Continue?",
                     "Restore")
        .Buttons(MsgButtons::OkCancel)
        .Icon(MsgIcon::Question)
        .Answer(answer);
  }
  static void ExpectStillOpen(TOVBkUp& window, const QString& status) {
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Label4->text(), status);
    for (QWidget* control : std::initializer_list<QWidget*>{window.BackButn, window.RestBtn, window.BkExit,
                                                            window.HelpButn, window.DriveComboBox1})
      EXPECT_TRUE(control->isEnabled());
  }

  int reopened_ = 0;
};

TEST_F(BackupWindowTest, ABackupWritesTheArchiveAndTheBackupFolderAndRemembersTheDrive) {
  WriteUsualFiles();
  {
    UiScript ui;
    ExpectBackupAsked(ui);
    ui.ExpectMessage("Backup complete. 17 files were copied.", "OV Backup").Icon(MsgIcon::Information);
    Run(ui, [](TOVBkUp& window) {
      EXPECT_EQ(window.Label4->text(), "Ready. Select backup or restore button...");
      EXPECT_TRUE(window.SubBackup->isChecked());
      EXPECT_FALSE(window.FileListBox1->isVisible());
      window.BackButnClick();
      EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(ui.Done());
  }
  QJsonArray entries = testing_support::ReadByPython(UsbArchive())["entries"].toArray();
  EXPECT_EQ(entries.size(), 17);
  EXPECT_EQ(Read("Backup/ovcomp.Dat"), Read("ovcomp.Dat"));
  EXPECT_FALSE(fs::exists("Backup/ovcomp.IX"));

  // Shown again: the drive chosen last is offered first, and the file list is read anew.
  Write("2C.DAT", "new");
  UiScript ui;
  ui.OnModal<TOVBkUp>([this](TOVBkUp& window) {
    EXPECT_EQ(window.DriveComboBox1->currentText().toStdString(), Usb());
    EXPECT_EQ(window.FileListBox1->count(), 18);
  });
  CreateOVBkUp().ShowModal();
  EXPECT_TRUE(ui.Done());
}

TEST_F(BackupWindowTest, AFailedBackupSaysWhyAndKeepsTheWindowOpen) {
  WriteUsualFiles();
  platform::files::File held;
  ASSERT_TRUE(held.Open("1C.IX", platform::files::OpenMode::ReadWrite));
  UiScript ui;
  ExpectBackupAsked(ui);
  ui.ExpectMessage(
        "The backup was not made: 1C.IX: in use by another program.\nAn earlier backup in that folder is "
        "unchanged.",
        "OV Backup")
      .Icon(MsgIcon::Error);
  Run(ui, [](TOVBkUp& window) {
    window.BackButnClick();
    ExpectStillOpen(window, "Backup failed.");
  });
  EXPECT_TRUE(ui.Done());
  EXPECT_FALSE(fs::exists(UsbArchive()));
}

// The archive is made and the copies in the Backup folder are not: one message says both, with
// why each copy failed, and no second box calls the backup complete.
TEST_F(BackupWindowTest, CopiesThatFailAreToldInTheOneMessageThatTheArchiveWasWritten) {
  WriteUsualFiles();
  fs::create_directories("Backup/1P.DAT");
  UiScript ui;
  ExpectBackupAsked(ui);
  ui.ExpectMessage(
        QString("The backup archive was written: 17 files were copied. But 1 of 8 data files could "
                "not be copied to the Backup folder as well:\n1P.DAT (%1)")
            .arg(std::strerror(EISDIR)),
        "OV Backup")
      .Icon(MsgIcon::Warning);
  Run(ui, [](TOVBkUp& window) { window.BackButnClick(); });
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(testing_support::ReadByPython(UsbArchive())["entries"].toArray().size(), 17);
}

TEST_F(BackupWindowTest, ARestorePutsTheFilesBackReopensTheCompanyAndReportsWhatItSkipped) {
  WriteUsualFiles();
  ASSERT_TRUE(testing_support::WriteByPython(
      UsbArchive(), {{"1C.DAT", "restored"}, {"../x", "outside"}, {"LINK.DAT", "/etc/passwd", "link"}}));
  UiScript ui;
  ExpectRestoreAsked(ui);
  ui.ExpectMessage(
        "These entries of the backup were not restored, because they are not plain files of this directory:\n"
        "../x (not a plain file name)\nLINK.DAT (a link)",
        "Restore")
      .Icon(MsgIcon::Warning);
  ui.ExpectMessage(
        RestoreDone +
            "\nThe files it replaced or took away are kept in the folder \"BeforeRestore 2026-12-09 "
            "10.15.02\" of the data folder.",
        "Restore Complete")
      .Icon(MsgIcon::Information);
  Run(ui, [](TOVBkUp& window) { window.RestBtnClick(); });
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(reopened_, 1);
  EXPECT_EQ(Read("1C.DAT"), "restored");
  EXPECT_EQ(Read("BeforeRestore 2026-12-09 10.15.02/1C.DAT"), UsualFiles().at("1C.DAT"));
  EXPECT_FALSE(fs::exists("../x"));
}

TEST_F(BackupWindowTest, ARestoreThatCannotBeDoneChangesNothing) {
  WriteUsualFiles();
  const auto before = Tree();
  UiScript ui;
  // Cancelled; then no archive on the drive; then a damaged one.
  ExpectRestoreAsked(ui, mrCancel);
  ExpectRestoreAsked(ui);
  ui.ExpectMessage("Unable to locate the backup files.", "Restore");
  ExpectRestoreAsked(ui);
  ui.ExpectMessage("The backup files were not restored: 1C.DAT: CRC error\nYour data files were not changed.",
                   "Restore")
      .Icon(MsgIcon::Error);
  Run(ui, [this](TOVBkUp& window) {
    window.RestBtnClick();
    window.RestBtnClick();
    ASSERT_TRUE(
        testing_support::WriteByPython(UsbArchive(), {{"1C.DAT", std::string(3000, 'c'), "file", true}}));
    window.RestBtnClick();
    ExpectStillOpen(window, "Ready. Select backup or restore button...");
  });
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(reopened_, 0);
  auto after = Tree();
  after.erase("usb/OVBackup.zip");
  after.erase("prog/OVBackup.ini");  // the drive is remembered
  EXPECT_EQ(after, before);
}

TEST_F(BackupWindowTest, TheDriveIsChosenByBrowsingAndMustNotBeEmpty) {
  Write("OVINV.hlp", "help");
  platform::ui::Application->HelpFile = "OVINV.hlp";
  UiScript ui;
  ui.ExpectFolder().Answer("/media/stick");
  ui.ExpectMessage("Please choose the folder for the backup files.", "OV Kestrava Backup");
  ui.OnModal<TOVBkUp>([](TOVBkUp& window) {
    window.BrowseButnClick();
    EXPECT_EQ(window.DriveComboBox1->currentText(), "/media/stick");
    window.DriveComboBox1->setCurrentText("  ");
    window.BackButnClick();
    window.HelpButnClick();
    window.BkExitClick();
    EXPECT_FALSE(window.isVisible());
  });
  CreateOVBkUp().ShowModal();
  EXPECT_TRUE(ui.Done());
  ASSERT_EQ(ui.Count(testing_support::UiEvent::Kind::Help), 1);
  EXPECT_EQ(ui.Events().back().detail, "backupdata");
  platform::ui::Application->HelpFile.clear();
}

}  // namespace
}  // namespace exchange
