// Every window of the program fits a small screen of 1024 x 768 pixels, frame and title bar
// included, at the size it first shows and at the least its layout allows; and there it reads
// whole, in the desktop's font and in one a size larger; and Tab walks it as it reads.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <typeinfo>

#include "main_form_fixture.h"
#include "platform/ui/form.h"
#include "support/tab_order.h"
#include "support/whole_window.h"

namespace shell {
namespace {

using testing_support::UiScript;

using WindowSizesTest = MainFormTest;

// What a 1024 x 768 screen leaves a window: the frame's sides and its title bar off.
constexpr QSize kSmallScreenRoom(1024 - 2 * 8, 768 - 32);

TEST_F(WindowSizesTest, EveryWindowFitsASmallScreen) {
  UiScript ui;
  ASSERT_TRUE(StartUp());
  // The managers, shown, give the open company the files it has not got yet; in the order of
  // their names, which the windows are taken in.
  for (const char* file : {"customer", "invoice", "product", "Purchase Order", "vendor"})
    ui.ExpectMessage(QString("I am going to create a new, empty %1 file for this company.").arg(file),
                     QString(file) == "Purchase Order" ? "New Purchase Order File" : "New Company");
  QWidgetList all = QApplication::topLevelWidgets();
  std::sort(all.begin(), all.end(), [](QWidget* a, QWidget* b) {
    return testing_support::TypeName(typeid(*a)) < testing_support::TypeName(typeid(*b));
  });
  int windows = 0;
  for (QWidget* window : all) {
    if (!dynamic_cast<platform::ui::Form*>(window) && window != MainForm) continue;
    SCOPED_TRACE(testing_support::TypeName(typeid(*window)));
    ++windows;
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    const QSize shown = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    for (QSize size : {least, shown}) {
      EXPECT_LE(size.width(), kSmallScreenRoom.width());
      EXPECT_LE(size.height(), kSmallScreenRoom.height());
    }
    // Shown off the screen, so that every layout has taken its place.
    window->setAttribute(Qt::WA_DontShowOnScreen);
    window->show();
    const std::string name = testing_support::TypeName(typeid(*window));
    testing_support::ExpectWholeWindow(*window, name.c_str());
    testing_support::ExpectTabOrderReads(*window, name);
    window->hide();
  }
  EXPECT_GE(windows, 15);  // the main window and the forms made at start-up
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace shell
