#include "reports/report_walk.h"

namespace reports {

ReportFile::ReportFile(storage::DataFileUnit& unit) : unit_(unit) {
  if (unit_.File()) return;
  // A file that cannot be opened (none made yet for this company) simply has nothing to report.
  storage::IsamOpenFileBlock(unit_.File(), unit_.FileName(), true, false, false, false);
  opened_ = storage::IsamOK && unit_.File();
  if (!opened_) unit_.File() = nullptr;
}

ReportFile::~ReportFile() {
  if (opened_ && unit_.File()) storage::IsamCloseFileBlock(unit_.File());
}

}  // namespace reports
