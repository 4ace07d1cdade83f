#pragma once
// Dates typed as text in the open company's order, and the "Date Selection" dialog that the
// entry forms open beside their date fields: it returns the chosen day as text in that order.
//
// Caller: set CalendarTop and CalendarLeft (usually just below the date field), set the
// calendar's day if another than the last one is wanted, show CalForm modally, and on OK copy
// NDate's text into the date field.

#include <QCalendarWidget>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/form.h"

namespace forms {

// True when the text reads as a date in the program's short date format; never raises.
bool IsValidDate(std::string_view text);

// The day as the dialog returns it: two-digit month and day and four-digit year, in the order of
// the company's date order ("D" day first, "Y" year first, anything else month first).
std::string CalendarDateText(const QDate& date, char dateOrder);
// The long form shown under it: "Thursday, March 5, 2026".
std::string CalendarLongText(const QDate& date);

class TCalForm : public platform::ui::Form {
 public:
  explicit TCalForm(QWidget* parent = nullptr);

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

  void FormatCalendarDate();
  void Calendar1Change();
  void Calendar1DblClick();
  void CBMonthChange();
  void CBYearChange();
  void HelpButtonClick();

  // Made in the order Tab takes them: month and year above the calendar.
  QComboBox* CBMonth;
  QComboBox* CBYear;
  QCalendarWidget* Calendar1;
  QLabel* NDate;
  QLabel* StrDay;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

 private:
  void SetCalendarDate(int year, int month, int day);
};

extern int32_t CalendarTop;
extern int32_t CalendarLeft;
// While 1, a double click on a day also chooses it and closes the dialog. The dialog sets it
// whenever it is made or closed; the main window's calendar view clears it before showing.
extern uint8_t CalendarPickMode;

extern TCalForm* CalForm;
TCalForm& CreateCalForm();

}  // namespace forms
