#pragma once
// The "Interest Charges Report": the customers an interest run charged, with their overdue
// amounts, charges and invoice numbers, printed page by page with a page head.

#include <QDateTime>
#include <QString>
#include <vector>

#include "invoicing/interest_charges.h"
#include "platform/print/printer.h"
#include "records/company_rec.h"

namespace invoicing {

// periodCaption heads the overdue column ("Over 30 Days"). Raises what the printer raises; the
// job is then dropped.
void PrintInterestReport(const std::vector<InterestRow>& rows, const InterestSettings& settings,
                         const QString& periodCaption, const records::CompanyRec& company,
                         const QDateTime& now, platform::print::TPrinter& printer);

}  // namespace invoicing
