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
#include <array>
#include <functional>

#include "platform/ui/form.h"
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
// A menu item of a window that is not part of the program yet: present, and disabled.
QAction* AddUnavailableItem(QMenu* menu, const char* caption);

// The two panels of a manager's status bar: 0 the count of records, 1 messages.
std::array<QLabel*, 2> AddStatusPanels(QStatusBar& status);

// The title line: the open company's name, " - #" and its number, in its editor font and colour.
void ShowCompanyTitle(QLabel& title);
// The browser in the open company's browser font and colour.
void ApplyCompanyBrowserFont(storage::TRecBrowser& browser);

// What a manager does when its file cannot be opened on showing: says "Unable to open
// database", tells the program to end and closes the window once it is up. False then.
bool OpenedOrHalt(platform::ui::Form& window, bool opened);

// Enter and Return run `enter`, Delete runs `remove`; false for any other key.
bool HandleManagerKey(const QKeyEvent& event, const std::function<void()>& enter,
                      const std::function<void()>& remove);

// Changes the browser's order to key keyNr and keeps the highlighted record highlighted;
// `record` is the browser's record buffer.
template <class Record>
void SwitchBrowserKey(storage::TRecBrowser& browser, Record& record, int32_t keyNr,
                      storage::IsamKeyStr (*buildKey)(const Record&, int)) {
  if (!browser.DataSource()) return;
  const bool highlighted = ReadHighlightedRow(browser);
  const storage::IsamRecRef ref = browser.BrowserCurrentRef();
  const Record current = record;
  browser.BrowserSetKeyNumber(keyNr);
  if (!highlighted) return;
  record = current;
  browser.BrowserGoToKey(buildKey(record, keyNr), ref);
}

}  // namespace forms
