#include "storage/journal_entry.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "storage/byte_order.h"

namespace storage {
namespace {

constexpr char kMagic[] = "KJOURNL1";
constexpr size_t kCompanyAt = 8;
constexpr size_t kCompanyRoom = 15;
constexpr size_t kWhatAt = 24;
constexpr size_t kWhatRoom = 39;

// A multiply-and-rotate hash taken eight bytes at a time: the images of whole records pass
// through it before every record change of a posting.
uint64_t Mix(const uint8_t* bytes, size_t length, uint64_t hash) {
  constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;
  size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, bytes + i, 8);
    hash = std::rotl((hash ^ word) * kPrime, 29);
  }
  for (; i < length; ++i) hash = std::rotl((hash ^ bytes[i]) * kPrime, 29);
  return hash;
}

// The checksum covers the entry but its length (checked against the field lengths), its state
// byte (the one byte rewritten in place) and itself.
uint32_t EntryChecksum(const uint8_t* entry, size_t lengthWithoutSum) {
  uint64_t hash = Mix(entry + 4, 1, lengthWithoutSum);
  hash = Mix(entry + kJournalStateOffset + 1, lengthWithoutSum - kJournalStateOffset - 1, hash);
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

void PutShortText(std::string& out, size_t at, size_t room, const std::string& text) {
  const size_t length = std::min(room, text.size());
  out[at] = static_cast<char>(length);
  out.replace(at + 1, length, text.substr(0, length));
}

std::string GetShortText(std::string_view in, size_t at, size_t room) {
  const size_t length = std::min<size_t>(static_cast<uint8_t>(in[at]), room);
  return std::string(in.substr(at + 1, length));
}

uint32_t LoadUInt32(const uint8_t* at) {
  return static_cast<uint32_t>(IsamLoadInt32(at));
}

enum class EntryRead { Whole, End, Damaged };

bool OnlyZerosFrom(std::string_view bytes, size_t at) {
  return at >= bytes.size() || bytes.find_first_not_of('\0', at) == std::string_view::npos;
}

EntryRead ReadEntry(std::string_view bytes, size_t at, JournalEntry& entry, size_t& length) {
  const auto* raw = reinterpret_cast<const uint8_t*>(bytes.data()) + at;
  const size_t left = bytes.size() - at;
  if (left < kJournalEntryFixed) return OnlyZerosFrom(bytes, at) ? EntryRead::End : EntryRead::Damaged;
  length = LoadUInt32(raw);
  if (length == 0) return EntryRead::End;
  const size_t nameLength = IsamLoadUInt16(raw + 6);
  const size_t imageLength = LoadUInt32(raw + 16);
  const bool whole = length <= left && length == kJournalEntryFixed + nameLength + imageLength + 4 &&
                     LoadUInt32(raw + length - 4) == EntryChecksum(raw, length - 4) && raw[4] >= 1 &&
                     raw[4] <= 4 && raw[kJournalStateOffset] <= kJournalUndone;
  if (!whole) return OnlyZerosFrom(bytes, at + std::min(length, left)) ? EntryRead::End : EntryRead::Damaged;
  entry.Kind = static_cast<JournalKind>(raw[4]);
  entry.Undone = raw[kJournalStateOffset] == kJournalUndone;
  entry.Ref = IsamLoadInt32(raw + 8);
  entry.RecordLength = IsamLoadInt32(raw + 12);
  entry.Name.assign(bytes.substr(at + kJournalEntryFixed, nameLength));
  entry.Image.assign(bytes.substr(at + kJournalEntryFixed + nameLength, imageLength));
  entry.Offset = static_cast<int64_t>(at);
  return EntryRead::Whole;
}

}  // namespace

std::string EncodeJournalHeader(const JournalHeader& header) {
  std::string out(kJournalHeaderSize, '\0');
  out.replace(0, kJournalMarkSize, kMagic);
  PutShortText(out, kCompanyAt, kCompanyRoom, header.Company);
  PutShortText(out, kWhatAt, kWhatRoom, header.What);
  return out;
}

size_t JournalEntrySize(const JournalChange& change) {
  return kJournalEntryFixed + change.Name.size() + change.Image.size() + 4;
}

void EncodeJournalEntryBody(const JournalChange& change, uint8_t* out) {
  const size_t length = JournalEntrySize(change);
  out[4] = static_cast<uint8_t>(change.Kind);
  out[kJournalStateOffset] = 0;
  IsamStoreUInt16(out + 6, static_cast<uint16_t>(change.Name.size()));
  IsamStoreInt32(out + 8, change.Ref);
  IsamStoreInt32(out + 12, change.RecordLength);
  IsamStoreInt32(out + 16, static_cast<int32_t>(change.Image.size()));
  std::memcpy(out + kJournalEntryFixed, change.Name.data(), change.Name.size());
  if (!change.Image.empty())
    std::memcpy(out + kJournalEntryFixed + change.Name.size(), change.Image.data(), change.Image.size());
  IsamStoreInt32(out + length - 4, static_cast<int32_t>(EntryChecksum(out, length - 4)));
}

bool ParseJournal(std::string_view bytes, ParsedJournal& out) {
  out = ParsedJournal{};
  const std::string_view mark = bytes.substr(0, std::min(bytes.size(), kJournalMarkSize));
  if (OnlyZerosFrom(mark, 0)) return true;
  if (bytes.size() < kJournalHeaderSize) return std::string_view(kMagic).substr(0, mark.size()) == mark;
  if (mark != kMagic) return false;
  out.Header.Company = GetShortText(bytes, kCompanyAt, kCompanyRoom);
  out.Header.What = GetShortText(bytes, kWhatAt, kWhatRoom);
  for (size_t at = kJournalHeaderSize;;) {
    JournalEntry entry;
    size_t length = 0;
    const EntryRead read = ReadEntry(bytes, at, entry, length);
    if (read == EntryRead::End) return true;
    if (read == EntryRead::Damaged) return false;
    out.Entries.push_back(std::move(entry));
    at += length;
  }
}

}  // namespace storage
