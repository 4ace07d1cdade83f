#pragma once
// Editing and deleting a record of the invoice file: the Invoice Manager's edit and delete
// transactions on the record under its highlight. An edit is refused for records that payments,
// deposits or the audit trail protect; otherwise the entry form is loaded from the stored
// invoice, and its OK posts the differences while the form is still up (an edit that cannot be
// posted is said and leaves the form open with what was typed): the record, its detail lines,
// stock, the customer's balance and aging, and the company's receivables. A delete removes the
// record with its lines or memo and reverses each of those postings.
//
// What the invoice held when the action began is read once into a StoredInvoice (the record, its
// lines, their record references); stock is given back from it, whatever happens to the form's
// grid meanwhile, and the lines are rewritten through the references collected in it.
//
// The invoice, detail and memo files must be open (the Invoice Manager holds them); the product,
// customer and company files are opened around the steps that need them unless a window holds
// them. Each edit or delete is one posting: a failing write or read undoes it whole, and its
// message says what failed.

#include <map>
#include <string>
#include <vector>

#include "invoicing/entered_invoice.h"
#include "records/detail_file.h"
#include "records/invoice_rec.h"
#include "records/record_file.h"
#include "records/stock_change.h"
#include "storage/isam_types.h"

namespace invoicing {

using StoredLine = records::RecordOnFile<records::DetailRec>;

struct StoredInvoice {
  storage::IsamRecRef Ref = 0;
  records::InvoiceRec Record{};
  std::vector<StoredLine> Lines;  // the detail records of its number, in line order
};

// Reads the invoice-file record at ref with its detail lines; false when there is no live record.
// Throws records::FileUnusable when the record or one of its lines cannot be read.
bool ReadStoredInvoice(storage::IsamRecRef ref, StoredInvoice& stored);

// The record as an edit stores it: the entry form's fields over the stored record, whose type,
// body, printed flag, company and the dates kept for repeat billing and e-mail stay.
records::InvoiceRec EditedInvoiceRecord(const records::InvoiceRec& old, const EnteredInvoice& edited);

// A memo invoice's quantity and description as an edit stores them: "1" and "Memo Invoice" for
// ones left empty.
EnteredInvoice WithMemoDefaults(EnteredInvoice edited);

// How an edit changes the stock of each product (by upper-cased code): the stored lines'
// quantities back, the edited lines' out. Products whose stock does not change are left out.
records::StockChanges StockChanges(const std::vector<StoredLine>& oldLines, const EnteredInvoice& edited);

// Posts an edit that the entry form has checked; returns the status text. Raises "Modify
// operation failed" (nothing written) when the record changed since it was read.
std::string PostEditedInvoice(const StoredInvoice& old, const EnteredInvoice& edited);

// Deletes the record with its lines or memo and reverses its postings; returns the status text.
// Raises "Delete operation failed" (nothing written) when the record cannot be deleted.
std::string PostInvoiceDeletion(const StoredInvoice& old);

// Edits the invoice-file record at ref under the guards; true when something was written.
// statusText receives what the manager's status panel shows afterwards.
bool EditInvoice(storage::IsamRecRef ref, std::string& statusText);
// Deletes the record at ref with every effect reversed, after the confirmations.
bool DeleteInvoice(storage::IsamRecRef ref, std::string& statusText);

}  // namespace invoicing
