#pragma once
// The posting journal: a posting changes records in several files (invoice, lines, memo,
// products, customer, company), and must reach the disk whole or not at all, whatever stops it: a
// kill, a failed write or sync, a full disk, a power cut. The journal "<company number>JNL.DAT" in
// the data folder is a rollback journal:
//
//  - while a posting runs, the data records it writes are kept in memory (the open file block's
//    pending slots, read back from there), and what undoes each change (the record's first image,
//    or "added") is kept in memory too;
//  - before any of those records is written to its file (when a file is closed during the posting,
//    when the pending records grow beyond 8 MiB, and at the end), the journal's entries not yet
//    on disk are written and synced: no change can reach the disk before what undoes it. What is
//    synced is let go: a bulk run holds no more than about 8 MiB of entries and records;
//  - the posting commits by syncing every data file it wrote and then zeroing the journal's mark
//    and syncing that: only then is it reported done, and the rest of the header is wiped (not
//    synced). A start that finds the mark zeroed and the rest of the header whole knows that the
//    posting it names is on file though nobody heard so (a stop came first, or the commit's sync
//    failed and what reached the disk was not known), and says so;
//  - a data file a posting creates (its open finds it missing) is named in the journal, synced,
//    before it is made, and its folder is synced before the posting can commit: the undo removes
//    it, and a start that finds it lost or cut short by a power cut takes that as the undo's part;
//  - a posting that fails (a write, a sync, an exception, a refusal after its first change) is
//    undone in the same process: nothing of it is kept, and the files it touched are rebuilt. If
//    even that fails, the journal stays on disk and the company's postings are refused until the
//    next start undoes it;
//  - a journal found with entries at a start, or before a company's files are opened, is checked
//    whole against the files and then undone on the data slots, newest change first, and the files
//    it names are rebuilt at once. Nothing of the journal is written while it is undone (undoing
//    an entry twice writes the same image twice), and every rewrite of its header is synced before
//    any record it governs changes.
//
// The file is opened without following links, must be a regular file (no open of it waits), is
// locked while this process holds it, and has its blocks allocated for real before it is written
// (a full disk is an error, never a signal). It is read entry by entry: a journal whose entries do
// not fit the files here (another company's files, an image that does not fit its record, a slot
// past its file) is set aside under a name that says so, and never written over; so are several
// journals of one company in different spellings.
//
// What was synced before the records it protects were written, and what was not: a posting
// writes its journal in parts (one part as a rule; more when a file is closed during the posting
// or its records grow large), each part written at the end of the last and synced before any
// record it protects is written. After each part's sync the header is rewritten with the end of
// what is now synced ("synced end"). That rewrite is not synced by itself: it reaches the disk
// with the next part's sync or the commit's (or at once, as far as a later start is concerned,
// when the process is killed), and whenever it does, what it claims is there already. So:
//  - before the synced end every entry must read whole and the last of them must end there;
//    anything else is damage to what was synced: nothing is undone, the user is told that the
//    posting could not be undone, and the journal is kept where it is (postings stay refused);
//  - from the synced end on, the first entry that does not read whole is the journal's end: the
//    last part may have been cut by a stop while it was written (a write is atomic within a
//    sector only, so any sector of it may be lost), and none of its records was written; those of
//    its entries that do read are undone all the same, which restores what the files hold anyway.
//
// Layout (little-endian; the file may be longer than its contents):
//   header, 88 bytes:
//     0  8 bytes  "KJOURNL3"; zero when the last posting ended (nothing to undo); "KJUNDON3" once a
//                 start has undone the posting, until it has told the user; "KJASIDE3" in a
//                 header alone that stands in for journals a start set aside (the names they were
//                 kept as in place of what the posting is), until it has told the user
//     8  byte     length of the company number, then 15 bytes of it
//    24  byte     length of what the posting is ("invoice 1004"), then 39 bytes of it
//    64  uint64   the posting's nonce: every entry's checksum starts from it, so that entries
//                 left from an earlier posting further on in the file never read as this one's
//    72  uint64   the synced end (above): 0 until the first part is synced, then the offset just
//                 past the last entry synced
//    80  uint32   0; in a journal with nothing to undo (the mark zero), 1 when the company's close
//                 kept it because a failure on the disk left files of the company to repair: the
//                 next start repairs them (and says why) as it repairs what a stop left
//    84  uint32   checksum of bytes 0 to 83
//   then one entry per change, in the order of the changes:
//     0  uint32   L, the whole entry's length (20 + n + m + 4)
//     4  byte     kind: 1 a slot's record before the change, 2 a slot the change added,
//                 3 a side file's bytes before the change, 4 a side file the change created,
//                 5 a data file the posting created (its record length in the field at 12)
//     5  byte     0
//     6  uint16   n, the length of the file name
//     8  int32    the slot's record reference (0 for side files)
//    12  int32    the data file's record length (0 for side files)
//    16  uint32   m, the length of the image (the record length for kind 1, the file's bytes for
//                 kind 3, else 0)
//    20  n bytes  the file name as the engine opened it ("12C.DAT")
//  20+n  m bytes  the image
//   L-4  uint32   checksum of bytes 0 to L-5 (every byte of the entry, its length included),
//                 started from the nonce
// Nothing in the file is ever rewritten but the header.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage {

