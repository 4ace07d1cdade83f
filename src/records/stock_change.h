#pragma once
// Changes to the stock on hand of products, summed exactly on the figures as typed (0.3 less 0.1
// less 0.2 leaves "0", not a binary remainder). A posting collects every change first and checks
// that each product's new figure fits its ten characters, so a figure that cannot be stored
// refuses the posting before anything is written; then it writes the figures.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "records/product_rec.h"
#include "storage/isam_types.h"

namespace records {

// Net change per product code (trimmed, upper-cased, at most 15 characters), as plain decimal
// text.
using StockChanges = std::map<std::string, std::string>;

// Adds `quantity` (a figure as typed or stored; negative takes stock out) to the change of the
// product `code`. An empty code names no product and changes nothing.
void AddStockChange(StockChanges& changes, std::string_view code, std::string_view quantity);

// Which products a change reaches: a sale leaves non-stock and non-deplete products alone, a
// receipt leaves only non-stock products alone.
enum class StockMove { Sale, Receipt };

// A product a change reaches, as read for the check, with its change and the on-hand figure
// that the change makes.
struct PlannedStock {
  storage::IsamRecRef Ref = 0;
  ProductRec Product{};
  std::string Change;
  std::string OnHand;
};
using StockPlan = std::vector<PlannedStock>;

// Raises std::runtime_error naming the first product whose figure would not fit, before anything
// is written. Opens the product file around the check unless it is open; a file that cannot be
// opened refuses nothing (the posting then leaves stock alone). Returns the products read, so
// that a posting that changes no product in between can write them without reading them again.
StockPlan RequireStockFits(const StockChanges& changes, StockMove move);

// Rewrites the product read at `ref` with its on hand changed by `change`; false when the record
// could not be rewritten or the figure does not fit. The product file must be open.
[[nodiscard]] bool ChangeStockOnHand(const ProductRec& product, storage::IsamRecRef ref,
                                     std::string_view change);

// Writes the changes of the products read by RequireStockFits; a product changed since is refused
// as any record changed in the meantime is. False when a record could not be rewritten. The
// product file must be open.
[[nodiscard]] bool ApplyStockPlan(const StockPlan& plan);

}  // namespace records
