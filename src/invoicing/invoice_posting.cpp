#include "invoicing/invoice_posting.h"

#include <stdexcept>

#include "platform/files/file.h"
#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"

namespace invoicing {

using platform::text::Cents;
using platform::text::PadRightWith;
using platform::text::StripCommas;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;

std::function<void(const records::CustomerRec&)> QueueCustomerLabel;

namespace {

constexpr char AnswerFileName[] = "CPWIN.TXT";
constexpr char NoProduct[] = "** NONE **";

Cents StoredCents(const std::string& text) {
  return platform::text::ParseAmount(StripCommas(text)).value_or(0);
}

std::string TwoDigits(int value) {
  return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

QDate InvoiceDate(const EnteredInvoice& invoice) {
  std::string order = CurrentCompany.DateOrder.Get();
  std::optional<QDate> date =
      platform::text::ParseTypedDate(TrimBlanks(invoice.Date), order.empty() ? 'M' : order[0]);
  if (!date) throw std::runtime_error("The invoice date " + invoice.Date + " is not a date.");
  return *date;
}

// The memo invoice's one stock line, written as grid row 1.
EnteredLine MemoStockLine(const EnteredInvoice& invoice) {
  EnteredLine line = invoice.MemoProduct;
  line.Row = 1;
  std::string code = TrimBlanks(line.Code);
  line.Code = code.empty() ? NoProduct : code;
  line.Price = invoice.Net;
  line.Taxable = "M";
  line.Extension = invoice.Net;
  return line;
}

std::vector<EnteredLine> LinesToWrite(const EnteredInvoice& invoice) {
  if (invoice.Memo) return {MemoStockLine(invoice)};
  std::vector<EnteredLine> lines;
  for (const EnteredLine& line : invoice.Lines)
    if (!TrimBlanks(line.Code).empty() || !TrimBlanks(line.Description).empty()) lines.push_back(line);
  return lines;
}

std::string AnswerLine(const EnteredLine& line) {
  return PadRightWith(TrimBlanks(line.Code), ' ', 15) + " " +
         PadRightWith(StripCommas(line.Quantity), ' ', 10) + " " + PadRightWith(line.Description, ' ', 32) +
         " " + PadRightWith(StripCommas(line.Price), ' ', 10) + " " + PadRightWith(line.Taxable, ' ', 1) +
         " " + PadRightWith(StripCommas(line.Extension), ' ', 10);
}

int WriteDetailLines(const records::InvoiceRec& header, const std::vector<EnteredLine>& lines, bool memo,
                     std::vector<std::string>& answer) {
  int written = 0;
  for (const EnteredLine& line : lines) {
    records::DetailBuf = records::DetailRec{};
    records::DetailRec& d = records::DetailBuf;
    d.Company.Set(header.CompanyNumber.Get());
    d.InvoiceNumber.Set(header.InvoiceNo.Get());
    d.Date.Set(header.SortDate.Get());
    d.SourceFlag.Set(memo ? "M" : "P");
    d.UnitCost.Set(StripCommas(line.Cost));
    d.DocumentKind.Set("I");
    d.Customer.Set(header.InvCustomerNo.Get());
    d.ShortName.Set(header.ShortName.Get());
    d.LineNumber.Set(records::LineNumberText(line.Row));
    d.LineKey.Set(records::LineKeyText(header.InvoiceNo.Get(), line.Row));
    d.Product.Set(TrimBlanks(line.Code.substr(0, 15)));
    d.LineText.Set(records::LineText(StripCommas(line.Quantity), line.Description, StripCommas(line.Price),
                                     line.Taxable, StripCommas(line.Extension)));
    if (!memo) answer.push_back(AnswerLine(line));
    storage::IsamRecRef ref = 0;
    if (!records::AddDetailRecord(ref)) platform::ui::ShowMessage("detail add failed.");
    ++written;
  }
  return written;
}

// Takes the quantities sold out of the stock of every stocked, depleting product.
void TakeOutOfStock(const std::vector<EnteredLine>& lines) {
  records::FileForAction file(records::ProductFile, records::OpenProductFile);
  if (!file.Open()) return;
  for (const EnteredLine& line : lines) {
    std::string code = UpperCase(TrimBlanks(line.Code.substr(0, 15)));
    if (code.empty() || code == NoProduct) continue;
    records::ProductRec wanted{};
    wanted.Code.Set(code);
    records::ProductRec product{};
    storage::IsamRecRef ref = 0;
    if (!records::ReadByKey(records::ProductUnit(), records::BuildProductKey(wanted, 1), 1, product, ref))
      continue;
    if (UpperCase(TrimBlanks(product.Code.Get())) != code || product.NonStock || product.NonDepleting)
      continue;
    const records::ProductRec before = product;
    double onHand = platform::text::TryStrToFloat(product.OnHand.Get()).value_or(0);
    double sold = platform::text::TryStrToFloat(StripCommas(line.Quantity)).value_or(0);
    product.OnHand.Set(platform::text::FloatToStr(onHand - sold).substr(0, 10));
    records::UpdateProductRecord(product, before, ref);
  }
}

int AgingLimit(const records::ShortString<3>& days) {
  return platform::text::TryStrToInt(TrimBlanks(days.Get())).value_or(0);
}

// Reads the customer whose number is exactly the invoice's (never whatever record a search of the
// number key lands on next).
bool ReadInvoiceCustomer(const std::string& number, records::CustomerRec& customer,
                         storage::IsamRecRef& ref) {
  records::CustomerRec wanted{};
  wanted.CustomerNo.Set(number);
  return records::ReadByKey(records::CustomerUnit(), records::BuildCustomerKey(wanted, 2), 2, customer, ref);
}

void RequireCustomer(const std::string& number) {
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  records::CustomerRec customer{};
  storage::IsamRecRef ref = 0;
  if (!file.Open() || !ReadInvoiceCustomer(number, customer, ref))
    throw std::runtime_error("Customer " + TrimBlanks(number) + " was not found. The invoice was not saved.");
}

// The customer's balance, last invoice, last payment and aging bucket.
void PostToCustomer(const records::InvoiceRec& header, const EnteredInvoice& invoice, const QDate& date,
                    Cents due) {
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  records::CustomerRec customer{};
  storage::IsamRecRef ref = 0;
  if (!file.Open() || !ReadInvoiceCustomer(header.InvCustomerNo.Get(), customer, ref)) return;
  const records::CustomerRec before = customer;
  customer.CustBalance.Set(platform::text::AmountText(StoredCents(customer.CustBalance.Get()) + due));
  customer.LastInvoice.Set(header.InvoiceNo.Get());
  if (StoredCents(invoice.Paid) > 0) customer.LastPayment.Set(invoice.Date);
  const int limits[3] = {AgingLimit(CurrentCompany.AgingDays1), AgingLimit(CurrentCompany.AgingDays2),
                         AgingLimit(CurrentCompany.AgingDays3)};
  int days = static_cast<int>(date.daysTo(platform::text::Today()));
  records::ShortString<10>* buckets[] = {&customer.CustAging1, &customer.CustAging2, &customer.CustAging3,
                                         &customer.CustAging4};
  records::ShortString<10>& bucket = *buckets[AgingBucket(days, limits)];
  bucket.Set(platform::text::AmountText(StoredCents(bucket.Get()) + due));
  if (records::UpdateCustomerRecord(customer, before, ref)) records::SelectedCustomer = customer;
  if (CurrentCompany.NewInvoiceToLabelQueue.Get() == "Y" && QueueCustomerLabel) QueueCustomerLabel(customer);
}

// The number the counter continues from: the whole number, or with the month-and-year prefix the
// digits after it. None for a number that is not a plain number.
std::optional<int64_t> CounterValue(const std::string& number) {
  std::string digits = CurrentCompany.InvoiceNumberPrefix.Get() == "Y"
                           ? number.substr(std::min<size_t>(4, number.size()), 5)
                           : number;
  std::optional<int32_t> value = platform::text::TryStrToInt(TrimBlanks(digits));
  if (!value) return std::nullopt;
  return *value;
}

void PostToCompany(const records::InvoiceRec& header, Cents due) {
  std::optional<int64_t> counter = CounterValue(header.InvoiceNo.Get());
  records::UpdateCurrentCompanyRecord([&](records::CompanyRec& company) {
    company.CompanyARBalance.Set(
        platform::text::AmountText(StoredCents(company.CompanyARBalance.Get()) + due));
    if (counter) company.NextInvoiceNumber.Set(std::to_string(*counter + 1));
    company.InvoiceManagerStartNumber.Set(header.InvoiceNo.Get());
  });
}

void AddMemo(const records::InvoiceRec& header, const EnteredInvoice& invoice,
             std::vector<std::string>& answer) {
  records::MemoBuf = records::MemoRec{};
  records::MemoBuf.Number.Set(header.InvoiceNo.Get());
  for (int line = 0; line < records::kMemoLines && line < static_cast<int>(invoice.MemoLines.size());
       ++line) {
    const std::string& text = invoice.MemoLines[static_cast<size_t>(line)];
    records::MemoBuf.Lines[line].Set(text.substr(0, records::kMemoLineWidth));
    if (!TrimBlanks(text).empty()) answer.push_back(text);
  }
  storage::IsamRecRef ref = 0;
  if (!records::AddMemoRecord(ref)) throw std::runtime_error("memo add operation failed");
}

}  // namespace

int AgingBucket(int days, const int (&limits)[3]) {
  if (days <= limits[0]) return 0;
  if (days <= limits[1]) return 1;
  if (days <= limits[2]) return 2;
  return 3;
}

records::InvoiceRec NewInvoiceRecord(const EnteredInvoice& invoice) {
  QDate date = InvoiceDate(invoice);
  records::InvoiceRec r{};
  r.InvoiceNo.Set(UpperCase(invoice.Number).substr(0, 9));
  r.TransactionType.Set("I");
  r.InvoiceDate.Set(invoice.Date);
  r.Month.Set(TwoDigits(date.month()));
  r.Day.Set(TwoDigits(date.day()));
  r.Year.Set(std::to_string(date.year()));
  r.SortDate.Set(platform::text::SortableDate(date));
  r.Notes.Set(invoice.Notes.substr(0, 80));
  r.Terms.Set(invoice.Terms);
  r.StatementComment.Set(invoice.StatementNote);
  r.InvCustomerNo.Set(invoice.CustomerNo);
  r.ShortName.Set(invoice.ShortName);
  r.KeyCode.Set(invoice.KeyCode);
  Cents total = StoredCents(invoice.Total);
  Cents paid = StoredCents(invoice.Paid);
  r.NetAmount.Set(StripCommas(invoice.Net));
  r.TaxAmount.Set(StripCommas(invoice.Tax));
  r.InvTotal.Set(StripCommas(invoice.Total));
  r.InvPaid.Set(StripCommas(invoice.Paid));
  r.ShipTo1.Set(invoice.ShipTo[0]);
  r.ShipTo2.Set(invoice.ShipTo[1]);
  r.ShipTo3.Set(invoice.ShipTo[2]);
  r.ShipTo4.Set(invoice.ShipTo[3]);
  std::string rate = TrimBlanks(invoice.TaxRate);
  r.TaxRate.Set(rate.empty() ? "0" : rate);
  if (total - paid == 0) {
    r.SettledFlag.Set("P");
    r.DatePaid.Set(r.SortDate.Get());
  }
  r.AmountDue.Set(platform::text::AmountText(total - paid));
  r.CompanyNumber.Set(CurrentCompany.CompanyNumber.Get());
  r.Body.Set(invoice.Memo ? "M" : "P");
  return r;
}

PostedInvoice PostNewInvoice(const EnteredInvoice& invoice) {
  records::InvoiceBuf = NewInvoiceRecord(invoice);
  const records::InvoiceRec header = records::InvoiceBuf;
  QDate date = InvoiceDate(invoice);
  Cents due = StoredCents(header.AmountDue.Get());

  RequireCustomer(header.InvCustomerNo.Get());

  PostedInvoice posted;
  posted.AnswerLines = {header.InvCustomerNo.Get(), header.InvoiceNo.Get(), header.InvTotal.Get(),
                        header.InvPaid.Get()};
  if (!records::AddInvoiceRecord(posted.Ref)) throw std::runtime_error("Add operation failed");

  std::vector<EnteredLine> lines = LinesToWrite(invoice);
  posted.LineItems = WriteDetailLines(header, lines, invoice.Memo, posted.AnswerLines);
  TakeOutOfStock(lines);
  PostToCustomer(header, invoice, date, due);
  PostToCompany(header, due);
  if (invoice.Memo) AddMemo(header, invoice, posted.AnswerLines);
  posted.StatusText = "Added invoice " + TrimBlanks(header.InvoiceNo.Get()) + " containing " +
                      std::to_string(posted.LineItems) + " line item(s).";
  return posted;
}

bool WriteAnswerFile(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return platform::files::WriteWholeFile(AnswerFileName, text, nullptr);
}

}  // namespace invoicing