// The journal file of a company number (trimmed), and whether a file name is a journal's.
inline constexpr char kPostingJournalSuffix[] = "JNL.DAT";
std::string PostingJournalName(const std::string& company);
[[nodiscard]] bool IsPostingJournalName(const std::string& fileName);

// A posting that failed: it was undone (or, when Undone() is false, its journal is left for the
// next start). what() is the message for the user: what failed, and what became of the posting.
class PostingFailed : public std::runtime_error {
 public:
  PostingFailed(const std::string& message, bool undone) : std::runtime_error(message), undone_(undone) {}
  [[nodiscard]] bool Undone() const { return undone_; }

 private:
  bool undone_;
};

// One posting. A scope opened inside another joins it; `what` ("invoice 1004") names the
// posting in the messages, the first one given before the first change counts. The outermost
// scope ends the posting: Commit() makes it durable (and throws PostingFailed, after undoing it,
// when it cannot); a scope left without Commit() (an exception, a refusal) undoes whatever the
// posting changed.
class PostingScope {
 public:
  explicit PostingScope(const std::string& what = {});
  ~PostingScope();
  PostingScope(const PostingScope&) = delete;
  PostingScope& operator=(const PostingScope&) = delete;
  void Commit();

 private:
  bool ended_ = false;
};

// How the refusal names the work while a posting of the company waits: "Customer C1" and
// "changed" say "Customer C1 cannot be changed now: ...". Left empty: the posting's own name
// ("Invoice 1004") and "posted".
struct RefusalWords {
  std::string Subject;
  std::string Verb;
};

// Runs work as one posting: committed when it returns, undone when it throws. A failure comes
// back as PostingFailed, whose message says what failed and that nothing of the posting was kept;
// an exception raised before the posting changed anything (a refusal) goes on unchanged.
// Refused at once, with PostingFailed in the words given, while a posting of the company waits.
template <class Work>
auto RunPosting(const std::string& what, Work&& work, const RefusalWords& refused = {}) -> decltype(work());

// True while a posting scope is open in this process.
[[nodiscard]] bool PostingUnderWay();
// Runs step once the posting under way is on file, never when it is undone; at once when no
// posting is under way. For what lives outside the files (the label queue).
void WhenPosted(std::function<void()> step);
// What the posting under way holds in memory of its journal entries and of its records kept
// back, in bytes: no more than about 8 MiB however large the posting (what is synced is let go).
size_t PostingBytesHeld();
// True when this process holds the company's journal open (between or during its postings).
[[nodiscard]] bool PostingJournalHeld(const std::string& company);
// Closes and removes the journal held between postings; the engine's shutdown calls it.
void ClosePostingJournal();

// Called by the engine before it changes slot ref of fb: the slot's record as it stands (or
// nothing, when the change adds the slot) goes to the journal. True when no posting is under
// way; false with the status set when the journal cannot take it, and the change must not be made.
[[nodiscard]] bool IsamJournalSlot(IsamFileBlockRec& fb, IsamRecRef ref, bool added);

