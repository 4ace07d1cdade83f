#pragma once
// The Vendor Manager's printouts: the vendor card (one vendor on one page, in the report font)
// and the envelope's recipient.

#include <QDateTime>

#include "forms/address_printouts.h"
#include "platform/print/printer.h"
#include "records/company_rec.h"
#include "records/font_rec.h"
#include "records/vendor_rec.h"

namespace purchasing {

// Prints the vendor card titled "Print: " + name; its last lines say when it was printed and
// from which company.
void PrintVendorCard(const records::VendorRec& vendor, const records::CompanyRec& company,
                     const records::FontRec& reportFont, const QDateTime& now,
                     platform::print::TPrinter& printer = platform::print::Printer());

// The shipping address when the company addresses envelopes to it ("S"), else the order one;
// printed by forms::PrintEnvelope.
forms::EnvelopeAddress VendorEnvelopeAddress(const records::VendorRec& vendor,
                                             const records::CompanyRec& company);

}  // namespace purchasing
