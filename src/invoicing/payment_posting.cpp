#include "invoicing/payment_posting.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "invoicing/date_field.h"
#include "invoicing/invoice_posting.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/record_file.h"
#include "storage/posting_journal.h"

namespace invoicing {

using platform::text::AmountText;
using platform::text::PadLeftBlanks;
using platform::text::PadRightWith;
using platform::text::StripCommas;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;
using records::InvoiceRec;
using storage::IsamRecRef;

namespace {

constexpr size_t NumberWidth = 9;
constexpr size_t DateWidth = 8;
constexpr size_t AmountWidth = 12;
constexpr size_t DateColumn = 10;    // 0-based start of the date column
constexpr size_t AmountColumn = 19;  // 0-based start of the amount column
constexpr size_t FlagColumn = 31;    // 0-based position of the "P"
constexpr char DepositPrefix[] = "DP";

using StoredInvoices = std::vector<records::RecordOnFile<InvoiceRec>>;

// Every record of the open invoice file whose key keyNr is exactly `wanted`, with its reference;
// throws FileUnusable when one cannot be read (a payment worked out from part of them is wrong).
StoredInvoices InvoicesWithKey(int keyNr, const storage::IsamKeyStr& wanted) {
  return records::ReadRecordsWithKey<InvoiceRec>(records::InvoiceFile, keyNr, wanted);
}

StoredInvoices CustomerRecords(const std::string& customerNo) {
  InvoiceRec wanted{};
  wanted.InvCustomerNo.Set(customerNo);
  return InvoicesWithKey(2, records::BuildInvoiceKey(wanted, 2));
}

// The records of one item number that belong to the customer (another customer's invoice may
// carry the same number).
StoredInvoices ItemRecords(const std::string& number, const std::string& customerNo) {
  InvoiceRec wanted{};
  wanted.InvoiceNo.Set(number);
  StoredInvoices records = InvoicesWithKey(1, records::BuildInvoiceKey(wanted, 1));
  const std::string customer = UpperCase(TrimBlanks(customerNo));
  std::erase_if(records, [&](const auto& entry) {
    return UpperCase(TrimBlanks(entry.Record.InvCustomerNo.Get())) != customer;
  });
  return records;
}

bool Settled(const InvoiceRec& r) {
  return r.SettledFlag.Get() == "P";
}

bool HasType(const InvoiceRec& r, std::string_view types) {
  std::string type = r.TransactionType.Get();
  return type.size() == 1 && types.find(type[0]) != std::string_view::npos;
}

// The payment's date in every date field of a record.
void StampPaymentDate(InvoiceRec& r, const std::string& typed, const QDate& date) {
  SetRecordDate(r, typed, date);
  r.DatePaid.Set(platform::text::SortableDate(date));
}

void SettleRecord(InvoiceRec& r, const QDate& date) {
  r.SettledFlag.Set("P");
  r.DatePaid.Set(platform::text::SortableDate(date));
  r.AmountDue.Set(AmountText(0));
}

// Rewrites a changed record (a failure throws); the amount its due fell by.
Cents RewriteRecord(const InvoiceRec& before, const InvoiceRec& after, IsamRecRef ref) {
  records::InvoiceBuf = after;
  records::RequireDone(records::UpdateInvoiceRecord(before, ref), "Modify operation failed");
  return StoredCents(before.AmountDue.Get()) - StoredCents(after.AmountDue.Get());
}

void AddRecord(const InvoiceRec& record, const char* failure) {
  records::InvoiceBuf = record;
  IsamRecRef ref = 0;
  records::RequireDone(records::AddInvoiceRecord(ref), failure);
}

bool IsDeposit(const InvoiceRec& r) {
  return HasType(r, "D");
}

// The open record an item pays: the first unsettled record of its number that it can pay (an
// invoice, or a deposit paid whole: what the record is, not how its number reads, since an
// invoice's number may begin with "DP" too); end() when there is none.
StoredInvoices::iterator OpenRecordOf(StoredInvoices& records, const PaymentItem& item) {
  const char* types = item.Partial ? "IZG" : "IZGD";
  return std::find_if(records.begin(), records.end(), [&](const auto& entry) {
    return !Settled(entry.Record) && HasType(entry.Record, types);
  });
}

[[noreturn]] void RefusePayment(const std::string& why) {
  throw std::runtime_error(why + " The payment was not posted.");
}

std::string Money(Cents amount) {
  return platform::text::FormatAmount(amount);
}

// Works the items through copies of the customer's records before anything is written, so that
// an item the records cannot take as listed (paid meanwhile from another window, or a partial
// payment no longer below what is owed) refuses the whole payment, saying why.
class PaymentCheck {
 public:
  explicit PaymentCheck(const std::string& customerNo) : customerNo_(customerNo) {}

