#include "platform/ui/desktop.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>

#include "platform/ui/ui_driver.h"

namespace platform::ui {

WaitCursor::WaitCursor() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    set_ = true;
  }
}

WaitCursor::~WaitCursor() {
  if (set_ && QCoreApplication::instance()) QGuiApplication::restoreOverrideCursor();
}

void SetClipboardText(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}

QString ClipboardText() {
  return QGuiApplication::clipboard()->text();
}

void Beep() {
  CurrentUiDriver().Beep();
}

}  // namespace platform::ui
