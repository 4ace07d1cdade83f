#pragma once
// The texts the Invoice Manager shows of the invoice file's records: the browser's header and
// rows, what a damaged record is shown as, and the lines of the "Customer Data" window. All
// Windows-1252.

#include <string>

#include "records/invoice_rec.h"

namespace invoicing {

inline constexpr std::size_t kInvoiceRowWidth = 128;

// The column captions, in the columns of the rows.
std::string InvoiceBrowserHeader();
// One row: sort date, type, number, customer, short name, total, due, paid, key code, date paid
// and company, separated by one blank; amounts ",0.00" right-aligned in 12 and never cut.
std::string InvoiceBrowserRow(const records::InvoiceRec& invoice);
// The row of an entry whose record could not be read.
std::string UnreadableInvoiceRow(const std::string& key);

// A record whose total, due or paid amount is empty is shown with zero amounts as number
// "DELETE ME" and short name "BAD RECORD", so that it can be found and deleted. True when the
// record was such a one (only the copy in memory is changed).
bool MarkDamagedInvoice(records::InvoiceRec& invoice);

// The "Customer Data" window's lines of a record: what kind of record it is, and what kind of
// document beside its number.
std::string RecordTypeText(const records::InvoiceRec& invoice);
std::string DocumentKindText(const records::InvoiceRec& invoice);

}  // namespace invoicing
