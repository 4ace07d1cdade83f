// The restore of a backup archive at two sizes in one run, beside a peer of the same size that
// only extracts the archive: the restore's time must grow with its entries, not with their square.
//
//   restore_bench [scratch folder] [entries,entries]      (entries default 2000,20000)
//
// For each size the program directory holds that many small data files, the backup writes them
// into its archive, every file is changed, and the restore puts the archive back over them (the
// changed files go to the safety folder). Peer: the same archive's entries extracted into an empty
// folder with the same zip reader, each file flushed to the disk as the restore flushes it.
// Prints "restore N entries: x s" for each size, the peer's figures, and the growth of both
// beside the growth of the entries.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/backup_files.h"
#include "exchange/restore_files.h"
#include "platform/zip/zip_archive.h"
#include "scaling.h"

namespace {

namespace fs = std::filesystem;
using bench::scaling::Die;
using bench::scaling::Seconds;
using bench::scaling::WriteDataFiles;

// A program directory of `entries` data files and its backup in `drive`, the files changed
// afterwards; the program directory is then the current directory.
void PrepareProgramDirectory(const fs::path& folder, const fs::path& drive, int entries) {
  fs::remove_all(folder);
  fs::remove_all(drive);
  fs::create_directories(folder);
  fs::create_directories(drive);
  fs::current_path(folder);
  WriteDataFiles(entries, "backed up ");
  std::string failure;
  if (!exchange::WriteBackupArchive(exchange::ListBackupFiles(), drive.string(), {}, &failure)) Die(failure);
  WriteDataFiles(entries, "changed ");
}

double Restore(const fs::path& folder, const fs::path& drive, int entries) {
  PrepareProgramDirectory(folder, drive, entries);
  exchange::RestoreResult result;
  const double seconds = Seconds([&] { result = exchange::RestoreDataFiles(drive.string()); });
  if (result.status != exchange::RestoreResult::Status::Restored) Die("restore failed: " + result.failure);
  if (result.restored.size() != static_cast<size_t>(entries)) Die("restore missed entries");
  return seconds;
}

double ExtractOnly(const fs::path& drive, const fs::path& target) {
  fs::remove_all(target);
  fs::create_directories(target);
  platform::zip::ZipReader reader;
  return Seconds([&] {
    if (!reader.Open((drive / exchange::BackupArchiveName).string())) Die(reader.Error());
    for (int64_t i = 0; i < reader.Count(); ++i) {
      platform::zip::ZipEntry entry;
      if (!reader.Entry(i, &entry) || !reader.ExtractTo(i, (target / entry.name).string()))
        Die(reader.Error());
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path scratch = fs::absolute(argc > 1 ? argv[1] : "restore_bench_scratch");
  const std::vector<int> sizes = bench::scaling::Sizes(argc > 2 ? argv[2] : "2000,20000");
  std::vector<double> restores;
  std::vector<double> peers;
  for (int entries : sizes) {
    restores.push_back(Restore(scratch / "prog", scratch / "usb", entries));
    peers.push_back(ExtractOnly(scratch / "usb", scratch / "extracted"));
  }
  fs::current_path(scratch.parent_path());
  fs::remove_all(scratch);

  for (size_t i = 0; i < sizes.size(); ++i)
    std::printf("restore %d entries: %.3f s\n", sizes[i], restores[i]);
  bench::scaling::PrintGrowth("entries", "restore", "extract", sizes, restores, peers);
  return 0;
}
