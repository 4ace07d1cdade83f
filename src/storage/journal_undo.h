#pragma once
// Undoing the entries of a posting journal on the data files; shared by the start-up (a journal
// left behind) and by a posting that failed in this process.

#include <optional>
#include <string>
#include <vector>

#include "platform/files/file.h"
#include "storage/journal_entry.h"

namespace storage {

enum class UndoResult {
  Nothing,      // no entries to undo
  Undone,       // every entry undone and the files changed synced (by this undo, or by a start that
                // was stopped before it said so)
  Foreign,      // an entry does not fit the files here: nothing was changed
  InUse,        // a file an entry names is held open: nothing was changed
  Unavailable,  // a file an entry names cannot be opened or read now (no permission, an I/O error,
                // too many open files): nothing was changed, and the journal must stay
  Failed,       // a write or sync failed half-way: the journal must stay
  Damaged,      // an entry the journal holds as synced does not read: nothing was changed, and the
                // journal must stay (what it would undo may be on the files)
};

// What the undo found besides its result.
struct UndoReport {
  JournalHeader Header;             // the journal's header as read
  std::string What;                 // what the posting was ("invoice 1004")
  std::vector<std::string> Files;   // the data files it changed and left marked for repair
  std::string Cause;                // why a file could not be used (Unavailable) or the undo failed, with
                                    // the system's reason
  std::string Remedy;               // what the user can do about it ("Make 12C.DAT readable and ...")
  bool Committed = false;           // nothing to undo: the posting named in What was committed and
                                    // nothing has said so yet
  std::vector<std::string> Asides;  // nothing to undo: a stand-in for journals set aside under these
                                    // names, not told yet
  bool RepairLeft = false;          // nothing to undo: kept for files a failure left to repair
};

// Reads the journal from its open file, checks every entry against the files of the company,
// and undoes them newest first. The journal itself is never written.
UndoResult UndoJournalOnDisk(platform::files::File& journal, const std::string& company,
                             UndoReport* report = nullptr);

// Whether a closed data file is marked as needing its repair (byte 20 of its header): false for
// one that is not there or too short to carry the mark, nothing when it cannot be opened or read
// now (no permission, an I/O error), which tells nothing of its mark. DataFileMarkedForRepair takes
// that for unmarked.
[[nodiscard]] std::optional<bool> DataFileRepairMark(const std::string& dataFileName);
[[nodiscard]] bool DataFileMarkedForRepair(const std::string& dataFileName);

// Side files a journal may name (the answer file), registered by the program.
[[nodiscard]] bool IsJournalledSideFile(const std::string& name);

}  // namespace storage
