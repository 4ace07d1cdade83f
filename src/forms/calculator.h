#pragma once
// The desktop's calculator, offered by the main window and the entry forms.

namespace forms {

// Starts the desktop's calculator; says so when none is installed.
void RunWindowsCalculator();

}  // namespace forms
