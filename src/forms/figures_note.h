#pragma once
// The note a window of figures (a report, its chart, a quick view, a list) carries while a
// posting of the open company waits to be undone: the figures it shows include that posting,
// which may yet be taken back. The words are the engine's (storage::WaitingPostingFiguresNote);
// here is only how a window shows them.

#include <QLabel>
#include <string>
#include <vector>

namespace forms {

// A label for the note: one line in dark red, hidden until ShowFiguresNote finds a posting waiting.
// The window's layout gives it the width of its text.
QLabel* NewFiguresNote(QWidget* parent);
// Shows the note while a posting of the open company waits, and hides it otherwise. True when it
// shows.
bool ShowFiguresNote(QLabel& note);

// The lines of a text report with the note put before them while a posting waits.
std::vector<std::string> WithFiguresNote(std::vector<std::string> lines);

}  // namespace forms
