#include "records/vendor_file.h"

namespace records {

KESTRAVA_RECORD_FILE_DEFINITION(Vendor, VendorRec, "V", "Vendors", VendorKeyDescs,
                                "I am going to create a new, empty vendor file for this company.",
                                BuildVendorKey)

void AttachVendorBrowser(storage::TRecBrowser& browser, VendorRec& vendor) {
  AttachRecordBrowser(browser, VendorFile, vendor);
}

}  // namespace records
