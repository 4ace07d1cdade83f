#pragma once
// The last-company file "LastCo.Dat" in the program directory: exactly one 3600-byte record, the
// whole CompanyRec of the company last opened (layout in app/records/company_rec.h). At start it
// only names the company; every setting is then read from the company list file. It is replaced
// whole (written beside, then renamed), so a failed write leaves the previous company named.

#include <string_view>

#include "records/company_rec.h"

namespace records {

inline constexpr std::string_view LastCompanyFileName = "LastCo.Dat";

enum class LastCompanyStatus {
  Loaded,              // CurrentCompany holds the company's record from the company list file
  NoCompany,           // none set up yet (no LastCo.Dat, a short one, a number that cannot name files, or
                       // a company no longer on file)
  CompanyListUnopened  // LastCo.Dat names a company, but the company list file could not be
                       // opened (its repair was declined or failed): the company is not gone
};

// Start-up: CurrentCompany := the company named by LastCo.Dat, read from ovcomp; all zeros
// when there is none.
LastCompanyStatus LoadCurrentCompany();

// Makes CompanyWorkRec the current company and writes it to LastCo.Dat. A failed write is
// reported; the company is current for this run either way.
[[nodiscard]] bool SaveCurrentCompany();

// The program's short date format from the open company's date order: "dd/mm/yyyy" for "D",
// "mm/dd/yyyy" for anything else.
void ApplyCompanyDateFormat();

}  // namespace records
