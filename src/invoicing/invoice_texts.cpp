#include "invoicing/invoice_texts.h"

#include "forms/browser_columns.h"
#include "platform/text/key_text.h"
#include "records/stored_amount.h"

namespace invoicing {

using platform::text::TrimBlanks;

using forms::BrowserAmountColumn;
using forms::BrowserColumn;
using forms::BrowserRow;

namespace {

std::string Amount(const records::ShortString<10>& stored) {
  return forms::BrowserStoredAmount(stored.Get());
}

}  // namespace

std::string InvoiceBrowserHeader() {
  return BrowserRow(BrowserColumn("Year/Mo/Dy", 10) + " " + BrowserColumn("T", 1) + " " +
                    BrowserColumn("Invoice#", 9) + " " + BrowserColumn("Cust#", 8) + " " +
                    BrowserColumn("Short Name", 10) + " " + BrowserAmountColumn("Grand Total") + " " +
                    BrowserAmountColumn("Amount Due") + " " + BrowserAmountColumn("Paid Amount") + " " +
                    BrowserColumn("Key Code", 8) + " " + BrowserColumn("Date Paid", 10) + " " +
                    BrowserColumn("CO#", 5));
}

std::string InvoiceBrowserRow(const records::InvoiceRec& r) {
  return BrowserRow(BrowserColumn(r.SortDate.Get(), 10) + " " + BrowserColumn(r.TransactionType.Get(), 1) +
                    " " + BrowserColumn(r.InvoiceNo.Get(), 9) + " " +
                    BrowserColumn(r.InvCustomerNo.Get(), 8) + " " + BrowserColumn(r.ShortName.Get(), 10) +
                    " " + Amount(r.InvTotal) + " " + Amount(r.AmountDue) + " " + Amount(r.InvPaid) + " " +
                    BrowserColumn(r.KeyCode.Get(), 8) + " " + BrowserColumn(r.DatePaid.Get(), 10) + " " +
                    BrowserColumn(r.CompanyNumber.Get(), 5));
}

std::string UnreadableInvoiceRow(const std::string& key) {
  return BrowserRow("****  " + key);
}

bool MarkDamagedInvoice(records::InvoiceRec& r) {
  if (!TrimBlanks(r.InvTotal.Get()).empty() && !TrimBlanks(r.AmountDue.Get()).empty() &&
      !TrimBlanks(r.InvPaid.Get()).empty())
    return false;
  r.InvTotal.Set("0");
  r.AmountDue.Set("0");
  r.InvPaid.Set("0");
  r.InvoiceNo.Set("DELETE ME");
  r.ShortName.Set("BAD RECORD");
  return true;
}

std::string RecordTypeText(const records::InvoiceRec& r) {
  const std::string type = r.TransactionType.Get();
  if (type == "I") return "I - Regular Invoice";
  if (type == "R") return "R - Repeat Billing Master Record (Created: " + r.CreatedDate.Get() + ")";
  if (type == "G") return "G - Repeat Billing Generated Invoice";
  if (type == "X") return "X - Partial Payment Record against Type Z";
  if (type == "Z") return "Z - Invoice has Partial Payment(s) of Type X";
  if (type == "D") return "D - Deposit on Account";
  if (type == "T") return "T - Deposit Taken (offsets type D)";
  return type;
}

std::string DocumentKindText(const records::InvoiceRec& r) {
  const std::string type = r.TransactionType.Get();
  std::string kind = r.Body.Get() == "P" ? "(Product Invoice)" : "(Memo Invoice)";
  if (type == "D" || type == "X") kind = "(Payment Record)";
  if (type == "T") kind = "(Applied Deposit)";
  return r.InvoiceNo.Get() + "   " + kind;
}

}  // namespace invoicing
