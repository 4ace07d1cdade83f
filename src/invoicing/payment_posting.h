#pragma once
// Posting a customer payment: deposits on account, partial payments and payments of whole open
// items, written to the invoice file, the customer's balance, last payment and aging, and the
// company's receivables and deposit counter. Plain procedures: the payment wizard gathers the
// lines, tests post them without a window.
//
// The wizard's two lists hold one text line per item, in fixed columns (1-based):
//    1-9   item number (invoice number, or "DEPOSIT" for a new deposit), padded with blanks
//   10     blank
//   11-18  date, 8 characters (two-digit year)
//   19     blank
//   20-31  amount ",0.00", right-aligned in 12
//   32     "P": a partial payment (post list) or an invoice of type Z (open-item list)

#include <QDate>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "invoicing/posting_steps.h"
#include "platform/text/amount.h"
#include "records/customer_rec.h"
#include "records/invoice_rec.h"
#include "storage/isam_types.h"

namespace invoicing {

using platform::text::Cents;

inline constexpr char NewDepositItem[] = "DEPOSIT";

// One line of the wizard's lists.
struct PaymentItem {
  std::string Number;  // trimmed
  std::string Date;    // the 8-character date column
  Cents Amount = 0;
  bool Partial = false;  // the "P" of column 32
};

std::string PaymentItemLine(const PaymentItem& item);
// None for a line too short to hold an item or whose amount column is not an amount.
std::optional<PaymentItem> ParsePaymentItemLine(const std::string& line);

// The date column of an open item: DD/MM/YY for date order "D", YY/MM/DD for "Y", else MM/DD/YY.
std::string OpenItemDateColumn(const records::InvoiceRec& record, char dateOrder);
// The date column of a new deposit, cut from the payment date as typed.
std::string DepositDateColumn(const std::string& typedDate, char dateOrder);

// The customer's open items from the invoice file (which must be open), in number-key order:
// every unsettled record but repeat-billing masters; a type Z invoice always (flagged "P"),
// others only while something is due. Throws records::FileUnusable when the file cannot be
// searched or a record of the customer cannot be read.
std::vector<PaymentItem> LoadOpenItems(const std::string& customerNo, char dateOrder);

// The deposit counter after one more deposit: a blank counter starts at 15000, and a counter
// past 999998 starts again at 7000.
std::string NextDepositCounter(const std::string& counter);

// A typed payment as the wizard hands it on.
struct Payment {
  std::string CustomerNo;
  std::string Date;  // as typed, in the company's date order
  std::string Note;  // statement note, may be empty
  std::vector<PaymentItem> Items;
};

struct PostedPayment {
  // What the customer's open items fell by, line by line as they were written: the amount by
  // which balance and receivables were lowered.
  Cents Posted = 0;
  std::vector<std::string> Deposits;  // the numbers of the deposits written
};

// Posts every item for exactly its amount: a partial payment lowers what its invoice owes, an
// item paid whole settles its record and must be what the record owes once the item's partial
// payments are written (they are written first, wherever they are listed). The invoice file must
// be open. Raises std::runtime_error, with nothing written, when the date is not a date in the
// company's date order, the customer is not on file, or an item cannot be posted as listed (the
// message names it and why); a failure while writing undoes the whole payment.
PostedPayment PostPayment(const Payment& payment);

// The customer's four aging buckets from the amounts due of its records, aged by their sortable
// dates against today with the company's limits.
std::array<Cents, 4> AgeCustomerRecords(const std::string& customerNo);

// The open company's three aging limits in days.
void ReadAgingLimits(int (&limits)[3]);

}  // namespace invoicing
