// The report table's cells and number rule, and the wizard's date presets, without files.

#include <gtest/gtest.h>

#include <random>

#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "reports/report_dates.h"
#include "reports/report_table.h"

using namespace reports;

namespace {

TEST(ReportDates, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2026));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2026, 4), 30);
  EXPECT_EQ(DaysInMonth(2026, 12), 31);
}

TEST(ReportDates, EveryPresetOnFixedDays) {
  struct Case {
    QDate today;
    const char* preset;
    QDate from, to;
  };
  const Case cases[] = {
      {QDate(2026, 3, 15), "Month to Date", QDate(2026, 3, 1), QDate(2026, 3, 15)},
      {QDate(2026, 3, 15), "Year to Date", QDate(2026, 1, 1), QDate(2026, 3, 15)},
      {QDate(2026, 3, 15), "Last 30 Days", QDate(2026, 2, 13), QDate(2026, 3, 15)},
      {QDate(2026, 3, 15), "Last 60 Days", QDate(2026, 1, 14), QDate(2026, 3, 15)},
      {QDate(2026, 3, 15), "Last 90 Days", QDate(2025, 12, 15), QDate(2026, 3, 15)},
      {QDate(2026, 3, 15), "Last 12 Months", QDate(2025, 3, 15), QDate(2026, 3, 15)},
      {QDate(2026, 3, 15), "Current Year", QDate(2026, 1, 1), QDate(2026, 12, 31)},
      {QDate(2026, 3, 15), "Previous Year", QDate(2025, 1, 1), QDate(2025, 12, 31)},
      {QDate(2026, 3, 15), "Current Month", QDate(2026, 3, 1), QDate(2026, 3, 31)},
      {QDate(2026, 3, 15), "Previous Month", QDate(2026, 2, 1), QDate(2026, 2, 28)},
      {QDate(2026, 1, 20), "Previous Month", QDate(2025, 12, 1), QDate(2025, 12, 31)},
      {QDate(2024, 2, 10), "Current Month", QDate(2024, 2, 1), QDate(2024, 2, 29)},
      {QDate(2000, 2, 10), "Current Month", QDate(2000, 2, 1), QDate(2000, 2, 29)},
      {QDate(2024, 3, 31), "Previous Month", QDate(2024, 2, 1), QDate(2024, 2, 29)},
      // The year before has no 29 February: the range starts on the 28th.
      {QDate(2024, 2, 29), "Last 12 Months", QDate(2023, 2, 28), QDate(2024, 2, 29)},
      {QDate(2024, 2, 29), "Month to Date", QDate(2024, 2, 1), QDate(2024, 2, 29)},
  };
  for (const Case& c : cases) {
    auto range = PresetRange(c.preset, c.today);
    ASSERT_TRUE(range) << c.preset;
    EXPECT_EQ(range->first, c.from) << c.preset << " on " << c.today.toString().toStdString();
    EXPECT_EQ(range->second, c.to) << c.preset << " on " << c.today.toString().toStdString();
  }
  EXPECT_FALSE(PresetRange("Custom Dates", QDate(2026, 3, 15)));
  for (std::string_view preset : DatePresets)
    EXPECT_EQ(PresetRange(preset, QDate(2026, 3, 15)).has_value(), preset != CustomDatesPreset) << preset;
}

