#pragma once
// The Customer Manager's printouts: the customer sheet (one customer on one page, in the report
// font) and the envelope (in the company's envelope font and positions).

#include <QDateTime>
#include <array>
#include <string>

#include "platform/print/printer.h"
#include "records/company_rec.h"
#include "records/customer_rec.h"
#include "records/font_rec.h"

namespace customers {

// Prints the customer sheet titled "Print: " + name; the last line says when it was printed.
void PrintCustomerSheet(const records::CustomerRec& customer, const records::CompanyRec& company,
                        const records::FontRec& reportFont, const QDateTime& now,
                        platform::print::TPrinter& printer = platform::print::Printer());

// The name and four lines of an envelope's recipient.
using EnvelopeAddress = std::array<std::string, 5>;

// The shipping address when the company addresses envelopes to it ("S"), else the billing one.
EnvelopeAddress CustomerEnvelopeAddress(const records::CustomerRec& customer,
                                        const records::CompanyRec& company);

// Prints one envelope titled "Envelope": the company's return address when it asks for one, and
// the recipient, each where the company's envelope settings put them.
void PrintCustomerEnvelope(const EnvelopeAddress& address, const records::CompanyRec& company,
                           platform::print::TPrinter& printer = platform::print::Printer());

}  // namespace customers
