#pragma once
// The reports over the invoice file: the invoice register and the key code inquiry walk the
// invoice date over the range; the tax report and the payment register walk the date paid first
// and then the invoice date for the partly paid invoices.

#include "reports/report_lines.h"

namespace reports {

ReportOutput CollectInvoiceRegister(const ReportRequest& request);
ReportOutput CollectInvoiceKeyCodeInquiry(const ReportRequest& request);
ReportOutput CollectTaxReport(const ReportRequest& request);
ReportOutput CollectPaymentRegister(const ReportRequest& request);

}  // namespace reports
