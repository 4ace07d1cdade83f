#pragma once
// The PO header file of the open company (base name: company number + "O", record
// POHeaderRec, 684 bytes, seven keys that all allow duplicates). Its routines are the data-file
// routines over POHeaderFile: OpenPOHeaderFile creates a missing file after "I am going to
// create a new, empty Purchase Order file for this company.", UpdatePOHeaderRecord refuses a
// record that changed since editing began.

#include "records/po_header_rec.h"
#include "records/record_file.h"
#include "storage/browser/rec_browser.h"

namespace records {

KESTRAVA_RECORD_FILE(POHeader, POHeaderRec)

// Replaces one index entry of the record at ref (the receiving wizard moves key 6 when a receipt
// completes a PO); true at once when the two texts are equal.
[[nodiscard]] bool ChangePOHeaderKey(const storage::IsamKeyStr& oldKey, const storage::IsamKeyStr& newKey,
                                     storage::IsamRecRef ref, int keyNr);

// Positions on the first header whose PO number key (key 1) is exactly `key`; key and ref then
// name that entry. False when no header carries that number; throws FileUnusable when the file
// could not be searched.
[[nodiscard]] bool FindPOByNumber(storage::IsamKeyStr& key, storage::IsamRecRef& ref);

// The PO Manager's browser over the file, reading each row into POHeaderBuf.
void AttachPOBrowser(storage::TRecBrowser& browser);

// Opens the PO header file with the PO detail and memo files, each only when the one before
// opened; true only when all three are open.
[[nodiscard]] bool OpenPOFiles();

}  // namespace records
