#pragma once
// What adding, renumbering and deleting a vendor do beyond the vendor file itself: the
// company's next vendor number, the vendor number carried by the vendor's purchase-order
// headers, and the rule that keeps a vendor named by purchase orders from being deleted. Plain
// routines, so that they work (and are tested) without the manager's window.

#include <optional>
#include <string>
#include <string_view>

#include "records/vendor_rec.h"

namespace purchasing {

// Vendor numbers and names are compared trimmed and upper-cased.
std::string ComparableText(std::string_view text);

// The next vendor number proposed after `entered` was stored: its whole-number value plus 1,
// formatted "0", or empty when that would not fit the 8 characters of a vendor number (the next
// one is then asked for); none when the number is not a whole number (the counter then stays
// where it was).
std::optional<std::string> NextVendorNumberAfter(std::string_view entered);

// Advances the open company's next vendor number past `entered` in the company list file and
// in CurrentCompany. Nothing is written when the number is not a whole number.
void AdvanceNextVendorNumber(std::string_view entered);

// Gives every PO header of vendor `oldNumber` the vendor number `newNumber`, its number key
// changing with it. The headers are collected first and rewritten afterwards, so that changing
// the key being walked skips none and visits none twice; each is found by its exact key. The PO
// header file is opened and closed around the work, or used and left open when the PO Manager
// holds it. The result is the number of headers changed. PO lines keep the old number.
int RenumberVendorPOs(std::string_view oldNumber, std::string_view newNumber);

enum class VendorDeleteCheck { Allowed, HasPOs };

// Whether the vendor may be deleted: not while a PO header carries its number (received or
// not). Throws records::FileUnusable when the PO header file is there and cannot be opened or
// searched: nobody can tell then, and the vendor is kept.
VendorDeleteCheck CheckVendorDelete(const records::VendorRec& vendor);

}  // namespace purchasing
