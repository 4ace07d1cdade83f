// The journal's writing side: the posting scope, the entries the engine appends before each
// record change, and the test seam that ends the process after a given record write.

#include "storage/posting_journal.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/files/file.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "storage/byte_order.h"
#include "storage/data_file_unit.h"
#include "storage/file_io.h"
#include "storage/journal_entry.h"
#include "storage/journal_map.h"

namespace storage {
namespace {

// The journal file stays open (and mapped) from the first posting of a company on:
// a posting ends by zeroing what it wrote, which costs a fraction of creating and removing a
// file every time. It is removed when the engine shuts down or another company's posting begins.
struct OpenPosting {
  int depth = 0;
  std::string what;
  bool begun = false;  // the header is written: this posting changed something
  JournalMap journal;
  std::string journalCompany;  // whose journal is held open
  std::string journalPath;
  size_t end = 0;
  std::string image;  // the record before the change, reused from change to change
};

OpenPosting& Posting() {
  static OpenPosting posting;
  return posting;
}

int recordWritesLeft = 0;

std::string OpenCompanyNumber() {
  return CurrentCompanyNumber ? platform::text::TrimBlanks(CurrentCompanyNumber()) : std::string();
}

void CloseHeldJournal(OpenPosting& posting) {
  if (!posting.journal.IsOpen()) return;
  posting.journal.Close();
  platform::files::DeleteFile(posting.journalPath);
  posting.journalCompany.clear();
  posting.journalPath.clear();
}

bool HoldJournalOf(OpenPosting& posting, const std::string& company) {
  if (posting.journal.IsOpen() && posting.journalCompany == company) return true;
  CloseHeldJournal(posting);
  const std::string path = std::filesystem::absolute(PostingJournalName(company)).string();
  if (!posting.journal.Create(path)) return IsamFail(IsamMapOsError(errno, IsamFileOp::Create));
  posting.journalCompany = company;
  posting.journalPath = path;
  return true;
}

// The first entry of a posting goes out behind the header. The entry's length goes in last, in
// one store: a kill before it leaves a length of 0, which ends the journal before this entry.
bool Append(const JournalChange& change) {
  OpenPosting& posting = Posting();
  std::string header;
  if (!posting.begun) {
    const std::string company = OpenCompanyNumber();
    if (!HoldJournalOf(posting, company)) return false;
    header = EncodeJournalHeader({company, posting.what});
    posting.end = 0;
  }
  const size_t entryAt = posting.end + header.size();
  const size_t size = JournalEntrySize(change);
  if (!posting.journal.Reserve(entryAt + size)) return IsamFail(IsamMapOsError(errno, IsamFileOp::ReadWrite));
  uint8_t* bytes = posting.journal.Bytes();
  std::memcpy(bytes + posting.end, header.data(), header.size());
  EncodeJournalEntryBody(change, bytes + entryAt);
  std::atomic_thread_fence(std::memory_order_release);
  IsamStoreInt32(bytes + entryAt, static_cast<int32_t>(size));
  posting.begun = true;
  posting.end = entryAt + size;
  return true;
}

// The header's mark goes first, so that a kill while the rest is zeroed leaves a journal that
// holds nothing to undo.
void EndPosting(OpenPosting& posting) {
  if (posting.begun) {
    std::memset(posting.journal.Bytes(), 0, kJournalMarkSize);
    std::atomic_thread_fence(std::memory_order_release);
    std::memset(posting.journal.Bytes(), 0, posting.end);
  }
  posting.begun = false;
  posting.end = 0;
  posting.what.clear();
}

}  // namespace

std::string PostingJournalName(const std::string& company) {
  return company + kPostingJournalSuffix;
}

bool IsPostingJournalName(const std::string& fileName) {
  const std::string suffix = kPostingJournalSuffix;
  return fileName.size() >= suffix.size() &&
         platform::text::UpperCase(fileName.substr(fileName.size() - suffix.size())) == suffix;
}

PostingScope::PostingScope(const std::string& what) {
  OpenPosting& posting = Posting();
  ++posting.depth;
  if (posting.what.empty() && !posting.begun) posting.what = what;
}

PostingScope::~PostingScope() {
  OpenPosting& posting = Posting();
  if (--posting.depth == 0) EndPosting(posting);
}

bool PostingUnderWay() {
  return Posting().depth > 0;
}

bool PostingJournalHeld(const std::string& company) {
  const OpenPosting& posting = Posting();
  return posting.journal.IsOpen() && posting.journalCompany == company &&
         posting.journalPath == std::filesystem::absolute(PostingJournalName(company)).string();
}

void ClosePostingJournal() {
  if (!PostingUnderWay()) CloseHeldJournal(Posting());
}

bool IsamJournalSlot(IsamFileBlockRec& fb, IsamRecRef ref, bool added) {
  if (!PostingUnderWay()) return true;
  JournalChange change{
      added ? JournalKind::SlotAdded : JournalKind::SlotImage, fb.DataName, ref, fb.RecordLength, {}};
  if (!added) {
    std::string& image = Posting().image;
    image.resize(static_cast<size_t>(fb.RecordLength));
    if (!fb.ReadAhead.Read(fb.DataFile, fb.DataMap, fb.RecordLength, fb.NumberRecords, ref, 0, image.data(),
                           image.size()))
      return false;
    change.Image = image;
  }
  return Append(change);
}

bool JournalSideFile(const std::string& name) {
  if (!PostingUnderWay()) return true;
  std::string bytes;
  const bool existed = platform::files::ReadWholeFile(name, &bytes);
  return Append({existed ? JournalKind::SideFileImage : JournalKind::SideFileCreated, name, 0, 0,
                 existed ? std::string_view(bytes) : std::string_view()});
}

void IsamEndProcessAfterRecordWrites(int n) {
  recordWritesLeft = n;
}

void IsamCountRecordWrite() {
  if (recordWritesLeft > 0 && --recordWritesLeft == 0) ::_exit(IsamKilledExitCode);
}

}  // namespace storage
