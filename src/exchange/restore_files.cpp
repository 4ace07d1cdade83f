#include "exchange/restore_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <utility>

#include "exchange/backup_files.h"
#include "exchange/restore_placement.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/key_text.h"
#include "platform/text/word_list.h"
#include "platform/zip/zip_archive.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/system_reason.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"

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

// Whether an entry of the archive is a plain file of the program directory by its name and kind.
bool IsPlainFileEntry(const platform::zip::ZipEntry& entry) {
  return !entry.isDirectory && !entry.isLink && IsPlainFileName(entry.name);
}

// Read once: every name is then found in it as the program finds its files.
bool ReadProgramDirectory(platform::files::FolderNames* directory, RestoreResult* result) {
  int error = 0;
  if (directory->Read(".", &error)) return true;
  result->failure = "The data folder cannot be read: " + FileErrorText(error) + ".";
  return false;
}

// The entries that may be restored; the others are listed in result->skipped.
bool ChooseEntries(platform::zip::ZipReader& reader, const platform::files::FolderNames& directory,
                   std::vector<Entry>* entries, RestoreResult* result) {
  std::set<std::string> names;
  for (int64_t i = 0; i < reader.Count(); ++i) {
    platform::zip::ZipEntry entry;
    if (!reader.Entry(i, &entry)) {
      result->failure = reader.Error();
      return false;
    }
    if (UpperName(entry.name).starts_with(UpperName(SafetyFolderName))) {
      // Restored, it could take the name a safety copy has or gets.
      result->failure = "The archive holds an entry named \"" + entry.name +
                        "\", a name of the folders that keep the files a restore replaces.";
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

// Each entry extracted into the work folder, and what its staged file is recorded for the mark.
bool ExtractAll(platform::zip::ZipReader& reader, std::vector<Entry>& entries, const WorkFolder& work,
                std::string* failure) {
  for (Entry& entry : entries) {
    const std::string staged = StagedFile(work.Path(), entry.item.name);
    if (!reader.ExtractTo(entry.index, staged)) {
      *failure = reader.Error();
      return false;
    }
    int err = 0;
    if (!IdentifyStagedFile(staged, &entry.item.staged, &err)) {
      *failure = FileFailureText(entry.item.name, err);
      return false;
    }
  }
  return true;
}

// The live data and index files of companies that the archive's entries do not hold, as spelled
// on disk: the backup made its books without them, so a restore takes them away. `companies` gets
// the companies the archive holds no file of.
std::vector<std::string> CompanyFilesTheArchiveLacks(const std::vector<std::string>& archived,
                                                     std::vector<std::string>* companies = nullptr) {
  std::set<std::string> held, heldCompanies;
  for (const std::string& name : archived) {
    held.insert(UpperName(name));
    if (const std::optional<std::string> company = records::CompanyOfDataFile(name))
      heldCompanies.insert(*company);
  }
  std::vector<std::string> lacking;
  std::set<std::string> away;
  std::error_code error;
  for (const auto& item : fs::directory_iterator(".", error)) {
    const std::string name = item.path().filename().string();
    std::error_code typeError;
    const std::optional<std::string> company = records::CompanyOfDataFile(name);
    if (!company || held.contains(UpperName(name)) || !IsPlainFileName(name) ||
        !fs::is_regular_file(fs::symlink_status(item.path(), typeError)))
      continue;
    lacking.push_back(name);
    if (!heldCompanies.contains(*company)) away.insert(*company);
  }
  std::sort(lacking.begin(), lacking.end());
  if (companies) {
    companies->assign(away.begin(), away.end());
    // Numbers in the order of their value where they are numbers: company 2 before company 10.
    std::sort(companies->begin(), companies->end(), [](const std::string& a, const std::string& b) {
      return std::pair(a.size(), a) < std::pair(b.size(), b);
    });
  }
  return lacking;
}

// The live files the restore moves away without a replacement, as spelled on disk: the data and
// index files of companies that the archive does not hold (companyFiles), and those the retired
// journals' postings touched or made that the archive does not hold.
std::vector<std::string> FilesGoingAway(const std::vector<storage::LeftJournal>& journals,
                                        const std::vector<Entry>& entries,
                                        const std::vector<std::string>& companyFiles,
                                        const platform::files::FolderNames& directory) {
  std::set<std::string> taken;  // restored, or moved away already
  for (const Entry& entry : entries) taken.insert(UpperName(entry.item.name));
  std::vector<std::string> away;
  for (const std::string& name : companyFiles)
    if (taken.insert(UpperName(name)).second) away.push_back(name);
  for (const storage::LeftJournal& journal : journals) {
    for (const std::string& name : journal.Files) {
      if (!IsPlainFileName(name) || !taken.insert(UpperName(name)).second) continue;
      const platform::files::ResolvedPath live = directory.Find(name);
      std::error_code error;
      if (live.status == platform::files::ResolveStatus::Found &&
          !fs::is_directory(fs::symlink_status(live.path, error)))
        away.push_back(live.path);
    }
  }
  return away;
}

// A file that another program holds would be replaced, or moved away, under its feet.
bool NoneInUse(const RestorePlan& plan, std::string* failure) {
  std::vector<std::string> live = plan.away;
  for (const RestoreItem& item : plan.items)
    if (item.hadOld) live.push_back(item.target);
  for (const std::string& name : live) {
    platform::files::File file;
    if (!file.Open(name, platform::files::OpenMode::ReadOnly) && file.error() == EWOULDBLOCK) {
      *failure = FileFailureText(name, EWOULDBLOCK);
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

RestorePreview PreviewRestore(const std::string& archiveFolder) {
  const platform::files::ResolvedPath archive =
      platform::files::Resolve(archiveFolder + "/" + BackupArchiveName);
  platform::zip::ZipReader reader;
  if (archive.status != platform::files::ResolveStatus::Found || !reader.Open(archive.path)) return {};
  std::vector<std::string> names;
  for (int64_t i = 0; i < reader.Count(); ++i) {
    platform::zip::ZipEntry entry;
    if (!reader.Entry(i, &entry)) return {};
    if (IsPlainFileEntry(entry)) names.push_back(entry.name);
  }
  RestorePreview preview;
  std::vector<std::string> companies;
  const std::vector<std::string> lacking = CompanyFilesTheArchiveLacks(names, &companies);
  for (const std::string& company : companies) {
    records::CompanyRec record{};
    bool listed = false;
    try {
      // A list that cannot be read names none of them; that is said, not taken for unlisted.
      listed = preview.companyListFailure.empty() && records::ReadCompanyRecord(company, record);
    } catch (const records::FileUnusable& unreadable) {
      preview.companyListFailure = unreadable.what();
    }
    preview.companiesTakenAway.push_back(
        {company, listed ? platform::text::TrimBlanks(record.CompanyName.Get()) : std::string()});
  }
  names.insert(names.end(), lacking.begin(), lacking.end());
  preview.dropped = storage::JournalsRetiredBy(names);
  std::erase_if(preview.dropped, [](const storage::LeftJournal& journal) { return !journal.Waiting; });
  return preview;
}

std::string CompaniesTakenAwayText(const std::vector<CompanyTakenAway>& companies) {
  if (companies.empty()) return {};
  std::vector<std::string> named;
  for (const CompanyTakenAway& company : companies)
    named.push_back(company.Number + (company.Name.empty() ? std::string() : " (" + company.Name + ")"));
  const std::string list = platform::text::NamesInASentence(named);
  const bool one = companies.size() == 1;
  return std::string("The backup holds no files of compan") + (one ? "y " : "ies ") + list +
         ": the restore takes " + (one ? "it" : "them") + " away, and " + (one ? "its" : "their") +
         " files go with the files it replaces into a new folder \"" + SafetyFolderName +
         "\" with the date and time of the restore.";
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
  // Never over another restore: one whose mark is there is finished or undone first, or taken over.
  EarlierRestore earlier;
  if (result.failure = RestoreRefusal(&earlier); !result.failure.empty()) return result;
  result.earlierKeptIn = earlier.keptIn;
  platform::zip::ZipReader reader;
  platform::files::FolderNames directory;
  std::vector<Entry> entries;
  WorkFolder work;
  if (!reader.Open(archive.path) || !ReadProgramDirectory(&directory, &result) ||
      !ChooseEntries(reader, directory, &entries, &result)) {
    if (result.failure.empty()) result.failure = reader.Error();
    return result;
  }
  std::vector<std::string> names, archived;
  for (const Entry& entry : entries) {
    names.push_back(entry.item.target);
    archived.push_back(entry.item.name);
  }
  if (entries.empty()) {
    result.status = RestoreResult::Status::Restored;
    return result;
  }
  // The files of companies the backup does not hold go too, and a journal of such a company with them.
  const std::vector<std::string> companyFiles = CompanyFilesTheArchiveLacks(archived);
  names.insert(names.end(), companyFiles.begin(), companyFiles.end());
  RestorePlan plan;
  plan.earlierMark = earlier.mark;
  plan.earlierMarkTime = earlier.markTime;
  plan.journals = storage::JournalsRetiredBy(names);
  if (!work.Make(&result.failure) || !RoomForAll(entries, work, &result.failure) ||
      !ExtractAll(reader, entries, work, &result.failure)) {
    if (result.failure.empty()) result.failure = reader.Error();
    return result;
  }
  for (const Entry& entry : entries) plan.items.push_back(entry.item);
  plan.away = FilesGoingAway(plan.journals, entries, companyFiles, directory);
  plan.safety = NewSafetyFolderName();
  if (!NoneInUse(plan, &result.failure)) return result;
  result.status = RestoreResult::Status::Restored;
  plan.folder = work.Release();
  switch (PlaceRestoredFiles(plan, &result.failure, &result.safetyFolder)) {
    case Placement::Placed:
      for (const RestoreItem& item : plan.items) result.restored.push_back(item.target);
      result.retired = plan.journals;
      if (earlier.mark)  // the earlier restore's work folder goes now that nothing of it is needed
        for (const std::string& keptIn : KeepLeftWorkFolders()) result.earlierKeptIn.push_back(keptIn);
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
