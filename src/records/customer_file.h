#pragma once
// The customer file of the open company (base name: company number + "C", record CustomerRec,
// 916 bytes): key 1 the name (30 characters, unique), key 2 the number (8 characters, duplicates
// allowed in the index; the customer dialog keeps numbers unique). Its routines are the
// data-file routines over CustomerFile.

#include "records/customer_rec.h"
#include "storage/browser/rec_browser.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace records {

extern storage::IsamFileBlock CustomerFile;

const storage::DataFileKind& CustomerFileKind();
storage::DataFileUnit& CustomerUnit();

[[nodiscard]] bool CreateCustomerFile();
// Opens the file, offering the rebuild of a defective index and creating a missing file after
// "I am going to create a new, empty customer file for this company.".
[[nodiscard]] bool OpenCustomerFile();
[[nodiscard]] bool RebuildCustomerFile();
// Adds the customer with both keys; a key that cannot be added undoes the add.
[[nodiscard]] bool AddCustomerRecord(const CustomerRec& customer, storage::IsamRecRef& ref);
// Rewrites the record at ref, refused with "The record has changed in the meantime." when the
// stored record no longer matches beforeImage (the customer as it was when editing began).
[[nodiscard]] bool UpdateCustomerRecord(const CustomerRec& customer, const CustomerRec& beforeImage,
                                        storage::IsamRecRef ref);
// The same for a change of no key's field (balance, aging, last invoice or payment): the keys
// are not touched.
[[nodiscard]] bool UpdateCustomerFields(const CustomerRec& customer, const CustomerRec& beforeImage,
                                        storage::IsamRecRef ref);
[[nodiscard]] bool DeleteCustomerRecord(storage::IsamRecRef ref);
// Searches key keyNr (1 by name, 2 by number) for the first entry at or after key.
[[nodiscard]] bool SearchCustomerKey(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr);

// The Customer Manager's browser over the file, reading each row into its record.
void AttachCustomerBrowser(storage::TRecBrowser& browser, CustomerRec& customer);

}  // namespace records
