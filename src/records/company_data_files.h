#pragma once
// The data files of one company as a whole: its nine file sets (products, customers, invoices,
// invoice lines and memos, purchase orders, PO lines and memos, vendors), each a .DAT and an .IX
// file named by the company number and the file code.

#include <QString>
#include <optional>
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
// beside it and the mark cleared. What a stopped copy left under temporary names is removed by the
// next copy to the same file set, or by the next start. A deletion of the target company left
// half-done is finished first. False, with the target as it was and *failure saying why ("the file
// 1P.DAT could not be read: No such file or directory"), when the copy could not be made, a target
// file is held open, or a posting waits to be undone (storage::PostingJournalWaits).
[[nodiscard]] bool CopyCompanyFiles(std::string_view fromCompany, std::string_view toCompany,
                                    std::string_view fileCode, std::string* failure);

// The company whose data or index file of one of the nine file sets a name is ("12PD.IX": "12",
// "A7c.dat": "A7"), in upper case; nothing for any other name (the company list, a journal, the
// password file).
std::optional<std::string> CompanyOfDataFile(std::string_view name);

// The data and index files of the company's file sets that are in the program directory, spelt
// as they are there and in order: what a new company of that number would take in as its own.
// None while the mark of the company's deletion is there: those files are what that deletion left,
// and they go before the number is used again. Throws FileUnusable when the folder cannot be read.
std::vector<std::string> DataFilesInTheWayOf(std::string_view company);

// The files in the program directory that companies set up there leave (files or links to files,
// not folders of those names): the last-company file, the data and index files of any company's
// file sets, the company list's index, and the list as a rebuild of it that did not finish left it
// (CompanyListSaveName), spelt as they are there, in order, that saved list first. None in a
// directory never set up (the program's own settings files, the terms and the password, are not
// among them). Throws FileUnusable when the folder cannot be read.
std::vector<std::string> FilesOfAnEarlierSetUp();

// The name under which a rebuild of the company list keeps the list until it is done: "ovcomp.SAV".
std::string CompanyListSaveName();

// The number of entries of key 1 of a company's file; 0 when the file is not there (none made
// yet). Throws FileUnusable when it is there and cannot be opened or counted: that is no empty
// file.
int CountCompanyFileEntries(std::string_view company, std::string_view fileCode);

// Deletes the company's 18 data files and what copies into them left under temporary names; a
// missing file is skipped, no other file is touched, and a number that cannot name files deletes
// nothing. True when none of them is left; else *failure, when given, names the first file that
// could not be deleted and the system's reason.
[[nodiscard]] bool DeleteCompanyDataFiles(std::string_view company, std::string* failure = nullptr);

// Deletes a company with its data files, so that whatever stops it (a kill, a power cut, a write
// or sync that fails) the company is either listed with all its files or gone with nothing of it
// left, and a new company of that number never finds the old one's files:
//   1. the mark "<number>.DEL" is written and synced: the company's files are to go;
//   2. the company's record is deleted from the open company file as a posting of its own
//      ("deletion of company 7"), on the disk before anything else goes: the deletion's commit;
//   3. the data files are deleted and the folder synced, then the mark.
// A stop before 2 is committed leaves the company whole: the start undoes the posting and drops
// the mark. After it, the files a stop or a failure left go at the next start, or before the
// number is used again, unheard: the company is deleted. Throws std::runtime_error with the system's
// reason when the deletion failed (storage::PostingFailed when the record's removal did, saying
// whether it was undone), and refuses while a posting waits to be undone.
void DeleteCompanyWhole(std::string_view company, storage::IsamRecRef ref);

// The company's deletion as its posting and every message name it: "the deletion of company 7".
std::string CompanyDeletionPosting(std::string_view company);

// Settles a deletion of the company that was stopped half-way: with its record on file, the mark is
// dropped and the company stays; with its record gone, its leftover data files are deleted, then
// the mark (*finished, when given, says that this was done). True when nothing is left to settle;
// false, with *failure saying why when given ("the file ovcomp.IX cannot be read now: Input/output
// error"), when the company file could not be opened, searched or read (every file and the mark
// stay: a list that cannot be read is no company gone), a leftover could not be deleted (the mark
// then stays for the next try), or a posting waits to be undone (the company file may hold half of
// this deletion).
[[nodiscard]] bool FinishCompanyDeletion(std::string_view company, std::string* failure = nullptr,
                                         bool* finished = nullptr);
// Whether the mark of a company's deletion is in the program directory: a deletion a stop or a
// failure left half-way, to be settled.
[[nodiscard]] bool CompanyDeletionLeft();
// Settles every mark in the program directory; the companies whose deletion it finished. One that
// cannot be settled now is said with its failure (unless a posting that waits holds it, which is
// said itself) and stays for the next try.
std::vector<std::string> FinishCompanyDeletions();

// What the start does about copies and deletions of company files that a stop left: every mark is
// settled, and what they left under temporary names ("7P.DAT.TMP", "7.DEL.tmp~") is removed. The
// companies whose deletion it finished, for the start to say so.
std::vector<std::string> FinishStoppedCompanyFileWork();

// Rebuilds and reindexes the company list and every data file of the open company, one file set
// after another with the progress window, each whatever the one before reported. A failure says
// why as it happens; with `failed` given, it is kept there instead ("The file 7C.DAT could not be
// rebuilt: Permission denied."), for the caller to tell all at once. A set whose data file does
// not exist, or that a window holds open, is left alone. True when all of them
// succeeded. While a posting waits to be undone nothing is rebuilt, and the user is told why.
[[nodiscard]] bool RebuildCompanyDataFiles(std::vector<std::string>* failed = nullptr);

// While a posting waits to be undone: tells the user that `subject` ("The data files") cannot be
// `verb` ("rebuilt") until it is, and what to do, and returns true.
[[nodiscard]] bool RefuseWhileJournalWaits(const std::string& subject, const std::string& verb,
                                           const QString& title);

// The data files of a company, and the company list, that a run left marked for repair or with a
// rebuild unfinished (their names); and their rebuild, each with its progress window, as the start
// after a stop does it. False when one of them failed (it said so).
std::vector<std::string> FilesLeftForRepair(std::string_view company);
[[nodiscard]] bool RebuildFilesLeftForRepair(std::string_view company);
// False when the mark of one of those files cannot be read now (no permission, an I/O error): it
// may be left for repair.
[[nodiscard]] bool RepairMarksReadable(std::string_view company);

}  // namespace records
