#pragma once
// The books, checked from the files as they stand after any sequence of postings: every test of
// a posting (invoices, payments, interest, edits, deletes, purchasing, imports, the command line)
// ends by asking this reader whether the books balance. It reads the open customer, invoice,
// detail, product, PO header and PO detail files record by record through the engine (a file
// that is not open counts as empty), and shares no code with the postings it checks.
//
//   - per customer: balance = the sum of its four aging buckets = the sum of the amounts due of
//     its records (repeat-billing masters left out);
//   - the company's receivables total = the sum of the customers' balances;
//   - a record is settled ("P") exactly when its amount due is zero;
//   - per invoice number (an invoice with its payments), the totals of its records less what
//     they paid = their amounts due: the balance its documents show is what the Invoice
//     Manager shows due;
//   - a stocked product's stock = its stock before the test less the quantities of every detail
//     line sold of it (when it is depleted by sales) plus every quantity received on PO lines
//     and receipts;
//   - a PO header carries a received date exactly when nothing it ordered remains due (a PO
//     that orders nothing may stay open).

#include <map>
#include <string>
#include <vector>

#include "records/company_rec.h"

namespace testing_support {

// Stock on hand of each product before the postings, by product code.
using StockBefore = std::map<std::string, double>;

// Each disagreement found, one readable line each; empty when the books balance.
std::vector<std::string> BooksProblems(const records::CompanyRec& company, const StockBefore& stockBefore);

}  // namespace testing_support
