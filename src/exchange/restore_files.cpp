#include "exchange/restore_files.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>

#include "exchange/backup_files.h"
#include "exchange/restore_placement.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/zip/zip_archive.h"

namespace exchange {

namespace fs = std::filesystem;

namespace {

// One entry of the archive on its way into the program directory.
struct Entry {
  RestoreItem item;
  int64_t index = 0;
  uint64_t size = 0;  // as the archive's directory declares it
};

// The restore's work folder (restore_placement.h), removed at the end unless handed on to the
// placing of the files.
class WorkFolder {
 public:
  ~WorkFolder() {
    if (!path_.empty()) RemoveRestoreFolder(path_);
  }
  bool Make(std::string* failure) { return MakeRestoreFolder(&path_, failure); }
  const std::string& Path() const { return path_; }
  std::string Release() { return std::exchange(path_, std::string()); }

 private:
  std::string path_;
};

std::string UpperName(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Why an entry cannot be restored; empty when it can, with its live target set.
std::string CheckEntry(const platform::zip::ZipEntry& entry, const platform::files::FolderNames& directory,
                       std::set<std::string>& names, RestoreItem& item) {
  if (entry.isDirectory) return "a folder";
  if (entry.isLink) return "a link";
  if (!IsPlainFileName(entry.name)) return "not a plain file name";
  // Names are matched whatever the case of their letters, as the program finds its files.
  if (!names.insert(UpperName(entry.name)).second) return "a second entry of the same name";
  platform::files::ResolvedPath live = directory.Find(entry.name);
  if (live.status == platform::files::ResolveStatus::Ambiguous)
    return "more than one file of this name is in the directory";
  std::error_code error;
  item.hadOld = live.status == platform::files::ResolveStatus::Found;
  item.target = item.hadOld ? live.path : entry.name;
  if (item.hadOld && fs::is_directory(fs::symlink_status(item.target, error)))
    return "a folder of this name is in the directory";
  return {};
}

// The entries that may be restored; the others are listed in result->skipped.
bool ChooseEntries(platform::zip::ZipReader& reader, std::vector<Entry>* entries, RestoreResult* result) {
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
    Entry chosen;
    chosen.item.name = entry.name;
    chosen.index = i;
    chosen.size = entry.size;
    std::string why = CheckEntry(entry, directory, names, chosen.item);
    if (why.empty()) {
      entries->push_back(chosen);
    } else {
      result->skipped.push_back(entry.name + " (" + why + ")");
    }
  }
  return true;
}

// The declared sizes must fit in the free space of the program directory's disk.
bool RoomForAll(const std::vector<Entry>& entries, const WorkFolder& work, std::string* failure) {
  uint64_t needed = 0;
  for (const Entry& entry : entries)
    needed = entry.size > UINT64_MAX - needed ? UINT64_MAX : needed + entry.size;
  std::error_code error;
  const fs::space_info space = fs::space(work.Path(), error);
  if (error) {
    *failure = "The free disk space cannot be found out: " + error.message() + ".";
    return false;
  }
  if (needed <= space.available) return true;
  *failure = "There is not enough free disk space for the restore: " + std::to_string(needed) +
             " bytes are needed, " + std::to_string(space.available) + " are free.";
  return false;
}

bool ExtractAll(platform::zip::ZipReader& reader, const std::vector<Entry>& entries, const WorkFolder& work,
                std::string* failure) {
  for (const Entry& entry : entries) {
    if (!reader.ExtractTo(entry.index, StagedFile(work.Path(), entry.item.name))) {
      *failure = reader.Error();
      return false;
    }
  }
  return true;
}

// A file that another program holds would be replaced under its feet.
bool NoneInUse(const std::vector<Entry>& entries, std::string* failure) {
  for (const Entry& entry : entries) {
    if (!entry.item.hadOld) continue;
    platform::files::File file;
    if (!file.Open(entry.item.target, platform::files::OpenMode::ReadOnly) && file.error() == EWOULDBLOCK) {
      *failure = entry.item.target + ": " + FileErrorText(EWOULDBLOCK) + ".";
      return false;
    }
  }
  return true;
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
  std::vector<Entry> entries;
  WorkFolder work;
  if (!reader.Open(archive.path) || !ChooseEntries(reader, &entries, &result) ||
      !work.Make(&result.failure) || !RoomForAll(entries, work, &result.failure) ||
      !ExtractAll(reader, entries, work, &result.failure) || !NoneInUse(entries, &result.failure)) {
    if (result.failure.empty()) result.failure = reader.Error();
    return result;
  }
  result.status = RestoreResult::Status::Restored;
  if (entries.empty()) return result;
  RestorePlan plan{work.Release(), {}, {}};
  for (const Entry& entry : entries) plan.items.push_back(entry.item);
  std::vector<std::string> names;
  for (const RestoreItem& item : plan.items) names.push_back(item.target);
  plan.journals = storage::JournalsOfCompaniesIn(names);
  switch (PlaceRestoredFiles(plan, &result.failure)) {
    case Placement::Placed:
      for (const RestoreItem& item : plan.items) result.restored.push_back(item.target);
      result.retired = plan.journals;
      break;
    case Placement::KeptLive:
      result.status = RestoreResult::Status::Failed;
      break;
    case Placement::Left:
      result.status = RestoreResult::Status::Failed;
      result.liveUnchanged = false;
      break;
  }
  return result;
}

}  // namespace exchange
