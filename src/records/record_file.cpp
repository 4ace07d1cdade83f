#include "records/record_file.h"

#include <QStringList>
#include <cstring>
#include <map>
#include <stdexcept>

#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"
#include "storage/file_block.h"
#include "storage/posting_journal.h"

namespace records {

namespace {

// The uses of each file block variable that will close it, by its address.
int& UsesOf(const storage::IsamFileBlock& file) {
  // Never destroyed: a window may give up its use while the program ends.
  static auto* uses = new std::map<const storage::IsamFileBlock*, int>;
  return (*uses)[&file];
}

}  // namespace

FileForAction::FileForAction(storage::IsamFileBlock& file, const std::function<bool()>& open) : file_(file) {
  int& uses = UsesOf(file_);
  const bool alreadyOpen = file_ && storage::IsamIsOpen(file_);
  if (alreadyOpen && uses == 0) {
    open_ = true;
    return;
  }
  if (!alreadyOpen) {
    // Closed by its opener outside these uses: whatever they counted is gone with it.
    uses = 0;
    if (!open()) return;
  }
  ++uses;
  counted_ = open_ = true;
}

FileForAction::~FileForAction() {
  if (!counted_) return;
  int& uses = UsesOf(file_);
  if (--uses > 0) return;
  uses = 0;
  CloseDataFile(file_);
}

bool ThereToRead(const FileForAction& file, const storage::DataFileUnit& unit) {
  if (file.Open()) return true;
  if (DataFileMissing()) return false;
  ThrowFileUnusable(unit);
}

namespace {

// The files whose write-back failed at their close, told when the outermost ClosingFiles ends.
struct FailedCloses {
  int depth = 0;
  std::vector<std::string> names;
  std::string reason;  // the system's, or the engine's error number
};

FailedCloses& Failed() {
  static FailedCloses failed;
  return failed;
}

void TellIndexesRebuiltAtNextOpen(const std::vector<std::string>& names, const std::string& reason) {
  QStringList files;
  for (const std::string& name : names) files << platform::text::ToQString(name);
  platform::ui::MessageBox(QStringLiteral("The index could not be written when closing %1: %2. The "
                                          "records are on file; each index will be rebuilt the next time its "
                                          "file is opened.")
                               .arg(files.join(QStringLiteral(", ")), platform::text::ToQString(reason)),
                           QStringLiteral("Close"), platform::ui::MsgButtons::Ok,
                           platform::ui::MsgIcon::Warning);
}

}  // namespace

ClosingFiles::ClosingFiles() {
  ++Failed().depth;
}

ClosingFiles::~ClosingFiles() {
  FailedCloses& failed = Failed();
  if (--failed.depth > 0 || failed.names.empty()) return;
  const std::vector<std::string> names = std::move(failed.names);
  failed.names.clear();
  TellIndexesRebuiltAtNextOpen(names, failed.reason);
}

void CloseDataFile(storage::IsamFileBlock& file) {
  if (!file || !storage::IsamIsOpen(file)) {
    file = nullptr;
    return;
  }
  ClosingFiles closing;  // told at once unless the caller closes more files with it
  const std::string name = file->DataName;
  storage::IsamCloseFileBlock(file);
  file = nullptr;
  // Within a posting the failure fails the posting, which says so itself.
  if (storage::IsamOK || storage::PostingUnderWay()) return;
  Failed().names.push_back(name);
  const int err = storage::IsamLastWriteBackErrno();
  Failed().reason = err != 0 ? std::strerror(err) : "error " + std::to_string(storage::IsamError);
}

void HeldFiles::Hold(storage::DataFileUnit& unit) {
  auto use = std::make_unique<FileForAction>(unit.File(), [&unit] { return unit.OpenSoundFile(); });
  if (use->Open()) held_.push_back(std::move(use));
}

void HeldFiles::Release() {
  ClosingFiles closing;
  while (!held_.empty()) held_.pop_back();
}

bool FindExactKey(storage::DataFileUnit& unit, storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr) {
  const storage::IsamKeyStr wanted = key;
  if (unit.SearchKey(key, ref, keyNr)) return key == wanted;
  if (!IsEndOfWalk()) ThrowFileUnusable(unit);
  return false;
}

std::vector<storage::IsamRecRef> RecordsWithKey(storage::IsamFileBlock file, int keyNr,
                                                const storage::IsamKeyStr& key) {
  std::vector<storage::IsamRecRef> refs;
  storage::IsamKeyStr found = key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, found);
  while (storage::IsamOK && found == key) {
    refs.push_back(ref);
    storage::IsamNextKey(file, keyNr, ref, found);
  }
  if (!storage::IsamOK && !IsEndOfWalk()) ThrowFileUnusable(file->DataName);
  return refs;
}

}  // namespace records
