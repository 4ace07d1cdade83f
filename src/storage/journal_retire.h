#pragma once
// A posting journal retired by a restore. The journal left by a posting that waits to be undone
// names records by their slots in the company's files as they stood; once a restore has put the
// backup's files in their place, undoing it would write those old records into the backup's. So
// the restore moves such a journal out of the data folder (into its own work folder) before it
// places the first file of that company; once the restore stands, the posting went with the
// files it touched and no longer waits (ForgetWaitingJournal).

#include <string>
#include <vector>

namespace storage {

struct LeftJournal {
  std::string Company;   // "12"
  std::string Name;      // as spelled in the data folder: "12JNL.DAT"
  bool Waiting = false;  // a posting of the company waits in it to be undone
  std::string What;      // that posting ("invoice 10000"); may be empty when its journal did not say
};

// The journals in the data folder of the companies that have a data file among `names`, but
// the one this process holds between its postings (it holds nothing to undo).
std::vector<LeftJournal> JournalsOfCompaniesIn(const std::vector<std::string>& names);

// Moves the journal to `aside` (a name in another folder of the same disk) and makes the move
// durable: both folders are synced. False with the errno-style reason in *err.
[[nodiscard]] bool RetireJournal(const std::string& name, const std::string& aside, int* err);

}  // namespace storage
