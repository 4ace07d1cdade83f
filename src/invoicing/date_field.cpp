#include "invoicing/date_field.h"

#include "forms/cal_form.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "records/company_rec.h"

namespace invoicing {

char CompanyDateOrder() {
  const std::string order = records::CurrentCompany.DateOrder.Get();
  return order.empty() ? 'M' : order[0];
}

std::string TodayTyped() {
  return platform::text::FormatTypedDate(platform::text::Today(), CompanyDateOrder());
}

std::optional<QDate> TypedDate(const QLineEdit& field) {
  return platform::text::ParseTypedDate(platform::text::ToAnsi(field.text()), CompanyDateOrder());
}

void SetDateMask(QLineEdit& field) {
  const QString mask =
      CompanyDateOrder() == 'Y' ? QStringLiteral("9999/99/99;_") : QStringLiteral("99/99/9999;_");
  if (field.inputMask() == mask) return;
  const QString typed = field.text();
  field.setInputMask(mask);
  field.setText(typed);
}

void ChooseDateFor(QLineEdit& field) {
  std::optional<QDate> date = TypedDate(field);
  if (!date || field.text().trimmed().size() < 10) {
    date = platform::text::Today();
    field.setText(platform::text::ToQString(TodayTyped()));
  }
  forms::TCalForm& calendar = forms::CreateCalForm();
  calendar.Calendar1->setSelectedDate(*date);
  calendar.CBMonth->setCurrentIndex(date->month() - 1);
  const QPoint beside = field.mapToGlobal(QPoint(field.width(), 0));
  forms::CalendarLeft = beside.x();
  forms::CalendarTop = beside.y();
  if (calendar.ShowModal() == platform::ui::mrOk) field.setText(calendar.NDate->text());
}

}  // namespace invoicing
