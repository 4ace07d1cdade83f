#pragma once
// The accounts receivable report: every open item of the invoice file (unpaid invoices, then
// open deposits) with its age in days and its aging category, as of the moment of the run.

#include <string>

#include "records/company_rec.h"
#include "reports/report_lines.h"

namespace reports {

// The aging category of an age in days, by the company's three limits and captions; past the
// third limit "Over " and that limit.
std::string AgingCategory(int ageDays, const records::CompanyRec& company);

// Whole days from the day (its midnight) to the moment, fractions dropped.
int AgeInDays(const QDate& day, const QDateTime& now);

ReportOutput CollectAccountsReceivable(const ReportRequest& request);

// Whether the company list holds the open company with a receivables balance of zero, read now:
// the one answer that lets the report say so without walking the invoices. False when the list
// does not hold it; records::FileUnusable when the list cannot be read.
bool StoredReceivablesAreZero();

}  // namespace reports
