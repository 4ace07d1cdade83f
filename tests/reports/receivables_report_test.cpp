// The accounts receivable report: open items with their ages and aging categories.

#include <gtest/gtest.h>

#include "records/company_rec.h"
#include "reports/receivables_report.h"
#include "reports_fixture.h"

using namespace reports;
using namespace test_fixtures;

namespace {

using ReceivablesTest = ReportsTest;

TEST_F(ReceivablesTest, AgesAndCategoriesAtTheLimits) {
  const records::CompanyRec& company = records::CurrentCompany;
  const std::pair<int, const char*> cases[] = {{-3, "Current"}, {0, "Current"},  {30, "Current"},
                                               {31, "31-60"},   {60, "31-60"},   {61, "61-90"},
                                               {90, "61-90"},   {91, "Over 90"}, {4000, "Over 90"}};
  for (const auto& [age, category] : cases) EXPECT_EQ(AgingCategory(age, company), category) << age;

  const QDateTime now(QDate(2026, 3, 15), QTime(14, 7));
  EXPECT_EQ(AgeInDays(QDate(2026, 3, 15), now), 0);
  EXPECT_EQ(AgeInDays(QDate(2026, 2, 13), now), 30);
  EXPECT_EQ(AgeInDays(QDate(2025, 12, 14), now), 91);
  EXPECT_EQ(AgeInDays(QDate(2026, 3, 16), now), 0);   // -0.4 days, fraction dropped
  EXPECT_EQ(AgeInDays(QDate(2026, 3, 18), now), -2);  // -2.4 days
  // Across the change to summer time a day is still a day.
  EXPECT_EQ(AgeInDays(QDate(2026, 3, 1), QDateTime(QDate(2026, 3, 30), QTime(0, 30))), 29);
}

TEST_F(ReceivablesTest, ListsUnpaidInvoicesThenOpenDepositsWithTheirAges) {
  FileInvoices({
      Invoice({.Number = "1001",
               .Customer = "C100",
               .ShortName = "ACME",
               .Date = "2026/03/02",
               .Total = "108.13",
               .Due = "108.13"}),
      Invoice({.Number = "9001",
               .Type = "R",
               .Customer = "C100",
               .ShortName = "ACME",
               .Date = "2026/03/01",
               .Total = "20.00",
               .Due = "20.00"}),
      Invoice({.Number = "DP1",
               .Type = "D",
               .Customer = "C100",
               .ShortName = "ACME",
               .Date = "2026/03/08",
               .Paid = "30.00",
               .Due = "-30.00",
               .DatePaid = "2026/03/08"}),
      Invoice({.Number = "DP2",
               .Type = "D",
               .Customer = "C200",
               .ShortName = "BAKERS",
               .Date = "2026/03/09",
               .Paid = "10.00",
               .Due = "-10.00",
               .DatePaid = "2026/03/09",
               .Settled = "P"}),
      Invoice({.Number = "0901",
               .Customer = "C200",
               .ShortName = "BAKERS",
               .Date = "2026/02/13",
               .Total = "10.00",
               .Due = "10.00"}),
      Invoice({.Number = "0902",
               .Customer = "C200",
               .ShortName = "BAKERS",
               .Date = "2026/02/12",
               .Total = "20.00",
               .Due = "20.00"}),
      Invoice({.Number = "0905",
               .Customer = "C200",
               .ShortName = "BAKERS",
               .Date = "2026/02/01",
               .Total = "5.00",
               .Paid = "5.00",
               .Due = "5.00",
               .DatePaid = "2026/02/20"}),
      Invoice({.Number = "0903",
               .Type = "Z",
               .Customer = "C300",
               .ShortName = "CORNER",
               .Date = "2025/12/15",
               .Total = "300.00",
               .Paid = "100.00",
               .Due = "200.00"}),
      Invoice({.Number = "0904",
               .Customer = "C300",
               .ShortName = "CORNER",
               .Date = "2025/12/14",
               .Total = "1234.56",
               .Due = "1234.56"}),
      Invoice({.Number = "1006",
               .Customer = "C300",
               .ShortName = "CORNER",
               .Date = "2026/03/15",
               .Total = "15.00",
               .Due = "15.00"}),
  });
  ReportOutput report = CollectAccountsReceivable(Range("03/15/2026", "03/15/2026"));
  EXPECT_EQ(
      Trimmed(report.Table),
      (Rows{{"Category", "Invoice#", "Short Name", "Customer#", "Aging", "Year/Mo/Dy", "Balance Due", "C"},
            {"Current", "1001", "ACME", "C100", "13 Days", "2026/03/02", "108.13", "I"},
            {"Current", "0901", "BAKERS", "C200", "30 Days", "2026/02/13", "10.00", "I"},
            {"31-60", "0902", "BAKERS", "C200", "31 Days", "2026/02/12", "20.00", "I"},
            {"61-90", "0903", "CORNER", "C300", "90 Days", "2025/12/15", "200.00", "Z"},
            {"Over 90", "0904", "CORNER", "C300", "91 Days", "2025/12/14", "1,234.56", "I"},
            {"Current", "1006", "CORNER", "C300", "0 Days", "2026/03/15", "15.00", "I"},
            {"Current", "DP1", "ACME", "C100", "7 Days", "2026/03/08", "-30.00", "D"}}));
  EXPECT_DOUBLE_EQ(ColumnSum(report.Table, 6), 108.13 + 10 + 20 + 200 + 1234.56 + 15 - 30);
  EXPECT_EQ(report.Caption, "A/R");
  EXPECT_EQ(report.Head3, "All unpaid records selected.");
  EXPECT_EQ(report.Table.LastTextColumn, 5);
  EXPECT_EQ(report.Table.LastNumericColumn, 5);
  EXPECT_EQ(report.SortItems, (std::vector<std::string>{"2", "3", "4", "5", "6"}));
  // Neither the age nor the sortable date is a number to sum.
  EXPECT_FALSE(report.Table.IsNumericCell(1, 4));
  EXPECT_FALSE(report.Table.IsNumericCell(1, 5));

  EXPECT_EQ(CollectAccountsReceivable(Range("03/15/2026", "03/15/2026", "corner")).Table.RowCount(), 4);
}

TEST_F(ReceivablesTest, AgesComeFromTheSortableDateWhateverTheDateOrder) {
  // Typed day first, while the program reads month first: the sortable date decides.
  records::InvoiceRec invoice = Invoice({.Number = "1001",
                                         .Customer = "C100",
                                         .ShortName = "ACME",
                                         .Date = "2026/03/02",
                                         .Total = "8.00",
                                         .Due = "8.00"});
  invoice.InvoiceDate.Set("02/03/2026");
  FileInvoices({invoice});
  ReportOutput report = CollectAccountsReceivable(Range("03/15/2026", "03/15/2026"));
  ASSERT_EQ(report.Table.RowCount(), 2);
  EXPECT_EQ(report.Table.Cell(1, 4), "13 Days");
}

}  // namespace
