#pragma once
// Tab walks a window as it reads: top to bottom, and along a row left to right. The check follows
// the focus chain over the widgets Tab stops at (shown, enabled, taking Tab focus), on every page of
// every tab widget; each stop must lie below the one before or on its row to its right (a row
// allows half a line's difference). Widgets inside a tab page, a group box or a nested layout (a
// column of fields beside another) are judged within it, and it as a whole among its neighbours.
// The last stop may wrap back to the first. Tab must reach every such widget.

#include <string>
#include <vector>

class QWidget;

namespace testing_support {

void ExpectTabOrderReads(QWidget& window, const std::string& where);
// The widgets Tab stops at, in the order it takes them from the window's first.
std::vector<QWidget*> TabStops(QWidget& window);
// A widget as a failure names it: its class, name, text and place in its window.
std::string Describe(const QWidget& widget);

}  // namespace testing_support
