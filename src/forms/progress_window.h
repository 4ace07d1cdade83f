#pragma once
// The shared progress window as a batch run uses it: shown with the run's caption and
// "Working...", a line per document, closed however the run ends.

#include <QString>
#include <functional>
#include <string>
#include <vector>

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

// A batch of documents: with the hourglass and the progress window captioned for the output
// ("E-Mail Mode" or "Printer Mode"), `one` runs for each of the first `count` numbers, trimmed,
// after the window showed "Processing " + what + " " + number + " ...".
void RunDocumentBatch(const std::vector<std::string>& numbers, int count, bool email, const std::string& what,
                      const std::function<void(const std::string&)>& one);

// The end of a batch of `count` documents, told on `status`: "Batch Print complete. " + count +
// " " + `documents` + " sent to spooler." when printed (or where their PDF files went); when
// e-mailed, " " + `mailed` + "." instead, then `quitMail` ends the mail session and "E-mail
// operation complete." is said.
void ReportDocumentBatch(int count, bool email, const char* documents, const char* mailed,
                         const std::function<void(const QString&)>& status,
                         const std::function<void()>& quitMail);

}  // namespace forms
