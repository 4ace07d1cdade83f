#include "platform/ui/form_base.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/ui/application.h"

namespace platform::ui {
namespace {

QRect WorkArea(const QWidget& form) {
  QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

// The size the form will have on the screen, frame included, even before its first showing.
QSize OuterSize(QWidget& form) {
  if (!form.isVisible() && !form.testAttribute(Qt::WA_Resized)) form.adjustSize();
  return form.frameGeometry().size();
}

}  // namespace

void MoveToTopOfScreen(QWidget& form) {
  QRect area = WorkArea(form);
  QSize size = OuterSize(form);
  form.move(area.left() + (area.width() - size.width()) / 2, area.top());
}

void MoveToScreenCentre(QWidget& form) {
  QRect area = WorkArea(form);
  QSize size = OuterSize(form);
  form.move(area.left() + (area.width() - size.width()) / 2,
            area.top() + (area.height() - size.height()) / 2);
}

void MoveToCentreOf(QWidget& form, const QWidget& other) {
  QRect outer = other.frameGeometry();
  QSize size = OuterSize(form);
  form.move(outer.left() + (outer.width() - size.width()) / 2,
            outer.top() + (outer.height() - size.height()) / 2);
}

void BringToFront(QWidget& form) {
  if (form.isMinimized()) form.showNormal();
  form.raise();
  form.activateWindow();
}

int CaptionWidth(const QWidget& form) {
  // The icon at the left and minimise, maximise and close at the right, with their spacing.
  constexpr int kTitleBarRoom = 150;
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(form.windowTitle()) + kTitleBarRoom;
}

void WidenForCaption(QWidget& form) {
  const QRect area = WorkArea(form);
  const int wanted = area.isEmpty() ? CaptionWidth(form) : std::min(CaptionWidth(form), area.width());
  if (form.width() < wanted) form.resize(wanted, form.height());
}

void SetTabOrder(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

void ShowFormHelp(const QString& keyword, int context) {
  if (!keyword.isEmpty()) {
    Application->HelpKeyword(keyword);
  } else if (context != 0) {
    Application->HelpContext(context);
  }
}

}  // namespace platform::ui
