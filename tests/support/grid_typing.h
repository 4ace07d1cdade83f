#pragma once
// Typing into an editable grid as a user does: each key goes where the keyboard's focus is (the
// editor of the current cell once one is open, the grid before), and the events a key leaves
// behind are handled before the next one, as the event loop handles them between key presses.

#include <QString>
#include <functional>

class QAbstractItemView;
class QModelIndex;
class QWidget;

namespace testing_support {

// Types `keys` into the grid; "\t" is Tab, "\n" Enter, "\b" Backspace and "\x1b" Escape.
void TypeIntoGrid(QAbstractItemView& view, const QString& keys);
// The same keys in one burst, as a window that stopped reading keys for a moment gets them:
// nothing the event loop runs (a timer, a queued call) runs between them; it runs after the last.
void TypeBurstIntoGrid(QAbstractItemView& view, const QString& keys);
// The same, `withTheBurst` being what else reaches the window with the keys (a click on one of
// its buttons) after them.
void TypeBurstIntoGrid(QAbstractItemView& view, const QString& keys,
                       const std::function<void()>& withTheBurst);
// Clicks `cell`, the grid's current cell, and types the first key at once, the rest after the
// double-click time; then Enter takes the edit.
void TypeRightAfterAClick(QAbstractItemView& view, const QModelIndex& cell, const QString& keys);
// Keys sent where the application's keyboard focus is, as a window manager sends them:
// after the window got the keyboard back, to whatever it gave the focus to.
void TypeWhereTheFocusIs(const QString& keys);
// The window minimized and restored, the event loop running after each, as a window manager does it.
void MinimizeAndRestore(QWidget& window);
// Another window activated, then `window` again, the event loop running after each.
void ActivateAnotherWindowAndComeBack(QWidget& window);

}  // namespace testing_support
