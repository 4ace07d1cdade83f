#include "records/product_pricing.h"

#include <optional>

#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace records {

using platform::text::AmountValue;
using platform::text::Cents;
using platform::text::RoundToCents;
using platform::text::TrimBlanks;

namespace {

// The fields of the pricing calculator count an empty entry as 0.
std::optional<double> NumberOrZero(std::string_view text) {
  if (platform::text::StripCommas(text).empty()) return 0.0;
  return platform::text::TryStrToFloat(text);
}

std::optional<Cents> AmountOrZero(std::string_view text) {
  if (platform::text::StripCommas(text).empty()) return 0;
  return platform::text::ParseAmount(text);
}

constexpr std::size_t StoredPriceWidth = ShortString<10>::Capacity();

PriceQuote Refuse(PriceRefusal refusal) {
  PriceQuote quote;
  quote.Refusal = refusal;
  return quote;
}

// The price from the method's formula, before rounding; none when an input is not a number.
struct Formula {
  std::optional<double> Price;
  PriceRefusal Refusal = PriceRefusal::None;
};

Formula PriceByFormula(char method, double cost, std::string_view listPrice, std::string_view percentage) {
  std::optional<double> p = NumberOrZero(percentage);
  if (!p) return {std::nullopt, PriceRefusal::NotANumber};
  switch (method) {
    case 'M':
      return {cost + cost * *p / 100};
    case 'G':
      if (*p >= 100) return {std::nullopt, PriceRefusal::MarginOf100OrMore};
      return {cost / (1 - *p / 100)};
    case 'D': {
      std::optional<double> list = NumberOrZero(listPrice);
      if (!list) return {std::nullopt, PriceRefusal::NotANumber};
      return {*list - *list * *p / 100};
    }
    default:
      return {std::nullopt, PriceRefusal::NoMethod};
  }
}

std::optional<char> MethodCode(std::string_view method) {
  std::string code = TrimBlanks(method);
  if (code.size() != 1 || std::string_view("FMGD").find(code[0]) == std::string_view::npos)
    return std::nullopt;
  return code[0];
}

}  // namespace

std::string PriceRefusalMessage(PriceRefusal refusal) {
  switch (refusal) {
    case PriceRefusal::None:
      return {};
    case PriceRefusal::NoMethod:
      return "Choose a pricing method to calculate the price.";
    case PriceRefusal::NotANumber:
      return "The cost, list price, percentage and price must be numbers.";
    case PriceRefusal::MarginOf100OrMore:
      return "A margin must be less than 100 percent. A margin of 100 percent or more has no price.";
    case PriceRefusal::PriceTooLarge:
      return "The calculated price is too large for the price field.";
  }
  return {};
}

PriceQuote CalculateProductPrice(std::string_view method, std::string_view cost, std::string_view listPrice,
                                 std::string_view percentage, std::string_view typedPrice) {
  std::optional<char> code = MethodCode(method);
  if (!code) return Refuse(PriceRefusal::NoMethod);
  std::optional<double> c = NumberOrZero(cost);
  if (!c) return Refuse(PriceRefusal::NotANumber);

  std::optional<Cents> price;
  if (*code == 'F') {
    price = AmountOrZero(typedPrice);
    if (!price) return Refuse(PriceRefusal::NotANumber);
  } else {
    Formula formula = PriceByFormula(*code, *c, listPrice, percentage);
    if (!formula.Price) return Refuse(formula.Refusal);
    price = RoundToCents(*formula.Price);  // none when not finite or beyond cents
  }
  if (!price || platform::text::AmountText(*price).size() > StoredPriceWidth)
    return Refuse(PriceRefusal::PriceTooLarge);
  std::optional<Cents> profit = RoundToCents(AmountValue(*price) - *c);
  if (!profit) return Refuse(PriceRefusal::PriceTooLarge);

  PriceQuote quote;
  quote.Price = *price;
  quote.Profit = *profit;
  return quote;
}

PriceRefusal ApplyAutomaticPrice(ProductRec& product) {
  std::optional<char> code = MethodCode(product.PricingMethod.Get());
  if (TrimBlanks(product.PriceUpdateMode.Get()) != "A" || !code || *code == 'F') return PriceRefusal::None;
  PriceQuote quote = CalculateProductPrice(product.PricingMethod.Get(), product.Cost.Get(),
                                           product.ListPrice.Get(), product.Percentage.Get(), {});
  if (quote.Refused()) return quote.Refusal;
  product.PreviousPrice = product.Price;
  product.Price.Set(quote.StoredPrice());
  return PriceRefusal::None;
}

bool IsInManualPriceBatch(const ProductRec& product, std::string_view batchNumber) {
  return product.PriceUpdateMode.Get() == "M" &&
         TrimBlanks(product.BatchNumber.Get()) == TrimBlanks(batchNumber);
}

bool ApplyBatchPriceChange(ProductRec& product, const PriceQuote& quote, std::string_view method,
                           std::string_view percentage, std::string_view today) {
  if (quote.Refused()) return false;
  product.PreviousPrice = product.Price;
  product.Price.Set(quote.StoredPrice());
  product.Percentage.Set(TrimBlanks(percentage));
  product.PriceChangeDate.Set(today);
  product.PricingMethod.Set(method);
  return true;
}

}  // namespace records
