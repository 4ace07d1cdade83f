#pragma once
// The data files of one company as a whole: its nine file sets (products, customers, invoices,
// invoice lines and memos, purchase orders, PO lines and memos, vendors), each a .DAT and an .IX
// file named by the company number and the file code.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "storage/isam_types.h"

namespace records {

// Copies the data and index files of one file code from one company to another, whole or not at
// all, whatever stops it. Both are first written under temporary names beside their targets and
// synced, the data copy marked as needing its index rebuilt (byte 20 of its header). Renaming it
// into place is the copy's commit: a stop before leaves the target as it was; after, the marked
// data file is rebuilt into its index at its next open until the copied index has been renamed in
// beside it and the mark cleared. A deletion of the target company left half-done is finished
// first. False, with the target as it was, when the copy could not be made or a target file is
// held open. Refused while a posting waits to be undone (storage::PostingJournalWaits).
[[nodiscard]] bool CopyCompanyFiles(std::string_view fromCompany, std::string_view toCompany,
                                    std::string_view fileCode);

// The number of entries of key 1 of a company's file; a file that cannot be opened counts as
// empty.
int CountCompanyFileEntries(std::string_view company, std::string_view fileCode);

// Deletes the company's 18 data files (and copies of them left under temporary names); a missing
// file is skipped, no other file is touched, and a number that cannot name files deletes nothing.
// True when none of them is left.
[[nodiscard]] bool DeleteCompanyDataFiles(std::string_view company);

// Deletes a company with its data files, so that whatever stops it the company is either whole or
// gone, and a new company of that number never finds the old one's files:
//   1. the mark "<number>.DEL" is written and synced: the company's files are to go;
//   2. the company's record is deleted from the open company file: the deletion's commit;
//   3. the data files are deleted, then the mark.
// A stop before 2 leaves the company whole (its mark is dropped when next found); after 2, the
// files it leaves are removed by FinishCompanyDeletion before the number is used again. When the
// mark or the record cannot be written, throws std::runtime_error "Delete operation failed" with
// the system's reason; the files then go only if the record went all the same.
void DeleteCompanyWhole(std::string_view company, storage::IsamRecRef ref);

// Settles a deletion of the company that was stopped half-way: with its record on file, the mark is
// dropped and the company stays; with its record gone, its leftover data files are deleted, then
// the mark. True when nothing is left to settle; false when the company file could not be read or
// a leftover could not be deleted (the mark then stays for the next try).
[[nodiscard]] bool FinishCompanyDeletion(std::string_view company);
// The same for every mark in the program directory.
void FinishCompanyDeletions();

// Test seam: the process ends with _exit(storage::IsamKilledExitCode) right after its n-th file
// step of a copy or a deletion from now on (a file written, renamed or deleted, the record
// deleted, a mark cleared), as a kill at that moment would end it; 0 turns it off.
void EndProcessAfterCompanyFileSteps(int n);

// Rebuilds and reindexes the company list and every data file of the open company, one file set
// after another with the progress window, whatever the one before reported (each reports its own
// failure). A set whose data file does not exist, or that a window holds open, is left alone.
// True when all of them succeeded. While a posting waits to be undone nothing is rebuilt, and the
// user is told why.
[[nodiscard]] bool RebuildCompanyDataFiles();

// While a posting waits to be undone: tells the user that `subject` ("The data files") cannot be
// `verb` ("rebuilt") until it is, and what to do, and returns true.
[[nodiscard]] bool RefuseWhileJournalWaits(const std::string& subject, const std::string& verb,
                                           const QString& title);

// The data files of a company, and the company list, that a run left marked for repair or with a
// rebuild unfinished (their names); and their rebuild, each with its progress window, as the start
// after a stop does it. False when one of them failed (it said so).
std::vector<std::string> FilesLeftForRepair(std::string_view company);
[[nodiscard]] bool RebuildFilesLeftForRepair(std::string_view company);

}  // namespace records
