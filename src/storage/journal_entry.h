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

std::string EncodeJournalHeader(const JournalHeader& header);
// Appends the entry's bytes to out.
void EncodeJournalEntry(const JournalEntry& entry, std::vector<uint8_t>& out);

// The journal read back: false when it is not a journal or is damaged before its last entry.
// A header cut short leaves no entries (nothing was changed after it was begun).
struct ParsedJournal {
  JournalHeader Header;
  std::vector<JournalEntry> Entries;
};
bool ParseJournal(std::string_view bytes, ParsedJournal& out);

}  // namespace storage
