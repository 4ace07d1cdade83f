#pragma once
// The company list file "ovcomp" (ovcomp.DAT and ovcomp.IX in the program directory): one
// CompanyRec of 3600 bytes per company, keyed by number (key 1, 5 characters, unique) and by
// name (key 2, 30 characters, duplicates allowed). Its routines are the data-file routines over
// CompanyFile, working on CompanyWorkRec.
//
// The file is open while the Company Manager is shown, and briefly in every routine that reads
// or rewrites one company.

#include <functional>
#include <string>
#include <string_view>

#include "records/company_rec.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace records {

extern storage::IsamFileBlock CompanyFile;

// Set when the company options saved the open company itself, so that the main window reads it
// anew after the Company Manager closes; cleared when the Company Manager is shown.
extern bool CurrentCompanyEdited;

const storage::DataFileKind& CompanyFileKind();
storage::DataFileUnit& CompanyUnit();

[[nodiscard]] bool CreateCompanyFile();
// Opens ovcomp, offering the rebuild of a defective index and creating a missing file (after
// "I am going to create a new, empty company file.").
[[nodiscard]] bool OpenCompanyFile();
void CloseCompanyFile();
[[nodiscard]] bool RebuildCompanyFile();
[[nodiscard]] bool SearchCompanyKey(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr);
// Adds CompanyWorkRec with both keys; a key that cannot be added undoes the add.
[[nodiscard]] bool AddCompanyRecord(storage::IsamRecRef& ref);
// Rewrites the record at ref with CompanyWorkRec, refused when the stored record no longer
// matches beforeImage (the record as it was when editing began). The change is a posting:
// storage::PostingFailed, saying why, when it could not be made durable (nothing of it is kept).
[[nodiscard]] bool UpdateCompanyRecord(const CompanyRec& beforeImage, storage::IsamRecRef ref);
// Deletes the record at ref and its keys.
[[nodiscard]] bool DeleteCompanyRecord(storage::IsamRecRef ref);

// Reads the company with this number from the open company file into record: true when a record
// with exactly that number's key is on file, false when none is. Throws FileUnusable when the
// file could not be searched or the record read: that is no company missing from the list.
[[nodiscard]] bool FindCompanyRecord(std::string_view number, CompanyRec& record, storage::IsamRecRef& ref);

// Reads one company from ovcomp (opening and closing the file around it, unless the Company
// Manager holds it open): true when it is listed, false when it is not. Throws FileUnusable when
// ovcomp could not be opened (its repair declined or failed, the system refusing it), searched
// or read.
[[nodiscard]] bool ReadCompanyRecord(std::string_view number, CompanyRec& record);

// The way every counter and total of the open company is advanced: the company's stored record
// is read into CompanyWorkRec, change alters it, it is written back in place and copied whole
// into CurrentCompany, as a posting of its own unless it is part of one. When ovcomp does not hold
// exactly the open company's number, or the change cannot be made durable, nothing is kept, the
// user is told why (once: a posting under way tells its own failure), and the result is false.
// Within a posting, a step the system refused throws with its reason (a record that cannot be read
// throws FileUnusable), so that the posting fails saying why.
// `what` names a posting of its own as the user knows the work ("the aging of receivables"); by
// default it is "the change of company 12's settings".
[[nodiscard]] bool UpdateCurrentCompanyRecord(const std::function<void(CompanyRec&)>& change, const std::string& what = {});

// The file names of the data files follow the open company: installed once at start-up.
void InstallCompanyFileNames();

}  // namespace records
