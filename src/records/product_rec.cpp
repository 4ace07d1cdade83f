#include "records/product_rec.h"

#include "records/record_key.h"

namespace records {

storage::IsamKeyStr BuildProductKey(const ProductRec& record, int keyNr) {
  switch (keyNr) {
    case 1:
      return KeyOfText(record.Code.View(), ProductKeyDescs[0].KeyLength);
    case 2:
      return KeyOfText(record.Description.View(), ProductKeyDescs[1].KeyLength);
    case 3:
      return KeyOfText(record.KeyCode.View(), ProductKeyDescs[2].KeyLength);
    default:
      return {};
  }
}

}  // namespace records
