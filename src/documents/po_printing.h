#pragma once
// Printing the purchase order held in the document buffer on a full page: the PO itself
// (DocMode "PO") or a file copy ("FCP", printed after it without rebuilding the buffer and
// keeping the PO's job title). After the job the PO is marked printed unless the buffer says it
// was printed before.

#include <functional>
#include <string>

#include "platform/print/printer.h"

namespace documents {

// Marks the PO header records of a PO number (trimmed) printed: every record of that number (key 1 of
// the open PO file) whose status letter is "O" gets the printed flag "Y" and is rewritten in place.
// Tests put a recorder in its place.
extern std::function<void(const std::string& poNumber)> MarkPOHeaderPrinted;

// Raises what the page frame raises; the job is then aborted and nothing is marked printed.
// Refused (DocumentRefused) before anything is printed while a posting waits to be undone.
void PrintPurchaseOrder(platform::print::TPrinter& printer = platform::print::Printer());

}  // namespace documents
