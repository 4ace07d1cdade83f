// The registers, the key code inquiry and the tax report over one small invoice file.

#include <gtest/gtest.h>

#include "platform/text/number_text.h"
#include "records/invoice_file.h"
#include "reports/invoice_reports.h"
#include "reports_fixture.h"
#include "storage/isam.h"

using namespace reports;
using namespace test_fixtures;

namespace {

class InvoiceReportsTest : public ReportsTest {
 protected:
  void FileMarch() {
    FileInvoices({
        Invoice({.Number = "1001",
                 .Customer = "C100",
                 .ShortName = "ACME",
                 .Date = "2026/03/02",
                 .Net = "100.00",
                 .Tax = "8.13",
                 .Total = "108.13",
                 .Due = "108.13",
                 .KeyCode = "RETAIL"}),
        Invoice({.Number = "9001",
                 .Type = "R",
                 .Customer = "C100",
                 .ShortName = "ACME",
                 .Date = "2026/03/01",
                 .Net = "20.00",
                 .Total = "20.00",
                 .Due = "20.00"}),
        Invoice({.Number = "1002",
                 .Customer = "C200",
                 .ShortName = "BAKERS",
                 .Date = "2026/03/10",
                 .Net = "50.00",
                 .Total = "50.00",
                 .Paid = "50.00",
                 .DatePaid = "2026/03/12",
                 .KeyCode = "TRADE",
                 .TaxRate = "0"}),
        Invoice({.Number = "1005",
                 .Type = "Z",
                 .Customer = "C200",
                 .ShortName = "BAKERS",
                 .Date = "2026/03/05",
                 .Net = "185.00",
                 .Tax = "15.00",
                 .Total = "200.00",
                 .Paid = "80.00",
                 .Due = "120.00",
                 .TaxRate = "8.108"}),
        Invoice({.Number = "DP1",
                 .Type = "D",
                 .Customer = "C100",
                 .ShortName = "ACME",
                 .Date = "2026/03/08",
                 .Paid = "30.00",
                 .Due = "-30.00",
                 .DatePaid = "2026/03/08",
                 .KeyCode = "Deposit"}),
        Invoice({.Number = "0901",
                 .Customer = "C100",
                 .ShortName = "ACME",
                 .Date = "2026/02/13",
                 .Net = "10.00",
                 .Total = "10.00",
                 .Paid = "4.00",
                 .Due = "6.00"}),
        Invoice({.Number = "1006",
                 .Customer = "C300",
                 .ShortName = "CORNER",
                 .Date = "2026/03/15",
                 .Net = "1234567.00",
                 .Total = "1234567.00",
                 .Due = "1234567.00",
                 .KeyCode = "RETAIL"}),
        Invoice({.Number = "1101",
                 .Customer = "C100",
                 .ShortName = "ACME",
                 .Date = "2026/04/01",
                 .Net = "7.00",
                 .Total = "7.00",
                 .Due = "7.00"}),
    });
  }
};

TEST_F(InvoiceReportsTest, InvoiceRegisterListsTheInvoicesOfTheRangeButNoMasters) {
  FileMarch();
  ReportOutput report = CollectInvoiceRegister(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(Trimmed(report.Table),
            (Rows{{"Year/Mo/Dy", "Invoice#", "Short Name", "Customer#", "Net Amount", "Tax Amount",
                   "Grand Total", "C"},
                  {"2026/03/02", "1001", "ACME", "C100", "100.00", "8.13", "108.13", "I"},
                  {"2026/03/05", "1005", "BAKERS", "C200", "185.00", "15.00", "200.00", "Z"},
                  {"2026/03/10", "1002", "BAKERS", "C200", "50.00", "0.00", "50.00", "I"},
                  {"2026/03/15", "1006", "CORNER", "C300", "1,234,567.00", "0.00", "1,234,567.00", "I"}}));
  // Net and tax make the grand total on every row, and the billed total is the invoices' own.
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 4) + ColumnSum(report.Table, 5), ColumnSum(report.Table, 6));
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 6), 108.13 + 200.00 + 50.00 + 1234567.00);
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4"}));
  EXPECT_EQ(report.Table.Rows()[0][0], "Year/Mo/Dy");
  EXPECT_EQ(report.Table.Rows()[0][1], "Invoice# ");
}

TEST_F(InvoiceReportsTest, ZeroTotalsAreListedOnlyForRegularInvoices) {
  FileInvoices({
      Invoice({.Number = "1003", .Customer = "C100", .ShortName = "ACME", .Date = "2026/03/11"}),
      Invoice({.Number = "1004", .Type = "G", .Customer = "C100", .ShortName = "ACME", .Date = "2026/03/11"}),
      Invoice({.Number = "", .Customer = "C100", .ShortName = "ACME", .Date = "2026/03/11", .Total = "5.00"}),
  });
  ReportOutput report = CollectInvoiceRegister(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{Trimmed(report.Table)[0], {"2026/03/11", "1003", "ACME", "C100", "0.00", "0.00", "0.00", "I"}}));
  EXPECT_EQ(CollectInvoiceKeyCodeInquiry(Range("03/01/2026", "03/31/2026")).Table.RowCount(), 1);
}

