// Every window of the program fits a small screen of 1024 x 768 pixels, frame and title bar
// included, at the size it first shows and at the least its layout allows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <typeinfo>

#include "main_form_fixture.h"
#include "platform/ui/form.h"

namespace shell {
namespace {

using testing_support::UiScript;

using WindowSizesTest = MainFormTest;

// What a 1024 x 768 screen leaves a window: the frame's sides and its title bar off.
constexpr QSize kSmallScreenRoom(1024 - 2 * 8, 768 - 32);

TEST_F(WindowSizesTest, EveryWindowFitsASmallScreen) {
  UiScript ui;
  ASSERT_TRUE(StartUp());
  int windows = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!dynamic_cast<platform::ui::Form*>(window) && window != MainForm) continue;
    SCOPED_TRACE(testing_support::TypeName(typeid(*window)));
    ++windows;
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    const QSize shown = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    for (QSize size : {least, shown}) {
      EXPECT_LE(size.width(), kSmallScreenRoom.width());
      EXPECT_LE(size.height(), kSmallScreenRoom.height());
    }
  }
  EXPECT_GE(windows, 15);  // the main window and the forms made at start-up
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace shell
