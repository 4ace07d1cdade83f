#pragma once
// A purchase order of the PO header file made into the document buffer, and sent on: to the view
// window, the printer (the order, then the company's file copies) or e-mail. Everything is
// computed from the stored records; nothing is written here (the printer and the e-mail
// composer mark the PO printed afterwards). The PO header, detail and memo files must be open
// (the PO Manager holds them); the vendor file is opened around the read unless a window holds
// it. Receipt records booked against the PO's lines are never part of the document.

#include <cstdint>
#include <string>

namespace purchasing {

// The PO to build, and how the PO Manager's actions want it sent.
extern std::string POToPrint;
extern uint8_t POPrintMode;  // 0 show the view window; 1 print or e-mail
extern uint8_t POBatchRun;   // 1 while the batch print runs
// Fills DocHeader, DocLines, DocAging (the vendor's four amounts), DocPOExtras, DocMemoItem and
// POMemoMode (po_entry.h) for the PO number, and reads its vendor into VendorBuf. The amounts are the sums
// over every header of the number, the other fields those of the last. False, with the buffer
// left as it was, when no header carries the number; throws records::FileUnusable when a file it
// reads cannot be opened or read.
bool FillPODocument(const std::string& number);

// Builds POToPrint and sends it as POPrintMode and the main window's output choice say. False,
// after saying so, when the PO is not on file or a file it reads cannot be read (nothing is
// shown, printed or sent then).
bool BuildPODocument();

}  // namespace purchasing
