#include <gtest/gtest.h>

#include <set>

#include "forms/find_modes.h"
#include "records/invoice_file.h"
#include "records/invoice_rec.h"
#include "records/scratch_file_set.h"

namespace forms {

using namespace records;
namespace {

using forms::FindRow;

// 250 invoices: every fifth has the text in one of the six searched fields, in turn; the
// statement note and the ship-to lines are not searched.
TEST(InvoiceFindTest, InvoicesMatchOnTheirSixFieldsAndShowTheirTotals) {
  test_fixtures::ScratchFileSet file(InvoiceFile, "12I", InvoiceRecordLength, InvoiceKeyDescs);
  AddInvoiceFindMode();
  const forms::FindModeDef* mode = forms::FindModeDefinition("Inv");
  ASSERT_NE(mode, nullptr);

  std::set<std::string> expected;
  for (int i = 0; i < 250; ++i) {
    InvoiceRec r;
    r.InvoiceNo.Set(std::to_string(5000 + i));
    r.InvCustomerNo.Set("C" + std::to_string(i % 17));
    r.SortDate.Set("2026/11/" + std::string(i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1));
    r.KeyCode.Set("None");
    r.ShortName.Set("SHORT" + std::to_string(i));
    r.InvTotal.Set(std::to_string(i) + ".5");
    r.StatementComment.Set("ZEBRA");
    r.ShipTo1.Set("ZEBRA");
    if (i % 5 == 0) {
      switch (i / 5 % 6) {
        case 0:
          r.InvCustomerNo.Set("ZEBRA");
          break;
        case 1:
          r.SortDate.Set("zebra");
          break;
        case 2:
          r.InvoiceNo.Set("Z" + std::to_string(i) + "EBRA");
          r.Notes.Set("zebra");
          break;
        case 3:
          r.KeyCode.Set("Zebra");
          break;
        case 4:
          r.Notes.Set("Shipped with the zebra crossing order");
          break;
        default:
          r.ShortName.Set("zEbRa");
          break;
      }
      expected.insert(r.InvoiceNo.Get());
    }
    file.Add(r);
  }
  const std::vector<FindRow> rows = forms::FindMatchingRows(*mode, forms::FindSearchText("Zebra"));
  std::set<std::string> found;
  for (const FindRow& row : rows) found.insert(row[1]);
  EXPECT_EQ(rows.size(), expected.size());
  EXPECT_EQ(found, expected);
}

TEST(InvoiceFindTest, TotalsShowWithSeparatorsAndABadTotalAsStored) {
  test_fixtures::ScratchFileSet file(InvoiceFile, "12I", InvoiceRecordLength, InvoiceKeyDescs);
  AddInvoiceFindMode();
  const char* totals[] = {"1234.5", "0.5", "-1,234.567", "12x"};
  for (const char* total : totals) {
    InvoiceRec r;
    r.InvoiceNo.Set("A1");
    r.InvCustomerNo.Set("C1");
    r.SortDate.Set("2026/12/07");
    r.KeyCode.Set("Interest");
    r.ShortName.Set("ACME");
    r.Notes.Set("Late fee");
    r.InvTotal.Set(total);
    file.Add(r);
  }
  const std::vector<FindRow> rows = forms::FindMatchingRows(*forms::FindModeDefinition("Inv"), "A1");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (FindRow{"2026/12/07", "A1", "C1", "Interest", "1,234.50", "ACME", "Late fee"}));
  EXPECT_EQ(rows[1][4], ".50");
  EXPECT_EQ(rows[2][4], "-1,234.57");
  EXPECT_EQ(rows[3][4], "12x");
}

}  // namespace
}  // namespace forms
