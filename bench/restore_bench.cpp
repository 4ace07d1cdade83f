// The restore of a backup archive at two sizes in one run, beside a peer of the same size that
// only extracts the archive: the restore's time must grow with its entries, not with their square.
//
//   restore_bench [scratch folder] [entries,entries]      (entries default 2000,20000)
//
// For each size the program directory holds that many small data files, they are written into
// the archive as the backup writes them, every file is changed, and the restore puts the archive back over
// them (the changed files go to the safety folder). Peer: the same archive's entries extracted into an empty
// folder with the same zip reader, each file flushed to the disk as the restore flushes it.
// Prints "restore N entries: x s" for each size, the peer's figures, and the growth of both
// beside the growth of the entries.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/backup_files.h"
#include "exchange/restore_files.h"
#include "platform/zip/zip_archive.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "restore_bench: %s\n", what.c_str());
  std::exit(1);
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<int> Sizes(const std::string& text) {
  std::vector<int> sizes;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) sizes.push_back(std::stoi(item));
  if (sizes.empty()) Die("no sizes given");
  return sizes;
}

void WriteDataFiles(int entries, const std::string& text) {
  for (int i = 0; i < entries; ++i)
    std::ofstream("F" + std::to_string(i) + ".DAT", std::ios::binary | std::ios::trunc)
        << text << i << std::string(200, 'x');
}

// A program directory of `entries` data files and its backup in `drive`, the files changed
// afterwards; the program directory is then the current directory.
void PrepareProgramDirectory(const fs::path& folder, const fs::path& drive, int entries) {
  fs::remove_all(folder);
  fs::remove_all(drive);
  fs::create_directories(folder);
  fs::create_directories(drive);
  fs::current_path(folder);
  WriteDataFiles(entries, "backed up ");
  // Written as the backup writes it, less the backup's holding every file open while it runs,
  // which would take more descriptors than a process may have at the larger size.
  platform::zip::ZipWriter writer;
  bool written = writer.Create((drive / exchange::BackupArchiveName).string());
  for (const std::string& name : exchange::ListBackupFiles())
    written = written && writer.AddFile(name, (folder / name).string());
  if (!written || !writer.Commit()) Die(writer.Error());
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
  const std::vector<int> sizes = Sizes(argc > 2 ? argv[2] : "2000,20000");
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
  std::printf(
      "\n| entries |  restore s | extract s | ratio | restore growth | extract growth | entries growth |\n");
  std::printf(
      "|---------|------------|-----------|-------|----------------|----------------|----------------|\n");
  for (size_t i = 0; i < sizes.size(); ++i)
    std::printf("| %7d | %10.3f | %9.3f | %5.2f | %14.1f | %14.1f | %14.1f |\n", sizes[i], restores[i],
                peers[i], restores[i] / peers[i], restores[i] / restores.front(), peers[i] / peers.front(),
                static_cast<double>(sizes[i]) / sizes.front());
  return 0;
}
