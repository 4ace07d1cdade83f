#include "reports/receivables_report.h"

#include <cmath>

#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"
#include "reports/report_walk.h"

namespace reports {

using platform::text::TrimBlanks;
using records::InvoiceRec;

namespace {

constexpr int TypeAndNumberKey = 5;
constexpr int DatePaidKey = 6;

int AgingLimit(const records::ShortString<3>& days) {
  return platform::text::StrToInt(TrimBlanks(days.Get()));
}

// The record's date: its sortable copy, which does not depend on the date order of the day; the
// date as typed only when that copy is damaged.
QDate ItemDate(const InvoiceRec& r) {
  if (std::optional<QDate> date = platform::text::ParseSortableDate(r.SortDate.Get())) return *date;
  if (std::optional<QDate> date = platform::text::TryStrToDate(r.InvoiceDate.Get())) return *date;
  throw platform::text::ConvertError("'" + r.InvoiceDate.Get() + "' is not a valid date");
}

}  // namespace

int AgeInDays(const QDate& day, const QDateTime& now) {
  const double days = day.daysTo(now.date()) + now.time().msecsSinceStartOfDay() / 86400000.0;
  return static_cast<int>(std::trunc(days));
}

std::string AgingCategory(int ageDays, const records::CompanyRec& company) {
  const int d1 = AgingLimit(company.AgingDays1);
  const int d2 = AgingLimit(company.AgingDays2);
  const int d3 = AgingLimit(company.AgingDays3);
  // Tested in this order, a later test overriding an earlier one (limits that do not ascend).
  std::string category;
  if (ageDays <= d1) category = TrimBlanks(company.AgingCaption1.Get());
  if (ageDays > d1 && ageDays <= d2) category = TrimBlanks(company.AgingCaption2.Get());
  if (ageDays > d2 && ageDays <= d3) category = TrimBlanks(company.AgingCaption3.Get());
  if (ageDays > d3) category = ("Over " + TrimBlanks(company.AgingDays3.Get())).substr(0, 10);
  return category;
}

ReportOutput CollectAccountsReceivable(const ReportRequest& request) {
  static const ReportShape shape = {
      "A/R",
      {TextColumn("Category", 10), TextColumn("Invoice#", 9), TextColumn("Short Name", 10),
       TextColumn("Customer#", 8), NumberTextColumn("Aging"), NumberTextColumn("Year/Mo/Dy"),
       AmountColumn("Balance Due"), TextColumn("C", 1)},
      5,
      5,
      6,
      "All unpaid records selected."};
  const records::CompanyRec& company = records::CurrentCompany;
  ReportLines lines(shape, request);
  auto addItem = [&](const InvoiceRec& r) {
    const int age = AgeInDays(ItemDate(r), request.Now);
    lines.Add({AgingCategory(age, company), r.InvoiceNo.Get(), r.ShortName.Get(), r.InvCustomerNo.Get(),
               std::to_string(age) + " Days", r.SortDate.Get(), r.AmountDue.Get(), r.TransactionType.Get()},
              {r.InvoiceNo.Get(), r.ShortName.Get(), r.InvCustomerNo.Get()});
  };
  ReportFile file(records::InvoiceUnit());
  // Unpaid invoices: their date paid is blank, so their key 6 entries come first.
  InvoiceRec unpaid{};
  unpaid.DatePaid.Set(std::string(10, ' '));
  WalkKey<InvoiceRec>(
      file, DatePaidKey, records::BuildInvoiceKey(unpaid, DatePaidKey),
      [](const storage::IsamKeyStr& key) { return key.size() >= 2 && key[0] == ' ' && key[1] == ' '; },
      [&](const InvoiceRec& r) {
        if (r.TransactionType.Get() != "R" && !TrimBlanks(r.InvoiceNo.Get()).empty()) addItem(r);
      });
  // Open deposits, by type "D" and number.
  InvoiceRec deposits{};
  deposits.TransactionType.Set("D");
  WalkKey<InvoiceRec>(
      file, TypeAndNumberKey, records::BuildInvoiceKey(deposits, TypeAndNumberKey),
      [](const storage::IsamKeyStr& key) { return !key.empty() && key[0] == 'D'; },
      [&](const InvoiceRec& r) {
        if (!TrimBlanks(r.InvoiceNo.Get()).empty() && r.SettledFlag.Get() != "P") addItem(r);
      });
  return lines.Finish();
}

bool StoredReceivablesAreZero() {
  records::CompanyRec wanted;
  wanted.CompanyNumber.Set(TrimBlanks(records::CurrentCompany.CompanyNumber.Get()));
  ReportFile list(records::CompanyUnit());
  records::CompanyRec stored;
  return FindRecord(list, 1, records::BuildCompanyKey(wanted, 1), stored) &&
         AmountOf(stored.CompanyARBalance.Get()) == 0.0;
}

}  // namespace reports
