#pragma once
// The base of a test's stand-in for the user that checks afterwards what was shown rather than
// scripting it: installed for its scope, it declines every common dialog, takes the printer as set
// up, has no help and no sound. What it says to message boxes and modal forms is its own.

#include "platform/ui/ui_driver.h"

namespace testing_support {

class StandInUser : public platform::ui::UiDriver {
 public:
  StandInUser() : previous_(platform::ui::InstallUiDriver(this)) {}
  ~StandInUser() override { platform::ui::InstallUiDriver(previous_); }
  StandInUser(const StandInUser&) = delete;
  StandInUser& operator=(const StandInUser&) = delete;

  bool RunOpenFile(platform::ui::FileDialogRequest&) override { return false; }
  bool RunSaveFile(platform::ui::FileDialogRequest&) override { return false; }
  bool RunChooseFolder(platform::ui::FolderRequest&) override { return false; }
  bool RunFont(platform::ui::FontRequest&) override { return false; }
  bool RunPrinterSetup(QPrinter&) override { return true; }
  bool OpenHelp(const QString&, const QString&) override { return false; }
  void Beep() override {}

 private:
  platform::ui::UiDriver* previous_;
};

}  // namespace testing_support
