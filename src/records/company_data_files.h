#pragma once
// The data files of one company as a whole: its nine file sets (products, customers, invoices,
// invoice lines and memos, purchase orders, PO lines and memos, vendors), each a .DAT and an .IX
// file named by the company number and the file code.

#include <string_view>

namespace records {

// Copies the data and index files of one file code from one company to another. Both files are
// first copied to temporary names beside their targets and only then renamed into place, so the
// target company never holds a data file beside an index that belongs to another one. False when
// either file could not be copied; the target's files are then as they were, or absent when a
// replacement could not be completed.
bool CopyCompanyFiles(std::string_view fromCompany, std::string_view toCompany, std::string_view fileCode);

// The number of entries of key 1 of a company's file; a file that cannot be opened counts as
// empty.
int CountCompanyFileEntries(std::string_view company, std::string_view fileCode);

// Deletes the company's 18 data files; a missing file is skipped, no other file is touched, and a
// number that cannot name files deletes nothing.
void DeleteCompanyDataFiles(std::string_view company);

// Rebuilds and reindexes the company list and every data file of the open company, one file set
// after another with the progress window, whatever the one before reported (each reports its own
// failure). A set whose data file does not exist, or that a window holds open, is left alone.
// True when all of them succeeded.
bool RebuildCompanyDataFiles();

}  // namespace records
