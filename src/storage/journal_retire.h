#pragma once
// A posting journal retired by a restore. The journal left by a posting that waits to be undone
// names records by their slots in the files as they stood; once a restore has put the backup's
// files in their place, undoing it would write those old records into the backup's. So the
// restore moves such a journal out of the data folder (into its own work folder) before it
// places the first file the posting touched or made (the company list that all companies share
// among them) or any file of that company; once the restore stands, the posting went with the
// files it touched and no longer waits (ForgetWaitingJournal). What the posting touched or made
// that the backup does not hold must go with it (restore_files.h): the journal says which files.

#include <string>
#include <vector>

namespace storage {

struct LeftJournal {
  std::string Company;   // "12"
  std::string Name;      // as spelled in the data folder: "12JNL.DAT"
  bool Waiting = false;  // a posting of the company waits in it to be undone
  std::string What;      // that posting ("invoice 10000"); may be empty when its journal did not say
  // The files of the data folder its posting touched or made, as its entries name them (a data
  // file with its index); when its entries cannot all be read (it is damaged, or a read failed),
  // every data and index file of the company besides: which of them it touched is not known.
  // Empty when it holds no posting to undo.
  std::vector<std::string> Files;
};

// The journals in the data folder that a restore of the files `names` retires, but the one this
// process holds between its postings (it holds nothing to undo): one holding a posting when
// `names` hold a file the posting touched or made, or any data file of its company; when which
// files it touched cannot be read, any data file of its company or of all companies; one holding
// nothing to undo when `names` hold a data file of its company.
std::vector<LeftJournal> JournalsRetiredBy(const std::vector<std::string>& names);

// Moves the journal to `aside` (a name in another folder of the same disk) and makes the move
// durable: both folders are synced. False with the errno-style reason in *err.
[[nodiscard]] bool RetireJournal(const std::string& name, const std::string& aside, int* err);

}  // namespace storage
