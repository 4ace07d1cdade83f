#include "forms/cal_form.h"

#include <gtest/gtest.h>

#include "platform/text/date_text.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"

namespace forms {

using namespace records;
namespace {

using platform::text::SetShortDateFormat;
using platform::ui::mrOk;
using testing_support::UiScript;

class CalFormTest : public ::testing::Test {
 protected:
  CalFormTest() { CurrentCompany.DateOrder.Set("M"); }
  ~CalFormTest() override {
    CurrentCompany = CompanyRec{};
    SetShortDateFormat("mm/dd/yyyy");
  }

  void Pick(int year, int month, int day) { form->Calendar1->setSelectedDate(QDate(year, month, day)); }
  QDate Picked() const { return form->Calendar1->selectedDate(); }

  UiScript ui;
  std::unique_ptr<TCalForm> form = platform::ui::CreateForm<TCalForm>();
};

TEST_F(CalFormTest, IsValidDateReadsTheShortDateFormat) {
  SetShortDateFormat("mm/dd/yyyy");
  EXPECT_TRUE(IsValidDate("03/05/2026"));
  EXPECT_TRUE(IsValidDate(" 3/5/2026 "));
  EXPECT_TRUE(IsValidDate("02/29/2024"));
  EXPECT_FALSE(IsValidDate("02/29/2026"));  // not a leap year
  EXPECT_FALSE(IsValidDate("31/05/2026"));  // month 31
  EXPECT_FALSE(IsValidDate(""));
  EXPECT_FALSE(IsValidDate("03-05-2026"));
  EXPECT_FALSE(IsValidDate("tomorrow"));
  SetShortDateFormat("dd/mm/yyyy");
  EXPECT_TRUE(IsValidDate("31/05/2026"));
  EXPECT_TRUE(IsValidDate("29/02/2024"));
  EXPECT_FALSE(IsValidDate("05/31/2026"));
}

TEST_F(CalFormTest, TheChosenDayReadsInTheCompanysOrder) {
  Pick(2026, 3, 5);
  EXPECT_EQ(form->NDate->text(), "03/05/2026");
  EXPECT_EQ(form->StrDay->text(), "Thursday, March 5, 2026");
  CurrentCompany.DateOrder.Set("D");
  form->FormatCalendarDate();
  EXPECT_EQ(form->NDate->text(), "05/03/2026");
  CurrentCompany.DateOrder.Set("Y");  // converted data: year first, as its entry fields expect
  form->FormatCalendarDate();
  EXPECT_EQ(form->NDate->text(), "2026/03/05");
}

TEST_F(CalFormTest, ChoosingAMonthStartsAtItsFirstDay) {
  Pick(2026, 1, 31);
  form->CBMonth->setCurrentIndex(3);
  form->CBMonthChange();
  EXPECT_EQ(Picked(), QDate(2026, 4, 1));
  EXPECT_EQ(form->NDate->text(), "04/01/2026");
}

TEST_F(CalFormTest, ATypedYearMovesTheCalendarAndAnythingElseIsPutBack) {
  Pick(2024, 2, 29);
  form->CBYear->setEditText("2025");
  EXPECT_EQ(Picked(), QDate(2025, 2, 28)) << "a day the new year lacks becomes the month's last";
  EXPECT_EQ(form->NDate->text(), "02/28/2025");

  form->CBYear->setEditText("20x5");
  EXPECT_EQ(form->CBYear->currentText(), "2025");
  EXPECT_EQ(Picked(), QDate(2025, 2, 28));
  form->CBYear->setEditText("99999");
  EXPECT_EQ(form->CBYear->currentText(), "2025");
  form->CBYear->setEditText("");
  EXPECT_EQ(Picked(), QDate(2025, 2, 28));
}

TEST_F(CalFormTest, ShownModallyItOffersSevenYearsAndADoubleClickChooses) {
  Pick(2026, 3, 5);
  CalendarTop = 120;
  CalendarLeft = 240;
  ui.OnModal<TCalForm>([](TCalForm& d) {
    ASSERT_EQ(d.CBYear->count(), 7);
    EXPECT_EQ(d.CBYear->itemText(0), "2023");
    EXPECT_EQ(d.CBYear->itemText(6), "2029");
    EXPECT_EQ(d.CBYear->currentText(), "2026");
    EXPECT_EQ(d.pos(), QPoint(240, 120));
    d.Calendar1->setSelectedDate(QDate(2026, 3, 17));
    d.Calendar1DblClick();
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(form->NDate->text(), "03/17/2026");

  // The main window's calendar view: a double click only shows the day.
  CalendarPickMode = 0;
  ui.OnModal<TCalForm>([](TCalForm& d) {
    d.Calendar1DblClick();
    EXPECT_TRUE(d.InModalState());
    d.CancelButton->click();
  });
  EXPECT_EQ(form->ShowModal(), platform::ui::mrCancel);
  EXPECT_EQ(CalendarPickMode, 1) << "closing makes it a picker again";
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace forms
