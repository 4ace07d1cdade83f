#include "forms/password_prompts.h"

#include "forms/pw_dlg.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "platform/ui/text_entry.h"
#include "records/password.h"

namespace forms {

using namespace records;

using platform::text::CharactersOutsideCodepage;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::ui::Application;
using platform::ui::MessageBox;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using records::NormalizePassword;
using records::PasswordMinLength;
using records::ReadSystemPassword;
using records::RemoveSystemPassword;
using records::SystemPasswordIsSet;
using records::WriteSystemPassword;

namespace {

void ReportFileError(const std::string& error) {
  Application->ShowException(ToQString(error));
}

// Characters the password file cannot keep: typed into a password, they would be kept as "?", and
// another text with "?" in their places would open the program.
QString CharactersThePasswordFileCannotHold(const TPWDlg& dialog) {
  return CharactersOutsideCodepage(dialog.Password->text());
}

// Shows the dialog with a caption; the normalized entry, or none when the user cancelled or the
// entry holds characters the password file cannot keep (said, and the action ends).
std::optional<std::string> AskPassword(const QString& caption) {
  TPWDlg& dialog = CreatePWDlg();
  dialog.SetCaption(caption);
  if (dialog.ShowModal() != mrOk) return std::nullopt;
  if (const QString outside = CharactersThePasswordFileCannotHold(dialog); !outside.isEmpty()) {
    MessageBox(
        platform::ui::RefusedCharactersMessage(outside) + QStringLiteral(" The password was not changed."),
        QStringLiteral("Invalid Password"), MsgButtons::Ok, MsgIcon::Warning);
    return std::nullopt;
  }
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
  // Whether confirmed or cancelled, a wrong entry is said to be wrong; one with characters the
  // file cannot keep is never the password, whatever "?" the file may hold.
  if (typed != *stored || !CharactersThePasswordFileCannotHold(dialog).isEmpty()) {
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

}  // namespace forms
