#include "exchange/backup_window.h"

#include <QDir>
#include <QHBoxLayout>
#include <QStorageInfo>
#include <QVBoxLayout>

#include "exchange/backup_files.h"
#include "exchange/restore_files.h"
#include "exchange/restore_placement.h"
#include "forms/form_instance.h"
#include "platform/files/path.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"

namespace exchange {

using namespace platform::ui;

TOVBkUp* OVBkUp = nullptr;
std::function<void()> ReopenCompanyAfterRestore;

namespace {

constexpr char ReadyText[] = "Ready. Select backup or restore button...";
constexpr char RestoreDoneText[] =
    "Restore files operation complete. You should now run the \"rebuild data files\" option on the Tools "
    "Menu to "
    "update your data files.";

QString Lines(const std::vector<std::string>& items) {
  QStringList lines;
  for (const std::string& item : items) lines << QString::fromStdString(item);
  return lines.join('\n');
}

// The safety copies of an earlier restore that this one took over, a line each.
QString EarlierSetAsideLines(const RestoreResult& result) {
  QString text;
  for (const std::string& keptIn : result.earlierKeptIn)
    text += "\n" + QString::fromStdString(EarlierSetAsideText(keptIn));
  return text;
}

// Mounted removable media first: where a backup belongs.
QStringList RemovableFolders() {
  QStringList folders;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    if (volume.isValid() && volume.isReady() && !volume.isReadOnly() &&
        (root.startsWith("/media/") || root.startsWith("/run/media/") || root.startsWith("/mnt/")))
      folders << root;
  }
  return folders;
}

}  // namespace

TOVBkUp& CreateOVBkUp() {
  return forms::FormInstance(OVBkUp);
}

TOVBkUp::TOVBkUp(QWidget* parent)
    : Form(parent),
      Label1(new QLabel("Backup Drive:", this)),
      DriveComboBox1(new QComboBox(this)),
      BrowseButn(new QPushButton("Bro&wse...", this)),
      BackButn(new QPushButton("&Backup", this)),
      RestBtn(new QPushButton("&Restore", this)),
      SubBackup(new QCheckBox("Also backup critical data to backup folder in this directory", this)),
      FileListBox1(new QListWidget(this)),
      Label3(new QLabel("Status:", this)),
      Label4(new QLabel(ReadyText, this)),
      Label2(new QLabel("PLEASE READ THE ONLINE HELP FOR COMPLETE INSTRUCTIONS ON HOW TO PROPERLY BACKUP AND "
                        "SAFEGUARD YOUR DATA FILES!",
                        this)),
      HelpButn(new QPushButton("&Help", this)),
      BkExit(new QPushButton("E&xit", this)) {
  SetCaption("OV Kestrava Backup");
  SetHelpKeyword("backupdata");
  DriveComboBox1->setEditable(true);
  DriveComboBox1->setInsertPolicy(QComboBox::NoInsert);
  DriveComboBox1->setMinimumWidth(320);
  Label1->setBuddy(DriveComboBox1);
  BrowseButn->setToolTip("Choose the folder of the backup");
  BackButn->setToolTip("Start Backup");
  RestBtn->setToolTip("Restore the backup files into this directory");
  HelpButn->setToolTip("Help");
  BkExit->setToolTip("Exit Backup");
  SubBackup->setChecked(true);
  FileListBox1->hide();
  Label2->setWordWrap(true);
  QFont warning = Label2->font();
  warning.setBold(true);
  Label2->setFont(warning);
  Label4->setWordWrap(true);

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(Label1);
  folderRow->addWidget(DriveComboBox1, 1);
  folderRow->addWidget(BrowseButn);
  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(Label3);
  statusRow->addWidget(Label4, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {BackButn, RestBtn}) buttons->addWidget(button);
  buttons->addStretch(1);
  for (QPushButton* button : {HelpButn, BkExit}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label2);
  layout->addSpacing(8);
  layout->addLayout(folderRow);
  layout->addWidget(SubBackup);
  layout->addSpacing(8);
  layout->addLayout(statusRow);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->addWidget(FileListBox1);
  platform::ui::SetTabOrder(
      {DriveComboBox1, BrowseButn, SubBackup, BackButn, RestBtn, HelpButn, BkExit, FileListBox1});

  connect(BackButn, &QPushButton::clicked, this, [this] { BackButnClick(); });
  connect(RestBtn, &QPushButton::clicked, this, [this] { RestBtnClick(); });
  connect(BrowseButn, &QPushButton::clicked, this, [this] { BrowseButnClick(); });
  connect(HelpButn, &QPushButton::clicked, this, [this] { HelpButnClick(); });
  connect(BkExit, &QPushButton::clicked, this, [this] { BkExitClick(); });
  BackButn->setDefault(true);
}

