#include "exchange/import_keys.h"

#include <algorithm>

#include "platform/text/key_text.h"
#include "platform/text/short_string.h"
#include "records/system_reason.h"
#include "storage/isam.h"
#include "storage/naming.h"
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
  // A search that failed is never taken for a key that is free.
  if (!storage::IsamOK && !records::IsEndOfWalk()) records::ThrowFileUnusable(unit_);
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

ImportResult RunImportPosting(const std::string& what, const std::function<ImportResult()>& work) {
  try {
    return storage::RunPosting(what, work, {{}, "made"});
  } catch (const storage::PostingFailed&) {
    throw;
  } catch (const std::exception& failure) {
    // Stopped before the posting changed anything: nothing of the import is on file.
    throw storage::PostingFailed(storage::PostingFailureMessage(what, failure.what(), true), true);
  }
}

void AppendImported(storage::DataFileUnit& unit, const RecordImage& record, ImportResult& result) {
  storage::IsamRecRef ref = 0;
  storage::IsamAddRec(unit.File(), ref, record.data(), record.size());
  records::RequireDone(storage::IsamOK, "A record could not be added to " +
                                            storage::IsamFileName(unit.FileName(), storage::IsamDataExt));
  ++result.Added;
}

}  // namespace exchange
