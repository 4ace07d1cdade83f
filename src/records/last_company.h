#pragma once
// The last-company file "LastCo.Dat" in the program directory: exactly one 3600-byte record, the
// whole CompanyRec of the company last opened (layout in app/records/company_rec.h). At start it
// only names the company; every setting is then read from the company list file. It is replaced
// whole (written beside, then renamed), so a failed write leaves the previous company named.

#include <string>
#include <string_view>

#include "records/company_rec.h"

namespace records {

inline constexpr std::string_view LastCompanyFileName = "LastCo.Dat";

enum class LastCompanyStatus {
  Loaded,        // CurrentCompany holds the company's record from the company list file
  NoCompany,     // none set up yet (no LastCo.Dat, a short one, a number that cannot name files, or
                 // a company no longer on file)
  CompanyUnread  // LastCo.Dat could not be read, or it names a company but the company list file
                 // could not be opened (its repair declined or failed, the system refusing it) or
                 // searched: the company is not gone
};

// Start-up: CurrentCompany := the company named by LastCo.Dat, read from ovcomp; all zeros
// when there is none. *failure, when given, says why the company could not be read when the system
// refused it ("The file ovcomp.IX cannot be opened now: Permission denied."); it is left alone
// when the user declined the company list's repair.
LastCompanyStatus LoadCurrentCompany(std::string* failure = nullptr);

// Makes CompanyWorkRec the current company and writes it to LastCo.Dat. A failed write is
// reported; the company is current for this run either way.
[[nodiscard]] bool SaveCurrentCompany();

// The program's short date format from the open company's date order: "dd/mm/yyyy" for "D",
// "mm/dd/yyyy" for anything else.
void ApplyCompanyDateFormat();

}  // namespace records
