#pragma once
// Form: the base of every dialog and manager window (a QDialog).
//
// ShowModal hands the form to the installed UiDriver and returns its modal result. While a form
// is modal, setting its ModalResult to anything but mrNone closes it at once, provided
// FormCloseQuery agrees (otherwise the result goes back to mrNone and the form stays open);
// Close(), Escape and the close box set mrCancel. Handlers therefore end a dialog with
// SetModalResult(mrOk) after their checks pass, as buttons with a modal result would. That OK
// first says which typed characters the form's boxes left out since it was shown (text_entry.h),
// before the caller stores what the form holds.
//
// A form that holds typed work worth keeping names the question to ask before it is thrown
// away (AskBeforeDiscarding): a Cancel (Escape, the Cancel button, the close box) of the form
// with anything typed since it was shown asks it first, and No keeps the form open.

#include <QDialog>
#include <QPointer>
#include <QWindow>

#include "platform/ui/form_base.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/typed_work.h"

class QAbstractButton;

namespace platform::ui {

class Form : public BasicForm<QDialog> {
 public:
  explicit Form(QWidget* parent = nullptr);

  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result);
  void Close() override;
  // A button that ends the modal run with `result` when clicked (an OK or Cancel button).
  void BindModalResult(QAbstractButton* button, TModalResult result);
  void AskBeforeDiscarding(const QString& question) { discardQuestion_ = question; }
  // Ends the modal run with Cancel without that question (FormCloseQuery still decides), for a
  // caller that has already settled what becomes of the typed work.
  void CancelDiscarding();

  // Used by UiDrivers around the modal run.
  bool InModalState() const { return modal_; }
  void EnterModalState();
  // Ends a modal run that is still going when the driver must stop (a script that left the form
  // open and could not close it): FormClose runs, FormCloseQuery is not asked.
  void AbandonModal(TModalResult result);
  // The window the form belongs to while it runs modally (none: its own). The window manager
  // keeps the form above that window and gives the form the keyboard when that window is
  // clicked. Forms have no parent widget, so between runs they belong to no window.
  void SetModalOwner(QWindow* owner);

  // Routed through SetModalResult, so nothing closes the form past FormCloseQuery.
  void done(int result) override;
  void accept() override;
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void EndModal();
  // False when the user, asked, keeps the typed work.
  bool MayDiscardTypedWork();

  bool modal_ = false;
  QPointer<QWindow> modalOwner_;
  TModalResult modalResult_ = mrNone;
  QString discardQuestion_;
  TypedWork typedWork_;
};

}  // namespace platform::ui
