#pragma once
// Message boxes. Every box goes through the installed UiDriver (ui_driver.h): the real one shows
// a QMessageBox, a test script answers it.

#include <QString>
#include <span>

#include "platform/ui/modal_result.h"

namespace platform::ui {

enum class MsgIcon { None, Information, Warning, Question, Error };

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };

struct MessageRequest {
  QString text;
  QString title;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
  TModalResult defaultButton = mrNone;  // mrNone: the first button
};

// The answers a set of buttons can give, in the order the buttons appear.
std::span<const TModalResult> ButtonResults(MsgButtons buttons);
bool HasButton(MsgButtons buttons, TModalResult result);
// The button that Enter presses: the requested default when the box has it, else the first.
TModalResult DefaultButtonOf(const MessageRequest& request);
// The answer of a box dismissed without choosing (Escape, the close box): Cancel or No when the
// box has one, Abort for Abort/Retry/Ignore (so a retry prompt never loops), else OK.
TModalResult DismissAnswer(MsgButtons buttons);

// Shows a message box and returns the button chosen.
TModalResult MessageBox(const QString& text, const QString& title, MsgButtons buttons = MsgButtons::Ok,
                        MsgIcon icon = MsgIcon::None, TModalResult defaultButton = mrNone);
TModalResult MessageBox(const MessageRequest& request);

// A plain box with one OK button, titled with the application's title.
void ShowMessage(const QString& text);

}  // namespace platform::ui
