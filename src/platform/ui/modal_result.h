#pragma once
// The result of a modal form or message box. The values are those the original class library
// used (and the Windows message-box answers share), so a result stored or compared as a number
// means the same thing here.

namespace platform::ui {

enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
};

// "mrOk", "mrNo", ...: for test messages and logs.
const char* ModalResultName(TModalResult result);

}  // namespace platform::ui