void TOVBkUp::FormShow() {
  busy_ = false;
  EnableControls(true);
  FillFolderList();
  Label4->setText(ReadyText);
  UpdateFileList();
}

void TOVBkUp::FormCloseQuery(bool& canClose) {
  // Not while files are being written.
  canClose = !busy_;
}

void TOVBkUp::FillFolderList() {
  QStringList folders;
  const QString last = QString::fromStdString(LoadLastBackupFolder());
  if (!last.isEmpty()) folders << last;
  folders << RemovableFolders() << QDir::homePath();
  folders.removeDuplicates();
  DriveComboBox1->clear();
  DriveComboBox1->addItems(folders);
  DriveComboBox1->setCurrentIndex(0);
}

void TOVBkUp::EnableControls(bool enabled) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{BkExit, HelpButn, BackButn, DriveComboBox1, BrowseButn, RestBtn})
    control->setEnabled(enabled);
}

int TOVBkUp::UpdateFileList() {
  ShowFileList(ListBackupFiles());
  return FileListBox1->count();
}

void TOVBkUp::ShowFileList(const std::vector<std::string>& files) {
  FileListBox1->clear();
  for (const std::string& name : files) FileListBox1->addItem(QString::fromStdString(name));
}

bool TOVBkUp::ChosenFolder(QString* shown, std::string* path) {
  *shown = DriveComboBox1->currentText().trimmed();
  if (shown->isEmpty()) {
    MessageBox("Please choose the folder for the backup files.", Caption(), MsgButtons::Ok, MsgIcon::Warning);
    DriveComboBox1->setFocus();
    return false;
  }
  *path = QDir::cleanPath(*shown).toStdString();
  return true;
}

void TOVBkUp::BrowseButnClick() {
  FolderRequest request{"Backup Folder", DriveComboBox1->currentText().trimmed()};
  if (!ChooseFolderDialog(request)) return;
  DriveComboBox1->setCurrentText(QDir::toNativeSeparators(request.folder));
}

void TOVBkUp::BackButnClick() {
  DoBackup();
}

