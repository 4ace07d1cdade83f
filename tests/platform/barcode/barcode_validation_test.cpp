// Which codes make bar codes, and the bars they make.

#include <gtest/gtest.h>

#include "platform/barcode/barcode.h"

using namespace platform::barcode;

namespace {

struct ValidationCase {
  TBarCodeType type;
  std::string code;
  std::string error;  // empty: valid
};

class BarCodeValidationTest : public testing::TestWithParam<ValidationCase> {};

TEST_P(BarCodeValidationTest, AcceptsOrExplains) {
  const ValidationCase& c = GetParam();
  EXPECT_EQ(BarCodeError(c.type, c.code), c.error) << c.code;
  if (c.error.empty()) {
    EXPECT_NO_THROW(EncodeBarCode(c.type, c.code));
  } else {
    EXPECT_THROW(EncodeBarCode(c.type, c.code), EBarCodeError);
  }
}

const std::string kUpcLength = "UPC-A codes have 11 or 12 digits.";
const std::string kUpcDigits = "UPC-A codes hold digits only.";
const std::string kEanLength = "EAN-13 codes have 12 or 13 digits.";

INSTANTIATE_TEST_SUITE_P(UpcA, BarCodeValidationTest,
                         testing::Values(ValidationCase{TBarCodeType::bcUPC_A, "03600029145", ""},
                                         ValidationCase{TBarCodeType::bcUPC_A, "036000291452", ""},
                                         ValidationCase{TBarCodeType::bcUPC_A, "012345678905", ""},
                                         ValidationCase{TBarCodeType::bcUPC_A, "036000291453",
                                                        "The check digit of this UPC-A code should be 2."},
                                         ValidationCase{TBarCodeType::bcUPC_A, "012345678900",
                                                        "The check digit of this UPC-A code should be 5."},
                                         ValidationCase{TBarCodeType::bcUPC_A, "0360002914", kUpcLength},
                                         ValidationCase{TBarCodeType::bcUPC_A, "0360002914521", kUpcLength},
                                         ValidationCase{TBarCodeType::bcUPC_A, "", kUpcLength},
                                         ValidationCase{TBarCodeType::bcUPC_A, "03600029145A", kUpcDigits},
                                         ValidationCase{TBarCodeType::bcUPC_A, " 03600029145", kUpcDigits},
                                         ValidationCase{TBarCodeType::bcUPC_A, "0360-0029145", kUpcDigits}));

INSTANTIATE_TEST_SUITE_P(Ean13, BarCodeValidationTest,
                         testing::Values(ValidationCase{TBarCodeType::bcEAN_13, "400638133393", ""},
                                         ValidationCase{TBarCodeType::bcEAN_13, "4006381333931", ""},
                                         ValidationCase{TBarCodeType::bcEAN_13, "9780201379624", ""},
                                         ValidationCase{TBarCodeType::bcEAN_13, "4006381333932",
                                                        "The check digit of this EAN-13 code should be 1."},
                                         ValidationCase{TBarCodeType::bcEAN_13, "9780201379620",
                                                        "The check digit of this EAN-13 code should be 4."},
                                         // Short codes are not padded with zeros, nor read as EAN-8.
                                         ValidationCase{TBarCodeType::bcEAN_13, "40063813339", kEanLength},
                                         ValidationCase{TBarCodeType::bcEAN_13, "96385074", kEanLength},
                                         ValidationCase{TBarCodeType::bcEAN_13, "40063813339312", kEanLength},
                                         ValidationCase{TBarCodeType::bcEAN_13, "400638133393X",
                                                        "EAN-13 codes hold digits only."}));

INSTANTIATE_TEST_SUITE_P(
    Code39, BarCodeValidationTest,
    testing::Values(
        ValidationCase{TBarCodeType::bcCode39, "ABC-123", ""},
        ValidationCase{TBarCodeType::bcCode39, "0", ""},
        ValidationCase{TBarCodeType::bcCode39, "PROD 1.5/$+%", ""},
        ValidationCase{TBarCodeType::bcCode39, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", ""},
        ValidationCase{TBarCodeType::bcCode39, "", "A Code 39 code needs at least one character."},
        ValidationCase{TBarCodeType::bcCode39, "abc", "Code 39 cannot encode the character \"a\"."},
        ValidationCase{TBarCodeType::bcCode39, "AB*C", "Code 39 cannot encode the character \"*\"."},
        ValidationCase{TBarCodeType::bcCode39, "A_B", "Code 39 cannot encode the character \"_\"."},
        ValidationCase{TBarCodeType::bcCode39, "A\xC9", "Code 39 cannot encode the character \"\xC9\"."}));

TEST(BarCodeLimitsTest, CodeTooLongForTheLibraryIsRejectedAtEntryToo) {
  EXPECT_EQ(BarCodeError(TBarCodeType::bcCode39, std::string(80, 'A')), "");
  const std::string error = BarCodeError(TBarCodeType::bcCode39, std::string(200, 'A'));
  EXPECT_FALSE(error.empty());
}

TEST(BarCodeTypeTest, CompanySettingChoosesTheSymbology) {
  EXPECT_EQ(BarCodeTypeOfCompany("U"), TBarCodeType::bcUPC_A);
  EXPECT_EQ(BarCodeTypeOfCompany("E"), TBarCodeType::bcEAN_13);
  EXPECT_EQ(BarCodeTypeOfCompany("3"), TBarCodeType::bcCode39);
  EXPECT_EQ(BarCodeTypeOfCompany(""), TBarCodeType::bcCode39);
  EXPECT_EQ(BarCodeTypeOfCompany("u"), TBarCodeType::bcCode39);
}

int BarCount(const BarPattern& pattern) {
  int bars = 0;
  for (size_t i = 0; i < pattern.modules.size(); ++i)
    if (pattern.modules[i] && (i == 0 || !pattern.modules[i - 1])) ++bars;
  return bars;
}

TEST(BarPatternTest, UpcAndEanHaveGuardsAndThirtyBars) {
  for (const auto& [type, code] : {std::pair{TBarCodeType::bcUPC_A, "036000291452"},
                                   std::pair{TBarCodeType::bcEAN_13, "4006381333931"}}) {
    const BarPattern pattern = EncodeBarCode(type, code);
    ASSERT_EQ(pattern.modules.size(), 95u) << code;
    const std::vector<bool> guard = {true, false, true};
    const std::vector<bool> centre = {false, true, false, true, false};
    EXPECT_EQ(std::vector<bool>(pattern.modules.begin(), pattern.modules.begin() + 3), guard);
    EXPECT_EQ(std::vector<bool>(pattern.modules.begin() + 45, pattern.modules.begin() + 50), centre);
    EXPECT_EQ(std::vector<bool>(pattern.modules.end() - 3, pattern.modules.end()), guard);
    EXPECT_EQ(BarCount(pattern), 30);
  }
}

TEST(BarPatternTest, CheckDigitGivenOrAddedMakesTheSameSymbol) {
  EXPECT_EQ(EncodeBarCode(TBarCodeType::bcUPC_A, "03600029145").modules,
            EncodeBarCode(TBarCodeType::bcUPC_A, "036000291452").modules);
  EXPECT_EQ(EncodeBarCode(TBarCodeType::bcEAN_13, "400638133393").modules,
            EncodeBarCode(TBarCodeType::bcEAN_13, "4006381333931").modules);
  EXPECT_NE(EncodeBarCode(TBarCodeType::bcEAN_13, "400638133393").modules,
            EncodeBarCode(TBarCodeType::bcEAN_13, "400638133394").modules);
}

TEST(BarPatternTest, Code39CarriesStartStopAndCheckCharacter) {
  // Each character is 5 bars and 4 spaces with an inter-character gap, so the symbol of n
  // characters has 5 x (n + 3) bars: start, n, check character, stop.
  EXPECT_EQ(BarCount(EncodeBarCode(TBarCodeType::bcCode39, "A")), 20);
  EXPECT_EQ(BarCount(EncodeBarCode(TBarCodeType::bcCode39, "ABC-123")), 50);
  const BarPattern pattern = EncodeBarCode(TBarCodeType::bcCode39, "ABC-123");
  EXPECT_TRUE(pattern.modules.front());
  EXPECT_TRUE(pattern.modules.back());
}

// Every width from none to wide, for short and long symbols: the widest whole module that fits,
// and none under 10 mils (3 pixels).
TEST(ModuleWidthTest, TheWidestWholeModuleThatFitsAndNoneTooNarrowToRead) {
  for (int modules : {20, 64, 95, 150}) {
    for (int available = -50; available <= 2000; ++available) {
      const int width = ModuleWidth(available, modules);
      SCOPED_TRACE(testing::Message() << available << " pixels for " << modules << " modules");
      if (width == 0) {
        EXPECT_GT(3 * modules, available);
        continue;
      }
      EXPECT_GE(width, 3);
      EXPECT_LE(width * modules, available);
      EXPECT_GT((width + 1) * modules, available);
    }
  }
}

}  // namespace
