#pragma once
// Editing a purchase order: the PO Manager's edit transaction on the header under its highlight.
// Only a PO on which nothing has been received can be edited: the guards refuse received POs and
// POs with receipts, and ask before a printed PO is changed. The entry form is loaded from the
// stored PO; after OK the header is rewritten, then the detail lines row by row (rewritten,
// added or deleted), the stock when the PO is now marked received, and the memo.
//
// The PO header, detail and memo files are opened around the work unless the PO Manager holds
// them. The edit is one posting: a failing write or read undoes it whole, and its message says
// what failed.

#include <stdexcept>
#include <string>
#include <vector>

#include "purchasing/entered_po.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_rec.h"
#include "records/record_file.h"
#include "storage/isam_types.h"

namespace purchasing {

using StoredPODetail = records::RecordOnFile<records::PODetailRec>;

struct StoredPO {
  storage::IsamRecRef Ref = 0;
  records::POHeaderRec Header{};
  // Every detail record of its number in line order: its lines and any receipt records.
  std::vector<StoredPODetail> Details;
  bool MemoFound = false;
  storage::IsamRecRef MemoRef = 0;
  records::POMemoRec Memo{};
  int ReceiptRecords() const;
  int ReceivedLines() const;
};

// Reads the header at ref with its detail records and memo; false when there is no live header.
// The PO files must be open; throws records::FileUnusable when one of them cannot be read.
bool ReadStoredPO(storage::IsamRecRef ref, StoredPO& stored);

// The header as an edit stores it: the form's fields over the stored header, whose status,
// company number, printed mark, e-mailed date and PO kind stay.
records::POHeaderRec EditedPOHeader(const records::POHeaderRec& old, const EnteredPO& edited);

// Posts an edit that the entry form has checked; returns the status text ("Editing PO ...
// completed."). Throws, with nothing written, for a line that cannot be stored
// and with "Modify operation failed" when the header changed since it was read (with the system's
// reason when it could not be read or written).
std::string PostEditedPO(const StoredPO& old, const EnteredPO& edited);

// Edits the PO whose header is at ref under the guards; true when something was written.
// statusText receives what the PO Manager's status panel shows afterwards.
bool EditPO(storage::IsamRecRef ref, std::string* statusText = nullptr);

}  // namespace purchasing
