#include "shell/aging.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/last_company.h"
#include "records/record_file.h"
#include "records/system_reason.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "storage/stat_form.h"

namespace shell {

using platform::text::Cents;
using platform::text::ParseAmount;
using platform::text::TrimBlanks;
using namespace records;

std::optional<AgingLimits> ReadAgingLimits(const CompanyRec& company) {
  AgingLimits limits{};
  const std::string texts[] = {company.AgingDays1.Get(), company.AgingDays2.Get(), company.AgingDays3.Get()};
  for (int i = 0; i < 3; ++i) {
    // A limit that is not a whole number is as good as none: the same message, never an error.
    std::optional<int32_t> days = platform::text::TryStrToInt(TrimBlanks(texts[i]));
    if (!days) return std::nullopt;
    limits[i] = *days;
  }
  return limits;
}

int AgingBucketFor(int days, const AgingLimits& limits) {
  int bucket = 0;
  while (bucket < 3 && days > limits[bucket]) ++bucket;
  return bucket;
}

int AgingBarHeight(int frameHeight, Cents part, Cents total) {
  if (total == 0) return 0;
  const int percent = static_cast<int>(std::llround(double(part) / double(total) * 100.0));
  const int height = frameHeight * percent / 100;
  return part != 0 && height < 4 ? 4 : height;
}

namespace {

// Cents of a stored amount; a damaged amount counts as nothing rather than stopping the run.
Cents StoredCents(const std::string& text) {
  return ParseAmount(text).value_or(0);
}

using Buckets = std::array<Cents, 4>;
// Open amounts by bucket, by the invoices' customer key.
using BucketsByCustomer = std::unordered_map<storage::IsamKeyStr, Buckets>;

// Every invoice's open amount in its customer's buckets, from one walk of the invoice file by
// customer key. Each record is aged by its stored sortable date, which does not depend on the
// date order the company uses today; a record whose date cannot be read is aged as of today.
BucketsByCustomer AgeInvoices(const AgingLimits& limits, const QDate& today) {
  BucketsByCustomer customers;
  ForEachRecordByKey<InvoiceRec>(InvoiceFile, 2, [&](const InvoiceRec& invoice) {
    if (TransactionTypeOf(invoice) == TransactionType::RepeatBillingMaster) return;
    const Cents due = StoredCents(invoice.AmountDue.Get());
    if (due == 0) return;
    const std::optional<QDate> date = platform::text::ParseSortableDate(invoice.SortDate.Get());
    const int days = date ? static_cast<int>(date->daysTo(today)) : 0;
    customers[BuildInvoiceKey(invoice, 2)][AgingBucketFor(days, limits)] += due;
  });
  return customers;
}

// The buckets of the customer's invoices: those filed under its number.
Buckets BucketsOf(const CustomerRec& customer, const BucketsByCustomer& aged) {
  InvoiceRec wanted{};
  wanted.InvCustomerNo.Set(customer.CustomerNo.Get());
  const auto found = aged.find(BuildInvoiceKey(wanted, 2));
  return found == aged.end() ? Buckets{} : found->second;
}

void ShowProgress() {
  storage::TStatForm& stat = storage::EnsureStatForm();
  stat.ClearStatusLines();
  stat.SetCaption("Aging");
  stat.Label1->setText("Calculating Aging...");
  stat.Show();
  platform::ui::Application->ProcessMessages();
}

// A customer whose aging could not be written ends the run: the user is told why, and the
// company's aging date stays as it was, so that the next start ages every customer again.
void TellAgingNotSaved(const std::string& dataFile) {
  const std::string failure =
      "The aging of receivables could not be saved: the file " + dataFile + " could not be written";
  platform::ui::MessageBox(platform::text::ToQString(WithReason(failure, SystemReason())) +
                               QStringLiteral(".  The aging is done again at the next start."),
                           QStringLiteral("Aging"), platform::ui::MsgButtons::Ok,
                           platform::ui::MsgIcon::Error);
}

// A file the aging could not read ends the run before anything more is written: buckets made
// from part of the invoices would pass for the customers' balances.
void TellAgingNotDone(const FileUnusable& failure) {
  platform::ui::MessageBox(platform::text::ToQString("The aging of receivables could not be done: " +
                                                     std::string(failure.what())) +
                               QStringLiteral("  The aging is done again at the next start."),
                           QStringLiteral("Aging"), platform::ui::MsgButtons::Ok,
                           platform::ui::MsgIcon::Error);
}

// The customer's record with its buckets from the aged invoices, when it carries a balance; adds
// them to totals.
CustomerRec Aged(const CustomerRec& before, const BucketsByCustomer& aged, std::array<Cents, 4>& totals) {
  CustomerRec customer = before;
  if (TrimBlanks(customer.ShortName.Get()).empty()) customer.ShortName.Set("*NONE*");
  if (StoredCents(customer.CustBalance.Get()) == 0) return customer;
  const Buckets buckets = BucketsOf(customer, aged);
  platform::text::ShortString<10>* fields[] = {&customer.CustAging1, &customer.CustAging2,
                                               &customer.CustAging3, &customer.CustAging4};
  Cents balance = 0;
  for (int i = 0; i < 4; ++i) {
    fields[i]->Set(platform::text::AmountText(buckets[i]));
    balance += buckets[i];
    totals[i] += buckets[i];
  }
  customer.CustBalance.Set(platform::text::AmountText(balance));
  return customer;
}

// Ages the invoices, then walks the customers in file order, rewriting each one that carries a
// balance. False when a customer could not be rewritten (told); a file that cannot be read throws
// FileUnusable.
bool AgeEachCustomer(const AgingLimits& limits, std::array<Cents, 4>& totals) {
  // A file that is there and cannot be opened is said (each asked at once, before the next open);
  // one not made yet holds nothing to age.
  FileForAction customers(CustomerFile, OpenCustomerFile);
  if (!ThereToRead(customers, CustomerUnit())) return false;
  FileForAction invoices(InvoiceFile, OpenInvoiceFile);
  if (!ThereToRead(invoices, InvoiceUnit())) return false;
  const BucketsByCustomer aged = AgeInvoices(limits, platform::text::Today());
  storage::IsamRecRef ref = 0;
  for (storage::IsamNextRec(CustomerFile, ref);; storage::IsamNextRec(CustomerFile, ref)) {
    if (!storage::IsamOK) {
      if (IsEndOfWalk()) return true;
      ThrowFileUnusable(CustomerFile->DataName);
    }
    CustomerRec before;
    storage::IsamGetRec(CustomerFile, ref, &before, sizeof before);
    if (!storage::IsamOK) ThrowFileUnusable(CustomerFile->DataName);
    const CustomerRec customer = Aged(before, aged, totals);
    if (std::memcmp(&before, &customer, sizeof customer) != 0 &&
        !UpdateCustomerRecord(customer, before, ref)) {
      TellAgingNotSaved(CustomerFile->DataName);
      return false;
    }
  }
}

// The aging's run; false when it could not be done whole (told).
bool AgeAllCustomers(const AgingLimits& limits, std::array<Cents, 4>& totals) {
  try {
    return AgeEachCustomer(limits, totals);
  } catch (const FileUnusable& failure) {
    TellAgingNotDone(failure);
    return false;
  }
}

}  // namespace

AgingTotals RecalculateAging() {
  AgingTotals result;
  if (storage::PostingJournalWaits()) return result;
  const std::optional<AgingLimits> limits = ReadAgingLimits(CurrentCompany);
  if (!limits) {
    platform::ui::ShowMessage(BadAgingDaysText);
    return result;
  }
  if (StoredCents(CurrentCompany.CompanyARBalance.Get()) == 0) return result;
  platform::ui::WaitCursor wait;
  ShowProgress();
  const bool aged = AgeAllCustomers(*limits, result.Buckets);
  storage::EnsureStatForm().Close();
  if (!aged) return result;
  for (Cents bucket : result.Buckets) result.Total += bucket;
  const std::string today = platform::text::DateToStr(platform::text::Today());
  CompanyWorkRec = CurrentCompany;
  CompanyWorkRec.LastAgingDate.Set(today);
  (void)SaveCurrentCompany();        // a failed write was said; the company is current for this run
  (void)UpdateCurrentCompanyRecord(  // a failure was said there; the next start ages again
      [&](CompanyRec& company) {
        company.LastAgingDate.Set(today);
        company.CompanyARBalance.Set(platform::text::AmountText(result.Total));
      },
      AgingPosting);
  result.Ran = true;
  return result;
}

}  // namespace shell
