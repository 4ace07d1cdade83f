#pragma once
// Exclusive file access. Every file the program opens through this class is locked with
// flock(LOCK_EX|LOCK_NB) on its own open file description, so a second open of the same file,
// by this process or another, fails as a Windows sharing violation would. Delete, rename and
// create-over of a locked file fail the same way (plain Linux would let them through).
//
// No open waits: a FIFO (or any other file that is not a regular file) named here opens at once
// or fails, and its reads fail rather than block.
//
// Failures return false and keep errno in error(); a sharing violation is EWOULDBLOCK.
// Every call that changes the disk, syncs it or reads a file goes through the fault seam
// (fault_seam.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::files {

enum class OpenMode {
  ReadWrite,     // existing file, read and write
  ReadOnly,      // existing file, read only (still exclusive)
  CreateAlways,  // create or truncate, read and write
  CreateNew,     // create; fails with EEXIST when the file exists
  // The program's own side files that hostile hands may have replaced: never opened through a
  // symbolic link (ELOOP) and a regular file only (EINVAL otherwise); read and write.
  OpenOwn,    // an existing file
  CreateOwn,  // an existing file, or a new one when there is none (never truncated)
};

class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;

  // Resolves the name case-insensitively, opens and locks it.
  [[nodiscard]] bool Open(std::string_view path, OpenMode mode);
  // Open for a name spelled as it stands on disk (a new file as it is to be spelled): no lookup
  // in its folder.
  [[nodiscard]] bool OpenSpelled(std::string_view path, OpenMode mode);
  bool Close();  // what a close can report (a deferred write error) is caught by the sync before it
  [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }

  // Whole reads and writes at an offset; a short read is an error (EIO, or 0 at end of file
  // with *got telling how much was read when given).
  [[nodiscard]] bool ReadAt(int64_t offset, void* buffer, size_t length, size_t* got = nullptr);
  [[nodiscard]] bool WriteAt(int64_t offset, const void* buffer, size_t length);
  [[nodiscard]] bool Size(int64_t* size);
  [[nodiscard]] bool Truncate(int64_t size);
  // Gives [offset, offset + length) real blocks (posix_fallocate), growing the file when it ends
  // earlier, so later writes there cannot meet a full disk; ENOSPC when the disk is full.
  [[nodiscard]] bool Allocate(int64_t offset, int64_t length);
  [[nodiscard]] bool Flush();     // fsync
  [[nodiscard]] bool SyncData();  // fdatasync: the contents and size, without the times

  int error() const { return error_; }
  const std::string& path() const { return path_; }
  int fd() const { return fd_; }

 private:
  [[nodiscard]] bool Fail(int err);

  int fd_ = -1;
  int error_ = 0;
  std::string path_;
};

// Deletes a file unless some open File holds it (EWOULDBLOCK). errno-style code in *err.
[[nodiscard]] bool DeleteFile(std::string_view path, int* err = nullptr);
// Renames a file unless it or an existing target is held open; the target is replaced.
[[nodiscard]] bool RenameFile(std::string_view from, std::string_view to, int* err = nullptr);
// Swaps what two existing names lead to in one step, so that neither name is ever missing, unless
// either is held open (EWOULDBLOCK); EINVAL where the file system cannot swap names.
[[nodiscard]] bool ExchangeFiles(std::string_view first, std::string_view second, int* err = nullptr);
// RenameFile for names spelled as they stand on disk (a new target as it is to be spelled): no
// lookup in either folder, so moving many files into one folder does not read it once a file.
[[nodiscard]] bool RenameSpelledFile(std::string_view from, std::string_view to, int* err = nullptr);
// Copies a file's bytes to a new name through a temporary file (see WriteWholeFile).
[[nodiscard]] bool CopyFile(std::string_view from, std::string_view to, int* err = nullptr);

// Makes a folder (its name resolved as a file's is); one that is there already is no error, any
// other file of that name is (EEXIST). Its name is durable only once the folder holding it is
// synced (SyncFolder of the new folder's own path). errno-style code in *err.
bool CreateFolder(std::string_view path, int* err = nullptr);

// Makes the names of the folder holding the path durable (creates, deletes, renames in it):
// fsync of the folder. errno-style code in *err.
[[nodiscard]] bool SyncFolder(std::string_view pathInFolder, int* err = nullptr);

// Reads a whole (small) file; false with *err when it cannot be read.
[[nodiscard]] bool ReadWholeFile(std::string_view path, std::string* bytes, int* err = nullptr);
// What WriteWholeFile and WriteSpelledFile append to the target's name for the temporary file
// they write first ("LastCo.Dat.tmp~"); a stop can leave one behind.
inline constexpr std::string_view kWholeFileTemporarySuffix = ".tmp~";
// Writes a whole file without ever leaving it half-written: a temporary file beside the
// target is written, flushed and renamed over it, and the folder synced (false when that sync
// fails: the new contents are in place but the rename may not survive a power cut). mode gives
// the new file's permissions.
[[nodiscard]] bool WriteWholeFile(std::string_view path, std::string_view bytes, int* err = nullptr,
                                  unsigned mode = 0644);
// WriteWholeFile of a file put back as it was: its modification time (nanoseconds since the epoch)
// is set before it takes the name, so that no stop leaves it there with another.
[[nodiscard]] bool WriteWholeFileModifiedAt(std::string_view path, std::string_view bytes, int64_t modified,
                                            int* err = nullptr);
// WriteWholeFile for a name spelled as it stands on disk (a new file as it is to be spelled), less
// the folder's sync: no lookup in its folder, so that writing many files into one folder neither
// reads it nor syncs it once a file. The caller syncs the folder (SyncFolder) after the last.
[[nodiscard]] bool WriteSpelledFile(std::string_view path, std::string_view bytes, int* err = nullptr,
                                    unsigned mode = 0644);

}  // namespace platform::files
