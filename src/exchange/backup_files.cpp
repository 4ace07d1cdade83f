#include "exchange/backup_files.h"

#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/upper_case.h"
#include "platform/zip/zip_archive.h"
#include "storage/posting_journal.h"

namespace exchange {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> MaskPatterns() {
  std::vector<std::string> patterns;
  std::string mask = BackupFileMask;
  for (size_t start = 0; start <= mask.size();) {
    size_t end = std::min(mask.find(';', start), mask.size());
    patterns.push_back(mask.substr(start, end - start));
    start = end + 1;
  }
  return patterns;
}

bool MatchesMask(const std::string& name) {
  static const std::vector<std::string> patterns = MaskPatterns();
  return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
    return ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
  });
}

bool NameBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
  });
}

bool IsDataFile(const std::string& name) {
  return platform::text::UpperCase(name).find(".DAT") != std::string::npos;
}

// The Backup folder, made when its marker is not there, and its names read once; empty with
// *failure when it cannot be.
std::string PrepareBackupFolder(platform::files::FolderNames* names, std::string* failure) {
  std::string folder = platform::files::ResolveForUse(BackupFolderName);
  int error = 0;
  const bool ready = platform::files::Exists(folder + "/" + BackupFolderMarker) ||
                     platform::files::CreateFolder(folder, &error);
  if (ready && names->Read(folder, &error)) return folder;
  *failure = std::strerror(error);
  return {};
}

// The names of the copies made in the Backup folder kept by one sync of it, and the folder's
// own name (made now, or by a backup that was stopped before it got so far) by one of the
// program directory: without both, none of the copies is sure to stay.
bool SyncBackupFolder(const std::string& copy, int* error) {
  return platform::files::SyncFolder(copy, error) && platform::files::SyncFolder(BackupFolderName, error);
}

// Copies one data file over its older copy in the Backup folder, or beside the others when it
// has none; why it could not, or nothing.
std::string CopyIntoBackupFolder(const std::string& name, platform::files::FolderNames& backup) {
  const platform::files::ResolvedPath copy = backup.Find(name);
  if (copy.status == platform::files::ResolveStatus::Ambiguous)
    return "more than one file of this name is in the " + std::string(BackupFolderName) + " folder";
  std::string bytes;
  int error = 0;
  if (!platform::files::ReadWholeFile(name, &bytes, &error) ||
      !platform::files::WriteSpelledFile(copy.path, bytes, &error))
    return FileErrorText(error);
  backup.Add(platform::files::FileName(copy.path));
  return {};
}

// A file that could not be read is named as the user knows it, with the system's reason.
std::string ArchiveFailure(const platform::zip::ZipWriter& writer) {
  const platform::zip::ZipWriter::FileFailure& file = writer.FailedFile();
  if (file.entry.empty()) return writer.Error();
  return FileFailureText(file.entry, file.error);
}

std::string NotMade(const std::string& reason) {
  return "The backup was not made: " + reason + "\nAn earlier backup in that folder is unchanged.";
}

}  // namespace

std::string FileErrorText(int error) {
  if (error == EWOULDBLOCK) return "in use by another program";
  return std::strerror(error);
}

std::string FileFailureText(const std::string& name, int error) {
  return name + ": " + FileErrorText(error ? error : EIO) + ".";
}

std::vector<std::string> ListBackupFiles() {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(".", error)) {
    std::string name = entry.path().filename().string();
    std::error_code typeError;
    if (name.front() == '.' || !entry.is_regular_file(typeError) || !MatchesMask(name)) continue;
    if (storage::IsPostingJournalName(name)) continue;  // the running program's, never data
    names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NameBefore);
  return names;
}

std::string BackupArchivePath(const std::string& folder) {
  return platform::files::ResolveForUse(folder + "/" + BackupArchiveName);
}

std::string BackupRefusal() {
  if (storage::PostingUnderWay()) return "The backup cannot be made while a posting is under way.";
  const std::vector<std::string> waiting = storage::CompaniesWithWaitingPostings();
  if (waiting.empty()) return {};
  const std::string open = storage::WaitingPostingRefusal("The backup", "made");
  return open.empty() ? storage::WaitingPostingRefusal("The backup", "made", waiting.front()) : open;
}

bool WriteBackupArchive(const std::vector<std::string>& files, const std::string& folder,
                        const std::function<void()>& keepAlive, std::string* failure) {
  *failure = BackupRefusal();
  if (!failure->empty()) return false;
  if (files.empty()) {
    *failure = NotMade("There are no data files to back up in this directory.");
    return false;
  }
  bool ambiguous = false;
  std::string archive = platform::files::ResolveForUse(folder + "/" + BackupArchiveName, &ambiguous);
  if (ambiguous) {
    *failure = NotMade(archive + ": more than one file has this name in letters of different case.");
    return false;
  }
  // Each file is held while it is read into the archive, one at a time.
  const fs::path here = fs::current_path();
  platform::zip::ZipWriter writer;
  bool written = writer.Create(archive);
  for (size_t i = 0; written && i < files.size(); ++i)
    written = writer.AddFile(files[i], (here / files[i]).string());
  if (written)
    written = writer.Commit([&](double) {
      if (keepAlive) keepAlive();
    });
  if (written) return true;
  if (!writer.Replaced()) {
    *failure = NotMade(ArchiveFailure(writer));
  } else {
    *failure = "The backup was written, but it may not survive a power cut: " + writer.Error() +
               "\nPlease make the backup again.";
  }
  return false;
}

FolderCopyResult CopyToBackupFolder(const std::vector<std::string>& files) {
  FolderCopyResult result;
  std::vector<std::string> dataFiles;
  std::copy_if(files.begin(), files.end(), std::back_inserter(dataFiles), IsDataFile);
  result.wanted = static_cast<int>(dataFiles.size());
  if (dataFiles.empty()) return result;
  std::string problem;
  platform::files::FolderNames backup;
  const std::string folder = PrepareBackupFolder(&backup, &problem);
  std::vector<std::string> copied;  // in the folder, their names not yet synced
  for (const std::string& name : dataFiles) {
    const std::string why =
        folder.empty() ? std::string(BackupFolderName) + ": " + problem : CopyIntoBackupFolder(name, backup);
    if (why.empty()) {
      copied.push_back(name);
    } else {
      result.failures.push_back(name + " (" + why + ")");
    }
  }
  int error = 0;
  if (!copied.empty() && !SyncBackupFolder(backup.Find(copied.back()).path, &error)) {
    for (const std::string& name : copied)
      result.failures.push_back(name + " (" + FileErrorText(error) + ")");
    copied.clear();
  }
  result.copied = static_cast<int>(copied.size());
  return result;
}

std::string LoadLastBackupFolder() {
  std::string text;
  if (!platform::files::ReadWholeFile(LastBackupFolderFile, &text)) return {};
  text = text.substr(0, text.find('\n'));
  return text;
}

void SaveLastBackupFolder(const std::string& folder) {
  // Only a convenience: a failure to remember costs the user a choice next time, nothing more.
  (void)platform::files::WriteWholeFile(LastBackupFolderFile, folder + "\n");
}

}  // namespace exchange
