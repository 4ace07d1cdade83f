#include "exchange/account_import.h"

#include <algorithm>

#include "platform/text/key_text.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "storage/isam.h"

namespace exchange {

using platform::text::TrimBlanks;
using records::CustomerRec;

const AccountImportKind& CustomerImportKind() {
  static const AccountImportKind kind = [] {
    AccountImportKind k;
    k.Unit = records::CustomerUnit;
    k.Number = FieldOf(&CustomerRec::CustomerNo);
    k.Name = FieldOf(&CustomerRec::CustomerName);
    k.ShortName = FieldOf(&CustomerRec::ShortName);
    k.Billing = {FieldOf(&CustomerRec::CustBillTo1), FieldOf(&CustomerRec::CustBillTo2),
                 FieldOf(&CustomerRec::CustBillTo3), FieldOf(&CustomerRec::CustBillTo4)};
    k.Shipping = {FieldOf(&CustomerRec::ShipTo1), FieldOf(&CustomerRec::ShipTo2),
                  FieldOf(&CustomerRec::ShipTo3), FieldOf(&CustomerRec::ShipTo4)};
    k.Columns = {k.Name,
                 k.Number,
                 k.Billing[0],
                 k.Billing[1],
                 k.Billing[2],
                 k.Billing[3],
                 k.Shipping[0],
                 k.Shipping[1],
                 k.Shipping[2],
                 k.Shipping[3],
                 FieldOf(&CustomerRec::Phone1),
                 FieldOf(&CustomerRec::Phone2),
                 FieldOf(&CustomerRec::CustomerType),
                 k.ShortName,
                 FieldOf(&CustomerRec::MailSortCode),
                 FieldOf(&CustomerRec::CustEMail)};
    k.Defaults.emplace_back(FieldOf(&CustomerRec::CustBalance), "0.00");
    for (auto amount : {&CustomerRec::CreditLimit, &CustomerRec::CustAging1, &CustomerRec::CustAging2,
                        &CustomerRec::CustAging3, &CustomerRec::CustAging4})
      k.Defaults.emplace_back(FieldOf(amount), "0.00");
    for (auto option : {&CustomerRec::TaxExempt, &CustomerRec::NotesOnInvoice, &CustomerRec::NotesOnStatement,
                        &CustomerRec::CreditHold})
      k.Defaults.emplace_back(FieldOf(option), "N");
    k.Terms = FieldOf(&CustomerRec::PaymentTerms);
    k.TermsText = [] { return records::CurrentCompany.DefaultInvoiceTerms.Get(); };
    k.CompanyCounter = FieldOf(&records::CompanyRec::NextCustomerNumber);
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

// One past the larger of the company's next number and the largest number on file.
int64_t CounterSeed(const AccountImportKind& kind, storage::DataFileUnit& unit) {
  std::string next = TrimBlanks(kind.CompanyCounter.Get(&records::CurrentCompany));
  if (next.empty()) {
    next = "1";
    kind.CompanyCounter.Set(&records::CurrentCompany, next);
  }
  int64_t largest = LeadingNumber(next).value_or(0);
  RecordImage record(unit.Kind().RecordLength);
  storage::IsamKeyStr key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(unit.File(), kind.NumberKey, ref, key);
  while (storage::IsamOK) {
    storage::IsamGetRec(unit.File(), ref, record.data(), record.size());
    if (storage::IsamOK)
      largest = std::max(largest, LeadingNumber(kind.Number.Get(record.data())).value_or(0));
    storage::IsamNextKey(unit.File(), kind.NumberKey, ref, key);
  }
  storage::IsamOK = true;
  return largest + 1;
}

void NumberRecord(const AccountImportKind& kind, RecordImage& record, TakenKeys& numbers, int64_t& counter) {
  const std::string given = kind.Number.Get(record.data());
  if (TrimBlanks(given).empty()) {
    TakeNextFree(record, kind.Number, numbers, counter, [](int64_t value) { return std::to_string(value); });
    return;
  }
  if (numbers.Taken(record) && given.size() < kind.Number.Capacity)
    kind.Number.Set(record.data(), given + "B");
  numbers.Take(record);
}

// A taken name becomes name + " " + number, the name cut so that the whole stays within the
// name's key; should that be taken too, "-2", "-3", ... follow the number.
void NameRecord(const AccountImportKind& kind, storage::DataFileUnit& unit, RecordImage& record,
                TakenKeys& names) {
  if (!names.Taken(record)) {
    names.Take(record);
    return;
  }
  const std::string name = TrimBlanks(kind.Name.Get(record.data()));
  const std::string number = TrimBlanks(kind.Number.Get(record.data()));
  const std::size_t keyWidth = unit.Kind().Keys.at(kind.NameKey - 1).Length;
  for (int attempt = 1;; ++attempt) {
    const std::string suffix = " " + number + (attempt == 1 ? "" : "-" + std::to_string(attempt));
    const std::size_t room = keyWidth > suffix.size() ? keyWidth - suffix.size() : 0;
    kind.Name.Set(record.data(), TrimBlanks(TrimBlanks(name.substr(0, room)) + suffix));
    if (!names.Taken(record)) break;
  }
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

}  // namespace

ImportResult ImportAccounts(const AccountImportKind& kind, const std::vector<ImportRow>& rows, bool forceShip,
                            const ImportProgress& progress) {
  storage::DataFileUnit& unit = kind.Unit();
  int64_t counter = CounterSeed(kind, unit);
  TakenKeys numbers(unit, kind.NumberKey);
  TakenKeys names(unit, kind.NameKey);
  ImportResult result;
  for (const ImportRow& row : rows) {
    RecordImage record = AccountRecord(kind, row, forceShip);
    NumberRecord(kind, record, numbers, counter);
    NameRecord(kind, unit, record, names);
    if (TrimBlanks(kind.ShortName.Get(record.data())).empty())
      kind.ShortName.Set(record.data(), DerivedShortName(kind.Name.Get(record.data())));
    AppendWithoutKeys(unit, record, result);
    ReportProgress(progress, result.Added + result.Failed, static_cast<int>(rows.size()));
  }
  records::UpdateCurrentCompanyRecord(
      [&](records::CompanyRec& company) { kind.CompanyCounter.Set(&company, std::to_string(counter)); });
  return result;
}

}  // namespace exchange
