#pragma once
// What the user is told, every box answered with its first choice (OK, Yes): for a child process
// or a sweep, where what is shown is checked afterwards rather than scripted.

#include <string>
#include <vector>

#include "platform/ui/ui_driver.h"

namespace storage::testing {

class MessageLog : public platform::ui::UiDriver {
 public:
  MessageLog() : previous_(platform::ui::InstallUiDriver(this)) {}
  ~MessageLog() override { platform::ui::InstallUiDriver(previous_); }
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;

  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    Told.push_back(request.text.toStdString());
    return request.buttons == platform::ui::MsgButtons::YesNo ? platform::ui::mrYes : platform::ui::mrOk;
  }
  platform::ui::TModalResult RunModal(platform::ui::Form&) override { return platform::ui::mrCancel; }
  bool RunOpenFile(platform::ui::FileDialogRequest&) override { return false; }
  bool RunSaveFile(platform::ui::FileDialogRequest&) override { return false; }
  bool RunChooseFolder(platform::ui::FolderRequest&) override { return false; }
  bool RunFont(platform::ui::FontRequest&) override { return false; }
  bool RunPrinterSetup(QPrinter&) override { return false; }
  bool OpenHelp(const QString&, const QString&) override { return false; }
  void Beep() override {}

  std::vector<std::string> Told;

 private:
  platform::ui::UiDriver* previous_;
};

}  // namespace storage::testing
