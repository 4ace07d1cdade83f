// Every window of the program fits a small screen of 1024 x 768 pixels, frame and title bar
// included, at the size it first shows and at the least its layout allows; and there it reads
// whole, in the desktop's font and in one a size larger; and Tab walks it as it reads. In every
// window and menu, an Alt letter reaches one command. Esc closes every window that has a Cancel
// or Close, wherever the focus is. Enter presses the push button that has the focus.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <typeinfo>

#include "exchange/product_import_window.h"
#include "exchange/record_export_dialog.h"
#include "forms/manager_window.h"
#include "invoicing/invoice_manager.h"
#include "main_form_fixture.h"
#include "platform/ui/form.h"
#include "products/product_manager.h"
#include "records/last_company.h"
#include "reports/label_wizard.h"
#include "storage/browser/rec_browser.h"
#include "support/alt_letters.h"
#include "support/screenshot.h"
#include "support/tab_order.h"
#include "support/whole_window.h"

namespace shell {
namespace {

using testing_support::UiScript;

using WindowSizesTest = MainFormTest;

// What a 1024 x 768 screen leaves a window: the frame's sides and its title bar off.
constexpr QSize kSmallScreenRoom(1024 - 2 * 8, 768 - 32);

// Shows the window off the screen, so that every layout has taken its place, while `look` looks
// at it.
void WhileShown(QWidget& window, const std::function<void()>& look) {
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  look();
  window.hide();
}

// The program started; `check` looks at each window made at start-up, the main window and the
// forms, in the order of their class names. Returns how many there were.
int WithEachStartUpWindow(const std::function<void(QWidget&, const std::string&)>& check) {
  UiScript ui;
  if (!StartUp()) {
    ADD_FAILURE() << "the program did not start";
    return 0;
  }
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
    const std::string name = testing_support::TypeName(typeid(*window));
    SCOPED_TRACE(name);
    ++windows;
    check(*window, name);
  }
  EXPECT_TRUE(ui.Done());
  return windows;
}

TEST_F(WindowSizesTest, EveryWindowFitsASmallScreen) {
  const int windows = WithEachStartUpWindow([](QWidget& window, const std::string& name) {
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    const QSize shown = window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
    for (QSize size : {least, shown}) {
      EXPECT_LE(size.width(), kSmallScreenRoom.width());
      EXPECT_LE(size.height(), kSmallScreenRoom.height());
    }
    WhileShown(window, [&] {
      testing_support::ExpectWholeWindow(window, name.c_str());
      testing_support::ExpectTabOrderReads(window, name);
    });
  });
  EXPECT_GE(windows, 15);  // the main window and the forms made at start-up
}

// The labels of the window that show the message, each of which must show all of it: at its
// width in one line, or wrapped onto lines that its height holds.
void ExpectMessageReadsWhole(const QWidget& window, const QString& message, const std::string& name) {
  int showing = 0;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->text().contains(message)) continue;
    ++showing;
    EXPECT_TRUE(label->isVisibleTo(&window)) << name << ": " << label->text().toStdString();
    if (label->wordWrap())
      EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name << ": the last lines are cut";
    else
      EXPECT_LE(label->sizeHint().width(), label->width()) << name << ": the end of the line is cut";
  }
  EXPECT_GE(showing, 1) << name;
}

// A message of any length, the system's reason with a long file name in it, wherever a window
// shows one: the header and the status line of the main window, the status lines of the managers
// and of the label wizard, the file line of the import windows. It reads whole, and the window
// still fits a small screen.
TEST_F(WindowSizesTest, ALongMessageReadsWholeWhereverAWindowShowsOne) {
  const QString message =
      "The company list /home/office/Kestrava/Company Files/Harbour Supplies and Chandlery Ltd/Accounts "
      "2026/Second Quarter/OVCOMP.DAT could not be read: Permission denied.";
  const auto tell = [&](QWidget& window) {
    if (auto* main = dynamic_cast<TMainForm*>(&window)) {
      main->ShowNoCompany(LastCompanyStatus::CompanyUnread, message.toStdString());
      main->SetStatusText(1, message);
    } else if (auto* manager = dynamic_cast<forms::ManagerWindow*>(&window)) {
      manager->SetStatusText(1, message);
    } else if (auto* invoices = dynamic_cast<invoicing::TInvEdit1*>(&window)) {
      invoices->SetStatusText(1, message);
    } else if (auto* products = dynamic_cast<products::TEditProd*>(&window)) {
      products->StatusPanel1->setText(message);
    } else if (auto* labels = dynamic_cast<reports::Tlblwiz*>(&window)) {
      labels->SetStatus(message);
    } else {
      return false;
    }
    return true;
  };
  int told = 0;
  WithEachStartUpWindow([&](QWidget& window, const std::string& name) {
    WhileShown(window, [&] {
      if (!tell(window)) return;
      ++told;
      // The status bars take their new height as their layouts' requests come round.
      for (int round = 0; round < 3; ++round) QApplication::processEvents();
      EXPECT_LE(window.width(), kSmallScreenRoom.width());
      EXPECT_LE(window.height(), kSmallScreenRoom.height());
      ExpectMessageReadsWhole(window, message, name);
      testing_support::SaveScreenshot(window.grab(), (name + " with a long message").c_str());
    });
  });
  EXPECT_EQ(told, 7);  // the main window, five managers and the label wizard

  // The import windows, made when asked for, show the chosen file's path and its count.
  exchange::TProdImport import;
  WhileShown(import, [&] {
    import.Label1->setText(message + " - 12 records.");
    QApplication::processEvents();
    EXPECT_LE(import.width(), kSmallScreenRoom.width());
    ExpectMessageReadsWhole(import, message, "the import window");
  });
  // The export window's count line says why a file cannot be opened.
  exchange::TCustExp& export_ = exchange::CreateCustExp();
  WhileShown(export_, [&] {
    export_.Label3->setText(message);
    for (int round = 0; round < 3; ++round) QApplication::processEvents();
    EXPECT_LE(export_.width(), kSmallScreenRoom.width());
    ExpectMessageReadsWhole(export_, message, "the export window");
  });
}