  void Check(const PaymentItem& item) {
    if (item.Number == NewDepositItem) return;
    auto [known, added] = records_.try_emplace(UpperCase(item.Number));
    if (added) known->second = ItemRecords(item.Number, customerNo_);
    auto open = OpenRecordOf(known->second, item);
    if (open == known->second.end())
      RefusePayment("Item " + item.Number + " is not an open item of this customer.");
    InvoiceRec& record = open->Record;
    const Cents due = StoredCents(record.AmountDue.Get());
    if (item.Partial) {
      CheckPartial(item, due);
      record.AmountDue.Set(AmountText(due - item.Amount));
      if (item.Amount == due) record.SettledFlag.Set("P");
      return;
    }
    if (item.Amount != due)
      RefusePayment("Item " + item.Number + " pays " + Money(item.Amount) + ", but " +
                    (IsDeposit(record) ? "deposit " : "invoice ") + item.Number + " owes " +
                    Money(due) + ".");
    record.SettledFlag.Set("P");
  }

 private:
  static void CheckPartial(const PaymentItem& item, Cents due) {
    if (item.Amount > due)
      RefusePayment("The partial payment of " + Money(item.Amount) + " is more than invoice " + item.Number +
                    " owes (" + Money(due) + ").");
    if (item.Amount <= 0 && item.Amount != due)
      RefusePayment("The partial payment of " + Money(item.Amount) + " on invoice " + item.Number +
                    " is not above zero.");
  }

  std::string customerNo_;
  std::map<std::string, StoredInvoices> records_;  // by item number, as the items leave them
};

// The items in the order they are written: every partial payment before the items paid whole,
// so that an invoice's remainder is settled after the parts paid of it, whatever the list order.
std::vector<PaymentItem> PostingOrder(const std::vector<PaymentItem>& items) {
  std::vector<PaymentItem> ordered = items;
  std::stable_partition(ordered.begin(), ordered.end(), [](const PaymentItem& item) { return item.Partial; });
  return ordered;
}

// The open record of an item the check passed; the file changing under the posting undoes it.
StoredInvoices::iterator RequireOpenRecord(StoredInvoices& records, const PaymentItem& item) {
  auto open = OpenRecordOf(records, item);
  if (open == records.end()) throw std::runtime_error("Item " + item.Number + " is no longer open.");
  return open;
}

class PaymentWriter {
 public:
  PaymentWriter(const Payment& payment, const records::CustomerRec& customer, const QDate& date)
      : payment_(payment), customer_(customer), date_(date) {}

  Cents Deposit(const PaymentItem& item, const std::string& counter) {
    InvoiceRec r = NewRecord("D", "Deposit");
    r.InvoiceNo.Set(DepositPrefix + counter);
    r.Body.Set("D");
    r.NetAmount.Set(AmountText(0));
    r.TaxAmount.Set(AmountText(0));
    r.InvTotal.Set(AmountText(0));
    r.InvPaid.Set(AmountText(item.Amount));
    r.AmountDue.Set(AmountText(-item.Amount));
    AddRecord(r, "Adding deposit failed.");
    return item.Amount;
  }

  // Part of an invoice's due: the invoice becomes type Z and a type X record holds the payment.
  Cents Partial(const PaymentItem& item) {
    StoredInvoices records = ItemRecords(item.Number, payment_.CustomerNo);
    const auto& [ref, invoice] = *RequireOpenRecord(records, item);
    const Cents due = StoredCents(invoice.AmountDue.Get());
    InvoiceRec after = invoice;
    after.AmountDue.Set(AmountText(due - item.Amount));
    if (due == item.Amount) SettleRecord(after, date_);
    after.TransactionType.Set("Z");
    const Cents posted = RewriteRecord(invoice, after, ref);
    InvoiceRec x = NewRecord("X", "Partial");
    x.InvoiceNo.Set(invoice.InvoiceNo.Get());
    x.SettledFlag.Set("P");
    for (auto* amount : {&x.NetAmount, &x.TaxAmount, &x.InvTotal, &x.AmountDue}) amount->Set(AmountText(0));
    x.InvPaid.Set(AmountText(item.Amount));
    x.TaxRate.Set(invoice.TaxRate.Get());
    x.Body.Set(invoice.Body.Get());
    AddRecord(x, "Adding partial pmt failed.");
    return posted;
  }

