#include "records/company_data_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

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
#include "records/last_company.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/system_reason.h"
#include "records/vendor_file.h"
#include "storage/data_header.h"
#include "storage/file_set.h"
#include "storage/isam.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"

namespace records {

namespace files = platform::files;

namespace {

const std::string kDeleteFailed = "Delete operation failed";
// Why company files are not copied or deleted while a posting waits to be undone.
const std::string kPostingWaits = "a posting that did not finish is not undone yet; start the program again";

// The file codes of a company's nine file sets, in the order a deletion removes them.
constexpr std::string_view kFileCodes[] = {FileCodeProducts,       FileCodeCustomers,    FileCodeInvoiceLines,
                                           FileCodeInvoices,       FileCodeInvoiceMemos, FileCodePOMemos,
                                           FileCodePurchaseOrders, FileCodePOLines,      FileCodeVendors};

std::string DataFile(const std::string& base) {
  return storage::IsamFileName(base, storage::IsamDataExt);
}

std::string IndexFile(const std::string& base) {
  return storage::IsamFileName(base, storage::IsamIndexExt);
}

// The names just made, renamed or removed in the program directory (every company file lives
// there) reach the disk.
[[nodiscard]] bool SyncProgramFolder(int* err = nullptr) {
  return files::SyncFolder(CompanyFileName, err);
}

// Sets *failure, when asked for, and returns false.
bool Failed(std::string* failure, const std::string& text) {
  if (failure) *failure = text;
  return false;
}

// "the file 7P.DAT could not be written: No space left on device"
std::string FileFailure(const std::string& name, const char* what, int err) {
  return "the file " + name + " could not be " + what + ": " + FileFailureReason(err);
}

// An existing file that another open holds (or that cannot be opened at all) cannot be replaced;
// *failure then says why.
bool Held(const std::string& name, std::string* failure) {
  files::File probe;
  if (!files::Exists(name) || probe.Open(name, files::OpenMode::ReadOnly)) return false;
  *failure = FileFailure(name, "opened", probe.error());
  return true;
}

struct CopyTargets {
  std::string data, index, dataTemp, indexTemp;

