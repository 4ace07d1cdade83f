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
#include "records/number_counter.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "reports/label_queue.h"
#include "storage/posting_journal.h"

namespace invoicing {

using platform::text::Cents;
using platform::text::StripCommas;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;

namespace {

constexpr char AnswerFileName[] = "CPWIN.TXT";

// Appends the text padded with blanks to width (a longer one whole), then the blank between
// columns unless it is the last.
void AppendColumn(std::string& line, std::string_view text, std::size_t width, bool last = false) {
  line += text;
  if (text.size() < width) line.append(width - text.size(), ' ');
  if (!last) line += ' ';
}

std::string AnswerLine(const EnteredLine& line) {
  std::string text;
  text.reserve(84);
  AppendColumn(text, platform::text::TrimmedBlanks(line.Code), 15);
  AppendColumn(text, StripCommas(line.Quantity), 10);
  AppendColumn(text, line.Description, 32);
  AppendColumn(text, StripCommas(line.Price), 10);
  AppendColumn(text, line.Taxable, 1);
  AppendColumn(text, StripCommas(line.Extension), 10, true);
  return text;
}

int WriteDetailLines(const records::InvoiceRec& header, const std::vector<EnteredLine>& lines, bool memo,
                     std::vector<std::string>& answer) {
  int written = 0;
  for (const EnteredLine& line : lines) {
    records::DetailBuf = DetailRecordOf(header, line, memo);
    if (!memo) answer.push_back(AnswerLine(line));
    storage::IsamRecRef ref = 0;
    records::RequireDone(records::AddDetailRecord(ref), "detail add failed.");
    ++written;
  }
  return written;
}

// The quantities sold, taken out of the stock of their products.
records::StockChanges SoldStock(const std::vector<EnteredLine>& lines) {
  records::StockChanges changes;
  for (const EnteredLine& line : lines) AddLineStock(changes, line.Code, line.Quantity, false);
  return changes;
}

// The invoice's customer as read before anything is written, and where it stands.
struct InvoiceCustomer {
  records::CustomerRec Record{};
  storage::IsamRecRef Ref = 0;
};

InvoiceCustomer RequireCustomer(const std::string& number) {
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  InvoiceCustomer customer;
  RequireInvoiceCustomer(file.Open(), number, customer.Record, customer.Ref, " The invoice was not saved.");
  return customer;
}

// The customer's balance, last invoice, last payment and aging bucket, on the customer read by
// RequireCustomer (the update refuses it, as any record, if it changed in the meantime).
void PostToCustomer(const InvoiceCustomer& read, const records::InvoiceRec& header,
                    const EnteredInvoice& invoice, const QDate& date, Cents due) {
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  records::RequireDone(file.Open(), "The customer file could not be opened.");
  const records::CustomerRec& before = read.Record;
  const storage::IsamRecRef ref = read.Ref;
  records::CustomerRec customer = before;
  customer.LastInvoice.Set(header.InvoiceNo.View());
  if (StoredCents(invoice.Paid) > 0) customer.LastPayment.Set(invoice.Date);
  AddToCustomerBalance(customer, due, date);
  records::RequireDone(records::UpdateCustomerFields(customer, before, ref),
                       "The customer could not be updated.");
  records::SelectedCustomer = customer;
  if (CurrentCompany.NewInvoiceToLabelQueue.Get() == "Y")
    storage::WhenPosted([customer] { reports::QueueCustomer(customer); });
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

// Returns the note that tells when the invoice's number ended the counter; empty otherwise.
std::string PostToCompany(const records::InvoiceRec& header, Cents due) {
  std::optional<int64_t> counter = CounterValue(header.InvoiceNo.Get());
  const records::NumberCounter invoices =
      records::InvoiceNumberCounter(CurrentCompany.InvoiceNumberPrefix.Get() == "Y");
  records::RequireDone(records::UpdateCurrentCompanyRecord([&](records::CompanyRec& company) {
                         company.CompanyARBalance.Set(
                             platform::text::AmountText(StoredCents(company.CompanyARBalance.View()) + due));
                         if (counter)
                           company.NextInvoiceNumber.Set(records::CounterTextAfter(invoices, *counter));
                         company.InvoiceManagerStartNumber.Set(header.InvoiceNo.View());
                       }),
                       "The company record could not be updated.");
  return counter && !records::NextWithin(invoices, *counter) ? records::CounterEndedText(invoices, *counter)
                                                             : std::string();
}

void AddMemo(const records::InvoiceRec& header, const EnteredInvoice& invoice,
             std::vector<std::string>& answer) {
  records::MemoBuf = MemoRecordOf(header.InvoiceNo.Get(), invoice.MemoLines);
  for (int line = 0; line < records::kMemoLines && line < static_cast<int>(invoice.MemoLines.size()); ++line)
    if (!TrimBlanks(invoice.MemoLines[static_cast<size_t>(line)]).empty())
      answer.push_back(invoice.MemoLines[static_cast<size_t>(line)]);
  storage::IsamRecRef ref = 0;
  records::RequireDone(records::AddMemoRecord(ref), "memo add operation failed");
}

// The invoice record as the entry form's fields make it, dated on the typed date as read.
records::InvoiceRec InvoiceRecordOn(const EnteredInvoice& invoice, const QDate& date) {
  records::InvoiceRec r{};
  r.InvoiceNo.Set(UpperCase(invoice.Number).substr(0, 9));
  r.TransactionType.Set("I");
  SetRecordDate(r, invoice.Date, date);
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

}  // namespace

records::InvoiceRec NewInvoiceRecord(const EnteredInvoice& invoice) {
  return InvoiceRecordOn(invoice, TypedInvoiceDate(invoice.Date));
}

void HoldInvoicePostingFiles(records::HeldFiles& held) {
  held.Hold(records::CompanyUnit());
  held.Hold(records::CustomerUnit());
  held.Hold(records::ProductUnit());
}

namespace {

PostedInvoice PostNewInvoiceSteps(const EnteredInvoice& invoice) {
  const QDate date = TypedInvoiceDate(invoice.Date);
  records::InvoiceBuf = InvoiceRecordOn(invoice, date);
  const records::InvoiceRec header = records::InvoiceBuf;
  Cents due = StoredCents(header.AmountDue.View());

  const InvoiceCustomer customer = RequireCustomer(header.InvCustomerNo.Get());
  std::vector<EnteredLine> kept;
  const std::vector<EnteredLine>& lines = LinesToWrite(invoice, kept);
  const records::StockPlan sold = records::RequireStockFits(SoldStock(lines), records::StockMove::Sale);

  PostedInvoice posted;
  posted.AnswerLines = {header.InvCustomerNo.Get(), header.InvoiceNo.Get(), header.InvTotal.Get(),
                        header.InvPaid.Get()};
  records::RequireDone(records::AddInvoiceRecord(posted.Ref), "Add operation failed");

  posted.LineItems = WriteDetailLines(header, lines, invoice.Memo, posted.AnswerLines);
  PostStockChanges(sold);
  PostToCustomer(customer, header, invoice, date, due);
  posted.CounterNote = PostToCompany(header, due);
  if (invoice.Memo) AddMemo(header, invoice, posted.AnswerLines);
  posted.StatusText = "Added invoice " + TrimBlanks(header.InvoiceNo.Get()) + " containing " +
                      std::to_string(posted.LineItems) + " line item(s).";
  return posted;
}

}  // namespace

PostedInvoice PostNewInvoice(const EnteredInvoice& invoice) {
  return storage::RunPosting("invoice " + TrimBlanks(invoice.Number),
                             [&] { return PostNewInvoiceSteps(invoice); });
}

bool WriteAnswerFile(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  // The answer file belongs to the posting: what it held before goes to the journal first.
  storage::AllowJournalledSideFile(AnswerFileName);
  if (storage::JournalSideFile(AnswerFileName) &&
      platform::files::WriteWholeFile(AnswerFileName, text, nullptr))
    return true;
  const QString failure = QString("The answer file %1 could not be written.").arg(AnswerFileName);
  if (storage::PostingUnderWay()) throw std::runtime_error(failure.toStdString());
  platform::ui::ShowMessage(failure);
  return false;
}

}  // namespace invoicing
