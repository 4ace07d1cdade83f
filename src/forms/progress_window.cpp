#include "forms/progress_window.h"

#include "platform/ui/application.h"

namespace forms {

void CloseProgressWindow() {
  if (storage::StatForm && storage::StatForm->isVisible()) storage::StatForm->Close();
}

ProgressWindow::ProgressWindow(const char* caption) : form_(storage::EnsureStatForm()) {
  form_.SetCaption(caption);
  form_.ClearStatusLines();
  form_.Label1->setText("Working...");
  form_.Show();
}

ProgressWindow::~ProgressWindow() {
  form_.Close();
}

void ProgressWindow::Show(const QString& text) {
  form_.Label1->setText(text);
  platform::ui::Application->ProcessMessages();
}

}  // namespace forms
