// Line extensions, totals and the stored-amount limits of the entry forms.

#include <gtest/gtest.h>

#include "forms/line_amounts.h"

namespace forms {
namespace {

TEST(LineAmountsTest, ExtensionsRoundHalfAwayFromZeroOnTheDigitsTyped) {
  struct Case {
    const char* quantity;
    const char* price;
    Cents cents;
  };
  const Case cases[] = {
      {"1", "0.125", 13},   {"-1", "0.125", -13},      {"2", "1.125", 225},   {"3", "0.35", 105},
      {"1.5", "2.01", 302}, {"0.333", "3", 100},       {"", "5.00", 0},       {"abc", "5.00", 0},
      {"10", "", 0},        {"1,000", "1.10", 110000}, {"-2.5", "-0.5", 125}, {"7", "1.005", 704},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LineExtension(c.quantity, c.price), c.cents) << c.quantity << " x " << c.price;
  EXPECT_FALSE(LineExtension("9999999999", "9999999999"));
}

TEST(LineAmountsTest, TaxFallsOnTaxableLinesOnlyWhenCalculated) {
  const std::vector<TotalsLine> lines{{1000, true}, {250, false}, {-13, true}, {0, true}};
  const DocumentTotals taxed = LineItemTotals(lines, true, 8.25, 500);
  EXPECT_EQ(taxed.Net, 1237);
  EXPECT_EQ(taxed.Taxable, 987);
  EXPECT_EQ(taxed.Tax, 81);  // 9.87 x 8.25% = 0.814275
  EXPECT_EQ(taxed.Total, 1318);
  EXPECT_EQ(taxed.Due, 818);
  const DocumentTotals untaxed = LineItemTotals(lines, false, 8.25, 0);
  EXPECT_EQ(untaxed.Tax, 0);
  EXPECT_EQ(untaxed.Total, 1237);
  // Half a cent of tax goes up: 1.00 at 0.5%.
  EXPECT_EQ(LineItemTotals({{100, true}}, true, 0.5, 0).Tax, 1);
  EXPECT_EQ(LineItemTotals({{-100, true}}, true, 0.5, 0).Tax, -1);
}

TEST(LineAmountsTest, StoredAmountsKeepToTenCharacters) {
  EXPECT_TRUE(AmountFits(999999999));    // 9999999.99
  EXPECT_FALSE(AmountFits(1000000000));  // 10000000.00
  EXPECT_TRUE(AmountFits(-99999999));    // -999999.99
  EXPECT_FALSE(AmountFits(-123456789));  // -1234567.89
  EXPECT_TRUE(NumberTextFits("1,234,567.89"));
  EXPECT_FALSE(NumberTextFits("12345678901"));
  EXPECT_TRUE(IsValidNumber("  "));
  EXPECT_TRUE(IsValidNumber("1,234.5"));
  EXPECT_FALSE(IsValidNumber("1.2.3"));
  EXPECT_FALSE(IsValidNumber("1e5"));
}

}  // namespace
}  // namespace forms
