#pragma once
// The journal file's header and entries as bytes and back; the layout is described in
// posting_journal.h.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

enum class JournalKind : uint8_t { SlotImage = 1, SlotAdded = 2, SideFileImage = 3, SideFileCreated = 4 };

constexpr size_t kJournalHeaderSize = 64;
constexpr size_t kJournalMarkSize = 8;  // "KJOURNL1"; all zero in a journal with nothing to undo
constexpr size_t kJournalEntryFixed = 20;
constexpr size_t kJournalStateOffset = 5;  // within an entry
constexpr uint8_t kJournalUndone = 1;

struct JournalHeader {
  std::string Company;
  std::string What;
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
// Writes the entry at out, JournalEntrySize bytes, all but its first four: the length, which
// the caller stores last, so that an entry whose writing was cut off reads as the end.
void EncodeJournalEntryBody(const JournalChange& change, uint8_t* out);

// The journal read back: false when it is not a journal or is damaged before its last entry.
// A header cut short or zeroed leaves no entries, and so does an entry length of 0: the journal
// ends there (the zeros after it are room not yet used, or an entry whose length was never
// stored). An entry whose checksum fails with nothing but zeros after it is ignored.
struct ParsedJournal {
  JournalHeader Header;
  std::vector<JournalEntry> Entries;
};
bool ParseJournal(std::string_view bytes, ParsedJournal& out);

}  // namespace storage
