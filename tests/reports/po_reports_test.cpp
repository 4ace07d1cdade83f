// The PO register, the commitment report and the PO key code inquiry over one small PO header
// file: an open PO, a received one, POs before and after the range, POs of no value, a returned
// PO, one without a number, and a credit whose amount is wider than its column.

#include <gtest/gtest.h>

#include "records/po_header_file.h"
#include "reports/po_reports.h"
#include "reports_fixture.h"
#include "storage/isam.h"

using namespace reports;
using namespace test_fixtures;

namespace {

class POReportsTest : public ReportsTest {
 protected:
  void FileMarch() { FilePOHeaders(MarchPOs()); }
  static ReportRequest March(const std::string& filter = "") {
    return Range("03/01/2026", "03/31/2026", filter);
  }
};

const std::vector<std::string> Amounts = {"Net Amount", "Tax Amount", "Grand Total", "C"};

std::vector<std::string> Headings(std::vector<std::string> leading) {
  leading.insert(leading.end(), Amounts.begin(), Amounts.end());
  return leading;
}

TEST_F(POReportsTest, RegisterListsThePOsOfTheRangeByDate) {
  FileMarch();
  ReportOutput report = CollectPORegister(March());
  EXPECT_EQ(Trimmed(report.Table),
            (Rows{Headings({"Year/Mo/Dy", "PO#", "Short Name", "Vendor#"}),
                  {"2026/03/02", "5001", "ACME", "V100", "100.00", "8.13", "108.13", "O"},
                  {"2026/03/05", "5002", "BOLTCO", "V200", "46.25", "3.75", "50.00", "O"},
                  {"2026/03/08", "5004", "ACME", "V100", "0.00", "0.00", "0.00", "O"},
                  {"2026/03/11", "5006", "CORNER", "V300", "30.00", "0.00", "30.00", "R"},
                  {"2026/03/15", "5007", "CORNER", "V300", "-1,234,567.80", "0.00", "-1,234,567.80", "O"}}));
  // The credit's 13 characters stand whole, so the column sums still make the grand totals.
  EXPECT_EQ(report.Table.Cell(5, 6), "-1,234,567.80");
  EXPECT_TRUE(report.Table.IsNumericCell(5, 6));
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 4) + ColumnSum(report.Table, 5), ColumnSum(report.Table, 6));
  EXPECT_NEAR(ColumnSum(report.Table, 6), 108.13 + 50.00 + 30.00 - 1234567.80, 1e-6);
  // Text cells keep their padding; the columns are those of the other registers.
  EXPECT_EQ(report.Table.Rows()[1][1], "5001     ");
  EXPECT_EQ(report.Table.Rows()[1][2], "ACME      ");
  EXPECT_EQ(report.Caption, "PO Register");
  EXPECT_EQ(report.Head3, "Selected records from 03/01/2026 to 03/31/2026");
  EXPECT_FALSE(report.Filtered);
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4"}));
  EXPECT_EQ(report.Table.LastTextColumn, 3);
  EXPECT_EQ(report.Table.LastNumericColumn, 6);
}

TEST_F(POReportsTest, CommitmentReportListsThePOsDueInTheRangeAndNotReceived) {
  FileMarch();
  ReportOutput report = CollectCommitmentReport(March());
  EXPECT_EQ(Trimmed(report.Table),
            (Rows{Headings({"Date Req.", "PO#", "Short Name", "Vendor#"}),
                  {"2026/03/12", "5003", "ACME", "V100", "20.00", "0.00", "20.00", "O"},
                  {"2026/03/20", "5001", "ACME", "V100", "100.00", "8.13", "108.13", "O"},
                  {"2026/03/25", "5004", "ACME", "V100", "0.00", "0.00", "0.00", "O"}}));
  EXPECT_EQ(report.Caption, "Commitment Report");
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4"}));
  // A PO due on the last day of the range that has not come in yet.
  EXPECT_EQ(CollectCommitmentReport(Range("03/30/2026", "03/31/2026")).Table.RowCount(), 1);
  FilePOHeaders({POHeader({.Number = "5009",
                           .Vendor = "V200",
                           .ShortName = "BOLTCO",
                           .Date = "2026/03/01",
                           .Required = "2026/03/31",
                           .Net = "5.00",
                           .Total = "5.00"})});
  EXPECT_EQ(Trimmed(CollectCommitmentReport(Range("03/30/2026", "03/31/2026")).Table)[1],
            (std::vector<std::string>{"2026/03/31", "5009", "BOLTCO", "V200", "5.00", "0.00", "5.00", "O"}));
}

