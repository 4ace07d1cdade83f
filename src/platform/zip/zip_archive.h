#pragma once
// ZIP archives through libzip: writing an archive of files stored under bare entry names, and
// reading one back entry by entry. Only what the backup and restore need.
//
// A written archive never half-replaces an older one, not even across a power cut: the archive
// is written through the file layer into "<target>.tmp~" beside the target, synced, renamed over
// the target, and then the folder is synced. Until the rename (and after any failure before it)
// the old archive stays as it was; a temporary file left by a stop is written over by the next.
//
// Errors return false and leave a readable reason in Error().

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct zip;

namespace platform::zip {

class ArchiveOutput;

class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();  // discards an archive that was not committed
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Starts a new, empty archive that will replace `path` when committed.
  [[nodiscard]] bool Create(const std::string& path);
  // Adds the file at sourcePath as entry `entryName`, deflated. The file is read at Commit,
  // opened as the program opens its files (locked against every other opener) only while it is
  // read, so an archive may hold more files than a process may have open.
  [[nodiscard]] bool AddFile(const std::string& entryName, const std::string& sourcePath);
  // Writes the archive, flushes it to the disk and puts it in place. progress (may be empty) is
  // called now and then while the archive is written, with the share done (0 to 1).
  [[nodiscard]] bool Commit(const std::function<void(double)>& progress = {});

  const std::string& Error() const { return error_; }
  // After a failed Commit: the new archive had taken the old one's place already, and only the
  // sync of its folder failed: it is whole there, but a power cut may still bring the old back.
  bool Replaced() const;

  // After a failed Commit: the entry whose file could not be opened or read, and the system's
  // errno-style code; an empty entry when the failure was another.
  struct FileFailure {
    std::string entry;
    int error = 0;
  };
  const FileFailure& FailedFile() const { return failedFile_; }

 private:
  [[nodiscard]] bool Fail(const std::string& what);

  ::zip* archive_ = nullptr;
  std::string path_;
  std::string error_;
  FileFailure failedFile_;
  std::unique_ptr<ArchiveOutput> output_;  // where libzip writes the archive
};

struct ZipEntry {
  std::string name;  // as stored (slashes and all)
  uint64_t size = 0;
  bool isDirectory = false;
  bool isLink = false;  // a symbolic link made on a Unix system
};

class ZipReader {
 public:
  ZipReader() = default;
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Opens an existing archive read-only, checking its directory for consistency.
  [[nodiscard]] bool Open(const std::string& path);
  int64_t Count() const;
  [[nodiscard]] bool Entry(int64_t index, ZipEntry* entry);
  // Writes the entry's data into a new file at path (which must not exist yet), flushed to the
  // disk. Fails when the data does not match its checksum or its size; data running past the
  // declared size is never written past it.
  [[nodiscard]] bool ExtractTo(int64_t index, const std::string& path);
  void Close();

  const std::string& Error() const { return error_; }

 private:
  [[nodiscard]] bool Fail(const std::string& what);

  ::zip* archive_ = nullptr;
  std::string error_;
};

}  // namespace platform::zip
