#include "records/vendor_file.h"

#include "platform/text/key_text.h"

namespace records {

namespace {

std::string VendorSubject(const VendorRec& vendor) {
  return "Vendor " + platform::text::TrimBlanks(vendor.VendorNo.Get());
}

}  // namespace

KESTRAVA_RECORD_FILE_DEFINITION(Vendor, VendorRec, "V", "Vendors", VendorKeyDescs,
                                "I am going to create a new, empty vendor file for this company.",
                                BuildVendorKey, QString(), VendorSubject)

void AttachVendorBrowser(storage::TRecBrowser& browser, VendorRec& vendor) {
  AttachRecordBrowser(browser, VendorFile, vendor);
}

}  // namespace records
