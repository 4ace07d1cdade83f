#pragma once
// The one switch between a person and a test script. Every message box, modal form, common
// dialog, help request and beep of the program goes through the installed driver. The program
// runs with the Qt driver (real windows); a test installs a script in its place for its scope.

#include <QString>

#include "platform/ui/common_dialogs.h"
#include "platform/ui/message_box.h"
#include "platform/ui/modal_result.h"

class QPrinter;

namespace platform::ui {

class Form;

class UiDriver {
 public:
  virtual ~UiDriver() = default;

  virtual TModalResult ShowMessageBox(const MessageRequest& request) = 0;
  // Runs a form modally: the driver enters the form's modal state, lets the user (or the script)
  // work the form until it leaves that state, and returns its modal result.
  virtual TModalResult RunModal(Form& form) = 0;
  virtual bool RunOpenFile(FileDialogRequest& request) = 0;
  virtual bool RunSaveFile(FileDialogRequest& request) = 0;
  virtual bool RunChooseFolder(FolderRequest& request) = 0;
  virtual bool RunFont(FontRequest& request) = 0;
  virtual bool RunPrinterSetup(QPrinter& printer) = 0;
  // Opens the installed help file at a topic (empty: its contents); false when that failed.
  virtual bool OpenHelp(const QString& helpFile, const QString& topic) = 0;
  virtual void Beep() = 0;
};

// The driver in force: the last one installed, else the Qt driver.
UiDriver& CurrentUiDriver();
// Installs a driver (nullptr: the Qt driver) and returns the one it replaces, to be put back.
UiDriver* InstallUiDriver(UiDriver* driver);

}  // namespace platform::ui