// Called by the engine before it creates a data file set: within a posting, the creation goes to
// the journal and is synced, so that the undo removes the file again (and a start that finds it
// lost or cut short by a power cut takes that as part of the undo). Within a posting no file
// already there is created anew. True when no posting is under way; false with the status set.
[[nodiscard]] bool IsamJournalCreatedFile(const std::string& dataName, int32_t recordLength);
// Called once the engine has created a posting's data file set: its names are made durable (the
// folder synced) before the posting can commit.
[[nodiscard]] bool IsamSyncCreatedFile(const std::string& dataName);

// Whether records written to fb now are kept back as the posting's pending slots.
[[nodiscard]] bool IsamPostingHoldsWrites(const IsamFileBlockRec& fb);
// Called when fb first gets pending slots, so that the posting writes them out.
void IsamPostingTouched(IsamFileBlockRec& fb);
// Called as fb is closed or given up during a posting: its pending slots are written out first
// (after the journal is synced), or, when giving up, dropped.
[[nodiscard]] bool IsamPostingWriteOut(IsamFileBlockRec& fb);
void IsamPostingForget(IsamFileBlockRec& fb);
// Called by the file layer when a write, sync or truncation fails during a posting: the
// posting cannot commit, whatever its caller does with the result.
void IsamPostingBroken(int err);
// True while the posting under way can no longer commit: its files are closed without writing.
[[nodiscard]] bool IsamPostingFailed();

// Makes the journal durable and writes every pending record of the posting to its file (without
// syncing the data files): what a close during a posting does. False with the status set.
[[nodiscard]] bool FlushPostingWrites();

// Called before a posting writes or replaces a side file (the command line's answer file). Only
// side files registered before are accepted, here and in a journal found later.
void AllowJournalledSideFile(const std::string& name);
[[nodiscard]] bool JournalSideFile(const std::string& name);

// Called after a posting was undone in this process, so that what the program keeps of records
// in memory (the open company's record) is read again from the files.
extern std::function<void()> AfterPostingUndone;

// What became of a journal left behind.
enum class JournalOutcome {
  None,        // there was none
  Undone,      // its changes were undone and it was removed
  Refused,     // it does not belong to the files here; the user was told, it was set aside, and
               // nothing was changed (the files the stop left marked are rebuilt at the start)
  InUse,       // a file it names (or the journal) is held open; left for the next start
  Damaged,     // what it holds as synced does not read: nothing was undone, the user was told, and it
               // stays where it is and waits as one whose undo failed (PostingJournalWaitsFor)
  OnFile,      // its posting was committed and a stop came before it was reported done: it is on file,
               // the user was told so, and the journal was removed
  RepairLeft,  // it held nothing to undo and was kept because a failure on the disk left files of
               // the company to repair: the start repairs them
};

// Undoes the journal of a company left by a posting that did not end, rebuilds the files it
// touched, and tells the user so in one message. A no-op while a posting of this process is
// under way or this process holds the journal.
JournalOutcome UndoPostingJournal(const std::string& company);

// The same for every journal in the data folder, as the program starts.
void UndoLeftPostingJournals();

// Work the program does by itself at every start (the aging of receivables), known by the name its
// posting is given. A stop that interrupted it is the start's own business: its posting is undone
// without a word, since the start that undoes it does the work again, and one whose report the
// stop cut off is not said to be on file. What else the stop left is told as any stop is.
void DoneAgainAtEveryStart(const std::string& what);

// While one lives (the start's recovery from a stop), a journal undone or found empty is not
// removed but kept, emptied and synced, as the evidence that the program was stopped: a start
// stopped before it has rebuilt what the stop left is finished by the next one. The start removes
// it (HoldCompanyJournal, then letting go of it) once those files are rebuilt. Elsewhere the undo
// removes the journal as soon as the files it touched are rebuilt.
class JournalsKeptUntilRebuilt {
 public:
  JournalsKeptUntilRebuilt();
  ~JournalsKeptUntilRebuilt();
  JournalsKeptUntilRebuilt(const JournalsKeptUntilRebuilt&) = delete;
  JournalsKeptUntilRebuilt& operator=(const JournalsKeptUntilRebuilt&) = delete;
};

