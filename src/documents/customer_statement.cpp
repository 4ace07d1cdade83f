#include "documents/customer_statement.h"

#include <algorithm>

#include "documents/document_buffer.h"
#include "platform/text/amount.h"
#include "platform/text/collation.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/record_file.h"
#include "reports/report_walk.h"

namespace documents {

using platform::text::Cents;
using platform::text::FormatAmount;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;

TStatementData Statement;
std::string StmtCustomerNo;
bool StmtUnpaidOnly = false;
bool BatchStatementActive = false;
std::array<std::string, 4> StmtAging;
std::string StmtEmail;
std::string StmtNotes;
std::string StmtShowNotes;

namespace {

StatementRow CaptionRow() {
  std::string order = CurrentCompany.DateOrder.Get();
  std::string date = order == "D" ? "Dy/Mo/Year" : "Mo/Dy/Year";
  return {date, "Invoice#", "Reference/Comment", "Total Amount", "Paid Amount", "Balance Due", "C"};
}

struct Sums {
  Cents Total = 0, Paid = 0, Due = 0;
};

// The record's row, its amounts added to the sums. In unpaid-only mode an invoice with payment
// records shows (and counts) what has been paid of it: its total less what is still due.
StatementRow RecordRow(const records::InvoiceRec& r, Sums& sums) {
  std::string type = r.TransactionType.Get();
  Cents total = StoredAmountCents(r.InvTotal.Get());
  Cents paid = StoredAmountCents(r.InvPaid.Get());
  Cents due = StoredAmountCents(r.AmountDue.Get());
  if (StmtUnpaidOnly && type == "Z") paid = total - due;
  sums.Total += total;
  sums.Paid += paid;
  sums.Due += due;
  std::string comment =
      TrimBlanks(r.StatementComment.Get()).empty() ? StatementTypeText(type) : r.StatementComment.Get();
  return {r.SortDate.Get(),   r.InvoiceNo.Get(), comment, FormatAmount(total),
          FormatAmount(paid), FormatAmount(due), type};
}

bool Listed(const records::InvoiceRec& r) {
  if (!StmtUnpaidOnly) return true;
  return r.TransactionType.Get() != "R" && StoredAmountCents(r.AmountDue.Get()) != 0;
}

// Date order, and within one date the invoice number as text, cell by cell in the collation of
// the user's locale, case ignored.
void SortByDate(std::vector<StatementRow>& rows) {
  const platform::text::CaselessCollation collation;
  std::stable_sort(rows.begin(), rows.end(), [&](const StatementRow& a, const StatementRow& b) {
    for (std::size_t cell = 0; cell < a.size(); ++cell)
      if (const int byCell = collation.Compare(a[cell], b[cell])) return byCell < 0;
    return false;
  });
}

bool ReadStatementCustomer(records::CustomerRec& customer) {
  records::CustomerRec wanted{};
  wanted.CustomerNo.Set(StmtCustomerNo);
  storage::IsamRecRef ref = 0;
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  return records::ThereToRead(file, records::CustomerUnit()) &&
         records::ReadIfOnFile(records::CustomerUnit(), records::BuildCustomerKey(wanted, 2), 2, customer,
                               ref);
}

// The rows of the customer's records, in key order, their amounts added to the sums.
std::vector<StatementRow> CustomerRows(Sums& sums) {
  std::vector<StatementRow> rows;
  records::FileForAction action(records::InvoiceFile, records::OpenInvoiceFile);
  if (!records::ThereToRead(action, records::InvoiceUnit())) return rows;
  reports::ReportFile file(records::InvoiceUnit());
  const std::string wanted = UpperCase(TrimBlanks(StmtCustomerNo));
  records::InvoiceRec probe{};
  probe.InvCustomerNo.Set(StmtCustomerNo);
  reports::WalkKey<records::InvoiceRec>(
      file, 2, records::BuildInvoiceKey(probe, 2),
      [&](const storage::IsamKeyStr& key) { return UpperCase(TrimBlanks(key)) == wanted; },
      [&](const records::InvoiceRec& record) {
        if (Listed(record)) rows.push_back(RecordRow(record, sums));
      });
  return rows;
}

// What the printer and the e-mail read of the customer beside the statement.
void TakeCustomerTexts(const records::CustomerRec& c) {
  StmtEmail = c.CustEMail.Get();
  StmtShowNotes = c.NotesOnStatement.Get();
  StmtNotes = c.CustNotes.Get();
  const records::ShortString<10>* aging[] = {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4};
  for (std::size_t i = 0; i < 4; ++i)
    StmtAging[i] = FormatAmount(StoredAmountCents(aging[i]->Get())).substr(0, 12);
}

constexpr std::pair<std::string_view, std::string_view> TypeTexts[] = {{"I", "Invoice"},
                                                                       {"X", "Partial Payment Made"},
                                                                       {"Z", "Partial Payment Invoice"},
                                                                       {"D", "Deposit on Account"},
                                                                       {"T", "Deposit Offset Applied"},
                                                                       {"G", "Repeat Billing"},
                                                                       {"R", "Repeat Master"}};

}  // namespace

std::string StatementDocumentName() {
  return "The statement of " + TrimBlanks(Statement.Account[0]);
}

std::string StatementTypeText(const std::string& transactionType) {
  for (const auto& [type, text] : TypeTexts)
    if (transactionType == type) return std::string(text);
  return {};
}

bool BuildCustomerStatement() {
  Statement = TStatementData{};
  TStatementData built;
  if (!ReadStatementCustomer(built.Customer)) return false;
  const records::CustomerRec& c = built.Customer;
  built.Account = {c.CustomerName.Get(), c.CustBillTo1.Get(), c.CustBillTo2.Get(), c.CustBillTo3.Get(),
                   c.CustBillTo4.Get()};
  built.CustomerNo = StmtCustomerNo;

  Sums sums;
  std::vector<StatementRow> rows = CustomerRows(sums);
  SortByDate(rows);
  std::string order = CurrentCompany.DateOrder.Get();
  for (StatementRow& row : rows) row[0] = DocDateText(row[0].substr(0, 10), order);

  std::string currency = TrimBlanks(CurrentCompany.CurrencySymbol.Get());
  built.Rows.push_back(CaptionRow());
  built.Rows.insert(built.Rows.end(), rows.begin(), rows.end());
  built.Rows.push_back({"", "", "*** Account Totals:", currency + FormatAmount(sums.Total),
                        currency + FormatAmount(sums.Paid), currency + FormatAmount(sums.Due), ""});
  Statement = std::move(built);
  TakeCustomerTexts(Statement.Customer);
  return true;
}

}  // namespace documents
