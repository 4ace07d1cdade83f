#pragma once
// The invoice file of the open company (base name: company number + "I", record InvoiceRec,
// 544 bytes, six keys that all allow duplicates): invoices, payments, deposits and
// repeat-billing masters. Its routines are the data-file routines over InvoiceFile; they add and
// rewrite the shared buffer InvoiceBuf.

#include "records/invoice_rec.h"
#include "storage/browser/rec_browser.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace records {

extern storage::IsamFileBlock InvoiceFile;

const storage::DataFileKind& InvoiceFileKind();
storage::DataFileUnit& InvoiceUnit();

[[nodiscard]] bool CreateInvoiceFile();
// Opens the file, offering the rebuild of a defective index and creating a missing file after
// "I am going to create a new, empty invoice file for this company.".
[[nodiscard]] bool OpenInvoiceFile();
[[nodiscard]] bool RebuildInvoiceFile();
// Adds InvoiceBuf with its six keys; a key that cannot be added undoes the add.
[[nodiscard]] bool AddInvoiceRecord(storage::IsamRecRef& ref);
// Rewrites the record at ref from InvoiceBuf; nothing is written when InvoiceBuf equals
// oldCopy, and the rewrite is refused with "The record has changed in the meantime." when the
// stored record no longer equals oldCopy.
[[nodiscard]] bool UpdateInvoiceRecord(const InvoiceRec& oldCopy, storage::IsamRecRef ref);
// Deletes the record at ref with its six keys.
[[nodiscard]] bool DeleteInvoiceRecord(storage::IsamRecRef ref);
// Positions on the first record whose invoice number key (key 1) is exactly `key`; key and ref
// then name that entry. False when no record carries that number; throws FileUnusable when the
// file could not be searched.
[[nodiscard]] bool FindInvoiceByNumber(storage::IsamKeyStr& key, storage::IsamRecRef& ref);

// The Invoice Manager's browser over the file, reading each row into InvoiceBuf.
void AttachInvoiceBrowser(storage::TRecBrowser& browser);

// Opens the invoice file with its detail and memo files; true only when all three are open.
[[nodiscard]] bool OpenInvoiceFiles();

}  // namespace records
