#pragma once
// What the user is asked about the access password: the start-up gate and the set-up of the
// password, both through the password dialog.

namespace forms {

// The start-up gate: true when no password is set or when the user typed it exactly.
bool CheckSystemPassword();

// Sets, changes or removes the password, asking the user through the password dialog (the main
// window's Password Setup item and tool button).
void PasswordSetup();

}  // namespace forms
