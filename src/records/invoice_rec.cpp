#include "records/invoice_rec.h"

#include "platform/text/amount.h"
#include "platform/text/key_text.h"
#include "records/record_key.h"

namespace records {

using platform::text::TrimBlanks;
using records::KeyOfStoredText;
using records::KeyOfText;

InvoiceRec InvoiceBuf;

storage::IsamKeyStr BuildInvoiceKey(const InvoiceRec& record, int keyNr) {
  switch (keyNr) {
    case 1:
      return KeyOfText(record.InvoiceNo.View(), 9);
    case 2:
      return KeyOfText(record.InvCustomerNo.View(), 8);
    case 3:
      return KeyOfStoredText(record.SortDate.View(), 10);
    case 4:
      return KeyOfText(record.KeyCode.View(), 8);
    case 5:
      return KeyOfText(TrimBlanks(record.TransactionType.Get()) + TrimBlanks(record.InvoiceNo.Get()), 10);
    case 6:
      return KeyOfStoredText(record.DatePaid.View(), 10);
    default:
      return {};
  }
}

std::optional<TransactionType> TransactionTypeOf(const InvoiceRec& record) {
  std::string type = record.TransactionType.Get();
  if (type.size() != 1) return std::nullopt;
  switch (type[0]) {
    case 'I':
    case 'R':
    case 'G':
    case 'Z':
    case 'X':
    case 'D':
    case 'T':
      return static_cast<TransactionType>(type[0]);
    default:
      return std::nullopt;
  }
}

std::string TransactionTypeDescription(const InvoiceRec& record) {
  std::optional<TransactionType> type = TransactionTypeOf(record);
  if (!type) return {};
  switch (*type) {
    case TransactionType::RegularInvoice:
      return "I - Regular Invoice";
    case TransactionType::RepeatBillingMaster:
      return "R - Repeat Billing Master Record (Created: " + record.CreatedDate.Get() + ")";
    case TransactionType::GeneratedFromMaster:
      return "G - Repeat Billing Generated Invoice";
    case TransactionType::WithPartialPayments:
      return "Z - Invoice has Partial Payment(s) of Type X";
    case TransactionType::PartialPayment:
      return "X - Partial Payment Record against Type Z";
    case TransactionType::DepositOnAccount:
      return "D - Deposit on Account";
    case TransactionType::DepositTaken:
      return "T - Deposit Taken (offsets type D)";
  }
  return {};
}

bool IsOpenItem(const InvoiceRec& record) {
  if (TransactionTypeOf(record) == TransactionType::RepeatBillingMaster) return false;
  if (TrimBlanks(record.SettledFlag.Get()) == "P") return false;
  // "0", "0.00" and "-0.00" all owe nothing; an amount that is not a number is left open so that
  // it stays in sight.
  std::optional<platform::text::Cents> due = platform::text::ParseAmount(record.AmountDue.Get());
  return !(due && *due == 0);
}

}  // namespace records
