#pragma once
// Posting a new invoice that the entry form has checked: the invoice record, its detail lines or
// its memo, the stock of every product sold, the customer's balance and aging, and the company's
// receivables and invoice counter. A plain procedure: the Invoice Manager, the command-line job
// and the tests run it without a window. The invoice, detail and memo files must be open (the
// Invoice Manager holds them); the product, customer and company files are opened around the
// steps that need them unless a window holds them open, as the Invoice Manager does with
// HoldInvoicePostingFiles.

#include <string>
#include <vector>

#include "invoicing/entered_invoice.h"
#include "invoicing/posting_steps.h"
#include "records/customer_rec.h"
#include "records/invoice_rec.h"
#include "records/record_file.h"
#include "storage/isam_types.h"

namespace invoicing {

struct PostedInvoice {
  storage::IsamRecRef Ref = 0;  // the invoice record
  int LineItems = 0;            // detail rows written, failed or not
  // The answer of the command-line job: customer, invoice number, total, paid, then the lines.
  std::vector<std::string> AnswerLines;
  std::string StatusText;   // "Added invoice ... containing ... line item(s)."
  std::string CounterNote;  // when this invoice's number was the last the invoice counter holds
};

// Raises std::runtime_error, with nothing written, when the invoice's customer is not on file or
// its date is not a date. Raises "Add operation failed" when the invoice record cannot be added
// (nothing else is then written) and "memo add operation failed" when a memo invoice's memo
// cannot be added (the other postings stay). A detail line that cannot be added is reported with
// "detail add failed." and the next one is tried. The invoice record is left in records::InvoiceBuf
// as it was stored, also when only the memo failed.
PostedInvoice PostNewInvoice(const EnteredInvoice& invoice);

// Holds open the files a posting touches besides the invoice, detail and memo files: the
// company list, customer and product files (those that open sound without asking anything).
void HoldInvoicePostingFiles(records::HeldFiles& held);

// The invoice record as the entry form's fields make it (no file is touched).
records::InvoiceRec NewInvoiceRecord(const EnteredInvoice& invoice);

// Writes the command-line job's answer file "CPWIN.TXT", replacing an older one; a failure is
// reported to the user, and false. Within a posting the file belongs to it (undone with it), and
// a failure fails the posting (it throws).
bool WriteAnswerFile(const std::vector<std::string>& lines);

}  // namespace invoicing
