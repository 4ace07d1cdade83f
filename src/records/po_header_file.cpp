#include "records/po_header_file.h"

#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/system_reason.h"

namespace records {

KESTRAVA_RECORD_FILE_DEFINITION(POHeader, POHeaderRec, "O", "POs", POHeaderKeyDescs,
                                "I am going to create a new, empty Purchase Order file for this company.",
                                BuildPOHeaderKey, "New Purchase Order File")

bool ChangePOHeaderKey(const storage::IsamKeyStr& oldKey, const storage::IsamKeyStr& newKey,
                       storage::IsamRecRef ref, int keyNr) {
  return POHeaderUnit().ChangeKey(oldKey, newKey, ref, keyNr);
}

bool FindPOByNumber(storage::IsamKeyStr& key, storage::IsamRecRef& ref) {
  const storage::IsamKeyStr wanted = key;
  if (POHeaderUnit().SearchKey(key, ref, 1)) return key == wanted;
  if (!IsEndOfWalk()) ThrowFileUnusable(POHeaderUnit());
  return false;
}

void AttachPOBrowser(storage::TRecBrowser& browser) {
  AttachRecordBrowser(browser, POHeaderFile, POHeaderBuf);
}

bool OpenPOFiles() {
  return OpenPOHeaderFile() && storage::IsamOK && OpenPODetailFile() && OpenPOMemoFile();
}

}  // namespace records
