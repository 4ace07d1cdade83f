#pragma once
// The printer set-up dialog of the main window, the managers, the report viewer and the letters:
// the printer (or a PDF file) chosen there takes the program's later print jobs.

namespace forms {

// False when the user cancelled.
bool SetUpPrinter();

}  // namespace forms
