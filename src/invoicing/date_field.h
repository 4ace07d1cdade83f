#pragma once
// Date fields of the payment and interest wizards: typed in the open company's date order, with
// the calendar beside them.

#include <QDate>
#include <QLineEdit>
#include <optional>
#include <string>

namespace invoicing {

// The open company's date order: "D" day first, "Y" year first, "M" (or anything else) month first.
char CompanyDateOrder();
// Today, as typed in the company's date order.
std::string TodayTyped();
// The field's text read in the company's date order; none when it is not a date.
std::optional<QDate> TypedDate(const QLineEdit& field);
// The input mask of a date in the company's order ("9999/99/99" or "99/99/9999").
void SetDateMask(QLineEdit& field);
// Shows the "Date Selection" dialog beside the field, starting from its date (today's when the
// field holds no date), and on OK puts the chosen day into it.
void ChooseDateFor(QLineEdit& field);

}  // namespace invoicing
