#include "records/system_reason.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/files/path.h"
#include "storage/data_file_unit.h"
#include "storage/file_io.h"
#include "storage/isam_types.h"
#include "storage/naming.h"
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

std::string DataFileFailure(const storage::DataFileUnit& unit) {
  if (storage::IsamOK) return {};
  const storage::IsamOpenFailure& open = storage::IsamLastOpenFailure();
  if (!open.Name.empty())
    return "the file " + platform::files::FileName(open.Name) +
           " could not be opened: " + std::strerror(open.Errno);
  const std::string reason = SystemReason();
  if (reason.empty()) return {};
  return "the file " + storage::IsamFileName(unit.FileName(), storage::IsamDataExt) +
         " could not be read: " + reason;
}

namespace {

// Whether the name is a data file's ("1I.DAT"), not its index's.
bool IsDataFileName(const std::string& name) {
  return name == storage::IsamFileName(name, storage::IsamDataExt);
}

// The engine's own failures, where the system refused nothing, in words; a number only for a
// failure no user meets.
std::string EngineFailureWords(int32_t error) {
  switch (error) {
    case storage::IsamErrIndexDefective:
      return "its index file is damaged and has not been rebuilt";
    case storage::IsamErrShortRead:
    case storage::IsamErrFreeChain:
    case storage::IsamErrVarChainRead:
    case storage::IsamErrHeaderTooManyKeys:
    case storage::IsamErrHeaderKeyLength:
    case storage::IsamErrHeaderItemsPerPage:
    case storage::IsamErrPageSizeNotWhole:
      return "the file is damaged";
    default:
      return "error " + std::to_string(error);
  }
}

}  // namespace

bool DataFileMissing() {
  if (storage::IsamOK) return false;
  const storage::IsamOpenFailure& open = storage::IsamLastOpenFailure();
  // An index missing beside its data file leaves records that cannot be reached: no empty file.
  if (!open.Name.empty()) return open.Errno == ENOENT && IsDataFileName(open.Name);
  return storage::IsamError == storage::IsamErrFileNotFound ||
         storage::IsamError == storage::IsamErrPathNotFound;
}

std::string DataFileUnusableText(const std::string& dataFileName) {
  if (!storage::IsamOK && storage::IsamError == storage::IsamErrPostingWaits)
    return storage::LastWaitingRefusal();
  const storage::IsamOpenFailure& open = storage::IsamLastOpenFailure();
  if (!storage::IsamOK && !open.Name.empty())
    return "The file " + platform::files::FileName(open.Name) +
           " cannot be opened now: " + FileFailureReason(open.Errno) + ".";
  const std::string reason = SystemReason();
  return "The file " + platform::files::FileName(dataFileName) +
         " cannot be read now: " + (reason.empty() ? EngineFailureWords(storage::IsamError) : reason) +
         ".";
}

std::string DataFileUnusableText(const storage::DataFileUnit& unit) {
  return DataFileUnusableText(
      storage::IsamFileName(storage::IsamDataPart(unit.FileName()), storage::IsamDataExt));
}

void ThrowFileUnusable(const std::string& dataFileName) {
  throw FileUnusable(DataFileUnusableText(dataFileName));
}

bool IsEndOfWalk() {
  switch (storage::IsamError) {
    case storage::IsamErrKeyNotFound:
    case storage::IsamErrEndOfIndex:
    case storage::IsamErrNoMoreRecords:
      return !storage::IsamOK;
    default:
      return false;
  }
}

void ThrowFileUnusable(const storage::DataFileUnit& unit) {
  throw FileUnusable(DataFileUnusableText(unit));
}

void RequireDone(bool done, const std::string& failure) {
  if (done) return;
  // A write refused while a posting waits says so in its own words, in place of the failure.
  if (storage::IsamError == storage::IsamErrPostingWaits)
    throw std::runtime_error(storage::LastWaitingRefusal());
  throw std::runtime_error(WithReason(failure, SystemReason()));
}

}  // namespace records
