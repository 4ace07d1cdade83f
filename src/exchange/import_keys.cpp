#include "exchange/import_keys.h"

#include <algorithm>
#include <stdexcept>

#include "platform/text/key_text.h"
#include "platform/text/short_string.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace exchange {

std::string TextField::Get(const void* record) const {
  return platform::text::ReadShortString(static_cast<const uint8_t*>(record) + Offset, Capacity);
}

void TextField::Set(void* record, std::string_view text) const {
  platform::text::WriteShortString(static_cast<uint8_t*>(record) + Offset, Capacity, text);
}

bool TakenKeys::Taken(const RecordImage& record) {
  const storage::IsamKeyStr wanted = unit_.BuildKey(record.data(), keyNr_);
  if (givenInRun_.contains(wanted)) return true;
  storage::IsamKeyStr found = wanted;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(unit_.File(), keyNr_, ref, found);
  const bool onFile = storage::IsamOK && found == wanted;
  storage::IsamOK = true;
  return onFile;
}

void TakenKeys::Take(const RecordImage& record) {
  givenInRun_.insert(unit_.BuildKey(record.data(), keyNr_));
}

std::optional<int64_t> LeadingNumber(std::string_view text) {
  const std::string trimmed = platform::text::TrimBlanks(text);
  constexpr int64_t ceiling = 999'999'999'999'999;
  int64_t value = 0;
  std::size_t digits = 0;
  for (char c : trimmed) {
    if (c < '0' || c > '9') break;
    value = std::min(ceiling, value * 10 + (c - '0'));
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

void ReportProgress(const ImportProgress& progress, int done, int all) {
  if (progress && done % ProgressStep == 0) progress(done, all);
}

void ImportBatch::Append(const RecordImage& record) {
  if (!posting_) posting_.emplace("import");
  storage::IsamRecRef ref = 0;
  storage::IsamAddRec(unit_.File(), ref, record.data(), record.size());
  // Refused while a posting waits: no row is, and the import stops with the refusal's words.
  if (storage::IsamError == storage::IsamErrPostingWaits)
    throw std::runtime_error(storage::LastWaitingRefusal());
  if (storage::IsamOK) {
    ++result_.Added;
  } else {
    ++result_.Failed;
    storage::IsamOK = true;
  }
  if (++inBatch_ == BatchRows) Commit();
}

void ImportBatch::Finish() {
  if (posting_) Commit();
}

void ImportBatch::Commit() {
  const int rows = inBatch_;
  inBatch_ = 0;
  try {
    posting_->Commit();
  } catch (const storage::PostingFailed& failure) {
    posting_.reset();
    result_.Added = kept_;
    throw storage::PostingFailed(std::string(failure.what()) + "\n\nThe " + std::to_string(kept_) +
                                     " rows before this batch were imported and kept.",
                                 failure.Undone());
  }
  posting_.reset();
  kept_ += rows;
}

}  // namespace exchange
