#include "exchange/product_import.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <tuple>

#include "exchange/comma_text.h"
#include "import_fixture.h"
#include "platform/text/key_text.h"
#include "platform/ui/support/ui_script.h"
#include "records/product_file.h"
#include "storage/isam.h"

namespace exchange {
namespace {

using namespace records;

class ProductImportTest : public test_fixtures::ImportTest {
 protected:
  // Imports into the product file as the Product Manager holds it open, then rebuilds it.
  static ImportResult ImportAndRebuild(const std::vector<std::string>& lines, bool copyDescription = false,
                                       const ImportProgress& progress = {}) {
    std::vector<ImportRow> rows;
    for (const std::string& line : lines) rows.push_back(SplitCommaText(line));
    EXPECT_TRUE(OpenProductFile());
    const ImportResult result = ImportProducts(rows, copyDescription, progress);
    storage::IsamCloseFileBlock(ProductFile);
    EXPECT_TRUE(RebuildProductFile());
    return result;
  }
  static std::map<std::string, ProductRec> ByCode() {
    std::map<std::string, ProductRec> products;
    for (const ProductRec& p : ProductsByCode()) products[p.Code.Get()] = p;
    return products;
  }
};

// A number is never cut to its 10-character field: the first cell that would be is found with its
// line and column (sales prices as stored, rounded to cents; other figures as written).
TEST_F(ProductImportTest, NumbersTooLongForTheirFieldsAreFoundWithLineAndColumn) {
  using Fault = std::tuple<int, int, std::string>;
  const struct {
    std::vector<std::string> lines;
    std::optional<Fault> fault;
  } cases[] = {
      {{"A,a,,,,,,12345678.99"}, Fault{1, 7, "12345678.99"}},
      {{"A,a,,,,,,,,,12345678901"}, Fault{1, 10, "12345678901"}},
      {{"A,a,,,,,,,,99999999.995"}, Fault{1, 9, "99999999.995"}},
      {{"A,a,,,,,,,7.1234567891"}, Fault{1, 8, "7.1234567891"}},
      {{"A,ok,,,,,,1234567.891,1,2,-123456789,,,1,2,3", "B,b,,,,,,,,,,,,,,\" 12345678901\""},
       Fault{2, 15, "12345678901"}},
      {{"A,a,,,,,,1234567.891,abcdefghijkl,,1234567890,,,,,-123456789"}, std::nullopt},
  };
  for (const auto& c : cases) {
    std::vector<ImportRow> rows;
    for (const std::string& line : c.lines) rows.push_back(SplitCommaText(line));
    const std::optional<ImportCellFault> fault = FirstNumberTooLong(rows);
    ASSERT_EQ(fault.has_value(), c.fault.has_value()) << c.lines.back();
    if (fault) {
      EXPECT_EQ(Fault(fault->Line, fault->Column, fault->Text), *c.fault);
    }
  }
}

TEST_F(ProductImportTest, EveryFieldComesFromItsColumnOrItsDefault) {
  ImportAndRebuild({
      "W-100,\"Widget, large\",\"Large widget\",Y,Y,Y,Y,12.5,15.00,7.125,40,\"Shelf 3\",WID,100,10,50",
      "W-200,\"Widget, small\",\"Small widget\",y,\" Y\",N,,abc,\"1,500.00\",-2,\"\",Bin,\"  \",x,,2.5",
  });
  const std::map<std::string, ProductRec> stored = ByCode();
  ASSERT_EQ(stored.size(), 2u);
  const ProductRec& big = stored.at("W-100");
  const ProductRec& small = stored.at("W-200");
  auto flags = [](const ProductRec& p) {
    return std::to_string(p.TaxOnInvoice) + std::to_string(p.TaxOnPO) + std::to_string(p.NonStock) +
           std::to_string(p.NonDepleting);
  };
  auto text = [](const ProductRec& p) {
    return std::vector<std::string>{p.Description.Get(),
                                    p.PODescription.Get(),
                                    p.Price.Get(),
                                    p.ListPrice.Get(),
                                    p.Cost.Get(),
                                    p.OnHand.Get(),
                                    p.Location.Get(),
                                    p.KeyCode.Get(),
                                    p.MaximumQuantity.Get(),
                                    p.MinimumQuantity.Get(),
                                    p.TargetQuantity.Get(),
                                    p.SetupDate.Get(),
                                    p.PricingMethod.Get() + p.PriceUpdateMode.Get(),
                                    p.Percentage.Get(),
                                    p.Weight.Get(),
                                    p.BatchNumber.Get(),
                                    p.Notes.Get()};
  };
  EXPECT_EQ(flags(big), "1111");
  EXPECT_EQ(flags(small), "0000");  // only exactly "Y" turns a flag on
  // The sales price is kept in cents; list price and cost as written, as the product dialog keeps them.
  EXPECT_EQ(text(big), (std::vector<std::string>{"Widget, large", "Large widget", "12.50", "15.00", "7.125",
                                                 "40", "Shelf 3", "WID", "100", "10", "50", "03/05/2026",
                                                 "FA", "0.00", "0", "0", ""}));
  // Letters, thousands separators and empty cells are no numbers; a blank key code is "*None*".
  EXPECT_EQ(text(small),
            (std::vector<std::string>{"Widget, small", "Small widget", "0.00", "0.00", "-2", "0", "Bin",
                                      "*None*", "0", "0", "2.5", "03/05/2026", "FA", "0.00", "0", "0", ""}));
}

TEST_F(ProductImportTest, TheInvoiceDescriptionCanBeForcedIntoThePODescription) {
  ImportAndRebuild({"A1,\"Invoice text\",\"PO text\""}, true);
  EXPECT_EQ(ProductsByCode().at(0).PODescription.Get(), "Invoice text");
}

TEST_F(ProductImportTest, CodesTakenOnFileOrInTheRunBecomeFreeCounterCodes) {
  FileProducts({Product("W-100", "On file"), Product("3", "Taken number"), Product("DUP4", "Taken dup")});
  const ImportResult result = ImportAndRebuild({
      "w-100,\"Same code, other case\"",  // on file: DUP + the counter (4, whose DUP4 is taken: DUP5)
      ",\"No code\"",                     // the counter: 6
      "NEW,\"First new\"",
      "NEW,\"Second new\"",  // repeated in the run: DUP7
      ",\"No code again\"",  // 8
      "\"" + std::string(20, 'Q') + "\",\"Long code\"",
  });
  EXPECT_EQ(result.Added, 6);
  std::map<std::string, std::string> codes;
  for (const ProductRec& p : ProductsByCode()) codes[p.Code.Get()] = p.Description.Get();
  EXPECT_EQ(codes, (std::map<std::string, std::string>{{"W-100", "On file"},
                                                       {"3", "Taken number"},
                                                       {"DUP4", "Taken dup"},
                                                       {"DUP5", "Same code, other case"},
                                                       {"6", "No code"},
                                                       {"NEW", "First new"},
                                                       {"DUP7", "Second new"},
                                                       {"8", "No code again"},
                                                       {std::string(15, 'Q'), "Long code"}}));
}

TEST_F(ProductImportTest, HundredsOfProductsWithRepeatedCodesAllSurviveTheRebuild) {
  std::vector<ProductRec> onFile;
  for (int i = 0; i < 30; ++i)
    onFile.push_back(Product("P" + std::to_string(i), "Filed " + std::to_string(i)));
  FileProducts(onFile);
  std::vector<std::string> lines;
  for (int row = 0; row < 400; ++row)
    lines.push_back((row % 5 == 0 ? std::string() : "P" + std::to_string(row % 60)) + ",\"Row " +
                    std::to_string(row) + "\"");
  std::vector<std::string> reported;
  const ImportProgress progress = [&](int done, int all) {
    reported.push_back(std::to_string(done) + "/" + std::to_string(all));
  };
  EXPECT_EQ(ImportAndRebuild(lines, false, progress).Added, 400);
  EXPECT_EQ(reported, (std::vector<std::string>{"100/400", "200/400", "300/400", "400/400"}));
  std::map<std::string, int> descriptions;
  for (const ProductRec& p : ProductsByCode()) ++descriptions[p.Description.Get()];
  EXPECT_EQ(descriptions.size(), 430u);  // every record once, under a code of its own
}

// The product export's "Comma/Quote" line with every field ticked: code, descriptions, the four
// flags as "Y" or "N", prices, stock, location, key code and quantities, each trimmed and quoted.
std::string ExportLine(const ProductRec& p) {
  auto yn = [](records::Flag flag) { return std::string(flag == 1 ? "Y" : "N"); };
  std::string line;
  for (const std::string& field :
       {p.Code.Get(), p.Description.Get(), p.PODescription.Get(), yn(p.TaxOnInvoice), yn(p.TaxOnPO),
        yn(p.NonStock), yn(p.NonDepleting), p.Price.Get(), p.ListPrice.Get(), p.Cost.Get(), p.OnHand.Get(),
        p.Location.Get(), p.KeyCode.Get(), p.MaximumQuantity.Get(), p.MinimumQuantity.Get(),
        p.TargetQuantity.Get()})
    line += (line.empty() ? "\"" : "\",\"") + platform::text::TrimBlanks(field);
  return line + "\"";
}

TEST_F(ProductImportTest, ProductsExportedAsCommaQuoteTextComeBackAsTheyWere) {
  std::vector<ProductRec> exported;
  for (int i = 0; i < 30; ++i) {
    ProductRec p = Product("SKU-" + std::to_string(i), "Bolt, " + std::to_string(i) + " mm");
    p.PODescription.Set("Bolt M" + std::to_string(i));
    p.TaxOnInvoice = i % 2;
    p.TaxOnPO = i % 3 == 0;
    p.NonStock = i % 5 == 0;
    p.NonDepleting = i % 7 == 0;
    p.Price.Set(std::to_string(i) + ".25");
    p.ListPrice.Set(std::to_string(i + 1) + ".00");
    p.Cost.Set("0.1" + std::to_string(i % 10));
    p.OnHand.Set(std::to_string(i * 3) + ".5");
    p.Location.Set("Aisle " + std::to_string(i % 4));
    p.KeyCode.Set(i % 4 ? "BOLTS" : "*None*");
    p.MaximumQuantity.Set("100");
    p.MinimumQuantity.Set(std::to_string(i));
    p.TargetQuantity.Set("50");
    exported.push_back(p);
  }
  std::vector<std::string> lines;
  for (const ProductRec& p : exported) lines.push_back(ExportLine(p));
  EXPECT_EQ(ImportAndRebuild(lines).Added, 30);
  const std::map<std::string, ProductRec> imported = ByCode();
  ASSERT_EQ(imported.size(), 30u);
  for (const ProductRec& p : exported) EXPECT_EQ(ExportLine(imported.at(p.Code.Get())), ExportLine(p));
}

TEST(NumericCellTest, AcceptsPlainNumbersOnly) {
  for (const char* number : {"0", "12", "-3", "1.5", " 7 ", ".5", "12."})
    EXPECT_TRUE(IsNumericCell(number)) << number;
  for (const char* other : {"", "abc", "1,000", "1e3", "+1", "nan", "inf", "0x10", "1.2.3", "12 kg"})
    EXPECT_FALSE(IsNumericCell(other)) << other;
}

}  // namespace
}  // namespace exchange
