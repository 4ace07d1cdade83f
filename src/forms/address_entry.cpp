#include "forms/address_entry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"

namespace forms {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;

namespace {

QString Trimmed(const QString& text) {
  return ToQString(TrimBlanks(ToAnsi(text)));
}

QHBoxLayout* LabelledField(QWidget& dialog, const char* caption, QLineEdit* field) {
  auto* label = new QLabel(caption, &dialog);
  label->setBuddy(field);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(field, 1);
  return row;
}

QVBoxLayout* AddressColumn(QLabel& caption, const std::array<QLineEdit*, 4>& lines) {
  auto* column = new QVBoxLayout;
  column->addWidget(&caption);
  for (QLineEdit* line : lines) column->addWidget(line);
  return column;
}

}  // namespace

QLineEdit* LimitedEdit(QWidget* parent, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(maxLength);
  return edit;
}

QGridLayout* LayOutAddressBlock(QWidget& dialog, const AddressBlock& block) {
  auto* grid = new QGridLayout;
  auto* billingLabel = new QLabel(block.BillingCaption, &dialog);
  billingLabel->setBuddy(block.Billing[0]);
  auto* shippingLabel = new QLabel("&Shipping Address:", &dialog);
  shippingLabel->setBuddy(block.Shipping[0]);
  // Each address a column of its own, which Tab walks down before the next.
  grid->addLayout(AddressColumn(*billingLabel, block.Billing), 0, 0);
  grid->addLayout(AddressColumn(*shippingLabel, block.Shipping), 0, 1);
  grid->addLayout(LabelledField(dialog, "&Phone1:", block.Phone1), 1, 0);
  grid->addLayout(LabelledField(dialog, "Pho&ne2:", block.Phone2), 1, 1);
  auto* copyButtons = new QHBoxLayout;
  copyButtons->addWidget(block.CopyButton);
  copyButtons->addWidget(block.ClearButton);
  copyButtons->addWidget(block.AutoCopy);
  copyButtons->addStretch(1);
  grid->addLayout(copyButtons, 2, 0, 1, 2);
  return grid;
}

void CopyAddressLines(const std::array<QLineEdit*, 4>& from, const std::array<QLineEdit*, 4>& to) {
  for (std::size_t line = 0; line < from.size(); ++line) to[line]->setText(from[line]->text());
}

void ClearAddressLines(const std::array<QLineEdit*, 4>& lines) {
  for (QLineEdit* line : lines) line->clear();
}

QString ShortNameFor(const QString& typedName) {
  const QString name = Trimmed(typedName);
  const qsizetype blank = name.indexOf(' ');
  if (blank < 0) return name.left(10);
  return name.left(1) + name.mid(blank + 1, 9);
}

EMailFault FindEMailFault(const QString& typedAddress) {
  const QString address = Trimmed(typedAddress);
  if (address.isEmpty()) return EMailFault::None;
  if (!address.contains('@')) return EMailFault::NoAtSign;
  if (address.contains(' ')) return EMailFault::Blank;
  if (!address.contains('.')) return EMailFault::NoPeriod;
  return EMailFault::None;
}

bool CheckEMailField(QLineEdit* field, const QString& kind, const QString& noAtSignVerdict) {
  const QString title = kind.left(1).toUpper() + kind.mid(1) + " E-Mail Address";
  const QString address = "The " + kind + " e-mail address ";
  switch (FindEMailFault(field->text())) {
    case EMailFault::NoAtSign:
      return RefuseField(address + "does not have the @ sign included. " + noAtSignVerdict, title, field);
    case EMailFault::Blank:
      return RefuseField(address + "has a blank space. Invalid e-mail address.", title, field);
    case EMailFault::NoPeriod:
      return RefuseField(address + "does not have a period (.) included. Invalid e-mail address.", title,
                         field);
    case EMailFault::None:
      break;
  }
  return true;
}

void LimitPlainText(QPlainTextEdit* edit, int maxLength) {
  QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxLength] {
    const QString text = edit->toPlainText();
    if (text.size() <= maxLength) return;
    edit->setPlainText(text.left(maxLength));
    edit->moveCursor(QTextCursor::End);
  });
}

std::string ComparableEntryText(std::string_view text) {
  return platform::text::UpperCase(TrimBlanks(text));
}

bool NumberAndNameFree(const QString& kind, QLineEdit* number, const std::function<bool()>& numberTaken,
                       QLineEdit* name, const std::function<bool()>& nameTaken) {
  const QString titled = kind.left(1).toUpper() + kind.mid(1);
  if (numberTaken())
    return RefuseField("That " + kind + " number already exists. You will need to use a different number.",
                       titled + " Number", number);
  if (nameTaken())
    return RefuseField("That " + kind + " name already exists. You should not enter the same " + kind +
                           " name with a different " + kind + " number.",
                       "Duplicate " + titled + " Name", name);
  return true;
}

bool RefuseField(const QString& text, const QString& title, QWidget* field) {
  using namespace platform::ui;
  MessageBox(text, title, MsgButtons::Ok, MsgIcon::Warning);
  field->setFocus();
  return false;
}

}  // namespace forms
