#pragma once
// Small services of the desktop: the hourglass while a long task runs, clipboard text, the beep.

#include <QString>

namespace platform::ui {

// Shows the wait cursor for its lifetime; nests, and is put back however the scope ends.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool set_ = false;
};

void SetClipboardText(const QString& text);
QString ClipboardText();

// The computer's beep (recorded, not sounded, under a test script).
void Beep();

}  // namespace platform::ui
