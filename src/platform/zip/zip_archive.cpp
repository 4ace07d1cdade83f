#include "platform/zip/zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/path.h"

namespace platform::zip {
namespace {

std::string ErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

// How much to read next of an entry declared `size` bytes long of which `done` are read: up to one
// byte past the declared end, enough to tell that the data runs on.
zip_uint64_t ReadSizeWithin(uint64_t size, uint64_t done, std::size_t buffer) {
  const uint64_t left = size - std::min(size, done);
  return left < buffer ? left + 1 : buffer;
}

void ReportProgress(::zip*, double done, void* state) {
  (*static_cast<const std::function<void(double)>*>(state))(done);
}

// The file of one entry as libzip reads it while it writes the archive: opened and locked when its
// entry is begun, closed when it is done, so that one file at a time is open.
class EntryFile {
 public:
  EntryFile(std::string entry, std::string path, ZipWriter::FileFailure* failure)
      : entry_(std::move(entry)), path_(std::move(path)), failure_(failure) {
    zip_error_init(&error_);
  }
  ~EntryFile() { zip_error_fini(&error_); }
  EntryFile(const EntryFile&) = delete;
  EntryFile& operator=(const EntryFile&) = delete;

  static zip_int64_t Callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* file = static_cast<EntryFile*>(state);
    if (command != ZIP_SOURCE_FREE) return file->Run(data, length, command);
    delete file;
    return 0;
  }

 private:
  zip_int64_t Run(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_OPEN:
        offset_ = 0;
        return file_.Open(path_, files::OpenMode::ReadOnly) ? 0 : Failed(ZIP_ER_OPEN, file_.error());
      case ZIP_SOURCE_READ: {
        size_t got = 0;
        if (!file_.ReadAt(offset_, data, length, &got) && file_.error() != 0)
          return Failed(ZIP_ER_READ, file_.error());
        offset_ += static_cast<int64_t>(got);
        return static_cast<zip_int64_t>(got);
      }
      case ZIP_SOURCE_CLOSE:
        file_.Close();
        return 0;
      case ZIP_SOURCE_STAT:
        return Stat(data, length);
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
      default:
        zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  // The size and time of the file, as libzip's own file source gives them.
  zip_int64_t Stat(void* data, zip_uint64_t length) {
    auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
    if (!stat) return -1;
    struct stat info;
    if (::stat(path_.c_str(), &info) != 0) return Failed(ZIP_ER_READ, errno);
    stat->size = static_cast<zip_uint64_t>(info.st_size);
    stat->mtime = info.st_mtime;
    stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    return sizeof(*stat);
  }

  zip_int64_t Failed(int code, int error) {
    zip_error_set(&error_, code, error);
    *failure_ = {entry_, error};
    return -1;
  }

  std::string entry_;
  std::string path_;
  ZipWriter::FileFailure* failure_;
  files::File file_;
  int64_t offset_ = 0;
  zip_error_t error_;
};

}  // namespace

// The archive as libzip writes it, in place of libzip's own file source, which renames its
// temporary file over the target before anything is synced: here the temporary file is written
// through the file layer, synced and closed, then renamed over the target, and then the folder
// is synced. The old archive is never read (a new one is made), so the reading commands fail.
class ArchiveOutput {
 public:
  explicit ArchiveOutput(std::string target) : target_(std::move(target)), temp_(target_ + ".tmp~") {
    zip_error_init(&error_);
  }
  ~ArchiveOutput() { zip_error_fini(&error_); }
  ArchiveOutput(const ArchiveOutput&) = delete;
  ArchiveOutput& operator=(const ArchiveOutput&) = delete;

  // The zip_t owns the source but not this state, which the writer keeps for what failed.
  static zip_int64_t Callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    return static_cast<ArchiveOutput*>(state)->Run(data, length, command);
  }

  const std::string& Failure() const { return failure_; }
  bool Replaced() const { return replaced_; }

