#include "exchange/account_import.h"

#include <algorithm>
#include <map>

#include "platform/text/key_text.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "records/system_reason.h"
#include "records/vendor_file.h"
#include "records/vendor_rec.h"
#include "storage/isam.h"

namespace exchange {

using platform::text::TrimBlanks;
using records::CustomerRec;
using records::VendorRec;

namespace {

// The parts of a kind that follow from where its record keeps each field.
void SetColumns(AccountImportKind& k, TextField phone1, TextField phone2, TextField type, TextField sortCode,
                TextField email) {
  k.Columns = {k.Name,        k.Number,      k.Billing[0],  k.Billing[1],  k.Billing[2], k.Billing[3],
               k.Shipping[0], k.Shipping[1], k.Shipping[2], k.Shipping[3], phone1,       phone2,
               type,          k.ShortName,   sortCode,      email};
}

// "0.00" for the balance, the 10-character amount at byte 111 and the four aging amounts; "N"
// for the tax-exempt, notes and hold options.
void SetDefaults(AccountImportKind& k, TextField balance, TextField amount111, std::array<TextField, 4> aging,
                 std::array<TextField, 4> options) {
  k.Defaults.emplace_back(balance, "0.00");
  k.Defaults.emplace_back(amount111, "0.00");
  for (const TextField& amount : aging) k.Defaults.emplace_back(amount, "0.00");
  for (const TextField& option : options) k.Defaults.emplace_back(option, "N");
}

}  // namespace

const AccountImportKind& CustomerImportKind() {
  using R = CustomerRec;
  static const AccountImportKind kind = [] {
    AccountImportKind k;
    k.Posting = "the import of customers";
    k.Unit = records::CustomerUnit;
    k.Number = FieldOf(&R::CustomerNo);
    k.Name = FieldOf(&R::CustomerName);
    k.ShortName = FieldOf(&R::ShortName);
    k.Billing = {FieldOf(&R::CustBillTo1), FieldOf(&R::CustBillTo2), FieldOf(&R::CustBillTo3),
                 FieldOf(&R::CustBillTo4)};
    k.Shipping = {FieldOf(&R::ShipTo1), FieldOf(&R::ShipTo2), FieldOf(&R::ShipTo3), FieldOf(&R::ShipTo4)};
    SetColumns(k, FieldOf(&R::Phone1), FieldOf(&R::Phone2), FieldOf(&R::CustomerType),
               FieldOf(&R::MailSortCode), FieldOf(&R::CustEMail));
    SetDefaults(
        k, FieldOf(&R::CustBalance), FieldOf(&R::CreditLimit),
        {FieldOf(&R::CustAging1), FieldOf(&R::CustAging2), FieldOf(&R::CustAging3), FieldOf(&R::CustAging4)},
        {FieldOf(&R::TaxExempt), FieldOf(&R::NotesOnInvoice), FieldOf(&R::NotesOnStatement),
         FieldOf(&R::CreditHold)});
    k.Terms = FieldOf(&R::PaymentTerms);
    k.TermsText = [] { return records::CurrentCompany.DefaultInvoiceTerms.Get(); };
    k.CompanyCounter = FieldOf(&records::CompanyRec::NextCustomerNumber);
    k.Counter = records::CustomerNumberCounter;
    return k;
  }();
  return kind;
}

const AccountImportKind& VendorImportKind() {
  using R = VendorRec;
  static const AccountImportKind kind = [] {
    AccountImportKind k;
    k.Posting = "the import of vendors";
    k.Unit = records::VendorUnit;
    k.Number = FieldOf(&R::VendorNo);
    k.Name = FieldOf(&R::VendorName);
    k.ShortName = FieldOf(&R::ShortName);
    k.Billing = {FieldOf(&R::OrderAddr1), FieldOf(&R::OrderAddr2), FieldOf(&R::OrderAddr3),
                 FieldOf(&R::OrderAddr4)};
    k.Shipping = {FieldOf(&R::ShipTo1), FieldOf(&R::ShipTo2), FieldOf(&R::ShipTo3), FieldOf(&R::ShipTo4)};
    SetColumns(k, FieldOf(&R::Phone1), FieldOf(&R::Phone2), FieldOf(&R::VendorType),
               FieldOf(&R::MailSortCode), FieldOf(&R::VendEMail));
    // The vendor record keeps the customer record's places; the 10-character amount at byte 111
    // is no field of its own there.
    SetDefaults(
        k, FieldOf(&R::Balance), TextField{offsetof(R, Reserved111), 10},
        {FieldOf(&R::Amount1), FieldOf(&R::Amount2), FieldOf(&R::Amount3), FieldOf(&R::Amount4)},
        {FieldOf(&R::TaxExempt), FieldOf(&R::NotesOnPO), FieldOf(&R::SecondNotesFlag), FieldOf(&R::Hold)});
    k.Terms = FieldOf(&R::POTerms);
    k.TermsText = [] { return std::string(" "); };
    k.CompanyCounter = FieldOf(&records::CompanyRec::NextVendorNumber);
    k.Counter = records::VendorNumberCounter;
    return k;
  }();
  return kind;
}

std::string DerivedShortName(const std::string& name) {
  const std::size_t blank = name.find(' ');
  if (blank == std::string::npos) return name.substr(0, 10);
  return name.substr(0, 1) + name.substr(blank + 1, 9);
}

namespace {

std::string Cell(const ImportRow& row, int column) {
  return column < static_cast<int>(row.size()) ? row[column] : std::string();
}

// One past the larger of the company's next number and the largest number on file (an empty
// counter counts as 1). The company record in memory is left as it is stored: the import writes
// the counter only once its records are added. Throws records::FileUnusable when a number on
// file cannot be read: a seed below it would repeat it.
int64_t CounterSeed(const AccountImportKind& kind, storage::DataFileUnit& unit) {
  const std::string next = TrimBlanks(kind.CompanyCounter.Get(&records::CurrentCompany));
  int64_t largest = next.empty() ? 1 : LeadingNumber(next).value_or(0);
  RecordImage record(unit.Kind().RecordLength);
  storage::IsamKeyStr key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(unit.File(), kind.NumberKey, ref, key);
  while (storage::IsamOK) {
    storage::IsamGetRec(unit.File(), ref, record.data(), record.size());
    if (!storage::IsamOK) records::ThrowFileUnusable(unit);
    largest = std::max(largest, LeadingNumber(kind.Number.Get(record.data())).value_or(0));
    storage::IsamNextKey(unit.File(), kind.NumberKey, ref, key);
  }
  if (!records::IsEndOfWalk()) records::ThrowFileUnusable(unit);
  storage::IsamOK = true;
  return largest + 1;
}

void NumberRecord(const AccountImportKind& kind, RecordImage& record, TakenKeys& numbers, int64_t& counter) {
  const std::string given = kind.Number.Get(record.data());
  if (TrimBlanks(given).empty()) {
    // A number past the field would be cut to a shorter one, below those given before it.
    TakeNextFree(record, kind.Number, numbers, counter, [&kind](int64_t value) {
      records::RequireFits(kind.Counter, value, "Nothing was imported.");
      return std::to_string(value);
    });
    return;
  }
  if (numbers.Taken(record) && given.size() < kind.Number.Capacity)
    kind.Number.Set(record.data(), given + "B");
  numbers.Take(record);
}

// The last suffix attempt given to each name and number in this run: the attempts before it are
// all taken, so the next row of the same name and number goes on from there.
using LastAttempts = std::map<std::pair<std::string, std::string>, int>;

// A taken name becomes name + " " + number, the name cut so that the whole stays within the
// name's key; should that be taken too, "-2", "-3", ... follow the number.
void NameRecord(const AccountImportKind& kind, storage::DataFileUnit& unit, RecordImage& record,
                TakenKeys& names, LastAttempts& lastAttempts) {
  if (!names.Taken(record)) {
    names.Take(record);
    return;
  }
  const std::string name = TrimBlanks(kind.Name.Get(record.data()));
  const std::string number = TrimBlanks(kind.Number.Get(record.data()));
  const std::size_t keyWidth = unit.Kind().Keys.at(kind.NameKey - 1).Length;
  int& attempt = lastAttempts[{name, number}];
  do {
    ++attempt;
    const std::string suffix = " " + number + (attempt == 1 ? "" : "-" + std::to_string(attempt));
    const std::size_t room = keyWidth > suffix.size() ? keyWidth - suffix.size() : 0;
    kind.Name.Set(record.data(), TrimBlanks(TrimBlanks(name.substr(0, room)) + suffix));
  } while (names.Taken(record));
  names.Take(record);
}

RecordImage AccountRecord(const AccountImportKind& kind, const ImportRow& row, bool forceShip) {
  RecordImage record(kind.Unit().Kind().RecordLength);
  for (int column = 0; column < ImportColumns; ++column)
    kind.Columns[column].Set(record.data(), Cell(row, column));
  if (forceShip)
    for (std::size_t line = 0; line < kind.Shipping.size(); ++line)
      kind.Shipping[line].Set(record.data(), kind.Billing[line].Get(record.data()));
  for (const auto& [field, text] : kind.Defaults) field.Set(record.data(), text);
  kind.Terms.Set(record.data(), kind.TermsText());
  return record;
}

ImportResult AppendAccounts(const AccountImportKind& kind, const std::vector<ImportRow>& rows, bool forceShip,
                            const ImportProgress& progress) {
  storage::DataFileUnit& unit = kind.Unit();
  int64_t counter = CounterSeed(kind, unit);
  TakenKeys numbers(unit, kind.NumberKey);
  TakenKeys names(unit, kind.NameKey);
  LastAttempts lastAttempts;
  ImportResult result;
  for (const ImportRow& row : rows) {
    RecordImage record = AccountRecord(kind, row, forceShip);
    NumberRecord(kind, record, numbers, counter);
    NameRecord(kind, unit, record, names, lastAttempts);
    if (TrimBlanks(kind.ShortName.Get(record.data())).empty())
      kind.ShortName.Set(record.data(), DerivedShortName(kind.Name.Get(record.data())));
    AppendImported(unit, record, result);
    ReportProgress(progress, result.Added, static_cast<int>(rows.size()));
  }
  records::RequireDone(records::UpdateCurrentCompanyRecord([&](records::CompanyRec& company) {
                         kind.CompanyCounter.Set(&company,
                                                 records::CounterTextAfter(kind.Counter, counter - 1));
                       }),
                       "The company's next number could not be saved.");
  return result;
}

}  // namespace

ImportResult ImportAccounts(const AccountImportKind& kind, const std::vector<ImportRow>& rows, bool forceShip,
                            const ImportProgress& progress) {
  return RunImportPosting(kind.Posting, [&] { return AppendAccounts(kind, rows, forceShip, progress); });
}

}  // namespace exchange
