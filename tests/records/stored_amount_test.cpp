#include "records/stored_amount.h"

#include <gtest/gtest.h>

namespace records {
namespace {

TEST(StoredAmountTest, NumbersShowWithSeparatorsAndAnythingElseAsStored) {
  EXPECT_EQ(FormatStoredAmount("1234.5"), "1,234.50");
  EXPECT_EQ(FormatStoredAmount("0.00"), "0.00");
  EXPECT_EQ(FormatStoredAmount("-1234567.891"), "-1,234,567.89");
  EXPECT_EQ(FormatStoredAmount(" 12 "), "12.00");
  EXPECT_EQ(FormatStoredAmount("1,000"), "1,000.00");

  for (const char* damaged : {"", " ", "12a", "N/A", "1.2.3", "nan", "inf", "\xFF\x01"})
    EXPECT_EQ(FormatStoredAmount(damaged), damaged);
}

}  // namespace
}  // namespace records
