#include "storage/journal_entry.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "storage/byte_order.h"

namespace storage {
namespace {

constexpr char kMagic[] = "KJOURNL3";
constexpr char kUndoneMark[] = "KJUNDON3";
constexpr char kSetAsideMark[] = "KJASIDE3";

const char* MarkOf(JournalStage stage) {
  switch (stage) {
    case JournalStage::Undone:
      return kUndoneMark;
    case JournalStage::SetAside:
      return kSetAsideMark;
    case JournalStage::Posting:
      break;
  }
  return kMagic;
}

std::optional<JournalStage> StageOfMark(const uint8_t* raw) {
  for (JournalStage stage : {JournalStage::Posting, JournalStage::Undone, JournalStage::SetAside})
    if (std::memcmp(raw, MarkOf(stage), kJournalMarkSize) == 0) return stage;
  return std::nullopt;
}
constexpr size_t kCompanyAt = 8;
constexpr size_t kCompanyRoom = 15;
constexpr size_t kWhatAt = 24;
constexpr size_t kWhatRoom = 39;
constexpr size_t kNonceAt = 64;
constexpr size_t kSyncedEndAt = 72;
constexpr size_t kRepairLeftAt = 80;
constexpr size_t kHeaderSumAt = 84;

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

uint32_t Fold(uint64_t hash) {
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

// The checksum covers every byte of the entry before it, its length included.
uint32_t EntryChecksum(const uint8_t* entry, size_t lengthWithoutSum, uint64_t nonce) {
  return Fold(Mix(entry, lengthWithoutSum, nonce ^ lengthWithoutSum));
}

uint32_t HeaderChecksum(const uint8_t* header) {
  return Fold(Mix(header, kHeaderSumAt, 0x4B4A4E4Cu));
}

void PutShortText(std::string& out, size_t at, size_t room, const std::string& text) {
  const size_t length = std::min(room, text.size());
  out[at] = static_cast<char>(length);
  out.replace(at + 1, length, text.substr(0, length));
}

std::string GetShortText(const uint8_t* in, size_t at, size_t room) {
  const size_t length = std::min<size_t>(in[at], room);
  return std::string(reinterpret_cast<const char*>(in + at + 1), length);
}

uint32_t LoadUInt32(const uint8_t* at) {
  return static_cast<uint32_t>(IsamLoadInt32(at));
}

void StoreUInt64(uint8_t* at, uint64_t value) {
  IsamStoreInt32(at, static_cast<int32_t>(value));
  IsamStoreInt32(at + 4, static_cast<int32_t>(value >> 32));
}

uint64_t LoadUInt64(const uint8_t* at) {
  return uint64_t{LoadUInt32(at)} | (uint64_t{LoadUInt32(at + 4)} << 32);
}

// A header whose mark the commit zeroed and whose other bytes still read as written: the posting
// it names was committed, and nothing has said so yet.
void ReadCommittedHeader(const uint8_t* raw, size_t got, JournalHeader& header) {
  if (got < kJournalHeaderSize) return;
  uint8_t marked[kJournalHeaderSize];
  std::memcpy(marked, raw, sizeof marked);
  std::memcpy(marked, kMagic, kJournalMarkSize);
  if (LoadUInt32(marked + kHeaderSumAt) != HeaderChecksum(marked)) return;
  header.Company = GetShortText(raw, kCompanyAt, kCompanyRoom);
  header.Company.erase(std::find(header.Company.begin(), header.Company.end(), '\0'), header.Company.end());
  header.What = GetShortText(raw, kWhatAt, kWhatRoom);
  header.Committed = true;
}

}  // namespace

std::string EncodeJournalHeader(const JournalHeader& header) {
  std::string out(kJournalHeaderSize, '\0');
  out.replace(0, kJournalMarkSize, MarkOf(header.Stage));
  PutShortText(out, kCompanyAt, kCompanyRoom, header.Company);
  PutShortText(out, kWhatAt, kWhatRoom, header.What);
  auto* raw = reinterpret_cast<uint8_t*>(out.data());
  StoreUInt64(raw + kNonceAt, header.Nonce);
  StoreUInt64(raw + kSyncedEndAt, header.SyncedEnd);
  IsamStoreInt32(raw + kHeaderSumAt, static_cast<int32_t>(HeaderChecksum(raw)));
  return out;
}

std::string EncodeRepairLeftHeader() {
  std::string out(kJournalHeaderSize, '\0');
  out[kRepairLeftAt] = 1;
  return out;
}

size_t JournalEntrySize(const JournalChange& change) {
  return kJournalEntryFixed + change.Name.size() + change.Image.size() + 4;
}

void AppendJournalEntry(const JournalChange& change, uint64_t nonce, std::string& out) {
  const size_t length = JournalEntrySize(change);
  const size_t at = out.size();
  out.resize(at + length);
  auto* raw = reinterpret_cast<uint8_t*>(out.data() + at);
  IsamStoreInt32(raw, static_cast<int32_t>(length));
  raw[4] = static_cast<uint8_t>(change.Kind);
  raw[5] = 0;
  IsamStoreUInt16(raw + 6, static_cast<uint16_t>(change.Name.size()));
  IsamStoreInt32(raw + 8, change.Ref);
  IsamStoreInt32(raw + 12, change.RecordLength);
  IsamStoreInt32(raw + 16, static_cast<int32_t>(change.Image.size()));
  std::memcpy(raw + kJournalEntryFixed, change.Name.data(), change.Name.size());
  if (!change.Image.empty())
    std::memcpy(raw + kJournalEntryFixed + change.Name.size(), change.Image.data(), change.Image.size());
  IsamStoreInt32(raw + length - 4, static_cast<int32_t>(EntryChecksum(raw, length - 4, nonce)));
}

JournalRead JournalReader::ReadHeader(JournalHeader& header) {
  header = JournalHeader{};
  uint8_t raw[kJournalHeaderSize] = {};
  size_t got = 0;
  if (!file_.Size(&size_) || (!file_.ReadAt(0, raw, sizeof raw, &got) && file_.error() != 0)) {
    error_ = file_.error();
    return JournalRead::Unreadable;
  }
  if (std::all_of(raw, raw + std::min(got, kJournalMarkSize), [](uint8_t b) { return b == 0; })) {
    ReadCommittedHeader(raw, got, header);
    header.RepairLeft = !header.Committed && got > kRepairLeftAt && raw[kRepairLeftAt] == 1;
    return JournalRead::Empty;
  }
  const std::optional<JournalStage> stage = StageOfMark(raw);
  if (got < kJournalHeaderSize || !stage || LoadUInt32(raw + kHeaderSumAt) != HeaderChecksum(raw))
    return JournalRead::Damaged;
  header.Company = GetShortText(raw, kCompanyAt, kCompanyRoom);
  header.What = GetShortText(raw, kWhatAt, kWhatRoom);
  header.Nonce = LoadUInt64(raw + kNonceAt);
  header.SyncedEnd = LoadUInt64(raw + kSyncedEndAt);
  header.Stage = *stage;
  header.Company.erase(std::find(header.Company.begin(), header.Company.end(), '\0'), header.Company.end());
  if (header.Stage == JournalStage::SetAside) return JournalRead::SetAside;
  // A synced end inside the header is none (the writer never writes one).
  if (header.SyncedEnd != 0 && header.SyncedEnd < kJournalHeaderSize) return JournalRead::Damaged;
  nonce_ = header.Nonce;
  syncedEnd_ = static_cast<int64_t>(std::min<uint64_t>(header.SyncedEnd, uint64_t{INT64_MAX}));
  at_ = kJournalHeaderSize;
  return JournalRead::Entries;
}

JournalReader::Step JournalReader::Unreadable() {
  error_ = file_.error();
  return Step::Unreadable;
}

JournalReader::Step JournalReader::ReadAt(int64_t offset, JournalEntry& entry, bool withImage) {
  uint8_t fixed[kJournalEntryFixed];
  size_t got = 0;
  if (offset + static_cast<int64_t>(kJournalEntryFixed) > size_) return Step::Damaged;
  if (!file_.ReadAt(offset, fixed, sizeof fixed, &got))
    return file_.error() != 0 ? Unreadable() : Step::Damaged;
  const uint32_t length = LoadUInt32(fixed);
  const size_t nameLength = IsamLoadUInt16(fixed + 6);
  const uint32_t imageLength = LoadUInt32(fixed + 16);
  if (length == 0 || imageLength > kJournalMaxImage || nameLength == 0 ||
      length != kJournalEntryFixed + nameLength + imageLength + 4 || offset + int64_t{length} > size_ ||
      fixed[4] < 1 || fixed[4] > static_cast<uint8_t>(JournalKind::DataFileCreated) || fixed[5] != 0)
    return Step::Damaged;
  std::string bytes(length, '\0');
  if (!file_.ReadAt(offset, bytes.data(), bytes.size(), &got))
    return file_.error() != 0 ? Unreadable() : Step::Damaged;
  const auto* raw = reinterpret_cast<const uint8_t*>(bytes.data());
  if (LoadUInt32(raw + length - 4) != EntryChecksum(raw, length - 4, nonce_)) return Step::Damaged;
  entry.Kind = static_cast<JournalKind>(raw[4]);
  entry.Ref = IsamLoadInt32(raw + 8);
  entry.RecordLength = IsamLoadInt32(raw + 12);
  entry.ImageLength = imageLength;
  entry.Name = bytes.substr(kJournalEntryFixed, nameLength);
  if (withImage)
    entry.Image = bytes.substr(kJournalEntryFixed + nameLength, imageLength);
  else
    entry.Image.clear();
  entry.Offset = offset;
  return Step::Entry;
}

JournalReader::Step JournalReader::Next(JournalEntry& entry, bool withImage) {
  const bool synced = at_ < syncedEnd_;
  const Step step = ReadAt(at_, entry, withImage);
  if (step == Step::Unreadable) return step;
  if (step != Step::Entry) return synced ? Step::Damaged : Step::End;
  const int64_t next =
      at_ + static_cast<int64_t>(kJournalEntryFixed + entry.Name.size() + entry.ImageLength + 4);
  // The synced end falls between two entries.
  if (synced && next > syncedEnd_) return Step::Damaged;
  at_ = next;
  return Step::Entry;
}

}  // namespace storage