  // Every name a copy into the set writes under before its files are in place: the two copies
  // and the files they are written through.
  std::vector<std::string> Temporaries() const {
    const std::string through(files::kWholeFileTemporarySuffix);
    return {dataTemp, indexTemp, dataTemp + through, indexTemp + through};
  }
};

CopyTargets TargetsOf(const std::string& base) {
  const std::string data = DataFile(base);
  const std::string index = IndexFile(base);
  return {data, index, data + ".TMP", index + ".TMP"};
}

// What a stopped or failed copy into the set left under temporary names. One that cannot be
// removed now is removed by the next start; nothing opens it meanwhile.
void RemoveCopyTemporaries(const CopyTargets& to) {
  for (const std::string& name : to.Temporaries())
    if (files::Exists(name)) (void)files::DeleteFile(name);  // the next start tries again
}

// Reads a file of the source whole; *failure names it when it cannot be read.
[[nodiscard]] bool ReadSource(const std::string& name, std::string* bytes, std::string* failure) {
  int err = 0;
  return files::ReadWholeFile(name, bytes, &err) || Failed(failure, FileFailure(name, "read", err));
}

// Writes bytes under a target's temporary name; *failure names the target, as the user knows it.
[[nodiscard]] bool WriteTemporary(const std::string& temporary, const std::string& target,
                                  const std::string& bytes, std::string* failure) {
  int err = 0;
  return files::WriteWholeFile(temporary, bytes, &err) ||
         Failed(failure, FileFailure(target, "written", err));
}

// Writes (and syncs) both copies under their temporary names, the data copy marked for repair;
// *clearMark tells whether the mark is to be cleared once the copy is whole (not when the source
// carried one itself, nor on a file too short to be a data file, which no open takes anyway).
[[nodiscard]] bool WriteTemporaryCopies(const std::string& fromBase, const CopyTargets& to, bool* clearMark,
                                        std::string* failure) {
  std::string bytes;
  if (!ReadSource(DataFile(fromBase), &bytes, failure)) return false;
  const bool dataFile = bytes.size() >= storage::IsamDataHeaderSize;
  *clearMark = dataFile && bytes[storage::IsamIndexDirtyFlagOffset] == 0;
  if (dataFile) bytes[storage::IsamIndexDirtyFlagOffset] = 1;
  if (!WriteTemporary(to.dataTemp, to.data, bytes, failure)) return false;
  return ReadSource(IndexFile(fromBase), &bytes, failure) &&
         WriteTemporary(to.indexTemp, to.index, bytes, failure);
}

// The copied data file takes the target's place: the copy's commit.
[[nodiscard]] bool PutDataInPlace(const CopyTargets& to, std::string* failure) {
  int err = 0;
  return files::RenameFile(to.dataTemp, to.data, &err) ||
         Failed(failure, FileFailure(to.data, "replaced", err));
}

// The copied index goes in beside the copied data file, and only once both names are on disk is
// the data file's mark cleared. Whatever fails here, the mark stays and the next open rebuilds
// the index from the copied records.
void PutIndexInPlace(const CopyTargets& to, bool clearMark) {
  if (!SyncProgramFolder() || !files::RenameFile(to.indexTemp, to.index)) {
    (void)files::DeleteFile(to.indexTemp);  // a temporary copy is never opened as an index
    return;
  }
  // A clean mark that is not written only costs one rebuild at the next open.
  if (clearMark && SyncProgramFolder()) (void)storage::IsamMarkFileSetClean(to.data);
}

// A failure said as a sentence ("The file ovcomp.IX cannot be read now: Input/output error.") in
// the words of the failures here ("the file ovcomp.IX cannot be read now: Input/output error").
std::string AsPhrase(std::string sentence) {
  if (!sentence.empty() && sentence.back() == '.') sentence.pop_back();
  if (sentence.starts_with("The ")) sentence[0] = 't';
  return sentence;
}

// A deletion a stop left that cannot be finished now is said; it stays for the next try. One held
// by a posting that waits to be undone is not: the waiting posting is said itself.
void TellDeletionNotFinished(std::string_view company, const std::string& failure) {
  if (failure == kPostingWaits) return;
  platform::ui::MessageBox(
      platform::text::ToQString(storage::PostingAtSentenceStart(CompanyDeletionPosting(company)) +
                                " was interrupted and cannot be finished now: " + failure +
                                ".  Nothing more of it is done until the program is started again."),
      QStringLiteral("Companies"), platform::ui::MsgButtons::Ok, platform::ui::MsgIcon::Warning);
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
    (void)SyncProgramFolder();  // a rename lost to a power cut brings the file back to be set aside again
    text += QStringLiteral("; it was kept as %1.").arg(platform::text::ToQString(aside));
  } else {
    told.insert(resolved);
    text += QStringLiteral(".");
  }
  platform::ui::MessageBox(text, QStringLiteral("Companies"), platform::ui::MsgButtons::Ok,
                           platform::ui::MsgIcon::Warning);
}

[[nodiscard]] bool DeleteMark(const std::string& mark, std::string* failure) {
  int err = 0;
  return files::DeleteFile(mark, &err) || Failed(failure, FileFailure(mark, "deleted", err));
}

// Deletes what a deleted company left and then its mark; the deletions reach the disk before the
// mark goes.
[[nodiscard]] bool RemoveLeftovers(std::string_view company, const std::string& mark, std::string* failure) {
  if (!DeleteCompanyDataFiles(company, failure)) return false;
  int err = 0;
  if (!SyncProgramFolder(&err))
    return Failed(failure, "the data folder could not be synced: " + FileFailureReason(err));
  return DeleteMark(mark, failure);
}

// The mark goes on the disk before the record goes; a mark that failed is settled at once.
void WriteDeletionMark(std::string_view company, const std::string& mark) {
  int err = 0;
  if (files::WriteWholeFile(mark, platform::text::TrimBlanks(company), &err)) return;
  (void)FinishCompanyDeletion(company);  // one it cannot settle now is settled at the next start
  throw std::runtime_error(WithReason(kDeleteFailed, FileFailureReason(err)));
}

// The record goes as a posting of its own, so that it is on the disk before anything else goes,
// and a stop before the posting's commit leaves it on file (the start undoes the posting).
void RemoveCompanyRecord(std::string_view company, storage::IsamRecRef ref) {
  storage::RunPosting(CompanyDeletionPosting(company),
                      [&] { RequireDone(DeleteCompanyRecord(ref), kDeleteFailed); });
}

// The companies whose deletion marks are in the program directory.
std::vector<std::string> CompaniesMarkedForDeletion() {
  std::vector<std::string> companies;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
    const std::filesystem::path name = entry.path().filename();
    if (platform::text::UpperCase(name.extension().string()) != ".DEL") continue;
    const std::string company = name.stem().string();
    if (IsValidCompanyNumber(company)) companies.push_back(company);
  }
  return companies;
}

