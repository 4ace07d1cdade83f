#pragma once
// How a window runs an action that reads the company's files to show, print or write what it
// finds (a statement, a list, a label run, a letter merge, an export): a file it needs that
// cannot be opened or read (records::FileUnusable) is said in one message naming the file and the
// system's reason, and the action shows nothing of what it read.

#include <QString>

#include "records/system_reason.h"
#include "storage/data_file_unit.h"

namespace forms {

// The message for a file the action titled `title` could not use.
void TellFileUnusable(const records::FileUnusable& failure, const QString& title);

// Runs read(); true when it ran to its end, false (after the message) when a file it needs
// could not be used.
template <class Read>
[[nodiscard]] bool ReadAll(const QString& title, Read read) {
  try {
    read();
    return true;
  } catch (const records::FileUnusable& failure) {
    TellFileUnusable(failure, title);
    return false;
  }
}

// Runs check(), which reads the files to answer (is this number taken?); its answer, or false
// (after the message) when a file it needs could not be used: a search that failed is no answer.
template <class Check>
[[nodiscard]] bool CheckReads(const QString& title, Check check) {
  bool passed = false;
  return ReadAll(title, [&] { passed = check(); }) && passed;
}

// Before a manager is shown as a picker over a form being filled in: whether the manager's file
// opens. When the system refuses it, that is said (the file and the reason) and the picker is
// not shown, so that the form keeps everything typed: the manager's own failed open would end
// the program.
[[nodiscard]] bool PickerFileOpens(storage::DataFileUnit& unit, const QString& title);

}  // namespace forms
