// The journal's writing side: the posting scope, the entries the engine appends before each
// record change, and the test seam that ends the process after a given record write.

#include "storage/posting_journal.h"

#include <unistd.h>

#include <vector>

#include "platform/files/file.h"
#include "platform/text/key_text.h"
#include "storage/data_file_unit.h"
#include "storage/file_io.h"
#include "storage/journal_entry.h"

namespace storage {
namespace {

struct OpenPosting {
  int depth = 0;
  std::string what;
  std::string company;
  platform::files::File journal;  // begun at the first change
  int64_t end = 0;
  std::vector<uint8_t> entryBytes;  // reused from entry to entry
};

OpenPosting& Posting() {
  static OpenPosting posting;
  return posting;
}

int recordWritesLeft = 0;

std::string OpenCompanyNumber() {
  return CurrentCompanyNumber ? platform::text::TrimBlanks(CurrentCompanyNumber()) : std::string();
}

bool BeginJournal(OpenPosting& posting) {
  posting.company = OpenCompanyNumber();
  const std::string header = EncodeJournalHeader({posting.company, posting.what});
  if (!posting.journal.Open(PostingJournalName(posting.company), platform::files::OpenMode::CreateAlways) ||
      !posting.journal.WriteAt(0, header.data(), header.size())) {
    const int err = posting.journal.error();
    posting.journal.Close();
    return IsamFail(IsamMapOsError(err, IsamFileOp::Create));
  }
  posting.end = static_cast<int64_t>(header.size());
  return true;
}

bool Append(const JournalEntry& entry) {
  OpenPosting& posting = Posting();
  if (!posting.journal.IsOpen() && !BeginJournal(posting)) return false;
  posting.entryBytes.clear();
  EncodeJournalEntry(entry, posting.entryBytes);
  if (!posting.journal.WriteAt(posting.end, posting.entryBytes.data(), posting.entryBytes.size()))
    return IsamFail(IsamMapOsError(posting.journal.error(), IsamFileOp::ReadWrite));
  posting.end += static_cast<int64_t>(posting.entryBytes.size());
  return true;
}

void EndJournal(OpenPosting& posting) {
  if (posting.journal.IsOpen()) {
    posting.journal.Close();
    platform::files::DeleteFile(PostingJournalName(posting.company));
  }
  posting.what.clear();
  posting.company.clear();
}

}  // namespace

std::string PostingJournalName(const std::string& company) {
  return company + "JNL.DAT";
}

PostingScope::PostingScope(const std::string& what) {
  OpenPosting& posting = Posting();
  ++posting.depth;
  if (posting.what.empty() && !posting.journal.IsOpen()) posting.what = what;
}

PostingScope::~PostingScope() {
  OpenPosting& posting = Posting();
  if (--posting.depth == 0) EndJournal(posting);
}

bool PostingUnderWay() {
  return Posting().depth > 0;
}

bool IsamJournalSlot(IsamFileBlockRec& fb, IsamRecRef ref, bool added) {
  if (!PostingUnderWay()) return true;
  JournalEntry entry;
  entry.Kind = added ? JournalKind::SlotAdded : JournalKind::SlotImage;
  entry.Name = fb.DataName;
  entry.Ref = ref;
  entry.RecordLength = fb.RecordLength;
  if (!added) {
    entry.Image.resize(static_cast<size_t>(fb.RecordLength));
    if (!fb.ReadAhead.Read(fb.DataFile, fb.DataMap, fb.RecordLength, fb.NumberRecords, ref, 0,
                           entry.Image.data(), entry.Image.size()))
      return false;
  }
  return Append(entry);
}

bool JournalSideFile(const std::string& name) {
  if (!PostingUnderWay()) return true;
  JournalEntry entry;
  entry.Name = name;
  const bool existed = platform::files::ReadWholeFile(name, &entry.Image);
  entry.Kind = existed ? JournalKind::SideFileImage : JournalKind::SideFileCreated;
  if (!existed) entry.Image.clear();
  return Append(entry);
}

void IsamEndProcessAfterRecordWrites(int n) {
  recordWritesLeft = n;
}

void IsamCountRecordWrite() {
  if (recordWritesLeft > 0 && --recordWritesLeft == 0) ::_exit(IsamKilledExitCode);
}

}  // namespace storage
