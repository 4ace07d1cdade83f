#include "forms/progress_window.h"

#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"

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

void RunDocumentBatch(const std::vector<std::string>& numbers, int count, bool email, const std::string& what,
                      const std::function<void(const std::string&)>& one) {
  platform::ui::WaitCursor busy;
  ProgressWindow progress(email ? "E-Mail Mode" : "Printer Mode");
  for (int n = 0; n < count && n < static_cast<int>(numbers.size()); ++n) {
    const std::string number = platform::text::TrimBlanks(numbers[static_cast<std::size_t>(n)]);
    progress.Show(platform::text::ToQString("Processing " + what + " " + number + " ..."));
    one(number);
  }
}

void ReportDocumentBatch(int count, bool email, const char* documents, const char* mailed,
                         const std::function<void(const QString&)>& status,
                         const std::function<void()>& quitMail) {
  using platform::ui::MsgButtons;
  using platform::ui::MsgIcon;
  const QString done = "Batch Print complete. " + QString::number(count) + ' ' + documents + ' ';
  if (!email) {
    status(done + platform::print::WhereRunWent("sent to spooler") + '.');
    return;
  }
  status(done + mailed + '.');
  quitMail();
  platform::ui::MessageBox("E-mail operation complete.", "Batch E-Mail", MsgButtons::Ok,
                           MsgIcon::Information);
}

}  // namespace forms
