#pragma once
// The posting journal: a posting changes records in several files (invoice, lines, memo,
// products, customer, company), and the engine keeps each record whose write completed. So that
// a posting killed half-way leaves no books that disagree with their own records, every record
// change made while a PostingScope is open first appends what undoes it to the company's journal
// "<company number>JNL.DAT" in the data folder; the posting ends by emptying it, and the file is
// removed when the engine shuts down. A journal found later with changes in it is undone, newest
// change first, before the company's files are opened again.
//
// The journal is written through a shared mapping of the file (journal_map.h), never synced:
// what is stored there is in the system's cache of the file at once, so a killed process leaves
// it complete up to the change it was making. A power cut may lose its tail and is not covered.
//
// Layout (little-endian; the file is longer than its contents, the rest zero):
//   header, 64 bytes:
//     0  8 bytes  "KJOURNL1"; zero when the last posting ended (nothing to undo)
//     8  byte     length of the company number, then 15 bytes of it
//    24  byte     length of what the posting is ("invoice 1004"), then 39 bytes of it
//   then one entry per change, appended in the order of the changes:
//     0  uint32   L, the whole entry's length (20 + n + m + 4); stored after the rest of the
//                 entry, so that 0 here ends the journal
//     4  byte     kind: 1 a slot's record before the change, 2 a slot the change added,
//                 3 a side file's bytes before the change, 4 a side file the change created
//     5  byte     0 still to undo, 1 undone (the only byte ever rewritten)
//     6  uint16   n, the length of the file name
//     8  int32    the slot's record reference (0 for side files)
//    12  int32    the data file's record length (0 for side files)
//    16  uint32   m, the length of the image (the record length for kind 1, the file's bytes for
//                 kind 3, else 0)
//    20  n bytes  the file name as the engine opened it ("12C.DAT")
//  20+n  m bytes  the image
//   L-4  uint32   checksum of bytes 4 and 6 to L-4
// An entry whose checksum fails with nothing but zeros after it is a last entry cut short and is
// ignored; one with more entries after it is damage, and the journal is refused.

#include <string>

#include "storage/file_block.h"
#include "storage/isam_types.h"

namespace storage {

// The journal file of a company number (trimmed), and whether a file name is a journal's.
inline constexpr char kPostingJournalSuffix[] = "JNL.DAT";
std::string PostingJournalName(const std::string& company);
bool IsPostingJournalName(const std::string& fileName);

// One posting: the journal is begun at its first change and emptied when the outermost scope
// ends, whether the posting succeeded or not. A scope opened inside another joins it; `what`
// ("invoice 1004") names the posting in the message shown if it has to be undone, the first
// one given before the first change counts.
class PostingScope {
 public:
  explicit PostingScope(const std::string& what = {});
  ~PostingScope();
  PostingScope(const PostingScope&) = delete;
  PostingScope& operator=(const PostingScope&) = delete;
};

// True while a posting scope is open in this process.
bool PostingUnderWay();
// True when this process holds the company's journal open (between or during its postings).
bool PostingJournalHeld(const std::string& company);
// Closes and removes the journal held between postings; the engine's shutdown calls it.
void ClosePostingJournal();

// Called by the engine before it changes slot ref of fb: the slot's record as it stands (or
// nothing, when the change adds the slot) goes to the journal. True when no posting is under
// way; false with the status set when the journal cannot be written, and the change must not
// be made.
bool IsamJournalSlot(IsamFileBlockRec& fb, IsamRecRef ref, bool added);

// Called before a posting writes or replaces a side file (the command line's answer file).
bool JournalSideFile(const std::string& name);

// What became of a journal left behind.
enum class JournalOutcome {
  None,     // there was none
  Undone,   // its changes were undone and it was removed
  Refused,  // it does not belong to the files here; the user was told and nothing was changed
  InUse,    // a file it names is held open; left for the next start
};

// Undoes the journal of a company left by a posting that did not end, and tells the user so in
// one message. A no-op while a posting of this process is under way.
JournalOutcome UndoPostingJournal(const std::string& company);

// The same for every journal in the data folder, as the program starts.
void UndoLeftPostingJournals();

// Test seam: the process ends with _exit(IsamKilledExitCode) right after its n-th record write
// from now on (0 turns it off), as a kill at that moment would end it.
constexpr int IsamKilledExitCode = 86;
void IsamEndProcessAfterRecordWrites(int n);
// Called by the engine after each record written, changed or freed.
void IsamCountRecordWrite();

}  // namespace storage
