#include "forms/manager_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "forms/browser_font.h"
#include "forms/font_choice.h"
#include "forms/halt_program.h"
#include "platform/print/colors.h"
#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"

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

QAction* AddUnavailableItem(QMenu* menu, const char* caption) {
  QAction* item = AddMenuItem(menu, caption, {});
  item->setEnabled(false);
  return item;
}

std::array<QLabel*, 2> AddStatusPanels(QStatusBar& status) {
  std::array<QLabel*, 2> panels{};
  for (std::size_t panel = 0; panel < panels.size(); ++panel) {
    panels[panel] = new QLabel(&status);
    status.addWidget(panels[panel], panel == 0 ? 0 : 1);
  }
  panels[0]->setMinimumWidth(160);
  status.setSizeGripEnabled(false);
  return panels;
}

void ShowCompanyTitle(QLabel& title) {
  using records::CurrentCompany;
  title.setFont(CompanyEditorFont(CurrentCompany, title.font()));
  QPalette palette = title.palette();
  palette.setColor(QPalette::WindowText, CompanyEditorColor(CurrentCompany));
  title.setPalette(palette);
  title.setText(platform::text::ToQString(CurrentCompany.CompanyName.Get() + " - #" +
                                          CurrentCompany.CompanyNumber.Get()));
}

void ApplyCompanyBrowserFont(storage::TRecBrowser& browser) {
  const platform::ui::FontChoice font = CompanyBrowserFont(records::CurrentCompany);
  browser.setFont(platform::ui::ToQFont(font));
  browser.SetFontColor(platform::print::ColorToQColor(font.color));
}

bool OpenedOrHalt(platform::ui::Form& window, bool opened) {
  if (opened) return true;
  using namespace platform::ui;
  MessageBox("Unable to open database", window.Caption(), MsgButtons::Ok, MsgIcon::Error);
  HaltProgram(1);
  QMetaObject::invokeMethod(
      &window, [&window] { window.Close(); }, Qt::QueuedConnection);
  return false;
}

bool HandleManagerKey(const QKeyEvent& event, const std::function<void()>& enter,
                      const std::function<void()>& remove) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      enter();
      return true;
    case Qt::Key_Delete:
      remove();
      return true;
    default:
      return false;
  }
}

}  // namespace forms
