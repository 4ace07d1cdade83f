#pragma once
// The Customer Manager's printouts: the customer sheet (one customer on one page, in the report
// font) and the envelope's recipient.

#include <QDateTime>
#include <array>
#include <string>

#include "forms/address_printouts.h"
#include "platform/print/printer.h"
#include "records/company_rec.h"
#include "records/customer_rec.h"
#include "records/font_rec.h"

namespace customers {

// Prints the customer sheet titled "Print: " + name; the last line says when it was printed.
void PrintCustomerSheet(const records::CustomerRec& customer, const records::CompanyRec& company,
                        const records::FontRec& reportFont, const QDateTime& now,
                        platform::print::TPrinter& printer = platform::print::Printer());

// The shipping address when the company addresses envelopes to it ("S"), else the billing one;
// printed by forms::PrintEnvelope.
forms::EnvelopeAddress CustomerEnvelopeAddress(const records::CustomerRec& customer,
                                               const records::CompanyRec& company);

}  // namespace customers
