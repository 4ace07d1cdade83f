#include "records/stock_change.h"

#include <optional>
#include <stdexcept>

#include "platform/text/decimal_text.h"
#include "records/product_file.h"
#include "records/record_file.h"

namespace records {

using platform::text::AddFigures;

namespace {

// Reads the product whose code is exactly `code` when `move` changes its stock. The product
// file must be open.
bool ReadStockedProduct(std::string_view code, StockMove move, ProductRec& product,
                        storage::IsamRecRef& ref) {
  if (!ReadProductByCode(code, product, ref) || product.NonStock) return false;
  return move == StockMove::Receipt || !product.NonDepleting;
}

// The product's on-hand text after `change`; none when it does not fit the field.
std::optional<std::string> OnHandAfter(const ProductRec& product, std::string_view change) {
  std::string figure = AddFigures(product.OnHand.Get(), change);
  if (figure.size() > product.OnHand.Capacity()) return std::nullopt;
  return figure;
}

// Reads every product the changes reach into `plan`; the refusal of the first product whose
// figure would not fit, empty when every figure fits.
std::string PlanStock(const StockChanges& changes, StockMove move, StockPlan& plan) {
  for (const auto& [code, change] : changes) {
    // Read in place: a product record is too large to copy about.
    PlannedStock& planned = plan.emplace_back();
    if (!ReadStockedProduct(code, move, planned.Product, planned.Ref)) {
      plan.pop_back();
      continue;
    }
    if (std::optional<std::string> onHand = OnHandAfter(planned.Product, change)) {
      planned.Change = change;
      planned.OnHand = std::move(*onHand);
      continue;
    }
    const ProductRec& product = planned.Product;
    return "The stock on hand of product " + code + " would become " +
           AddFigures(product.OnHand.Get(), change) + ", which does not fit in " +
           std::to_string(product.OnHand.Capacity()) + " characters. Nothing was saved.";
  }
  return {};
}

// Rewrites the product read at `ref` with the on-hand figure that `change` makes; a change of
// nothing leaves the record alone.
bool WriteOnHand(const ProductRec& product, storage::IsamRecRef ref, std::string_view change,
                 std::string_view onHand) {
  if (platform::text::FigureIsZero(change)) return true;
  ProductRec changed = product;
  changed.OnHand.Set(onHand);
  return UpdateProductFields(changed, product, ref);
}

}  // namespace

void AddStockChange(StockChanges& changes, std::string_view code, std::string_view quantity) {
  const std::string product = ProductCodeOf(code);
  if (product.empty()) return;
  std::string& change = changes[product];
  change = AddFigures(change, quantity);
}

StockPlan RequireStockFits(const StockChanges& changes, StockMove move) {
  StockPlan plan;
  if (changes.empty()) return plan;
  FileForAction file(ProductFile, OpenProductFile);
  if (!ThereToRead(file, ProductUnit())) return plan;
  plan.reserve(changes.size());
  const std::string refusal = PlanStock(changes, move, plan);
  if (!refusal.empty()) throw std::runtime_error(refusal);
  return plan;
}

bool ChangeStockOnHand(const ProductRec& product, storage::IsamRecRef ref, std::string_view change) {
  const std::optional<std::string> figure = OnHandAfter(product, change);
  return figure && WriteOnHand(product, ref, change, *figure);
}

bool ApplyStockPlan(const StockPlan& plan) {
  bool written = true;
  for (const PlannedStock& planned : plan)
    written = WriteOnHand(planned.Product, planned.Ref, planned.Change, planned.OnHand) && written;
  return written;
}

}  // namespace records
