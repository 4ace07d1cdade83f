#pragma once
// The driver of the running program: real Qt windows and dialogs.

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

#include "platform/ui/ui_driver.h"

namespace platform::ui {

class QtUiDriver : public UiDriver {
 public:
  TModalResult ShowMessageBox(const MessageRequest& request) override;
  TModalResult RunModal(Form& form) override;
  bool RunOpenFile(FileDialogRequest& request) override;
  bool RunSaveFile(FileDialogRequest& request) override;
  bool RunChooseFolder(FolderRequest& request) override;
  bool RunFont(FontRequest& request) override;
  bool RunPrinterSetup(QPrinter& printer) override;
  bool OpenHelp(const QString& helpFile, const QString& topic) override;
  void Beep() override;
};

// How the driver turns a request into a dialog, apart from running it.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageRequest& request);
TModalResult ResultOfButton(QMessageBox::StandardButton button);
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

}  // namespace platform::ui