// A manager: a window over a record file, whose buttons are its row of commands.
bool HoldsRecordBrowser(const QWidget& window) {
  const QList<QWidget*> children = window.findChildren<QWidget*>();
  return std::any_of(children.begin(), children.end(),
                     [](QWidget* child) { return dynamic_cast<storage::TRecBrowser*>(child) != nullptr; });
}

// The window a menu belongs to, past the menus that hold it.
std::string OwnerOf(const QMenu& menu) {
  const QWidget* owner = menu.parentWidget();
  while (owner && qobject_cast<const QMenu*>(owner->window())) owner = owner->window()->parentWidget();
  return owner ? testing_support::TypeName(typeid(*owner->window())) : "no window";
}

TEST_F(WindowSizesTest, EveryAltLetterReachesOneCommand) {
  const int windows = WithEachStartUpWindow([](QWidget& window, const std::string& name) {
    WhileShown(window, [&] {
      // The vendor dialog's captions, word for word as its users know them, give its order address
      // and its OK one letter.
      using Shared = std::vector<std::pair<QString, QString>>;
      testing_support::ExpectOneCommandPerAltLetter(
          window, name, name == "purchasing::TVendEdit" ? Shared{{"&Order Address:", "&Ok"}} : Shared{});
      if (!HoldsRecordBrowser(window)) return;
      testing_support::ExpectEveryButtonHasALetter(window, name);
      // A tool bar's button reads as the window names it; its Alt letter is not marked.
      for (const QToolButton* tool : window.findChildren<QToolButton*>())
        if (tool->window() == &window)
          EXPECT_FALSE(tool->text().contains('&')) << name << ": \"" << tool->text().toStdString() << '"';
    });
  });
  EXPECT_GE(windows, 15);
  int menus = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
      ++menus;
      // The Customer menu keeps "&New" and "Export to Co&ntact Manager" as its users know them.
      const bool customerMenu = OwnerOf(*menu) == "customers::TDemoForm" && menu->title() == "&Customer";
      testing_support::ExpectOneItemPerLetter(*menu, OwnerOf(*menu),
                                              customerMenu ? std::optional(Qt::Key_N) : std::nullopt);
    }
  }
  EXPECT_GE(menus, 20);  // the menus of the main window and of the managers, their pop-ups
}

// A window whose commands include Cancel or Close, as a button or a menu item.
bool HasCancelOrClose(const QWidget& window) {
  auto cancelOrClose = [](QString text) {
    text.remove('&');
    return text == "Cancel" || text == "Close";
  };
  const auto buttons = window.findChildren<QAbstractButton*>();
  const auto actions = window.findChildren<QAction*>();
  return std::any_of(buttons.begin(), buttons.end(), [&](auto* b) { return cancelOrClose(b->text()); }) ||
         std::any_of(actions.begin(), actions.end(), [&](auto* a) { return cancelOrClose(a->text()); });
}

TEST_F(WindowSizesTest, EscapeClosesEveryWindowWithACancelOrCloseWhereverTheFocusIs) {
  int closable = 0;
  WithEachStartUpWindow([&](QWidget& window, const std::string& name) {
    if (&window == MainForm || !HasCancelOrClose(window)) return;
    ++closable;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    for (QWidget* stop : testing_support::TabStops(window)) {
      if (!window.isVisible()) window.show();
      QTest::keyClick(stop, Qt::Key_Escape);
      EXPECT_FALSE(window.isVisible()) << name << ": Esc in " << testing_support::Describe(*stop);
    }
    window.hide();
  });
  EXPECT_GE(closable, 15);
}

// Whether the key, typed on the button, presses it once. The button's signals are held back, so
// that nothing it stands for is done; made checkable for the while, its tick shows the press.
bool PressedOnceBy(QPushButton& button, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  const QSignalBlocker quiet(button);
  const bool checkable = button.isCheckable();
  const bool checked = button.isChecked();
  button.setCheckable(true);
  button.setFocus();
  QTest::keyClick(&button, key, modifiers);
  const bool pressedOnce = button.isChecked() != checked;
  button.setChecked(checked);
  button.setCheckable(checkable);
  return pressedOnce;
}

TEST_F(WindowSizesTest, EnterPressesThePushButtonThatHasTheFocus) {
  int buttons = 0;
  WithEachStartUpWindow([&](QWidget& window, const std::string& name) {
    WhileShown(window, [&] {
      for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (!button->isVisible() || !button->isEnabled() || !(button->focusPolicy() & Qt::TabFocus)) continue;
        ++buttons;
        EXPECT_TRUE(PressedOnceBy(*button, Qt::Key_Return, Qt::NoModifier))
            << name << ": Return on " << testing_support::Describe(*button);
        EXPECT_TRUE(PressedOnceBy(*button, Qt::Key_Enter, Qt::KeypadModifier))
            << name << ": Enter on " << testing_support::Describe(*button);
      }
    });
  });
  EXPECT_GE(buttons, 100);
}

}  // namespace
}  // namespace shell
