#pragma once
// What every window of the program shares, whether a dialog (Form) or the main window
// (MainWindowForm): the caption, the life-cycle hooks FormCreate / FormShow / FormCloseQuery /
// FormClose, placement on the screen, and help on F1.
//
// FormCreate runs once, right after construction, when the form is made by CreateForm (a
// virtual cannot run from the base constructor). FormShow runs every time the form is shown.
// Closing asks FormCloseQuery first; when it agrees, FormClose runs and the form is hidden.
// Forms live for the whole run: closing only hides them.

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QString>
#include <QWidget>
#include <exception>
#include <initializer_list>
#include <memory>
#include <utility>

#include "platform/ui/text_entry.h"

namespace platform::ui {

// Placement, on the screen the form is on (the primary screen before it is shown). Each moves
// the form at once; the form keeps the place when it is shown.
void MoveToTopOfScreen(QWidget& form);
void MoveToScreenCentre(QWidget& form);
void MoveToCentreOf(QWidget& form, const QWidget& other);
// Opens help for a form: its keyword when it has one, else its context number; nothing when it
// has neither.
void ShowFormHelp(const QString& keyword, int context);
// Brings a window that is already on the screen to the front and gives it the focus, restoring
// it when it was minimised.
void BringToFront(QWidget& form);
// The width a window needs for its whole caption to show in its title bar: the caption in a bold
// title font, with room for the window icon and the title bar's buttons.
int CaptionWidth(const QWidget& form);
// Widens a window narrower than its caption needs (never beyond its screen).
void WidenForCaption(QWidget& form);
// Enter or Return typed on a push button presses it, as in any desktop dialog, also where the
// button is not one that Enter presses from elsewhere in its window (an entry form keeps Enter for
// its line grid). Typed anywhere else, Enter presses only the button the window made its default,
// and nothing in a window without one: no button becomes the default by merely being the first.
// Applied to the buttons the window holds, each time a form is shown.
void PressButtonsOnEnter(QWidget& window);
// Sets the order in which Tab walks the given widgets, first to last.
void SetTabOrder(std::initializer_list<QWidget*> widgets);
// Sets the Tab order of a window to the order its layouts read in: a grid layout row by row, each
// row left to right; any other layout in its own order; a nested layout, or a widget with a
// layout of its own (a group box), read whole where it stands. A window whose layouts are built
// as it reads then tabs as it reads, whatever order its widgets were made in. A combo box must be
// made editable where it is made: Qt moves it in Tab order together with everything up to its line
// edit, and a line edit made later would drag the widgets made between along.
void SetTabOrderAsLaidOut(QWidget& window);

template <class QtBase>
class BasicForm : public QtBase {
 public:
  explicit BasicForm(QWidget* parent = nullptr) : QtBase(parent) {}

  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormCloseQuery(bool& canClose) { (void)canClose; }
  virtual void FormClose() {}

  QString Caption() const { return this->windowTitle(); }
  void SetCaption(const QString& caption) { this->setWindowTitle(caption); }
  bool Visible() const { return this->isVisible(); }

  // Shows the form. An error that FormShow raises comes out of this call (and so out of
  // ShowModal) for the caller's handler to report, as in the original; it does not reach the
  // event loop while the form is half shown. A form already on the screen, perhaps behind
  // another window, comes to the front instead.
  void Show() {
    if (this->isVisible()) {
      BringToFront(*this);
      return;
    }
    showing_ = true;
    showError_ = nullptr;
    this->show();
    showing_ = false;
    if (showError_) std::rethrow_exception(std::exchange(showError_, nullptr));
  }
  void Hide() { this->hide(); }
  // Closes the form unless FormCloseQuery refuses.
  virtual void Close() { this->close(); }
  // Runs FormCloseQuery: true when the form may close.
  bool CloseQuery() {
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose;
  }

  const QString& HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const QString& keyword) { helpKeyword_ = keyword; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }

  void PlaceAtTopOfScreen() { MoveToTopOfScreen(*this); }
  void PlaceCentred() { MoveToScreenCentre(*this); }
  void PlaceCentredOn(const QWidget& other) { MoveToCentreOf(*this, other); }
  void PlaceAt(int x, int y) { this->move(x, y); }

 protected:
  void showEvent(QShowEvent* event) override {
    QtBase::showEvent(event);
    if (event->spontaneous()) return;  // a window manager's restore is not a new showing
    ApplyTextEntryRules(*this);
    PressButtonsOnEnter(*this);
    ForgetLeftOutCharacters(*this);
    WidenForCaption(*this);
    if (!showing_) {
      FormShow();
      return;
    }
    try {
      FormShow();
    } catch (...) {
      showError_ = std::current_exception();
    }
  }
  void closeEvent(QCloseEvent* event) override {
    if (!CloseQuery()) {
      event->ignore();
      return;
    }
    FormClose();
    event->accept();
  }
  void changeEvent(QEvent* event) override {
    QtBase::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && this->isVisible()) WidenForCaption(*this);
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
      ShowFormHelp(helpKeyword_, helpContext_);
      event->accept();
      return;
    }
    QtBase::keyPressEvent(event);
  }

 private:
  QString helpKeyword_;
  int helpContext_ = 0;
  bool showing_ = false;
  std::exception_ptr showError_;
};

// Makes a form and runs its FormCreate.
template <class T, class... Args>
std::unique_ptr<T> CreateForm(Args&&... args) {
  auto form = std::make_unique<T>(std::forward<Args>(args)...);
  form->FormCreate();
  return form;
}

}  // namespace platform::ui
