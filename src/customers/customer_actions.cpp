#include "customers/customer_actions.h"

#include <vector>

#include "platform/text/amount.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "records/company_file.h"
#include "records/invoice_file.h"
#include "records/number_counter.h"
#include "records/record_file.h"
#include "storage/posting_journal.h"

namespace customers {

using namespace records;

using platform::text::TrimBlanks;
using platform::text::UpperCase;

namespace {

// The invoice number key of a customer number, as the invoice file builds it.
storage::IsamKeyStr InvoiceCustomerKey(std::string_view number) {
  records::InvoiceRec record;
  record.InvCustomerNo.Set(number);
  return records::BuildInvoiceKey(record, 2);
}

// The references of the invoice-file records whose customer number is `number`, in key order.
std::vector<storage::IsamRecRef> InvoicesOfCustomer(std::string_view number) {
  return RecordsWithKey(records::InvoiceFile, 2, InvoiceCustomerKey(number));
}

}  // namespace

std::string ComparableText(std::string_view text) {
  return UpperCase(TrimBlanks(text));
}

std::optional<std::string> NextCustomerNumberAfter(std::string_view entered) {
  const std::optional<int32_t> value = platform::text::TryStrToInt(TrimBlanks(entered));
  if (!value) return std::nullopt;
  return records::CounterTextAfter(records::CustomerNumberCounter, *value);
}

void AdvanceNextCustomerNumber(std::string_view entered) {
  const std::optional<std::string> next = NextCustomerNumberAfter(entered);
  if (!next) return;
  // Only a suggestion for the next new customer; a failure to keep it was told there.
  (void)UpdateCurrentCompanyRecord([&](CompanyRec& company) { company.NextCustomerNumber.Set(*next); });
}

int RenumberCustomerInvoices(std::string_view oldNumber, std::string_view newNumber) {
  return storage::RunPosting("the renumbering of customer " + std::string(oldNumber), [&] {
    FileForAction file(records::InvoiceFile, records::OpenInvoiceFile);
    RequireDone(file.Open(), "The invoice file could not be opened.");
    int changed = 0;
    for (storage::IsamRecRef ref : InvoicesOfCustomer(oldNumber)) {
      ReadRecordAt(records::InvoiceFile, ref, records::InvoiceBuf);
      const records::InvoiceRec before = records::InvoiceBuf;
      records::InvoiceBuf.InvCustomerNo.Set(newNumber);
      RequireDone(records::UpdateInvoiceRecord(before, ref), "Modify operation failed");
      ++changed;
    }
    return changed;
  });
}

CustomerDeleteCheck CheckCustomerDelete(const CustomerRec& customer) {
  // A balance that does not read as an amount may hide money owed: it counts as a balance.
  if (platform::text::ParseAmount(customer.CustBalance.Get()).value_or(1) != 0)
    return CustomerDeleteCheck::HasBalance;
  FileForAction file(records::InvoiceFile, records::OpenInvoiceFile);
  // An invoice file not made yet holds no invoice of the customer.
  if (!ThereToRead(file, InvoiceUnit())) return CustomerDeleteCheck::Allowed;
  if (!InvoicesOfCustomer(customer.CustomerNo.Get()).empty()) return CustomerDeleteCheck::HasInvoices;
  return CustomerDeleteCheck::Allowed;
}

}  // namespace customers
