#include "records/company_data_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/system_reason.h"
#include "records/vendor_file.h"
#include "storage/data_header.h"
#include "storage/file_set.h"
#include "storage/isam.h"
#include "storage/journal_undo.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"

namespace records {

namespace files = platform::files;

namespace {

int fileStepsLeft = 0;

// One step of a copy or deletion done: where the test seam ends the process.
void FileStepDone() {
  if (fileStepsLeft > 0 && --fileStepsLeft == 0) ::_exit(storage::IsamKilledExitCode);
}

std::string DataFile(const std::string& base) {
  return storage::IsamFileName(base, storage::IsamDataExt);
}

std::string IndexFile(const std::string& base) {
  return storage::IsamFileName(base, storage::IsamIndexExt);
}

// The names just made, renamed or removed in the program directory (every company file lives
// there) reach the disk.
bool SyncProgramFolder() {
  return files::SyncFolder(CompanyFileName);
}

// An existing file that another open holds (or that cannot be opened at all) cannot be replaced.
bool Held(const std::string& name) {
  files::File probe;
  return files::Exists(name) && !probe.Open(name, files::OpenMode::ReadOnly);
}

struct CopyTargets {
  std::string data, index, dataTemp, indexTemp;
};

CopyTargets TargetsOf(const std::string& base) {
  const std::string data = DataFile(base);
  const std::string index = IndexFile(base);
  return {data, index, data + ".TMP", index + ".TMP"};
}

// Writes (and syncs) both copies under their temporary names, the data copy marked for repair;
// *clearMark tells whether the mark is to be cleared once the copy is whole (not when the source
// carried one itself, nor on a file too short to be a data file, which no open takes anyway).
bool WriteTemporaryCopies(const std::string& fromBase, const CopyTargets& to, bool* clearMark) {
  std::string bytes;
  if (!files::ReadWholeFile(DataFile(fromBase), &bytes)) return false;
  const bool dataFile = bytes.size() >= storage::IsamDataHeaderSize;
  *clearMark = dataFile && bytes[storage::IsamIndexDirtyFlagOffset] == 0;
  if (dataFile) bytes[storage::IsamIndexDirtyFlagOffset] = 1;
  if (!files::WriteWholeFile(to.dataTemp, bytes)) return false;
  FileStepDone();
  if (!files::CopyFile(IndexFile(fromBase), to.indexTemp)) return false;
  FileStepDone();
  return true;
}

// The copied index goes in beside the copied data file, and only once both names are on disk is
// the data file's mark cleared. Whatever fails here, the mark stays and the next open rebuilds
// the index from the copied records.
void PutIndexInPlace(const CopyTargets& to, bool clearMark) {
  if (!SyncProgramFolder() || !files::RenameFile(to.indexTemp, to.index)) {
    (void)files::DeleteFile(to.indexTemp);  // a temporary copy is never opened as an index
    return;
  }
  FileStepDone();
  if (!clearMark || !SyncProgramFolder()) return;
  if (storage::IsamMarkFileSetClean(to.data)) FileStepDone();
}

std::optional<std::string> DeletionMarkName(std::string_view company) {
  if (!IsValidCompanyNumber(company)) return std::nullopt;
  return platform::text::TrimBlanks(company) + ".DEL";
}

// A mark is a regular file the program wrote. Anything else of that name (a FIFO, whose open
// could wait for ever, a link, a folder) is no mark: it is set aside under a name that says so,
// nothing is deleted for it, and the user is told once.
bool IsRegularMark(const std::string& mark) {
  struct stat st;
  return ::lstat(files::ResolveForUse(mark).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void SetAsideMark(std::string_view company, const std::string& mark) {
  static std::set<std::string> told;
  const std::string resolved = files::ResolveForUse(mark);
  if (told.count(resolved)) return;
  std::string aside;
  for (int n = 1; aside.empty(); ++n) {
    const std::string name = platform::text::TrimBlanks(company) + "DEL-" + std::to_string(n) + ".BAD";
    struct stat st;
    if (::lstat(files::ResolveForUse(name).c_str(), &st) != 0) aside = name;
  }
  QString text = QStringLiteral(
                     "The file %1 is not a mark of a company deletion (it is not a plain file).  "
                     "Nothing was deleted for it")
                     .arg(platform::text::ToQString(mark));
  if (files::RenameFile(mark, aside)) {
    SyncProgramFolder();
    text += QStringLiteral("; it was kept as %1.").arg(platform::text::ToQString(aside));
  } else {
    told.insert(resolved);
    text += QStringLiteral(".");
  }
  platform::ui::MessageBox(text, QStringLiteral("Companies"), platform::ui::MsgButtons::Ok,
                           platform::ui::MsgIcon::Warning);
}

// Deletes what a deleted company left and then its mark.
bool RemoveLeftovers(std::string_view company, const std::string& mark) {
  if (!DeleteCompanyDataFiles(company) || !SyncProgramFolder()) return false;
  if (!files::DeleteFile(mark)) return false;
  FileStepDone();
  return true;
}

}  // namespace

bool CopyCompanyFiles(std::string_view fromCompany, std::string_view toCompany, std::string_view fileCode) {
  const std::optional<std::string> from = DataFileBaseName(fromCompany, fileCode);
  const std::optional<std::string> to = DataFileBaseName(toCompany, fileCode);
  if (!from || !to || storage::PostingJournalWaits() || !FinishCompanyDeletion(toCompany)) return false;
  const CopyTargets targets = TargetsOf(*to);
  if (Held(targets.data) || Held(targets.index)) return false;
  bool clearMark = false;
  if (!WriteTemporaryCopies(*from, targets, &clearMark) ||
      !files::RenameFile(targets.dataTemp, targets.data)) {
    // Temporary copies are never opened as data files; the failure before them is the one said.
    (void)files::DeleteFile(targets.dataTemp);
    (void)files::DeleteFile(targets.indexTemp);
    return false;
  }
  // The copy stands from here: the marked data file is rebuilt into whatever index it finds.
  FileStepDone();
  PutIndexInPlace(targets, clearMark);
  return true;
}

int CountCompanyFileEntries(std::string_view company, std::string_view fileCode) {
  const std::optional<std::string> base = DataFileBaseName(company, fileCode);
  if (!base) return 0;
  storage::IsamFileBlock file = nullptr;
  storage::IsamOpenFileBlock(file, *base, true, false, false, false);
  if (!storage::IsamOK) return 0;
  const int32_t entries = storage::IsamUsedKeys(file, 1);
  const bool counted = storage::IsamOK;
  storage::IsamCloseFileBlock(file);
  return counted ? entries : 0;
}

bool DeleteCompanyDataFiles(std::string_view company) {
  static constexpr std::string_view order[] = {
      FileCodeProducts, FileCodeCustomers,      FileCodeInvoiceLines, FileCodeInvoices, FileCodeInvoiceMemos,
      FileCodePOMemos,  FileCodePurchaseOrders, FileCodePOLines,      FileCodeVendors};
  bool deleted = true;
  for (std::string_view code : order) {
    const std::optional<std::string> base = DataFileBaseName(company, code);
    if (!base) return true;
    const CopyTargets names = TargetsOf(*base);
    for (const std::string& name : {names.data, names.index, names.dataTemp, names.indexTemp}) {
      if (!files::Exists(name)) continue;
      if (files::DeleteFile(name))
        FileStepDone();
      else
        deleted = false;
    }
  }
  return deleted;
}

void DeleteCompanyWhole(std::string_view company, storage::IsamRecRef ref) {
  static const std::string failed = "Delete operation failed";
  const std::optional<std::string> mark = DeletionMarkName(company);
  // A number that cannot name files has none to delete.
  if (!mark) return RequireDone(DeleteCompanyRecord(ref), failed);
  int err = 0;
  if (!files::WriteWholeFile(*mark, platform::text::TrimBlanks(company), &err))
    throw std::runtime_error(WithReason(failed, std::strerror(err ? err : EIO)));
  FileStepDone();
  if (!DeleteCompanyRecord(ref)) {
    const std::string reason = SystemReason();
    // Whether the record went or stayed, the mark now settles as the record says.
    (void)FinishCompanyDeletion(company);  // one it cannot settle now is settled at the next start
    throw std::runtime_error(WithReason(failed, reason));
  }
  FileStepDone();
  // Files that cannot go now (another program holds them) go when the number is next used.
  RemoveLeftovers(company, *mark);
}

bool FinishCompanyDeletion(std::string_view company) {
  const std::optional<std::string> mark = DeletionMarkName(company);
  if (!mark || !files::Exists(*mark)) return true;
  if (!IsRegularMark(*mark)) {
    SetAsideMark(company, *mark);
    return true;
  }
  CompanyRec record;
  bool opened = false;
  const bool onFile = ReadCompanyRecord(company, record, &opened);
  if (!opened) return false;
  if (onFile) return files::DeleteFile(*mark);
  return RemoveLeftovers(company, *mark);
}

void FinishCompanyDeletions() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
    const std::filesystem::path name = entry.path().filename();
    if (platform::text::UpperCase(name.extension().string()) != ".DEL") continue;
    const std::string company = name.stem().string();
    // One that cannot be settled now (its company file held) is settled at the next start.
    if (IsValidCompanyNumber(company)) (void)FinishCompanyDeletion(company);
  }
}

void EndProcessAfterCompanyFileSteps(int n) {
  fileStepsLeft = n;
}

namespace {

using UnitOfRecords = storage::DataFileUnit& (*)();
constexpr UnitOfRecords kCompanyUnits[] = {CompanyUnit, CustomerUnit, InvoiceUnit,  DetailUnit, MemoUnit,
                                           POMemoUnit,  ProductUnit,  POHeaderUnit, VendorUnit, PODetailUnit};

bool LeftForRepair(const storage::DataFileUnit& unit, const std::string& company) {
  const std::string part = storage::IsamDataPart(unit.FileNameOf(company));
  const std::string data = storage::IsamFileName(part, storage::IsamDataExt);
  return files::Exists(storage::IsamFileName(part, storage::IsamSaveExt)) ||
         (files::Exists(data) && storage::DataFileMarkedForRepair(data));
}

}  // namespace

bool RebuildCompanyDataFiles() {
  if (RefuseWhileJournalWaits("The data files", "rebuilt", QStringLiteral("Rebuild"))) return false;
  bool rebuilt = true;
  for (UnitOfRecords unit : kCompanyUnits) {
    storage::DataFileUnit& file = unit();
    if (storage::IsamIsOpen(file.File()) || !files::Exists(DataFile(file.FileName()))) continue;
    rebuilt = file.RebuildFile() && rebuilt;
  }
  return rebuilt;
}

bool RefuseWhileJournalWaits(const std::string& subject, const std::string& verb, const QString& title) {
  if (!storage::PostingJournalWaits()) return false;
  platform::ui::MessageBox(platform::text::ToQString(storage::AnyWaitingPostingRefusal(subject, verb)), title,
                           platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Warning);
  return true;
}

std::vector<std::string> FilesLeftForRepair(std::string_view company) {
  const std::string number = platform::text::TrimBlanks(company);
  std::vector<std::string> left;
  for (UnitOfRecords unit : kCompanyUnits)
    if (LeftForRepair(unit(), number)) left.push_back(DataFile(unit().FileNameOf(number)));
  return left;
}

bool RebuildFilesLeftForRepair(std::string_view company) {
  const std::string number = platform::text::TrimBlanks(company);
  bool rebuilt = true;
  for (UnitOfRecords unit : kCompanyUnits)
    if (LeftForRepair(unit(), number)) rebuilt = unit().RebuildFileOf(number) && rebuilt;
  return rebuilt;
}

}  // namespace records
