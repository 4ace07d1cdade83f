// The journal's writing side: the posting scope, the entries kept before each record change,
// the posting's pending records written out behind a synced journal, the commit, and the undo of
// a posting that failed.

#include "storage/posting_journal.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "storage/data_file_unit.h"
#include "storage/file_io.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/journal_entry.h"
#include "storage/journal_undo.h"
#include "storage/naming.h"
#include "storage/rebuild_common.h"

namespace storage {

std::function<void()> AfterPostingUndone;

namespace {

using platform::files::File;

// Pending records and journal entries beyond this go to the disk before the posting ends, so
// that a bulk run holds no more than this in memory.
constexpr size_t kWriteOutBytes = size_t{8} << 20;
// The journal's blocks are allocated in steps of at least this, while the disk has room to spare.
constexpr int64_t kFirstAllocation = int64_t{1} << 20;
// What is allocated ahead of the journal's need takes at most this share of the room the disk has
// beyond it (one eighth): the rest is for the posting's records. On a disk short of room the
// steps shrink, down to exactly what the journal needs.
constexpr int64_t kRoomShareAhead = 8;

// The journal file stays open and locked from the first posting of a company on: a posting ends
// by zeroing its mark, which costs a fraction of creating and removing a file every time. It is
// removed when the engine shuts down or another company's posting begins.
struct OpenPosting {
  int depth = 0;
  std::string what;
  bool failed = false;  // a step failed: the posting cannot commit
  std::string failure;  // the first failure, for the message
  bool begun = false;   // the posting has its header
  uint64_t nonce = 0;
  std::string header;  // the posting's header as last written, with what of the journal is synced
  // What the journal does not hold yet: the header and first entries, then the entries since the
  // last sync. What is synced is let go.
  std::string buffer;
  int64_t synced = 0;                      // the journal's bytes written and synced: where buffer goes
  bool journalWritten = false;             // a write of this posting's journal was tried
  size_t pendingBytes = 0;                 // bytes of records held back since the last write-out
  bool dataOnDisk = false;                 // records of the posting were written to their files
  bool markZeroed = false;                 // the commit's zeroed mark was written: it may be on the disk
  std::vector<IsamFileBlockRec*> touched;  // open file blocks the posting changed
  std::set<std::string> changedFiles;      // every data file the posting journalled
  std::vector<std::function<void()>> whenPosted;  // run once the posting is on file
  bool lastUndone = true;
  bool lastInDoubt = false;  // the last posting was neither undone nor known to be left for the start
  bool lastChanged = false;  // the last posting ended had changed something

  File journal;
  std::string journalCompany;  // whose journal is held open
  std::string journalPath;
  int64_t allocated = 0;

