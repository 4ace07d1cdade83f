#pragma once
// What a printout without a status line of its own tells the user: when its job became a PDF
// file rather than going to a printer, where that file is.

#include <QString>

class QWidget;

namespace forms {

// A message box titled `caption` with "<what> saved as <file>." when the last job became a PDF
// file; nothing when it went to a printer.
void ShowWherePdfWent(const QString& what, const QString& caption);

// The same for a run of several jobs: "<what> saved in <folder>." when they became PDF files.
void ShowWhereRunWent(const QString& what, const QString& caption);

// "Print Window" of the managers: the window's image as one job, then where its PDF went.
void PrintWindowShowingWhere(QWidget& window);

}  // namespace forms
