#pragma once
// Posting a new purchase order that the entry form has checked: the header, its detail lines or
// its memo, the stock of the products when the PO is entered as already received, the vendor's
// label when the company queues one, and the company's PO counter. A plain procedure: the PO
// Manager and the tests run it without a window. The PO header, detail and memo files must be
// open (the PO Manager holds them); the product, vendor and company files are opened around
// the steps that need them unless a window holds them open.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "purchasing/entered_po.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_rec.h"
#include "records/product_rec.h"
#include "records/stock_change.h"
#include "records/vendor_rec.h"
#include "storage/isam_types.h"

namespace purchasing {

// The product code of a memo PO's line when no product was chosen.
inline constexpr char NoProduct[] = "** NONE **";

// The receiver number of the lines of a PO entered as already received.
inline constexpr char AutoReceiver[] = "Auto-Rec";

struct PostedPO {
  storage::IsamRecRef Ref = 0;  // the header
  int LineItems = 0;            // detail rows written, failed or not
  std::string StatusText;       // "Added PO ... containing ... line item(s)."
  std::string CounterNote;      // when this PO's number was the last the PO counter holds
};

// Raises std::runtime_error with nothing written when a date is not a date or a line's
// quantity, price or extension does not fit its column. Raises "Add operation failed" when the
// header cannot be added (nothing else is then written) and "memo add operation failed" when a
// memo PO's memo cannot be added (the other postings stay). A line that cannot be added is
// reported with "PO detail add failed." and the next one is tried; a stock or counter rewrite
// that fails is reported and posting goes on.
PostedPO PostNewPO(const EnteredPO& po);

// The rows that become detail lines: every row with a product code or a description, or a memo
// PO's one product line (its product "** NONE **" when none was chosen, its price and extension
// the net, its taxable mark "M").
std::vector<EnteredPOLine> LinesToWrite(const EnteredPO& po);

// Raises std::runtime_error, before anything is written, for a line whose quantity is no number
// or whose quantity, price or extension is longer than its 10-character column of the line text.
void RequireWritableLines(const std::vector<EnteredPOLine>& lines);

// What a PO entered as received adds to stock: the quantities of its lines, or of a memo PO's
// product.
records::StockChanges ReceivedStock(const EnteredPO& po, const std::vector<EnteredPOLine>& lines);
// Raises the stock of the products of a PO entered as received by the quantities of its lines.
// Opens the product file unless it is held open.
void RaiseStockOfReceivedPO(const EnteredPO& po, const std::vector<EnteredPOLine>& lines);

// The memo record of a memo PO: its number and the memo's first 25 lines, from the first one.
records::POMemoRec MemoRecordOf(const EnteredPO& po);

// The header as the entry form's fields make it (no file is touched); raises as PostNewPO does
// for a date that is not a date.
records::POHeaderRec NewPOHeader(const EnteredPO& po);

// The detail record of one line of the PO `header`; `number` is the PO number as typed.
records::PODetailRec PODetailRecordOf(const records::POHeaderRec& header, const std::string& number,
                                      const EnteredPOLine& line);

// Reads the product whose code is exactly `code` (trimmed, any case); false for an empty code,
// the memo PO's "no product" or a code not on file. The product file must be open.
bool ReadProduct(const std::string& code, records::ProductRec& product, storage::IsamRecRef& ref);

// Adds `quantity` (as typed or stored) to the stock on hand of the product `code` when it is on
// file and stocked (a product that is not depleted by sales still counts what comes in). The
// product file must be open. False, after telling the user, when the product record cannot be
// rewritten; true when it was rewritten or has nothing to change.
bool AddReceivedStock(const std::string& code, const std::string& quantity);
// The same for a product already read (at ref), which must be stocked.
bool AddStockOnHand(const records::ProductRec& product, storage::IsamRecRef ref, const std::string& quantity);

// A quantity as typed or stored ("1,250", "2.5"); none when it is no number. Blank counts as 0.
std::optional<double> QuantityOf(const std::string& text);

}  // namespace purchasing
