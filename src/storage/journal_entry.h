#pragma once
// The journal file's header and entries as bytes and back; the layout is described in
// posting_journal.h.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file.h"

namespace storage {

enum class JournalKind : uint8_t { SlotImage = 1, SlotAdded = 2, SideFileImage = 3, SideFileCreated = 4 };

constexpr size_t kJournalHeaderSize = 80;
constexpr size_t kJournalMarkSize = 8;  // "KJOURNL2"; all zero in a journal with nothing to undo
constexpr size_t kJournalEntryFixed = 20;
constexpr size_t kJournalStateOffset = 5;  // within an entry
constexpr uint8_t kJournalUndone = 1;
// The largest image an entry may carry: a record, or a side file (the answer file is a few lines).
constexpr uint32_t kJournalMaxImage = 1u << 20;

struct JournalHeader {
  std::string Company;
  std::string What;
  uint64_t Nonce = 0;
};

struct JournalEntry {
  JournalKind Kind = JournalKind::SlotImage;
  bool Undone = false;
  std::string Name;
  int32_t Ref = 0;
  int32_t RecordLength = 0;
  std::string Image;
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
size_t JournalEntrySize(const JournalChange& change);
// Appends the whole entry, its checksum started from the posting's nonce.
void AppendJournalEntry(const JournalChange& change, uint64_t nonce, std::string& out);

// The journal read back from its file, one entry at a time.
enum class JournalRead {
  Empty,    // no mark: nothing to undo
  Entries,  // a sound header (and the entries that read whole after it)
  Damaged,  // a mark without a sound header
};
class JournalReader {
 public:
  explicit JournalReader(platform::files::File& file) : file_(file) {}
  JournalRead ReadHeader(JournalHeader& header);
  // The next entry. One that does not read whole is the journal's end (a last entry cut short,
  // or room not used yet), unless a whole entry follows it where its length says: that is damage.
  // Images are kept only when withImage.
  enum class Step { Entry, End, Damaged };
  Step Next(JournalEntry& entry, bool withImage);
  // Reads the entry at offset again, image included.
  bool ReadAt(int64_t offset, JournalEntry& entry);

 private:
  platform::files::File& file_;
  uint64_t nonce_ = 0;
  int64_t at_ = kJournalHeaderSize;
  int64_t size_ = 0;
};

}  // namespace storage