TEST_F(POReportsTest, KeyCodeInquiryShowsTheKeyCodeFirstAndSkipsReturnsAndEmptyPOs) {
  FileMarch();
  ReportOutput report = CollectPOKeyCodeInquiry(March());
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{Headings({"Key Code", "PO#", "Short Name", "Year/Mo/Dy"}),
            {"TOOLS", "5001", "ACME", "2026/03/02", "100.00", "8.13", "108.13", "O"},
            {"*None*", "5002", "BOLTCO", "2026/03/05", "46.25", "3.75", "50.00", "O"},
            {"RETURNS", "5007", "CORNER", "2026/03/15", "-1,234,567.80", "0.00", "-1,234,567.80", "O"}}));
  EXPECT_EQ(report.Caption, "PO Key Code Inquiry");
}

// Each report looks for the filter in its own fields only: the register in the vendor's names,
// the commitments and the inquiry also in the PO number, the inquiry in the key code too.
TEST_F(POReportsTest, TheFilterSearchesEachReportsOwnFields) {
  FileMarch();
  struct Case {
    ReportOutput (*collect)(const ReportRequest&);
    const char* filter;
    std::vector<std::string> numbers;  // the PO numbers listed, in order
  };
  const Case cases[] = {
      {CollectPORegister, "boltco", {"5002"}},
      {CollectPORegister, "  v3 ", {"5006", "5007"}},
      {CollectPORegister, "5001", {}},
      {CollectPORegister, "tools", {}},
      {CollectCommitmentReport, "5001", {"5001"}},
      {CollectCommitmentReport, "acme", {"5003", "5001", "5004"}},
      {CollectCommitmentReport, "v2", {}},
      {CollectPOKeyCodeInquiry, "5001", {"5001"}},
      {CollectPOKeyCodeInquiry, "return", {"5007"}},
      {CollectPOKeyCodeInquiry, "V100", {}},
  };
  for (const Case& c : cases) {
    ReportOutput report = c.collect(March(c.filter));
    const int numberColumn = 1;
    std::vector<std::string> numbers;
    for (const std::vector<std::string>& row : Trimmed(report.Table)) numbers.push_back(row[numberColumn]);
    numbers.erase(numbers.begin());  // the heading
    EXPECT_EQ(numbers, c.numbers) << report.Caption << " filtered for '" << c.filter << "'";
    EXPECT_TRUE(report.Filtered) << c.filter;
    EXPECT_EQ(report.Head3.rfind("*** Filtered records selected for: ", 0), 0u) << report.Head3;
  }
  // Blanks alone are no filter.
  EXPECT_FALSE(CollectPORegister(March("   ")).Filtered);
}

TEST_F(POReportsTest, NothingOutsideTheRangeAndTheFileLeftAsFound) {
  FileMarch();
  EXPECT_EQ(CollectPORegister(Range("01/01/2026", "02/19/2026")).Table.RowCount(), 1);
  EXPECT_EQ(CollectCommitmentReport(Range("05/01/2026", "05/31/2026")).Table.RowCount(), 1);
  EXPECT_EQ(CollectPOKeyCodeInquiry(Range("03/16/2026", "03/31/2026")).Table.RowCount(), 1);

  // The PO file held open by the PO Manager stays open; one the report opened is closed again.
  ASSERT_TRUE(records::OpenPOHeaderFile());
  EXPECT_EQ(CollectPORegister(March()).Table.RowCount(), 6);
  EXPECT_NE(records::POHeaderFile, nullptr);
  storage::IsamCloseFileBlock(records::POHeaderFile);
  records::POHeaderFile = nullptr;
  EXPECT_EQ(CollectPORegister(March()).Table.RowCount(), 6);
  EXPECT_EQ(records::POHeaderFile, nullptr);
}

}  // namespace
