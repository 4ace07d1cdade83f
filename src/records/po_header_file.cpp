#include "records/po_header_file.h"

#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/record_file.h"

namespace records {

KESTRAVA_RECORD_FILE_DEFINITION(POHeader, POHeaderRec, "O", "POs", POHeaderKeyDescs,
                                "I am going to create a new, empty Purchase Order file for this company.",
                                BuildPOHeaderKey, "New Purchase Order File")

bool ChangePOHeaderKey(const storage::IsamKeyStr& oldKey, const storage::IsamKeyStr& newKey,
                       storage::IsamRecRef ref, int keyNr) {
  return POHeaderUnit().ChangeKey(oldKey, newKey, ref, keyNr);
}

bool FindPOByNumber(storage::IsamKeyStr& key, storage::IsamRecRef& ref) {
  return FindExactKey(POHeaderUnit(), key, ref, 1);
}

void AttachPOBrowser(storage::TRecBrowser& browser) {
  AttachRecordBrowser(browser, POHeaderFile, POHeaderBuf);
}

bool OpenPOFiles() {
  return OpenPOHeaderFile() && storage::IsamOK && OpenPODetailFile() && OpenPOMemoFile();
}

}  // namespace records
