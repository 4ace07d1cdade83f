#include "invoicing/interest_charges.h"

#include <stdexcept>

#include "invoicing/date_field.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/payment_posting.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/number_counter.h"
#include "records/record_file.h"
#include "records/system_reason.h"
#include "storage/posting_journal.h"

namespace invoicing {

using platform::text::AmountText;
using platform::text::StripCommas;
using platform::text::TrimBlanks;
using records::CurrentCompany;

namespace {

constexpr char InterestProduct[] = "Interest";
constexpr char InterestLineText[] = "Interest Charges";

// A setting typed as ".10" or "1.": read as a number, 0 when it is none.
double SettingValue(const std::string& text) {
  std::string trimmed = TrimBlanks(text);
  if (trimmed.starts_with('.')) trimmed.insert(trimmed.begin(), '0');
  if (trimmed.ends_with('.')) trimmed.pop_back();
  return platform::text::TryStrToFloat(trimmed).value_or(0);
}

Cents SettingCents(const std::string& text) {
  return platform::text::RoundToCents(SettingValue(text)).value_or(0);
}

records::InvoiceRec InterestInvoice(const InterestRow& row, const records::CustomerRec& customer,
                                    const std::string& number, const InterestSettings& settings,
                                    const QDate& date) {
  records::InvoiceRec r{};
  r.InvoiceNo.Set(number);
  r.TransactionType.Set("I");
  r.KeyCode.Set(InterestProduct);
  r.PrintedMark.Set(settings.MarkPrinted ? "Y" : "");
  SetRecordDate(r, settings.Date, date);
  r.Notes.Set(settings.Notes.substr(0, 80));
  r.Terms.Set(settings.Terms.substr(0, 35));
  r.StatementComment.Set(settings.StatementNote.substr(0, 35));
  r.InvCustomerNo.Set(customer.CustomerNo.Get());
  r.ShortName.Set(customer.ShortName.Get());
  r.Body.Set("P");
  const std::string charge = AmountText(row.Charge);
  r.NetAmount.Set(charge);
  r.InvTotal.Set(charge);
  r.AmountDue.Set(charge);
  r.TaxAmount.Set(AmountText(0));
  r.InvPaid.Set(AmountText(0));
  r.TaxRate.Set("0");
  r.CompanyNumber.Set(CurrentCompany.CompanyNumber.Get());
  return r;
}

// The interest invoice's one line, keyed like every other invoice line so that it prints and
// edits with its invoice.
void AddInterestLine(const records::InvoiceRec& invoice, Cents charge) {
  records::DetailBuf = records::DetailRec{};
  records::DetailRec& d = records::DetailBuf;
  d.Company.Set(invoice.CompanyNumber.Get());
  d.InvoiceNumber.Set(invoice.InvoiceNo.Get());
  d.Date.Set(invoice.SortDate.Get());
  d.SourceFlag.Set("P");
  d.DocumentKind.Set("I");
  d.LineNumber.Set(records::LineNumberText(1));
  d.LineKey.Set(records::LineKeyText(invoice.InvoiceNo.Get(), 1));
  d.Product.Set(InterestProduct);
  d.Customer.Set(invoice.InvCustomerNo.Get());
  d.ShortName.Set(invoice.ShortName.Get());
  d.LineText.Set(records::LineText("1", InterestLineText, AmountText(charge), "N", AmountText(charge)));
  storage::IsamRecRef ref = 0;
  records::RequireDone(records::AddDetailRecord(ref), "Interest detail add failed.");
}

void ChargeCustomer(records::CustomerRec customer, storage::IsamRecRef ref, const std::string& number,
                    Cents charge, const QDate& date) {
  const records::CustomerRec before = customer;
  customer.CustBalance.Set(AmountText(StoredCents(customer.CustBalance.Get()) + charge));
  customer.LastInvoice.Set(number);
  int limits[3];
  ReadAgingLimits(limits);
  records::ShortString<10>* buckets[] = {&customer.CustAging1, &customer.CustAging2, &customer.CustAging3,
                                         &customer.CustAging4};
  records::ShortString<10>& bucket =
      *buckets[AgingBucket(static_cast<int>(date.daysTo(platform::text::Today())), limits)];
  bucket.Set(AmountText(StoredCents(bucket.Get()) + charge));
  records::RequireDone(records::UpdateCustomerRecord(customer, before, ref),
                       "The customer could not be updated.");
}

}  // namespace

char InterestPeriodOf(const std::string& stored) {
  return stored == "6" || stored == "9" ? stored[0] : '3';
}

Cents OverdueAmount(const records::CustomerRec& c, char period) {
  Cents overdue = StoredCents(c.CustAging4.Get());
  if (period != '9') overdue += StoredCents(c.CustAging3.Get());
  if (period == '3') overdue += StoredCents(c.CustAging2.Get());
  return overdue;
}

Cents InterestCharge(Cents overdue, const InterestSettings& settings) {
  if (settings.FlatFee) return SettingCents(settings.Fee);
  const double charge = SettingValue(settings.Rate) / 100.0 * platform::text::AmountValue(overdue);
  return platform::text::RoundToCents(charge).value_or(0);
}

std::vector<InterestRow> ScanInterestCharges(const InterestSettings& settings) {
  std::vector<InterestRow> rows;
  records::FileForAction customers(records::CustomerFile, records::OpenCustomerFile);
  if (!records::ThereToRead(customers, records::CustomerUnit())) return rows;
  const Cents minimum = SettingCents(settings.Minimum);
  records::ForEachRecordByKey<records::CustomerRec>(
      records::CustomerFile, 1, [&](const records::CustomerRec& c) {
        const Cents overdue = OverdueAmount(c, settings.Period);
        if (overdue <= 0) return;
        const Cents charge = InterestCharge(overdue, settings);
        if (charge >= minimum)
          rows.push_back({c.CustomerName.Get(), TrimBlanks(c.CustomerNo.Get()), overdue, charge, ""});
      });
  return rows;
}

namespace {

GeneratedInterest GenerateInterestSteps(std::vector<InterestRow>& rows, const InterestSettings& settings) {
  std::optional<QDate> date = platform::text::ParseTypedDate(TrimBlanks(settings.Date), CompanyDateOrder());
  if (!date) throw std::runtime_error("The invoice date " + settings.Date + " is not a date.");
  const std::string nextText = TrimBlanks(CurrentCompany.NextInvoiceNumber.Get());
  // An ended counter is kept empty: the next number is the user's to give.
  if (nextText.empty())
    throw std::runtime_error(
        "No next invoice number is set: type one in the Company Options. No interest invoices were made.");
  std::optional<int32_t> next = platform::text::TryStrToInt(nextText);
  if (!next)
    throw std::runtime_error("The next invoice number " + nextText +
                             " is not a number. No interest invoices were made.");
  records::FileForAction details(records::DetailFile, records::OpenDetailFile);
  records::FileForAction customers(records::CustomerFile, records::OpenCustomerFile);
  records::FileForAction invoices(records::InvoiceFile, records::OpenInvoiceFile);
  if (!records::ThereToRead(details, records::DetailUnit()) ||
      !records::ThereToRead(customers, records::CustomerUnit()) ||
      !records::ThereToRead(invoices, records::InvoiceUnit()))
    return {};

  GeneratedInterest generated;
  int64_t running = *next;
  for (InterestRow& row : rows) {
    records::CustomerRec customer{};
    storage::IsamRecRef customerRef = 0;
    if (!ReadInvoiceCustomer(row.CustomerNo, customer, customerRef)) continue;
    records::RequireFits(records::InterestInvoiceCounter, running, "No interest invoices were made.");
    const std::string number = std::to_string(running) + "I";
    records::InvoiceBuf = InterestInvoice(row, customer, number, settings, *date);
    const records::InvoiceRec invoice = records::InvoiceBuf;
    storage::IsamRecRef ref = 0;
    records::RequireDone(records::AddInvoiceRecord(ref), "Add Late Fee Failed.");
    row.InvoiceNo = number;
    ++generated.Invoices;
    generated.Total += row.Charge;
    AddInterestLine(invoice, row.Charge);
    ChargeCustomer(customer, customerRef, number, row.Charge, *date);
    ++running;
  }

  records::RequireDone(records::UpdateCurrentCompanyRecord([&](records::CompanyRec& company) {
                         company.CompanyARBalance.Set(
                             AmountText(StoredCents(company.CompanyARBalance.Get()) + generated.Total));
                         if (generated.Invoices > 0) {
                           company.InvoiceManagerStartNumber.Set(std::to_string(running - 1));
                           company.NextInvoiceNumber.Set(std::to_string(running));
                         }
                         company.InterestOverdueDays.Set(std::string(1, settings.Period));
                         company.InterestMonthlyRate.Set(TrimBlanks(settings.Rate).substr(0, 5));
                         company.InterestMinimumCharge.Set(TrimBlanks(settings.Minimum).substr(0, 5));
                         company.InterestMarkPrinted = settings.MarkPrinted ? 1 : 0;
                         company.InterestPaymentTerms.Set(settings.Terms.substr(0, 35));
                         company.LastInterestInvoicesDate.Set(settings.Date);
                       }),
                       "The company record could not be updated.");
  return generated;
}

}  // namespace

GeneratedInterest GenerateInterestInvoices(std::vector<InterestRow>& rows, const InterestSettings& settings) {
  return storage::RunPosting("the run of interest charges",
                             [&] { return GenerateInterestSteps(rows, settings); });
}

}  // namespace invoicing
