#include "shell/timer_form.h"

#include <gtest/gtest.h>

#include "platform/text/clock.h"
#include "platform/ui/support/ui_script.h"

namespace shell {
namespace {

using platform::text::FixedClock;
using platform::text::SetClock;

class TimerFormTest : public ::testing::Test {
 protected:
  TimerFormTest() {
    testing_support::EnsureGuiApplication();
    form = platform::ui::CreateForm<TTimerForm>();
    ShowTimerStatus = [this](const QString& text) { status = text; };
  }
  ~TimerFormTest() override { ShowTimerStatus = nullptr; }

  void At(int day, int h, int m, int s) { SetClock(QDateTime(QDate(2026, 3, day), QTime(h, m, s))); }

  FixedClock clock{QDateTime(QDate(2026, 3, 5), QTime(9, 0, 0))};
  std::unique_ptr<TTimerForm> form;
  QString status;
};

TEST_F(TimerFormTest, AStoppedTimerShowsZeros) {
  EXPECT_EQ(form->StartTime->text(), "00:00:00");
  EXPECT_EQ(form->ElapsedTime->text(), "00:00:00");
  EXPECT_EQ(form->ToHours->text(), "00.000");
  EXPECT_FALSE(form->Running());
}

TEST_F(TimerFormTest, RunningTimerCountsAcrossMidnightAndStops) {
  At(5, 23, 15, 0);
  form->TimeBtnClick();
  EXPECT_TRUE(form->Running());
  EXPECT_EQ(form->Caption(), "OV Timer: ON");
  EXPECT_EQ(form->TimeBtn->text(), "&Stop");
  EXPECT_EQ(form->TimeBtn->palette().color(QPalette::ButtonText), QColor(Qt::red));
  EXPECT_EQ(form->StartTime->text(), "23:15:00");

  At(6, 0, 45, 0);  // an hour and a half later, on the next day
  form->Timer1Timer();
  EXPECT_EQ(form->ElapsedTime->text(), "01:30:00");
  EXPECT_EQ(form->ToHours->text(), "01.500");
  EXPECT_EQ(status, "Timer is running... 01:30:00");

  form->Button1Click();  // closing the window keeps it running
  At(6, 0, 45, 36);
  form->Timer1Timer();
  EXPECT_TRUE(form->Running());
  EXPECT_EQ(form->ElapsedTime->text(), "01:30:36");
  EXPECT_EQ(form->ToHours->text(), "01.510");

  form->TimeBtnClick();
  EXPECT_FALSE(form->Running());
  EXPECT_EQ(form->Caption(), "OV Timer: OFF");
  EXPECT_EQ(status, "Timer Off");
  EXPECT_EQ(form->TimeBtn->text(), "&Start");
  EXPECT_EQ(form->TimeBtn->palette().color(QPalette::ButtonText), QColor(Qt::black));
}

TEST_F(TimerFormTest, StartingAgainCountsFromTheNewStart) {
  form->TimeBtnClick();
  At(5, 10, 0, 0);
  form->Timer1Timer();
  EXPECT_EQ(form->ElapsedTime->text(), "01:00:00");
  form->TimeBtnClick();

  At(5, 14, 0, 0);
  form->TimeBtnClick();
  EXPECT_EQ(form->StartTime->text(), "14:00:00");
  At(5, 14, 10, 48);
  form->Timer1Timer();
  EXPECT_EQ(form->ElapsedTime->text(), "00:10:48");
  EXPECT_EQ(form->ToHours->text(), "00.180");
}

TEST(TimerTextTest, ElapsedTimeGoesPastADayAndNeverBelowZero) {
  EXPECT_EQ(ElapsedText(0), "00:00:00");
  EXPECT_EQ(ElapsedText(59), "00:00:59");
  EXPECT_EQ(ElapsedText(25 * 3600 + 61), "25:01:01");
  EXPECT_EQ(ElapsedText(-5), "00:00:00");  // a clock set back
  EXPECT_EQ(HoursText("25:01:01"), "25.017");
  EXPECT_EQ(HoursText("00:00:01"), "00.000");
}

}  // namespace
}  // namespace shell
