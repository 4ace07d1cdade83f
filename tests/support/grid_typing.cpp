#include "support/grid_typing.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <map>

namespace testing_support {

namespace {

QWidget* FocusOf(QAbstractItemView& view) {
  QWidget* editor = view.indexWidget(view.currentIndex());
  return editor ? editor : &view;
}

void SendTo(QWidget* widget, QChar key) {
  static const std::map<QChar, Qt::Key> kControls{
      {'\t', Qt::Key_Tab}, {'\n', Qt::Key_Return}, {'\b', Qt::Key_Backspace}, {'\x1b', Qt::Key_Escape}};
  const auto control = kControls.find(key);
  if (control != kControls.end())
    QTest::keyClick(widget, control->second);
  else
    QTest::keyClick(widget, key.toLatin1());
}

void Send(QAbstractItemView& view, QChar key) {
  SendTo(FocusOf(view), key);
}

void Press(QAbstractItemView& view, QChar key) {
  Send(view, key);
  QCoreApplication::processEvents();
}

// Another window takes the keyboard, the window is minimized and restored if `minimized`, and
// the window takes the keyboard back; the event loop runs after each step.
void LeaveAndComeBack(QWidget& window, bool minimized) {
  QWidget other;
  other.show();
  other.activateWindow();
  QTest::qWait(50);
  if (minimized) {
    window.showMinimized();
    QTest::qWait(50);
    other.hide();
    window.showNormal();
  }
  window.activateWindow();
  QTest::qWait(50);
}

}  // namespace

void TypeIntoGrid(QAbstractItemView& view, const QString& keys) {
  for (QChar key : keys) Press(view, key);
}

void TypeWhereTheFocusIs(const QString& keys) {
  for (QChar key : keys) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no widget has the keyboard for " << key.toLatin1();
    SendTo(focus, key);
    QCoreApplication::processEvents();
  }
}

void MinimizeAndRestore(QWidget& window) {
  // As from the task bar: another window takes the keyboard, then the window goes down.
  LeaveAndComeBack(window, true);
}

void ActivateAnotherWindowAndComeBack(QWidget& window) {
  LeaveAndComeBack(window, false);
}

void TypeBurstIntoGrid(QAbstractItemView& view, const QString& keys) {
  TypeBurstIntoGrid(view, keys, [] {});
}

void TypeBurstIntoGrid(QAbstractItemView& view, const QString& keys,
                       const std::function<void()>& withTheBurst) {
  for (QChar key : keys) Send(view, key);
  withTheBurst();
  QCoreApplication::processEvents();
}

void TypeRightAfterAClick(QAbstractItemView& view, const QModelIndex& cell, const QString& keys) {
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(cell).center());
  TypeIntoGrid(view, keys.left(1));
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  TypeIntoGrid(view, keys.mid(1) + "\n");
}

}  // namespace testing_support
