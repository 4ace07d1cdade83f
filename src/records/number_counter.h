#pragma once
// The numbering counters of the company record (next invoice, PO, receiver, customer and vendor
// number). A counter numbers a field of a fixed width; once the last number used is the largest
// that field holds, the counter has no next number: it is then kept empty, so that the next number
// is asked for, and never goes back to a shorter number that may be taken.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace records {

// What a counter numbers, as messages name it ("PO number"), how many characters of the number
// field its numbers fill, and that room in words ("the 9 characters of a PO number").
struct NumberCounter {
  std::string_view Name;
  std::size_t Width;
  std::string_view Room;
};

inline constexpr NumberCounter CustomerNumberCounter{"customer number", 8,
                                                     "the 8 characters of a customer number"};
inline constexpr NumberCounter VendorNumberCounter{"vendor number", 8, "the 8 characters of a vendor number"};
inline constexpr NumberCounter ReceiverNumberCounter{"receiver number", 9,
                                                     "the 9 characters of a receiver number"};
// An interest invoice is the counter's number followed by "I" in the 9 characters of an invoice number.
inline constexpr NumberCounter InterestInvoiceCounter{
    "invoice number", 8, "the 8 characters before the \"I\" of an interest invoice"};

// The invoice and PO counters: 9 characters, or the 5 after a four-character month-and-year prefix.
NumberCounter InvoiceNumberCounter(bool prefixed);
NumberCounter PONumberCounter(bool prefixed);

// The number after `last`, when it fits the counter's field.
std::optional<int64_t> NextWithin(const NumberCounter& counter, int64_t last);

// What the company record keeps as the counter once `last` was used: the next number, or empty
// when there is none within the field.
std::string CounterTextAfter(const NumberCounter& counter, int64_t last);

// Tells that `last` ends the counter: "PO number 999999999 is the largest number the 9 characters of
// a PO number hold, so no next PO number will be offered: type the next one yourself."
std::string CounterEndedText(const NumberCounter& counter, int64_t last);

// The note of CounterEndedText when `typed`, a whole number, is the last number of the counter;
// none otherwise (the number typed for a new entry, before the counter goes on from it).
std::optional<std::string> EndedByTypedNumber(const NumberCounter& counter, std::string_view typed);

// Refuses a number that a posting would give from a counter but that does not fit the counter's
// field (the posting cannot ask for another): throws std::runtime_error "The next invoice number,
// 100000000, does not fit <room>." followed by `refusal` ("No interest invoices were made.").
void RequireFits(const NumberCounter& counter, int64_t number, std::string_view refusal);

}  // namespace records
