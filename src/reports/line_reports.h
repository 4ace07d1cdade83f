#pragma once
// The reports over document lines: "Purchase Detail" and "Receiving Report" read the PO detail
// file, "Sales Report" and "Profit Report" the invoice detail file. Each walks one date key over
// the request's range and makes one row per line.

#include "reports/report_lines.h"

namespace reports {

ReportOutput CollectPurchaseDetail(const ReportRequest& request);
ReportOutput CollectReceivingReport(const ReportRequest& request);
ReportOutput CollectSalesReport(const ReportRequest& request);
ReportOutput CollectProfitReport(const ReportRequest& request);

}  // namespace reports
