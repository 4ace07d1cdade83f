#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/ui/application.h"
#include "platform/ui/form_base.h"
#include "platform/ui/message_box.h"
#include "platform/ui/qt_ui_driver.h"
#include "platform/ui/support/ui_script.h"

namespace platform::ui {
namespace {

using testing_support::UiEvent;
using testing_support::UiScript;

TEST(MessageBoxTest, ScriptAnswersBoxesInOrderAndRecordsThem) {
  UiScript ui;
  ui.ExpectMessage("Do you want to include the customer addresses on this list?", "Customer List")
      .Buttons(MsgButtons::YesNoCancel)
      .Answer(mrNo);
  ui.ExpectMessage("Customers will be sorted by name. Would you rather sort by customer number?",
                   "Customer Sort")
      .DefaultButton(mrNo);  // no answer given: the default button is pressed
  ui.ExpectMessage("Cannot get a lock.  Abort?", "Customer").Answer(mrYes);

  EXPECT_EQ(MessageBox("Do you want to include the customer addresses on this list?", "Customer List",
                       MsgButtons::YesNoCancel),
            mrNo);
  EXPECT_EQ(MessageBox("Customers will be sorted by name. Would you rather sort by customer number?",
                       "Customer Sort", MsgButtons::YesNo, MsgIcon::None, mrNo),
            mrNo);
  EXPECT_EQ(MessageBox("Cannot get a lock.  Abort?", "Customer", MsgButtons::YesNo, MsgIcon::Question),
            mrYes);
  EXPECT_TRUE(ui.Done());
  ASSERT_EQ(ui.Count(UiEvent::Kind::Message), 3);
  EXPECT_EQ(ui.Events()[0].detail, "Customer List");
  EXPECT_EQ(ui.Events()[1].answer, "mrNo");
  EXPECT_EQ(ui.Events()[2].answer, "mrYes");
}

TEST(MessageBoxTest, UnexpectedBoxesFailAndAreDismissedSafely) {
  struct Case {
    MsgButtons buttons;
    TModalResult answer;
  };
  // A retry prompt must not be answered Retry, or a test could loop on it.
  for (Case c :
       {Case{MsgButtons::Ok, mrOk}, Case{MsgButtons::OkCancel, mrCancel}, Case{MsgButtons::YesNo, mrNo},
        Case{MsgButtons::YesNoCancel, mrCancel}, Case{MsgButtons::AbortRetryIgnore, mrAbort}}) {
    UiScript ui;
    TModalResult answer = mrNone;
    EXPECT_NONFATAL_FAILURE(answer = MessageBox("Surprise", "Title", c.buttons),
                            "Unexpected message box \"Surprise\" titled \"Title\"");
    EXPECT_EQ(answer, c.answer);
    EXPECT_FALSE(ui.Done());
    EXPECT_FALSE(ui.Events().at(0).expected);
  }
}

TEST(MessageBoxTest, MismatchesFailAndNameWhatWasExpected) {
  UiScript ui;
  ui.ExpectMessage("You must enter a customer name.", "Customer Name");
  EXPECT_NONFATAL_FAILURE(MessageBox("You must enter a customer number.", "Customer Number"),
                          "expected message box \"You must enter a customer name.\"");
  // A box that did not match leaves the expectation for the box that does.
  EXPECT_EQ(MessageBox("You must enter a customer name.", "Customer Name"), mrOk);
  EXPECT_FALSE(ui.Done());  // the mismatch stays on record

  UiScript strict;
  strict.ExpectMessage("Delete?", "Delete Customer").Icon(MsgIcon::Warning);
  EXPECT_NONFATAL_FAILURE(MessageBox("Delete?", "Delete Customer", MsgButtons::YesNo, MsgIcon::Question),
                          "expected icon warning");
  strict.ExpectMessage("Delete?", "Delete Customer").Buttons(MsgButtons::YesNo);
  EXPECT_NONFATAL_FAILURE(MessageBox("Delete?", "Delete Customer", MsgButtons::OkCancel),
                          "expected buttons Yes/No");
  strict.ExpectMessage("Delete?", "Delete Customer").Answer(mrYes);
  TModalResult answer = mrNone;
  EXPECT_NONFATAL_FAILURE(answer = MessageBox("Delete?", "Delete Customer"), "has no button mrYes");
  EXPECT_EQ(answer, mrOk);
  EXPECT_FALSE(strict.Done());
}

TEST(MessageBoxTest, PendingExpectationsKeepTheScriptUndone) {
  UiScript ui;
  ui.ExpectMessage("Never shown", "Title");
  ui.OnModal<Form>([](Form&) {});
  EXPECT_FALSE(ui.Done());
  ASSERT_EQ(ui.Pending().size(), 2u);
  EXPECT_EQ(ui.Pending()[1], "modal form platform::ui::Form");
}

TEST(MessageBoxTest, WithNoScriptInstalledABoxFailsTheTestInsteadOfWaiting) {
  testing_support::EnsureGuiApplication();
  TModalResult answer = mrNone;
  EXPECT_NONFATAL_FAILURE(
      answer = MessageBox("Index file is defective.  Rebuild?", "Customer", MsgButtons::YesNo),
      "no UiScript installed");
  EXPECT_EQ(answer, mrNo);
}

TEST(MessageBoxTest, ShowMessageUsesTheApplicationTitle) {
  UiScript ui;
  QString previous = Application->Title;
  Application->Title = "OV Kestrava 4";
  ui.ExpectMessage("Please Setup Your Company.", "OV Kestrava 4").Icon(MsgIcon::None).Buttons(MsgButtons::Ok);
  ShowMessage("Please Setup Your Company.");
  EXPECT_TRUE(ui.Done());
  Application->Title = previous;
}

TEST(MessageBoxTest, ButtonSetsDefaultsAndDismissal) {
  EXPECT_EQ(DefaultButtonOf({"t", "c", MsgIcon::None, MsgButtons::YesNo, mrNo}), mrNo);
  EXPECT_EQ(DefaultButtonOf({"t", "c", MsgIcon::None, MsgButtons::YesNo, mrNone}), mrYes);
  EXPECT_EQ(DefaultButtonOf({"t", "c", MsgIcon::None, MsgButtons::OkCancel, mrNo}),
            mrOk);  // not a button of it
  EXPECT_EQ(DefaultButtonOf({"t", "c", MsgIcon::None, MsgButtons::AbortRetryIgnore, mrIgnore}), mrIgnore);
  EXPECT_TRUE(HasButton(MsgButtons::YesNoCancel, mrCancel));
  EXPECT_FALSE(HasButton(MsgButtons::YesNo, mrCancel));
}

TEST(MessageBoxTest, QtBoxCarriesTextTitleIconButtonsAndDefault) {
  testing_support::EnsureGuiApplication();
  auto box = BuildMessageBox({"This customer has a balance due. Unable to delete.", "Delete Customer",
                              MsgIcon::Warning, MsgButtons::YesNo, mrNo});
  EXPECT_EQ(box->text(), "This customer has a balance due. Unable to delete.");
  EXPECT_EQ(box->windowTitle(), "Delete Customer");
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
  EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));

