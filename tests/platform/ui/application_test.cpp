#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/support/ui_script.h"
#include "small_form.h"

namespace platform::ui {
namespace {

using testing_support::UiEvent;
using testing_support::UiScript;

// Sets the application's title for one test.
class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousTitle_ = Application->Title;
    Application->Title = "OV Kestrava 4";
  }
  void TearDown() override { Application->Title = previousTitle_; }

 private:
  QString previousTitle_;
};

TEST_F(ApplicationTest, AnErrorRaisedInAHandlerIsShownAndGoesNoFurther) {
  UiScript ui;
  ui.ExpectMessage("Add operation failed", "OV Kestrava 4").Icon(MsgIcon::Error).Buttons(MsgButtons::Ok);
  ui.ExpectMessage("Modify operation failed", "OV Kestrava 4").Icon(MsgIcon::Error);
  ui.ExpectMessage("An error of an unknown kind occurred.", "OV Kestrava 4");
  ui.ExpectMessage("Price \u20AC 5 refused", "OV Kestrava 4");  // the program's bytes are Windows-1252

  EXPECT_FALSE(RunEventHandler([] { throw std::runtime_error("Add operation failed"); }));
  EXPECT_TRUE(RunEventHandler([] {}));

  // Through the event loop: a button whose handler raises.
  QPushButton button;
  QObject::connect(&button, &QPushButton::clicked,
                   [] { throw std::runtime_error("Modify operation failed"); });
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_FALSE(RunEventHandler([] { throw 42; }));
  EXPECT_FALSE(RunEventHandler([] { throw std::runtime_error("Price \x80 5 refused"); }));
  EXPECT_TRUE(ui.Done());
}

TEST_F(ApplicationTest, AnErrorInsideAScriptedFormIsShownAndTheFormStaysOpen) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  ui.ExpectMessage("Add operation failed", "OV Kestrava 4");
  ui.OnModal<TSmallForm>([](TSmallForm& f) {
    f.FailBtnClick();
    ADD_FAILURE() << "not reached: the error ends the handler";
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);  // left open after the error, then closed
  EXPECT_TRUE(ui.Done());
}

TEST(ApplicationDeathTest, ABoxWithNoUserInterfaceStopsTheProgramInsteadOfWaiting) {
  if (QCoreApplication::instance()) GTEST_SKIP() << "needs a process without a QApplication";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        InstallUiDriver(nullptr);
        MessageBox("Unable to open database", "Customer Manager");
      },
      "No user interface to show the message box \"Unable to open database\"");
}

TEST_F(ApplicationTest, HelpSaysWhenNoHelpIsInstalled) {
  UiScript ui;
  QString previous = Application->HelpFile;
  Application->HelpFile = "";
  ui.ExpectMessage("No help is installed.", "OV Kestrava 4");
  Application->HelpJump("CustomerManager");
  Application->HelpFile = "no-such-file.hlp";
  EXPECT_FALSE(Application->HelpInstalled());
  ui.ExpectMessage("No help is installed.", "OV Kestrava 4");
  Application->HelpKeyword("NewCustomer");
  EXPECT_EQ(ui.Count(UiEvent::Kind::Help), 0);
  EXPECT_TRUE(ui.Done());
  Application->HelpFile = previous;
}

class ToolTipCounter : public QWidget {
 public:
  int toolTips = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) ++toolTips;
    return QWidget::event(e);
  }
};

TEST_F(ApplicationTest, ButtonHintsCanBeSwitchedOffForTheWholeProgram) {
  testing_support::EnsureGuiApplication();
  ToolTipCounter widget;
  widget.setToolTip("New");
  auto hover = [&] {
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    QCoreApplication::sendEvent(&widget, &help);
  };
  Application->SetShowHint(false);
  hover();
  EXPECT_EQ(widget.toolTips, 0);
  EXPECT_FALSE(Application->ShowHint());
  Application->SetShowHint(true);
  hover();
  EXPECT_EQ(widget.toolTips, 1);
}

TEST_F(ApplicationTest, ProcessMessagesRunsPendingWork) {
  testing_support::EnsureGuiApplication();
  bool ran = false;
  QMetaObject::invokeMethod(
      qApp, [&] { ran = true; }, Qt::QueuedConnection);
  EXPECT_FALSE(ran);
  Application->ProcessMessages();
  EXPECT_TRUE(ran);
}

TEST_F(ApplicationTest, WaitCursorNestsAndIsPutBackWhenAnErrorLeavesTheScope) {
  testing_support::EnsureGuiApplication();
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  try {
    WaitCursor outer;
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    { WaitCursor inner; }
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    throw std::runtime_error("print failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ApplicationTest, ClipboardTextAndBeep) {
  UiScript ui;
  SetClipboardText("Acme Tools\n12 Main Street\n\n\n");
  EXPECT_EQ(ClipboardText(), "Acme Tools\n12 Main Street\n\n\n");
  Beep();
  EXPECT_EQ(ui.Count(UiEvent::Kind::Beep), 1);
  EXPECT_TRUE(ui.Done());
}

TEST_F(ApplicationTest, CreateFormKeepsTheProgramsFormsUntilDestroyed) {
  testing_support::EnsureGuiApplication();
  TSmallForm* small = nullptr;
  Application->CreateForm(small);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(small->creates, 1);
  QPointer<QWidget> watch(small);
  Application->DestroyForms();
  EXPECT_TRUE(watch.isNull());
  EXPECT_EQ(small, nullptr);  // the global instance never points at a destroyed form
}

}  // namespace
}  // namespace platform::ui
