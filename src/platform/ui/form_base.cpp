#include "platform/ui/form_base.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

// Presses its button on Enter or Return typed on it.
class EnterPressesButton : public QObject {
 public:
  explicit EnterPressesButton(QPushButton* button) : QObject(button), button_(button) {
    button->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    button_->click();
    return true;
  }

 private:
  QPushButton* button_;
};

}  // namespace

void PressButtonsOnEnter(QWidget& window) {
  static const char* const kPressedOnEnter = "kestravaPressedOnEnter";
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (button->property(kPressedOnEnter).toBool()) continue;
    button->setProperty(kPressedOnEnter, true);
    new EnterPressesButton(button);
    if (!button->isDefault()) button->setAutoDefault(false);
  }
}

void SetTabOrder(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

namespace {

// The widgets taking Tab focus in the layout, in the order it reads in (see SetTabOrderAsLaidOut).
void AddTabStopsOf(QLayout& layout, std::vector<QWidget*>& stops) {
  struct Cell {
    int Row;
    int Column;
    QLayoutItem* Item;
  };
  std::vector<Cell> cells;
  auto* grid = qobject_cast<QGridLayout*>(&layout);
  for (int i = 0; i < layout.count(); ++i) {
    Cell cell{i, 0, layout.itemAt(i)};
    int rowSpan = 0, columnSpan = 0;
    if (grid) grid->getItemPosition(i, &cell.Row, &cell.Column, &rowSpan, &columnSpan);
    cells.push_back(cell);
  }
  std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
    return std::pair(a.Row, a.Column) < std::pair(b.Row, b.Column);
  });
  for (const Cell& cell : cells) {
    if (QLayout* inner = cell.Item->layout()) AddTabStopsOf(*inner, stops);
    QWidget* widget = cell.Item->widget();
    if (!widget) continue;
    if (widget->focusPolicy() & Qt::TabFocus) stops.push_back(widget);
    if (widget->layout()) AddTabStopsOf(*widget->layout(), stops);
  }
}

}  // namespace

void SetTabOrderAsLaidOut(QWidget& window) {
  if (!window.layout()) return;
  std::vector<QWidget*> stops;
  AddTabStopsOf(*window.layout(), stops);
  for (std::size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1], stops[i]);
}

void ShowFormHelp(const QString& keyword, int context) {
  if (!keyword.isEmpty()) {
    Application->HelpKeyword(keyword);
  } else if (context != 0) {
    Application->HelpContext(context);
  }
}

}  // namespace platform::ui
