// The backup of a program directory at two sizes in one run, beside a peer of the same size that
// only zips the files and copies them: the backup's time must grow with its files, not with their
// square.
//
//   backup_bench [scratch folder] [files,files]      (files default 2000,20000)
//
// For each size the program directory holds that many small data files and its Backup folder an
// older copy of every other one, named in other letters. The backup is the backup window's with
// the Backup folder ticked: the files listed, the archive written to the drive folder, and the
// data files copied into the Backup folder. Peer: the same files put into an archive by the zip
// writer alone and copied into an empty folder, each copy flushed to the disk and the folder once,
// as the backup flushes them. Prints "backup N files: x s" for each size, the peer's figures, and
// the growth of both beside the growth of the files.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "exchange/backup_files.h"
#include "platform/zip/zip_archive.h"
#include "scaling.h"

namespace {

namespace fs = std::filesystem;
using bench::scaling::Die;
using bench::scaling::Seconds;

// A program directory of `files` data files and an older Backup folder; the program directory is
// then the current directory.
void PrepareProgramDirectory(const fs::path& folder, const fs::path& drive, int files) {
  fs::remove_all(folder);
  fs::remove_all(drive);
  fs::create_directories(folder / exchange::BackupFolderName);
  fs::create_directories(drive);
  fs::current_path(folder / exchange::BackupFolderName);
  for (int i = 0; i < files; i += 2) std::ofstream("f" + std::to_string(i) + ".dat") << "older copy";
  fs::current_path(folder);
  bench::scaling::WriteDataFiles(files, "backed up ");
}

double Backup(const fs::path& folder, const fs::path& drive, int files) {
  PrepareProgramDirectory(folder, drive, files);
  std::string failure;
  exchange::FolderCopyResult copies;
  const double seconds = Seconds([&] {
    const std::vector<std::string> names = exchange::ListBackupFiles();
    if (!exchange::WriteBackupArchive(names, drive.string(), {}, &failure)) Die("backup failed: " + failure);
    copies = exchange::CopyToBackupFolder(names);
  });
  if (copies.copied != files) Die("the Backup folder missed files");
  return seconds;
}

void Sync(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) Die(path + ": cannot be synced");
  ::close(fd);
}

// The program directory's files zipped and copied with nothing looked up by name.
double ZipAndCopyOnly(const fs::path& folder, const fs::path& drive, const fs::path& target) {
  fs::remove_all(target);
  fs::create_directories(target);
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  return Seconds([&] {
    platform::zip::ZipWriter writer;
    bool written = writer.Create((drive / "peer.zip").string());
    for (const std::string& name : names) written = written && writer.AddFile(name, (folder / name).string());
    if (!written || !writer.Commit()) Die(writer.Error());
    for (const std::string& name : names) {
      const std::string copy = (target / name).string();
      fs::copy_file(folder / name, copy);
      Sync(copy, O_RDONLY);
    }
    Sync(target.string(), O_RDONLY | O_DIRECTORY);
  });
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path scratch = fs::absolute(argc > 1 ? argv[1] : "backup_bench_scratch");
  const std::vector<int> sizes = bench::scaling::Sizes(argc > 2 ? argv[2] : "2000,20000");
  std::vector<double> backups;
  std::vector<double> peers;
  for (int files : sizes) {
    backups.push_back(Backup(scratch / "prog", scratch / "usb", files));
    peers.push_back(ZipAndCopyOnly(scratch / "prog", scratch / "usb", scratch / "copied"));
  }
  fs::current_path(scratch.parent_path());
  fs::remove_all(scratch);

  for (size_t i = 0; i < sizes.size(); ++i) std::printf("backup %d files: %.3f s\n", sizes[i], backups[i]);
  bench::scaling::PrintGrowth("files", "backup", "zip+copy", sizes, backups, peers);
  return 0;
}