void TOVBkUp::DoBackup() {
  const std::string refusal = BackupRefusal();
  if (!refusal.empty()) {
    MessageBox(QString::fromStdString(refusal), "OV Backup", MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  QString drive;
  std::string folder;
  if (!ChosenFolder(&drive, &folder)) return;
  if (MessageBox("Ready to backup files to drive " + drive + "?", "Please Confirm", MsgButtons::OkCancel,
                 MsgIcon::Question) != mrOk)
    return;
  SaveLastBackupFolder(folder);
  EnableControls(false);
  busy_ = true;
  Label4->setText("Backup in progress...");
  std::string failure;
  FolderCopyResult copies;
  bool archived = false;
  {
    WaitCursor hourglass;
    Application->ProcessMessages();
    const std::vector<std::string> files = ListBackupFiles();
    ShowFileList(files);
    archived = WriteBackupArchive(
        files, folder, [] { Application->ProcessMessages(); }, &failure);
    if (archived && SubBackup->isChecked()) {
      Label4->setText("Backing up to backup folder...");
      Application->ProcessMessages();
      copies = CopyToBackupFolder(files);
    }
  }
  busy_ = false;
  if (!archived) {
    EnableControls(true);
    Label4->setText("Backup failed.");
    MessageBox(QString::fromStdString(failure), "OV Backup", MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  Close();
  Application->ProcessMessages();
  ReportBackupDone(copies);
}

// One message for the whole backup: the archive was written, and whether the copies in the
// Backup folder were made too, with why not.
void TOVBkUp::ReportBackupDone(const FolderCopyResult& copies) {
  const QString archived = QString("%1 files were copied.").arg(FileListBox1->count());
  if (copies.failures.empty()) {
    MessageBox("Backup complete. " + archived, "OV Backup", MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  MessageBox(QString("The backup archive was written: %1 But %2 of %3 data files could not be copied to the "
                     "Backup folder as well:\n")
                     .arg(archived)
                     .arg(copies.failures.size())
                     .arg(copies.wanted) +
                 Lines(copies.failures),
             "OV Backup", MsgButtons::Ok, MsgIcon::Warning);
}

void TOVBkUp::RestBtnClick() {
  // Refused before anything is asked while an earlier restore's mark is there.
  if (const std::string refusal = RestoreRefusal(); !refusal.empty()) {
    MessageBox(QString::fromStdString(refusal), "Restore", MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  QString drive;
  std::string folder;
  if (!ChosenFolder(&drive, &folder)) return;
  const RestorePreview preview = PreviewRestore(folder);
  QString takenAway;
  const std::string unnamed =
      preview.companyListFailure.empty()
          ? std::string()
          : "The names could not be read from the company list: " + preview.companyListFailure;
  for (const std::string& text : {CompaniesTakenAwayText(preview.companiesTakenAway), unnamed,
                                  RetiredPostingsText(preview.dropped, Retiring::Ahead)})
    if (!text.empty()) takenAway += " " + QString::fromStdString(text);
  if (MessageBox("Ready to RESTORE files from backup disk in drive " + drive +
                     ". WARNING!! Your data files will be over-written by the backup files!" + takenAway +
                     " Continue?",
                 "Restore", MsgButtons::OkCancel, MsgIcon::Question) != mrOk)
    return;
  if (!platform::files::Exists(BackupArchivePath(folder))) {
    MessageBox("Unable to locate the backup files.", "Restore");
    return;
  }
  SaveLastBackupFolder(folder);
  EnableControls(false);
  busy_ = true;
  Label4->setText("Restoring your files...");
  RestoreResult result;
  {
    WaitCursor hourglass;
    Application->ProcessMessages();
    result = RestoreDataFiles(folder);
  }
  busy_ = false;
  if (result.status != RestoreResult::Status::Restored) {
    EnableControls(true);
    Label4->setText(ReadyText);
    if (result.status == RestoreResult::Status::NoArchive) {
      MessageBox("Unable to locate the backup files.", "Restore");
      return;
    }
    MessageBox("The backup files were not restored: " + QString::fromStdString(result.failure) +
                   (result.liveUnchanged ? "\nYour data files were not changed." : "") +
                   EarlierSetAsideLines(result),
               "Restore", MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  Close();
  Application->ProcessMessages();
  if (ReopenCompanyAfterRestore) ReopenCompanyAfterRestore();
  if (!result.skipped.empty())
    MessageBox(
        "These entries of the backup were not restored, because they are not plain files of this "
        "directory:\n" +
            Lines(result.skipped),
        "Restore", MsgButtons::Ok, MsgIcon::Warning);
  QString done = RestoreDoneText;
  for (const std::string& text : {SafetyCopyText(result.safetyFolder), RetiredPostingsText(result.retired)})
    if (!text.empty()) done += "\n" + QString::fromStdString(text);
  done += EarlierSetAsideLines(result);
  MessageBox(done, "Restore Complete", MsgButtons::Ok, MsgIcon::Information);
}

void TOVBkUp::HelpButnClick() {
  Application->HelpJump("backupdata");
}

void TOVBkUp::BkExitClick() {
  Close();
}

}  // namespace exchange
