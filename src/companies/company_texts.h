#pragma once
// The texts the Company Manager shows of its companies: the browser's header and rows, and the
// lines of the company list report. All Windows-1252.

#include <QDateTime>
#include <string>
#include <vector>

#include "records/company_rec.h"

namespace companies {

std::string CompanyBrowserHeader();
std::string CompanyBrowserRow(const records::CompanyRec& company);
// The row of an entry whose record could not be read.
std::string UnreadableCompanyRow(const std::string& key);

// The report's first three lines: title, date and time, rule.
std::vector<std::string> CompanyListHeading(const QDateTime& now);
// The lines of one company, ended by a rule; none for a company without a number.
std::vector<std::string> CompanyListEntry(const records::CompanyRec& company);

}  // namespace companies
