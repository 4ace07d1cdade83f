#include "platform/ui/application.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcutEvent>
#include <QStringDecoder>
#include <QTextEdit>

#include "platform/files/path.h"
#include "platform/ui/message_box.h"
#include "platform/ui/ui_driver.h"

namespace platform::ui {
namespace {

// Eats tool-tip events while button hints are switched off.
class HintFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTip) return true;
    return QObject::eventFilter(watched, event);
  }
};

// Error texts are built from the program's own bytes (Windows-1252, like its records).
QString ErrorText(const char* bytes) {
  QStringDecoder decode("windows-1252");
  if (!decode.isValid()) return QString::fromLatin1(bytes);
  return decode(bytes);
}

TApplication theApplication;

// A button's Alt letter or shortcut clicks it at once, as the mouse does, rather than after the
// short pressed look Qt gives it: the keys typed after it then reach what the click opened or
// changed, never the box or list the user was leaving.
bool ClickedByItsShortcut(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::Shortcut) return false;
  auto* button = qobject_cast<QAbstractButton*>(receiver);
  if (!button || !button->isEnabled() || static_cast<QShortcutEvent*>(event)->isAmbiguous()) return false;
  // A box to tick or an option to choose takes the keyboard as well, as Qt's own press does.
  if (button->isCheckable() && (button->focusPolicy() & Qt::ClickFocus)) button->setFocus(Qt::ShortcutFocusReason);
  button->click();
  return true;
}

bool TakesTypedText(QObject* receiver) {
  return qobject_cast<QLineEdit*>(receiver) || qobject_cast<QTextEdit*>(receiver) ||
         qobject_cast<QPlainTextEdit*>(receiver) || qobject_cast<QAbstractSpinBox*>(receiver) ||
         qobject_cast<QComboBox*>(receiver) || qobject_cast<QAbstractItemView*>(receiver);
}

// An Alt letter that reaches no command (none has it, or its button is disabled) is not a
// character: it types nothing into a box, starts no edit in a grid and searches no list.
bool AltLetterOfNoCommand(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers held = key->modifiers();
  if (!(held & Qt::AltModifier) || (held & (Qt::ControlModifier | Qt::MetaModifier))) return false;
  return !key->text().isEmpty() && key->text().front().isPrint() && TakesTypedText(receiver);
}

}  // namespace

TApplication* const Application = &theApplication;

TApplication::TApplication() = default;

TApplication::~TApplication() {
  // Widgets can only be destroyed while the QApplication lives; the program destroys its forms
  // before that ends (DestroyForms), so this only matters to a run that stopped early.
  if (QCoreApplication::instance()) {
    DestroyForms();
  } else {
    for (auto& owned : forms_) (void)owned.form.release();
  }
}

void TApplication::SetShowHint(bool show) {
  showHint_ = show;
  auto* app = QCoreApplication::instance();
  if (show) {
    hintFilter_.reset();
  } else if (!hintFilter_ && app) {
    hintFilter_ = std::make_unique<HintFilter>();
    app->installEventFilter(hintFilter_.get());
  }
}

void TApplication::ProcessMessages() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void TApplication::HandleException(const std::exception& error) {
  ShowException(ErrorText(error.what()));
}

void TApplication::ShowException(const QString& text) {
  MessageBox(text, Title, MsgButtons::Ok, MsgIcon::Error);
}

bool TApplication::HelpInstalled() const {
  return !HelpFile.isEmpty() && platform::files::Exists(HelpFile.toStdString());
}

void TApplication::HelpJump(const QString& topic) {
  OpenHelpAt(topic);
}
void TApplication::HelpKeyword(const QString& keyword) {
  OpenHelpAt(keyword);
}
void TApplication::HelpContext(int context) {
  OpenHelpAt(QString::number(context));
}

void TApplication::OpenHelpAt(const QString& topic) {
  if (!HelpInstalled()) {
    MessageBox("No help is installed.", Title, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  QString file = QString::fromStdString(platform::files::Resolve(HelpFile.toStdString()).path);
  if (!CurrentUiDriver().OpenHelp(file, topic)) {
    MessageBox("Unable to open the help file " + file + ".", Title, MsgButtons::Ok, MsgIcon::Error);
  }
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) {
    OwnedForm owned = std::move(forms_.back());
    forms_.pop_back();
    owned.form.reset();
    owned.forget();
  }
}

GuiApplication::GuiApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuiApplication::notify(QObject* receiver, QEvent* event) {
  if (AltLetterOfNoCommand(receiver, event)) return true;
  bool handled = false;
  RunEventHandler([&] { handled = ClickedByItsShortcut(receiver, event) || QApplication::notify(receiver, event); });
  return handled;
}

void ReportHandlerError(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    Application->HandleException(e);
  } catch (...) {
    Application->ShowException("An error of an unknown kind occurred.");
  }
}

}  // namespace platform::ui
