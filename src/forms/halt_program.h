#pragma once
// The one way the program ends early, open to every window: a window that finds the open
// company's files unusable halts the program with its files closed and sound.

#include <functional>

namespace forms {

// Ends the program at once: closes every open data file through the engine (so the next start
// finds sound indexes), hides the main window and leaves the message loop, or keeps it from
// starting. The caller returns straight away; nothing after it may touch a data file.
void HaltProgram(int exitCode);
bool ProgramHalted();
int ProgramExitCode();

// Start-up clears the halt of an earlier run and tells how the main window is hidden.
void ResetProgramHalt();
void SetHideMainWindow(std::function<void()> hide);

}  // namespace forms