// The exit status of a process a test seam ends as a kill would.
constexpr int IsamKilledExitCode = 86;

// -- implementation of RunPosting --
std::string PostingFailureMessage(const std::string& what, const std::string& failure, bool undone,
                                  bool inDoubt = false);
[[nodiscard]] bool LastPostingUndone();
[[nodiscard]] bool LastPostingInDoubt();
[[nodiscard]] bool LastPostingChangedAnything();
void RefuseStoppedPostings(const std::string& what, const RefusalWords& refused);

template <class Work>
auto RunPosting(const std::string& what, Work&& work, const RefusalWords& refused) -> decltype(work()) {
  if (!PostingUnderWay()) RefuseStoppedPostings(what, refused);
  try {
    PostingScope posting(what);
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
      posting.Commit();
    } else {
      auto result = work();
      posting.Commit();
      return result;
    }
  } catch (const PostingFailed&) {
    throw;
  } catch (const std::exception& error) {
    // The outer posting ends it; a refusal before anything changed goes on as it is.
    if (PostingUnderWay() || !LastPostingChangedAnything()) throw;
    throw PostingFailed(PostingFailureMessage(what, error.what(), LastPostingUndone(), LastPostingInDoubt()),
                        LastPostingUndone());
  }
}

}  // namespace storage

