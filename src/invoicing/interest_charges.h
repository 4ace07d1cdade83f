#pragma once
// Interest (finance) charges on overdue receivables, as plain procedures: the scan that lists
// every customer whose overdue aging buckets give a charge of at least the minimum, and the run
// that writes one interest invoice per listed customer with its detail line, raises the
// customer's balance and aging, advances the company's invoice numbering and receivables, and
// keeps the chosen settings in the company record.

#include <optional>
#include <string>
#include <vector>

#include "platform/text/amount.h"
#include "records/customer_rec.h"

namespace invoicing {

using platform::text::Cents;

struct InterestSettings {
  char Period = '3';     // '3', '6' or '9': the buckets over the first, second or third aging limit
  std::string Rate;      // monthly percentage, "1.500"
  std::string Minimum;   // smallest charge invoiced, ".10"
  bool FlatFee = false;  // a fixed fee per customer instead of the percentage
  std::string Fee;
  bool MarkPrinted = false;
  std::string Date;  // of the invoices, as typed in the company's date order
  std::string Notes;
  std::string StatementNote;
  std::string Terms;
};

// One customer the scan listed; the invoice number is filled in by the run.
struct InterestRow {
  std::string Name;
  std::string CustomerNo;
  Cents Overdue = 0;
  Cents Charge = 0;
  std::string InvoiceNo;
};

// The period of a stored setting: "6" and "9" stand for themselves, anything else for '3'.
char InterestPeriodOf(const std::string& stored);
// The customer's overdue money: buckets 2 to 4, 3 and 4, or 4 alone by the period.
Cents OverdueAmount(const records::CustomerRec& customer, char period);
// The charge on an overdue amount, rounded to cents: the fee, or the rate's share of it.
Cents InterestCharge(Cents overdue, const InterestSettings& settings);

// Every customer in name order whose overdue amount is above zero and whose charge is at least
// the minimum. The customer file is opened around the scan unless a window holds it.
std::vector<InterestRow> ScanInterestCharges(const InterestSettings& settings);

struct GeneratedInterest {
  int Invoices = 0;
  Cents Total = 0;  // of the charges invoiced
};

// Writes the interest invoices of the rows, numbering them from the company's next invoice
// number with an "I" after it, and fills in each row's invoice number. A row whose invoice
// cannot be added is reported and charges nothing. Raises std::runtime_error, with nothing
// written, when the date is not a date or the next invoice number is not a number.
GeneratedInterest GenerateInterestInvoices(std::vector<InterestRow>& rows, const InterestSettings& settings);

}  // namespace invoicing
