#pragma once
// Marking a document's records printed once its print job went out: every record of the
// document's number (key 1 of its file) that the rule accepts gets its printed mark and is
// rewritten in place; no key changes. A failed search, read or write ends the walk and is said
// (TellNotMarked), but a printout that went out is never undone by a failed mark.

#include <functional>
#include <string>

#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "records/invoice_rec.h"
#include "records/po_header_rec.h"
#include "records/system_reason.h"
#include "storage/isam.h"

namespace documents {

// firstKey: key 1 of the document's number as the file's key builder makes it. mark(record):
// sets the record's printed mark and returns true when the record is to be rewritten. Empty when
// the walk ran to the number's end; else why the marks stopped ("The file 1I.DAT cannot be read
// now: Input/output error.").
template <class Record, class Mark>
std::string MarkRecordsPrinted(storage::IsamFileBlock file, const std::string& number,
                               storage::IsamKeyStr firstKey, Mark mark) {
  if (!file) return {};
  const std::string wanted = platform::text::UpperCase(platform::text::TrimBlanks(number)).substr(0, 10);
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, 1, ref, firstKey);
  while (storage::IsamOK && platform::text::UpperCase(platform::text::TrimBlanks(firstKey)) == wanted) {
    Record record{};
    storage::IsamGetRec(file, ref, &record, sizeof record);
    if (!storage::IsamOK) return records::DataFileUnusableText(file->DataName);
    if (mark(record)) {
      storage::IsamPutRec(file, ref, &record, sizeof record);
      if (!storage::IsamOK)
        return records::WithReason("The file " + file->DataName + " could not be written",
                                   records::SystemReason());
    }
    storage::IsamNextKey(file, 1, ref, firstKey);
  }
  return storage::IsamOK || records::IsEndOfWalk() ? std::string()
                                                   : records::DataFileUnusableText(file->DataName);
}

// After a document went out: says, when failure is not empty, that `document` ("Invoice 10002")
// could not be marked printed, and why.
void TellNotMarked(const std::string& document, const std::string& failure);

// The records of the invoice in the buffer that carry its printed mark (types Z, I, M and G),
// each changed by mark and rewritten in place; a failure is said (TellNotMarked).
void MarkInvoiceRecords(const std::function<void(records::InvoiceRec&)>& mark);
// The open PO header records (status "O") of a PO number, each changed by mark and rewritten;
// a failure is said (TellNotMarked).
void MarkPORecords(const std::string& poNumber, const std::function<void(records::POHeaderRec&)>& mark);

}  // namespace documents
