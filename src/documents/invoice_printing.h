#pragma once
// Printing the invoice held in the document buffer on a full page: the invoice ("INV"), its
// packing slip ("PSL", no prices) or a file copy ("FCP"), chosen by DocMode. After the job the
// invoice's records are marked printed (not for a packing slip, nor when the buffer says the
// invoice was printed before). The invoice file must be open; it is the caller's.

#include <QString>
#include <string>

#include "platform/print/printer.h"

namespace documents {

// Raises what the page frame raises (a setting or amount that is not a number, a logo that is
// no image, a printer failure); the job is then aborted and nothing is marked printed. Refused
// (DocumentRefused) before anything is printed while a posting waits to be undone.
void PrintInvoice(platform::print::TPrinter& printer = platform::print::Printer());

// "Invoice - ", "Packing Slip - " or "File Copy - " by DocMode, with the trimmed number.
QString InvoiceJobTitle();
// The same as a message names it: "Invoice 1004", "Packing slip 1004", "File copy 1004".
std::string InvoiceDocumentName();
// The title of the invoice family by DocMode: a credit (negative balance due) or a repeat-billing
// master on the invoice, else the company's caption for the document. `widthText` is the text
// that centres it (a caption is centred by its trimmed text).
struct DocumentTitle {
  std::string Text, WidthText;
};
DocumentTitle InvoiceTitle();
// True when the amount text of the buffer ("," removed, trimmed) is below zero; an empty text is
// zero, any other text that is not a number raises ConvertError.
bool AmountBelowZero(const std::string& amount);
// True when the tax line is printed: a tax name, or a tax amount that is not zero.
bool ShowsTaxLine();

// After a finished job: marks the records of the buffer's invoice number whose type is "Z",
// "I", "M" or "G" printed, unless the document was a packing slip or printed before.
void MarkInvoicePrintedAfterJob();

}  // namespace documents
