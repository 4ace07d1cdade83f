// Sorting a report with sub-totals and the Top 10 accumulator, on tables built by hand, and a
// model test that checks every inserted row of random reports against its records.

#include <gtest/gtest.h>

#include <QLocale>
#include <map>
#include <random>
#include <tuple>

#include "platform/text/amount.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "reports/report_subtotals.h"
#include "reports/top10_accumulator.h"
#include "reports_fixture.h"

using namespace reports;
using test_fixtures::Rows;
using test_fixtures::Trimmed;

namespace {

const std::vector<std::string> RegisterHeading = {"Year/Mo/Dy", "Invoice#",   "Short Name",  "Customer#",
                                                  "Net Amount", "Tax Amount", "Grand Total", "C"};
const std::vector<std::string> SalesHeading = {"Product Description", "Product#", "Year/Mo/Dy", "Invoice#",
                                               "Short Name",          "Customer", "Unit Price", "Quantity",
                                               "Line Amount"};

ReportTable Table(std::vector<std::string> heading, Rows records, int lastText, int lastNumeric) {
  ReportTable table;
  table.AddRow(heading);
  for (const auto& record : records) table.AddRow(record);
  table.LastTextColumn = lastText;
  table.LastNumericColumn = lastNumeric;
  return table;
}

ReportTable Register(Rows records) {
  return Table(RegisterHeading, std::move(records), 3, 6);
}

TEST(Top10, KeepsTheTenLargestOffers) {
  Top10Data top10;
  for (int value = 12; value >= 1; --value) top10.AddTop10("K" + std::to_string(value), value);
  for (int slot = 0; slot < Top10SlotCount; ++slot) {
    EXPECT_EQ(top10.Slots[slot].Value, 12 - slot);
    EXPECT_EQ(top10.Slots[slot].Name, "K" + std::to_string(12 - slot));
  }
  EXPECT_EQ(top10.OtherTotal, 3);
  EXPECT_EQ(top10.GrandTotal, 78);
  EXPECT_EQ(top10.SlotSum(), 75);

  // A tie with the smallest slot stays out; a larger value pushes the smallest out.
  top10.AddTop10("tie", 3);
  EXPECT_EQ(top10.Slots[9].Name, "K3");
  top10.AddTop10("A name of more than twenty characters", 50);
  EXPECT_EQ(top10.Slots[0].Name, "A name of more than ");
  EXPECT_EQ(top10.Slots[9].Name, "K4");
  EXPECT_EQ(top10.OtherTotal, 3 + 3 + 3);
  EXPECT_EQ(top10.GrandTotal, 78 + 3 + 50);

  // Ascending offers end in descending slots too.
  top10.ResetTop10();
  for (int value = 1; value <= 12; ++value) top10.AddTop10(std::to_string(value), value);
  for (int slot = 0; slot < Top10SlotCount; ++slot) EXPECT_EQ(top10.Slots[slot].Value, 12 - slot);
  EXPECT_EQ(top10.OtherTotal, 3);

  // Zero and negative values never enter an unused slot.
  top10.ResetTop10();
  top10.AddTop10("loss", -20);
  top10.AddTop10("nothing", 0);
  top10.AddTop10("gain", 5);
  EXPECT_EQ(top10.Slots[0].Name, "gain");
  EXPECT_EQ(top10.Slots[1].Name, "");
  EXPECT_EQ(top10.OtherTotal, -20);
  EXPECT_EQ(top10.GrandTotal, -15);
}

TEST(ReportSubtotals, MonthTotalsAcrossAYearEnd) {
  ReportTable table = Register({
      {"2026/01/02", "1003", "ACME", "C1", "10.00", "0.80", "10.80", "I"},
      {"2025/12/30", "1002", "Bakers", "C2", "1,000.10", "80.01", "1,080.11", "I"},
      {"2025/12/30", "1001", "ACME", "C1", "100.00", "8.00", "108.00", "I"},
      {"2025/12/31", "1004", "abc", "C3", "0.05", "0.00", "0.05", "G"},
  });
  Top10Data top10;
  ASSERT_EQ(SortWithSubtotals(table, 0, "Invoice Register", true, top10), SortOutcome::Sorted);
  const Rows expected = {
      RegisterHeading,
      {"2025/12/30", "1001", "ACME", "C1", "100.00", "8.00", "108.00", "I"},
      {"2025/12/30", "1002", "Bakers", "C2", "1,000.10", "80.01", "1,080.11", "I"},
      {"", "", "", "** Totals", "1,100.10", "88.01", "1,188.11", ""},
      {"", "", "", "", "", "", "", ""},
      {"2025/12/31", "1004", "abc", "C3", "0.05", "0.00", "0.05", "G"},
      {"", "", "", "** Totals", "0.05", "0.00", "0.05", ""},
      {"", "", "", "", "", "", "", ""},
      {"", "", "(12/2025)", "Month Total", "1,100.15", "88.01", "1,188.16", ""},
      {"", "", "", "", "", "", "", ""},
      {"2026/01/02", "1003", "ACME", "C1", "10.00", "0.80", "10.80", "I"},
      {"", "", "", "** Totals", "10.00", "0.80", "10.80", ""},
      {"", "", "", "", "", "", "", ""},
      {"", "", "(01/2026)", "Month Total", "10.00", "0.80", "10.80", ""},
      {"", "", "", "", "", "", "", ""},
      {"", "", "", "Grand Total", "1,110.15", "88.81", "1,198.96", ""},
  };
  EXPECT_EQ(Trimmed(table), expected);
  EXPECT_EQ(SortedCaption("Invoice Register", table), "Invoice Register by Date");
  EXPECT_EQ(top10.Slots[0].Name, "2025/12/30");
  EXPECT_DOUBLE_EQ(top10.Slots[0].Value, 1100.10);
  EXPECT_EQ(top10.Slots[1].Name, "2026/01/02");
  EXPECT_EQ(top10.Slots[2].Name, "2025/12/31");
  EXPECT_DOUBLE_EQ(top10.GrandTotal, 1110.15);

  // Another pass takes out what the first put in: sub-totals off leaves the records, a blank
  // row and the grand total, and an empty accumulator; on again gives the same grid as before.
  ASSERT_EQ(SortWithSubtotals(table, 0, "Invoice Register", false, top10), SortOutcome::Sorted);
  Rows plain = {expected[0], expected[1], expected[2], expected[5], expected[10], expected[14], expected[15]};
  EXPECT_EQ(Trimmed(table), plain);
  EXPECT_EQ(top10.Slots[0].Name, "");
  EXPECT_EQ(top10.GrandTotal, 0);
  ASSERT_EQ(SortWithSubtotals(table, 0, "Invoice Register", true, top10), SortOutcome::Sorted);
  EXPECT_EQ(Trimmed(table), expected);

  // All in one month: no month row.
  ReportTable oneMonth = Register({expected[1], expected[2]});
  SortWithSubtotals(oneMonth, 0, "Invoice Register", true, top10);
  for (const auto& row : Trimmed(oneMonth)) EXPECT_NE(row[3], "Month Total");
}

TEST(ReportSubtotals, KeysThatDifferOnlyInCaseSortTogetherAsGroupsOfTheirOwn) {
  ReportTable table = Register({
      {"2026/03/01", "1", "Abc", "C1", "1.00", "0.00", "1.00", "I"},
      {"2026/03/02", "2", "ABC", "C1", "2.00", "0.00", "2.00", "I"},
      {"2026/03/03", "3", "abd", "C1", "4.00", "0.00", "4.00", "I"},
      {"2026/03/04", "4", "abc", "C1", "8.00", "0.00", "8.00", "I"},
      {"2026/03/05", "5", "Abc", "C1", "16.00", "0.00", "16.00", "I"},
  });
  Top10Data top10;
  // Sorting on the short name moves it to the front; the date takes its place.
  ASSERT_EQ(SortWithSubtotals(table, 2, "Invoice Register", true, top10), SortOutcome::Sorted);
  EXPECT_EQ(table.Heading(0), "Short Name");
  EXPECT_EQ(table.Heading(2), "Year/Mo/Dy");
  std::vector<std::string> column0, totals;
  for (const auto& row : Trimmed(table)) {
    column0.push_back(row[0]);
    if (row[3] == "** Totals" || row[3] == "Grand Total") totals.push_back(row[4]);
  }
  const std::vector<std::string> keys = {"Short Name", "ABC", "", "",    "Abc", "Abc", "", "",
                                         "abc",        "",    "", "abd", "",    "",    ""};
  EXPECT_EQ(column0, keys);
  EXPECT_EQ(totals, (std::vector<std::string>{"2.00", "17.00", "8.00", "4.00", "31.00"}));
  EXPECT_EQ(table.Cell(4, 2), "2026/03/01");
  EXPECT_EQ(table.Cell(5, 2), "2026/03/05");
  EXPECT_EQ(SortedCaption("Invoice Register", table), "Invoice Register by Short Name");

  // A later pass on the first column keeps the new order of the columns.
  ASSERT_EQ(SortWithSubtotals(table, 0, "Invoice Register", true, top10), SortOutcome::Sorted);
  EXPECT_EQ(table.Heading(0), "Short Name");
  EXPECT_EQ(Trimmed(table)[1][0], "ABC");

  // A number column is no sort column: nothing changes.
  const ReportTable before = table;
  EXPECT_EQ(SortWithSubtotals(table, 4, "Invoice Register", true, top10), SortOutcome::NotATextColumn);
  EXPECT_EQ(table, before);
}

// The keys in the collation of the user's locale: an accented letter among its base letters, or
// after "Z" where the language puts it there; keys that differ only in case side by side, each a
// group of its own. Records of one key ("Pier") follow their other cells in the same collation,
// and cells that differ only in case by their bytes. Cells hold Windows-1252: "\xC4rla" is Arla
// with an umlaut, "\xC9mile" Emile with an acute accent.
TEST(ReportSubtotals, KeysSortInTheCollationOfTheUsersLocale) {
  const std::vector<std::string> names = {"Zeta", "\xC9mile", "eve", "\xC4rla",
                                          "Anna", "O'Hara",   "abc", "ABC"};
  const std::vector<std::string> pierCells = {"Widget", "bolt", "\xC9tagere", "anchor", "Zinc", "Bolt"};
  // Accented letters among their base letters (Swedish too puts E with an acute accent among the e's).
  const std::vector<std::string> keysByLetters = {"ABC", "abc",    "Anna", "\xC4rla", "\xC9mile",
                                                  "eve", "O'Hara", "Pier", "Zeta"};
  const std::vector<std::string> pierByLetters = {"anchor", "Bolt", "bolt", "\xC9tagere", "Widget", "Zinc"};
  const struct {
    const char* locale;
    std::vector<std::string> order;
    std::vector<std::string> pierOrder;
  } cases[] = {
      {"en_US", keysByLetters, pierByLetters},
      {"de_DE", keysByLetters, pierByLetters},
      {"sv_SE",
       {"ABC", "abc", "Anna", "\xC9mile", "eve", "O'Hara", "Pier", "Zeta", "\xC4rla"},
       pierByLetters},
      {"C",
       {"ABC", "abc", "Anna", "eve", "O'Hara", "Pier", "Zeta", "\xC4rla", "\xC9mile"},
       {"anchor", "Bolt", "bolt", "Widget", "Zinc", "\xC9tagere"}},
  };
  const QLocale before;
  for (const auto& [locale, order, pierOrder] : cases) {
    SCOPED_TRACE(locale);
    QLocale::setDefault(QLocale(locale));
    Rows records;
    for (std::size_t k = 0; k < names.size(); ++k)
      records.push_back({"2026/03/01", std::to_string(k + 1), names[k], "C1", "1.00", "0.00", "1.00", "I"});
    for (const std::string& cell : pierCells)
      records.push_back({"2026/03/01", cell, "Pier", "C1", "1.00", "0.00", "1.00", "I"});
    ReportTable table = Register(records);
    Top10Data top10;
    ASSERT_EQ(SortWithSubtotals(table, 2, "Invoice Register", true, top10), SortOutcome::Sorted);
    std::vector<std::string> keys;
    std::vector<std::string> pierCellsSorted;
    int groups = 0;
    for (const auto& row : Trimmed(table)) {
      if (!row[0].empty() && row[0] != "Short Name" && (keys.empty() || keys.back() != row[0]))
        keys.push_back(row[0]);
      if (row[0] == "Pier") pierCellsSorted.push_back(row[1]);
      groups += row[3] == "** Totals" ? 1 : 0;
    }
    EXPECT_EQ(keys, order);
    EXPECT_EQ(pierCellsSorted, pierOrder);
    EXPECT_EQ(groups, static_cast<int>(order.size()));
  }
  QLocale::setDefault(before);
}

TEST(ReportSubtotals, ARecordWithABlankFirstCellStaysThroughEveryPass) {
  ReportTable table =
      Table(SalesHeading,
            {
                {"Steel bolt", "BOLT-10", "2026/03/02", "1001", "ACME", "C100", "12.500", "3.000", "37.50"},
                {"", "*None*", "2026/03/02", "1001", "ACME", "C100", "0.125", "1,200.500", "150.06"},
                {"Hex nut", "NUT-5", "2026/03/10", "1002", "BAKERS", "C200", "0.250", "0.001", "0.00"},
            },
            5, 8);
  Top10Data top10;
  for (bool subtotals : {true, false, true, true}) {
    ASSERT_EQ(SortWithSubtotals(table, 0, "Sales Report", subtotals, top10), SortOutcome::Sorted);
    int records = 0;
    for (int row = 1; row < table.RowCount(); ++row) records += table.IsInserted(row) ? 0 : 1;
    EXPECT_EQ(records, 3);
    EXPECT_EQ(table.Cell(1, 1), "*None*") << "the blank key sorts first";
    const Rows rows = Trimmed(table);
    EXPECT_EQ(rows.back(),
              (std::vector<std::string>{"", "", "", "", "", "", "Grand Total", "1,203.501", "187.56"}));
  }
  EXPECT_EQ(Trimmed(table)[2],
            (std::vector<std::string>{"", "", "", "", "", "", "** Totals", "1,200.500", "150.06"}));
  EXPECT_EQ(top10.Slots[0].Name, "");
  EXPECT_DOUBLE_EQ(top10.Slots[0].Value, 150.06);
}

// --- The model test -----------------------------------------------------------------------------

using platform::text::Cents;
using platform::text::TrimBlanks;

Cents CentsOf(std::string_view cell) {
  return platform::text::ParseAmount(cell).value_or(0);
}

// Random register records over a few keys in different cases and dates around a year end.
ReportTable RandomRegister(std::mt19937& random) {
  static const char* names[] = {"ACME", "Acme", "acme", "Bakers", "bakers", "Zed", "", "O'Hara"};
  std::uniform_int_distribution<int> name(0, 7), day(0, 70), count(1, 40);
  std::uniform_int_distribution<Cents> amount(-50000, 500000);
  Rows records;
  for (int k = count(random); k > 0; --k) {
    const QDate date = QDate(2025, 11, 25).addDays(day(random));
    const Cents net = amount(random), tax = amount(random) / 10;
    records.push_back({date.toString("yyyy/MM/dd").toStdString(), std::to_string(1000 + k),
                       names[name(random)], "C" + std::to_string(name(random)),
                       platform::text::FormatAmount(net), platform::text::FormatAmount(tax),
                       platform::text::FormatAmount(net + tax), "I"});
  }
  return Register(std::move(records));
}

// Walks a sorted register with sub-totals and checks every inserted row against the records
// above it, the order of the records and the accumulator's offers.
void CheckSubtotals(const ReportTable& table, const Top10Data& top10) {
  std::vector<Cents> group(3), month(3), grand(3);
  std::map<std::string, Cents> offers;
  std::string previousKey;
  bool first = true;
  Cents offered = 0;
  for (int row = 1; row < table.RowCount(); ++row) {
    const std::string label = TrimBlanks(table.Cell(row, 3));
    auto expectSums = [&](const std::vector<Cents>& sums) {
      for (int k = 0; k < 3; ++k)
        EXPECT_EQ(CentsOf(table.Cell(row, 4 + k)), sums[k]) << label << " row " << row;
    };
    if (!table.IsInserted(row)) {
      const std::string key(table.Cell(row, 0));
      if (!first) {
        const std::string a = platform::text::UpperCase(previousKey), b = platform::text::UpperCase(key);
        EXPECT_TRUE(a < b || (a == b && previousKey <= key)) << previousKey << " / " << key;
      }
      first = false;
      previousKey = key;
      for (int k = 0; k < 3; ++k) {
        const Cents value = CentsOf(table.Cell(row, 4 + k));
        group[k] += value;
        month[k] += value;
        grand[k] += value;
      }
    } else if (label == "** Totals") {
      expectSums(group);
      offers[previousKey] += group[0];
      offered += group[0];
      std::fill(group.begin(), group.end(), 0);
    } else if (label == "Month Total") {
      expectSums(month);
      std::fill(month.begin(), month.end(), 0);
    } else if (label == "Grand Total") {
      expectSums(grand);
      EXPECT_EQ(row, table.RowCount() - 1);
    } else {
      for (int column = 0; column < table.ColumnCount(); ++column)
        EXPECT_EQ(table.Cell(row, column), "") << "row " << row;
    }
  }
  EXPECT_NEAR(top10.GrandTotal, offered / 100.0, 1e-6);
  std::vector<Cents> largest;
  for (const auto& [key, value] : offers) largest.push_back(value);
  std::sort(largest.rbegin(), largest.rend());
  for (std::size_t slot = 0; slot < std::min<std::size_t>(10, largest.size()); ++slot) {
    if (largest[slot] <= 0) break;
    EXPECT_NEAR(top10.Slots[slot].Value, largest[slot] / 100.0, 1e-6) << slot;
  }
}

// The C locale for the life of a test.
class InTheCLocale {
 public:
  InTheCLocale() { QLocale::setDefault(QLocale::c()); }
  ~InTheCLocale() { QLocale::setDefault(before_); }

