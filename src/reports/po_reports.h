#pragma once
// The reports over the PO header file: the PO register and the PO key code inquiry walk the PO
// date over the range; the commitment report walks the date required and lists the POs not yet
// received.

#include "reports/report_lines.h"

namespace reports {

ReportOutput CollectPORegister(const ReportRequest& request);
ReportOutput CollectCommitmentReport(const ReportRequest& request);
ReportOutput CollectPOKeyCodeInquiry(const ReportRequest& request);

}  // namespace reports
