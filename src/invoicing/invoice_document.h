#pragma once
// An invoice of the invoice file made into the document buffer, and sent on: to the view
// window, the printer (invoice, packing slip, file copies, or the narrow receipt layout) or
// e-mail. Everything is computed from the stored records; nothing is written here (the printers
// and the e-mail composer mark the invoice printed afterwards). The invoice, detail and memo
// files must be open (the Invoice Manager holds them); the customer file is opened around the
// read unless a window holds it.

#include <cstdint>
#include <functional>
#include <string>

namespace invoicing {

// The invoice to build, and how the Invoice Manager's actions want it sent.
extern std::string PrintInvoiceNo;
extern uint8_t InvoicePrintDirect;  // 0 show the view window; 1 print or e-mail
extern uint8_t PackingSlipOnly;     // 1 the caller prints a packing slip itself
extern uint8_t BatchPrintActive;    // 1 while the batch print runs

// True when the main window's output mode is e-mail (forms::EMailOutputChosen).
bool EMailOutputMode();

// Fills DocHeader, DocLines, DocAging, DocMemoItem and MemoInvoiceFlag for the invoice number.
// The header is the invoice's own record (type I, Z, G or M; the last record of the number when
// it has none of these); the amounts are the sums over every record of the number. False, with
// the buffer left as it was, when no record carries the number; throws records::FileUnusable when
// a file it reads cannot be opened or read.
bool FillInvoiceDocument(const std::string& number);

// Builds PrintInvoiceNo and sends it as the flags say. Returns the status text the Invoice
// Manager shows afterwards ("Invoice ... sent to printer."), empty when there is none. A file it
// reads that cannot be read is said, and nothing is shown, printed or sent.
std::string BuildInvoiceDocument();

}  // namespace invoicing
