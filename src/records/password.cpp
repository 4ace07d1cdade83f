#include "records/password.h"

#include <cerrno>
#include <cstring>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/key_text.h"
#include "platform/text/short_string.h"

namespace records {

namespace {

constexpr unsigned OwnerReadWrite = 0600;

std::string FileError(const char* what, int err) {
  return std::string(what) + " " + std::string(PasswordFileName) + ": " + std::strerror(err ? err : EIO);
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

}  // namespace

std::string NormalizePassword(std::string_view typed) {
  return platform::text::TrimBlanks(platform::text::TrimBlanks(typed).substr(0, PasswordMaxLength));
}

bool SystemPasswordIsSet() {
  return platform::files::Exists(PasswordFileName);
}

std::optional<std::string> ReadSystemPassword(std::string* error) {
  std::string bytes;
  int err = 0;
  if (!platform::files::ReadWholeFile(PasswordFileName, &bytes, &err)) {
    SetError(error, FileError("Cannot read", err));
    return std::nullopt;
  }
  if (bytes.size() < PasswordRecordSize) {
    SetError(error, "The password file " + std::string(PasswordFileName) + " is damaged (too short).");
    return std::nullopt;
  }
  return NormalizePassword(platform::text::ReadShortString(bytes.data(), PasswordMaxLength));
}

bool WriteSystemPassword(std::string_view password, std::string* error) {
  std::string record(PasswordRecordSize, '\0');
  platform::text::WriteShortString(record.data(), PasswordMaxLength, NormalizePassword(password));
  int err = 0;
  if (platform::files::WriteWholeFile(PasswordFileName, record, &err, OwnerReadWrite)) return true;
  SetError(error, FileError("Cannot write", err));
  return false;
}

bool RemoveSystemPassword(std::string* error) {
  int err = 0;
  if (platform::files::DeleteFile(PasswordFileName, &err) || err == ENOENT) return true;
  SetError(error, FileError("Cannot delete", err));
  return false;
}

}  // namespace records
