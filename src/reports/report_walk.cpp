#include "reports/report_walk.h"

#include "records/system_reason.h"

namespace reports {

ReportFile::ReportFile(storage::DataFileUnit& unit) : unit_(unit) {
  if (unit_.File()) return;
  storage::IsamOpenFileBlock(unit_.File(), unit_.FileName(), true, false, false, false);
  opened_ = storage::IsamOK && unit_.File();
  if (opened_) return;
  unit_.File() = nullptr;
  // A file not made yet for this company simply has nothing to report; any other failure is said.
  if (!records::DataFileMissing()) records::ThrowFileUnusable(unit_);
}

ReportFile::~ReportFile() {
  if (opened_ && unit_.File()) storage::IsamCloseFileBlock(unit_.File());
}

void ReportFile::EndOrThrow() const {
  if (!records::IsEndOfWalk()) records::ThrowFileUnusable(unit_);
}

void ThrowFileUnusable(const ReportFile& report) {
  records::ThrowFileUnusable(report.Unit());
}

}  // namespace reports
