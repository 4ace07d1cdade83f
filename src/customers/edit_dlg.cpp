#include "customers/edit_dlg.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <array>

#include "customers/customer_actions.h"
#include "forms/address_entry.h"
#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "records/payment_terms.h"
#include "records/record_file.h"

namespace customers {

using namespace records;
using namespace forms;

using platform::text::StripCommas;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using namespace platform::ui;

TEditDlg* EditDlg = nullptr;

TEditDlg& CreateEditDlg() {
  return FormInstance(EditDlg);
}

TEditDlg::TEditDlg(QWidget* parent)
    : Form(parent),
      CNo(LimitedEdit(this, 8)),
      CName(LimitedEdit(this, 35)),
      CTerms(new QComboBox(this)),
      CustType(LimitedEdit(this, 25)),
      CTE(LimitedEdit(this, 1)),
      CLimit(LimitedEdit(this, 10)),
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
      CBal(new QLabel(this)),
      MListCode(LimitedEdit(this, 15)),
      EMAdd(LimitedEdit(this, 50)),
      CRHold(new QCheckBox("Credit Hol&d / Inactive Account", this)),
      GroupBox1(new QGroupBox("Overrides Sales Message (see help) ", this)),
      NotesOnInv(new QCheckBox("Print notes/special comments on invoices", GroupBox1)),
      NotesOnStmnt(new QCheckBox("Print notes/ special comments on statements", GroupBox1)),
      Button1(new QPushButton("Copy Billing &to Shipping", this)),
      Button2(new QPushButton("Clea&r Shipping", this)),
      CheckBox1(new QCheckBox("&Auto-Copy to Shipping", this)),
      OKBtn(new QPushButton("&Ok", this)),
      CancelBtn(new QPushButton("&Cancel", this)),
      HelpBtn(new QPushButton("&Help", this)) {
  SetCaption("Edit Record");
  SetHelpKeyword("NewCustomer");
  CTerms->setEditable(true);
  CTerms->lineEdit()->setMaxLength(35);
  CstNote->setFixedHeight(70);
  CBal->setFrameShape(QFrame::Panel);
  CBal->setFrameShadow(QFrame::Sunken);

  auto* account = new QFormLayout;
  auto addRow = [&](const char* label, QWidget* field) {
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field);
    account->addRow(caption, field);
  };
  addRow("C&ustomer #:", CNo);
  addRow("Customer / Company Name:", CName);
  addRow("Short Name:", ShortName);
  addRow("Customer Type:", CustType);
  addRow("Payment Terms:", CTerms);
  addRow("Credit Limit:", CLimit);
  addRow("TE:", CTE);
  addRow("Balance:", CBal);
  addRow("&Mail List Sort Code:", MListCode);
  addRow("&E-Mail:", EMAdd);

  QGridLayout* addresses = LayOutAddressBlock(*this, {"&Billing Address:", BillingEdits(), ShippingEdits(),
                                                      CPhone1, CPhone2, Button1, Button2, CheckBox1});

  auto* overrides = new QVBoxLayout(GroupBox1);
  overrides->addWidget(NotesOnInv);
  overrides->addWidget(NotesOnStmnt);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CRHold);
  buttons->addStretch(1);
  for (QPushButton* button : {OKBtn, CancelBtn, HelpBtn}) buttons->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(account);
  layout->addLayout(addresses);
  layout->addWidget(new QLabel("Notes / Special Comments:", this));
  layout->addWidget(CstNote);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);

  for (int line = 1; line <= 4; ++line)
    QObject::connect(BillingEdits().at(line - 1), &QLineEdit::textChanged,
                     [this, line] { CAddEditChange(line); });
  QObject::connect(Button1, &QPushButton::clicked, [this] { Button1Click(); });
  QObject::connect(Button2, &QPushButton::clicked, [this] { Button2Click(); });
  QObject::connect(CName, &QLineEdit::editingFinished, [this] { CNameExit(); });
  LimitPlainText(CstNote, NotesLength);
  QObject::connect(OKBtn, &QPushButton::clicked, [this] { OKBtnClick(); });
  QObject::connect(HelpBtn, &QPushButton::clicked, [this] { HelpBtnClick(); });
  OKBtn->setDefault(true);
  BindModalResult(CancelBtn, mrCancel);
}

std::array<QLineEdit*, 4> TEditDlg::BillingEdits() const {
  return {CAdd1Edit, CAdd2Edit, CAdd3Edit, CAdd4Edit};
}

std::array<QLineEdit*, 4> TEditDlg::ShippingEdits() const {
  return {CShip1, CShip2, CShip3, CShip4};
}

void TEditDlg::FormShow() {
  LoadPaymentTermsInto(*CTerms);
  if (DialogMode == "0")
    CNo->setFocus();
  else
    CancelBtn->setFocus();
  CheckBox1->setChecked(CurrentCompany.CopyBillingToShipping != 0);
  PlaceAtTopOfScreen();
}

void TEditDlg::CAddEditChange(int line) {
  if (CheckBox1->isChecked()) ShippingEdits().at(line - 1)->setText(BillingEdits().at(line - 1)->text());
}

void TEditDlg::Button1Click() {
  CopyAddressLines(BillingEdits(), ShippingEdits());
}

void TEditDlg::Button2Click() {
  ClearAddressLines(ShippingEdits());
}

void TEditDlg::CNameExit() {
  if (ShortName->text().isEmpty()) ShortName->setText(ShortNameFor(CName->text()));
}

std::string TEditDlg::NotesText() const {
  return ToAnsi(CstNote->toPlainText()).substr(0, NotesLength);
}

bool TEditDlg::Refuse(const QString& text, const QString& title, QWidget* field) {
  return RefuseField(text, title, field);
}

bool TEditDlg::CheckEMailAddress() {
  return CheckEMailField(EMAdd, "customer", "Invalid e-mail address.");
}

bool TEditDlg::NumberTakenByAnother() const {
  return TakenByAnother(CustomerUnit(), BuildCustomerKey, 2, &CustomerRec::CustomerNo,
                        &CustomerRec::CustomerNo, CNo->text(), ReferenceNo);
}

bool TEditDlg::NameTakenByAnother() const {
  return TakenByAnother(CustomerUnit(), BuildCustomerKey, 1, &CustomerRec::CustomerName,
                        &CustomerRec::CustomerNo, CName->text(), ReferenceNo);
}

void TEditDlg::OKBtnClick() {
  if (TrimBlanks(ToAnsi(CNo->text())).empty()) {
    Refuse("You must enter a customer number.", "Customer Number", CNo);
    return;
  }
  if (TrimBlanks(ToAnsi(CName->text())).empty()) {
    Refuse("You must enter a customer name.", "Customer Name", CName);
    return;
  }
  CNameExit();
  if (!CheckEMailAddress()) return;
  if (NumberTakenByAnother()) {
    Refuse("That customer number already exists. You will need to use a different number.", "Customer Number",
           CNo);
    return;
  }
  if (NameTakenByAnother()) {
    Refuse(
        "That customer name already exists. You should not enter the same customer name with a different "
        "customer number.",
        "Duplicate Customer Name", CName);
    return;
  }
  const std::string limit = StripCommas(ToAnsi(CLimit->text()));
  if (!limit.empty() && !platform::text::TryStrToFloat(limit)) {
    Refuse("The CREDIT LIMIT amount has an invalid value.", "Credit Limit", CLimit);
    return;
  }
  SetModalResult(mrOk);
}

void TEditDlg::HelpBtnClick() {
  Application->HelpKeyword("NewCustomer");
}

}  // namespace customers