// Whether a name is one that a copy or a deletion of company files writes under for a while:
// "7P.DAT.TMP", "7P.IX.TMP", the files they are written through ("7P.DAT.TMP.tmp~"), and that of
// a deletion mark ("7.DEL.tmp~").
bool IsTemporaryOfCompanyFileWork(const std::string& name) {
  using platform::text::UpperCase;
  const std::string stem = name.substr(0, name.find('.'));
  const size_t lastDigit = stem.find_last_of("0123456789");
  if (lastDigit == std::string::npos) return false;
  const std::string number = stem.substr(0, lastDigit + 1);
  const std::string code = UpperCase(stem.substr(lastDigit + 1));
  std::vector<std::string> temporaries;
  if (code.empty()) {
    if (const std::optional<std::string> mark = DeletionMarkName(number))
      temporaries.push_back(*mark + std::string(files::kWholeFileTemporarySuffix));
  } else if (std::find(std::begin(kFileCodes), std::end(kFileCodes), code) != std::end(kFileCodes)) {
    if (const std::optional<std::string> base = DataFileBaseName(number, code))
      temporaries = TargetsOf(*base).Temporaries();
  }
  return std::any_of(temporaries.begin(), temporaries.end(),
                     [&](const std::string& temporary) { return UpperCase(temporary) == UpperCase(name); });
}

void RemoveTemporariesOfCompanyFileWork() {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
    const std::string name = entry.path().filename().string();
    std::error_code typeError;
    if (entry.symlink_status(typeError).type() == std::filesystem::file_type::regular &&
        IsTemporaryOfCompanyFileWork(name))
      found.push_back(name);
  }
  for (const std::string& name : found) (void)files::DeleteFile(name);  // the next start tries again
}

}  // namespace

bool CopyCompanyFiles(std::string_view fromCompany, std::string_view toCompany, std::string_view fileCode,
                      std::string* failure) {
  const std::optional<std::string> from = DataFileBaseName(fromCompany, fileCode);
  const std::optional<std::string> to = DataFileBaseName(toCompany, fileCode);
  if (!from || !to) return Failed(failure, "the company number cannot name data files");
  if (storage::PostingJournalWaits()) return Failed(failure, kPostingWaits);
  if (!FinishCompanyDeletion(toCompany, failure)) return false;
  const CopyTargets targets = TargetsOf(*to);
  RemoveCopyTemporaries(targets);
  if (Held(targets.data, failure) || Held(targets.index, failure)) return false;
  bool clearMark = false;
  if (!WriteTemporaryCopies(*from, targets, &clearMark, failure) || !PutDataInPlace(targets, failure)) {
    RemoveCopyTemporaries(targets);
    return false;
  }
  // The copy stands from here: the marked data file is rebuilt into whatever index it finds.
  PutIndexInPlace(targets, clearMark);
  return true;
}

