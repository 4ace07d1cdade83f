#pragma once
// The vendor file of the open company (base name: company number + "V", record VendorRec,
// 952 bytes): key 1 the name (30 characters, unique), key 2 the number (8 characters,
// duplicates allowed in the index; the vendor dialog keeps numbers unique). Its routines are the
// data-file routines over VendorFile: OpenVendorFile creates a missing file after "I am going
// to create a new, empty vendor file for this company.", UpdateVendorRecord refuses a record
// that changed since editing began.

#include "records/record_file.h"
#include "records/vendor_rec.h"
#include "storage/browser/rec_browser.h"

namespace records {

KESTRAVA_RECORD_FILE(Vendor, VendorRec)

// The Vendor Manager's browser over the file, reading each row into its record.
void AttachVendorBrowser(storage::TRecBrowser& browser, VendorRec& vendor);

}  // namespace records
