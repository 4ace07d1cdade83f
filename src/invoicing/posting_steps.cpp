#include "invoicing/posting_steps.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/decimal_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/system_reason.h"

namespace invoicing {

using platform::text::StripCommas;
using platform::text::TrimBlanks;
using records::CurrentCompany;

namespace {

int AgingLimit(const records::ShortString<3>& days) {
  return platform::text::TryStrToInt(days.View()).value_or(0);
}

// The memo invoice's one stock line, written as grid row 1.
EnteredLine MemoStockLine(const EnteredInvoice& invoice) {
  EnteredLine line = invoice.MemoProduct;
  line.Row = 1;
  std::string code = TrimBlanks(line.Code);
  line.Code = code.empty() ? NoProduct : code;
  line.Price = invoice.Net;
  line.Taxable.assign(1, 'M');  // as one character: GCC 12 reports a false overlap for "M"
  line.Extension = invoice.Net;
  return line;
}

// The code that marks a line without a product, in any case and with blanks around it.
bool IsNoProduct(std::string_view code) {
  const std::string_view trimmed = platform::text::TrimmedBlanks(code);
  const std::string_view none = NoProduct;
  return std::equal(trimmed.begin(), trimmed.end(), none.begin(), none.end(),
                    [](char typed, char wanted) { return platform::text::UpperChar(typed) == wanted; });
}

}  // namespace

Cents StoredCents(std::string_view text) {
  return platform::text::ParseAmount(text).value_or(0);
}

void SetRecordDate(records::InvoiceRec& r, const std::string& typed, const QDate& date) {
  auto twoDigits = [](int value) {
    std::string text = std::to_string(value);
    if (text.size() < 2) text.insert(text.begin(), '0');
    return text;
  };
  r.InvoiceDate.Set(typed);
  r.Month.Set(twoDigits(date.month()));
  r.Day.Set(twoDigits(date.day()));
  r.Year.Set(std::to_string(date.year()));
  r.SortDate.Set(platform::text::SortableDate(date));
}

std::optional<QDate> ReadTypedDate(const std::string& typed) {
  std::string order = CurrentCompany.DateOrder.Get();
  return platform::text::ParseTypedDate(TrimBlanks(typed), order.empty() ? 'M' : order[0]);
}

QDate TypedInvoiceDate(const std::string& typed) {
  std::optional<QDate> date = ReadTypedDate(typed);
  if (!date) throw std::runtime_error("The invoice date " + typed + " is not a date.");
  return *date;
}

int AgingBucket(int days, const int (&limits)[3]) {
  if (days <= limits[0]) return 0;
  if (days <= limits[1]) return 1;
  if (days <= limits[2]) return 2;
  return 3;
}

void AddToCustomerBalance(records::CustomerRec& customer, Cents due, const QDate& date) {
  customer.CustBalance.Set(platform::text::AmountText(StoredCents(customer.CustBalance.View()) + due));
  const int limits[3] = {AgingLimit(CurrentCompany.AgingDays1), AgingLimit(CurrentCompany.AgingDays2),
                         AgingLimit(CurrentCompany.AgingDays3)};
  int days = static_cast<int>(date.daysTo(platform::text::Today()));
  records::ShortString<10>* buckets[] = {&customer.CustAging1, &customer.CustAging2, &customer.CustAging3,
                                         &customer.CustAging4};
  records::ShortString<10>& bucket = *buckets[AgingBucket(days, limits)];
  bucket.Set(platform::text::AmountText(StoredCents(bucket.View()) + due));
}

namespace {

storage::IsamKeyStr CustomerNumberKey(const std::string& number) {
  records::CustomerRec wanted{};
  wanted.CustomerNo.Set(number);
  return records::BuildCustomerKey(wanted, 2);
}

}  // namespace

bool ReadInvoiceCustomer(const std::string& number, records::CustomerRec& customer,
                         storage::IsamRecRef& ref) {
  return records::ReadIfOnFile(records::CustomerUnit(), CustomerNumberKey(number), 2, customer, ref);
}

void RequireInvoiceCustomer(bool open, const std::string& number, records::CustomerRec& customer,
                            storage::IsamRecRef& ref, const std::string& then) {
  if (open && records::ReadByKey(records::CustomerUnit(), CustomerNumberKey(number), 2, customer, ref))
    return;
  std::string failure = records::DataFileFailure(records::CustomerUnit());
  // A search that failed without a reason of the system's (an index that does not hold together)
  // is no customer missing either.
  if (failure.empty() && open && !storage::IsamOK && !records::IsEndOfWalk())
    failure = "error " + std::to_string(storage::IsamError);
  if (!failure.empty())
    throw std::runtime_error("Customer " + TrimBlanks(number) + " could not be read: " + failure + "." +
                             then);
  if (!open) throw std::runtime_error("The customer file could not be opened." + then);
  throw std::runtime_error("Customer " + TrimBlanks(number) + " was not found." + then);
}

void AddLineStock(records::StockChanges& changes, const std::string& code, const std::string& quantity,
                  bool back) {
  if (IsNoProduct(code)) return;
  // The sum reads the figure as typed, blanks and commas included.
  records::AddStockChange(changes, code, back ? quantity : platform::text::NegatedFigure(quantity));
}

void PostStockChanges(const records::StockPlan& plan) {
  if (plan.empty()) return;
  records::FileForAction file(records::ProductFile, records::OpenProductFile);
  records::RequireDone(file.Open(), "The product file could not be opened.");
  records::RequireDone(records::ApplyStockPlan(plan), "The stock could not be changed.");
}

const std::vector<EnteredLine>& LinesToWrite(const EnteredInvoice& invoice, std::vector<EnteredLine>& kept) {
  kept.clear();
  if (invoice.Memo) {
    kept.push_back(MemoStockLine(invoice));
    return kept;
  }
  auto written = [](const EnteredLine& line) {
    return !platform::text::TrimmedBlanks(line.Code).empty() ||
           !platform::text::TrimmedBlanks(line.Description).empty();
  };
  if (std::all_of(invoice.Lines.begin(), invoice.Lines.end(), written)) return invoice.Lines;
  std::copy_if(invoice.Lines.begin(), invoice.Lines.end(), std::back_inserter(kept), written);
  return kept;
}

records::DetailRec DetailRecordOf(const records::InvoiceRec& header, const EnteredLine& line, bool memo) {
  records::DetailRec d{};
  d.Company.Set(header.CompanyNumber.View());
  d.InvoiceNumber.Set(header.InvoiceNo.View());
  d.Date.Set(header.SortDate.View());
  d.SourceFlag.Set(memo ? "M" : "P");
  d.UnitCost.Set(StripCommas(line.Cost));
  d.DocumentKind.Set("I");
  d.Customer.Set(header.InvCustomerNo.View());
  d.ShortName.Set(header.ShortName.View());
  d.LineNumber.Set(records::LineNumberText(line.Row));
  d.LineKey.Set(records::LineKeyText(header.InvoiceNo.View(), line.Row));
  d.Product.Set(platform::text::TrimmedBlanks(std::string_view(line.Code).substr(0, 15)));
  d.LineText.Set(records::LineText(StripCommas(line.Quantity), line.Description, StripCommas(line.Price),
                                   line.Taxable, StripCommas(line.Extension)));
  return d;
}

records::MemoRec MemoRecordOf(const std::string& number, const std::vector<std::string>& lines) {
  records::MemoRec memo{};
  memo.Number.Set(number);
  for (int line = 0; line < records::kMemoLines && line < static_cast<int>(lines.size()); ++line)
    memo.Lines[line].Set(lines[static_cast<size_t>(line)].substr(0, records::kMemoLineWidth));
  return memo;
}

}  // namespace invoicing
