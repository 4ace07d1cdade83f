#pragma once
// The start of every e-mail run (one document, a batch, statements, the notice): the company must
// have its own address and an SMTP server; the document window's SMTP client is pointed at the
// server with the company's login and connected when it is not connected yet. The caller sends
// its messages and ends the run with Quit.

namespace documents {

// True when the client is connected and logged in; false after telling the user why not (a
// server that refuses or cannot be reached: its error, then "Not Online").
bool EnsureMailOnline();

}  // namespace documents
