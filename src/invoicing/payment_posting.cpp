#include "invoicing/payment_posting.h"

#include <QString>
#include <stdexcept>

#include "invoicing/date_field.h"
#include "invoicing/invoice_posting.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
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

bool IsDepositItem(const std::string& number) {
  return UpperCase(number).starts_with(DepositPrefix);
}

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

// Rewrites a changed record; the amount its due fell by, none when it could not be written.
std::optional<Cents> RewriteRecord(const InvoiceRec& before, const InvoiceRec& after, IsamRecRef ref) {
  records::InvoiceBuf = after;
  records::RequireDone(records::UpdateInvoiceRecord(before, ref), "Modify operation failed");
  return StoredCents(before.AmountDue.Get()) - StoredCents(after.AmountDue.Get());
}

bool AddRecord(const InvoiceRec& record, const char* failure) {
  records::InvoiceBuf = record;
  IsamRecRef ref = 0;
  records::RequireDone(records::AddInvoiceRecord(ref), failure);
  return true;
}

void NotFound(const PaymentItem& item) {
  platform::ui::ShowMessage(QString::fromStdString(
      "Item " + item.Number + " is not an open item of this customer; it was not posted."));
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
    return AddRecord(r, "Adding deposit failed.") ? item.Amount : 0;
  }

  // Part of an invoice's due: the invoice becomes type Z and a type X record holds the payment.
  Cents Partial(const PaymentItem& item) {
    for (auto& [ref, invoice] : ItemRecords(item.Number, payment_.CustomerNo)) {
      if (Settled(invoice) || !HasType(invoice, "IZG")) continue;
      const Cents due = StoredCents(invoice.AmountDue.Get());
      if (item.Amount > due) {
        platform::ui::ShowMessage(
            QString::fromStdString("The partial payment of " + platform::text::FormatAmount(item.Amount) +
                                   " is more than invoice " + item.Number + " owes; it was not posted."));
        return 0;
      }
      InvoiceRec after = invoice;
      after.AmountDue.Set(AmountText(due - item.Amount));
      if (due == item.Amount) SettleRecord(after, date_);
      after.TransactionType.Set("Z");
      std::optional<Cents> posted = RewriteRecord(invoice, after, ref);
      if (!posted) return 0;
      InvoiceRec x = NewRecord("X", "Partial");
      x.InvoiceNo.Set(invoice.InvoiceNo.Get());
      x.SettledFlag.Set("P");
      for (auto* amount : {&x.NetAmount, &x.TaxAmount, &x.InvTotal, &x.AmountDue}) amount->Set(AmountText(0));
      x.InvPaid.Set(AmountText(item.Amount));
      x.TaxRate.Set(invoice.TaxRate.Get());
      x.Body.Set(invoice.Body.Get());
      AddRecord(x, "Adding partial pmt failed.");
      return *posted;
    }
    NotFound(item);
    return 0;
  }

  // A whole open item: an invoice without a paid amount records the payment itself; otherwise a
  // payment record (type T for a deposit) is written and every open record of the number settled.
  Cents Whole(const PaymentItem& item) {
    const bool deposit = IsDepositItem(item.Number);
    auto records = ItemRecords(item.Number, payment_.CustomerNo);
    auto open = std::find_if(records.begin(), records.end(), [&](const auto& entry) {
      return !Settled(entry.Record) && HasType(entry.Record, deposit ? "D" : "IZG");
    });
    if (open == records.end()) {
      NotFound(item);
      return 0;
    }
    const InvoiceRec& found = open->Record;
    InvoiceRec paid = found;
    SettleRecord(paid, date_);
    if (!payment_.Note.empty()) paid.StatementComment.Set(payment_.Note);
    if (StoredCents(found.InvPaid.Get()) == 0) {
      paid.InvPaid.Set(AmountText(item.Amount));
      return RewriteRecord(found, paid, open->Ref).value_or(0);
    }
    InvoiceRec payment = paid;
    payment.TransactionType.Set(deposit ? "T" : "X");
    StampPaymentDate(payment, payment_.Date, date_);
    payment.InvPaid.Set(AmountText(item.Amount));
    for (auto* amount : {&payment.TaxAmount, &payment.InvTotal, &payment.AmountDue})
      amount->Set(AmountText(0));
    if (!AddRecord(payment, "Adding reg pmt failed.")) return 0;
    Cents posted = 0;
    for (auto& [ref, record] : ItemRecords(item.Number, payment_.CustomerNo)) {
      if (Settled(record)) continue;
      InvoiceRec settled = record;
      SettleRecord(settled, date_);
      settled.TransactionType.Set(deposit ? "D" : "Z");
      posted += RewriteRecord(record, settled, ref).value_or(0);
    }
    return posted;
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

PostedPayment PostPaymentSteps(const Payment& payment) {
  std::optional<QDate> date = platform::text::ParseTypedDate(TrimBlanks(payment.Date), CompanyDateOrder());
  if (!date) throw std::runtime_error("The payment date " + payment.Date + " is not a date.");
  records::FileForAction customers(records::CustomerFile, records::OpenCustomerFile);
  records::CustomerRec customer{};
  IsamRecRef customerRef = 0;
  RequireInvoiceCustomer(customers.Open(), payment.CustomerNo, customer, customerRef,
                         " The payment was not posted.");

  PostedPayment result;
  std::string counter = CurrentCompany.NextDepositNumber.Get();
  PaymentWriter writer(payment, customer, *date);
  for (const PaymentItem& item : payment.Items) {
    if (item.Number == NewDepositItem) {
      counter = NextDepositCounter(counter);
      Cents posted = writer.Deposit(item, counter);
      if (posted != 0) result.Deposits.push_back(DepositPrefix + counter);
      result.Posted += posted;
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
