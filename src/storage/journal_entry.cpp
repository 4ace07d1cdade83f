#include "storage/journal_entry.h"

#include <algorithm>
#include <cstring>

#include "storage/byte_order.h"

namespace storage {
namespace {

constexpr char kMagic[] = "KJOURNL1";
constexpr size_t kMagicSize = 8;
constexpr size_t kCompanyAt = 8;
constexpr size_t kCompanyRoom = 15;
constexpr size_t kWhatAt = 24;
constexpr size_t kWhatRoom = 39;

uint32_t Fnv1a(const uint8_t* bytes, size_t length, uint32_t hash = 2166136261u) {
  for (size_t i = 0; i < length; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

// The checksum leaves out the state byte, the one byte rewritten in place.
uint32_t EntryChecksum(const uint8_t* entry, size_t lengthWithoutSum) {
  uint32_t hash = Fnv1a(entry, kJournalStateOffset);
  return Fnv1a(entry + kJournalStateOffset + 1, lengthWithoutSum - kJournalStateOffset - 1, hash);
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

enum class EntryRead { Whole, Tail, Damaged };

EntryRead ReadEntry(std::string_view bytes, size_t at, JournalEntry& entry, size_t& length) {
  const auto* raw = reinterpret_cast<const uint8_t*>(bytes.data()) + at;
  const size_t left = bytes.size() - at;
  if (left < kJournalEntryFixed) return EntryRead::Tail;
  length = LoadUInt32(raw);
  const size_t nameLength = IsamLoadUInt16(raw + 6);
  const size_t imageLength = LoadUInt32(raw + 16);
  if (length > left) return EntryRead::Tail;
  if (length != kJournalEntryFixed + nameLength + imageLength + 4) return EntryRead::Damaged;
  if (LoadUInt32(raw + length - 4) != EntryChecksum(raw, length - 4))
    return length == left ? EntryRead::Tail : EntryRead::Damaged;
  if (raw[4] < 1 || raw[4] > 4 || raw[kJournalStateOffset] > kJournalUndone) return EntryRead::Damaged;
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
  out.replace(0, kMagicSize, kMagic);
  PutShortText(out, kCompanyAt, kCompanyRoom, header.Company);
  PutShortText(out, kWhatAt, kWhatRoom, header.What);
  return out;
}

void EncodeJournalEntry(const JournalEntry& entry, std::vector<uint8_t>& out) {
  const size_t length = kJournalEntryFixed + entry.Name.size() + entry.Image.size() + 4;
  const size_t at = out.size();
  out.resize(at + length);
  uint8_t* raw = out.data() + at;
  IsamStoreInt32(raw, static_cast<int32_t>(length));
  raw[4] = static_cast<uint8_t>(entry.Kind);
  raw[kJournalStateOffset] = entry.Undone ? kJournalUndone : 0;
  IsamStoreUInt16(raw + 6, static_cast<uint16_t>(entry.Name.size()));
  IsamStoreInt32(raw + 8, entry.Ref);
  IsamStoreInt32(raw + 12, entry.RecordLength);
  IsamStoreInt32(raw + 16, static_cast<int32_t>(entry.Image.size()));
  std::memcpy(raw + kJournalEntryFixed, entry.Name.data(), entry.Name.size());
  std::memcpy(raw + kJournalEntryFixed + entry.Name.size(), entry.Image.data(), entry.Image.size());
  IsamStoreInt32(raw + length - 4, static_cast<int32_t>(EntryChecksum(raw, length - 4)));
}

bool ParseJournal(std::string_view bytes, ParsedJournal& out) {
  out = ParsedJournal{};
  if (bytes.size() < kJournalHeaderSize)
    return bytes.substr(0, std::min(bytes.size(), kMagicSize)) ==
           std::string_view(kMagic).substr(0, std::min(bytes.size(), kMagicSize));
  if (bytes.substr(0, kMagicSize) != kMagic) return false;
  out.Header.Company = GetShortText(bytes, kCompanyAt, kCompanyRoom);
  out.Header.What = GetShortText(bytes, kWhatAt, kWhatRoom);
  for (size_t at = kJournalHeaderSize; at < bytes.size();) {
    JournalEntry entry;
    size_t length = 0;
    const EntryRead read = ReadEntry(bytes, at, entry, length);
    if (read == EntryRead::Tail) break;
    if (read == EntryRead::Damaged) return false;
    out.Entries.push_back(std::move(entry));
    at += length;
  }
  return true;
}

}  // namespace storage
