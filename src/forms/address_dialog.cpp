#include "forms/address_dialog.h"

#include <QLabel>
#include <vector>

#include "forms/address_entry.h"
#include "forms/entry_parts.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "records/company_rec.h"
#include "records/payment_terms.h"

namespace forms {

using platform::text::ToAnsi;

AddressDialog::AddressDialog(QWidget* parent, const char* holdCaption, const char* helpKeyword)
    : Form(parent),
      CNo(LimitedEdit(this, 8)),
      CName(LimitedEdit(this, 35)),
      CTerms(TermsBox(this)),
      CustType(LimitedEdit(this, 25)),
      CTE(LimitedEdit(this, 1)),
      CAdd1Edit(LimitedEdit(this, 35)),
      CAdd2Edit(LimitedEdit(this, 35)),
      CAdd3Edit(LimitedEdit(this, 35)),
      CAdd4Edit(LimitedEdit(this, 35)),
      CShip1(LimitedEdit(this, 35)),
      CShip2(LimitedEdit(this, 35)),
      CShip3(LimitedEdit(this, 35)),
      CShip4(LimitedEdit(this, 35)),
      CstNote(new QPlainTextEdit(this)),
      CPhone1(LimitedEdit(this, 25)),
      CPhone2(LimitedEdit(this, 25)),
      ShortName(LimitedEdit(this, 10)),
      MListCode(LimitedEdit(this, 15)),
      CRHold(new QCheckBox(holdCaption, this)),
      Button1(new QPushButton("Copy Billing &to Shipping", this)),
      Button2(new QPushButton("Clea&r Shipping", this)),
      CheckBox1(new QCheckBox("&Auto-Copy to Shipping", this)),
      OKBtn(new QPushButton("&Ok", this)),
      CancelBtn(new QPushButton("&Cancel", this)),
      HelpBtn(new QPushButton("&Help", this)),
      eMail_(LimitedEdit(this, 50)) {
  SetHelpKeyword(helpKeyword);
  CstNote->setFixedHeight(70);
  LimitPlainText(CstNote, NotesLength);

  for (int line = 1; line <= 4; ++line)
    QObject::connect(BillingEdits().at(line - 1), &QLineEdit::textChanged,
                     [this, line] { CAddEditChange(line); });
  QObject::connect(Button1, &QPushButton::clicked, [this] { Button1Click(); });
  QObject::connect(Button2, &QPushButton::clicked, [this] { Button2Click(); });
  QObject::connect(CName, &QLineEdit::editingFinished, [this] { CNameExit(); });
  QObject::connect(OKBtn, &QPushButton::clicked, [this] { OKBtnClick(); });
  QObject::connect(HelpBtn, &QPushButton::clicked, [this] { HelpBtnClick(); });
  OKBtn->setDefault(true);
  BindModalResult(CancelBtn, platform::ui::mrCancel);
}

std::array<QLineEdit*, 4> AddressDialog::BillingEdits() const {
  return {CAdd1Edit, CAdd2Edit, CAdd3Edit, CAdd4Edit};
}

std::array<QLineEdit*, 4> AddressDialog::ShippingEdits() const {
  return {CShip1, CShip2, CShip3, CShip4};
}

void AddressDialog::ShowForEntry(bool adding) {
  records::LoadPaymentTermsInto(*CTerms);
  if (adding)
    CNo->setFocus();
  else
    CancelBtn->setFocus();
  CheckBox1->setChecked(records::CurrentCompany.CopyBillingToShipping != 0);
  PlaceAtTopOfScreen();
}

void AddressDialog::CAddEditChange(int line) {
  if (CheckBox1->isChecked()) ShippingEdits().at(line - 1)->setText(BillingEdits().at(line - 1)->text());
}

void AddressDialog::Button1Click() {
  CopyAddressLines(BillingEdits(), ShippingEdits());
}

void AddressDialog::Button2Click() {
  ClearAddressLines(ShippingEdits());
}

void AddressDialog::CNameExit() {
  if (ShortName->text().isEmpty()) ShortName->setText(ShortNameFor(CName->text()));
}

void AddressDialog::HelpBtnClick() {
  platform::ui::Application->HelpKeyword(HelpKeyword());
}

std::string AddressDialog::NotesText() const {
  return ToAnsi(CstNote->toPlainText()).substr(0, NotesLength);
}

QFormLayout* AddressDialog::FieldRows(std::initializer_list<std::pair<const char*, QWidget*>> rows) {
  auto* layout = new QFormLayout;
  for (const auto& [label, field] : rows) {
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field);
    layout->addRow(caption, field);
  }
  return layout;
}

QGridLayout* AddressDialog::AddressRows(const char* billingCaption) {
  return LayOutAddressBlock(*this, {billingCaption, BillingEdits(), ShippingEdits(), CPhone1, CPhone2,
                                    Button1, Button2, CheckBox1});
}

QHBoxLayout* AddressDialog::ButtonRow() {
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CRHold);
  buttons->addStretch(1);
  for (QPushButton* button : {OKBtn, CancelBtn, HelpBtn}) buttons->addWidget(button);
  return buttons;
}

void AddressDialog::OrderTabs(std::initializer_list<QWidget*> fields,
                              std::initializer_list<QWidget*> options) {
  std::vector<QWidget*> order(fields);
  for (QLineEdit* line : BillingEdits()) order.push_back(line);
  for (QLineEdit* line : ShippingEdits()) order.push_back(line);
  order.insert(order.end(), {CPhone1, CPhone2, Button1, Button2, CheckBox1, CstNote});
  order.insert(order.end(), options);
  order.insert(order.end(), {CRHold, OKBtn, CancelBtn, HelpBtn});
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace forms
