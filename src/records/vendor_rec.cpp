#include "records/vendor_rec.h"

#include "records/record_key.h"

namespace records {

VendorRec VendorBuf;

storage::IsamKeyStr BuildVendorKey(const VendorRec& record, int keyNr) {
  switch (keyNr) {
    case 1:
      return KeyOfText(record.VendorName.View(), VendorKeyDescs[0].KeyLength);
    case 2:
      return KeyOfText(record.VendorNo.View(), VendorKeyDescs[1].KeyLength);
    default:
      return {};
  }
}

std::array<std::string, 4> OrderAddressLines(const VendorRec& v) {
  return {v.OrderAddr1.Get(), v.OrderAddr2.Get(), v.OrderAddr3.Get(), v.OrderAddr4.Get()};
}

std::array<std::string, 4> ShippingAddressLines(const VendorRec& v) {
  return {v.ShipTo1.Get(), v.ShipTo2.Get(), v.ShipTo3.Get(), v.ShipTo4.Get()};
}

std::array<ShortString<35>*, 4> OrderAddressFields(VendorRec& v) {
  return {&v.OrderAddr1, &v.OrderAddr2, &v.OrderAddr3, &v.OrderAddr4};
}

std::array<ShortString<35>*, 4> ShippingAddressFields(VendorRec& v) {
  return {&v.ShipTo1, &v.ShipTo2, &v.ShipTo3, &v.ShipTo4};
}

}  // namespace records