 private:
  zip_int64_t Run(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_STAT:  // no archive to read: a new one is made
        zip_error_set(&error_, ZIP_ER_READ, ENOENT);
        return -1;
      case ZIP_SOURCE_BEGIN_WRITE:
        return BeginWrite() ? 0 : -1;
      case ZIP_SOURCE_WRITE:
        return Write(data, length) ? static_cast<zip_int64_t>(length) : -1;
      case ZIP_SOURCE_SEEK_WRITE: {
        const zip_int64_t to = zip_source_seek_compute_offset(
            static_cast<zip_uint64_t>(offset_), static_cast<zip_uint64_t>(end_), data, length, &error_);
        if (to >= 0) offset_ = to;
        return to < 0 ? -1 : 0;
      }
      case ZIP_SOURCE_TELL_WRITE:
        return offset_;
      case ZIP_SOURCE_COMMIT_WRITE:
        return CommitWrite() ? 0 : -1;
      case ZIP_SOURCE_ROLLBACK_WRITE:
        Discard();
        return 0;
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_FREE:
        return 0;
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_BEGIN_WRITE,
            ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE,
            ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_SUPPORTS, ZIP_SOURCE_REMOVE, -1);
      default:  // reading the old archive, or removing it for an empty one: never wanted
        zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  bool BeginWrite() {
    offset_ = end_ = 0;
    if (!file_.OpenSpelled(temp_, files::OpenMode::CreateAlways)) return Fail(target_, file_.error());
    tempMade_ = true;
    return true;
  }

  bool Write(const void* data, zip_uint64_t length) {
    if (!file_.WriteAt(offset_, data, length)) return Fail(target_, file_.error());
    offset_ += static_cast<int64_t>(length);
    end_ = std::max(end_, offset_);
    return true;
  }

  // The whole archive synced before it takes the target's name, the name synced after.
  bool CommitWrite() {
    if (!file_.Flush() || !file_.Close()) return Fail(target_, file_.error());
    int error = 0;
    if (!files::RenameSpelledFile(temp_, target_, &error)) return Fail(target_, error);
    replaced_ = true;
    if (!files::SyncFolder(target_, &error)) {
      const std::string folder = files::DirName(target_);
      return Fail(folder.empty() ? "." : folder, error);
    }
    return true;
  }

  // A temporary file that did not become the archive goes.
  void Discard() {
    file_.Close();
    if (tempMade_ && !replaced_)
      (void)files::DeleteFile(temp_);  // the next backup to this folder writes over it
    tempMade_ = false;
  }

  // What failed, with the system's reason, for libzip and for the user; false.
  bool Fail(const std::string& what, int error) {
    zip_error_set(&error_, ZIP_ER_WRITE, error);
    failure_ = what + ": " + std::strerror(error);
    Discard();
    return false;
  }

  std::string target_;
  std::string temp_;
  files::File file_;
  int64_t offset_ = 0;
  int64_t end_ = 0;
  bool tempMade_ = false;
  bool replaced_ = false;
  std::string failure_;
  zip_error_t error_;
};

ZipWriter::ZipWriter() = default;

ZipWriter::~ZipWriter() {
  if (archive_) zip_discard(archive_);
}

bool ZipWriter::Fail(const std::string& what) {
  error_ = what;
  return false;
}

bool ZipWriter::Create(const std::string& path) {
  if (archive_) zip_discard(archive_);
  archive_ = nullptr;
  error_.clear();
  path_ = path;
  failedFile_ = {};
  output_ = std::make_unique<ArchiveOutput>(path);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_function_create(ArchiveOutput::Callback, output_.get(), &error);
  if (source) archive_ = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (source && !archive_) zip_source_free(source);
  const std::string reason = zip_error_strerror(&error);
  zip_error_fini(&error);
  if (!archive_) return Fail(path + ": " + reason);
  return true;
}

bool ZipWriter::AddFile(const std::string& entryName, const std::string& sourcePath) {
  if (!archive_) return Fail("No archive is open.");
  auto file = std::make_unique<EntryFile>(entryName, sourcePath, &failedFile_);
  zip_source_t* source = zip_source_function(archive_, EntryFile::Callback, file.get());
  if (!source) return Fail(sourcePath + ": " + zip_strerror(archive_));
  file.release();  // the source's now: freed with it
  zip_int64_t index = zip_file_add(archive_, entryName.c_str(), source, ZIP_FL_ENC_GUESS);
  if (index < 0) {
    zip_source_free(source);
    return Fail(entryName + ": " + zip_strerror(archive_));
  }
  if (zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0) != 0)
    return Fail(entryName + ": " + zip_strerror(archive_));
  return true;
}

