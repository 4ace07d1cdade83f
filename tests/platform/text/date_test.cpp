#include <gtest/gtest.h>

#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/format_date_time.h"

namespace platform::text {
namespace {

QDateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
  return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

TEST(FormatDateTimeTest, PatternsOfTheProgram) {
  struct Case {
    const char* format;
    QDateTime moment;
    const char* text;
  };
  for (const Case& c : {
           Case{"dddd, mmmm d, yyyy, hh:mm AM/PM", At(2026, 3, 5, 14, 7),
                "Thursday, March 5, 2026, 02:07 PM"},
           Case{"dddd, mmmm d, yyyy, hh:mm AM/PM", At(2026, 12, 27, 0, 30),
                "Sunday, December 27, 2026, 12:30 AM"},
           Case{"dddd, mmmm d, yyyy, hh:mm AM/PM", At(2026, 1, 1, 12, 0),
                "Thursday, January 1, 2026, 12:00 PM"},
           Case{"dddd, mmmm d, yyyy", At(2027, 2, 28, 23, 59), "Sunday, February 28, 2027"},
           Case{"hh:mm:ss", At(2026, 3, 5, 9, 4, 3), "09:04:03"},
           Case{"hh:mm:ss", At(2026, 3, 5, 23, 0, 59), "23:00:59"},
           Case{"mm/dd/yyyy", At(2026, 3, 5, 9, 4), "03/05/2026"},
           Case{"dd/mm/yyyy", At(2026, 3, 5, 9, 4), "05/03/2026"},
           Case{"yyyy/mm/dd", At(2026, 3, 5, 9, 4), "2026/03/05"},
           Case{"m/d/yy", At(2009, 7, 4, 9, 4), "7/4/09"},
           Case{"ddd mmm", At(2026, 9, 16, 0, 0), "Wed Sep"},
           Case{"h:nn am/pm", At(2026, 9, 16, 18, 5), "6:05 pm"},
           Case{"h:mm A/P", At(2026, 9, 16, 6, 5), "6:05 A"},
           Case{"'Day' d \"of\" mmmm", At(2026, 5, 1, 0, 0), "Day 1 of May"},
       }) {
    EXPECT_EQ(FormatDateTime(c.format, c.moment), c.text) << c.format;
  }
}

TEST(DateTextTest, TypedDatesRoundTripInEachDateOrder) {
  struct Case {
    char order;
    QDate date;
    const char* text;
  };
  for (const Case& c :
       {Case{'M', QDate(2026, 3, 5), "03/05/2026"}, Case{'D', QDate(2026, 3, 5), "05/03/2026"},
        Case{'Y', QDate(2026, 3, 5), "2026/03/05"}, Case{'?', QDate(2026, 3, 5), "03/05/2026"},
        Case{'D', QDate(2024, 2, 29), "29/02/2024"}, Case{'M', QDate(1999, 12, 31), "12/31/1999"}}) {
    SCOPED_TRACE(c.order);
    EXPECT_EQ(FormatTypedDate(c.date, c.order), c.text);
    EXPECT_EQ(ParseTypedDate(c.text, c.order), c.date);
  }
  EXPECT_EQ(SortableDate(QDate(2026, 3, 5)), "2026/03/05");
  EXPECT_EQ(ParseSortableDate("2026/03/05"), QDate(2026, 3, 5));
  EXPECT_EQ(ParseTypedDate(" 3/5/2026 ", 'M'), QDate(2026, 3, 5));
}

TEST(DateTextTest, RefusesTextThatIsNoDate) {
  for (const char* text : {"", "  /  /    ", "31/12/2026", "02/30/2026", "13/01/2026", "00/10/2026", "03/05",
                           "03/05/2026/1", "03-05-2026", "3/5/20266", "a3/05/2026", "03/05/-26", "03/05/+26",
                           "03/ 5/2026", "003/05/2026", "02/29/2027"})
    EXPECT_FALSE(ParseTypedDate(text, 'M').has_value()) << text;
  EXPECT_FALSE(ParseTypedDate("2026/13/01", 'Y').has_value());
  EXPECT_FALSE(ParseTypedDate("03/31/2026", 'D').has_value());
}

TEST(DateTextTest, ShortYearsFallWithinFiftyYearsOfToday) {
  FixedClock clock(At(2026, 6, 1, 12, 0));
  EXPECT_EQ(ParseTypedDate("03/05/26", 'M'), QDate(2026, 3, 5));
  EXPECT_EQ(ParseTypedDate("03/05/76", 'M'), QDate(1976, 3, 5));
  EXPECT_EQ(ParseTypedDate("03/05/75", 'M'), QDate(2075, 3, 5));
  EXPECT_EQ(ParseTypedDate("03/05/0", 'M'), QDate(2000, 3, 5));
}

TEST(DateTextTest, ShortDateFormatFollowsTheCompanysOrder) {
  EXPECT_EQ(ShortDateFormatFor('D'), "dd/mm/yyyy");
  EXPECT_EQ(ShortDateFormatFor('M'), "mm/dd/yyyy");
  EXPECT_EQ(ShortDateFormatFor('Y'), "mm/dd/yyyy");
  EXPECT_EQ(ShortDateFormat(), "mm/dd/yyyy");
  SetShortDateFormat(ShortDateFormatFor('D'));
  EXPECT_EQ(DateToStr(QDate(2026, 3, 5)), "05/03/2026");
  EXPECT_EQ(TryStrToDate("05/03/2026"), QDate(2026, 3, 5));
  EXPECT_FALSE(TryStrToDate("03/31/2026").has_value());
  SetShortDateFormat("yyyy/mm/dd");
  EXPECT_EQ(TryStrToDate("2026/03/31"), QDate(2026, 3, 31));
  SetShortDateFormat("mm/dd/yyyy");
  EXPECT_EQ(DateToStr(QDate(2026, 3, 5)), "03/05/2026");
}

TEST(DateTextTest, TimeToStrUsesTheTwelveHourClock) {
  EXPECT_EQ(TimeToStr(QTime(14, 7, 9)), "2:07:09 PM");
  EXPECT_EQ(TimeToStr(QTime(0, 0, 0)), "12:00:00 AM");
}

TEST(ClockTest, TestsCanStopTheClock) {
  QDateTime before = QDateTime::currentDateTime();
  {
    FixedClock clock(At(2030, 1, 2, 3, 4, 5));
    EXPECT_EQ(Now(), At(2030, 1, 2, 3, 4, 5));
    EXPECT_EQ(Today(), QDate(2030, 1, 2));
    SetClock(At(2030, 1, 3, 0, 0));
    EXPECT_EQ(Today(), QDate(2030, 1, 3));
  }
  EXPECT_GE(Now(), before);
  EXPECT_LT(Now().date().year(), 2030);
}

}  // namespace
}  // namespace platform::text
