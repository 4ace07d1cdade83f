#pragma once
// The program's start and end: the program block and the set-up of the program directory on a
// first start. The one way the program ends early is forms::HaltProgram.
//
// The program works in its current directory, where every data file lives. Start-up admits one
// instance per directory, makes every window once (the main window first, then the others while
// the splash is up), shows the main window (whose first showing asks for the password) and runs
// the message loop until the main window closes.

#include <string>

namespace shell {

// The program block: returns the process's exit code.
int RunProgram(int argc, char** argv);

// The steps of the program block between the single-instance check and the message loop, for
// an application object that exists already. False when the program ended on the way (the
// password was refused, the directory could not be set up); ProgramExitCode then tells how.
bool StartUp();
// True while StartUp makes the main window with the engine it started: the window then does not
// start it again.
bool EngineStartedForMainForm();
// Destroys the windows made by StartUp, the last made first, and stops the engine if it still
// runs.
void ShutDown();

// A first start in an empty directory: creates the empty company list file, and the payment
// terms file with the common terms when there is none. True when the company list file exists
// (now or before). A directory without the company list that holds files of companies set up
// before (LastCo.Dat, their data files) is no first start: nothing is made or changed there, and
// false comes back with *found, when given, naming those files.
[[nodiscard]] bool SetUpProgramDirectory(std::string* found = nullptr);

}  // namespace shell
