#include "forms/cal_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/format_date_time.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "records/company_rec.h"

namespace forms {

using namespace records;

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::ui::Application;

int32_t CalendarTop = 0;
int32_t CalendarLeft = 0;
uint8_t CalendarPickMode = 1;
TCalForm* CalForm = nullptr;

namespace {

constexpr int YearsEitherSide = 3;
constexpr int FirstYear = 1;
constexpr int LastYear = 9999;

char CurrentDateOrder() {
  std::string order = CurrentCompany.DateOrder.Get();
  return order.empty() ? 'M' : order[0];
}

}  // namespace

bool IsValidDate(std::string_view text) {
  return platform::text::TryStrToDate(text).has_value();
}

std::string CalendarDateText(const QDate& date, char dateOrder) {
  return platform::text::FormatTypedDate(date, dateOrder);
}

std::string CalendarLongText(const QDate& date) {
  return platform::text::FormatDateTime("dddd, mmmm d, yyyy", QDateTime(date, QTime(0, 0)));
}

TCalForm::TCalForm(QWidget* parent)
    : Form(parent),
      CBMonth(new QComboBox(this)),
      CBYear(new QComboBox(this)),
      Calendar1(new QCalendarWidget(this)),
      NDate(new QLabel(this)),
      StrDay(new QLabel(this)),
      OKButton(new QPushButton(QStringLiteral("&Ok"), this)),
      CancelButton(new QPushButton(QStringLiteral("&Cancel"), this)),
      HelpButton(new QPushButton(QStringLiteral("Help"), this)) {
  SetCaption(QStringLiteral("Date Selection"));
  SetHelpKeyword(QStringLiteral("OVCalendar"));
  for (const char* month : {"January", "February", "March", "April", "May", "June", "July", "August",
                            "September", "October", "November", "December"})
    CBMonth->addItem(QString::fromLatin1(month));
  CBYear->setEditable(true);
  CBYear->setInsertPolicy(QComboBox::NoInsert);
  OKButton->setDefault(true);
  BindModalResult(OKButton, platform::ui::mrOk);
  BindModalResult(CancelButton, platform::ui::mrCancel);

  connect(Calendar1, &QCalendarWidget::selectionChanged, this, [this] { Calendar1Change(); });
  connect(Calendar1, &QCalendarWidget::activated, this, [this] { Calendar1DblClick(); });
  connect(CBMonth, &QComboBox::activated, this, [this] { CBMonthChange(); });
  connect(CBYear, &QComboBox::currentTextChanged, this, [this] { CBYearChange(); });
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });

  auto* pickers = new QHBoxLayout;
  pickers->addWidget(CBMonth);
  pickers->addWidget(CBYear);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pickers);
  layout->addWidget(Calendar1);
  layout->addWidget(NDate);
  layout->addWidget(StrDay);
  layout->addLayout(buttons);
}

void TCalForm::FormCreate() {
  CalendarPickMode = 1;
}

void TCalForm::FormClose() {
  CalendarPickMode = 1;
}

void TCalForm::FormShow() {
  FormatCalendarDate();
  PlaceAt(CalendarLeft, CalendarTop);
  int year = Calendar1->selectedDate().year();
  {
    // Filling the list is not the user choosing a year.
    QSignalBlocker quiet(CBYear);
    CBYear->clear();
    for (int y = year - YearsEitherSide; y <= year + YearsEitherSide; ++y)
      CBYear->addItem(QString::number(y));
    CBYear->setEditText(QString::number(year));
  }
  Calendar1->setFocus();
}

void TCalForm::FormatCalendarDate() {
  QDate date = Calendar1->selectedDate();
  NDate->setText(ToQString(CalendarDateText(date, CurrentDateOrder())));
  StrDay->setText(ToQString(CalendarLongText(date)));
}

void TCalForm::Calendar1Change() {
  FormatCalendarDate();
}

void TCalForm::Calendar1DblClick() {
  FormatCalendarDate();
  if (CalendarPickMode == 1) SetModalResult(platform::ui::mrOk);
}

void TCalForm::SetCalendarDate(int year, int month, int day) {
  // A day the new month or year does not have (the 29th of February in another year) becomes
  // that month's last day.
  day = std::min(day, QDate(year, month, 1).daysInMonth());
  Calendar1->setSelectedDate(QDate(year, month, day));
}

void TCalForm::CBMonthChange() {
  // The day goes to the 1st first, so the 31st never meets a month of 30 days.
  SetCalendarDate(Calendar1->selectedDate().year(), CBMonth->currentIndex() + 1, 1);
  FormatCalendarDate();
}

void TCalForm::CBYearChange() {
  QString text = CBYear->currentText();
  if (text.isEmpty()) return;
  std::optional<int32_t> year = platform::text::TryStrToInt(ToAnsi(text));
  if (!year || *year < FirstYear || *year > LastYear) {
    year = Calendar1->selectedDate().year();
    QSignalBlocker quiet(CBYear);
    CBYear->setEditText(QString::number(*year));
  }
  QDate date = Calendar1->selectedDate();
  SetCalendarDate(*year, date.month(), date.day());
  FormatCalendarDate();
}

void TCalForm::HelpButtonClick() {
  Application->HelpKeyword(QStringLiteral("OVCalendar"));
}

TCalForm& CreateCalForm() {
  return FormInstance(CalForm);
}

}  // namespace forms
