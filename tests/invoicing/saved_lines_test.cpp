// The saved line sets: row lines keep their columns whatever the parts hold, and a set written
// comes back as it was.

#include <gtest/gtest.h>

#include <fstream>

#include "invoicing/saved_lines.h"
#include "support/temp_dir.h"

namespace invoicing {
namespace {

TEST(SavedLinesTest, RowLinesKeepEveryPartInItsColumns) {
  const SavedRow row{"12", "BOLT-10", "-12.5", "Hex bolt 10mm", "1,234.50", "Y", "-15,431.25"};
  const std::string text = SavedRowText(row);
  ASSERT_EQ(text.size(), 88u);
  EXPECT_EQ(text.substr(0, 2), "12");
  EXPECT_EQ(text.substr(3, 15), "BOLT-10        ");
  EXPECT_EQ(text.substr(19, 10), "-12.5     ");
  EXPECT_EQ(text.substr(30, 32), "Hex bolt 10mm                   ");
  EXPECT_EQ(text.substr(63, 10), "1,234.50  ");
  EXPECT_EQ(text.substr(74, 1), "Y");
  EXPECT_EQ(text.substr(76, 12), "-15,431.25  ");
  EXPECT_EQ(ParseSavedRow(text).Extension, "-15,431.25");

  // A part too long for its slot is cut there; the parts after it stay in place.
  const SavedRow tooLong{"100", std::string(20, 'C'), "1", std::string(40, 'd'), "2", "Yes", "3"};
  const SavedRow back = ParseSavedRow(SavedRowText(tooLong));
  EXPECT_EQ(back.Number, "10");
  EXPECT_EQ(back.Code, std::string(15, 'C'));
  EXPECT_EQ(back.Description, std::string(32, 'd'));
  EXPECT_EQ(back.Price, "2");
  EXPECT_EQ(back.Taxable, "Y");
  EXPECT_EQ(back.Extension, "3");
  // Short and empty lines read as empty parts.
  EXPECT_EQ(ParseSavedRow("1  AB").Code, "AB");
  EXPECT_EQ(ParseSavedRow("").Quantity, "");
}

TEST(SavedLinesTest, SetsComeBackAsWrittenWithTheirNotesCutToTheirSlots) {
  testing_support::TempDir dir;
  SavedLineSet lines;
  for (int row = 1; row <= 99; ++row)
    lines.Rows.push_back({std::to_string(row), "P" + std::to_string(row), std::to_string(row), "Item", "1.00",
                          "N", std::to_string(row) + ".00"});
  lines.Notes = {"Reference 42", std::string(35, 's'), "KEYCODE99"};
  ASSERT_TRUE(WriteSavedLines(lines));
  const std::optional<SavedLineSet> back = ReadSavedLines();
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Rows.size(), 100u);
  for (int row = 0; row < 99; ++row) {
    EXPECT_EQ(back->Rows[row].Code, lines.Rows[row].Code);
    EXPECT_EQ(back->Rows[row].Extension, lines.Rows[row].Extension);
  }
  EXPECT_EQ(back->Rows[99].Code, "");
  EXPECT_EQ(back->Notes.Notes, "Reference 42");
  EXPECT_EQ(back->Notes.StatementNote, std::string(25, 's'));
  EXPECT_EQ(back->Notes.KeyCode, "KEYCODE9");  // eight characters at most, as the key code box

  SavedMemoSet memo;
  memo.MemoLines = {"Dear customer,", "", "  indented"};
  memo.Notes = {std::string(70, 'n'), "Statement", "K"};
  memo.Product = {"1", "SVC", "3", "Service call", "10.00", "M", "30.00"};
  ASSERT_TRUE(WriteSavedMemo(memo));
  const std::optional<SavedMemoSet> memoBack = ReadSavedMemo();
  ASSERT_TRUE(memoBack);
  EXPECT_EQ(memoBack->MemoLines, memo.MemoLines);
  EXPECT_EQ(memoBack->Notes.Notes, std::string(60, 'n'));
  EXPECT_EQ(memoBack->Notes.StatementNote, "Statement");
  EXPECT_EQ(memoBack->Notes.KeyCode, "K");
  EXPECT_EQ(memoBack->Product.Code, "SVC");
  EXPECT_EQ(memoBack->Product.Quantity, "3");

  // A file cut short reads its missing lines as empty.
  {
    std::ofstream shortFile("SAVELINE.SAV", std::ios::binary | std::ios::trunc);
    shortFile << "1  A               2\r\n";
  }
  const std::optional<SavedLineSet> cut = ReadSavedLines();
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Rows[0].Code, "A");
  EXPECT_EQ(cut->Rows[0].Quantity, "2");
  EXPECT_EQ(cut->Notes.KeyCode, "");

  // A memo line of an older file, longer than a memo line, comes back whole.
  {
    std::ofstream oldMemo("SAVEMEMO.SAV", std::ios::binary | std::ios::trunc);
    oldMemo << std::string(120, 'm') << "   \r\n\r\nlast  \r\n";
  }
  const std::optional<SavedMemoSet> longLine = ReadSavedMemo();
  ASSERT_TRUE(longLine);
  EXPECT_EQ(longLine->MemoLines, (std::vector<std::string>{std::string(120, 'm'), "", "last"}));
}

}  // namespace
}  // namespace invoicing
