#pragma once
// The steps that adding, editing and deleting an invoice share: reading stored amounts and typed
// dates, the customer's balance and aging buckets, the stock of one product, and the detail and
// memo records as the entry form's lines make them. No step opens a window.

#include <QDate>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "invoicing/entered_invoice.h"
#include "platform/text/amount.h"
#include "records/customer_rec.h"
#include "records/detail_file.h"
#include "records/invoice_rec.h"
#include "records/memo_file.h"
#include "records/stock_change.h"
#include "storage/isam_types.h"

namespace invoicing {

using platform::text::Cents;

// The product code of a memo invoice's line when no product was chosen.
inline constexpr char NoProduct[] = "** NONE **";

// An amount as stored or typed ("1,234.50"); 0 when it is no amount.
Cents StoredCents(std::string_view text);

// A record's date fields: the date as typed, its month, day and year, and the sortable copy.
void SetRecordDate(records::InvoiceRec& record, const std::string& typed, const QDate& date);

// A date as typed, read in the open company's date order; none when it is not a date.
std::optional<QDate> ReadTypedDate(const std::string& typed);

// The invoice date as typed, read in the company's date order; raises std::runtime_error when it
// is not a date.
QDate TypedInvoiceDate(const std::string& typed);

// The customer's aging bucket (0 to 3) of an amount dated `days` days ago, for the company's
// three limits; a date in the future counts as current.
int AgingBucket(int days, const int (&limits)[3]);

// Adds `due` (negative to take it off) to the customer's balance and to the aging bucket of an
// amount dated `date`, by the open company's limits and today's date.
void AddToCustomerBalance(records::CustomerRec& customer, Cents due, const QDate& date);

// Reads the customer whose number is exactly `number` (never whatever record a search of the
// number key lands on next). The customer file must be open; false when no customer has the number,
// and FileUnusable is thrown when the file cannot be searched or the record read.
bool ReadInvoiceCustomer(const std::string& number, records::CustomerRec& customer, storage::IsamRecRef& ref);

// ReadInvoiceCustomer for a posting that needs the customer; `open` says whether the customer file
// could be opened. Throws "Customer C1 was not found." when it is not there, or, when the file
// could not be opened or read, with the file and the system's reason ("Customer C1 could not be
// read: the file 12C.DAT could not be opened: Permission denied."); `then` follows (" The invoice
// was not saved.").
void RequireInvoiceCustomer(bool open, const std::string& number, records::CustomerRec& customer,
                            storage::IsamRecRef& ref, const std::string& then = {});

// Adds a line's quantity (as typed or stored) to the stock changes of its product: given back
// when `back`, else taken out. The memo invoice's "no product" changes nothing.
void AddLineStock(records::StockChanges& changes, const std::string& code, const std::string& quantity,
                  bool back);

// Writes the changes of the products records::RequireStockFits read for a sale (any other
// product is left alone), without reading them again.
void PostStockChanges(const records::StockPlan& plan);

// The grid rows an invoice writes as detail lines: every row with a product code or a
// description, or a memo invoice's one product line. The invoice's own rows when it writes all
// of them, else the rows it writes, kept in `kept`.
const std::vector<EnteredLine>& LinesToWrite(const EnteredInvoice& invoice, std::vector<EnteredLine>& kept);

// The detail record of one line of the invoice `header`.
records::DetailRec DetailRecordOf(const records::InvoiceRec& header, const EnteredLine& line, bool memo);

// The memo record of invoice `number` holding the first 25 of `lines`, each cut to the width of a
// memo line.
records::MemoRec MemoRecordOf(const std::string& number, const std::vector<std::string>& lines);

}  // namespace invoicing
