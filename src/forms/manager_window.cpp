#include "forms/manager_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <cstring>
#include <stdexcept>

#include "forms/browser_font.h"
#include "forms/font_choice.h"
#include "forms/halt_program.h"
#include "platform/print/colors.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/system_reason.h"
#include "storage/file_io.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"

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
  const QString marked = QString::fromUtf8(caption);
  const QString plain = QString(marked).remove('&');
  button->setText(plain);
  button->setToolTip(plain);
  const qsizetype mark = marked.indexOf('&');
  if (mark >= 0 && mark + 1 < marked.size())
    button->setShortcut(QKeySequence(QString("Alt+") + marked[mark + 1].toUpper()));
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  if (click) QObject::connect(button, &QToolButton::clicked, std::move(click));
  row->addWidget(button);
  // A tool bar's button, as in any tool bar: clicked, or reached by its menu item, not a Tab stop.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

bool ReadHighlightedRow(storage::TRecBrowser& browser) {
  if (browser.BrowserCurrentRef() < 1) return false;
  int32_t status = 0;
  if (browser.BrowserReadCurrent(status) != 0) return false;
  if (status == storage::IsamErrorClassNone) return true;
  // A row whose record has gone since the page was read is simply not there; a record that
  // cannot be read is said, or the action would seem to ignore the click.
  if (status >= storage::IsamErrorClassLock) {
    const QWidget* window = browser.window();
    platform::ui::MessageBox(
        platform::text::ToQString(records::DataFileUnusableText(browser.DataSource()->FileBlock()->DataName)),
        window ? window->windowTitle() : QString(), platform::ui::MsgButtons::Ok,
        platform::ui::MsgIcon::Error);
  }
  return false;
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
  // What was done, with the file it went to or the system's reason: wrapped, never cut.
  panels[1]->setWordWrap(true);
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

QString OpenFailureReason() {
  if (storage::IsamOK) return {};
  if (storage::IsamError == storage::IsamErrPostingWaits)
    return QStringLiteral("\n\n") + platform::text::ToQString(storage::LastWaitingRefusal());
  const storage::IsamOpenFailure& failure = storage::IsamLastOpenFailure();
  if (failure.Name.empty()) return {};
  return QStringLiteral("\n\nThe file %1 could not be opened: %2.")
      .arg(platform::text::ToQString(failure.Name), QString::fromLocal8Bit(std::strerror(failure.Errno)));
}

QString OpenFailureHeadline(const QString& text) {
  return OpenFailureReason().isEmpty() ? text + ": " + QString::number(storage::IsamError) : text;
}

bool OpenedOrHalt(platform::ui::Form& window, bool opened, const QString& text) {
  if (opened) return true;
  using namespace platform::ui;
  MessageBox(text + OpenFailureReason(), window.Caption(), MsgButtons::Ok, MsgIcon::Error);
  HaltProgram(1);
  QMetaObject::invokeMethod(
      &window, [&window] { window.Close(); }, Qt::QueuedConnection);
  return false;
}

bool RefuseEntryWhilePostingWaits(const storage::DataFileUnit& unit, const std::string& subject,
                                  const std::string& verb, const QString& title) {
  const std::string dataName =
      storage::IsamFileName(storage::IsamDataPart(unit.FileName()), storage::IsamDataExt);
  if (!storage::RefuseWriteWhileWaiting(dataName, subject, verb)) return false;
  platform::ui::MessageBox(platform::text::ToQString(storage::LastWaitingRefusal()), title,
                           platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Warning);
  return true;
}

void ShowFilterState(QWidget& window, QLabel& label, bool on, const QString& onText) {
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, on ? palette.color(QPalette::Dark) : palette.color(QPalette::Button));
  window.setPalette(palette);
  QPalette labelPalette = label.palette();
  labelPalette.setColor(QPalette::WindowText, on ? Qt::red : Qt::black);
  label.setPalette(labelPalette);
  label.setText(on ? onText : QString("Filter Closed"));
}

QString SwitchManagerFilter(QWidget& window, QLabel& label, storage::TRecBrowser& browser, bool on,
                            const QString& onText) {
  if (on != browser.FilterEnabled()) browser.SetFilterEnabled(on);
  ShowFilterState(window, label, on, onText);
  return on ? "Click filter button again to clear filter." : "Filter closed.";
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

ManagerWindow::ManagerWindow(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(this)),
      RecBrowser1(new storage::TRecBrowser(this)),
      StatusBar1(new QStatusBar(this)),
      MainMenu1(new QMenuBar(this)),
      PopupMenu1(new QMenu(this)),
      toolRow_(LayOutManagerWindow(*this, MainMenu1, Label1, RecBrowser1, StatusBar1)),
      statusPanels_(AddStatusPanels(*StatusBar1)) {
  RecBrowser1->SetPopupMenu(PopupMenu1);
  RecBrowser1->OnBuildRow = [this](storage::TRecBrowser* sender, storage::RowRec& rr) {
    return RecBrowser1BuildRow(sender, rr);
  };
  RecBrowser1->OnRowChanged = [this](storage::TRecBrowser* sender) { RecBrowser1RowChanged(sender); };
  RecBrowser1->OnDblClick = [this](storage::TRecBrowser*) { RecBrowser1DblClick(); };
}

QString ManagerWindow::StatusText(int panel) const {
  return statusPanels_.at(panel)->text();
}

void ManagerWindow::SetStatusText(int panel, const QString& text) {
  statusPanels_.at(panel)->setText(text);
}

void ManagerWindow::keyPressEvent(QKeyEvent* event) {
  if (!HandleManagerKey(
          *event, [this] { RecBrowser1DblClick(); }, [this] { DeleteKeyPressed(); }))
    Form::keyPressEvent(event);
}

QToolButton* ManagerWindow::AddCloseButton() {
  QToolButton* button = forms::AddToolButton(*this, toolRow_, "Cl&ose", {});
  QObject::connect(button, &QToolButton::clicked, [this] { Close(); });
  return button;
}

QAction* ManagerWindow::AddCloseItem(QMenu* menu) {
  return AddMenuItem(menu, "&Close", [this] { Close(); });
}

void ManagerWindow::ShowEntryCount(const QString& what, storage::IsamFileBlock file) {
  SetStatusText(0,
                what + ": " + QString::number(storage::IsamUsedKeys(file, RecBrowser1->BrowserKeyNumber())));
}

bool ManagerWindow::TrimmedKeyEmpty(const storage::IsamKeyStr& key) {
  return platform::text::TrimBlanks(key).empty();
}

void ManagerWindow::SearchForPickStart(storage::DataFileUnit& unit, storage::IsamKeyStr& key,
                                       storage::IsamRecRef& ref, int32_t keyNr, const char* failure) {
  // Nothing at or after the key is no failure: the browser then shows the last records. Any other
  // failed search says which file and why.
  if (!unit.SearchKey(key, ref, keyNr) && !records::IsEndOfWalk())
    throw std::runtime_error(records::WithReason(failure, records::DataFileUnusableText(unit)));
}

}  // namespace forms
