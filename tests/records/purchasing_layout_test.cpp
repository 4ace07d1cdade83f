// The vendor record and the PO header as bytes, checked by the independent layout checker
// against the offsets and widths of their record tables.
#include <gtest/gtest.h>

#include "layout_sampler.h"
#include "records/po_header_rec.h"
#include "records/vendor_rec.h"
#include "support/temp_dir.h"

namespace records {
namespace {

using records_test::Sampler;

#define SAMPLE(field) sampler.Set(r.field, #field)

void SampleVendor(VendorRec& r, Sampler& sampler) {
  SAMPLE(Status), SAMPLE(VendorNo), SAMPLE(VendorName), SAMPLE(Balance), SAMPLE(LastPayment);
  SAMPLE(VendorType), SAMPLE(TaxExempt), SAMPLE(POTerms), SAMPLE(OrderAddr1), SAMPLE(OrderAddr2);
  SAMPLE(OrderAddr3), SAMPLE(OrderAddr4), SAMPLE(Phone1), SAMPLE(ShipTo1), SAMPLE(ShipTo2), SAMPLE(ShipTo3);
  SAMPLE(ShipTo4), SAMPLE(Phone2), SAMPLE(Amount1), SAMPLE(Amount2), SAMPLE(Amount3), SAMPLE(Amount4);
  SAMPLE(VendNotes), SAMPLE(NotesOnPO), SAMPLE(SecondNotesFlag), SAMPLE(ShortName), SAMPLE(MailSortCode);
  SAMPLE(Hold), SAMPLE(VendEMail);
}

void SamplePOHeader(POHeaderRec& r, Sampler& sampler) {
  SAMPLE(Status), SAMPLE(PONumber), SAMPLE(POStatus), SAMPLE(KeyCode), SAMPLE(VendorNo);
  SAMPLE(CompanyNumber), SAMPLE(PODate), SAMPLE(Printed), SAMPLE(Month), SAMPLE(Day), SAMPLE(Year);
  SAMPLE(SortDate), SAMPLE(Notes), SAMPLE(Terms), SAMPLE(POKind), SAMPLE(ShortName), SAMPLE(NetAmount);
  SAMPLE(TaxAmount), SAMPLE(POTotal), SAMPLE(Signature1), SAMPLE(Signature2), SAMPLE(EnteredReceived);
  SAMPLE(ReceivedDate), SAMPLE(DateRequired), SAMPLE(EMailedDate), SAMPLE(TaxRate), SAMPLE(ShipTo1);
  SAMPLE(ShipTo2), SAMPLE(ShipTo3), SAMPLE(ShipTo4);
}

#undef SAMPLE

TEST(PurchasingLayoutTest, VendorAndPOHeaderBytesMatchTheRecordTables) {
  testing_support::TempDir dir;
  VendorRec vendor;
  Sampler vendorFields(&vendor);
  SampleVendor(vendor, vendorFields);
  vendorFields.Write(vendor, "vendor");
  POHeaderRec header;
  Sampler headerFields(&header);
  SamplePOHeader(header, headerFields);
  headerFields.Write(header, "po_header");
  records_test::ExpectCheckerAccepts({"vendor", "po_header"});
  vendorFields.ExpectRoundTrip(vendor);
  headerFields.ExpectRoundTrip(header);
}

}  // namespace
}  // namespace records
