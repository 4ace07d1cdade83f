#include "documents/document_refusal.h"

#include "storage/posting_journal.h"

namespace documents {

void RefuseWhilePostingWaits(const std::string& document, const std::string& verb) {
  const std::string refusal = storage::WaitingPostingRefusal(document, verb);
  if (!refusal.empty()) throw DocumentRefused(refusal);
}

}  // namespace documents
