#include "support/whole_window.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QWidget>

#include "support/screenshot.h"

namespace testing_support {
namespace {

// Children of a scroll area's viewport scroll: they may lie beyond it.
bool Scrolls(const QWidget& parent) {
  const auto* area = qobject_cast<const QAbstractScrollArea*>(parent.parentWidget());
  return area && area->viewport() == &parent;
}

std::string Describe(const QWidget& widget) {
  std::string text = widget.metaObject()->className();
  if (!widget.objectName().isEmpty()) text += " " + widget.objectName().toStdString();
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    text += " \"" + label->text().toStdString() + "\"";
  if (const QWidget* parent = widget.parentWidget())
    text += " in " + std::string(parent->metaObject()->className());
  return text;
}

// The window laid out afresh at its size, as it is after a font change has gone round; also a
// window that is not on the screen (whose resizes wait for its showing), outer layouts first.
void LayOut(QWidget& window) {
  QApplication::processEvents();
  QList<QLayout*> layouts = window.findChildren<QLayout*>();
  if (window.layout()) layouts.prepend(window.layout());
  for (QLayout* layout : layouts) {
    layout->invalidate();
    layout->activate();
  }
  QApplication::processEvents();
}

void ExpectNothingCut(QWidget& window, const std::string& where) {
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (child->isWindow() || !child->isVisibleTo(&window)) continue;
    const QWidget& parent = *child->parentWidget();
    // Qt's own parts of a composite widget (named "qt_...") lie where their owner wants them.
    if (!Scrolls(parent) && !child->objectName().startsWith("qt_")) {
      EXPECT_TRUE(parent.rect().contains(child->geometry()))
          << where << ": " << Describe(*child) << " lies outside its parent";
    }
    const auto* label = qobject_cast<const QLabel*>(child);
    if (label && !label->wordWrap() && !label->text().isEmpty()) {
      EXPECT_LE(label->sizeHint().width(), label->width())
          << where << ": the text of " << Describe(*child) << " is cut";
    }
  }
}

}  // namespace

void ExpectWholeWindow(QWidget& window, const char* name) {
  LayOut(window);
  ExpectNothingCut(window, std::string(name) + " in the desktop's font");
  SaveScreenshot(window.grab(), name);
  const QFont desktop = QApplication::font();
  QFont larger = desktop;
  larger.setPointSizeF(desktop.pointSizeF() + 1);
  QApplication::setFont(larger);
  LayOut(window);
  ExpectNothingCut(window, std::string(name) + " in a font one size larger");
  QApplication::setFont(desktop);
  LayOut(window);
}

}  // namespace testing_support
