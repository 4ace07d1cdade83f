#pragma once
// The shared progress window as a batch run uses it: shown with the run's caption and
// "Working...", a line per document, closed however the run ends.

#include <QString>

#include "storage/stat_form.h"

namespace forms {

// Closes the progress window when an earlier run left it on screen.
void CloseProgressWindow();

class ProgressWindow {
 public:
  explicit ProgressWindow(const char* caption);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;
  // Shows the line and lets the windows repaint.
  void Show(const QString& text);

 private:
  storage::TStatForm& form_;
};

}  // namespace forms
