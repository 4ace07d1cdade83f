#include "support/tab_order.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLayout>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace testing_support {
namespace {

// Whether Tab should stop at the widget: one of the window's own, shown, enabled, taking Tab focus.
bool TakesTab(QWidget& window, QWidget* widget) {
  return !widget->isWindow() && window.isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
         !widget->focusProxy() && widget->isVisibleTo(&window) && widget->isEnabled();
}

}  // namespace

std::vector<QWidget*> TabStops(QWidget& window) {
  std::vector<QWidget*> stops;
  for (QWidget* widget = window.nextInFocusChain(); widget != &window; widget = widget->nextInFocusChain())
    if (TakesTab(window, widget)) stops.push_back(widget);
  return stops;
}

namespace {

// The layouts from `layout` down to the one that holds the widget, outermost first; empty when
// the widget is not in it.
std::vector<QLayout*> LayoutsTo(QLayout* layout, const QWidget* widget) {
  if (!layout) return {};
  if (layout->indexOf(widget) >= 0) return {layout};
  for (int i = 0; i < layout->count(); ++i) {
    std::vector<QLayout*> path = LayoutsTo(layout->itemAt(i)->layout(), widget);
    if (!path.empty()) {
      path.insert(path.begin(), layout);
      return path;
    }
  }
  return {};
}

// A block Tab reads as a whole among its neighbours: a widget, or a layout nested in another
// (a column of fields beside another, a row of buttons); `at` is its top left in the window.
struct Block {
  const void* what;
  QPoint at;
};

// The widget and the blocks it lies in, innermost first, up to the window.
std::vector<Block> Blocks(QWidget* widget) {
  QWidget* window = widget->window();
  std::vector<Block> blocks{{widget, widget->mapTo(window, QPoint(0, 0))}};
  for (QWidget* child = widget; child != window; child = child->parentWidget()) {
    QWidget* parent = child->parentWidget();
    const std::vector<QLayout*> layouts = LayoutsTo(parent->layout(), child);
    for (std::size_t i = layouts.size(); i-- > 1;)
      blocks.push_back({layouts[i], parent->mapTo(window, layouts[i]->geometry().topLeft())});
    blocks.push_back({parent, parent->mapTo(window, QPoint(0, 0))});
  }
  return blocks;
}

// Whether Tab reads on from one widget to the next. They are compared as the blocks that stand
// for them within the innermost block both lie in. A widget that holds the next (a checked group
// box) is read before it.
bool ReadsAfter(QWidget* from, QWidget* to, int halfLine) {
  const std::vector<Block> a = Blocks(from);
  const std::vector<Block> b = Blocks(to);
  std::size_t i = a.size() - 1, j = b.size() - 1;
  while (i > 0 && j > 0 && a[i - 1].what == b[j - 1].what) --i, --j;
  if (i == 0 || j == 0) return i == 0;
  const QPoint start = a[i - 1].at, next = b[j - 1].at;
  if (std::abs(next.y() - start.y()) <= halfLine) return next.x() > start.x();
  return next.y() > start.y();
}

}  // namespace

std::string Describe(const QWidget& widget) {
  std::string text = widget.metaObject()->className();
  if (!widget.objectName().isEmpty()) text += " " + widget.objectName().toStdString();
  const QVariant caption = widget.property("text");
  if (caption.canConvert<QString>() && !caption.toString().isEmpty())
    text += " \"" + caption.toString().toStdString() + "\"";
  const QPoint at = widget.mapTo(widget.window(), QPoint(0, 0));
  return text + " at " + std::to_string(at.x()) + "," + std::to_string(at.y());
}

namespace {

void ExpectStopsRead(QWidget& window, const std::string& where) {
  const std::vector<QWidget*> stops = TabStops(window);
  // A focus chain broken into loops leaves widgets out of the window's loop.
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    EXPECT_TRUE(!TakesTab(window, widget) || std::find(stops.begin(), stops.end(), widget) != stops.end())
        << where << ": Tab never reaches " << Describe(*widget);
  }
  const int halfLine = window.fontMetrics().height() / 2;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    EXPECT_TRUE(ReadsAfter(stops[i - 1], stops[i], halfLine))
        << where << ": Tab goes from " << Describe(*stops[i - 1]) << " back to " << Describe(*stops[i]);
  }
}

}  // namespace

void ExpectTabOrderReads(QWidget& window, const std::string& where) {
  ExpectStopsRead(window, where);
  for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
    if (!tabs->isVisibleTo(&window)) continue;
    const int current = tabs->currentIndex();
    for (int page = 0; page < tabs->count(); ++page) {
      if (page == current || !tabs->isTabEnabled(page)) continue;
      tabs->setCurrentIndex(page);
      ExpectStopsRead(window, where + ", page \"" + tabs->tabText(page).toStdString() + "\"");
    }
    tabs->setCurrentIndex(current);
  }
}

}  // namespace testing_support
