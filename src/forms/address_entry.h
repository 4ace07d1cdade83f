#pragma once
// What the customer and vendor dialogs share: the block of billing (order) and shipping address
// lines with their phones and copy buttons, the short name made from the name, the test of an
// e-mail address, and the refusal of a field.

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <array>

namespace forms {

// A one-line edit that takes at most maxLength characters.
QLineEdit* LimitedEdit(QWidget* parent, int maxLength);

struct AddressBlock {
  const char* BillingCaption;  // "&Billing Address:", "&Order Address:"
  std::array<QLineEdit*, 4> Billing;
  std::array<QLineEdit*, 4> Shipping;
  QLineEdit* Phone1;
  QLineEdit* Phone2;
  QPushButton* CopyButton;   // "Copy Billing &to Shipping"
  QPushButton* ClearButton;  // "Clea&r Shipping"
  QCheckBox* AutoCopy;       // "&Auto-Copy to Shipping"
};

// The two address columns side by side ("&Shipping Address:" on the right), the phones below
// them and the copy buttons under those.
QGridLayout* LayOutAddressBlock(QWidget& dialog, const AddressBlock& block);

// Copies each line into the same line of `to`; clears lines.
void CopyAddressLines(const std::array<QLineEdit*, 4>& from, const std::array<QLineEdit*, 4>& to);
void ClearAddressLines(const std::array<QLineEdit*, 4>& lines);

// The short name proposed for a name (trimmed): a name without a blank gives its first 10
// characters; otherwise its first character and up to 9 characters after its first blank.
QString ShortNameFor(const QString& name);

enum class EMailFault { None, NoAtSign, Blank, NoPeriod };
// What is wrong with an address as typed (trimmed first; empty is no fault), tested in the order
// of the enumeration.
EMailFault FindEMailFault(const QString& address);

// Shows why a field is refused (exclamation icon) and puts the focus on it; false, so that a
// check can return it.
bool RefuseField(const QString& text, const QString& title, QWidget* field);

}  // namespace forms
