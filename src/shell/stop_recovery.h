#pragma once
// What a start does about the way the last run ended, and what lets it know. The open company's
// posting journal is held from the company's open to its close (a change of company, the program's
// end): a start that still finds it knows that the program was stopped with the company open. That
// start, before anything reads the files:
//  - undoes a posting the stop interrupted and rebuilds the files it touched (the undo's message;
//    none for the start's own aging, which the start does again);
//  - rebuilds every file of the company the run left marked for repair (or with a rebuild
//    unfinished), after one notice when no posting was told of, asking nothing per file; a
//    journal set aside as not belonging (its message) counts as such a stop too;
//  - keeps the journal, emptied, until all of that is rebuilt, and only then removes it: a start
//    stopped in the middle of its own undo or rebuild is finished by the next one, and so is one
//    that could not read a file's mark or rebuild a file (the journal then outlives the close);
//  - leaves a journal it cannot undo to wait for the next start, says so once, and rebuilds
//    nothing (a rebuild would move records that the undo puts back in their old places): every
//    journal it found stays for that start;
//  - then settles a company's deletion that a stop left half-way (finished when its record is
//    gone, else dropped) and removes what copies and deletions left under temporary names. A
//    deletion it finishes is what the stop interrupted: that is said, in place of the notice.
// Files that a failure on the disk (a rebuild's, a write's) left to repair keep the journal at the
// company's close as well, marked so: the next start repairs them in the same way, and says why.
// A file found marked without such a stop is asked about as it is opened.

namespace shell {

// Needs the engine started and the company file names installed, and what waited in the run
// before forgotten (storage::ForgetWaitingJournals): a restore the start could not finish holds
// every company, and then nothing is undone or rebuilt.
void RecoverFromLastStop();

// Holds the open company's journal; lets go of the one held when no company is open.
void HoldOpenCompanyJournal();

}  // namespace shell
