#include "storage/file_io.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

#include "platform/files/path.h"
#include "storage/isam_types.h"
#include "storage/posting_journal.h"

namespace storage {

using platform::files::File;
using platform::files::OpenMode;

namespace {
IsamOpenFailure lastOpenFailure;
int lastFailureErrno = 0;
bool systemRefused = false;
}  // namespace

bool IsamFail(int32_t code) {
  lastOpenFailure.Name.clear();
  lastFailureErrno = 0;
  IsamOK = false;
  IsamError = code;
  return false;
}

int32_t IsamMapOsError(int err, IsamFileOp op) {
  // errno stands in for the Windows codes: ENOENT for 2 (file not found), ENOTDIR for 3 (path
  // not found), EMFILE/ENFILE for 4, EBADF for 6, EACCES/EPERM for 12 (invalid access). A
  // sharing violation (EWOULDBLOCK) is an "other" failure: 10140.
  switch (op) {
    case IsamFileOp::Open:
      if (err == ENOENT) return IsamErrFileNotFound;
      if (err == ENOTDIR) return IsamErrPathNotFound;
      if (err == EMFILE || err == ENFILE) return IsamErrTooManyOpenFiles;
      if (err == EACCES || err == EPERM || err == EROFS) return IsamErrInvalidAccess;
      return IsamErrOsFailure;
    case IsamFileOp::Create:
      if (err == ENOENT || err == ENOTDIR) return IsamErrPathNotFound;
      if (err == EMFILE || err == ENFILE) return IsamErrTooManyOpenFiles;
      return IsamErrOsFailure;
    case IsamFileOp::ReadWrite:
      if (err == EBADF) return IsamErrInvalidHandle;
      return IsamErrOsFailure;
    case IsamFileOp::DeleteRename:
      if (err == ENOENT) return IsamErrFileNotFound;
      if (err == ENOTDIR) return IsamErrPathNotFound;
      return IsamErrOsFailure;
  }
  return IsamErrOsFailure;
}

namespace {
// The failure status of a call the system refused, with the system's errno kept for its message.
bool FailWithErrno(int err, int32_t code) {
  IsamFail(code);
  lastFailureErrno = err;
  systemRefused = true;
  return false;
}

bool FailOs(int err, IsamFileOp op) {
  return FailWithErrno(err, IsamMapOsError(err, op));
}

// Linux reports a missing folder on the way to a file as ENOENT, the same as a missing file;
// the folder is looked at so that the two keep their own codes (path not found, file not found).
int MissingFolderAware(int err, const std::string& name) {
  if (err != ENOENT) return err;
  std::string folder = platform::files::DirName(name);
  return folder.empty() || platform::files::Exists(folder) ? ENOENT : ENOTDIR;
}
}  // namespace

const IsamOpenFailure& IsamLastOpenFailure() {
  return lastOpenFailure;
}

bool IsamSystemRefusedACall() {
  return systemRefused;
}

void IsamForgetRefusedCalls() {
  systemRefused = false;
}

int IsamLastFailureErrno() {
  return lastFailureErrno;
}

IsamStatus IsamCurrentStatus() {
  return {IsamOK, IsamError, lastFailureErrno};
}

void IsamRestoreStatus(const IsamStatus& status) {
  IsamOK = status.OK;
  IsamError = status.Error;
  lastFailureErrno = status.Errno;
}

bool IsamOpenExisting(File& file, const std::string& name, bool readOnly) {
  if (file.Open(name, readOnly ? OpenMode::ReadOnly : OpenMode::ReadWrite)) return true;
  FailOs(MissingFolderAware(file.error(), name), IsamFileOp::Open);
  lastOpenFailure = {name, file.error()};
  return false;
}

bool IsamCreateFile(File& file, const std::string& name) {
  if (file.Open(name, OpenMode::CreateAlways)) return true;
  return FailOs(file.error(), IsamFileOp::Create);
}

bool IsamReadRefused(int err) {
  return FailOs(err, IsamFileOp::ReadWrite);
}

bool IsamReadAt(File& file, int64_t pos, void* buffer, size_t length) {
  size_t got = 0;
  if (file.ReadAt(pos, buffer, length, &got)) return true;
  if (file.error() == 0) return IsamFail(IsamErrShortRead);
  return FailOs(file.error(), IsamFileOp::ReadWrite);
}

bool IsamWriteAt(File& file, int64_t pos, const void* buffer, size_t length) {
  if (file.WriteAt(pos, buffer, length)) return true;
  IsamPostingBroken(file.error());
  if (file.error() == ENOSPC || file.error() == EFBIG) return FailWithErrno(file.error(), IsamErrShortWrite);
  return FailOs(file.error(), IsamFileOp::ReadWrite);
}

bool IsamZeroFill(File& file, int64_t pos, size_t length) {
  if (length == 0) return true;
  try {
    std::vector<char> zeros(length, 0);
    return IsamWriteAt(file, pos, zeros.data(), zeros.size());
  } catch (const std::bad_alloc&) {
    // Without memory for one buffer, the zeros go out in small pieces.
    static const char chunk[1024] = {};
    for (size_t done = 0; done < length; done += sizeof chunk) {
      if (!IsamWriteAt(file, pos + static_cast<int64_t>(done), chunk,
                       std::min(sizeof chunk, length - done))) {
        return false;
      }
    }
    return true;
  }
}

bool IsamFileSize(File& file, int64_t* size) {
  if (file.Size(size)) return true;
  return FailOs(file.error(), IsamFileOp::ReadWrite);
}

bool IsamTruncate(File& file, int64_t size) {
  if (file.Truncate(size)) return true;
  IsamPostingBroken(file.error());
  return FailOs(file.error(), IsamFileOp::ReadWrite);
}

bool IsamFlushFile(File& file) {
  if (file.SyncData()) return true;
  IsamPostingBroken(file.error());
  return FailOs(file.error(), IsamFileOp::ReadWrite);
}

void IsamStartWriteBack(File& file, int64_t pos, int64_t length) {
  if (file.IsOpen()) ::sync_file_range(file.fd(), pos, length, SYNC_FILE_RANGE_WRITE);
}

bool IsamCloseFile(File& file) {
  if (file.Close()) return true;
  return FailOs(file.error(), IsamFileOp::ReadWrite);
}

bool IsamDeleteFile(const std::string& name) {
  int err = 0;
  if (platform::files::DeleteFile(name, &err)) return true;
  return FailOs(MissingFolderAware(err, name), IsamFileOp::DeleteRename);
}

bool IsamRenameFile(const std::string& from, const std::string& to) {
  int err = 0;
  if (platform::files::RenameFile(from, to, &err)) return true;
  if (err == ENOENT && MissingFolderAware(err, to) == ENOTDIR) err = ENOTDIR;
  return FailOs(MissingFolderAware(err, from), IsamFileOp::DeleteRename);
}

bool IsamFileExists(const std::string& name) {
  return platform::files::Exists(name);
}

}  // namespace storage
