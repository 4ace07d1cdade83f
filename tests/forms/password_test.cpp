#include "records/password.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "forms/password_prompts.h"
#include "forms/pw_dlg.h"
#include "platform/files/file.h"
#include "platform/ui/support/ui_script.h"
#include "support/temp_dir.h"

namespace forms {

using namespace records;
namespace {

using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using testing_support::UiScript;

const QString kNewPasswordShown =
    "Your new password is shown above. You will need to enter it EXACTLY as shown next time you want to "
    "access the system.";
const QString kCreateWarning =
    "Once you create a password you must enter it EXACTLY or you will not be able to use the inventory "
    "system. Continue?";
const QString kWrongPassword = "You did not enter the correct password.";

std::string FileBytes() {
  std::string bytes;
  EXPECT_TRUE(platform::files::ReadWholeFile(PasswordFileName, &bytes));
  return bytes;
}

class PasswordTest : public ::testing::Test {
 protected:
  // The user types into the password dialog, checking the caller's caption, and confirms.
  void Type(const QString& text, const QString& caption, platform::ui::TModalResult button = mrOk) {
    ui.OnModal<TPWDlg>([=](TPWDlg& d) {
      EXPECT_EQ(d.Caption(), caption);
      EXPECT_TRUE(d.Password->text().isEmpty()) << "the entry is cleared each time";
      d.Password->setText(text);
      d.SetModalResult(button);
    });
  }

  // The new password typed twice; the second dialog ends with the button given.
  void TypeNew(const QString& first, const QString& second, platform::ui::TModalResult button = mrOk) {
    Type(first, "Password Setup");
    Type(second, "Re-enter Your Password", button);
  }

  void SetUpPassword(const QString& password) {
    ui.ExpectMessage(kCreateWarning, "Please Confirm").Buttons(MsgButtons::YesNo).Answer(mrYes);
    TypeNew(password, password);
    ui.ExpectMessage(kNewPasswordShown, "Password: " + password.trimmed().left(20))
        .Icon(MsgIcon::Information);
    PasswordSetup();
  }

  // Answers the questions before a new password is asked for, typing the current one.
  void ExpectChangeOf(const QString& current) {
    ui.ExpectMessage("A Password exists. Do you want to change it?", "Please Confirm")
        .Buttons(MsgButtons::YesNo)
        .Icon(MsgIcon::Question)
        .Answer(mrYes);
    Type(current, "Enter the Current Password");
    ui.ExpectMessage(
        "You will need to enter a new password TWO times. Do not enter any password (twice) if you want to "
        "remove the password protection.",
        "Password Setup");
  }

