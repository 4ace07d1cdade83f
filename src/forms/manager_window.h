#pragma once
// The frame every manager window shares: the menu bar, a row of tool buttons, the title label,
// the record browser that grows and shrinks with the window, and the status bar; and the small
// builders of its menu items and tool buttons.

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <functional>

#include "storage/browser/rec_browser.h"

namespace forms {

// Lays the parts out on the window; returns the row the tool buttons go into.
QBoxLayout* LayOutManagerWindow(QWidget& window, QMenuBar* menu, QLabel* title, storage::TRecBrowser* browser,
                                QStatusBar* status);

// A text-only tool button at the end of the row, its caption also its hint (no click: a
// button whose action is connected elsewhere or not available).
QToolButton* AddToolButton(QWidget& window, QBoxLayout* row, const char* caption,
                           std::function<void()> click);

// Reads the highlighted row's record into the browser's record buffer; false when there is no
// row or it cannot be read.
bool ReadHighlightedRow(storage::TRecBrowser& browser);

// A window's handler as a call-back; none for a null handler (an item not available yet).
template <class Window>
std::function<void()> HandlerOf(Window* window, void (Window::*handler)()) {
  if (!handler) return {};
  return [window, handler] { (window->*handler)(); };
}

// A menu item running `triggered` (when given).
QAction* AddMenuItem(QMenu* menu, const char* caption, std::function<void()> triggered);

}  // namespace forms
