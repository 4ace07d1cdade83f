#include "support/grid_typing.h"

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

void Send(QAbstractItemView& view, QChar key) {
  static const std::map<QChar, Qt::Key> kControls{
      {'\t', Qt::Key_Tab}, {'\n', Qt::Key_Return}, {'\b', Qt::Key_Backspace}, {'\x1b', Qt::Key_Escape}};
  const auto control = kControls.find(key);
  if (control != kControls.end())
    QTest::keyClick(FocusOf(view), control->second);
  else
    QTest::keyClick(FocusOf(view), key.toLatin1());
}

void Press(QAbstractItemView& view, QChar key) {
  Send(view, key);
  QCoreApplication::processEvents();
}

}  // namespace

void TypeIntoGrid(QAbstractItemView& view, const QString& keys) {
  for (QChar key : keys) Press(view, key);
}

void TypeBurstIntoGrid(QAbstractItemView& view, const QString& keys) {
  TypeBurstIntoGrid(view, keys, [] {});
}

void TypeBurstIntoGrid(QAbstractItemView& view, const QString& keys, const std::function<void()>& withTheBurst) {
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