namespace {

// The names in the program directory that `wanted` takes (given each name and its entry), spelt
// as they are there and in order. Throws FileUnusable when the folder cannot be read.
template <class Wanted>
std::vector<std::string> NamesInProgramFolder(Wanted wanted) {
  std::vector<std::string> found;
  std::error_code error;
  for (auto entry = std::filesystem::directory_iterator(".", error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (wanted(name, *entry)) found.push_back(name);
  }
  if (error)
    throw FileUnusable("The data folder cannot be read now: " + FileFailureReason(error.value()) + ".");
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::vector<std::string> DataFilesInTheWayOf(std::string_view company) {
  const std::optional<std::string> mark = DeletionMarkName(company);
  if (!mark || (files::Exists(*mark) && IsRegularMark(*mark))) return {};
  const std::string number = platform::text::UpperCase(platform::text::TrimBlanks(company));
  return NamesInProgramFolder(
      [&](const std::string& name, const auto&) { return CompanyOfDataFile(name) == number; });
}

std::vector<std::string> FilesOfAnEarlierSetUp() {
  using platform::text::UpperCase;
  const std::string lastCompany = UpperCase(std::string(LastCompanyFileName));
  const std::string listIndex = UpperCase(IndexFile(std::string(CompanyFileName)));
  const std::string listSaved = UpperCase(CompanyListSaveName());
  std::vector<std::string> found =
      NamesInProgramFolder([&](const std::string& name, const std::filesystem::directory_entry& entry) {
        const std::string upper = UpperCase(name);
        std::error_code unknown;  // one that cannot be looked at is counted: it may hold a company's data
        const bool file = entry.is_regular_file(unknown) || unknown;
        return file && (upper == lastCompany || upper == listIndex || upper == listSaved ||
                        CompanyOfDataFile(name).has_value());
      });
  // The list itself, kept under its rebuild's name, comes first: it is always named.
  std::stable_partition(found.begin(), found.end(),
                        [&](const std::string& name) { return UpperCase(name) == listSaved; });
  return found;
}

std::string CompanyListSaveName() {
  return storage::IsamFileName(std::string(CompanyFileName), storage::IsamSaveExt);
}

int CountCompanyFileEntries(std::string_view company, std::string_view fileCode) {
  const std::optional<std::string> base = DataFileBaseName(company, fileCode);
  if (!base) return 0;
  storage::IsamFileBlock file = nullptr;
  storage::IsamOpenFileBlock(file, *base, true, false, false, false);
  if (!storage::IsamOK) {
    // A file not made yet holds nothing; one that is there and cannot be opened is no empty file.
    if (DataFileMissing()) return 0;
    ThrowFileUnusable(DataFile(*base));
  }
  const int32_t entries = storage::IsamUsedKeys(file, 1);
  const std::string unusable = storage::IsamOK ? std::string() : DataFileUnusableText(DataFile(*base));
  storage::IsamCloseFileBlock(file);
  if (!unusable.empty()) throw FileUnusable(unusable);
  return entries;
}

bool DeleteCompanyDataFiles(std::string_view company, std::string* failure) {
  bool deleted = true;
  for (std::string_view code : kFileCodes) {
    const std::optional<std::string> base = DataFileBaseName(company, code);
    if (!base) return true;
    const CopyTargets names = TargetsOf(*base);
    std::vector<std::string> all = {names.data, names.index};
    for (const std::string& temporary : names.Temporaries()) all.push_back(temporary);
    for (const std::string& name : all) {
      int err = 0;
      if (!files::Exists(name) || files::DeleteFile(name, &err)) continue;
      if (deleted) Failed(failure, FileFailure(name, "deleted", err));
      deleted = false;
    }
  }
  return deleted;
}

void DeleteCompanyWhole(std::string_view company, storage::IsamRecRef ref) {
  if (storage::PostingJournalWaits())
    throw std::runtime_error(
        storage::AnyWaitingPostingRefusal("Company " + platform::text::TrimBlanks(company), "deleted"));
  const std::optional<std::string> mark = DeletionMarkName(company);
  // A number that cannot name files has none to delete.
  if (!mark) return RemoveCompanyRecord(company, ref);
  WriteDeletionMark(company, *mark);
  try {
    RemoveCompanyRecord(company, ref);
  } catch (...) {
    // Whether the record went or stayed, the mark now settles as the record says; while the
    // posting waits to be undone, it waits with it (settled at the next start).
    (void)FinishCompanyDeletion(company);
    throw;
  }
  // The company is deleted. Files that cannot go now (another program holds them, the disk
  // fails) go at the next start, or when the number is next used: nothing more is said.
  (void)RemoveLeftovers(company, *mark, nullptr);
}

std::string CompanyDeletionPosting(std::string_view company) {
  return "the deletion of company " + platform::text::TrimBlanks(company);
}

bool FinishCompanyDeletion(std::string_view company, std::string* failure, bool* finished) {
  if (finished) *finished = false;
  const std::optional<std::string> mark = DeletionMarkName(company);
  if (!mark || !files::Exists(*mark)) return true;
  if (!IsRegularMark(*mark)) {
    SetAsideMark(company, *mark);
    return true;
  }
  // The company file may hold half of this very deletion until the posting is undone.
  if (storage::PostingJournalWaits()) return Failed(failure, kPostingWaits);
  CompanyRec record;
  bool onFile = false;
  try {
    onFile = ReadCompanyRecord(company, record);
  } catch (const FileUnusable& unreadable) {
    // A list that cannot be read tells nothing of the company: every file and the mark stay.
    return Failed(failure, AsPhrase(unreadable.what()));
  }
  if (onFile) return DeleteMark(*mark, failure);
  const bool removed = RemoveLeftovers(company, *mark, failure);
  if (finished) *finished = removed;
  return removed;
}

bool CompanyDeletionLeft() {
  return !CompaniesMarkedForDeletion().empty();
}

std::vector<std::string> FinishCompanyDeletions() {
  std::vector<std::string> finished;
  for (const std::string& company : CompaniesMarkedForDeletion()) {
    // One that cannot be settled now (its company file held) is settled at the next start.
    bool done = false;
    std::string failure;
    if (!FinishCompanyDeletion(company, &failure, &done)) TellDeletionNotFinished(company, failure);
    if (done) finished.push_back(company);
  }
  return finished;
}

std::vector<std::string> FinishStoppedCompanyFileWork() {
  std::vector<std::string> finished = FinishCompanyDeletions();
  RemoveTemporariesOfCompanyFileWork();
  return finished;
}

namespace {

using UnitOfRecords = storage::DataFileUnit& (*)();
constexpr UnitOfRecords kCompanyUnits[] = {CompanyUnit, CustomerUnit, InvoiceUnit,  DetailUnit, MemoUnit,
                                           POMemoUnit,  ProductUnit,  POHeaderUnit, VendorUnit, PODetailUnit};

bool LeftForRepair(const storage::DataFileUnit& unit, const std::string& company) {
  return storage::FileSetLeftForRepair(unit.FileNameOf(company));
}

}  // namespace

bool RebuildCompanyDataFiles(std::vector<std::string>* failed) {
  if (RefuseWhileJournalWaits("The data files", "rebuilt", QStringLiteral("Rebuild"))) return false;
  std::optional<storage::RebuildFailuresKept> kept;
  if (failed) kept.emplace();
  bool rebuilt = true;
  for (UnitOfRecords unit : kCompanyUnits) {
    storage::DataFileUnit& file = unit();
    if (storage::IsamIsOpen(file.File()) || !files::Exists(DataFile(file.FileName()))) continue;
    rebuilt = file.RebuildFile() && rebuilt;
  }
  if (kept)
    for (const QString& text : kept->Texts()) failed->push_back(platform::text::ToAnsi(text));
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

bool RepairMarksReadable(std::string_view company) {
  const std::string number = platform::text::TrimBlanks(company);
  return std::all_of(std::begin(kCompanyUnits), std::end(kCompanyUnits), [&](UnitOfRecords unit) {
    return storage::FileSetRepairState(unit().FileNameOf(number)).has_value();
  });
}

bool RebuildFilesLeftForRepair(std::string_view company) {
  const std::string number = platform::text::TrimBlanks(company);
  bool rebuilt = true;
  for (UnitOfRecords unit : kCompanyUnits)
    if (LeftForRepair(unit(), number)) rebuilt = unit().RebuildFileOf(number) && rebuilt;
  return rebuilt;
}

std::optional<std::string> CompanyOfDataFile(std::string_view name) {
  const std::string upper = platform::text::UpperCase(std::string(name));
  const size_t dot = upper.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  const std::string extension = upper.substr(dot + 1), stem = upper.substr(0, dot);
  if (extension != storage::IsamDataExt && extension != storage::IsamIndexExt) return std::nullopt;
  for (std::string_view code : kFileCodes) {
    if (stem.size() <= code.size() || !stem.ends_with(code)) continue;
    const std::string company = stem.substr(0, stem.size() - code.size());
    if (IsValidCompanyNumber(company) && DataFileBaseName(company, code) == stem) return company;
  }
  return std::nullopt;
}

}  // namespace records
