#pragma once
// Deleting a purchase order: the PO Manager's delete transaction on the header under its
// highlight. After the guards and questions the header goes, then every detail record of the PO
// (its lines and the receipts booked against them), each received quantity taken back out of the
// stock of its product, then a memo PO's memo.
//
// The detail records are collected by reference before the first one is deleted, so that the
// walk never runs over an index it is changing. A stock rewrite that fails is reported and the
// delete goes on; the books then show the product's stock as it stands.
//
// The PO header, detail and memo files must be open (the PO Manager holds them); the product
// file is opened around the stock changes unless a window holds it. A failing delete raises
// std::runtime_error with the text the error box shows; the deletes before it stay.

#include <optional>
#include <string>

#include "records/po_header_rec.h"
#include "storage/isam_types.h"

namespace purchasing {

struct DeletedPO {
  int DetailRecords = 0;          // lines and receipt records deleted
  bool ReceiversPresent = false;  // some stock was taken back out
  bool StockFailed = false;       // a product's stock could not be rewritten (reported)
  std::string StatusText;         // "Deleted PO ... containing ... line item(s)."
};

// The guards and questions before a delete; true when the delete is to go on.
bool PODeleteConfirmed(const records::POHeaderRec& header);

// Deletes the header at ref, every detail record of its PO number and a memo PO's memo, and takes
// the received quantities back out of stock. Raises "Delete operation failed" (nothing deleted)
// when the header cannot be deleted and "Delete PO detail recs failed" when a detail record
// cannot.
DeletedPO PostPODeletion(const records::POHeaderRec& header, storage::IsamRecRef ref);

// Reads the header at ref into POHeaderBuf and deletes the PO after the guards; nothing when
// there is no live header or the user stops. Raises as PostPODeletion, and records::FileUnusable
// when the header cannot be read.
std::optional<DeletedPO> DeletePO(storage::IsamRecRef ref);

// The "Receivers Present" box after a delete that took stock back.
void ReportReceiversBackedOut();

}  // namespace purchasing
