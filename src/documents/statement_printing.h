#pragma once
// The statement in the Customer Statement window on the printer, one job of one or more pages:
// company and account blocks, the band with the statement date and account number, the records
// in seven columns, the totals row, the message block and the aging strip. Reads only the
// statement built last; marks nothing.

#include "platform/print/printer.h"

namespace documents {

// Raises ConvertError for settings that are not numbers (before the job begins) and the
// printer's errors; the job is then aborted. Refused (DocumentRefused) before anything is printed
// while a posting waits to be undone.
void PrintStatement(platform::print::TPrinter& printer);

}  // namespace documents