  // A whole open item, whose amount is what its record owes: an invoice without a paid amount
  // records the payment itself; otherwise a payment record (type T for a deposit) is written and
  // the record settled.
  Cents Whole(const PaymentItem& item) {
    StoredInvoices records = ItemRecords(item.Number, payment_.CustomerNo);
    const auto& [ref, found] = *RequireOpenRecord(records, item);
    const bool deposit = IsDeposit(found);
    InvoiceRec paid = found;
    SettleRecord(paid, date_);
    if (!payment_.Note.empty()) paid.StatementComment.Set(payment_.Note);
    if (StoredCents(found.InvPaid.Get()) == 0) {
      paid.InvPaid.Set(AmountText(item.Amount));
      return RewriteRecord(found, paid, ref);
    }
    InvoiceRec payment = paid;
    payment.TransactionType.Set(deposit ? "T" : "X");
    StampPaymentDate(payment, payment_.Date, date_);
    payment.InvPaid.Set(AmountText(item.Amount));
    for (auto* amount : {&payment.TaxAmount, &payment.InvTotal, &payment.AmountDue})
      amount->Set(AmountText(0));
    AddRecord(payment, "Adding reg pmt failed.");
    InvoiceRec settled = found;
    SettleRecord(settled, date_);
    settled.TransactionType.Set(deposit ? "D" : "Z");
    return RewriteRecord(found, settled, ref);
  }

 private:
  InvoiceRec NewRecord(const char* type, const char* keyCode) const {
    InvoiceRec r{};
    r.TransactionType.Set(type);
    r.KeyCode.Set(keyCode);
    StampPaymentDate(r, payment_.Date, date_);
    r.StatementComment.Set(payment_.Note);
    r.InvCustomerNo.Set(customer_.CustomerNo.Get());
    r.ShortName.Set(customer_.ShortName.Get());
    r.CompanyNumber.Set(CurrentCompany.CompanyNumber.Get());
    return r;
  }

