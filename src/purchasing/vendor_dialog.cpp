#include "purchasing/vendor_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "forms/address_entry.h"
#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "records/company_rec.h"
#include "records/payment_terms.h"
#include "records/vendor_file.h"

namespace purchasing {

using namespace records;
using namespace forms;

using platform::text::ToAnsi;
using platform::text::TrimBlanks;
using namespace platform::ui;

std::string VendorDialogMode = "0";
std::string StoredVendorNumber = "0";
TVendEdit* VendEdit = nullptr;

TVendEdit& CreateVendEdit() {
  return FormInstance(VendEdit);
}

TVendEdit::TVendEdit(QWidget* parent)
    : Form(parent),
      CNo(LimitedEdit(this, 8)),
      CName(LimitedEdit(this, 35)),
      CustType(LimitedEdit(this, 25)),
      CTE(LimitedEdit(this, 1)),
      CTerms(new QComboBox(this)),
      CAdd1Edit(LimitedEdit(this, 35)),
      CAdd2Edit(LimitedEdit(this, 35)),
      CAdd3Edit(LimitedEdit(this, 35)),
      CAdd4Edit(LimitedEdit(this, 35)),
      CShip1(LimitedEdit(this, 35)),
      CShip2(LimitedEdit(this, 35)),
      CShip3(LimitedEdit(this, 35)),
      CShip4(LimitedEdit(this, 35)),
      CPhone1(LimitedEdit(this, 25)),
      CPhone2(LimitedEdit(this, 25)),
      CstNote(new QPlainTextEdit(this)),
      ShortName(LimitedEdit(this, 10)),
      MListCode(LimitedEdit(this, 15)),
      VenEMAdd(LimitedEdit(this, 50)),
      CRHold(new QCheckBox("Hol&d / Inactive Account", this)),
      NotesOnInv(new QCheckBox("Print notes / comments on PO's", this)),
      Button1(new QPushButton("Copy Billing &to Shipping", this)),
      Button2(new QPushButton("Clea&r Shipping", this)),
      CheckBox1(new QCheckBox("&Auto-Copy to Shipping", this)),
      OKBtn(new QPushButton("&Ok", this)),
      CancelBtn(new QPushButton("&Cancel", this)),
      HelpBtn(new QPushButton("&Help", this)) {
  SetCaption("Edit Vendor");
  SetHelpKeyword("Newvendor");
  CTerms->setEditable(true);
  CTerms->lineEdit()->setMaxLength(35);
  CstNote->setFixedHeight(70);

  auto* account = new QFormLayout;
  auto addRow = [&](const char* label, QWidget* field) {
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field);
    account->addRow(caption, field);
  };
  addRow("&Vendor #:", CNo);
  addRow("Vendor / Company Name:", CName);
  addRow("Short Name:", ShortName);
  addRow("Vendor Type:", CustType);
  addRow("PO Payment Terms:", CTerms);
  addRow("TE:", CTE);
  addRow("Mail &List Sort Code:", MListCode);
  addRow("&E-Mail:", VenEMAdd);

  QGridLayout* addresses = LayOutAddressBlock(*this, {"&Order Address:", OrderEdits(), ShippingEdits(),
                                                      CPhone1, CPhone2, Button1, Button2, CheckBox1});

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CRHold);
  buttons->addStretch(1);
  for (QPushButton* button : {OKBtn, CancelBtn, HelpBtn}) buttons->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(account);
  layout->addLayout(addresses);
  layout->addWidget(new QLabel("Notes / Comments:", this));
  layout->addWidget(CstNote);
  layout->addWidget(NotesOnInv);
  layout->addLayout(buttons);

  for (int line = 1; line <= 4; ++line)
    QObject::connect(OrderEdits().at(line - 1), &QLineEdit::textChanged,
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

std::array<QLineEdit*, 4> TVendEdit::OrderEdits() const {
  return {CAdd1Edit, CAdd2Edit, CAdd3Edit, CAdd4Edit};
}

std::array<QLineEdit*, 4> TVendEdit::ShippingEdits() const {
  return {CShip1, CShip2, CShip3, CShip4};
}

void TVendEdit::FormShow() {
  LoadPaymentTermsInto(*CTerms);
  if (VendorDialogMode == "0")
    CNo->setFocus();
  else
    CancelBtn->setFocus();
  CheckBox1->setChecked(CurrentCompany.CopyBillingToShipping != 0);
  PlaceAtTopOfScreen();
}

void TVendEdit::CAddEditChange(int line) {
  if (CheckBox1->isChecked()) ShippingEdits().at(line - 1)->setText(OrderEdits().at(line - 1)->text());
}

void TVendEdit::Button1Click() {
  CopyAddressLines(OrderEdits(), ShippingEdits());
}

void TVendEdit::Button2Click() {
  ClearAddressLines(ShippingEdits());
}

void TVendEdit::CNameExit() {
  if (ShortName->text().isEmpty()) ShortName->setText(ShortNameFor(CName->text()));
}

std::string TVendEdit::NotesText() const {
  return ToAnsi(CstNote->toPlainText()).substr(0, NotesLength);
}

bool TVendEdit::NumberTakenByAnother() const {
  return TakenByAnother(VendorUnit(), BuildVendorKey, 2, &VendorRec::VendorNo, &VendorRec::VendorNo,
                        CNo->text(), StoredVendorNumber);
}

bool TVendEdit::NameTakenByAnother() const {
  return TakenByAnother(VendorUnit(), BuildVendorKey, 1, &VendorRec::VendorName, &VendorRec::VendorNo,
                        CName->text(), StoredVendorNumber);
}

void TVendEdit::OKBtnClick() {
  if (TrimBlanks(ToAnsi(CNo->text())).empty()) {
    RefuseField("You must enter a vendor number.", "Vendor Number", CNo);
    return;
  }
  if (TrimBlanks(ToAnsi(CName->text())).empty()) {
    RefuseField("You must enter a vendor name.", "Vendor Name", CName);
    return;
  }
  if (!CheckEMailField(VenEMAdd, "vendor", "Incomplete e-mail address.")) return;
  CNameExit();
  if (NumberTakenByAnother()) {
    RefuseField("That vendor number already exists. You will need to use a different number.",
                "Vendor Number", CNo);
    return;
  }
  if (NameTakenByAnother()) {
    RefuseField(
        "That vendor name already exists. You should not enter the same vendor name with a different vendor "
        "number.",
        "Duplicate Vendor Name", CName);
    return;
  }
  SetModalResult(mrOk);
}

void TVendEdit::HelpBtnClick() {
  Application->HelpKeyword("Newvendor");
}

}  // namespace purchasing
