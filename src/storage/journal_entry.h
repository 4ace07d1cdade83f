#pragma once
// The journal file's header and entries as bytes and back; the layout is described in
// posting_journal.h.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file.h"

namespace storage {

enum class JournalKind : uint8_t {
  SlotImage = 1,
  SlotAdded = 2,
  SideFileImage = 3,
  SideFileCreated = 4,
  DataFileCreated = 5,
};

constexpr size_t kJournalHeaderSize = 88;
constexpr size_t kJournalMarkSize = 8;  // all zero in a journal with nothing to undo or to say
constexpr size_t kJournalEntryFixed = 20;
// The largest image an entry may carry: a record, or a side file (the answer file is a few lines).
constexpr uint32_t kJournalMaxImage = 1u << 20;

// What a marked journal holds, by its mark.
enum class JournalStage : uint8_t {
  Posting,   // "KJOURNL3": a posting to undo
  Undone,    // "KJUNDON3": its posting undone and synced (the entries kept for the names of the files
             // to rebuild), the user not told yet
  SetAside,  // "KJASIDE3": written in place of journals set aside under the names in What, the
             // user not told yet; no entries
};

struct JournalHeader {
  std::string Company;
  std::string What;
  uint64_t Nonce = 0;
  // The journal's bytes before this offset were synced before any record they undo was written
  // (0: none known yet).
  uint64_t SyncedEnd = 0;
  JournalStage Stage = JournalStage::Posting;
  // Read from a journal with nothing to undo whose header is otherwise whole: what the commit of
  // its last posting left (the mark zeroed) before that posting was reported done, which wipes the
  // rest. Company and What then name that posting.
  bool Committed = false;
  // Read from a journal with nothing to undo that its company's close kept because a failure on the
  // disk left files of the company to repair (EncodeRepairLeftHeader): the next start repairs them.
  bool RepairLeft = false;
};

struct JournalEntry {
  JournalKind Kind = JournalKind::SlotImage;
  std::string Name;
  int32_t Ref = 0;
  int32_t RecordLength = 0;
  uint32_t ImageLength = 0;
  std::string Image;   // read only when asked for
  int64_t Offset = 0;  // where the entry starts in the journal
};

// A change as the writer hands it over, without copies of its name and image.
struct JournalChange {
  JournalKind Kind = JournalKind::SlotImage;
  std::string_view Name;
  int32_t Ref = 0;
  int32_t RecordLength = 0;
  std::string_view Image;
};

std::string EncodeJournalHeader(const JournalHeader& header);
// The header of a journal with nothing to undo, kept because a failure on the disk left files of
// its company to repair: zero but for byte 80.
std::string EncodeRepairLeftHeader();
size_t JournalEntrySize(const JournalChange& change);
// Appends the whole entry, its checksum started from the posting's nonce.
void AppendJournalEntry(const JournalChange& change, uint64_t nonce, std::string& out);

// The journal read back from its file, one entry at a time. A read the system fails (an I/O
// error) is never taken for the journal's end or for damage: nothing is known of what it did not
// read.
enum class JournalRead {
  Empty,       // no mark: nothing to undo
  Entries,     // a sound header (and the entries that read whole after it)
  SetAside,    // a sound header of the SetAside stage
  Damaged,     // a mark without a sound header
  Unreadable,  // the file could not be read: error() says why
};
class JournalReader {
 public:
  explicit JournalReader(platform::files::File& file) : file_(file) {}
  JournalRead ReadHeader(JournalHeader& header);
  // The next entry. Before the header's synced end every entry must read whole and the last of
  // them end there: anything else is damage. From the synced end on, the first entry that does
  // not read whole is the journal's end (the part written last, cut short by a stop before its
  // sync: none of its records was written). Images are kept only when withImage.
  enum class Step { Entry, End, Damaged, Unreadable };
  Step Next(JournalEntry& entry, bool withImage);
  // Reads the entry at offset again, image included: Entry, Damaged when it does not read whole,
  // or Unreadable.
  [[nodiscard]] Step ReadAt(int64_t offset, JournalEntry& entry, bool withImage = true);
  // The system's errno of the read that made the journal Unreadable.
  int error() const { return error_; }

 private:
  Step Unreadable();

  platform::files::File& file_;
  uint64_t nonce_ = 0;
  int64_t syncedEnd_ = 0;
  int64_t at_ = kJournalHeaderSize;
  int64_t size_ = 0;
  int error_ = 0;
};

}  // namespace storage
