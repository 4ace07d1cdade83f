#include "records/product_rec.h"

#include <gtest/gtest.h>

#include <cstring>

namespace records {
namespace {

TEST(ProductRecTest, KeysAreTrimmedPaddedUpperCasedAndCut) {
  ProductRec product;
  product.Code.Set(" ab-100 ");
  product.Description.Set("Stainless steel hex bolts, box of one hundred");
  product.KeyCode.Set("bolts");
  EXPECT_EQ(BuildProductKey(product, 1), "AB-100" + std::string(9, ' '));
  EXPECT_EQ(BuildProductKey(product, 2), "STAINLESS STEEL HEX BOLTS, BOX");
  EXPECT_EQ(BuildProductKey(product, 3), "BOLTS     ");
  EXPECT_EQ(BuildProductKey(product, 0), "");
  EXPECT_EQ(BuildProductKey(product, 4), "");

  product.Code.Set("123456789012345");
  EXPECT_EQ(BuildProductKey(product, 1), "123456789012345");
  product.KeyCode.Set("");
  EXPECT_EQ(BuildProductKey(product, 3), std::string(10, ' '));
}

TEST(ProductRecTest, FlagsAndPricesSitBetweenTheirNeighbours) {
  ProductRec product;
  product.Description.Set("Hex bolt");
  product.ConvertedText1.Set("OLDFIELD");
  product.TaxOnInvoice = 1;
  product.Price.Set("1234.50");
  product.PricingMethod.Set("G");
  product.PriceUpdateMode.Set("A");
  product.TaxOnPO = 1;
  product.Percentage.Set("12.5");
  product.ConvertedByte = 9;
  product.PreviousPrice.Set("99.00");
  product.HoldSales = 1;
  product.BatchNumber.Set("12");

  unsigned char bytes[sizeof(ProductRec)];
  std::memcpy(bytes, &product, sizeof bytes);
  EXPECT_EQ(bytes[53], 8);
  EXPECT_EQ(bytes[64], 1);
  EXPECT_EQ(bytes[65], 7);
  EXPECT_EQ(bytes[406], 'G');
  EXPECT_EQ(bytes[408], 'A');
  EXPECT_EQ(bytes[409], 1);
  EXPECT_EQ(bytes[410], 4);
  EXPECT_EQ(bytes[477], 5);
  EXPECT_EQ(bytes[488], 9);
  EXPECT_EQ(bytes[489], 0);
  EXPECT_EQ(bytes[544], 1);
  EXPECT_EQ(bytes[545], 2);
  EXPECT_EQ(bytes[547], '2');

  ProductRec copy;
  std::memcpy(&copy, bytes, sizeof copy);
  EXPECT_EQ(copy.Price.Get(), "1234.50");
  EXPECT_EQ(copy.Percentage.Get(), "12.5");
  EXPECT_EQ(copy.BatchNumber.Get(), "12");
  EXPECT_EQ(copy.ConvertedText1.Get(), "OLDFIELD");
}

}  // namespace
}  // namespace records