TEST(ReportTable, NumericCellRule) {
  struct Case {
    const char* text;
    const char* heading;
    bool number;
  };
  const Case cases[] = {
      {"1,234.50", "Net Amount", true},    {"-12.00", "Net Amount", true},
      {"0.000", "Quantity", true},         {".50", "Net Amount", true},
      {"  7.25  ", "Cost", true},          {"Min. Quan.", "Net Amount", false},
      {"A12.5", "Net Amount", false},      {"12", "Net Amount", false},
      {"12.50", "Tax Rate", false},        {"12.50", " Key Code ", false},
      {"10.5", "Product#", false},         {"45 Days", "Aging", false},
      {"2026/03/05", "Year/Mo/Dy", false}, {"-", "Net Amount", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsNumericCell(c.text, c.heading), c.number) << c.text;
}

TEST(ReportTable, RowsArePaddedTrimmedAndNeverCut) {
  const std::vector<ReportColumn> columns = {TextColumn("Name", 6), TextColumn("Rate", 4),
                                             QuantityColumn("Price"), AmountColumn("Amount"),
                                             TextColumn("C", 1)};
  EXPECT_EQ(HeadingRow(columns), (std::vector<std::string>{"Name  ", "Rate", "Price", "Amount", "C"}));
  EXPECT_EQ(ComposeRow(columns, {"Ab", "8.125 %", "12.5", "12345678.9", "I"}),
            (std::vector<std::string>{"Ab    ", "8.12", "12.500", "12,345,678.90", "I"}));
  EXPECT_EQ(ComposeRow(columns, {"", "", "", "-1,000.005", ""}),
            (std::vector<std::string>{"      ", "    ", "0.000", "-1,000.01", ""}));
  EXPECT_EQ(ComposeRow(columns, {"x", "y", 3.0, 37.5, "Z"})[2], "3.000");
  EXPECT_THROW(ComposeRow(columns, {"x", "y", "1.2.3", "0", "Z"}), platform::text::ConvertError);
  // Composed straight into a table, the same cells; a value that is no number leaves nothing.
  ReportTable table({HeadingRow(columns)});
  const std::vector<CellValue> good = {"Ab", "8.125 %", "12.5", "12345678.9", "I"};
  const std::vector<CellValue> bad = {"x", "y", "1.2.3", "0", "Z"};
  table.AddComposedRow(columns, good);
  EXPECT_THROW(table.AddComposedRow(columns, bad), platform::text::ConvertError);
  table.AddComposedRow(columns, good);
  EXPECT_EQ(table.Rows(), (std::vector<ReportTable::Row>{HeadingRow(columns), ComposeRow(columns, good),
                                                         ComposeRow(columns, good)}));
}

// An amount given as text reads in its cell exactly as the text read as a number and formatted
// with the column's pattern: over plain and grouped texts of every length, sign and number of
// decimals, zeros included.
TEST(ReportTable, NumberTextsShowAsTheirValueFormatted) {
  const std::vector<ReportColumn> columns = {AmountColumn("Amount"), QuantityColumn("Quantity")};
  std::mt19937 random(20261207);
  for (int run = 0; run < 20000; ++run) {
    std::string digits;
    for (int k = static_cast<int>(random() % 18) + 1; k > 0; --k)
      digits += static_cast<char>('0' + (random() % 4 == 0 ? 0 : random() % 10));
    const std::size_t decimals = std::min<std::size_t>(random() % 6, digits.size());
    std::string text = digits.substr(0, digits.size() - decimals);
    if (random() % 2 && text.size() > 3) text.insert(text.size() - 3, ",");
    if (decimals > 0) text += "." + digits.substr(digits.size() - decimals);
    if (random() % 3 == 0) text = "-" + text;
    const std::vector<std::string> cells = ComposeRow(columns, {text, text});
    for (std::size_t k = 0; k < columns.size(); ++k)
      ASSERT_EQ(cells[k],
                platform::text::TrimBlanks(platform::text::FormatFloat(columns[k].Format, AmountOf(text))))
          << text;
  }
}

// Columns are as wide as their widest text in the font: capitals are wider than small letters.
TEST(ReportTable, ColumnsAreMeasuredByTheirWidestText) {
  ReportTable table({{"Product#", ""}, {"MW-88888", ""}, {"rope", ""}, {std::string(40, 'a'), ""}});
  const auto width = [](const std::string& text) {
    int pixels = 0;
    for (char c : text) pixels += c >= 'A' && c <= 'Z' ? 12 : 6;
    return pixels;
  };
  const std::vector<std::string> withLongRow = WidestCellTexts(table, width);
  EXPECT_EQ(withLongRow[0], std::string(32, 'a'));  // cut to 32 characters first
  EXPECT_EQ(withLongRow[1], " ");
  ReportTable shorter({{"Product#", ""}, {"MW-88888", ""}, {"rope", ""}});
  EXPECT_EQ(WidestCellTexts(shorter, width)[0], "MW-88888");
}

TEST(ReportTable, TextFileLinesPadEveryCellAndKeepLongNumbersWhole) {
  ReportTable table({{"Product Description", "Year/Mo/Dy", "Tax Rate", "Net Amount"},
                     {"Steel bolt", "2026/03/02", "12.50", "1,234.50"},
                     {"Labour", "2026/03/05", "8 %", "12,345,678.90"}});
  table.LastTextColumn = 2;
  table.LastNumericColumn = 3;
  const std::vector<std::string> expected = {
      "Invoice Register",
      "Harbour Supplies",
      "Date: Sunday",
      "Selected records",
      " ",
      " Product Description              Year/Mo/Dy   Tax Rate     Net Amount  ",
      " Steel bolt                       2026/03/02   12.50            1,234.50",
      " Labour                           2026/03/05   8 %          12,345,678.90",
  };
  EXPECT_EQ(
      ReportTextLines(table, "Invoice Register", "Harbour Supplies", "Date: Sunday", "Selected records"),
      expected);
}

}  // namespace