  auto ari = BuildMessageBox({"Disk error", "Backup", MsgIcon::Error, MsgButtons::AbortRetryIgnore, mrNone});
  EXPECT_EQ(ari->icon(), QMessageBox::Critical);
  EXPECT_EQ(static_cast<QAbstractButton*>(ari->defaultButton()), ari->button(QMessageBox::Abort));
  EXPECT_EQ(ari->escapeButton(), ari->button(QMessageBox::Abort));
  EXPECT_EQ(ResultOfButton(QMessageBox::Ignore), mrIgnore);
  EXPECT_EQ(ResultOfButton(QMessageBox::Retry), mrRetry);

  // A short text under a long title: the box is wide enough for the whole title.
  auto titled = BuildMessageBox({"Done.", "Inventory Reorder Report by Storage Location",
                                 MsgIcon::Information, MsgButtons::Ok, mrNone});
  titled->show();
  QApplication::processEvents();
  EXPECT_GE(titled->width(), CaptionWidth(*titled));
}

TEST(MessageBoxTest, QtBoxAnsweredWithEnterGivesItsDefaultButton) {
  testing_support::EnsureGuiApplication();
  UiDriver* previous = InstallUiDriver(nullptr);
  QTimer press;
  press.setSingleShot(true);
  QObject::connect(&press, &QTimer::timeout, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    QTest::keyClick(box, Qt::Key_Return);
  });
  press.start(0);
  QTimer safety;  // ends the box should the first timer fail, so nothing hangs
  safety.setSingleShot(true);
  QObject::connect(&safety, &QTimer::timeout, [] {
    if (auto* box = QApplication::activeModalWidget()) box->close();
  });
  safety.start(5000);
  TModalResult answer = MessageBox("Are you sure you want to delete this customer?", "Delete",
                                   MsgButtons::YesNo, MsgIcon::None, mrNo);
  InstallUiDriver(previous);
  EXPECT_EQ(answer, mrNo);
}

}  // namespace
}  // namespace platform::ui
