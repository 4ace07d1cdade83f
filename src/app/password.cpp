#include "app/password.h"

#include <cerrno>
#include <cstring>

#include "app/pw_dlg.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/short_string.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"

namespace app {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::ui::Application;
using platform::ui::MessageBox;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;

namespace {

constexpr unsigned OwnerReadWrite = 0600;

std::string FileError(const char* what, int err) {
  return std::string(what) + " " + std::string(PasswordFileName) + ": " + std::strerror(err ? err : EIO);
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

void ReportFileError(const std::string& error) {
  Application->ShowException(ToQString(error));
}

// Shows the dialog with a caption; the normalized entry, or none when the user cancelled.
std::optional<std::string> AskPassword(const QString& caption) {
  TPWDlg& dialog = CreatePWDlg();
  dialog.SetCaption(caption);
  if (dialog.ShowModal() != mrOk) return std::nullopt;
  return NormalizePassword(ToAnsi(dialog.Password->text()));
}

bool Confirm(const QString& text) {
  return MessageBox(text, QStringLiteral("Please Confirm"), MsgButtons::YesNo, MsgIcon::Question) == mrYes;
}

// Before a new password is asked for: the current one must be typed again.
bool MayChangeExistingPassword() {
  if (!Confirm(QStringLiteral("A Password exists. Do you want to change it?"))) return false;
  std::string error;
  std::optional<std::string> stored = ReadSystemPassword(&error);
  if (!stored) {
    ReportFileError(error);
    return false;
  }
  std::optional<std::string> typed = AskPassword(QStringLiteral("Enter the Current Password"));
  if (!typed) return false;
  if (*typed != *stored) {
    MessageBox(QStringLiteral("You did not enter the correct password. Unable to change password."),
               QStringLiteral("Incorrect Password"), MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }
  MessageBox(
      QStringLiteral("You will need to enter a new password TWO times. Do not enter any password (twice) "
                     "if you want to remove the password protection."),
      QStringLiteral("Password Setup"));
  return true;
}

void StoreNewPassword(const std::string& password) {
  std::string error;
  if (password.size() < PasswordMinLength) {
    if (!RemoveSystemPassword(&error)) return ReportFileError(error);
    MessageBox(QStringLiteral("You did not enter password. Any password has been cleared. This system is no "
                              "longer password protected."),
               QStringLiteral("Password Removed"));
    return;
  }
  if (!WriteSystemPassword(password, &error)) return ReportFileError(error);
  MessageBox(
      QStringLiteral("Your new password is shown above. You will need to enter it EXACTLY as shown next "
                     "time you want to access the system."),
      QStringLiteral("Password: ") + ToQString(password), MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace

std::string NormalizePassword(std::string_view typed) {
  return platform::text::TrimBlanks(platform::text::TrimBlanks(typed).substr(0, PasswordMaxLength));
}

bool SystemPasswordIsSet() {
  return platform::files::Exists(PasswordFileName);
}

std::optional<std::string> ReadSystemPassword(std::string* error) {
  std::string bytes;
  int err = 0;
  if (!platform::files::ReadWholeFile(PasswordFileName, &bytes, &err)) {
    SetError(error, FileError("Cannot read", err));
    return std::nullopt;
  }
  if (bytes.size() < PasswordRecordSize) {
    SetError(error, "The password file " + std::string(PasswordFileName) + " is damaged (too short).");
    return std::nullopt;
  }
  return NormalizePassword(platform::text::ReadShortString(bytes.data(), PasswordMaxLength));
}

bool WriteSystemPassword(std::string_view password, std::string* error) {
  std::string record(PasswordRecordSize, '\0');
  platform::text::WriteShortString(record.data(), PasswordMaxLength, NormalizePassword(password));
  int err = 0;
  if (platform::files::WriteWholeFile(PasswordFileName, record, &err, OwnerReadWrite)) return true;
  SetError(error, FileError("Cannot write", err));
  return false;
}

bool RemoveSystemPassword(std::string* error) {
  int err = 0;
  if (platform::files::DeleteFile(PasswordFileName, &err) || err == ENOENT) return true;
  SetError(error, FileError("Cannot delete", err));
  return false;
}

bool CheckSystemPassword() {
  if (!SystemPasswordIsSet()) return true;
  TPWDlg& dialog = CreatePWDlg();
  dialog.PWHelpButn->hide();
  dialog.SetCaption(QStringLiteral("Password Required"));
  bool confirmed = dialog.ShowModal() == mrOk;
  dialog.PWHelpButn->show();
  std::string typed = NormalizePassword(ToAnsi(dialog.Password->text()));

  std::string error;
  std::optional<std::string> stored = ReadSystemPassword(&error);
  if (!stored) {
    ReportFileError(error);
    return false;
  }
  // Whether confirmed or cancelled, a wrong entry is said to be wrong.
  if (typed != *stored) {
    MessageBox(QStringLiteral("You did not enter the correct password."), QStringLiteral("Invalid Password"),
               MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }
  return confirmed;
}

void PasswordSetup() {
  if (SystemPasswordIsSet()) {
    if (!MayChangeExistingPassword()) return;
  } else if (!Confirm(
                 QStringLiteral("Once you create a password you must enter it EXACTLY or you will not be "
                                "able to use the inventory system. Continue?"))) {
    return;
  }
  std::optional<std::string> first = AskPassword(QStringLiteral("Password Setup"));
  if (!first) return;
  std::optional<std::string> second = AskPassword(QStringLiteral("Re-enter Your Password"));
  if (!second) return;
  if (*first != *second) {
    MessageBox(QStringLiteral("The two passwords do not match. Unable to setup password. Try again."),
               QStringLiteral("Invalid Password"), MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  StoreNewPassword(*first);
}

}  // namespace app
