#include "platform/ui/message_box.h"

#include <algorithm>

#include "platform/ui/application.h"
#include "platform/ui/ui_driver.h"

namespace platform::ui {

const char* ModalResultName(TModalResult result) {
  switch (result) {
    case mrNone:
      return "mrNone";
    case mrOk:
      return "mrOk";
    case mrCancel:
      return "mrCancel";
    case mrAbort:
      return "mrAbort";
    case mrRetry:
      return "mrRetry";
    case mrIgnore:
      return "mrIgnore";
    case mrYes:
      return "mrYes";
    case mrNo:
      return "mrNo";
  }
  return "(unknown result)";
}

std::span<const TModalResult> ButtonResults(MsgButtons buttons) {
  static constexpr TModalResult ok[] = {mrOk};
  static constexpr TModalResult okCancel[] = {mrOk, mrCancel};
  static constexpr TModalResult yesNo[] = {mrYes, mrNo};
  static constexpr TModalResult yesNoCancel[] = {mrYes, mrNo, mrCancel};
  static constexpr TModalResult abortRetryIgnore[] = {mrAbort, mrRetry, mrIgnore};
  switch (buttons) {
    case MsgButtons::Ok:
      return ok;
    case MsgButtons::OkCancel:
      return okCancel;
    case MsgButtons::YesNo:
      return yesNo;
    case MsgButtons::YesNoCancel:
      return yesNoCancel;
    case MsgButtons::AbortRetryIgnore:
      return abortRetryIgnore;
  }
  return ok;
}

bool HasButton(MsgButtons buttons, TModalResult result) {
  auto results = ButtonResults(buttons);
  return std::find(results.begin(), results.end(), result) != results.end();
}

TModalResult DefaultButtonOf(const MessageRequest& request) {
  if (HasButton(request.buttons, request.defaultButton)) return request.defaultButton;
  return ButtonResults(request.buttons).front();
}

TModalResult DismissAnswer(MsgButtons buttons) {
  for (TModalResult safe : {mrCancel, mrNo, mrAbort}) {
    if (HasButton(buttons, safe)) return safe;
  }
  return mrOk;
}

TModalResult MessageBox(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon,
                        TModalResult defaultButton) {
  return MessageBox(MessageRequest{text, title, icon, buttons, defaultButton});
}

TModalResult MessageBox(const MessageRequest& request) {
  return CurrentUiDriver().ShowMessageBox(request);
}

void ShowMessage(const QString& text) {
  MessageBox(text, Application->Title);
}

}  // namespace platform::ui
