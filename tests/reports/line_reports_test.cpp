// The reports over invoice and PO lines, each over a small fixed set of lines, row by row.

#include <gtest/gtest.h>

#include "reports/line_reports.h"
#include "reports_fixture.h"

using namespace reports;
using namespace test_fixtures;

namespace {

class LineReportsTest : public ReportsTest {
 protected:
  void FileSales() {
    FileLines({
        Line("1001", "2026/03/02", "BOLT-10", "C100", "ACME", "3", "Steel bolt 10mm", "12.5", "37.50",
             "8.00"),
        Line("1001", "2026/03/02", "", "C100", "ACME", "1", "Labour", "45", "45.00", ""),
        Line("1002", "2026/03/10", "NUT-5", "C200", "BAKERS", "100", "Hex nut 5mm", "0.25", "25.00", "0.10"),
        Line("0999", "2026/02/27", "BOLT-10", "C100", "ACME", "2", "Steel bolt 10mm", "12.5", "25.00",
             "8.00"),
        Line("1003", "2026/04/01", "NUT-5", "C200", "BAKERS", "4", "Hex nut 5mm", "0.25", "1.00", "0.10"),
    });
  }
  void FilePurchases() {
    records::PODetailRec received =
        POLine("5001", "2026/03/03", "BOLT-10", "V10", "Acme Tools", "3", "Steel bolt 10mm", "12.5", "37.50");
    received.Received.Set("Y");
    received.ReceivedDate.Set("2026/03/05");
    received.QuantityReceived.Set("3");
    received.ReceiverNumber.Set("R-100");
    records::PODetailRec partly =
        POLine("5003", "2026/02/20", "NUT-5", "V20", "Boltco", "10", "Hex nut 5mm", "0.25", "2.50");
    partly.Received.Set("Y");
    partly.ReceivedDate.Set("2026/03/06");
    partly.QuantityReceived.Set("4");
    FilePOLines(
        {received,
         POLine("5002", "2026/03/20", "", "V20", "Boltco", "1", "Freight", "12345678.9", "12345678.90"),
         partly, records::ReceiptRecord(partly, "2026/04/02", "6", "R-101")});
  }
};

TEST_F(LineReportsTest, SalesReportListsTheLinesOfTheRangeInDateOrder) {
  FileSales();
  ReportOutput report = CollectSalesReport(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{{"Product Description", "Product#", "Year/Mo/Dy", "Invoice#", "Short Name", "Customer",
             "Unit Price", "Quantity", "Line Amount"},
            {"Steel bolt 10mm", "BOLT-10", "2026/03/02", "1001", "ACME", "C100", "12.500", "3.000", "37.50"},
            {"Labour", "*None*", "2026/03/02", "1001", "ACME", "C100", "45.000", "1.000", "45.00"},
            {"Hex nut 5mm", "NUT-5", "2026/03/10", "1002", "BAKERS", "C200", "0.250", "100.000", "25.00"}}));
  // The lines of the range, and no others, make the total.
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 8), 37.50 + 45.00 + 25.00);
  EXPECT_EQ(report.Caption, "Sales Report");
  EXPECT_EQ(report.Head1, "Harbour Supplies");
  EXPECT_EQ(report.Head2, "Date: Sunday, March 15, 2026, 02:07 PM");
  EXPECT_EQ(report.Head3, "Selected records from 03/01/2026 to 03/31/2026");
  EXPECT_FALSE(report.Filtered);
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4", "5", "6"}));
  EXPECT_EQ(report.Table.LastTextColumn, 5);
  EXPECT_EQ(report.Table.LastNumericColumn, 8);
}

TEST_F(LineReportsTest, ProfitReportComputesCostSalesAndProfitPerLine) {
  FileSales();
  ReportOutput report = CollectProfitReport(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{{"Product#", "Product Description", "Invoice#", "Date", "Customer", "Quantity", "Your Cost",
             "Sales Price", "Net Profit"},
            {"BOLT-10", "Steel bolt 10mm", "1001", "2026/03/02", "C100", "3.00", "24.00", "37.50", "13.50"},
            {"*None*", "Labour", "1001", "2026/03/02", "C100", "1.00", "0.00", "45.00", "45.00"},
            {"NUT-5", "Hex nut 5mm", "1002", "2026/03/10", "C200", "100.00", "10.00", "25.00", "15.00"}}));
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 7) - ColumnSum(report.Table, 6), ColumnSum(report.Table, 8));
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4", "5"}));
  EXPECT_EQ(CollectProfitReport(Range("01/01/2020", "12/31/2020")).Table.RowCount(), 1);
}

