// The data source's moves on small files whose pages can be written out in full.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "platform/files/file.h"
#include "sample_file.h"
#include "test_source.h"

namespace storage::testing {
namespace {

// The names on rows 1..last filled, and the highlighted one marked with "*".
std::string PageOf(const TestSource& source, SampleFile& file) {
  std::string page;
  for (int n = 1; n <= source.LastFilledRow(); ++n) {
    if (!page.empty()) page += " ";
    page += file.Read(source.Row(n).Ref).Name.Get();
    if (n == source.CurrentRow()) page += "*";
  }
  return page;
}

class NavigatorTest : public ::testing::Test {
 protected:
  // Twelve records, added out of order: A..L by name.
  void AddLetters() {
    for (const char* name : {"G", "B", "K", "A", "E", "I", "C", "L", "F", "H", "D", "J"}) {
      refs_[name] = file_.Add(name, std::string("N") + name, "PARIS");
    }
  }
  SampleFile file_;
  SampleRec buffer_;
  std::map<std::string, IsamRecRef> refs_;
};

TEST_F(NavigatorTest, AnEmptyFileOrAFilterThatRejectsEverythingGivesAnEmptyPageWithoutError) {
  TestSource source(file_, buffer_, SampleNameKey);
  source.SetRowsInUse(5);
  for (auto move : {&TestSource::First, &TestSource::Last, &TestSource::RowDown, &TestSource::RowUp,
                    &TestSource::PageDown, &TestSource::PageUp, &TestSource::Refresh}) {
    EXPECT_EQ((source.*move)(), 0);
    EXPECT_EQ(source.LastFilledRow(), 0);
    EXPECT_EQ(source.CurrentRow(), 1);
    EXPECT_EQ(source.CurrentRef(), 0);
  }
  EXPECT_EQ(source.CompletePage(), 0);
  EXPECT_EQ(source.ReadCurrentRecord(), IsamErrorClassNotFound);

  AddLetters();
  source.Accept = [](TestSource&, const RowRec&) { return false; };
  EXPECT_EQ(source.GoToKey(SampleNameKey, "E", 5, 3, 0), 0);
  EXPECT_EQ(source.LastFilledRow(), 0);
  EXPECT_EQ(source.CurrentRow(), 1);
  EXPECT_EQ(source.filterCalls, 12);  // E to L forward, then D to A backward
}

TEST_F(NavigatorTest, MovesFillThePageAroundTheHighlightedEntry) {
  AddLetters();
  TestSource source(file_, buffer_, SampleNameKey);
  source.SetRowsInUse(5);
  ASSERT_EQ(source.First(), 0);
  EXPECT_EQ(PageOf(source, file_), "A* B C D E");
  for (int i = 0; i < 5; ++i) source.RowDown();
  EXPECT_EQ(PageOf(source, file_), "B C D E F*");
  source.PageDown();
  EXPECT_EQ(PageOf(source, file_), "G H I J K*");
  source.PageDown();  // one entry left: the page stays full
  EXPECT_EQ(PageOf(source, file_), "H I J K L*");
  EXPECT_TRUE(source.PageChanged());
  source.PageDown();
  EXPECT_EQ(PageOf(source, file_), "H I J K L*");
  EXPECT_FALSE(source.PageChanged());
  source.RowUp();
  EXPECT_TRUE(source.PageChanged());  // only the highlight moved
  source.RowDown();
  source.SetCurrentRow(2);
  source.PageUp();
  EXPECT_EQ(PageOf(source, file_), "C D* E F G");
  source.PageUp();
  EXPECT_EQ(PageOf(source, file_), "A B* C D E");
  source.RowUp();
  source.RowUp();
  EXPECT_EQ(PageOf(source, file_), "A* B C D E");
  source.SetCurrentRow(40);  // no row beyond the filled ones can be highlighted
  EXPECT_EQ(source.CurrentRow(), 5);
}

TEST_F(NavigatorTest, GoingToAKeyPlacesItsEntryOnTheRequestedRow) {
  AddLetters();
  TestSource source(file_, buffer_, SampleNameKey);
  ASSERT_EQ(source.GoToKey(SampleNameKey, "F", 5, 3, 0), 0);
  EXPECT_EQ(PageOf(source, file_), "D E F* G H");
  // Near the start the entry moves up, and the page still fills to the bottom.
  ASSERT_EQ(source.GoToKey(SampleNameKey, "B", 5, 4, 0), 0);
  EXPECT_EQ(PageOf(source, file_), "A B* C D E");
  // Between two keys: the greater one.
  ASSERT_EQ(source.GoToKey(SampleNameKey, "DA", 5, 1, 0), 0);
  EXPECT_EQ(PageOf(source, file_), "E* F G H I");
  // After the last entry: the last page, the highlight on the last entry.
  ASSERT_EQ(source.GoToKey(SampleNameKey, "ZZZ", 5, 2, 0), 0);
  EXPECT_EQ(PageOf(source, file_), "H I J K L*");
  // A key longer than keys can be is cut to 30 characters.
  ASSERT_EQ(source.GoToKey(SampleNameKey, std::string(40, 'C'), 5, 1, 0), 0);
  EXPECT_EQ(PageOf(source, file_), "D* E F G H");
}

TEST_F(NavigatorTest, PhysicalOrderShowsEveryLiveRecordInReferenceOrderAndIgnoresTheBounds) {
  AddLetters();
  file_.Delete(refs_["K"]);  // ref 3
  file_.Delete(refs_["G"]);  // ref 1
  TestSource source(file_, buffer_, 0, "C", "E");
  source.SetRowsInUse(20);
  ASSERT_EQ(source.First(), 0);
  EXPECT_EQ(PageOf(source, file_), "B* A E I C L F H D J");
  EXPECT_EQ(source.Row(1).Key, "");
  EXPECT_EQ(source.EntryCount(), 10);
  ASSERT_EQ(source.GoToKey(0, "", 20, 1, 3), 0);  // ref 3 is deleted: the next live one
  EXPECT_EQ(source.CurrentRef(), 4);
}

TEST_F(NavigatorTest, AnOperatingSystemFailureDuringARecordScanIsReportedNotSkipped) {
  AddLetters();
  TestSource source(file_, buffer_, 0);
  source.SetRowsInUse(3);
  ASSERT_EQ(source.First(), 0);
  source.SetCurrentRow(3);
  EXPECT_EQ(PageOf(source, file_), "G B K*");
  IsamFileBlock fb = file_.Block();
  platform::files::File dataFile = std::move(fb->DataFile);
  ASSERT_TRUE(fb->DataFile.Open(".", platform::files::OpenMode::ReadOnly));  // every read fails
  fb->ReadAhead.Forget();  // and none is served from what was read of the old file
  fb->DataMap.Unmap();
  EXPECT_EQ(source.RowDown(), IsamErrorClassLock);
  EXPECT_EQ(source.LastError(), IsamErrScanIo);
  EXPECT_FALSE(IsamOK);
  EXPECT_EQ(IsamError, IsamErrScanIo);
  fb->DataFile = std::move(dataFile);
  EXPECT_EQ(PageOf(source, file_), "G B K*");  // the page stays as it was
  EXPECT_EQ(source.RowDown(), 0);
  EXPECT_EQ(PageOf(source, file_), "B K A*");
}

TEST_F(NavigatorTest, BoundsLimitTheRangeByTheirLeadingCharacters) {
  for (const char* name : {"ALAN", "CAROL", "CHRIS", "DORA", "FRED", "FRIDA", "GWEN"})
    file_.Add(name, name, "X");
  TestSource source(file_, buffer_, SampleNameKey, "C", "F");
  source.SetRowsInUse(10);
  ASSERT_EQ(source.First(), 0);
  EXPECT_EQ(PageOf(source, file_), "CAROL* CHRIS DORA FRED FRIDA");
  ASSERT_EQ(source.Last(), 0);
  EXPECT_EQ(PageOf(source, file_), "CAROL CHRIS DORA FRED FRIDA*");
  ASSERT_EQ(source.GoToKey(SampleNameKey, "A", 10, 5, 0), 0);  // below: moved to the lower bound
  EXPECT_EQ(source.CurrentRef(), source.Row(1).Ref);
  ASSERT_EQ(source.GoToKey(SampleNameKey, "X", 10, 1, 0), 0);  // above: moved to the upper bound
  EXPECT_EQ(file_.Read(source.CurrentRef()).Name.Get(), "FRIDA");
  source.SetRowsInUse(2);
  ASSERT_EQ(source.First(), 0);
  ASSERT_EQ(source.PageDown(), 0);
  ASSERT_EQ(source.PageDown(), 0);
  ASSERT_EQ(source.PageDown(), 0);
  EXPECT_EQ(PageOf(source, file_), "FRED* FRIDA");
}

TEST_F(NavigatorTest, AFilterIsSkippedInBothDirectionsAndThePageStillFills) {
  AddLetters();
  TestSource source(file_, buffer_, SampleNameKey);
  source.Accept = [&](TestSource&, const RowRec& row) {
    return row.Ref != refs_["B"] && row.Ref != refs_["C"] && row.Ref != refs_["H"];
  };
  source.SetRowsInUse(4);
  ASSERT_EQ(source.First(), 0);
  EXPECT_EQ(PageOf(source, file_), "A* D E F");
  source.PageDown();
  EXPECT_EQ(PageOf(source, file_), "G* I J K");
  source.SetCurrentRow(1);
  source.RowUp();
  EXPECT_EQ(PageOf(source, file_), "F* G I J");
  ASSERT_EQ(source.GoToKey(SampleNameKey, "H", 4, 1, 0), 0);
  EXPECT_EQ(PageOf(source, file_), "I* J K L");
  source.RowUp();
  source.RowUp();
  EXPECT_EQ(PageOf(source, file_), "F* G I J");
}

TEST_F(NavigatorTest, OnlyTheRowsOnThePageAreBuiltAndOnlyOnce) {
  AddLetters();
  TestSource source(file_, buffer_, SampleNameKey);
  source.SetRowsInUse(4);
  source.First();
  ASSERT_EQ(source.CompletePage(), 0);
  EXPECT_EQ(source.buildCalls, 4);
  EXPECT_EQ(source.Row(2).Text[0], "B NB");
  EXPECT_TRUE(source.Row(2).Built);
  EXPECT_TRUE(source.Row(2).Changed);
  source.Row(2).Changed = false;
  ASSERT_EQ(source.CompletePage(), 0);
  EXPECT_EQ(source.buildCalls, 4);
  EXPECT_FALSE(source.Row(2).Changed);
  for (int i = 0; i < 4; ++i) source.RowDown();  // shifts by one row: one new row to build
  ASSERT_EQ(source.CompletePage(), 0);
  EXPECT_EQ(source.buildCalls, 5);
  EXPECT_EQ(source.Row(4).Text[0], "E NE");
  EXPECT_EQ(source.Row(5).Text[0], "");
}

TEST_F(NavigatorTest, ARowWhoseRecordCannotBeReadShowsTheMarkerNotThePreviousRecord) {
  AddLetters();
  IsamDeleteRec(file_.Block(), refs_["C"]);  // its keys stay in the index
  ASSERT_TRUE(IsamOK);
  TestSource source(file_, buffer_, SampleNameKey);
  source.SetRowsInUse(4);
  source.First();
  ASSERT_EQ(source.CompletePage(), 0);
  EXPECT_EQ(source.Row(2).Text[0], "B NB");
  EXPECT_EQ(source.Row(3).Status, -1);
  EXPECT_TRUE(source.Row(3).Built);
  EXPECT_EQ(source.Row(3).Text[0], "****  " + source.Row(3).Key);
  EXPECT_EQ(source.Row(4).Text[0], "D ND");
  EXPECT_EQ(source.buildCalls, 3);
}

TEST_F(NavigatorTest, ScrollPositionsRunFromTheFirstEntryToTheLastInIndexOrder) {
  for (int i = 0; i < 3000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "K%05d", (i * 7919) % 3000);
    file_.Add(name, std::to_string(i), "X");
  }
  TestSource source(file_, buffer_, SampleNameKey);
  source.SetRowsInUse(10);
  uint16_t position = 99;
  source.First();
  ASSERT_EQ(source.KeyToScrollPos(position), 0);
  EXPECT_EQ(position, 0);
  source.Last();
  ASSERT_EQ(source.KeyToScrollPos(position), 0);
  EXPECT_EQ(position, BrowserScrollScale);

  std::string previous;
  for (uint16_t p = 0; p <= BrowserScrollScale; ++p) {
    ASSERT_EQ(source.ScrollPosToKey(p), 0);
    std::string name = file_.Read(source.CurrentRef()).Name.Get();
    EXPECT_GE(name, previous) << "position " << p;
    previous = name;
    if (p == 32) {
      EXPECT_GT(name, "K00900");
      EXPECT_LT(name, "K02100");
      ASSERT_EQ(source.KeyToScrollPos(position), 0);
      EXPECT_NEAR(position, 32, 4);
    }
  }
  EXPECT_EQ(previous, "K02999");

  source.SetKeyNumber(0);
  ASSERT_EQ(source.ScrollPosToKey(16), 0);
  EXPECT_NEAR(source.CurrentRef(), 3000 / 4, 100);
  ASSERT_EQ(source.KeyToScrollPos(position), 0);
  EXPECT_NEAR(position, 16, 2);
}

}  // namespace
}  // namespace storage::testing
