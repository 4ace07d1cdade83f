#pragma once
// A customer's statement: the customer's records of the invoice file (invoices, payments,
// deposits, repeat billing) with their totals and the customer's aging amounts. It is built once
// into Statement and the statement globals; the Customer Statement window shows it, and the
// printer and the e-mail composer read it from there, never from the files again.
//
// Statement.Rows: row 0 the column captions, then one row per record in date order, then the
// totals row. Columns: date, invoice number, reference or comment, total, paid, balance due,
// transaction type.

#include <array>
#include <string>
#include <vector>

#include "records/customer_rec.h"

namespace documents {

inline constexpr int StatementColumns = 7;
using StatementRow = std::array<std::string, StatementColumns>;

struct TStatementData {
  std::array<std::string, 5> Account;  // name and billing lines 1-4
  std::string CustomerNo;
  records::CustomerRec Customer{};  // as read when the statement was built
  std::vector<StatementRow> Rows;
  int RecordCount() const { return Rows.size() < 2 ? 0 : static_cast<int>(Rows.size()) - 2; }
};

extern TStatementData Statement;
extern std::string StmtCustomerNo;            // the customer to build, set by the caller
extern bool StmtUnpaidOnly;                   // list only what is still owed
extern bool BatchStatementActive;             // a batch run is building statements
extern std::array<std::string, 4> StmtAging;  // ",0.00", cut to 12 characters
extern std::string StmtEmail;
extern std::string StmtNotes;
extern std::string StmtShowNotes;

// The statement built last as a message names it: "The statement of Acme Tools".
std::string StatementDocumentName();

// The text shown for a record whose statement comment is blank.
std::string StatementTypeText(const std::string& transactionType);

// Builds the statement of StmtCustomerNo. False, with Statement emptied, when no customer has
// exactly that number. A stored amount that is not a number raises the conversion error; a
// customer or invoice file that is there and cannot be opened or read raises
// records::FileUnusable, with Statement emptied: no statement is ever built from part of them.
bool BuildCustomerStatement();

}  // namespace documents
