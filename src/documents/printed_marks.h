#pragma once
// Marking a document's records printed once its print job went out: every record of the
// document's number (key 1 of its file) that the rule accepts gets its printed mark and is
// rewritten in place; no key changes. An engine error ends the walk quietly, as a printout that
// went out must not be undone by a failed mark.

#include <functional>
#include <string>

#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "records/invoice_rec.h"
#include "records/po_header_rec.h"
#include "storage/isam.h"

namespace documents {

// firstKey: key 1 of the document's number as the file's key builder makes it. mark(record):
// sets the record's printed mark and returns true when the record is to be rewritten.
template <class Record, class Mark>
void MarkRecordsPrinted(storage::IsamFileBlock file, const std::string& number, storage::IsamKeyStr firstKey,
                        Mark mark) {
  if (!file) return;
  const std::string wanted = platform::text::UpperCase(platform::text::TrimBlanks(number)).substr(0, 10);
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, 1, ref, firstKey);
  while (storage::IsamOK && platform::text::UpperCase(platform::text::TrimBlanks(firstKey)) == wanted) {
    Record record{};
    storage::IsamGetRec(file, ref, &record, sizeof record);
    if (!storage::IsamOK) return;
    if (mark(record)) {
      storage::IsamPutRec(file, ref, &record, sizeof record);
      if (!storage::IsamOK) return;
    }
    storage::IsamNextKey(file, 1, ref, firstKey);
  }
}

// The records of the invoice in the buffer that carry its printed mark (types Z, I, M and G),
// each changed by mark and rewritten in place.
void MarkInvoiceRecords(const std::function<void(records::InvoiceRec&)>& mark);
// The open PO header records (status "O") of a PO number, each changed by mark and rewritten.
void MarkPORecords(const std::string& poNumber, const std::function<void(records::POHeaderRec&)>& mark);

}  // namespace documents
