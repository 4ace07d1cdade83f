#include "records/po_header_rec.h"

#include "platform/text/key_text.h"
#include "records/record_key.h"

namespace records {

using platform::text::TrimBlanks;

POHeaderRec POHeaderBuf;

storage::IsamKeyStr BuildPOHeaderKey(const POHeaderRec& record, int keyNr) {
  switch (keyNr) {
    case 1:
      return KeyOfText(record.PONumber.View(), 9);
    case 2:
      return KeyOfText(record.VendorNo.View(), 8);
    case 3:
      return KeyOfStoredText(record.SortDate.View(), 10);
    case 4:
      return KeyOfText(record.KeyCode.View(), 8);
    case 5:
      return KeyOfText(TrimBlanks(record.POStatus.Get()) + TrimBlanks(record.PONumber.Get()), 10);
    case 6:
      return KeyOfStoredText(record.ReceivedDate.View(), 10);
    case 7:
      return KeyOfStoredText(record.DateRequired.View(), 10);
    default:
      return {};
  }
}

bool IsPOReceived(const POHeaderRec& record) {
  return TrimBlanks(record.ReceivedDate.Get()).size() > 5;
}

}  // namespace records