bool ZipWriter::Commit(const std::function<void(double)>& progress) {
  if (!archive_) return Fail("No archive is open.");
  // An archive without entries would be no backup at all; libzip would remove the target.
  if (zip_get_num_entries(archive_, 0) <= 0) return Fail("There is nothing to put into " + path_ + ".");
  if (progress)
    zip_register_progress_callback_with_state(archive_, 0.01, ReportProgress, nullptr,
                                              const_cast<std::function<void(double)>*>(&progress));
  if (zip_close(archive_) == 0) {
    archive_ = nullptr;
    return true;
  }
  // The archive's own file says what failed with the system's words; libzip's text otherwise.
  const std::string reason =
      output_->Failure().empty() ? path_ + ": " + zip_strerror(archive_) : output_->Failure();
  zip_discard(archive_);
  archive_ = nullptr;
  return Fail(reason);
}

bool ZipWriter::Replaced() const {
  return output_ && output_->Replaced();
}

ZipReader::~ZipReader() {
  Close();
}

bool ZipReader::Fail(const std::string& what) {
  error_ = what;
  return false;
}

bool ZipReader::Open(const std::string& path) {
  Close();
  error_.clear();
  int code = 0;
  archive_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!archive_) return Fail(path + ": " + ErrorText(code));
  return true;
}

void ZipReader::Close() {
  if (archive_) zip_discard(archive_);
  archive_ = nullptr;
}

int64_t ZipReader::Count() const {
  return archive_ ? zip_get_num_entries(archive_, 0) : 0;
}

bool ZipReader::Entry(int64_t index, ZipEntry* entry) {
  if (!archive_) return Fail("No archive is open.");
  auto at = static_cast<zip_uint64_t>(index);
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, at, ZIP_FL_ENC_GUESS, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
    return Fail(zip_strerror(archive_));
  *entry = ZipEntry{};
  entry->name = stat.name;
  if (stat.valid & ZIP_STAT_SIZE) entry->size = stat.size;
  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(archive_, at, 0, &system, &attributes) != 0)
    return Fail(zip_strerror(archive_));
  // Unix archivers keep the file's mode in the upper half of the external attributes.
  mode_t type = system == ZIP_OPSYS_UNIX ? (attributes >> 16) & S_IFMT : 0;
  entry->isLink = type == S_IFLNK;
  entry->isDirectory = type == S_IFDIR || (!entry->name.empty() && entry->name.back() == '/');
  return true;
}

bool ZipReader::ExtractTo(int64_t index, const std::string& path) {
  if (!archive_) return Fail("No archive is open.");
  ZipEntry entry;
  if (!Entry(index, &entry)) return false;
  zip_file_t* data = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
  if (!data) return Fail(entry.name + ": " + zip_strerror(archive_));
  // Written through the file layer, as every file the program writes: a test can stop it there.
  // A failure names the entry, as the user knows it, not the place it was being written to.
  platform::files::File out;
  if (!out.OpenSpelled(path, platform::files::OpenMode::CreateNew)) {
    zip_fclose(data);
    return Fail(entry.name + ": " + std::strerror(out.error()));
  }
  std::string problem;
  std::vector<char> buffer(1 << 16);
  uint64_t total = 0;
  // The checksum is compared when the last byte has been read: a damaged entry fails its last read.
  // No more than one byte past the declared size is read, so an entry that inflates beyond it
  // (a bomb) is refused before it fills the disk.
  for (;;) {
    zip_int64_t got = zip_fread(data, buffer.data(), ReadSizeWithin(entry.size, total, buffer.size()));
    if (got < 0) {
      problem = entry.name + ": " + zip_file_strerror(data);
      break;
    }
    if (got == 0) break;
    if (total + static_cast<uint64_t>(got) > entry.size) {
      problem = entry.name + ": " + ErrorText(ZIP_ER_INCONS);
      break;
    }
    if (!out.WriteAt(static_cast<int64_t>(total), buffer.data(), static_cast<size_t>(got))) {
      problem = entry.name + ": " + std::strerror(out.error());
      break;
    }
    total += static_cast<uint64_t>(got);
  }
  int closed = zip_fclose(data);
  if (problem.empty() && closed != 0) problem = entry.name + ": " + ErrorText(closed);
  if (problem.empty() && total != entry.size) problem = entry.name + ": " + ErrorText(ZIP_ER_INCONS);
  if (problem.empty() && !out.Flush()) problem = entry.name + ": " + std::strerror(out.error());
  if (!out.Close() && problem.empty()) problem = entry.name + ": " + std::strerror(out.error());
  if (problem.empty()) return true;
  ::unlink(path.c_str());
  return Fail(problem);
}

}  // namespace platform::zip
