#include "exchange/restore_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "exchange/backup_files.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/zip/zip_archive.h"

namespace exchange {

namespace fs = std::filesystem;

namespace {

// One entry of the archive on its way into the program directory.
struct Placement {
  std::string name;
  int64_t index = 0;
  uint64_t size = 0;   // as the archive's directory declares it
  std::string target;  // the live file: its name as on disk when it exists
  bool hadOld = false;
  bool saved = false;   // the live file has been moved into the staging folder
  bool placed = false;  // the new file is in place
};

// A folder in the program directory that holds the extracted files ("new") and the live files
// they replace ("old"); removed at the end unless kept.
class Staging {
 public:
  ~Staging() {
    std::error_code ignored;
    if (!path_.empty() && !keep_) fs::remove_all(path_, ignored);
  }
  bool Make(std::string* failure) {
    char pattern[] = ".restore-XXXXXX";
    if (!::mkdtemp(pattern)) {
      *failure = std::string("A work folder cannot be made in this directory: ") + FileErrorText(errno) + ".";
      return false;
    }
    path_ = pattern;
    std::error_code error;
    if (fs::create_directory(New(""), error) && fs::create_directory(Old(""), error)) return true;
    *failure = "A work folder cannot be made in this directory: " + error.message() + ".";
    return false;
  }
  std::string New(const std::string& name) const { return path_ + "/new/" + name; }
  std::string Old(const std::string& name) const { return path_ + "/old/" + name; }
  const std::string& Path() const { return path_; }
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

std::string UpperName(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Why an entry cannot be restored; empty when it can, with its live target set.
std::string CheckEntry(const platform::zip::ZipEntry& entry, const platform::files::FolderNames& directory,
                       std::set<std::string>& names, Placement& placement) {
  if (entry.isDirectory) return "a folder";
  if (entry.isLink) return "a link";
  if (!IsPlainFileName(entry.name)) return "not a plain file name";
  // Names are matched whatever the case of their letters, as the program finds its files.
  if (!names.insert(UpperName(entry.name)).second) return "a second entry of the same name";
  platform::files::ResolvedPath live = directory.Find(entry.name);
  if (live.status == platform::files::ResolveStatus::Ambiguous)
    return "more than one file of this name is in the directory";
  std::error_code error;
  placement.hadOld = live.status == platform::files::ResolveStatus::Found;
  placement.target = placement.hadOld ? live.path : entry.name;
  if (placement.hadOld && fs::is_directory(fs::symlink_status(placement.target, error)))
    return "a folder of this name is in the directory";
  return {};
}

// The entries that may be restored; the others are listed in result->skipped.
bool ChooseEntries(platform::zip::ZipReader& reader, std::vector<Placement>* placements,
                   RestoreResult* result) {
  // Read once: every entry is then found in it as the program finds its files.
  platform::files::FolderNames directory;
  int error = 0;
  if (!directory.Read(".", &error)) {
    result->failure = "The program directory cannot be read: " + FileErrorText(error) + ".";
    return false;
  }
  std::set<std::string> names;
  for (int64_t i = 0; i < reader.Count(); ++i) {
    platform::zip::ZipEntry entry;
    if (!reader.Entry(i, &entry)) {
      result->failure = reader.Error();
      return false;
    }
    if (UpperName(entry.name) == UpperName(SafetyFolderName)) {
      // Restored, it would be deleted again when the safety copy takes its name.
      result->failure = "The archive holds an entry named \"" + entry.name +
                        "\", the name of the folder that keeps the files a restore replaces.";
      return false;
    }
    Placement placement;
    placement.name = entry.name;
    placement.index = i;
    placement.size = entry.size;
    std::string why = CheckEntry(entry, directory, names, placement);
    if (why.empty()) {
      placements->push_back(placement);
    } else {
      result->skipped.push_back(entry.name + " (" + why + ")");
    }
  }
  return true;
}

// The declared sizes must fit in the free space of the program directory's disk.
bool RoomForAll(const std::vector<Placement>& placements, const Staging& staging, std::string* failure) {
  uint64_t needed = 0;
  for (const Placement& placement : placements)
    needed = placement.size > UINT64_MAX - needed ? UINT64_MAX : needed + placement.size;
  std::error_code error;
  const fs::space_info space = fs::space(staging.Path(), error);
  if (error) {
    *failure = "The free disk space cannot be found out: " + error.message() + ".";
    return false;
  }
  if (needed <= space.available) return true;
  *failure = "There is not enough free disk space for the restore: " + std::to_string(needed) +
             " bytes are needed, " + std::to_string(space.available) + " are free.";
  return false;
}

bool ExtractAll(platform::zip::ZipReader& reader, const std::vector<Placement>& placements,
                const Staging& staging, std::string* failure) {
  for (const Placement& placement : placements) {
    if (!reader.ExtractTo(placement.index, staging.New(placement.name))) {
      *failure = reader.Error();
      return false;
    }
  }
  return true;
}

// A file that another program holds would be replaced under its feet.
bool NoneInUse(const std::vector<Placement>& placements, std::string* failure) {
  for (const Placement& placement : placements) {
    if (!placement.hadOld) continue;
    platform::files::File file;
    if (!file.Open(placement.target, platform::files::OpenMode::ReadOnly) && file.error() == EWOULDBLOCK) {
      *failure = placement.target + ": " + FileErrorText(EWOULDBLOCK) + ".";
      return false;
    }
  }
  return true;
}

// Undoes PutInPlace; false when something could not be put back. Every name is known as it is
// spelled on disk, so the moves look nothing up.
bool MoveBack(std::vector<Placement>& placements, const Staging& staging) {
  bool whole = true;
  for (auto it = placements.rbegin(); it != placements.rend(); ++it) {
    if (it->saved) {
      whole = platform::files::RenameSpelledFile(staging.Old(it->name), it->target) && whole;
    } else if (it->placed) {
      whole = platform::files::DeleteFile(it->target) && whole;
    }
    it->saved = it->placed = false;
  }
  return whole;
}

bool PutInPlace(std::vector<Placement>& placements, const Staging& staging, std::string* failure) {
  for (Placement& placement : placements) {
    int error = 0;
    if (placement.hadOld) {
      placement.saved =
          platform::files::RenameSpelledFile(placement.target, staging.Old(placement.name), &error);
      if (!placement.saved) {
        *failure = placement.target + ": " + FileErrorText(error) + ".";
        return false;
      }
    }
    placement.placed =
        platform::files::RenameSpelledFile(staging.New(placement.name), placement.target, &error);
    if (!placement.placed) {
      *failure = placement.target + ": " + FileErrorText(error) + ".";
      return false;
    }
  }
  return true;
}

void SyncProgramDirectory() {
  int fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The replaced files become the safety copy; when they cannot be moved there they stay in the
// staging folder, which is then kept.
void KeepSafetyCopy(Staging& staging) {
  std::error_code error;
  if (fs::is_empty(staging.Old(""), error)) return;
  std::string safety = platform::files::ResolveForUse(SafetyFolderName);
  fs::remove_all(safety, error);
  fs::rename(staging.Old(""), safety, error);
  if (error) staging.Keep();
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name.front() == '.') return false;
  for (char c : name) {
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

RestoreResult RestoreDataFiles(const std::string& archiveFolder) {
  RestoreResult result;
  platform::files::ResolvedPath archive = platform::files::Resolve(archiveFolder + "/" + BackupArchiveName);
  if (archive.status == platform::files::ResolveStatus::NotFound) {
    result.status = RestoreResult::Status::NoArchive;
    return result;
  }
  if (archive.status == platform::files::ResolveStatus::Ambiguous) {
    result.failure = archive.path + ": more than one file has this name in letters of different case.";
    return result;
  }
  platform::zip::ZipReader reader;
  std::vector<Placement> placements;
  Staging staging;
  if (!reader.Open(archive.path) || !ChooseEntries(reader, &placements, &result) ||
      !staging.Make(&result.failure) || !RoomForAll(placements, staging, &result.failure) ||
      !ExtractAll(reader, placements, staging, &result.failure) || !NoneInUse(placements, &result.failure)) {
    if (result.failure.empty()) result.failure = reader.Error();
    return result;
  }
  if (!PutInPlace(placements, staging, &result.failure)) {
    if (!MoveBack(placements, staging)) {
      staging.Keep();
      result.liveUnchanged = false;
      result.failure += " Some files could not be put back; the files that were replaced are in the folder " +
                        staging.Path() + "/old.";
    }
    SyncProgramDirectory();
    return result;
  }
  SyncProgramDirectory();
  KeepSafetyCopy(staging);
  for (const Placement& placement : placements) result.restored.push_back(placement.target);
  result.status = RestoreResult::Status::Restored;
  return result;
}

}  // namespace exchange
