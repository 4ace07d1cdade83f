#pragma once
// The texts the PO Manager shows of its purchase orders: the browser's header and rows, and the
// marking of a damaged header so that the user can find it and delete it. All Windows-1252.

#include <string>

#include "records/po_header_rec.h"

namespace purchasing {

std::string POBrowserHeader();
std::string POBrowserRow(const records::POHeaderRec& header);
// A row whose record could not be read: marked, with the row's key.
std::string UnreadablePORow(const std::string& key);

// A header without PO number, total or vendor number is shown as damaged: total and vendor "0",
// short name "BAD RECORD", number "DELETE ME". True when it was marked (the record on disk is left
// as it is).
bool MarkDamagedPO(records::POHeaderRec& header);

}  // namespace purchasing