 private:
  QLocale before_;
};

// The records as a plain sort puts them in the C locale, where the collation goes by capitals:
// the sort column's trimmed text (cut to the key length) changes places with column 0, then the
// rows are ordered by that key without regard to case, then by the key as it stands, then by the
// other cells without regard to case, then by the whole row as it stands.
void ModelSort(Rows& records, int column) {
  for (std::vector<std::string>& row : records) {
    std::string key = TrimBlanks(row[static_cast<std::size_t>(column)]).substr(0, SortKeyLength);
    row[static_cast<std::size_t>(column)] = row[0];
    row[0] = std::move(key);
  }
  const auto capitals = [](const std::vector<std::string>& row) {
    std::vector<std::string> upper;
    for (const std::string& cell : row) upper.push_back(platform::text::UpperCase(cell));
    return upper;
  };
  std::sort(records.begin(), records.end(), [&](const auto& a, const auto& b) {
    const std::vector<std::string> ua = capitals(a), ub = capitals(b);
    return std::tie(ua[0], a[0], ua, a) < std::tie(ub[0], b[0], ub, b);
  });
}

Rows RecordRows(const ReportTable& table) {
  const Rows rows = table.Rows();
  Rows records;
  for (int row = 1; row < table.RowCount(); ++row)
    if (!table.IsInserted(row)) records.push_back(rows[static_cast<std::size_t>(row)]);
  return records;
}

// What the columns are measured by, with one unit a character.
std::vector<std::size_t> MeasuredWidths(const ReportTable& table) {
  std::vector<std::size_t> widths;
  for (const std::string& text :
       WidestCellTexts(table, [](const std::string& t) { return static_cast<int>(t.size()); }))
    widths.push_back(text.size());
  return widths;
}

TEST(ReportSubtotals, RandomReportsSortAsAPlainSortAndTotalToTheCent) {
  const InTheCLocale cLocale;
  std::mt19937 random(20261207);
  for (int run = 0; run < 300; ++run) {
    ReportTable table = RandomRegister(random);
    Rows model = RecordRows(table);
    Top10Data top10;
    for (int column : {0, 2, 1, 3, 0}) {
      // Sub-totals off now and then: the next pass must take out only what this one put in.
      const bool subtotals = random() % 4 != 0;
      ASSERT_EQ(SortWithSubtotals(table, column, "Invoice Register", subtotals, top10), SortOutcome::Sorted);
      ModelSort(model, column);
      ASSERT_EQ(RecordRows(table), model) << "run " << run << ", column " << column;
      if (subtotals) CheckSubtotals(table, top10);
      // The widths are measured over the rows as stored: the same as over the rows as shown.
      EXPECT_EQ(MeasuredWidths(table), MeasuredWidths(ReportTable(table.Rows()))) << "run " << run;
    }
  }
}

// Records of one key whose other cells agree in their first bytes, or hold 0 bytes, still follow
// their whole cells.
TEST(ReportSubtotals, RecordsOfOneKeyFollowTheirWholeCells) {
  const InTheCLocale cLocale;
  const std::string same(30, 'x');
  Rows records;
  for (const std::string& number : {std::string("A\0B", 3), std::string("A"), std::string("A\0", 2),
                                    std::string(), std::string("\xff"), std::string("\x01")})
    for (const std::string& name : {same + "b", same + "a", same})
      records.push_back({"K", number, name, "C1", "1.00", "0.00", "1.00", "I"});
  ReportTable table = Register(records);
  Rows model = RecordRows(table);
  Top10Data top10;
  ASSERT_EQ(SortWithSubtotals(table, 0, "Invoice Register", true, top10), SortOutcome::Sorted);
  ModelSort(model, 0);
  EXPECT_EQ(RecordRows(table), model);
}

// The sums take every form a number cell may have: thousands commas, no whole digits, more
// decimals than a thousandth (half away from zero), and cells that only look like numbers.
TEST(ReportSubtotals, SumsReadEveryFormOfANumberCell) {
  Rows records;
  for (const char* cell : {"1,234.5", "-.5", "0009.9995", "12.", ".", "-0.0005", "+1.5", "12.5 %", " 7.25 ",
                           "1.2345", ",.", ", 1.5", "1.0,5"})
    records.push_back({"Bolt", "B1", "2026/03/02", "1001", "ACME", "C100", "1.000", cell, cell});
  ReportTable table = Table(SalesHeading, records, 5, 8);
  Top10Data top10;
  ASSERT_EQ(SortWithSubtotals(table, 0, "Sales Report", true, top10), SortOutcome::Sorted);
  EXPECT_EQ(Trimmed(table).back(),
            (std::vector<std::string>{"", "", "", "", "", "", "Grand Total", "1,267.034", "1,267.03"}));
}

}  // namespace
