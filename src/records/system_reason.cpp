#include "records/system_reason.h"

#include <cstring>
#include <stdexcept>

#include "storage/isam_types.h"

namespace records {

namespace {

// The codes the engine gives a failed system call on an open file.
bool SystemCallFailed(int32_t code) {
  return code == storage::IsamErrShortWrite || code == storage::IsamErrOsFailure ||
         code == storage::IsamErrInvalidAccess || code == storage::IsamErrInvalidHandle;
}

}  // namespace

std::string SystemReason(storage::IsamFileBlock file) {
  if (storage::IsamOK || file == nullptr || !SystemCallFailed(storage::IsamError)) return {};
  // The repair mark and the records are written to the data file, the keys to the index.
  const int err = file->DataFile.error() ? file->DataFile.error() : file->IndexFile.error();
  return err ? std::strerror(err) : std::string();
}

std::string WithReason(const std::string& failure, const std::string& reason) {
  if (reason.empty()) return failure;
  return failure + (!failure.empty() && failure.back() == '.' ? " " : ": ") + reason;
}

void RequireDone(bool done, const std::string& failure, storage::IsamFileBlock file) {
  if (!done) throw std::runtime_error(WithReason(failure, SystemReason(file)));
}

}  // namespace records
