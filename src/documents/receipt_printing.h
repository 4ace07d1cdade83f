#pragma once
// Printing the invoice held in the document buffer on a receipt printer: one narrow column,
// each item on several short lines with its amount at the paper's right edge, no frame, table,
// header box or aging. DocMode chooses the invoice ("INV"), packing slip ("PSL") or file copy
// ("FCP") as on the full page; the invoice's records are marked printed afterwards as there.
// Descriptive lines are cut to 30 characters; amounts are never cut.

#include "platform/print/printer.h"

namespace documents {

// Raises what the full-page invoice raises (a refusal too); the job is then aborted and nothing is
// marked.
void PrintReceipt(platform::print::TPrinter& printer = platform::print::Printer());

}  // namespace documents
