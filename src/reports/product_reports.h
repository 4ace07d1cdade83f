#pragma once
// The reports over the product file, which list its present state and have no date range: the
// overstock and reorder reports walk the product codes, the inventory report the records in file
// order.

#include "reports/report_lines.h"

namespace reports {

ReportOutput CollectOverstockReport(const ReportRequest& request);
ReportOutput CollectReorderReport(const ReportRequest& request);
ReportOutput CollectInventoryReport(const ReportRequest& request);

}  // namespace reports
