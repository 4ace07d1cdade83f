#pragma once
// Adding a purchase order: the entry form is made ready with the company's defaults and shown;
// once it closes with OK the PO is posted through PostNewPO. Printing or e-mailing the new PO
// when its print box is ticked is the PO Manager's print of its current PO.

#include <functional>
#include <string>

#include "purchasing/po_entry.h"

namespace purchasing {

// Makes the form ready for a new PO of the open company: the state of adding, an empty header,
// the last dates typed, the company's signature lines, tax rate, PO kind and ship-to address.
void PreparePOFormForAdd(TPOEdit1& form);

// Adds a PO through the entry form; true when something was written. statusText receives what
// the PO Manager's status panel shows afterwards ("Added PO ... containing ... line item(s).").
// The new header is left in POHeaderBuf for the manager to move its browser to. The PO files are
// opened around the transaction unless the PO Manager holds them. printRequested receives whether
// the form's print box was ticked, for the caller to print or e-mail the new PO.
bool AddPO(std::string* statusText = nullptr, bool* printRequested = nullptr);

}  // namespace purchasing
