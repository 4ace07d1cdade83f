#include "records/system_reason.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "storage/file_io.h"
#include "storage/isam_types.h"
#include "storage/posting_journal.h"

namespace records {

std::string SystemReason() {
  if (storage::IsamOK) return {};
  const int err = storage::IsamLastFailureErrno();
  return err ? std::strerror(err) : std::string();
}

std::string FileFailureReason(int err) {
  if (err == EWOULDBLOCK) return "in use by another program";
  return std::strerror(err ? err : EIO);
}

std::string WithReason(const std::string& failure, const std::string& reason) {
  if (reason.empty()) return failure;
  return failure + (!failure.empty() && failure.back() == '.' ? " " : ": ") + reason;
}

void RequireDone(bool done, const std::string& failure) {
  if (done) return;
  // A write refused while a posting waits says so in its own words, in place of the failure.
  if (storage::IsamError == storage::IsamErrPostingWaits)
    throw std::runtime_error(storage::LastWaitingRefusal());
  throw std::runtime_error(WithReason(failure, SystemReason()));
}

}  // namespace records
