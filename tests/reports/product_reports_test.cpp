// The overstock, reorder and inventory reports over one small product file.

#include <gtest/gtest.h>

#include "reports/product_reports.h"
#include "reports_fixture.h"

using namespace reports;
using namespace test_fixtures;

namespace {

class ProductReportsTest : public ReportsTest {
 protected:
  void FileStock() {
    records::ProductRec bolt = Product("BOLT-10", "Steel bolt 10mm", "12", "2", "10", "8");
    bolt.PreferredVendor.Set("Acme Tools");
    bolt.Location.Set("Aisle 3");
    bolt.KeyCode.Set("HARDWARE");
    bolt.Cost.Set("8.00");
    bolt.Price.Set("12.50");
    records::ProductRec glue = Product("GLUE", "Wood glue", "100", "0", "1", "0");
    glue.NonStock = 1;
    records::ProductRec sand = Product("SAND", "Sand, per kg", "1,500", "2,000", "5,000", "4,000");
    sand.NonDepleting = 1;
    FileProducts({Product("PIPE-2", "Copper pipe", "10", "0", "10", "5"), bolt,
                  Product("NUT-5", "Hex nut 5mm", "3", "5", "40", "20"),
                  Product("WASHER", "Washer", "3", "5", "9", "3"),
                  Product("X", "Single letter code", "50", "60", "10", "70"), glue, sand,
                  Product("TAPE", "Tape", "1,200", "1,500", "2,000", "1,600")});
  }
};

TEST_F(ProductReportsTest, OverstockListsStockItemsAboveTheirMaximum) {
  FileStock();
  ReportOutput report = CollectOverstockReport(Range("03/15/2026", "03/15/2026"));
  EXPECT_EQ(Trimmed(report.Table),
            (Rows{{"Preferred Vendor", "Product Description", "Product#", "Key Code", "Min. Quan.",
                   "Max. Quan.", "Target Quan.", "On Hand", "Over Stock"},
                  {"Acme Tools", "Steel bolt 10mm", "BOLT-10", "HARDWARE", "2.00", "10.00", "8.00", "12.00",
                   "2.00"}}));
  EXPECT_EQ(report.Head3, "All Inventory Records Searched.");
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4"}));
  EXPECT_EQ(report.Table.LastTextColumn, 3);
}

TEST_F(ProductReportsTest, ReorderListsStockItemsBelowTheirMinimumWithTheAmountToTarget) {
  FileStock();
  ReportOutput report = CollectReorderReport(Range("03/15/2026", "03/15/2026"));
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{{"Preferred Vendor", "Product Description", "Product#", "Key Code", "Min. Quan.", "Max. Quan.",
             "Target Quan.", "On Hand", "Reorder Amt."},
            {"*None*", "Hex nut 5mm", "NUT-5", "*NONE*", "5.00", "40.00", "20.00", "3.00", "17.00"},
            {"*None*", "Tape", "TAPE", "*NONE*", "1,500.00", "2,000.00", "1,600.00", "1,200.00", "400.00"},
            {"*None*", "Single letter code", "X", "*NONE*", "60.00", "10.00", "70.00", "50.00", "20.00"}}));
  // The heading "Min. Quan." has a point but is no number.
  EXPECT_FALSE(report.Table.IsNumericCell(0, 4));
  EXPECT_TRUE(report.Table.IsNumericCell(1, 4));
}

TEST_F(ProductReportsTest, InventoryListsEveryProductInFileOrderWithItsCostValue) {
  FileStock();
  ReportOutput report = CollectInventoryReport(Range("03/15/2026", "03/15/2026", "o"));
  EXPECT_EQ(report.Head3, "*** Filtered records selected for: O");
  ReportOutput all = CollectInventoryReport(Range("03/15/2026", "03/15/2026"));
  EXPECT_EQ(all.Head3, "All Inventory Records Selected.");
  const Rows rows = Trimmed(all.Table);
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Location", "Product Description", "Product#", "Key Code", "T",
                                               "On Hand", "Cost", "Sell", "Cost Value"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"*None*", "Copper pipe", "PIPE-2", "*NONE*", "F", "10.00",
                                               "4.00", "10.00", "40.00"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"Aisle 3", "Steel bolt 10mm", "BOLT-10", "HARDWARE", "F",
                                               "12.00", "8.00", "12.50", "96.00"}));
  EXPECT_EQ(rows[8][2], "TAPE");
  EXPECT_EQ(rows[8][8], "4,800.00");
  // Every product's value, and no more, is in the inventory's cost value.
  EXPECT_DOUBLE_EQ(ColumnSum(all.Table, 8), 40 + 96 + 12 + 12 + 200 + 400 + 6000 + 4800);
  // Copper pipe, Steel bolt, Single letter code and Wood glue have an "o".
  EXPECT_EQ(report.Table.RowCount(), 5);
}

}  // namespace