TEST_F(InvoiceReportsTest, KeyCodeInquiryShowsTheKeyCodeFirst) {
  FileMarch();
  ReportOutput report = CollectInvoiceKeyCodeInquiry(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(Trimmed(report.Table),
            (Rows{{"Key Code", "Invoice#", "Short Name", "Year/Mo/Dy", "Net Amount", "Tax Amount",
                   "Grand Total", "C"},
                  {"RETAIL", "1001", "ACME", "2026/03/02", "100.00", "8.13", "108.13", "I"},
                  {"*None*", "1005", "BAKERS", "2026/03/05", "185.00", "15.00", "200.00", "Z"},
                  {"TRADE", "1002", "BAKERS", "2026/03/10", "50.00", "0.00", "50.00", "I"},
                  {"RETAIL", "1006", "CORNER", "2026/03/15", "1,234,567.00", "0.00", "1,234,567.00", "I"}}));
  EXPECT_EQ(report.Caption, "Invoice Key Code Inquiry");
  EXPECT_EQ(CollectInvoiceKeyCodeInquiry(Range("03/01/2026", "03/31/2026", "trade")).Table.RowCount(), 2);
}

TEST_F(InvoiceReportsTest, TaxReportListsPaymentsThenPartlyPaidInvoices) {
  FileMarch();
  ReportOutput report = CollectTaxReport(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{{"Year/Mo/Dy", "Invoice#", "Tax Rate", "Customer#", "Key Code", "Paid Amount", "Tax Amount", "C"},
            {"2026/03/08", "DP1", "8.125 %", "C100", "Deposit", "30.00", "0.00", "D"},
            {"2026/03/12", "1002", "0 %", "C200", "TRADE", "50.00", "0.00", "I"},
            {"2026/03/05", "1005", "8.108 %", "C200", "", "80.00", "15.00", "Z"}}));
  // The tax rate is text, never a number, whatever it looks like.
  EXPECT_FALSE(report.Table.IsNumericCell(3, 2));
  EXPECT_TRUE(report.Table.IsNumericCell(3, 5));
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4", "5"}));
}

TEST_F(InvoiceReportsTest, PaymentRegisterShowsTotalPaidAndBalance) {
  FileMarch();
  ReportOutput report = CollectPaymentRegister(Range("03/01/2026", "03/31/2026"));
  EXPECT_EQ(Trimmed(report.Table),
            (Rows{{"Year/Mo/Dy", "Invoice#", "Short Name", "Customer#", "Grand Total", "Paid Amount",
                   "Balance Due", "C"},
                  {"2026/03/08", "DP1", "ACME", "C100", "0.00", "30.00", "-30.00", "D"},
                  {"2026/03/12", "1002", "BAKERS", "C200", "50.00", "50.00", "0.00", "I"},
                  {"2026/03/05", "1005", "BAKERS", "C200", "200.00", "80.00", "120.00", "Z"}}));
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 5), 30.00 + 50.00 + 80.00);
  // A partly paid invoice of February is outside the range of its invoice date.
  EXPECT_EQ(CollectPaymentRegister(Range("02/01/2026", "02/28/2026")).Table.RowCount(), 2);
}

TEST_F(InvoiceReportsTest, TheFileIsLeftAsTheReportFoundItEvenWhenAnAmountIsDamaged) {
  FileMarch();
  ASSERT_TRUE(records::OpenInvoiceFile());
  EXPECT_EQ(CollectInvoiceRegister(Range("03/01/2026", "03/31/2026")).Table.RowCount(), 5);
  EXPECT_NE(records::InvoiceFile, nullptr);  // open before, so still open
  storage::IsamCloseFileBlock(records::InvoiceFile);

  FileInvoices({Invoice({.Number = "1200",
                         .Customer = "C100",
                         .ShortName = "ACME",
                         .Date = "2026/03/20",
                         .Net = "12,50x",
                         .Total = "12.50"})});
  EXPECT_THROW(CollectInvoiceRegister(Range("03/01/2026", "03/31/2026")), platform::text::ConvertError);
  EXPECT_EQ(records::InvoiceFile, nullptr);  // closed again, not left open by the failed run
  EXPECT_EQ(CollectInvoiceRegister(Range("03/01/2026", "03/19/2026")).Table.RowCount(), 5);
}

}  // namespace
