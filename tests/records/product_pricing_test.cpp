#include "records/product_pricing.h"

#include <gtest/gtest.h>

namespace records {
namespace {

struct Priced {
  std::string price, profit;
};

Priced Quote(std::string_view method, std::string_view cost, std::string_view list, std::string_view pct,
             std::string_view typed = "") {
  PriceQuote quote = CalculateProductPrice(method, cost, list, pct, typed);
  EXPECT_FALSE(quote.Refused()) << PriceRefusalMessage(quote.Refusal);
  return {quote.ShownPrice(), quote.ShownProfit()};
}

TEST(ProductPricingTest, EachMethodGivesThePriceAndTheProfitOverCost) {
  Priced markup = Quote("M", "10.00", "0", "50");
  EXPECT_EQ(markup.price, "15.00");
  EXPECT_EQ(markup.profit, "5.00");
  Priced margin = Quote("G", "10.00", "0", "50");
  EXPECT_EQ(margin.price, "20.00");
  EXPECT_EQ(margin.profit, "10.00");
  Priced discount = Quote("D", "10.00", "20.00", "10");
  EXPECT_EQ(discount.price, "18.00");
  EXPECT_EQ(discount.profit, "8.00");
  Priced fixed = Quote("F", "10.00", "20.00", "99", "12.5");
  EXPECT_EQ(fixed.price, "12.50");
  EXPECT_EQ(fixed.profit, "2.50");
}

TEST(ProductPricingTest, PricesShowWithSeparatorsAndAreStoredWithout) {
  PriceQuote quote = CalculateProductPrice("M", "823.00", "", "50", "");
  EXPECT_EQ(quote.ShownPrice(), "1,234.50");
  EXPECT_EQ(quote.StoredPrice(), "1234.50");
  EXPECT_EQ(quote.ShownProfit(), "411.50");

  // Typed with thousands commas and blanks, empty fields counting as 0.
  EXPECT_EQ(Quote("M", " 1,000.00 ", "", "").price, "1,000.00");
  EXPECT_EQ(Quote("D", "", "2,000", "25").price, "1,500.00");
  EXPECT_EQ(Quote("F", "", "", "", "").price, "0.00");
}

TEST(ProductPricingTest, PricesRoundHalfAwayFromZeroAndProfitComesFromTheRoundedPrice) {
  Priced markup = Quote("M", "0.10", "", "5");  // 0.105
  EXPECT_EQ(markup.price, "0.11");
  EXPECT_EQ(markup.profit, "0.01");
  Priced margin = Quote("G", "10", "", "33.333");  // 14.99992...
  EXPECT_EQ(margin.price, "15.00");
  EXPECT_EQ(margin.profit, "5.00");
  EXPECT_EQ(Quote("G", "10", "", "-25").price, "8.00");  // a negative margin sells below cost
}

TEST(ProductPricingTest, AMarginOf100OrMoreIsRefusedAndNeverGivesAnInfinitePrice) {
  for (const char* pct : {"100", "100.00", "150", "1,000"}) {
    PriceQuote quote = CalculateProductPrice("G", "10.00", "", pct, "");
    EXPECT_EQ(quote.Refusal, PriceRefusal::MarginOf100OrMore) << pct;
    EXPECT_NE(PriceRefusalMessage(quote.Refusal).find("100"), std::string::npos);
  }
  // Just below 100 the price grows past what the field holds: refused, not cut.
  EXPECT_EQ(CalculateProductPrice("G", "10.00", "", "99.9999999", "").Refusal, PriceRefusal::PriceTooLarge);
  EXPECT_EQ(Quote("G", "10.00", "", "99.99").price, "100,000.00");
  // A zero cost has a zero price under any margin below 100.
  EXPECT_EQ(Quote("G", "0", "", "99.99").price, "0.00");
}

TEST(ProductPricingTest, InputsThatAreNotNumbersAndUnknownMethodsAreRefused) {
  EXPECT_EQ(CalculateProductPrice("M", "ten", "", "50", "").Refusal, PriceRefusal::NotANumber);
  EXPECT_EQ(CalculateProductPrice("M", "10", "", "5%", "").Refusal, PriceRefusal::NotANumber);
  EXPECT_EQ(CalculateProductPrice("D", "10", "nan", "5", "").Refusal, PriceRefusal::NotANumber);
  EXPECT_EQ(CalculateProductPrice("F", "10", "", "", "1.2.3").Refusal, PriceRefusal::NotANumber);
  EXPECT_EQ(CalculateProductPrice("", "10", "", "5", "").Refusal, PriceRefusal::NoMethod);
  EXPECT_EQ(CalculateProductPrice("X", "10", "", "5", "").Refusal, PriceRefusal::NoMethod);
  EXPECT_EQ(CalculateProductPrice("M", "99999999", "", "50", "").Refusal, PriceRefusal::PriceTooLarge);
  for (PriceRefusal r : {PriceRefusal::NoMethod, PriceRefusal::NotANumber, PriceRefusal::MarginOf100OrMore,
                         PriceRefusal::PriceTooLarge})
    EXPECT_FALSE(PriceRefusalMessage(r).empty());
}

ProductRec PricedProduct(std::string_view method, std::string_view mode) {
  ProductRec product;
  product.PricingMethod.Set(method);
  product.PriceUpdateMode.Set(mode);
  product.Price.Set("12.00");
  product.Cost.Set("10.00");
  product.ListPrice.Set("20.00");
  product.Percentage.Set("50");
  product.PreviousPrice.Set("11.00");
  return product;
}

TEST(ProductPricingTest, AutomaticProductsTakeTheCalculatedPriceWhenSaved) {
  ProductRec markup = PricedProduct("M", "A");
  EXPECT_EQ(ApplyAutomaticPrice(markup), PriceRefusal::None);
  EXPECT_EQ(markup.PreviousPrice.Get(), "12.00");
  EXPECT_EQ(markup.Price.Get(), "15.00");

  ProductRec discount = PricedProduct("D", "A");
  ApplyAutomaticPrice(discount);
  EXPECT_EQ(discount.Price.Get(), "10.00");

  // Fixed prices and manual batch pricing keep the price as entered.
  for (ProductRec kept : {PricedProduct("F", "A"), PricedProduct("M", "M"), PricedProduct("G", "M")}) {
    EXPECT_EQ(ApplyAutomaticPrice(kept), PriceRefusal::None);
    EXPECT_EQ(kept.Price.Get(), "12.00");
    EXPECT_EQ(kept.PreviousPrice.Get(), "11.00");
  }

  ProductRec refused = PricedProduct("G", "A");
  refused.Percentage.Set("100");
  EXPECT_EQ(ApplyAutomaticPrice(refused), PriceRefusal::MarginOf100OrMore);
  EXPECT_EQ(refused.Price.Get(), "12.00");
  EXPECT_EQ(refused.PreviousPrice.Get(), "11.00");
}

TEST(ProductPricingTest, TheBatchChangeSelectsManualProductsOfOneBatch) {
  ProductRec manual = PricedProduct("M", "M");
  manual.BatchNumber.Set(" 1");
  EXPECT_TRUE(IsInManualPriceBatch(manual, "1"));
  EXPECT_TRUE(IsInManualPriceBatch(manual, "1 "));
  EXPECT_FALSE(IsInManualPriceBatch(manual, "2"));
  ProductRec automatic = PricedProduct("M", "A");
  automatic.BatchNumber.Set("1");
  EXPECT_FALSE(IsInManualPriceBatch(automatic, "1"));

  // A negative discount raises the price by that share of the list price.
  PriceQuote quote = CalculateProductPrice("D", manual.Cost.Get(), manual.ListPrice.Get(), "-10", "");
  ASSERT_TRUE(ApplyBatchPriceChange(manual, quote, "D", " -10 ", "12/07/2026"));
  EXPECT_EQ(manual.PreviousPrice.Get(), "12.00");
  EXPECT_EQ(manual.Price.Get(), "22.00");
  EXPECT_EQ(manual.Percentage.Get(), "-10");
  EXPECT_EQ(manual.PricingMethod.Get(), "D");
  EXPECT_EQ(manual.PriceChangeDate.Get(), "12/07/2026");

  PriceQuote refused = CalculateProductPrice("G", "10", "", "100", "");
  EXPECT_FALSE(ApplyBatchPriceChange(manual, refused, "G", "100", "12/08/2026"));
  EXPECT_EQ(manual.Price.Get(), "22.00");
  EXPECT_EQ(manual.PricingMethod.Get(), "D");
}

}  // namespace
}  // namespace records
