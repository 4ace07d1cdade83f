#include "invoicing/invoice_texts.h"

#include "platform/text/key_text.h"
#include "records/stored_amount.h"

namespace invoicing {

using platform::text::PadRightWith;
using platform::text::TrimBlanks;

namespace {

constexpr std::size_t kAmountWidth = 12;

std::string Column(const std::string& text, std::size_t width) {
  return PadRightWith(TrimBlanks(text), ' ', width);
}

// Right-aligned; a wider text keeps every character and pushes the later columns on.
std::string AmountColumn(const std::string& text) {
  if (text.size() >= kAmountWidth) return text;
  return std::string(kAmountWidth - text.size(), ' ') + text;
}

std::string Amount(const records::ShortString<10>& stored) {
  return AmountColumn(records::FormatStoredAmount(TrimBlanks(stored.Get())));
}

std::string Row(std::string text) {
  return PadRightWith(text, ' ', kInvoiceRowWidth);
}

}  // namespace

std::string InvoiceBrowserHeader() {
  return Row(Column("Year/Mo/Dy", 10) + " " + Column("T", 1) + " " + Column("Invoice#", 9) + " " +
             Column("Cust#", 8) + " " + Column("Short Name", 10) + " " + AmountColumn("Grand Total") + " " +
             AmountColumn("Amount Due") + " " + AmountColumn("Paid Amount") + " " + Column("Key Code", 8) +
             " " + Column("Date Paid", 10) + " " + Column("CO#", 5));
}

std::string InvoiceBrowserRow(const records::InvoiceRec& r) {
  return Row(Column(r.SortDate.Get(), 10) + " " + Column(r.TransactionType.Get(), 1) + " " +
             Column(r.InvoiceNo.Get(), 9) + " " + Column(r.InvCustomerNo.Get(), 8) + " " +
             Column(r.ShortName.Get(), 10) + " " + Amount(r.InvTotal) + " " + Amount(r.AmountDue) + " " +
             Amount(r.InvPaid) + " " + Column(r.KeyCode.Get(), 8) + " " + Column(r.DatePaid.Get(), 10) + " " +
             Column(r.CompanyNumber.Get(), 5));
}

std::string UnreadableInvoiceRow(const std::string& key) {
  return Row("****  " + key);
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
