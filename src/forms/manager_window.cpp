#include "forms/manager_window.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace forms {

QBoxLayout* LayOutManagerWindow(QWidget& window, QMenuBar* menu, QLabel* title, storage::TRecBrowser* browser,
                                QStatusBar* status) {
  auto* layout = new QVBoxLayout(&window);
  layout->setMenuBar(menu);
  auto* tools = new QHBoxLayout;
  layout->addLayout(tools);
  layout->addWidget(title);
  layout->addWidget(browser, 1);
  layout->addWidget(status);
  return tools;
}

QToolButton* AddToolButton(QWidget& window, QBoxLayout* row, const char* caption,
                           std::function<void()> click) {
  auto* button = new QToolButton(&window);
  button->setText(caption);
  button->setToolTip(QString(caption).remove('&'));
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  if (click) QObject::connect(button, &QToolButton::clicked, std::move(click));
  row->addWidget(button);
  return button;
}

bool ReadHighlightedRow(storage::TRecBrowser& browser) {
  if (browser.BrowserCurrentRef() < 1) return false;
  int32_t status = 0;
  return browser.BrowserReadCurrent(status) == 0 && status == 0;
}

QAction* AddMenuItem(QMenu* menu, const char* caption, std::function<void()> triggered) {
  QAction* item = menu->addAction(caption);
  if (triggered) QObject::connect(item, &QAction::triggered, std::move(triggered));
  return item;
}

}  // namespace forms
