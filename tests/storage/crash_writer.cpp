// The writer of the crash test: opens the PO detail file in the folder it is given and runs
// random adds, updates, deletes and rebuilds through the data-file routines until it is killed,
// telling its parent on standard output what it begins and completes (crash_records.h).
//
//   storage_crash_writer FOLDER SEED FIRST-NEW-ID
//   storage_crash_writer FOLDER --rebuild-exit-at N
//
// The second form rebuilds the file and ends the process, as a kill would, just before the N-th
// call that changes a file (a write, truncate, rename or delete); it says "K" then, or "D" when
// the rebuild finished first.

#include <dlfcn.h>
#include <stdio.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <string_view>

#include "crash_records.h"
#include "platform/ui/ui_driver.h"
#include "records/po_detail_file.h"
#include "storage/byte_order.h"

using namespace records;

using namespace storage;
using storage::testing::FillCrashRecord;
using storage::testing::ReadCrashRecord;

namespace {

void Say(const std::string& line) {
  std::string text = line + "\n";
  if (::write(STDOUT_FILENO, text.data(), text.size()) < 0) std::_Exit(5);
}

int changesUntilExit = 0;  // 0: not armed
std::string folder;        // the data folder, as given

// Runs before every call that changes a file; the armed count ends the process before the N-th.
void BeforeChange() {
  if (changesUntilExit > 0 && --changesUntilExit == 0) {
    Say("K");
    std::_Exit(0);
  }
}

// Only the data folder's files count: the libraries write caches of their own elsewhere (the font
// cache is rewritten by every process while the system's copy is stale).
void BeforeChangeOf(const char* path) {
  if (path[0] != '/' || std::string_view(path).starts_with(folder)) BeforeChange();
}

template <class Fn>
Fn Real(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// The binary's own file-changing calls, in front of the C library's.
extern "C" ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
  static auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  BeforeChange();
  return real(fd, buffer, count, offset);
}
extern "C" int ftruncate(int fd, off_t length) noexcept {
  static auto real = Real<int (*)(int, off_t)>("ftruncate");
  BeforeChange();
  return real(fd, length);
}
extern "C" int rename(const char* from, const char* to) noexcept {
  static auto real = Real<int (*)(const char*, const char*)>("rename");
  BeforeChangeOf(from);
  return real(from, to);
}
extern "C" int unlink(const char* path) noexcept {
  static auto real = Real<int (*)(const char*)>("unlink");
  BeforeChangeOf(path);
  return real(path);
}

namespace {

[[noreturn]] void Fail(const std::string& what) {
  Say("F " + what + " (error " + std::to_string(IsamError) + ")");
  std::_Exit(4);
}

// Nobody is there to answer: any box or dialog is a failure of the writer.
class NoUser : public platform::ui::UiDriver {
 public:
  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    Fail("message shown: " + request.text.toStdString());
  }
  platform::ui::TModalResult RunModal(platform::ui::Form&) override { Fail("modal form"); }
  bool RunOpenFile(platform::ui::FileDialogRequest&) override { Fail("dialog"); }
  bool RunSaveFile(platform::ui::FileDialogRequest&) override { Fail("dialog"); }
  bool RunChooseFolder(platform::ui::FolderRequest&) override { Fail("dialog"); }
  bool RunFont(platform::ui::FontRequest&) override { Fail("dialog"); }
  bool RunPrinterSetup(QPrinter&) override { Fail("dialog"); }
  bool OpenHelp(const QString&, const QString&) override { Fail("help"); }
  void Beep() override {}
};

struct Line {
  IsamRecRef ref;
  int version;
};

std::map<int, Line> ReadLines() {
  std::map<int, Line> lines;
  for (IsamRecRef ref = 1; ref < IsamFileLen(PODetailFile); ++ref) {
    PODetailRec rec;
    IsamGetRec(PODetailFile, ref, &rec, sizeof rec);
    int id = 0, version = 0;
    if (IsamOK && IsamLoadInt32(reinterpret_cast<uint8_t*>(&rec)) == 0 &&
        ReadCrashRecord(rec, &id, &version)) {
      lines[id] = {ref, version};
    }
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || ::chdir(argv[1]) != 0) return 2;
  folder = argv[1];
  QApplication app(argc, argv);
  NoUser noUser;
  platform::ui::InstallUiDriver(&noUser);
  IsamInitialize(0, 8);  // few page buffers, so pages are evicted while a change runs
  CurrentCompanyNumber = [] { return std::string("1"); };
  if (std::string(argv[2]) == "--rebuild-exit-at") {
    changesUntilExit = std::atoi(argv[3]);
    if (!RebuildPODetailFile()) Fail("rebuild");
    Say("D");
    return 0;
  }
  std::mt19937 rng(static_cast<unsigned>(std::atoi(argv[2])));
  int nextId = std::atoi(argv[3]);
  if (!OpenPODetailFile()) Fail("open");
  std::map<int, Line> lines = ReadLines();
  Say("R");
  for (;;) {
    // A rebuild takes as long as thousands of changes: it is rare, so kills land in both.
    unsigned dice = rng() % 1000;
    if (dice < 550 || lines.empty()) {
      int id = nextId++;
      Say("B A " + std::to_string(id) + " 0");
      FillCrashRecord(PODetailBuf, id, 0);
      IsamRecRef ref = 0;
      if (!AddPODetailRecord(ref)) Fail("add");
      lines[id] = {ref, 0};
    } else if (dice < 999) {
      auto it = std::next(lines.begin(), static_cast<long>(rng() % lines.size()));
      if (dice < 800) {
        int version = it->second.version + 1;
        Say("B U " + std::to_string(it->first) + " " + std::to_string(version));
        FillCrashRecord(PODetailBuf, it->first, version);
        if (!UpdatePODetailRecord(it->second.ref)) Fail("update");
        it->second.version = version;
      } else {
        Say("B D " + std::to_string(it->first));
        if (!DeletePODetailRecord(it->second.ref)) Fail("delete");
        lines.erase(it);
      }
    } else {
      Say("B R");
      IsamCloseFileBlock(PODetailFile);
      if (!IsamOK) Fail("close");
      if (!RebuildPODetailFile() || !OpenPODetailFile()) Fail("rebuild");
      lines = ReadLines();  // references changed
    }
    Say("E");
  }
}
