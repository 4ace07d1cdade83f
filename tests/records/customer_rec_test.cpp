#include "records/customer_rec.h"

#include <gtest/gtest.h>

#include <cstring>

namespace records {
namespace {

TEST(CustomerRecTest, KeysAreTrimmedPaddedUpperCasedAndCut) {
  CustomerRec customer;
  customer.CustomerName.Set("  Acme Tools ");
  customer.CustomerNo.Set(" c100 ");
  EXPECT_EQ(BuildCustomerKey(customer, 1), "ACME TOOLS" + std::string(20, ' '));
  EXPECT_EQ(BuildCustomerKey(customer, 2), "C100    ");
  EXPECT_EQ(BuildCustomerKey(customer, 0), "");
  EXPECT_EQ(BuildCustomerKey(customer, 3), "");

  // Accented Windows-1252 letters are capitalised like any other, so Find matches them.
  customer.CustomerName.Set("caf\xE9 na\xEFve");
  EXPECT_EQ(BuildCustomerKey(customer, 1).substr(0, 10), "CAF\xC9 NA\xCFVE");
}

TEST(CustomerRecTest, NamesAlikeInTheirFirst30LettersShareKey1) {
  CustomerRec first, second;
  first.CustomerName.Set("Northern Lights Outfitters and Supply");
  second.CustomerName.Set("NORTHERN LIGHTS OUTFITTERS AND Trading");
  EXPECT_EQ(BuildCustomerKey(first, 1), BuildCustomerKey(second, 1));
  EXPECT_EQ(BuildCustomerKey(first, 1).size(), 30u);
}

TEST(CustomerRecTest, ANumberOfNineCharactersIsCutToEightWhenStored) {
  CustomerRec customer;
  customer.CustomerNo.Set("123456789");
  EXPECT_EQ(customer.CustomerNo.Get(), "12345678");
  EXPECT_EQ(BuildCustomerKey(customer, 2), "12345678");
}

TEST(CustomerRecTest, BytesWrittenByConversionsSurviveACopyOfTheRecord) {
  CustomerRec customer;
  customer.ShortName.Set("ACME");
  customer.ConvertedText1.Set("0123456789");
  customer.ConvertedFlag.Set("X");
  customer.ConvertedText2.Set("kept by older versions");
  customer.Reserved866[49] = 7;

  unsigned char bytes[sizeof(CustomerRec)];
  std::memcpy(bytes, &customer, sizeof bytes);
  EXPECT_EQ(bytes[747], 10);
  EXPECT_EQ(bytes[757], '9');
  EXPECT_EQ(bytes[758], 1);
  EXPECT_EQ(bytes[759], 'X');
  EXPECT_EQ(bytes[760], 4) << "the short name follows at once";
  EXPECT_EQ(bytes[915], 7);

  CustomerRec copy;
  std::memcpy(&copy, bytes, sizeof copy);
  EXPECT_EQ(copy.ConvertedText1.Get(), "0123456789");
  EXPECT_EQ(copy.ConvertedFlag.Get(), "X");
  EXPECT_EQ(copy.ShortName.Get(), "ACME");
  EXPECT_EQ(copy.ConvertedText2.Get(), "kept by older versions");
}

}  // namespace
}  // namespace records
