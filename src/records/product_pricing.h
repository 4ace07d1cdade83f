#pragma once
// How a product's selling price follows its cost or list price.
//
//   method                       code  selling price
//   fixed                        "F"   the price typed in
//   percent markup from cost     "M"   C + C x p / 100
//   margin from cost             "G"   C / (1 - p / 100)
//   percent discount from list   "D"   L - L x p / 100
//
// with cost C, list price L and percentage p; the profit is always the price less the cost.
// Update mode "A" (automatic) recalculates the price whenever the product is saved; mode "M"
// (manual on batch number) leaves it to the price-change wizard, which changes every manual
// product of one batch at once.
//
// A margin of 100 percent or more has no price (the formula divides by zero or turns
// negative), and a price whose stored text would not fit the 10-character field would lose its
// cents; both are refused rather than stored.

#include <string>
#include <string_view>

#include "platform/text/amount.h"
#include "records/product_rec.h"

namespace records {

enum class PriceRefusal {
  None,
  NoMethod,           // the method code is none of "F", "M", "G", "D"
  NotANumber,         // the cost, list price, percentage or typed price is not a number
  MarginOf100OrMore,  // margin from cost with a percentage of 100 or more
  PriceTooLarge,      // the price does not fit the price field
};

// The message the product dialog and the price-change wizard show for a refusal.
std::string PriceRefusalMessage(PriceRefusal refusal);

struct PriceQuote {
  PriceRefusal Refusal = PriceRefusal::None;
  platform::text::Cents Price = 0;   // rounded to cents
  platform::text::Cents Profit = 0;  // the rounded price less the cost, rounded to cents

  [[nodiscard]] bool Refused() const { return Refusal != PriceRefusal::None; }
  std::string ShownPrice() const { return platform::text::FormatAmount(Price); }    // ",0.00"
  std::string ShownProfit() const { return platform::text::FormatAmount(Profit); }  // ",0.00"
  std::string StoredPrice() const { return platform::text::AmountText(Price); }     // "0.00"
};

// The price of the method from texts as typed or stored (blanks and commas are ignored; an
// empty text counts as 0). typedPrice is read only by the fixed method.
PriceQuote CalculateProductPrice(std::string_view method, std::string_view cost, std::string_view listPrice,
                                 std::string_view percentage, std::string_view typedPrice);

// Saving a product with update mode "A" and a method other than fixed, after the dialog's
// fields have been stored in it: the previous price takes the price as entered and the price
// takes the calculated one. Any other product is left as it is. A refusal leaves the product
// unchanged.
PriceRefusal ApplyAutomaticPrice(ProductRec& product);

// The price-change wizard changes a product only when its update mode is "M" and its batch
// number, trimmed, equals the batch asked for, trimmed.
[[nodiscard]] bool IsInManualPriceBatch(const ProductRec& product, std::string_view batchNumber);

// The wizard's change of one product: the previous price takes the price, and the price, the
// percentage, the method and the price change date take the new values. A refused quote
// changes nothing and gives false.
[[nodiscard]] bool ApplyBatchPriceChange(ProductRec& product, const PriceQuote& quote,
                                         std::string_view method, std::string_view percentage,
                                         std::string_view today);

}  // namespace records