// A memo line holds the memo's net where a line item holds its unit price: it sold its net, not
// the net times its quantity, and the two reports agree on what was sold.
TEST_F(LineReportsTest, AMemoLineSellsItsNetWhateverItsQuantity) {
  FileSales();
  records::DetailRec memo =
      Line("1004", "2026/03/12", "WORK", "C200", "BAKERS", "3", "Work on site", "195.00", "195.00", "40.00");
  memo.LineText.Set(records::LineText("3", "Work on site", "195.00", "M", "195.00"));
  memo.SourceFlag.Set("M");
  FileLines({memo});
  const ReportOutput profit = CollectProfitReport(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(Trimmed(profit.Table).back(),
            (std::vector<std::string>{"WORK", "Work on site", "1004", "2026/03/12", "C200", "3.00", "120.00",
                                      "195.00", "75.00"}));
  const ReportOutput sales = CollectSalesReport(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(Trimmed(sales.Table).back(),
            (std::vector<std::string>{"Work on site", "WORK", "2026/03/12", "1004", "BAKERS", "C200",
                                      "65.000", "3.000", "195.00"}));
  EXPECT_DOUBLE_EQ(ColumnSum(profit.Table, 7), ColumnSum(sales.Table, 8));
}

TEST_F(LineReportsTest, PurchaseDetailKeepsTextCellsPaddedAndLargeAmountsWhole) {
  FilePurchases();
  ReportOutput report = CollectPurchaseDetail(Range("03/01/2026", "03/31/2026"));
  ASSERT_EQ(report.Table.RowCount(), 3);
  ASSERT_EQ(report.Table.ColumnCount(), 9);
  EXPECT_EQ(report.Table.Rows()[1],
            (std::vector<std::string>{"Steel bolt 10mm                 ", "BOLT-10        ", "2026/03/03",
                                      "5001     ", "Acme Tools", "V10     ", "12.500", "3.000", "37.50"}));
  EXPECT_EQ(Trimmed(report.Table)[2],
            (std::vector<std::string>{"Freight", "*None*", "2026/03/20", "5002", "Boltco", "V20",
                                      "12,345,678.900", "1.000", "12,345,678.90"}));
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 8), 37.50 + 12345678.90);
  EXPECT_EQ(report.Table.Rows()[0][0], "Product Description             ");
}

TEST_F(LineReportsTest, FilterFindsItsWordInAnyFilterFieldWhateverTheCase) {
  FilePurchases();
  ReportOutput report = CollectPurchaseDetail(Range("01/01/2026", "12/31/2026", "  acme "));
  EXPECT_EQ(report.Table.RowCount(), 2);
  EXPECT_EQ(platform::text::TrimBlanks(report.Table.Cell(1, 4)), "Acme Tools");
  EXPECT_TRUE(report.Filtered);
  EXPECT_EQ(report.Head3, "*** Filtered records selected for: ACME");

  EXPECT_EQ(CollectPurchaseDetail(Range("01/01/2026", "12/31/2026", "hex nut")).Table.RowCount(), 3);
  EXPECT_EQ(CollectPurchaseDetail(Range("01/01/2026", "12/31/2026", "5002")).Table.RowCount(), 2);
  EXPECT_EQ(CollectPurchaseDetail(Range("01/01/2026", "12/31/2026", "nobody")).Table.RowCount(), 1);
  ReportOutput blanks = CollectPurchaseDetail(Range("03/01/2026", "03/31/2026", "   "));
  EXPECT_FALSE(blanks.Filtered);
  EXPECT_EQ(blanks.Head3, "Selected records from 03/01/2026 to 03/31/2026");
}

TEST_F(LineReportsTest, ReceivingReportListsWhatCameInDuringTheRange) {
  FilePurchases();
  ReportOutput report = CollectReceivingReport(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{
          {"Product Description", "Product#", "Year/Mo/Dy", "PO#", "Short Name", "Vendor#", "Receiver#",
           "Ordered", "Received"},
          {"Steel bolt 10mm", "BOLT-10", "2026/03/05", "5001", "Acme Tools", "V10", "R-100", "3.000", "3.00"},
          {"Hex nut 5mm", "NUT-5", "2026/03/06", "5003", "Boltco", "V20", "*None*", "10.000", "4.00"}}));
  // The receiver column is trimmed in its cell.
  EXPECT_EQ(report.Table.Rows()[1][6], "R-100");
  ReportOutput april = CollectReceivingReport(Range("04/01/2026", "04/30/2026"));
  EXPECT_EQ(Trimmed(april.Table)[1], (std::vector<std::string>{"Hex nut 5mm", "NUT-5", "2026/04/02", "5003",
                                                               "Boltco", "V20", "R-101", "0.000", "6.00"}));
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4", "5", "6", "7"}));
}

TEST_F(LineReportsTest, NoFileOrNoLineInRangeGivesOnlyTheHeadings) {
  EXPECT_EQ(CollectSalesReport(Range("03/01/2026", "03/31/2026")).Table.RowCount(), 1);
  FileSales();
  EXPECT_EQ(CollectSalesReport(Range("05/01/2026", "05/31/2026")).Table.RowCount(), 1);
  EXPECT_EQ(CollectSalesReport(Range("03/02/2026", "03/02/2026")).Table.RowCount(), 3);
}

}  // namespace