  const Payment& payment_;
  const records::CustomerRec& customer_;
  QDate date_;
};

void UpdateCustomer(const std::string& number, Cents posted, const std::string& date) {
  records::CustomerRec customer{};
  IsamRecRef ref = 0;
  RequireInvoiceCustomer(true, number, customer, ref);
  const records::CustomerRec before = customer;
  customer.CustBalance.Set(AmountText(StoredCents(customer.CustBalance.Get()) - posted));
  customer.LastPayment.Set(date);
  std::array<Cents, 4> buckets = AgeCustomerRecords(number);
  records::ShortString<10>* fields[] = {&customer.CustAging1, &customer.CustAging2, &customer.CustAging3,
                                        &customer.CustAging4};
  for (size_t i = 0; i < buckets.size(); ++i) fields[i]->Set(AmountText(buckets[i]));
  records::RequireDone(records::UpdateCustomerRecord(customer, before, ref),
                       "The customer could not be updated.");
  records::SelectedCustomer = customer;
}

}  // namespace

std::string PaymentItemLine(const PaymentItem& item) {
  return PadRightWith(item.Number.substr(0, NumberWidth), ' ', NumberWidth) + " " +
         PadRightWith(item.Date.substr(0, DateWidth), ' ', DateWidth) + " " +
         PadLeftBlanks(platform::text::FormatAmount(item.Amount), ' ', AmountWidth) +
         (item.Partial ? "P" : "");
}

std::optional<PaymentItem> ParsePaymentItemLine(const std::string& line) {
  if (line.size() < AmountColumn + AmountWidth) return std::nullopt;
  std::optional<Cents> amount =
      platform::text::ParseAmount(StripCommas(line.substr(AmountColumn, AmountWidth)));
  if (!amount) return std::nullopt;
  PaymentItem item;
  item.Number = TrimBlanks(line.substr(0, NumberWidth));
  item.Date = line.substr(DateColumn, DateWidth);
  item.Amount = *amount;
  item.Partial = line.size() > FlagColumn && line[FlagColumn] == 'P';
  return item;
}

std::string OpenItemDateColumn(const InvoiceRec& record, char dateOrder) {
  std::string year = record.Year.Get();
  year = year.size() > 2 ? year.substr(year.size() - 2) : year;
  const std::string month = record.Month.Get();
  const std::string day = record.Day.Get();
  if (dateOrder == 'D') return day + "/" + month + "/" + year;
  if (dateOrder == 'Y') return year + "/" + month + "/" + day;
  return month + "/" + day + "/" + year;
}

std::string DepositDateColumn(const std::string& typedDate, char dateOrder) {
  std::string date = PadRightWith(typedDate, ' ', 10);
  if (dateOrder == 'Y') return date.substr(2, 2) + date.substr(4, 6);
  return date.substr(0, 6) + date.substr(8, 2);
}

std::vector<PaymentItem> LoadOpenItems(const std::string& customerNo, char dateOrder) {
  std::vector<PaymentItem> items;
  for (const auto& [ref, r] : CustomerRecords(customerNo)) {
    if (Settled(r) || r.TransactionType.Get() == "R") continue;
    const bool partlyPaid = r.TransactionType.Get() == "Z";
    const Cents due = StoredCents(r.AmountDue.Get());
    if (!partlyPaid && due == 0) continue;
    items.push_back({TrimBlanks(r.InvoiceNo.Get()), OpenItemDateColumn(r, dateOrder), due, partlyPaid});
  }
  return items;
}

std::string NextDepositCounter(const std::string& counter) {
  std::string trimmed = TrimBlanks(counter);
  long long value = trimmed.empty() ? 15000 : platform::text::TryStrToInt(trimmed).value_or(15000);
  ++value;
  if (value > 999998) value = 7000;
  return std::to_string(value);
}

void ReadAgingLimits(int (&limits)[3]) {
  const records::ShortString<3>* days[] = {&CurrentCompany.AgingDays1, &CurrentCompany.AgingDays2,
                                           &CurrentCompany.AgingDays3};
  for (int i = 0; i < 3; ++i) limits[i] = platform::text::TryStrToInt(TrimBlanks(days[i]->Get())).value_or(0);
}

std::array<Cents, 4> AgeCustomerRecords(const std::string& customerNo) {
  int limits[3];
  ReadAgingLimits(limits);
  const QDate today = platform::text::Today();
  std::array<Cents, 4> buckets{};
  for (const auto& [ref, r] : CustomerRecords(customerNo)) {
    if (r.TransactionType.Get() == "R") continue;
    const Cents due = StoredCents(r.AmountDue.Get());
    if (due == 0) continue;
    std::optional<QDate> date = platform::text::ParseSortableDate(r.SortDate.Get());
    if (!date) date = platform::text::ParseTypedDate(TrimBlanks(r.InvoiceDate.Get()), CompanyDateOrder());
    const int days = date ? static_cast<int>(date->daysTo(today)) : 0;
    buckets[static_cast<size_t>(AgingBucket(days, limits))] += due;
  }
  return buckets;
}

namespace {

bool DepositOnFile(const std::string& counter) {
  InvoiceRec wanted{};
  wanted.InvoiceNo.Set(DepositPrefix + counter);
  return !InvoicesWithKey(1, records::BuildInvoiceKey(wanted, 1)).empty();
}

// The counter after `counter` whose deposit number no record holds: once the counter has started
// again at 7000, the numbers after it may be taken.
std::string NextUnusedDepositCounter(std::string counter) {
  constexpr int kNumbers = 999998 - 7000 + 1;
  for (int tried = 0; tried < kNumbers; ++tried) {
    counter = NextDepositCounter(counter);
    if (!DepositOnFile(counter)) return counter;
  }
  throw std::runtime_error("Every deposit number is in use. The payment was not posted.");
}

PostedPayment PostPaymentSteps(const Payment& payment) {
  std::optional<QDate> date = platform::text::ParseTypedDate(TrimBlanks(payment.Date), CompanyDateOrder());
  if (!date) throw std::runtime_error("The payment date " + payment.Date + " is not a date.");
  records::FileForAction customers(records::CustomerFile, records::OpenCustomerFile);
  records::CustomerRec customer{};
  IsamRecRef customerRef = 0;
  RequireInvoiceCustomer(customers.Open(), payment.CustomerNo, customer, customerRef,
                         " The payment was not posted.");

  const std::vector<PaymentItem> items = PostingOrder(payment.Items);
  PaymentCheck check(payment.CustomerNo);
  for (const PaymentItem& item : items) check.Check(item);

  PostedPayment result;
  std::string counter = CurrentCompany.NextDepositNumber.Get();
  PaymentWriter writer(payment, customer, *date);
  for (const PaymentItem& item : items) {
    if (item.Number == NewDepositItem) {
      counter = NextUnusedDepositCounter(counter);
      result.Posted += writer.Deposit(item, counter);
      result.Deposits.push_back(DepositPrefix + counter);
    } else if (item.Partial) {
      result.Posted += writer.Partial(item);
    } else {
      result.Posted += writer.Whole(item);
    }
  }
  UpdateCustomer(payment.CustomerNo, result.Posted, payment.Date);
  records::RequireDone(
      records::UpdateCurrentCompanyRecord([&](records::CompanyRec& company) {
        company.CompanyARBalance.Set(AmountText(StoredCents(company.CompanyARBalance.Get()) - result.Posted));
        company.NextDepositNumber.Set(counter);
      }),
      "The company record could not be updated.");
  return result;
}

}  // namespace

PostedPayment PostPayment(const Payment& payment) {
  return storage::RunPosting("the payment of customer " + TrimBlanks(payment.CustomerNo),
                             [&] { return PostPaymentSteps(payment); }, {"The payment", "posted"});
}

}  // namespace invoicing
