#include "platform/ui/form.h"

#include <QAbstractButton>
#include <stdexcept>
#include <utility>

#include "platform/ui/message_box.h"
#include "platform/ui/text_entry.h"
#include "platform/ui/ui_driver.h"

namespace platform::ui {

Form::Form(QWidget* parent) : BasicForm<QDialog>(parent) {}

TModalResult Form::ShowModal() {
  // As in the original class library: a form already on the screen cannot start a modal run.
  if (modal_ || isVisible()) throw std::logic_error("Cannot make a visible window modal");
  try {
    return CurrentUiDriver().RunModal(*this);
  } catch (...) {
    // An error raised while showing (FormShow) goes on to the caller; the form must not stay
    // on the screen as a modal window that nothing runs.
    if (modal_) {
      modal_ = false;
      modalResult_ = mrCancel;
      QDialog::done(mrCancel);
    }
    throw;
  }
}

void Form::EnterModalState() {
  modal_ = true;
  modalResult_ = mrNone;
}

void Form::SetModalResult(TModalResult result) {
  modalResult_ = result;
  if (!modal_ || result == mrNone) return;
  if (result == mrOk) SayLeftOutCharacters(*this);
  if ((result == mrCancel && !MayDiscardTypedWork()) || !CloseQuery()) {
    modalResult_ = mrNone;
    return;
  }
  FormClose();
  EndModal();
}

void Form::AbandonModal(TModalResult result) {
  if (!modal_) return;
  modalResult_ = result;
  FormClose();
  EndModal();
}

bool Form::MayDiscardTypedWork() {
  if (discardQuestion_.isEmpty() || !typedWork_.Changed(*this)) return true;
  return MessageBox(discardQuestion_, Caption(), MsgButtons::YesNo, MsgIcon::Question, mrNo) == mrYes;
}

void Form::CancelDiscarding() {
  const QString question = std::exchange(discardQuestion_, QString());
  SetModalResult(mrCancel);
  discardQuestion_ = question;
}

void Form::EndModal() {
  modal_ = false;
  typedWork_.Forget();
  QDialog::done(modalResult_);  // hides the form; its finished signal ends the driver's modal loop
}

void Form::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
  } else {
    close();
  }
}

void Form::BindModalResult(QAbstractButton* button, TModalResult result) {
  QObject::connect(button, &QAbstractButton::clicked, this, [this, result] { SetModalResult(result); });
}

void Form::done(int result) {
  SetModalResult(static_cast<TModalResult>(result));
}
void Form::accept() {
  SetModalResult(mrOk);
}
void Form::reject() {
  Close();
}

void Form::SetModalOwner(QWindow* owner) {
  if (!owner && modalOwner_ && windowHandle()) windowHandle()->setTransientParent(nullptr);
  modalOwner_ = owner;
}

void Form::showEvent(QShowEvent* event) {
  // Placed first, as a window of its own: told its owner before, it would be moved over it.
  BasicForm<QDialog>::showEvent(event);
  if (modal_ && modalOwner_ && !event->spontaneous()) windowHandle()->setTransientParent(modalOwner_);
  if (!discardQuestion_.isEmpty() && !event->spontaneous()) typedWork_.Take(*this);
}

void Form::closeEvent(QCloseEvent* event) {
  if (!modal_) {
    BasicForm<QDialog>::closeEvent(event);
    return;
  }
  event->ignore();  // the modal run ends through its result, or not at all
  SetModalResult(mrCancel);
}

}  // namespace platform::ui
