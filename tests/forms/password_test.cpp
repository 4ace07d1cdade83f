#include "records/password.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <QCoreApplication>
#include <QTest>

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

  Type(typed, "Password Required");  // cut to the first 20 again
  EXPECT_TRUE(CheckSystemPassword());
  Type(typed.left(20), "Password Required");
  EXPECT_TRUE(CheckSystemPassword());
  Type(typed.left(19), "Password Required");
  ui.ExpectMessage(kWrongPassword, "Invalid Password");
  EXPECT_FALSE(CheckSystemPassword());
  EXPECT_TRUE(ui.Done());
}

// Blanks typed before a password of 20 characters cost it none of them: the entry is trimmed
// first, then cut to what the file keeps; typed in one burst and with the events let through
// between the keys.
TEST_F(PasswordTest, BlanksBeforeALongPasswordAreTrimmedBeforeItIsCutToTwenty) {
  const QString typed = "  ABCDEFGHIJKLMNOPQRST";
  for (bool paced : {false, true}) {
    SCOPED_TRACE(paced ? "paced" : "one burst");
    ASSERT_TRUE(RemoveSystemPassword(nullptr));
    ui.ExpectMessage(kCreateWarning, "Please Confirm").Answer(mrYes);
    for (const char* caption : {"Password Setup", "Re-enter Your Password"})
      ui.OnModal<TPWDlg>([=](TPWDlg& d) {
        EXPECT_EQ(d.Caption(), caption);
        for (QChar key : typed) {
          QTest::keyClicks(d.Password, QString(key));
          if (paced) QCoreApplication::processEvents();
        }
        d.SetModalResult(mrOk);
      });
    ui.ExpectMessage(kNewPasswordShown, "Password: ABCDEFGHIJKLMNOPQRST");
    PasswordSetup();
    EXPECT_EQ(ReadSystemPassword(nullptr), "ABCDEFGHIJKLMNOPQRST");
    Type(typed, "Password Required");
    EXPECT_TRUE(CheckSystemPassword());
  }
  EXPECT_TRUE(ui.Done());
}

// The file keeps Windows-1252 text: a password with characters outside it would be kept with "?"
// in their places, and any other such characters would then open the program. Setup refuses it and
// keeps the password as it was; at the check such an entry is never the password, even against a
// file that holds "?" there.
TEST_F(PasswordTest, CharactersThePasswordFileCannotHoldAreRefused) {
  const QString refused =
      "\"\u5BC6\", \"\u7801\" cannot be stored in the data files and was not entered. Only the characters of "
      "Western European text (Windows-1252) can be used. The password was not changed.";
  ui.ExpectMessage(kCreateWarning, "Please Confirm").Answer(mrYes);
  Type(QString::fromUtf8("\u5BC6\u7801ab"), "Password Setup");
  ui.ExpectMessage(refused, "Invalid Password").Icon(MsgIcon::Warning);
  PasswordSetup();
  EXPECT_FALSE(SystemPasswordIsSet());

  ASSERT_TRUE(WriteSystemPassword("??ab", nullptr));  // as such a setup once left it
  Type(QString::fromUtf8("\u65E5\u672Cab"), "Password Required");
  ui.ExpectMessage(kWrongPassword, "Invalid Password").Icon(MsgIcon::Warning);
  EXPECT_FALSE(CheckSystemPassword());
  Type("??ab", "Password Required");
  EXPECT_TRUE(CheckSystemPassword());
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
