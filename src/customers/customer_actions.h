#pragma once
// What adding, renumbering and deleting a customer do beyond the customer file itself: the
// company's next customer number, the customer number carried by the customer's invoices, and
// the rules that keep a customer with money or documents on file from being deleted. Plain
// routines, so that they work (and are tested) without the manager's window.

#include <optional>
#include <string>
#include <string_view>

#include "records/customer_rec.h"

namespace customers {

// Customer numbers and names are compared trimmed and upper-cased.
std::string ComparableText(std::string_view text);

// The next customer number proposed after `entered` was stored: its numeric value plus 1, or
// empty when that would not fit the 8 characters of a customer number (the next one is then
// asked for); none when the number is not a whole number (such numbers are chosen by hand, and
// the counter stays where it was).
std::optional<std::string> NextCustomerNumberAfter(std::string_view entered);

// Advances the open company's next customer number past `entered` in the company list file and
// in CurrentCompany. Nothing is written when the number is not numeric.
void AdvanceNextCustomerNumber(std::string_view entered);

// Gives every invoice-file record of customer `oldNumber` the customer number `newNumber` (at
// most 8 characters), its number key changing with it. The records are collected first and
// rewritten afterwards, so that changing the key being walked skips none and visits none twice.
// Opens and closes the invoice file; the result is the number of records changed.
int RenumberCustomerInvoices(std::string_view oldNumber, std::string_view newNumber);

enum class CustomerDeleteCheck { Allowed, HasBalance, HasInvoices };

// Whether the customer may be deleted: not while its balance is not zero, nor while the invoice
// file holds a record with its number. Throws records::FileUnusable when the invoice file is there
// and cannot be opened or searched: nobody can tell then, and the customer is kept.
CustomerDeleteCheck CheckCustomerDelete(const records::CustomerRec& customer);

}  // namespace customers
