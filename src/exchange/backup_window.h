#pragma once
// The backup window "OV Kestrava Backup": backs the program directory's data and side files up
// into "OVBackup.zip" in a chosen folder (a removable drive's folder as a rule), optionally also
// copies the data files into the "Backup" folder of the program directory, and restores the
// archive into the program directory. The work itself is done by the procedures of
// backup_files.h and restore_files.h.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/form.h"

namespace exchange {

struct FolderCopyResult;

class TOVBkUp : public platform::ui::Form {
 public:
  explicit TOVBkUp(QWidget* parent = nullptr);

  QLabel* Label1;  // "Backup Drive:"
  QComboBox* DriveComboBox1;
  QPushButton* BrowseButn;
  QPushButton* BackButn;
  QPushButton* RestBtn;
  QCheckBox* SubBackup;
  QListWidget* FileListBox1;  // hidden: what a backup takes
  QLabel* Label3;             // "Status:"
  QLabel* Label4;
  QLabel* Label2;
  QPushButton* HelpButn;
  QPushButton* BkExit;

  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
  void BackButnClick();
  void RestBtnClick();
  void BrowseButnClick();
  void HelpButnClick();
  void BkExitClick();
  void DoBackup();

  // Reads the program directory's files that a backup takes into FileListBox1; their number.
  int UpdateFileList();

 private:
  // The folder chosen, as the user sees it and as a path; false (after telling the user) when
  // none is chosen.
  [[nodiscard]] bool ChosenFolder(QString* shown, std::string* path);
  void FillFolderList();
  void ShowFileList(const std::vector<std::string>& files);
  void EnableControls(bool enabled);
  void ReportBackupDone(const FolderCopyResult& copies);

  bool busy_ = false;
};

extern TOVBkUp* OVBkUp;
TOVBkUp& CreateOVBkUp();

// Handed in by the program at start-up: makes the company that the restored files name the open
// one, and shows it.
extern std::function<void()> ReopenCompanyAfterRestore;

}  // namespace exchange
