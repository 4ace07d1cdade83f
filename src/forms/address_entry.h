#pragma once
// What the customer and vendor dialogs share: the block of billing (order) and shipping address
// lines with their phones and copy buttons, the short name made from the name, the test of an
// e-mail address, and the refusal of a field.

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text/codepage.h"
#include "platform/text/short_string.h"
#include "records/record_file.h"

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

// Checks the e-mail address typed in `field`; refuses it as the "<kind> e-mail address" (title
// "<Kind> E-Mail Address") when it has no "@" (the message ending in `noAtSignVerdict`, "Invalid
// e-mail address." or "Incomplete e-mail address."), a blank or no period.
bool CheckEMailField(QLineEdit* field, const QString& kind, const QString& noAtSignVerdict);

// Keeps a notes field within maxLength characters: typing or pasting past that is cut back at
// once, so the dialog never shows text that would not be stored.
void LimitPlainText(QPlainTextEdit* edit, int maxLength);

// Names and numbers of an address book entry are compared trimmed and upper-cased.
std::string ComparableEntryText(std::string_view text);

// True when the file holds a record, found by key keyNr built from `typed` in `field`, whose
// `field` equals `typed` and whose number is not `ownNumber` (the entry's own number as it was
// before the dialog, comparable; none while adding, when every entry on file is another's, the
// one numbered "0" too). Throws FileUnusable when the file could not be searched: a failed search
// is no answer.
template <class Record, std::size_t N>
bool TakenByAnother(storage::DataFileUnit& unit, storage::IsamKeyStr (*buildKey)(const Record&, int),
                    int keyNr, platform::text::ShortString<N> Record::*field,
                    platform::text::ShortString<8> Record::*number, const QString& typed,
                    const std::optional<std::string>& ownNumber) {
  Record wanted{};
  (wanted.*field).Set(platform::text::ToAnsi(typed));
  Record found{};
  storage::IsamRecRef ref = 0;
  return records::ReadIfOnFile(unit, buildKey(wanted, keyNr), keyNr, found, ref) &&
         ComparableEntryText((found.*field).Get()) == ComparableEntryText(platform::text::ToAnsi(typed)) &&
         ComparableEntryText((found.*number).Get()) != ownNumber;
}

// OK's checks that the number and the name typed are no other entry's of the kind ("customer",
// "vendor"), in that order: each refused ("That customer number already exists. ...") with the
// focus on its field; false then. The name is searched only for a free number.
bool NumberAndNameFree(const QString& kind, QLineEdit* number, const std::function<bool()>& numberTaken,
                       QLineEdit* name, const std::function<bool()>& nameTaken);

// Shows why a field is refused (exclamation icon) and puts the focus on it; false, so that a
// check can return it.
bool RefuseField(const QString& text, const QString& title, QWidget* field);

}  // namespace forms
