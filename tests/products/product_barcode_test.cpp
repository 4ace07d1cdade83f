#include "products/product_barcode.h"

#include <gtest/gtest.h>

#include <string>

namespace products {
namespace {

struct Case {
  const char* code;
  const char* companyType;
  bool valid;
};

TEST(ProductBarCodeTest, TheCompanysSymbologyDecides) {
  const Case cases[] = {
      // UPC-A: 11 digits (the check digit is added) or 12 with the right check digit.
      {"03600029145", "U", true},
      {"036000291452", "U", true},
      {"036000291453", "U", false},
      {" 036000291452 ", "U", true},  // trimmed first
      {"0360002914", "U", false},
      {"0360002914521", "U", false},
      {"03600A29145", "U", false},
      // EAN-13: 12 digits or 13 with the right check digit.
      {"400638133393", "E", true},
      {"4006381333931", "E", true},
      {"4006381333932", "E", false},
      {"40063813339", "E", false},
      {"036000291452", "E", true},  // a UPC-A number is also a valid 12-digit EAN-13 start
      // Code 39 for any other type: its 43 characters, upper-cased first as printing does.
      {"ABC-123", "3", true},
      {" widget 12 ", "3", true},
      {"A/B.C$D+E%F", "", true},
      {"ABC*123", "3", false},
      {"ABC_123", "X", false},
      {"", "3", false},
      {"   ", "U", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidProductBarCode(c.code, c.companyType), c.valid)
        << '"' << c.code << "\" type " << c.companyType;
    EXPECT_EQ(ProductBarCodeError(c.code, c.companyType).empty(), c.valid) << c.code;
  }
}

TEST(ProductBarCodeTest, ARefusalSaysWhy) {
  EXPECT_FALSE(ProductBarCodeError("12345", "U").empty());
  EXPECT_FALSE(ProductBarCodeError("\xE9t\xE9", "3").empty());  // accented letters are not Code 39
}

}  // namespace
}  // namespace products
