#pragma once
// The invoice file of the open company (base name: company number + "I"): invoices, payments,
// deposits and repeat-billing masters, one InvoiceRec each.

#include "storage/isam.h"

namespace invoicing {

// The file block of the open company's invoice file.
extern storage::IsamFileBlock InvoiceFile;

// Lets the Find dialog search the invoice file (find mode "Inv").
void AddInvoiceFindMode();

}  // namespace invoicing
