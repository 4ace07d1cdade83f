#include "reports/invoice_reports.h"

#include <functional>
#include <utility>

#include "platform/text/key_text.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"
#include "reports/report_walk.h"

namespace reports {

using platform::text::TrimBlanks;
using records::InvoiceRec;

namespace {

constexpr int InvoiceDateKey = 3;
constexpr int DatePaidKey = 6;

std::string Type(const InvoiceRec& r) {
  return r.TransactionType.Get();
}
bool HasNumber(const InvoiceRec& r) {
  return !TrimBlanks(r.InvoiceNo.Get()).empty();
}

// A register row of the invoice, the four leading cells given.
std::vector<CellValue> InvoiceRow(const InvoiceRec& r, std::vector<CellValue> leading) {
  return RegisterRow(std::move(leading), r.NetAmount.Get(), r.TaxAmount.Get(), r.InvTotal.Get(), Type(r));
}

// Walks the invoices of the request's range by their invoice date.
void WalkInvoices(const ReportRequest& request, const std::function<void(const InvoiceRec&)>& visit) {
  WalkDateRange(records::InvoiceUnit(), InvoiceDateKey, &InvoiceRec::SortDate, DateRange(request), visit);
}

// The date column of the payment reports: the date paid, or for an invoice that is only partly
// paid (found by its invoice date) its sortable date.
std::string PaymentDate(const InvoiceRec& r, bool byDatePaid) {
  if (byDatePaid) return r.DatePaid.Get();
  const std::string paid = TrimBlanks(r.DatePaid.Get());
  return paid.size() < 5 ? r.SortDate.Get() : paid;
}

// The two passes of the payment reports: the records paid in the range, then the invoices of the
// range that are partly paid (something paid and something still due), deposits excepted.
void WalkPayments(const ReportRequest& request, std::size_t shortestDatePaid,
                  const std::function<void(const InvoiceRec&, bool byDatePaid)>& visit) {
  WalkDateRange(records::InvoiceUnit(), DatePaidKey, &InvoiceRec::DatePaid, DateRange(request),
                [&](const InvoiceRec& r) {
                  if (TrimBlanks(r.DatePaid.Get()).size() < shortestDatePaid) return;
                  if (TrimBlanks(r.InvoiceNo.Get()).size() < 2) return;
                  visit(r, true);
                });
  WalkInvoices(request, [&](const InvoiceRec& r) {
    if (!HasNumber(r) || IsZeroAmount(r.InvPaid.Get()) || IsZeroAmount(r.AmountDue.Get()) || Type(r) == "D")
      return;
    visit(r, false);
  });
}

}  // namespace

ReportOutput CollectInvoiceRegister(const ReportRequest& request) {
  static const ReportShape shape =
      RegisterShape("Invoice Register", {TextColumn("Year/Mo/Dy", 10), TextColumn("Invoice#", 9),
                                         TextColumn("Short Name", 10), TextColumn("Customer#", 8)});
  ReportLines lines(shape, request);
  WalkInvoices(request, [&](const InvoiceRec& r) {
    if (Type(r) == "R" || !HasNumber(r)) return;
    if (IsZeroAmount(r.InvTotal.Get()) && Type(r) != "I") return;
    lines.Add(InvoiceRow(r, {r.SortDate.Get(), r.InvoiceNo.Get(), r.ShortName.Get(), r.InvCustomerNo.Get()}),
              {r.InvoiceNo.Get(), r.ShortName.Get(), r.InvCustomerNo.Get()});
  });
  return lines.Finish();
}

ReportOutput CollectInvoiceKeyCodeInquiry(const ReportRequest& request) {
  static const ReportShape shape =
      RegisterShape("Invoice Key Code Inquiry", {TextColumn("Key Code", 8), TextColumn("Invoice#", 9),
                                                 TextColumn("Short Name", 10), TextColumn("Year/Mo/Dy", 10)});
  ReportLines lines(shape, request);
  WalkInvoices(request, [&](const InvoiceRec& r) {
    if (Type(r) == "R" || !HasNumber(r) || IsZeroAmount(r.InvTotal.Get())) return;
    lines.Add(InvoiceRow(r, {OrNone(r.KeyCode.Get()), r.InvoiceNo.Get(), r.ShortName.Get(), r.SortDate.Get()}),
              {r.InvoiceNo.Get(), r.ShortName.Get(), r.KeyCode.Get()});
  });
  return lines.Finish();
}

ReportOutput CollectTaxReport(const ReportRequest& request) {
  static const ReportShape shape = {
      "Tax Report",
      {TextColumn("Year/Mo/Dy", 10), TextColumn("Invoice#", 9), TextColumn("Tax Rate", 10),
       TextColumn("Customer#", 8), TextColumn("Key Code", 8), AmountColumn("Paid Amount"),
       AmountColumn("Tax Amount"), TextColumn("C", 1)},
      4,
      6,
      5,
      ""};
  ReportLines lines(shape, request);
  const std::string defaultRate = TrimBlanks(records::CurrentCompany.DefaultTaxRate.Get());
  WalkPayments(request, 0, [&](const InvoiceRec& r, bool byDatePaid) {
    std::string rate = TrimBlanks(r.TaxRate.Get());
    if (rate.empty()) rate = defaultRate;
    lines.Add({PaymentDate(r, byDatePaid), r.InvoiceNo.Get(), rate + " %", r.InvCustomerNo.Get(),
               r.KeyCode.Get(), r.InvPaid.Get(), r.TaxAmount.Get(), Type(r)},
              {r.InvoiceNo.Get(), r.InvCustomerNo.Get(), r.KeyCode.Get()});
  });
  return lines.Finish();
}

ReportOutput CollectPaymentRegister(const ReportRequest& request) {
  static const ReportShape shape = {
      "Payment Register",
      {TextColumn("Year/Mo/Dy", 10), TextColumn("Invoice#", 9), TextColumn("Short Name", 10),
       TextColumn("Customer#", 8), AmountColumn("Grand Total"), AmountColumn("Paid Amount"),
       AmountColumn("Balance Due"), TextColumn("C", 1)},
      3,
      6,
      4,
      ""};
  ReportLines lines(shape, request);
  WalkPayments(request, 2, [&](const InvoiceRec& r, bool byDatePaid) {
    lines.Add({PaymentDate(r, byDatePaid), r.InvoiceNo.Get(), r.ShortName.Get(), r.InvCustomerNo.Get(),
               r.InvTotal.Get(), r.InvPaid.Get(), r.AmountDue.Get(), Type(r)},
              {r.InvoiceNo.Get(), r.ShortName.Get(), r.InvCustomerNo.Get()});
  });
  return lines.Finish();
}

}  // namespace reports
