#pragma once
// The engine's thin file layer: operations on an exclusively opened file that turn
// operating-system failures into the engine's error codes. Each sets IsamOK and IsamError
// on failure (and leaves them alone on success) and returns whether it succeeded.

#include <cstdint>
#include <string>

#include "platform/files/file.h"

namespace storage {

[[nodiscard]] bool IsamOpenExisting(platform::files::File& file, const std::string& name, bool readOnly);
[[nodiscard]] bool IsamCreateFile(platform::files::File& file, const std::string& name);
[[nodiscard]] bool IsamReadAt(platform::files::File& file, int64_t pos, void* buffer, size_t length);
[[nodiscard]] bool IsamWriteAt(platform::files::File& file, int64_t pos, const void* buffer, size_t length);
[[nodiscard]] bool IsamZeroFill(platform::files::File& file, int64_t pos, size_t length);
[[nodiscard]] bool IsamFileSize(platform::files::File& file, int64_t* size);
[[nodiscard]] bool IsamTruncate(platform::files::File& file, int64_t size);
[[nodiscard]] bool IsamFlushFile(platform::files::File& file);
// Asks the system to start writing the given bytes (length 0: to the end of the file) to the disk
// without waiting, so that a later IsamFlushFile has less left to wait for. Only a hint: it
// changes nothing in the file, and a failure is left to that flush to meet.
void IsamStartWriteBack(platform::files::File& file, int64_t pos, int64_t length);
[[nodiscard]] bool IsamCloseFile(platform::files::File& file);
[[nodiscard]] bool IsamDeleteFile(const std::string& name);
[[nodiscard]] bool IsamRenameFile(const std::string& from, const std::string& to);
[[nodiscard]] bool IsamFileExists(const std::string& name);

// The mapping itself, for the rare caller that meets an errno elsewhere.
enum class IsamFileOp { Open, Create, ReadWrite, DeleteRename };
int32_t IsamMapOsError(int err, IsamFileOp op);

// Sets the failure status (IsamOK false, IsamError code) and returns false.
bool IsamFail(int32_t code);
// Sets the status of a read the system refused with err (as IsamReadAt does) and returns false.
bool IsamReadRefused(int err);

// The file that the last failure could not open, with the system's errno, for a message that
// names both; an empty Name when the last failure was not such an open.
struct IsamOpenFailure {
  std::string Name;
  int Errno = 0;
};
const IsamOpenFailure& IsamLastOpenFailure();

// The system's errno behind the last failure status, when the system refused the call (a full
// disk, an I/O error, a denied open); 0 when the last failure was the engine's own (a key not
// found, a full file, a damaged index) or nothing failed yet.
int IsamLastFailureErrno();

// Whether the system refused a call of this layer (a full disk, an I/O error) since the run began
// or the last IsamForgetRefusedCalls (a new start).
[[nodiscard]] bool IsamSystemRefusedACall();
void IsamForgetRefusedCalls();

// The failure status with the errno behind it, kept across clean-up calls that must not change
// what the caller reports.
struct IsamStatus {
  bool OK = true;
  int32_t Error = 0;
  int Errno = 0;
};
IsamStatus IsamCurrentStatus();
void IsamRestoreStatus(const IsamStatus& status);

}  // namespace storage
