#pragma once
// Runs a step that reads or searches the company's files (a posting, a printout, a list) the way
// the read-failure tables want it: once with each of its reads failing with an I/O error in turn,
// until a run meets no failure (that run is the clean one, and must do what the step is for), and
// with each of its files refused at the open for an ordinary user. A run that met a failure must
// say the file and the system's reason once, do nothing of what the step is for, and leave the
// books as they were, record for record.

#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "storage/isam.h"

namespace platform::ui {
class Form;
}

namespace testing_support {

// Every record of each file (by its data file name) in file order, and the company record.
using BooksImage = std::map<std::string, std::vector<std::string>>;

// A file of the books: its block and its open routine (the file is opened for the reading when it
// is closed, and closed again).
struct BooksFile {
  storage::IsamFileBlock* File;
  bool (*Open)();
};
BooksImage ReadBooks(const std::vector<BooksFile>& files);

struct SweepStep {
  const char* Name;
  // Runs the step; true when it did what it is for (posted, printed, listed). A message box is
  // answered with its default and kept, as is the text of an exception the step ends with.
  std::function<bool()> Run;
  // The step's own writes after it put out what it is for (a printout's printed mark) may meet a
  // failed read quietly: only reads before its first write are swept.
  bool SweepOnlyBeforeFirstWrite = false;
};

// What one run of a step said, and whether it did what it is for.
struct StepOutcome {
  QStringList Said;
  bool Done = false;
};
StepOutcome RunStep(const SweepStep& step);

// The sweep of the reads; returns how many reads the clean run made.
int SweepReads(const SweepStep& step, const std::vector<BooksFile>& books);

// The step with the data file `dataFile` (in the current folder) at mode 000, run as an ordinary
// user: says "The file <name> cannot be opened now: Permission denied." once and does nothing.
void ExpectRefusedAtOpen(const SweepStep& step, const std::string& dataFile,
                         const std::vector<BooksFile>& books);

// A window that opens its own files (a manager), opened as a user opens it once with each read
// after the files' open failing in turn, until a run meets no failure (the last one returned).
// A read failing at the open itself ends the program, as it should, and is not swept. closeFiles
// lets go of the files the window opens; openFiles opens them as the window does; show creates
// the window and shows it modally; seen says what the window shows once open (its highlighted
// row).
struct OpeningRun {
  QStringList Said;  // "title: text" of each message box
  std::string Seen;
};
std::vector<OpeningRun> SweepOpeningReads(const std::function<void()>& closeFiles, bool (*openFiles)(),
                                          const std::function<void()>& show,
                                          const std::function<std::string(platform::ui::Form&)>& seen);
// Over such runs: at least one said failureSaid ("title: text"); each that said nothing, and the
// clean run, shows opensAt.
void ExpectFailureSaidOrOpenedAt(const std::vector<OpeningRun>& runs, const QString& failureSaid,
                                 const std::string& opensAt);

}  // namespace testing_support