// -- The company's journal from its open to its close, and a journal that waits --
namespace storage {

// Holds the company's journal (empty between postings) from the company's open to its close, so
// that a start which still finds it knows the program was stopped with the company open. An empty
// number lets go of the journal held. False when it cannot be held now; the first posting then
// makes it, and says so if it cannot.
[[nodiscard]] bool HoldCompanyJournal(const std::string& company);

// A journal found at a start (or before a company's files opened), and what became of it: None
// when it held no posting (the program was stopped between postings). Told names the posting the
// user was told of (undone, or on file), if any.
struct FoundJournal {
  std::string Company;
  JournalOutcome Outcome = JournalOutcome::None;
  std::string Told;
};
void NoteJournalFound(const std::string& company, JournalOutcome outcome, const std::string& told = {});
std::vector<FoundJournal> JournalsFound();
void ForgetJournalsFound();

// A posting whose undo failed waits in its journal for the next start: in this process (its undo
// failed), or because the start itself could not undo it. While one waits, nothing that moves
// records may run (a rebuild, a reindex, a copy): the undo puts old records back in the slots
// they had. Nor does anything but the undo write the files the posting holds (below).
[[nodiscard]] bool PostingJournalWaits();
[[nodiscard]] bool PostingJournalWaitsFor(const std::string& company);
// The companies whose posting waits.
std::vector<std::string> CompaniesWithWaitingPostings();
// `remedy` is what the user can do so that the posting is undone, in the user's words ("Make
// 1C.DAT readable and start the program again."); empty for the usual "start the program again".
void KeepJournalWaiting(const std::string& company, const std::string& what, const std::string& remedy = {});
// The same for a journal that is damaged where it was synced: its posting cannot be undone, and
// the way out is the company's last backup (DamagedJournalRemedy).
void KeepDamagedJournalWaiting(const std::string& company, const std::string& what);
// The remedy when the undo could not use `file` (empty: the data folder) for the system's reason
// err: make it readable (writable, when it was being written), free the disk, check the disk;
// empty, for the usual "start the program again", when no reason is known.
std::string WaitingRemedy(const std::string& file, int err, bool writing = false);
// The remedy when the journal itself is damaged: the company's last backup.
std::string DamagedJournalRemedy(const std::string& company);

// A restore a stop interrupted that the start can neither finish nor undo now (its mark cannot be
// read) holds every company and the company list as a waiting posting holds its company: the
// same guard, refusal, figures' note and line, which name it (`what`: "the restore of the backup
// files") with the remedy. Its entry stands under this name for every company.
inline constexpr char EveryCompany[] = "*";
void KeepRestoreWaiting(const std::string& what, const std::string& remedy);

// The posting that waits in a company's journal, as every message about it names it.
struct WaitingPosting {
  std::string What;         // "invoice 10000"; may be empty when the journal did not say
  std::string Remedy;       // "Make 1C.DAT readable and start the program again."
  bool InDoubt = false;     // its commit may have reached the disk: the next start says which
  bool Unfinished = false;  // a restore the next start finishes or undoes: the files may hold part of it
  bool Damaged = false;     // its journal is damaged: it cannot be undone
};
std::optional<WaitingPosting> WaitingPostingOf(const std::string& company);
// The one refusal in a user's words while a posting of `company` (the open one when empty) waits:
// "HAMMER cannot be changed now: invoice 10000 was interrupted and is not undone yet. Make
// 1C.DAT readable and start the program again." `subject` and `verb` make its first words.
std::string WaitingPostingRefusal(const std::string& subject, const std::string& verb = "changed",
                                  const std::string& company = {});
// The line every figure shown or printed then carries: "These figures may include part of
// invoice 10000, which was interrupted and is not undone yet." Empty when no posting of the
// company waits.
std::string WaitingPostingFiguresNote(const std::string& company = {});
// What the main window says for as long as a posting of the company waits: "Invoice 10000 was
// interrupted and is not undone yet; the figures shown may include part of it until it is undone."
// (a stop may have put only part of it on file) and the remedy; for a damaged journal, that it cannot be
// undone and the remedy (the last backup). Empty when none waits.
std::string WaitingPostingLine(const std::string& company = {});
// The same refusal for work refused while any posting waits (a rebuild, a repair, a copy): it
// names the open company's waiting posting, else the first that waits; empty when none waits.
std::string AnyWaitingPostingRefusal(const std::string& subject, const std::string& verb);

// The guard where the engine writes: while a posting waits, nothing but its undo writes the data
// files it holds, those of its company and the company list that all companies share (it holds
// the posting's change of its company's record). Every update, add and delete of a record, and
// every data file made or removed, is refused then, whatever window or job asks. While no
// posting waits this costs one test per write. True when a write to dataName is refused now:
// the status is then IsamErrPostingWaits, and the refusal's words ("HAMMER cannot be changed now:
// ...") are kept for the message, with `subject` ("HAMMER"; empty: "The file 12P.DAT") and
// `verb` ("changed").
[[nodiscard]] bool RefuseWriteWhileWaiting(const std::string& dataName, const std::string& subject,
                                           const std::string& verb);
// The same for work that moves records (a rebuild, a repair, a copy): refused while any posting
// waits, since its undo puts records back in the slots they had.
[[nodiscard]] bool RefuseMoveWhileWaiting(const std::string& subject, const std::string& verb);
// The words of the last refusal with IsamErrPostingWaits.
std::string LastWaitingRefusal();
// A posting's name ("invoice 1004", "the import of customers") as the first words of a sentence.
std::string PostingAtSentenceStart(std::string what);
// Files of the company that a failure on the disk (a write, sync, create, rename or removal the
// system refused in this run) left to repair are repaired by the next start, as it repairs what a
// stop left, with one message and no question: the company's journal is kept at the company's
// close, marked so, when such files are left then. True when the journal is held for that (made
// now if it was not); false when it cannot be (it waits for a start, or cannot be made).
[[nodiscard]] bool RepairLeftToNextStart(const std::string& company);
// The start could not finish what a stop left of the company (a file whose mark it could not read,
// a rebuild that failed, a posting that waits): the company's journal, the evidence of that stop
// (or, forAFailure, of files a failure on the disk left), stays as such at the company's close in
// this run, so that the next start finishes the repair with its one message and asks nothing.
void KeepJournalForTheNextStart(const std::string& company, bool forAFailure);
// A new start tries every journal again, and has met no failure yet.
void ForgetWaitingJournals();
// The company's journal is gone (a restore took it with the files it touched): nothing waits.
void ForgetWaitingJournal(const std::string& company);

}  // namespace storage