  testing_support::TempDir dir;
  UiScript ui;
};

TEST_F(PasswordTest, WithoutAPasswordTheProgramStartsWithoutADialog) {
  EXPECT_TRUE(CheckSystemPassword());
  EXPECT_TRUE(ui.Events().empty());
}

TEST_F(PasswordTest, ANewPasswordIsStoredTrimmedInOneOwnerOnlyRecordAndRequiredExactly) {
  SetUpPassword("  Open Sesame ");
  std::string expected(21, '\0');
  expected[0] = 11;
  expected.replace(1, 11, "Open Sesame");
  EXPECT_EQ(FileBytes(), expected);
  struct stat st {};
  ASSERT_EQ(::stat(std::string(PasswordFileName).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_FALSE(std::filesystem::exists(std::string(PasswordFileName) + ".tmp~"));

  ui.OnModal<TPWDlg>([](TPWDlg& d) {
    EXPECT_EQ(d.Caption(), "Password Required");
    EXPECT_TRUE(d.PWHelpButn->isHidden());
    d.Password->setText(" Open Sesame   ");  // blanks around it do not count
    d.SetModalResult(mrOk);
  });
  EXPECT_TRUE(CheckSystemPassword());
  EXPECT_FALSE(PWDlg->PWHelpButn->isHidden()) << "help comes back for the other callers";

  Type("open sesame", "Password Required");  // letter case counts
  ui.ExpectMessage(kWrongPassword, "Invalid Password").Icon(MsgIcon::Warning);
  EXPECT_FALSE(CheckSystemPassword());
  EXPECT_TRUE(ui.Done());
}

TEST_F(PasswordTest, CancellingTheStartUpDialogEndsTheProgramAndAWrongEntryIsToldFirst) {
  SetUpPassword("Kestrel");
  Type("", "Password Required", mrCancel);
  ui.ExpectMessage(kWrongPassword, "Invalid Password");
  EXPECT_FALSE(CheckSystemPassword());

  Type("Kestrel", "Password Required", mrCancel);  // right, but not confirmed: no message
  EXPECT_FALSE(CheckSystemPassword());
  EXPECT_TRUE(ui.Done());
}

TEST_F(PasswordTest, ALongPasswordIsCutToTwentyAndThoseTwentyAreWhatTheCheckWants) {
  const QString typed = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
  SetUpPassword(typed);
  EXPECT_EQ(FileBytes().substr(0, 21), "\x14" + typed.left(20).toStdString());

  Type(typed, "Password Required");  // the edit takes the first 20 again
  EXPECT_TRUE(CheckSystemPassword());
  Type(typed.left(20), "Password Required");
  EXPECT_TRUE(CheckSystemPassword());
  Type(typed.left(19), "Password Required");
  ui.ExpectMessage(kWrongPassword, "Invalid Password");
  EXPECT_FALSE(CheckSystemPassword());
  EXPECT_TRUE(ui.Done());
}

TEST_F(PasswordTest, TheSameSingleCharacterTwiceRemovesThePassword) {
  SetUpPassword("Kestrel");
  ExpectChangeOf("Kestrel");
  TypeNew("x", "x");
  ui.ExpectMessage(
      "You did not enter password. Any password has been cleared. This system is no longer password "
      "protected.",
      "Password Removed");
  PasswordSetup();
  EXPECT_FALSE(SystemPasswordIsSet());
  EXPECT_TRUE(CheckSystemPassword());
  EXPECT_TRUE(ui.Done());
}

TEST_F(PasswordTest, ChangingNeedsTheCurrentPasswordAndTwoMatchingEntries) {
  SetUpPassword("Kestrel");

  ui.ExpectMessage("A Password exists. Do you want to change it?", "Please Confirm").Answer(mrNo);
  PasswordSetup();

  ui.ExpectMessage("A Password exists. Do you want to change it?", "Please Confirm").Answer(mrYes);
  Type("kestrel", "Enter the Current Password");
  ui.ExpectMessage("You did not enter the correct password. Unable to change password.", "Incorrect Password")
      .Icon(MsgIcon::Warning);
  PasswordSetup();

  ExpectChangeOf("Kestrel");
  TypeNew("Falcon", "Falcom");
  ui.ExpectMessage("The two passwords do not match. Unable to setup password. Try again.", "Invalid Password")
      .Icon(MsgIcon::Warning);
  PasswordSetup();

  ExpectChangeOf("Kestrel");
  TypeNew("Falcon", "Falcon", mrCancel);
  PasswordSetup();
  EXPECT_EQ(ReadSystemPassword(nullptr), "Kestrel") << "nothing but a confirmed match changes it";

  ExpectChangeOf(" Kestrel ");
  TypeNew("Falcon", "Falcon");
  ui.ExpectMessage(kNewPasswordShown, "Password: Falcon");
  PasswordSetup();
  EXPECT_EQ(ReadSystemPassword(nullptr), "Falcon");
  EXPECT_TRUE(ui.Done());
}

TEST_F(PasswordTest, SetupCanBeDeclinedBeforeAnyPasswordIsAsked) {
  ui.ExpectMessage(kCreateWarning, "Please Confirm").Answer(mrNo);
  PasswordSetup();
  ui.ExpectMessage(kCreateWarning, "Please Confirm").Answer(mrYes);
  Type("Kestrel", "Password Setup", mrCancel);
  PasswordSetup();
  EXPECT_FALSE(SystemPasswordIsSet());
  EXPECT_TRUE(ui.Done());
}

TEST_F(PasswordTest, ADamagedPasswordFileLetsNobodyIn) {
  std::ofstream(std::string(PasswordFileName), std::ios::binary) << "\x07Kest";  // cut short
  Type("Kest", "Password Required");
  ui.ExpectMessage("The password file pv1confg.dat is damaged (too short).", "");
  EXPECT_FALSE(CheckSystemPassword());
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace forms
