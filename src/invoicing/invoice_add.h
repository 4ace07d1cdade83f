#pragma once
// Adding an invoice: the entry form is made ready for a new invoice and shown; its OK posts the
// invoice through PostNewInvoice while the form is still up, so that an invoice record that
// could not be added leaves the form open with everything typed. What the Invoice Manager does
// afterwards (its list, captions, the answer file, printing) is the manager's.

#include <optional>

#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_posting.h"
#include "records/invoice_rec.h"

namespace invoicing {

// Makes the form ready for a new invoice of the open company: counters and flags of adding, no
// customer figures, the default date, the company's tax rate and invoice kind, empty lines, notes
// and ship-to.
void PrepareInvoiceFormForAdd(TProdInv& form);

struct AddedInvoice {
  records::InvoiceRec Record{};  // as stored
  PostedInvoice Posted;
  bool PrintRequested = false;
};

// Shows the prepared form modally. Empty when the user cancelled; otherwise the invoice that was
// stored: its posting (with the command line's answer file) has ended, on disk, before this
// returns, so nothing done afterwards (the list, printing) can take it back.
std::optional<AddedInvoice> EnterNewInvoice(TProdInv& form);

}  // namespace invoicing
