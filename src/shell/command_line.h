#pragma once
// The command-line jobs another program starts: it writes the customer it means into "FILE.TXT"
// (one field a line: number, name, billing lines 1 to 4, e-mail, phone 1, phone 2) and starts the
// program with "/C" (add one invoice for that customer, adding the customer first when the
// number is blank; the answer comes back in "CPWIN.TXT") or "/V" (list that customer's
// invoices). Each job ends the program when it is done.

#include <QPlainTextEdit>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/customer_rec.h"

namespace shell {

inline constexpr char JobFileName[] = "FILE.TXT";
inline constexpr char AnswerFileName[] = "CPWIN.TXT";

// The job file's lines, each trimmed of blanks, in memo; false when there is no job file.
bool LoadJobFile(QPlainTextEdit& memo);
// Line `index` of the loaded job file, trimmed; empty beyond its end.
std::string JobLine(const QPlainTextEdit& memo, int index);
// Line 0, the customer number: the whole line trimmed, with any no-break space kept (a line of
// only a no-break space is not blank).
std::string JobCustomerNumber(const QPlainTextEdit& memo);

// The customer of the open company whose number is exactly `number` (compared trimmed and
// upper-cased, never as a prefix); none when there is no such customer.
std::optional<records::CustomerRec> ReadCustomerByNumber(std::string_view number);

// The answer of a job that added no invoice: the customer number, then "***".
void WriteRefusalAnswer(const std::string& customerNumber);

// The two jobs; both end the program but for "/V" without a product file.
void RunCreateInvoiceJob(QPlainTextEdit& memo);
void RunViewInvoicesJob(QPlainTextEdit& memo);

}  // namespace shell