  // Journals left for the next start (an undo failed, here or at the start), by company, with
  // what their posting was: the company posts nothing and nothing moves records meanwhile.
  std::map<std::string, std::string> waiting;
  std::set<std::string> inDoubt;                // of those, the ones whose commit may have reached the disk
  std::set<std::string> unfinished;             // of those, work the next start finishes (a restore)
  std::map<std::string, std::string> remedies;  // of those, what the user can do, when it is not a start
  std::set<std::string> damaged;                // of those, the ones whose journal is damaged
  std::string lastRefusal;                      // the words of the last write refused while one waits
  std::set<std::string> sideFiles;              // side files a posting may journal
  // Companies (upper case) whose journal tells the next start of a stop this start could not
  // repair, each with whether it was kept for files a failure on the disk left.
  std::map<std::string, bool> keptForTheNextStart;
};

OpenPosting& Posting() {
  static OpenPosting posting;
  return posting;
}

// The work that holds the company: its own waiting posting, else a restore that holds every company.
std::optional<WaitingPosting> WaitingWorkOf(const std::string& company);

std::string OpenCompanyNumber() {
  return CurrentCompanyNumber ? platform::text::TrimBlanks(CurrentCompanyNumber()) : std::string();
}

std::string AbsoluteJournalPath(const std::string& company) {
  return std::filesystem::absolute(PostingJournalName(company)).string();
}

// The held journal goes with its company's close, unless a failure on the disk left files of the
// company to repair: then it stays, marked so, for the next start (not marked, it still tells of
// a stop, which the start repairs as well). One that the start kept for the next start stays as
// the start found it: telling of a stop, or marked.
void CloseHeldJournal(OpenPosting& posting) {
  if (!posting.journal.IsOpen()) return;
  const auto kept = posting.keptForTheNextStart.find(platform::text::UpperCase(posting.journalCompany));
  const bool keptByTheStart = kept != posting.keptForTheNextStart.end();
  const bool forAFailure =
      keptByTheStart ? kept->second
                     : IsamSystemRefusedACall() && CompanyFilesLeftForRepair(posting.journalCompany);
  if (keptByTheStart || forAFailure) {
    // Not marked, it tells of a stop: the files are repaired all the same. A posting of this run
    // may have wiped its header without a sync.
    const std::string header = EncodeRepairLeftHeader();
    if (!forAFailure || posting.journal.WriteAt(0, header.data(), header.size()))
      (void)posting.journal.SyncData();
    posting.journal.Close();
  } else {
    posting.journal.Close();
    // An empty journal that stays only tells the next start that the company was open.
    (void)platform::files::DeleteFile(posting.journalPath);
    (void)platform::files::SyncFolder(posting.journalPath);
  }
  posting.journalCompany.clear();
  posting.journalPath.clear();
  posting.allocated = 0;
}

// "Invoice 1004" for "invoice 1004"; "The posting" when the posting has no name.
std::string Capitalized(const std::string& what) {
  return PostingAtSentenceStart(what.empty() ? std::string("the posting") : what);
}

bool FailWith(const std::string& failure, int32_t code = IsamErrJournal) {
  OpenPosting& posting = Posting();
  if (!posting.failed) posting.failure = failure;
  posting.failed = true;
  return IsamFail(code);
}

std::string ErrnoText(int err) {
  return std::strerror(err);
}

// A step of the posting that the system refused, said with the system's reason, which the
// engine's status keeps for the message of the step that met it ("Add operation failed: No space
// left on device").
bool FailOnDisk(const std::string& failure, int err, int32_t code = IsamErrJournal) {
  FailWith(err != 0 ? failure + ": " + ErrnoText(err) : failure, code);
  if (err != 0) IsamRestoreStatus({false, code, err});
  return false;
}

// Opens (or creates) the company's journal. A journal left there by a posting that did not end
// is never written over: it was undone or set aside when the company's files were opened, and
// one still there now belongs to another program or could not be moved.
bool HoldJournalOf(OpenPosting& posting, const std::string& company) {
  if (posting.journal.IsOpen() && posting.journalCompany == company) return true;
  CloseHeldJournal(posting);
  const std::string path = AbsoluteJournalPath(company);
  File file;
  if (!file.Open(path, platform::files::OpenMode::CreateOwn))
    return FailOnDisk("The posting journal " + PostingJournalName(company) + " cannot be opened",
                      file.error());
  JournalHeader left;
  JournalReader reader(file);
  const JournalRead read = reader.ReadHeader(left);
  if (read == JournalRead::Unreadable)
    return FailOnDisk("The posting journal " + PostingJournalName(company) + " cannot be read",
                      reader.error());
  if (read != JournalRead::Empty)
    return FailWith("The posting journal " + PostingJournalName(company) +
                    " holds a posting that was not undone; start the program again.");
  int err = 0;
  if (!platform::files::SyncFolder(path, &err)) return FailOnDisk("The data folder could not be synced", err);
  posting.journal = std::move(file);
  posting.journalCompany = company;
  posting.journalPath = path;
  posting.allocated = 0;
  return true;
}

// Real blocks for the journal's bytes, so that a full disk fails here and not in a later write.
bool AllocateJournal(OpenPosting& posting, int64_t size) {
  if (size <= posting.allocated) return true;
  int64_t allocation = std::max(kFirstAllocation, posting.allocated * 2);
  while (allocation < size) allocation *= 2;
  // Ahead of the need only a share of the room the disk has beyond it (none when it cannot tell).
  std::error_code unknown;
  const std::uintmax_t available = std::filesystem::space(posting.journalPath, unknown).available;
  const int64_t spare = unknown ? 0 : static_cast<int64_t>(available) - (size - posting.allocated);
  allocation = std::clamp(size + spare / kRoomShareAhead, size, allocation);
  if (!posting.journal.Allocate(0, allocation))
    return FailOnDisk("The posting journal cannot grow", posting.journal.error());
  posting.allocated = allocation;
  return true;
}

std::string HeaderOf(const OpenPosting& posting, int64_t syncedEnd) {
  return EncodeJournalHeader(
      {posting.journalCompany, posting.what, posting.nonce, static_cast<uint64_t>(syncedEnd)});
}

// Writes the entries not yet on disk and syncs them: after this, every change they undo may
// reach its file. Then the header says how far the journal is synced. That rewrite needs no sync
// of its own: whenever it reaches the disk (with the next part's sync, the commit's, or at once
// after a kill), what it claims is there already; until then the header claims less, and a part
// that was synced but not yet claimed is read as the last part is (its first entry that does not
// read whole ends the journal). So a posting of one part makes no sync for it.
bool SyncJournal(OpenPosting& posting) {
  if (posting.buffer.empty()) return true;
  // The posting's first entry opened the journal.
  if (!posting.journal.IsOpen()) return FailWith("The posting journal is not open.");
  const int64_t end = posting.synced + static_cast<int64_t>(posting.buffer.size());
  if (!AllocateJournal(posting, end)) return false;
  posting.journalWritten = true;
  if (!posting.journal.WriteAt(posting.synced, posting.buffer.data(), posting.buffer.size()) ||
      !posting.journal.SyncData())
    return FailOnDisk("The posting journal could not be written", posting.journal.error());
  posting.synced = end;
  posting.buffer.clear();
  posting.header = HeaderOf(posting, end);
  if (!posting.journal.WriteAt(0, posting.header.data(), posting.header.size()))
    return FailOnDisk("The posting journal could not be written", posting.journal.error());
  return true;
}

// Writes one file block's pending records to its file; the journal must be synced first.
bool WriteOutBlock(OpenPosting& posting, IsamFileBlockRec& fb) {
  if (fb.PendingSlots.empty()) return true;
  posting.dataOnDisk = true;
  if (IsamWritePendingSlots(fb)) return true;
  return FailOnDisk("A data file could not be written: " + fb.DataName, fb.DataFile.error(), IsamError);
}

bool WriteOutPending(OpenPosting& posting) {
  if (!SyncJournal(posting)) return false;
  for (IsamFileBlockRec* fb : posting.touched)
    if (!WriteOutBlock(posting, *fb)) return false;
  posting.pendingBytes = 0;
  return true;
}

// The file block no longer takes part in the posting: what it held back is dropped.
void Release(IsamFileBlockRec& fb) {
  fb.PendingSlots.clear();
  fb.JournalledSlots.Clear();
  fb.InPosting = false;
}

uint64_t NewNonce() {
  static std::mt19937_64 generator(std::random_device{}());
  uint64_t nonce = 0;
  while (nonce == 0) nonce = generator();
  return nonce;
}

bool Append(const JournalChange& change) {
  OpenPosting& posting = Posting();
  if (posting.failed) return IsamFail(IsamErrJournal);
  if (!posting.begun) {
    const std::string company = OpenCompanyNumber();
    if (PostingJournalWaitsFor(company))
      return FailWith(WaitingPostingRefusal(Capitalized(posting.what), "posted", company));
    if (!HoldJournalOf(posting, company)) return false;
    posting.nonce = NewNonce();
    posting.header = HeaderOf(posting, 0);
    posting.buffer = posting.header;
    posting.synced = 0;
    posting.begun = true;
  }
  AppendJournalEntry(change, posting.nonce, posting.buffer);
  posting.changedFiles.insert(std::string(change.Name));
  return true;
}

void ForgetTouched(OpenPosting& posting) {
  for (IsamFileBlockRec* fb : posting.touched) Release(*fb);
  posting.touched.clear();
}

void ResetPosting(OpenPosting& posting) {
  ForgetTouched(posting);
  posting.what.clear();
  posting.failed = false;
  posting.failure.clear();
  posting.begun = false;
  posting.header.clear();
  // A bulk run's buffer is let go; a small one is kept for the next posting.
  if (posting.buffer.capacity() > (size_t{1} << 20))
    std::string().swap(posting.buffer);
  else
    posting.buffer.clear();
  posting.synced = 0;
  posting.journalWritten = false;
  posting.pendingBytes = 0;
  posting.dataOnDisk = false;
  posting.markZeroed = false;
  posting.changedFiles.clear();
  posting.whenPosted.clear();
}

// The zeroed mark on disk is the posting's commit. The rest of the header stays until the posting
// is reported done (WipeJournalHeader), so that a start which finds the mark zeroed and the rest
// whole says that the posting is on file: a stop, or a failure of the commit's sync, came before
// the user heard so.
bool ZeroJournalMark(OpenPosting& posting) {
  if (!posting.journal.IsOpen() || !posting.journalWritten) return true;
  const char zeros[kJournalMarkSize] = {};
  if (!posting.journal.WriteAt(0, zeros, sizeof zeros)) return false;
  posting.markZeroed = true;
  return posting.journal.SyncData();
}

// The whole header zeroed: nothing to undo and nothing to say (the end of an undo, synced; after a
// commit reported done, left to reach the disk with the next sync).
bool WipeJournalHeader(OpenPosting& posting, bool sync) {
  if (!posting.journal.IsOpen() || !posting.journalWritten) return true;
  const char zeros[kJournalHeaderSize] = {};
  return posting.journal.WriteAt(0, zeros, sizeof zeros) && (!sync || posting.journal.SyncData());
}

// The files' syncs run side by side: the file system can serve them with one flush of its own
// journal, where one after another would wait for a flush each.
bool SyncTouchedFiles(OpenPosting& posting) {
  const std::vector<IsamFileBlockRec*>& files = posting.touched;
  std::vector<int> errors(files.size(), 0);
  auto sync = [&](size_t i) { errors[i] = files[i]->DataFile.SyncData() ? 0 : files[i]->DataFile.error(); };
  std::vector<std::thread> others;
  for (size_t i = 1; i < files.size(); ++i) others.emplace_back(sync, i);
  if (!files.empty()) sync(0);
  for (std::thread& other : others) other.join();
  for (size_t i = 0; i < files.size(); ++i) {
    if (errors[i] != 0)
      return FailOnDisk("A data file could not be synced: " + files[i]->DataName, errors[i],
                        IsamErrOsFailure);
    files[i]->DataWritten = false;
  }
  return true;
}

bool CommitPosting(OpenPosting& posting) {
  if (posting.failed) return false;
  if (!posting.begun) return true;
  if (!WriteOutPending(posting) || !SyncTouchedFiles(posting)) return false;
  if (!ZeroJournalMark(posting))
    return FailOnDisk("The posting journal could not be emptied", posting.journal.error());
  return true;
}

// Gives up every open file block the posting changed, without writing anything of it back,
// and returns the names of those that were open.
std::vector<std::string> AbandonTouched(OpenPosting& posting) {
  std::vector<std::string> open;
  std::vector<IsamFileBlockRec*> touched = std::move(posting.touched);
  posting.touched.clear();
  // A file the posting changed, closed and opened again is given up as well: the undo needs it.
  for (IsamFileBlock fb : IsamOpenBlocks())
    if (posting.changedFiles.count(fb->DataName) &&
        std::find(touched.begin(), touched.end(), fb) == touched.end())
      touched.push_back(fb);
  for (IsamFileBlockRec* fb : touched) {
    open.push_back(fb->DataName);
    Release(*fb);
    IsamFileBlock handle = fb;
    IsamAbandonFileBlock(handle);
  }
  return open;
}

// Undoes the posting under way in this process: what reached the files is undone from the
// journal on disk, the journal is emptied, and the files it changed are rebuilt and opened again.
bool RollBack(OpenPosting& posting) {
  posting.lastChanged = posting.begun;
  posting.lastInDoubt = false;
  if (!posting.begun) return true;
  IsamStatusKeeper keep;
  const std::vector<std::string> open = AbandonTouched(posting);
  const std::string company = posting.journalCompany;
  bool undone = true;
  UndoReport report;          // what kept the undo from its end
  bool markRestored = false;  // the header written back over a zeroed mark, and synced
  if (posting.dataOnDisk) {
    // The commit may have zeroed the mark already (its sync then failed): the header goes back
    // first, and is on the disk before any record is undone.
    markRestored = posting.journal.WriteAt(0, posting.header.data(), posting.header.size()) &&
                   posting.journal.SyncData();
    if (!markRestored) {
      report.Cause = "the journal " + PostingJournalName(company) +
                     " could not be written: " + ErrnoText(posting.journal.error());
      report.Remedy = WaitingRemedy(posting.journalPath, posting.journal.error(), true);
    }
    const UndoResult result = markRestored
                                  ? UndoJournalOnDisk(posting.journal, posting.journalCompany, &report)
                                  : UndoResult::Failed;
    undone = result == UndoResult::Undone || result == UndoResult::Nothing;
  }
  // Once the records are back and synced (or none was written), the posting is absent whatever
  // becomes of the journal. One that cannot be emptied is removed instead, so that no later start
  // puts its images back over records changed since; should that fail too, a start only undoes it
  // once more.
  if (undone && !WipeJournalHeader(posting, true)) CloseHeldJournal(posting);
  // A zeroed mark that may be on the disk, and no header known to be back over it: the next start
  // finds the posting on file or undoes it, and says which.
  posting.lastInDoubt = !undone && posting.markZeroed && !markRestored;
  if (!undone) {
    for (const std::string& name : open) ReopenUnitFile(name, posting.journalCompany, false);
    KeepJournalWaiting(company, posting.what, report.Remedy);
    if (posting.lastInDoubt) posting.inDoubt.insert(company);
    posting.journal.Close();  // the start-up undoes it
    posting.journalCompany.clear();
    posting.journalPath.clear();
    return false;
  }
  for (const std::string& name : posting.changedFiles)
    if (DataFileMarkedForRepair(name))
      (void)RebuildUnitFile(name, company);  // one left marked is repaired at its next open
  for (const std::string& name : open) ReopenUnitFile(name, company, true);
  if (AfterPostingUndone) AfterPostingUndone();
  return true;
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
  if (ended_) return;
  if (--posting.depth > 0) {
    // An inner part of the posting ended without finishing: the posting cannot commit.
    if (!posting.failed) posting.failure = "A step of the posting did not finish.";
    posting.failed = true;
    return;
  }
  posting.lastUndone = RollBack(posting);
  ResetPosting(posting);
}

void PostingScope::Commit() {
  OpenPosting& posting = Posting();
  if (ended_) return;
  ended_ = true;
  if (--posting.depth > 0) return;  // the outer scope commits
  const std::string what = posting.what;
  bool ok = CommitPosting(posting);
  const std::string failure = posting.failure;
  if (ok) {
    // Reported done from here on: nothing is left for a start to say of it. A wipe that does not
    // reach the disk leaves a start to say that the posting is on file, which it is.
    WipeJournalHeader(posting, false);
    const std::vector<std::function<void()>> whenPosted = std::move(posting.whenPosted);
    ResetPosting(posting);
    for (const std::function<void()>& step : whenPosted) step();
    return;
  }
  posting.lastUndone = RollBack(posting);
  ResetPosting(posting);
  throw PostingFailed(PostingFailureMessage(what, failure, posting.lastUndone, posting.lastInDoubt),
                      posting.lastUndone);
}

void WhenPosted(std::function<void()> step) {
  if (!PostingUnderWay()) {
    step();
    return;
  }
  Posting().whenPosted.push_back(std::move(step));
}

std::string PostingFailureMessage(const std::string& what, const std::string& failure, bool undone,
                                  bool inDoubt) {
  const std::string posting = what.empty() ? std::string("The posting") : "The posting (" + what + ")";
  std::string message = posting + " could not be completed: " + failure;
  if (!message.empty() && message.back() != '.') message += '.';
  if (undone) return message + "\n\nNothing of it was kept.";
  // What the user can do is the waiting posting's remedy, as every refusal says it meanwhile.
  const std::optional<WaitingPosting> waiting = WaitingWorkOf(OpenCompanyNumber());
  const std::string remedy = waiting ? " " + waiting->Remedy : std::string();
  if (inDoubt)
    return message +
           "\n\nIt could not be undone either, and whether it reached the disk is not known. Until the next "
           "start says which, nothing of the company can be posted or changed." +
           remedy;
  return message +
         "\n\nIt could not be undone either. Until it is, nothing of the company can be posted or changed." +
         remedy;
}

bool LastPostingUndone() {
  return Posting().lastUndone;
}

bool LastPostingInDoubt() {
  return Posting().lastInDoubt;
}

bool LastPostingChangedAnything() {
  return Posting().lastChanged;
}

void RefuseStoppedPostings(const std::string& what, const RefusalWords& refused) {
  if (!PostingJournalWaitsFor(OpenCompanyNumber())) return;
  const std::string subject = refused.Subject.empty() ? Capitalized(what) : refused.Subject;
  throw PostingFailed(WaitingPostingRefusal(subject, refused.Verb.empty() ? "posted" : refused.Verb), false);
}

bool PostingUnderWay() {
  return Posting().depth > 0;
}

size_t PostingBytesHeld() {
  const OpenPosting& posting = Posting();
  size_t held = posting.buffer.capacity();
  for (const IsamFileBlockRec* fb : posting.touched)
    for (const auto& [ref, image] : fb->PendingSlots) held += image.capacity();
  return held;
}

bool PostingJournalHeld(const std::string& company) {
  const OpenPosting& posting = Posting();
  return posting.journal.IsOpen() && posting.journalCompany == company &&
         posting.journalPath == AbsoluteJournalPath(company);
}

void ClosePostingJournal() {
  if (!PostingUnderWay()) CloseHeldJournal(Posting());
}

bool IsamJournalSlot(IsamFileBlockRec& fb, IsamRecRef ref, bool added) {
  if (!PostingUnderWay()) return true;
  OpenPosting& posting = Posting();
  if (posting.failed) return IsamFail(IsamErrJournal);
  // The first image of a slot is what the undo must bring back; later changes need no entry.
  if (!fb.JournalledSlots.Insert(ref)) return true;
  if (!fb.InPosting) IsamPostingTouched(fb);
  JournalChange change{
      added ? JournalKind::SlotAdded : JournalKind::SlotImage, fb.DataName, ref, fb.RecordLength, {}};
  std::string image;
  if (!added) {
    image.resize(static_cast<size_t>(fb.RecordLength));
    if (!IsamReadSlot(fb, ref, image.data(), image.size())) {
      fb.JournalledSlots.Erase(ref);
      return false;
    }
    change.Image = image;
  }
  if (!Append(change)) {
    fb.JournalledSlots.Erase(ref);
    return false;
  }
  posting.pendingBytes += JournalEntrySize(change) + static_cast<size_t>(fb.RecordLength);
  if (posting.pendingBytes > kWriteOutBytes && !WriteOutPending(posting)) {
    fb.JournalledSlots.Erase(ref);
    return false;
  }
  return true;
}

bool IsamPostingHoldsWrites(const IsamFileBlockRec& fb) {
  return PostingUnderWay() && !fb.ReadOnly;
}

void IsamPostingTouched(IsamFileBlockRec& fb) {
  fb.InPosting = true;
  Posting().touched.push_back(&fb);
}

bool IsamPostingWriteOut(IsamFileBlockRec& fb) {
  OpenPosting& posting = Posting();
  const bool written = fb.PendingSlots.empty() || (SyncJournal(posting) && WriteOutBlock(posting, fb));
  IsamPostingForget(fb);
  return written;
}

void IsamPostingForget(IsamFileBlockRec& fb) {
  OpenPosting& posting = Posting();
  Release(fb);
  posting.touched.erase(std::remove(posting.touched.begin(), posting.touched.end(), &fb),
                        posting.touched.end());
}

void IsamPostingBroken(int err) {
  if (!PostingUnderWay()) return;
  OpenPosting& posting = Posting();
  if (!posting.failed) posting.failure = "A file could not be written: " + ErrnoText(err);
  posting.failed = true;
}

bool IsamPostingFailed() {
  return PostingUnderWay() && Posting().failed;
}

bool FlushPostingWrites() {
  OpenPosting& posting = Posting();
  if (!PostingUnderWay() || !posting.begun) return true;
  return WriteOutPending(posting);
}

bool IsamJournalCreatedFile(const std::string& dataName, int32_t recordLength) {
  if (!PostingUnderWay()) return true;
  OpenPosting& posting = Posting();
  if (posting.failed) return IsamFail(IsamErrJournal);
  if (platform::files::Exists(dataName))
    return FailWith("The data file " + dataName + " is there already; a posting does not create it anew.");
  if (!Append({JournalKind::DataFileCreated, dataName, 0, recordLength, {}})) return false;
  // The file is made at once, not held back like records: its entry goes to disk first.
  if (!SyncJournal(posting)) return false;
  posting.dataOnDisk = true;
  return true;
}

bool IsamSyncCreatedFile(const std::string& dataName) {
  if (!PostingUnderWay()) return true;
  int err = 0;
  if (platform::files::SyncFolder(dataName, &err)) return true;
  return FailOnDisk("The data folder could not be synced", err, IsamErrOsFailure);
}

void AllowJournalledSideFile(const std::string& name) {
  Posting().sideFiles.insert(platform::text::UpperCase(name));
}

bool IsJournalledSideFile(const std::string& name) {
  return Posting().sideFiles.count(platform::text::UpperCase(name)) > 0;
}

bool JournalSideFile(const std::string& name) {
  if (!PostingUnderWay()) return true;
  if (!IsJournalledSideFile(name)) return FailWith("The side file " + name + " is not one a posting keeps.");
  std::string bytes;
  int err = 0;
  const bool existed = platform::files::ReadWholeFile(name, &bytes, &err);
  if (!existed && err != ENOENT) return FailOnDisk("The side file " + name + " could not be read", err);
  if (!Append({existed ? JournalKind::SideFileImage : JournalKind::SideFileCreated, name, 0, 0,
               existed ? std::string_view(bytes) : std::string_view()}))
    return false;
  // The side file is written at once, not held back like records: its entry goes to disk first.
  OpenPosting& posting = Posting();
  if (!SyncJournal(posting)) return false;
  posting.dataOnDisk = true;
  return true;
}

}  // namespace storage

// -- The company's journal from its open to its close, and a journal that waits --
namespace storage {
namespace {

std::vector<FoundJournal>& Found() {
  static std::vector<FoundJournal> found;
  return found;
}

}  // namespace

bool HoldCompanyJournal(const std::string& company) {
  OpenPosting& posting = Posting();
  if (PostingUnderWay()) return false;
  if (company.empty()) {
    CloseHeldJournal(posting);
    return true;
  }
  // A journal left waiting for the next start is its evidence: never held, so never removed.
  if (PostingJournalWaitsFor(company)) return false;
  IsamStatusKeeper keep;
  if (HoldJournalOf(posting, company)) return true;
  // Not a posting's failure: the first posting tries again.
  posting.failed = false;
  posting.failure.clear();
  return false;
}

void NoteJournalFound(const std::string& company, JournalOutcome outcome, const std::string& told) {
  Found().push_back({company, outcome, told});
}

std::vector<FoundJournal> JournalsFound() {
  return Found();
}

void ForgetJournalsFound() {
  Found().clear();
}

bool PostingJournalWaits() {
  return !Posting().waiting.empty();
}

bool PostingJournalWaitsFor(const std::string& company) {
  return Posting().waiting.count(company) > 0 || Posting().waiting.count(EveryCompany) > 0;
}

std::vector<std::string> CompaniesWithWaitingPostings() {
  std::vector<std::string> companies;
  for (const auto& [company, what] : Posting().waiting) companies.push_back(company);
  return companies;
}

void KeepJournalWaiting(const std::string& company, const std::string& what, const std::string& remedy) {
  Posting().waiting[company] = what;
  Posting().damaged.erase(company);
  if (remedy.empty())
    Posting().remedies.erase(company);
  else
    Posting().remedies[company] = remedy;
}

void KeepRestoreWaiting(const std::string& what, const std::string& remedy) {
  KeepJournalWaiting(EveryCompany, what, remedy);
  Posting().unfinished.insert(EveryCompany);
}

void KeepDamagedJournalWaiting(const std::string& company, const std::string& what) {
  KeepJournalWaiting(company, what, DamagedJournalRemedy(company));
  Posting().damaged.insert(company);
}

std::optional<WaitingPosting> WaitingPostingOf(const std::string& company) {
  return Posting().waiting.count(company) ? WaitingWorkOf(company) : std::nullopt;
}

namespace {

std::optional<WaitingPosting> WaitingWorkOf(const std::string& company) {
  const OpenPosting& posting = Posting();
  auto waiting = posting.waiting.find(company);
  if (waiting == posting.waiting.end()) waiting = posting.waiting.find(EveryCompany);
  if (waiting == posting.waiting.end()) return std::nullopt;
  const std::string& holder = waiting->first;
  WaitingPosting found{waiting->second,
                       {},
                       posting.inDoubt.count(holder) > 0,
                       posting.unfinished.count(holder) > 0,
                       posting.damaged.count(holder) > 0};
  const auto remedy = posting.remedies.find(holder);
  if (remedy != posting.remedies.end())
    found.Remedy = remedy->second;
  else
    found.Remedy = found.InDoubt ? "Start the program again, which says whether it is on file."
                                 : "Start the program again to undo it.";
  return found;
}

// The waiting posting as every message names it.
std::string NameOf(const WaitingPosting& waiting) {
  return waiting.What.empty() ? std::string("the last posting") : waiting.What;
}

// "invoice 10000 was interrupted and is not undone yet" and the like, for the company's waiting posting.
std::string WaitingState(const WaitingPosting& waiting) {
  const std::string what = NameOf(waiting);
  if (waiting.InDoubt) return "whether " + what + " is on file is not known yet";
  if (waiting.Unfinished) return what + " was interrupted and is not finished yet";
  return what + " was interrupted and is not undone yet";
}

std::string CompanyOr(const std::string& company) {
  return company.empty() ? OpenCompanyNumber() : company;
}

}  // namespace

std::string WaitingPostingRefusal(const std::string& subject, const std::string& verb,
                                  const std::string& company) {
  const std::optional<WaitingPosting> waiting = WaitingWorkOf(CompanyOr(company));
  if (!waiting) return {};
  return subject + " cannot be " + verb + " now: " + WaitingState(*waiting) + ". " + waiting->Remedy;
}

std::string WaitingPostingFiguresNote(const std::string& company) {
  const std::optional<WaitingPosting> waiting = WaitingWorkOf(CompanyOr(company));
  if (!waiting) return {};
  const std::string what = NameOf(*waiting);
  if (waiting->InDoubt) return "These figures include " + what + "; whether it is on file is not known yet.";
  if (waiting->Unfinished)
    return "These figures may include part of " + what + ", which was interrupted and is not finished yet.";
  // A stop may have put only part of it on file, as the main window's line says.
  return "These figures may include part of " + what + ", which was interrupted and is not undone yet.";
}

std::string WaitingPostingLine(const std::string& company) {
  const std::optional<WaitingPosting> waiting = WaitingWorkOf(CompanyOr(company));
  if (!waiting) return {};
  if (waiting->Damaged)
    return PostingAtSentenceStart(NameOf(*waiting)) +
           " was interrupted and cannot be undone: its journal is damaged. The figures shown may include "
           "part of it. " +
           waiting->Remedy;
  const char* figures = waiting->InDoubt ? "; the figures shown include it. "
                        : waiting->Unfinished
                            ? "; the figures shown may include part of it. "
                            : "; the figures shown may include part of it until it is undone. ";
  std::string line = WaitingState(*waiting) + figures;
  return PostingAtSentenceStart(line) + waiting->Remedy;
}

namespace {

// The company whose waiting posting the open company's work meets first: the open company's own,
// else the first that waits.
std::optional<std::string> WaitingCompanyFirstMet() {
  const std::map<std::string, std::string>& waiting = Posting().waiting;
  if (waiting.empty()) return std::nullopt;
  const auto open = waiting.find(OpenCompanyNumber());
  return open != waiting.end() ? open->first : waiting.begin()->first;
}

// The company whose waiting posting holds the data file: its own company's, or for the company
// list, the one first met.
std::optional<std::string> WaitingCompanyHolding(const std::string& dataName) {
  // A restore that holds every company holds every data file of the folder.
  if (Posting().waiting.count(EveryCompany)) return std::string(EveryCompany);
  const std::optional<std::string> owner = IsamDataFileOwner(dataName);
  if (!owner) return std::nullopt;
  if (owner->empty()) return WaitingCompanyFirstMet();
  for (const auto& [company, what] : Posting().waiting)
    if (platform::text::UpperCase(company) == *owner) return company;
  return std::nullopt;
}

}  // namespace

std::string AnyWaitingPostingRefusal(const std::string& subject, const std::string& verb) {
  const std::optional<std::string> company = WaitingCompanyFirstMet();
  return company ? WaitingPostingRefusal(subject, verb, *company) : std::string();
}

namespace {

bool Refuse(const std::string& subject, const std::string& verb, const std::string& company) {
  Posting().lastRefusal = WaitingPostingRefusal(subject, verb, company);
  return !IsamFail(IsamErrPostingWaits);
}

}  // namespace

bool RefuseWriteWhileWaiting(const std::string& dataName, const std::string& subject,
                             const std::string& verb) {
  // The one test every write makes while nothing waits.
  if (Posting().waiting.empty()) return false;
  const std::optional<std::string> company = WaitingCompanyHolding(dataName);
  if (!company) return false;
  return Refuse(subject.empty() ? "The file " + std::filesystem::path(dataName).filename().string() : subject,
                verb, *company);
}

bool RefuseMoveWhileWaiting(const std::string& subject, const std::string& verb) {
  const std::optional<std::string> company = WaitingCompanyFirstMet();
  return company && Refuse(subject, verb, *company);
}

std::string PostingAtSentenceStart(std::string what) {
  if (!what.empty()) what.front() = platform::text::UpperChar(what.front());
  return what;
}

std::string LastWaitingRefusal() {
  return Posting().lastRefusal;
}

std::string WaitingRemedy(const std::string& file, int err, bool writing) {
  if (err == 0) return {};
  const std::string name =
      file.empty() ? std::string("the data folder") : std::filesystem::path(file).filename().string();
  const std::string again = " and start the program again.";
  switch (err) {
    case EACCES:
    case EPERM:
      return "Make " + name + (writing ? " writable" : " readable") + again;
    case ENOSPC:
    case EDQUOT:
      return "Free space on the disk that holds " + name + again;
    case EROFS:
      return "Make the disk that holds " + name + " writable" + again;
    case EMFILE:
    case ENFILE:
    case ENOMEM:
      return "Close other programs" + again;
    default:
      return "Check the disk that holds " + name + again;
  }
}

std::string DamagedJournalRemedy(const std::string& company) {
  return "Restore the last backup of company " + company + ".";
}

bool RepairLeftToNextStart(const std::string& company) {
  return !company.empty() && HoldCompanyJournal(company);
}

void KeepJournalForTheNextStart(const std::string& company, bool forAFailure) {
  Posting().keptForTheNextStart[platform::text::UpperCase(company)] = forAFailure;
}

void ForgetWaitingJournals() {
  IsamForgetRefusedCalls();
  Posting().waiting.clear();
  Posting().inDoubt.clear();
  Posting().unfinished.clear();
  Posting().remedies.clear();
  Posting().damaged.clear();
  Posting().keptForTheNextStart.clear();
}

void ForgetWaitingJournal(const std::string& company) {
  Posting().waiting.erase(company);
  Posting().inDoubt.erase(company);
  Posting().unfinished.erase(company);
  Posting().remedies.erase(company);
  Posting().damaged.erase(company);
  Posting().keptForTheNextStart.erase(platform::text::UpperCase(company));
}

}  // namespace storage
